#pragma once

#include <QString>

// Operators' passwords as stored in OPERADOR.DSSENHA: libsodium's
// crypto_pwhash_str (Argon2id, salted, INTERACTIVE limits), whose text holds
// its own algorithm, limits and salt. Each hash or check takes tens of
// milliseconds and 64 MiB on purpose: the server runs its checks on its
// hashing threads (see HashPool), which bound how many run at once.
namespace PasswordHash {

// The stored form of a password. Throws RequestError when the library cannot
// hash (out of memory).
QString make(const QString &password);

// True when the password matches the stored form; false for any other
// password and for a stored form that is empty or not a hash.
bool verify(const QString &stored, const QString &password);

// Spends the time of one verify() without a stored hash: an unknown operator
// takes as long to refuse as a wrong password.
void verifyNothing(const QString &password);

} // namespace PasswordHash
