#include "report/reportlayout.h"

#include "data/codelist.h"
#include "report/reportdefinition.h"
#include "report/reportquery.h"
#include "report/reporttemplate.h"

#include <QCoreApplication>
#include <QVariant>

namespace {

// One total being summed for the open instance of its group.
struct RunningTotal
{
    const ReportTotal *total = nullptr;
    double sum = 0;
    int count = 0;

    QVariant value() const
    {
        return total->function == QLatin1String("count") ? QVariant(count) : QVariant(sum);
    }
    void add(const ReportRows &rows, const QVector<QVariant> &row)
    {
        const int column = total->field.isEmpty() ? -1 : rows.indexOf(total->field);
        const QVariant value = column >= 0 ? row.at(column) : QVariant();
        if (!total->field.isEmpty() && value.isNull())
            return;
        sum += value.toDouble();
        ++count;
    }
};

class LayoutBuilder
{
public:
    LayoutBuilder(const ReportDefinition &definition, const ReportRows &rows, const TReportParams &params)
        : m_definition(definition), m_rows(rows), m_params(params)
    {
    }

    ReportLayout build()
    {
        const ReportLookup noRow = [this](const QString &name, QVariant *value) {
            return lookup(nullptr, {}, name, value);
        };
        m_layout.title = fillReportTemplate(m_definition.title, noRow);
        for (const QString &line : m_definition.headerLines)
            m_layout.headerLines << fillReportTemplate(line, noRow);
        const QString chosen = chosenCriteria();
        if (!chosen.isEmpty())
            m_layout.headerLines << chosen;
        if (m_rows.rows.isEmpty()) {
            ReportLine empty;
            empty.text = m_definition.emptyText;
            m_layout.lines << empty;
            return m_layout;
        }
        const int levels = int(m_definition.groups.size());
        m_totals.resize(levels);
        m_headers.fill(-1, levels);
        const QVector<QVariant> *previous = nullptr;
        for (const QVector<QVariant> &row : m_rows.rows) {
            const int changed = previous ? firstChangedLevel(*previous, row) : 0;
            if (previous) {
                for (int level = levels - 1; level >= changed; --level)
                    closeGroup(level, *previous);
            }
            for (int level = changed; level < levels; ++level)
                openGroup(level, row);
            addDetail(row);
            previous = &row;
        }
        for (int level = levels - 1; level >= 0; --level)
            closeGroup(level, *previous);
        return m_layout;
    }

private:
    // "Critérios: Ala 01, 03 · Dieta D001" for the criteria limited to a
    // list, so a partial report never passes for the whole; empty when every
    // criterion holds all values.
    QString chosenCriteria() const
    {
        QStringList chosen;
        for (const auto &[parameter, name] : m_definition.criteria) {
            const TParam *param = m_params.Find(parameter);
            const QString value = param ? param->Value().toString() : QString();
            if (value.isEmpty() || value == QLatin1String("T"))
                continue;
            QStringList codes;
            chosen << name + QLatin1Char(' ')
                          + (ParseCodeListStrict(value, &codes) ? codes.join(QStringLiteral(", ")) : value);
        }
        if (chosen.isEmpty())
            return {};
        return QCoreApplication::translate("ReportLayout", "Critérios: %1").arg(chosen.join(QStringLiteral(" · ")));
    }

    QVariant field(const QVector<QVariant> &row, const QString &name) const
    {
        const int column = m_rows.indexOf(name);
        return column >= 0 ? row.at(column) : QVariant();
    }

    bool lookup(const QVector<QVariant> *row, const QList<RunningTotal> &totals, const QString &name,
                QVariant *value) const
    {
        for (const RunningTotal &total : totals) {
            if (total.total->name.compare(name, Qt::CaseInsensitive) == 0) {
                *value = total.value();
                return true;
            }
        }
        if (row && m_rows.indexOf(name) >= 0) {
            *value = field(*row, name);
            return true;
        }
        if (const TParam *param = m_params.Find(name)) {
            *value = param->Value();
            return true;
        }
        return false;
    }

    int firstChangedLevel(const QVector<QVariant> &previous, const QVector<QVariant> &row) const
    {
        for (int level = 0; level < m_definition.groups.size(); ++level) {
            for (const QString &key : m_definition.groups.at(level).key) {
                if (field(previous, key) != field(row, key))
                    return level;
            }
        }
        return int(m_definition.groups.size());
    }

