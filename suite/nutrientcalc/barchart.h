#pragma once

#include <QString>
#include <QStringList>

class QBarCategoryAxis;
class QBarSeries;
class QChart;
class QValueAxis;

// The axes of a bar chart of the calculation screen.
struct BarChartAxes
{
    QBarCategoryAxis *categories;
    QValueAxis *values;
};

// Empties the chart of its series and axes, for drawing it again.
void clearChart(QChart *chart);
// Adds the bars over the categories along the bottom, against a value axis
// from zero to `top` widened to round ticks (0, 50, 100 …) on the left.
BarChartAxes addBars(QChart *chart, QBarSeries *bars, const QStringList &categories, const QString &categoryTitle,
                     const QString &valueTitle, double top);
