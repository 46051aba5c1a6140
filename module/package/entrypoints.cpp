// The routines the module exports under plain names for the host's loader,
// besides the screen launches of screenlaunch.h.

#include "common/screenlaunch.h"
#include "packageunits.h"

extern "C" {

void Initialize()
{
    initializeUnits();
}

void Finalize()
{
    finalizeUnits();
}

const PackageInfoTable *GetPackageInfoTable()
{
    return &packageUnits();
}

// The module's generic start routine: opens the editor.
void IniProc()
{
    CriaEntParenteral();
}

}
