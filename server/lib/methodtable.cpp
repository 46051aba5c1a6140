#include "lib/methodtable.h"

#include "lib/requestenvelope.h"
#include "lib/requesterror.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QByteArray kSuccessStart = QByteArrayLiteral("{\"ok\":true,\"data\":");

QByteArray envelope(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

const MethodDef *findMethod(const QString &name)
{
    for (const MethodDef &method : entPatMethods()) {
        if (method.name == name)
            return &method;
    }
    return nullptr;
}

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
    return {kSuccessStart + data + '}', {}};
}

JsonText CallOutcome::data() const
{
    return envelope.sliced(kSuccessStart.size(), envelope.size() - kSuccessStart.size() - 1);
}

MethodArgs checkedArgs(const MethodDef &method, const QByteArray &body)
{
    const QJsonArray args = requestArgs(body);
    checkArgs(method.name, method.args, args);
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
