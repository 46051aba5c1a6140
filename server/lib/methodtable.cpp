#include "lib/methodtable.h"

#include "lib/requesterror.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

QString argumentError(const QString &method, int index, const QString &expected)
{
    return QStringLiteral("Requisição inválida: o argumento %1 de %2 deve ser %3.").arg(index + 1).arg(method, expected);
}

void checkArgs(const MethodDef &method, const QJsonArray &args)
{
    if (args.size() != method.args.size())
        throw RequestError(QStringLiteral("Requisição inválida: %1 espera %2 argumento(s) e recebeu %3.")
                               .arg(method.name)
                               .arg(method.args.size())
                               .arg(args.size()));
    for (int i = 0; i < args.size(); ++i) {
        const QJsonValue value = args.at(i);
        switch (method.args.at(i)) {
        case ArgKind::Text:
            if (!value.isString() && !value.isNull())
                throw RequestError(argumentError(method.name, i, QStringLiteral("um texto")));
            break;
        case ArgKind::DateTime: {
            bool ok = value.isString() || value.isNull();
            if (ok)
                parseDateTime(value.toVariant(), &ok);
            if (!ok)
                throw RequestError(argumentError(method.name, i, QStringLiteral("uma data e hora")));
            break;
        }
        case ArgKind::Changes:
            if (!value.isObject() || !value.toObject().value(QStringLiteral("changes")).isArray())
                throw RequestError(argumentError(method.name, i, QStringLiteral("um pacote de alterações")));
            break;
        }
    }
}

const MethodDef *findMethod(const QString &name)
{
    for (const MethodDef &method : entPatMethods()) {
        if (method.name == name)
            return &method;
    }
    return nullptr;
}

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

QByteArray envelope(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QString MethodArgs::text(int index) const
{
    return m_values.at(index).toString();
}

QDateTime MethodArgs::dateTime(int index) const
{
    return parseDateTime(m_values.at(index).toVariant());
}

const MethodTable &entPatMethods()
{
    static const MethodTable table = [] {
        MethodTable all;
        addPatientMethods(all);
        addServiceMethods(all);
        addItemMethods(all);
        addOccurrenceMethods(all);
        addAutoScheduleMethods(all);
        addAuditMethods(all);
        addCopyMethods(all);
        addStatisticsMethods(all);
        addNutrientMethods(all);
        addAdequacyMethods(all);
        return all;
    }();
    return table;
}

QByteArray failureEnvelope(const QString &message)
{
    return envelope({{QStringLiteral("ok"), false}, {QStringLiteral("error"), message}});
}

CallOutcome CallOutcome::success(const JsonText &data)
{
    return {QByteArrayLiteral("{\"ok\":true,\"data\":") + data + '}', {}};
}

MethodArgs checkedArgs(const MethodDef &method, const QByteArray &body)
{
    const QJsonArray args = requestArgs(body);
    checkArgs(method, args);
    return MethodArgs(args);
}

CallOutcome CallOutcome::failure(const QString &message)
{
    return {failureEnvelope(message), message};
}

CallOutcome dispatchCall(SqlSession &session, const CallOrigin &origin, const QByteArray &body)
{
    const MethodDef *method = findMethod(origin.method);
    if (!method)
        return CallOutcome::failure(QStringLiteral("Método desconhecido: %1.").arg(origin.method));
    return dispatchMethod(session, *method, origin, body);
}

CallOutcome dispatchMethod(SqlSession &session, const MethodDef &method, const CallOrigin &origin,
                           const QByteArray &body)
{
    try {
        const MethodArgs args = checkedArgs(method, body);
        session.setOrigin(origin);
        return CallOutcome::success(method.body(session, args));
    } catch (const RequestError &error) {
        return CallOutcome::failure(error.text());
    } catch (const std::exception &error) {
        return CallOutcome::failure(
            QStringLiteral("Erro interno do servidor de aplicação: %1").arg(QString::fromUtf8(error.what())));
    }
}

CallOutcome echoCall(const QByteArray &body)
{
    try {
        return {envelope({{QStringLiteral("ok"), true}, {QStringLiteral("data"), requestArgs(body)}}), {}};
    } catch (const RequestError &error) {
        return CallOutcome::failure(error.text());
    }
}
