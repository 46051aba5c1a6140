#include "statisticscharts.h"

#include "core/clientdataset.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLocale>
#include <QValueAxis>

#include <cmath>
#include <functional>

namespace {

// A bar chart over the dataset's rows: one category per row, named by
// `category`, and one bar set per value field.
struct BarSource
{
    QString title;
    QString axisTitle;
    QList<QPair<QString, QString>> sets;   // field name, legend text
    bool counts = false;                   // whole numbers: a tick per whole step
};

// The value axis from zero to a little above the highest bar, with round
// ticks; counts never get ticks between whole numbers.
QValueAxis *valueAxis(const BarSource &source, double highest)
{
    auto *axis = new QValueAxis;
    axis->setTitleText(source.axisTitle);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    if (source.counts) {
        const int step = std::max(1, int(std::ceil((highest + 1) / 4)));
        axis->setRange(0, step * std::ceil((highest + 1) / step));
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0);
        axis->setTickInterval(step);
    } else {
        axis->setRange(0, highest > 0 ? highest * 1.1 : 1);
        axis->applyNiceNumbers();
    }
    return axis;
}

QString textAt(ClientDataSet &data, int row, const QString &field)
{
    return data.valueAt(row, data.FieldByName(field)->Index()).toString();
}

QChart *barChart(ClientDataSet &data, const BarSource &source, const std::function<QString(int row)> &category)
{
    auto *chart = new QChart;
    chart->setTitle(source.title);
    chart->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    chart->setLocalizeNumbers(true);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto *series = new QBarSeries;
    QStringList categories;
    QList<QBarSet *> sets;
    for (const auto &[field, legend] : source.sets) {
        sets << new QBarSet(legend);
        series->append(sets.last());
    }
    double highest = 0;
    const int rows = data.Active() ? data.RecordCount() : 0;
    for (int row = 0; row < rows; ++row) {
        categories << category(row);
        for (int i = 0; i < sets.size(); ++i) {
            const double value = data.valueAt(row, data.FieldByName(source.sets.at(i).first)->Index()).toDouble();
            sets.at(i)->append(value);
            highest = std::max(highest, value);
        }
    }
    chart->addSeries(series);
    auto *categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    chart->addAxis(categoryAxis, Qt::AlignBottom);
    series->attachAxis(categoryAxis);
    QValueAxis *values = valueAxis(source, highest);
    chart->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(sets.size() > 1);
    return chart;
}

} // namespace

QChart *VolumeChart(ClientDataSet &diets)
{
    return barChart(diets,
                    {QStringLiteral("Volume prescrito e infundido por serviço e dieta"), QStringLiteral("mL"),
                     {{QStringLiteral("QTPRESCRITO"), QStringLiteral("Prescrito")},
                      {QStringLiteral("QTINFUNDIDO"), QStringLiteral("Infundido")}}},
                    [&diets](int row) {
                        return textAt(diets, row, QStringLiteral("NMSERVICO")) + QStringLiteral(" / ")
                            + textAt(diets, row, QStringLiteral("DSDIETPAD"));
                    });
}

QChart *InterruptionChart(ClientDataSet &interruptions)
{
    return barChart(interruptions,
                    {QStringLiteral("Interrupções por tipo de ocorrência"), QStringLiteral("Interrupções"),
                     {{QStringLiteral("QTINTERRUPCOES"), QStringLiteral("Interrupções")}},
                     true},
                    [&interruptions](int row) { return textAt(interruptions, row, QStringLiteral("NMTPOCORINFU")); });
}
