#include "widgets/numberedit.h"

#include "widgets/keychar.h"
#include "widgets/widgetutils.h"

#include <QKeyEvent>
#include <QLocale>

#include <memory>

namespace {

QLocale brazilian()
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil);
}

} // namespace

TNumberEdit::TNumberEdit(QWidget *parent) : TEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

double TNumberEdit::GetNumber() const
{
    QString digits = Text().trimmed();
    digits.remove(QLatin1Char('.'));
    return digits.isEmpty() ? 0.0 : brazilian().toDouble(digits);
}

void TNumberEdit::SetNumber(double value)
{
    QLocale locale = brazilian();
    if (!m_thousands)
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
    SetText(locale.toString(value, 'f', m_decimals));
}

void TNumberEdit::SetDecimals(int decimals)
{
    m_decimals = qMax(0, decimals);
    reformat();
}

void TNumberEdit::SetThousandSeparator(bool on)
{
    m_thousands = on;
    reformat();
}

void TNumberEdit::reformat()
{
    if (!Text().trimmed().isEmpty())
        SetNumber(GetNumber());
}

void TNumberEdit::keyPressEvent(QKeyEvent *event)
{
    QChar key = typedChar(*event);
    if (key.isNull() || !key.isPrint()) {
        TEdit::keyPressEvent(event);
        return;
    }
    if (!EditMaxNumber(*this, 15, m_decimals, key)) {
        event->accept();
        return;
    }
    const std::unique_ptr<QKeyEvent> retyped(retypedEvent(*event, key));
    TEdit::keyPressEvent(retyped.get());
}

// While typing, the number shows without thousands separators, so that the
// caret positions the digit check sees are the digits'.
void TNumberEdit::focusInEvent(QFocusEvent *event)
{
    if (text().contains(QLatin1Char('.')))
        setText(text().remove(QLatin1Char('.')));
    TEdit::focusInEvent(event);
}

void TNumberEdit::focusOutEvent(QFocusEvent *event)
{
    reformat();
    TEdit::focusOutEvent(event);
}
