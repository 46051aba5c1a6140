#include "net/streamedanswer.h"

StreamedAnswer::StreamedAnswer(Reader read)
{
    m_reading = std::thread([this, read = std::move(read)] {
        try {
            JsonReader reader(*this);
            m_result = read(reader);
        } catch (...) {
            m_failure = std::current_exception();
        }
    });
}

StreamedAnswer::~StreamedAnswer()
{
    if (m_reading.joinable()) {
        end();
        m_reading.join();
    }
}

void StreamedAnswer::append(const char *data, size_t size)
{
    {
        const std::lock_guard lock(m_mutex);
        m_pending.append(data, qsizetype(size));
    }
    m_arrived.notify_one();
}

void StreamedAnswer::end()
{
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
    }
    m_arrived.notify_one();
}

bool StreamedAnswer::more(QByteArray &text)
{
    std::unique_lock lock(m_mutex);
    m_arrived.wait(lock, [this] { return m_ended || !m_pending.isEmpty(); });
    text.append(m_pending);
    m_pending.clear();
    return !m_ended;
}

ServerResult StreamedAnswer::finish()
{
    end();
    m_reading.join();
    if (m_failure)
        std::rethrow_exception(m_failure);
    return m_result;
}
