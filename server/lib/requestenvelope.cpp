#include "lib/requestenvelope.h"

#include "lib/database.h"
#include "lib/requesterror.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

namespace {

QString argumentError(const QString &method, int index, const QString &expected)
{
    return QStringLiteral("Requisição inválida: o argumento %1 de %2 deve ser %3.").arg(index + 1).arg(method, expected);
}

} // namespace

QJsonArray requestArgs(const QByteArray &body)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        throw RequestError(QStringLiteral("Requisição inválida: o corpo não é JSON válido (%1).").arg(parseError.errorString()));
    const QJsonValue args = document.object().value(QStringLiteral("args"));
    if (!document.isObject() || !args.isArray())
        throw RequestError(QStringLiteral("Requisição inválida: o corpo deve ser {\"args\":[...]}."));
    return args.toArray();
}

void checkArgs(const QString &method, const QVector<ArgKind> &kinds, const QJsonArray &args)
{
    if (args.size() != kinds.size())
        throw RequestError(QStringLiteral("Requisição inválida: %1 espera %2 argumento(s) e recebeu %3.")
                               .arg(method)
                               .arg(kinds.size())
                               .arg(args.size()));
    for (int i = 0; i < args.size(); ++i) {
        const QJsonValue value = args.at(i);
        switch (kinds.at(i)) {
        case ArgKind::Text:
            if (!value.isString() && !value.isNull())
                throw RequestError(argumentError(method, i, QStringLiteral("um texto")));
            break;
        case ArgKind::DateTime: {
            bool ok = value.isString() || value.isNull();
            if (ok)
                parseDateTime(value.toVariant(), &ok);
            if (!ok)
                throw RequestError(argumentError(method, i, QStringLiteral("uma data e hora")));
            break;
        }
        case ArgKind::Changes:
            if (!value.isObject() || !value.toObject().value(QStringLiteral("changes")).isArray())
                throw RequestError(argumentError(method, i, QStringLiteral("um pacote de alterações")));
            break;
        }
    }
}
