#pragma once

#include <QString>

class QWidget;
class TDBGrid;

// The index of the grid column showing the field (case-insensitive), -1
// when none does.
int IndiceCol(TDBGrid &grid, const QString &fieldName);
// Enables or disables every child control of the container (the container
// itself stays as it is).
void SetChildEnabled(QWidget *container, bool enabled);
