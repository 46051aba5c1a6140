// The editor's actions that open screens of other modules, pressed as a user
// presses them, with recording screens registered under those screens'
// codes in the host's screen loader.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "widgets/maskedit.h"
#include "screens/screenloader.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"

#include <QApplication>
#include <QDialog>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

const QStringList kScreens = {QStringLiteral("VQN19040"), QStringLiteral("VQN19050"), QStringLiteral("VQN18100")};

} // namespace

class TestToolbarActions : public EditorTestCase
{
    Q_OBJECT

private:
    // What each recording screen was handed, by screen code.
    QHash<QString, QVariant> m_received;
    QStringList m_calls;

    void openPatient(const QString &patient)
    {
        m_received.clear();
        m_calls.clear();
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(patient);
        connect(m_editor->netEntPat, &TNetConnection::calling, this,
                [this](const QString &method) { m_calls << method; });
    }

    // Presses a tool button with the mouse; the screen it opens is closed
    // at once.
    void press(QToolButton *button, bool opensScreen = true)
    {
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName() + QStringLiteral(" is disabled")));
        if (opensScreen)
            script().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

private slots:
    void initTestCase()
    {
        for (const QString &code : kScreens) {
            RegisterScreen(code, [this, code](const QVariant &value, QWidget *parent) {
                m_received.insert(code, value);
                return new QDialog(parent);
            });
        }
    }

    void cleanupTestCase()
    {
        for (const QString &code : kScreens)
            UnregisterScreen(code);
    }

    // The nutrient calculation gets patient, "S", the current record's date
    // and the branch, as a list of four.
    void nutrientsGetTheCurrentRecordsDay_data()
    {
        QTest::addColumn<bool>("lastRecord");
        QTest::newRow("first record") << false;
        QTest::newRow("last record") << true;
    }

    void nutrientsGetTheCurrentRecordsDay()
    {
        QFETCH(bool, lastRecord);
        openPatient(Fixture::AdultWithRecords);
        ClientDataSet &records = *m_editor->cdsServInte;
        QCOMPARE(records.RecordCount(), 2);
        if (lastRecord)
            QTest::keyClick(m_editor->dbgServico, Qt::Key_Down);
        const QDate day = records.FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date();
        press(m_editor->sbtCalcNutri);
        const QVariant value = m_received.value(QStringLiteral("VQN19040"));
        QCOMPARE(value.typeId(), int(QMetaType::QVariantList));
        const QVariantList values = value.toList();
        QCOMPARE(values.size(), 4);
        QCOMPARE(values.at(0).toString(), Fixture::AdultWithRecords);
        QCOMPARE(values.at(1).toString(), QStringLiteral("S"));
        QCOMPARE(values.at(2).toDate(), day);
        QCOMPARE(values.at(3).toString(), Fixture::BranchAdjust);
        QVERIFY(script().errors().isEmpty());
    }

    // Without a service record there is nothing to calculate: the command
    // is off.
    void nutrientsNeedARecord()
    {
        openPatient(Fixture::AdultWithoutRecords);
        QVERIFY(!m_editor->sbtCalcNutri->isEnabled());
        QVERIFY(!m_editor->mnuCalcNutr->isEnabled());
    }

    // The copy gets "S" and the branch; the service records are read again
    // on the form page only.
    void copyReloadsTheRecordsOnTheFormPageOnly_data()
    {
        QTest::addColumn<bool>("dataSheet");
        QTest::newRow("form page") << false;
        QTest::newRow("data sheet") << true;
    }

    void copyReloadsTheRecordsOnTheFormPageOnly()
    {
        QFETCH(bool, dataSheet);
        openPatient(Fixture::AdultWithRecords);
        if (dataSheet) {
            m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
            QCoreApplication::processEvents();
        }
        m_calls.clear();
        press(m_editor->sbtCopiar);
        QCOMPARE(m_received.value(QStringLiteral("VQN19050")).toList(),
                 (QVariantList{QStringLiteral("S"), Fixture::BranchAdjust}));
        QCOMPARE(m_calls.count(QStringLiteral("getNutricio")), 1);
        QCOMPARE(m_calls.count(QStringLiteral("getServInte")), dataSheet ? 0 : 1);
        QVERIFY(script().errors().isEmpty());
    }

    // An operator who is not a nutritionist stops before the copy screen,
    // with the focus on the branch code.
    void copyNeedsANutritionist()
    {
        openPatient(Fixture::AdultWithRecords);
        operatorContext().operador = Fixture::NonNutritionist;
        press(m_editor->sbtCopiar, false);
        QCOMPARE(script().errors(),
                 QStringList{QStringLiteral("Operador não está cadastrado como nutricionista.")});
        QVERIFY(!m_received.contains(QStringLiteral("VQN19050")));
        QCOMPARE(QApplication::focusWidget(), m_editor->medFilial);
        QCOMPARE(m_calls.count(QStringLiteral("getServInte")), 0);
    }

    // The statistics screen gets the branch code alone, not a list.
    void statisticsGetTheBranchAlone()
    {
        openPatient(Fixture::AdultWithRecords);
        press(m_editor->sbtEstatistica);
        const QVariant value = m_received.value(QStringLiteral("VQN18100"));
        QCOMPARE(value.typeId(), int(QMetaType::QString));
        QCOMPARE(value.toString(), Fixture::BranchAdjust);
    }

    // Each action's menu entry carries its caption and shortcut; the
    // shortcut reaches the same screen as the button.
    void shortcutsOpenTheSameScreens()
    {
        openPatient(Fixture::AdultWithRecords);
        QCOMPARE(m_editor->mnuCalcNutr->text(), QStringLiteral("Ca&lcular Nutrientes"));
        QCOMPARE(m_editor->mnuCopiar->text(), QStringLiteral("Copiar For&mulação"));
        QCOMPARE(m_editor->sbtEstatistica->toolTip(), QStringLiteral("Estatística de Dietas em Sistema Aberto"));
        script().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        QTest::keyClick(m_editor->dbgServico, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(m_received.contains(QStringLiteral("VQN19040")));
        script().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        QTest::keyClick(m_editor->dbgServico, Qt::Key_M, Qt::ControlModifier);
        QVERIFY(m_received.contains(QStringLiteral("VQN19050")));
    }
};

QTEST_MAIN(TestToolbarActions)
#include "tst_toolbaractions.moc"
