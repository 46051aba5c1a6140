#pragma once

#include "lib/schema.h"
#include "lib/sqlsession.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVariantMap>

#include <functional>

// Column values ready to bind, by column name: texts as QString (empty as
// null), reals as double, date-times as canonical text.
using RowValues = QVariantMap;

// How the change packets of one table are applied.
struct ChangeRules
{
    const TableDef &table;
    // Shown when an insert repeats an existing key.
    QString duplicateMessage;
    // Adjusts the values of an insert or modify before they are written
    // (derived columns, extra checks); may throw RequestError.
    std::function<void(SqlSession &, RowValues &values, bool inserting)> prepareWrite;
    // Runs before a row is deleted, in the same transaction (dependent rows).
    std::function<void(SqlSession &, const RowValues &key)> beforeDelete;
    // How often a packet whose insert repeated a key is applied, each time in
    // a new transaction: worth more than one when prepareWrite gives the row
    // a free key, which another server may have taken meanwhile.
    int attempts = 1;
};

// Applies a change packet {"changes":[{"kind","old","new"}]} in one
// transaction: all of it or nothing. Only the table's own columns are read
// from the packet; other names (joined display fields) are ignored.
//   insert: writes the new values; a repeated key fails with duplicateMessage.
//   modify: finds the row by the key of the old values and requires every
//           compared column given in the old values to still hold that value;
//           writes the non-key columns of the new values (keys never change).
//   delete: the same match as modify, then deletes the row.
// A row that is gone or changed fails the whole packet with staleMessage().
// Every row written is recorded in the audit trail (see audittrail.h).
// A repeated key is tried again as rules.attempts says.
// Throws RequestError.
void applyChanges(SqlSession &session, const QJsonValue &packet, const ChangeRules &rules);
// The same inside a transaction the caller has opened, for a request that
// writes other rows too and commits them together; a repeated key fails at
// once with duplicateMessage (the caller's transaction cannot be tried again
// here).
void applyChangesInTransaction(SqlSession &session, const QJsonValue &packet, const ChangeRules &rules);

QString staleMessage();

// Reads one packet value as the column's type; throws RequestError naming the
// column when it cannot be read or is longer than the column.
QVariant columnValue(const ColumnDef &column, const QJsonValue &value);

// The table's columns present in a packet object, read as their types.
RowValues tableValues(const TableDef &table, const QJsonObject &object);
// The key columns of the values; throws RequestError naming a missing one.
RowValues keyValues(const TableDef &table, const RowValues &values);
