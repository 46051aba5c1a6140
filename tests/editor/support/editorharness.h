#pragma once

#include "fixtureserver.h"
#include "scriptedinteraction.h"

#include <QString>

#include <functional>
#include <memory>

class ClientDataSet;
class QDialog;
class HostMainWindow;
class QLineEdit;
class TDBGrid;
class TfrmEntParenteral;
class QWidget;

// The prescription editor as a user meets it: a host main window, the
// application server on a fresh fixture database (fixturedb.h), the shared
// database connection on the same database, the operator context of the
// fixture's nutritionist in branch "0001", logged in to the server (and
// logged in again when the session ends), and a scripted interaction that
// records every message.
//
//   EditorHarness harness;
//   QVERIFY2(harness.start(), qPrintable(harness.error()));
//   TfrmEntParenteral *editor = harness.openEditor();
class EditorHarness
{
public:
    EditorHarness();
    ~EditorHarness();

    // Starts the server and fills the operator context; false with error()
    // on failure.
    bool start();
    QString error() const { return m_error; }

    // Launches the editor as the host does and waits for its first
    // activation to be done.
    TfrmEntParenteral *openEditor();
    // Closes the editor as its close button does.
    void closeEditor();

    HostMainWindow &host() { return *m_host; }
    ScriptedInteraction &script() { return m_script; }
    FixtureServer &server() { return *m_server; }
    // The editor's saved-selection file (removed by the destructor).
    QString selectionFile() const;
    // Writes the selection file as the editor saves it on closing: the
    // branch and the patient current in its list.
    void saveSelection(const QString &branch, const QString &patient) const;

    // Moves the focus as a user does (a mouse click or Tab), so that the
    // enter and exit handlers of the controls and panels run.
    static void focus(QWidget *widget);
    static void typeInto(QWidget *widget, const QString &text);
    // Types into a grid's cell: the column is selected as by a click (the
    // column left runs its exit check), then the text is typed; a column
    // edited through a drop-down list (the item's preparation) is opened
    // with F2 and its entry chosen by the text's first letter.
    static void typeCell(TDBGrid &grid, const QString &fieldName, const QString &text);

    // Answers the next modal screen: shows it, lets `act` work on it as a
    // user would, and closes it when `act` left it open; the answer is the
    // screen's result.
    void answerScreen(const std::function<void(QDialog &)> &act);

    // On the open editor: types the branch and leaves the branch panel for
    // the patient code.
    void chooseBranch(const QString &typed);
    // On the open editor: types a patient code and moves into the service
    // grid.
    void choosePatient(const QString &typed);

private:
    // Types over the whole text of a field and moves the focus on.
    static void retype(QLineEdit *field, const QString &typed, QWidget *next);

    ScriptedInteraction m_script;
    std::unique_ptr<FixtureServer> m_server;
    std::unique_ptr<HostMainWindow> m_host;
    QString m_error;
};
