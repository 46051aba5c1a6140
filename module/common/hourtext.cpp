#include "hourtext.h"

#include "core/consiste.h"
#include "core/messages.h"

#include <cmath>
#include <optional>

namespace {

// A trimmed part of an hour text as a whole number; a blank part is 0.
std::optional<qlonglong> partNumber(const QString &part)
{
    if (part.isEmpty())
        return 0;
    bool ok = false;
    const qlonglong value = part.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

double toHours(qlonglong hours, qlonglong minutes)
{
    return RoundDec(double(hours) + double(minutes) / 60.0, 8);
}

} // namespace

double StTimeReal(const QString &text, const TMessages &messages)
{
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    const QString hoursPart = colon > 0 ? AllTrim(text.left(colon)) : QString();
    const QString minutesPart = Ajusta(AllTrim(colon >= 0 ? text.mid(colon + 1, 2) : text.left(2)), 2);
    const std::optional<qlonglong> hours = partNumber(hoursPart);
    const std::optional<qlonglong> minutes = partNumber(minutesPart);
    if (!hours || !minutes)
        MensErro(messages.Msg(QStringLiteral("ValCons_Inv")));
    return toHours(*hours, *minutes);
}

QString RealToStTime(double hours)
{
    // Written as whole numbers of a double, not through an integer type: a
    // count of hours beyond 64 bits (a typed text is not range-checked) would
    // not convert. Adding 0.0 makes a negative zero a plain "0".
    const double wholeHours = std::trunc(hours) + 0.0;
    const double minutes = std::round((hours - wholeHours) * 60.0) + 0.0;
    const QString minutesText = Ajusta(QString::number(minutes, 'f', 0), 2);
    return PadL(QString::number(wholeHours, 'f', 0), 4) + QLatin1Char(':') + minutesText;
}

double StTimeToReal(const QString &text)
{
    const QString hoursPart = AllTrim(text.mid(0, 2));
    const QString minutesPart = Ajusta(AllTrim(text.mid(2, 2)), 2);
    const std::optional<qlonglong> hours = partNumber(hoursPart);
    const std::optional<qlonglong> minutes = partNumber(minutesPart);
    if (!hours)
        throw HourConversionError(QStringLiteral("'%1' não é um número válido.").arg(hoursPart));
    if (!minutes)
        throw HourConversionError(QStringLiteral("'%1' não é um número válido.").arg(minutesPart));
    return toHours(*hours, *minutes);
}

QString Ajusta_Hora(const QString &text)
{
    const QString hours = Ajusta(text.mid(0, 2), 2);
    const QString minutes = Ajusta(text.mid(2, 2), 2);
    return (hours.isEmpty() ? QStringLiteral("00") : hours)
        + (minutes.isEmpty() ? QStringLiteral("00") : minutes);
}
