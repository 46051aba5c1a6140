#pragma once

#include "screens/packageinfo.h"

// The module's unit table: the framework units it uses, each before the
// first of its own units that needs it, then its own four units in the order
// Cli_vqn18010, Cli_vqn18020, Cli_vqn18030, Cli_vqn18000.
const PackageInfoTable &packageUnits();

// Runs every unit's initialisation in table order. A unit runs its body only
// when it is not initialised yet, so asking twice runs it once.
void initializeUnits();
// Runs every unit's finalisation in reverse table order; a unit runs its body
// only when it was initialised, so asking twice runs it once.
void finalizeUnits();
