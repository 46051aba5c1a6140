// The report engine: code-list conditions, value formats, grouping and
// totals, and whole reports rendered to PDF and read back as text.

#include "reporttestsupport.h"

#include "fixturedb.h"
#include "fixtureserver.h"

#include "data/dtmdbgeral.h"
#include "report/reportcatalog.h"
#include "report/reportdefinition.h"
#include "report/reportdesigner.h"
#include "report/reportlayout.h"
#include "report/reportpages.h"
#include "report/reportpainter.h"
#include "report/reportquery.h"
#include "report/reporttemplate.h"

#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString isoDay(const QDate &day)
{
    return day.startOfDay().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

} // namespace

class tst_ReportEngine : public QObject
{
    Q_OBJECT

private:
    // The VQN180 parameters as the report screen sets them with every
    // criterion on "Todos" except those given.
    TReportDesigner &designer(const QMap<QString, QString> &lists = {});
    QString renderText(TReportDesigner &report);
    int count(const QString &sql);
    void addRecordInFirstWing();

    QTemporaryDir m_dir;
    std::unique_ptr<TReportDesigner> m_designer;
    QDate m_day = Fixture::recordDay();

private slots:
    void initTestCase_data();
    void initTestCase();
    void init();
    void cleanupTestCase();

    void codeListConditions_data();
    void codeListConditions();
    void valueFormats_data();
    void valueFormats();
    void totalsTakenOncePerInnerGroup();
    void longGroupsRepeatTheirColumnTitles();
    void everyPageNamesTheOpenGroups_data();
    void everyPageNamesTheOpenGroups();
    void prescriptionsOfThePeriod();
    void wingListLeavesOtherWingsOut();
    void hostileCriterionMatchesNothing_data();
    void hostileCriterionMatchesNothing();
    void emptyPeriod();
    void otherDefinitionWithTwoLevels();
    void missingDefinition();
};

void tst_ReportEngine::initTestCase_data()
{
    addBackendData();
}

void tst_ReportEngine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(pdftotextAvailable(), "pdftotext (poppler-utils) is needed; run scripts/setup");
    ReportCatalog::setFolders(m_dir.filePath(QStringLiteral("user")), QString());
}

void tst_ReportEngine::init()
{
    QFETCH_GLOBAL(int, backend);
    QString database = m_dir.filePath(QStringLiteral("suite.db"));
    if (FixtureServer::Backend(backend) == FixtureServer::Backend::PostgreSQL) {
        if (!FixtureServer::postgresAvailable())
            QSKIP("PostgreSQL not available (ENTPAT_TEST_PG not set)");
        database = FixtureServer::postgresUrl();
    }
    dtmDBGeral().Close();
    Fixture::build(database);
    dtmDBGeral().Open(database);
    m_designer = std::make_unique<TReportDesigner>();
    m_designer->ReportCode = QStringLiteral("VQN180");
}

void tst_ReportEngine::cleanupTestCase()
{
    m_designer.reset();
    dtmDBGeral().Close();
    ReportCatalog::setFolders(QString(), QString());
}

TReportDesigner &tst_ReportEngine::designer(const QMap<QString, QString> &lists)
{
    const QDate day = m_day;
    m_designer->BeforeGetQueryParams = [lists, day](TReportParams &params, bool &) {
        for (const QString &name : params.Names())
            params.ParamByName(name).SetAsString(lists.value(name, QStringLiteral("T")));
        params.ParamByName(QStringLiteral("P_DTINI")).SetAsDateTime(day.startOfDay());
        params.ParamByName(QStringLiteral("P_DTFIM")).SetAsDateTime(day.startOfDay());
        params.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(Fixture::BranchAdjust);
    };
    return *m_designer;
}

QString tst_ReportEngine::renderText(TReportDesigner &report)
{
    const QString pdf = m_dir.filePath(QStringLiteral("report.pdf"));
    QFile::remove(pdf);
    report.WritePdf(pdf);
    return pdfText(pdf);
}

int tst_ReportEngine::count(const QString &sql)
{
    QSqlQuery query(dtmDBGeral().Database());
    return query.exec(sql) && query.next() ? query.value(0).toInt() : -1;
}

