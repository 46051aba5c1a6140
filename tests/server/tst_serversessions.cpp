// Sessions and roles on the wire: who may prescribe, how a session ends
// (Logout, a new password, its idle time) and the login history every login
// and end of a session leaves. On SQLite and (when available) PostgreSQL;
// the server's clock is the test's, so hours pass at once.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"
#include "lib/operatorlogin.h"
#include "lib/sqlsession.h"

#include <QJsonDocument>
#include <QTest>

#include <atomic>

using namespace Fixture;

namespace {

const QString SessionEnded = QStringLiteral("Sessão expirada. Entre novamente.");
const QString NewPassword = QStringLiteral("n0va senha");

QByteArray argsBody(const QJsonArray &args)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
}

QString compact(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

class TestServerSessions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;
    std::atomic<qint64> m_skippedSeconds{0};

    int status(const QString &method, const QJsonArray &args, const QString &token)
    {
        return postRaw(m_server->port(), QStringLiteral("/rdmEntPat/") + method, argsBody(args), token).first;
    }

    // Sets the password from another process, as entpat-server
    // --set-password does.
    void setPassword(const QString &operatorCode)
    {
        SqlSession session(DatabaseConfig::parse(m_server->database()), QStringLiteral("sessions-test"));
        OperatorLogin::setPassword(session, operatorCode, NewPassword);
    }

    // "kind outcome client" of the operator's login history, newest first,
    // read in another operator's session; " xN" after a row that stands
    // for N logins.
    QStringList history(const QString &operatorCode)
    {
        const ServerResult rows =
            callServerAs(OtherNutritionist, m_server->port(), QStringLiteral("getAuditoria"),
                         {QStringLiteral("HISTENTRADA"), compact({{"CDOPERADOR", operatorCode}})});
        if (!rows.ok)
            return {rows.error};
        QStringList entries;
        for (const QJsonObject &row : rowObjects(rows.data))
            entries << QStringList{row["TPEVENTO"].toString(), row["DSRESULTADO"].toString(),
                                   row["DSCLIENTE"].toString()}
                               .join(QLatin1Char(' '))
                    + (row["QTTENTATIVAS"].toInt() == 1 ? QString()
                                                        : QStringLiteral(" x%1").arg(row["QTTENTATIVAS"].toInt()));
        return entries;
    }

private slots:
    void initTestCase_data() { addBackendData(); }
    void init()
    {
        m_skippedSeconds = 0;
        m_server = startBackendServer(4, [this](EntPatServerOptions &options) {
            options.clock = [this] {
                return std::chrono::steady_clock::now() + std::chrono::seconds(m_skippedSeconds.load());
            };
            options.lockedLoginDelayMs = 50;
        });
    }
    void cleanup() { m_server.reset(); }

    // Only a nutritionist of the branch creates a service record or copies a
    // formulation, whatever the client sends; a refusal writes nothing.
    void onlyNutritionistsOfTheBranchPrescribe_data()
    {
        QTest::addColumn<QString>("operatorCode");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("branch");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("nurse records a service") << NonNutritionist << "SetServInte" << BranchAdjust << false;
        QTest::newRow("nurse copies") << NonNutritionist << "CopiaFormulacao" << BranchAdjust << false;
        QTest::newRow("nutritionist of another branch records") << Nutritionist << "SetServInte" << BranchPlain << false;
        QTest::newRow("nutritionist of another branch copies") << Nutritionist << "CopiaFormulacao" << BranchPlain << false;
        QTest::newRow("nutritionist records") << Nutritionist << "SetServInte" << BranchAdjust << true;
        QTest::newRow("nutritionist copies") << Nutritionist << "CopiaFormulacao" << BranchAdjust << true;
    }
    void onlyNutritionistsOfTheBranchPrescribe()
    {
        QFETCH(QString, operatorCode);
        QFETCH(QString, method);
        QFETCH(QString, branch);
        QFETCH(bool, allowed);
        const QString today = iso(QDate::currentDate());
        const QJsonObject record{{"CDFILIAL", branch},          {"CDPACIENTE", AdultWithoutRecords},
                                 {"DTSERVINTE", today},          {"NRSEQUSERV", Sequence},
                                 {"DTINTERNA", admission().toString(Qt::ISODate)},
                                 {"CDSERVFILI", EnteralService}, {"CDDIETPAD", EnteralDiet}};
        if (method == QLatin1String("CopiaFormulacao") && allowed)
            QVERIFY(callServer(m_server->port(), QStringLiteral("SetServInte"), {changes({change("insert", {}, record)})})
                        .ok);
        const QJsonArray args = method == QLatin1String("SetServInte")
            ? QJsonArray{changes({change("insert", {}, record)})}
            : QJsonArray{AdultWithRecords, iso(recordDay()), Sequence, AdultWithoutRecords, today, Sequence, branch};
        const ServerResult result = callServerAs(operatorCode, m_server->port(), method, args);
        QCOMPARE(result.error, allowed ? QString() : QStringLiteral("Operador não está cadastrado como nutricionista."));
        const ServerResult items = callServer(m_server->port(), QStringLiteral("getConfesco"),
                                              {AdultWithoutRecords, Sequence, today, branch});
        QCOMPARE(rowObjects(items.data).isEmpty(), method == QLatin1String("SetServInte") || !allowed);
        const ServerResult records = callServer(m_server->port(), QStringLiteral("getServDia"),
                                                {AdultWithoutRecords, today, branch});
        QCOMPARE(rowObjects(records.data).size(), allowed ? 1 : 0);
    }

    // Logout ends the caller's session only; the token is refused afterwards.
    void logoutEndsTheSession()
    {
        const QString token = login(m_server->port(), Nutritionist, Password).data.toString();
        const QString other = login(m_server->port(), Nutritionist, Password).data.toString();
        QCOMPARE(status(QStringLiteral("Logout"), {}, token), 200);
        for (const QString &method : {QStringLiteral("getVerifViaAcesso"), QStringLiteral("Logout")}) {
            const auto [code, answer] = postRaw(m_server->port(), QStringLiteral("/rdmEntPat/") + method,
                                                argsBody(method == QLatin1String("Logout") ? QJsonArray{}
                                                                                           : QJsonArray{Route}),
                                                token);
            QCOMPARE(code, 401);
            QCOMPARE(ServerResult::fromJson(answer).error, SessionEnded);
        }
        QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, other), 200);
    }

    // A new password ends the operator's sessions opened with the old one
    // (another process sets it, as entpat-server --set-password does), and
    // no other operator's.
    void newPasswordEndsTheOperatorsSessions()
    {
        const QString before = login(m_server->port(), Nutritionist, Password).data.toString();
        const QString colleague = login(m_server->port(), OtherNutritionist, Password).data.toString();
        setPassword(Nutritionist);
        const QString after = login(m_server->port(), Nutritionist, NewPassword).data.toString();
        QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, before), 401);
        QCOMPARE(postRaw(m_server->port(), QStringLiteral("/echo"), argsBody({}), before).first, 401);
        QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, after), 200);
        QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, colleague), 200);
    }

    // Each login, refused or not, and each end of a session is kept with
    // its client (of the session's login, of the Logout call), newest
    // first; a refusal never opens a session. A new password's end is kept
    // when the server sees it: at the old session's next call, or at a
    // login with the new password.
    void loginHistory_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("newest");
        QTest::newRow("logout") << "logout" << QStringList{"saida encerrada 127.0.0.1"};
        QTest::newRow("idle time passes") << "idle" << QStringList{"saida expirada 127.0.0.2"};
        QTest::newRow("new password, then a call") << "password call" << QStringList{"saida nova senha 127.0.0.2"};
        QTest::newRow("new password, then a login")
            << "password login" << QStringList{"entrada aceita 127.0.0.1", "saida nova senha 127.0.0.2"};
    }
    void loginHistory()
    {
        QFETCH(QString, end);
        QFETCH(QStringList, newest);
        QVERIFY(!login(m_server->port(), NonNutritionist, QStringLiteral("errada")).ok);
        const QString token = login(m_server->port(), NonNutritionist, Password, 2).data.toString();
        if (end == QLatin1String("logout")) {
            QCOMPARE(status(QStringLiteral("Logout"), {}, token), 200);
        } else if (end == QLatin1String("idle")) {
            m_skippedSeconds += m_server->options().sessionIdleSeconds;
        } else {
            setPassword(NonNutritionist);
            if (end == QLatin1String("password call"))
                QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, token), 401);
            else
                QVERIFY(login(m_server->port(), NonNutritionist, NewPassword).ok);
        }
        QTRY_COMPARE(history(NonNutritionist),
                     newest + QStringList({"entrada aceita 127.0.0.2", "entrada recusada 127.0.0.1"}));
        QCOMPARE(status(QStringLiteral("getVerifViaAcesso"), {Route}, token), 401);
    }

    // Once an address is locked, its refusals are answered late and counted
    // rather than kept one by one: the first at once, the others of each
    // minute in one row with their number. Unknown operators are kept as
    // given.
    void lockedRefusalsAreCounted()
    {
        const QString unknown = QStringLiteral("NINGUEM");
        for (int i = 0; i < 5; ++i)
            QCOMPARE(login(m_server->port(), unknown, Password, 3).error, QStringLiteral("Usuário ou senha inválidos."));
        for (int i = 0; i < 4; ++i)
            QVERIFY(login(m_server->port(), unknown, Password, 3).error.startsWith(QLatin1String("Muitas tentativas")));
        const QStringList failures(5, QStringLiteral("entrada recusada 127.0.0.3"));
        QCOMPARE(history(unknown), QStringList{"entrada bloqueada 127.0.0.3"} + failures);
        m_skippedSeconds += 61;
        QTRY_COMPARE(history(unknown),
                     QStringList({"entrada bloqueada 127.0.0.3 x3", "entrada bloqueada 127.0.0.3"}) + failures);
    }
};

QTEST_GUILESS_MAIN(TestServerSessions)
#include "tst_serversessions.moc"
