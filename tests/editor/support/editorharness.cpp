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
#include "windowactivation.h"
#include "net/tnetconnection.h"
#include "widgets/maskedit.h"
#include "core/velunor.h"
#include "widgets/widgetutils.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTest>

EditorHarness::EditorHarness()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

namespace {

bool logInAsNutritionist(TNetConnection &net)
{
    return net.Login(Fixture::Nutritionist, Fixture::Password).ok;
}

} // namespace

EditorHarness::~EditorHarness()
{
    m_host.reset();
    TNetConnection::SetLoginHandler({});
    operatorContext().webToken.clear();
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
    context.webToken.clear();
    // Logged in as the nutritionist, as the host does before opening a
    // screen; a session that ends is renewed the same way.
    TNetConnection login;
    login.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    login.SetPort(m_server->port());
    const ServerResult loggedIn = login.Login(Fixture::Nutritionist, Fixture::Password);
    if (!loggedIn.ok) {
        m_error = QStringLiteral("login failed: ") + loggedIn.error;
        return false;
    }
    TNetConnection::SetLoginHandler(logInAsNutritionist);
    QFile::remove(selectionFile());

    m_host = std::make_unique<HostMainWindow>();
    m_host->resize(1200, 800);
    if (!showActive(*m_host)) {
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

void EditorHarness::typeCell(TDBGrid &grid, const QString &fieldName, const QString &text)
{
    grid.SetSelectedIndex(IndiceCol(grid, fieldName));
    if (fieldName == QLatin1String("IDPREPCONF")) {
        QTest::keyClick(&grid, Qt::Key_F2);
        auto *list = qobject_cast<QComboBox *>(QApplication::focusWidget());
        QVERIFY(list);
        QTest::keyClicks(list, text.left(1));
        return;
    }
    QTest::keyClicks(&grid, text);
}

void EditorHarness::retype(QLineEdit *field, const QString &typed, QWidget *next)
{
    focus(field);
    field->selectAll();
    QTest::keyClicks(field, typed);
    focus(next);
}

void EditorHarness::answerScreen(const std::function<void(QDialog &)> &act)
{
    m_script.answerDialog([act](QDialog &dialog) {
        if (!showActive(dialog))
            qWarning("%s did not become the active window", qPrintable(dialog.objectName()));
        act(dialog);
        const int result = dialog.result();
        if (dialog.isVisible())
            dialog.reject();
        return result;
    });
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
