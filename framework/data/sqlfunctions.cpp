#include "data/sqlfunctions.h"

#include "core/abort.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sqlite3.h>

namespace {

void sqliteNvl(sqlite3_context *context, int, sqlite3_value **arguments)
{
    sqlite3_result_value(context, sqlite3_value_type(arguments[0]) == SQLITE_NULL ? arguments[1]
                                                                                 : arguments[0]);
}

void registerOnSqlite(QSqlDatabase &database)
{
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw UserError(QStringLiteral("Conexão SQLite sem acesso ao banco."));
    sqlite3 *db = *static_cast<sqlite3 *const *>(handle.constData());
    if (sqlite3_create_function_v2(db, "NVL", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                   &sqliteNvl, nullptr, nullptr, nullptr)
        != SQLITE_OK)
        throw UserError(QStringLiteral("Não foi possível registrar a função NVL no SQLite."));
}

void registerOnPostgres(QSqlDatabase &database)
{
    QSqlQuery query(database);
    // Text comparison covers every code column the statements compare.
    if (!query.exec(QStringLiteral(
            "CREATE OR REPLACE FUNCTION NVL(value TEXT, fallback TEXT) RETURNS TEXT "
            "LANGUAGE SQL IMMUTABLE AS 'SELECT COALESCE(value, fallback)'")))
        throw UserError(QStringLiteral("Não foi possível registrar a função NVL: %1")
                            .arg(query.lastError().text()));
}

} // namespace

void registerSqlFunctions(QSqlDatabase &database)
{
    if (database.driverName() == QLatin1String("QSQLITE"))
        registerOnSqlite(database);
    else if (database.driverName() == QLatin1String("QPSQL"))
        registerOnPostgres(database);
}
