#pragma once

class QSqlDatabase;

// Adds to an open connection the functions that the lookup statements'
// Oracle slot uses and the database lacks: NVL(value, fallback) on SQLite and
// PostgreSQL. Throws UserError when the registration fails.
void registerSqlFunctions(QSqlDatabase &database);
