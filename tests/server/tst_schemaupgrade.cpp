// Start-up on databases of older, current and newer schema versions, on
// SQLite and on the throw-away PostgreSQL cluster (ENTPAT_TEST_PG).
#include "lib/database.h"
#include "lib/entpatserver.h"
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "lib/requesterror.h"
#include "lib/schemaversion.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct VersionRow
{
    int version;
    QString applied;
    bool operator==(const VersionRow &) const = default;
};

} // namespace

class TestSchemaUpgrade : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_sessions = 0;

    // A database built by today's fixture builder, on the row's backend.
    QString freshDatabase()
    {
        QFETCH_GLOBAL(int, backend);
        QString database = m_dir.filePath(QStringLiteral("suite.db"));
        if (FixtureServer::Backend(backend) == FixtureServer::Backend::PostgreSQL) {
            if (!FixtureServer::postgresAvailable())
                return {};
            database = FixtureServer::postgresUrl();
        } else {
            QFile::remove(database);
        }
        Fixture::build(database);
        return database;
    }

    void alter(const QString &database, const QStringList &statements)
    {
        SqlSession session(DatabaseConfig::parse(database), QStringLiteral("alter-%1").arg(++m_sessions));
        // Run unprepared: PostgreSQL cannot prepare DDL.
        for (const QString &statement : statements) {
            QSqlQuery query(session.database());
            QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
        }
    }

    QList<VersionRow> versions(const QString &database)
    {
        SqlSession session(DatabaseConfig::parse(database), QStringLiteral("read-%1").arg(++m_sessions));
        QList<VersionRow> rows;
        for (const SqlRow &row :
             session.select(QStringLiteral("SELECT NRVERSAO, DTAPLICADA FROM VERSAOESQUEMA ORDER BY NRVERSAO")))
            rows << VersionRow{row.value(0).toInt(), row.value(1).toString()};
        return rows;
    }

    bool hasColumn(const QString &database, const QString &table, const QString &column)
    {
        SqlSession session(DatabaseConfig::parse(database), QStringLiteral("columns-%1").arg(++m_sessions));
        const bool postgres = session.dialect() == Dialect::PostgreSQL;
        return session.database().record(postgres ? table.toLower() : table).contains(column);
    }

    static EntPatServerOptions optionsFor(const QString &database)
    {
        EntPatServerOptions options;
        options.database = database;
        options.databaseWorkers = 2;
        options.logLevel = LogLevel::Off;
        return options;
    }

