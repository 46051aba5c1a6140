#pragma once

#include "lib/database.h"
#include "lib/requesterror.h"

#include <QString>

class QSqlError;

// A failed statement. The kind lets the change-packet application tell a
// duplicate key or a missing parent from other failures; the text is what
// the user reads, in Portuguese, never the driver's own (English) text.
class DatabaseError : public RequestError
{
public:
    enum class Kind { DuplicateKey, MissingParent, DiskFull, ReadOnly, Locked, Other };
    DatabaseError(Kind kind, const QString &text) : RequestError(text), m_kind(kind) {}
    Kind kind() const { return m_kind; }

    // The failure a statement met, from the database's error code (SQLite's
    // result code, PostgreSQL's SQLSTATE).
    static DatabaseError from(Dialect dialect, const QSqlError &error);

private:
    Kind m_kind;
};
