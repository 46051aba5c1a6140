// The base screens: commands shared by tool button and menu, guarded
// handlers, page switching, release on close, the navigator and caption
// bound to a dataset, the screen loader and the saved selection.
#include "core/abort.h"
#include "core/clientdataset.h"
#include "screens/datasetfile.h"
#include "screens/dbnavigator.h"
#include "screens/dbtext.h"
#include "screens/formcreate.h"
#include "screens/frmpadrao.h"
#include "screens/frmrotigeral.h"
#include "screens/hostmainwindow.h"
#include "screens/packageloader.h"
#include "screens/savedselection.h"
#include "screens/screenloader.h"
#include "screenfixture.h"
#include "widgets/guiinteraction.h"
#include "windowactivation.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

// A maintenance screen that records which handlers ran.
class RecordingScreen : public TfrmPadrao
{
public:
    QStringList calls;
    bool refuseClose = false;
    bool failInclude = false;

    void FormCreate() override { TfrmPadrao::FormCreate(); calls << "FormCreate"; }
    void FormActivate() override { TfrmPadrao::FormActivate(); calls << "FormActivate"; }
    void FormClose() override
    {
        TfrmPadrao::FormClose();
        calls << "FormClose";
        if (refuseClose)
            throw UserError("Ainda há alterações.");
    }
    void pgcPadraoChange() override { TfrmPadrao::pgcPadraoChange(); calls << "pgcPadraoChange"; }
    void sbtIncluirClick() override
    {
        TfrmPadrao::sbtIncluirClick();
        calls << "sbtIncluirClick";
        if (failInclude)
            throw Abort();
    }
};

class RecordingDialog : public TfrmRotiGeral
{
public:
    int closes = 0;
    bool refuseClose = false;
    void FormClose() override
    {
        TfrmRotiGeral::FormClose();
        ++closes;
        if (refuseClose)
            throw Abort();
    }
};

// Chooses a screen's menu entry from the keyboard, as a user does: Alt and
// the menu's letter, then the entry's letter.
bool chooseFromMenu(QWidget &screen, Qt::Key menu, Qt::Key entry)
{
    if (!showActive(screen))
        return false;
    QTest::keyClick(&screen, menu, Qt::AltModifier);
    // A slow run (sanitizers) shows the menu later.
    if (!QTest::qWaitFor([] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); }))
        return false;
    auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    QTest::keyClick(popup, entry);
    return true;
}

FieldDef textField(const QString &name, int size)
{
    FieldDef field;
    field.name = name;
    field.size = size;
    return field;
}

ClientDataSet *patients(QObject *parent, int rows)
{
    auto *data = new ClientDataSet(parent);
    data->setObjectName(QStringLiteral("cdsPaciFiltro"));
    data->AddField(textField(QStringLiteral("CDPACIENTE"), 12));
    data->AddField(textField(QStringLiteral("NMPACIENTE"), 80));
    data->CreateDataSet();
    for (int row = 0; row < rows; ++row) {
        data->Append();
        data->FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(QStringLiteral("P%1").arg(row));
        data->FieldByName(QStringLiteral("NMPACIENTE"))->SetAsString(QStringLiteral("Paciente %1").arg(row));
        data->Post();
    }
    data->First();
    return data;
}

} // namespace

