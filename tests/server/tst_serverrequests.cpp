// What the server does with requests that are not well-formed calls, its
// listening rules, and the one reader of code lists.
#include "lib/codelist.h"
#include "lib/database.h"
#include "lib/entpatserver.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "lib/requesterror.h"
#include "core/serverresult.h"

#include <QJsonArray>
#include <QTest>

using namespace Fixture;

class TestServerRequests : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;

private slots:
    void init()
    {
        m_server = std::make_unique<FixtureServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
    }
    void cleanup() { m_server.reset(); }

    void badRequestsGetAMessage_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("message");
        QTest::newRow("malformed JSON") << "/rdmEntPat/getVeriServ" << QByteArray("{\"args\":[") << "não é JSON válido";
        QTest::newRow("not an object") << "/rdmEntPat/getVeriServ" << QByteArray("[1,2]") << "{\"args\":[...]}";
        QTest::newRow("args not a list") << "/rdmEntPat/getVeriServ" << QByteArray("{\"args\":\"x\"}") << "{\"args\":[...]}";
        QTest::newRow("unknown method") << "/rdmEntPat/dropTables" << QByteArray("{\"args\":[]}") << "Método desconhecido";
        QTest::newRow("unknown route") << "/other" << QByteArray("{}") << "Recurso desconhecido";
        QTest::newRow("too few arguments") << "/rdmEntPat/getVeriServ" << QByteArray("{\"args\":[\"00010\"]}")
                                           << "espera 2 argumento(s) e recebeu 1";
        QTest::newRow("too many arguments") << "/rdmEntPat/getVerifViaAcesso" << QByteArray("{\"args\":[\"1\",\"2\"]}")
                                            << "espera 1 argumento(s)";
        QTest::newRow("number for a text") << "/rdmEntPat/getVeriServ" << QByteArray("{\"args\":[10,\"0001\"]}")
                                           << "argumento 1 de getVeriServ deve ser um texto";
        QTest::newRow("bad date") << "/rdmEntPat/getServInte" << QByteArray("{\"args\":[\"1\",\"ontem\",\"0001\"]}")
                                  << "deve ser uma data e hora";
        QTest::newRow("text for a packet") << "/rdmEntPat/SetConfesco" << QByteArray("{\"args\":[\"x\"]}")
                                           << "deve ser um pacote de alterações";
        QTest::newRow("unknown change kind") << "/rdmEntPat/SetConfesco"
                                             << QByteArray("{\"args\":[{\"changes\":[{\"kind\":\"upsert\"}]}]}")
                                             << "tipo de alteração desconhecido";
        QTest::newRow("body too large") << "/rdmEntPat/getVeriServ"
                                        << QByteArray("{\"args\":[\"") + QByteArray(5 * 1024 * 1024, 'x') + "\",\"0001\"]}"
                                        << "grande demais";
    }
    void badRequestsGetAMessage()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, body);
        QFETCH(QString, message);
        const auto [status, answer] = postRaw(m_server->port(), path, body);
        const ServerResult result = ServerResult::fromJson(answer);
        QVERIFY2(!result.ok, answer.constData());
        QVERIFY2(result.error.contains(message), qPrintable(result.error));
        // The server is still there and answers a good call.
        QVERIFY(callServer(m_server->port(), QStringLiteral("getVerifViaAcesso"), {Route}).ok);
        Q_UNUSED(status);
    }

    void echoAnswersItsArguments()
    {
        const auto [status, answer] = postRaw(m_server->port(), QStringLiteral("/echo"), "{\"args\":[\"a\",1,null]}");
        QCOMPARE(status, 200);
        const ServerResult result = ServerResult::fromJson(answer);
        QVERIFY(result.ok);
        QCOMPARE(result.data.toArray(), QJsonArray({"a", 1, QJsonValue()}));
    }

    void otherInterfacesNeedHttps()
    {
        EntPatServerOptions options;
        options.database = m_server->database();
        options.listenAddress = QStringLiteral("0.0.0.0");
        options.logLevel = LogLevel::Off;
        EntPatServer server(options);
        QString error;
        QVERIFY(!server.start(&error));
        QVERIFY2(error.contains(QStringLiteral("exigem HTTPS")), qPrintable(error));
    }

    void unreadableDatabaseIsReported()
    {
        EntPatServerOptions options;
        options.database = QStringLiteral("/nonexistent/folder/suite.db");
        options.create = true;
        options.logLevel = LogLevel::Off;
        EntPatServer server(options);
        QString error;
        QVERIFY(!server.start(&error));
        QVERIFY2(error.contains(QStringLiteral("A pasta /nonexistent/folder não existe")), qPrintable(error));
    }

    // PostgreSQL URLs: the client library's parameters pass, anything else
    // is refused, and no message or description shows the password.
    void databaseUrls_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");   // connection options, or the refusal's message
        QTest::newRow("socket and port") << "postgresql://u:s3nha@/suite?host=/run/pg&port=5433"
                                         << "host=/run/pg port=5433 dbname=suite";
        QTest::newRow("tls and password file")
            << "postgresql://u@db/suite?sslmode=verify-full&passfile=/etc/entpat/pgpass&connect_timeout=2"
            << "host=db port=-1 dbname=suite sslmode=verify-full passfile=/etc/entpat/pgpass connect_timeout=2";
        QTest::newRow("unknown parameter") << "postgresql://u:s3nha@db/suite?sslmod=require" << "Parâmetro não aceito";
        QTest::newRow("blank in a value") << "postgresql://u@db/suite?application_name=a%20b" << "Parâmetro não aceito";
        QTest::newRow("port out of range") << "postgresql://u:s3nha@/suite?host=/run/pg&port=99999" << "Porta inválida";
        QTest::newRow("no database name") << "postgresql://u:s3nha@db/" << "Endereço do banco de dados sem o nome do banco";
        QTest::newRow("not a URL") << "postgresql://u:s3nha@db:porta/suite" << "Endereço do banco de dados inválido";
    }
    void databaseUrls()
    {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        QString outcome;
        try {
            const DatabaseConfig config = DatabaseConfig::parse(url);
            QVERIFY(!config.describe().contains(QStringLiteral("s3nha")));
            outcome = (QStringList{QStringLiteral("host=") + config.host, QStringLiteral("port=%1").arg(config.port),
                                   QStringLiteral("dbname=") + config.name}
                       + config.connectOptions)
                          .join(QLatin1Char(' '));
        } catch (const RequestError &failure) {
            outcome = failure.text();
        }
        QVERIFY2(outcome.startsWith(expected), qPrintable(outcome));
        QVERIFY2(!outcome.contains(QStringLiteral("s3nha")), qPrintable(outcome));
    }

    void codeLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("codes");
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("blank") << "  " << QStringList();
        QTest::newRow("one") << "'0001'" << QStringList{"0001"};
        QTest::newRow("several") << "'0001','0002', '0003'" << QStringList{"0001", "0002", "0003"};
        QTest::newRow("doubled quote") << "'A''B','C'" << QStringList{"A'B", "C"};
        QTest::newRow("empty code") << "''" << QStringList{""};
        QTest::newRow("comma and semicolon inside") << "'a,b;c'" << QStringList{"a,b;c"};
        QTest::newRow("sql inside") << "'x'' OR ''1''=''1'" << QStringList{"x' OR '1'='1"};
    }
    void codeLists()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, codes);
        QCOMPARE(parseCodeList(text), codes);
    }

    void malformedCodeLists_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("unquoted") << "0001,0002";
        QTest::newRow("unterminated") << "'0001";
        QTest::newRow("single quote inside") << "'A'B'";
        QTest::newRow("trailing comma") << "'0001',";
        QTest::newRow("missing comma") << "'0001' '0002'";
    }
    void malformedCodeLists()
    {
        QFETCH(QString, text);
        QVERIFY_THROWS_EXCEPTION(RequestError, parseCodeList(text));
    }
};

QTEST_GUILESS_MAIN(TestServerRequests)
#include "tst_serverrequests.moc"
