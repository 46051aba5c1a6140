// The package Pkg_VQN18100: the statistics of open-system diets, served
// under "VQN18100".

#include "statistics/frmestatistica.h"

#include "screens/screenpackage.h"

namespace {
constexpr ServedScreen openSystemStatistics{"Cli_vqn18100", "VQN18100", CriaEstatistica};
} // namespace

ENTPAT_SCREEN_PACKAGE(openSystemStatistics)
