#pragma once

#include "report/reportlayout.h"

#include <QList>

using ReportPage = QList<ReportLine>;

// Cuts a laid-out report into pages of at most `linesPerPage` lines. A run
// of group headers is kept with the line after it, so a header never ends a
// page. A page that goes on with open groups starts with their headers
// again, marked "(continuação)", so a sheet read alone names the groups of
// every line on it; lines in columns get their column titles again.
QList<ReportPage> paginateReport(const ReportLayout &layout, int linesPerPage);
