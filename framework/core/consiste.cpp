#include "core/consiste.h"

#include "core/clientdataset.h"
#include "core/messages.h"

#include <QLocale>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digitCount(QStringView text)
{
    return int(std::count_if(text.begin(), text.end(), isAsciiDigit));
}

// Whether a number being typed keeps within its digit limits.
bool numberFits(const QString &text, int intDigits, int decDigits)
{
    const QChar minus = QLatin1Char('-');
    const QChar comma = QLatin1Char(',');
    if (text.lastIndexOf(minus) > 0 || text.count(comma) > (decDigits > 0 ? 1 : 0))
        return false;
    const qsizetype commaAt = text.indexOf(comma);
    const QStringView view(text);
    const QStringView integerPart = commaAt < 0 ? view : view.left(commaAt);
    const QStringView decimalPart = commaAt < 0 ? QStringView() : view.mid(commaAt + 1);
    return digitCount(integerPart) <= intDigits && digitCount(decimalPart) <= decDigits;
}

} // namespace

bool EmptyString(const QString &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

QString AllTrim(const QString &text)
{
    return text.trimmed();
}

QString PadL(const QString &text, int width, QChar fill)
{
    return text.rightJustified(width, fill);
}

QString Ajusta(const QString &text, int width)
{
    const QString trimmed = AllTrim(text);
    return trimmed.isEmpty() ? trimmed : PadL(trimmed, width, QLatin1Char('0'));
}

double RoundDec(double value, int places)
{
    const long double scaled = std::round(static_cast<long double>(value) * std::pow(10.0L, places));
    return static_cast<double>(scaled) / std::pow(10.0, places);
}

bool MaxNumber(const QString &text, int intDigits, int decDigits, QChar &key, int selStart,
               int selLength)
{
    if (key.unicode() < 0x20 || key.unicode() == 0x7f)
        return true;
    if (key == QLatin1Char('.'))
        key = QLatin1Char(',');
    bool accepted = isAsciiDigit(key) || key == QLatin1Char(',') || key == QLatin1Char('-');
    if (accepted) {
        const int start = std::clamp(selStart, 0, int(text.size()));
        const int length = std::clamp(selLength, 0, int(text.size()) - start);
        accepted = numberFits(QString(text).replace(start, length, key), intDigits, decDigits);
    }
    if (!accepted)
        key = QChar();
    return accepted;
}

QString DateMask()
{
    return QStringLiteral("99/99/9999;1; ");
}

QString NomeSemana(const QDate &date)
{
    if (!date.isValid())
        return {};
    const QString name = QLocale(QLocale::Portuguese, QLocale::Brazil)
                             .standaloneDayName(date.dayOfWeek(), QLocale::LongFormat);
    return name.left(1).toUpper() + name.mid(1);
}

void Idade(const QDate &today, const QDate &birth, int &years, int &months)
{
    years = 0;
    months = 0;
    if (!today.isValid() || !birth.isValid() || birth > today)
        return;
    // Months counted by the calendar; the last one is complete only when
    // the birth day (or the end of a shorter month) has been reached.
    int total = (today.year() - birth.year()) * 12 + today.month() - birth.month();
    if (birth.addMonths(total) > today)
        --total;
    years = total / 12;
    months = total % 12;
}

void CheckDateTime(Field &field, const QString &text)
{
    const DataSetState state = field.DataSet()->State();
    if (state != DataSetState::Edit && state != DataSetState::Insert)
        return;
    if (EmptyString(text)) {
        field.Clear();
        return;
    }
    // The date, then after blanks the time, which may be left untouched.
    static const QRegularExpression parts(QStringLiteral("^\\s*(\\S+)(.*)$"));
    const QRegularExpressionMatch match = parts.match(text);
    const QDate date = QDate::fromString(match.captured(1), QStringLiteral("d/M/yyyy"));
    const QString timeText = AllTrim(match.captured(2));
    const QTime time = EmptyString(timeText) ? QTime(0, 0)
                                             : QTime::fromString(timeText, QStringLiteral("H:m"));
    if (!date.isValid() || !time.isValid())
        MensErro(QStringLiteral("'%1' não é uma data válida.").arg(text));
    field.SetAsDateTime(QDateTime(date, time));
}

void Seta_Campo_Null(ClientDataSet &dataSet)
{
    const DataSetState state = dataSet.State();
    if (state != DataSetState::Edit && state != DataSetState::Insert)
        return;
    for (const auto &field : dataSet.Fields()) {
        if (field->Calculated() || field->DataType() != FieldType::Text)
            continue;
        if (!field->IsNull() && AllTrim(field->AsString()).isEmpty())
            field->Clear();
    }
}
