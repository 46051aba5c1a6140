#pragma once

#include "lib/nutrientcalc.h"

#include <QDate>
#include <QMap>
#include <QVector>

// Whether a patient receives what they need, day after day of a stay.
//
// Goals are set per kg and day; a day's goal is that times the day's
// weight: the weight recorded on that day, else the latest one recorded
// earlier in the stay. Without any weight so far the day's goal is unknown
// (null), never guessed. Adequacy is prescribed / goal and infused / goal in
// percent. The cumulative balance is infused minus goal summed from the
// first day, over the days whose goal is known; a day without items, or
// whose infusion is not recorded, counts as nothing infused. It stays null
// until a day with a known goal.

struct GoalsPerKg
{
    OptionalReal kcal;     // kcal/kg/day
    OptionalReal protein;  // g/kg/day
};

// What the records of one day hold: the weight recorded that day, if any,
// and the figures of each of the day's items.
struct RecordedDay
{
    OptionalReal weight;
    QVector<DeliveryFigures> items;
};

struct DayAdequacy
{
    QDate day;
    OptionalReal weight;
    int items = 0;
    OptionalReal kcalGoal;
    OptionalReal proteinGoal;
    DeliveryFigures figures;  // sums of the day's items
    OptionalReal kcalPrescribedPercent;
    OptionalReal kcalInfusedPercent;
    OptionalReal proteinPrescribedPercent;
    OptionalReal proteinInfusedPercent;
    OptionalReal kcalBalance;
    OptionalReal proteinBalance;
};

// Every day from `first` to `last` (both included), from the days recorded.
QVector<DayAdequacy> stayAdequacy(const GoalsPerKg &goals, const QDate &first, const QDate &last,
                                  const QMap<QDate, RecordedDay> &recorded);

// True when each of the last `dayCount` days with items has a known energy
// goal and infused energy below `thresholdPercent` of it. A stay with fewer
// days with items, or with an unknown goal on one of them, is not judged.
bool belowGoal(const QVector<DayAdequacy> &days, double thresholdPercent, int dayCount);

// The last `dayCount` days with items, oldest first (fewer when the stay has
// fewer).
QVector<DayAdequacy> lastDaysWithItems(const QVector<DayAdequacy> &days, int dayCount);
