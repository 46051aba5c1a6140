#pragma once

#include "core/interaction.h"

#include <QPointer>
#include <QWidget>

// The interaction with real dialogs: message boxes (their standard buttons
// are translated by the Qt translations the host loads), the pick list, the
// marking list and the find dialog. Dialogs are modal over `parent`, or over
// the active window when it is gone.
class GuiInteraction : public Interaction
{
public:
    explicit GuiInteraction(QWidget *parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget *parent) { m_parent = parent; }

    void error(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    int alert(const QString &text, const QStringList &captions) override;
    bool pick(ClientDataSet &data, const QString &title) override;
    std::optional<QStringList> markList(ClientDataSet &data, const QString &keyField,
                                        const QString &title, const QStringList &marked) override;
    bool find(ClientDataSet &data) override;
    int execDialog(QDialog &dialog) override;
    QString saveFileName(const QString &title, const QString &suggested, const QString &filter) override;

    // The title of every box: the caption of the screen the user works in
    // (the child window holding, or last holding, the focus), else the application's name.
    QString screenTitle() const;

private:
    QWidget *owner() const;

    QPointer<QWidget> m_parent;
};
