// The patient filter dialog, opened from the editor's data sheet by its
// tool button or Ctrl+L, against the fixture server.

#include "editortestcase.h"

#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "core/consiste.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "filter/frmfiltrarentparent.h"
#include "screens/hostmainwindow.h"
#include "fixturedb.h"
#include "windowactivation.h"
#include "lib/sqlsession.h"

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace Fixture;

namespace {

using Act = std::function<void(TfrmFiltrarEntParent &)>;

QString typed(const QDate &date) { return date.toString(QStringLiteral("ddMMyyyy")); }

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
    QCoreApplication::processEvents();
}

// Types over the whole date edit (an empty text clears it).
void typeDate(TDateEditPlus *edit, const QString &digits)
{
    EditorHarness::focus(edit);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, digits);
}

QStringList listed(ClientDataSet &list)
{
    QStringList codes;
    for (int row = 0; row < list.RecordCount(); ++row)
        codes << list.valueAt(row, list.FieldByName(QStringLiteral("CDPACIENTE"))->Index()).toString();
    codes.sort();
    return codes;
}

QStringList editorFilterTexts(const TfrmEntParenteral &editor)
{
    return {editor.stFiltroTodosPaci,  editor.stFiltroPaci,  editor.stFiltroTodosAla,
            editor.stFiltroAla,        editor.stFiltroTodosAndar, editor.stFiltroAndar,
            editor.stFiltroTodosPadInter, editor.stFiltroPadInter, editor.stFiltroTodasDatas};
}

const QStringList AllFilter{"T", "", "T", "", "T", "", "T", "", "T"};
const QStringList Inpatients{Newborn, Infant, OneYearOneMonth, AdultWithRecords, AdultWithoutRecords};

} // namespace

class TestFilterDialog : public EditorTestCase
{
    Q_OBJECT

private:
    // The editor on branch "0001" with its data sheet shown by a click on
    // its tab.
    void openDataSheet(const QString &branch = BranchAdjust)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(branch);
        QTabBar *tabs = m_editor->pgcPadrao->tabBar();
        QTest::mouseClick(tabs, Qt::LeftButton, {},
                          tabs->tabRect(m_editor->pgcPadrao->indexOf(m_editor->tshFolhaDados)).center());
        QCoreApplication::processEvents();
        QCOMPARE(m_editor->ActivePage(), m_editor->tshFolhaDados);
    }

    // Opens the filter dialog as the user does (a click on the tool button,
    // or Ctrl+L in the patient list), shows it and lets `act` work on it;
    // a dialog still open afterwards is closed by its close box.
    void useFilter(const Act &act, bool byKey = false)
    {
        QWidget *host = &m_harness->host();
        script().answerDialog([act, host](QDialog &dialog) {
            auto &filter = static_cast<TfrmFiltrarEntParent &>(dialog);
            if (!showActive(filter))
                return int(QDialog::Rejected);
            act(filter);
            if (filter.isVisible())
                filter.close();
            // As at the end of a modal run, the host's window is active again.
            host->activateWindow();
            QTest::qWaitForWindowActive(host);
            return filter.result();
        });
        if (byKey) {
            EditorHarness::focus(m_editor->dbgPadrao);
            QTest::keyClick(m_editor->dbgPadrao, Qt::Key_L, Qt::ControlModifier);
        } else {
            click(m_editor->sbtFiltrar);
        }
        QVERIFY2(script().allAnswersUsed(), qPrintable(script().pendingAnswers().join(QLatin1String(", "))));
    }

    // Chooses "Lista" in a group and marks `codes` in its search list.
    static void listCodes(ScriptedInteraction &script, QRadioButton *list, TBtnPesquisa *search,
                          const QStringList &codes)
    {
        click(list);
        script.answerMarkList(codes);
        click(search);
    }

    QDialog *m_seen = nullptr;

