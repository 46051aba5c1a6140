#pragma once

#include "lib/serverclock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

// One live session: its operator, the stored password hash it logged in
// against, so that a call can tell when the password was set since, and the
// address it logged in from.
struct SessionInfo
{
    QString operatorCode;
    QString passwordHash;
    QString client;
};

// A session that ended after its idle time, and when it did (server time).
struct IdleSession
{
    SessionInfo info;
    QDateTime ended;
};

// The sessions of one server process: a random token per login, bound to the
// operator who logged in, ending after `idle` without a call, at Logout, or
// when the operator's password is set. Only a digest of each token is kept,
// so the table never holds what a client sends and a lookup takes the same
// time whatever prefix a guess shares with a token. Safe to use from any
// thread.
class SessionStore
{
public:
    using Clock = std::chrono::steady_clock;

    SessionStore(std::chrono::seconds idle, ServerClock clock);

    // A new session of the operator: answers its token (64 hexadecimal
    // characters from the system's random source).
    QString open(const SessionInfo &session);
    // The live session of a token, whose idle time starts again; nullopt
    // for a token that is unknown, forged or whose session has ended.
    std::optional<SessionInfo> find(const QString &token);
    // Ends the token's session; answers it, nullopt when none was live.
    std::optional<SessionInfo> close(const QString &token);
    // Ends the operator's sessions opened against another password hash
    // than `currentHash` (the password was set since); answers them.
    std::vector<SessionInfo> endOutdated(const QString &operatorCode, const QString &currentHash);
    // Forgets the sessions whose idle time has passed (find() no longer
    // answers them); answers them, so that their end can be recorded.
    std::vector<IdleSession> takeIdle();

private:
    struct Session
    {
        SessionInfo info;
        Clock::time_point lastUsed;
    };

    static std::string digest(const QString &token);

    std::chrono::seconds m_idle;
    ServerClock m_clock;
    std::mutex m_mutex;
    std::unordered_map<std::string, Session> m_sessions;
};
