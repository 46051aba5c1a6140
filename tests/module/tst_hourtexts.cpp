#include "common/hourtext.h"
#include "core/messages.h"
#include "scriptedinteraction.h"

#include <QtTest>

class TestHourTexts : public QObject
{
    Q_OBJECT

private slots:
    void stTimeReal_data();
    void stTimeReal();
    void stTimeRealRefusesNonNumbers_data();
    void stTimeRealRefusesNonNumbers();
    void realToStTime_data();
    void realToStTime();
    void everyDurationSurvivesTheRoundTrip();
    void minutesAboveFiftyNineCarryOnTheRoundTrip();
    void stTimeToReal_data();
    void stTimeToReal();
    void stTimeToRealRaisesWithoutMessage_data();
    void stTimeToRealRaisesWithoutMessage();
    void ajustaHora_data();
    void ajustaHora();

private:
    const QString m_invalidText = QStringLiteral(
        "Valor inválido. A quantidade de horas deve estar no formato 'HHHH:MM'.");
    const TMessages m_messages{{QStringLiteral("ValCons_Inv"), QString(), m_invalidText}};
};

void TestHourTexts::stTimeReal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("hours");

    QTest::newRow("untouched edit") << "    :  " << 0.0;
    QTest::newRow("full text") << "0001:30" << 1.5;
    QTest::newRow("blank-filled hours") << "   1:30" << 1.5;
    QTest::newRow("short hours") << "1:30" << 1.5;
    QTest::newRow("5 minutes") << "0000:05" << 0.08333333;
    QTest::newRow("20 minutes") << "0000:20" << 0.33333333;
    QTest::newRow("40 minutes") << "0000:40" << 0.66666667;
    QTest::newRow("last minute of the day") << "0023:59" << 23.98333333;
    QTest::newRow("single minute digit") << "12  :3 " << 12.05;
    QTest::newRow("no colon: minutes only") << "12" << 0.2;
    QTest::newRow("no colon, longer text") << "1230" << 0.2;
    QTest::newRow("colon first") << ":30" << 0.5;
    QTest::newRow("characters after the minutes ignored") << "1:305" << 1.5;
    QTest::newRow("largest duration") << "9999:99" << 10000.65;
    QTest::newRow("minutes not limited") << "0002:75" << 3.25;
    QTest::newRow("empty") << "" << 0.0;
}

void TestHourTexts::stTimeReal()
{
    QFETCH(QString, text);
    QFETCH(double, hours);
    ScriptedInteraction scripted;
    QCOMPARE(StTimeReal(text, m_messages), hours);
    QVERIFY(scripted.events().isEmpty());
}

void TestHourTexts::stTimeRealRefusesNonNumbers_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("blank between hour digits") << "1 2:30";
    QTest::newRow("letter in the hours") << "00a1:30";
    QTest::newRow("letter in the minutes") << "0001:x0";
    QTest::newRow("no colon, letters") << "ab";
}

void TestHourTexts::stTimeRealRefusesNonNumbers()
{
    QFETCH(QString, text);
    ScriptedInteraction scripted;
    QVERIFY_THROWS_EXCEPTION(Abort, StTimeReal(text, m_messages));
    QCOMPARE(scripted.errors(), QStringList{m_invalidText});
}

void TestHourTexts::realToStTime_data()
{
    QTest::addColumn<double>("hours");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0.0 << "   0:00";
    QTest::newRow("half past eight") << 8.5 << "   8:30";
    QTest::newRow("last minute of the day") << 23.98333333 << "  23:59";
    QTest::newRow("no carry into the hours") << 1.9999 << "   1:60";
    QTest::newRow("five hour digits") << 10000.65 << "10000:39";
    QTest::newRow("four hour digits") << 9999.0 << "9999:00";
    QTest::newRow("hours beyond a 64-bit count") << 1e19 << "10000000000000000000:00";
    QTest::newRow("less than a minute below zero") << -0.0001 << "   0:00";
}

void TestHourTexts::realToStTime()
{
    QFETCH(double, hours);
    QFETCH(QString, text);
    QCOMPARE(RealToStTime(hours), text);
}

// Every minute of a few hour counts goes through the 8-decimal rounding and
// back unchanged: the rounding never moves a value to another minute.
void TestHourTexts::everyDurationSurvivesTheRoundTrip()
{
    ScriptedInteraction scripted;
    for (int hours : {0, 1, 12, 23, 100, 9999}) {
        for (int minutes = 0; minutes < 60; ++minutes) {
            const QString text = QStringLiteral("%1:%2")
                                     .arg(hours, 4, 10, QLatin1Char(' '))
                                     .arg(minutes, 2, 10, QLatin1Char('0'));
            QCOMPARE(RealToStTime(StTimeReal(text, m_messages)), text);
        }
    }
}

void TestHourTexts::minutesAboveFiftyNineCarryOnTheRoundTrip()
{
    ScriptedInteraction scripted;
    QCOMPARE(RealToStTime(StTimeReal(QStringLiteral("0002:75"), m_messages)), QStringLiteral("   3:15"));
}

void TestHourTexts::stTimeToReal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("hours");

    QTest::newRow("half past eight") << "0830" << 8.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("last minute of the day") << "2359" << 23.98333333;
    QTest::newRow("no range check") << "2575" << 26.25;
    QTest::newRow("hours only") << "08" << 8.0;
    QTest::newRow("blank in the hour group") << "8 30" << 8.5;
    QTest::newRow("single minute digit") << "083 " << 8.05;
    QTest::newRow("20 minutes") << "0020" << 0.33333333;
}

void TestHourTexts::stTimeToReal()
{
    QFETCH(QString, text);
    QFETCH(double, hours);
    QCOMPARE(StTimeToReal(text), hours);
}

void TestHourTexts::stTimeToRealRaisesWithoutMessage_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("letter in the hours") << "a830";
    QTest::newRow("letter in the minutes") << "08x0";
}

void TestHourTexts::stTimeToRealRaisesWithoutMessage()
{
    QFETCH(QString, text);
    ScriptedInteraction scripted;
    QVERIFY_THROWS_EXCEPTION(HourConversionError, StTimeToReal(text));
    QVERIFY(scripted.events().isEmpty());
}

void TestHourTexts::ajustaHora_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("adjusted");

    QTest::newRow("empty") << "" << "0000";
    QTest::newRow("untouched clock edit") << "    " << "0000";
    QTest::newRow("complete") << "0830" << "0830";
    QTest::newRow("single character") << "5" << "0500";
    QTest::newRow("hour digit then blank") << "8 30" << "0830";
    QTest::newRow("blank then hour digit") << " 830" << "0830";
    QTest::newRow("minute digit then blank") << "083 " << "0803";
    QTest::newRow("out of range kept") << "2561" << "2561";
}

void TestHourTexts::ajustaHora()
{
    QFETCH(QString, text);
    QFETCH(QString, adjusted);
    QCOMPARE(Ajusta_Hora(text), adjusted);
}

QTEST_GUILESS_MAIN(TestHourTexts)
#include "tst_hourtexts.moc"
