// CopiaFormulacao: every item of one service record copied into another,
// numbered after the target's items, in one audited transaction that a
// failure leaves unwritten; and getServDia, the records of a patient's day.
// On SQLite and (when available) PostgreSQL.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"
#include "lib/tablewriter.h"

#include <QJsonDocument>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

using namespace Fixture;

namespace {

QDate today() { return QDate::currentDate(); }

// "number product/dish infused consumption-day" of each item, in number order.
QStringList itemSummaries(const QJsonValue &packet)
{
    QStringList items;
    for (const QJsonObject &item : rowObjects(packet)) {
        const QString formulation = item["CDPRODUTO"].isNull() ? item["CDPRATO"].toString() : item["CDPRODUTO"].toString();
        const QString infused = item["QTINFUCONF"].isNull() ? QStringLiteral("-") : QString::number(item["QTINFUCONF"].toDouble());
        items << QStringLiteral("%1 %2 %3 %4")
                     .arg(item["CDSEQUCOPR"].toString(), formulation, infused,
                          QDate::fromString(item["DTCONSCONF"].toString().left(10), Qt::ISODate) == today()
                              ? QStringLiteral("hoje")
                              : QStringLiteral("outro"));
    }
    return items;
}

} // namespace

class TestFormulationCopy : public QObject
{
    Q_OBJECT

private:
    ServerResult call(const QString &method, const QJsonArray &args) { return callServer(m_server->port(), method, args); }

    ServerResult copy(const QString &sourcePatient, const QDate &sourceDay, const QString &targetPatient,
                      const QDate &targetDay)
    {
        return call(QStringLiteral("CopiaFormulacao"),
                    {sourcePatient, iso(sourceDay), Sequence, targetPatient, iso(targetDay), Sequence, BranchAdjust});
    }

    QStringList items(const QString &patient, const QDate &day)
    {
        const ServerResult result = call(QStringLiteral("getConfesco"), {patient, Sequence, iso(day), BranchAdjust});
        return result.ok ? itemSummaries(result.data) : QStringList{result.error};
    }

    // Runs statements straight on the server's database, unprepared (a
    // trigger's definition cannot be prepared on PostgreSQL).
    void execute(const QStringList &statements)
    {
        SqlSession session(DatabaseConfig::parse(m_server->database()), QStringLiteral("copy-test-%1").arg(++m_sessions));
        for (const QString &statement : statements) {
            QSqlQuery query(session.database());
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
    }

    // Today's service record for the adult without records.
    void addTargetRecord()
    {
        SqlSession session(DatabaseConfig::parse(m_server->database()), QStringLiteral("copy-test-%1").arg(++m_sessions));
        insertRow(session, QStringLiteral("SERVINTE"),
                  {BranchAdjust, AdultWithoutRecords, today(), Sequence, admission(), EnteralDiet, EnteralService,
                   EnteralDiet, QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("S"), QVariant(), QVariant(),
                   Nutritionist, QVariant(), 70.0});
    }

    std::unique_ptr<FixtureServer> m_server;
    int m_sessions = 0;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(2); }
    void cleanup() { m_server.reset(); }

