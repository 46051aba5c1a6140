// The stand-alone server as an operator starts it: options checked before
// anything runs, a taken port, databases it must not start on (each left as
// it was), and the log it writes on standard error.
#include "fixturedb.h"
#include "fixturepackets.h"
#include "processrun.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "fixtureserver.h"
#include "core/serverresult.h"

using namespace Fixture;

namespace {

constexpr int exitCannotStart = 1;
constexpr int exitUsage = 2;

QString serverProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/entpat-server");
}

// Runs the server expecting it to end by itself (a refused start).
Finished runServer(const QStringList &arguments, const QByteArray &input = {})
{
    return runToEnd(serverProgram(), arguments, input);
}

// What a file is now: absent, or its content's digest and its time.
QString fileState(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return QStringLiteral("absent");
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unreadable");
    return QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex())
        + QFileInfo(path).lastModified().toString(Qt::ISODateWithMs);
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A call with the given session token; the HTTP status.
int post(int port, const QString &method, const QJsonArray &args, const QString &token)
{
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
    return postRaw(port, QStringLiteral("/rdmEntPat/") + method, body, token).first;
}

// Runs --set-password on the database with `input` on standard input.
Finished setPassword(const QString &database, const QString &operatorCode, const QByteArray &input)
{
    return runServer({QStringLiteral("--database"), database, QStringLiteral("--log-level"), QStringLiteral("nenhum"),
                      QStringLiteral("--set-password"), operatorCode},
                     input);
}

} // namespace

class TestServerStart : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_database;

