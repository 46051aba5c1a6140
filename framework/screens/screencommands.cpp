#include "screens/screencommands.h"

#include <QAction>
#include <QIcon>
#include <QToolButton>

QAction *CreateCommand(QWidget *screen, const QString &objectName, const QString &text,
                       const QString &hint, const QString &iconName)
{
    auto *action = new QAction(QIcon::fromTheme(iconName), text, screen);
    action->setObjectName(objectName);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    return action;
}

QToolButton *CreateCommandButton(QWidget *parent, const QString &objectName, QAction *command)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setDefaultAction(command);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAccessibleName(command->toolTip());
    // A command acts on the control that has the focus: its button never
    // takes it.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
