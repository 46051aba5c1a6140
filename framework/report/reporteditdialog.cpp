#include "report/reporteditdialog.h"

#include "core/abort.h"
#include "core/interaction.h"
#include "report/reportdefinition.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReportEditDialog::ReportEditDialog(const QString &fileName, const QByteArray &text, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgEditarRelatorio"));
    setWindowTitle(tr("Editar relatório"));
    auto *file = new QLabel(fileName, this);
    file->setObjectName(QStringLiteral("lblArquivo"));
    file->setAccessibleName(tr("Arquivo da definição"));
    edtDefinicao = new QPlainTextEdit(this);
    edtDefinicao->setObjectName(QStringLiteral("edtDefinicao"));
    edtDefinicao->setAccessibleName(tr("Definição do relatório"));
    edtDefinicao->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    edtDefinicao->setLineWrapMode(QPlainTextEdit::NoWrap);
    edtDefinicao->setPlainText(QString::fromUtf8(text));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(tr("&Salvar"));
    buttons->button(QDialogButtonBox::Save)->setAccessibleName(tr("Salvar"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("&Cancelar"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(tr("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &ReportEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &ReportEditDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(file);
    layout->addWidget(edtDefinicao, 1);
    layout->addWidget(buttons);
    resize(900, 650);
}

QByteArray ReportEditDialog::text() const
{
    return edtDefinicao->toPlainText().toUtf8();
}

void ReportEditDialog::accept()
{
    try {
        ReportDefinition::fromJson(text());
    } catch (const UserError &error) {
        interaction().error(error.text());
        return;
    }
    QDialog::accept();
}