// A record of the one-year-old patient (bed L0003, wing "01"), with one item.
void tst_ReportEngine::addRecordInFirstWing()
{
    QSqlQuery query(dtmDBGeral().Database());
    QVERIFY(query.prepare(QStringLiteral(
        "INSERT INTO SERVINTE (CDFILIAL, CDPACIENTE, DTSERVINTE, NRSEQUSERV, DTINTERNA, CDSERVFILI, CDDIETPAD) "
        "SELECT CDFILIAL, CDPACIENTE, :day, '01', DTINTERNA, '00010', '0002' FROM INTERNAC "
        "WHERE CDPACIENTE = :patient")));
    query.bindValue(QStringLiteral(":day"), isoDay(m_day));
    query.bindValue(QStringLiteral(":patient"), Fixture::OneYearOneMonth);
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
    QVERIFY(query.prepare(QStringLiteral(
        "INSERT INTO CONFESCO (CDFILIAL, CDPACIENTE, DTSERVINTE, NRSEQUSERV, CDSEQUCOPR, CDPRODUTO, QTSERVCONF, "
        "QTPRATCONF, QTINFUCONF, HRCONSCONF, DTCONSCONF, CDVIACESDIET, IDPREPCONF, HRCONF, SGUNIDADE, CDFORMULACAO) "
        "VALUES ('0001', :patient, :day, '01', '0001', 'P002', 40, 480, 400, 10, :day2, '003', 'F', '1000', 'mL', "
        "'01.001.0002')")));
    query.bindValue(QStringLiteral(":patient"), Fixture::OneYearOneMonth);
    query.bindValue(QStringLiteral(":day"), isoDay(m_day));
    query.bindValue(QStringLiteral(":day2"), isoDay(m_day));
    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
}

void tst_ReportEngine::codeListConditions_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("condition");
    QTest::addColumn<QStringList>("codes");
    QTest::newRow("all") << "T" << "(1=1)" << QStringList();
    QTest::newRow("one") << "'01'" << "(L.CDALA IN (:P_CDALA__1))" << QStringList{"01"};
    QTest::newRow("two, blanks") << " '01' , '03' " << "(L.CDALA IN (:P_CDALA__1, :P_CDALA__2))"
                                 << QStringList{"01", "03"};
    QTest::newRow("quote inside a code") << "'A''B'" << "(L.CDALA IN (:P_CDALA__1))" << QStringList{"A'B"};
    QTest::newRow("nothing chosen") << "" << "(1=0)" << QStringList();
    QTest::newRow("not a list") << "01" << "(1=0)" << QStringList();
    QTest::newRow("list and SQL") << "'01') OR (1=1" << "(1=0)" << QStringList();
    QTest::newRow("SQL after a code") << "'01' OR 1=1" << "(1=0)" << QStringList();
    QTest::newRow("lower-case t is a code list") << "t" << "(1=0)" << QStringList();
}

void tst_ReportEngine::codeListConditions()
{
    QFETCH(QString, value);
    QFETCH(QString, condition);
    QFETCH(QStringList, codes);
    const QString sql = QStringLiteral("SELECT 1 FROM LEITO L WHERE L.CDFILIAL = :P_CDFILIAL AND {L.CDALA IN :P_CDALA}");
    TReportParams params(reportParameterNames(sql));
    QCOMPARE(params.Names(), (QStringList{"P_CDFILIAL", "P_CDALA"}));
    QCOMPARE(reportListParameterNames(sql), QStringList{"P_CDALA"});
    params.ParamByName(QStringLiteral("P_CDALA")).SetAsString(value);
    params.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0001"));
    const BoundStatement bound = bindReportStatement(sql, params, {});
    QCOMPARE(bound.sql, QStringLiteral("SELECT 1 FROM LEITO L WHERE L.CDFILIAL = :P_CDFILIAL AND ") + condition);
    QCOMPARE(bound.binds.first().first, QStringLiteral("P_CDFILIAL"));
    QStringList bound_codes;
    for (int i = 1; i < bound.binds.size(); ++i)
        bound_codes << bound.binds.at(i).second.toString();
    QCOMPARE(bound_codes, codes);
}

