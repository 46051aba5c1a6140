#include "lib/passwordhash.h"

#include "lib/requesterror.h"

#include <sodium.h>

namespace {

void initialise()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw RequestError(QStringLiteral("A biblioteca de criptografia não pôde ser iniciada."));
}

} // namespace

namespace PasswordHash {

QString make(const QString &password)
{
    initialise();
    const QByteArray secret = password.toUtf8();
    char stored[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(stored, secret.constData(), quint64(secret.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw RequestError(QStringLiteral("Memória insuficiente para calcular o resumo da senha."));
    return QString::fromLatin1(stored);
}

bool verify(const QString &stored, const QString &password)
{
    initialise();
    const QByteArray hash = stored.toLatin1();
    const QByteArray secret = password.toUtf8();
    return !hash.isEmpty() && hash.size() < crypto_pwhash_STRBYTES
        && crypto_pwhash_str_verify(hash.constData(), secret.constData(), quint64(secret.size())) == 0;
}

void verifyNothing(const QString &password)
{
    // Made once per process, of a password nobody types.
    static const QString decoy = make(QStringLiteral("\x01 sem operador"));
    verify(decoy, password);
}

} // namespace PasswordHash
