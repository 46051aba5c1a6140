#pragma once

#include "core/messages.h"
#include "screens/screenhelp.h"

#include <QPointer>
#include <QWidget>

class QAction;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class TDBGrid;
class TDBNavigator;
class TDBText;

// The standard maintenance screen. It shows as a non-modal child window of
// the host's main window and offers:
// - a tool bar with the maintenance commands Incluir, Alterar, Excluir,
//   Procurar, Verificar, Cancelar, Confirmar and with help, print and close;
//   each command is one QAction (mnuIncluir ... mnuConfirmar) shared by its
//   tool button and its entry in the maintenance menu, so both always agree;
// - a page control with the data sheet page (list grid dbgPadrao) and the
//   form page, and the menu entries that switch between them;
// - a navigator panel with the record navigator dbnPadrao and the caption
//   text dbtNome, both rebindable to any dataset;
// - the screen's message table msgPadrao and the standard messages msgGeral
//   ("Excl", "Canc").
//
// Behaviour lives in virtual handlers, each run guarded from its signal. A
// derived screen overrides them and calls the inherited one first. Closing
// runs FormClose and releases the form (and its child window).
class TfrmPadrao : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmPadrao(QWidget *parent = nullptr);
    ~TfrmPadrao() override;

    // Runs the creation handling once (see CreateForm).
    void Create();

    QString CodTela() const;
    // Sets the screen code shown in lblCodTela.
    void SetCodTela(const QString &code);
    HelpTopic Help() const { return m_help; }
    void SetHelp(const HelpTopic &topic) { m_help = topic; }

    // Places a widget (a panel of the derived screen) between the navigator
    // panel and the pages.
    void AddAbovePages(QWidget *widget);
    // Adds a tool button for the action after the maintenance commands (help,
    // print and close stay last). The action goes to the screen too, so its
    // shortcut works while the screen has the focus.
    QToolButton *AddToolButton(const QString &objectName, QAction *action);

    // The page shown by the page control; setting it does not run the
    // page-change handling (as a change made by the user does).
    QWidget *ActivePage() const;
    void SetActivePage(QWidget *page);
    // Enables a page's tab together with the menu entry that switches to it.
    void SetPageEnabled(QWidget *page, bool enabled);

    // Handlers.
    virtual void FormCreate();
    virtual void FormActivate();
    virtual void FormClose();
    virtual void pgcPadraoChange();
    virtual void mnuFolhaDadosClick();
    virtual void mnuFormularioClick();
    virtual void sbtAjudaClick();
    virtual void sbtImprimirClick();
    virtual void sbtFecharClick();
    virtual void sbtIncluirClick();
    virtual void sbtAlterarClick();
    virtual void sbtExcluirClick();
    virtual void sbtProcurarClick();
    virtual void sbtVerificarClick();
    virtual void sbtCancelarClick();
    virtual void sbtConfirmarClick();

    // Controls.
    QLabel *lblCodTela;
    QMenuBar *mnuPadrao;
    QMenu *mnuManutencao;
    QMenu *mnuExibir;
    QAction *mnuIncluir;
    QAction *mnuAlterar;
    QAction *mnuExcluir;
    QAction *mnuProcurar;
    QAction *mnuVerificar;
    QAction *mnuCancelar;
    QAction *mnuConfirmar;
    QAction *mnuFolhaDados;
    QAction *mnuFormulario;
    QAction *actAjuda;
    QAction *actImprimir;
    QAction *actFechar;
    QToolBar *tlbPadrao;
    QToolButton *sbtIncluir;
    QToolButton *sbtAlterar;
    QToolButton *sbtExcluir;
    QToolButton *sbtProcurar;
    QToolButton *sbtVerificar;
    QToolButton *sbtCancelar;
    QToolButton *sbtConfirmar;
    QToolButton *sbtImprimir;
    QToolButton *sbtAjuda;
    QToolButton *sbtFechar;
    QWidget *panNavegador;
    TDBNavigator *dbnPadrao;
    TDBText *dbtNome;
    QTabWidget *pgcPadrao;
    QWidget *tshFolhaDados;
    QWidget *tshFormulario;
    TDBGrid *dbgPadrao;

    TMessages msgPadrao;   // the derived screen's messages
    TMessages msgGeral;    // standard messages of every maintenance screen

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *addCommand(const QString &objectName, const QString &text, const QString &hint,
                        const QString &iconName, void (TfrmPadrao::*handler)());
    QToolButton *addButton(const QString &objectName, QAction *action);
    void buildToolBar();
    void buildMenu();
    void buildPages();
    void buildNavigator();
    void watchFrame();
    QAction *pageAction(QWidget *page) const;

    HelpTopic m_help;
    QAction *m_toolsEnd = nullptr;    // separator before help, print and close
    QPointer<QMdiSubWindow> m_frame;  // the child window whose activation is watched
    bool m_created = false;
};
