#pragma once

#include "lib/methodtable.h"

#include <QString>

class SessionStore;
class SqlSession;

// Who may call the server: an operator of the suite (table OPERADOR) whose
// password matches the hash in DSSENHA (see passwordhash.h).
namespace OperatorLogin {

// The refusal of a wrong operator code or password (the same for both, so a
// refusal does not tell which operators exist).
QString refusedMessage();
// The refusal of a call without a live session: none given, unknown, forged
// or ended after its idle time.
QString sessionEndedMessage();

// The Login call, body {"args":[operator code, password]}: answers the token
// of a new session of the operator, or refusedMessage(). On success
// *operatorCode is the operator logged in.
CallOutcome call(SqlSession &session, const QByteArray &body, SessionStore &sessions, QString *operatorCode);

// Stores the hash of a new password of the operator. Throws RequestError for
// an unknown operator or an empty password.
void setPassword(SqlSession &session, const QString &operatorCode, const QString &password);

} // namespace OperatorLogin
