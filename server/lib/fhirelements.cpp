#include "lib/fhirelements.h"

#include <algorithm>

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUuid>

namespace Fhir {

namespace {

const QString ucumSystem = QStringLiteral("http://unitsofmeasure.org");
// Namespace of the entry addresses (a name-based UUID per resource).
const QUuid entryNamespace = QUuid::fromString(QStringLiteral("{6f1c9b7e-3a52-4d8e-9b61-2f0c7d4e8a15}"));

} // namespace

QString codeSystem(const QString &name)
{
    return QStringLiteral("urn:entpat:") + name;
}

QString resourceId(const QStringList &parts)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]+$"));
    const QString joined = parts.join(QLatin1Char('-'));
    const bool readable = joined.size() <= 64
        && std::all_of(parts.begin(), parts.end(), [](const QString &part) { return plain.match(part).hasMatch(); });
    if (readable)
        return joined;
    const QByteArray digest =
        QCryptographicHash::hash(parts.join(QChar(0x1f)).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QLatin1Char('h') + QString::fromLatin1(digest);
}

QString entryUrl(const QString &resourceType, const QString &id)
{
    return QStringLiteral("urn:uuid:")
        + QUuid::createUuidV5(entryNamespace, resourceType + QLatin1Char('/') + id).toString(QUuid::WithoutBraces);
}

QString dateTime(const QDateTime &local)
{
    return local.toOffsetFromUtc(local.offsetFromUtc()).toString(Qt::ISODate);
}

QString date(const QDate &day)
{
    return day.toString(Qt::ISODate);
}

QJsonObject identifier(const QString &system, const QString &value)
{
    return {{QStringLiteral("system"), system}, {QStringLiteral("value"), value}};
}

QJsonObject coding(const QString &system, const QString &code, const QString &display)
{
    QJsonObject object{{QStringLiteral("system"), system}, {QStringLiteral("code"), code}};
    if (!display.isEmpty())
        object.insert(QStringLiteral("display"), display);
    return object;
}

QJsonObject codeableConcept(const QString &system, const QString &code, const QString &display)
{
    QJsonObject object;
    if (!code.isEmpty())
        object.insert(QStringLiteral("coding"), QJsonArray{coding(system, code, display)});
    object.insert(QStringLiteral("text"), display.isEmpty() ? code : display);
    return object;
}

QJsonObject reference(const QString &type, const QJsonObject &identifier, const QString &display)
{
    QJsonObject object{{QStringLiteral("type"), type}, {QStringLiteral("identifier"), identifier}};
    if (!display.isEmpty())
        object.insert(QStringLiteral("display"), display);
    return object;
}

QJsonObject quantity(double value, const QString &ucum)
{
    return {{QStringLiteral("value"), value},
            {QStringLiteral("unit"), ucum},
            {QStringLiteral("system"), ucumSystem},
            {QStringLiteral("code"), ucum}};
}

QJsonObject searchBundle(const QString &selfUrl, const QList<QJsonObject> &resources)
{
    QJsonObject bundle{
        {QStringLiteral("resourceType"), QStringLiteral("Bundle")},
        {QStringLiteral("type"), QStringLiteral("searchset")},
        {QStringLiteral("timestamp"), dateTime(QDateTime::currentDateTime())},
        {QStringLiteral("total"), int(resources.size())},
        {QStringLiteral("link"),
         QJsonArray{QJsonObject{{QStringLiteral("relation"), QStringLiteral("self")}, {QStringLiteral("url"), selfUrl}}}},
    };
    // An empty list is no valid FHIR element: a search without matches has
    // no "entry" at all.
    if (resources.isEmpty())
        return bundle;
    QJsonArray entries;
    for (const QJsonObject &resource : resources) {
        const QString type = resource.value(QStringLiteral("resourceType")).toString();
        entries.append(QJsonObject{
            {QStringLiteral("fullUrl"), entryUrl(type, resource.value(QStringLiteral("id")).toString())},
            {QStringLiteral("resource"), resource},
            {QStringLiteral("search"), QJsonObject{{QStringLiteral("mode"), QStringLiteral("match")}}},
        });
    }
    bundle.insert(QStringLiteral("entry"), entries);
    return bundle;
}

QJsonObject operationOutcome(const QString &issueCode, const QString &message)
{
    const QJsonObject issue{
        {QStringLiteral("severity"), QStringLiteral("error")},
        {QStringLiteral("code"), issueCode},
        {QStringLiteral("details"), QJsonObject{{QStringLiteral("text"), message}}},
        {QStringLiteral("diagnostics"), message},
    };
    return {{QStringLiteral("resourceType"), QStringLiteral("OperationOutcome")},
            {QStringLiteral("issue"), QJsonArray{issue}}};
}

} // namespace Fhir
