#include "csvtext.h"

#include <QLocale>

QString CsvNumber(double value, int decimals)
{
    QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    brazil.setNumberOptions(QLocale::OmitGroupSeparator);
    return brazil.toString(value, 'f', decimals);
}

QString CsvLine(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields) {
        if (field.contains(QLatin1Char(';')) || field.contains(QLatin1Char('"')) || field.contains(QLatin1Char('\n'))
            || field.contains(QLatin1Char('\r')))
            quoted << QLatin1Char('"') + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
        else
            quoted << field;
    }
    return quoted.join(QLatin1Char(';'));
}

QByteArray CsvFile(const QList<QStringList> &lines)
{
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QStringList &line : lines)
        bytes += CsvLine(line).toUtf8() + "\r\n";
    return bytes;
}
