#pragma once

#include "core/jsonreader.h"
#include "core/serverresult.h"

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

// An answer read on a thread of its own while its body still arrives: a
// large data packet the server sends as it reads its rows is read as its
// parts come instead of after the last one.
class StreamedAnswer : private JsonFeed
{
public:
    using Reader = std::function<ServerResult(JsonReader &reader)>;
    explicit StreamedAnswer(Reader read);
    // Ends the reading when it was not finished (the answer broke off).
    ~StreamedAnswer() override;
    StreamedAnswer(const StreamedAnswer &) = delete;
    StreamedAnswer &operator=(const StreamedAnswer &) = delete;

    // A part of the body, as received.
    void append(const char *data, size_t size);
    // The body is whole: waits for the reading and gives its result, or
    // throws what the reading threw.
    ServerResult finish();

private:
    bool more(QByteArray &text) override;
    void end();

    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_pending;
    bool m_ended = false;
    ServerResult m_result;
    std::exception_ptr m_failure;
    std::thread m_reading;
};
