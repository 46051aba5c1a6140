// Many workstations at once: kept-alive connections and idle ones must not
// take the database workers, so a newcomer is answered at once.
#include "fixturedb.h"
#include "fixtureserver.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QTest>

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace Fixture;

namespace {

const std::string callPath = "/rdmEntPat/getVerifViaAcesso";
const std::string callBody = "{\"args\":[\"002\"]}";

// One workstation: a kept-alive connection, as the client connection keeps it.
struct Workstation
{
    explicit Workstation(int port) : http("127.0.0.1", port)
    {
        http.set_bearer_token_auth(sessionToken(port).toStdString());
        http.set_tcp_nodelay(true);
        http.set_keep_alive(true);
        http.set_read_timeout(30, 0);
    }
    // True when the call was answered with success.
    bool call()
    {
        const auto response = http.Post(callPath.c_str(), callBody, "application/json");
        if (response && response->status == 200 && response->body.find("\"ok\":true") != std::string::npos)
            return true;
        qWarning("call failed: %s", response ? response->body.c_str() : httplib::to_string(response.error()).c_str());
        return false;
    }
    httplib::Client http;
};

// Milliseconds a new workstation waits for its first answer; -1 when the
// call failed.
double newcomerWait(int port)
{
    QElapsedTimer clock;
    clock.start();
    Workstation newcomer(port);
    const bool ok = newcomer.call();
    return ok ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

// A connection that is opened and then sends nothing.
int openSilentConnection(int port)
{
    const int sock = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(quint16(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(sock, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

} // namespace

class TestServerLoad : public QObject
{
    Q_OBJECT

private slots:
    // 64 workstations each call every 100 ms over their own kept-alive
    // connection; all are answered, and a 65th is answered within a second.
    void sixtyFourWorkstationsAndANewcomer()
    {
        FixtureServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        constexpr int workstations = 64;
        constexpr int rounds = 25;
        std::atomic<int> answered{0}, failed{0};
        std::atomic<int> started{0};
        std::vector<std::thread> threads;
        for (int w = 0; w < workstations; ++w) {
            threads.emplace_back([&] {
                Workstation workstation(server.port());
                ++started;
                for (int r = 0; r < rounds; ++r) {
                    if (workstation.call())
                        ++answered;
                    else
                        ++failed;
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                }
            });
        }
        // The newcomer comes once every workstation holds its connection.
        while (started < workstations || answered < workstations)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const double wait = newcomerWait(server.port());
        for (std::thread &thread : threads)
            thread.join();
        QCOMPARE(failed.load(), 0);
        QCOMPARE(answered.load(), workstations * rounds);
        QVERIFY2(wait >= 0 && wait < 1000, qPrintable(QStringLiteral("newcomer waited %1 ms").arg(wait)));
    }

    // Connections opened and left silent (by idle workstations, or by
    // someone opening sockets on purpose) do not keep calls waiting.
    void idleConnectionsDoNotBlockCalls()
    {
        FixtureServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        std::vector<int> silent;
        for (int i = 0; i < 200; ++i) {
            const int sock = openSilentConnection(server.port());
            QVERIFY(sock >= 0);
            silent.push_back(sock);
        }
        // Half of them started a request and stopped halfway.
        for (size_t i = 0; i < silent.size(); i += 2) {
            const char partial[] = "POST /rdmEntPat/getVerifViaAcesso HTTP/1.1\r\nHost: x\r\n";
            QVERIFY(::send(silent[i], partial, sizeof partial - 1, 0) > 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        // A call held by the silent connections would wait for the server to
        // close them, after its idle time (seconds); on a loaded machine an
        // answered call may still take more than a second.
        const double idleMs = server.options().idleSeconds * 1000.0;
        for (int i = 0; i < 3; ++i) {
            const double wait = newcomerWait(server.port());
            QVERIFY2(wait >= 0 && wait < idleMs / 2, qPrintable(QStringLiteral("call waited %1 ms").arg(wait)));
        }
        for (const int sock : silent)
            ::close(sock);
    }
};

QTEST_GUILESS_MAIN(TestServerLoad)
#include "tst_serverload.moc"
