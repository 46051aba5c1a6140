#include "widgets/guiinteraction.h"

#include "widgets/listdialogs.h"
#include "widgets/marklistmodel.h"

#include <QApplication>
#include <QFileDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>

QString GuiInteraction::screenTitle() const
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
        if (auto *frame = qobject_cast<QMdiSubWindow *>(widget))
            return frame->windowTitle();
    // Right after a modal box closes no widget has the focus yet (the window
    // system activates the main window later): the screen is the child
    // window that was active last.
    const QWidgetList windows = m_parent ? QWidgetList{m_parent->window()} : QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        const QMdiArea *area = window->isVisible() ? window->findChild<QMdiArea *>() : nullptr;
        if (const QMdiSubWindow *frame = area ? area->currentSubWindow() : nullptr)
            return frame->windowTitle();
    }
    return QApplication::applicationDisplayName();
}

QWidget *GuiInteraction::owner() const
{
    return m_parent ? m_parent.data() : QApplication::activeWindow();
}

void GuiInteraction::error(const QString &text)
{
    QMessageBox::critical(owner(), screenTitle(), text);
}

void GuiInteraction::information(const QString &text)
{
    QMessageBox::information(owner(), screenTitle(), text);
}

bool GuiInteraction::question(const QString &text)
{
    return QMessageBox::question(owner(), screenTitle(), text,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
           == QMessageBox::Yes;
}

int GuiInteraction::alert(const QString &text, const QStringList &captions)
{
    QMessageBox box(QMessageBox::Warning, screenTitle(), text, QMessageBox::NoButton, owner());
    QList<QPushButton *> buttons;
    for (const QString &caption : captions.mid(0, 3))
        buttons << box.addButton(caption, QMessageBox::AcceptRole);
    if (!buttons.isEmpty())
        box.setEscapeButton(buttons.last());
    box.exec();
    const int chosen = int(buttons.indexOf(qobject_cast<QPushButton *>(box.clickedButton())));
    return chosen < 0 ? int(buttons.size()) - 1 : chosen;
}

bool GuiInteraction::pick(ClientDataSet &data, const QString &title)
{
    PickDialog dialog(data, title, owner());
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QStringList> GuiInteraction::markList(ClientDataSet &data, const QString &keyField,
                                                    const QString &title, const QStringList &marked)
{
    MarkListDialog dialog(data, keyField, title, marked, owner());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Marks()->Marked();
}

bool GuiInteraction::find(ClientDataSet &data)
{
    FindDialog dialog(data, owner());
    while (dialog.exec() == QDialog::Accepted) {
        if (dialog.Locate())
            return true;
        information(QStringLiteral("Registro não encontrado."));
    }
    return false;
}

int GuiInteraction::execDialog(QDialog &dialog)
{
    return dialog.exec();
}

QString GuiInteraction::saveFileName(const QString &title, const QString &suggested, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), title, suggested, filter);
}
