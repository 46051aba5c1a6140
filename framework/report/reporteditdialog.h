#pragma once

#include <QByteArray>
#include <QDialog>

class QPlainTextEdit;

// A plain text editor for a report definition. Confirming checks the text
// first: a text that is no valid definition is reported and the dialog
// stays open.
class ReportEditDialog : public QDialog
{
    Q_OBJECT
public:
    ReportEditDialog(const QString &fileName, const QByteArray &text, QWidget *parent = nullptr);

    QByteArray text() const;
    QPlainTextEdit *edtDefinicao;

    void accept() override;
};
