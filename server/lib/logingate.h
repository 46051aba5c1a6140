#pragma once

#include "lib/hashpool.h"
#include "lib/loginhistory.h"
#include "lib/loginthrottle.h"
#include "lib/methodtable.h"

#include <QByteArray>
#include <QString>

class DatabasePool;
class ServerLog;
class SessionStore;
struct SessionInfo;

// How the server lets operators in and out: the Login call, under the
// guessing limits (LoginThrottle), its password checked on the hashing
// threads (HashPool) rather than on the database workers, and the Logout
// call. Each login, refused or not, and each logout is kept in the login
// history (LoginHistory). Safe to use from any thread.
class LoginGate
{
public:
    struct Settings
    {
        LoginLimits limits;
        int hashThreads = 2;
        int hashQueue = 16;
        ServerClock clock;
    };

    LoginGate(DatabasePool &database, SessionStore &sessions, ServerLog &log, const Settings &settings);

    // What a login or logout answered, and the operator code it named (as
    // given, for the log).
    struct Answer
    {
        CallOutcome outcome;
        QString operatorCode;
    };

    // Login, body {"args":[operator code, password]}: the token of a new
    // session, or a refusal: OperatorLogin::refusedMessage(),
    // LoginThrottle::refusedMessage() or busyMessage().
    Answer login(const QByteArray &body, const QString &client);
    // Logout, body {"args":[]}: ends the session of the token (live, of
    // `session`).
    Answer logout(const QByteArray &body, const QString &token, const SessionInfo &session, const QString &client);

    static QString busyMessage();

private:
    Answer refuse(const QString &operatorCode, const QString &client, const QString &outcome, const QString &message);

    DatabasePool &m_database;
    SessionStore &m_sessions;
    LoginThrottle m_throttle;
    HashPool m_hashes;
    LoginHistory m_history;
};
