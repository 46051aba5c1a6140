#include "report/reporttemplate.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace {

QLocale reportLocale()
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

// A date-time value as PostgreSQL (QDateTime) or SQLite (ISO text) gives it;
// invalid when the value is no date.
QDateTime asDateTime(const QVariant &value)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    if (value.typeId() != QMetaType::QString)
        return {};
    static const QRegularExpression iso(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}([T ]\\d{2}:\\d{2}(:\\d{2})?)?"));
    const QString text = value.toString();
    const QRegularExpressionMatch match = iso.match(text);
    if (!match.hasMatch())
        return {};
    QString head = match.captured(0);
    if (head.size() > 10)
        head[10] = QLatin1Char('T');
    return head.size() == 10 ? QDate::fromString(head, Qt::ISODate).startOfDay()
                             : QDateTime::fromString(head, Qt::ISODate);
}

bool isNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

QString defaultText(const QVariant &value)
{
    if (isNumber(value))
        return reportLocale().toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
    const QDateTime moment = asDateTime(value);
    if (moment.isValid())
        return moment.toString(moment.time() == QTime(0, 0) ? QStringLiteral("dd/MM/yyyy")
                                                              : QStringLiteral("dd/MM/yyyy HH:mm"));
    return value.toString().trimmed();
}

} // namespace

QString formatReportValue(const QVariant &value, const QString &format)
{
    if (value.isNull())
        return {};
    if (format.isEmpty())
        return defaultText(value);
    static const QRegularExpression number(QStringLiteral("^n(\\d)$"));
    const QRegularExpressionMatch digits = number.match(format);
    if (digits.hasMatch()) {
        bool ok = false;
        const double amount = value.toDouble(&ok);
        return ok ? reportLocale().toString(amount, 'f', digits.captured(1).toInt()) : value.toString();
    }
    if (format == QLatin1String("hhmm")) {
        const QString clock = value.toString().trimmed();
        return clock.size() == 4 ? clock.left(2) + QLatin1Char(':') + clock.mid(2) : clock;
    }
    const QDateTime moment = asDateTime(value);
    return moment.isValid() ? reportLocale().toString(moment, format) : defaultText(value);
}

QString fillReportTemplate(const QString &text, const ReportLookup &lookup)
{
    static const QRegularExpression field(QStringLiteral("\\{(\\w+)(?::([^{}]*))?\\}"));
    QString result;
    qsizetype last = 0;
    QRegularExpressionMatchIterator matches = field.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        result += text.mid(last, match.capturedStart() - last);
        QVariant value;
        result += lookup(match.captured(1), &value) ? formatReportValue(value, match.captured(2))
                                                    : match.captured(0);
        last = match.capturedEnd();
    }
    result += text.mid(last);
    return result;
}
