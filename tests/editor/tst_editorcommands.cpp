// The maintenance commands as a user gives them: tool buttons pressed with
// the mouse while the focus is where the user left it. The focus stays in
// the grid, every command acts on the level that has it, Cancelar asks,
// and a refused post keeps the record as typed.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "screens/dbtext.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "widgets/maskedit.h"
#include "widgets/widgetutils.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(DataSetState)

namespace {

const QString kWeight = QStringLiteral("NRSERVPESO");
const QString kDate = QStringLiteral("DTSERVINTE");
const QString cancelQuestion = QStringLiteral("Confirma o cancelamento das alterações?");

} // namespace

class TestEditorCommands : public EditorTestCase
{
    Q_OBJECT

private:
    TDBGrid &grid() { return *m_editor->dbgServico; }
    ClientDataSet &records() { return *m_editor->cdsServInte; }

    void openPatient(const QString &patient)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(patient);
    }

    int columnOf(TDBGrid &on, const QString &fieldName)
    {
        for (int column = 0; column < on.ColumnCount(); ++column)
            if (on.Columns().at(column).fieldName == fieldName)
                return column;
        return -1;
    }

    static bool inside(const QWidget *widget, const QWidget *container)
    {
        for (; widget; widget = widget->parentWidget())
            if (widget == container)
                return true;
        return false;
    }

    QToolButton *button(const QString &name)
    {
        return m_editor->findChild<QToolButton *>(name);
    }

    // One step of a user: "Incluir" and the other captions press their tool
    // button; "Tab" presses Tab in the grid; "frame" gives the focus to the
    // child window, as the host does when its window is activated again;
    // "weight=…" and "date=…" type into that column; anything else is typed.
    void step(const QString &action)
    {
        static const QHash<QString, QString> buttons = {
            {QStringLiteral("Incluir"), QStringLiteral("sbtIncluir")},
            {QStringLiteral("Alterar"), QStringLiteral("sbtAlterar")},
            {QStringLiteral("Excluir"), QStringLiteral("sbtExcluir")},
            {QStringLiteral("Cancelar"), QStringLiteral("sbtCancelar")},
            {QStringLiteral("Confirmar"), QStringLiteral("sbtConfirmar")},
        };
        static const QHash<QString, Qt::Key> menuLetters = {
            {QStringLiteral("menu Incluir"), Qt::Key_I},   {QStringLiteral("menu Alterar"), Qt::Key_A},
            {QStringLiteral("menu Excluir"), Qt::Key_E},   {QStringLiteral("menu Cancelar"), Qt::Key_C},
            {QStringLiteral("menu Confirmar"), Qt::Key_O},
        };
        if (menuLetters.contains(action)) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
            QMenu *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY2(menu, "Alt+M opened no menu");
            QTest::keyClick(menu, menuLetters.value(action));
            // The offscreen platform activates a popup late, once it has
            // closed; a desktop gives the activation back to the main window.
            QCoreApplication::processEvents();
            m_editor->window()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(m_editor->window()));
        } else if (buttons.contains(action)) {
            QToolButton *pressed = button(buttons.value(action));
            QVERIFY2(pressed->isEnabled(), qPrintable(action + QStringLiteral(" is disabled")));
            QTest::mouseClick(pressed, Qt::LeftButton);
        } else if (action == QLatin1String("Tab")) {
            QTest::keyClick(&grid(), Qt::Key_Tab);
        } else if (action == QLatin1String("frame")) {
            m_editor->parentWidget()->setFocus(Qt::ActiveWindowFocusReason);
        } else if (action.startsWith(QLatin1String("weight=")) || action.startsWith(QLatin1String("date="))) {
            const QString field = action.startsWith(QLatin1Char('w')) ? kWeight : kDate;
            grid().SetSelectedIndex(columnOf(grid(), field));
            QTest::keyClicks(&grid(), action.section(QLatin1Char('='), 1));
        } else {
            QTest::keyClicks(&grid(), action);
        }
        QCoreApplication::processEvents();
    }

    int storedRecords(const QString &patient)
    {
        const ServerResult result =
            callServer(m_harness->server().port(), QStringLiteral("getServInte"),
                       {patient, Fixture::admission().toString(Qt::ISODate), Fixture::BranchAdjust});
        return result.ok ? int(DataPacket::fromJson(result.data).rows.size()) : -1;
    }

