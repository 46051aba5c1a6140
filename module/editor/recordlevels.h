#pragma once

#include "editor/commandstates.h"

#include <QString>

#include <functional>
#include <optional>

class ClientDataSet;
class TDBGrid;

// One record level of the editor, as the maintenance commands see it. The
// editor keeps one row per level (TfrmEntParenteral::buildRecordLevels) and
// every command handler looks the level up there instead of testing grids
// one by one: a new level is a new row.
struct RecordLevel
{
    RecordLevelId id;
    TDBGrid *grid = nullptr;
    ClientDataSet *dataSet = nullptr;
    // Verificar: reads the level again from the server.
    std::function<void()> reload;
    // The column Alterar moves to before editing; empty when the stored
    // records of the level are never altered (Alterar stays disabled).
    QString alterField;
    // The level whose current record the records of this one belong to.
    std::optional<RecordLevelId> parent;
};
