#pragma once

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"

#include <QString>

// Small questions the record levels ask of their dataset and grid.

// The dataset holds a pending edit or a new record.
inline bool isEditing(const ClientDataSet &dataSet)
{
    return dataSet.State() == DataSetState::Edit || dataSet.State() == DataSetState::Insert;
}

// The field of the grid's selected column; empty when there is none.
inline QString selectedFieldName(const TDBGrid &grid)
{
    const Field *field = grid.SelectedField();
    return field ? field->FieldName() : QString();
}