private slots:
    void commandsKeepTheFocusAndTheRecord_data()
    {
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<DataSetState>("state");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("stored");

        const QString withRecords = Fixture::AdultWithRecords;
        const QString without = Fixture::AdultWithoutRecords;
        QTest::newRow("Alterar right after Confirmar")
            << without << QStringList{"Incluir", "20", "Tab", "3", "Tab", "weight=50", "Confirmar", "Alterar"} << true
            << DataSetState::Edit << QStringList() << 1;
        QTest::newRow("Cancelar asks on a new record")
            << without << QStringList{"Incluir", "20", "Tab", "3", "Tab", "weight=50", "Cancelar"} << true
            << DataSetState::Browse << QStringList{cancelQuestion} << 0;
        QTest::newRow("Cancelar asks on an incomplete record")
            << without << QStringList{"Incluir", "Cancelar"} << true << DataSetState::Browse
            << QStringList{cancelQuestion} << 0;
        QTest::newRow("Cancelar asks on a pending weight")
            << withRecords << QStringList{"Alterar", "80", "Cancelar"} << true << DataSetState::Browse
            << QStringList{cancelQuestion} << 2;
        QTest::newRow("Cancelar answered no keeps the weight")
            << withRecords << QStringList{"Alterar", "80", "Cancelar"} << false << DataSetState::Edit
            << QStringList{cancelQuestion} << 2;
        QTest::newRow("menu: Alterar right after Confirmar")
            << without
            << QStringList{"menu Incluir", "20", "Tab", "3", "Tab", "weight=50", "menu Confirmar", "menu Alterar"}
            << true << DataSetState::Edit << QStringList() << 1;
        QTest::newRow("menu: Cancelar asks on a new record")
            << without << QStringList{"menu Incluir", "20", "Tab", "3", "Tab", "weight=50", "menu Cancelar"} << true
            << DataSetState::Browse << QStringList{cancelQuestion} << 0;
        QTest::newRow("a refused weight keeps the new record")
            << without << QStringList{"Incluir", "20", "Tab", "3", "Tab", "weight=-5", "Confirmar", "frame"} << true
            << DataSetState::Insert << QStringList{QStringLiteral("Peso deve ser maior que zero.")} << 0;
        QTest::newRow("a refused date keeps the new record, told once")
            << without << QStringList{"Incluir", "date=31022005", "Tab", "frame"} << true << DataSetState::Insert
            << QStringList{QStringLiteral("'31/02/2005' não é uma data válida.")} << 0;
    }

    void commandsKeepTheFocusAndTheRecord()
    {
        QFETCH(QString, patient);
        QFETCH(QStringList, steps);
        QFETCH(bool, answer);
        QFETCH(DataSetState, state);
        QFETCH(QStringList, messages);
        QFETCH(int, stored);
        openPatient(patient);
        if (messages.contains(cancelQuestion))
            script().answerQuestion(answer);
        for (const QString &action : steps) {
            step(action);
            if (QTest::currentTestFailed())
                return;
            QVERIFY2(inside(QApplication::focusWidget(), &grid()), qPrintable(QStringLiteral("focus lost after ") + action + QLatin1Char(' ')
                                + (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                               : "none")));
        }
        QCOMPARE(records().State(), state);
        QVERIFY2(script().messages() == messages, qPrintable(script().messages().join(QLatin1Char('|'))));
        QCOMPARE(storedRecords(patient), stored);
        const bool pending = state != DataSetState::Browse;
        QCOMPARE(m_editor->sbtConfirmar->isEnabled(), pending);
        QCOMPARE(m_editor->sbtCancelar->isEnabled(), pending);
        // A pending record is still there to be corrected.
        QVERIFY(!pending || !records().IsEmpty());
    }

    void alterarOnTheDataSheetEditsTheObservation_data()
    {
        QTest::addColumn<QString>("alterar");
        QTest::addColumn<QString>("confirmar");
        QTest::newRow("tool buttons") << QStringLiteral("Alterar") << QStringLiteral("Confirmar");
        QTest::newRow("menu") << QStringLiteral("menu Alterar") << QStringLiteral("menu Confirmar");
    }

    // Alterar on the data sheet edits the current patient's observation,
    // wherever the focus was; the list keeps its rows and current patient,
    // whose name the caption shows while the observation is typed.
    void alterarOnTheDataSheetEditsTheObservation()
    {
        QFETCH(QString, alterar);
        QFETCH(QString, confirmar);
        m_editor = m_harness->openEditor();
        QCOMPARE(QApplication::focusWidget(), m_editor->medFilial);
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
        QCoreApplication::processEvents();
        ClientDataSet &list = *m_editor->cdsPaciFiltro;
        const int rows = list.RecordCount();
        QVERIFY(rows >= 5);
        QVERIFY(list.Locate(QStringLiteral("CDPACIENTE"), Fixture::Infant));
        const QString name = list.FieldByName(QStringLiteral("NMPACIENTE"))->AsString();
        EditorHarness::focus(m_editor->medFilial);
        step(alterar);
        QCOMPARE(list.RecordCount(), rows);
        QCOMPARE(list.State(), DataSetState::Edit);
        QCOMPARE(list.FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), Fixture::Infant);
        QTest::keyClicks(m_editor->dbgPadrao, QStringLiteral("Sem sal"));

        QVERIFY(m_editor->dbgPadrao->EditorMode());
        QCOMPARE(m_editor->dbtNome->text(), name);   // the patient's name stays in view
        TDBGrid &sheet = *m_editor->dbgPadrao;
        const int nameColumn = IndiceCol(sheet, QStringLiteral("NMPACIENTE"));
        QVERIFY(sheet.columnViewportPosition(nameColumn) >= 0);
        QVERIFY(sheet.columnViewportPosition(sheet.SelectedIndex()) < sheet.viewport()->width());

        step(confirmar);
        QCOMPARE(list.FieldByName(QStringLiteral("DSSERVINTE"))->AsString(), QStringLiteral("Sem sal"));
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        QVERIFY(script().messages().isEmpty());
    }

    // Pages and the commands they allow.
    void pagesOfferOnlyTheirCommands()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        // The form page is shown at start: no filter, and no Alterar while
        // no patient's records are open, though the list is loaded.
        QVERIFY(m_editor->cdsPaciFiltro->Active());
        QVERIFY(!m_editor->mnuFiltrar->isEnabled());
        QVERIFY(!m_editor->sbtFiltrar->isEnabled());
        QVERIFY(!m_editor->mnuAlterar->isEnabled());
        const QString before = m_editor->edtCdPaciente->Text();
        QTest::keyClick(m_editor->medFilial, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(m_editor->edtCdPaciente->Text(), before);

        // The data sheet's current patient goes to the form page and is the
        // current row again when the list is read once more.
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
        QCoreApplication::processEvents();
        QVERIFY(m_editor->mnuFiltrar->isEnabled());
        QVERIFY(m_editor->cdsPaciFiltro->Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithRecords));
        int calls = 0;
        QHash<QString, int> byMethod;
        connect(m_editor->netEntPat, &TNetConnection::calling, this, [&](const QString &method) {
            ++calls;
            ++byMethod[method];
        });
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFormulario);
        QCoreApplication::processEvents();
        QCOMPARE(m_editor->edtCdPaciente->Text(), Fixture::AdultWithRecords);
        // One check on leaving the patient panel, one on entering the grids.
        QCOMPARE(byMethod.value(QStringLiteral("getVdPaciente")), 2);
        QCOMPARE(byMethod.value(QStringLiteral("getServInte")), 1);
        QCOMPARE(byMethod.value(QStringLiteral("getConfesco")), 1);
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
        QCoreApplication::processEvents();
        QCOMPARE(m_editor->cdsPaciFiltro->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(),
                 Fixture::AdultWithRecords);
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
        QVERIFY(calls > 0);
    }

    // An unreadable saved selection starts the editor as if there were none.
    void anUnreadableSelectionStartsOnTheBranchCode()
    {
        QFile file(m_harness->selectionFile());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a dataset");
        file.close();
        m_editor = m_harness->openEditor();
        QCOMPARE(m_editor->medFilial->Text(), Fixture::BranchAdjust);
        QCOMPARE(QApplication::focusWidget(), m_editor->medFilial);
        QVERIFY(script().messages().isEmpty());
    }

    void aDeletionLoadsTheItemsOnce()
    {
        openPatient(Fixture::AdultWithRecords);
        QStringList calls;
        connect(m_editor->netEntPat, &TNetConnection::calling, this,
                [&](const QString &method) { calls << method; });
        script().answerQuestion(true);
        step(QStringLiteral("Excluir"));
        QCOMPARE(records().RecordCount(), 1);
        QVERIFY2(calls.count(QStringLiteral("getConfesco")) == 1, qPrintable(calls.join(QLatin1Char(' '))));
    }

    // The hundredth record of a day is refused before anything is sent.
    void theHundredthRecordOfADayIsRefused()
    {
        openPatient(Fixture::AdultWithoutRecords);
        const ServerResult seeded = callServer(
            m_harness->server().port(), QStringLiteral("SetServInte"),
            {QJsonObject{{QStringLiteral("changes"),
                          QJsonArray{QJsonObject{
                              {QStringLiteral("kind"), QStringLiteral("insert")},
                              {QStringLiteral("new"),
                               QJsonObject{{"CDFILIAL", Fixture::BranchAdjust}, {"CDPACIENTE", Fixture::AdultWithoutRecords},
                                           {"DTSERVINTE", QDate::currentDate().startOfDay().toString(Qt::ISODate)},
                                           {"NRSEQUSERV", "99"}, {"DTINTERNA", Fixture::admission().toString(Qt::ISODate)},
                                           {"CDSERVFILI", Fixture::ParenteralService},
                                           {"CDDIETPAD", Fixture::ParenteralDiet}}}}}}}});
        QVERIFY2(seeded.ok, qPrintable(seeded.error));
        int sends = 0;
        connect(m_editor->netEntPat, &TNetConnection::calling, this, [&](const QString &method) {
            sends += method == QLatin1String("SetServInte");
        });
        for (const char *action : {"Incluir", "10", "Tab", "1", "Tab", "Confirmar"})
            step(QString::fromLatin1(action));
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Numeração de serviços do dia esgotada.")});
        QCOMPARE(records().State(), DataSetState::Insert);
        QCOMPARE(sends, 0);
    }

    // A code typed in lower case is the stored code with its name.
    void aLowerCaseCodeIsTheStoredCode()
    {
        openPatient(Fixture::AdultWithoutRecords);
        for (const char *action : {"Incluir", "se", "Tab", "1", "Tab", "Confirmar"})
            step(QString::fromLatin1(action));
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
        QCOMPARE(records().FieldByName(QStringLiteral("CDSERVFILI"))->AsString(), Fixture::LetterService);
        QCOMPARE(records().FieldByName(QStringLiteral("NMSERVICO"))->AsString(), QStringLiteral("Suporte Enteral"));
    }
};

QTEST_MAIN(TestEditorCommands)
#include "tst_editorcommands.moc"
