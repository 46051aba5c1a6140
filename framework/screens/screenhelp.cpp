#include "screenhelp.h"

#include "interaction.h"

#include <QCoreApplication>

void ShowScreenHelp(const QString &caption, const QString &screenCode, const HelpTopic &topic)
{
    QString text = QCoreApplication::translate("ScreenHelp", "%1 (tela %2).").arg(caption, screenCode);
    if (!topic.file.isEmpty()) {
        text += QLatin1Char('\n')
            + QCoreApplication::translate("ScreenHelp", "Tópico de ajuda %1 do arquivo %2.")
                  .arg(topic.context).arg(topic.file);
    }
    interaction().information(text);
}