private slots:
    void confirmedFilterNarrowsTheDataSheet_data()
    {
        QTest::addColumn<QStringList>("floors");
        QTest::addColumn<QStringList>("patients");
        QTest::addColumn<int>("startDaysAgo");   // -1: empty date
        QTest::addColumn<int>("endDaysAgo");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all") << QStringList() << QStringList() << -1 << -1 << Inpatients;
        QTest::newRow("one floor and one patient")
            << QStringList{"2"} << QStringList{AdultWithRecords} << -1 << -1 << QStringList{AdultWithRecords};
        QTest::newRow("patient on another floor") << QStringList{"2"} << QStringList{Newborn} << -1 << -1 << QStringList();
        QTest::newRow("service day") << QStringList() << QStringList() << 1 << 1 << QStringList{AdultWithRecords};
        QTest::newRow("days without service") << QStringList() << QStringList() << 30 << 20 << QStringList();
    }
    void confirmedFilterNarrowsTheDataSheet()
    {
        QFETCH(QStringList, floors);
        QFETCH(QStringList, patients);
        QFETCH(int, startDaysAgo);
        QFETCH(int, endDaysAgo);
        QFETCH(QStringList, expected);
        openDataSheet();
        const QDate today = QDate::currentDate();
        useFilter([&](TfrmFiltrarEntParent &f) {
            if (!floors.isEmpty())
                listCodes(script(), f.rbtListaAndar, f.btpAndar, floors);
            if (!patients.isEmpty())
                listCodes(script(), f.rbtListaPaci, f.btpPaci, patients);
            if (startDaysAgo >= 0) {
                typeDate(f.depDataIni, typed(today.addDays(-startDaysAgo)));
                typeDate(f.depDataFim, typed(today.addDays(-endDaysAgo)));
            }
            click(f.sbtConfirma);
            QVERIFY(!f.isVisible());
        }, floors.isEmpty());
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join('\n')));
        expected.sort();
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), expected);

        QStringList filter = AllFilter;
        if (!floors.isEmpty())
            filter[4] = QString(), filter[5] = QStringLiteral("'2'");
        if (!patients.isEmpty())
            filter[0] = QString(), filter[1] = QStringLiteral("'%1'").arg(patients.first());
        if (startDaysAgo >= 0)
            filter[8] = QString();
        QCOMPARE(editorFilterTexts(*m_editor), filter);
        QCOMPARE(m_editor->dtFiltroIni.date(), startDaysAgo < 0 ? QDate() : today.addDays(-startDaysAgo));
        QCOMPARE(m_editor->dtFiltroFim.date(), startDaysAgo < 0 ? QDate() : today.addDays(-endDaysAgo));
    }

    void checksComeInOrderAndChangeNothing()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            click(f.rbtListaAndar);
            click(f.rbtListaAla);
            QVERIFY(f.btpAndar->isEnabled() && f.btpAla->isEnabled() && !f.btpPaci->isEnabled());
            click(f.sbtConfirma);
            QCOMPARE(script().errors(), QStringList{"Andar deve ser informado."});
            QCOMPARE(QApplication::focusWidget(), f.rbtListaAndar);
            script().answerMarkList(QStringList{"1"});
            click(f.btpAndar);
            click(f.sbtConfirma);
            QCOMPARE(script().errors().last(), QStringLiteral("Ala deve ser informada."));
            QCOMPARE(QApplication::focusWidget(), f.rbtListaAla);
            QVERIFY(f.isVisible());

            // Choosing "Todos" empties the list: back on "Lista" it must be
            // picked again.
            click(f.rbtTodosAla);
            listCodes(script(), f.rbtListaPaci, f.btpPaci, {Infant});
            click(f.rbtTodosPaci);
            QVERIFY(!f.btpPaci->isEnabled());
            click(f.rbtListaPaci);
            click(f.sbtConfirma);
            QCOMPARE(script().errors().last(), QStringLiteral("Paciente deve ser informado."));
            QCOMPARE(QApplication::focusWidget(), f.rbtListaPaci);
            click(f.rbtTodosPaci);
            click(f.rbtListaPadInter);
            click(f.sbtConfirma);
            QCOMPARE(script().errors().last(), QStringLiteral("Padrão de internação deve ser informado."));
        });
        QCOMPARE(editorFilterTexts(*m_editor), AllFilter);
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), Inpatients);
    }

    void dateChecks_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("start only") << "01122026" << "" << "Data final do período deve ser informada." << "depDataFim";
        QTest::newRow("end only") << "" << "01122026" << "Data inicial do período deve ser informada." << "depDataIni";
        QTest::newRow("end before start") << "02122026" << "01122026"
                                          << "Data inicial deve ser menor ou igual a data final." << "depDataIni";
        QTest::newRow("no such day") << "31022026" << "01122026" << "'31/02/2026' não é uma data válida."
                                     << "depDataIni";
        QTest::newRow("same day") << "01122026" << "01122026" << "" << "";
    }
    void dateChecks()
    {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            typeDate(f.depDataIni, start);
            typeDate(f.depDataFim, end);
            EditorHarness::focus(f.rbtTodosAndar);
            script().clear();   // leaving a date edit may already report it
            click(f.sbtConfirma);
            QCOMPARE(script().errors(), message.isEmpty() ? QStringList() : QStringList{message});
            if (!message.isEmpty())
                QCOMPARE(QApplication::focusWidget()->objectName(), focus);
        });
        if (message.isEmpty()) {
            QCOMPARE(m_editor->stFiltroTodasDatas, QString());
            QCOMPARE(m_editor->dtFiltroIni, QDateTime(QDate(2026, 12, 1), QTime(0, 0)));
            QCOMPARE(m_editor->dtFiltroFim, m_editor->dtFiltroIni);
        } else {
            QCOMPARE(m_editor->stFiltroTodasDatas, QStringLiteral("T"));
        }
    }

    void weekdayNamesFollowTheDates()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            QCOMPARE(f.edtDataIni->Text(), QString());
            QVERIFY(!f.edtDataIni->isEnabled());
            typeDate(f.depDataIni, QStringLiteral("06122026"));
            QCOMPARE(f.edtDataIni->Text(), QStringLiteral("Domingo"));
            typeDate(f.depDataFim, QStringLiteral("07122026"));
            QCOMPARE(f.edtDataFim->Text(), QStringLiteral("Segunda-feira"));
            typeDate(f.depDataFim, QString());
            QCOMPARE(f.edtDataFim->Text(), QString());
        });
    }

    void closeBoxKeepsTheLastConfirmedFilter()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            m_seen = &f;
            listCodes(script(), f.rbtListaAndar, f.btpAndar, {"2"});
            typeDate(f.depDataIni, typed(recordDay()));
            typeDate(f.depDataFim, typed(QDate::currentDate()));
            click(f.sbtConfirma);
        });
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), QStringList{AdultWithRecords});

        // Changes closed away by the close box are forgotten; the list is
        // read again with the confirmed filter.
        useFilter([&](TfrmFiltrarEntParent &f) {
            QCOMPARE(&f, m_seen);
            click(f.rbtTodosAndar);
            listCodes(script(), f.rbtListaAla, f.btpAla, {"01"});
            typeDate(f.depDataIni, QString());
        }, true);
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), QStringList{AdultWithRecords});

        useFilter([&](TfrmFiltrarEntParent &f) {
            QVERIFY(f.rbtListaAndar->isChecked() && f.btpAndar->isEnabled());
            QVERIFY(f.rbtTodosAla->isChecked() && !f.btpAla->isEnabled());
            QVERIFY(f.rbtTodosPaci->isChecked() && f.rbtTodosPadInter->isChecked());
            QCOMPARE(f.depDataIni->GetDate(), recordDay());
            QCOMPARE(f.edtDataIni->Text(), NomeSemana(recordDay()));
            // The floor search starts from the confirmed floors.
            script().answerMarkList(std::nullopt);
            click(f.btpAndar);
            QCOMPARE(script().lastMarked(), QStringList{"2"});
        });
        QCOMPARE(editorFilterTexts(*m_editor)[5], QStringLiteral("'2'"));
    }

    void codesHoldingSqlMatchNothingAndChangeNothing()
    {
        openDataSheet();
        const QStringList hostile{QStringLiteral("02' OR '1'='1"), QStringLiteral("x'); DELETE FROM INTERNAC; --")};
        useFilter([&](TfrmFiltrarEntParent &f) {
            listCodes(script(), f.rbtListaAla, f.btpAla, hostile);
            listCodes(script(), f.rbtListaPaci, f.btpPaci, hostile);
            click(f.sbtConfirma);
        });
        QVERIFY(script().errors().isEmpty());
        QCOMPARE(m_editor->stFiltroAla, QStringLiteral("'02'' OR ''1''=''1','x''); DELETE FROM INTERNAC; --'"));
        QVERIFY(m_editor->cdsPaciFiltro->Active());
        QCOMPARE(m_editor->cdsPaciFiltro->RecordCount(), 0);
        useFilter([&](TfrmFiltrarEntParent &f) {
            click(f.rbtTodosAla);
            click(f.rbtTodosPaci);
            click(f.sbtConfirma);
        });
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), Inpatients);
    }

    void failedLoadKeepsTheEditorFilter()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            listCodes(script(), f.rbtListaAndar, f.btpAndar, {"1"});
            m_harness->server().stop();
            click(f.sbtConfirma);
            QCOMPARE(script().errors().size(), 1);
            QVERIFY(f.isVisible());
            QCOMPARE(editorFilterTexts(*m_editor), AllFilter);
            QCOMPARE(listed(*m_editor->cdsPaciFiltro), Inpatients);
        });
    }

    void patientSearchOfABranchWithoutInpatients()
    {
        {
            SqlSession session(DatabaseConfig::parse(m_harness->server().database()), QStringLiteral("discharge"));
            session.execute(QStringLiteral("UPDATE INTERNAC SET DTALTA = DTINTERNA WHERE CDFILIAL = ?"), {BranchPlain});
        }
        openDataSheet(BranchPlain);
        useFilter([&](TfrmFiltrarEntParent &f) {
            click(f.rbtListaPaci);
            click(f.btpPaci);
            QCOMPARE(script().messages(), QStringList{"Não há paciente (internado) cadastrado."});
        });
    }

    void searchListsReadTheirLookups()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) {
            listCodes(script(), f.rbtListaPaci, f.btpPaci, {AdultWithRecords});
            listCodes(script(), f.rbtListaAla, f.btpAla, {"03"});
            listCodes(script(), f.rbtListaPadInter, f.btpPadInter, {"APT", "UTI"});
            QCOMPARE(f.qryAla->RecordCount(), 3);
            QVERIFY(f.qryPadInter->RecordCount() >= 3);
            QCOMPARE(f.cdsPaci->RecordCount(), int(Inpatients.size()));
            // The column of the marks is titled in words, not by its field name.
            QCOMPARE(f.cdsPaci->FieldByName(QStringLiteral("IDMARCADO"))->DisplayLabel(), QStringLiteral("Marcado"));
            QStringList titles;
            for (const auto &event : script().events())
                if (event.kind == QLatin1String("mark"))
                    titles << event.text;
            QCOMPARE(titles, (QStringList{"Paciente (Internado)", "Ala", "Padrão Internação"}));
            click(f.sbtConfirma);
        });
        QCOMPARE(m_editor->stFiltroPadInter, QStringLiteral("'APT','UTI'"));
        QCOMPARE(listed(*m_editor->cdsPaciFiltro), QStringList());   // the adult lies in wing 02
    }

    void helpShowsTheTopicOfTheDialog()
    {
        openDataSheet();
        useFilter([&](TfrmFiltrarEntParent &f) { click(f.sbtAjuda); });
        QCOMPARE(script().messages().size(), 1);
        QVERIFY2(script().messages().first().startsWith(QStringLiteral("Filtrar pacientes (VQN18010)\n\n")),
                 qPrintable(script().messages().first()));
    }
};

QTEST_MAIN(TestFilterDialog)
#include "tst_filterdialog.moc"
