#pragma once

#include "frmpadrao.h"

#include <QPointer>
#include <QString>

// The prescription editor (screen "VQN18000"): the module's main screen, a
// non-modal child window of the host's main window.
class TfrmEntParenteral : public TfrmPadrao
{
    Q_OBJECT
public:
    explicit TfrmEntParenteral(QWidget *parent = nullptr);
    ~TfrmEntParenteral() override;

    void FormCreate() override;
    void FormClose() override;

    // The filter dialog exists for this editor instance (set by
    // CriaFiltroEntParent), so every new editor gets a new filter dialog.
    bool boFiltroCriado = false;
};

// Module variables of unit Cli_vqn18000.
namespace Cli_vqn18000 {
// The one editor instance; null once it is released.
extern QPointer<TfrmEntParenteral> frmEntParenteral;
// True while an editor instance exists.
extern bool boStCriado;
// Full path of the saved patient selection file.
extern QString stPath;
} // namespace Cli_vqn18000
