// Change packets and deletions of rdmEntPat: one transaction per packet,
// optimistic concurrency, duplicate keys, dependent rows, literal text, and
// eight workstations at once; on SQLite and (when available) PostgreSQL.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QTest>

#include <atomic>
#include <thread>

using namespace Fixture;

namespace {

const QString stale = QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.");

} // namespace

class TestServerChanges : public QObject
{
    Q_OBJECT

private:
    ServerResult call(const QString &method, const QJsonArray &args) { return callServer(m_server->port(), method, args); }

    QVector<QJsonObject> items()
    {
        const ServerResult result = call(QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        return result.ok ? rowObjects(result.data) : QVector<QJsonObject>();
    }
    QJsonObject item(const QString &number)
    {
        for (const QJsonObject &row : items()) {
            if (row[QStringLiteral("CDSEQUCOPR")].toString() == number)
                return row;
        }
        return {};
    }
    int occurrenceCount(const QString &number)
    {
        const ServerResult result = call(QStringLiteral("getOcorrencia"),
                                         {AdultWithRecords, Sequence, iso(recordDay()), number, BranchAdjust});
        return result.ok ? int(rowObjects(result.data).size()) : -1;
    }
    QVector<QJsonObject> records()
    {
        const ServerResult result =
            call(QStringLiteral("getServInte"), {AdultWithRecords, admission().toString(Qt::ISODate), BranchAdjust});
        return result.ok ? rowObjects(result.data) : QVector<QJsonObject>();
    }

    std::unique_ptr<FixtureServer> m_server;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(8); }
    void cleanup() { m_server.reset(); }

