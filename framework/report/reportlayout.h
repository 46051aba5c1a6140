#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

class TReportParams;
struct ReportDefinition;
struct ReportRows;

// One printed cell: its text and its place as a share of the line's width.
struct ReportCell
{
    QString text;
    double left = 0;
    double width = 1;
    bool alignRight = false;
};

// One line of the report body, before it is cut into pages.
struct ReportLine
{
    enum Kind { Text, Cells, Titles };
    Kind kind = Text;
    QString text;
    QList<ReportCell> cells;
    bool bold = false;
    int indent = 0;
    int band = -1;              // band of cells and titles (their titles repeat on a new page)
    bool opensGroup = false;    // a group header: kept with the line after it
    // The headers of the groups this line belongs to, outermost first, as
    // indexes in the layout's lines: a page that goes on with the line
    // repeats them.
    QList<int> openGroups;
};

// The report laid out as lines: the title and header lines of every page,
// the body, and the title line of every band in columns.
struct ReportLayout
{
    QString title;
    QStringList headerLines;
    QList<ReportLine> lines;
    QMap<int, ReportLine> titles;   // by band
};

// Groups the rows by the definition's levels, printing each level's header
// when an instance starts and its footer with its totals when it ends, and
// the detail of every row. No row prints the definition's empty text.
ReportLayout layoutReport(const ReportDefinition &definition, const ReportRows &rows,
                          const TReportParams &params);
