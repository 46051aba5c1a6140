#include "screens/hostmainwindow.h"

#include "core/clientdataset.h"

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace {

QPointer<HostMainWindow> &currentHost()
{
    static QPointer<HostMainWindow> host;
    return host;
}

} // namespace

HostMainWindow::HostMainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_mdiArea(new QMdiArea(this))
    , m_cdsFiltro(new ClientDataSet(this))
{
    setObjectName(QStringLiteral("frmPrincipal"));
    m_mdiArea->setObjectName(QStringLiteral("mdiPrincipal"));
    m_mdiArea->setAccessibleName(tr("Área de trabalho"));
    m_mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_mdiArea);

    m_cdsFiltro->setObjectName(QStringLiteral("cdsFiltro"));
    FieldDef branch;
    branch.name = QStringLiteral("CDFILIAL");
    branch.size = 4;
    branch.label = tr("Filial");
    m_cdsFiltro->AddField(branch);
    FieldDef patient;
    patient.name = QStringLiteral("CDPACIENTE");
    patient.size = 12;
    patient.label = tr("Paciente");
    m_cdsFiltro->AddField(patient);

    currentHost() = this;
}

HostMainWindow::~HostMainWindow() = default;

void HostMainWindow::showChild(QWidget *form)
{
    QMdiSubWindow *frame = subWindowOf(form);
    if (!frame) {
        frame = m_mdiArea->addSubWindow(form);
        frame->setAttribute(Qt::WA_DeleteOnClose);
        frame->setWindowIcon(windowIcon());
    }
    frame->showNormal();
    form->show();
    m_mdiArea->setActiveSubWindow(frame);
}

QMdiSubWindow *HostMainWindow::subWindowOf(const QWidget *form) const
{
    const auto windows = m_mdiArea->subWindowList();
    for (QMdiSubWindow *window : windows) {
        if (window->widget() == form)
            return window;
    }
    return nullptr;
}

void HostMainWindow::notifyChildClosing(QWidget *form)
{
    emit childClosing(form);
}

void HostMainWindow::closeEvent(QCloseEvent *event)
{
    m_mdiArea->closeAllSubWindows();
    const auto windows = m_mdiArea->subWindowList();
    for (const QMdiSubWindow *window : windows) {
        if (window->isVisible()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
}

HostMainWindow *hostMainWindow()
{
    return currentHost();
}

void showChildForm(QWidget *form)
{
    if (HostMainWindow *host = hostMainWindow()) {
        host->showChild(form);
        return;
    }
    form->showNormal();
    form->raise();
    form->activateWindow();
}

QWidget *formFrame(QWidget *form)
{
    HostMainWindow *host = hostMainWindow();
    QMdiSubWindow *frame = host ? host->subWindowOf(form) : nullptr;
    return frame ? static_cast<QWidget *>(frame) : form;
}
