#include "packageunits.h"

#include "autoschedule/frmautoenteral.h"
#include "editor/frmentparenteral.h"
#include "filter/frmfiltrarentparent.h"
#include "report/frmrelentpare.h"

#include <iterator>

namespace {

// One of the module's own units: whether it is initialised, and its bodies.
struct UnitLife
{
    bool initialized = false;
    void (*initialization)() = nullptr;
    void (*finalization)() = nullptr;

    void initialize()
    {
        if (initialized)
            return;
        initialized = true;
        if (initialization)
            initialization();
    }
    void finalize()
    {
        if (!initialized)
            return;
        initialized = false;
        if (finalization)
            finalization();
    }
};

UnitLife unit18000{false,
                   [] { Cli_vqn18000::boStCriado = false; },
                   [] { Cli_vqn18000::stPath.clear(); }};

UnitLife unit18010{false, nullptr, [] {
                       using namespace Cli_vqn18010;
                       stPadInter.clear();
                       stAndar.clear();
                       stAla.clear();
                       stPaciente.clear();
                   }};

UnitLife unit18020{false, nullptr, [] {
                       using namespace Cli_vqn18020;
                       stViaCesDiet.clear();
                       stDieta.clear();
                       stServico.clear();
                       stPadInter.clear();
                       stAla.clear();
                       stAndar.clear();
                       stLeito.clear();
                   }};

UnitLife unit18030;

template <UnitLife &unit>
void initializeUnit()
{
    unit.initialize();
}

template <UnitLife &unit>
void finalizeUnit()
{
    unit.finalize();
}

// Framework units run their own start-up inside the framework library; their
// entries record the order in which the module relies on them.
const PackageUnitInfo units[] = {
    {"Velunor", nullptr, nullptr},
    {"Consiste", nullptr, nullptr},
    {"Messages", nullptr, nullptr},
    {"FrmRotiGeral", nullptr, nullptr},
    {"MaskEdit", nullptr, nullptr},
    {"DateEditPlus", nullptr, nullptr},
    {"BtnPesquisa", nullptr, nullptr},
    {"SearchLists", nullptr, nullptr},
    {"NetConnection", nullptr, nullptr},
    {"Cli_vqn18010", initializeUnit<unit18010>, finalizeUnit<unit18010>},
    {"ReportEngine", nullptr, nullptr},
    {"FrmDadosGerRel", nullptr, nullptr},
    {"Cli_vqn18020", initializeUnit<unit18020>, finalizeUnit<unit18020>},
    {"NumberEdit", nullptr, nullptr},
    {"Cli_vqn18030", initializeUnit<unit18030>, finalizeUnit<unit18030>},
    {"FrmPadrao", nullptr, nullptr},
    {"DBGrid", nullptr, nullptr},
    {"DtmDBGeral", nullptr, nullptr},
    {"ADOIBQuery", nullptr, nullptr},
    {"WaitAnimation", nullptr, nullptr},
    {"ScreenLoader", nullptr, nullptr},
    {"Cli_vqn18000", initializeUnit<unit18000>, finalizeUnit<unit18000>},
};

const PackageInfoTable table{int(std::size(units)), units};

} // namespace

const PackageInfoTable &packageUnits()
{
    return table;
}

void initializeUnits()
{
    for (const PackageUnitInfo &unit : units) {
        if (unit.initialization)
            unit.initialization();
    }
}

void finalizeUnits()
{
    for (auto unit = std::rbegin(units); unit != std::rend(units); ++unit) {
        if (unit->finalization)
            unit->finalization();
    }
}
