#include "report/reportdesigner.h"

#include "data/dtmdbgeral.h"
#include "core/interaction.h"
#include "report/reportcatalog.h"
#include "report/reporteditdialog.h"
#include "report/reportlayout.h"
#include "report/reportpainter.h"

#include <QCoreApplication>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSqlDatabase>

namespace {

QPageLayout pageLayout(const ReportDefinition &definition)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       definition.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
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
    QPdfWriter writer(fileName);
    writer.setResolution(300);
    writer.setTitle(layout.title);
    writer.setCreator(QStringLiteral("EntPat"));
    writer.setPageLayout(pageLayout(definition));
    const int pages = paintReport(layout, writer, printedAt());
    // The writer reports no failure itself: check that the file is there.
    if (!QFile::exists(fileName))
        throw UserError(tr("O arquivo %1 não pôde ser gravado.").arg(fileName));
    return pages;
}

bool TReportDesigner::PrepareFor(QPrinter &printer, ReportLayout *layout) const
{
    const ReportDefinition definition = Definition();
    if (!Prepare(layout))
        return false;
    printer.setPageLayout(pageLayout(definition));
    printer.setDocName(layout->title);
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
