#include "widgets/focustracker.h"

#include "widgets/focusaware.h"

#include <QApplication>
#include <QMdiSubWindow>
#include <QMenuBar>

namespace {
// Handlers that keep moving the focus around would otherwise loop forever.
constexpr int MaxChainedMoves = 8;
}

FocusAware::FocusAware(QWidget *widget)
{
    FocusTracker::instance().add(widget, this);
    QObject::connect(widget, &QObject::destroyed, &FocusTracker::instance(),
                     [widget] { FocusTracker::instance().remove(widget); });
}

FocusAware::~FocusAware() = default;

FocusTracker &FocusTracker::instance()
{
    static FocusTracker *tracker = new FocusTracker;
    return *tracker;
}

FocusTracker::FocusTracker()
{
    connect(qApp, &QApplication::focusChanged, this, &FocusTracker::focusChanged);
}

void FocusTracker::add(QWidget *widget, FocusAware *aware)
{
    m_aware.insert(widget, aware);
}

void FocusTracker::remove(QWidget *widget)
{
    m_aware.remove(widget);
}

QWidget *FocusTracker::formOf(QWidget *widget)
{
    while (widget && !widget->isWindow() && !qobject_cast<QMdiSubWindow *>(widget))
        widget = widget->parentWidget();
    return widget;
}

// Whether a container of the widget (below the form) was hidden: a closing
// screen or a page switched away. A widget hidden by itself (a grid's cell
// editor) still counts as left through its containers.
bool FocusTracker::containerHidden(QWidget *widget, QWidget *form)
{
    for (QWidget *w = widget->parentWidget(); w && w != form; w = w->parentWidget())
        if (w->isHidden())
            return true;
    return false;
}

// A grid's cell editor may be gone by now: its grid takes the focus back.
QWidget *FocusTracker::focusableSelfOrAncestor(QWidget *widget)
{
    while (widget && !(widget->isVisible() && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus))
        widget = widget->parentWidget();
    return widget;
}

QList<FocusAware *> FocusTracker::chain(QWidget *widget) const
{
    QList<FocusAware *> result;   // innermost first
    const QWidget *form = formOf(widget);
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (FocusAware *aware = m_aware.value(w))
            result << aware;
        if (w == form)
            break;
    }
    return result;
}

void FocusTracker::focusChanged(QWidget *, QWidget *now)
{
    if (m_dispatching || !now)
        return;
    // A closing or hiding form moves the focus around as its controls go
    // away: that is no user's move, and leaving a control that is gone runs
    // no exit handler.
    if (!now->isVisible())
        return;
    // The menu bar holds the focus only while a menu is chosen from the
    // keyboard and gives it back afterwards: the user stays where he was.
    if (qobject_cast<QMenuBar *>(now))
        return;
    QWidget *form = formOf(now);
    QWidget *from = m_settled.value(form);
    // A click on a part of the screen that takes no focus (its tool bar,
    // a label) hands the focus up to the child window's frame, which gives
    // it back to the control that had it at once: no control was left.
    if (now == form && qobject_cast<QMdiSubWindow *>(now))
        return;
    QWidget *to = now;
    for (int move = 0; move < MaxChainedMoves && from != to; ++move) {
        const bool ok = dispatch(from, to);
        QWidget *focus = QApplication::focusWidget();
        if (!ok && focus == to && from) {
            // Nobody moved the focus: the move is cancelled.
            QWidget *back = focusableSelfOrAncestor(from);
            m_dispatching = true;
            if (back)
                back->setFocus(Qt::OtherFocusReason);
            m_dispatching = false;
            m_settled.insert(form, back ? back : from);
            return;
        }
        const QPointer<QWidget> settled = ok ? to : from;
        m_settled.insert(form, settled);
        if (!focus || formOf(focus) != form)
            return;
        from = settled;
        to = focus;
    }
    m_settled.insert(form, to);
}

bool FocusTracker::dispatch(QWidget *from, QWidget *to)
{
    const QList<FocusAware *> left = chain(from);
    const QList<FocusAware *> entered = chain(to);
    m_dispatching = true;
    bool ok = true;
    for (FocusAware *aware : left) {
        if (!entered.contains(aware) && !(ok = aware->focusLeft()))
            break;
    }
    for (auto it = entered.crbegin(); ok && it != entered.crend(); ++it) {
        if (!left.contains(*it))
            ok = (*it)->focusEntered();
    }
    m_dispatching = false;
    return ok;
}
