#include "lib/refusaltally.h"

RefusalTally::RefusalTally(std::chrono::seconds period) : m_period(period) {}

bool RefusalTally::add(const QString &operatorCode, const QString &client, Clock::time_point now)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto key = qMakePair(operatorCode, client);
    const auto found = m_periods.find(key);
    if (found == m_periods.end()) {
        m_periods.insert(key, {{operatorCode, client, 0, {}}, now});
        return true;
    }
    ++found->count.attempts;
    found->count.last = QDateTime::currentDateTime();
    return false;
}

std::vector<RefusalTally::Count> RefusalTally::takeEnded(Clock::time_point now)
{
    std::vector<Count> counts;
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = m_periods.begin(); it != m_periods.end();) {
        if (now - it->start < m_period) {
            ++it;
        } else if (it->count.attempts == 0) {
            it = m_periods.erase(it);
        } else {
            counts.push_back(it->count);
            it->count.attempts = 0;
            it->start = now;
            ++it;
        }
    }
    return counts;
}

std::vector<RefusalTally::Count> RefusalTally::takeAll()
{
    std::vector<Count> counts;
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const Period &period : std::as_const(m_periods)) {
        if (period.count.attempts > 0)
            counts.push_back(period.count);
    }
    m_periods.clear();
    return counts;
}