class TestBaseScreens : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fixture.start();
    }
    void cleanup()
    {
        const QStringList unexpected = m_fixture.finish();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
    }

    void commandIsOneActionForButtonAndMenu_data()
    {
        QTest::addColumn<QString>("command");
        for (const char *command : {"Incluir", "Alterar", "Excluir", "Procurar", "Verificar", "Cancelar",
                                    "Confirmar"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void commandIsOneActionForButtonAndMenu()
    {
        QFETCH(QString, command);
        RecordingScreen screen;
        auto *action = screen.findChild<QAction *>("mnu" + command);
        auto *button = screen.findChild<QToolButton *>("sbt" + command);
        QVERIFY(action && button);
        QCOMPARE(button->defaultAction(), action);
        QVERIFY(screen.mnuManutencao->actions().contains(action));
        QCOMPARE(button->toolTip(), command);
        QCOMPARE(button->accessibleName(), command);
        QVERIFY(!button->isEnabled());   // nothing to maintain before the screen says so
        action->setEnabled(true);
        QVERIFY(button->isEnabled());
        action->setEnabled(false);
        QVERIFY(!button->isEnabled());
    }

    void handlersRunGuardedFromButtonAndMenu()
    {
        RecordingScreen screen;
        screen.mnuIncluir->setEnabled(true);
        screen.failInclude = true;
        screen.sbtIncluir->click();        // the Abort ends only this click
        screen.failInclude = false;
        QVERIFY(chooseFromMenu(screen, Qt::Key_M, Qt::Key_I));
        QTRY_COMPARE(screen.calls.count("sbtIncluirClick"), 2);
        QVERIFY(m_fixture.interaction().errors().isEmpty());
    }

    void pageSwitching()
    {
        RecordingScreen screen;
        screen.SetActivePage(screen.tshFormulario);
        QVERIFY(!screen.calls.contains("pgcPadraoChange"));   // set by the program: no handling

        QVERIFY(chooseFromMenu(screen, Qt::Key_E, Qt::Key_D));
        QTRY_COMPARE(screen.ActivePage(), screen.tshFolhaDados);
        QCOMPARE(screen.calls.count("pgcPadraoChange"), 1);

        screen.pgcPadrao->tabBar()->setCurrentIndex(1);        // as the user's click does
        QCOMPARE(screen.ActivePage(), screen.tshFormulario);
        QCOMPARE(screen.calls.count("pgcPadraoChange"), 2);

        // A screen reader hears each tab in the state it is drawn in.
        const auto tab = [&screen](int index) {
            QAccessibleInterface *bar = QAccessible::queryAccessibleInterface(screen.pgcPadrao->tabBar());
            return bar ? bar->child(index) : nullptr;
        };
        QVERIFY(tab(0) && !tab(0)->state().disabled);
        screen.SetPageEnabled(screen.tshFolhaDados, false);
        QVERIFY(!screen.pgcPadrao->isTabEnabled(0));
        QVERIFY(!screen.mnuFolhaDados->isEnabled());
        QCOMPARE(tab(0)->text(QAccessible::Name), QStringLiteral("Folha de Dados"));
        QVERIFY(tab(0)->state().disabled);
        QVERIFY(!tab(1)->state().disabled);
        QVERIFY(tab(1)->state().selected);
    }

    void createRunsOnceAndActivationFollowsTheChildWindow()
    {
        auto *first = CreateForm<RecordingScreen>();
        auto *second = CreateForm<RecordingScreen>();
        m_fixture.host().showChild(first);
        m_fixture.host().showChild(second);
        QCOMPARE(first->calls.count("FormCreate"), 1);   // showing does not create again
        QCOMPARE(first->calls.count("FormActivate"), 1);
        QCOMPARE(second->calls.count("FormActivate"), 1);
        m_fixture.host().showChild(first);
        QCOMPARE(first->calls.count("FormActivate"), 2);
        QCOMPARE(m_fixture.host().mdiArea()->subWindowList().size(), 2);
    }

    void closeReleasesTheFormAndItsChildWindow()
    {
        QPointer<RecordingScreen> screen = CreateForm<RecordingScreen>();
        m_fixture.host().showChild(screen);
        QPointer<QMdiSubWindow> frame = m_fixture.host().subWindowOf(screen);
        QSignalSpy closing(&m_fixture.host(), &HostMainWindow::childClosing);

        screen->refuseClose = true;
        screen->sbtFechar->click();
        QCOMPARE(m_fixture.interaction().errors(), QStringList{"Ainda há alterações."});
        QVERIFY(frame->isVisible());
        QCOMPARE(closing.count(), 0);

        screen->refuseClose = false;
        screen->sbtFechar->click();
        QCOMPARE(closing.count(), 1);
        QTRY_VERIFY(screen.isNull());
        QVERIFY(frame.isNull());
    }

    // A box shown right after another one closed (no widget has the focus
    // until the window system activates the main window again) still
    // belongs to the screen that runs the command.
    void boxesAreTitledByTheScreenAfterAModalBox()
    {
        auto *screen = CreateForm<RecordingScreen>();
        screen->setWindowTitle(QStringLiteral("Enteral/Parenteral"));
        m_fixture.host().showChild(screen);
        QVERIFY(showActive(m_fixture.host()));
        GuiInteraction gui;
        QCOMPARE(gui.screenTitle(), QStringLiteral("Enteral/Parenteral"));
        QWidget closedBox;
        QVERIFY(showActive(closedBox));
        QCOMPARE(QApplication::focusWidget(), nullptr);
        QCOMPARE(gui.screenTitle(), QStringLiteral("Enteral/Parenteral"));
    }

    void hostStaysOpenWhileAChildRefusesToClose()
    {
        auto *screen = CreateForm<RecordingScreen>();
        m_fixture.host().showChild(screen);
        screen->refuseClose = true;
        QVERIFY(!m_fixture.host().close());
        QVERIFY(m_fixture.host().isVisible());
        screen->refuseClose = false;
        QVERIFY(m_fixture.host().close());
        QCOMPARE(screen->calls.count("FormClose"), 2);
        QCOMPARE(m_fixture.interaction().errors().size(), 1);
    }

    void helpNamesTheScreenAndItsTopic()
    {
        RecordingScreen screen;
        screen.setWindowTitle(QStringLiteral("Cadastro"));
        screen.SetCodTela(QStringLiteral("TST00002"));
        screen.sbtAjuda->click();
        RecordingDialog dialog;
        dialog.setWindowTitle(QStringLiteral("Filtrar"));
        dialog.SetCodTela(QStringLiteral("TST00003"));
        dialog.SetHelp({QStringLiteral("ajuda.hlp"), 42});
        dialog.sbtAjuda->click();
        QCOMPARE(m_fixture.interaction().messages(),
                 (QStringList{"Cadastro (tela TST00002).",
                              "Filtrar (tela TST00003).\nTópico de ajuda 42 do arquivo ajuda.hlp."}));
    }

    void loaderRefusesWhatIsNoModule()
    {
        PackageLoader missing(QStringLiteral("/nonexistent/Pkg_Nada"));
        QVERIFY(!missing.load());
        QVERIFY(!missing.errorString().isEmpty());
        QVERIFY(!missing.run("IniProc"));

        // A real library without the module entry points.
        PackageLoader notModule(QCoreApplication::applicationDirPath() + QStringLiteral("/fwcore"));
        QVERIFY(!notModule.load());
        QVERIFY2(notModule.errorString().contains(QStringLiteral("não exporta Initialize")),
                 qPrintable(notModule.errorString()));
        QCOMPARE(notModule.runModal("CriaAutoEnteral"), -1);
        QVERIFY(notModule.unitNames().isEmpty());
    }

    void minimisedChildComesBackNormal()
    {
        auto *screen = CreateForm<RecordingScreen>();
        m_fixture.host().showChild(screen);
        formFrame(screen)->showMinimized();
        QVERIFY(formFrame(screen)->isMinimized());
        showChildForm(screen);
        QVERIFY(!formFrame(screen)->isMinimized());
        QCOMPARE(m_fixture.host().mdiArea()->subWindowList().size(), 1);
    }

    void navigatorAndCaptionFollowTheDataSet()
    {
        RecordingScreen screen;
        ClientDataSet *list = patients(&screen, 3);
        screen.dbnPadrao->SetDataSet(list);
        screen.dbtNome->Bind(list, QStringLiteral("NMPACIENTE"));
        QCOMPARE(screen.dbtNome->text(), QStringLiteral("Paciente 0"));
        QVERIFY(!screen.dbnPadrao->priorButton()->isEnabled());
        QVERIFY(screen.dbnPadrao->nextButton()->isEnabled());

        screen.dbnPadrao->lastButton()->click();
        QCOMPARE(list->RecNo(), 2);
        QCOMPARE(screen.dbtNome->text(), QStringLiteral("Paciente 2"));
        QVERIFY(!screen.dbnPadrao->nextButton()->isEnabled());
        QVERIFY(screen.dbnPadrao->firstButton()->isEnabled());

        ClientDataSet *other = patients(&screen, 1);
        screen.dbnPadrao->SetDataSet(other);
        screen.dbtNome->SetDataSet(other);
        QCOMPARE(screen.dbtNome->text(), QStringLiteral("Paciente 0"));
        QVERIFY(!screen.dbnPadrao->nextButton()->isEnabled());
        list->Next();   // the old dataset no longer drives them
        QCOMPARE(screen.dbtNome->text(), QStringLiteral("Paciente 0"));
        other->Close();
        QCOMPARE(screen.dbtNome->text(), QString());
    }

    void dialogClosesThroughFormCloseAndStaysAlive()
    {
        RecordingDialog dialog;
        dialog.refuseClose = true;
        dialog.show();
        dialog.sbtFechar->click();
        QVERIFY(dialog.isVisible());
        dialog.refuseClose = false;
        dialog.sbtFechar->click();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(dialog.closes, 2);
    }

    void screenLoaderHandsTheValueOver()
    {
        QVariant received;
        RegisterScreen(QStringLiteral("TST00001"), [&received](const QVariant &value, QWidget *parent) {
            received = value;
            auto *dialog = new QDialog(parent);
            dialog->setWindowTitle(QStringLiteral("Outra tela"));
            return dialog;
        });
        m_fixture.interaction().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        const QVariantList values{QStringLiteral("S"), QStringLiteral("0001")};
        QCOMPARE(LoadBPL(QStringLiteral("tst00001"), values), int(QDialog::Accepted));
        QCOMPARE(received, QVariant(values));
        UnregisterScreen(QStringLiteral("TST00001"));

        QVERIFY(!runGuarded([] { LoadBPL(QStringLiteral("TST00001"), QString()); }));
        QCOMPARE(m_fixture.interaction().errors(), QStringList{"A tela TST00001 não está disponível."});
    }

    void savedSelectionRemembersBranchAndPatient_data()
    {
        QTest::addColumn<QString>("typedPatient");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typed patient") << "P9" << "P9";
        QTest::newRow("current list row") << "" << "P1";
    }
    void savedSelectionRemembersBranchAndPatient()
    {
        QFETCH(QString, typedPatient);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FILPACI.cds"));
        QWidget screen;
        auto *branch = new QLineEdit(QStringLiteral("0002"), &screen);
        branch->setObjectName(QStringLiteral("medFilial"));
        auto *patient = new QLineEdit(typedPatient, &screen);
        patient->setObjectName(QStringLiteral("edtCdPaciente"));
        patients(&screen, 3)->Next();

        rememberSelection(screen, *m_fixture.host().cdsFiltro(), path);
        ClientDataSet *saved = m_fixture.host().cdsFiltro();
        saved->Close();
        LoadFromFile(*saved, path);
        QCOMPARE(saved->RecordCount(), 1);
        QCOMPARE(saved->FieldByName(QStringLiteral("CDFILIAL"))->AsString(), QStringLiteral("0002"));
        QCOMPARE(saved->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), expected);

        branch->clear();   // no branch: nothing is remembered
        patient->setText(QStringLiteral("P0"));
        rememberSelection(screen, *saved, path);
        LoadFromFile(*saved, path);
        QCOMPARE(saved->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), expected);
    }

    void malformedSelectionFileIsAnError()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("FILPACI.cds"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{not json");
        file.close();
        QVERIFY_THROWS_EXCEPTION(UserError, LoadFromFile(*m_fixture.host().cdsFiltro(), path));
    }

private:
    ScreenFixture m_fixture;
};

QTEST_MAIN(TestBaseScreens)
#include "tst_basescreens.moc"
