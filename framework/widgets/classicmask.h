#pragma once

#include <QChar>
#include <QString>
#include <QVector>

// An edit mask in the classic notation, "mask;save;blank":
//   0 required digit, 9 optional digit, # optional digit or sign,
//   L/l required/optional letter, A/a required/optional letter or digit,
//   C/c required/optional character, > upper case, < lower case, <> no case
//   change, \ next character literal, _ a literal blank, a leading ! is
//   ignored; any other character is a literal. "save" 1 keeps the literals in
//   the text, 0 drops them; "blank" is the character of an empty position.
// Qt's inputMask swaps required and optional ("99:99;0; " is "00:00; ").
class ClassicMask
{
public:
    ClassicMask() = default;
    explicit ClassicMask(const QString &classic);

    bool isEmpty() const { return m_qtMask.isEmpty(); }
    // The mask for QLineEdit::setInputMask (empty when there is no mask).
    QString qtMask() const { return m_qtMask; }
    bool saveLiterals() const { return m_saveLiterals; }
    QChar blank() const { return m_blank; }
    int length() const { return int(m_literal.size()); }

    // The text of an edit showing `display` (QLineEdit::displayText): every
    // position kept, blanks included; literals only when saved.
    QString textFromDisplay(const QString &display) const;
    // The display form of a text (with or without literals, as saved), for
    // QLineEdit::setText.
    QString displayFromText(const QString &text) const;

private:
    void addLiteral(QChar c);

    QString m_qtMask;
    QVector<bool> m_literal;     // per display position
    QVector<QChar> m_literalChar;
    bool m_saveLiterals = true;
    QChar m_blank = QLatin1Char('_');
};
