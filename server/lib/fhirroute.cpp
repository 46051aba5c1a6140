#include "lib/fhirroute.h"

#include "lib/databasepool.h"
#include "lib/fhirelements.h"
#include "lib/fhirnutrition.h"
#include "lib/requesterror.h"
#include "lib/sqlsession.h"

#include <QJsonDocument>

namespace {

QByteArray jsonBody(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

FhirAnswer FhirAnswer::failure(int status, const QString &issueCode, const QString &message)
{
    return {status, jsonBody(Fhir::operationOutcome(issueCode, message)), message};
}

FhirAnswer fhirSearch(DatabasePool &database, const QString &resourceType,
                      const QList<QPair<QString, QString>> &parameters, const QString &selfUrl)
{
    FhirSearch search;
    try {
        search = FhirSearch::parse(parameters);
    } catch (const RequestError &failure) {
        return FhirAnswer::failure(400, QStringLiteral("invalid"), failure.text());
    }
    const auto build = resourceType == QLatin1String("NutritionOrder") ? FhirNutrition::orders : FhirNutrition::intakes;
    const CallOutcome outcome = database.run(QStringLiteral("fhir/") + resourceType, [&](SqlSession &session) {
        try {
            return CallOutcome{jsonBody(build(session, search, selfUrl)), {}};
        } catch (const std::exception &failure) {
            return CallOutcome::failure(QString::fromUtf8(failure.what()));
        }
    });
    if (outcome.ok())
        return {200, outcome.envelope, {}};
    if (outcome.error == DatabasePool::unavailableMessage())
        return FhirAnswer::failure(503, QStringLiteral("transient"), outcome.error);
    return FhirAnswer::failure(500, QStringLiteral("exception"), outcome.error);
}
