#pragma once

#include "lib/database.h"

struct EntPatServerOptions;
class ServerLog;

// Checks, before the server listens, that the database named in the options
// is one it may serve, and prepares it as asked. Throws RequestError with
// what is wrong:
// - no database named;
// - a SQLite file that does not exist (unless creating), is a folder, or
//   cannot be read and written (a file with no write permission for anyone
//   counts as read-only even for the superuser), or whose folder does not
//   take the journal files;
// - a database without the tables (unless creating), or one whose user may
//   not write them.
// Nothing is written to a database it refuses.
void prepareDatabase(const DatabaseConfig &config, const EntPatServerOptions &options, const QString &connectionName,
                     ServerLog &log);
