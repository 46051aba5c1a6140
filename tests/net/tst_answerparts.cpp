// A branch's list of hundreds of inpatients is sent in parts as the server
// reads its rows, and the client connection reads the parts as they arrive:
// the packet is the same as answered whole.
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "core/velunor.h"
#include "lib/database.h"
#include "lib/demodata.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

using namespace Fixture;

class TestAnswerParts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(); }
    void cleanup()
    {
        operatorContext().webToken.clear();
        m_server.reset();
    }

    void largeListsArriveInPartsAsAnsweredWhole();

private:
    std::unique_ptr<FixtureServer> m_server;
};

namespace {

void addInpatients(const QString &database, int count)
{
    SqlSession session(DatabaseConfig::parse(database), QStringLiteral("test-patients"));
    Transaction transaction(session);
    const QDateTime admission = QDateTime::currentDateTime().addDays(-3);
    for (int i = 0; i < count; ++i)
        DemoData::addInpatient(session, BranchAdjust, QStringLiteral("9%1").arg(i, 11, 10, QLatin1Char('0')),
                               QStringLiteral("Paciente \"%1\" de Conceição").arg(i), QDate(1940, 1, 1).addDays(i * 7),
                               admission, 1000 + i, QStringLiteral("APT"));
    transaction.commit();
}

QByteArray requestBody(const QJsonArray &args)
{
    return QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
}

} // namespace

void TestAnswerParts::largeListsArriveInPartsAsAnsweredWhole()
{
    const int added = 1500;   // every list past a part of 64 KB
    addInpatients(m_server->database(), added);
    const QJsonArray wholeList = {"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), BranchAdjust};
    const QList<QPair<QString, QJsonArray>> calls = {{QStringLiteral("getPaciFiltro"), wholeList},
                                                     {QStringLiteral("getPesqPaci"), {BranchAdjust}},
                                                     {QStringLiteral("GetInternados"), {BranchAdjust}}};

    httplib::Client http("127.0.0.1", m_server->port());
    const QByteArray login = requestBody({Nutritionist, Password});
    const auto logged = http.Post("/rdmEntPat/Login", login.constData(), size_t(login.size()), "application/json");
    QVERIFY(logged);
    const QString token = ServerResult::fromJson(QByteArray::fromStdString(logged->body)).data.toString();
    QVERIFY(!token.isEmpty());
    const httplib::Headers headers = {{"Authorization", "Bearer " + token.toStdString()}};

    TNetConnection net;
    net.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    net.SetHost(QStringLiteral("127.0.0.1"));
    net.SetPort(m_server->port());
    net.SetToken(token);

    for (const auto &[method, args] : calls) {
        // The first answer is whole; it tells the server the method's answers are large.
        const QByteArray body = requestBody(args);
        const std::string path = "/rdmEntPat/" + method.toStdString();
        const auto first = http.Post(path, headers, body.constData(), size_t(body.size()), "application/json");
        QVERIFY(first);
        QVERIFY2(!first->has_header("Transfer-Encoding"), qPrintable(method));
        const DataPacket expected =
            DataPacket::fromJson(ServerResult::fromJson(QByteArray::fromStdString(first->body)).data);
        QVERIFY2(expected.rows.size() > added, qPrintable(method));

        const auto inParts = http.Post(path, headers, body.constData(), size_t(body.size()), "application/json");
        QVERIFY(inParts);
        QCOMPARE(inParts->get_header_value("Transfer-Encoding"), std::string("chunked"));
        const DataPacket parts =
            DataPacket::fromJson(ServerResult::fromJson(QByteArray::fromStdString(inParts->body)).data);
        DataPacket read;
        const ServerResult result = net.CallPacket(method, args, read);
        QVERIFY2(result.ok, qPrintable(result.error));
        for (const DataPacket *packet : {&parts, static_cast<const DataPacket *>(&read)}) {
            QCOMPARE(packet->fields.size(), expected.fields.size());
            for (int i = 0; i < expected.fields.size(); ++i)
                QCOMPARE(packet->fields.at(i).name, expected.fields.at(i).name);
            QCOMPARE(packet->rows, expected.rows);
        }
    }
}

QTEST_GUILESS_MAIN(TestAnswerParts)
#include "tst_answerparts.moc"
