#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QWidget>

class FocusAware;

// Dispatches enter and exit handlers of FocusAware widgets from the
// application's focus changes (see FocusAware). One instance per application.
class FocusTracker : public QObject
{
    Q_OBJECT
public:
    static FocusTracker &instance();
    void add(QWidget *widget, FocusAware *aware);
    void remove(QWidget *widget);
    // Moves the focus to the widget as a user's move within its form does.
    // A window that is not active gets no focus change until it is
    // activated: the handlers of the move run now, and the widget is where
    // the focus is when the window is activated, with nothing run again.
    void moveFocus(QWidget *widget);

protected:
    // Notes why the focus last moved, to hand it on when a move is resumed.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    FocusTracker();
    void focusChanged(QWidget *old, QWidget *now);
    // Run the exit (enter) handlers of one move, of what is left (entered)
    // only; false when a handler failed.
    bool runExits(const QList<FocusAware *> &left, const QList<FocusAware *> &entered);
    bool runEnters(const QList<FocusAware *> &left, const QList<FocusAware *> &entered);
    // Moves the focus without running handlers.
    void moveQuietly(QWidget *widget, Qt::FocusReason reason);
    static bool insideItemView(QWidget *widget);
    QList<FocusAware *> chain(QWidget *widget) const;
    static QWidget *formOf(QWidget *widget);
    static QWidget *focusableSelfOrAncestor(QWidget *widget);

    QHash<QWidget *, FocusAware *> m_aware;
    QHash<QWidget *, QPointer<QWidget>> m_settled;   // by form
    bool m_dispatching = false;
    Qt::FocusReason m_reason = Qt::OtherFocusReason;
};
