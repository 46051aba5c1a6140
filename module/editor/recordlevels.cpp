// The editor's record levels and code columns, and the one place that sets
// the enabled state of every command.

#include "editor/frmentparenteral.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "screens/dbnavigator.h"
#include "widgets/edit.h"
#include "widgets/maskedit.h"
#include "widgets/panel.h"
#include "core/velunor.h"
#include "widgets/widgetutils.h"

#include <QAction>
#include <QApplication>

void TfrmEntParenteral::buildRecordLevels()
{
    m_levels = {
        {RecordLevelId::PatientList, dbgPadrao, cdsPaciFiltro, [this] { LoadPatientList(0); },
         QStringLiteral("DSSERVINTE"), std::nullopt},
        {RecordLevelId::Services, dbgServico, cdsServInte, [this] { LoadServiceRecords(); },
         QStringLiteral("NRSERVPESO"), std::nullopt},
        {RecordLevelId::Items, dbgConfesco, cdsConfesco, [this] { LoadCompositionItems(); },
         QStringLiteral("CDVIACESDIET"), RecordLevelId::Services},
        {RecordLevelId::Occurrences, dbgOcorrencia, cdsOcorrencia, [this] { LoadOccurrences(); }, QString(),
         RecordLevelId::Items},
    };
}

void TfrmEntParenteral::buildCodeColumns()
{
    m_codeColumns = {
        {RecordLevelId::Services, QStringLiteral("CDSERVFILI"), QStringLiteral("NMSERVICO"),
         QStringLiteral("getVeriServ"), {}, cdsVerifServ, qryServico, {}, QStringLiteral("Servico"),
         QStringLiteral("N_Servico"), QStringLiteral("Servico_NCad"), QStringLiteral("Servico_Inf")},
        {RecordLevelId::Services, QStringLiteral("CDDIETPAD"), QStringLiteral("DSDIETPAD"),
         QStringLiteral("getVerifDieta"), {QStringLiteral("CDSERVFILI")}, cdsVerifDieta, qryDieta,
         {{QStringLiteral("P_CDSERVFILI"), QStringLiteral("CDSERVFILI")}}, QStringLiteral("Dieta"),
         QStringLiteral("N_Dieta"), QStringLiteral("Dieta_NCad"), QStringLiteral("Dieta_Inf")},
        {RecordLevelId::Items, QStringLiteral("CDVIACESDIET"), QStringLiteral("NMVIACESDIET"),
         QStringLiteral("getVerifViaAcesso"), {}, cdsVerifViaAcesso, qryViaAcesso, {}, QStringLiteral("ViaAcesso"),
         QStringLiteral("N_ViaAcesso"), QStringLiteral("ViaAcesso_NCad"), QStringLiteral("ViaAcesso_Inf"), false},
        // Checked by its own lookup, not by the server.
        {RecordLevelId::Occurrences, QStringLiteral("CDTPOCORINFU"), QStringLiteral("NMTPOCORINFU"), QString(), {},
         nullptr, qryTipoOcor, {}, QStringLiteral("Ocorr"), QStringLiteral("N_Ocorr"), QStringLiteral("Ocorre_NCad"),
         QStringLiteral("Ocorre_Inf"), true, QStringLiteral("P_CDTPOCORINFU")},
    };
}

const RecordLevel &TfrmEntParenteral::Level(RecordLevelId id) const
{
    for (const RecordLevel &level : m_levels)
        if (level.id == id)
            return level;
    Q_UNREACHABLE();
}

const CodeColumn *TfrmEntParenteral::codeColumn(RecordLevelId level, const QString &fieldName) const
{
    for (const CodeColumn &column : m_codeColumns)
        if (column.level == level && column.codeField == fieldName)
            return &column;
    return nullptr;
}

const RecordLevel &TfrmEntParenteral::CommandLevel()
{
    if (ActivePage() == tshFolhaDados)
        return Level(RecordLevelId::PatientList);
    // The level whose grid has the focus; with the focus elsewhere (a tool
    // button, the menu, a message) the level that had it last.
    for (QWidget *widget = QApplication::focusWidget(); widget && widget != this; widget = widget->parentWidget()) {
        for (const RecordLevel &level : m_levels) {
            if (level.grid == widget && level.id != RecordLevelId::PatientList) {
                m_commandLevel = level.id;
                return level;
            }
        }
    }
    return Level(m_commandLevel);
}

void TfrmEntParenteral::UpdateCommands()
{
    const RecordLevel &level = CommandLevel();
    const auto holdsRecords = [](const ClientDataSet *dataSet) { return dataSet->Active() && !dataSet->IsEmpty(); };
    CommandSituation situation;
    situation.dataSheet = ActivePage() == tshFolhaDados;
    situation.level = level.id;
    situation.state = level.dataSet->State();
    situation.hasRecords = holdsRecords(level.dataSet);
    situation.parentHasRecords = level.parent && holdsRecords(Level(*level.parent).dataSet);
    situation.servicesHaveRecords = holdsRecords(cdsServInte);
    situation.canAlter = !level.alterField.isEmpty();
    const CommandStates commands = ComputeCommandStates(situation);

    mnuIncluir->setEnabled(commands.incluir);
    mnuAlterar->setEnabled(commands.alterar);
    mnuExcluir->setEnabled(commands.excluir);
    mnuProcurar->setEnabled(commands.procurar);
    mnuVerificar->setEnabled(commands.verificar);
    mnuCancelar->setEnabled(commands.cancelar);
    mnuConfirmar->setEnabled(commands.confirmar);
    mnuFiltrar->setEnabled(commands.filtrar);
    mnuCalcNutr->setEnabled(commands.calcNutr);
    mnuAutomatico->setEnabled(commands.automatico);
    dbnPadrao->setEnabled(commands.navigator);
    if (situation.dataSheet) {
        SetPageEnabled(tshFormulario, commands.otherPage);
        SetChildEnabled(panFilial, commands.selectionPanel);
        if (commands.selectionPanel) {
            // The name box never takes input; the code controls follow the
            // host's binding of modules to the current branch.
            edtFilial->setEnabled(false);
            setBranchControlsEnabled(!ModuFili());
        }
    } else {
        SetPageEnabled(tshFolhaDados, commands.otherPage);
        panInfPaciente->setEnabled(commands.selectionPanel);
    }
}
