#include "widgets/dateeditplus.h"

#include "core/abort.h"
#include "core/consiste.h"
#include "core/messages.h"

#include <QAction>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>

namespace {
const QString DateFormat = QStringLiteral("dd/MM/yyyy");
}

TDateEditPlus::TDateEditPlus(QWidget *parent)
    : TMaskEdit(parent),
      m_weekdays{QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                 QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                 QStringLiteral("Sábado")}
{
    SetEditMask(DateMask());
    QAction *calendar = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    calendar->setText(QStringLiteral("Calendário"));
    calendar->setToolTip(QStringLiteral("Calendário"));
    connect(calendar, &QAction::triggered, this, &TDateEditPlus::ShowCalendar);
    connect(this, &QLineEdit::textChanged, this, &TDateEditPlus::dateTextChanged);
    dateTextChanged();
}

QDate TDateEditPlus::GetDate() const
{
    return QDate::fromString(Text(), DateFormat);
}

void TDateEditPlus::SetDate(const QDate &date)
{
    SetText(date.isValid() ? date.toString(DateFormat) : QString());
}

bool TDateEditPlus::IsEmpty() const
{
    return EmptyString(Text());
}

bool TDateEditPlus::CheckValidDate(bool raise)
{
    if (IsEmpty() || GetDate().isValid())
        return true;
    MensErro(QStringLiteral("'%1' não é uma data válida.").arg(Text()), raise);
    return false;
}

void TDateEditPlus::SetWeekdayNames(const QStringList &names)
{
    if (names.size() == 7)
        m_weekdays = names;
    dateTextChanged();
}

QString TDateEditPlus::WeekdayName() const
{
    const QDate date = GetDate();
    return date.isValid() ? m_weekdays.at(date.dayOfWeek() % 7) : QString();
}

void TDateEditPlus::dateTextChanged()
{
    const QDate date = GetDate();
    QPalette colours = palette();
    colours.setColor(QPalette::Text, date.isValid() ? QColor(Qt::blue) : QPalette().color(QPalette::Text));
    setPalette(colours);
    setToolTip(WeekdayName());
    if (date == m_lastDate)
        return;
    m_lastDate = date;
    if (OnDateChange)
        runGuarded(OnDateChange);
}

void TDateEditPlus::ShowCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setWindowFlags(Qt::Popup);
        m_calendar->setAccessibleName(QStringLiteral("Calendário"));
        connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate date) {
            SetDate(date);
            m_calendar->hide();
            setFocus(Qt::PopupFocusReason);
        });
        connect(m_calendar, &QCalendarWidget::clicked, m_calendar, &QCalendarWidget::activated);
    }
    m_calendar->setSelectedDate(GetDate().isValid() ? GetDate() : QDate::currentDate());
    m_calendar->move(mapToGlobal(rect().bottomLeft()));
    m_calendar->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void TDateEditPlus::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4
        || (event->key() == Qt::Key_Down && event->modifiers().testFlag(Qt::AltModifier))) {
        ShowCalendar();
        return;
    }
    TMaskEdit::keyPressEvent(event);
}
