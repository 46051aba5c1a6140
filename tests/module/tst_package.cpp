// The module as the host sees it: the real shared library loaded at run time,
// its unit table, its unit lifecycle and the launches of its screens.
#include "autoschedule/frmautoenteral.h"
#include "editor/frmentparenteral.h"
#include "filter/frmfiltrarentparent.h"
#include "report/frmrelentpare.h"
#include "common/screenlaunch.h"

#include "screens/hostmainwindow.h"
#include "screens/packageinfo.h"
#include "screens/packageloader.h"
#include "screenfixture.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QLibrary>
#include <QMdiArea>
#include <QTest>
#include <QToolButton>

using namespace Cli_vqn18000;

namespace {

// The code lists picked on the filter dialog and on the report screen.
QVector<QString *> selectionTexts()
{
    return {&Cli_vqn18010::stPaciente, &Cli_vqn18010::stAla, &Cli_vqn18010::stAndar,
            &Cli_vqn18010::stPadInter, &Cli_vqn18020::stLeito, &Cli_vqn18020::stAndar,
            &Cli_vqn18020::stAla, &Cli_vqn18020::stPadInter, &Cli_vqn18020::stServico,
            &Cli_vqn18020::stDieta, &Cli_vqn18020::stViaCesDiet};
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fixture.start();
        m_module = std::make_unique<PackageLoader>(
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Pkg_VQN18000")));
        QVERIFY2(m_module->load(), qPrintable(m_module->errorString()));
    }
    void cleanup()
    {
        // The module's screens go with the host window before the module unloads.
        const QStringList unexpected = m_fixture.finish();
        m_module.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
    }

    // A unit comes before the units that use it.
    void unitTableOrder()
    {
        const QStringList units = m_module->unitNames();
        const QList<QPair<const char *, const char *>> usedBy = {
            {"Velunor", "Cli_vqn18010"},        {"FrmRotiGeral", "Cli_vqn18010"},
            {"ReportEngine", "FrmDadosGerRel"}, {"FrmDadosGerRel", "Cli_vqn18020"},
            {"FrmPadrao", "Cli_vqn18000"},
        };
        for (const auto &[unit, user] : usedBy) {
            QVERIFY2(units.contains(QString::fromLatin1(unit)), unit);
            QVERIFY2(units.indexOf(QString::fromLatin1(unit)) < units.indexOf(QString::fromLatin1(user)),
                     qPrintable(QStringLiteral("%1 before %2").arg(QString::fromLatin1(unit), QString::fromLatin1(user))));
        }
    }

    void launchesShowOneEditor_data()
    {
        QTest::addColumn<QByteArray>("first");
        QTest::addColumn<QByteArray>("second");
        QTest::newRow("CriaEntParenteral twice") << QByteArray("CriaEntParenteral") << QByteArray("CriaEntParenteral");
        QTest::newRow("IniProc twice") << QByteArray("IniProc") << QByteArray("IniProc");
        QTest::newRow("IniProc then CriaEntParenteral") << QByteArray("IniProc") << QByteArray("CriaEntParenteral");
    }
    void launchesShowOneEditor()
    {
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, second);
        QVERIFY(m_module->run(first.constData()));
        QPointer<TfrmEntParenteral> editor = frmEntParenteral;
        QVERIFY(editor);
        QVERIFY(boStCriado);
        QCOMPARE(editor->windowTitle(), QStringLiteral("Enteral/Parenteral"));
        QCOMPARE(editor->CodTela(), QStringLiteral("VQN18000"));
        QCOMPARE(editor->ActivePage(), editor->tshFormulario);
        QVERIFY(m_fixture.host().subWindowOf(editor));   // a child of the host's main window

        formFrame(editor)->showMinimized();
        QVERIFY(m_module->run(second.constData()));
        QCOMPARE(frmEntParenteral, editor);
        QCOMPARE(m_fixture.host().mdiArea()->subWindowList().size(), 1);
        QVERIFY(!formFrame(editor)->isMinimized());
        QVERIFY(formFrame(editor)->isVisible());
    }

