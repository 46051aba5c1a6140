#include "screens/frmrotigeral.h"

#include "screens/guardedconnect.h"
#include "screens/screencommands.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

TfrmRotiGeral::TfrmRotiGeral(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRotiGeral"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    lblCodTela = new QLabel(this);
    lblCodTela->setObjectName(QStringLiteral("lblCodTela"));
    lblCodTela->setAccessibleName(tr("Código da tela"));

    grbDados = new QGroupBox(this);
    grbDados->setObjectName(QStringLiteral("grbDados"));
    grbDados->setAccessibleName(tr("Dados"));
    new QGridLayout(grbDados);

    actConfirma = addCommand(QStringLiteral("actConfirma"), tr("&Confirmar"), tr("Confirmar"),
                             QStringLiteral("dialog-ok"), &TfrmRotiGeral::sbtConfirmaClick);
    actAjuda = addCommand(QStringLiteral("actAjuda"), tr("A&juda"), tr("Ajuda"),
                          QStringLiteral("help-contents"), &TfrmRotiGeral::sbtAjudaClick);
    actAjuda->setShortcut(QKeySequence::HelpContents);
    actFechar = addCommand(QStringLiteral("actFechar"), tr("Fec&har"), tr("Fechar"),
                           QStringLiteral("window-close"), &TfrmRotiGeral::sbtFecharClick);

    panBotoes = new QWidget(this);
    panBotoes->setObjectName(QStringLiteral("panBotoes"));
    panBotoes->setAccessibleName(tr("Botões"));
    auto *buttons = new QVBoxLayout(panBotoes);
    buttons->setContentsMargins(0, 0, 0, 0);
    sbtConfirma = addButton(QStringLiteral("sbtConfirma"), actConfirma);
    sbtAjuda = addButton(QStringLiteral("sbtAjuda"), actAjuda);
    sbtFechar = addButton(QStringLiteral("sbtFechar"), actFechar);
    buttons->addStretch(1);

    auto *top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(lblCodTela);
    auto *body = new QHBoxLayout;
    body->addWidget(grbDados, 1);
    body->addWidget(panBotoes);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body, 1);
}

TfrmRotiGeral::~TfrmRotiGeral() = default;

QAction *TfrmRotiGeral::addCommand(const QString &objectName, const QString &text, const QString &hint,
                                   const QString &iconName, void (TfrmRotiGeral::*handler)())
{
    QAction *action = CreateCommand(this, objectName, text, hint, iconName);
    addAction(action);
    connectGuarded(action, &QAction::triggered, this, handler);
    return action;
}

QToolButton *TfrmRotiGeral::addButton(const QString &objectName, QAction *action)
{
    QToolButton *button = CreateCommandButton(panBotoes, objectName, action);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    panBotoes->layout()->addWidget(button);
    return button;
}

void TfrmRotiGeral::Create()
{
    if (m_created)
        return;
    m_created = true;
    runGuarded([this] { FormCreate(); });
}

QString TfrmRotiGeral::CodTela() const
{
    return lblCodTela->text();
}

void TfrmRotiGeral::SetCodTela(const QString &code)
{
    lblCodTela->setText(code);
}

void TfrmRotiGeral::FormCreate()
{
}

void TfrmRotiGeral::FormShow()
{
}

void TfrmRotiGeral::FormClose()
{
}

void TfrmRotiGeral::sbtConfirmaClick()
{
}

void TfrmRotiGeral::sbtAjudaClick()
{
    ShowScreenHelp(windowTitle(), CodTela(), m_help);
}

void TfrmRotiGeral::sbtFecharClick()
{
    reject();
}

void TfrmRotiGeral::done(int result)
{
    if (runGuarded([this] { FormClose(); }))
        QDialog::done(result);
}

void TfrmRotiGeral::showEvent(QShowEvent *event)
{
    Create();
    QDialog::showEvent(event);
    runGuarded([this] { FormShow(); });
}
