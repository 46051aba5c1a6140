#pragma once

#include <QDateTime>

class QPagedPaintDevice;
struct ReportLayout;

// Prints a laid-out report on a paged device (QPdfWriter, QPrinter). Every
// page carries the title and the header lines on top and, at the bottom, the
// print date and "Página N de M". A group header never ends a page, and
// lines in columns continuing on a new page get their column titles again.
// Returns the number of pages.
int paintReport(const ReportLayout &layout, QPagedPaintDevice &device, const QDateTime &printedAt);