    void filterDialogLivesAsLongAsItsEditor()
    {
        m_module->run("CriaEntParenteral");
        QPointer<TfrmEntParenteral> firstEditor = frmEntParenteral;
        QVERIFY(!firstEditor->boFiltroCriado);

        // The first showing marks the dialog; the second finds the mark.
        m_fixture.interaction().answerDialog([](QDialog &dialog) {
            dialog.setProperty("escolhas", QStringLiteral("Lista"));
            return int(QDialog::Accepted);
        });
        QString kept;
        m_fixture.interaction().answerDialog([&kept](QDialog &dialog) {
            kept = dialog.property("escolhas").toString();
            return int(QDialog::Rejected);
        });
        QCOMPARE(m_module->runModal("CriaFiltroEntParent"), int(QDialog::Accepted));
        QPointer<TfrmFiltrarEntParent> firstFilter = Cli_vqn18010::frmFiltrarEntParent;
        QVERIFY(firstEditor->boFiltroCriado);
        QCOMPARE(firstFilter->windowTitle(), QStringLiteral("Filtrar"));
        QCOMPARE(firstFilter->CodTela(), QStringLiteral("VQN18010"));
        QCOMPARE(m_module->runModal("CriaFiltroEntParent"), int(QDialog::Rejected));
        QCOMPARE(Cli_vqn18010::frmFiltrarEntParent, firstFilter);
        QCOMPARE(kept, QStringLiteral("Lista"));

        // Closing releases the editor; the next launch brings a new one with a new filter dialog.
        QTest::mouseClick(firstEditor->sbtFechar, Qt::LeftButton);
        QVERIFY(!boStCriado);
        QTRY_VERIFY(firstEditor.isNull());
        m_module->run("CriaEntParenteral");
        QVERIFY(frmEntParenteral);
        QVERIFY(boStCriado);
        QVERIFY(!frmEntParenteral->boFiltroCriado);
        m_fixture.interaction().answerDialog([](QDialog &dialog) {
            return dialog.property("escolhas").isValid() ? int(QDialog::Accepted) : int(QDialog::Rejected);
        });
        QCOMPARE(m_module->runModal("CriaFiltroEntParent"), int(QDialog::Rejected));   // a fresh dialog
        QVERIFY(firstFilter.isNull());
        QVERIFY(frmEntParenteral->boFiltroCriado);
    }

    void closingTheChildWindowClosesTheEditor()
    {
        m_module->run("IniProc");
        QPointer<TfrmEntParenteral> editor = frmEntParenteral;
        formFrame(editor)->close();   // the child window's own close button
        QVERIFY(!boStCriado);
        QTRY_VERIFY(editor.isNull());
        QVERIFY(m_fixture.host().mdiArea()->subWindowList().isEmpty());
    }

    void filterWithoutEditorShowsNothing()
    {
        QCOMPARE(m_module->runModal("CriaFiltroEntParent"), int(QDialog::Rejected));
        QVERIFY(m_fixture.interaction().events().isEmpty());
    }

    void automaticAndReportScreensAreFreshEachTime()
    {
        m_module->run("CriaEntParenteral");
        m_fixture.interaction().answerDialog([](QDialog &dialog) {
            return dialog.windowTitle() == QStringLiteral("Automático") ? int(QDialog::Accepted) : 0;
        });
        m_fixture.interaction().answerDialog([](QDialog &) { return int(QDialog::Rejected); });
        QCOMPARE(m_module->runModal("CriaAutoEnteral"), int(QDialog::Accepted));
        QPointer<TfrmAutoEnteral> first = Cli_vqn18030::frmAutoEnteral;
        QCOMPARE(first->CodTela(), QStringLiteral("VQN18030"));
        QCOMPARE(m_module->runModal("CriaAutoEnteral"), int(QDialog::Rejected));
        QVERIFY(Cli_vqn18030::frmAutoEnteral);
        QVERIFY(first.isNull());   // the previous use's dialog is gone

        m_fixture.interaction().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        m_fixture.interaction().answerDialog([](QDialog &) { return int(QDialog::Accepted); });
        CriaRelEntPare();
        QPointer<TfrmRelEntPare> report = Cli_vqn18020::frmRelEntPare;
        QCOMPARE(report->CodTela(), QStringLiteral("VQN18020"));
        CriaRelEntPare();
        QVERIFY(report.isNull());
        QVERIFY(Cli_vqn18020::frmRelEntPare);
    }

    void unloadingEmptiesTheModuleTexts()
    {
        stPath = QStringLiteral("/tmp/FILPACI.cds");
        for (QString *text : selectionTexts())
            *text = QStringLiteral("1;2;3");
        m_module->unload();
        QVERIFY(stPath.isEmpty());
        for (const QString *text : selectionTexts())
            QVERIFY(text->isEmpty());
    }

    void unitBodiesRunOnceHoweverOftenAsked()
    {
        QLibrary library(m_module->fileName());
        QVERIFY(library.load());
        const auto initialize = reinterpret_cast<PackageProc>(library.resolve("Initialize"));
        const auto finalize = reinterpret_cast<PackageProc>(library.resolve("Finalize"));

        boStCriado = true;         // initialisation again: its body does not run
        initialize();
        QVERIFY(boStCriado);

        stPath = QStringLiteral("a");
        finalize();
        QVERIFY(stPath.isEmpty());
        stPath = QStringLiteral("b");
        finalize();                // finalised already: nothing runs
        QCOMPARE(stPath, QStringLiteral("b"));

        initialize();              // loaded again: initialisation runs anew
        QVERIFY(!boStCriado);
        stPath.clear();
    }

private:
    ScreenFixture m_fixture;
    std::unique_ptr<PackageLoader> m_module;
};

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
