#pragma once

#include <QString>

class QChar;
class QLineEdit;
class QWidget;
class TDBGrid;

// The index of the grid column showing the field (case-insensitive), -1
// when none does.
int IndiceCol(TDBGrid &grid, const QString &fieldName);
// Enables or disables every child control of the container (the container
// itself stays as it is).
void SetChildEnabled(QWidget *container, bool enabled);
// MaxNumber for a key typed into the line edit: its text with the key
// replacing the selection, or inserted at the caret when nothing is selected.
// A refused key is set to QChar().
bool EditMaxNumber(const QLineEdit &editor, int intDigits, int decDigits, QChar &key);
// MaxNumber for a key typed into the grid's cell: the open cell editor's
// text and selection (the caret when nothing is selected), or an empty
// text when no editor is open yet. A refused key is set to QChar().
bool GridMaxNumber(const TDBGrid &grid, int intDigits, int decDigits, QChar &key);
