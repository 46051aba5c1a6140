#include "lib/operatorlogin.h"

#include "lib/passwordhash.h"
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

std::optional<QString> storedHash(SqlSession &session, const QString &operatorCode)
{
    const auto rows =
        session.select(QStringLiteral("SELECT DSSENHA FROM OPERADOR WHERE CDOPERADOR = ?"), {operatorCode});
    if (rows.isEmpty())
        return std::nullopt;
    return rows.constFirst().constFirst().toString();
}

bool matches(const std::optional<QString> &stored, const QString &password)
{
    if (!stored) {
        PasswordHash::verifyNothing(password);
        return false;
    }
    return PasswordHash::verify(*stored, password);
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
