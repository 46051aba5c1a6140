// Data packets read straight from their JSON text must read exactly as from a
// JSON document, and refuse what the document reading refuses.
#include "core/abort.h"
#include "core/jsonreader.h"
#include "core/packets.h"
#include "core/serverresult.h"

#include <QJsonDocument>
#include <QtTest>

class TestPacketText : public QObject
{
    Q_OBJECT

private slots:
    void readsAsTheDocument_data();
    void readsAsTheDocument();
    void refusesWhatIsNotAPacket_data();
    void refusesWhatIsNotAPacket();
    void answerWithAPacket_data();
    void answerWithAPacket();
    void answerWithABadPacket();
};

namespace {

const QByteArray kFields = R"("fields":[{"name":"T","type":"text","size":12},{"name":"I","type":"integer"},)"
                           R"({"name":"R","type":"real"},{"name":"D","type":"datetime"},{"name":"B","type":"boolean"}])";

QByteArray packet(const QByteArray &rows)
{
    return "{" + kFields + R"(,"rows":[)" + rows + "]}";
}

// Hands a text over a few bytes at a time, as an answer arriving in parts
// (cut anywhere: inside texts, numbers, literals and escapes).
class FeedInParts : public JsonFeed
{
public:
    FeedInParts(const QByteArray &text, qsizetype part) : m_text(text), m_part(part) {}
    bool more(QByteArray &text) override
    {
        text.append(m_text.mid(m_at, m_part));
        m_at += m_part;
        return m_at < m_text.size();
    }

private:
    QByteArray m_text;
    qsizetype m_part;
    qsizetype m_at = 0;
};

const qsizetype kPartSizes[] = {1, 2, 7};

DataPacket readInParts(const QByteArray &json, qsizetype part)
{
    FeedInParts feed(json, part);
    JsonReader reader(feed);
    try {
        DataPacket packet = DataPacket::read(reader);
        reader.expectEnd();
        return packet;
    } catch (const JsonSyntaxError &) {
        throw UserError(QStringLiteral("texto JSON inválido"));
    }
}

void compare(const DataPacket &read, const DataPacket &expected)
{
    QCOMPARE(read.fields.size(), expected.fields.size());
    for (int i = 0; i < read.fields.size(); ++i) {
        QCOMPARE(read.fields[i].name, expected.fields[i].name);
        QCOMPARE(read.fields[i].type, expected.fields[i].type);
        QCOMPARE(read.fields[i].size, expected.fields[i].size);
    }
    QCOMPARE(read.rows.size(), expected.rows.size());
    for (int row = 0; row < read.rows.size(); ++row) {
        for (int column = 0; column < read.rows[row].size(); ++column) {
            const QVariant &value = read.rows[row][column];
            const QVariant &wanted = expected.rows[row][column];
            QCOMPARE(value.typeId(), wanted.typeId());
            QCOMPARE(value, wanted);
            if (value.typeId() == QMetaType::QDateTime)
                QCOMPARE(value.toDateTime().timeSpec(), wanted.toDateTime().timeSpec());
        }
    }
}

} // namespace

void TestPacketText::readsAsTheDocument_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("values of every type")
        << packet(R"(["000000000012",3,250.125,"2026-12-07T08:30:00",true],["Conceição",null,null,null,false])");
    QTest::newRow("escapes") << packet(R"(["a\"b\\c\/d\n\t\u00e7\ud83d\ude00",-0,1e3,"2026-01-31T23:59:59",false])");
    QTest::newRow("white space")
        << QByteArray(" \n{ " + kFields + " ,\r\n \"rows\" : [ [ \"x\" , 1 , 2.5 , null , true ] ] }\t");
    QTest::newRow("integers beyond 32 bits")
        << packet(R"([null,4294967296,null,null,null],[null,-9007199254740992,null,null,null])");
    QTest::newRow("integer written with an exponent") << packet(R"([null,2e2,null,null,null])");
    QTest::newRow("other ISO forms of a date-time")
        << packet(R"([null,null,null,"2026-12-07T08:30",null],[null,null,null,"2026-12-07T08:30:00.250",null])");
    QTest::newRow("rows before fields, other members skipped")
        << QByteArray(R"({"rows":[["x",1,2,null,true]],"extra":{"a":[1,{"b":null}]},)" + kFields + "}");
    QTest::newRow("no rows") << packet("");
}

void TestPacketText::readsAsTheDocument()
{
    QFETCH(QByteArray, json);
    const DataPacket expected = DataPacket::fromJson(QJsonDocument::fromJson(json).object());
    compare(DataPacket::fromJsonText(json), expected);
    for (const qsizetype part : kPartSizes)
        compare(readInParts(json, part), expected);
}

