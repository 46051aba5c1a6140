// The interruptions of an infusion and the day's figures, on items built in
// memory (the reading of the database is tested in tst_nutrientmethods).
#include "lib/nutrientcalc.h"

#include <QTest>

namespace {

const QDate day(2026, 12, 7);

QDateTime at(int hour, int minute = 0)
{
    return QDateTime(day, QTime(hour, minute));
}

// An item planned at 08:00 for 240 mL at 60 mL/h: it should end at 12:00.
InfusionItem item(OptionalReal speed = 60.0, const QDateTime &start = at(8))
{
    return {QStringLiteral("01"), QStringLiteral("0001"), 240.0, 180.0, speed, 1.5, 0.04, start};
}

ItemOccurrence interruption(const QDateTime &moment, const QString &type = QStringLiteral("001"))
{
    return {moment, type, true};
}

ItemOccurrence other(const QDateTime &moment)
{
    return {moment, QStringLiteral("004"), false};
}

} // namespace

Q_DECLARE_METATYPE(InfusionItem)
Q_DECLARE_METATYPE(QVector<ItemOccurrence>)

class TestNutrientCalc : public QObject
{
    Q_OBJECT

private slots:
    // Each interruption counted, as its interval and minutes ("?" when
    // unknown), in time order; the item's count and minutes follow them.
    void interruptionsCounted_data()
    {
        QTest::addColumn<InfusionItem>("infusion");
        QTest::addColumn<QVector<ItemOccurrence>>("occurrences");
        QTest::addColumn<QStringList>("counted");

        QTest::newRow("to the planned end") << item() << QList{interruption(at(9))} << QStringList{"09:00-12:00 180"};
        QTest::newRow("to the next occurrence of any type")
            << item() << QList{other(at(10)), interruption(at(9, 15))} << QStringList{"09:15-10:00 45"};
        QTest::newRow("a later interruption ends the earlier one")
            << item() << QList{interruption(at(9)), interruption(at(11, 30))}
            << QStringList{"09:00-11:30 150", "11:30-12:00 30"};
        QTest::newRow("the next occurrence after the planned end")
            << item() << QList{interruption(at(11)), other(at(13))} << QStringList{"11:00-12:00 60"};
        QTest::newRow("at or after the planned end is none")
            << item() << QList{interruption(at(12)), interruption(at(14))} << QStringList{};
        QTest::newRow("before the start counts from the start")
            << item() << QList{interruption(at(7)), other(at(9))} << QStringList{"08:00-09:00 60"};
        QTest::newRow("ended before the start is none")
            << item() << QList{interruption(at(6)), other(at(7)), interruption(at(10))}
            << QStringList{"10:00-12:00 120"};
        QTest::newRow("a repeat at the same moment is none")
            << item() << QList{interruption(at(9), QStringLiteral("002")), interruption(at(9))}
            << QStringList{"09:00-12:00 180"};
        QTest::newRow("no speed: to the next occurrence")
            << item(std::nullopt) << QList{interruption(at(9)), other(at(9, 40))} << QStringList{"09:00-09:40 40"};
        QTest::newRow("no speed and no next occurrence: unknown")
            << item(0.0) << QList{interruption(at(9))} << QStringList{"09:00-? ?"};
        QTest::newRow("no hour and no next occurrence: unknown")
            << item(60.0, QDateTime()) << QList{interruption(at(7))} << QStringList{"07:00-? ?"};
        QTest::newRow("a plain occurrence is no interruption") << item() << QList{other(at(9))} << QStringList{};
    }

    void interruptionsCounted()
    {
        QFETCH(InfusionItem, infusion);
        QFETCH(QVector<ItemOccurrence>, occurrences);
        QFETCH(QStringList, counted);
        const QVector<Interruption> found = interruptionsOf(infusion, occurrences);
        QStringList actual;
        double known = 0;
        for (const Interruption &interruption : found) {
            QCOMPARE(interruption.end.isValid(), interruption.minutes.has_value());
            const QString end = interruption.end.isValid() ? interruption.end.toString(QStringLiteral("HH:mm"))
                                                           : QStringLiteral("?");
            const QString minutes = interruption.minutes ? QString::number(*interruption.minutes) : QStringLiteral("?");
            actual << QStringLiteral("%1-%2 %3").arg(interruption.begin.toString(QStringLiteral("HH:mm")), end, minutes);
            known += interruption.minutes.value_or(0);
        }
        QCOMPARE(actual, counted);
        const DeliveryFigures figures = itemFigures(infusion, found);
        QCOMPARE(figures.interruptions, int(counted.size()));
        QCOMPARE(figures.interruptionMinutes, known);
    }

    void plannedEndFollowsVolumeAndSpeed()
    {
        QCOMPARE(plannedEnd(item()), at(12));
        InfusionItem odd = item(70.0);
        odd.prescribed = 300.0;   // 4 h 17 min 8.57 s
        QCOMPARE(plannedEnd(odd), at(12, 17).addSecs(9));
        QVERIFY(!plannedEnd(item(-5.0)).isValid());
        QVERIFY(!infusionHours(std::nullopt, 60.0));
    }

    // Per item: share delivered, energy and protein of both volumes. The
    // day: sums, and the share taken over the items with both volumes.
    void figuresOfItemsAndDay()
    {
        const DeliveryFigures full = itemFigures(item(), {});
        QCOMPARE(*full.percentDelivered, 75.0);
        QCOMPARE(*full.kcalPrescribed, 360.0);
        QCOMPARE(*full.kcalInfused, 270.0);
        QCOMPARE(*full.proteinPrescribed, 9.6);
        QCOMPARE(*full.proteinInfused, 7.2);

        InfusionItem unknown = item();
        unknown.kcalPerMl.reset();
        unknown.proteinPerMl.reset();
        unknown.infused.reset();
        const DeliveryFigures partial = itemFigures(unknown, {});
        QVERIFY(!partial.percentDelivered && !partial.kcalPrescribed && !partial.proteinInfused);

        const DeliveryFigures total = dayFigures({full, partial});
        QCOMPARE(*total.prescribed, 480.0);
        QCOMPARE(*total.infused, 180.0);
        QCOMPARE(*total.percentDelivered, 75.0);
        QCOMPARE(*total.kcalPrescribed, 360.0);
        QVERIFY(!dayFigures({}).prescribed);
    }
};

QTEST_GUILESS_MAIN(TestNutrientCalc)
#include "tst_nutrientcalc.moc"
