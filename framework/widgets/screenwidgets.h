#pragma once

#include <QString>

class ClientDataSet;
class QLabel;
class QWidget;
class TDBGrid;

// Controls the suite's screens build alike.
// A grid that shows a dataset without editing it.
TDBGrid *NewReadOnlyGrid(const QString &objectName, const QString &accessibleName, ClientDataSet *data);
// A label naming its control: Alt with the marked letter moves to the
// control, and assistive technology reads the text as the control's name
// when the control has none of its own.
QLabel *BuddyLabel(const QString &text, QWidget *control);
