// Logins under abuse, on the wire: guessing is refused for a while after a
// few failures, longer each time, and a login finding no room to check its
// password is refused at once. The server's clock is the test's, so minutes
// pass at once; logins come from several loopback addresses.
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <future>

using namespace Fixture;

namespace {

const QString Refused = QStringLiteral("Usuário ou senha inválidos.");
const QString Busy = QStringLiteral("Servidor ocupado. Tente novamente em instantes.");

QString tooMany(int minutes)
{
    return QStringLiteral("Muitas tentativas de entrada. Tente novamente em %1 minutos.").arg(minutes);
}

// A login sent from the loopback address 127.0.0.<client>; answers its
// refusal, empty when it was let in.
QString loginFrom(int port, int client, const QString &operatorCode, const QString &password)
{
    return login(port, operatorCode, password, client).error;
}

// How long a refusal of the limits is held before it is answered.
constexpr int lockedDelayMs = 200;

} // namespace

class TestLoginLimits : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;
    std::atomic<qint64> m_skippedSeconds{0};

    void startServer(int hashWorkers, int hashQueue)
    {
        m_server = std::make_unique<FixtureServer>();
        m_server->options().clock = [this] {
            return std::chrono::steady_clock::now() + std::chrono::seconds(m_skippedSeconds.load());
        };
        m_server->options().hashWorkers = hashWorkers;
        m_server->options().hashQueue = hashQueue;
        m_server->options().lockedLoginDelayMs = lockedDelayMs;
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    }

private slots:
    void init()
    {
        m_skippedSeconds = 0;
        startServer(2, 16);
    }
    void cleanup() { m_server.reset(); }

    // Steps: "pass <seconds>", or "<operator> right|wrong <client> <answer>"
    // for a login with the right or a wrong password from 127.0.0.<client>,
    // answered "ok", "refused" (wrong operator or password) or with a lock
    // of <answer> minutes. Five failures within 15 minutes lock the
    // operator, or the address, for a minute, the right password included;
    // each failure after a lock doubles it, up to 15 minutes. A refusal of
    // the limits is answered only after the server's delay.
    void guessingIsSlowed_data()
    {
        QTest::addColumn<QStringList>("steps");
        const auto times = [](int count, const QString &step) { return QStringList(count, step); };
        QTest::newRow("five failures lock the operator")
            << times(5, "NUTRI01 wrong 1 refused")
                   + QStringList{"NUTRI01 right 2 1", "pass 59", "NUTRI01 right 2 1", "pass 2", "NUTRI01 right 2 ok"};
        QTest::newRow("the lock doubles up to 15 minutes")
            << times(5, "NUTRI01 wrong 1 refused")
                   + QStringList{"pass 61",  "NUTRI01 wrong 1 refused", "NUTRI01 right 1 2",
                                 "pass 121", "NUTRI01 wrong 1 refused", "NUTRI01 right 1 4",
                                 "pass 241", "NUTRI01 wrong 1 refused", "NUTRI01 right 1 8",
                                 "pass 481", "NUTRI01 wrong 1 refused", "NUTRI01 right 1 15",
                                 "pass 901", "NUTRI01 wrong 1 refused", "NUTRI01 right 1 15",
                                 "pass 901", "NUTRI01 right 1 ok"};
        QTest::newRow("a success clears the operator's count")
            << times(4, "NUTRI01 wrong 1 refused") + QStringList{"NUTRI01 right 2 ok"}
                   + times(4, "NUTRI01 wrong 3 refused") + QStringList{"NUTRI01 right 3 ok"};
        QTest::newRow("failures older than the window are forgotten")
            << times(4, "NUTRI01 wrong 1 refused") + QStringList{"pass 901"} + times(4, "NUTRI01 wrong 1 refused")
                   + QStringList{"NUTRI01 right 1 ok"};
        QTest::newRow("failures for several operators lock the address")
            << QStringList{"NINGUEM wrong 1 refused", "ENF01 wrong 1 refused",  "NUTRI02 wrong 1 refused",
                           "OUTRO wrong 1 refused",   "NINGUEM wrong 1 refused", "NUTRI01 right 1 1",
                           "NUTRI01 right 2 ok"};
        QTest::newRow("a success does not clear the address's count")
            << times(4, "NINGUEM wrong 1 refused")
                   + QStringList{"NUTRI01 right 1 ok", "ENF01 wrong 1 refused", "NUTRI02 right 1 1"};
    }
    void guessingIsSlowed()
    {
        QFETCH(QStringList, steps);
        for (const QString &step : steps) {
            const QStringList parts = step.split(QLatin1Char(' '));
            if (parts.first() == QLatin1String("pass")) {
                m_skippedSeconds += parts.at(1).toInt();
                continue;
            }
            const QString &answer = parts.at(3);
            const QString expected = answer == QLatin1String("ok")        ? QString()
                : answer == QLatin1String("refused")                      ? Refused
                                                                          : tooMany(answer.toInt());
            const QString password = parts.at(1) == QLatin1String("right") ? Password : QStringLiteral("errada");
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(loginFrom(m_server->port(), parts.at(2).toInt(), parts.at(0), password), expected);
            if (expected.startsWith(QLatin1String("Muitas")))
                QVERIFY2(clock.elapsed() >= lockedDelayMs, qPrintable(QString::number(clock.elapsed())));
        }
    }

    // With one hashing thread and no queue, logins arriving together find
    // it busy: they are refused at once, and neither counts as a failure
    // nor locks anyone.
    void busyHashingRefusesAtOnce()
    {
        startServer(1, 0);
        // Fewer than five, so that the ones checked cannot lock the address.
        std::vector<std::future<QString>> logins;
        for (int i = 0; i < 4; ++i) {
            logins.push_back(std::async(std::launch::async, [this] {
                return loginFrom(m_server->port(), 1, OtherNutritionist, QStringLiteral("errada"));
            }));
        }
        int busy = 0;
        for (auto &refusal : logins) {
            const QString text = refusal.get();
            QVERIFY2(text == Refused || text == Busy, qPrintable(text));
            busy += text == Busy;
        }
        QVERIFY(busy > 0);
        QCOMPARE(loginFrom(m_server->port(), 1, Nutritionist, Password), QString());
    }
};

QTEST_GUILESS_MAIN(TestLoginLimits)
#include "tst_loginlimits.moc"
