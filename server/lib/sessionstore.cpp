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

QString SessionStore::open(const SessionInfo &session)
{
    unsigned char random[tokenBytes];
    randombytes_buf(random, sizeof random);
    const QString token = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(random), sizeof random).toHex());
    const Clock::time_point now = serverNow(m_clock);
    const std::lock_guard<std::mutex> lock(m_mutex);
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
    // An idle session stays until takeIdle() collects it, so that its end is recorded once.
    if (found == m_sessions.end() || now - found->second.lastUsed >= m_idle)
        return std::nullopt;
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

std::vector<SessionInfo> SessionStore::endOutdated(const QString &operatorCode, const QString &currentHash)
{
    std::vector<SessionInfo> ended;
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_sessions, [&](const auto &entry) {
        const SessionInfo &info = entry.second.info;
        if (info.operatorCode != operatorCode || info.passwordHash == currentHash)
            return false;
        ended.push_back(info);
        return true;
    });
    return ended;
}

std::vector<IdleSession> SessionStore::takeIdle()
{
    std::vector<IdleSession> idle;
    const Clock::time_point now = serverNow(m_clock);
    const QDateTime wallNow = QDateTime::currentDateTime();
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::erase_if(m_sessions, [&](const auto &entry) {
        const Clock::time_point end = entry.second.lastUsed + m_idle;
        if (now < end)
            return false;
        const auto ago = std::chrono::duration_cast<std::chrono::milliseconds>(now - end);
        idle.push_back({entry.second.info, wallNow.addMSecs(-ago.count())});
        return true;
    });
    return idle;
}
