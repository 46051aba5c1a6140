#include "widgets/maskedit.h"

#include <QFocusEvent>

TMaskEdit::TMaskEdit(QWidget *parent) : TEdit(parent)
{
}

void TMaskEdit::SetEditMask(const QString &classicMask)
{
    const QString text = Text();
    m_classic = classicMask;
    m_mask = ClassicMask(classicMask);
    setInputMask(m_mask.qtMask());
    SetText(text);
}

QString TMaskEdit::Text() const
{
    return m_mask.textFromDisplay(displayText());
}

void TMaskEdit::SetText(const QString &text)
{
    setText(m_mask.displayFromText(text));
}

void TMaskEdit::focusInEvent(QFocusEvent *event)
{
    TEdit::focusInEvent(event);
    if (!m_mask.isEmpty() && event->reason() != Qt::MouseFocusReason)
        selectAll();
}
