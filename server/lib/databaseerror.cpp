#include "lib/databaseerror.h"

#include <QSqlError>

namespace {

DatabaseError::Kind sqliteKind(const QString &code)
{
    // SQLITE_CONSTRAINT_PRIMARYKEY, SQLITE_CONSTRAINT_UNIQUE, SQLITE_CONSTRAINT_FOREIGNKEY
    if (code == QLatin1String("1555") || code == QLatin1String("2067"))
        return DatabaseError::Kind::DuplicateKey;
    if (code == QLatin1String("787"))
        return DatabaseError::Kind::MissingParent;
    // The driver hands the extended result code; its low byte is the primary one.
    switch (code.toInt() & 0xff) {
    case 13:   // SQLITE_FULL
        return DatabaseError::Kind::DiskFull;
    case 8:    // SQLITE_READONLY
        return DatabaseError::Kind::ReadOnly;
    case 5:    // SQLITE_BUSY
    case 6:    // SQLITE_LOCKED
        return DatabaseError::Kind::Locked;
    default:
        return DatabaseError::Kind::Other;
    }
}

DatabaseError::Kind postgresKind(const QString &state)
{
    if (state == QLatin1String("23505"))   // unique_violation
        return DatabaseError::Kind::DuplicateKey;
    if (state == QLatin1String("23503"))   // foreign_key_violation
        return DatabaseError::Kind::MissingParent;
    if (state == QLatin1String("53100"))   // disk_full
        return DatabaseError::Kind::DiskFull;
    if (state == QLatin1String("25006"))   // read_only_sql_transaction
        return DatabaseError::Kind::ReadOnly;
    if (state == QLatin1String("55P03") || state == QLatin1String("40P01"))   // lock_not_available, deadlock_detected
        return DatabaseError::Kind::Locked;
    return DatabaseError::Kind::Other;
}

QString message(DatabaseError::Kind kind, const QString &code)
{
    switch (kind) {
    case DatabaseError::Kind::DiskFull:
        return QStringLiteral("O disco do banco de dados está cheio. Nada foi gravado.");
    case DatabaseError::Kind::ReadOnly:
        return QStringLiteral("O banco de dados está somente para leitura. Nada foi gravado.");
    case DatabaseError::Kind::Locked:
        return QStringLiteral("O banco de dados está bloqueado por outra operação. Nada foi gravado; "
                              "tente novamente em instantes.");
    default:
        return QStringLiteral("Falha no banco de dados (código %1). Nada foi gravado.").arg(code);
    }
}

} // namespace

DatabaseError DatabaseError::from(Dialect dialect, const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    const Kind kind = dialect == Dialect::SQLite ? sqliteKind(code) : postgresKind(code);
    return DatabaseError(kind, message(kind, code));
}
