#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <vector>

// Counts the logins refused while their operator or address is locked, so
// that a flood of them costs a history row and a log line a period for each
// operator code and address rather than one per attempt. The first refusal
// of an operator code from an address is recorded on its own; those after
// it are counted, and each period that counted any ends with one row of
// their number, then the next period starts. A period that counted none
// ends the count: the next refusal is recorded on its own again. Safe to use
// from any thread.
class RefusalTally
{
public:
    using Clock = std::chrono::steady_clock;

    explicit RefusalTally(std::chrono::seconds period);

    // True when the refusal is the first of its operator code and address,
    // to be recorded on its own; false when it was counted.
    bool add(const QString &operatorCode, const QString &client, Clock::time_point now);

    // The refusals counted in one period.
    struct Count
    {
        QString operatorCode;
        QString client;
        int attempts = 0;
        QDateTime last;   // server time of the last refusal counted
    };
    // The counts of the periods ended by `now`.
    std::vector<Count> takeEnded(Clock::time_point now);
    // Every count still open, ended now (the server stops).
    std::vector<Count> takeAll();

private:
    struct Period
    {
        Count count;
        Clock::time_point start;
    };

    const std::chrono::seconds m_period;
    std::mutex m_mutex;
    QHash<QPair<QString, QString>, Period> m_periods;
};
