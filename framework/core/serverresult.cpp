#include "core/serverresult.h"

#include "core/jsonreader.h"
#include "core/messages.h"
#include "core/packets.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <optional>

ServerResult ServerResult::success(const QJsonValue &data)
{
    return {true, data, {}};
}

ServerResult ServerResult::failure(const QString &error)
{
    return {false, QJsonValue(), error};
}

ServerResult ServerResult::noAnswer(const QString &error)
{
    return {false, QJsonValue(), error, true};
}

namespace {

ServerResult invalidAnswer()
{
    return ServerResult::failure(QStringLiteral("Resposta inválida do servidor de aplicação."));
}

ServerResult refusal(const QString &error)
{
    return ServerResult::failure(error.isEmpty() ? QStringLiteral("O servidor de aplicação recusou a operação.")
                                                 : error);
}

} // namespace

ServerResult ServerResult::fromJson(const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    const QJsonObject envelope = document.object();
    const QJsonValue ok = envelope.value(QStringLiteral("ok"));
    if (parseError.error != QJsonParseError::NoError || !document.isObject() || !ok.isBool())
        return invalidAnswer();
    if (ok.toBool())
        return success(envelope.value(QStringLiteral("data")));
    return refusal(envelope.value(QStringLiteral("error")).toString());
}

ServerResult ServerResult::fromPacketJson(QByteArrayView body, DataPacket &packet, qsizetype rowCapacity)
{
    JsonReader reader(body);
    return fromPacketJson(reader, packet, rowCapacity);
}

ServerResult ServerResult::fromPacketJson(JsonReader &reader, DataPacket &packet, qsizetype rowCapacity)
{
    std::optional<bool> ok;
    QString error;
    // A packet is read where it stands, also before "ok" (a streamed answer
    // tells whether it went well after its rows), and kept only when ok.
    DataPacket data;
    bool haveData = false;
    try {
        reader.beginObject();
        QString key;
        while (reader.nextKey(key)) {
            if (key == QLatin1String("ok") && reader.peek() == JsonReader::Kind::Boolean) {
                ok = reader.readBoolean();
            } else if (key == QLatin1String("error") && reader.peek() == JsonReader::Kind::String) {
                error = reader.readString();
            } else if (key == QLatin1String("data") && ok != false) {
                data = DataPacket::read(reader, rowCapacity);
                haveData = true;
            } else {
                reader.skipValue();
            }
        }
        reader.expectEnd();
    } catch (const JsonSyntaxError &) {
        return invalidAnswer();
    }
    if (!ok.has_value())
        return invalidAnswer();
    if (!*ok)
        return refusal(error);
    packet = haveData ? std::move(data) : DataPacket::fromJsonText("null", rowCapacity);
    return success(QJsonValue(QJsonValue::Undefined));
}

QByteArray ServerResult::toJson() const
{
    QJsonObject envelope{{QStringLiteral("ok"), ok}};
    if (ok)
        envelope.insert(QStringLiteral("data"), data);
    else
        envelope.insert(QStringLiteral("error"), error);
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

QJsonValue CheckResultServ(const ServerResult &result, bool raise, int)
{
    if (!result.ok)
        MensErro(result.error, raise);
    return result.data;
}
