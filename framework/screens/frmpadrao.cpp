#include "screens/frmpadrao.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "widgets/pagetabaccessible.h"
#include "screens/dbnavigator.h"
#include "screens/dbtext.h"
#include "screens/guardedconnect.h"
#include "screens/hostmainwindow.h"
#include "screens/screencommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TfrmPadrao::TfrmPadrao(QWidget *parent)
    : QWidget(parent)
    , msgGeral({
          {QStringLiteral("Excl"), tr("Exclusão"), tr("Confirma a exclusão do registro?")},
          {QStringLiteral("Canc"), tr("Cancelamento"), tr("Confirma o cancelamento das alterações?")},
      })
{
    setObjectName(QStringLiteral("frmPadrao"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    buildToolBar();
    buildMenu();
    buildNavigator();
    buildPages();
}

TfrmPadrao::~TfrmPadrao() = default;

QAction *TfrmPadrao::addCommand(const QString &objectName, const QString &text, const QString &hint,
                                const QString &iconName, void (TfrmPadrao::*handler)())
{
    QAction *action = CreateCommand(this, objectName, text, hint, iconName);
    connectGuarded(action, &QAction::triggered, this, handler);
    return action;
}

QToolButton *TfrmPadrao::addButton(const QString &objectName, QAction *action)
{
    QToolButton *button = CreateCommandButton(tlbPadrao, objectName, action);
    button->setAutoRaise(true);
    return button;
}

void TfrmPadrao::buildToolBar()
{
    mnuIncluir = addCommand(QStringLiteral("mnuIncluir"), tr("&Incluir"), tr("Incluir"),
                            QStringLiteral("list-add"), &TfrmPadrao::sbtIncluirClick);
    mnuAlterar = addCommand(QStringLiteral("mnuAlterar"), tr("&Alterar"), tr("Alterar"),
                            QStringLiteral("document-properties"), &TfrmPadrao::sbtAlterarClick);
    mnuExcluir = addCommand(QStringLiteral("mnuExcluir"), tr("&Excluir"), tr("Excluir"),
                            QStringLiteral("list-remove"), &TfrmPadrao::sbtExcluirClick);
    mnuProcurar = addCommand(QStringLiteral("mnuProcurar"), tr("&Procurar"), tr("Procurar"),
                             QStringLiteral("edit-find"), &TfrmPadrao::sbtProcurarClick);
    mnuVerificar = addCommand(QStringLiteral("mnuVerificar"), tr("&Verificar"), tr("Verificar"),
                              QStringLiteral("view-refresh"), &TfrmPadrao::sbtVerificarClick);
    mnuCancelar = addCommand(QStringLiteral("mnuCancelar"), tr("&Cancelar"), tr("Cancelar"),
                             QStringLiteral("edit-undo"), &TfrmPadrao::sbtCancelarClick);
    mnuConfirmar = addCommand(QStringLiteral("mnuConfirmar"), tr("C&onfirmar"), tr("Confirmar"),
                              QStringLiteral("document-save"), &TfrmPadrao::sbtConfirmarClick);
    actAjuda = addCommand(QStringLiteral("actAjuda"), tr("A&juda"), tr("Ajuda"),
                          QStringLiteral("help-contents"), &TfrmPadrao::sbtAjudaClick);
    actAjuda->setShortcut(QKeySequence::HelpContents);
    actImprimir = addCommand(QStringLiteral("actImprimir"), tr("Imp&rimir"), tr("Imprimir"),
                             QStringLiteral("document-print"), &TfrmPadrao::sbtImprimirClick);
    actFechar = addCommand(QStringLiteral("actFechar"), tr("Fec&har"), tr("Fechar"),
                           QStringLiteral("window-close"), &TfrmPadrao::sbtFecharClick);
    addActions({actAjuda, actImprimir, actFechar});

    // Until a screen has a record to work on, no maintenance command applies.
    for (QAction *command : {mnuIncluir, mnuAlterar, mnuExcluir, mnuProcurar, mnuVerificar,
                             mnuCancelar, mnuConfirmar})
        command->setEnabled(false);

    tlbPadrao = new QToolBar(this);
    tlbPadrao->setObjectName(QStringLiteral("tlbPadrao"));
    tlbPadrao->setAccessibleName(tr("Comandos"));
    sbtIncluir = addButton(QStringLiteral("sbtIncluir"), mnuIncluir);
    sbtAlterar = addButton(QStringLiteral("sbtAlterar"), mnuAlterar);
    sbtExcluir = addButton(QStringLiteral("sbtExcluir"), mnuExcluir);
    sbtProcurar = addButton(QStringLiteral("sbtProcurar"), mnuProcurar);
    sbtVerificar = addButton(QStringLiteral("sbtVerificar"), mnuVerificar);
    sbtCancelar = addButton(QStringLiteral("sbtCancelar"), mnuCancelar);
    sbtConfirmar = addButton(QStringLiteral("sbtConfirmar"), mnuConfirmar);
    sbtImprimir = addButton(QStringLiteral("sbtImprimir"), actImprimir);
    sbtAjuda = addButton(QStringLiteral("sbtAjuda"), actAjuda);
    sbtFechar = addButton(QStringLiteral("sbtFechar"), actFechar);
    for (QToolButton *button : {sbtIncluir, sbtAlterar, sbtExcluir, sbtProcurar, sbtVerificar,
                                sbtCancelar, sbtConfirmar})
        tlbPadrao->addWidget(button);
    m_toolsEnd = tlbPadrao->addSeparator();
    for (QToolButton *button : {sbtImprimir, sbtAjuda, sbtFechar})
        tlbPadrao->addWidget(button);

    // A click on the tool bar leaves the focus where it is: the tool bar
    // stands in for the control that has the focus, so the click's search
    // for a control to focus stops at once, and the command acts on it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && now != tlbPadrao && isAncestorOf(now) && !tlbPadrao->isAncestorOf(now))
            tlbPadrao->setFocusProxy(now);
    });

    lblCodTela = new QLabel(this);
    lblCodTela->setObjectName(QStringLiteral("lblCodTela"));
    lblCodTela->setAccessibleName(tr("Código da tela"));
    auto *row = new QHBoxLayout;
    row->addWidget(tlbPadrao, 1);
    row->addWidget(lblCodTela, 0, Qt::AlignRight | Qt::AlignVCenter);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
}

