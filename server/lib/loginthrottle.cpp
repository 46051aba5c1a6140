#include "lib/loginthrottle.h"

#include <algorithm>

namespace {

// How often counts with nothing left to remember are forgotten.
constexpr std::chrono::minutes sweepInterval{1};

} // namespace

LoginThrottle::LoginThrottle(const LoginLimits &limits, ServerClock clock)
    : m_limits(limits), m_clock(std::move(clock))
{
    m_limits.failures = std::max(1, m_limits.failures);
}

QString LoginThrottle::refusedMessage(std::chrono::seconds wait)
{
    const auto minutes = std::max<qint64>(1, (wait.count() + 59) / 60);
    return QStringLiteral("Muitas tentativas de entrada. Tente novamente em %1 minutos.").arg(minutes);
}

LoginThrottle::Count &LoginThrottle::count(Key kind, const QString &key, Clock::time_point now)
{
    Count &found = (kind == Key::Operator ? m_operators : m_clients)[key];
    const auto recent = std::find_if(found.failures.begin(), found.failures.end(),
                                     [&](Clock::time_point failure) { return now - failure < m_limits.window; });
    found.failures.erase(found.failures.begin(), recent);
    if (settled(found, now))
        found.locks = 0;
    return found;
}

bool LoginThrottle::settled(const Count &count, Clock::time_point now) const
{
    return (count.failures.empty() || now - count.failures.back() >= m_limits.window)
        && now - count.lockedUntil >= m_limits.window;
}

std::optional<std::chrono::seconds> LoginThrottle::refusal(const Count &count, Key kind, Clock::time_point now) const
{
    if (now < count.lockedUntil)
        return std::chrono::ceil<std::chrono::seconds>(count.lockedUntil - now);
    // After a lock, one attempt at a time until a window passes clean.
    const int allowance = count.locks > 0 ? 1 : m_limits.failures - int(count.failures.size());
    const int checking = kind == Key::Operator ? count.checking : 0;
    if (checking >= allowance)
        return m_limits.firstLock;
    return std::nullopt;
}

void LoginThrottle::fail(Count &count, Clock::time_point now)
{
    --count.checking;
    count.failures.push_back(now);
    if (count.locks == 0 && int(count.failures.size()) < m_limits.failures)
        return;
    auto lock = m_limits.firstLock;
    for (int i = 0; i < count.locks && lock < m_limits.maxLock; ++i)
        lock *= 2;
    count.lockedUntil = now + std::min(lock, m_limits.maxLock);
    ++count.locks;
}

void LoginThrottle::forgetIdle(Clock::time_point now)
{
    if (now - m_lastSweep < sweepInterval)
        return;
    m_lastSweep = now;
    for (QHash<QString, Count> *counts : {&m_operators, &m_clients}) {
        counts->removeIf([&](auto entry) { return entry.value().checking == 0 && settled(entry.value(), now); });
    }
}

std::optional<std::chrono::seconds> LoginThrottle::admit(const Attempt &attempt)
{
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    forgetIdle(now);
    Count &byOperator = count(Key::Operator, attempt.operatorCode, now);
    Count &byClient = count(Key::Client, attempt.client, now);
    const auto operatorWait = refusal(byOperator, Key::Operator, now);
    const auto clientWait = refusal(byClient, Key::Client, now);
    if (operatorWait || clientWait)
        return std::max(operatorWait.value_or(std::chrono::seconds(0)), clientWait.value_or(std::chrono::seconds(0)));
    ++byOperator.checking;
    ++byClient.checking;
    return std::nullopt;
}

void LoginThrottle::failed(const Attempt &attempt)
{
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    fail(count(Key::Operator, attempt.operatorCode, now), now);
    fail(count(Key::Client, attempt.client, now), now);
}

void LoginThrottle::succeeded(const Attempt &attempt)
{
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    Count &byOperator = count(Key::Operator, attempt.operatorCode, now);
    byOperator = Count{{}, {}, 0, byOperator.checking - 1};
    --count(Key::Client, attempt.client, now).checking;
}

void LoginThrottle::withdrawn(const Attempt &attempt)
{
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    --count(Key::Operator, attempt.operatorCode, now).checking;
    --count(Key::Client, attempt.client, now).checking;
}
