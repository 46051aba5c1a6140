#include "lib/serverlog.h"

#include <QDateTime>

namespace {

constexpr int maxErrorLength = 300;

const char *levelName(LogLevel level)
{
    switch (level) {
    case LogLevel::Error:
        return "ERRO";
    case LogLevel::Warning:
        return "AVISO";
    case LogLevel::Info:
        return "INFO";
    default:
        return "DEPURACAO";
    }
}

// The first line of a message, shortened: what follows it (a database's
// DETAIL, for one) may quote the values of a row.
QString firstLine(const QString &text)
{
    QString line = text.section(QLatin1Char('\n'), 0, 0).simplified();
    if (line.size() > maxErrorLength)
        line = line.left(maxErrorLength) + QStringLiteral("…");
    return line;
}

// A code from a header, kept only when it looks like one.
QString plainCode(const QString &text)
{
    if (text.isEmpty() || text.size() > 20)
        return QStringLiteral("-");
    for (const QChar c : text) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('_') && c != QLatin1Char('.') && c != QLatin1Char('-'))
            return QStringLiteral("-");
    }
    return text;
}

} // namespace

std::optional<LogLevel> ServerLog::parseLevel(const QString &name)
{
    if (name == QLatin1String("erro"))
        return LogLevel::Error;
    if (name == QLatin1String("aviso"))
        return LogLevel::Warning;
    if (name == QLatin1String("info"))
        return LogLevel::Info;
    if (name == QLatin1String("depuracao"))
        return LogLevel::Debug;
    if (name == QLatin1String("nenhum"))
        return LogLevel::Off;
    return std::nullopt;
}

void ServerLog::call(const CallRecord &record)
{
    const bool ok = record.error.isEmpty();
    const LogLevel level = ok ? LogLevel::Info : LogLevel::Error;
    if (!enabled(level))
        return;
    QString line = QStringLiteral("chamada %1 operador=%2 %3 %4 %5 ms")
                       .arg(record.client, plainCode(record.operatorCode), record.method,
                            ok ? QStringLiteral("ok") : QStringLiteral("recusada"),
                            QString::number(record.milliseconds, 'f', 1));
    if (record.status != 200)
        line += QStringLiteral(" HTTP %1").arg(record.status);
    if (!ok)
        line += QStringLiteral(": ") + firstLine(record.error);
    write(level, line);
}

void ServerLog::loginEvent(LogLevel level, const QString &kind, const QString &client, const QString &operatorCode,
                           const QString &outcome)
{
    write(level, QStringLiteral("%1 %2 operador=%3 %4").arg(kind, client, plainCode(operatorCode), outcome));
}

void ServerLog::write(LogLevel level, const QString &text)
{
    if (!enabled(level))
        return;
    const QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8() + ' '
        + levelName(level) + ' ' + firstLine(text).toUtf8() + '\n';
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::fwrite(line.constData(), 1, size_t(line.size()), m_out);
    std::fflush(m_out);
}
