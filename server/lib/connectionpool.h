#pragma once

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The threads that serve client connections: the HTTP server hands each
// accepted connection to one of them, which reads its requests, runs each
// call's database work on a connection it borrows for that work alone (see
// DatabasePool) and writes the answers until the connection closes or idles
// out. They hold no database connection of their own, so they are cheap
// (mostly asleep on a socket) and many: a thread starts whenever a
// connection finds none free, up to `maxThreads`; past that, connections
// wait their turn.
class ConnectionPool : public httplib::TaskQueue
{
public:
    explicit ConnectionPool(int maxThreads);
    ~ConnectionPool() override;

    void enqueue(std::function<void()> task) override;
    void shutdown() override;

private:
    void run();

    const size_t m_maxThreads;
    std::vector<std::thread> m_threads;
    std::deque<std::function<void()>> m_tasks;
    size_t m_idle = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};