void tst_ReportEngine::valueFormats_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("text");
    QTest::newRow("number n3") << QVariant(1234.5) << "n3" << "1.234,500";
    QTest::newRow("number plain") << QVariant(62.5) << "" << "62,5";
    QTest::newRow("clock") << QVariant("0830") << "hhmm" << "08:30";
    QTest::newRow("SQLite date") << QVariant("2026-12-07T00:00:00") << "" << "07/12/2026";
    QTest::newRow("SQLite date-time, blank") << QVariant("2026-12-07 09:05:00") << "" << "07/12/2026 09:05";
    QTest::newRow("PostgreSQL date-time") << QVariant(QDateTime(QDate(2026, 12, 7), QTime(9, 5)))
                                          << "dd/MM HH:mm" << "07/12 09:05";
    QTest::newRow("weekday") << QVariant("2026-12-07T00:00:00") << "dddd" << "segunda-feira";
    QTest::newRow("null") << QVariant() << "n3" << "";
    QTest::newRow("text trimmed") << QVariant("L0004   ") << "" << "L0004";
}

void tst_ReportEngine::valueFormats()
{
    QFETCH(QVariant, value);
    QFETCH(QString, format);
    QFETCH(QString, text);
    QCOMPARE(formatReportValue(value, format), text);
    const ReportLookup lookup = [&value](const QString &name, QVariant *found) {
        *found = value;
        return name == QLatin1String("X");
    };
    const QString pattern = format.isEmpty() ? QStringLiteral("<{X}> {Y}") : QStringLiteral("<{X:%1}> {Y}").arg(format);
    QCOMPARE(fillReportTemplate(pattern, lookup), QStringLiteral("<%1> {Y}").arg(text));
}

// An item with two occurrences comes twice from the join: its volume counts
// once in the totals taken over items, twice in a count of detail rows.
void tst_ReportEngine::totalsTakenOncePerInnerGroup()
{
    const ReportDefinition definition = ReportDefinition::fromJson(R"({
        "code": "T1", "title": "t", "sql": "SELECT 1",
        "groups": [
          {"name": "patient", "key": ["P"], "header": "Patient {P}",
           "footer": "Total {P}: {VOL:n1} over {ROWS} rows",
           "totals": [{"name": "VOL", "field": "V", "over": "item"},
                      {"name": "ROWS", "function": "count"}]},
          {"name": "item", "key": ["I"], "header": {"skipWhenNull": "I", "columns": [
             {"title": "Item", "value": "{I}"}, {"title": "Vol", "value": "{V:n1}", "align": "right"}]}}
        ],
        "detail": {"text": "occ {O}", "skipWhenNull": "O"}
    })");
    ReportRows rows;
    rows.fields = QStringList{"P", "I", "V", "O"};
    rows.rows = {{"a", "1", 250.0, "x"}, {"a", "1", 250.0, "y"}, {"a", "2", 300.0, QVariant()},
                 {"b", QVariant(), QVariant(), QVariant()}};
    const ReportLayout layout = layoutReport(definition, rows, TReportParams());
    QStringList printed;
    for (const ReportLine &line : layout.lines) {
        QStringList cells;
        for (const ReportCell &cell : line.cells)
            cells << cell.text;
        printed << (line.kind == ReportLine::Text ? line.text : cells.join(QLatin1Char('|')));
    }
    QCOMPARE(printed, (QStringList{"Patient a", "Item|Vol", "1|250,0", "occ x", "occ y", "2|300,0",
                                   "Total a: 550,0 over 2 rows", "Patient b", "Total b: 0,0 over 0 rows"}));
}

