#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>

// Raised to stop the running user operation once its message has been shown.
// Every event dispatch runs inside runGuarded(), which swallows it, so the
// screen stays usable after the message.
class Abort : public std::exception
{
public:
    const char *what() const noexcept override { return "operation aborted"; }
};

// A failure with a text meant for the user (wrong dataset use, bad data).
// The guard shows its text and ends the operation.
class UserError : public std::runtime_error
{
public:
    explicit UserError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Runs one event dispatch: an Abort ends it quietly; any other failure is
// shown to the user through the interaction seam and ends it too.
// Returns true when the call ran to its end.
bool runGuarded(const std::function<void()> &call);

// Runs a call made while painting or answering a model's data(): nothing
// there may prompt, so any failure is only logged (with the context) and
// false is returned, for the caller to draw the cell empty.
bool runQuietly(const char *context, const std::function<void()> &call);
