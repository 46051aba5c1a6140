// The client connection's login: one session shared by every connection of
// the process, renewed once when it has ended, and HTTPS with the server's
// certificate checked against the CA the host was given.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "core/velunor.h"
#include "net/tnetconnection.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using namespace Fixture;

namespace {

const QString SessionEnded = QStringLiteral("Sessão expirada. Entre novamente.");

// A self-signed certificate for 127.0.0.1 (its own CA) and its key, made by
// the openssl tool; false when it could not be made.
bool makeCertificate(const QString &folder, const QString &name)
{
    QProcess openssl;
    openssl.start(QStringLiteral("openssl"),
                  {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
                   QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                   QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"), QStringLiteral("/CN=127.0.0.1"),
                   QStringLiteral("-addext"), QStringLiteral("subjectAltName=IP:127.0.0.1,DNS:localhost"),
                   QStringLiteral("-keyout"), folder + QLatin1Char('/') + name + QStringLiteral("-key.pem"),
                   QStringLiteral("-out"), folder + QLatin1Char('/') + name + QStringLiteral("-cert.pem")});
    return openssl.waitForFinished(20000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

} // namespace

class TestNetSession : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;
    QTemporaryDir m_certificates;
    int m_logins = 0;

    void point(TNetConnection &net, int port)
    {
        net.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
        net.SetPort(port);
    }
    void renewWith(const QString &password)
    {
        TNetConnection::SetLoginHandler([this, password](TNetConnection &net) {
            ++m_logins;
            return net.Login(Nutritionist, password).ok;
        });
    }
    QString certificate(const QString &name) const { return m_certificates.filePath(name + QStringLiteral("-cert.pem")); }

private slots:
    void initTestCase()
    {
        QVERIFY(makeCertificate(m_certificates.path(), QStringLiteral("server")));
        QVERIFY(makeCertificate(m_certificates.path(), QStringLiteral("stranger")));
    }
    void init()
    {
        m_logins = 0;
        operatorContext().webToken.clear();
        m_server = std::make_unique<FixtureServer>();
        m_server->options().sessionIdleSeconds = 1;
    }
    void cleanup()
    {
        TNetConnection::SetLoginHandler({});
        operatorContext().webToken.clear();
        m_server.reset();
    }

    void loginServesEveryConnection()
    {
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        TNetConnection refused;
        point(refused, m_server->port());
        const ServerResult wrong = refused.Login(Nutritionist, QStringLiteral("errada"));
        QCOMPARE(wrong.error, QStringLiteral("Usuário ou senha inválidos."));
        QVERIFY(operatorContext().webToken.isEmpty());
        QCOMPARE(refused.Call(QStringLiteral("getVerifViaAcesso"), {Route}).error, SessionEnded);

        TNetConnection login;
        point(login, m_server->port());
        QVERIFY(login.Login(Nutritionist, Password).ok);
        TNetConnection other;
        point(other, m_server->port());
        QVERIFY(other.Call(QStringLiteral("getVerifViaAcesso"), {Route}).ok);
    }

    // The server refused the ended session before running the call, so the
    // call is sent again after one new login and its change applied once.
    void endedSessionIsRenewedOnce_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("applied");
        QTest::newRow("renewed") << Password << true;
        QTest::newRow("renewal refused") << QStringLiteral("errada") << false;
    }
    void endedSessionIsRenewedOnce()
    {
        QFETCH(QString, password);
        QFETCH(bool, applied);
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        TNetConnection net;
        point(net, m_server->port());
        QVERIFY(net.Login(Nutritionist, Password).ok);
        renewWith(password);
        QThread::msleep(1100);
        const ServerResult result = net.Call(
            QStringLiteral("SetConfesco"), {changes({change("insert", {}, newItem(QStringLiteral("0100")))})});
        QCOMPARE(m_logins, 1);
        QCOMPARE(result.ok, applied);
        if (!applied)
            QCOMPARE(result.error, SessionEnded);
        const ServerResult items = callServer(m_server->port(), QStringLiteral("getConfesco"),
                                              {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        int stored = 0;
        for (const QJsonObject &item : rowObjects(items.data))
            stored += item[QStringLiteral("CDSEQUCOPR")].toString() == QLatin1String("0100");
        QCOMPARE(stored, applied ? 1 : 0);
    }

    // Over HTTPS (listening on every interface, which needs it) only a client
    // that trusts the server's CA gets an answer; a plain-HTTP client is told
    // why it is refused.
    void httpsWithTheServersCa_data()
    {
        QTest::addColumn<QString>("caFile");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("the server's CA") << "server" << "";
        QTest::newRow("another CA") << "stranger" << "não foi emitido pela autoridade certificadora";
        QTest::newRow("plain HTTP") << "" << "só aceita conexões seguras (HTTPS)";
    }
    void httpsWithTheServersCa()
    {
        QFETCH(QString, caFile);
        QFETCH(QString, refusal);
        m_server->options().listenAddress = QStringLiteral("0.0.0.0");
        m_server->options().tlsCertificate = certificate(QStringLiteral("server"));
        m_server->options().tlsKey = m_certificates.filePath(QStringLiteral("server-key.pem"));
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        renewWith(Password);
        operatorContext().webCaFile = caFile.isEmpty() ? QString() : certificate(caFile);
        TNetConnection net;
        point(net, m_server->port());
        const ServerResult result = net.Call(QStringLiteral("getVerifViaAcesso"), {Route});
        operatorContext().webCaFile.clear();
        QVERIFY2(result.ok == refusal.isEmpty(), qPrintable(result.error));
        QVERIFY2(result.error.contains(refusal), qPrintable(result.error));
        if (result.ok)
            QCOMPARE(DataPacket::fromJson(result.data).rows.size(), 1);
    }

    void plainHttpToHttpsIsABadRequest()
    {
        m_server->options().tlsCertificate = certificate(QStringLiteral("server"));
        m_server->options().tlsKey = m_certificates.filePath(QStringLiteral("server-key.pem"));
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        const auto [status, answer] = postWithoutSession(m_server->port(), QStringLiteral("/echo"), "{\"args\":[]}");
        QCOMPARE(status, 400);
        QVERIFY2(ServerResult::fromJson(answer).error.contains(QStringLiteral("HTTPS")), answer.constData());
    }

    void unusableCertificateStopsTheStart_data()
    {
        QTest::addColumn<QString>("certificateFile");
        QTest::addColumn<QString>("keyFile");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing certificate") << "missing-cert.pem" << "server-key.pem" << "missing-cert.pem";
        QTest::newRow("key of another certificate") << "server-cert.pem" << "stranger-key.pem" << "stranger-key.pem";
    }
    void unusableCertificateStopsTheStart()
    {
        QFETCH(QString, certificateFile);
        QFETCH(QString, keyFile);
        QFETCH(QString, message);
        m_server->options().tlsCertificate = m_certificates.filePath(certificateFile);
        m_server->options().tlsKey = m_certificates.filePath(keyFile);
        QVERIFY(!m_server->start());
        QVERIFY2(m_server->error().contains(message), qPrintable(m_server->error()));
    }
};

QTEST_GUILESS_MAIN(TestNetSession)
#include "tst_netsession.moc"
