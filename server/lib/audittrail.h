#pragma once

#include "lib/schema.h"
#include "lib/sqlsession.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

// The audit trail (table AUDITORIA, described in schema.h). Every row a
// method writes goes through these functions, which record it in the same
// transaction with the session's call origin and the server's clock: a
// packet that fails takes its trail back with it, and nothing changes a row
// without leaving its entry. A row written with the values it already had
// leaves none.

// Inserts a row given its column values by name, and records it as stored.
// Throws DatabaseError as SqlSession::execute does.
void auditedInsert(SqlSession &session, const TableDef &table, const QVariantMap &values);

// Runs "UPDATE <table> SET <assignments> WHERE <where>" and records every row
// it changed. Answers the number of rows the condition matched.
int auditedUpdate(SqlSession &session, const TableDef &table, const QString &assignments,
                  const QVariantList &assignmentBinds, const QString &where, const QVariantList &whereBinds);

// Runs "DELETE FROM <table> WHERE <where>" and records every row it deleted.
// Answers their number.
int auditedDelete(SqlSession &session, const TableDef &table, const QString &where, const QVariantList &binds);

// The trail's form of a row's key, as DSCHAVE holds it: the compact JSON
// object of the table's key columns, date-times in canonical text. Values
// are read by column name, as query values or packet values.
QString auditKey(const TableDef &table, const QVariantMap &values);
