// The reading methods of rdmEntPat against the fixture database, on SQLite
// and (when a throw-away cluster runs) PostgreSQL.
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"
#include "lib/tablewriter.h"

#include <QJsonArray>
#include <QTest>

using namespace Fixture;

namespace {

QString iso(const QDate &date) { return date.startOfDay().toString(Qt::ISODate); }
QString iso(const QDateTime &dateTime) { return dateTime.toString(Qt::ISODate); }

QVariant cell(const DataPacket &packet, int row, const QString &field)
{
    const int column = packet.indexOf(field);
    return column < 0 || row >= packet.rows.size() ? QVariant() : packet.rows.at(row).at(column);
}

QStringList column(const DataPacket &packet, const QString &field)
{
    QStringList values;
    for (int row = 0; row < packet.rows.size(); ++row)
        values << cell(packet, row, field).toString();
    return values;
}

} // namespace

class TestServerReads : public QObject
{
    Q_OBJECT

private:
    // Calls and reads the answer as a data packet; fails the test otherwise.
    bool read(const QString &method, const QJsonArray &args, DataPacket &packet)
    {
        const ServerResult result = callServer(m_server->port(), method, args);
        if (!result.ok) {
            qWarning("%s: %s", qPrintable(method), qPrintable(result.error));
            return false;
        }
        packet = DataPacket::fromJson(result.data);
        return true;
    }

