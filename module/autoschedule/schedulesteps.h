#pragma once

#include <QDate>
#include <QVector>

// One item of an automatic schedule: its consumption date and hour of day
// (real hours, always below 24).
struct ScheduleStep
{
    QDate date;
    double hour = 0;
};

// The steps of a series starting at `startHour` on `start`, every `interval`
// hours for `period` hours. There is one step for each i = 0, 1, ... while
// i <= period / interval, compared on the 8-decimal hour values as given, so
// 24:00 every 0:40 gives 36 steps (24 / 0.66666667 falls just short of 36)
// and every 0:20 gives 73. Each step adds the interval to the hour of the
// step before; from 24 on, 24 is taken off and the date moves on a day, as
// often as needed, so an hour landing on exactly 24 is 0 of the next day.
// A non-positive interval gives no steps.
QVector<ScheduleStep> ScheduleSteps(const QDate &start, double startHour, double interval, double period);
