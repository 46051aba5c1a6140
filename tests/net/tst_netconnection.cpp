// The client connection against a real application server on loopback.
#include "core/abort.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "core/velunor.h"
#include "net/tnetconnection.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

using namespace Fixture;

class TestNetConnection : public QObject
{
    Q_OBJECT

private:
    void point(TNetConnection &net)
    {
        net.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
        net.BeforeConnect = [this](TNetConnection &c) {
            ++m_connects;
            c.SetHost(QStringLiteral("127.0.0.1"));
            c.SetPort(m_server->port());
        };
    }

    std::unique_ptr<FixtureServer> m_server;
    int m_connects = 0;

private slots:
    void init()
    {
        m_connects = 0;
        m_server = std::make_unique<FixtureServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        TNetConnection::SetLoginHandler(
            [](TNetConnection &net) { return net.Login(Nutritionist, Password).ok; });
    }
    void cleanup()
    {
        TNetConnection::SetLoginHandler({});
        operatorContext().webToken.clear();
        m_server.reset();
    }

    void callsConnectOnceAndReturnTheData()
    {
        TNetConnection net;
        point(net);
        QVERIFY(!net.Connected());
        net.SetConnected(true);
        QVERIFY(net.Connected());
        for (int i = 0; i < 3; ++i) {
            const ServerResult result = net.Call(QStringLiteral("getVerifViaAcesso"), {Route});
            QVERIFY2(result.ok, qPrintable(result.error));
            QCOMPARE(DataPacket::fromJson(result.data).rows.size(), 1);
        }
        QCOMPARE(m_connects, 1);
        net.SetConnected(false);
        QVERIFY(net.Call(QStringLiteral("getVerifViaAcesso"), {Route}).ok);
        QCOMPARE(m_connects, 2);
    }

    void refusalsComeBackOrAreThrown()
    {
        TNetConnection net;
        point(net);
        ServerResult result = net.Call(QStringLiteral("getVeriServ"), {EnteralService});
        QVERIFY(!result.ok);
        QVERIFY(!result.unanswered);
        QVERIFY(result.error.contains(QStringLiteral("espera 2 argumento(s)")));
        net.SetThrowException(true);
        QVERIFY_THROWS_EXCEPTION(UserError, net.Call(QStringLiteral("metodoInexistente")));
    }

    void transportFailureIsAMessage()
    {
        TNetConnection net;
        point(net);
        QVERIFY(net.Call(QStringLiteral("getVerifViaAcesso"), {Route}).ok);
        m_server->stop();
        const ServerResult result = net.Call(QStringLiteral("getVerifViaAcesso"), {Route});
        QVERIFY(!result.ok);
        QVERIFY(result.unanswered);
        QVERIFY2(result.error.contains(QStringLiteral("servidor de aplicação")), qPrintable(result.error));
    }

    // A call blocks without running the event loop: a due timer fires only
    // after the call has returned.
    void callRunsNoEventLoop()
    {
        TNetConnection net;
        point(net);
        bool fired = false;
        QTimer::singleShot(0, this, [&fired] { fired = true; });
        QVERIFY(net.Call(QStringLiteral("getPesqPaci"), {BranchAdjust}).ok);
        QVERIFY(!fired);
        QTRY_VERIFY(fired);
    }

    // With Nagle's delay a call costs about 44 ms; kept-alive, delay-free
    // calls take well under a millisecond here.
    void callsDoNotWaitForDelayedAcks()
    {
        TNetConnection net;
        point(net);
        QVERIFY(net.Call(QStringLiteral("getVerifViaAcesso"), {Route}).ok);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 100; ++i)
            QVERIFY(net.Call(QStringLiteral("getVerifViaAcesso"), {Route}).ok);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QStringLiteral("100 calls took %1 ms").arg(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestNetConnection)
#include "tst_netconnection.moc"
