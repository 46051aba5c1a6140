#include "lib/itemhour.h"

#include <algorithm>
#include <cmath>

QString itemHourText(double hours)
{
    constexpr double lastMinute = 24 * 60 - 1;
    const double rounded = std::isnan(hours) ? 0.0 : std::clamp(std::round(hours * 60.0), 0.0, lastMinute);
    const int minutes = int(rounded);
    return QStringLiteral("%1%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
