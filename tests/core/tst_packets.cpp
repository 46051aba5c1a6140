#include "core/abort.h"
#include "core/packets.h"

#include <QJsonDocument>
#include <QtTest>

class TestPackets : public QObject
{
    Q_OBJECT

private slots:
    void dataPacketWireForm();
    void dataPacketRoundTrip();
    void malformedDataPacket_data();
    void malformedDataPacket();
    void changePacketRoundTrip();
    void malformedChangePacket_data();
    void malformedChangePacket();
};

namespace {

QJsonValue parse(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("bad test JSON: %s", qPrintable(error.errorString()));
    return document.object();
}

DataPacket samplePacket()
{
    DataPacket packet;
    packet.fields = {{QStringLiteral("CDPACIENTE"), FieldType::Text, 12},
                     {QStringLiteral("NRSEQUSERV"), FieldType::Integer, 0},
                     {QStringLiteral("QTINFUCONF"), FieldType::Real, 0},
                     {QStringLiteral("DTSERVINTE"), FieldType::DateTime, 0},
                     {QStringLiteral("IDATIVO"), FieldType::Boolean, 0}};
    packet.rows = {{QStringLiteral("000000000012"), 3, 250.125,
                    QDateTime(QDate(2026, 12, 7), QTime(8, 30)), true},
                   {QStringLiteral("Conceição"), QVariant(), QVariant(), QVariant(), false}};
    return packet;
}

} // namespace

void TestPackets::dataPacketWireForm()
{
    const QJsonObject json = samplePacket().toJson();
    const QByteArray expected = R"({"fields":[
        {"name":"CDPACIENTE","size":12,"type":"text"},
        {"name":"NRSEQUSERV","size":0,"type":"integer"},
        {"name":"QTINFUCONF","size":0,"type":"real"},
        {"name":"DTSERVINTE","size":0,"type":"datetime"},
        {"name":"IDATIVO","size":0,"type":"boolean"}],
      "rows":[["000000000012",3,250.125,"2026-12-07T08:30:00",true],
              ["Conceição",null,null,null,false]]})";
    QCOMPARE(json, parse(expected).toObject());
}

void TestPackets::dataPacketRoundTrip()
{
    const DataPacket original = samplePacket();
    const QByteArray wire = QJsonDocument(original.toJson()).toJson(QJsonDocument::Compact);
    const DataPacket read = DataPacket::fromJson(parse(wire));

    QCOMPARE(read.fields.size(), original.fields.size());
    for (int i = 0; i < read.fields.size(); ++i) {
        QCOMPARE(read.fields[i].name, original.fields[i].name);
        QCOMPARE(read.fields[i].type, original.fields[i].type);
        QCOMPARE(read.fields[i].size, original.fields[i].size);
    }
    QCOMPARE(read.rows, original.rows);
    QCOMPARE(read.rows[0][3].typeId(), QMetaType::QDateTime);
    QCOMPARE(read.rows[0][3].toDateTime().timeSpec(), Qt::LocalTime);
    QVERIFY(!read.rows[1][1].isValid());
    QCOMPARE(read.indexOf(QStringLiteral("dtservinte")), 3);
    QCOMPARE(read.indexOf(QStringLiteral("ABSENT")), -1);
}

void TestPackets::malformedDataPacket_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("no fields") << QByteArray(R"({"rows":[]})");
    QTest::newRow("no rows") << QByteArray(R"({"fields":[]})");
    QTest::newRow("unknown type") << QByteArray(R"({"fields":[{"name":"A","type":"blob"}],"rows":[]})");
    QTest::newRow("nameless field") << QByteArray(R"({"fields":[{"type":"text"}],"rows":[]})");
    QTest::newRow("short row") << QByteArray(R"({"fields":[{"name":"A","type":"text"},{"name":"B","type":"text"}],"rows":[["x"]]})");
    QTest::newRow("row not a list") << QByteArray(R"({"fields":[{"name":"A","type":"text"}],"rows":["x"]})");
    QTest::newRow("number in a text") << QByteArray(R"({"fields":[{"name":"A","type":"text"}],"rows":[[1]]})");
    QTest::newRow("fraction in an integer") << QByteArray(R"({"fields":[{"name":"A","type":"integer"}],"rows":[[1.5]]})");
    QTest::newRow("text in a real") << QByteArray(R"({"fields":[{"name":"A","type":"real"}],"rows":[["1,5"]]})");
    QTest::newRow("bad date-time") << QByteArray(R"({"fields":[{"name":"A","type":"datetime"}],"rows":[["2026-02-31T00:00:00"]]})");
    QTest::newRow("number in a boolean") << QByteArray(R"({"fields":[{"name":"A","type":"boolean"}],"rows":[[1]]})");
}

