#include "screens/screenhelp.h"

#include "core/interaction.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

QString HelpText(const HelpTopic &topic)
{
    if (topic.file.isEmpty())
        return {};
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(topic.file);
    if (!QFileInfo::exists(path))
        return {};
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QString::number(topic.context));
    const QString title = file.value(QStringLiteral("titulo")).toString();
    const QString text = file.value(QStringLiteral("texto")).toString();
    if (text.isEmpty())
        return {};
    return title.isEmpty() ? text : title + QStringLiteral("\n\n") + text;
}

void ShowScreenHelp(const QString &caption, const QString &screenCode, const HelpTopic &topic)
{
    const QString help = HelpText(topic);
    if (!help.isEmpty()) {
        interaction().information(help);
        return;
    }
    QString text = QCoreApplication::translate("ScreenHelp", "%1 (tela %2).").arg(caption, screenCode);
    if (!topic.file.isEmpty()) {
        text += QLatin1Char('\n')
            + QCoreApplication::translate("ScreenHelp", "Tópico de ajuda %1 do arquivo %2.")
                  .arg(topic.context).arg(topic.file);
    }
    interaction().information(text);
}
