#include "lib/adequacy.h"

namespace {

OptionalReal times(OptionalReal perKg, OptionalReal weight)
{
    if (!perKg || !weight)
        return std::nullopt;
    return *perKg * *weight;
}

// Adds the day's infused minus its goal to the running balance; a day
// without a known goal leaves the balance as it was.
void addToBalance(OptionalReal &balance, OptionalReal infused, OptionalReal goal)
{
    if (goal)
        balance = balance.value_or(0) + infused.value_or(0) - *goal;
}

} // namespace

QVector<DayAdequacy> stayAdequacy(const GoalsPerKg &goals, const QDate &first, const QDate &last,
                                  const QMap<QDate, RecordedDay> &recorded)
{
    QVector<DayAdequacy> days;
    OptionalReal weight;
    OptionalReal kcalBalance;
    OptionalReal proteinBalance;
    for (QDate date = first; date.isValid() && date <= last; date = date.addDays(1)) {
        const RecordedDay record = recorded.value(date);
        if (record.weight)
            weight = record.weight;
        DayAdequacy day;
        day.day = date;
        day.weight = weight;
        day.items = int(record.items.size());
        day.kcalGoal = times(goals.kcal, weight);
        day.proteinGoal = times(goals.protein, weight);
        day.figures = dayFigures(record.items);
        day.kcalPrescribedPercent = percentOf(day.figures.kcalPrescribed, day.kcalGoal);
        day.kcalInfusedPercent = percentOf(day.figures.kcalInfused, day.kcalGoal);
        day.proteinPrescribedPercent = percentOf(day.figures.proteinPrescribed, day.proteinGoal);
        day.proteinInfusedPercent = percentOf(day.figures.proteinInfused, day.proteinGoal);
        addToBalance(kcalBalance, day.figures.kcalInfused, day.kcalGoal);
        addToBalance(proteinBalance, day.figures.proteinInfused, day.proteinGoal);
        day.kcalBalance = kcalBalance;
        day.proteinBalance = proteinBalance;
        days << day;
    }
    return days;
}

QVector<DayAdequacy> lastDaysWithItems(const QVector<DayAdequacy> &days, int dayCount)
{
    QVector<DayAdequacy> found;
    for (auto it = days.crbegin(); it != days.crend() && found.size() < dayCount; ++it) {
        if (it->items > 0)
            found.prepend(*it);
    }
    return found;
}

bool belowGoal(const QVector<DayAdequacy> &days, double thresholdPercent, int dayCount)
{
    const QVector<DayAdequacy> last = lastDaysWithItems(days, dayCount);
    if (dayCount <= 0 || last.size() < dayCount)
        return false;
    for (const DayAdequacy &day : last) {
        if (!day.kcalGoal || *day.kcalGoal <= 0
            || day.figures.kcalInfused.value_or(0) >= *day.kcalGoal * thresholdPercent / 100.0)
            return false;
    }
    return true;
}
