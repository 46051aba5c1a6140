#include "lib/sqlsession.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {

// Prepared statements kept per connection; the dynamic IN lists make the set
// open-ended, so it is cleared when it grows past this.
constexpr int statementCacheLimit = 200;

} // namespace

SqlSession::SqlSession(const DatabaseConfig &config, const QString &connectionName)
    : m_name(connectionName), m_db(config.open(connectionName)), m_dialect(config.dialect)
{
}

SqlSession::~SqlSession()
{
    m_statements.clear();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlQuery &SqlSession::run(const QString &sql, const QVariantList &values)
{
    if (onStatement)
        onStatement(sql, values);
    auto it = m_statements.find(sql);
    if (it == m_statements.end()) {
        if (m_statements.size() >= statementCacheLimit)
            m_statements.clear();
        QSqlQuery query(m_db);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            fail(query.lastError());
        it = m_statements.insert(sql, query);
    }
    QSqlQuery &query = it.value();
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
    if (!query.exec()) {
        const QSqlError error = query.lastError();
        query.finish();
        fail(error);
    }
    ++m_completed;
    return query;
}

QVector<SqlRow> SqlSession::select(const QString &sql, const QVariantList &values)
{
    QVector<SqlRow> rows;
    int columns = -1;
    forEachRow(sql, values, [&](const QSqlQuery &query) {
        if (columns < 0)
            columns = query.record().count();
        SqlRow row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = query.value(i);
        rows.append(row);
    });
    return rows;
}

void SqlSession::forEachRow(const QString &sql, const QVariantList &values,
                            const std::function<void(const QSqlQuery &)> &visit)
{
    QSqlQuery &query = run(sql, values);
    try {
        while (query.next())
            visit(query);
    } catch (...) {
        query.finish();
        throw;
    }
    query.finish();
}

int SqlSession::execute(const QString &sql, const QVariantList &values)
{
    QSqlQuery &query = run(sql, values);
    const int affected = query.numRowsAffected();
    query.finish();
    return affected;
}

void SqlSession::begin()
{
    // SQLite: take the write lock at once, so two writers queue on the busy
    // timeout instead of failing when a read turns into a write.
    control(m_dialect == Dialect::SQLite ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

void SqlSession::commit()
{
    control(QStringLiteral("COMMIT"));
}

void SqlSession::control(const QString &statement)
{
    // Transaction control cannot be a prepared statement on PostgreSQL.
    QSqlQuery query(m_db);
    if (!query.exec(statement))
        fail(query.lastError());
    ++m_completed;
}

void SqlSession::rollback()
{
    QSqlQuery query(m_db);
    query.exec(QStringLiteral("ROLLBACK"));
}

bool SqlSession::alive()
{
    if (m_dialect == Dialect::SQLite)
        return true;
    QSqlQuery probe(m_db);
    return probe.exec(QStringLiteral("SELECT 1"));
}

void SqlSession::fail(const QSqlError &error) const
{
    throw DatabaseError::from(m_dialect, error);
}
