#pragma once

#include "lib/jsontext.h"
#include "lib/sqlsession.h"

#include <QString>
#include <QVector>

// The server's side of the data packet wire form:
//   {"fields":[{"name":"CDPACIENTE","type":"text","size":12},...],"rows":[[...],...]}
// Types: text, integer, real, datetime, boolean; date-times as local ISO text
// without zone; empty values as null.
enum class PacketType { Text, Integer, Real, DateTime, Boolean };

struct PacketColumn
{
    QString name;
    PacketType type = PacketType::Text;
    int size = 0;
};

using PacketColumns = QVector<PacketColumn>;

inline PacketColumn textColumn(const QString &name, int size) { return {name, PacketType::Text, size}; }
inline PacketColumn realColumn(const QString &name) { return {name, PacketType::Real, 0}; }
inline PacketColumn dateColumn(const QString &name) { return {name, PacketType::DateTime, 0}; }

// Writes a packet's JSON text value by value, in column order, row after
// row: a row is closed when its last column is written.
class PacketWriter
{
public:
    explicit PacketWriter(const PacketColumns &columns);
    void add(const QVariant &value);
    // The whole packet; the writer is done after this.
    JsonText finish();

private:
    PacketColumns m_columns;
    JsonText m_text;
    int m_column = 0;
    bool m_firstRow = true;
};

// A packet of rows holding their values in column order (missing trailing
// values are null).
JsonText makePacket(const PacketColumns &columns, const QVector<SqlRow> &rows);
// Runs the query (its SELECT list follows the columns) and makes a packet
// of its rows.
JsonText queryPacket(SqlSession &session, const PacketColumns &columns, const QString &sql,
                     const QVariantList &binds);
