#include "widgets/classicmask.h"

namespace {

QChar qtInputChar(QChar classic)
{
    switch (classic.unicode()) {
    case '0': return QLatin1Char('9');
    case '9': return QLatin1Char('0');
    case '#': return QLatin1Char('#');
    case 'L': return QLatin1Char('A');
    case 'l': return QLatin1Char('a');
    case 'A': return QLatin1Char('N');
    case 'a': return QLatin1Char('n');
    case 'C': return QLatin1Char('X');
    case 'c': return QLatin1Char('x');
    default: return QChar();
    }
}

bool isQtMetaChar(QChar c)
{
    return QStringLiteral("AaNnXx90Dd#HhBb><!;[]{}\\").contains(c);
}

} // namespace

ClassicMask::ClassicMask(const QString &classic)
{
    if (classic.isEmpty())
        return;
    QString mask = classic;
    if (mask.size() >= 2 && mask.at(mask.size() - 2) == QLatin1Char(';')) {
        m_blank = mask.back();
        mask.chop(2);
    }
    if (mask.size() >= 2 && mask.at(mask.size() - 2) == QLatin1Char(';')
        && (mask.back() == QLatin1Char('0') || mask.back() == QLatin1Char('1'))) {
        m_saveLiterals = mask.back() == QLatin1Char('1');
        mask.chop(2);
    }
    if (mask.startsWith(QLatin1Char('!')))
        mask.remove(0, 1);
    for (int i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            addLiteral(mask.at(++i));
        } else if (c == QLatin1Char('<') && i + 1 < mask.size() && mask.at(i + 1) == QLatin1Char('>')) {
            m_qtMask += QLatin1Char('!');
            ++i;
        } else if (c == QLatin1Char('>') || c == QLatin1Char('<')) {
            m_qtMask += c;
        } else if (c == QLatin1Char('_')) {
            addLiteral(QLatin1Char(' '));
        } else if (const QChar input = qtInputChar(c); !input.isNull()) {
            m_qtMask += input;
            m_literal << false;
            m_literalChar << QChar();
        } else {
            addLiteral(c);
        }
    }
    if (m_literal.isEmpty()) {
        m_qtMask.clear();
        return;
    }
    m_qtMask += QLatin1Char(';') + m_blank;
}

void ClassicMask::addLiteral(QChar c)
{
    if (isQtMetaChar(c))
        m_qtMask += QLatin1Char('\\');
    m_qtMask += c;
    m_literal << true;
    m_literalChar << c;
}

QString ClassicMask::textFromDisplay(const QString &display) const
{
    if (isEmpty())
        return display;
    QString text;
    for (int i = 0; i < length(); ++i) {
        if (m_literal.at(i) && !m_saveLiterals)
            continue;
        text += i < display.size() ? display.at(i) : m_blank;
    }
    return text;
}

QString ClassicMask::displayFromText(const QString &text) const
{
    if (isEmpty())
        return text;
    QString display;
    int source = 0;
    for (int i = 0; i < length(); ++i) {
        if (m_literal.at(i)) {
            display += m_literalChar.at(i);
            if (m_saveLiterals)
                ++source;
        } else {
            display += source < text.size() ? text.at(source) : m_blank;
            ++source;
        }
    }
    return display;
}
