#include "lib/operatorlogin.h"

#include "lib/passwordhash.h"
#include "lib/sessionstore.h"
#include "lib/sqlsession.h"

namespace OperatorLogin {

QString refusedMessage()
{
    return QStringLiteral("Usuário ou senha inválidos.");
}

QString sessionEndedMessage()
{
    return QStringLiteral("Sessão expirada. Entre novamente.");
}

CallOutcome call(SqlSession &session, const QByteArray &body, SessionStore &sessions, QString *operatorCode)
{
    const MethodDef login{QStringLiteral("Login"), {ArgKind::Text, ArgKind::Text},
                          [&sessions, operatorCode](SqlSession &s, const MethodArgs &args) {
                              const QString code = args.text(0).trimmed();
                              const QString password = args.text(1);
                              const auto rows =
                                  s.select(QStringLiteral("SELECT DSSENHA FROM OPERADOR WHERE CDOPERADOR = ?"), {code});
                              if (rows.isEmpty()) {
                                  PasswordHash::verifyNothing(password);
                                  throw RequestError(refusedMessage());
                              }
                              if (!PasswordHash::verify(rows.constFirst().constFirst().toString(), password))
                                  throw RequestError(refusedMessage());
                              *operatorCode = code;
                              JsonText token;
                              appendJsonString(token, sessions.open(code));
                              return token;
                          }};
    return dispatchMethod(session, login, {{}, login.name}, body);
}

void setPassword(SqlSession &session, const QString &operatorCode, const QString &password)
{
    if (password.isEmpty())
        throw RequestError(QStringLiteral("A senha não pode ser vazia."));
    const int changed = session.execute(QStringLiteral("UPDATE OPERADOR SET DSSENHA = ? WHERE CDOPERADOR = ?"),
                                        {PasswordHash::make(password), operatorCode});
    if (changed == 0)
        throw RequestError(QStringLiteral("Operador desconhecido: %1.").arg(operatorCode));
}

} // namespace OperatorLogin
