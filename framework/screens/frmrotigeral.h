#pragma once

#include "core/messages.h"
#include "screens/screenhelp.h"

#include <QDialog>

class QAction;
class QGroupBox;
class QLabel;
class QToolButton;

// The general routine dialog: the screen code on top, a data group that the
// derived dialog fills with its controls (grbDados, with a grid layout), and
// a side panel with the confirm button sbtConfirma, help and close. It has
// the message table msgPadrao.
//
// Behaviour lives in virtual handlers run guarded from their signals; a
// derived dialog overrides them and calls the inherited one first. The base
// confirm handler does nothing: the derived dialog checks its entries and
// closes itself (Accept). Closing hides the dialog (the caller decides
// whether to keep or release it); FormClose runs on every close.
class TfrmRotiGeral : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmRotiGeral(QWidget *parent = nullptr);
    ~TfrmRotiGeral() override;

    // Runs the creation handling once (see CreateForm).
    void Create();

    QString CodTela() const;
    void SetCodTela(const QString &code);
    HelpTopic Help() const { return m_help; }
    void SetHelp(const HelpTopic &topic) { m_help = topic; }

    // Handlers.
    virtual void FormCreate();
    virtual void FormShow();
    virtual void FormClose();
    virtual void sbtConfirmaClick();
    virtual void sbtAjudaClick();
    virtual void sbtFecharClick();

    // Closes with the result: runs FormClose (a failing FormClose keeps the
    // dialog open), then hides it.
    void done(int result) override;

    // Controls.
    QLabel *lblCodTela;
    QGroupBox *grbDados;
    QWidget *panBotoes;
    QAction *actConfirma;
    QAction *actAjuda;
    QAction *actFechar;
    QToolButton *sbtConfirma;
    QToolButton *sbtAjuda;
    QToolButton *sbtFechar;

    TMessages msgPadrao;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QToolButton *addButton(const QString &objectName, QAction *action);
    QAction *addCommand(const QString &objectName, const QString &text, const QString &hint,
                        const QString &iconName, void (TfrmRotiGeral::*handler)());

    HelpTopic m_help;
    bool m_created = false;
};
