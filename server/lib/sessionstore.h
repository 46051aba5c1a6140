#pragma once

#include <QByteArray>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>
#include <unordered_map>

// The sessions of one server process: a random token per login, bound to the
// operator who logged in, ending after `idle` without a call. Only a digest
// of each token is kept, so the table never holds what a client sends and a
// lookup takes the same time whatever prefix a guess shares with a token.
// Safe to use from any thread.
class SessionStore
{
public:
    using Clock = std::chrono::steady_clock;

    explicit SessionStore(std::chrono::seconds idle);

    // A new session of the operator: answers its token (64 hexadecimal
    // characters from the system's random source).
    QString open(const QString &operatorCode);
    // The operator of a live session, whose idle time starts again; nullopt
    // for a token that is unknown, forged or whose session has ended.
    std::optional<QString> operatorOf(const QString &token);

private:
    struct Session
    {
        QString operatorCode;
        Clock::time_point lastUsed;
    };

    static std::string digest(const QString &token);
    void dropEnded(Clock::time_point now);

    std::chrono::seconds m_idle;
    std::mutex m_mutex;
    std::unordered_map<std::string, Session> m_sessions;
};
