#include "nutrientcalc/barchart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QChart>
#include <QValueAxis>

void clearChart(QChart *chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}

BarChartAxes addBars(QChart *chart, QBarSeries *bars, const QStringList &categories, const QString &categoryTitle,
                     const QString &valueTitle, double top)
{
    chart->addSeries(bars);
    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    categoryAxis->setTitleText(categoryTitle);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    bars->attachAxis(categoryAxis);
    auto *valueAxis = new QValueAxis;
    valueAxis->setTitleText(valueTitle);
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    valueAxis->setRange(0, top);
    valueAxis->applyNiceNumbers();
    chart->addAxis(valueAxis, Qt::AlignLeft);
    bars->attachAxis(valueAxis);
    return {categoryAxis, valueAxis};
}
