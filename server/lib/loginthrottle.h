#pragma once

#include "lib/serverclock.h"

#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>
#include <vector>

// The limits on guessing passwords (options of the server).
struct LoginLimits
{
    int failures = 5;                    // failed logins allowed within the window
    std::chrono::seconds window{15 * 60};
    std::chrono::seconds firstLock{60};  // the first refusal period; each next one doubles
    std::chrono::seconds maxLock{15 * 60};
};

// Slows guessing: counts failed logins per operator code and per client
// address. Once one of them has `failures` within `window`, its attempts are
// refused, without looking at the password, for `firstLock`; each failure
// after a lock ends locks it again for twice as long, up to `maxLock`, until
// a whole window passes without failures after the last lock ended. A success clears the operator's
// count (not the address's: one known password must not open guessing at
// others from there).
//
// An operator's attempts being checked count against the allowance from
// admission on, so concurrent guesses cannot slip past the limit (an
// address's do not: many workstations behind one address may log in at
// once). Safe to use from any thread.
class LoginThrottle
{
public:
    LoginThrottle(const LoginLimits &limits, ServerClock clock);

    // An attempt admitted for checking; settle it with one of the functions below.
    struct Attempt
    {
        QString operatorCode;
        QString client;
    };

    // Admits an attempt, or answers how long its operator or address is
    // still refused.
    std::optional<std::chrono::seconds> admit(const Attempt &attempt);
    void failed(const Attempt &attempt);
    void succeeded(const Attempt &attempt);
    // The attempt was not checked (server busy, database unavailable).
    void withdrawn(const Attempt &attempt);

    // "Muitas tentativas de entrada. Tente novamente em N minutos.", N the
    // whole minutes of `wait`, rounded up.
    static QString refusedMessage(std::chrono::seconds wait);

private:
    using Clock = std::chrono::steady_clock;

    struct Count
    {
        std::vector<Clock::time_point> failures;   // within the window, oldest first
        Clock::time_point lockedUntil{};
        int locks = 0;      // locks since the count last settled
        int checking = 0;   // admitted attempts not settled yet
    };

    enum class Key { Operator, Client };
    Count &count(Key kind, const QString &key, Clock::time_point now);
    std::optional<std::chrono::seconds> refusal(const Count &count, Key kind, Clock::time_point now) const;
    void fail(Count &count, Clock::time_point now);
    // No failure and no lock within the last window: nothing to remember.
    bool settled(const Count &count, Clock::time_point now) const;
    void forgetIdle(Clock::time_point now);

    LoginLimits m_limits;
    ServerClock m_clock;
    std::mutex m_mutex;
    QHash<QString, Count> m_operators;
    QHash<QString, Count> m_clients;
    Clock::time_point m_lastSweep{};
};
