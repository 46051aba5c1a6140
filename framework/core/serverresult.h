#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>
#include <QString>

struct DataPacket;
class JsonReader;

// The answer envelope of the application server:
// {"ok":true,"data":...} or {"ok":false,"error":"<message for the user>"}.
struct ServerResult
{
    bool ok = false;
    QJsonValue data;
    QString error;
    // The call got no answer (no connection, or the answer never came), as
    // opposed to a refusal by the server: what was sent may or may not have
    // been applied, and sending it again is up to the caller.
    bool unanswered = false;

    static ServerResult success(const QJsonValue &data);
    static ServerResult failure(const QString &error);
    static ServerResult noAnswer(const QString &error);
    // A body that is not an envelope reads as a failure saying so.
    static ServerResult fromJson(const QByteArray &body);
    // The same for an answer whose data is a data packet: the packet is read
    // from the text straight into `packet` (rows with room for `rowCapacity`
    // values, see DataPacket::fromJsonText) and `data` stays undefined.
    // Throws UserError when the server's answer is ok but its packet is
    // malformed.
    static ServerResult fromPacketJson(QByteArrayView body, DataPacket &packet, qsizetype rowCapacity = 0);
    // The same read by `reader`, as from an answer still arriving.
    static ServerResult fromPacketJson(JsonReader &reader, DataPacket &packet, qsizetype rowCapacity = 0);
    QByteArray toJson() const;
};

// Reads a server result: on failure shows its message through MensErro and,
// when `raise` is true, ends the operation with Abort. Returns the data.
QJsonValue CheckResultServ(const ServerResult &result, bool raise = true, int unused = 0);
