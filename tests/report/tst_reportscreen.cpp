// The report selection screen, opened from the editor's print button as a
// user does, against the fixture server and database.

#include "reporttestsupport.h"

#include "editortestcase.h"

#include "widgets/buttonflat.h"
#include "widgets/dateeditplus.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "report/reportcatalog.h"
#include "report/reportdesigner.h"
#include "report/reporteditdialog.h"
#include "report/frmrelentpare.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

using Form = TfrmRelEntPare;

class TestReportScreen : public EditorTestCase
{
    Q_OBJECT

private:
    // Presses the editor's print button; `act` works on the report screen
    // while it is shown.
    void onReportScreen(const std::function<void(Form &)> &act)
    {
        if (!m_editor)
            m_editor = m_harness->openEditor();
        QVERIFY(m_editor);
        script().answerDialog([act](QDialog &dialog) {
            dialog.show();
            dialog.activateWindow();
            if (!QTest::qWaitForWindowActive(&dialog))
                qWarning("the report screen did not become active");
            auto *form = qobject_cast<Form *>(&dialog);
            if (!form)
                qWarning("the print button did not open the report screen");
            else
                act(*form);
            dialog.hide();
            return int(QDialog::Rejected);
        });
        QTest::mouseClick(m_editor->sbtImprimir, Qt::LeftButton);
        QVERIFY(script().allAnswersUsed());
    }

    static void click(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static void setPeriod(Form &form, const QDate &start, const QDate &end)
    {
        form.depIni->SetDate(start);
        form.depFim->SetDate(end);
    }

    // Answers the print dialog with a PDF file as the printer.
    void printToPdf(const QString &pdf)
    {
        script().answerDialog([pdf](QDialog &dialog) { return ::printToPdf(dialog, pdf); });
    }

    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ReportCatalog::setFolders(m_dir.filePath(QStringLiteral("user")), QString());
    }

    void cleanupTestCase()
    {
        ReportCatalog::setFolders(QString(), QString());
    }