// A band in columns that goes on over a page break gets its column titles
// again at the top of the new page; every page has its number of the total.
void tst_ReportEngine::longGroupsRepeatTheirColumnTitles()
{
    const ReportDefinition definition = ReportDefinition::fromJson(R"({
        "code": "T2", "title": "Long {P_X}", "sql": "SELECT 1",
        "groups": [{"name": "g", "key": ["G"], "header": "Group {G}"}],
        "detail": {"columns": [{"title": "Number", "value": "{N}"}, {"title": "Name", "value": "row {N}"}]}
    })");
    ReportRows rows;
    rows.fields = QStringList{"G", "N"};
    for (int i = 1; i <= 120; ++i)
        rows.rows << QVector<QVariant>{QStringLiteral("only"), i};
    TReportParams params({QStringLiteral("P_X")});
    params.ParamByName(QStringLiteral("P_X")).SetAsString(QStringLiteral("report"));
    const QString pdf = m_dir.filePath(QStringLiteral("long.pdf"));
    int pages = 0;
    {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        pages = paintReport(layoutReport(definition, rows, params), writer, QDateTime::currentDateTime());
    }
    QVERIFY(pages >= 2);
    const QStringList pageTexts = pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(pageTexts.size(), pages);
    for (int page = 0; page < pages; ++page) {
        const QString &text = pageTexts.at(page);
        QVERIFY2(text.contains(QStringLiteral("Long report")), qPrintable(text));
        QVERIFY2(text.contains(QRegularExpression(QStringLiteral("Number +Name"))), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Página %1 de %2").arg(page + 1).arg(pages)));
    }
    QVERIFY(pageTexts.last().contains(QStringLiteral("row 120")));
    QCOMPARE(pageTexts.first().count(QStringLiteral("Group only")), 1);
}

void tst_ReportEngine::everyPageNamesTheOpenGroups_data()
{
    QTest::addColumn<int>("linesPerPage");
    for (const int lines : {6, 7, 9, 12})
        QTest::addRow("%d lines a page", lines) << lines;
}

// Patients with days of items and occurrences, cut into pages of a few
// lines: every page that goes on with a patient or a day starts with their
// headers again, marked as continued, so each line's patient and day are on
// its own page; nothing is lost or repeated otherwise.
void tst_ReportEngine::everyPageNamesTheOpenGroups()
{
    QFETCH(int, linesPerPage);
    const ReportDefinition definition = ReportDefinition::fromJson(R"({
        "code": "T3", "title": "t", "sql": "SELECT 1",
        "groups": [
          {"name": "patient", "key": ["P"], "header": "Patient {P}", "footer": "End of {P}"},
          {"name": "day", "key": ["D"], "header": "Day {D}"},
          {"name": "item", "key": ["I"], "header": {"columns": [{"title": "Item", "value": "{I}"}]}}
        ],
        "detail": "occ {P}{D}{I}{O}"
    })");
    ReportRows rows;
    rows.fields = QStringList{"P", "D", "I", "O"};
    for (const QString patient : {"a", "b"}) {
        for (const QString day : {"1", "2"}) {
            for (const QString item : {"x", "y"})
                rows.rows << QVector<QVariant>{patient, day, item, "0"} << QVector<QVariant>{patient, day, item, "1"};
        }
    }
    const ReportLayout layout = layoutReport(definition, rows, TReportParams());
    const QList<ReportPage> pages = paginateReport(layout, linesPerPage);
    QVERIFY(pages.size() >= 3);
    const QString continued = QStringLiteral(" (continuação)");
    QStringList body;
    for (const ReportPage &page : pages) {
        QVERIFY(page.size() <= linesPerPage);
        QString patient;
        QString day;
        bool titles = false;
        for (const ReportLine &line : page) {
            titles = titles || line.kind == ReportLine::Titles;
            if (line.kind == ReportLine::Cells)
                QVERIFY(titles && !patient.isEmpty() && !day.isEmpty());
            if (line.kind != ReportLine::Text)
                continue;
            QString text = line.text;
            const bool repeated = text.endsWith(continued);
            text.chop(repeated ? continued.size() : 0);
            if (text.startsWith(QStringLiteral("Patient ")))
                patient = text.mid(8), day.clear();
            else if (text.startsWith(QStringLiteral("Day ")))
                day = text.mid(4);
            else if (text.startsWith(QStringLiteral("occ ")))
                QCOMPARE(text.mid(4, 2), patient + day);
            if (!repeated)
                body << text;
        }
        QVERIFY2(!page.last().opensGroup, "a page ends with a group header");
    }
    // The first page never continues anything; the text lines, without the
    // repeated headers, are the layout's own.
    QVERIFY(!pages.first().first().text.endsWith(continued));
    QStringList laidOut;
    for (const ReportLine &line : layout.lines) {
        if (line.kind == ReportLine::Text)
            laidOut << line.text;
    }
    QCOMPARE(body, laidOut);
}

