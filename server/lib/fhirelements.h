#pragma once

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

// Building blocks of FHIR R5 JSON shared by the exported resources. The
// suite's own codes travel in code systems named "urn:entpat:<table>".
namespace Fhir {

QString codeSystem(const QString &name);
// A resource id ([A-Za-z0-9-.]{1,64}) made of key parts: the parts joined
// by "-" when they are plain letters and digits and short enough, otherwise
// "h" and a digest of the parts (codes may hold any character).
QString resourceId(const QStringList &parts);
// The "urn:uuid:" entry address of a resource, the same on every search.
QString entryUrl(const QString &resourceType, const QString &id);
// dateTime with the local offset (FHIR requires a zone with a time).
QString dateTime(const QDateTime &local);
QString date(const QDate &day);

QJsonObject identifier(const QString &system, const QString &value);
QJsonObject coding(const QString &system, const QString &code, const QString &display);
// A concept with one coding when there is a code, and the text shown.
QJsonObject codeableConcept(const QString &system, const QString &code, const QString &display);
// A logical reference: the identifier of something this server does not
// serve as a resource, and its name when known.
QJsonObject reference(const QString &type, const QJsonObject &identifier, const QString &display = {});
// A quantity in a UCUM unit (mL, mL/h).
QJsonObject quantity(double value, const QString &ucum);
// A searchset Bundle of already built resources.
QJsonObject searchBundle(const QString &selfUrl, const QList<QJsonObject> &resources);
// An OperationOutcome of one error issue.
QJsonObject operationOutcome(const QString &issueCode, const QString &message);

} // namespace Fhir
