#include "lib/sessionstore.h"

#include "lib/requesterror.h"

#include <sodium.h>

#include <iterator>

namespace {

constexpr size_t tokenBytes = 32;

} // namespace

SessionStore::SessionStore(std::chrono::seconds idle, ServerClock clock) : m_idle(idle), m_clock(std::move(clock))
{
    if (sodium_init() < 0)
        throw RequestError(QStringLiteral("A biblioteca de criptografia não pôde ser iniciada."));
}

std::string SessionStore::digest(const QString &token)
{
    const QByteArray text = token.toLatin1();
    unsigned char out[crypto_generichash_BYTES];
    crypto_generichash(out, sizeof out, reinterpret_cast<const unsigned char *>(text.constData()),
                       size_t(text.size()), nullptr, 0);
    return std::string(std::begin(out), std::end(out));
}

void SessionStore::dropEnded(Clock::time_point now)
{
    std::erase_if(m_sessions, [this, now](const auto &entry) { return now - entry.second.lastUsed >= m_idle; });
}

QString SessionStore::open(const SessionInfo &session)
{
    unsigned char random[tokenBytes];
    randombytes_buf(random, sizeof random);
    const QString token = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(random), sizeof random).toHex());
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    // Logins are rare next to calls: the place to forget ended sessions.
    dropEnded(now);
    m_sessions[digest(token)] = {session, now};
    return token;
}

std::optional<SessionInfo> SessionStore::find(const QString &token)
{
    if (token.isEmpty())
        return std::nullopt;
    const std::string key = digest(token);
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_sessions.find(key);
    if (found == m_sessions.end())
        return std::nullopt;
    if (now - found->second.lastUsed >= m_idle) {
        m_sessions.erase(found);
        return std::nullopt;
    }
    found->second.lastUsed = now;
    return found->second.info;
}

std::optional<SessionInfo> SessionStore::close(const QString &token)
{
    const std::optional<SessionInfo> live = find(token);
    if (live) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_sessions.erase(digest(token));
    }
    return live;
}

void SessionStore::endOutdated(const QString &operatorCode, const QString &currentHash)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_sessions, [&](const auto &entry) {
        const SessionInfo &info = entry.second.info;
        return info.operatorCode == operatorCode && info.passwordHash != currentHash;
    });
}
