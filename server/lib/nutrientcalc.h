#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

// What a patient received of what was prescribed for one day: per item the
// volumes, the share delivered, energy and protein from the formulation's
// composition per mL, and the interruptions of its infusion.
//
// Interruptions. An occurrence whose type is an interruption stops the
// infusion from its moment to the item's next occurrence (of any type, at a
// later moment) or to the planned end of the infusion, whichever comes
// first; the planned infusion runs from the item's date and hour for
// prescribed volume / speed hours. Only the part inside the planned infusion
// is counted, and the interval listed is that part: from the later of the
// occurrence and the planned start to the earlier of the next occurrence and
// the planned end. An occurrence with nothing left to count (at or after the
// planned end, or ended before the planned start) is no interruption, nor is
// a second one at the same moment as another (the first by type code is the
// one counted). Without a planned end (no hour, no volume or no speed greater
// than zero) an interruption ends at the next occurrence; when there is none
// its end and minutes are unknown (null) and add nothing to the totals.

using OptionalReal = std::optional<double>;

struct InfusionItem
{
    QString sequence;          // NRSEQUSERV
    QString number;            // CDSEQUCOPR
    OptionalReal prescribed;   // mL
    OptionalReal infused;      // mL
    OptionalReal speed;        // mL/h
    OptionalReal kcalPerMl;
    OptionalReal proteinPerMl; // g/mL
    QDateTime plannedStart;    // invalid when the item has no hour
};

struct ItemOccurrence
{
    QDateTime at;
    QString type;
    bool interruption = false;
};

struct Interruption
{
    ItemOccurrence occurrence;
    QDateTime begin;           // start of the counted interval
    QDateTime end;             // end of the counted interval; invalid when unknown
    OptionalReal minutes;      // whole minutes; null when the end is unknown
};

// The figures of one item or of the whole day.
struct DeliveryFigures
{
    OptionalReal prescribed;
    OptionalReal infused;
    OptionalReal percentDelivered;
    OptionalReal kcalPrescribed;
    OptionalReal kcalInfused;
    OptionalReal proteinPrescribed;
    OptionalReal proteinInfused;
    int interruptions = 0;
    double interruptionMinutes = 0;
};

// part / whole in percent; null when either is unknown or whole is not above zero.
OptionalReal percentOf(OptionalReal part, OptionalReal whole);
// The planned end: start + prescribed / speed hours; invalid when unknown.
QDateTime plannedEnd(const InfusionItem &item);
// Hours the prescribed volume takes at the item's speed; null when unknown.
OptionalReal infusionHours(OptionalReal prescribed, OptionalReal speed);
// The interruptions counted among an item's occurrences, in order of time.
QVector<Interruption> interruptionsOf(const InfusionItem &item, QVector<ItemOccurrence> occurrences);
// An item's figures with its interruptions.
DeliveryFigures itemFigures(const InfusionItem &item, const QVector<Interruption> &interruptions);
// The sum of the items' figures; the share delivered is taken from the sums
// of the items that have both volumes.
DeliveryFigures dayFigures(const QVector<DeliveryFigures> &items);
