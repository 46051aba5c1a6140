#pragma once

#include "sqlsession.h"

#include <QJsonObject>
#include <QJsonValue>
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

// Rows hold their values in column order, as read from a query (the SELECT
// list follows the columns).
QJsonObject makePacket(const PacketColumns &columns, const QVector<SqlRow> &rows);
QJsonValue packetValue(const QVariant &value, PacketType type);
// Runs the query and makes a packet of its rows.
QJsonObject queryPacket(SqlSession &session, const PacketColumns &columns, const QString &sql,
                        const QVariantList &binds);
