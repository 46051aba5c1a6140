#pragma once

#include "widgets/maskedit.h"

#include <QDate>
#include <QStringList>

class QCalendarWidget;

// A date entry dd/MM/yyyy with a calendar drop-down (the button at its right
// end, or Alt+Down / F4). A valid date is shown in blue and its weekday name
// in the tooltip. The empty entry is the zero date: GetDate returns a null
// QDate for it (and for text that is no date, which CheckValidDate reports).
class TDateEditPlus : public TMaskEdit
{
    Q_OBJECT
public:
    explicit TDateEditPlus(QWidget *parent = nullptr);

    QDate GetDate() const;
    // A null date empties the entry.
    void SetDate(const QDate &date);
    bool IsEmpty() const;
    // True for an empty entry or a valid date. Otherwise reports
    // "'<text>' não é uma data válida." through MensErro, which ends the
    // operation when `raise` is true, and returns false.
    bool CheckValidDate(bool raise = true);

    // Weekday names, Sunday first; Portuguese by default.
    void SetWeekdayNames(const QStringList &names);
    // The weekday name of the date; empty for the zero date.
    QString WeekdayName() const;

    void ShowCalendar();

    // Runs guarded when the date changes (to another date or to empty).
    std::function<void()> OnDateChange;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void dateTextChanged();

    QStringList m_weekdays;
    QDate m_lastDate;
    QCalendarWidget *m_calendar = nullptr;
};
