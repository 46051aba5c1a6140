#pragma once

#include <QDateTime>

class QPagedPaintDevice;
struct ReportLayout;

// Prints a laid-out report on a paged device (QPdfWriter, QPrinter). Every
// page carries the title and the header lines on top and, at the bottom, the
// print date and "Página N de M"; the body is cut into pages by
// paginateReport (open groups named again on every page).
// Returns the number of pages.
int paintReport(const ReportLayout &layout, QPagedPaintDevice &device, const QDateTime &printedAt);
