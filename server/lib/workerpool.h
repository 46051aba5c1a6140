#pragma once

#include "database.h"

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class SqlSession;

// The server's thread pool. Each worker owns one database connection, opened
// on its first request and closed by the worker itself when it ends (a Qt
// connection may only be used and removed by the thread that made it).
class WorkerPool : public httplib::TaskQueue
{
public:
    WorkerPool(const DatabaseConfig &config, int threadCount, const QString &connectionPrefix);
    ~WorkerPool() override;

    void enqueue(std::function<void()> task) override;
    void shutdown() override;

    // The calling worker's connection; nullptr (and the reason in *error)
    // when the database cannot be opened.
    static SqlSession *currentSession(QString *error);

private:
    void run(int index);

    DatabaseConfig m_config;
    QString m_prefix;
    std::vector<std::thread> m_threads;
    std::deque<std::function<void()>> m_tasks;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};
