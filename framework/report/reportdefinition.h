#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// A report definition, read from its JSON file (the format is described in
// reports/README.md). It names the report's SQL and its layout; the engine
// needs nothing else to render it.

// One cell of a band laid out in columns: a title and a value template.
struct ReportColumn
{
    QString title;
    QString value;          // template, see ReportTemplate
    double width = 1;       // share of the line's width
    bool alignRight = false;
};

// What one row (or one group instance) prints: a line of text, or cells.
struct ReportBand
{
    QString text;                   // template; used when there are no columns
    QList<ReportColumn> columns;
    QString skipWhenNull;           // field that, when null, leaves the band out
    bool bold = false;
    int indent = 0;                 // in steps of a few millimetres

    bool isEmpty() const { return text.isEmpty() && columns.isEmpty(); }
};

// A total of a group: the sum of a field, or a count, taken over the detail
// rows of the group or once per instance of an inner group (`over`), so that
// rows repeated by a join are not counted twice.
struct ReportTotal
{
    QString name;           // how the footer template names it
    QString field;          // empty for a count
    QString function;       // "sum" or "count"
    QString over;           // name of an inner group; empty for the detail rows
};

// A group level: a new instance starts whenever one of its key fields
// changes (or a key field of an outer level).
struct ReportGroup
{
    QString name;
    QStringList key;
    ReportBand header;
    ReportBand footer;
    QList<ReportTotal> totals;
};

struct ReportDefinition
{
    QString code;
    QString title;
    bool landscape = false;
    QString sql;
    // "source": "screen": the screen that prints hands the rows (see
    // TReportDesigner::ScreenRows); the definition has no SQL then.
    bool screenRows = false;
    QStringList endOfDayParameters;   // date parameters bound as the end of their day
    QStringList headerLines;          // templates under the title, on every page
    // Code-list parameters and their names ("P_CDALA", "Ala"): the header
    // names each one that does not hold all values, with its codes.
    QList<QPair<QString, QString>> criteria;
    QString emptyText;                // printed when the query returns no row
    QList<ReportGroup> groups;        // outermost first
    ReportBand detail;

    // The definition in a file; throws UserError naming the file and the fault.
    static ReportDefinition fromFile(const QString &fileName);
    // The definition in a JSON text; throws UserError with the fault.
    static ReportDefinition fromJson(const QByteArray &json);
    // The title kept in a definition's JSON text (for lists), empty when the
    // text is no definition.
    static QString titleOf(const QByteArray &json);
};
