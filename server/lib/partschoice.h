#pragma once

#include <QSet>
#include <QString>

#include <mutex>

// Which methods answer in parts now. Sending in parts runs the call's
// database work on another thread, which costs more than it saves for a
// short answer: a method is answered in parts while its last answer was
// larger than a part (a branch's list of thousands of inpatients), and on
// the connection's own thread while it was not.
class PartsChoice
{
public:
    bool inParts(const QString &method)
    {
        const std::lock_guard lock(m_mutex);
        return m_large.contains(method);
    }
    void answered(const QString &method, bool large)
    {
        const std::lock_guard lock(m_mutex);
        if (large)
            m_large.insert(method);
        else
            m_large.remove(method);
    }

private:
    std::mutex m_mutex;
    QSet<QString> m_large;
};
