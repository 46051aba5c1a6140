// Printing of the nutrient calculation: the report "VQN19040" over the rows
// the screen shows.

#include "nutrientcalc/frmcalcnutri.h"

#include "core/clientdataset.h"
#include "core/packets.h"
#include "report/reportdesigner.h"

namespace {

const QStringList itemFields = {
    QStringLiteral("NRSEQUSERV"),  QStringLiteral("CDSEQUCOPR"),  QStringLiteral("NMFORMULACAO"),
    QStringLiteral("HRCONF"),      QStringLiteral("QTSERVCONF"),  QStringLiteral("QTPRATCONF"),
    QStringLiteral("QTINFUCONF"),  QStringLiteral("PCINFUNDIDO"), QStringLiteral("QTKCALPRESC"),
    QStringLiteral("QTKCALINFU"),  QStringLiteral("QTPROTPRESC"), QStringLiteral("QTPROTINFU"),
    QStringLiteral("QTMININTERR"),
};
// The interruption's minutes print as MININTERRUP, apart from the item's.
const QStringList interruptionFields = {
    QStringLiteral("DTOCORINFU"), QStringLiteral("DTINIINTERR"), QStringLiteral("DTFIMINTERR"), QStringLiteral("CDTPOCORINFU"),
    QStringLiteral("NMTPOCORINFU"), QStringLiteral("QTMININTERR"),
};
const QStringList totalFields = {
    QStringLiteral("QTPRATCONF"),  QStringLiteral("QTINFUCONF"), QStringLiteral("PCINFUNDIDO"),
    QStringLiteral("QTKCALPRESC"), QStringLiteral("QTKCALINFU"), QStringLiteral("QTPROTPRESC"),
    QStringLiteral("QTPROTINFU"),  QStringLiteral("QTINTERRUP"), QStringLiteral("QTMININTERR"),
};

QVector<QVariant> valuesOf(const DataPacket &packet, const QVector<QVariant> *row, const QStringList &fields)
{
    QVector<QVariant> values;
    for (const QString &name : fields)
        values << (row ? row->at(packet.indexOf(name)) : QVariant());
    return values;
}

bool sameItem(const DataPacket &items, const QVector<QVariant> &item, const DataPacket &stops,
              const QVector<QVariant> &stop)
{
    for (const QString &key : {QStringLiteral("NRSEQUSERV"), QStringLiteral("CDSEQUCOPR")}) {
        if (item.at(items.indexOf(key)) != stop.at(stops.indexOf(key)))
            return false;
    }
    return true;
}

} // namespace

ReportRows TfrmCalcNutri::reportRows() const
{
    ReportRows report;
    report.fields = QStringList{QStringLiteral("CDPACIENTE"), QStringLiteral("NMPACIENTE"),
                                QStringLiteral("DTSERVINTE"), QStringLiteral("CDFILIAL")}
                    + itemFields
                    + QStringList{QStringLiteral("DTOCORINFU"), QStringLiteral("DTINIINTERR"),
                                  QStringLiteral("DTFIMINTERR"), QStringLiteral("CDTPOCORINFU"),
                                  QStringLiteral("NMTPOCORINFU"), QStringLiteral("MININTERRUP")};
    for (const QString &name : totalFields)
        report.fields << QStringLiteral("TOT") + name;

    const DataPacket items = cdsItens->ToPacket();
    const DataPacket totals = cdsTotais->ToPacket();
    const DataPacket stops = cdsInterrupcoes->ToPacket();
    const QVector<QVariant> day =
        QVector<QVariant>{m_patient, cdsTotais->FieldByName(QStringLiteral("NMPACIENTE"))->Value(),
                          m_day.startOfDay(), m_branch};
    const QVector<QVariant> dayTotals = valuesOf(totals, totals.rows.isEmpty() ? nullptr : &totals.rows.first(),
                                                 totalFields);
    for (const QVector<QVariant> &item : items.rows) {
        const QVector<QVariant> itemValues = day + valuesOf(items, &item, itemFields);
        bool printed = false;
        for (const QVector<QVariant> &stop : stops.rows) {
            if (!sameItem(items, item, stops, stop))
                continue;
            report.rows << itemValues + valuesOf(stops, &stop, interruptionFields) + dayTotals;
            printed = true;
        }
        if (!printed)
            report.rows << itemValues + valuesOf(stops, nullptr, interruptionFields) + dayTotals;
    }
    return report;
}

void TfrmCalcNutri::sbtImprimirClick()
{
    TReportDesigner designer(this);
    designer.ReportCode = CodTela();
    designer.ScreenRows = [this] { return reportRows(); };
    designer.Print();
}
