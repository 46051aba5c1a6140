// SetAutoConfesco: a generated series stored in one transaction, replacing
// ("S") or extending ("A") the record's items; on SQLite and (when
// available) PostgreSQL.
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTest>

using namespace Fixture;

namespace {

const QString taken = QStringLiteral("Item já cadastrado por outro usuário.");

QString iso(const QDate &date) { return date.startOfDay().toString(Qt::ISODate); }

QJsonObject seriesItem(const QString &number, double hour, const QString &patient = AdultWithRecords)
{
    return {{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", patient}, {"DTSERVINTE", iso(recordDay())},
            {"NRSEQUSERV", Sequence}, {"CDSEQUCOPR", number}, {"QTSERVCONF", 30.0}, {"QTPRATCONF", 100.0},
            {"QTINFUCONF", 90.0}, {"HRCONSCONF", hour}, {"HRCONF", "0755"}, {"DTCONSCONF", iso(recordDay())},
            {"CDPRODUTO", Product}, {"CDVIACESDIET", Route}, {"IDPREPCONF", "F"}};
}

QJsonObject inserts(const QList<QJsonObject> &items)
{
    QJsonArray list;
    for (const QJsonObject &item : items)
        list.append(QJsonObject{{"kind", "insert"}, {"new", item}});
    return {{"changes", list}};
}

} // namespace

class TestAutoScheduleStore : public QObject
{
    Q_OBJECT

private:
    ServerResult call(const QString &method, const QJsonArray &args) { return callServer(m_server->port(), method, args); }

    ServerResult store(const QString &mode, const QList<QJsonObject> &items)
    {
        return call(QStringLiteral("SetAutoConfesco"),
                    {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust, mode, inserts(items)});
    }

    // "number hhmm" of each stored item, in number order.
    QStringList stored()
    {
        const ServerResult result =
            call(QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        if (!result.ok)
            return {result.error};
        QStringList names;
        for (const QJsonValue &field : result.data[QStringLiteral("fields")].toArray())
            names << field[QStringLiteral("name")].toString();
        const int number = int(names.indexOf(QStringLiteral("CDSEQUCOPR")));
        const int hour = int(names.indexOf(QStringLiteral("HRCONF")));
        QStringList rows;
        for (const QJsonValue &row : result.data[QStringLiteral("rows")].toArray())
            rows << row[number].toString() + QLatin1Char(' ') + row[hour].toString();
        return rows;
    }

    int occurrences()
    {
        const ServerResult result = call(QStringLiteral("getOcorrencia"),
                                         {AdultWithRecords, Sequence, iso(recordDay()), ProductItem, BranchAdjust});
        return result.ok ? int(result.data[QStringLiteral("rows")].toArray().size()) : -1;
    }

    const QStringList fixtureItems = {QStringLiteral("0001 0830"), QStringLiteral("0002 1400")};
    std::unique_ptr<FixtureServer> m_server;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(2); }
    void cleanup() { m_server.reset(); }

    void overwriteLeavesOnlyTheSeries()
    {
        const ServerResult result = store(QStringLiteral("S"), {seriesItem("0001", 6.0), seriesItem("0002", 12.5),
                                                                seriesItem("0003", 23.99999976)});
        QVERIFY2(result.ok, qPrintable(result.error));
        // The clock text follows each step's hour; the last one stays on its day.
        QCOMPARE(stored(), QStringList({"0001 0600", "0002 1230", "0003 2359"}));
        QCOMPARE(occurrences(), 0);
    }

    void appendContinuesAfterTheItems()
    {
        const ServerResult result = store(QStringLiteral("A"), {seriesItem("0003", 6.0), seriesItem("0004", 9.0)});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(stored(), fixtureItems + QStringList({"0003 0600", "0004 0900"}));
        QCOMPARE(occurrences(), 1);
    }

    // Whatever refuses the series, nothing of it is written and, for "S",
    // the old items and occurrences are still there.
    void refusedSeriesWritesNothing_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QList<QJsonObject>>("items");
        QTest::addColumn<QString>("message");
        QTest::newRow("append onto a taken number")
            << "A" << QList<QJsonObject>{seriesItem("0003", 6.0), seriesItem("0002", 9.0)} << taken;
        QTest::newRow("number repeated in the series")
            << "S" << QList<QJsonObject>{seriesItem("0001", 6.0), seriesItem("0001", 9.0)} << taken;
        QTest::newRow("item of another record")
            << "S" << QList<QJsonObject>{seriesItem("0001", 6.0), seriesItem("0002", 9.0, AdultWithoutRecords)}
            << "Pacote de alterações inválido: o cadastro automático só inclui itens do serviço informado.";
        QTest::newRow("value too long")
            << "S" << QList<QJsonObject>{seriesItem("0001", 6.0), seriesItem("00002", 9.0)}
            << "O campo CDSEQUCOPR aceita no máximo 4 caracteres.";
        QTest::newRow("unknown mode") << "X" << QList<QJsonObject>{seriesItem("0003", 6.0)}
                                      << "Requisição inválida: modo \"X\" desconhecido (use S ou A).";
    }
    void refusedSeriesWritesNothing()
    {
        QFETCH(QString, mode);
        QFETCH(QList<QJsonObject>, items);
        QFETCH(QString, message);
        const ServerResult result = store(mode, items);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, message);
        QCOMPARE(stored(), fixtureItems);
        QCOMPARE(occurrences(), 1);
    }

    void onlyInsertionsAreAccepted()
    {
        const QJsonObject packet{{"changes", QJsonArray{QJsonObject{{"kind", "modify"},
                                                                    {"old", seriesItem(ProductItem, 8.5)},
                                                                    {"new", seriesItem(ProductItem, 9.0)}}}}};
        const ServerResult result = call(QStringLiteral("SetAutoConfesco"),
                                         {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust, "S", packet});
        QVERIFY(!result.ok);
        QCOMPARE(stored(), fixtureItems);
    }

    void seriesOfAMissingRecordIsRefused()
    {
        const QString missingDay = iso(recordDay().addDays(-3));
        QJsonObject item = seriesItem("0001", 6.0);
        item["DTSERVINTE"] = missingDay;
        const ServerResult result = call(QStringLiteral("SetAutoConfesco"),
                                         {AdultWithRecords, missingDay, Sequence, BranchAdjust, "S", inserts({item})});
        QVERIFY(!result.ok);
        QCOMPARE(stored(), fixtureItems);
    }
};

QTEST_GUILESS_MAIN(TestAutoScheduleStore)
#include "tst_autoschedulestore.moc"
