#include "lib/databasepool.h"

#include "lib/serverlog.h"
#include "lib/sqlsession.h"

DatabasePool::DatabasePool(const DatabaseConfig &config, int workers, const QString &connectionPrefix,
                           ServerLog &log)
    : m_config(config), m_prefix(connectionPrefix), m_log(log)
{
    for (int i = 0; i < workers; ++i)
        m_threads.emplace_back([this, i] { serve(i); });
}

DatabasePool::~DatabasePool()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

QString DatabasePool::unavailableMessage()
{
    return QStringLiteral("Banco de dados indisponível. Tente novamente em instantes.");
}

CallOutcome DatabasePool::run(const QString &name, const std::function<CallOutcome(SqlSession &)> &work)
{
    Job job{name, work, {}};
    std::future<CallOutcome> outcome = job.outcome.get_future();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return CallOutcome::failure(QStringLiteral("O servidor de aplicação está sendo encerrado."));
        m_jobs.push_back(&job);
    }
    m_wake.notify_one();
    return outcome.get();
}

void DatabasePool::serve(int index)
{
    const QString connectionName = QStringLiteral("%1-%2").arg(m_prefix).arg(index);
    std::unique_ptr<SqlSession> session;
    while (true) {
        Job *job = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                break;
            job = m_jobs.front();
            m_jobs.pop_front();
        }
        job->outcome.set_value(perform(session, connectionName, *job));
    }
}

CallOutcome DatabasePool::perform(std::unique_ptr<SqlSession> &session, const QString &connectionName, const Job &job)
{
    // Two rounds at most: the second only when the first found the
    // connection already lost and did nothing.
    for (int round = 0; round < 2; ++round) {
        if (!session) {
            try {
                session = std::make_unique<SqlSession>(m_config, connectionName);
            } catch (const RequestError &failure) {
                m_log.error(QStringLiteral("%1: %2").arg(connectionName, failure.text()));
                return CallOutcome::failure(unavailableMessage());
            }
            if (round > 0)
                m_log.warning(QStringLiteral("%1: conexão com o banco de dados restabelecida").arg(connectionName));
        }
        session->resetCompleted();
        CallOutcome outcome = job.work(*session);
        if (outcome.ok() || session->alive())
            return outcome;
        const bool changedNothing = session->completedStatements() == 0;
        m_log.error(QStringLiteral("%1: conexão com o banco de dados perdida em %2: %3")
                        .arg(connectionName, job.name, outcome.error));
        session.reset();
        if (!changedNothing)
            break;
    }
    return CallOutcome::failure(unavailableMessage());
}
