// The "Automático" action: the automatic schedule dialog over the current
// service record.

#include "frmentparenteral.h"

#include "common/screenlaunch.h"

void TfrmEntParenteral::sbtAutomaticoClick()
{
    CriaAutoEnteral();
    // A generated series has been reloaded into the item list already.
    update();
}
