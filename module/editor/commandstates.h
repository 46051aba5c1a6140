#pragma once

#include "core/clientdataset.h"

// The editor's record levels, from the top: the patient list of the data
// sheet, then the service records, their composition items and the items'
// occurrences on the form page.
enum class RecordLevelId { PatientList, Services, Items, Occurrences };

// What decides the editor's commands at one moment: the page shown, the
// level the commands act on (the level whose grid has, or last had, the
// focus) and that level's situation.
struct CommandSituation
{
    bool dataSheet = false;
    RecordLevelId level = RecordLevelId::Services;
    DataSetState state = DataSetState::Inactive;
    bool hasRecords = false;        // the level holds at least one record
    bool parentHasRecords = false;  // its parent level holds at least one record
    bool servicesHaveRecords = false;
    bool canAlter = false;          // the level has a column that Alterar opens
};

// The enabled state of every command and control the situation governs.
struct CommandStates
{
    bool incluir = false;
    bool alterar = false;
    bool excluir = false;
    bool procurar = false;
    bool verificar = false;
    bool cancelar = false;
    bool confirmar = false;
    bool filtrar = false;
    bool calcNutr = false;
    bool automatico = false;
    bool navigator = false;
    // The tab of the other page and its menu entry.
    bool otherPage = false;
    // The patient panel (form page) or the branch panel (data sheet).
    bool selectionPanel = false;

    bool operator==(const CommandStates &) const = default;
};

CommandStates ComputeCommandStates(const CommandSituation &situation);
