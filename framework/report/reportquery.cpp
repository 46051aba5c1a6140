#include "report/reportquery.h"

#include "core/abort.h"
#include "data/codelist.h"
#include "report/reportdefinition.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportQuery", text);
}

QVariant boundValue(const QVariant &value, bool endOfDay)
{
    const int type = value.typeId();
    if (type != QMetaType::QDate && type != QMetaType::QDateTime)
        return value;
    const QDateTime moment = endOfDay ? value.toDate().endOfDay()
                             : type == QMetaType::QDate ? value.toDate().startOfDay()
                                                        : value.toDateTime();
    return moment.isValid() ? QVariant(moment.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))) : QVariant();
}

// A code-list condition: "{<column> IN :NAME}".
const QRegularExpression &listPattern()
{
    static const QRegularExpression pattern(QStringLiteral("\\{\\s*([^{}]+?)\\s+IN\\s+:(\\w+)\\s*\\}"),
                                            QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// The condition that replaces a code-list condition, adding the bound codes.
QString listCondition(const QString &column, const QString &name, const TParam *param,
                      QList<QPair<QString, QVariant>> &binds)
{
    const QString value = param ? param->AsString() : QString();
    if (value == QLatin1String("T"))
        return QStringLiteral("(1=1)");
    QStringList codes;
    if (!ParseCodeListStrict(value, &codes) || codes.isEmpty())
        return QStringLiteral("(1=0)");
    QStringList placeholders;
    for (int i = 0; i < codes.size(); ++i) {
        const QString placeholder = QStringLiteral("%1__%2").arg(name).arg(i + 1);
        placeholders << QLatin1Char(':') + placeholder;
        binds << qMakePair(placeholder, QVariant(codes.at(i)));
    }
    return QStringLiteral("(%1 IN (%2))").arg(column, placeholders.join(QStringLiteral(", ")));
}

} // namespace

TReportParams::TReportParams(const QStringList &names)
{
    for (const QString &name : names)
        m_params.emplace_back(name);
}

bool TReportParams::ExistParam(const QString &name) const
{
    return Find(name) != nullptr;
}

const TParam *TReportParams::Find(const QString &name) const
{
    for (const TParam &param : m_params) {
        if (param.Name().compare(name, Qt::CaseInsensitive) == 0)
            return &param;
    }
    return nullptr;
}

TParam &TReportParams::ParamByName(const QString &name)
{
    const TParam *found = Find(name);
    if (!found)
        throw UserError(tr("O relatório não tem o parâmetro %1.").arg(name));
    return const_cast<TParam &>(*found);
}

QStringList TReportParams::Names() const
{
    QStringList names;
    for (const TParam &param : m_params)
        names << param.Name();
    return names;
}

QStringList reportParameterNames(const QString &sql)
{
    return statementParameters(sql);
}

QStringList reportListParameterNames(const QString &sql)
{
    QStringList names;
    QRegularExpressionMatchIterator matches = listPattern().globalMatch(sql);
    while (matches.hasNext()) {
        const QString name = matches.next().captured(2);
        if (!names.contains(name, Qt::CaseInsensitive))
            names << name;
    }
    return names;
}

BoundStatement bindReportStatement(const QString &sql, const TReportParams &params,
                                   const QStringList &endOfDay)
{
    BoundStatement bound;
    QList<QPair<QString, QVariant>> codeBinds;
    qsizetype last = 0;
    QRegularExpressionMatchIterator matches = listPattern().globalMatch(sql);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        bound.sql += sql.mid(last, match.capturedStart() - last);
        bound.sql += listCondition(match.captured(1), match.captured(2), params.Find(match.captured(2)),
                                   codeBinds);
        last = match.capturedEnd();
    }
    bound.sql += sql.mid(last);

    for (const QString &name : statementParameters(bound.sql)) {
        const auto code = std::find_if(codeBinds.cbegin(), codeBinds.cend(),
                                       [&name](const auto &bind) { return bind.first == name; });
        if (code != codeBinds.cend()) {
            bound.binds << *code;
            continue;
        }
        const TParam *param = params.Find(name);
        bound.binds << qMakePair(name, param ? boundValue(param->Value(), endOfDay.contains(name, Qt::CaseInsensitive))
                                             : QVariant());
    }
    return bound;
}

ReportRows runReportQuery(const QSqlDatabase &database, const ReportDefinition &definition,
                          const TReportParams &params)
{
    const BoundStatement bound = bindReportStatement(definition.sql, params, definition.endOfDayParameters);
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(bound.sql))
        throw UserError(tr("O SQL do relatório %1 falhou: %2").arg(definition.code, query.lastError().text()));
    for (const auto &bind : bound.binds)
        query.bindValue(QLatin1Char(':') + bind.first, bind.second);
    if (!query.exec())
        throw UserError(tr("O SQL do relatório %1 falhou: %2").arg(definition.code, query.lastError().text()));

    ReportRows result;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        result.fields << record.fieldName(i).toUpper();
    while (query.next()) {
        QVector<QVariant> row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << query.value(i);
        result.rows << row;
    }
    return result;
}
