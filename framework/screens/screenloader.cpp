#include "screens/screenloader.h"

#include "screens/hostmainwindow.h"
#include "core/interaction.h"
#include "core/messages.h"

#include <QCoreApplication>
#include <QDialog>
#include <QHash>

#include <memory>

namespace {

QHash<QString, ScreenFactory> &registry()
{
    static QHash<QString, ScreenFactory> screens;
    return screens;
}

} // namespace

void RegisterScreen(const QString &screenCode, const ScreenFactory &factory)
{
    registry().insert(screenCode.toUpper(), factory);
}

void UnregisterScreen(const QString &screenCode)
{
    registry().remove(screenCode.toUpper());
}

bool IsScreenRegistered(const QString &screenCode)
{
    return registry().contains(screenCode.toUpper());
}

int LoadBPL(const QString &screenCode, const QVariant &value)
{
    const auto factory = registry().value(screenCode.toUpper());
    if (!factory) {
        MensErro(QCoreApplication::translate("ScreenLoader", "A tela %1 não está disponível.")
                     .arg(screenCode));
        return QDialog::Rejected;
    }
    std::unique_ptr<QDialog> screen(factory(value, hostMainWindow()));
    if (!screen)
        return QDialog::Rejected;
    return interaction().execDialog(*screen);
}
