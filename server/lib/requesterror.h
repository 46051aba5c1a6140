#pragma once

#include <QString>

#include <stdexcept>

// A request the server refuses, with the text the user reads. Every method
// and the change-packet application throw it; the dispatcher turns it into
// {"ok":false,"error":text} and rolls back any open transaction.
class RequestError : public std::runtime_error
{
public:
    explicit RequestError(const QString &text)
        : std::runtime_error(text.toStdString()), m_text(text) {}
    QString text() const { return m_text; }

private:
    QString m_text;
};
