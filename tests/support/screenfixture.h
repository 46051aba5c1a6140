#pragma once

#include "screens/hostmainwindow.h"
#include "scriptedinteraction.h"

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>

#include <memory>

// What a screen test runs in: a scripted interaction and the host's main
// window, shown, in which non-modal screens open as child windows.
// Header-only, since the support library itself does not link the framework.
class ScreenFixture
{
public:
    void start()
    {
        m_interaction = std::make_unique<ScriptedInteraction>();
        m_host = std::make_unique<HostMainWindow>();
        m_host->show();
    }

    // Releases the main window and every screen left in it; returns the
    // prompts that came without a scripted answer.
    QStringList finish()
    {
        m_host.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QStringList unexpected = m_interaction->unexpected();
        m_interaction.reset();
        return unexpected;
    }

    ScriptedInteraction &interaction() const { return *m_interaction; }
    HostMainWindow &host() const { return *m_host; }

private:
    std::unique_ptr<ScriptedInteraction> m_interaction;
    std::unique_ptr<HostMainWindow> m_host;
};
