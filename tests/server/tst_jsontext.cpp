// The server's hand-written JSON: every text and number it writes must read
// back through QJsonDocument as the value it was given, and a packet must
// read back as the one the Qt JSON classes would have built.
#include "lib/jsontext.h"
#include "lib/packetwriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <limits>

namespace {

QJsonValue parsed(const QByteArray &json, QJsonParseError *error)
{
    // A bare value is not a document: read it as the only element of an array.
    return QJsonDocument::fromJson('[' + json + ']', error).array().first();
}

QString allControlCharacters()
{
    QString text;
    for (char16_t c = 0; c < 0x20; ++c)
        text += QChar(c);
    return text;
}

} // namespace

class TestJsonText : public QObject
{
    Q_OBJECT

private slots:
    void stringsReadBackUnchanged_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("plain") << QStringLiteral("Leito 12 - andar 2");
        QTest::newRow("quotes and backslashes") << QStringLiteral(R"(a "b" \c\\ \"d\" 'e')");
        QTest::newRow("every control character") << allControlCharacters();
        QTest::newRow("controls between letters") << QStringLiteral("a\nb\tc\rd\be\ff\x01g\x1fh");
        QTest::newRow("delete character") << QStringLiteral("a\x7f" "b");
        QTest::newRow("accents") << QStringLiteral("Fábio D'Ávila, São João, Conceição");
        QTest::newRow("accent at either end") << QStringLiteral("ÉmileÇ");
        QTest::newRow("outside the basic plane") << QStringLiteral("sopa \U0001F372 morna \U0001F600");
        QTest::newRow("line and paragraph separators") << QStringLiteral("a\u2028b\u2029c");
        QTest::newRow("sql text") << QStringLiteral("'; DROP TABLE PACIENTE; --");
        QTest::newRow("json-looking text") << QStringLiteral(R"({"ok":false,"rows":[null]})");
    }

    void stringsReadBackUnchanged()
    {
        QFETCH(QString, text);
        QByteArray json("prefix");
        appendJsonString(json, text);
        QVERIFY(json.startsWith("prefix\""));
        for (const char byte : json)
            QVERIFY2(static_cast<unsigned char>(byte) >= 0x20, "raw control character in the output");
        QJsonParseError error;
        const QJsonValue value = parsed(json.mid(6), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(value.toString(), text);
    }

    void numbersReadBackUnchanged_data()
    {
        QTest::addColumn<double>("number");
        QTest::newRow("zero") << 0.0;
        QTest::newRow("whole") << 55.0;
        QTest::newRow("fraction") << 62.5;
        QTest::newRow("negative") << -1.25;
        QTest::newRow("not exact in binary") << 0.1;
        QTest::newRow("large") << 1e300;
        QTest::newRow("small") << 2.5e-300;
    }

    void numbersReadBackUnchanged()
    {
        QFETCH(double, number);
        QByteArray json;
        appendJsonNumber(json, number);
        QJsonParseError error;
        QCOMPARE(parsed(json, &error).toDouble(), number);
        QCOMPARE(error.error, QJsonParseError::NoError);
    }

    void numbersJsonCannotCarryAreNull()
    {
        for (const double number : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity()}) {
            QByteArray json;
            appendJsonNumber(json, number);
            QCOMPARE(json, QByteArray("null"));
        }
    }

    void packetReadsBackAsTheQtBuiltOne()
    {
        const PacketColumns columns = {
            textColumn(QStringLiteral("NMPACIENTE"), 80), realColumn(QStringLiteral("NRSERVPESO")),
            dateColumn(QStringLiteral("DTINTERNA")),      {QStringLiteral("QTITENS"), PacketType::Integer, 0},
            {QStringLiteral("IDATIVO"), PacketType::Boolean, 0},
        };
        const QVector<SqlRow> rows = {
            {QStringLiteral("Fábio \"Bino\" D'Ávila\n"), 62.5, QStringLiteral("2026-12-05T08:30:00"), 3, true},
            // Empty text and a date stored with a blank for the T; a date-time
            // value as PostgreSQL hands it back.
            {QString(), QVariant(), QStringLiteral("2026-12-05 08:30:00"), QVariant(), false},
            {QStringLiteral("x"), 0.0, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)), -7, QVariant()},
            // Not a date, then a row missing its last values.
            {QStringLiteral("y"), -1.5, QStringLiteral("2026-13-40T99:00:00")},
        };
        QJsonParseError error;
        const QJsonObject packet = QJsonDocument::fromJson(makePacket(columns, rows), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);

        const QJsonArray fields{
            QJsonObject{{"name", "NMPACIENTE"}, {"type", "text"}, {"size", 80}},
            QJsonObject{{"name", "NRSERVPESO"}, {"type", "real"}},
            QJsonObject{{"name", "DTINTERNA"}, {"type", "datetime"}},
            QJsonObject{{"name", "QTITENS"}, {"type", "integer"}},
            QJsonObject{{"name", "IDATIVO"}, {"type", "boolean"}},
        };
        const QJsonArray expectedRows{
            QJsonArray{"Fábio \"Bino\" D'Ávila\n", 62.5, "2026-12-05T08:30:00", 3, true},
            QJsonArray{QJsonValue(), QJsonValue(), "2026-12-05T08:30:00", QJsonValue(), false},
            QJsonArray{"x", 0.0, "2026-01-02T03:04:05", -7, QJsonValue()},
            QJsonArray{"y", -1.5, QJsonValue(), QJsonValue(), QJsonValue()},
        };
        QCOMPARE(packet.value("fields").toArray(), fields);
        QCOMPARE(packet.value("rows").toArray(), expectedRows);
    }

    void emptyPacketHasFieldsAndNoRows()
    {
        const QJsonObject packet = QJsonDocument::fromJson(makePacket({textColumn("CDSEQUCOPR", 4)}, {})).object();
        QCOMPARE(packet.value("fields").toArray().size(), 1);
        QVERIFY(packet.value("rows").isArray());
        QVERIFY(packet.value("rows").toArray().isEmpty());
    }

    void arrayOfWrittenValues()
    {
        const QByteArray json = jsonArray({QByteArray("{\"a\":1}"), jsonNull(), QByteArray("\"b\"")});
        QCOMPARE(QJsonDocument::fromJson(json).array(), (QJsonArray{QJsonObject{{"a", 1}}, QJsonValue(), "b"}));
        QCOMPARE(jsonArray({}), QByteArray("[]"));
    }
};

QTEST_GUILESS_MAIN(TestJsonText)
#include "tst_jsontext.moc"
