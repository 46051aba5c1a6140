#include "widgets/keychar.h"

#include <QKeyEvent>

QChar typedChar(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QLatin1Char('\r');
    case Qt::Key_Backspace:
        return QLatin1Char('\b');
    case Qt::Key_Escape:
        return QChar(0x1b);
    default:
        break;
    }
    const QString text = event.text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return QChar();
    return text.at(0);
}

QKeyEvent *retypedEvent(const QKeyEvent &event, QChar key)
{
    return new QKeyEvent(event.type(), event.key(), event.modifiers(), QString(key),
                         event.isAutoRepeat(), ushort(event.count()));
}
