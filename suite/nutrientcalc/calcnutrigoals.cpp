// The nutrient calculation screen's goals: the admission's goals, the day's
// adequacy to them, and the stay day by day with its chart and its print.

#include "nutrientcalc/frmcalcnutri.h"

#include "nutrientcalc/barchart.h"

#include "core/clientdataset.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"
#include "report/reportdesigner.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <algorithm>

void TfrmCalcNutri::loadGoals()
{
    const QJsonArray args{m_patient, valueToJson(m_day.startOfDay()), m_branch};
    cdsMetas->LoadFromPacket(
        DataPacket::fromJson(CheckResultServ(netCalcNutri->Call(QStringLiteral("getMetaNutri"), args))));
    cdsEvolucao->LoadFromPacket(
        DataPacket::fromJson(CheckResultServ(netCalcNutri->Call(QStringLiteral("getEvolucaoNutri"), args))));
    showAdequacy();
    showEvolutionChart();
}

void TfrmCalcNutri::showAdequacy()
{
    // The stay ends on the day shown: its last row is the day's.
    cdsEvolucao->Last();
    const bool admitted = !cdsEvolucao->IsEmpty();
    for (auto *value : grbAdequacao->findChildren<QLabel *>()) {
        const QString name = value->objectName();
        if (name.startsWith(QLatin1String("lblAdequacao")))
            value->setText(admitted ? cdsEvolucao->FieldByName(name.mid(12))->DisplayText() : QString());
    }
    if (!admitted)
        lblMetaDia->setText(tr("Paciente sem internação neste dia: não há metas."));
    else if (cdsEvolucao->FieldByName(QStringLiteral("QTKCALMETA"))->IsNull())
        lblMetaDia->setText(tr("Meta desconhecida: não há peso registrado na internação até este dia."));
    else
        lblMetaDia->setText(tr("Meta do dia para o peso de %1 kg.")
                                .arg(cdsEvolucao->FieldByName(QStringLiteral("NRSERVPESO"))->DisplayText()));
    cdsEvolucao->First();
}

void TfrmCalcNutri::showEvolutionChart()
{
    QChart *chart = chvEvolucao->chart();
    clearChart(chart);
    chart->setTitle(tr("Energia por dia (kcal): meta, prescrita e infundida"));
    auto *prescribed = new QBarSet(tr("Prescrita"));
    auto *infused = new QBarSet(tr("Infundida"));
    auto *goal = new QLineSeries;
    goal->setName(tr("Meta"));
    QStringList days;
    QStringList description;
    const DataPacket rows = cdsEvolucao->ToPacket();
    const int day = rows.indexOf(QStringLiteral("DTSERVINTE"));
    const int goalColumn = rows.indexOf(QStringLiteral("QTKCALMETA"));
    const int prescribedColumn = rows.indexOf(QStringLiteral("QTKCALPRESC"));
    const int infusedColumn = rows.indexOf(QStringLiteral("QTKCALINFU"));
    const QLocale locale;
    double top = 1;
    for (const QVector<QVariant> &row : rows.rows) {
        const double goalValue = row.at(goalColumn).toDouble();
        top = std::max({top, goalValue, row.at(prescribedColumn).toDouble(), row.at(infusedColumn).toDouble()});
        days << locale.toString(row.at(day).toDateTime().date(), QStringLiteral("dd/MM"));
        *prescribed << row.at(prescribedColumn).toDouble();
        *infused << row.at(infusedColumn).toDouble();
        // A day without a known goal leaves a gap the line passes over.
        if (!row.at(goalColumn).isNull())
            goal->append(days.size() - 1, goalValue);
        description << tr("%1: meta %2, prescrita %3, infundida %4 kcal")
                           .arg(days.last(),
                                row.at(goalColumn).isNull() ? tr("desconhecida") : locale.toString(goalValue, 'f', 0),
                                locale.toString(row.at(prescribedColumn).toDouble(), 'f', 0),
                                locale.toString(row.at(infusedColumn).toDouble(), 'f', 0));
    }
    chvEvolucao->setAccessibleDescription(description.join(QStringLiteral("; ")));
    auto *bars = new QBarSeries;
    bars->append({prescribed, infused});
    const BarChartAxes axes = addBars(chart, bars, days, tr("Dia"), tr("kcal"), top);
    // The goal as a line over the bars, on the same axes.
    chart->addSeries(goal);
    goal->attachAxis(axes.categories);
    goal->attachAxis(axes.values);
}

ReportRows TfrmCalcNutri::evolutionRows() const
{
    const DataPacket stay = cdsEvolucao->ToPacket();
    ReportRows report;
    report.fields = QStringList{QStringLiteral("CDPACIENTE"), QStringLiteral("NMPACIENTE"), QStringLiteral("CDFILIAL"),
                                QStringLiteral("DTINTERNA"), QStringLiteral("DTCALCULO")};
    for (const PacketField &field : stay.fields)
        report.fields << field.name;
    const QVector<QVariant> patient{m_patient, cdsTotais->FieldByName(QStringLiteral("NMPACIENTE"))->Value(), m_branch,
                                    cdsMetas->IsEmpty() ? QVariant() : cdsMetas->FieldByName(QStringLiteral("DTINTERNA"))->Value(),
                                    m_day.startOfDay()};
    for (const QVector<QVariant> &row : stay.rows)
        report.rows << patient + row;
    return report;
}

void TfrmCalcNutri::sbtImprimirEvolucaoClick()
{
    TReportDesigner designer(this);
    designer.ReportCode = QStringLiteral("VQN19040E");
    designer.ScreenRows = [this] { return evolutionRows(); };
    designer.Print();
}
