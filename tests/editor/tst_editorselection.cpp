// The editor's shell: first activation, branch and patient selection, the
// patient list, the saved selection and the maintenance commands' routing.

#include "editortestcase.h"

#include "widgets/btnpesquisa.h"
#include "screens/dbtext.h"
#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "windowactivation.h"
#include "screens/hostmainwindow.h"
#include "widgets/maskedit.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

QString rowValue(ClientDataSet &data, const QString &keyField, const QString &key, const QString &field)
{
    for (int row = 0; row < data.RecordCount(); ++row)
        if (data.valueAt(row, data.FieldByName(keyField)->Index()).toString() == key)
            return data.displayTextAt(row, data.FieldByName(field)->Index());
    return QStringLiteral("<absent>");
}

} // namespace

// Hands the next editor to a callback when the host frames it, before its
// first activation, so a test sees everything that activation does.
class NewEditorWatch : public QObject
{
public:
    explicit NewEditorWatch(std::function<void(TfrmEntParenteral &)> onFramed)
        : m_onFramed(std::move(onFramed))
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ParentChange && m_onFramed)
            if (auto *editor = qobject_cast<TfrmEntParenteral *>(watched))
                std::exchange(m_onFramed, nullptr)(*editor);
        return false;
    }

private:
    std::function<void(TfrmEntParenteral &)> m_onFramed;
};

class TestEditorSelection : public EditorTestCase
{
    Q_OBJECT

private:
    void showDataSheet()
    {
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
        QCoreApplication::processEvents();
    }

    // Ctrl+L in the patient list.
    void pressFilter()
    {
        EditorHarness::focus(m_editor->dbgPadrao);
        QTest::keyClick(m_editor->dbgPadrao, Qt::Key_L, Qt::ControlModifier);
        QCoreApplication::processEvents();
    }

private slots:
    void firstActivationStartsOnTheOperatorsBranch()
    {
        m_editor = m_harness->openEditor();
        QVERIFY(m_editor);
        QVERIFY(!boPrimVez);
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        QCOMPARE(m_editor->edtFilial->Text(), QStringLiteral("Hospital Central"));
        QVERIFY(m_editor->medFilial->isEnabled());
        QVERIFY(m_editor->btnFilial->isEnabled());
        QCOMPARE(QApplication::focusWidget(), m_editor->medFilial);
        QCOMPARE(m_editor->ActivePage(), m_editor->tshFormulario);
        QCOMPARE(m_editor->stFiltroTodosPaci, QStringLiteral("T"));
        QCOMPARE(m_editor->stFiltroTodasDatas, QStringLiteral("T"));
        QVERIFY(m_editor->stFiltroPaci.isEmpty());
        QVERIFY(script().messages().isEmpty());
    }

    void branchCodeTakesOnlyLettersAndDigits()
    {
        m_editor = m_harness->openEditor();
        EditorHarness::focus(m_editor->medFilial);
        m_editor->medFilial->selectAll();
        QTest::keyClicks(m_editor->medFilial, QStringLiteral("a-"));
        QTest::keyClick(m_editor->medFilial, Qt::Key_Backspace);
        QTest::keyClicks(m_editor->medFilial, QStringLiteral("9z"));
        QCOMPARE(m_editor->medFilial->Text(), QStringLiteral("A9Z "));
        QVERIFY(m_editor->edtFilial->Text().isEmpty());
    }

