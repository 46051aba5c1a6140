#pragma once

#include "core/abort.h"
#include "report/reportdefinition.h"
#include "report/reportquery.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>

class QPrinter;
struct ReportLayout;

// No definition file for a report code in the definition folders.
class ReportMissing : public UserError
{
public:
    ReportMissing(const QString &code, const QString &folder);
    QString code() const { return m_code; }
    QString folder() const { return m_folder; }

private:
    QString m_code;
    QString m_folder;
};

// The report engine of a report screen (its rpddPadrao): it reads the
// definition of its report, asks its owner for the values of the query's
// parameters (BeforeGetQueryParams), runs the query on the shared database
// connection and prints, previews or writes the report.
class TReportDesigner : public QObject
{
    Q_OBJECT
public:
    explicit TReportDesigner(QObject *parent = nullptr);

    // The report code ("VQN180") and the definition file chosen for it;
    // an empty file name means the code's main definition.
    QString ReportCode;
    QString DefinitionFile;

    // Called with the parameters of the report's query before it runs;
    // setting the Boolean cancels the report.
    std::function<void(TReportParams &params, bool &cancel)> BeforeGetQueryParams;
    // The rows of a definition whose source is the screen (it has no query):
    // what the screen computed, printed as it shows it.
    std::function<ReportRows()> ScreenRows;

    // The definition file in use; throws ReportMissing when there is none.
    QString ResolvedFile() const;
    ReportDefinition Definition() const;
    // Reads the definition, asks for the parameters and runs the query.
    // False when the parameter handler cancelled.
    bool Prepare(ReportLayout *layout) const;

    // Writes the report to a PDF file; returns the number of pages, 0 when
    // cancelled. Throws UserError when the file cannot be written.
    int WritePdf(const QString &fileName) const;
    // The print dialog, then the printer.
    void Print() const;
    // The preview dialog, from which the user may print.
    void Preview() const;
    // Opens the definition in a text editor; a confirmed text is checked and
    // written to the user's definition folder. Returns the file written, or
    // an empty text when the user cancelled.
    QString Edit() const;

    // Connection name in QSqlDatabase's registry; dtmDBGeral's by default.
    void SetConnectionName(const QString &name) { m_connectionName = name; }
    // The print date shown in the page footers; now when not set (tests fix it).
    void SetPrintedAt(const QDateTime &moment) { m_printedAt = moment; }

private:
    QDateTime printedAt() const;
    // Prepare, then the printer set to the definition's page.
    bool PrepareFor(QPrinter &printer, ReportLayout *layout) const;

    QString m_connectionName;
    QDateTime m_printedAt;
};