    static bool skipped(const ReportBand &band, const QVariant &guard) { return !band.skipWhenNull.isEmpty() && guard.isNull(); }

    // The headers of the open instances of the outermost `levels` levels.
    QList<int> openHeaders(int levels) const
    {
        QList<int> open;
        for (int level = 0; level < levels; ++level) {
            if (m_headers.at(level) >= 0)
                open << m_headers.at(level);
        }
        return open;
    }

    // Adds the band's line (and its column titles when due); returns the
    // line's index, or -1 when the band prints nothing for the row.
    int emitBand(const ReportBand &band, int bandId, const QVector<QVariant> &row,
                 const QList<RunningTotal> &totals, bool opensGroup, const QList<int> &openGroups)
    {
        if (band.isEmpty() || skipped(band, field(row, band.skipWhenNull)))
            return -1;
        const ReportLookup lookupRow = [this, &row, &totals](const QString &name, QVariant *value) {
            return lookup(&row, totals, name, value);
        };
        ReportLine line;
        line.bold = band.bold;
        line.indent = band.indent;
        line.opensGroup = opensGroup;
        line.openGroups = openGroups;
        if (band.columns.isEmpty()) {
            line.text = fillReportTemplate(band.text, lookupRow);
            m_layout.lines << line;
            if (opensGroup)
                m_titlesDue.clear();
            return int(m_layout.lines.size()) - 1;
        }
        line.kind = ReportLine::Cells;
        line.band = bandId;
        ReportLine titles = line;
        titles.kind = ReportLine::Titles;
        titles.bold = true;
        titles.opensGroup = true;
        double total = 0;
        for (const ReportColumn &column : band.columns)
            total += column.width;
        double left = 0;
        for (const ReportColumn &column : band.columns) {
            const double width = column.width / total;
            line.cells << ReportCell{fillReportTemplate(column.value, lookupRow), left, width, column.alignRight};
            titles.cells << ReportCell{column.title, left, width, column.alignRight};
            left += width;
        }
        m_layout.titles.insert(bandId, titles);
        if (!m_titlesDue.contains(bandId)) {
            m_layout.lines << titles;
            m_titlesDue << bandId;
        }
        m_layout.lines << line;
        return int(m_layout.lines.size()) - 1;
    }

    void openGroup(int level, const QVector<QVariant> &row)
    {
        const ReportGroup &group = m_definition.groups.at(level);
        m_totals[level].clear();
        for (const ReportTotal &total : group.totals)
            m_totals[level] << RunningTotal{&total};
        // Totals of outer groups taken once per instance of this one.
        if (!skipped(group.header, field(row, group.header.skipWhenNull))) {
            for (int outer = 0; outer < level; ++outer) {
                for (RunningTotal &total : m_totals[outer]) {
                    if (total.total->over == group.name)
                        total.add(m_rows, row);
                }
            }
        }
        m_headers[level] = emitBand(group.header, 2 * level, row, {}, true, openHeaders(level));
    }

    void closeGroup(int level, const QVector<QVariant> &lastRow)
    {
        emitBand(m_definition.groups.at(level).footer, 2 * level + 1, lastRow, m_totals.at(level), false,
                 openHeaders(level + 1));
        m_headers[level] = -1;
    }

    void addDetail(const QVector<QVariant> &row)
    {
        const int detailBand = 2 * int(m_definition.groups.size());
        if (skipped(m_definition.detail, field(row, m_definition.detail.skipWhenNull)))
            return;
        for (QList<RunningTotal> &totals : m_totals) {
            for (RunningTotal &total : totals) {
                if (total.total->over.isEmpty())
                    total.add(m_rows, row);
            }
        }
        emitBand(m_definition.detail, detailBand, row, {}, false, openHeaders(int(m_headers.size())));
    }

    const ReportDefinition &m_definition;
    const ReportRows &m_rows;
    const TReportParams &m_params;
    ReportLayout m_layout;
    QVector<QList<RunningTotal>> m_totals;   // per level, for its open instance
    QVector<int> m_headers;                  // per level, the line of its open instance's header; -1 for none
    QList<int> m_titlesDue;                  // bands whose titles were printed since the last group header
};

} // namespace

ReportLayout layoutReport(const ReportDefinition &definition, const ReportRows &rows,
                          const TReportParams &params)
{
    return LayoutBuilder(definition, rows, params).build();
}
