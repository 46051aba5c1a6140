#pragma once

#include "editorharness.h"

#include <QObject>

#include <memory>

class TfrmEntParenteral;

// The base of the editor's screen tests: every test function gets a fresh
// harness (server, database, host window); after it the editor is closed and
// any prompt the test left unanswered fails it.
class EditorTestCase : public QObject
{
    Q_OBJECT

protected:
    ScriptedInteraction &script() { return m_harness->script(); }

    std::unique_ptr<EditorHarness> m_harness;
    TfrmEntParenteral *m_editor = nullptr;

private slots:
    void init();
    void cleanup();
};
