#include "core/serverresult.h"

#include "core/messages.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

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

ServerResult ServerResult::fromJson(const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    const QJsonObject envelope = document.object();
    const QJsonValue ok = envelope.value(QStringLiteral("ok"));
    if (parseError.error != QJsonParseError::NoError || !document.isObject() || !ok.isBool())
        return failure(QStringLiteral("Resposta inválida do servidor de aplicação."));
    if (ok.toBool())
        return success(envelope.value(QStringLiteral("data")));
    const QString error = envelope.value(QStringLiteral("error")).toString();
    return failure(error.isEmpty() ? QStringLiteral("O servidor de aplicação recusou a operação.") : error);
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
