// One rule for every command of the editor, whatever page and level.

#include "commandstates.h"

CommandStates ComputeCommandStates(const CommandSituation &situation)
{
    const DataSetState state = situation.state;
    const bool editing = state == DataSetState::Edit || state == DataSetState::Insert;
    const bool browsing = state == DataSetState::Browse;
    const bool browsingRecords = browsing && situation.hasRecords;

    CommandStates commands;
    commands.cancelar = editing;
    commands.confirmar = editing;
    commands.alterar = browsingRecords && situation.canAlter;
    commands.selectionPanel = !editing;
    commands.otherPage = !editing;
    if (situation.dataSheet) {
        // The list only has its observation edited: no row is added,
        // removed, searched or refreshed by the maintenance commands.
        commands.filtrar = !editing;
        commands.navigator = !editing;
        return commands;
    }
    commands.navigator = browsing;
    commands.excluir = browsingRecords;
    commands.procurar = browsingRecords;
    commands.verificar = browsingRecords;
    commands.calcNutr = browsing && situation.servicesHaveRecords;
    switch (situation.level) {
    case RecordLevelId::PatientList:
        break;
    case RecordLevelId::Services:
        commands.incluir = browsing;
        break;
    case RecordLevelId::Items:
        commands.incluir = browsing && situation.parentHasRecords;
        commands.automatico = browsing && situation.parentHasRecords;
        break;
    case RecordLevelId::Occurrences:
        commands.incluir = browsing;
        break;
    }
    return commands;
}
