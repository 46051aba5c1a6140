#include "statisticscharts.h"

#include "core/clientdataset.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QLocale>
#include <QValueAxis>

#include <functional>

namespace {

// A bar chart over the dataset's rows: one category per row, named by
// `category`, and one bar set per value field.
struct BarSource
{
    QString title;
    QString axisTitle;
    QList<QPair<QString, QString>> sets;   // field name, legend text
};

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
    auto *valueAxis = new QValueAxis;
    valueAxis->setTitleText(source.axisTitle);
    valueAxis->setRange(0, highest > 0 ? highest * 1.1 : 1);
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(valueAxis, Qt::AlignLeft);
    series->attachAxis(valueAxis);
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
                        return textAt(diets, row, QStringLiteral("NMSERVICO")) + QLatin1Char('\n')
                            + textAt(diets, row, QStringLiteral("DSDIETPAD"));
                    });
}

QChart *InterruptionChart(ClientDataSet &interruptions)
{
    return barChart(interruptions,
                    {QStringLiteral("Interrupções por tipo de ocorrência"), QStringLiteral("Interrupções"),
                     {{QStringLiteral("QTINTERRUPCOES"), QStringLiteral("Interrupções")}}},
                    [&interruptions](int row) { return textAt(interruptions, row, QStringLiteral("NMTPOCORINFU")); });
}
