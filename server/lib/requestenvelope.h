#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QString>
#include <QVector>

// The request body of a call, {"args":[...]}: outside input, read here
// before any method runs.

// What one positional argument must be.
enum class ArgKind {
    Text,       // a JSON string (null reads as empty)
    DateTime,   // ISO text without zone, or null
    Changes,    // a change packet object {"changes":[...]}
};

// The positional arguments of a request body. Throws RequestError when the
// body is not JSON or not an object with an "args" array.
QJsonArray requestArgs(const QByteArray &body);

// Checks the arguments against the kinds the method expects, in number and
// kind. Throws RequestError naming the method and the argument.
void checkArgs(const QString &method, const QVector<ArgKind> &kinds, const QJsonArray &args);
