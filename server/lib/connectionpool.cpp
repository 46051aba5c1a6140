#include "lib/connectionpool.h"

#include <algorithm>

ConnectionPool::ConnectionPool(int maxThreads) : m_maxThreads(size_t(std::max(1, maxThreads))) {}

ConnectionPool::~ConnectionPool()
{
    shutdown();
}

void ConnectionPool::enqueue(std::function<void()> task)
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_tasks.push_back(std::move(task));
        if (m_idle < m_tasks.size() && m_threads.size() < m_maxThreads)
            m_threads.emplace_back([this] { run(); });
    }
    m_wake.notify_one();
}

void ConnectionPool::shutdown()
{
    std::vector<std::thread> threads;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        threads.swap(m_threads);
    }
    m_wake.notify_all();
    for (std::thread &thread : threads)
        thread.join();
}

void ConnectionPool::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        ++m_idle;
        m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
        --m_idle;
        if (m_tasks.empty())
            return;
        std::function<void()> task = std::move(m_tasks.front());
        m_tasks.pop_front();
        lock.unlock();
        task();
        lock.lock();
    }
}
