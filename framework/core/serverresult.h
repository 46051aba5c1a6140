#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// The answer envelope of the application server:
// {"ok":true,"data":...} or {"ok":false,"error":"<message for the user>"}.
struct ServerResult
{
    bool ok = false;
    QJsonValue data;
    QString error;

    static ServerResult success(const QJsonValue &data);
    static ServerResult failure(const QString &error);
    // A body that is not an envelope reads as a failure saying so.
    static ServerResult fromJson(const QByteArray &body);
    QByteArray toJson() const;
};

// Reads a server result: on failure shows its message through MensErro and,
// when `raise` is true, ends the operation with Abort. Returns the data.
QJsonValue CheckResultServ(const ServerResult &result, bool raise = true, int unused = 0);
