#pragma once

#include <QString>

// Where a screen's help lives: a help file of the suite and a topic in it.
struct HelpTopic
{
    QString file;
    int context = 0;
};

// Shows the help of a screen: its caption, its screen code and, when it has
// one, its help topic.
void ShowScreenHelp(const QString &caption, const QString &screenCode, const HelpTopic &topic);
