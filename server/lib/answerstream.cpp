#include "lib/answerstream.h"

#include "lib/packetwriter.h"

void AnswerStream::write(JsonText &&part)
{
    {
        const std::lock_guard lock(m_mutex);
        if (!m_started)
            part.prepend("{\"data\":");
        m_started = true;
        m_parts.push_back(std::move(part));
    }
    m_changed.notify_all();
}

void AnswerStream::finish(CallOutcome outcome, bool sessionEnded)
{
    {
        const std::lock_guard lock(m_mutex);
        m_outcome = std::move(outcome);
        m_sessionEnded = sessionEnded;
        m_finished = true;
    }
    m_changed.notify_all();
}

bool AnswerStream::waitStarted()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_started || m_finished; });
    return m_started;
}

bool AnswerStream::next(QByteArray &text)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_parts.empty() || m_finished; });
    if (!m_parts.empty()) {
        text = std::move(m_parts.front());
        m_parts.pop_front();
        return true;
    }
    if (m_tailTaken)
        return false;
    m_tailTaken = true;
    text = tail();
    return true;
}

QByteArray AnswerStream::tail() const
{
    if (m_outcome.ok())
        return m_outcome.data() + ",\"ok\":true}";
    // The parts sent end after a whole row of the packet.
    QByteArray text = PacketWriter::closingAfterRow();
    text.append(",\"ok\":false,\"error\":");
    appendJsonString(text, m_outcome.error);
    text.append('}');
    return text;
}
