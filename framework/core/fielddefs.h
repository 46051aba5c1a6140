#pragma once

#include "core/clientdataset.h"

#include <QString>

// Persistent field declarations for the datasets of the suite's screens:
// a name, a caption for grids, and the display format by type.
FieldDef TextField(const QString &name, int size, const QString &label);
FieldDef DateField(const QString &name, const QString &label);
FieldDef IntegerField(const QString &name, const QString &label);
// Shown with `decimals` places and thousands separated ("#,##0.0").
FieldDef RealField(const QString &name, const QString &label, int decimals);

// Declares the fields on the dataset, in order.
void AddFields(ClientDataSet &dataSet, std::initializer_list<FieldDef> fields);
