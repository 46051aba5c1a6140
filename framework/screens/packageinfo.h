#pragma once

// The C interface between a loadable module and the host's loader. A module
// publishes its units in initialisation order; each unit has an optional
// initialisation and finalisation routine. The structures stay plain C so
// that the loader can read them through a resolved symbol.
extern "C" {

using PackageUnitProc = void (*)();

struct PackageUnitInfo
{
    const char *name;
    PackageUnitProc initialization;   // nullptr when the unit has none
    PackageUnitProc finalization;     // nullptr when the unit has none
};

struct PackageInfoTable
{
    int unitCount;
    const PackageUnitInfo *units;
};

using PackageInfoFunction = const PackageInfoTable *(*)();
using PackageProc = void (*)();
using PackageModalFunction = int (*)();

}
