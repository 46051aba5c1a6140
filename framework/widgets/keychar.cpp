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
    // A shortcut (Ctrl+A, Ctrl+V...) types nothing, whatever text the
    // platform gives it.
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if ((modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !(modifiers & Qt::AltModifier))
        return QChar();
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
