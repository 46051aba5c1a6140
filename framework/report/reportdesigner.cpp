#include "report/reportdesigner.h"

#include "data/dtmdbgeral.h"
#include "core/interaction.h"
#include "report/reportcatalog.h"
#include "report/reporteditdialog.h"
#include "report/reportlayout.h"
#include "report/reportpainter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QStandardPaths>

namespace {

QPageLayout pageLayout(const ReportDefinition &definition)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       definition.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

// The title as a file name: path separators and the characters file
// systems refuse become "-" ("Prescrições Enteral-Parenteral").
QString fileNameOf(const QString &title)
{
    static const QRegularExpression refused(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]"));
    const QString name = QString(title).replace(refused, QStringLiteral("-")).simplified();
    return name.isEmpty() ? QStringLiteral("relatorio") : name;
}

// Where "print to file" proposes to write: the title's file name in the
// user's documents folder (the home folder when there is none).
QString proposedPdfFile(const QString &title)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir().mkpath(folder))
        folder = QDir::homePath();
    return QDir(folder).filePath(fileNameOf(title) + QStringLiteral(".pdf"));
}

} // namespace

ReportMissing::ReportMissing(const QString &code, const QString &folder)
    : UserError(QCoreApplication::translate("TReportDesigner",
                                            "O arquivo contendo a definição do relatório de código '%1' não "
                                            "foi encontrado no diretório '%2'.")
                    .arg(code, folder)),
      m_code(code), m_folder(folder)
{
}

TReportDesigner::TReportDesigner(QObject *parent)
    : QObject(parent), m_connectionName(QLatin1String(DBGeralConnectionName))
{
    setObjectName(QStringLiteral("rpddPadrao"));
}

QString TReportDesigner::ResolvedFile() const
{
    if (!DefinitionFile.isEmpty() && QFile::exists(DefinitionFile))
        return DefinitionFile;
    const QList<ReportCatalog::Entry> entries = ReportCatalog::entries(ReportCode);
    if (!DefinitionFile.isEmpty() || entries.isEmpty())
        throw ReportMissing(ReportCode, ReportCatalog::shippedFolder());
    return entries.first().fileName;
}

ReportDefinition TReportDesigner::Definition() const
{
    return ReportDefinition::fromFile(ResolvedFile());
}

bool TReportDesigner::Prepare(ReportLayout *layout) const
{
    const ReportDefinition definition = Definition();
    TReportParams params(reportParameterNames(definition.sql));
    bool cancel = false;
    if (BeforeGetQueryParams)
        BeforeGetQueryParams(params, cancel);
    if (cancel)
        return false;
    if (definition.screenRows) {
        if (!ScreenRows)
            throw UserError(tr("O relatório %1 só pode ser impresso pela tela que tem os seus dados.")
                                .arg(definition.code));
        *layout = layoutReport(definition, ScreenRows(), params);
        return true;
    }
    const QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
    if (!database.isOpen())
        throw UserError(tr("O banco de dados não está conectado."));
    *layout = layoutReport(definition, runReportQuery(database, definition, params), params);
    return true;
}

QDateTime TReportDesigner::printedAt() const
{
    return m_printedAt.isValid() ? m_printedAt : QDateTime::currentDateTime();
}

int TReportDesigner::WritePdf(const QString &fileName) const
{
    const ReportDefinition definition = Definition();
    ReportLayout layout;
    if (!Prepare(&layout))
        return 0;
    // The writer reports no failure itself and paints on regardless, with a
    // warning for every page: the file is opened first.
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        const QString folder = QFileInfo(fileName).absolutePath();
        if (!QFileInfo(folder).isDir())
            throw UserError(tr("O arquivo %1 não pôde ser gravado: a pasta %2 não existe.").arg(fileName, folder));
        throw UserError(tr("O arquivo %1 não pôde ser gravado.").arg(fileName));
    }
    QPdfWriter writer(&file);
    writer.setResolution(300);
    writer.setTitle(layout.title);
    writer.setCreator(QStringLiteral("EntPat"));
    writer.setPageLayout(pageLayout(definition));
    return paintReport(layout, writer, printedAt());
}

bool TReportDesigner::PrepareFor(QPrinter &printer, ReportLayout *layout) const
{
    const ReportDefinition definition = Definition();
    if (!Prepare(layout))
        return false;
    printer.setPageLayout(pageLayout(definition));
    // The print dialogs propose the document name as a file name.
    printer.setDocName(fileNameOf(layout->title));
    return true;
}

void TReportDesigner::Print() const
{
    QPrinter printer(QPrinter::HighResolution);
    ReportLayout layout;
    if (!PrepareFor(printer, &layout))
        return;
    QPrintDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("dlgImprimir"));
    // The dialog's own proposal for a file lies in the working or the home
    // folder, and only on some platforms: it is set here instead.
    if (auto *file = dialog.findChild<QLineEdit *>(QStringLiteral("filename")))
        file->setText(proposedPdfFile(layout.title));
    if (interaction().execDialog(dialog) == QDialog::Accepted)
        paintReport(layout, printer, printedAt());
}

void TReportDesigner::Preview() const
{
    QPrinter printer(QPrinter::HighResolution);
    ReportLayout layout;
    if (!PrepareFor(printer, &layout))
        return;
    QPrintPreviewDialog dialog(&printer);
    dialog.setObjectName(QStringLiteral("dlgVisualizar"));
    dialog.setWindowTitle(tr("Visualizar: %1").arg(layout.title));
    const QDateTime moment = printedAt();
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&layout, moment](QPrinter *target) { paintReport(layout, *target, moment); });
    interaction().execDialog(dialog);
}

QString TReportDesigner::Edit() const
{
    const QString fileName = ResolvedFile();
    ReportEditDialog dialog(fileName, ReportCatalog::readText(fileName));
    if (interaction().execDialog(dialog) != QDialog::Accepted)
        return {};
    return ReportCatalog::saveEdited(fileName, dialog.text());
}
