#include "lib/schemaversion.h"

#include "lib/database.h"
#include "lib/requesterror.h"
#include "lib/schema.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <functional>
#include <vector>

namespace {

const QString VersionTable = QStringLiteral("VERSAOESQUEMA");

[[noreturn]] void fail(const QSqlQuery &query)
{
    throw RequestError(
        QStringLiteral("Falha ao atualizar o esquema do banco de dados: %1").arg(query.lastError().text()));
}

// Statements without values run unprepared: PostgreSQL cannot prepare DDL.
QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query(db);
    if (values.isEmpty()) {
        if (!query.exec(sql))
            fail(query);
        return query;
    }
    if (!query.prepare(sql))
        fail(query);
    for (const QVariant &value : values)
        query.addBindValue(value);
    if (!query.exec())
        fail(query);
    return query;
}

// Step i brings a database from version i + 1 to version i + 2.
const std::vector<std::function<void(QSqlDatabase &)>> &steps()
{
    static const std::vector<std::function<void(QSqlDatabase &)>> all = {
        // 2: tables, columns and indexes added after the first version.
        Schema::addMissing,
        // 3: formulation composition per mL, interruption flag of the
        // occurrence types (existing types are not interruptions until marked)
        // and the hang-time table (empty: the defaults apply).
        [](QSqlDatabase &db) {
            Schema::addMissing(db);
            run(db, QStringLiteral("UPDATE TPOCORINFU SET IDINTERRUPCAO = 'N' WHERE IDINTERRUPCAO IS NULL"));
        },
        // 4: the operators' password hashes (OPERADOR.DSSENHA).
        Schema::addMissing,
        // 5: the login history (HISTENTRADA).
        Schema::addMissing,
        // 6: the count of logins a history row stands for (QTTENTATIVAS).
        Schema::addMissing,
        // 7: energy and protein goals: per admission (METAINTE), defaults per
        // admission standard and per branch (PADRAOSERV, PARADIETO); empty
        // until set.
        Schema::addMissing,
    };
    return all;
}

// The highest version recorded; 1 when the table is missing or empty (a
// database made before versions were recorded).
int recordedVersion(QSqlDatabase &db)
{
    if (!db.tables().contains(VersionTable, Qt::CaseInsensitive))
        return 1;
    QSqlQuery query = run(db, QStringLiteral("SELECT MAX(NRVERSAO) FROM VERSAOESQUEMA"));
    return query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 1;
}

void createTable(QSqlDatabase &db)
{
    run(db, QStringLiteral("CREATE TABLE IF NOT EXISTS VERSAOESQUEMA (NRVERSAO INTEGER NOT NULL PRIMARY KEY, "
                           "DTAPLICADA TIMESTAMP NOT NULL)"));
}

void record(QSqlDatabase &db, int version)
{
    run(db, QStringLiteral("INSERT INTO VERSAOESQUEMA (NRVERSAO, DTAPLICADA) VALUES (?, ?)"),
        {version, QDateTime::currentDateTime()});
}

// Opens the upgrade's transaction so that a second server starting at the
// same time waits and then finds the work done: SQLite takes its write lock
// at once, PostgreSQL a transaction-wide advisory lock.
void beginExclusive(QSqlDatabase &db)
{
    if (dialectOf(db) == Dialect::SQLite) {
        run(db, QStringLiteral("BEGIN IMMEDIATE"));
        return;
    }
    if (!db.transaction())
        throw RequestError(
            QStringLiteral("Falha ao atualizar o esquema do banco de dados: %1").arg(db.lastError().text()));
    run(db, QStringLiteral("SELECT pg_advisory_xact_lock(18000)"));
}

void commit(QSqlDatabase &db)
{
    if (dialectOf(db) == Dialect::SQLite) {
        run(db, QStringLiteral("COMMIT"));
        return;
    }
    if (!db.commit())
        throw RequestError(
            QStringLiteral("Falha ao atualizar o esquema do banco de dados: %1").arg(db.lastError().text()));
}

// Undoes a failed upgrade; the failure that caused it is what gets reported.
void abandon(QSqlDatabase &db) noexcept
{
    if (dialectOf(db) == Dialect::SQLite)
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    else
        db.rollback();
}

void refuseNewer(int found)
{
    throw RequestError(QStringLiteral("O banco de dados está na versão %1 do esquema, mais nova que a deste servidor "
                                      "(%2). Atualize o servidor de aplicação.")
                           .arg(found)
                           .arg(SchemaVersion::current()));
}

} // namespace

namespace SchemaVersion {

int current()
{
    return int(steps().size()) + 1;
}

void markCurrent(QSqlDatabase &db)
{
    createTable(db);
    record(db, current());
}

void drop(QSqlDatabase &db)
{
    if (db.tables().contains(VersionTable, Qt::CaseInsensitive))
        run(db, QStringLiteral("DROP TABLE VERSAOESQUEMA"));
}

Upgrade upgrade(QSqlDatabase &db)
{
    const bool hasTable = db.tables().contains(VersionTable, Qt::CaseInsensitive);
    const int seen = recordedVersion(db);
    if (seen > current())
        refuseNewer(seen);
    if (hasTable && seen == current())
        return {seen, seen};

    beginExclusive(db);
    try {
        // Read again under the lock: another server may have upgraded meanwhile.
        const int found = recordedVersion(db);
        if (found > current())
            refuseNewer(found);
        const bool recorded = db.tables().contains(VersionTable, Qt::CaseInsensitive);
        createTable(db);
        if (!recorded)
            record(db, 1);
        for (int version = found + 1; version <= current(); ++version) {
            steps()[size_t(version - 2)](db);
            record(db, version);
        }
        commit(db);
        return {found, current()};
    } catch (...) {
        abandon(db);
        throw;
    }
}

} // namespace SchemaVersion
