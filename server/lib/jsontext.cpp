#include "lib/jsontext.h"

#include <QLocale>
#include <QStringEncoder>

#include <algorithm>
#include <cmath>

void appendJsonString(QByteArray &out, QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    // Written in place: no character takes more than six bytes ("\u001f";
    // UTF-8 takes at most three per UTF-16 unit).
    const qsizetype start = out.size();
    out.resize(start + 6 * text.size() + 2);
    char *next = out.data() + start;
    *next++ = '"';
    for (qsizetype i = 0; i < text.size();) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0x80) {
            // A run of non-ASCII characters (surrogate pairs stay whole).
            qsizetype end = i + 1;
            while (end < text.size() && text.at(end).unicode() >= 0x80)
                ++end;
            QStringEncoder utf8(QStringConverter::Utf8);
            next = utf8.appendToBuffer(next, text.mid(i, end - i));
            i = end;
            continue;
        }
        ++i;
        if (unit >= 0x20 && unit != '"' && unit != '\\') {
            *next++ = char(unit);
            continue;
        }
        *next++ = '\\';
        switch (unit) {
        case '"':
        case '\\':
            *next++ = char(unit);
            break;
        case '\b':
            *next++ = 'b';
            break;
        case '\f':
            *next++ = 'f';
            break;
        case '\n':
            *next++ = 'n';
            break;
        case '\r':
            *next++ = 'r';
            break;
        case '\t':
            *next++ = 't';
            break;
        default:
            next = std::copy_n("u00", 3, next);
            *next++ = hex[unit >> 4];
            *next++ = hex[unit & 0xf];
        }
    }
    *next++ = '"';
    out.truncate(next - out.constData());
}

void appendJsonNumber(QByteArray &out, double value)
{
    if (!std::isfinite(value)) {
        out.append("null");
        return;
    }
    out.append(QByteArray::number(value, 'g', QLocale::FloatingPointShortest));
}

JsonText jsonArray(const QList<JsonText> &values)
{
    JsonText text("[");
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0)
            text.append(',');
        text.append(values.at(i));
    }
    text.append(']');
    return text;
}
