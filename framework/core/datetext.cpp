#include "core/datetext.h"

#include <QDateTime>

QString DateArgument(const QDate &day)
{
    return day.startOfDay().toString(Qt::ISODate);
}

QString DayText(const QDate &day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}