void TestPackets::malformedDataPacket()
{
    QFETCH(QByteArray, json);
    QVERIFY_THROWS_EXCEPTION(UserError, DataPacket::fromJson(parse(json)));
}

void TestPackets::changePacketRoundTrip()
{
    ChangePacket original;
    original.changes.append({ChangeKind::Insert, {},
                             {{QStringLiteral("CDSEQUCOPR"), QStringLiteral("0001")},
                              {QStringLiteral("DTCONSCONF"), QDateTime(QDate(2026, 12, 7), QTime(0, 0))}}});
    original.changes.append({ChangeKind::Modify,
                             {{QStringLiteral("QTPRATCONF"), 100.5}, {QStringLiteral("DSOBSERV"), QVariant()}},
                             {{QStringLiteral("QTPRATCONF"), 200.25}, {QStringLiteral("DSOBSERV"), QStringLiteral("x")}}});
    original.changes.append({ChangeKind::Delete, {{QStringLiteral("NRSEQUSERV"), 2}}, {}});

    const QJsonObject json = original.toJson();
    const QJsonObject first = json.value(QStringLiteral("changes")).toArray().at(0).toObject();
    QCOMPARE(first.value(QStringLiteral("kind")).toString(), QStringLiteral("insert"));
    QCOMPARE(first.value(QStringLiteral("new")).toObject().value(QStringLiteral("DTCONSCONF")).toString(),
             QStringLiteral("2026-12-07T00:00:00"));

    const QByteArray wire = QJsonDocument(json).toJson(QJsonDocument::Compact);
    const ChangePacket read = ChangePacket::fromJson(parse(wire));
    QCOMPARE(read.changes.size(), 3);
    QCOMPARE(read.changes[0].kind, ChangeKind::Insert);
    QCOMPARE(read.changes[1].kind, ChangeKind::Modify);
    QCOMPARE(read.changes[2].kind, ChangeKind::Delete);
    QVERIFY(read.changes[0].oldValues.isEmpty());
    // Date-times come back as their ISO text: the receiver knows the column types.
    QCOMPARE(read.changes[0].newValues.value(QStringLiteral("DTCONSCONF")), QVariant(QStringLiteral("2026-12-07T00:00:00")));
    QCOMPARE(read.changes[1].oldValues.value(QStringLiteral("QTPRATCONF")).toDouble(), 100.5);
    QVERIFY(read.changes[1].oldValues.contains(QStringLiteral("DSOBSERV")));
    QVERIFY(!read.changes[1].oldValues.value(QStringLiteral("DSOBSERV")).isValid());
    QCOMPARE(read.changes[1].newValues.value(QStringLiteral("DSOBSERV")), QVariant(QStringLiteral("x")));
    QCOMPARE(read.changes[2].oldValues.value(QStringLiteral("NRSEQUSERV")).toInt(), 2);
    QCOMPARE(read.toJson(), json);
}

void TestPackets::malformedChangePacket_data()
{
    QTest::addColumn<QByteArray>("json");

    QTest::newRow("no changes") << QByteArray(R"({})");
    QTest::newRow("unknown kind") << QByteArray(R"({"changes":[{"kind":"upsert","new":{}}]})");
    QTest::newRow("change not an object") << QByteArray(R"({"changes":[1]})");
    QTest::newRow("values not an object") << QByteArray(R"({"changes":[{"kind":"insert","new":[1]}]})");
}

void TestPackets::malformedChangePacket()
{
    QFETCH(QByteArray, json);
    QVERIFY_THROWS_EXCEPTION(UserError, ChangePacket::fromJson(parse(json)));
}

QTEST_GUILESS_MAIN(TestPackets)
#include "tst_packets.moc"
