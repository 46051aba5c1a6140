#pragma once

#include <QMainWindow>

class ClientDataSet;
class QMdiArea;
class QMdiSubWindow;

// The host's main window. Non-modal screens show as child windows inside its
// MDI area; it owns the client dataset "cdsFiltro" that holds the saved
// selection (branch and patient) and that screens find by object name.
class HostMainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit HostMainWindow(QWidget *parent = nullptr);
    ~HostMainWindow() override;

    QMdiArea *mdiArea() const { return m_mdiArea; }
    ClientDataSet *cdsFiltro() const { return m_cdsFiltro; }

    // Shows the form as a child window (framing it on the first call),
    // brings a minimised or maximised one back to its normal state and
    // makes it the active child.
    void showChild(QWidget *form);
    // The child window that frames the form, nullptr when it has none here.
    QMdiSubWindow *subWindowOf(const QWidget *form) const;

    // Called by a child form while it closes, before it is released.
    void notifyChildClosing(QWidget *form);

signals:
    // A child form is closing; its controls and datasets are still alive.
    void childClosing(QWidget *form);

protected:
    // Closes every child first; stays open when one of them refuses.
    void closeEvent(QCloseEvent *event) override;

private:
    QMdiArea *m_mdiArea;
    ClientDataSet *m_cdsFiltro;
};

// The host main window in use (the latest one created and still alive), or
// nullptr when there is none (a screen then shows as a window of its own).
HostMainWindow *hostMainWindow();

// Shows a form as a non-modal child of the host main window, or as a window
// of its own without one, in its normal state and active.
void showChildForm(QWidget *form);

// The widget that frames the form on screen: its child window inside the
// host main window, else the form itself.
QWidget *formFrame(QWidget *form);