    void leavingTheBranchLoadsItsInpatientsWithTheirAges()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(QStringLiteral("1"));
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        QCOMPARE(m_editor->edtFilial->Text(), QStringLiteral("Hospital Central"));
        ClientDataSet &list = *m_editor->cdsPaciFiltro;
        QVERIFY(list.Active());
        QCOMPARE(rowValue(list, QStringLiteral("CDPACIENTE"), Fixture::Discharged, QStringLiteral("Idade")),
                 QStringLiteral("<absent>"));
        QCOMPARE(rowValue(list, QStringLiteral("CDPACIENTE"), Fixture::Newborn, QStringLiteral("Idade")), QString());
        QCOMPARE(rowValue(list, QStringLiteral("CDPACIENTE"), Fixture::Infant, QStringLiteral("Idade")),
                 QStringLiteral("  5 Meses"));
        QCOMPARE(rowValue(list, QStringLiteral("CDPACIENTE"), Fixture::OneYearOneMonth, QStringLiteral("Idade")),
                 QStringLiteral("1 Ano  1 Mês"));
        QCOMPARE(QApplication::focusWidget(), m_editor->edtCdPaciente);
    }

    void anUnknownBranchKeepsTheFocusOnTheBranch()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(QStringLiteral("9999"));
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Filial não cadastrada.")});
        QCOMPARE(QApplication::focusWidget(), m_editor->medFilial);
        QVERIFY(!m_editor->cdsPaciFiltro->Active());
    }

    void patientCodeIsAdjustedOnlyWhereTheBranchAsks()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(QStringLiteral("0001"));
        m_harness->choosePatient(QStringLiteral("104"));
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
        QCOMPARE(m_editor->edtCdPaciente->Text(), Fixture::AdultWithRecords);
        QVERIFY(!m_editor->edtNmPaciente->Text().isEmpty());
        QCOMPARE(m_editor->edtLeito->Text(), QStringLiteral("L0004"));
        QCOMPARE(m_editor->cdsServInte->RecordCount(), 2);
        QCOMPARE(QApplication::focusWidget(), m_editor->dbgServico);

        // Branch "0002" sends the code as typed: a short code is no patient.
        EditorHarness::focus(m_editor->medFilial);
        m_harness->chooseBranch(Fixture::BranchPlain);
        m_harness->choosePatient(QStringLiteral("201"));
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Paciente não cadastrado.")});
        QCOMPARE(m_editor->edtCdPaciente->Text(), QStringLiteral("201"));
        QCOMPARE(QApplication::focusWidget(), m_editor->edtCdPaciente);
        script().clear();
        m_harness->choosePatient(Fixture::OtherBranchPatient.toLower());
        QVERIFY(script().errors().isEmpty());
        QCOMPARE(m_editor->edtCdPaciente->Text(), Fixture::OtherBranchPatient);
    }

    void theServiceGridNeedsAPatient()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        EditorHarness::focus(m_editor->dbgServico);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Paciente deve ser informado.")});
        QCOMPARE(QApplication::focusWidget(), m_editor->edtCdPaciente);
    }

    void patientAgesAreShownInThePatientPanel_data()
    {
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("age");
        QTest::newRow("three weeks") << Fixture::Newborn << QString();
        QTest::newRow("five months") << Fixture::Infant << QStringLiteral("  5 Meses");
        QTest::newRow("one year one month") << Fixture::OneYearOneMonth << QStringLiteral("1 Ano  1 Mês");
    }

    void patientAgesAreShownInThePatientPanel()
    {
        QFETCH(QString, patient);
        QFETCH(QString, age);
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(patient);
        QCOMPARE(m_editor->edtIdade->Text(), age);
    }

    void excluirAndCancelarAnsweredNoChangeNothing()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        ClientDataSet &records = *m_editor->cdsServInte;
        QCOMPARE(records.RecordCount(), 2);

        script().answerQuestion(false);
        QTest::mouseClick(m_editor->sbtExcluir, Qt::LeftButton);
        QCOMPARE(records.RecordCount(), 2);
        QCOMPARE(script().messages(), QStringList{QStringLiteral("Confirma a exclusão do registro?")});

        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QCOMPARE(records.State(), DataSetState::Edit);
        records.FieldByName(QStringLiteral("NRSERVPESO"))->SetAsFloat(80);
        script().answerQuestion(false);
        QTest::mouseClick(m_editor->sbtCancelar, Qt::LeftButton);
        QCOMPARE(records.State(), DataSetState::Edit);
        QCOMPARE(records.FieldByName(QStringLiteral("NRSERVPESO"))->AsFloat(), 80.0);
        script().answerQuestion(true);
        QTest::mouseClick(m_editor->sbtCancelar, Qt::LeftButton);
        QCOMPARE(records.State(), DataSetState::Browse);
    }

    // Also when the editor opens before the host's window is active, as at
    // the host's start: the focus is in the patient code once it is.
    void aFixedBranchCannotBeChanged_data()
    {
        QTest::addColumn<bool>("hostActive");
        QTest::newRow("host active") << true;
        QTest::newRow("host activated later") << false;
    }
    void aFixedBranchCannotBeChanged()
    {
        QFETCH(bool, hostActive);
        QWidget other;
        if (!hostActive)
            QVERIFY(showActive(other));
        operatorContext().moduFili = true;
        m_editor = m_harness->openEditor();
        operatorContext().moduFili = false;
        if (!hostActive) {
            other.close();
            QVERIFY(showActive(m_harness->host()));
        }
        QVERIFY(!m_editor->medFilial->isEnabled());
        QVERIFY(!m_editor->btnFilial->isEnabled());
        QVERIFY(!m_editor->lblFilial->isEnabled());
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        // The form page was filled at once: the patient code waits for input.
        QCOMPARE(QApplication::focusWidget(), m_editor->edtCdPaciente);
        QVERIFY(!m_editor->mnuFiltrar->isEnabled());
    }

    void savedSelectionPositionsTheList_data()
    {
        QTest::addColumn<QString>("savedPatient");
        QTest::addColumn<QString>("currentPatient");
        QTest::newRow("present") << Fixture::OneYearOneMonth << Fixture::OneYearOneMonth;
        QTest::newRow("absent") << Fixture::Discharged << QString();
    }

    void savedSelectionPositionsTheList()
    {
        QFETCH(QString, savedPatient);
        QFETCH(QString, currentPatient);
        m_harness->saveSelection(Fixture::BranchAdjust, savedPatient);
        operatorContext().filiProc = Fixture::BranchPlain;

        m_editor = m_harness->openEditor();
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        ClientDataSet &list = *m_editor->cdsPaciFiltro;
        QVERIFY(list.Active());
        QVERIFY(list.RecordCount() >= 5);
        if (currentPatient.isEmpty())
            QCOMPARE(list.RecNo(), 0);
        else
            QCOMPARE(list.FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), currentPatient);
        QVERIFY(script().messages().isEmpty());
    }

    // Closing and reopening runs the first activation again: the filter
    // values start over, the connection is made before any call, and the
    // filter dialog is a new one, not the one the closed editor used.
    void closingAndReopeningRepeatsTheFirstActivation()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchPlain);
        showDataSheet();
        const QString used = QStringLiteral("usadoPeloEditorAnterior");
        script().answerDialog([&](QDialog &dialog) {
            dialog.setProperty(qPrintable(used), true);
            return int(QDialog::Rejected);
        });
        bool markedBefore = false;
        script().answerDialog([&](QDialog &dialog) {
            markedBefore = dialog.property(qPrintable(used)).toBool();
            return int(QDialog::Rejected);
        });
        pressFilter();
        pressFilter();
        QVERIFY(markedBefore);   // one dialog per editor: the second use found the mark
        QPointer<TfrmEntParenteral> first = m_editor;
        m_harness->closeEditor();
        QVERIFY(first.isNull());
        QVERIFY(!Cli_vqn18000::boStCriado);

        int calls = -1;
        QObject counting;   // the count ends with this test
        NewEditorWatch watch([&](TfrmEntParenteral &editor) {
            calls = 0;
            connect(editor.netEntPat, &TNetConnection::calling, &counting, [&] { ++calls; });
        });
        m_editor = m_harness->openEditor();
        QVERIFY(m_editor);
        QCOMPARE(calls, 0);   // the first activation here calls nothing...
        QVERIFY(m_editor->netEntPat->Connected());   // ...yet the connection is made
        QVERIFY(!boPrimVez);
        QCOMPARE(m_editor->stFiltroTodosAla, QStringLiteral("T"));
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);

        showDataSheet();
        bool markedAfter = true;
        script().answerDialog([&](QDialog &dialog) {
            markedAfter = dialog.property(qPrintable(used)).toBool();
            return int(QDialog::Rejected);
        });
        pressFilter();
        QVERIFY(!markedAfter);
        QVERIFY(script().allAnswersUsed());
    }

    // A screen reader names every control a user can reach and every button;
    // the screen code, the navigator's caption and the tool buttons read
    // their texts.
    void everyControlHasAnAccessibleName()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        const auto name = [](QWidget *control) {
            QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
            return face ? face->text(QAccessible::Name).trimmed() : QString();
        };
        QStringList unnamed;
        for (QWidget *control : m_editor->findChildren<QWidget *>()) {
            const bool reachable = control->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(control);
            if (control->isVisible() && reachable && name(control).isEmpty())
                unnamed << QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ')
                               + control->objectName();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
        QCOMPARE(name(m_editor->lblCodTela), QStringLiteral("VQN18000"));
        QCOMPARE(name(m_editor->dbtNome), m_editor->dbtNome->text());
        const QList<QToolButton *> buttons = m_editor->tlbPadrao->findChildren<QToolButton *>();
        for (QToolButton *button : buttons)
            if (button->isVisible() && button->defaultAction())
                QCOMPARE(name(button), button->defaultAction()->toolTip());
        QCOMPARE(name(m_editor->sbtIncluir), QStringLiteral("Incluir"));
    }

    void clickingTheDataSheetTabListsTheBranchInpatients()
    {
        m_editor = m_harness->openEditor();
        QTabBar *tabs = m_editor->pgcPadrao->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(m_editor->pgcPadrao->indexOf(m_editor->tshFolhaDados)).center());
        QCoreApplication::processEvents();
        QCOMPARE(m_editor->ActivePage(), m_editor->tshFolhaDados);
        QVERIFY(m_editor->cdsPaciFiltro->Active());
        QVERIFY(m_editor->cdsPaciFiltro->RecordCount() >= 5);
        QVERIFY(m_editor->mnuFiltrar->isEnabled());
        QVERIFY(!m_editor->mnuIncluir->isEnabled());
    }

    void theListTakesNoNewRows()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        showDataSheet();
        const int rows = m_editor->cdsPaciFiltro->RecordCount();
        EditorHarness::focus(m_editor->dbgPadrao);
        QTest::keyClick(m_editor->dbgPadrao, Qt::Key_Insert);
        QCOMPARE(m_editor->cdsPaciFiltro->RecordCount(), rows);
        QCOMPARE(m_editor->cdsPaciFiltro->State(), DataSetState::Browse);
        QVERIFY(script().messages().isEmpty());
    }

    void observationIsStoredAndACancelReloadsTheList()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        showDataSheet();
        ClientDataSet &list = *m_editor->cdsPaciFiltro;
        QVERIFY(list.Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithoutRecords));
        QVERIFY(m_editor->mnuAlterar->isEnabled());
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QCOMPARE(list.State(), DataSetState::Edit);
        QVERIFY(!m_editor->pgcPadrao->isTabEnabled(m_editor->pgcPadrao->indexOf(m_editor->tshFormulario)));
        QVERIFY(!m_editor->medFilial->isEnabled());
        list.FieldByName(QStringLiteral("DSSERVINTE"))->SetAsString(QStringLiteral("Jejum após 22h"));
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QCOMPARE(list.State(), DataSetState::Browse);
        QVERIFY(m_editor->medFilial->isEnabled());

        // Another workstation changes the observation; cancelling an edit
        // here reloads the list and shows it.
        const ServerResult stored = callServer(m_harness->server().port(), QStringLiteral("UpdServInte"),
                                               {Fixture::AdultWithoutRecords, QStringLiteral("Outra observação"),
                                                Fixture::BranchAdjust});
        QVERIFY2(stored.ok, qPrintable(stored.error));
        QVERIFY(list.Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithoutRecords));
        QCOMPARE(list.FieldByName(QStringLiteral("DSSERVINTE"))->AsString(), QStringLiteral("Jejum após 22h"));
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        list.FieldByName(QStringLiteral("DSSERVINTE"))->SetAsString(QStringLiteral("descartar"));
        script().answerQuestion(true);
        QTest::mouseClick(m_editor->sbtCancelar, Qt::LeftButton);
        QCOMPARE(rowValue(list, QStringLiteral("CDPACIENTE"), Fixture::AdultWithoutRecords, QStringLiteral("DSSERVINTE")),
                 QStringLiteral("Outra observação"));
    }

    void theFormPageTakesTheListsPatient()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        showDataSheet();
        QVERIFY(m_editor->cdsPaciFiltro->Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithRecords));
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFormulario);
        QCoreApplication::processEvents();
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
        QCOMPARE(m_editor->edtCdPaciente->Text(), Fixture::AdultWithRecords);
        QCOMPARE(m_editor->edtLeito->Text(), QStringLiteral("L0004"));
        QVERIFY(!m_editor->edtNmPaciente->Text().isEmpty());
        QCOMPARE(m_editor->cdsServInte->RecordCount(), 2);
        QCOMPARE(QApplication::focusWidget(), m_editor->dbgServico);
        QVERIFY(!m_editor->mnuFiltrar->isEnabled());
        QVERIFY(m_editor->mnuIncluir->isEnabled());
    }
};

QTEST_MAIN(TestEditorSelection)
#include "tst_editorselection.moc"
