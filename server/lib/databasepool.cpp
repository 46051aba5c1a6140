#include "lib/databasepool.h"

#include "lib/serverlog.h"
#include "lib/sqlsession.h"

DatabasePool::DatabasePool(const DatabaseConfig &config, int connections, const QString &connectionPrefix,
                           ServerLog &log)
    : m_config(config), m_log(log), m_connections(size_t(std::max(1, connections)))
{
    for (size_t i = 0; i < m_connections.size(); ++i) {
        m_connections[i].name = QStringLiteral("%1-%2").arg(connectionPrefix).arg(i);
        m_free.push_back(&m_connections[i]);
    }
}

DatabasePool::~DatabasePool()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_stopping = true;
    m_given.wait(lock, [this] { return m_free.size() == m_connections.size(); });
}

QString DatabasePool::unavailableMessage()
{
    return QStringLiteral("Banco de dados indisponível. Tente novamente em instantes.");
}

CallOutcome DatabasePool::run(const QString &name, const std::function<CallOutcome(SqlSession &)> &work)
{
    Connection *connection = nullptr;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_given.wait(lock, [this] { return m_stopping || !m_free.empty(); });
        if (m_stopping)
            return CallOutcome::failure(QStringLiteral("O servidor de aplicação está sendo encerrado."));
        connection = m_free.back();
        m_free.pop_back();
    }
    CallOutcome outcome = perform(*connection, name, work);
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_free.push_back(connection);
    // Told under the lock: once the destructor sees every connection back
    // it may end the pool. While it waits, every waiter hears it; otherwise
    // one call waiting for a connection takes this one.
    if (m_stopping)
        m_given.notify_all();
    else
        m_given.notify_one();
    return outcome;
}

CallOutcome DatabasePool::perform(Connection &connection, const QString &name,
                                  const std::function<CallOutcome(SqlSession &)> &work)
{
    std::unique_ptr<SqlSession> &session = connection.session;
    // Two rounds at most: the second only when the first found the
    // connection already lost and did nothing.
    for (int round = 0; round < 2; ++round) {
        if (!session) {
            try {
                session = std::make_unique<SqlSession>(m_config, connection.name);
            } catch (const RequestError &failure) {
                m_log.error(QStringLiteral("%1: %2").arg(connection.name, failure.text()));
                return CallOutcome::failure(unavailableMessage());
            }
            if (round > 0)
                m_log.warning(QStringLiteral("%1: conexão com o banco de dados restabelecida").arg(connection.name));
        }
        session->resetCompleted();
        CallOutcome outcome = work(*session);
        if (outcome.ok() || session->alive())
            return outcome;
        const bool changedNothing = session->completedStatements() == 0;
        m_log.error(QStringLiteral("%1: conexão com o banco de dados perdida em %2: %3")
                        .arg(connection.name, name, outcome.error));
        session.reset();
        if (!changedNothing)
            break;
    }
    return CallOutcome::failure(unavailableMessage());
}
