#include "core/consiste.h"

#include <QtTest>

class TestConsiste : public QObject
{
    Q_OBJECT

private slots:
    void emptyString_data();
    void emptyString();
    void ajusta_data();
    void ajusta();
    void padLKeepsLongerTexts();
    void roundDec_data();
    void roundDec();
    void maxNumber_data();
    void maxNumber();
    void dateMaskBuildsTheDateTimeMask();
    void nomeSemana_data();
    void nomeSemana();
    void idade_data();
    void idade();
};

void TestConsiste::emptyString_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("empty");

    QTest::newRow("empty") << "" << true;
    QTest::newRow("blanks") << "   " << true;
    QTest::newRow("untouched date edit") << "  /  /    " << true;
    QTest::newRow("untouched duration edit") << "    :  " << true;
    QTest::newRow("digit") << "  0 " << false;
    QTest::newRow("letter") << "a" << false;
    QTest::newRow("partly typed date") << "07/  /    " << false;
}

void TestConsiste::emptyString()
{
    QFETCH(QString, text);
    QFETCH(bool, empty);
    QCOMPARE(EmptyString(text), empty);
}

void TestConsiste::ajusta_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("adjusted");

    QTest::newRow("one digit") << "5" << 2 << "05";
    QTest::newRow("empty stays empty") << "" << 2 << "";
    QTest::newRow("blanks become empty") << "  " << 2 << "";
    QTest::newRow("digit then blank") << "8 " << 2 << "08";
    QTest::newRow("blank then digit") << " 8" << 2 << "08";
    QTest::newRow("branch code") << "1" << 4 << "0001";
    QTest::newRow("exact width") << "0830" << 4 << "0830";
    QTest::newRow("longer kept whole") << "12345" << 4 << "12345";
    QTest::newRow("inner blank kept") << "1 2" << 4 << "01 2";
    QTest::newRow("letters") << "ab" << 4 << "00ab";
}

void TestConsiste::ajusta()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, adjusted);
    QCOMPARE(Ajusta(text, width), adjusted);
}

void TestConsiste::padLKeepsLongerTexts()
{
    QCOMPARE(PadL(QStringLiteral("1"), 4), QStringLiteral("   1"));
    QCOMPARE(PadL(QStringLiteral("10000"), 4), QStringLiteral("10000"));
}

void TestConsiste::roundDec_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("places");
    QTest::addColumn<double>("rounded");

    QTest::newRow("half up") << 2.5 << 0 << 3.0;
    QTest::newRow("negative half away from zero") << -2.5 << 0 << -3.0;
    QTest::newRow("one third") << 1.0 / 3.0 << 8 << 0.33333333;
    QTest::newRow("two thirds") << 2.0 / 3.0 << 8 << 0.66666667;
    QTest::newRow("large hours") << 9999.0 + 99.0 / 60.0 << 8 << 10000.65;
    QTest::newRow("two places") << 1.23456 << 2 << 1.23;
}

void TestConsiste::roundDec()
{
    QFETCH(double, value);
    QFETCH(int, places);
    QFETCH(double, rounded);
    QCOMPARE(RoundDec(value, places), rounded);
}

