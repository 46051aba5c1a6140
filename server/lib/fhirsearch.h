#pragma once

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

// The search of the nutrition exports: one patient's service records of one
// day in one branch,
//   GET /fhir/NutritionOrder?patient=<code>&date=<yyyy-mm-dd>&branch=<code>
// (the patient also as "Patient/<code>").
struct FhirSearch
{
    QString patient;
    QDate date;
    QString branch;

    // Reads the decoded query parameters in request order. Throws
    // RequestError naming the parameter that is missing, repeated, unknown,
    // empty or not a date: the search answers a partial or different set
    // of records in no case.
    static FhirSearch parse(const QList<QPair<QString, QString>> &parameters);
};
