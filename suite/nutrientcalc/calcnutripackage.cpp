// The package Pkg_VQN19040: the nutrient calculation, served under "VQN19040".

#include "nutrientcalc/frmcalcnutri.h"

#include "screens/screenpackage.h"

namespace {
constexpr ServedScreen nutrientCalculation{"Cli_vqn19040", "VQN19040", CriaCalcNutri};
} // namespace

ENTPAT_SCREEN_PACKAGE(nutrientCalculation)