    // The copies take the numbers after the target's items, keep each
    // formulation, leave the infused volume empty and move the consumption
    // date with the service date (yesterday's items are consumed today).
    void copiesAreNumberedAfterTheTargetsItems_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty record of the same patient")
            << AdultWithRecords << 1 << QStringList{"0001 P001 - hoje", "0002 D002 - hoje"};
        QTest::newRow("copied twice")
            << AdultWithRecords << 2
            << QStringList{"0001 P001 - hoje", "0002 D002 - hoje", "0003 P001 - hoje", "0004 D002 - hoje"};
        QTest::newRow("record of another patient")
            << AdultWithoutRecords << 1 << QStringList{"0001 P001 - hoje", "0002 D002 - hoje"};
    }
    void copiesAreNumberedAfterTheTargetsItems()
    {
        QFETCH(QString, target);
        QFETCH(int, copies);
        QFETCH(QStringList, expected);
        if (target == AdultWithoutRecords)
            addTargetRecord();
        ServerResult result;
        for (int i = 0; i < copies; ++i) {
            result = copy(AdultWithRecords, recordDay(), target, today());
            QVERIFY2(result.ok, qPrintable(result.error));
        }
        QCOMPARE(items(target, today()), expected);
        // The answer pairs each source number with its copy's.
        const QVector<QJsonObject> numbers = rowObjects(result.data);
        QCOMPARE(numbers.size(), 2);
        QCOMPARE(numbers.at(1)["CDSEQUORIG"].toString(), DishItem);
        QCOMPARE(numbers.at(1)["CDSEQUCOPR"].toString(), expected.last().left(4));
        // The source is untouched.
        QCOMPARE(items(AdultWithRecords, recordDay()), QStringList({"0001 P001 200 outro", "0002 D002 300 outro"}));
    }

    void everyCopiedItemIsAudited()
    {
        QVERIFY(copy(AdultWithRecords, recordDay(), AdultWithRecords, today()).ok);
        const QJsonObject key{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords}, {"DTSERVINTE", iso(today())},
                              {"NRSEQUSERV", Sequence}, {"CDSEQUCOPR", DishItem}};
        const ServerResult trail =
            call(QStringLiteral("getAuditoria"),
                 {QStringLiteral("CONFESCO"), QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact))});
        QVERIFY2(trail.ok, qPrintable(trail.error));
        const QVector<QJsonObject> entries = rowObjects(trail.data);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first()["TPALTERACAO"].toString(), QStringLiteral("insert"));
        QCOMPARE(entries.first()["NMMETODO"].toString(), QStringLiteral("CopiaFormulacao"));
    }

    void refusedCopiesWriteNothing_data()
    {
        QTest::addColumn<QDate>("sourceDay");
        QTest::addColumn<QDate>("targetDay");
        QTest::addColumn<QString>("message");
        QTest::newRow("same record") << recordDay() << recordDay()
                                     << "O serviço de destino deve ser diferente do serviço de origem.";
        QTest::newRow("source without items") << today() << recordDay()
                                              << "O serviço de origem não tem itens para copiar.";
        QTest::newRow("target missing") << recordDay() << today().addDays(1) << "Serviço de destino não cadastrado.";
    }
    void refusedCopiesWriteNothing()
    {
        QFETCH(QDate, sourceDay);
        QFETCH(QDate, targetDay);
        QFETCH(QString, message);
        const ServerResult result = copy(AdultWithRecords, sourceDay, AdultWithRecords, targetDay);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, message);
        QCOMPARE(items(AdultWithRecords, recordDay()).size(), 2);
        QCOMPARE(items(AdultWithRecords, today()), QStringList());
    }

    // The database refuses the second copied item: the first is taken back
    // with its audit entry, and the target keeps the items it had.
    void aFailureMidCopyLeavesTheTargetAsItWas()
    {
        QVERIFY(copy(AdultWithRecords, recordDay(), AdultWithRecords, today()).ok);
        if (m_server->database().startsWith(QLatin1String("postgresql"))) {
            execute({QStringLiteral("CREATE OR REPLACE FUNCTION FALHACOPIA() RETURNS trigger AS $$ BEGIN"
                                    " IF NEW.CDSEQUCOPR = '0004' THEN RAISE EXCEPTION 'falha forçada'; END IF;"
                                    " RETURN NEW; END $$ LANGUAGE plpgsql"),
                     QStringLiteral("CREATE TRIGGER FALHACOPIA BEFORE INSERT ON CONFESCO FOR EACH ROW"
                                    " EXECUTE FUNCTION FALHACOPIA()")});
        } else {
            execute({QStringLiteral("CREATE TRIGGER FALHACOPIA BEFORE INSERT ON CONFESCO"
                                    " WHEN NEW.CDSEQUCOPR = '0004' BEGIN SELECT RAISE(ABORT, 'falha forçada'); END")});
        }
        const QStringList before = items(AdultWithRecords, today());
        const ServerResult result = copy(AdultWithRecords, recordDay(), AdultWithRecords, today());
        QVERIFY(!result.ok);
        // The user reads that nothing was written, never the database's own text.
        QVERIFY2(result.error.endsWith(QStringLiteral("Nada foi gravado.")), qPrintable(result.error));
        QVERIFY2(!result.error.contains(QStringLiteral("falha forçada")), qPrintable(result.error));
        QCOMPARE(items(AdultWithRecords, today()), before);
        const QJsonObject key{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords}, {"DTSERVINTE", iso(today())},
                              {"NRSEQUSERV", Sequence}, {"CDSEQUCOPR", "0003"}};
        const ServerResult trail =
            call(QStringLiteral("getAuditoria"),
                 {QStringLiteral("CONFESCO"), QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact))});
        QCOMPARE(rowObjects(trail.data).size(), 0);
        if (m_server->database().startsWith(QLatin1String("postgresql")))
            execute({QStringLiteral("DROP TRIGGER FALHACOPIA ON CONFESCO"), QStringLiteral("DROP FUNCTION FALHACOPIA()")});
    }

    // The records of a day, with their service, diet and number of items.
    void recordsOfADay_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("with items") << recordDay() << QStringList{"01 Nutrição Enteral Enteral polimérica padrão 2"};
        QTest::newRow("without items") << today() << QStringList{"01 Nutrição Parenteral Parenteral total 0"};
        QTest::newRow("no record") << today().addDays(1) << QStringList();
    }
    void recordsOfADay()
    {
        QFETCH(QDate, day);
        QFETCH(QStringList, expected);
        const ServerResult result = call(QStringLiteral("getServDia"), {AdultWithRecords, iso(day), BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        QStringList records;
        for (const QJsonObject &record : rowObjects(result.data))
            records << QStringLiteral("%1 %2 %3 %4")
                           .arg(record["NRSEQUSERV"].toString(), record["NMSERVICO"].toString(),
                                record["DSDIETPAD"].toString())
                           .arg(record["QTITENS"].toInt());
        QCOMPARE(records, expected);
    }
};

QTEST_GUILESS_MAIN(TestFormulationCopy)
#include "tst_formulationcopy.moc"
