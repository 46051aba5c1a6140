#pragma once

#include <QByteArray>
#include <QList>
#include <QStringView>

// JSON text written straight into a byte buffer. The server's data packets
// are built this way, row by row from the query: going through
// QJsonObject/QJsonArray and QJsonDocument::toJson cost several times the
// query itself for a list of patients.
using JsonText = QByteArray;

// Appends `text` as a JSON string: quotes, backslashes and control
// characters escaped, everything else (non-ASCII included) as UTF-8.
void appendJsonString(QByteArray &out, QStringView text);
// Appends a number in the shortest form that reads back the same; null
// for NaN and infinities, which JSON cannot carry.
void appendJsonNumber(QByteArray &out, double value);
// "[a,b,...]" of already written JSON values.
JsonText jsonArray(const QList<JsonText> &values);

inline JsonText jsonNull() { return QByteArrayLiteral("null"); }
