#pragma once

#include <QString>

// Where a screen's help lives: a help file of the suite and a topic in it.
struct HelpTopic
{
    QString file;
    int context = 0;
};

// The help files sit beside the host's executable. Each is a settings file
// in INI form with one group per help context, holding its title and text
// ("\n" starts a new line):
//   [11111200]
//   titulo=Filtrar pacientes
//   texto=Escolha os pacientes...
// The topic's title and text, joined by an empty line; empty when the file
// or the context is missing.
QString HelpText(const HelpTopic &topic);

// Shows the help of a screen: the text of its help topic when the help file
// has one, else its caption, its screen code and the topic it names.
void ShowScreenHelp(const QString &caption, const QString &screenCode, const HelpTopic &topic);
