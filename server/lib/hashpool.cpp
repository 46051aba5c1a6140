#include "lib/hashpool.h"

#include <algorithm>
#include <future>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Nice value of the hashing threads (Linux gives each thread its own).
constexpr int hashingNice = 10;

} // namespace

struct HashPool::Job
{
    const std::function<bool()> &check;
    std::promise<bool> answer;
};

HashPool::HashPool(int threads, int queueLength) : m_queueLength(size_t(std::max(0, queueLength)))
{
    for (int i = 0; i < std::max(1, threads); ++i)
        m_threads.emplace_back([this] { serve(); });
}

HashPool::~HashPool()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

std::optional<bool> HashPool::run(const std::function<bool()> &check)
{
    Job job{check, {}};
    std::future<bool> answer = job.answer.get_future();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping || m_jobs.size() + m_running >= m_threads.size() + m_queueLength)
            return std::nullopt;
        m_jobs.push_back(&job);
    }
    m_wake.notify_one();
    return answer.get();
}

void HashPool::serve()
{
    ::setpriority(PRIO_PROCESS, ::gettid(), hashingNice);
    while (true) {
        Job *job = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_jobs.empty(); });
            if (m_jobs.empty())
                return;
            job = m_jobs.front();
            m_jobs.pop_front();
            ++m_running;
        }
        bool matches = false;
        std::exception_ptr failure;
        try {
            matches = job->check();
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            --m_running;
        }
        // The job lives on its caller's stack: not touched once answered.
        if (failure)
            job->answer.set_exception(failure);
        else
            job->answer.set_value(matches);
    }
}