void TestConsiste::maxNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QChar>("key");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QChar>("resultKey");

    const QChar refused;
    QTest::newRow("tenth integer digit") << "123456789" << 3 << QChar('1') << 9 << 0 << refused;
    QTest::newRow("digit replacing a selected digit") << "123456789" << 3 << QChar('1') << 0 << 1 << QChar('1');
    QTest::newRow("comma after nine digits") << "123456789" << 3 << QChar(',') << 9 << 0 << QChar(',');
    QTest::newRow("fourth decimal") << "1,123" << 3 << QChar('4') << 5 << 0 << refused;
    QTest::newRow("third decimal") << "1,12" << 3 << QChar('4') << 4 << 0 << QChar('4');
    QTest::newRow("integer digit with full decimals") << "1,123" << 3 << QChar('4') << 0 << 0 << QChar('4');
    QTest::newRow("comma splitting too many decimals") << "12345" << 3 << QChar(',') << 1 << 0 << refused;
    QTest::newRow("second comma") << "1,5" << 3 << QChar(',') << 3 << 0 << refused;
    QTest::newRow("point read as comma") << "12" << 3 << QChar('.') << 2 << 0 << QChar(',');
    QTest::newRow("comma without decimals") << "12" << 0 << QChar(',') << 2 << 0 << refused;
    QTest::newRow("letter") << "12" << 3 << QChar('a') << 2 << 0 << refused;
    QTest::newRow("backspace") << "123456789" << 3 << QChar('\b') << 9 << 0 << QChar('\b');
    QTest::newRow("leading minus") << "12" << 3 << QChar('-') << 0 << 0 << QChar('-');
    QTest::newRow("inner minus") << "12" << 3 << QChar('-') << 1 << 0 << refused;
    QTest::newRow("selection beyond the text") << "12" << 3 << QChar('3') << 7 << 9 << QChar('3');
}

void TestConsiste::maxNumber()
{
    QFETCH(QString, text);
    QFETCH(int, decimals);
    QFETCH(QChar, key);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QChar, resultKey);
    QCOMPARE(MaxNumber(text, 9, decimals, key, selStart, selLength), !resultKey.isNull());
    QCOMPARE(key, resultKey);
}

void TestConsiste::dateMaskBuildsTheDateTimeMask()
{
    QCOMPARE(DateMask().chopped(4) + QStringLiteral(" 99:99;1; "), QStringLiteral("99/99/9999 99:99;1; "));
}

void TestConsiste::nomeSemana_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");

    QTest::newRow("monday") << QDate(2026, 12, 7) << "Segunda-feira";
    QTest::newRow("wednesday") << QDate(2026, 12, 9) << "Quarta-feira";
    QTest::newRow("saturday") << QDate(2026, 12, 12) << "Sábado";
    QTest::newRow("sunday") << QDate(2026, 12, 13) << "Domingo";
    QTest::newRow("empty date") << QDate() << "";
}

void TestConsiste::nomeSemana()
{
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QCOMPARE(NomeSemana(date), name);
}

void TestConsiste::idade_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<int>("years");
    QTest::addColumn<int>("months");

    const QDate today(2025, 4, 15);
    QTest::newRow("exactly one year one month") << today << QDate(2024, 3, 15) << 1 << 1;
    QTest::newRow("a day short of it") << today << QDate(2024, 3, 16) << 1 << 0;
    QTest::newRow("three weeks") << today << today.addDays(-21) << 0 << 0;
    QTest::newRow("five months") << today << QDate(2024, 11, 15) << 0 << 5;
    QTest::newRow("eleven months and some days") << today << QDate(2024, 4, 16) << 0 << 11;
    QTest::newRow("thirty-four years one month") << today << QDate(1991, 3, 1) << 34 << 1;
    QTest::newRow("born today") << today << today << 0 << 0;
    QTest::newRow("birth day past the end of a shorter month")
        << QDate(2025, 2, 28) << QDate(2025, 1, 31) << 0 << 1;
    QTest::newRow("leap-day birth") << QDate(2025, 2, 28) << QDate(2024, 2, 29) << 1 << 0;
    QTest::newRow("birth after today") << today << today.addDays(1) << 0 << 0;
    QTest::newRow("no birth date") << today << QDate() << 0 << 0;
}

void TestConsiste::idade()
{
    QFETCH(QDate, today);
    QFETCH(QDate, birth);
    QFETCH(int, years);
    QFETCH(int, months);
    int gotYears = -1;
    int gotMonths = -1;
    Idade(today, birth, gotYears, gotMonths);
    QCOMPARE(gotYears, years);
    QCOMPARE(gotMonths, months);
}

QTEST_GUILESS_MAIN(TestConsiste)
#include "tst_consiste.moc"
