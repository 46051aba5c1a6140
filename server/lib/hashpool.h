#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The threads that check passwords, apart from the database connections: a
// hash check takes tens of milliseconds and 64 MiB on purpose, so a flood of
// logins must neither hold the connections every other call needs nor queue
// without end. At most `queueLength` checks wait; one more is refused at
// once (those running not counted). The threads run at a lower priority than the rest of the server, so
// the calls of logged-in users go first on a busy machine.
class HashPool
{
public:
    HashPool(int threads, int queueLength);
    ~HashPool();
    HashPool(const HashPool &) = delete;
    HashPool &operator=(const HashPool &) = delete;

    // Runs the check on a pool thread and waits for its answer; nullopt,
    // without running it, when the queue is full or the pool is stopping.
    std::optional<bool> run(const std::function<bool()> &check);

private:
    struct Job;
    void serve();

    const size_t m_queueLength;
    std::vector<std::thread> m_threads;
    std::deque<Job *> m_jobs;
    size_t m_running = 0;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};
