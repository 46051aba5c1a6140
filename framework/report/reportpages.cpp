#include "report/reportpages.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

// The lines a run of group headers starting at `first` needs on one page:
// the headers and the line they lead to.
int runLength(const QList<ReportLine> &lines, int first)
{
    int needed = 1;
    for (int i = first; i + 1 < lines.size() && lines.at(i).opensGroup; ++i)
        ++needed;
    return needed;
}

// The top of a page that goes on with `line`: the headers of its open
// groups marked as continued, then its column titles.
ReportPage continuation(const ReportLayout &layout, const ReportLine &line)
{
    ReportPage top;
    for (const int index : line.openGroups) {
        ReportLine header = layout.lines.at(index);
        if (header.kind != ReportLine::Text)
            continue;
        header.text += QCoreApplication::translate("ReportPages", " (continuação)");
        top << header;
    }
    if (line.kind == ReportLine::Cells && layout.titles.contains(line.band))
        top << layout.titles.value(line.band);
    return top;
}

} // namespace

QList<ReportPage> paginateReport(const ReportLayout &layout, int linesPerPage)
{
    QList<ReportPage> pages{{}};
    bool pageHasBody = false;   // a line of its own, beyond the continued headers
    const QList<ReportLine> &lines = layout.lines;
    for (int i = 0; i < lines.size(); ++i) {
        const ReportLine &line = lines.at(i);
        const int needed = std::min(runLength(lines, i), linesPerPage);
        if (pageHasBody && pages.last().size() + needed > linesPerPage)
            pages << continuation(layout, line);
        pages.last() << line;
        pageHasBody = true;
    }
    return pages;
}
