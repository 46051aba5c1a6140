#include "hostmenus.h"

#include "screens/savedselection.h"

#include "screens/hostmainwindow.h"
#include "screens/packageloader.h"
#include "core/velunor.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HostWindow", text);
}

QString statusText()
{
    return tr("Operador: %1 (%2)   Filial: %3 %4%5   Servidor: %6:%7")
        .arg(Operador(), NomeOperador(), FiliProc(), NomeFiliProc(),
             ModuFili() ? tr(" (fixa)") : QString(), WebURL())
        .arg(WebPort());
}

} // namespace

void setUpHostWindow(HostMainWindow &window, PackageLoader &module)
{
    window.setWindowTitle(tr("Gestão Hospitalar"));

    QMenu *file = window.menuBar()->addMenu(tr("&Arquivo"));
    QAction *quit = file->addAction(tr("&Sair"), &window, &QWidget::close);
    quit->setShortcut(QKeySequence::Quit);

    // Alt+M belongs to the maintenance menu of the screens.
    QMenu *modules = window.menuBar()->addMenu(tr("Módul&os"));
    QAction *editor = modules->addAction(tr("&Enteral/Parenteral"));
    editor->setObjectName(QStringLiteral("actEntParenteral"));
    QObject::connect(editor, &QAction::triggered, &window,
                     [&module] { module.run("CriaEntParenteral"); });

    QMenu *windows = window.menuBar()->addMenu(tr("&Janela"));
    windows->addAction(tr("&Cascata"), window.mdiArea(), &QMdiArea::cascadeSubWindows);
    windows->addAction(tr("&Lado a lado"), window.mdiArea(), &QMdiArea::tileSubWindows);

    auto *status = new QLabel(statusText(), &window);
    status->setAccessibleName(tr("Operador, filial e servidor"));
    window.statusBar()->addPermanentWidget(status, 1);

    QObject::connect(&window, &HostMainWindow::childClosing, &window, [&window](QWidget *screen) {
        // Remembering is a convenience: a failure is logged, never a dialog
        // in the way of closing.
        try {
            rememberSelection(*screen, *window.cdsFiltro(), savedSelectionPath());
        } catch (const std::exception &failure) {
            qWarning("entpat-host: seleção não gravada: %s", failure.what());
        }
    });
}
