#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <vector>

// The suite database: one description per table, from which the DDL of both
// dialects is generated and against which change packets are checked (only
// the columns named here are ever written).
enum class ColumnType { Text, Real, DateTime };

struct ColumnDef
{
    QString name;
    ColumnType type = ColumnType::Text;
    int size = 0;          // text width
    bool key = false;      // part of the primary key
    bool compared = true;  // checked against the original value on modify/delete
};

struct TableDef
{
    QString name;
    std::vector<ColumnDef> columns;
    QString parent;        // table whose primary key the leading key columns reference
    int parentKeyCount = 0;

    const ColumnDef *column(const QString &name) const;
    QStringList keyNames() const;
    // "A, B, C": every column in schema order, as a SELECT list.
    QString columnList() const;
    // Position of a column in schema order, -1 when absent.
    int columnIndex(const QString &name) const;
};

namespace Schema {

// Every table, parents before children.
const std::vector<TableDef> &tables();
const TableDef &table(const QString &name);

// True when the database already holds the tables.
bool exists(QSqlDatabase &db);
// Creates every table and index (the database must be empty of them) and
// records the current schema version.
void create(QSqlDatabase &db);
// Creates the tables and indexes the database lacks (the audit trail and
// the login history among them) and adds the columns its tables lack (an upgrade step; see
// schemaversion.h).
void addMissing(QSqlDatabase &db);
// Drops every table (children first) and the version table; used to reset test databases.
void drop(QSqlDatabase &db);

// The audit trail, written only by the server's audited writes (see
// audittrail.h) and never by a change packet: it is not among tables().
//   NRAUDITORIA  increasing number of the entry (newest is highest)
//   DTAUDITORIA  server time of the change
//   CDOPERADOR   operator of the call
//   NMMETODO     method that made the change
//   TPALTERACAO  "insert", "modify" or "delete"
//   NMTABELA     table of the row
//   DSCHAVE      key of the row: JSON object of its key columns
//   DSANTERIOR   the row before the change (JSON object), null for an insert
//   DSNOVO       the row after the change (JSON object), null for a delete
inline const QString auditTable = QStringLiteral("AUDITORIA");

// The login history, written only by the server's logins and logouts (see
// loginhistory.h), read through getAuditoria; not among tables() either.
//   NRHISTENTRADA  increasing number of the entry (newest is highest)
//   DTHISTENTRADA  server time of the login or logout
//   CDOPERADOR     operator code as given (null when none was)
//   DSCLIENTE      client address
//   TPEVENTO       "entrada" or "saida"
//   DSRESULTADO    of a login "aceita", "recusada", "bloqueada" or "ocupado";
//                  of a logout "encerrada", "expirada" or "nova senha"
//   QTTENTATIVAS   logins the row stands for: 1, but for refusals gathered
//                  while an operator or address is locked
inline const QString loginHistoryTable = QStringLiteral("HISTENTRADA");

} // namespace Schema
