#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class ClientDataSet;
class QDialog;

// Every modal interaction with the user goes through this seam. The GUI
// implementation shows real dialogs; tests install a scripted one that records
// every message and answers from a queue. Business rules stay in the callers:
// an implementation only asks and answers.
class Interaction
{
public:
    virtual ~Interaction() = default;

    virtual void error(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
    // Yes/No question; true means Yes.
    virtual bool question(const QString &text) = 0;
    // Asks with up to three caller-given captions; returns the index of the
    // chosen caption (0, 1 or 2).
    virtual int alert(const QString &text, const QStringList &captions) = 0;
    // Pick one row of a non-empty dataset. On true the dataset is left on the
    // picked row; on false its position is unspecified (callers restore it).
    virtual bool pick(ClientDataSet &data, const QString &title) = 0;
    // Mark rows of a non-empty dataset; returns the key values of the marked
    // rows, or nothing when the user cancelled. `marked` holds the keys to
    // show marked at the start.
    virtual std::optional<QStringList> markList(ClientDataSet &data, const QString &keyField,
                                                const QString &title, const QStringList &marked) = 0;
    // Find dialog: on true the dataset is on the found row.
    virtual bool find(ClientDataSet &data) = 0;
    // Runs a modal dialog of our own and returns its result code.
    virtual int execDialog(QDialog &dialog) = 0;
    // Asks where to save a file, starting at `suggested` (a path), offering
    // the file types of `filter` ("CSV (*.csv)"); empty when cancelled.
    virtual QString saveFileName(const QString &title, const QString &suggested, const QString &filter) = 0;
};

// The interaction in use. Until one is installed, a silent one that answers
// "No"/cancel and logs messages to the debug output is used.
Interaction &interaction();
// Installs an interaction (not owned); nullptr restores the silent default.
void setInteraction(Interaction *implementation);
