#include "lib/nutrientcalc.h"

#include <algorithm>

namespace {

bool positive(OptionalReal value)
{
    return value && *value > 0;
}

OptionalReal product(OptionalReal volume, OptionalReal perMl)
{
    if (!volume || !perMl)
        return std::nullopt;
    return *volume * *perMl;
}

void add(OptionalReal &sum, OptionalReal value)
{
    if (value)
        sum = sum.value_or(0) + *value;
}

} // namespace

OptionalReal percentOf(OptionalReal part, OptionalReal whole)
{
    if (!part || !positive(whole))
        return std::nullopt;
    return *part / *whole * 100.0;
}

OptionalReal infusionHours(OptionalReal prescribed, OptionalReal speed)
{
    if (!positive(prescribed) || !positive(speed))
        return std::nullopt;
    return *prescribed / *speed;
}

QDateTime plannedEnd(const InfusionItem &item)
{
    const OptionalReal hours = infusionHours(item.prescribed, item.speed);
    if (!item.plannedStart.isValid() || !hours)
        return {};
    return item.plannedStart.addSecs(qRound64(*hours * 3600.0));
}

QVector<Interruption> interruptionsOf(const InfusionItem &item, QVector<ItemOccurrence> occurrences)
{
    std::sort(occurrences.begin(), occurrences.end(), [](const ItemOccurrence &a, const ItemOccurrence &b) {
        return a.at != b.at ? a.at < b.at : a.type < b.type;
    });
    const QDateTime plannedStop = plannedEnd(item);
    QVector<Interruption> found;
    for (auto it = occurrences.cbegin(); it != occurrences.cend(); ++it) {
        if (!it->interruption || (!found.isEmpty() && found.last().occurrence.at == it->at))
            continue;
        Interruption interruption{*it, it->at, plannedStop, std::nullopt};
        if (item.plannedStart.isValid())
            interruption.begin = std::max(interruption.begin, item.plannedStart);
        const auto next = std::find_if(it, occurrences.cend(), [&](const ItemOccurrence &o) { return o.at > it->at; });
        if (next != occurrences.cend() && (!plannedStop.isValid() || next->at < plannedStop))
            interruption.end = next->at;
        if (interruption.end.isValid()) {
            const qint64 seconds = interruption.begin.secsTo(interruption.end);
            if (seconds <= 0)
                continue;
            interruption.minutes = double(qRound64(seconds / 60.0));
        }
        found << interruption;
    }
    return found;
}

DeliveryFigures itemFigures(const InfusionItem &item, const QVector<Interruption> &interruptions)
{
    DeliveryFigures figures;
    figures.prescribed = item.prescribed;
    figures.infused = item.infused;
    figures.percentDelivered = percentOf(item.infused, item.prescribed);
    figures.kcalPrescribed = product(item.prescribed, item.kcalPerMl);
    figures.kcalInfused = product(item.infused, item.kcalPerMl);
    figures.proteinPrescribed = product(item.prescribed, item.proteinPerMl);
    figures.proteinInfused = product(item.infused, item.proteinPerMl);
    figures.interruptions = int(interruptions.size());
    for (const Interruption &interruption : interruptions)
        figures.interruptionMinutes += interruption.minutes.value_or(0);
    return figures;
}

DeliveryFigures dayFigures(const QVector<DeliveryFigures> &items)
{
    DeliveryFigures total;
    OptionalReal comparedPrescribed;
    OptionalReal comparedInfused;
    for (const DeliveryFigures &item : items) {
        add(total.prescribed, item.prescribed);
        add(total.infused, item.infused);
        if (item.prescribed && item.infused) {
            add(comparedPrescribed, item.prescribed);
            add(comparedInfused, item.infused);
        }
        add(total.kcalPrescribed, item.kcalPrescribed);
        add(total.kcalInfused, item.kcalInfused);
        add(total.proteinPrescribed, item.proteinPrescribed);
        add(total.proteinInfused, item.proteinInfused);
        total.interruptions += item.interruptions;
        total.interruptionMinutes += item.interruptionMinutes;
    }
    total.percentDelivered = percentOf(comparedInfused, comparedPrescribed);
    return total;
}
