#pragma once

#include "lib/hashpool.h"
#include "lib/loginhistory.h"
#include "lib/loginthrottle.h"
#include "lib/methodtable.h"
#include "lib/refusaltally.h"

#include <QByteArray>
#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class DatabasePool;
class ServerLog;
class SessionStore;
struct SessionInfo;

// How the server lets operators in and out: the Login call, under the
// guessing limits (LoginThrottle), its password checked on the hashing
// threads (HashPool) rather than while holding a database connection, and the Logout
// call. Each login, refused or not, and each end of a session (Logout, idle
// time, a new password) is kept in the login history (LoginHistory) and the
// log.
//
// A login refused because its operator or address is locked is answered
// only after `lockedDelay`, on its connection's thread (no database or
// hashing thread waits), so a locked client cannot send them at the speed of
// the network; and such refusals are counted together (RefusalTally) rather
// than written one by one. A thread of its own collects, every second, the
// sessions whose idle time has passed and the refusals counted in each
// minute. Safe to use from any thread.
class LoginGate
{
public:
    struct Settings
    {
        LoginLimits limits;
        int hashThreads = 2;
        int hashQueue = 16;
        std::chrono::milliseconds lockedDelay{1000};
        ServerClock clock;
    };

    LoginGate(DatabasePool &database, SessionStore &sessions, ServerLog &log, const Settings &settings);
    // Records the refusals still counted; the sessions are not ended.
    ~LoginGate();
    LoginGate(const LoginGate &) = delete;
    LoginGate &operator=(const LoginGate &) = delete;

    // What a login or logout answered, and the operator code it named (as
    // given, for the log).
    struct Answer
    {
        CallOutcome outcome;
        QString operatorCode;
        // A refusal counted with others, which a later log line reports:
        // no line of its own.
        bool counted = false;
    };

    // Login, body {"args":[operator code, password]}: the token of a new
    // session, or a refusal: OperatorLogin::refusedMessage(),
    // LoginThrottle::refusedMessage() or busyMessage().
    Answer login(const QByteArray &body, const QString &client);
    // Logout, body {"args":[]}: ends the session of the token (live, of
    // `session`).
    Answer logout(const QByteArray &body, const QString &token, const SessionInfo &session, const QString &client);
    // Records the end of sessions that a new password of their operator
    // ended (see SessionStore::endOutdated).
    void passwordSet(const std::vector<SessionInfo> &ended);

    static QString busyMessage();

private:
    Answer refuse(const QString &operatorCode, const QString &client, const QString &outcome, const QString &message);
    Answer refuseLocked(const QString &operatorCode, const QString &client, std::chrono::seconds wait);
    void recordEnd(const SessionInfo &session, const QString &outcome, const QDateTime &time);
    void recordCounted(const std::vector<RefusalTally::Count> &counts);
    void sweep();

    DatabasePool &m_database;
    SessionStore &m_sessions;
    ServerLog &m_log;
    ServerClock m_clock;
    std::chrono::milliseconds m_lockedDelay;
    LoginThrottle m_throttle;
    HashPool m_hashes;
    LoginHistory m_history;
    RefusalTally m_tally;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_sweeper;
};
