#pragma once

#include "lib/jsontext.h"
#include "lib/methodtable.h"

#include <condition_variable>
#include <deque>
#include <mutex>

// The answer of a call whose packet is sent in parts while its rows are
// still being read: the call's database work writes the parts, the
// connection's thread sends them as they come. The work never waits for the
// client (parts wait here), so a slow client holds no database connection.
//
// Sent in parts, the envelope carries "ok" after the packet:
//   {"data":{"fields":[...],"rows":[...]},"ok":true}
// and a call that fails once parts were sent closes the packet and ends with
//   ,"ok":false,"error":"..."}
class AnswerStream
{
public:
    // The call's work: a part of its packet, ending after a whole row.
    void write(JsonText &&part);
    // The call's work is done (`sessionEnded`: refused because the
    // operator's password changed).
    void finish(CallOutcome outcome, bool sessionEnded);

    // Waits for the first part or the end of the work; false when the work
    // ended first: its outcome is then answered whole, as any call's.
    bool waitStarted();
    const CallOutcome &outcome() const { return m_outcome; }
    bool sessionEnded() const { return m_sessionEnded; }
    // The next text to send, waiting for it; false after the last.
    bool next(QByteArray &text);

private:
    QByteArray tail() const;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<JsonText> m_parts;
    bool m_started = false;
    bool m_finished = false;
    bool m_tailTaken = false;
    CallOutcome m_outcome;
    bool m_sessionEnded = false;
};