private slots:
    void initTestCase()
    {
        QVERIFY(QFileInfo::exists(serverProgram()));
        m_database = m_dir.filePath(QStringLiteral("suite.db"));
        Fixture::build(m_database);
    }

    void optionMistakes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("port out of range") << QStringList{"--port", "99999"} << "valor inválido para --port";
        QTest::newRow("port not a number") << QStringList{"--port", "abc"} << "valor inválido para --port: \"abc\"";
        QTest::newRow("patients not a number") << QStringList{"--demo-patients", "abc"} << "valor inválido para --demo-patients";
        QTest::newRow("no database workers") << QStringList{"--db-workers", "0"} << "valor inválido para --db-workers";
        QTest::newRow("unknown log level") << QStringList{"--log-level", "verbose"} << "nível de registro desconhecido";
        QTest::newRow("unknown option") << QStringList{"--porta", "1"} << "porta";
        QTest::newRow("stray argument") << QStringList{"8080"} << "argumento inesperado: 8080";
        QTest::newRow("certificate without key") << QStringList{"--tls-cert", "/tmp/cert.pem"} << "juntos";
        QTest::newRow("no session idle time") << QStringList{"--session-idle", "0"} << "valor inválido para --session-idle";
    }
    void optionMistakes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Finished run = runServer(QStringList{"--database", m_database} + arguments);
        QCOMPARE(run.exitCode, exitUsage);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
        QVERIFY2(!run.output.contains(QStringLiteral("Unknown")), qPrintable(run.output));
    }

    void versionAndHelp()
    {
        const Finished version = runServer({QStringLiteral("--version")});
        QCOMPARE(version.exitCode, 0);
        QVERIFY2(version.output.contains(QRegularExpression(QStringLiteral("entpat-server \\d+\\.\\d+"))),
                 qPrintable(version.output));
        const Finished help = runServer({QStringLiteral("--help")});
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.output.contains(QStringLiteral("--create")), qPrintable(help.output));
    }

    void secondServerOnATakenPort()
    {
        FixtureServer first;
        QVERIFY2(first.start(), qPrintable(first.error()));
        const Finished second = runServer({QStringLiteral("--database"), m_database, QStringLiteral("--port"),
                                          QString::number(first.port())});
        QCOMPARE(second.exitCode, exitCannotStart);
        QVERIFY2(second.output.contains(QStringLiteral("já está em uso")), qPrintable(second.output));
        QVERIFY(callServer(first.port(), QStringLiteral("getVerifViaAcesso"), {Route}).ok);
    }

    void wrongDatabases_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing file") << "missing" << "não existe";
        QTest::newRow("empty name") << "empty" << "Informe o banco de dados";
        QTest::newRow("read-only file") << "read-only" << "somente leitura";
        QTest::newRow("not a database") << "text" << "não é um banco de dados SQLite";
        QTest::newRow("folder") << "folder" << "é uma pasta";
        QTest::newRow("no tables") << "no tables" << "não contém as tabelas";
    }
    void wrongDatabases()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("suite.db"));
        if (kind == QLatin1String("empty")) {
            path.clear();
        } else if (kind == QLatin1String("read-only")) {
            QVERIFY(QFile::copy(m_database, path));
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        } else if (kind == QLatin1String("text")) {
            writeFile(path, "CDFILIAL;CDPACIENTE\n0001;000000000104\n");
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(path));
        } else if (kind == QLatin1String("no tables")) {
            writeFile(path, {});
        }
        const QString before = fileState(path);
        const Finished run = runServer({QStringLiteral("--database"), path});
        QCOMPARE(run.exitCode, exitCannotStart);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
        QCOMPARE(fileState(path), before);
        QVERIFY2(!QFileInfo::exists(path + QStringLiteral("-wal")), "a journal was left next to the file");
    }

    // One line per call with its fields and the operator of its session, an
    // error line for each refusal, and neither a token, a password nor
    // clinical text.
    void logOfCalls()
    {
        const QString observation = QStringLiteral("Paciente relata náusea após a dieta");
        const QString wrongPassword = QStringLiteral("s3nh4-3rr4d4");
        QProcess server;
        server.start(serverProgram(), {QStringLiteral("--database"), m_database, QStringLiteral("--log-level"),
                                       QStringLiteral("info")});
        QVERIFY(server.waitForReadyRead(20000));
        const QString listening = QString::fromUtf8(server.readLine()).trimmed();
        const int port = listening.section(QLatin1Char(':'), -1).toInt();
        QVERIFY2(port > 0, qPrintable(listening));
        QVERIFY(!login(port, Nutritionist, wrongPassword).ok);
        const QString token = sessionToken(port);
        QVERIFY(!token.isEmpty());

        QJsonObject item = newItem(QStringLiteral("0100"));
        item[QStringLiteral("DSOBSCONF")] = observation;
        QJsonObject tooLong = newItem(QStringLiteral("0101"));
        tooLong[QStringLiteral("DSOBSCONF")] = observation.repeated(10);
        QCOMPARE(post(port, QStringLiteral("getVerifViaAcesso"), {Route}, token), 200);
        QCOMPARE(post(port, QStringLiteral("SetConfesco"), {changes({change("insert", {}, item)})}, token), 200);
        QCOMPARE(post(port, QStringLiteral("SetConfesco"), {changes({change("insert", {}, tooLong)})}, token), 200);
        QCOMPARE(post(port, QStringLiteral("getVeriServ"), {Route}, token), 200);
        QCOMPARE(post(port, QStringLiteral("getVerifViaAcesso"), {Route}, forgedToken(token)), 401);
        QCOMPARE(post(port, QStringLiteral("Logout"), {}, token), 200);
        server.terminate();
        QVERIFY(server.waitForFinished(20000));
        QCOMPARE(server.exitCode(), 0);

        const QString log = QString::fromUtf8(server.readAllStandardError());
        QVERIFY2(!log.contains(token), qPrintable(log));
        QVERIFY2(!log.contains(wrongPassword) && !log.contains(Password), qPrintable(log));
        QVERIFY2(!log.contains(observation), qPrintable(log));
        const QRegularExpression callLine(QStringLiteral(
            R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3} (INFO|ERRO) chamada 127\.0\.0\.1 operador=(\S+) (\w+) (ok|recusada) \d+\.\d ms)"));
        QStringList calls;
        for (const QString &line : log.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QRegularExpressionMatch match = callLine.match(line);
            if (!match.hasMatch())
                continue;
            QCOMPARE(match.captured(1) == QLatin1String("ERRO"), match.captured(4) == QLatin1String("recusada"));
            calls.append(QStringList{match.captured(2), match.captured(3), match.captured(4)}.join(QLatin1Char(' ')));
        }
        QCOMPARE(calls, QStringList({"NUTRI01 Login recusada", "NUTRI01 Login ok", "NUTRI01 getVerifViaAcesso ok",
                                     "NUTRI01 SetConfesco ok", "NUTRI01 SetConfesco recusada",
                                     "NUTRI01 getVeriServ recusada", "- getVerifViaAcesso recusada",
                                     "NUTRI01 Logout ok"}));
        QVERIFY2(log.contains(QStringLiteral("DSOBSCONF aceita no máximo")), qPrintable(log));
        QVERIFY2(log.contains(QStringLiteral("sem sessão válida")), qPrintable(log));
    }

    // The new password is read from standard input and is the only one the
    // operator logs in with afterwards, and the running server ends the
    // sessions opened with the old one; mistakes change nothing.
    void setPasswordFromStandardInput_data()
    {
        QTest::addColumn<QString>("operatorCode");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("passwordAfter");
        QTest::newRow("new password") << Nutritionist << QByteArray("n0va senha\n") << 0 << "gravada" << "n0va senha";
        QTest::newRow("unknown operator") << "NINGUEM" << QByteArray("n0va senha\n") << exitCannotStart
                                          << "Operador desconhecido: NINGUEM" << Password;
        QTest::newRow("empty password") << Nutritionist << QByteArray("\n") << exitCannotStart
                                        << "não pode ser vazia" << Password;
    }
    void setPasswordFromStandardInput()
    {
        QFETCH(QString, operatorCode);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        QFETCH(QString, passwordAfter);
        FixtureServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString session = login(server.port(), Nutritionist, Password).data.toString();
        const Finished run = setPassword(server.database(), operatorCode, input);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
        QCOMPARE(post(server.port(), QStringLiteral("getVerifViaAcesso"), {Route}, session),
                 passwordAfter == Password ? 200 : 401);
        QVERIFY(login(server.port(), Nutritionist, passwordAfter).ok);
        if (passwordAfter != Password)
            QVERIFY(!login(server.port(), Nutritionist, Password).ok);
    }
};

QTEST_GUILESS_MAIN(TestServerStart)
#include "tst_serverstart.moc"
