#pragma once

#include "lib/database.h"

// A consistent copy of a SQLite suite database, taken while servers keep
// serving it (entpat-server --backup). The copy is one read transaction of
// the source (VACUUM INTO), so it holds every change committed before it
// began and none half-written.
namespace DatabaseBackup {

// Writes the copy of `source` to the new file `target` (readable by its
// owner only) and checks it with PRAGMA integrity_check. Throws RequestError
// when the source is no SQLite suite database, the target exists or cannot
// be written, or the copy fails the check; a failed copy is removed.
void write(const DatabaseConfig &source, const QString &target);

} // namespace DatabaseBackup
