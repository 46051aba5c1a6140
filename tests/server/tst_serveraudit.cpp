// The audit trail: every row a writing method changes leaves its entry
// (operator, method, kind, key, values before and after) in the same
// transaction, answered newest first by getAuditoria; refused packets leave
// none. On SQLite and (when available) PostgreSQL.
#include "lib/entpatserver.h"
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "lib/schema.h"
#include "lib/schemaversion.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

using namespace Fixture;

namespace {

const QString Operator = QStringLiteral("NUTRI01");

QString keyText(const QJsonObject &key)
{
    return QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact));
}

QJsonObject recordKey(const QString &patient, const QDate &day)
{
    return {{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", patient}, {"DTSERVINTE", iso(day)}, {"NRSEQUSERV", Sequence}};
}

QJsonObject itemKey(const QString &number)
{
    QJsonObject key = recordKey(AdultWithRecords, recordDay());
    key["CDSEQUCOPR"] = number;
    return key;
}

QJsonObject occurrenceKey(const QString &item)
{
    QJsonObject key = itemKey(item);
    key["DTOCORINFU"] = occurrenceTime().toString(Qt::ISODate);
    key["CDTPOCORINFU"] = OccurrenceType;
    return key;
}

QJsonObject newRecord()
{
    QJsonObject record = recordKey(AdultWithoutRecords, QDate::currentDate());
    record["DTINTERNA"] = admission().toString(Qt::ISODate);
    record["CDSERVFILI"] = EnteralService;
    record["CDDIETPAD"] = EnteralDiet;
    record["CDNUTRICIO"] = Nutritionist;
    record["NRSERVPESO"] = 58.0;
    return record;
}

QJsonObject parsed(const QJsonValue &text)
{
    return QJsonDocument::fromJson(text.toString().toUtf8()).object();
}

// What one trail entry says, for comparing whole histories at once.
QString summary(const QJsonObject &entry)
{
    return QStringLiteral("%1 %2 %3").arg(entry["TPALTERACAO"].toString(), entry["NMMETODO"].toString(),
                                          entry["CDOPERADOR"].toString());
}

} // namespace

class TestServerAudit : public QObject
{
    Q_OBJECT

private:
    // A call in a session of the operator.
    ServerResult call(const QString &method, const QJsonArray &args)
    {
        return callServerAs(Operator, m_server->port(), method, args);
    }
    QVector<QJsonObject> history(const QString &table, const QJsonObject &key)
    {
        const ServerResult result = call(QStringLiteral("getAuditoria"), {table, keyText(key)});
        if (!result.ok)
            qWarning("getAuditoria: %s", qPrintable(result.error));
        return result.ok ? rowObjects(result.data) : QVector<QJsonObject>();
    }
    QStringList summaries(const QString &table, const QJsonObject &key)
    {
        QStringList lines;
        for (const QJsonObject &entry : history(table, key))
            lines << summary(entry);
        return lines;
    }
    QJsonObject storedItem(const QString &number)
    {
        const ServerResult result =
            call(QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        for (const QJsonObject &row : rowObjects(result.data)) {
            if (row["CDSEQUCOPR"].toString() == number)
                return row;
        }
        return {};
    }
    QJsonObject storedRecord(const QString &patient)
    {
        const ServerResult result =
            call(QStringLiteral("getServInte"), {patient, admission().toString(Qt::ISODate), BranchAdjust});
        const QVector<QJsonObject> rows = rowObjects(result.data);
        return rows.isEmpty() ? QJsonObject() : rows.first();
    }

    std::unique_ptr<FixtureServer> m_server;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(2); }
    void cleanup() { m_server.reset(); }

    void itemLeavesItsFullHistory()
    {
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem("0003"))})}).ok);
        const QJsonObject inserted = storedItem(QStringLiteral("0003"));
        QJsonObject edited = inserted;
        edited["QTINFUCONF"] = 480.0;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("modify", inserted, edited)})}).ok);
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("delete", edited, {})})}).ok);

        const QVector<QJsonObject> entries = history(QStringLiteral("CONFESCO"), itemKey(QStringLiteral("0003")));
        QCOMPARE(entries.size(), 3);
        QCOMPARE(summary(entries[0]), QStringLiteral("delete SetConfesco NUTRI01"));
        QCOMPARE(summary(entries[1]), QStringLiteral("modify SetConfesco NUTRI01"));
        QCOMPARE(summary(entries[2]), QStringLiteral("insert SetConfesco NUTRI01"));
        QVERIFY(entries[0]["NRAUDITORIA"].toDouble() > entries[1]["NRAUDITORIA"].toDouble());
        QCOMPARE(entries[2]["NMTABELA"].toString(), QStringLiteral("CONFESCO"));
        QVERIFY(entries[2]["DTAUDITORIA"].toString().startsWith(QDate::currentDate().toString(Qt::ISODate)));

        // Values as stored, derived ones included: the clock text follows
        // the real hour whatever the client sent.
        QVERIFY(entries[2]["DSANTERIOR"].isNull());
        const QJsonObject insertedValues = parsed(entries[2]["DSNOVO"]);
        QCOMPARE(insertedValues["QTINFUCONF"].toDouble(), 450.0);
        QCOMPARE(insertedValues["HRCONF"].toString(), QStringLiteral("2359"));
        QVERIFY(!insertedValues.contains(QStringLiteral("NMPRODUTO")));
        QCOMPARE(parsed(entries[1]["DSANTERIOR"])["QTINFUCONF"].toDouble(), 450.0);
        QCOMPARE(parsed(entries[1]["DSNOVO"])["QTINFUCONF"].toDouble(), 480.0);
        QCOMPARE(parsed(entries[0]["DSANTERIOR"])["QTINFUCONF"].toDouble(), 480.0);
        QVERIFY(entries[0]["DSNOVO"].isNull());
        // The key in the trail's own form, whatever form the request used.
        QCOMPARE(parsed(entries[0]["DSCHAVE"])["DTSERVINTE"].toString(),
                 QDateTime(recordDay(), QTime(0, 0)).toString(Qt::ISODate));
    }

    void serviceRecordLeavesItsFullHistory()
    {
        QVERIFY(call(QStringLiteral("SetServInte"), {changes({change("insert", {}, newRecord())})}).ok);
        const QJsonObject inserted = storedRecord(AdultWithoutRecords);
        QJsonObject edited = inserted;
        edited["NRSERVPESO"] = 60.5;
        QVERIFY(call(QStringLiteral("SetServInte"), {changes({change("modify", inserted, edited)})}).ok);
        QVERIFY(call(QStringLiteral("SetServInte"), {changes({change("delete", edited, {})})}).ok);

        const QJsonObject key = recordKey(AdultWithoutRecords, QDate::currentDate());
        QCOMPARE(summaries(QStringLiteral("SERVINTE"), key),
                 QStringList({QStringLiteral("delete SetServInte NUTRI01"), QStringLiteral("modify SetServInte NUTRI01"),
                              QStringLiteral("insert SetServInte NUTRI01")}));
        const QJsonObject change = history(QStringLiteral("SERVINTE"), key).at(1);
        QCOMPARE(parsed(change["DSANTERIOR"])["NRSERVPESO"].toDouble(), 58.0);
        QCOMPARE(parsed(change["DSNOVO"])["NRSERVPESO"].toDouble(), 60.5);
        // Another record's history is its own.
        QVERIFY(history(QStringLiteral("SERVINTE"), recordKey(AdultWithRecords, recordDay())).isEmpty());
    }

    void occurrenceLeavesItsFullHistory()
    {
        QJsonObject occurrence = occurrenceKey(DishItem);
        QVERIFY(call(QStringLiteral("SetOcorrencia"), {changes({change("insert", {}, occurrence)})}).ok);
        QVERIFY(call(QStringLiteral("SetOcorrencia"), {changes({change("delete", occurrence, {})})}).ok);
        QCOMPARE(summaries(QStringLiteral("OCORINFU"), occurrence),
                 QStringList({QStringLiteral("delete SetOcorrencia NUTRI01"),
                              QStringLiteral("insert SetOcorrencia NUTRI01")}));
    }

    // Rows deleted with their owner leave their entries under the method
    // that deleted the owner.
    void dependentRowsLeaveTheirHistory_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<bool>("itemDeleted");
        QTest::newRow("record") << "SetServInte" << true;
        QTest::newRow("item") << "SetConfesco" << true;
        QTest::newRow("record's items") << "DelConf" << true;
        QTest::newRow("record's occurrences") << "DelOcorinfu" << false;
    }
    void dependentRowsLeaveTheirHistory()
    {
        QFETCH(QString, method);
        QFETCH(bool, itemDeleted);
        const QJsonArray record = {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust};
        QJsonArray args = record;
        if (method == QLatin1String("SetServInte"))
            args = {changes({change("delete", storedRecord(AdultWithRecords), {})})};
        else if (method == QLatin1String("SetConfesco"))
            args = {changes({change("delete", storedItem(ProductItem), {})})};
        const ServerResult result = call(method, args);
        QVERIFY2(result.ok, qPrintable(result.error));

        const QString deleted = QStringLiteral("delete %1 NUTRI01").arg(method);
        QCOMPARE(summaries(QStringLiteral("OCORINFU"), occurrenceKey(ProductItem)), QStringList({deleted}));
        QCOMPARE(summaries(QStringLiteral("CONFESCO"), itemKey(ProductItem)),
                 itemDeleted ? QStringList({deleted}) : QStringList());
        const QJsonObject values = parsed(history(QStringLiteral("OCORINFU"), occurrenceKey(ProductItem))
                                              .value(0)["DSANTERIOR"]);
        QCOMPARE(values["CDTPOCORINFU"].toString(), OccurrenceType);
    }

    void observationOfTheAdmission()
    {
        const QJsonObject admissionKey{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords},
                                       {"DTINTERNA", admission().toString(Qt::ISODate)}};
        QVERIFY(call(QStringLiteral("UpdServInte"), {AdultWithRecords, "Nova observação", BranchAdjust}).ok);
        // The same text again changes nothing, so it leaves nothing.
        QVERIFY(call(QStringLiteral("UpdServInte"), {AdultWithRecords, "Nova observação", BranchAdjust}).ok);
        const QVector<QJsonObject> entries = history(QStringLiteral("INTERNAC"), admissionKey);
        QCOMPARE(entries.size(), 1);
        QCOMPARE(summary(entries[0]), QStringLiteral("modify UpdServInte NUTRI01"));
        QVERIFY(parsed(entries[0]["DSANTERIOR"])["DSSERVINTE"].isNull());
        QCOMPARE(parsed(entries[0]["DSNOVO"])["DSSERVINTE"].toString(), QStringLiteral("Nova observação"));
        const QVector<QJsonObject> record = history(QStringLiteral("SERVINTE"), recordKey(AdultWithRecords, recordDay()));
        QCOMPARE(record.size(), 1);
        QCOMPARE(summary(record[0]), QStringLiteral("modify UpdServInte NUTRI01"));
        QCOMPARE(parsed(record[0]["DSANTERIOR"])["DSSERVINTE"].toString(), RecordObservation);
    }

    // A refused packet is rolled back whole, its trail with it.
    void refusedPacketsLeaveNoTrail_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::newRow("stale edit") << "stale";
        QTest::newRow("later change repeats a key") << "duplicate";
        QTest::newRow("stale delete after a cascade") << "cascade";
    }
    void refusedPacketsLeaveNoTrail()
    {
        QFETCH(QString, refusal);
        const QJsonObject read = storedItem(ProductItem);
        QJsonArray list;
        if (refusal == QLatin1String("stale")) {
            QJsonObject first = read;
            first["QTINFUCONF"] = 210.0;
            QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("modify", read, first)})}).ok);
            QJsonObject second = read;
            second["QTINFUCONF"] = 190.0;
            list = {change("modify", read, second)};
        } else if (refusal == QLatin1String("duplicate")) {
            list = {change("insert", {}, newItem("0003")), change("modify", read, newItem(ProductItem)),
                    change("insert", {}, newItem(DishItem))};
        } else {
            QJsonObject stale = storedItem(DishItem);
            stale["QTINFUCONF"] = 1.0;
            list = {change("delete", read, {}), change("delete", stale, {})};
        }
        const ServerResult result = call(QStringLiteral("SetConfesco"), {changes(list)});
        QVERIFY(!result.ok);
        const int kept = refusal == QLatin1String("stale") ? 1 : 0;
        QCOMPARE(history(QStringLiteral("CONFESCO"), itemKey(ProductItem)).size(), kept);
        QVERIFY(history(QStringLiteral("CONFESCO"), itemKey(QStringLiteral("0003"))).isEmpty());
        QVERIFY(history(QStringLiteral("CONFESCO"), itemKey(DishItem)).isEmpty());
        QVERIFY(history(QStringLiteral("OCORINFU"), occurrenceKey(ProductItem)).isEmpty());
    }

    void historyRequestsAreChecked_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("error");
        QTest::newRow("the trail itself") << "AUDITORIA" << "{}" << "Tabela desconhecida: AUDITORIA.";
        QTest::newRow("key not JSON") << "CONFESCO" << "0001"
                                      << "Requisição inválida: a chave deve ser um objeto JSON com os campos da "
                                         "chave de CONFESCO.";
        QTest::newRow("key field missing") << "SERVINTE" << keyText({{"CDFILIAL", BranchAdjust}})
                                           << "Campo CDPACIENTE deve ser informado.";
        QTest::newRow("key date unreadable") << "SERVINTE"
                                             << keyText({{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", Newborn},
                                                         {"DTSERVINTE", "ontem"}, {"NRSEQUSERV", Sequence}})
                                             << "Valor inválido para o campo DTSERVINTE.";
    }
    void historyRequestsAreChecked()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, error);
        const ServerResult result = call(QStringLiteral("getAuditoria"), {table, key});
        QVERIFY(!result.ok);
        QCOMPARE(result.error, error);
    }

    // A database made before the trail existed gets it when a server starts
    // on it, and its writes are recorded from then on.
    void olderDatabaseGetsTheTrail()
    {
        if (m_server->database().startsWith(QLatin1String("postgresql")))
            QSKIP("a SQLite file of its own");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("older.db"));
        Fixture::build(path);
        {
            // A database made before the trail had neither it nor a schema version.
            SqlSession session(DatabaseConfig::parse(path), QStringLiteral("older"));
            session.execute(QStringLiteral("DROP TABLE ") + Schema::auditTable);
            SchemaVersion::drop(session.database());
        }
        EntPatServer server({.database = path, .logLevel = LogLevel::Off});
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        QVERIFY(callServer(server.port(), QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem("0003"))})})
                    .ok);
        const ServerResult trail = callServer(server.port(), QStringLiteral("getAuditoria"),
                                              {QStringLiteral("CONFESCO"), keyText(itemKey(QStringLiteral("0003")))});
        QCOMPARE(rowObjects(trail.data).size(), 1);
        QCOMPARE(rowObjects(trail.data).first()["CDOPERADOR"].toString(), Nutritionist);
    }
};

QTEST_GUILESS_MAIN(TestServerAudit)
#include "tst_serveraudit.moc"
