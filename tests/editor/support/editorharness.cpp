#include "editorharness.h"

#include "core/clientdataset.h"
#include "common/screenlaunch.h"
#include "screens/datasetfile.h"
#include "widgets/dbgrid.h"
#include "data/dtmdbgeral.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "screens/hostmainwindow.h"
#include "widgets/maskedit.h"
#include "core/velunor.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

EditorHarness::EditorHarness()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

EditorHarness::~EditorHarness()
{
    m_host.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    dtmDBGeral().Close();
    QFile::remove(selectionFile());
}

QString EditorHarness::selectionFile() const
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("FILPACI.cds"));
}

void EditorHarness::saveSelection(const QString &branch, const QString &patient) const
{
    ClientDataSet saved;
    saved.AddField(FieldDef{QStringLiteral("CDFILIAL"), FieldType::Text, 4});
    saved.AddField(FieldDef{QStringLiteral("CDPACIENTE"), FieldType::Text, 12});
    saved.CreateDataSet();
    saved.Append();
    saved.FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(branch);
    saved.FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(patient);
    saved.Post();
    SaveToFile(saved, selectionFile());
}

bool EditorHarness::start()
{
    m_server = std::make_unique<FixtureServer>();
    if (!m_server->start()) {
        m_error = m_server->error();
        return false;
    }
    try {
        dtmDBGeral().Open(m_server->database());
    } catch (const std::exception &error) {
        m_error = QString::fromUtf8(error.what());
        return false;
    }
    OperatorContext &context = operatorContext();
    context.operador = Fixture::Nutritionist;
    context.nomeOperador = QStringLiteral("Ana Paula Nutricionista");
    context.filiProc = Fixture::BranchAdjust;
    context.nomeFiliProc = QStringLiteral("Hospital Central");
    context.moduFili = false;
    context.webUrl = QStringLiteral("127.0.0.1");
    context.webPort = m_server->port();
    QFile::remove(selectionFile());

    m_host = std::make_unique<HostMainWindow>();
    m_host->resize(1200, 800);
    m_host->show();
    QApplication::setActiveWindow(m_host.get());
    if (!QTest::qWaitForWindowActive(m_host.get())) {
        m_error = QStringLiteral("the host window did not become active");
        return false;
    }
    return true;
}

TfrmEntParenteral *EditorHarness::openEditor()
{
    CriaEntParenteral();
    QCoreApplication::processEvents();
    return Cli_vqn18000::frmEntParenteral.data();
}

void EditorHarness::closeEditor()
{
    if (TfrmEntParenteral *editor = Cli_vqn18000::frmEntParenteral.data()) {
        formFrame(editor)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void EditorHarness::focus(QWidget *widget)
{
    widget->setFocus(Qt::MouseFocusReason);
    QCoreApplication::processEvents();
}

void EditorHarness::typeInto(QWidget *widget, const QString &text)
{
    focus(widget);
    QTest::keyClicks(widget, text);
}

void EditorHarness::retype(QLineEdit *field, const QString &typed, QWidget *next)
{
    focus(field);
    field->selectAll();
    QTest::keyClicks(field, typed);
    focus(next);
}

void EditorHarness::chooseBranch(const QString &typed)
{
    TfrmEntParenteral *editor = Cli_vqn18000::frmEntParenteral.data();
    retype(editor->medFilial, typed, editor->edtCdPaciente);
}

void EditorHarness::choosePatient(const QString &typed)
{
    TfrmEntParenteral *editor = Cli_vqn18000::frmEntParenteral.data();
    retype(editor->edtCdPaciente, typed, editor->dbgServico);
}
