#pragma once

#include <QString>

#include <optional>

class SqlSession;

// Who may call the server: an operator of the suite (table OPERADOR) whose
// password matches the hash in DSSENHA (see passwordhash.h). The Login and
// Logout calls themselves are served by LoginGate.
namespace OperatorLogin {

// The refusal of a wrong operator code or password (the same for both, so a
// refusal does not tell which operators exist).
QString refusedMessage();
// The refusal of a call without a live session: none given, unknown, forged,
// ended after its idle time, by Logout or by a new password.
QString sessionEndedMessage();

// The operator's stored password hash; nullopt for an unknown operator.
// Throws DatabaseError.
std::optional<QString> storedHash(SqlSession &session, const QString &operatorCode);

// Whether the password matches the stored hash; for an unknown operator
// (nullopt) it spends as long and answers false. Slow on purpose.
bool matches(const std::optional<QString> &stored, const QString &password);

// Stores the hash of a new password of the operator, which ends the
// sessions opened with the old one (see SessionStore). Throws RequestError
// for an unknown operator or an empty password.
void setPassword(SqlSession &session, const QString &operatorCode, const QString &password);

} // namespace OperatorLogin