void TfrmPadrao::buildMenu()
{
    mnuPadrao = new QMenuBar(this);
    mnuPadrao->setObjectName(QStringLiteral("mnuPadrao"));
    mnuPadrao->setAccessibleName(tr("Menu"));
    mnuManutencao = mnuPadrao->addMenu(tr("&Manutenção"));
    mnuManutencao->setObjectName(QStringLiteral("mnuManutencao"));
    mnuManutencao->addActions({mnuIncluir, mnuAlterar, mnuExcluir, mnuProcurar, mnuVerificar,
                               mnuCancelar, mnuConfirmar});
    mnuExibir = mnuPadrao->addMenu(tr("&Exibir"));
    mnuExibir->setObjectName(QStringLiteral("mnuExibir"));
    mnuFolhaDados = addCommand(QStringLiteral("mnuFolhaDados"), tr("Folha de &Dados"),
                               tr("Folha de Dados"), QStringLiteral("view-list-details"),
                               &TfrmPadrao::mnuFolhaDadosClick);
    mnuFormulario = addCommand(QStringLiteral("mnuFormulario"), tr("&Formulário"), tr("Formulário"),
                               QStringLiteral("view-form"), &TfrmPadrao::mnuFormularioClick);
    mnuExibir->addActions({mnuFolhaDados, mnuFormulario});
    layout()->setMenuBar(mnuPadrao);
}

void TfrmPadrao::buildNavigator()
{
    panNavegador = new QWidget(this);
    panNavegador->setObjectName(QStringLiteral("panNavegador"));
    panNavegador->setAccessibleName(tr("Navegação"));
    dbnPadrao = new TDBNavigator(panNavegador);
    dbnPadrao->setObjectName(QStringLiteral("dbnPadrao"));
    dbtNome = new TDBText(panNavegador);
    dbtNome->setObjectName(QStringLiteral("dbtNome"));
    QFont bold = dbtNome->font();
    bold.setBold(true);
    dbtNome->setFont(bold);
    auto *row = new QHBoxLayout(panNavegador);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(dbnPadrao);
    row->addWidget(dbtNome, 1);
    layout()->addWidget(panNavegador);
}

void TfrmPadrao::buildPages()
{
    InstallPageTabAccessibility();
    pgcPadrao = new QTabWidget(this);
    pgcPadrao->setObjectName(QStringLiteral("pgcPadrao"));
    pgcPadrao->setAccessibleName(tr("Páginas"));
    tshFolhaDados = new QWidget;
    tshFolhaDados->setObjectName(QStringLiteral("tshFolhaDados"));
    tshFolhaDados->setAccessibleName(tr("Folha de Dados"));
    tshFormulario = new QWidget;
    tshFormulario->setObjectName(QStringLiteral("tshFormulario"));
    tshFormulario->setAccessibleName(tr("Formulário"));
    pgcPadrao->addTab(tshFolhaDados, tr("Folha de &Dados"));
    pgcPadrao->addTab(tshFormulario, tr("&Formulário"));

    dbgPadrao = new TDBGrid(tshFolhaDados);
    dbgPadrao->setObjectName(QStringLiteral("dbgPadrao"));
    dbgPadrao->setAccessibleName(tr("Lista"));
    auto *sheet = new QVBoxLayout(tshFolhaDados);
    sheet->setContentsMargins(0, 0, 0, 0);
    sheet->addWidget(dbgPadrao);

    layout()->addWidget(pgcPadrao);
    connectGuarded(pgcPadrao, &QTabWidget::currentChanged, this, &TfrmPadrao::pgcPadraoChange);
}

