#pragma once

#include "frmrotigeral.h"

#include <QPointer>
#include <QString>

// The report selection screen (screen "VQN18020"), created afresh by every
// use of the editor's print action.
class TfrmRelEntPare : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmRelEntPare(QWidget *parent = nullptr);
    ~TfrmRelEntPare() override;
};

// Module variables of unit Cli_vqn18020. Its code lists share names with
// those of the filter unit; the unit's namespace keeps them apart.
namespace Cli_vqn18020 {
// The latest report screen instance.
extern QPointer<TfrmRelEntPare> frmRelEntPare;
// Code lists picked for beds, floors, wings, admission standards, services,
// diets and access routes.
extern QString stLeito;
extern QString stAndar;
extern QString stAla;
extern QString stPadInter;
extern QString stServico;
extern QString stDieta;
extern QString stViaCesDiet;
} // namespace Cli_vqn18020
