#pragma once

#include "core/clientdataset.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>

// A parameter of a query, bound by name (":P_CDFILIAL" in the statement is
// the parameter "P_CDFILIAL"). It keeps its value across Close and Open.
class TParam
{
public:
    explicit TParam(const QString &name = QString()) : m_name(name) {}

    const QString &Name() const { return m_name; }
    QVariant Value() const { return m_value; }
    void SetValue(const QVariant &value) { m_value = value; }
    bool IsNull() const { return m_value.isNull(); }
    void Clear() { m_value = QVariant(); }
    QString AsString() const { return m_value.toString(); }
    void SetAsString(const QString &value) { m_value = value; }
    void SetAsInteger(int value) { m_value = value; }
    void SetAsFloat(double value) { m_value = value; }
    void SetAsDateTime(const QDateTime &value) { m_value = value; }

private:
    QString m_name;
    QVariant m_value;
};

// A lookup query on the shared database connection (dtmDBGeral) whose result
// is the dataset itself: declare persistent fields with AddField before
// opening, or let the result's columns become the fields.
//
// It holds one statement per database dialect, as lines of text. Open runs the
// slot of the dialect in use (SQL_ORACLE on Oracle, SQLite and PostgreSQL,
// SQL_MSSQL on SQL Server, SQL_IB on InterBase), or SQL when that slot is
// empty. Parameters are always bound, never pasted into the text.
class TADOIBQuery : public ClientDataSet
{
    Q_OBJECT
public:
    explicit TADOIBQuery(QObject *parent = nullptr);

    QStringList SQL;
    QStringList SQL_ORACLE;
    QStringList SQL_MSSQL;
    QStringList SQL_IB;

    // The parameter of that name in any of the statements (case-insensitive).
    // Throws UserError when no statement names it.
    TParam &ParamByName(const QString &name);

    // Runs the statement and loads its rows; does nothing when already open.
    // Runs BeforeOpen first (which may end the operation with Abort). Throws
    // UserError with the database's message when the statement fails.
    void Open();
    // The statement Open would run on the connection in use.
    QString ActiveStatement() const;

    // Connection name in QSqlDatabase's registry; dtmDBGeral's by default.
    void SetConnectionName(const QString &name) { m_connectionName = name; }

    std::function<void(TADOIBQuery &)> BeforeOpen;

private:
    DataPacket runStatement(const QString &statement);
    PacketField packetField(const QString &columnName, QMetaType type) const;

    QString m_connectionName;
    std::map<QString, TParam> m_params;   // by upper-case name
};

// The names of the ":NAME" parameters of a statement, in order of first
// appearance; quoted texts and "::" casts are skipped.
QStringList statementParameters(const QString &statement);
