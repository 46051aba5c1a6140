#include "report/reportpainter.h"

#include "report/reportlayout.h"
#include "report/reportpages.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportPainter", text);
}

QFont reportFont(double points, bool bold)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: the PDF's text then reads back letter for letter
    // ("liquidificada", not an "fi" glyph), for searches and copies.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

class PagePainter
{
public:
    PagePainter(const ReportLayout &layout, QPagedPaintDevice &device)
        : m_layout(layout), m_device(device),
          m_body(reportFont(8.5, false)), m_bold(reportFont(8.5, true)), m_title(reportFont(13, true)),
          m_lineHeight(QFontMetricsF(m_body, &device).height() * 1.3),
          m_page(0, 0, device.width(), device.height())
    {
    }

    QList<ReportPage> paginate() const
    {
        const double room = m_page.height() - headerHeight() - footerHeight();
        return paginateReport(m_layout, qMax(3, int(room / m_lineHeight)));
    }

    void paint(const QList<ReportPage> &pages, const QDateTime &printedAt)
    {
        QPainter painter(&m_device);
        for (int number = 0; number < pages.size(); ++number) {
            if (number > 0)
                m_device.newPage();
            double y = paintHeader(painter);
            for (const ReportLine &line : pages.at(number)) {
                paintLine(painter, line, y);
                y += m_lineHeight;
            }
            paintFooter(painter, printedAt, number + 1, int(pages.size()));
        }
    }

private:
    double headerHeight() const
    {
        return QFontMetricsF(m_title, &m_device).height() * 1.4
               + m_lineHeight * (m_layout.headerLines.size() + 0.6);
    }
    double footerHeight() const { return m_lineHeight * 1.6; }
    double millimetres(double mm) const { return mm * m_device.logicalDpiX() / 25.4; }

    double paintHeader(QPainter &painter) const
    {
        painter.setFont(m_title);
        const double titleHeight = QFontMetricsF(m_title, &m_device).height() * 1.4;
        painter.drawText(QRectF(0, 0, m_page.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         m_layout.title);
        double y = titleHeight;
        painter.setFont(m_body);
        for (const QString &line : m_layout.headerLines) {
            painter.drawText(QRectF(0, y, m_page.width(), m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter, line);
            y += m_lineHeight;
        }
        y += m_lineHeight * 0.3;
        painter.drawLine(QPointF(0, y), QPointF(m_page.width(), y));
        return y + m_lineHeight * 0.3;
    }

    void paintFooter(QPainter &painter, const QDateTime &printedAt, int page, int pages) const
    {
        const double top = m_page.height() - m_lineHeight;
        painter.setFont(m_body);
        painter.drawLine(QPointF(0, top - m_lineHeight * 0.3), QPointF(m_page.width(), top - m_lineHeight * 0.3));
        const QLocale locale(QLocale::Portuguese, QLocale::Brazil);
        const QRectF area(0, top, m_page.width(), m_lineHeight);
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                         tr("Impresso em %1").arg(locale.toString(printedAt, QStringLiteral("dd/MM/yyyy HH:mm"))));
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, tr("Página %1 de %2").arg(page).arg(pages));
    }

    void paintLine(QPainter &painter, const ReportLine &line, double y) const
    {
        const QFont &font = line.bold ? m_bold : m_body;
        painter.setFont(font);
        const QFontMetricsF metrics(font, &m_device);
        const double left = millimetres(4) * line.indent;
        const double width = m_page.width() - left;
        if (line.kind == ReportLine::Text) {
            painter.drawText(QRectF(left, y, width, m_lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(line.text, Qt::ElideRight, width));
            return;
        }
        const double gap = millimetres(1.5);
        for (const ReportCell &cell : line.cells) {
            const QRectF box(left + cell.left * width, y, cell.width * width - gap, m_lineHeight);
            painter.drawText(box, (cell.alignRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             metrics.elidedText(cell.text, Qt::ElideRight, box.width()));
        }
        if (line.kind == ReportLine::Titles) {
            const double base = y + m_lineHeight - 1;
            painter.drawLine(QPointF(left, base), QPointF(m_page.width(), base));
        }
    }

    const ReportLayout &m_layout;
    QPagedPaintDevice &m_device;
    QFont m_body;
    QFont m_bold;
    QFont m_title;
    double m_lineHeight;
    QRectF m_page;
};

} // namespace

int paintReport(const ReportLayout &layout, QPagedPaintDevice &device, const QDateTime &printedAt)
{
    PagePainter painter(layout, device);
    const QList<ReportPage> pages = painter.paginate();
    painter.paint(pages, printedAt);
    return int(pages.size());
}
