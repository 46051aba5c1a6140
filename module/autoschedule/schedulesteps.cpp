#include "schedulesteps.h"

QVector<ScheduleStep> ScheduleSteps(const QDate &start, double startHour, double interval, double period)
{
    QVector<ScheduleStep> steps;
    if (!(interval > 0))
        return steps;
    const double last = period / interval;
    ScheduleStep step{start, startHour};
    for (int i = 0; i <= last; ++i) {
        if (i > 0) {
            step.hour += interval;
            while (step.hour >= 24) {
                step.hour -= 24;
                step.date = step.date.addDays(1);
            }
        }
        steps.append(step);
    }
    return steps;
}
