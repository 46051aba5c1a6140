#pragma once

#include "lib/database.h"
#include "lib/methodtable.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ServerLog;
class SqlSession;

// The database workers: a few threads, each owning one connection (a Qt
// connection may only be used, and removed, by the thread that opened it).
// Connections' I/O threads hand calls over and wait for the outcome, so the
// number of open client connections never depends on this pool's size.
//
// A worker opens its connection on its first call and opens it again after
// losing it (the database restarted): a call that finds the connection lost
// before doing anything runs again on the new one; a call the loss cut short,
// or one made while the database cannot be reached, is refused with
// unavailableMessage() and nothing of it is kept.
class DatabasePool
{
public:
    DatabasePool(const DatabaseConfig &config, int workers, const QString &connectionPrefix, ServerLog &log);
    ~DatabasePool();
    DatabasePool(const DatabasePool &) = delete;
    DatabasePool &operator=(const DatabasePool &) = delete;

    // Runs database work (a call, named for the log) on the next free worker
    // and waits for its outcome. The work must not throw: it turns its own
    // failures into a failed outcome.
    CallOutcome run(const QString &name, const std::function<CallOutcome(SqlSession &)> &work);

    static QString unavailableMessage();

private:
    struct Job
    {
        QString name;
        std::function<CallOutcome(SqlSession &)> work;
        std::promise<CallOutcome> outcome;
    };

    void serve(int index);
    CallOutcome perform(std::unique_ptr<SqlSession> &session, const QString &connectionName, const Job &job);

    DatabaseConfig m_config;
    QString m_prefix;
    ServerLog &m_log;
    std::vector<std::thread> m_threads;
    std::deque<Job *> m_jobs;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};
