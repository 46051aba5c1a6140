#include "data/codelist.h"

QString BuildCodeList(const QStringList &codes)
{
    QStringList quoted;
    quoted.reserve(codes.size());
    for (QString code : codes)
        quoted << QLatin1Char('\'') + code.replace(QLatin1Char('\''), QLatin1String("''"))
                      + QLatin1Char('\'');
    return quoted.join(QLatin1Char(','));
}

QStringList ParseCodeList(const QString &text)
{
    QStringList codes;
    ParseCodeListStrict(text, &codes);
    return codes;
}

bool ParseCodeListStrict(const QString &text, QStringList *codes)
{
    codes->clear();
    int i = 0;
    const int size = int(text.size());
    while (i < size) {
        while (i < size && (text.at(i).isSpace() || text.at(i) == QLatin1Char(',')))
            ++i;
        if (i >= size)
            return true;
        if (text.at(i) != QLatin1Char('\''))
            return false;
        ++i;
        QString code;
        bool closed = false;
        while (i < size) {
            if (text.at(i) == QLatin1Char('\'')) {
                if (i + 1 < size && text.at(i + 1) == QLatin1Char('\'')) {
                    code += QLatin1Char('\'');
                    i += 2;
                    continue;
                }
                ++i;
                closed = true;
                break;
            }
            code += text.at(i++);
        }
        if (!closed)
            return false;
        *codes << code;
        // A code is followed by a comma (blanks allowed) or the end.
        while (i < size && text.at(i).isSpace())
            ++i;
        if (i < size && text.at(i) != QLatin1Char(','))
            return false;
    }
    return true;
}
