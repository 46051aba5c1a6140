#include "widgets/focustracker.h"

#include "widgets/focusaware.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFocusEvent>
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
    qApp->installEventFilter(this);
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

// A move from or to an item view (a grid, its cell editor) is left where it
// is while the handlers run: taking the focus away from a cell editor ends
// its edit.
bool FocusTracker::insideItemView(QWidget *widget)
{
    const QWidget *form = formOf(widget);
    for (QWidget *w = widget; w && w != form; w = w->parentWidget())
        if (qobject_cast<QAbstractItemView *>(w))
            return true;
    return false;
}

bool FocusTracker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && !m_dispatching)
        m_reason = static_cast<QFocusEvent *>(event)->reason();
    return QObject::eventFilter(watched, event);
}

void FocusTracker::moveQuietly(QWidget *widget, Qt::FocusReason reason)
{
    m_dispatching = true;
    widget->setFocus(reason);
    m_dispatching = false;
}

void FocusTracker::moveFocus(QWidget *widget)
{
    if (widget->isActiveWindow()) {
        widget->setFocus(Qt::OtherFocusReason);
        return;
    }
    QWidget *form = formOf(widget);
    QWidget *from = m_settled.value(form);
    if (from == widget)
        return;
    const QList<FocusAware *> left = chain(from);
    const QList<FocusAware *> entered = chain(widget);
    if (!runExits(left, entered) || !runEnters(left, entered)) {
        // The move is refused: the focus stays where it was, or where a
        // handler put it.
        QWidget *focus = form->focusWidget();
        m_settled.insert(form, focus && focus != widget ? focus : from);
        return;
    }
    moveQuietly(widget, Qt::OtherFocusReason);
    m_settled.insert(form, widget);
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
    const Qt::FocusReason reason = m_reason;
    QWidget *to = now;
    for (int move = 0; move < MaxChainedMoves && from != to; ++move) {
        QWidget *back = from ? focusableSelfOrAncestor(from) : nullptr;
        // Exit handlers run with the focus back on the control being left,
        // where the user still is: a refusal and its message find the focus
        // on the entry to correct, and a message box closing gives it back
        // there, not to the control the move was heading for.
        const bool revisit = back && back == from && !insideItemView(from) && !insideItemView(to);
        if (revisit)
            moveQuietly(back, Qt::OtherFocusReason);
        const QList<FocusAware *> left = chain(from);
        const bool leftOk = runExits(left, chain(to));
        QWidget *focus = QApplication::focusWidget();
        const bool movedByExit = focus && focus != (revisit ? back : to) && formOf(focus) == form;
        if (!leftOk) {
            // A handler that opened another screen keeps the focus there.
            if (focus && focus->isVisible() && formOf(focus) != form) {
                m_settled.insert(form, from);
                return;
            }
            if (movedByExit) {
                m_settled.insert(form, from);
                to = focus;
                continue;
            }
            // The move is cancelled. A message box that just closed may have
            // left the form inactive: the refused control is where the focus
            // comes back when it is activated again.
            if (back)
                moveQuietly(back, Qt::OtherFocusReason);
            m_settled.insert(form, back ? back : from);
            return;
        }
        // An exit handler that put the focus somewhere chose where it goes.
        if (movedByExit)
            to = focus;
        else if (revisit)
            moveQuietly(to, reason);
        const bool enteredOk = runEnters(left, chain(to));
        focus = QApplication::focusWidget();
        if (!enteredOk && focus == to && from) {
            if (back)
                moveQuietly(back, Qt::OtherFocusReason);
            m_settled.insert(form, back ? back : from);
            return;
        }
        const QPointer<QWidget> settled = enteredOk ? to : from;
        m_settled.insert(form, settled);
        if (!focus || formOf(focus) != form)
            return;
        from = settled;
        to = focus;
    }
    m_settled.insert(form, to);
}

bool FocusTracker::runExits(const QList<FocusAware *> &left, const QList<FocusAware *> &entered)
{
    m_dispatching = true;
    bool ok = true;
    for (FocusAware *aware : left) {
        if (!entered.contains(aware) && !(ok = aware->focusLeft()))
            break;
    }
    m_dispatching = false;
    return ok;
}

bool FocusTracker::runEnters(const QList<FocusAware *> &left, const QList<FocusAware *> &entered)
{
    m_dispatching = true;
    bool ok = true;
    for (auto it = entered.crbegin(); ok && it != entered.crend(); ++it) {
        if (!left.contains(*it))
            ok = (*it)->focusEntered();
    }
    m_dispatching = false;
    return ok;
}
