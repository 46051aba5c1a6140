#include "lib/codelist.h"

#include "lib/requesterror.h"

#include <QVariant>

namespace {

[[noreturn]] void malformed(const QString &text)
{
    throw RequestError(QStringLiteral("Lista de códigos inválida: %1").arg(text));
}

int skipBlanks(const QString &text, int position)
{
    while (position < text.size() && text.at(position).isSpace())
        ++position;
    return position;
}

} // namespace

QStringList parseCodeList(const QString &text)
{
    QStringList codes;
    int position = skipBlanks(text, 0);
    if (position == text.size())
        return codes;
    const QChar quote(QLatin1Char('\''));
    while (true) {
        if (position >= text.size() || text.at(position) != quote)
            malformed(text);
        ++position;
        QString code;
        while (true) {
            if (position >= text.size())
                malformed(text);
            if (text.at(position) == quote) {
                if (position + 1 < text.size() && text.at(position + 1) == quote) {
                    code += quote;
                    position += 2;
                    continue;
                }
                ++position;
                break;
            }
            code += text.at(position++);
        }
        codes << code;
        position = skipBlanks(text, position);
        if (position == text.size())
            return codes;
        if (text.at(position) != QLatin1Char(','))
            malformed(text);
        position = skipBlanks(text, position + 1);
    }
}

QString codeListCondition(const QString &column, const QString &allFlag, const QString &list,
                          QVariantList &binds)
{
    if (allFlag == QLatin1String("T"))
        return {};
    const QStringList codes = parseCodeList(list);
    if (codes.isEmpty())
        return QStringLiteral("1 = 0");
    QStringList marks;
    for (const QString &code : codes) {
        marks << QStringLiteral("?");
        binds << code;
    }
    return QStringLiteral("%1 IN (%2)").arg(column, marks.join(QStringLiteral(", ")));
}