void TfrmPadrao::Create()
{
    if (m_created)
        return;
    m_created = true;
    runGuarded([this] { FormCreate(); });
}

QString TfrmPadrao::CodTela() const
{
    return lblCodTela->text();
}

void TfrmPadrao::SetCodTela(const QString &code)
{
    lblCodTela->setText(code);
    lblCodTela->setAccessibleName(code);
}

void TfrmPadrao::AddAbovePages(QWidget *widget)
{
    auto *column = static_cast<QVBoxLayout *>(layout());
    column->insertWidget(column->indexOf(pgcPadrao), widget);
}

QToolButton *TfrmPadrao::AddToolButton(const QString &objectName, QAction *action)
{
    QToolButton *button = addButton(objectName, action);
    tlbPadrao->insertWidget(m_toolsEnd, button);
    addAction(action);
    return button;
}

QWidget *TfrmPadrao::ActivePage() const
{
    return pgcPadrao->currentWidget();
}

void TfrmPadrao::SetActivePage(QWidget *page)
{
    const QSignalBlocker blocker(pgcPadrao);
    pgcPadrao->setCurrentWidget(page);
}

void TfrmPadrao::SetPageEnabled(QWidget *page, bool enabled)
{
    pgcPadrao->setTabEnabled(pgcPadrao->indexOf(page), enabled);
    pageAction(page)->setEnabled(enabled);
}

QAction *TfrmPadrao::pageAction(QWidget *page) const
{
    return page == tshFolhaDados ? mnuFolhaDados : mnuFormulario;
}

void TfrmPadrao::FormCreate()
{
}

void TfrmPadrao::FormActivate()
{
}

void TfrmPadrao::FormClose()
{
}

void TfrmPadrao::pgcPadraoChange()
{
}

void TfrmPadrao::mnuFolhaDadosClick()
{
    SetActivePage(tshFolhaDados);
    pgcPadraoChange();
}

void TfrmPadrao::mnuFormularioClick()
{
    SetActivePage(tshFormulario);
    pgcPadraoChange();
}

void TfrmPadrao::sbtAjudaClick()
{
    ShowScreenHelp(windowTitle(), CodTela(), m_help);
}

void TfrmPadrao::sbtImprimirClick()
{
}

void TfrmPadrao::sbtFecharClick()
{
    formFrame(this)->close();
}

void TfrmPadrao::sbtIncluirClick()
{
}

void TfrmPadrao::sbtAlterarClick()
{
}

void TfrmPadrao::sbtExcluirClick()
{
}

void TfrmPadrao::sbtProcurarClick()
{
}

void TfrmPadrao::sbtVerificarClick()
{
}

void TfrmPadrao::sbtCancelarClick()
{
}

void TfrmPadrao::sbtConfirmarClick()
{
}

bool TfrmPadrao::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        watchFrame();
    else if (event->type() == QEvent::WindowActivate && isWindow())
        runGuarded([this] { FormActivate(); });
    return QWidget::event(event);
}

void TfrmPadrao::watchFrame()
{
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (frame == m_frame)
        return;
    if (m_frame)
        disconnect(m_frame, nullptr, this, nullptr);
    m_frame = frame;
    if (!m_frame)
        return;
    connect(m_frame, &QMdiSubWindow::windowStateChanged, this,
            [this](Qt::WindowStates before, Qt::WindowStates now) {
                if (!(before & Qt::WindowActive) && (now & Qt::WindowActive))
                    runGuarded([this] { FormActivate(); });
            });
}

void TfrmPadrao::showEvent(QShowEvent *event)
{
    Create();
    QWidget::showEvent(event);
}

void TfrmPadrao::closeEvent(QCloseEvent *event)
{
    if (!runGuarded([this] { FormClose(); })) {
        event->ignore();
        return;
    }
    event->accept();
    if (HostMainWindow *host = hostMainWindow())
        host->notifyChildClosing(this);
    formFrame(this)->deleteLater();
}
