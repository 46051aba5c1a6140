#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

// The operator's login to the application server: operator code (filled with
// the configured one) and password. Entrar hands them to the attempt, which
// answers the server's refusal or an empty text once logged in; a refusal is
// shown in the dialog, the password is cleared and the user tries again.
// Cancelar closes it without a session.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    using Attempt = std::function<QString(const QString &operatorCode, const QString &password)>;

    // `operatorFixed`: the operator cannot be changed (a new login of the
    // operator whose screens are open).
    LoginDialog(const QString &operatorCode, bool operatorFixed, Attempt attempt, QWidget *parent = nullptr);

    QString operatorCode() const;

    QLineEdit *edtOperador;
    QLineEdit *edtSenha;
    QLabel *lblMensagem;
    QPushButton *btnEntrar;
    QPushButton *btnCancelar;

private:
    void tryLogin();

    Attempt m_attempt;
};
