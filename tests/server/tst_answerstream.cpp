// A packet sent in parts reads, once its parts are put together, as the
// same packet answered whole; a call that fails after some parts were sent
// still reaches the client as the server's refusal, with nothing of its rows.
#include "core/packets.h"
#include "core/serverresult.h"
#include "lib/answerstream.h"
#include "lib/packetwriter.h"

#include <QtTest>

class TestAnswerStream : public QObject
{
    Q_OBJECT

private slots:
    void partsReadAsOneAnswer_data();
    void partsReadAsOneAnswer();
};

void TestAnswerStream::partsReadAsOneAnswer_data()
{
    QTest::addColumn<QString>("failure");

    QTest::newRow("answered") << QString();
    QTest::newRow("refused after some parts") << QStringLiteral("Banco de dados indisponível: tente de novo.");
}

void TestAnswerStream::partsReadAsOneAnswer()
{
    QFETCH(QString, failure);
    const PacketColumns columns = {textColumn(QStringLiteral("NMPACIENTE"), 80), realColumn(QStringLiteral("QTPESO")),
                                   dateColumn(QStringLiteral("DTNASCPACI"))};
    const int rows = 4000;   // several parts
    AnswerStream stream;
    int parts = 0;
    PacketWriter writer(columns, [&](JsonText &&part) {
        ++parts;
        stream.write(std::move(part));
    });
    PacketWriter whole(columns);
    for (int i = 0; i < rows; ++i) {
        for (PacketWriter *packet : {&writer, &whole}) {
            packet->add(QStringLiteral("Paciente \"%1\" de Conceição").arg(i));
            packet->add(i + 0.25);
            packet->add(QDateTime(QDate(1950, 1, 1).addDays(i), QTime(0, 0)));
        }
    }
    const JsonText rest = writer.finish();
    stream.finish(failure.isEmpty() ? CallOutcome::success(rest) : CallOutcome::failure(failure), false);
    QVERIFY(parts >= 3);
    QVERIFY(stream.waitStarted());

    QByteArray body;
    QByteArray text;
    while (stream.next(text))
        body += text;
    DataPacket read;
    const ServerResult result = ServerResult::fromPacketJson(body, read);
    QCOMPARE(result.ok, failure.isEmpty());
    QCOMPARE(result.error, failure);
    if (!result.ok) {
        QVERIFY(read.rows.isEmpty());
        return;
    }
    const DataPacket expected = DataPacket::fromJsonText(whole.finish());
    QCOMPARE(read.rows.size(), rows);
    QCOMPARE(read.rows, expected.rows);
}

QTEST_GUILESS_MAIN(TestAnswerStream)
#include "tst_answerstream.moc"