    std::unique_ptr<FixtureServer> m_server;

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(); }
    void cleanup() { m_server.reset(); }

    void inpatientListsHoldOnlyAdmittedPatientsOfTheBranch()
    {
        DataPacket search;
        QVERIFY(read(QStringLiteral("getPesqPaci"), {BranchAdjust}, search));
        QStringList codes = column(search, QStringLiteral("CDPACIENTE"));
        codes.sort();
        QCOMPARE(codes, QStringList({Newborn, Infant, OneYearOneMonth, AdultWithRecords, AdultWithoutRecords}));
        const int adult = column(search, QStringLiteral("CDPACIENTE")).indexOf(AdultWithRecords);
        QCOMPARE(cell(search, adult, QStringLiteral("NMPACIUPPER")).toString(), QStringLiteral("MARIA D'ÁVILA ADULTA"));
        QCOMPARE(cell(search, adult, QStringLiteral("CDLEITO")).toString(), QStringLiteral("L0004"));
        QCOMPARE(cell(search, adult, QStringLiteral("NMSERPADDIE")).toString(), QStringLiteral("Apartamento"));
        QCOMPARE(cell(search, adult, QStringLiteral("DTINTERNA")).toDateTime(), admission());
        QVERIFY(search.indexOf(QStringLiteral("DTNASCPACI")) >= 0 && search.indexOf(QStringLiteral("NMLEITO")) >= 0);

        DataPacket marking;
        QVERIFY(read(QStringLiteral("GetInternados"), {BranchPlain}, marking));
        QCOMPARE(marking.fields.size(), 3);
        QCOMPARE(marking.fields.at(0).name, QStringLiteral("IDMARCADO"));
        QCOMPARE(column(marking, QStringLiteral("CDPACIENTE")), QStringList{OtherBranchPatient});
    }

    void patientCheck_data()
    {
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("branch");
        QTest::addColumn<bool>("found");
        QTest::newRow("admitted") << AdultWithRecords << BranchAdjust << true;
        QTest::newRow("discharged") << Discharged << BranchAdjust << false;
        QTest::newRow("admitted elsewhere") << OtherBranchPatient << BranchAdjust << false;
        QTest::newRow("unknown") << QStringLiteral("999") << BranchAdjust << false;
        QTest::newRow("injection") << QStringLiteral("' OR '1'='1") << BranchAdjust << false;
    }
    void patientCheck()
    {
        QFETCH(QString, patient);
        QFETCH(QString, branch);
        QFETCH(bool, found);
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getVdPaciente"), {patient, branch}, packet));
        QCOMPARE(packet.rows.size(), found ? 1 : 0);
        for (const char *field : {"NMLEITO", "NMPACIENTE", "CDPACIENTE", "NMSERPADDIE", "DTNASCPACI", "DTINTERNA", "CDLEITO"})
            QVERIFY2(packet.indexOf(field) >= 0, qPrintable(field));
        if (found)
            QCOMPARE(cell(packet, 0, QStringLiteral("DTNASCPACI")).toDate(), QDate::currentDate().addYears(-40));
    }

    void patientFilter_data()
    {
        // Beds: L0001 wing 02 floor 1 (UTI), L0002 wing 03 floor 1 (ENF),
        // L0003 wing 01 floor 2 (APT), L0004 wing 02 floor 2 (APT),
        // L0005 wing 03 floor 2 (ENF).
        QTest::addColumn<QStringList>("filter");   // the nine texts
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("expected");
        const QString T = QStringLiteral("T");
        const QStringList all = {T, {}, T, {}, T, {}, T, {}, T};
        const QString yesterday = iso(recordDay());
        QTest::newRow("all") << all << QString() << QString()
                             << QStringList{Newborn, Infant, OneYearOneMonth, AdultWithRecords, AdultWithoutRecords};
        QStringList f = all;
        f[0] = QString();
        f[1] = QStringLiteral("'%1', '%2'").arg(Newborn, AdultWithRecords);
        QTest::newRow("patients") << f << QString() << QString() << QStringList{Newborn, AdultWithRecords};
        f = all;
        f[2] = QString();
        f[3] = QStringLiteral("'02'");
        QTest::newRow("wing") << f << QString() << QString() << QStringList{Newborn, AdultWithRecords};
        f = all;
        f[4] = QString();
        f[5] = QStringLiteral("'2'");
        QTest::newRow("floor") << f << QString() << QString()
                               << QStringList{OneYearOneMonth, AdultWithRecords, AdultWithoutRecords};
        f = all;
        f[6] = QString();
        f[7] = QStringLiteral("'APT'");
        QTest::newRow("standard") << f << QString() << QString() << QStringList{OneYearOneMonth, AdultWithRecords};
        f[2] = QString();
        f[3] = QStringLiteral("'03','02'");
        QTest::newRow("wing and standard") << f << QString() << QString() << QStringList{AdultWithRecords};
        f = all;
        f[8] = QString();
        QTest::newRow("service day") << f << yesterday << yesterday << QStringList{AdultWithRecords};
        QTest::newRow("days without service") << f << iso(QDate::currentDate().addDays(-30))
                                              << iso(QDate::currentDate().addDays(-20)) << QStringList();
        f = all;
        f[0] = QString();
        QTest::newRow("empty patient list") << f << QString() << QString() << QStringList();
        f[1] = QStringLiteral("'x'' OR ''1''=''1'");
        QTest::newRow("injection in a code") << f << QString() << QString() << QStringList();
        f[1] = QStringLiteral("'%1','%2'").arg(Newborn, AdultWithRecords);
        f[4] = QString();
        f[5] = QStringLiteral("'2'");
        QTest::newRow("floor and patient") << f << QString() << QString() << QStringList{AdultWithRecords};
        f = all;
        f[2] = QString();
        f[3] = QStringLiteral("'02'' OR ''1''=''1'");
        QTest::newRow("injection in a wing") << f << QString() << QString() << QStringList();
    }

    void codeListTextChangesNothing()
    {
        // Statements inside codes of every list travel as values: they match
        // nothing and run nowhere.
        const QString statement = QStringLiteral("'x''); DELETE FROM INTERNAC; DROP TABLE SERVINTE; --'");
        for (int list : {1, 3, 5, 7}) {
            QJsonArray args{"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), BranchAdjust};
            args[list - 1] = QString();
            args[list] = statement;
            DataPacket packet;
            QVERIFY(read(QStringLiteral("getPaciFiltro"), args, packet));
            QCOMPARE(packet.rows.size(), 0);
        }
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getPaciFiltro"),
                     {"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 5);
        QVERIFY(read(QStringLiteral("getPaciFiltro"),
                     {"T", "", "T", "", "T", "", "T", "", "", iso(recordDay()), iso(QDate::currentDate()), BranchAdjust},
                     packet));
        QCOMPARE(column(packet, QStringLiteral("CDPACIENTE")), QStringList{AdultWithRecords});
    }

    void everyInpatientOnceWithTheLatestAdmission()
    {
        // An older admission of the same patient that was never closed.
        {
            SqlSession session(DatabaseConfig::parse(m_server->database()), QStringLiteral("second-admission"));
            insertRow(session, QStringLiteral("INTERNAC"),
                      {BranchAdjust, AdultWithRecords, admission().addDays(-30), QStringLiteral("L0001"),
                       QStringLiteral("UTI"), QVariant(), QVariant()});
        }
        const QJsonArray all{"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), BranchAdjust};
        DataPacket list;
        QVERIFY(read(QStringLiteral("getPaciFiltro"), all, list));
        QStringList codes = column(list, QStringLiteral("CDPACIENTE"));
        QCOMPARE(codes.size(), 5);
        QCOMPARE(codes.count(AdultWithRecords), 1);
        QCOMPARE(cell(list, int(codes.indexOf(AdultWithRecords)), QStringLiteral("DTINTERNA")).toDateTime(), admission());
        for (const char *method : {"GetInternados", "getPesqPaci"}) {
            DataPacket packet;
            QVERIFY(read(QString::fromLatin1(method), {BranchAdjust}, packet));
            QCOMPARE(column(packet, QStringLiteral("CDPACIENTE")).count(AdultWithRecords), 1);
        }
    }
    void patientFilter()
    {
        QFETCH(QStringList, filter);
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QStringList, expected);
        QJsonArray args;
        for (const QString &text : filter)
            args.append(text);
        args << (start.isEmpty() ? QJsonValue() : QJsonValue(start)) << (end.isEmpty() ? QJsonValue() : QJsonValue(end))
             << BranchAdjust;
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getPaciFiltro"), args, packet));
        QStringList codes = column(packet, QStringLiteral("CDPACIENTE"));
        codes.sort();
        expected.sort();
        QCOMPARE(codes, expected);
        for (const char *field : {"NMPACIENTE", "NMSERPADDIE", "NMLEITO", "DTINTERNA", "CDLEITO", "DTNASCPACI", "DSSERVINTE"})
            QVERIFY2(packet.indexOf(field) >= 0, qPrintable(field));
    }

    void malformedCodeListIsRefused()
    {
        const ServerResult result = callServer(m_server->port(), QStringLiteral("getPaciFiltro"),
                                               {QString(), QStringLiteral("0001,0002"), "T", "", "T", "", "T", "", "T",
                                                QJsonValue(), QJsonValue(), BranchAdjust});
        QVERIFY(!result.ok);
        QVERIFY(result.error.contains(QStringLiteral("Lista de códigos inválida")));
    }

    void serviceRecordsOfTheAdmission()
    {
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getServInte"), {AdultWithRecords, iso(admission()), BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 2);
        QCOMPARE(cell(packet, 0, QStringLiteral("DTSERVINTE")).toDateTime(), recordDay().startOfDay());
        QCOMPARE(cell(packet, 0, QStringLiteral("NMSERVICO")).toString(), QStringLiteral("Nutrição Enteral"));
        QCOMPARE(cell(packet, 0, QStringLiteral("DSDIETPAD")).toString(), QStringLiteral("Enteral polimérica padrão"));
        QCOMPARE(cell(packet, 0, QStringLiteral("NMOPERADOR")).toString(), QStringLiteral("Ana Paula Nutricionista"));
        QCOMPARE(cell(packet, 0, QStringLiteral("NRSERVPESO")).toDouble(), 62.5);
        QCOMPARE(cell(packet, 0, QStringLiteral("DSSERVINTE")).toString(), RecordObservation);
        QCOMPARE(cell(packet, 1, QStringLiteral("CDSERVFILI")).toString(), ParenteralService);
        QCOMPARE(packet.fields.size(), 19);

        QVERIFY(read(QStringLiteral("getServInte"), {AdultWithRecords, iso(admission().addDays(-1)), BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 0);
        // Without a current admission there is nothing to show.
        QVERIFY(read(QStringLiteral("getServInte"), {AdultWithRecords, QJsonValue(), BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 0);
        QCOMPARE(packet.fields.size(), 19);
    }

    void lookups_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");   // empty: no row
        QTest::newRow("nutritionist") << "getNutricio" << QStringList{Nutritionist, BranchAdjust} << "CDNUTRICIO" << Nutritionist;
        QTest::newRow("not a nutritionist") << "getNutricio" << QStringList{NonNutritionist, BranchAdjust} << "" << "";
        QTest::newRow("nutritionist elsewhere") << "getNutricio" << QStringList{Nutritionist, BranchPlain} << "" << "";
        QTest::newRow("service") << "getVeriServ" << QStringList{EnteralService, BranchAdjust} << "NMSERVICO" << "Nutrição Enteral";
        // Codes match whatever their case; the answer holds the stored form.
        QTest::newRow("service in lower case") << "getVeriServ" << QStringList{"000se", BranchAdjust} << "CDSERVFILI"
                                               << LetterService;
        QTest::newRow("diet of a service in lower case")
            << "getVerifDieta" << QStringList{"000se", EnteralDiet, BranchAdjust} << "CDDIETPAD" << EnteralDiet;
        QTest::newRow("product in lower case") << "getVerifProd" << QStringList{"p001"} << "CDPRODUTO" << Product;
        QTest::newRow("dish in lower case") << "getVerifPrato" << QStringList{"d002", BranchAdjust} << "CDPRATO" << Dish;
        QTest::newRow("oral service") << "getVeriServ" << QStringList{OralService, BranchAdjust} << "" << "";
        QTest::newRow("unknown service") << "getVeriServ" << QStringList{"99999", BranchAdjust} << "" << "";
        QTest::newRow("diet of the service") << "getVerifDieta" << QStringList{EnteralService, EnteralDiet2, BranchAdjust}
                                             << "DSDIETPAD" << "Enteral hiperproteica";
        QTest::newRow("diet of another service") << "getVerifDieta"
                                                 << QStringList{EnteralService, ParenteralOnlyDiet, BranchAdjust} << "" << "";
        QTest::newRow("diet only in one branch") << "getVerifDieta"
                                                 << QStringList{ParenteralService, ParenteralOnlyDiet, BranchPlain} << "" << "";
        QTest::newRow("not an enteral diet") << "getVerifDieta" << QStringList{OralService, "0005", BranchAdjust} << "" << "";
        QTest::newRow("product by tree code") << "getVerifProd" << QStringList{ProductTreeCode} << "CDPRODUTO" << Product;
        QTest::newRow("product by code") << "getVerifProd" << QStringList{LongUnitProduct} << "SGUNIDADE" << "FRASCO";
        QTest::newRow("unknown product") << "getVerifProd" << QStringList{"99.999"} << "" << "";
        QTest::newRow("dish") << "getVerifPrato" << QStringList{Dish, BranchAdjust} << "NMPRATO" << "Sopa liquidificada";
        QTest::newRow("dish of no branch") << "getVerifPrato" << QStringList{Dish, "9999"} << "" << "";
        QTest::newRow("route") << "getVerifViaAcesso" << QStringList{Route} << "NMVIACESDIET" << "Sonda nasoentérica";
        QTest::newRow("unknown route") << "getVerifViaAcesso" << QStringList{"999"} << "" << "";
        QTest::newRow("route with quote") << "getVerifViaAcesso" << QStringList{"0'1"} << "" << "";
    }
    void lookups()
    {
        QFETCH(QString, method);
        QFETCH(QStringList, args);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        DataPacket packet;
        QVERIFY(read(method, QJsonArray::fromStringList(args), packet));
        QCOMPARE(packet.rows.size(), expected.isEmpty() ? 0 : 1);
        if (!expected.isEmpty())
            QCOMPARE(cell(packet, 0, field).toString(), expected);
    }

    void newRecordChecksAnswerFourPackets()
    {
        const QJsonArray args = {AdultWithRecords, iso(recordDay()), EnteralService, EnteralDiet, iso(admission()), BranchAdjust};
        ServerResult result = callServer(m_server->port(), QStringLiteral("getVdPostServInte"), args);
        QVERIFY2(result.ok, qPrintable(result.error));
        QJsonArray packets = result.data.toArray();
        QCOMPARE(packets.size(), 4);
        QCOMPARE(DataPacket::fromJson(packets.at(0)).rows.size(), 1);
        QCOMPARE(cell(DataPacket::fromJson(packets.at(1)), 0, QStringLiteral("NRSEQUSERV")).toString(), QStringLiteral("1"));
        QCOMPARE(cell(DataPacket::fromJson(packets.at(2)), 0, QStringLiteral("DSSERVINTE")).toString(), RecordObservation);
        QCOMPARE(cell(DataPacket::fromJson(packets.at(3)), 0, QStringLiteral("DSOBSGERAL")).toString(), HabitsNote);

        // First record of the day: sequence 0, so the client numbers it 1.
        result = callServer(m_server->port(), QStringLiteral("getVdPostServInte"),
                            {AdultWithoutRecords, iso(QDate::currentDate()), EnteralService, EnteralDiet,
                             iso(admission()), BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        packets = result.data.toArray();
        QCOMPARE(DataPacket::fromJson(packets.at(0)).rows.size(), 0);
        QCOMPARE(cell(DataPacket::fromJson(packets.at(1)), 0, QStringLiteral("NRSEQUSERV")).toString(), QStringLiteral("0"));
        QCOMPARE(DataPacket::fromJson(packets.at(2)).rows.size(), 0);
        QCOMPARE(DataPacket::fromJson(packets.at(3)).rows.size(), 0);
    }

    void compositionItemsCarryTheirJoinedNames()
    {
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust}, packet));
        QCOMPARE(packet.fields.size(), 25);
        QCOMPARE(column(packet, QStringLiteral("CDSEQUCOPR")), QStringList({ProductItem, DishItem}));
        QCOMPARE(cell(packet, 0, QStringLiteral("NMPRODUTO")).toString(), QStringLiteral("Fórmula enteral polimérica 1,0 kcal/mL"));
        QCOMPARE(cell(packet, 0, QStringLiteral("CDARVPROD")).toString(), ProductTreeCode);
        QCOMPARE(cell(packet, 0, QStringLiteral("UNIDPRO")).toString(), QStringLiteral("mL"));
        QCOMPARE(cell(packet, 0, QStringLiteral("NMVIACESDIET")).toString(), QStringLiteral("Sonda nasoentérica"));
        QCOMPARE(cell(packet, 0, QStringLiteral("HRCONF")).toString(), QStringLiteral("0830"));
        QCOMPARE(cell(packet, 0, QStringLiteral("HRCONSCONF")).toDouble(), 8.5);
        QCOMPARE(cell(packet, 0, QStringLiteral("QTINFUCONF")).toDouble(), 200.0);
        QCOMPARE(cell(packet, 0, QStringLiteral("DTCONSCONF")).toDateTime(), recordDay().startOfDay());
        QCOMPARE(cell(packet, 1, QStringLiteral("NMPRATO")).toString(), QStringLiteral("Sopa liquidificada"));
        QCOMPARE(cell(packet, 1, QStringLiteral("UNIDPRA")).toString(), QStringLiteral("PORCAO"));
        QCOMPARE(cell(packet, 1, QStringLiteral("DSOBSCONF")).toString(), QStringLiteral("Servir morno; sem sal"));
        QVERIFY(cell(packet, 1, QStringLiteral("CDPRODUTO")).isNull());
    }

    void highestItemNumber_data()
    {
        QTest::addColumn<QDate>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("record with items") << recordDay() << "2";
        QTest::newRow("record without items") << QDate::currentDate() << "0";
        QTest::newRow("no record") << QDate::currentDate().addDays(-5) << "0";
    }
    void highestItemNumber()
    {
        QFETCH(QDate, day);
        QFETCH(QString, expected);
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getNrConfesco"), {AdultWithRecords, iso(day), Sequence, BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 1);
        QCOMPARE(cell(packet, 0, QStringLiteral("CDSEQUCOPR")).toString(), expected);
    }

    void formulationsByPreparation()
    {
        DataPacket dishes;
        QVERIFY(read(QStringLiteral("getFormulacao"), {"A", "1", "3", BranchAdjust}, dishes));
        QCOMPARE(column(dishes, QStringLiteral("CDFORMULACAO")), QStringList({"D001", Dish, "D003"}));
        QCOMPARE(column(dishes, QStringLiteral("CDFILAUXPRAT")), QStringList({BranchAdjust, BranchAdjust, BranchAdjust}));
        DataPacket products;
        QVERIFY(read(QStringLiteral("getFormulacao"), {"", "1", "3", BranchAdjust}, products));
        QCOMPARE(products.rows.size(), 5);
        QCOMPARE(cell(products, 0, QStringLiteral("CDFORMULACAO")).toString(), ProductTreeCode);
        QCOMPARE(cell(products, 0, QStringLiteral("CDPRODUTO")).toString(), Product);
        for (const char *field : {"NMFORMULACAO", "SGFORMULACAO"})
            QVERIFY(products.indexOf(field) >= 0);
        QVERIFY(!callServer(m_server->port(), QStringLiteral("getFormulacao"), {"F", "x", "3", BranchAdjust}).ok);
    }

    void occurrencesOfAnItem()
    {
        DataPacket packet;
        QVERIFY(read(QStringLiteral("getOcorrencia"), {AdultWithRecords, Sequence, iso(recordDay()), ProductItem, BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 1);
        QCOMPARE(cell(packet, 0, QStringLiteral("DTOCORINFU")).toDateTime(), occurrenceTime());
        QCOMPARE(cell(packet, 0, QStringLiteral("NMTPOCORINFU")).toString(), QStringLiteral("Obstrução da sonda"));
        QCOMPARE(cell(packet, 0, QStringLiteral("CDFILIAL")).toString(), BranchAdjust);
        QVERIFY(read(QStringLiteral("getOcorrencia"), {AdultWithRecords, Sequence, iso(recordDay()), DishItem, BranchAdjust}, packet));
        QCOMPARE(packet.rows.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestServerReads)
#include "tst_serverreads.moc"