void TestPacketText::refusesWhatIsNotAPacket_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("no fields") << QByteArray(R"({"rows":[]})");
    QTest::newRow("no rows") << QByteArray("{" + kFields + "}");
    QTest::newRow("not an object") << QByteArray("[]");
    QTest::newRow("unknown type") << QByteArray(R"({"fields":[{"name":"A","type":"blob"}],"rows":[]})");
    QTest::newRow("short row") << packet(R"(["x",1,2])");
    QTest::newRow("long row") << packet(R"(["x",1,2,null,true,7])");
    QTest::newRow("row not a list") << packet(R"("x")");
    QTest::newRow("number in a text") << packet(R"([1,1,2,null,true])");
    QTest::newRow("fraction in an integer") << packet(R"([null,1.5,null,null,null])");
    QTest::newRow("integer beyond 2^53") << packet(R"([null,18014398509481984,null,null,null])");
    QTest::newRow("text in a real") << packet(R"([null,null,"1,5",null,null])");
    QTest::newRow("impossible date") << packet(R"([null,null,null,"2026-02-31T00:00:00",null])");
    QTest::newRow("number in a boolean") << packet(R"([null,null,null,null,1])");
    QTest::newRow("list in a text") << packet(R"([["x"],null,null,null,null])");
    QTest::newRow("truncated") << packet(R"(["x",1,2,null,true])").chopped(3);
    QTest::newRow("text after the packet") << packet("") + " x";
    QTest::newRow("unterminated text") << packet(R"(["x)");
    QTest::newRow("control character in a text") << packet("[\"a\tb\",null,null,null,null]");
    QTest::newRow("bad escape") << packet(R"(["\x",null,null,null,null])");
    QTest::newRow("short unicode escape") << packet(R"(["\u00e",null,null,null,null])");
    QTest::newRow("missing comma") << packet(R"(["x" 1,2,null,true])");
    QTest::newRow("trailing comma") << packet(R"(["x",1,2,null,true,])");
    QTest::newRow("bare word") << packet(R"([nul,1,2,null,true])");
    QTest::newRow("leading zero") << packet(R"([null,01,null,null,null])");
    QTest::newRow("fraction without digits") << packet(R"([null,null,1.,null,null])");
    QTest::newRow("deep nesting") << QByteArray(R"({"x":)" + QByteArray(100000, '[') + "}");
}

void TestPacketText::refusesWhatIsNotAPacket()
{
    QFETCH(QByteArray, json);
    QVERIFY_THROWS_EXCEPTION(UserError, DataPacket::fromJsonText(json));
    for (const qsizetype part : kPartSizes)
        QVERIFY_THROWS_EXCEPTION(UserError, readInParts(json, part));
}

void TestPacketText::answerWithAPacket_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("rows");

    const QByteArray rows = packet(R"(["x",1,2,null,true],["y",2,3,null,false])");
    QTest::newRow("success") << QByteArray(R"({"ok":true,"data":)" + rows + "}") << true << QString() << 2;
    QTest::newRow("data before the flag") << QByteArray(R"({"data":)" + rows + R"(,"ok":true})") << true
                                          << QString() << 2;
    QTest::newRow("refused after its data") << QByteArray(R"({"data":)" + rows + R"(,"ok":false,"error":"Falhou."})")
                                            << false << QStringLiteral("Falhou.") << 0;
    QTest::newRow("refusal") << QByteArray(R"({"ok":false,"error":"Serviço já cadastrado."})") << false
                             << QStringLiteral("Serviço já cadastrado.") << 0;
    QTest::newRow("refusal without text") << QByteArray(R"({"ok":false})") << false
                                          << QStringLiteral("O servidor de aplicação recusou a operação.") << 0;
    QTest::newRow("not JSON") << QByteArray("<html>") << false
                              << QStringLiteral("Resposta inválida do servidor de aplicação.") << 0;
    QTest::newRow("cut short") << QByteArray(R"({"ok":true,"data":)" + rows).chopped(20) << false
                               << QStringLiteral("Resposta inválida do servidor de aplicação.") << 0;
    QTest::newRow("no flag") << QByteArray(R"({"data":)" + rows + "}") << false
                             << QStringLiteral("Resposta inválida do servidor de aplicação.") << 0;
}

void TestPacketText::answerWithAPacket()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(int, rows);
    DataPacket read;
    const ServerResult result = ServerResult::fromPacketJson(body, read);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error, error);
    QCOMPARE(read.rows.size(), rows);
    if (ok)
        QVERIFY(result.data.isUndefined());
    for (const qsizetype part : kPartSizes) {
        FeedInParts feed(body, part);
        JsonReader reader(feed);
        DataPacket fed;
        const ServerResult inParts = ServerResult::fromPacketJson(reader, fed);
        QCOMPARE(inParts.ok, ok);
        QCOMPARE(inParts.error, error);
        QCOMPARE(fed.rows.size(), rows);
    }
}

void TestPacketText::answerWithABadPacket()
{
    DataPacket read;
    QVERIFY_THROWS_EXCEPTION(UserError, ServerResult::fromPacketJson(R"({"ok":true,"data":{"rows":[]}})", read));
    QVERIFY_THROWS_EXCEPTION(UserError, ServerResult::fromPacketJson(R"({"ok":true})", read));
}

QTEST_GUILESS_MAIN(TestPacketText)
#include "tst_packettext.moc"
