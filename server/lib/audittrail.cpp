#include "lib/audittrail.h"

#include <QDateTime>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStringList>

namespace {

// Widths of the trail's operator and method columns.
constexpr int operatorWidth = 12;
constexpr int methodWidth = 40;

QJsonValue jsonOf(const ColumnDef &column, const QVariant &value)
{
    if (value.isNull())
        return QJsonValue::Null;
    switch (column.type) {
    case ColumnType::Text:
        return value.toString();
    case ColumnType::Real:
        return value.toDouble();
    case ColumnType::DateTime: {
        const QDateTime dateTime = dateTimeFromColumn(value);
        return dateTime.isValid() ? QJsonValue(canonicalDateTime(dateTime)) : QJsonValue::Null;
    }
    }
    return QJsonValue::Null;
}

QString compactText(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// A row read with TableDef::columnList(), as values by column name.
QVariantMap rowValues(const TableDef &table, const SqlRow &row)
{
    QVariantMap values;
    for (size_t i = 0; i < table.columns.size(); ++i)
        values.insert(table.columns[i].name, row.value(qsizetype(i)));
    return values;
}

QJsonObject rowObject(const TableDef &table, const QVariantMap &values)
{
    QJsonObject object;
    for (const ColumnDef &column : table.columns)
        object.insert(column.name, jsonOf(column, values.value(column.name)));
    return object;
}

// One trail entry; `before` or `after` is empty for an insert or a delete.
void record(SqlSession &session, const QString &kind, const TableDef &table, const QVariantMap &key,
            const QJsonObject &before, const QJsonObject &after)
{
    const CallOrigin &origin = session.origin();
    const auto text = [](const QJsonObject &object) { return object.isEmpty() ? QVariant() : QVariant(compactText(object)); };
    const QString operatorCode = origin.operatorCode.left(operatorWidth);
    session.execute(QStringLiteral("INSERT INTO %1 (DTAUDITORIA, CDOPERADOR, NMMETODO, TPALTERACAO, NMTABELA,"
                                   " DSCHAVE, DSANTERIOR, DSNOVO) VALUES (?, ?, ?, ?, ?, ?, ?, ?)")
                        .arg(Schema::auditTable),
                    {dateTimeBind(QDateTime::currentDateTime()), operatorCode.isEmpty() ? QVariant() : operatorCode,
                     origin.method.left(methodWidth), kind, table.name, auditKey(table, key), text(before),
                     text(after)});
}

QVector<SqlRow> returningRows(SqlSession &session, const QString &statement, const TableDef &table,
                              const QVariantList &binds)
{
    return session.select(statement + QStringLiteral(" RETURNING ") + table.columnList(), binds);
}

} // namespace

QString auditKey(const TableDef &table, const QVariantMap &values)
{
    QJsonObject key;
    for (const ColumnDef &column : table.columns) {
        if (column.key)
            key.insert(column.name, jsonOf(column, values.value(column.name)));
    }
    return compactText(key);
}

void auditedInsert(SqlSession &session, const TableDef &table, const QVariantMap &values)
{
    const QStringList columns = values.keys();
    QStringList marks;
    QVariantList binds;
    for (const QString &column : columns) {
        marks << QStringLiteral("?");
        binds << values.value(column);
    }
    const QVector<SqlRow> rows =
        returningRows(session,
                      QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                          .arg(table.name, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                      table, binds);
    for (const SqlRow &row : rows) {
        const QVariantMap stored = rowValues(table, row);
        record(session, QStringLiteral("insert"), table, stored, {}, rowObject(table, stored));
    }
}

int auditedUpdate(SqlSession &session, const TableDef &table, const QString &assignments,
                  const QVariantList &assignmentBinds, const QString &where, const QVariantList &whereBinds)
{
    // The rows as they were, locked on PostgreSQL until the transaction ends
    // (a SQLite writer holds the whole database already).
    const QString lock = session.dialect() == Dialect::PostgreSQL ? QStringLiteral(" FOR UPDATE") : QString();
    const QVector<SqlRow> before = session.select(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3%4").arg(table.columnList(), table.name, where, lock), whereBinds);
    if (before.isEmpty())
        return 0;
    QHash<QString, QJsonObject> oldRows;
    for (const SqlRow &row : before) {
        const QVariantMap values = rowValues(table, row);
        oldRows.insert(auditKey(table, values), rowObject(table, values));
    }
    const QVector<SqlRow> after =
        returningRows(session, QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(table.name, assignments, where), table,
                      assignmentBinds + whereBinds);
    for (const SqlRow &row : after) {
        const QVariantMap values = rowValues(table, row);
        const QJsonObject now = rowObject(table, values);
        const QJsonObject then = oldRows.value(auditKey(table, values));
        if (now != then)
            record(session, QStringLiteral("modify"), table, values, then, now);
    }
    return int(after.size());
}

int auditedDelete(SqlSession &session, const TableDef &table, const QString &where, const QVariantList &binds)
{
    const QVector<SqlRow> rows =
        returningRows(session, QStringLiteral("DELETE FROM %1 WHERE %2").arg(table.name, where), table, binds);
    for (const SqlRow &row : rows) {
        const QVariantMap values = rowValues(table, row);
        record(session, QStringLiteral("delete"), table, values, rowObject(table, values), {});
    }
    return int(rows.size());
}
