#include "hostlogin.h"

#include "hostoptions.h"
#include "logindialog.h"

#include "core/velunor.h"
#include "net/tnetconnection.h"

#include <QCoreApplication>
#include <QFile>

namespace {

constexpr int logoutTimeoutSeconds = 5;

QString tr(const char *text)
{
    return QCoreApplication::translate("HostLogin", text);
}

// Logs in with the password file, or through the dialog; the operator's code
// may only change at the first login.
bool logIn(TNetConnection &net, const QString &passwordFile, bool operatorFixed, QString *error)
{
    OperatorContext &context = operatorContext();
    if (!passwordFile.isEmpty()) {
        QString password;
        if (!HostLogin::readPasswordFile(passwordFile, &password, error))
            return false;
        const ServerResult result = net.Login(context.operador, password);
        if (!result.ok)
            *error = result.error;
        return result.ok;
    }
    LoginDialog dialog(context.operador, operatorFixed, [&net](const QString &code, const QString &password) {
        const ServerResult result = net.Login(code, password);
        return result.ok ? QString() : result.error;
    });
    if (dialog.exec() != QDialog::Accepted)
        return false;
    context.operador = dialog.operatorCode();
    return true;
}

} // namespace

namespace HostLogin {

bool readPasswordFile(const QString &path, QString *password, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = tr("Não foi possível ler o arquivo de senha %1: %2").arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine();
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    *password = QString::fromUtf8(line);
    return true;
}

bool start(const HostOptions &options, QString *error)
{
    TNetConnection net;
    net.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    net.SetHost(WebURL());
    net.SetPort(WebPort());
    if (!logIn(net, options.passwordFile, false, error))
        return false;
    const QString passwordFile = options.passwordFile;
    TNetConnection::SetLoginHandler([passwordFile](TNetConnection &connection) {
        QString ignored;
        return logIn(connection, passwordFile, true, &ignored);
    });
    return true;
}

void finish()
{
    TNetConnection::SetLoginHandler({});
    TNetConnection net;
    net.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    net.SetHost(WebURL());
    net.SetPort(WebPort());
    // Closing never waits long for a server that does not answer.
    net.SetTimeout(logoutTimeoutSeconds);
    net.Logout();
}

} // namespace HostLogin
