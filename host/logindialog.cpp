#include "logindialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *labelledEdit(QFormLayout *form, const QString &label, const QString &objectName)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setAccessibleName(QString(label).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    auto *caption = new QLabel(label);
    caption->setBuddy(edit);
    form->addRow(caption, edit);
    return edit;
}

} // namespace

LoginDialog::LoginDialog(const QString &operatorCode, bool operatorFixed, Attempt attempt, QWidget *parent)
    : QDialog(parent), m_attempt(std::move(attempt))
{
    setWindowTitle(tr("Entrar no sistema"));
    auto *form = new QFormLayout;
    edtOperador = labelledEdit(form, tr("&Operador:"), QStringLiteral("edtOperador"));
    edtOperador->setText(operatorCode);
    edtOperador->setMaxLength(12);
    edtOperador->setReadOnly(operatorFixed);
    edtSenha = labelledEdit(form, tr("&Senha:"), QStringLiteral("edtSenha"));
    edtSenha->setEchoMode(QLineEdit::Password);

    lblMensagem = new QLabel;
    lblMensagem->setObjectName(QStringLiteral("lblMensagem"));
    lblMensagem->setAccessibleName(tr("Mensagem"));
    lblMensagem->setWordWrap(true);
    lblMensagem->setStyleSheet(QStringLiteral("color: #b00020"));
    lblMensagem->hide();

    auto *buttons = new QDialogButtonBox;
    btnEntrar = buttons->addButton(tr("Entrar"), QDialogButtonBox::AcceptRole);
    btnEntrar->setObjectName(QStringLiteral("btnEntrar"));
    btnEntrar->setAccessibleName(tr("Entrar"));
    btnEntrar->setDefault(true);
    btnCancelar = buttons->addButton(tr("Cancelar"), QDialogButtonBox::RejectRole);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnCancelar->setAccessibleName(tr("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LoginDialog::tryLogin);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblMensagem);
    layout->addWidget(buttons);
    (operatorCode.isEmpty() ? edtOperador : edtSenha)->setFocus();
}

QString LoginDialog::operatorCode() const
{
    return edtOperador->text().trimmed();
}

void LoginDialog::tryLogin()
{
    const QString refusal = m_attempt(operatorCode(), edtSenha->text());
    if (refusal.isEmpty()) {
        accept();
        return;
    }
    lblMensagem->setText(refusal);
    lblMensagem->show();
    edtSenha->clear();
    edtSenha->setFocus();
}
