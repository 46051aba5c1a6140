// Backups and their restore. entpat-server --backup on a live SQLite
// database: the copy taken while clients write holds every change
// acknowledged before it began, passes the integrity check and serves again;
// what it must refuse it refuses with the option's exit codes, leaving an
// existing target as it was. PostgreSQL: the deployment note's pg_dump and
// pg_restore procedure on the throw-away cluster (ENTPAT_TEST_PG).
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "processrun.h"
#include "lib/database.h"
#include "core/serverresult.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QDeadlineTimer>
#include <QTest>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace Fixture;

namespace {

constexpr int exitCannotStart = 1;
constexpr int exitUsage = 2;

Finished runServer(const QStringList &arguments)
{
    return runToEnd(QCoreApplication::applicationDirPath() + QStringLiteral("/entpat-server"), arguments);
}

// What PRAGMA integrity_check says of a SQLite file, rows joined.
QString integrity(const QString &path)
{
    QString verdict;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("integrity"));
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("PRAGMA integrity_check")))
            while (query.next())
                verdict += query.value(0).toString();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("integrity"));
    return verdict;
}

QStringList itemNumbers(int port)
{
    const ServerResult items =
        callServer(port, QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
    QStringList numbers;
    for (const QJsonObject &row : rowObjects(items.data))
        numbers.append(row[QStringLiteral("CDSEQUCOPR")].toString());
    return numbers;
}

// Runs one of PostgreSQL's client programs; empty on success, else its output.
QString runClient(const QString &program, const QStringList &arguments)
{
    const Finished run = runToEnd(QStandardPaths::findExecutable(program), arguments);
    return run.exitCode == 0 ? QString() : QStringLiteral("%1: %2").arg(program, run.output);
}

// Runs statements outside any transaction (CREATE DATABASE needs that) on
// the database of a URL; empty on success, else the error.
QString runStatements(const QString &url, const QStringList &statements)
{
    QString failure;
    {
        QSqlDatabase db = DatabaseConfig::parse(url).open(QStringLiteral("admin"));
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            if (failure.isEmpty() && !query.exec(statement))
                failure = query.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    return failure;
}

} // namespace

class TestServerBackup : public QObject
{
    Q_OBJECT

private slots:
    void backupUnderLoadRestores()
    {
        constexpr int clients = 8;
        FixtureServer server(FixtureServer::Backend::SQLite, clients);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const int port = server.port();
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.db"));

        QElapsedTimer clock;
        clock.start();
        std::atomic<bool> stopping{false};
        std::mutex mutex;
        QVector<QPair<qint64, QString>> acknowledged;   // when the answer came, item
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                for (int i = 0; i < 999 && !stopping; ++i) {
                    const QString number = QString::number(1000 + c * 1000 + i);
                    const bool ok = callServer(port, QStringLiteral("SetConfesco"),
                                               {changes({change("insert", {}, newItem(number))})})
                                        .ok;
                    const std::lock_guard<std::mutex> lock(mutex);
                    if (ok)
                        acknowledged.append({clock.elapsed(), number});
                }
            });
        }
        // The backup starts while the clients write, once twice as many
        // changes as clients were acknowledged, however slow the machine (a
        // plain wait, no early return: the writing threads are joined below).
        const auto acknowledgedCount = [&] {
            const std::lock_guard<std::mutex> lock(mutex);
            return acknowledged.size();
        };
        QDeadlineTimer deadline(30000);
        while (acknowledgedCount() <= 2 * clients && !deadline.hasExpired())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const qint64 backupStarted = clock.elapsed();
        const Finished backup = runServer({QStringLiteral("--backup"), copy, QStringLiteral("--database"),
                                           server.database()});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stopping = true;
        for (std::thread &thread : threads)
            thread.join();
        QVERIFY2(backup.exitCode == 0, qPrintable(backup.output));
        QCOMPARE(integrity(copy), QStringLiteral("ok"));
        QVERIFY(QFile::permissions(copy) == (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser));

        server.stop();
        EntPatServer restored({.database = copy});
        QString error;
        QVERIFY2(restored.start(&error), qPrintable(error));
        const QStringList kept = itemNumbers(restored.port());
        int before = 0;
        for (const auto &[answeredAt, number] : std::as_const(acknowledged)) {
            if (answeredAt >= backupStarted)
                continue;
            ++before;
            QVERIFY2(kept.contains(number), qPrintable(QStringLiteral("item %1 acknowledged before the backup is "
                                                                      "missing from the copy").arg(number)));
        }
        QVERIFY2(before > clients, "too few changes were acknowledged before the backup");
        QVERIFY2(kept.size() <= acknowledged.size() + 2, "the copy holds more items than were written");
    }

    void postgresDumpRestores()
    {
        if (!FixtureServer::postgresAvailable())
            QSKIP("PostgreSQL skipped: no throw-away cluster (ENTPAT_TEST_PG not set; run scripts/test)");
        if (QStandardPaths::findExecutable(QStringLiteral("pg_dump")).isEmpty())
            QSKIP("pg_dump is not installed");
        FixtureServer server(FixtureServer::Backend::PostgreSQL);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const ServerResult stored =
            callServer(server.port(), QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem("0900"))})});
        QVERIFY2(stored.ok, qPrintable(stored.error));
        QTemporaryDir dir;
        const QString dump = dir.filePath(QStringLiteral("suite.dump"));
        // While the server keeps serving, as in the deployment note.
        QCOMPARE(runClient(QStringLiteral("pg_dump"),
                           {QStringLiteral("--format=custom"), QStringLiteral("--file=") + dump, server.database()}),
                 QString());
        server.stop();

        const QString source = server.database();
        QString restoredUrl = source;
        restoredUrl.replace(QStringLiteral("/entpat_test?"), QStringLiteral("/entpat_restored?"));
        QVERIFY(restoredUrl != source);
        QCOMPARE(runStatements(source, {QStringLiteral("DROP DATABASE IF EXISTS entpat_restored"),
                                        QStringLiteral("CREATE DATABASE entpat_restored")}),
                 QString());
        QCOMPARE(runClient(QStringLiteral("pg_restore"),
                           {QStringLiteral("--no-owner"), QStringLiteral("--dbname=") + restoredUrl, dump}),
                 QString());
        {
            EntPatServer restored({.database = restoredUrl});
            QString error;
            QVERIFY2(restored.start(&error), qPrintable(error));
            QVERIFY(itemNumbers(restored.port()).contains(QStringLiteral("0900")));
        }
        QCOMPARE(runStatements(source, {QStringLiteral("DROP DATABASE entpat_restored")}), QString());
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("database");    // "fixture", "tables-less", a path or URL
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<bool>("withTarget");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::newRow("existing target") << "fixture" << true << true << exitCannotStart << "já existe";
        QTest::newRow("missing database") << "missing.db" << false << true << exitCannotStart << "não existe";
        QTest::newRow("no suite tables") << "tables-less" << false << true << exitCannotStart << "tabelas do sistema";
        QTest::newRow("postgresql") << "postgresql://entpat@/suite" << false << true << exitCannotStart << "pg_dump";
        QTest::newRow("no target named") << "fixture" << false << false << exitUsage << "backup";
    }
    void refusals()
    {
        QFETCH(QString, database);
        QFETCH(bool, targetExists);
        QFETCH(bool, withTarget);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QTemporaryDir dir;
        if (database == QLatin1String("fixture")) {
            database = dir.filePath(QStringLiteral("suite.db"));
            Fixture::build(database);
        } else if (database == QLatin1String("tables-less")) {
            database = dir.filePath(QStringLiteral("other.db"));
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
                db.setDatabaseName(database);
                QVERIFY(db.open());
                QVERIFY(QSqlQuery(db).exec(QStringLiteral("CREATE TABLE outra (a INTEGER)")));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("other"));
        } else if (!database.contains(QLatin1Char(':'))) {
            database = dir.filePath(database);
        }
        const QString target = dir.filePath(QStringLiteral("copy.db"));
        if (targetExists) {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("kept");
        }
        QStringList arguments{QStringLiteral("--database"), database, QStringLiteral("--backup")};
        if (withTarget)
            arguments.append(target);
        const Finished run = runServer(arguments);
        QVERIFY2(run.exitCode == exitCode, qPrintable(run.output));
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
        QFile file(target);
        if (targetExists) {
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("kept"));
        } else {
            QVERIFY2(!file.exists(), "a refused backup left a file behind");
        }
        if (database.endsWith(QLatin1String("missing.db")))
            QVERIFY2(!QFile::exists(database), "the backup created the database it was to copy");
    }
};

QTEST_GUILESS_MAIN(TestServerBackup)
#include "tst_serverbackup.moc"
