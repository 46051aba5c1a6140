// The nutrient calculation screen's reading, storing and chart.

#include "nutrientcalc/frmcalcnutri.h"

#include "nutrientcalc/barchart.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"
#include "widgets/waitanimation.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLocale>

#include <algorithm>

void TfrmCalcNutri::FormShow()
{
    TfrmRotiGeral::FormShow();
    // Formulations, systems and admissions are neither created nor removed
    // here: only their composition, hang times and goals are edited.
    for (ClientDataSet *table : {cdsComposicao, cdsParaHang, cdsMetas}) {
        table->BeforeInsert = [](ClientDataSet &) { throw Abort(); };
        table->BeforeDelete = [](ClientDataSet &) { throw Abort(); };
    }
    loadCalculation();
}

void TfrmCalcNutri::loadCalculation()
{
    WaitAnimation wait(this, 6);
    const QJsonArray args{m_patient, valueToJson(m_day.startOfDay()), m_branch};
    const QJsonArray packets = CheckResultServ(netCalcNutri->Call(QStringLiteral("getCalcNutri"), args)).toArray();
    const DataPacket composition =
        DataPacket::fromJson(CheckResultServ(netCalcNutri->Call(QStringLiteral("getComposicao"), args)));
    const DataPacket hangTimes =
        DataPacket::fromJson(CheckResultServ(netCalcNutri->Call(QStringLiteral("getParaHang"), {m_branch})));
    cdsItens->LoadFromPacket(DataPacket::fromJson(packets.at(0)));
    cdsTotais->LoadFromPacket(DataPacket::fromJson(packets.at(1)));
    cdsInterrupcoes->LoadFromPacket(DataPacket::fromJson(packets.at(2)));
    cdsComposicao->LoadFromPacket(composition);
    cdsParaHang->LoadFromPacket(hangTimes);
    lblPaciente->setText(tr("Paciente %1 %2 · Dia %3 · Filial %4")
                             .arg(m_patient, cdsTotais->FieldByName(QStringLiteral("NMPACIENTE"))->AsString(),
                                  QLocale().toString(m_day, QStringLiteral("dd/MM/yyyy")), m_branch));
    showTotals();
    showChart();
    loadGoals();
}

void TfrmCalcNutri::showTotals()
{
    for (auto *value : grbTotais->findChildren<QLabel *>()) {
        const QString name = value->objectName();
        if (name.startsWith(QLatin1String("lblTotal")))
            value->setText(cdsTotais->FieldByName(name.mid(8))->DisplayText());
    }
}

void TfrmCalcNutri::showChart()
{
    QChart *chart = chvVolumes->chart();
    clearChart(chart);
    chart->setTitle(tr("Volume prescrito e infundido por item (mL)"));
    auto *prescribed = new QBarSet(tr("Prescrito"));
    auto *infused = new QBarSet(tr("Infundido"));
    QStringList items;
    // What the bars show, in words, for assistive technology.
    QStringList description;
    const DataPacket rows = cdsItens->ToPacket();
    const int number = rows.indexOf(QStringLiteral("CDSEQUCOPR"));
    const int prescribedVolume = rows.indexOf(QStringLiteral("QTPRATCONF"));
    const int infusedVolume = rows.indexOf(QStringLiteral("QTINFUCONF"));
    double top = 1;
    for (const QVector<QVariant> &row : rows.rows) {
        top = std::max({top, row.at(prescribedVolume).toDouble(), row.at(infusedVolume).toDouble()});
        items << row.at(number).toString();
        *prescribed << row.at(prescribedVolume).toDouble();
        *infused << row.at(infusedVolume).toDouble();
        description << tr("item %1: prescrito %2 mL, infundido %3 mL")
                           .arg(items.last(), QLocale().toString(row.at(prescribedVolume).toDouble(), 'f', 3),
                                QLocale().toString(row.at(infusedVolume).toDouble(), 'f', 3));
    }
    chvVolumes->setAccessibleDescription(description.join(QStringLiteral("; ")));
    auto *series = new QBarSeries;
    series->append({prescribed, infused});
    addBars(chart, series, items, tr("Item"), tr("mL"), top);
}

void TfrmCalcNutri::storeChanges(ClientDataSet &dataSet, const QString &method)
{
    if (dataSet.State() == DataSetState::Edit)
        dataSet.Post();
    if (dataSet.ChangeCount() == 0)
        return;
    WaitAnimation wait(this, 0);
    const ServerResult result = netCalcNutri->Call(method, {dataSet.Delta().toJson()});
    if (!result.ok) {
        // Another user changed the row meanwhile, or the text is refused:
        // the screen shows what is stored again, then the refusal is
        // reported.
        dataSet.CancelUpdates();
        loadCalculation();
    }
    CheckResultServ(result);
    dataSet.MergeChangeLog();
}

void TfrmCalcNutri::sbtConfirmaClick()
{
    TfrmRotiGeral::sbtConfirmaClick();
    const std::initializer_list<ClientDataSet *> edited = {cdsComposicao, cdsParaHang, cdsMetas};
    const bool changed = std::any_of(edited.begin(), edited.end(), [](ClientDataSet *table) {
        return table->ChangeCount() > 0 || table->State() == DataSetState::Edit;
    });
    storeChanges(*cdsComposicao, QStringLiteral("SetComposicao"));
    storeChanges(*cdsParaHang, QStringLiteral("SetParaHang"));
    storeChanges(*cdsMetas, QStringLiteral("SetMetaNutri"));
    if (changed)
        loadCalculation();
}

void TfrmCalcNutri::sbtAtualizarClick()
{
    loadCalculation();
}
