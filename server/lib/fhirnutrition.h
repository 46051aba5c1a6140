#pragma once

#include "lib/fhirsearch.h"

#include <QJsonObject>

class SqlSession;

// The nutrition exports of one patient's day, as FHIR R5 searchset Bundles.
//
// NutritionOrder: one per composition item, its formulation, access route
// and administration (the hour, the prescribed volume, the speed) as the
// order's enteralFormula. R5 allows one enteralFormula per order, so the
// items of one service record are separate orders sharing the record as
// groupIdentifier.
//
// NutritionIntake: one per composition item, the infused volume and speed
// of its formulation, status "completed" when the prescribed volume was
// infused and "stopped" when less; the item's infusion occurrences as
// statusReason (each type once) and as notes with their time.
namespace FhirNutrition {

QJsonObject orders(SqlSession &session, const FhirSearch &search, const QString &selfUrl);
QJsonObject intakes(SqlSession &session, const FhirSearch &search, const QString &selfUrl);

} // namespace FhirNutrition