    void itemIsInsertedEditedAndDeleted()
    {
        ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem("0003"))})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QJsonObject stored = item(QStringLiteral("0003"));
        QCOMPARE(stored["QTINFUCONF"].toDouble(), 450.0);
        // The clock text follows the real hour, whatever the client sent.
        QCOMPARE(stored["HRCONF"].toString(), QStringLiteral("2359"));
        QCOMPARE(stored["NMPRODUTO"].toString(), QStringLiteral("Fórmula enteral polimérica 1,0 kcal/mL"));

        QJsonObject edited = stored;
        edited["QTINFUCONF"] = 480.0;
        edited["DSOBSCONF"] = "Reduzir velocidade";
        result = call(QStringLiteral("SetConfesco"), {changes({change("modify", stored, edited)})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(item(QStringLiteral("0003"))["QTINFUCONF"].toDouble(), 480.0);

        result = call(QStringLiteral("SetConfesco"), {changes({change("delete", item(QStringLiteral("0003")), {})})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(item(QStringLiteral("0003")).isEmpty());
    }

    void staleEditsAreRefused()
    {
        // Two workstations read the same item; the first edit wins.
        const QJsonObject read = item(ProductItem);
        QJsonObject first = read;
        first["QTINFUCONF"] = 210.0;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("modify", read, first)})}).ok);
        QJsonObject second = read;
        second["QTINFUCONF"] = 190.0;
        ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("modify", read, second)})});
        QVERIFY(!result.ok);
        QCOMPARE(result.error, stale);
        result = call(QStringLiteral("SetConfesco"), {changes({change("delete", read, {})})});
        QCOMPARE(result.error, stale);
        QCOMPARE(item(ProductItem)["QTINFUCONF"].toDouble(), 210.0);
        QCOMPARE(occurrenceCount(ProductItem), 1);

        // A row that is gone cannot be edited either.
        const QJsonObject dish = item(DishItem);
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("delete", dish, {})})}).ok);
        result = call(QStringLiteral("SetConfesco"), {changes({change("modify", dish, dish)})});
        QCOMPARE(result.error, stale);
    }

    void duplicatesAreRefused()
    {
        ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem(ProductItem))})});
        QCOMPARE(result.error, QStringLiteral("Item já cadastrado por outro usuário."));

        QJsonObject record = records().first();
        record["NRSEQUSERV"] = "02";
        result = call(QStringLiteral("SetServInte"), {changes({change("insert", {}, record)})});
        QCOMPARE(result.error, QStringLiteral("Serviço já cadastrado."));

        QJsonObject occurrence{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords},
                               {"DTSERVINTE", iso(recordDay())}, {"NRSEQUSERV", Sequence},
                               {"CDSEQUCOPR", ProductItem}, {"DTOCORINFU", occurrenceTime().toString(Qt::ISODate)},
                               {"CDTPOCORINFU", OccurrenceType}};
        result = call(QStringLiteral("SetOcorrencia"), {changes({change("insert", {}, occurrence)})});
        QCOMPARE(result.error, QStringLiteral("Ocorrência já cadastrada."));

        // A type nobody knows is refused, not stored.
        occurrence["DTOCORINFU"] = occurrenceTime().addSecs(120).toString(Qt::ISODate);
        occurrence["CDTPOCORINFU"] = "999";
        result = call(QStringLiteral("SetOcorrencia"), {changes({change("insert", {}, occurrence)})});
        QCOMPARE(result.error, QStringLiteral("Ocorrência não cadastrada."));
        QCOMPARE(occurrenceCount(ProductItem), 1);
    }

    // Workstations typing the same occurrence of an item at the same moment:
    // one stores it, every other one is refused with the duplicate message
    // in the transaction that would store it. Another type or another minute
    // is another occurrence.
    void repeatedOccurrenceIsStoredOnce()
    {
        constexpr int clients = 6;
        const QDateTime when = occurrenceTime().addSecs(3600);
        const auto occurrence = [&](const QDateTime &at, const QString &type) {
            return changes({change("insert", {},
                                   {{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords},
                                    {"DTSERVINTE", iso(recordDay())}, {"NRSEQUSERV", Sequence},
                                    {"CDSEQUCOPR", ProductItem}, {"DTOCORINFU", at.toString(Qt::ISODate)},
                                    {"CDTPOCORINFU", type}})});
        };
        std::atomic<int> stored{0}, refused{0}, unexpected{0};
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&] {
                const ServerResult result = callServer(m_server->port(), QStringLiteral("SetOcorrencia"),
                                                       {occurrence(when, OccurrenceType)});
                if (result.ok)
                    ++stored;
                else if (result.error == QStringLiteral("Ocorrência já cadastrada."))
                    ++refused;
                else
                    ++unexpected;
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(unexpected.load(), 0);
        QCOMPARE(stored.load(), 1);
        QCOMPARE(refused.load(), clients - 1);
        QCOMPARE(occurrenceCount(ProductItem), 2);

        QVERIFY(call(QStringLiteral("SetOcorrencia"), {occurrence(when, QStringLiteral("002"))}).ok);
        QVERIFY(call(QStringLiteral("SetOcorrencia"), {occurrence(when.addSecs(60), OccurrenceType)}).ok);
        QCOMPARE(occurrenceCount(ProductItem), 4);
    }

    void twoWorkstationsNumberTheSameItem()
    {
        // Both read the highest number before either stores its item.
        const QJsonArray record = {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust};
        for (int workstation = 0; workstation < 2; ++workstation)
            QCOMPARE(call(QStringLiteral("getNrConfesco"), record).data[QStringLiteral("rows")][0][0].toString(),
                     QStringLiteral("2"));
        QJsonObject first = newItem(QStringLiteral("0003"));
        QJsonObject second = first;
        second["QTPRATCONF"] = 900.0;
        second["CDVIACESDIET"] = OtherRoute;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, first)})}).ok);
        const ServerResult refused = call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, second)})});
        QCOMPARE(refused.error, QStringLiteral("Item já cadastrado por outro usuário."));
        const QJsonObject stored = item(QStringLiteral("0003"));
        QCOMPARE(stored["QTPRATCONF"].toDouble(), 500.0);
        QCOMPARE(stored["CDVIACESDIET"].toString(), Route);
        QCOMPARE(items().size(), 3);
    }

    void clockTextFollowsTheRealHour_data()
    {
        QTest::addColumn<double>("hours");
        QTest::addColumn<QString>("clock");
        QTest::newRow("half past eight") << 8.5 << "0830";
        QTest::newRow("midnight") << 0.0 << "0000";
        QTest::newRow("twenty minutes") << 0.33333333 << "0020";
        QTest::newRow("last minute") << 23.98333333 << "2359";
        QTest::newRow("half a minute rounds up") << 12.0 + 59.5 / 60.0 << "1300";
        QTest::newRow("rounds to 24:00, stays on its day") << 23.9999 << "2359";
        QTest::newRow("past the day") << 26.25 << "2359";
        QTest::newRow("negative") << -0.5 << "0000";
    }
    void clockTextFollowsTheRealHour()
    {
        QFETCH(double, hours);
        QFETCH(QString, clock);
        QJsonObject values = newItem(QStringLiteral("0003"));
        values["HRCONSCONF"] = 10.0;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, values)})}).ok);
        QCOMPARE(item(QStringLiteral("0003"))["HRCONF"].toString(), QStringLiteral("1000"));
        // An edit of the real hour rewrites the text, whatever text was sent.
        const QJsonObject stored = item(QStringLiteral("0003"));
        QJsonObject edited = stored;
        edited["HRCONSCONF"] = hours;
        edited["HRCONF"] = "1111";
        const ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("modify", stored, edited)})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(item(QStringLiteral("0003"))["HRCONF"].toString(), clock);
    }

    void packetIsAppliedWholeOrNotAtAll()
    {
        const ServerResult result = call(QStringLiteral("SetConfesco"),
                                         {changes({change("insert", {}, newItem("0003")),
                                                   change("insert", {}, newItem(ProductItem))})});
        QVERIFY(!result.ok);
        QVERIFY(item(QStringLiteral("0003")).isEmpty());
        QCOMPARE(items().size(), 2);
    }

    void itemOfAMissingRecordIsRefused()
    {
        QJsonObject orphan = newItem("0001");
        orphan["DTSERVINTE"] = iso(QDate::currentDate().addDays(-7));
        const ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, orphan)})});
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(QStringLiteral("não existe mais")), qPrintable(result.error));
    }

    void deletingAnItemDeletesItsOccurrences()
    {
        QCOMPARE(occurrenceCount(ProductItem), 1);
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("delete", item(ProductItem), {})})}).ok);
        QCOMPARE(occurrenceCount(ProductItem), 0);
        // A new item under the old number starts without occurrences.
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem(ProductItem))})}).ok);
        QCOMPARE(occurrenceCount(ProductItem), 0);
    }

    void deletingARecordDeletesItsItems()
    {
        const QJsonObject record = records().first();
        const ServerResult result = call(QStringLiteral("SetServInte"), {changes({change("delete", record, {})})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(items().size(), 0);
        QCOMPARE(occurrenceCount(ProductItem), 0);
        QCOMPARE(records().size(), 1);
    }

    void editedRecordKeepsItsKey()
    {
        const QJsonObject record = records().first();
        QJsonObject edited = record;
        edited["NRSEQUSERV"] = "02";
        edited["NRSERVPESO"] = 70.25;
        const ServerResult result = call(QStringLiteral("SetServInte"), {changes({change("modify", record, edited)})});
        QVERIFY2(result.ok, qPrintable(result.error));
        const QJsonObject stored = records().first();
        QCOMPARE(stored["NRSEQUSERV"].toString(), Sequence);
        QCOMPARE(stored["NRSERVPESO"].toDouble(), 70.25);
        QCOMPARE(items().size(), 2);
    }

    void firstRecordOfTheDayIsNumberedOne()
    {
        const QString today = iso(QDate::currentDate());
        const QJsonArray check = {AdultWithoutRecords, today, EnteralService, EnteralDiet, Fixture::admission().toString(Qt::ISODate), BranchAdjust};
        ServerResult result = call(QStringLiteral("getVdPostServInte"), check);
        QCOMPARE(rowObjects(result.data.toArray().at(1)).first()["NRSEQUSERV"].toString(), QStringLiteral("0"));
        const QJsonObject record{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithoutRecords}, {"DTSERVINTE", today},
                                 {"NRSEQUSERV", "01"}, {"DTINTERNA", Fixture::admission().toString(Qt::ISODate)},
                                 {"CDSERVFILI", EnteralService}, {"CDDIETPAD", EnteralDiet}, {"CDDIETGRUPSI", EnteralDiet},
                                 {"CDNUTRICIO", Nutritionist}, {"NRACOMPANA", "0"}, {"STPACIACOM", "0"},
                                 {"IDIMPRSERV", "S"}, {"NRSERVPESO", QJsonValue()}, {"NMSERVICO", "Nutrição Enteral"}};
        result = call(QStringLiteral("SetServInte"), {changes({change("insert", {}, record)})});
        QVERIFY2(result.ok, qPrintable(result.error));
        result = call(QStringLiteral("getVdPostServInte"), check);
        QCOMPARE(rowObjects(result.data.toArray().at(0)).size(), 1);
        QCOMPARE(rowObjects(result.data.toArray().at(1)).first()["NRSEQUSERV"].toString(), QStringLiteral("1"));
    }

    // Two workstations number their records of one day from the same
    // highest sequence: each record is stored, under the next free sequence;
    // the same service and diet twice is still refused; a day has at most
    // 99 records.
    void recordsOfOneDayAreNumberedByTheServer()
    {
        const QString today = iso(QDate::currentDate());
        const auto record = [&](const QString &service, const QString &diet, const QString &sequence) {
            return QJsonObject{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords}, {"DTSERVINTE", today},
                               {"NRSEQUSERV", sequence}, {"DTINTERNA", admission().toString(Qt::ISODate)},
                               {"CDSERVFILI", service}, {"CDDIETPAD", diet}, {"CDNUTRICIO", Nutritionist}};
        };
        const auto insert = [&](const QJsonObject &values) {
            return call(QStringLiteral("SetServInte"), {changes({change("insert", {}, values)})});
        };
        ServerResult result = insert(record(EnteralService, EnteralDiet, "02"));
        QVERIFY2(result.ok, qPrintable(result.error));
        result = insert(record(EnteralService, EnteralDiet2, "02"));
        QVERIFY2(result.ok, qPrintable(result.error));
        result = insert(record(EnteralService, EnteralDiet, "03"));
        QCOMPARE(result.error, QStringLiteral("Serviço já cadastrado."));
        QStringList sequences;
        for (const QJsonObject &stored : records())
            if (stored["DTSERVINTE"].toString().startsWith(QDate::currentDate().toString(Qt::ISODate)))
                sequences << stored["NRSEQUSERV"].toString() + QLatin1Char(' ') + stored["CDDIETPAD"].toString();
        QCOMPARE(sequences, (QStringList{"01 " + ParenteralDiet, "02 " + EnteralDiet, "03 " + EnteralDiet2}));

        result = insert(record(ParenteralService, ParenteralOnlyDiet, "99"));
        QVERIFY2(result.ok, qPrintable(result.error));
        result = insert(record(LetterService, EnteralDiet, "99"));
        QCOMPARE(result.error, QStringLiteral("Numeração de serviços do dia esgotada."));
    }

    // Workstations inserting different records of one day at the same moment
    // all get theirs stored, each under its own sequence.
    void simultaneousRecordsOfOneDayAreAllStored()
    {
        const QString today = iso(QDate::currentDate());
        const QList<QPair<QString, QString>> entries = {
            {EnteralService, EnteralDiet}, {EnteralService, EnteralDiet2}, {ParenteralService, ParenteralOnlyDiet},
            {LetterService, EnteralDiet}};
        std::vector<std::thread> threads;
        std::vector<QString> errors(entries.size());
        for (int i = 0; i < entries.size(); ++i) {
            const QJsonObject values{{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords},
                                     {"DTSERVINTE", today}, {"NRSEQUSERV", "02"},
                                     {"DTINTERNA", admission().toString(Qt::ISODate)},
                                     {"CDSERVFILI", entries.at(i).first}, {"CDDIETPAD", entries.at(i).second}};
            threads.emplace_back([this, values, &errors, i] {
                const ServerResult result = call(QStringLiteral("SetServInte"), {changes({change("insert", {}, values)})});
                errors[i] = result.ok ? QString() : result.error;
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        for (const QString &error : errors)
            QVERIFY2(error.isEmpty(), qPrintable(error));
        QSet<QString> sequences;
        for (const QJsonObject &stored : records())
            if (stored["DTSERVINTE"].toString().startsWith(QDate::currentDate().toString(Qt::ISODate)))
                sequences << stored["NRSEQUSERV"].toString();
        QCOMPARE(sequences, (QSet<QString>{"01", "02", "03", "04", "05"}));
    }

    // The observation the list gave the admission is no observation of a
    // service record: a patient without records gets his habits note.
    void aNewRecordTakesOnlyTheObservationOfARecord()
    {
        ServerResult result = call(QStringLiteral("UpdServInte"), {AdultWithoutRecords, "Da lista", BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        result = call(QStringLiteral("getVdPostServInte"),
                      {AdultWithoutRecords, iso(QDate::currentDate()), EnteralService, EnteralDiet,
                       admission().toString(Qt::ISODate), BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(rowObjects(result.data.toArray().at(2)).size(), 0);
    }

    void textIsStoredLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("statement") << "'; DROP TABLE CONFESCO; --";
        QTest::newRow("closing quote") << "x'); DELETE FROM OCORINFU; --";
        QTest::newRow("quotes") << "O'Brien \"duplo\" ''";
        QTest::newRow("keywords") << "SELECT * FROM PACIENTE WHERE 1=1 OR";
        QTest::newRow("accents") << "Observação: ração à noite";
    }
    void textIsStoredLiterally()
    {
        QFETCH(QString, text);
        const QJsonObject read = item(ProductItem);
        QJsonObject edited = read;
        edited["DSOBSCONF"] = text;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("modify", read, edited)})}).ok);
        const QJsonObject stored = item(ProductItem);
        QCOMPARE(stored["DSOBSCONF"].toString(), text);
        QCOMPARE(items().size(), 2);
        QCOMPARE(occurrenceCount(ProductItem), 1);
        // The stored text is also matched literally as an original value.
        edited = stored;
        edited["QTSERVCONF"] = 70.0;
        QVERIFY(call(QStringLiteral("SetConfesco"), {changes({change("modify", stored, edited)})}).ok);
    }

    void valuesOutsideTheColumnsAreRefused_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QJsonValue>("value");
        QTest::newRow("text too long") << "DSOBSCONF" << QJsonValue(QString(256, QLatin1Char('x')));
        QTest::newRow("number as text") << "QTINFUCONF" << QJsonValue("muito");
        QTest::newRow("bad date") << "DTCONSCONF" << QJsonValue("31/02/2024");
        QTest::newRow("object as text") << "DSOBSCONF" << QJsonValue(QJsonObject());
    }
    void valuesOutsideTheColumnsAreRefused()
    {
        QFETCH(QString, field);
        QFETCH(QJsonValue, value);
        const QJsonObject read = item(ProductItem);
        QJsonObject edited = read;
        edited[field] = value;
        const ServerResult result = call(QStringLiteral("SetConfesco"), {changes({change("modify", read, edited)})});
        QVERIFY(!result.ok);
        QVERIFY2(result.error.contains(field), qPrintable(result.error));
        QCOMPARE(item(ProductItem), read);
    }

    void observationOfTheAdmission()
    {
        const QString text = QStringLiteral("Jejum para exame às 14h; 'não' alterar");
        ServerResult result = call(QStringLiteral("UpdServInte"), {AdultWithRecords, text, BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        for (const QJsonObject &record : records())
            QCOMPARE(record["DSSERVINTE"].toString(), text);
        result = call(QStringLiteral("getPaciFiltro"), {"", QStringLiteral("'%1'").arg(AdultWithRecords), "T", "", "T", "",
                                                        "T", "", "T", QJsonValue(), QJsonValue(), BranchAdjust});
        QCOMPARE(rowObjects(result.data).first()["DSSERVINTE"].toString(), text);
        result = call(QStringLiteral("UpdServInte"), {Discharged, text, BranchAdjust});
        QVERIFY(!result.ok);
    }

    void recordItemsAndOccurrencesAreDeletedForTheSchedule()
    {
        const QJsonArray record = {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust};
        QVERIFY(call(QStringLiteral("DelOcorinfu"), record).ok);
        QCOMPARE(occurrenceCount(ProductItem), 0);
        QCOMPARE(items().size(), 2);
        QVERIFY(call(QStringLiteral("SetOcorrencia"),
                     {changes({change("insert", {},
                                      {{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", AdultWithRecords},
                                       {"DTSERVINTE", iso(recordDay())}, {"NRSEQUSERV", Sequence}, {"CDSEQUCOPR", DishItem},
                                       {"DTOCORINFU", occurrenceTime().toString(Qt::ISODate)},
                                       {"CDTPOCORINFU", OccurrenceType}, {"NMTPOCORINFU", "ignorado"}})})})
                    .ok);
        QVERIFY(call(QStringLiteral("DelConf"), record).ok);
        QCOMPARE(items().size(), 0);
        QCOMPARE(occurrenceCount(DishItem), 0);
        const ServerResult number = call(QStringLiteral("getNrConfesco"), record);
        QCOMPARE(rowObjects(number.data).first()["CDSEQUCOPR"].toString(), QStringLiteral("0"));
    }

    // Eight workstations insert items into one record and raise the speed of
    // one shared item by read-modify-write: every insert is kept or refused,
    // and every refused edit is refused with the stale message, so the final
    // speed counts exactly the accepted edits (no update lost).
    void eightWorkstationsAtOnce()
    {
        constexpr int clients = 8;
        constexpr int rounds = 12;
        const double initialSpeed = item(ProductItem)["QTSERVCONF"].toDouble();
        std::atomic<int> inserted{0}, insertRefused{0}, edited{0}, editRefused{0}, unexpected{0};
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                const int port = m_server->port();
                const QJsonArray record = {AdultWithRecords, iso(recordDay()), Sequence, BranchAdjust};
                for (int r = 0; r < rounds; ++r) {
                    const ServerResult number = callServer(port, QStringLiteral("getNrConfesco"), record);
                    const int next = rowObjects(number.data).first()["CDSEQUCOPR"].toString().toInt() + 1;
                    QJsonObject values = newItem(QStringLiteral("%1").arg(next, 4, 10, QLatin1Char('0')));
                    values["DSOBSCONF"] = QStringLiteral("cliente %1 rodada %2").arg(c).arg(r);
                    const ServerResult insert = callServer(port, QStringLiteral("SetConfesco"), {changes({change("insert", {}, values)})});
                    if (insert.ok)
                        ++inserted;
                    else if (insert.error.startsWith(QStringLiteral("Item já cadastrado")))
                        ++insertRefused;
                    else
                        ++unexpected;

                    const ServerResult list = callServer(port, QStringLiteral("getConfesco"),
                                                         {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
                    QJsonObject shared;
                    for (const QJsonObject &row : rowObjects(list.data)) {
                        if (row["CDSEQUCOPR"].toString() == ProductItem)
                            shared = row;
                    }
                    QJsonObject faster = shared;
                    faster["QTSERVCONF"] = shared["QTSERVCONF"].toDouble() + 1.0;
                    const ServerResult edit = callServer(port, QStringLiteral("SetConfesco"), {changes({change("modify", shared, faster)})});
                    if (edit.ok)
                        ++edited;
                    else if (edit.error == stale)
                        ++editRefused;
                    else
                        ++unexpected;
                }
            });
        }
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(unexpected.load(), 0);
        QCOMPARE(inserted + insertRefused, clients * rounds);
        QCOMPARE(edited + editRefused, clients * rounds);
        QVERIFY(edited > 0);
        QCOMPARE(int(items().size()), 2 + inserted.load());
        QCOMPARE(item(ProductItem)["QTSERVCONF"].toDouble(), initialSpeed + edited);
        qInfo("accepted inserts %d, refused %d; accepted edits %d, refused %d", inserted.load(), insertRefused.load(),
              edited.load(), editRefused.load());
    }
};

QTEST_GUILESS_MAIN(TestServerChanges)
#include "tst_serverchanges.moc"
