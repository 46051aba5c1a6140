#include "core/fieldformat.h"

#include "core/abort.h"

#include <QLocale>
#include <QRegularExpression>

bool isNullValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return true;
    return value.typeId() == QMetaType::QString && value.toString().isEmpty();
}

namespace {

UserError badValue(const QString &text, const QString &label)
{
    return UserError(QStringLiteral("'%1' não é um valor válido para o campo '%2'.").arg(text, label));
}

QDateTime readDateTime(const QVariant &value, const QString &label)
{
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    const QString text = value.toString();
    QDateTime parsed = QDateTime::fromString(text, Qt::ISODate);
    if (!parsed.isValid())
        parsed = QDate::fromString(text, Qt::ISODate).startOfDay();
    if (!parsed.isValid())
        throw badValue(text, label);
    return parsed;
}

} // namespace

QVariant convertToFieldType(const QVariant &value, FieldType type, int size, const QString &label)
{
    if (isNullValue(value))
        return QVariant();
    bool ok = true;
    switch (type) {
    case FieldType::Text: {
        const QString text = value.toString();
        return size > 0 ? text.left(size) : text;
    }
    case FieldType::Integer: {
        const int number = value.toInt(&ok);
        if (!ok)
            throw badValue(value.toString(), label);
        return number;
    }
    case FieldType::Real: {
        const double number = value.toDouble(&ok);
        if (!ok)
            throw badValue(value.toString(), label);
        return number;
    }
    case FieldType::DateTime:
        return readDateTime(value, label);
    case FieldType::Boolean:
        return value.toBool();
    }
    return value;
}

bool hasFieldType(const QVariant &value, FieldType type, int size)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return true;
    case QMetaType::QString: {
        const qsizetype length = static_cast<const QString *>(value.constData())->size();
        return type == FieldType::Text && length > 0 && (size <= 0 || length <= size);
    }
    case QMetaType::Int:
        return type == FieldType::Integer;
    case QMetaType::Double:
        return type == FieldType::Real;
    case QMetaType::QDateTime:
        return type == FieldType::DateTime && static_cast<const QDateTime *>(value.constData())->isValid();
    case QMetaType::Bool:
        return type == FieldType::Boolean;
    default:
        return false;
    }
}

QVariant parseFieldText(const QString &text, FieldType type, const QString &label)
{
    const QString trimmed = text.trimmed();
    static const QRegularExpression blankMask(QStringLiteral("^[\\s/:.-]*$"));
    if (trimmed.isEmpty() || (type == FieldType::DateTime && blankMask.match(trimmed).hasMatch()))
        return QVariant();
    const QLocale locale;
    bool ok = true;
    switch (type) {
    case FieldType::Text:
        return text;
    case FieldType::Integer: {
        const int number = locale.toInt(trimmed, &ok);
        if (!ok)
            throw badValue(text, label);
        return number;
    }
    case FieldType::Real: {
        const double number = locale.toDouble(trimmed, &ok);
        if (!ok)
            throw badValue(text, label);
        return number;
    }
    case FieldType::DateTime: {
        const QString normalized = trimmed.simplified();
        for (const char *format : {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy"}) {
            const QDateTime parsed = QDateTime::fromString(normalized, QLatin1String(format));
            if (parsed.isValid())
                return parsed;
        }
        throw UserError(QStringLiteral("'%1' não é uma data válida.").arg(text));
    }
    case FieldType::Boolean: {
        const QString lower = trimmed.toLower();
        if (lower == QLatin1String("s") || lower == QLatin1String("sim") || lower == QLatin1String("true"))
            return true;
        if (lower == QLatin1String("n") || lower == QStringLiteral("não") || lower == QLatin1String("false"))
            return false;
        throw badValue(text, label);
    }
    }
    return text;
}

QString formatReal(double value, const QString &format)
{
    QLocale locale;
    if (format.isEmpty()) {
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'f', QLocale::FloatingPointShortest);
    }
    const int point = format.indexOf(QLatin1Char('.'));
    const int decimals = point < 0 ? 0 : int(format.size()) - point - 1;
    if (!format.contains(QLatin1Char(',')))
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'f', decimals);
}

QString formatDateTime(const QDateTime &value, const QString &format)
{
    if (!value.isValid())
        return QString();
    if (!format.isEmpty())
        return value.toString(format);
    if (value.time() == QTime(0, 0))
        return value.toString(QStringLiteral("dd/MM/yyyy"));
    return value.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

bool valuesEqual(const QVariant &a, const QVariant &b, FieldType type, Qt::CaseSensitivity sensitivity)
{
    if (isNullValue(a) || isNullValue(b))
        return isNullValue(a) && isNullValue(b);
    switch (type) {
    case FieldType::Text:
        return a.toString().compare(b.toString(), sensitivity) == 0;
    case FieldType::Integer:
        return a.toLongLong() == b.toLongLong();
    case FieldType::Real:
        return qFuzzyCompare(1.0 + a.toDouble(), 1.0 + b.toDouble());
    case FieldType::DateTime:
        return a.toDateTime() == b.toDateTime();
    case FieldType::Boolean:
        return a.toBool() == b.toBool();
    }
    return a == b;
}
