#include "lib/sessionstore.h"

#include "lib/requesterror.h"

#include <sodium.h>

#include <iterator>

namespace {

constexpr size_t tokenBytes = 32;

} // namespace

SessionStore::SessionStore(std::chrono::seconds idle) : m_idle(idle)
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

QString SessionStore::open(const QString &operatorCode)
{
    unsigned char random[tokenBytes];
    randombytes_buf(random, sizeof random);
    const QString token = QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(random), sizeof random).toHex());
    const Clock::time_point now = Clock::now();
    const std::lock_guard<std::mutex> lock(m_mutex);
    // Logins are rare next to calls: the place to forget ended sessions.
    dropEnded(now);
    m_sessions[digest(token)] = {operatorCode, now};
    return token;
}

std::optional<QString> SessionStore::operatorOf(const QString &token)
{
    if (token.isEmpty())
        return std::nullopt;
    const std::string key = digest(token);
    const Clock::time_point now = Clock::now();
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_sessions.find(key);
    if (found == m_sessions.end())
        return std::nullopt;
    if (now - found->second.lastUsed >= m_idle) {
        m_sessions.erase(found);
        return std::nullopt;
    }
    found->second.lastUsed = now;
    return found->second.operatorCode;
}
