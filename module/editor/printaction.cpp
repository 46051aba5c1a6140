// The editor's print action: a new report selection screen each time.

#include "frmentparenteral.h"

#include "common/screenlaunch.h"

void TfrmEntParenteral::sbtImprimirClick()
{
    CriaRelEntPare();
}
