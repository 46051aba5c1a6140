// Who may call the server: the operator's login, the session it opens and
// what a call without a live session gets; the session's operator as the
// operator of what the call writes.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QJsonDocument>
#include <QTest>
#include <QThread>

using namespace Fixture;

namespace {

const QString SessionEnded = QStringLiteral("Sessão expirada. Entre novamente.");

QByteArray body(const QJsonArray &args)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
}

QJsonObject newRecord(const QString &nutritionist)
{
    return {{"CDFILIAL", BranchAdjust},          {"CDPACIENTE", AdultWithoutRecords},
            {"DTSERVINTE", iso(QDate::currentDate())}, {"NRSEQUSERV", Sequence},
            {"DTINTERNA", admission().toString(Qt::ISODate)}, {"CDSERVFILI", EnteralService},
            {"CDDIETPAD", EnteralDiet},          {"CDNUTRICIO", nutritionist}};
}

} // namespace

class TestServerLogin : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;

    int storedItems(const QString &number)
    {
        const ServerResult items = callServer(m_server->port(), QStringLiteral("getConfesco"),
                                              {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        int found = 0;
        for (const QJsonObject &item : rowObjects(items.data))
            found += item[QStringLiteral("CDSEQUCOPR")].toString() == number;
        return found;
    }

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        // Only the tests of the idle time wait for a session to end; the
        // others keep theirs however slow the machine is (a login's password
        // check alone may take a second on a loaded one).
        const QByteArray test(QTest::currentTestFunction());
        const bool idleTest = test == "callsWithoutALiveSession" || test == "sessionLivesWhileUsed";
        m_server->options().sessionIdleSeconds = idleTest ? 1 : 300;
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    }
    void cleanup() { m_server.reset(); }

    // Neither refusal tells whether the operator exists.
    void refusedLogins_data()
    {
        QTest::addColumn<QString>("operatorCode");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << Nutritionist << "Demo";
        QTest::newRow("empty password") << Nutritionist << "";
        QTest::newRow("unknown operator") << "NINGUEM" << Password;
        QTest::newRow("empty operator") << "" << Password;
    }
    void refusedLogins()
    {
        QFETCH(QString, operatorCode);
        QFETCH(QString, password);
        const ServerResult result = login(m_server->port(), operatorCode, password);
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("Usuário ou senha inválidos."));
    }

    void loginAnswersANewSessionEachTime()
    {
        const ServerResult first = login(m_server->port(), Nutritionist, Password);
        const ServerResult second = login(m_server->port(), Nutritionist, Password);
        QVERIFY2(first.ok && second.ok, qPrintable(first.error + second.error));
        QCOMPARE(first.data.toString().size(), 64);
        QVERIFY(first.data.toString() != second.data.toString());
        for (const ServerResult &session : {first, second}) {
            const auto [status, answer] = postRaw(m_server->port(), QStringLiteral("/echo"), body({1}),
                                                  session.data.toString());
            QCOMPARE(status, 200);
        }
    }

    // Refused before anything of the call runs: the change is not applied.
    void callsWithoutALiveSession_data()
    {
        QTest::addColumn<QString>("session");
        QTest::newRow("missing") << "missing";
        QTest::newRow("forged") << "forged";
        QTest::newRow("expired") << "expired";
        QTest::newRow("of a stopped server") << "stopped server";
    }
    void callsWithoutALiveSession()
    {
        QFETCH(QString, session);
        QString token = sessionToken(m_server->port());
        if (session == QLatin1String("forged")) {
            token = forgedToken(token);
        } else if (session == QLatin1String("expired")) {
            QThread::msleep(1100);
        } else if (session == QLatin1String("stopped server")) {
            FixtureServer other;
            QVERIFY2(other.start(), qPrintable(other.error()));
            token = sessionToken(other.port());
        }
        const QByteArray insert = body({changes({change("insert", {}, newItem(QStringLiteral("0100")))})});
        const auto [status, answer] =
            session == QLatin1String("missing")
                ? postWithoutSession(m_server->port(), QStringLiteral("/rdmEntPat/SetConfesco"), insert)
                : postRaw(m_server->port(), QStringLiteral("/rdmEntPat/SetConfesco"), insert, token);
        QCOMPARE(status, 401);
        QCOMPARE(ServerResult::fromJson(answer).error, SessionEnded);
        const auto [echoStatus, echoAnswer] = postRaw(m_server->port(), QStringLiteral("/echo"), body({}), token);
        QCOMPARE(echoStatus, session == QLatin1String("missing") ? 200 : 401);
        QCOMPARE(storedItems(QStringLiteral("0100")), 0);
    }

    // Idle time counts from the last call, not from the login.
    void sessionLivesWhileUsed()
    {
        const QString token = sessionToken(m_server->port());
        for (int i = 0; i < 4; ++i) {
            QThread::msleep(400);
            QCOMPARE(postRaw(m_server->port(), QStringLiteral("/echo"), body({i}), token).first, 200);
        }
    }

    // A nutritionist records services in her own name only; what she writes
    // is hers in the audit trail.
    void newServiceRecordsOfTheSessionsOperator_data()
    {
        QTest::addColumn<QString>("operatorCode");
        QTest::addColumn<QString>("nutritionist");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("own record") << Nutritionist << Nutritionist << true;
        QTest::newRow("other nutritionist's own record") << OtherNutritionist << OtherNutritionist << true;
        QTest::newRow("another nutritionist's name") << Nutritionist << OtherNutritionist << false;
        QTest::newRow("no nutritionist: the operator's") << OtherNutritionist << "" << true;
    }
    void newServiceRecordsOfTheSessionsOperator()
    {
        QFETCH(QString, operatorCode);
        QFETCH(QString, nutritionist);
        QFETCH(bool, accepted);
        const QJsonObject record = newRecord(nutritionist);
        const ServerResult result = callServerAs(operatorCode, m_server->port(), QStringLiteral("SetServInte"),
                                                 {changes({change("insert", {}, record)})});
        QCOMPARE(result.ok, accepted);
        QJsonObject key = record;
        for (const char *field : {"DTINTERNA", "CDSERVFILI", "CDDIETPAD", "CDNUTRICIO"})
            key.remove(field);
        const ServerResult trail = callServer(m_server->port(), QStringLiteral("getAuditoria"),
                                              {QStringLiteral("SERVINTE"),
                                               QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact))});
        QVERIFY2(trail.ok, qPrintable(trail.error));
        const QVector<QJsonObject> entries = rowObjects(trail.data);
        if (!accepted) {
            QCOMPARE(result.error,
                     QStringLiteral("O serviço deve ser registrado em nome do operador conectado (%1).").arg(operatorCode));
            QVERIFY(entries.isEmpty());
            return;
        }
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.constFirst()[QStringLiteral("CDOPERADOR")].toString(), operatorCode);
        const QJsonObject stored =
            QJsonDocument::fromJson(entries.constFirst()[QStringLiteral("DSNOVO")].toString().toUtf8()).object();
        QCOMPARE(stored[QStringLiteral("CDNUTRICIO")].toString(), operatorCode);
    }

    // Changes to records other nutritionists made stay open to everyone; the
    // trail names who changed them.
    void auditOperatorIsTheLoggedInOne()
    {
        QJsonObject item = newItem(QStringLiteral("0100"));
        QVERIFY(callServerAs(OtherNutritionist, m_server->port(), QStringLiteral("SetConfesco"),
                             {changes({change("insert", {}, item)})})
                    .ok);
        QJsonObject key = item;
        for (auto field = key.begin(); field != key.end();) {
            const bool keyField = QStringList{"CDFILIAL", "CDPACIENTE", "DTSERVINTE", "NRSEQUSERV", "CDSEQUCOPR"}
                                      .contains(field.key());
            field = keyField ? field + 1 : key.erase(field);
        }
        const ServerResult trail =
            callServer(m_server->port(), QStringLiteral("getAuditoria"),
                       {QStringLiteral("CONFESCO"), QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact))});
        QVERIFY2(trail.ok, qPrintable(trail.error));
        QCOMPARE(rowObjects(trail.data).size(), 1);
        QCOMPARE(rowObjects(trail.data).constFirst()[QStringLiteral("CDOPERADOR")].toString(), OtherNutritionist);
    }
};

QTEST_GUILESS_MAIN(TestServerLogin)
#include "tst_serverlogin.moc"
