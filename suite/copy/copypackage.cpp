// The package Pkg_VQN19050: the formulation copy, served under "VQN19050".

#include "copy/frmcopiaformulacao.h"

#include "screens/screenpackage.h"

namespace {
constexpr ServedScreen formulationCopy{"Cli_vqn19050", "VQN19050", CriaCopiaFormulacao};
} // namespace

ENTPAT_SCREEN_PACKAGE(formulationCopy)
