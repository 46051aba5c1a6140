#pragma once

#include "core/packets.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

// Value conversions and pt_BR texts of dataset fields.

// An invalid variant, or an empty text, is a null value.
bool isNullValue(const QVariant &value);

// Converts a value to a field type: texts cut to `size` (when > 0), numbers
// and dates read from texts; null stays null. Throws UserError naming the
// field's label when the value cannot be converted.
QVariant convertToFieldType(const QVariant &value, FieldType type, int size, const QString &label);

// Whether the value is already what convertToFieldType would make of it.
bool hasFieldType(const QVariant &value, FieldType type, int size);

// Reads a typed text in the default locale (pt_BR: dd/MM/yyyy [hh:mm[:ss]],
// decimal comma, dot as group separator). Blank text, or a blank date mask
// such as "  /  /    ", is null. Throws UserError on bad text.
QVariant parseFieldText(const QString &text, FieldType type, const QString &label);

// A number in a classic display format: "#,##0.000" groups thousands and
// shows three decimals, "##0.00" two decimals without grouping. Without a
// format, the shortest exact text without grouping.
QString formatReal(double value, const QString &format);

// A date-time in a Qt format; without one, dd/MM/yyyy, with " hh:mm" when
// the time is not midnight.
QString formatDateTime(const QDateTime &value, const QString &format);

bool valuesEqual(const QVariant &a, const QVariant &b, FieldType type, Qt::CaseSensitivity sensitivity);
