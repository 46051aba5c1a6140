#pragma once

#include <QTest>
#include <QWidget>

// Shows a window and waits until the window system made it the active one.
// On X11 activation is asynchronous and only a request: the window must be
// mapped first, and QApplication::setActiveWindow() alone never gives it
// the input focus.
inline bool showActive(QWidget &window)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return false;
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}
