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

private:
    FocusTracker();
    void focusChanged(QWidget *old, QWidget *now);
    // Runs the handlers of one move; false when a handler failed.
    bool dispatch(QWidget *from, QWidget *to);
    QList<FocusAware *> chain(QWidget *widget) const;
    static QWidget *formOf(QWidget *widget);
    static bool containerHidden(QWidget *widget, QWidget *form);
    static QWidget *focusableSelfOrAncestor(QWidget *widget);

    QHash<QWidget *, FocusAware *> m_aware;
    QHash<QWidget *, QPointer<QWidget>> m_settled;   // by form
    bool m_dispatching = false;
};
