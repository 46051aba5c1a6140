#include "core/abort.h"
#include "widgets/dateeditplus.h"
#include "widgets/numberedit.h"
#include "scriptedinteraction.h"
#include "widgets/waitanimation.h"
#include "widgetfixture.h"
#include "widgets/widgetutils.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLabel>
#include <QTest>

class TestEdits : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { widgetfixture::usePortuguese(); }

    // The empty entry is the zero date and passes the check; typed text that
    // is no date is reported and refused.
    void dateEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("weekday");
        QTest::newRow("empty") << QString() << QDate() << true << QString();
        QTest::newRow("a Monday") << "07122026" << QDate(2026, 12, 7) << true << "Segunda";
        QTest::newRow("a Sunday") << "06122026" << QDate(2026, 12, 6) << true << "Domingo";
        QTest::newRow("no such day") << "31022005" << QDate() << false << QString();
        QTest::newRow("incomplete") << "0712" << QDate() << false << QString();
    }

    void dateEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        QFETCH(bool, valid);
        QFETCH(QString, weekday);
        ScriptedInteraction script;
        TDateEditPlus edit;
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.GetDate(), date);
        QCOMPARE(edit.WeekdayName(), weekday);
        QCOMPARE(edit.CheckValidDate(false), valid);
        if (!valid) {
            QVERIFY_THROWS_EXCEPTION(Abort, edit.CheckValidDate());
            QCOMPARE(script.errors().last(), QStringLiteral("'%1' não é uma data válida.").arg(edit.Text()));
        }
    }

    void setDateAndChangeEvent()
    {
        TDateEditPlus edit;
        QList<QDate> changes;
        edit.OnDateChange = [&] { changes << edit.GetDate(); };
        edit.SetDate(QDate(2026, 1, 31));
        QCOMPARE(edit.Text(), QStringLiteral("31/01/2026"));
        edit.SetDate(QDate(2026, 1, 31));
        edit.SetDate(QDate());
        QVERIFY(edit.IsEmpty());
        QCOMPARE(changes, QList<QDate>({QDate(2026, 1, 31), QDate()}));
        edit.SetWeekdayNames({"D", "S", "T", "Q", "Q", "S", "Sa"});
        edit.SetDate(QDate(2026, 12, 5));
        QCOMPARE(edit.WeekdayName(), QStringLiteral("Sa"));
    }

    void calendarPicksADate()
    {
        TDateEditPlus edit;
        edit.SetDate(QDate(2026, 3, 10));
        QTest::keyClick(&edit, Qt::Key_F4);
        auto *calendar = edit.findChild<QCalendarWidget *>();
        QVERIFY(calendar && calendar->isVisible());
        QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 10));
        emit calendar->activated(QDate(2026, 3, 12));
        QCOMPARE(edit.GetDate(), QDate(2026, 3, 12));
        QVERIFY(!calendar->isVisible());
    }

    void numberEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("thousands");
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("shown");
        QTest::newRow("decimal comma") << "1234,5" << true << 1234.5 << "1.234,500";
        QTest::newRow("dot typed as comma") << "12.25" << false << 12.25 << "12,250";
        QTest::newRow("too many decimals refused") << "1,23456" << false << 1.234 << "1,234";
        QTest::newRow("letters refused") << "1a2" << false << 12.0 << "12,000";
        QTest::newRow("negative") << "-3" << true << -3.0 << "-3,000";
    }

    void numberEntry()
    {
        QFETCH(QString, typed);
        QFETCH(bool, thousands);
        QFETCH(double, number);
        QFETCH(QString, shown);
        QWidget window;
        auto *edit = new TNumberEdit(&window);
        auto *other = new TNumberEdit(&window);
        other->move(0, 40);
        edit->SetDecimals(3);
        edit->SetThousandSeparator(thousands);
        QVERIFY(widgetfixture::showActive(window));
        edit->setFocus();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->GetNumber(), number);
        other->setFocus();
        QCOMPARE(edit->Text(), shown);
        QCOMPARE(edit->GetNumber(), number);
    }

    // A typed key replaces the selection, or goes in at the caret: the digit
    // limits are checked against the text that results. A negative length
    // selects everything with Ctrl+A.
    void numberTypedOverSelection_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selLength");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all decimals, Ctrl+A") << "200,000" << 0 << -1 << "180" << "180";
        QTest::newRow("zero, Ctrl+A") << "0,000" << 0 << -1 << "5" << "5";
        QTest::newRow("one decimal, Ctrl+A") << "62,500" << 0 << -1 << "70,25" << "70,25";
        QTest::newRow("decimals selected") << "1,234" << 2 << 3 << "9" << "1,9";
        QTest::newRow("integer part selected") << "12,345" << 0 << 2 << "7" << "7,345";
        QTest::newRow("caret after full decimals") << "1,234" << 5 << 0 << "5" << "1,234";
        QTest::newRow("second comma over a digit") << "1,234" << 2 << 1 << "," << "1,234";
    }

    void numberTypedOverSelection()
    {
        QFETCH(QString, text);
        QFETCH(int, selStart);
        QFETCH(int, selLength);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        QWidget window;
        auto *edit = new TNumberEdit(&window);
        edit->SetDecimals(3);
        edit->SetText(text);
        QVERIFY(widgetfixture::showActive(window));
        edit->setFocus();
        if (selLength < 0)
            QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        else
            edit->setSelection(selStart, selLength);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->Text(), expected);
    }

    // Nested calls show one indicator; the guard hides it on an error.
    void waitIndicatorNestsAndHidesOnError()
    {
        QWidget form;
        form.resize(300, 200);
        ActiveShowAvi(&form, 6);
        ActiveShowAvi(&form, 0);
        QCOMPARE(form.findChildren<QLabel *>().size(), 1);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        DeactiveShowAvi();
        QVERIFY(ShowAviActive());
        DeactiveShowAvi();
        QVERIFY(!ShowAviActive());
        QVERIFY(!QApplication::overrideCursor());
        QVERIFY(form.findChildren<QLabel *>().isEmpty());

        ScriptedInteraction script;
        runGuarded([&] {
            WaitAnimation wait(&form, 6);
            throw UserError(QStringLiteral("Servidor fora do ar."));
        });
        QVERIFY(!ShowAviActive());
        QVERIFY(!QApplication::overrideCursor());
        DeactiveShowAvi();   // an extra call does not go below zero
        QVERIFY(!ShowAviActive());
    }

    void setChildEnabled()
    {
        QWidget panel;
        auto *a = new QWidget(&panel);
        auto *b = new QWidget(&panel);
        auto *inner = new QWidget(b);
        SetChildEnabled(&panel, false);
        QVERIFY(panel.isEnabled());
        QVERIFY(!a->isEnabled());
        QVERIFY(!inner->isEnabled());
        SetChildEnabled(&panel, true);
        QVERIFY(a->isEnabled() && inner->isEnabled());
    }
};

QTEST_MAIN(TestEdits)
#include "tst_edits.moc"
