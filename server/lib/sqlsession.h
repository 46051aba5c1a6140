#pragma once

#include "lib/database.h"
#include "lib/databaseerror.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>

using SqlRow = QVector<QVariant>;

// Who makes the call a session is running, and through which method: the
// audit trail records it with every row the call changes.
struct CallOrigin
{
    QString operatorCode;  // the operator of the caller's login session
    QString method;
};

// One database connection owned by one thread, with its prepared statements
// kept for reuse. Values are always bound positionally ("?" placeholders).
class SqlSession
{
public:
    SqlSession(const DatabaseConfig &config, const QString &connectionName);
    ~SqlSession();
    SqlSession(const SqlSession &) = delete;
    SqlSession &operator=(const SqlSession &) = delete;

    Dialect dialect() const { return m_dialect; }
    QSqlDatabase &database() { return m_db; }

    // Runs a query and returns every row. Throws DatabaseError.
    QVector<SqlRow> select(const QString &sql, const QVariantList &values = {});
    // Runs a query and hands each row, in order, to `visit` (which reads the
    // values it needs straight from the query, sparing a copy of the rows).
    void forEachRow(const QString &sql, const QVariantList &values,
                    const std::function<void(const QSqlQuery &)> &visit);
    // Runs a statement and returns the number of rows it changed.
    int execute(const QString &sql, const QVariantList &values = {});

    void begin();
    void commit();
    void rollback();

    // Statements that reached the database and succeeded since the last
    // resetCompleted(): zero after a failed call means the call changed
    // nothing, so it may be run again on a new connection.
    int completedStatements() const { return m_completed; }
    void resetCompleted() { m_completed = 0; }
    // False when the connection to the database is lost (PostgreSQL
    // restarted, network cut); a SQLite file is always reachable.
    bool alive();

    // When set, sees each statement and its values just before it runs
    // (the benchmarks replay a call's statements straight on the database
    // to measure the database's own share of a call).
    std::function<void(const QString &sql, const QVariantList &values)> onStatement;
    // When set, the call's packet is sent in parts: the first PacketWriter
    // made for the session takes it (and clears it) and hands it each part.
    // Set only for a method whose answer is that one packet.
    std::function<void(QByteArray &&part)> onPacketPart;

    // The call being run (set by the dispatcher for each call).
    const CallOrigin &origin() const { return m_origin; }
    void setOrigin(const CallOrigin &origin) { m_origin = origin; }

private:
    QSqlQuery &run(const QString &sql, const QVariantList &values);
    void control(const QString &statement);
    [[noreturn]] void fail(const QSqlError &error) const;

    QString m_name;
    QSqlDatabase m_db;
    Dialect m_dialect;
    QHash<QString, QSqlQuery> m_statements;
    int m_completed = 0;
    CallOrigin m_origin;
};

// Rolls back unless committed: a change packet is written whole or not at all.
class Transaction
{
public:
    explicit Transaction(SqlSession &session) : m_session(session) { m_session.begin(); }
    ~Transaction()
    {
        if (!m_done)
            m_session.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_session.commit();
        m_done = true;
    }

private:
    SqlSession &m_session;
    bool m_done = false;
};
