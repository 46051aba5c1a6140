#pragma once

#include <QString>

class QAction;
class QToolButton;
class QWidget;

// A screen command: one action owned by the screen, with its caption
// (accelerator included), its hint and an icon from the desktop theme.
QAction *CreateCommand(QWidget *screen, const QString &objectName, const QString &text,
                       const QString &hint, const QString &iconName);

// A tool button that shows a command (its caption under its icon) and
// always follows its enabled state; its accessible name is the command's hint.
QToolButton *CreateCommandButton(QWidget *parent, const QString &objectName, QAction *command);
