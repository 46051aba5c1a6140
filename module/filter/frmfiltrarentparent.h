#pragma once

#include "frmrotigeral.h"

#include <QPointer>
#include <QString>

// The patient filter dialog (screen "VQN18010"): modal, one per editor
// instance, hidden (not released) when it closes so that it shows its last
// choices again.
class TfrmFiltrarEntParent : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmFiltrarEntParent(QWidget *parent = nullptr);
    ~TfrmFiltrarEntParent() override;
};

// Module variables of unit Cli_vqn18010.
namespace Cli_vqn18010 {
// The current filter dialog instance.
extern QPointer<TfrmFiltrarEntParent> frmFiltrarEntParent;
// Code lists picked for patients, wings, floors and admission standards.
extern QString stPaciente;
extern QString stAla;
extern QString stAndar;
extern QString stPadInter;
} // namespace Cli_vqn18010