void tst_ReportEngine::prescriptionsOfThePeriod()
{
    m_designer->SetPrintedAt(QDateTime(QDate(2026, 12, 8), QTime(7, 45)));
    const QString text = renderText(designer());
    QVERIFY2(text.contains(QStringLiteral("Prescrições Enteral/Parenteral")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Período de %1 a %1").arg(m_day.toString(QStringLiteral("dd/MM/yyyy")))));
    QVERIFY2(text.contains(QStringLiteral("Maria D'Ávila Adulta")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Nutrição Enteral")));
    // Both items with formulation, route, hour, volumes, unit and speed.
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("0001 +01\\.001\\.0001 \\S+.* 002 .* 08:30 +250,000 +200,000 +\\S* +62,500"))),
             qPrintable(text));
    QVERIFY2(text.contains(QRegularExpression(QStringLiteral("0002 +D002 .* 001 .* 14:00 +300,000 +300,000 .* 50,000"))),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Ocorrência %1 09:00").arg(m_day.toString(QStringLiteral("dd/MM/yyyy")))));
    QVERIFY2(text.contains(QStringLiteral("prescrito 550,000 · infundido 500,000")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Impresso em 08/12/2026 07:45")));
    QVERIFY(text.contains(QStringLiteral("Página 1 de 1")));
    // Patients without records of the period are not listed.
    QVERIFY(!text.contains(QStringLiteral("José Sem Registros")));
}

void tst_ReportEngine::wingListLeavesOtherWingsOut()
{
    addRecordInFirstWing();
    const QString all = renderText(designer());
    QVERIFY2(all.contains(QStringLiteral("Criança Um Ano e Um Mês")) && all.contains(QStringLiteral("Maria D'Ávila")),
             qPrintable(all));
    const QString firstWing = renderText(designer({{QStringLiteral("P_CDALA"), QStringLiteral("'01'")}}));
    QVERIFY2(firstWing.contains(QStringLiteral("Criança Um Ano e Um Mês")), qPrintable(firstWing));
    QVERIFY(firstWing.contains(QStringLiteral("prescrito 480,000 · infundido 400,000")));
    QVERIFY2(!firstWing.contains(QStringLiteral("Maria D'Ávila")), qPrintable(firstWing));
    // A route list keeps only the items of those routes.
    const QString route = renderText(designer({{QStringLiteral("P_CDVIACESDIET"), QStringLiteral("'001'")},
                                               {QStringLiteral("P_CDALA"), QStringLiteral("'01','02','03'")}}));
    QVERIFY2(route.contains(QStringLiteral("D002")) && !route.contains(QStringLiteral("01.001.0001")), qPrintable(route));
    // The header names every criterion limited to a list, and only those.
    QVERIFY2(!all.contains(QStringLiteral("Critérios")), qPrintable(all));
    QVERIFY2(firstWing.contains(QRegularExpression(QStringLiteral("Critérios: Ala 01\\s*\n"))), qPrintable(firstWing));
    QVERIFY2(route.contains(QStringLiteral("Critérios: Ala 01, 02, 03 · Via de acesso 001")), qPrintable(route));
}

void tst_ReportEngine::hostileCriterionMatchesNothing_data()
{
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("value");
    QTest::newRow("quote in a code") << "P_CDALA" << "'02'' OR ''1''=''1'";
    QTest::newRow("SQL as the list") << "P_CDLEITO" << "' OR 1=1 --";
    QTest::newRow("statement after a code") << "P_CDDIETA" << "'0001'); DELETE FROM CONFESCO; --";
    QTest::newRow("statement as a code") << "P_CDSERVFILI" << "'x; DROP TABLE SERVINTE'";
}

void tst_ReportEngine::hostileCriterionMatchesNothing()
{
    QFETCH(QString, parameter);
    QFETCH(QString, value);
    const int items = count(QStringLiteral("SELECT COUNT(*) FROM CONFESCO"));
    const int records = count(QStringLiteral("SELECT COUNT(*) FROM SERVINTE"));
    const QString text = renderText(designer({{parameter, value}}));
    QVERIFY2(text.contains(QStringLiteral("Não há prescrições no período.")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Maria")));
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM CONFESCO")), items);
    QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM SERVINTE")), records);
}

void tst_ReportEngine::emptyPeriod()
{
    m_day = m_day.addYears(-1);
    const QString text = renderText(designer());
    m_day = Fixture::recordDay();
    QVERIFY2(text.contains(QStringLiteral("Não há prescrições no período.")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Página 1 de 1")));
}

// A definition the engine has never seen: another statement, two group
// levels (wing, floor) and one total (beds per wing).
void tst_ReportEngine::otherDefinitionWithTwoLevels()
{
    const QString folder = m_dir.filePath(QStringLiteral("user"));
    QVERIFY(QDir().mkpath(folder));
    QFile file(QDir(folder).filePath(QStringLiteral("TSTLEITOS.json")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(R"({
      "code": "TSTLEITOS", "title": "Leitos por ala",
      "sql": ["SELECT L.CDALA, A.NMALA, L.CDANDAR, N.NMANDAR, L.CDLEITO",
              "FROM LEITO L",
              "JOIN ALA A ON A.CDFILIAL = L.CDFILIAL AND A.CDALA = L.CDALA",
              "JOIN ANDAR N ON N.CDFILIAL = L.CDFILIAL AND N.CDANDAR = L.CDANDAR",
              "WHERE L.CDFILIAL = :P_CDFILIAL AND {L.CDALA IN :P_CDALA}",
              "ORDER BY L.CDALA, L.CDANDAR, L.CDLEITO"],
      "groups": [
        {"name": "ala", "key": ["CDALA"], "header": {"text": "Ala {CDALA} {NMALA}", "bold": true},
         "footer": "Leitos da ala {CDALA}: {LEITOS}",
         "totals": [{"name": "LEITOS", "function": "count"}]},
        {"name": "andar", "key": ["CDANDAR"], "header": {"text": "Andar {NMANDAR}", "indent": 1}}
      ],
      "detail": {"text": "Leito {CDLEITO}", "indent": 2}
    })");
    file.close();
    TReportDesigner beds;
    beds.ReportCode = QStringLiteral("TSTLEITOS");
    beds.BeforeGetQueryParams = [](TReportParams &params, bool &) {
        params.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(Fixture::BranchAdjust);
        params.ParamByName(QStringLiteral("P_CDALA")).SetAsString(QStringLiteral("'02','03'"));
    };
    const QString text = renderText(beds);
    // Fixture beds L0001..L0006 of branch 0001: wing 02 holds L0001 and L0004.
    QVERIFY2(text.contains(QStringLiteral("Leitos por ala")), qPrintable(text));
    QVERIFY(!text.contains(QStringLiteral("Ala 01")));
    QVERIFY(text.contains(QRegularExpression(QStringLiteral("Ala 02 .*\\n\\s*Andar .*\\n\\s*Leito L0001"))));
    QVERIFY2(text.contains(QStringLiteral("Leitos da ala 02: 2")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Leitos da ala 03:")));
}

void tst_ReportEngine::missingDefinition()
{
    TReportDesigner missing;
    missing.ReportCode = QStringLiteral("VQN999");
    try {
        missing.WritePdf(m_dir.filePath(QStringLiteral("none.pdf")));
        QFAIL("a missing definition must fail");
    } catch (const ReportMissing &error) {
        QCOMPARE(error.text(), QStringLiteral("O arquivo contendo a definição do relatório de código 'VQN999' não foi "
                                              "encontrado no diretório '%1'.").arg(ReportCatalog::shippedFolder()));
    }
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("none.pdf"))));
}

QTEST_MAIN(tst_ReportEngine)
#include "tst_reportengine.moc"
