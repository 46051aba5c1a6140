#pragma once

#include "data/adoibquery.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

class QSqlDatabase;
struct ReportDefinition;

// The parameters of a report's query, which the report screen fills by name
// before the query runs. A parameter left unset is bound as null.
class TReportParams
{
public:
    explicit TReportParams(const QStringList &names = {});

    bool ExistParam(const QString &name) const;
    // Throws UserError when the query has no parameter of that name.
    TParam &ParamByName(const QString &name);
    const TParam *Find(const QString &name) const;
    QStringList Names() const;

private:
    std::vector<TParam> m_params;
};

// The parameter names of a report statement, in order of first appearance:
// every ":NAME", also those inside code-list conditions.
QStringList reportParameterNames(const QString &sql);

// A statement ready to run: its text and the value of each named placeholder.
struct BoundStatement
{
    QString sql;
    QList<QPair<QString, QVariant>> binds;   // placeholder name without ':', value
};

// Turns a report statement into one with every value bound. A code-list
// condition "{<column> IN :NAME}" becomes "(1=1)" when the parameter is "T"
// (all values), "(<column> IN (:NAME__1, ...))" with one bound placeholder
// per code of the list, or "(1=0)" for an empty or malformed list, so a list
// never reaches the SQL text. Dates are bound as "yyyy-MM-ddTHH:mm:ss" text,
// which SQLite and PostgreSQL compare alike; those named in `endOfDay` as the
// last second of their day.
BoundStatement bindReportStatement(const QString &sql, const TReportParams &params,
                                   const QStringList &endOfDay);

// The rows of a report query.
struct ReportRows
{
    QStringList fields;
    QList<QVector<QVariant>> rows;

    int indexOf(const QString &field) const { return int(fields.indexOf(field.toUpper())); }
};

// Runs the definition's statement on the connection; throws UserError with
// the database's message when it fails.
ReportRows runReportQuery(const QSqlDatabase &database, const ReportDefinition &definition,
                          const TReportParams &params);

// The parameters of a statement that stand in code-list conditions.
QStringList reportListParameterNames(const QString &sql);
