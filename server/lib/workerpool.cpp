#include "workerpool.h"

#include "sqlsession.h"

namespace {

struct WorkerState
{
    const DatabaseConfig *config = nullptr;
    QString connectionName;
    std::unique_ptr<SqlSession> session;
};

thread_local WorkerState *t_worker = nullptr;

} // namespace

WorkerPool::WorkerPool(const DatabaseConfig &config, int threadCount, const QString &connectionPrefix)
    : m_config(config), m_prefix(connectionPrefix)
{
    for (int i = 0; i < threadCount; ++i)
        m_threads.emplace_back([this, i] { run(i); });
}

WorkerPool::~WorkerPool()
{
    shutdown();
}

void WorkerPool::enqueue(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
    }
    m_wake.notify_one();
}

void WorkerPool::shutdown()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping && m_threads.empty())
            return;
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
    m_threads.clear();
}

void WorkerPool::run(int index)
{
    WorkerState state{&m_config, QStringLiteral("%1-%2").arg(m_prefix).arg(index), nullptr};
    t_worker = &state;
    while (true) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
            if (m_tasks.empty())
                break;
            task = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        task();
    }
    state.session.reset();
    t_worker = nullptr;
}

SqlSession *WorkerPool::currentSession(QString *error)
{
    if (!t_worker) {
        *error = QStringLiteral("Chamada fora de uma linha de execução do servidor.");
        return nullptr;
    }
    if (!t_worker->session) {
        try {
            t_worker->session = std::make_unique<SqlSession>(*t_worker->config, t_worker->connectionName);
        } catch (const RequestError &failure) {
            *error = failure.text();
            return nullptr;
        }
    }
    return t_worker->session.get();
}