private slots:
    void initTestCase_data() { addBackendData(); }

    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        QFETCH_GLOBAL(int, backend);
        if (FixtureServer::Backend(backend) == FixtureServer::Backend::PostgreSQL && !FixtureServer::postgresAvailable())
            QSKIP("PostgreSQL skipped: no throw-away cluster (ENTPAT_TEST_PG not set; run scripts/test)");
    }

    // A database made before versions were recorded is upgraded at start-up
    // and then served; what later versions added is created.
    void olderDatabaseUpgradedAtStart_data()
    {
        QTest::addColumn<QStringList>("statements");
        QTest::newRow("as built today") << QStringList{QStringLiteral("DROP TABLE VERSAOESQUEMA")};
        QTest::newRow("without a later table and column")
            << QStringList{QStringLiteral("DROP TABLE VERSAOESQUEMA"), QStringLiteral("DROP TABLE OCORINFU"),
                           QStringLiteral("ALTER TABLE PRODUTO DROP COLUMN SGUNIDADE")};
        QTest::newRow("a login history without its counts")
            << QStringList{QStringLiteral("DROP TABLE VERSAOESQUEMA"),
                           QStringLiteral("ALTER TABLE HISTENTRADA DROP COLUMN QTTENTATIVAS")};
    }

    void olderDatabaseUpgradedAtStart()
    {
        QFETCH(QStringList, statements);
        const QString database = freshDatabase();
        alter(database, statements);

        EntPatServer server(optionsFor(database));
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const ServerResult inpatients =
            callServer(server.port(), QStringLiteral("GetInternados"), QJsonArray{Fixture::BranchAdjust});
        QVERIFY2(inpatients.ok, qPrintable(inpatients.error));
        QVERIFY(!inpatients.data.toObject().value(QStringLiteral("rows")).toArray().isEmpty());
        server.stop();

        const QList<VersionRow> rows = versions(database);
        QCOMPARE(rows.size(), SchemaVersion::current());
        for (int i = 0; i < rows.size(); ++i)
            QCOMPARE(rows.at(i).version, i + 1);
        QVERIFY(hasColumn(database, QStringLiteral("PRODUTO"), QStringLiteral("SGUNIDADE")));
        QVERIFY(hasColumn(database, QStringLiteral("OCORINFU"), QStringLiteral("CDTPOCORINFU")));
        QVERIFY(hasColumn(database, QStringLiteral("HISTENTRADA"), QStringLiteral("QTTENTATIVAS")));
    }

    // A database of version 2 gains the composition columns, the interruption
    // flag (no existing type interrupts until marked) and an empty hang-time
    // table, whose defaults then apply.
    void version2GainsCompositionInterruptionsAndHangTimes()
    {
        const QString database = freshDatabase();
        alter(database, {QStringLiteral("UPDATE VERSAOESQUEMA SET NRVERSAO = 2"),
                         QStringLiteral("DROP TABLE PARAHANG"),
                         QStringLiteral("ALTER TABLE TPOCORINFU DROP COLUMN IDINTERRUPCAO"),
                         QStringLiteral("ALTER TABLE PRODUTO DROP COLUMN QTKCALML"),
                         QStringLiteral("ALTER TABLE PRATO DROP COLUMN QTPROTML")});

        EntPatServer server(optionsFor(database));
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const ServerResult limits =
            callServer(server.port(), QStringLiteral("getParaHang"), QJsonArray{Fixture::BranchAdjust});
        const ServerResult calculation =
            callServer(server.port(), QStringLiteral("getCalcNutri"),
                       QJsonArray{Fixture::AdultWithRecords,
                                  Fixture::recordDay().startOfDay().toString(Qt::ISODate), Fixture::BranchAdjust});
        server.stop();
        QVERIFY2(limits.ok && calculation.ok, qPrintable(limits.error + calculation.error));
        QCOMPARE(Fixture::rowObjects(limits.data).value(0).value(QStringLiteral("HRMAXHANG")).toString(),
                 QStringLiteral("0400"));
        const QVector<QJsonObject> totals = Fixture::rowObjects(calculation.data.toArray().at(1));
        QCOMPARE(totals.value(0).value(QStringLiteral("QTINTERRUP")).toInt(), 0);
        // The added columns are empty: only the dish's energy and the
        // product's protein are known.
        QCOMPARE(totals.value(0).value(QStringLiteral("QTKCALPRESC")).toDouble(), 300 * Fixture::DishKcalPerMl);
        QCOMPARE(totals.value(0).value(QStringLiteral("QTPROTPRESC")).toDouble(), 250 * Fixture::ProductProteinPerMl);
        QCOMPARE(versions(database).last().version, SchemaVersion::current());
    }

    // A database of version 6 gains the goals: the admission's table and the
    // defaults' columns, empty until set.
    void version6GainsEmptyGoals()
    {
        const QString database = freshDatabase();
        alter(database, {QStringLiteral("UPDATE VERSAOESQUEMA SET NRVERSAO = 6"), QStringLiteral("DROP TABLE METAINTE"),
                         QStringLiteral("ALTER TABLE PADRAOSERV DROP COLUMN QTKCALKG"),
                         QStringLiteral("ALTER TABLE PARADIETO DROP COLUMN QTPROTKG")});

        EntPatServer server(optionsFor(database));
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const ServerResult goals = callServer(server.port(), QStringLiteral("getMetaNutri"),
                                              QJsonArray{Fixture::AdultWithRecords, Fixture::iso(QDate::currentDate()),
                                                         Fixture::BranchAdjust});
        server.stop();
        QVERIFY2(goals.ok, qPrintable(goals.error));
        const QJsonObject row = Fixture::rowObjects(goals.data).value(0);
        // The standard (APT) has none: the branch's kcal goal stays, its
        // protein goal was dropped and comes back empty.
        QCOMPARE(row.value(QStringLiteral("QTKCALKGPAD")).toDouble(), 30.0);
        QVERIFY(row.value(QStringLiteral("QTPROTKGPAD")).isNull());
        QVERIFY(hasColumn(database, QStringLiteral("PADRAOSERV"), QStringLiteral("QTKCALKG")));
        QCOMPARE(versions(database).last().version, SchemaVersion::current());
    }

    void currentDatabaseLeftAlone()
    {
        const QString database = freshDatabase();
        const QList<VersionRow> before = versions(database);
        QCOMPARE(before.size(), 1);
        QCOMPARE(before.first().version, SchemaVersion::current());

        EntPatServer server(optionsFor(database));
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        server.stop();
        QCOMPARE(versions(database), before);
    }

    void newerDatabaseRefused()
    {
        const QString database = freshDatabase();
        {
            SqlSession session(DatabaseConfig::parse(database), QStringLiteral("newer-%1").arg(++m_sessions));
            session.execute(QStringLiteral("INSERT INTO VERSAOESQUEMA (NRVERSAO, DTAPLICADA) VALUES (?, ?)"),
                            {SchemaVersion::current() + 1, QDateTime::currentDateTime()});
        }
        const QList<VersionRow> before = versions(database);

        EntPatServer server(optionsFor(database));
        QString error;
        QVERIFY(!server.start(&error));
        QVERIFY2(error.contains(QStringLiteral("mais nova que a deste servidor")), qPrintable(error));
        QCOMPARE(versions(database), before);
    }
};

QTEST_GUILESS_MAIN(TestSchemaUpgrade)
#include "tst_schemaupgrade.moc"
