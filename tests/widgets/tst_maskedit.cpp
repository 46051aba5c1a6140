#include "widgets/classicmask.h"
#include "widgets/maskedit.h"
#include "scriptedinteraction.h"
#include "widgetfixture.h"

#include "core/abort.h"
#include "core/messages.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace {

// Notes where the focus is when an error is shown, then stands in for the
// message box at a real window system: the box takes the activation and
// closes, leaving the form to be activated again afterwards.
class FocusNotingScript : public ScriptedInteraction
{
public:
    void error(const QString &text) override
    {
        focusAtError << QApplication::focusWidget();
        ScriptedInteraction::error(text);
        QWidget box;
        widgetfixture::showActive(box);
    }

    QList<QWidget *> focusAtError;
};

} // namespace

class TestMaskEdit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { widgetfixture::usePortuguese(); }

    void conversion_data()
    {
        QTest::addColumn<QString>("classic");
        QTest::addColumn<QString>("qt");
        QTest::addColumn<QString>("untouched");
        QTest::newRow("branch code") << ">aaaa;0; " << ">nnnn; " << "    ";
        QTest::newRow("hour, no literals") << "99:99;0; " << "00:00; " << "    ";
        QTest::newRow("duration, literals kept") << "9999:99;1; " << "0000:00; " << "    :  ";
        QTest::newRow("date") << "99/99/9999;1; " << "00/00/0000; " << "  /  /    ";
        QTest::newRow("any character") << "ccccc;0; " << "xxxxx; " << "     ";
        QTest::newRow("required digits") << "00;1;_" << "99;_" << "__";
        QTest::newRow("Qt meta character as literal") << "99h;1; " << "00\\h; " << "  h";
        QTest::newRow("no mask") << "" << "" << "";
    }

    void conversion()
    {
        QFETCH(QString, classic);
        QFETCH(QString, qt);
        QFETCH(QString, untouched);
        QCOMPARE(ClassicMask(classic).qtMask(), qt);
        TMaskEdit edit;
        edit.SetEditMask(classic);
        QCOMPARE(edit.Text(), untouched);
    }

    // Text keeps the blank positions that Qt's text() would drop.
    void typedTextKeepsPositions_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::newRow("minutes only") << "9999:99;1; " << "    45" << "    :45";
        QTest::newRow("hour without literals") << "99:99;0; " << "0830" << "0830";
        QTest::newRow("partial hour") << "99:99;0; " << "08" << "08  ";
        QTest::newRow("upper case") << ">aaaa;0; " << "ab1c" << "AB1C";
        QTest::newRow("short code") << ">aaaa;0; " << "x" << "X   ";
    }

    void typedTextKeepsPositions()
    {
        QFETCH(QString, mask);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        TMaskEdit edit;
        edit.SetEditMask(mask);
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, typed);
        QCOMPARE(edit.Text(), text);
    }

    void setTextRoundTrips_data()
    {
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("text");
        QTest::newRow("duration") << "9999:99;1; " << "  12:30";
        QTest::newRow("hour") << "99:99;0; " << "0830";
        QTest::newRow("blank hour") << "99:99;0; " << "    ";
        QTest::newRow("date") << "99/99/9999;1; " << "07/12/2026";
    }

    void setTextRoundTrips()
    {
        QFETCH(QString, mask);
        QFETCH(QString, text);
        TMaskEdit edit;
        edit.SetEditMask(mask);
        edit.SetText(text);
        QCOMPARE(edit.Text(), text);
    }

    void changingTheMaskKeepsTheText()
    {
        TMaskEdit edit;
        edit.SetText(QStringLiteral("ab"));
        edit.SetEditMask(QStringLiteral(">aaaa;0; "));
        QCOMPARE(edit.Text(), QStringLiteral("AB  "));
    }

    // Only letters and digits get through, like a branch code entry.
    void keyPressDiscardsAndReplaces()
    {
        TMaskEdit edit;
        edit.SetEditMask(QStringLiteral(">aaaa;0; "));
        edit.OnKeyPress = [](QChar &key) {
            if (!key.isLetterOrNumber())
                key = QChar();
        };
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, QStringLiteral("a-1"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.Text(), QStringLiteral("A1  "));

        TEdit plain;
        plain.OnKeyPress = [](QChar &key) { key = key.toUpper(); };
        QTest::keyClicks(&plain, QStringLiteral("p00x"));
        QCOMPARE(plain.Text(), QStringLiteral("P00X"));
    }

    void failingKeyPressDiscardsTheKey()
    {
        ScriptedInteraction script;
        TEdit edit;
        edit.OnKeyPress = [](QChar &) { MensErro(QStringLiteral("Tecla recusada.")); };
        QTest::keyClicks(&edit, QStringLiteral("ab"));
        QCOMPARE(edit.Text(), QString());
        QCOMPARE(script.errors(), QStringList({QStringLiteral("Tecla recusada."), QStringLiteral("Tecla recusada.")}));
    }

    void changeRunsForTypedAndSetText()
    {
        TMaskEdit edit;
        int changes = 0;
        edit.OnChange = [&] { ++changes; };
        edit.SetText(QStringLiteral("x"));
        QTest::keyClicks(&edit, QStringLiteral("y"));
        QCOMPARE(changes, 2);
    }

    // Tab out of an incomplete masked entry still runs the exit handler,
    // and a failing one keeps the focus on the entry.
    void exitRunsOnTabWithIncompleteMask()
    {
        ScriptedInteraction script;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *hour = new TMaskEdit(&window);
        auto *next = new TEdit(&window);
        layout->addWidget(hour);
        layout->addWidget(next);
        hour->SetEditMask(QStringLiteral("99:99;0; "));
        QStringList log;
        hour->OnEnter = [&] { log << QStringLiteral("enter"); };
        hour->OnExit = [&] {
            log << QStringLiteral("exit ") + hour->Text();
            if (hour->Text().trimmed().size() < 4)
                MensErro(QStringLiteral("Hora inválida."));
        };
        QVERIFY(widgetfixture::showActive(window));
        hour->setFocus();
        QTest::keyClicks(hour, QStringLiteral("08"));
        QTest::keyClick(hour, Qt::Key_Tab);
        QVERIFY(hour->hasFocus());
        QCOMPARE(log, QStringList({QStringLiteral("enter"), QStringLiteral("exit 08  ")}));
        QCOMPARE(script.errors(), QStringList{QStringLiteral("Hora inválida.")});

        QTest::keyClicks(hour, QStringLiteral("0830"));
        QTest::keyClick(hour, Qt::Key_Tab);
        QVERIFY(next->hasFocus());
        QCOMPARE(log.last(), QStringLiteral("exit 0830"));
    }

    // A refused exit check runs once, with the focus already back on the
    // entry when its message shows; the form activated again after the
    // message keeps the focus there and runs no check.
    void refusedExitRunsOnceWithFocusOnEntry_data()
    {
        QTest::addColumn<bool>("byClick");
        QTest::newRow("tab") << false;
        QTest::newRow("click") << true;
    }

    void refusedExitRunsOnceWithFocusOnEntry()
    {
        QFETCH(bool, byClick);
        FocusNotingScript script;
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *period = new TMaskEdit(&window);
        auto *next = new TEdit(&window);
        layout->addWidget(period);
        layout->addWidget(next);
        period->SetEditMask(QStringLiteral("9999:99;1; "));
        int exits = 0;
        period->OnExit = [&] {
            ++exits;
            MensErro(QStringLiteral("Valor inválido."));
        };
        QVERIFY(widgetfixture::showActive(window));
        period->setFocus();
        QTest::keyClicks(period, QStringLiteral("1 20"));
        if (byClick)
            QTest::mouseClick(next, Qt::LeftButton);
        else
            QTest::keyClick(period, Qt::Key_Tab);
        QCOMPARE(script.focusAtError, QList<QWidget *>{period});
        QVERIFY(widgetfixture::showActive(window));
        QVERIFY(period->hasFocus());
        QCOMPARE(exits, 1);
        QCOMPARE(script.errors().size(), 1);
    }
};

QTEST_MAIN(TestMaskEdit)
#include "tst_maskedit.moc"
