// Launch sequences of the module's screens.

#include "common/screenlaunch.h"

#include "autoschedule/frmautoenteral.h"
#include "editor/frmentparenteral.h"
#include "filter/frmfiltrarentparent.h"
#include "report/frmrelentpare.h"

#include "screens/formcreate.h"
#include "screens/hostmainwindow.h"
#include "core/interaction.h"

#include <QApplication>
#include <QDialog>

namespace {

// The hourglass for the duration of a launch, restored also on failure.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Creates a fresh modal screen into its module variable, releasing the one a
// previous use left, and shows it.
template <class Form>
int showFresh(QPointer<Form> &variable)
{
    delete variable.data();
    variable = CreateForm<Form>(Cli_vqn18000::frmEntParenteral.data());
    return interaction().execDialog(*variable);
}

} // namespace

void CriaEntParenteral()
{
    using namespace Cli_vqn18000;
    WaitCursor hourglass;
    // A released editor counts as gone even when its close never ran (the
    // host window that framed it was destroyed), so a launch never shows a
    // dead instance.
    if (!boStCriado || !frmEntParenteral) {
        frmEntParenteral = CreateForm<TfrmEntParenteral>();
        boStCriado = true;
    }
    showChildForm(frmEntParenteral);
}

int CriaFiltroEntParent()
{
    using Cli_vqn18000::frmEntParenteral;
    using Cli_vqn18010::frmFiltrarEntParent;
    if (!frmEntParenteral)
        return QDialog::Rejected;
    if (!frmEntParenteral->boFiltroCriado || !frmFiltrarEntParent) {
        // The dialog belongs to its editor and goes away with it.
        frmFiltrarEntParent = CreateForm<TfrmFiltrarEntParent>(frmEntParenteral.data());
        frmEntParenteral->boFiltroCriado = true;
    }
    return interaction().execDialog(*frmFiltrarEntParent);
}

int CriaAutoEnteral()
{
    // The dialog works on the editor's current service record.
    if (!Cli_vqn18000::frmEntParenteral)
        return QDialog::Rejected;
    return showFresh(Cli_vqn18030::frmAutoEnteral);
}

int CriaRelEntPare()
{
    return showFresh(Cli_vqn18020::frmRelEntPare);
}
