// getEstatDieta and getEstatInterrupcao: the statistics of a branch over a
// period, with known answers on the fixture plus a few records, on SQLite
// and (when available) PostgreSQL.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"
#include "lib/tablewriter.h"

#include <QTest>

using namespace Fixture;

namespace {

QDate today() { return QDate::currentDate(); }

// Beside the fixture (yesterday, service 00010 / diet 0001: product item
// 250/200 mL with a tube blockage, dish item 300/300 mL; today, 00020 / 0003
// without items):
//   yesterday, adult without records, 00010 / 0001: dish D001 500/250 mL,
//              two vomits and a diarrhoea
//   today, newborn, 00010 / 0002: product P002 200/150 mL, a tube blockage
//   five days ago, infant: outside the period
//   yesterday, the other branch: outside the branch
// Tube blockage ("001") and vomit ("002") interrupt the infusion; diarrhoea
// ("003") does not.
void addRecords(SqlSession &session)
{
    const QVariant null;
    const auto record = [&](const QString &branch, const QString &patient, const QDate &day, const QString &diet) {
        insertRow(session, QStringLiteral("SERVINTE"),
                  {branch, patient, day, Sequence, admission(), diet, EnteralService, diet, QStringLiteral("0"),
                   QStringLiteral("0"), QStringLiteral("S"), null, null, Nutritionist, null, 60.0});
    };
    const auto item = [&](const QString &branch, const QString &patient, const QDate &day, const QString &product,
                          const QString &dish, double prescribed, double infused) {
        insertRow(session, QStringLiteral("CONFESCO"),
                  {branch, patient, day, Sequence, ProductItem, dish.isEmpty() ? null : QVariant(branch),
                   dish.isEmpty() ? null : QVariant(dish), 50.0, prescribed, infused, 8.0, day,
                   product.isEmpty() ? null : QVariant(product), Route,
                   dish.isEmpty() ? QStringLiteral("F") : QStringLiteral("A"), null, QStringLiteral("0800"),
                   QStringLiteral("mL"), null});
    };
    const auto occurrence = [&](const QString &patient, const QDate &day, int hour, const QString &type) {
        insertRow(session, QStringLiteral("OCORINFU"),
                  {BranchAdjust, patient, day, Sequence, ProductItem, QDateTime(day, QTime(hour, 0)), type});
    };
    record(BranchAdjust, AdultWithoutRecords, recordDay(), EnteralDiet);
    item(BranchAdjust, AdultWithoutRecords, recordDay(), {}, QStringLiteral("D001"), 500.0, 250.0);
    occurrence(AdultWithoutRecords, recordDay(), 10, QStringLiteral("002"));
    occurrence(AdultWithoutRecords, recordDay(), 11, QStringLiteral("002"));
    occurrence(AdultWithoutRecords, recordDay(), 12, QStringLiteral("003"));
    record(BranchAdjust, Newborn, today(), EnteralDiet2);
    item(BranchAdjust, Newborn, today(), QStringLiteral("P002"), {}, 200.0, 150.0);
    occurrence(Newborn, today(), 9, OccurrenceType);
    record(BranchAdjust, Infant, today().addDays(-5), EnteralDiet);
    item(BranchAdjust, Infant, today().addDays(-5), {}, QStringLiteral("D001"), 1000.0, 1000.0);
    record(BranchPlain, OtherBranchPatient, recordDay(), EnteralDiet);
    item(BranchPlain, OtherBranchPatient, recordDay(), {}, QStringLiteral("D001"), 400.0, 100.0);
    session.execute(QStringLiteral("UPDATE TPOCORINFU SET IDINTERRUPCAO = CASE WHEN CDTPOCORINFU IN ('001', '002')"
                                   " THEN 'S' ELSE 'N' END"));
}

} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT

private:
    ServerResult statistics(const QString &method, const QDate &first, const QDate &last, const QString &preparation)
    {
        return callServer(m_server->port(), method, {iso(first), iso(last), preparation, BranchAdjust});
    }

    std::unique_ptr<FixtureServer> m_server;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init()
    {
        m_server = startBackendServer(2);
        if (!m_server)
            return;
        SqlSession session(DatabaseConfig::parse(m_server->database()), QStringLiteral("statistics-records"));
        Transaction transaction(session);
        addRecords(session);
        transaction.commit();
    }
    void cleanup() { m_server.reset(); }

    // "service diet prescriptions items prescribed infused percent" per row.
    void volumesPerServiceAndDiet_data()
    {
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all systems") << -1 << "T"
                                     << QStringList{"00010 0001 2 3 1050 750 71.43", "00010 0002 1 1 200 150 75.00"};
        QTest::newRow("open system") << -1 << "A" << QStringList{"00010 0001 2 2 800 550 68.75"};
        QTest::newRow("closed system")
            << -1 << "F" << QStringList{"00010 0001 1 1 250 200 80.00", "00010 0002 1 1 200 150 75.00"};
        QTest::newRow("today only") << 0 << "T" << QStringList{"00010 0002 1 1 200 150 75.00"};
        QTest::newRow("a week, open system")
            << -7 << "A" << QStringList{"00010 0001 3 3 1800 1550 86.11"};
    }
    void volumesPerServiceAndDiet()
    {
        QFETCH(int, firstDay);
        QFETCH(QString, preparation);
        QFETCH(QStringList, expected);
        const ServerResult result =
            statistics(QStringLiteral("getEstatDieta"), today().addDays(firstDay), today(), preparation);
        QVERIFY2(result.ok, qPrintable(result.error));
        QStringList rows;
        for (const QJsonObject &row : rowObjects(result.data)) {
            rows << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                        .arg(row["CDSERVFILI"].toString(), row["CDDIETPAD"].toString())
                        .arg(row["QTPRESCRICOES"].toInt())
                        .arg(row["QTITENS"].toInt())
                        .arg(row["QTPRESCRITO"].toDouble())
                        .arg(row["QTINFUNDIDO"].toDouble())
                        .arg(row["PCENTREGUE"].toDouble(), 0, 'f', 2);
        }
        QCOMPARE(rows, expected);
        if (!rowObjects(result.data).isEmpty())
            QCOMPARE(rowObjects(result.data).first()["NMSERVICO"].toString(), QStringLiteral("Nutrição Enteral"));
    }

    // "type interruptions patients" per interrupting type, most frequent first.
    void interruptionsPerOccurrenceType_data()
    {
        QTest::addColumn<int>("firstDay");
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all systems") << -1 << "T" << QStringList{"001 2 2", "002 2 1"};
        QTest::newRow("open system") << -1 << "A" << QStringList{"002 2 1"};
        QTest::newRow("closed system") << -1 << "F" << QStringList{"001 2 2"};
        QTest::newRow("today only") << 0 << "T" << QStringList{"001 1 1"};
        QTest::newRow("tomorrow") << 1 << "T" << QStringList();
    }
    void interruptionsPerOccurrenceType()
    {
        QFETCH(int, firstDay);
        QFETCH(QString, preparation);
        QFETCH(QStringList, expected);
        const QDate first = today().addDays(firstDay);
        const ServerResult result =
            statistics(QStringLiteral("getEstatInterrupcao"), first, std::max(first, today()), preparation);
        QVERIFY2(result.ok, qPrintable(result.error));
        QStringList rows;
        for (const QJsonObject &row : rowObjects(result.data))
            rows << QStringLiteral("%1 %2 %3")
                        .arg(row["CDTPOCORINFU"].toString())
                        .arg(row["QTINTERRUPCOES"].toInt())
                        .arg(row["QTPACIENTES"].toInt());
        QCOMPARE(rows, expected);
    }

    void badPeriodsAreRefused_data()
    {
        QTest::addColumn<QJsonValue>("first");
        QTest::addColumn<QJsonValue>("last");
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QString>("message");
        QTest::newRow("no first day") << QJsonValue() << QJsonValue(iso(today())) << "T"
                                      << "As datas inicial e final do período devem ser informadas.";
        QTest::newRow("reversed") << QJsonValue(iso(today())) << QJsonValue(iso(recordDay())) << "T"
                                  << "A data inicial deve ser menor ou igual à data final.";
        QTest::newRow("unknown system") << QJsonValue(iso(recordDay())) << QJsonValue(iso(today())) << "X"
                                        << "Requisição inválida: preparação \"X\" desconhecida (use A, F ou T).";
    }
    void badPeriodsAreRefused()
    {
        QFETCH(QJsonValue, first);
        QFETCH(QJsonValue, last);
        QFETCH(QString, preparation);
        QFETCH(QString, message);
        for (const char *method : {"getEstatDieta", "getEstatInterrupcao"}) {
            const ServerResult result = callServer(m_server->port(), QString::fromLatin1(method),
                                                   {first, last, preparation, BranchAdjust});
            QVERIFY(!result.ok);
            QCOMPARE(result.error, message);
        }
    }
};

QTEST_GUILESS_MAIN(TestStatistics)
#include "tst_statistics.moc"
