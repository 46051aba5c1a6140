#pragma once

#include "frmrotigeral.h"

#include <QPointer>

// The automatic schedule dialog (screen "VQN18030"), created afresh for
// every use.
class TfrmAutoEnteral : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmAutoEnteral(QWidget *parent = nullptr);
    ~TfrmAutoEnteral() override;
};

// Module variables of unit Cli_vqn18030.
namespace Cli_vqn18030 {
// The latest automatic dialog instance.
extern QPointer<TfrmAutoEnteral> frmAutoEnteral;
} // namespace Cli_vqn18030
