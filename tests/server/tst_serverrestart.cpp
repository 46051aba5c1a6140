// The database restarts under load (the test run's throw-away PostgreSQL
// cluster, stopped and started again by this test only): calls during the
// outage are refused with the unavailability message, calls succeed again
// within 5 s of the database coming back, without restarting the server,
// and every change acknowledged before, during or after is kept.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace Fixture;

namespace {

const QString unavailable = QStringLiteral("Banco de dados indisponível. Tente novamente em instantes.");

// Runs the cluster's control command ("stop" or "start"); empty on success,
// else what went wrong.
QString controlCluster(const QString &command, const QString &action)
{
    QProcess process;
    process.start(command, {action});
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("%1 %2 failed: %3").arg(command, action, QString::fromLocal8Bit(process.readAllStandardError()));
    return {};
}

struct CallLog
{
    qint64 startedMs;
    bool ok;
    QString error;
};

} // namespace

class TestServerRestart : public QObject
{
    Q_OBJECT

private slots:
    void databaseRestartUnderLoad()
    {
        const QString control = qEnvironmentVariable("ENTPAT_TEST_PG_CTL");
        if (!FixtureServer::postgresAvailable() || control.isEmpty())
            QSKIP("PostgreSQL skipped: no throw-away cluster (ENTPAT_TEST_PG, ENTPAT_TEST_PG_CTL; run scripts/test)");
        constexpr int workers = 4;
        constexpr int clients = 4;
        FixtureServer server(FixtureServer::Backend::PostgreSQL, workers);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const int port = server.port();

        QElapsedTimer clock;
        clock.start();
        std::atomic<bool> stopping{false};
        std::mutex mutex;
        std::vector<std::vector<CallLog>> logs(clients);
        QStringList acknowledged;
        std::vector<std::thread> threads;
        for (int c = 0; c < clients; ++c) {
            threads.emplace_back([&, c] {
                for (int i = 0; i < 1999 && !stopping; ++i) {
                    const QString number = QStringLiteral("%1").arg(1000 + c * 2000 + i, 4, 10, QLatin1Char('0'));
                    const qint64 started = clock.elapsed();
                    const ServerResult result =
                        callServer(port, QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem(number))})});
                    {
                        const std::lock_guard<std::mutex> lock(mutex);
                        logs[size_t(c)].push_back({started, result.ok, result.error});
                        if (result.ok)
                            acknowledged.append(number);
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
            });
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(800));
        const QString stopped = controlCluster(control, QStringLiteral("stop"));
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        const QString restarted = controlCluster(control, QStringLiteral("start"));
        const qint64 upAt = clock.elapsed();
        std::this_thread::sleep_for(std::chrono::milliseconds(6500));
        stopping = true;
        for (std::thread &thread : threads)
            thread.join();
        QVERIFY2(stopped.isEmpty(), qPrintable(stopped));
        QVERIFY2(restarted.isEmpty(), qPrintable(restarted));

        int refused = 0;
        for (int c = 0; c < clients; ++c) {
            int lateCalls = 0;
            for (const CallLog &call : logs[size_t(c)]) {
                if (!call.ok) {
                    ++refused;
                    QCOMPARE(call.error, unavailable);
                }
                if (call.startedMs > upAt + 5000) {
                    ++lateCalls;
                    QVERIFY2(call.ok, qPrintable(QStringLiteral("client %1, %2 ms after the restart: %3")
                                                     .arg(c)
                                                     .arg(call.startedMs - upAt)
                                                     .arg(call.error)));
                }
            }
            QVERIFY2(lateCalls > 0, "no call was made once the database was back");
        }
        QVERIFY2(refused > 0, "no call came during the outage");

        // Each worker answers again: more calls at once than workers.
        std::atomic<int> burstFailures{0};
        std::vector<std::thread> burst;
        for (int b = 0; b < 4 * workers; ++b) {
            burst.emplace_back([&] {
                if (!callServer(port, QStringLiteral("getVerifViaAcesso"), {Route}).ok)
                    ++burstFailures;
            });
        }
        for (std::thread &thread : burst)
            thread.join();
        QCOMPARE(burstFailures.load(), 0);

        const ServerResult items = callServer(port, QStringLiteral("getConfesco"),
                                              {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        QVERIFY2(items.ok, qPrintable(items.error));
        QStringList kept;
        for (const QJsonObject &row : rowObjects(items.data))
            kept.append(row[QStringLiteral("CDSEQUCOPR")].toString());
        for (const QString &number : std::as_const(acknowledged))
            QVERIFY2(kept.contains(number), qPrintable(QStringLiteral("acknowledged item %1 lost").arg(number)));
        qInfo("%lld calls acknowledged, %d refused during the outage", qlonglong(acknowledged.size()), refused);
    }
};

QTEST_GUILESS_MAIN(TestServerRestart)
#include "tst_serverrestart.moc"
