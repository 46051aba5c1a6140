#include "editortestcase.h"

#include <QTest>

void EditorTestCase::init()
{
    m_harness = std::make_unique<EditorHarness>();
    QVERIFY2(m_harness->start(), qPrintable(m_harness->error()));
}

void EditorTestCase::cleanup()
{
    const QStringList unexpected = script().unexpected();
    m_harness->closeEditor();
    m_harness.reset();
    m_editor = nullptr;
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
}
