#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

class DatabasePool;

// What a FHIR request answers: HTTP status, a FHIR JSON body (a Bundle, or
// an OperationOutcome on failure) and the failure's text for the log.
struct FhirAnswer
{
    int status = 200;
    QByteArray body;
    QString error;

    static FhirAnswer failure(int status, const QString &issueCode, const QString &message);
};

inline constexpr char fhirContentType[] = "application/fhir+json; charset=utf-8";

// Answers GET /fhir/<resourceType>?<parameters> (NutritionOrder or
// NutritionIntake): bad parameters with 400, before any database work; the
// search itself on a database connection of the pool, its failure with 500 (503 when the
// database cannot be reached).
FhirAnswer fhirSearch(DatabasePool &database, const QString &resourceType,
                      const QList<QPair<QString, QString>> &parameters, const QString &selfUrl);
