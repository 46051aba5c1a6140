#pragma once

#include <QDateTime>
#include <QString>
#include <QVector>

#include <optional>

// What a patient received of what was prescribed for one day: per item the
// volumes, the share delivered, energy and protein from the formulation's
// composition per mL, and the interruptions of its infusion.
//
// Interruptions. An occurrence whose type is an interruption runs from its
// moment to the item's next occurrence (of any type, at a later moment) or
// to the planned end of the infusion, whichever comes first; the planned
// infusion runs from the item's date and hour for prescribed volume / speed
// hours. Only the part inside the planned infusion counts: an occurrence
// before the planned start counts from the start, one at or after the
// planned end counts nothing. Without a planned end (no hour, no volume or
// no speed greater than zero) an interruption ends at the next occurrence;
// when there is none its end and minutes are unknown (null) and add nothing
// to the totals. Several interruptions at the same moment are one: the first
// (by type code) carries the minutes, the others none.

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
    QDateTime end;             // invalid when unknown
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

// The planned end: start + prescribed / speed hours; invalid when unknown.
QDateTime plannedEnd(const InfusionItem &item);
// Hours the prescribed volume takes at the item's speed; null when unknown.
OptionalReal infusionHours(OptionalReal prescribed, OptionalReal speed);
// The interruptions among an item's occurrences, in order of time then type.
QVector<Interruption> interruptionsOf(const InfusionItem &item, QVector<ItemOccurrence> occurrences);
// An item's figures with its interruptions.
DeliveryFigures itemFigures(const InfusionItem &item, const QVector<Interruption> &interruptions);
// The sum of the items' figures; the share delivered is taken from the sums
// of the items that have both volumes.
DeliveryFigures dayFigures(const QVector<DeliveryFigures> &items);