    void opensFreshWithEveryCriterionOnTodos()
    {
        QPointer<Form> first;
        onReportScreen([&first](Form &form) {
            first = &form;
            QCOMPARE(form.windowTitle(), QStringLiteral("Enteral/Parenteral"));
            QCOMPARE(form.CodTela(), QStringLiteral("VQN18020"));
            QCOMPARE(form.lblCodRel->text(), QStringLiteral("VQN180"));
            QCOMPARE(form.cbbReportNames->currentText(), QStringLiteral("Prescrições Enteral/Parenteral"));
            for (QRadioButton *todos : {form.rbtLeitoT, form.rbtAndarT, form.rbtAlaT, form.rbtPadInteT,
                                        form.rbtServicoT, form.rbtDietaT, form.rbtViaDeAcessoT})
                QVERIFY(todos->isChecked());
            for (TButtonFlat *search : {form.btpLeito, form.btpAndar, form.btpAla, form.btpPadInter,
                                        form.btpServico, form.btpDieta, form.btpViaCesDiet}) {
                QVERIFY(!search->isEnabled());
                QCOMPARE(search->toolTip(), QStringLiteral("Pesquisar"));
            }
            const QString weekday = QLocale(QLocale::Portuguese, QLocale::Brazil)
                                        .toString(QDate::currentDate(), QStringLiteral("ddd"));
            QCOMPARE(form.edtNmIni->text(), weekday);
            QVERIFY(!form.edtNmIni->isEnabled());
            for (QWidget *control : form.findChildren<QWidget *>()) {
                if (control->isVisible() && control->focusPolicy() != Qt::NoFocus)
                    QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(control->objectName()));
            }
            for (QToolButton *button : {form.sbtPrint, form.sbtPreview, form.sbtSalvarComo, form.sbtReportEdit})
                QVERIFY(!button->accessibleName().isEmpty() && button->isVisible());
            QVERIFY(!form.sbtConfirma->isVisible());
            // Choosing a bed list.
            click(form.rbtLeitoL);
            QVERIFY(form.btpLeito->isEnabled());
        });
        // The next press makes a new screen with empty lists.
        Cli_vqn18020::stLeito = QStringLiteral("'L0001'");
        onReportScreen([&first](Form &form) {
            QVERIFY(&form != first.data());
            QVERIFY(form.rbtLeitoT->isChecked());
            QVERIFY(Cli_vqn18020::stLeito.isEmpty());
        });
    }

    void listChosenThenTodosThenListaIsEmpty()
    {
        onReportScreen([this](Form &form) {
            click(form.rbtAlaL);
            script().answerMarkList(QStringList{QStringLiteral("01"), QStringLiteral("03")});
            click(form.btpAla);
            QCOMPARE(script().events().last().text, QStringLiteral("Ala"));
            QCOMPARE(Cli_vqn18020::stAla, QStringLiteral("'01','03'"));
            click(form.rbtAlaT);
            QVERIFY(!form.btpAla->isEnabled());
            QVERIFY(Cli_vqn18020::stAla.isEmpty());
            click(form.rbtAlaL);
            QVERIFY(Cli_vqn18020::stAla.isEmpty());
            // Services are looked up again, in the editor's branch.
            click(form.rbtServicoL);
            script().answerMarkList(QStringList{Fixture::EnteralService});
            click(form.btpServico);
            QCOMPARE(Cli_vqn18020::stServico, QStringLiteral("'00010'"));
            QCOMPARE(form.qryServico->RecordCount(), 3);   // 00030 is not a hospital service of type 1
        });
    }

    void queryParametersByName()
    {
        onReportScreen([this](Form &form) {
            setPeriod(form, QDate(2026, 12, 1), QDate(2026, 12, 7));
            // Every criterion on Todos, a query with all ten and one more.
            TReportParams all({"P_CDLEITO", "P_CDANDAR", "P_CDALA", "P_PADINTER", "P_CDSERVFILI", "P_CDDIETA",
                               "P_CDVIACESDIET", "P_DTINI", "P_DTFIM", "P_CDFILIAL", "P_OUTRO"});
            bool cancel = false;
            form.rpddPadraoBeforeGetQueryParams(all, cancel);
            QVERIFY(!cancel);
            for (const char *code : {"P_CDLEITO", "P_CDANDAR", "P_CDALA", "P_PADINTER", "P_CDSERVFILI",
                                     "P_CDDIETA", "P_CDVIACESDIET"})
                QCOMPARE(all.ParamByName(QString::fromLatin1(code)).AsString(), QStringLiteral("T"));
            QCOMPARE(all.ParamByName(QStringLiteral("P_DTINI")).Value().toDateTime(), QDate(2026, 12, 1).startOfDay());
            QCOMPARE(all.ParamByName(QStringLiteral("P_DTFIM")).Value().toDateTime(), QDate(2026, 12, 7).startOfDay());
            QCOMPARE(all.ParamByName(QStringLiteral("P_CDFILIAL")).AsString(), Fixture::BranchAdjust);
            QVERIFY(all.ParamByName(QStringLiteral("P_OUTRO")).IsNull());
            // A list goes unchanged; a query without most parameters gets
            // only those it has.
            click(form.rbtDietaL);
            script().answerMarkList(QStringList{Fixture::EnteralDiet});
            click(form.btpDieta);
            TReportParams some({"P_CDDIETA", "P_DTFIM"});
            form.rpddPadraoBeforeGetQueryParams(some, cancel);
            QCOMPARE(some.ParamByName(QStringLiteral("P_CDDIETA")).AsString(), QStringLiteral("'0001'"));
            QCOMPARE(some.Names(), (QStringList{"P_CDDIETA", "P_DTFIM"}));
        });
    }

    void checksBeforeEachReportButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("bedList");
        QTest::addColumn<bool>("dietList");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const QDate day(2026, 12, 7);
        QTest::newRow("print: only the first empty list") << "sbtPrint" << true << true << day << day
                                                          << "Leito deve ser informado." << "rbtLeitoL";
        QTest::newRow("preview: diet list") << "sbtPreview" << false << true << day << day
                                            << "Dieta deve ser informada." << "rbtDietaL";
        QTest::newRow("save as: list before dates") << "sbtSalvarComo" << true << false << QDate() << day
                                                    << "Leito deve ser informado." << "rbtLeitoL";
        QTest::newRow("edit: lists not checked") << "sbtReportEdit" << true << true << QDate() << day
                                                 << "Data inicial deve ser informada." << "depIni";
        QTest::newRow("no end date") << "sbtPrint" << false << false << day << QDate()
                                     << "Data final deve ser informada." << "depFim";
        QTest::newRow("end before start") << "sbtPreview" << false << false << day << day.addDays(-1)
                                          << "Data incial deve ser menor ou igual a data final." << "depIni";
    }

    void checksBeforeEachReportButton()
    {
        QFETCH(QString, button);
        QFETCH(bool, bedList);
        QFETCH(bool, dietList);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        onReportScreen([&](Form &form) {
            if (bedList)
                click(form.rbtLeitoL);
            if (dietList)
                click(form.rbtDietaL);
            setPeriod(form, start, end);
            script().clear();
            click(form.findChild<QToolButton *>(button));
            QCOMPARE(script().errors(), QStringList{message});
            QCOMPARE(form.focusWidget()->objectName(), focus);
            QCOMPARE(script().events().size(), 1);   // no report dialog opened
        });
    }

    void previewShowsTheReportOfAPeriodOfOneDay()
    {
        onReportScreen([this](Form &form) {
            setPeriod(form, Fixture::recordDay(), Fixture::recordDay());
            int pages = 0;
            script().answerDialog([&pages](QDialog &dialog) {
                auto *preview = dialog.findChild<QPrintPreviewWidget *>();
                if (preview) {
                    dialog.show();
                    preview->updatePreview();
                    pages = preview->pageCount();
                }
                return int(QDialog::Rejected);
            });
            click(form.sbtPreview);
            QVERIFY(script().errors().isEmpty());
            QCOMPARE(pages, 1);
        });
    }

    // At the screen's own size each date field shows its whole date: with
    // the cursor at the end, the first digit is still in sight.
    void datesShowWhole()
    {
        onReportScreen([](Form &form) {
            for (TDateEditPlus *date : {form.depIni, form.depFim}) {
                date->SetDate(QDate(2026, 12, 8));
                date->end(false);
                QCOMPARE(date->cursorPositionAt(QPoint(date->contentsRect().left() + 4, date->height() / 2)), 0);
            }
        });
    }

    void printWritesTheChosenPatients()
    {
        QVERIFY2(pdftotextAvailable(), "pdftotext (poppler-utils) is needed; run scripts/setup");
        const QString pdf = m_dir.filePath(QStringLiteral("printed.pdf"));
        onReportScreen([this, &pdf](Form &form) {
            setPeriod(form, Fixture::recordDay(), QDate::currentDate());
            click(form.rbtAlaL);
            script().answerMarkList(QStringList{QStringLiteral("02")});
            click(form.btpAla);
            printToPdf(pdf);
            click(form.sbtPrint);
            QVERIFY(script().errors().isEmpty());
        });
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Maria D'Ávila Adulta")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Nutrição Parenteral")));   // today's record
        QVERIFY(text.contains(QStringLiteral("prescrito 550,000 · infundido 500,000")));
        QVERIFY2(text.contains(QStringLiteral("Critérios: Ala 02")), qPrintable(text));
    }

    // Imprimir, "print to file", the proposed name accepted: the file is a
    // valid name in the user's documents folder, and the report is in it.
    void printToFileProposesTheDocumentsFolder()
    {
        const QByteArray home = qgetenv("HOME");
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home"))));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("home/.config"))));
        const QString documents = m_dir.filePath(QStringLiteral("home/Documents"));
        QString proposed;
        onReportScreen([this, &proposed](Form &form) {
            setPeriod(form, Fixture::recordDay(), Fixture::recordDay());
            script().answerDialog([&proposed](QDialog &dialog) {
                auto *print = qobject_cast<QPrintDialog *>(&dialog);
                auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename"));
                if (!print || !file)
                    return int(QDialog::Rejected);
                proposed = file->text();
                print->printer()->setOutputFormat(QPrinter::PdfFormat);
                print->printer()->setOutputFileName(proposed);
                return int(QDialog::Accepted);
            });
            click(form.sbtPrint);
            QVERIFY(script().errors().isEmpty());
        });
        qputenv("HOME", home);
        if (config.isNull())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
        QCOMPARE(proposed, QDir(documents).filePath(QStringLiteral("Prescrições Enteral-Parenteral.pdf")));
        QVERIFY(pdfText(proposed).contains(QStringLiteral("Maria D'Ávila Adulta")));
    }

    void saveAsListsTheCopyUnderItsTitle()
    {
        onReportScreen([this](Form &form) {
            script().answerDialog([](QDialog &dialog) {
                auto *ask = qobject_cast<QInputDialog *>(&dialog);
                if (!ask || ask->windowTitle() != QStringLiteral("Título do relatório")
                    || ask->labelText() != QStringLiteral("Informe o título do relatório:")) {
                    qWarning() << "unexpected dialog" << dialog.windowTitle();
                    return int(QDialog::Rejected);
                }
                ask->setTextValue(QStringLiteral("Cozinha - turno da manhã"));
                return int(QDialog::Accepted);
            });
            click(form.sbtSalvarComo);
            QVERIFY(script().errors().isEmpty());
            QCOMPARE(form.cbbReportNames->count(), 2);
            QCOMPARE(form.cbbReportNames->currentText(), QStringLiteral("Cozinha - turno da manhã"));
            const QString copy = form.cbbReportNames->currentData().toString();
            QVERIFY(copy.startsWith(ReportCatalog::userFolder()));
            QFile::remove(copy);
        });
    }

    void editWritesTheUsersCopyAndReloads()
    {
        onReportScreen([this](Form &form) {
            // A text that is no definition is refused and nothing is written.
            script().answerDialog([](QDialog &dialog) {
                auto *editor = dialog.findChild<QPlainTextEdit *>(QStringLiteral("edtDefinicao"));
                editor->setPlainText(QStringLiteral("{ \"code\": "));
                return int(QDialog::Accepted);
            });
            click(form.sbtReportEdit);
            QCOMPARE(script().errors().size(), 1);
            QVERIFY(script().errors().first().startsWith(QStringLiteral("Definição de relatório inválida")));
            QVERIFY(!QFile::exists(ReportCatalog::userFolder() + QStringLiteral("/VQN180.json")));
            script().clear();
            script().answerDialog([](QDialog &dialog) {
                auto *editor = dialog.findChild<QPlainTextEdit *>(QStringLiteral("edtDefinicao"));
                editor->setPlainText(editor->toPlainText().replace(QStringLiteral("Prescrições Enteral/Parenteral"),
                                                                   QStringLiteral("Prescrições da cozinha")));
                return int(QDialog::Accepted);
            });
            click(form.sbtReportEdit);
            QVERIFY(script().errors().isEmpty());
            QCOMPARE(form.cbbReportNames->currentText(), QStringLiteral("Prescrições da cozinha"));
            QCOMPARE(form.cbbReportNames->count(), 1);
            QVERIFY(QFile::remove(ReportCatalog::userFolder() + QStringLiteral("/VQN180.json")));
        });
    }

    void missingDefinitionNamesCodeAndFolder()
    {
        const QString empty = m_dir.filePath(QStringLiteral("empty"));
        ReportCatalog::setFolders(m_dir.filePath(QStringLiteral("user")), empty);
        onReportScreen([](Form &form) {
            QCOMPARE(form.cbbReportNames->count(), 0);
            click(form.sbtPreview);
        });
        ReportCatalog::setFolders(m_dir.filePath(QStringLiteral("user")), QString());
        QCOMPARE(script().errors(),
                 QStringList{QStringLiteral("O arquivo contendo a definição do relatório de código 'VQN180' não foi "
                                            "encontrado no diretório '%1'.").arg(empty)});
    }

    void typingADateClearsItsWeekday()
    {
        onReportScreen([this](Form &form) {
            EditorHarness::focus(form.depFim);
            form.depFim->selectAll();
            QTest::keyClick(form.depFim, Qt::Key_Backspace);
            QVERIFY(form.edtNmFim->text().isEmpty());
            QTest::keyClicks(form.depFim, QStringLiteral("06122026"));
            QCOMPARE(form.edtNmFim->text(), QStringLiteral("dom."));
            // A text that is no date: reported again by every report button.
            form.depFim->selectAll();
            QTest::keyClicks(form.depFim, QStringLiteral("31022026"));
            QVERIFY(form.edtNmFim->text().isEmpty());
            script().clear();
            click(form.sbtPreview);
            QCOMPARE(script().errors(), QStringList{QStringLiteral("'31/02/2026' não é uma data válida.")});
        });
    }
};

QTEST_MAIN(TestReportScreen)
#include "tst_reportscreen.moc"
