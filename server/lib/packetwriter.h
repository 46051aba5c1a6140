#pragma once

#include "lib/jsontext.h"
#include "lib/sqlsession.h"

#include <QString>
#include <QVector>

#include <functional>

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
    // `sendPart`, when given, takes the text written so far each time it
    // has grown past a part's size, after a whole row; finish() then gives
    // the rest.
    explicit PacketWriter(const PacketColumns &columns, std::function<void(JsonText &&)> sendPart = {});
    // The packet of the session's call: sent in parts when the call's
    // answer is (the writer takes SqlSession::onPacketPart).
    PacketWriter(const PacketColumns &columns, SqlSession &session);
    void add(const QVariant &value);
    // The whole packet, or what was not sent yet; the writer is done after this.
    JsonText finish();
    // Parts of a packet sent in parts: large enough that a part costs little
    // to send, small enough that the client reads while the rows are read.
    static constexpr qsizetype partBytes = 64 * 1024;
    // What closes a packet whose text was cut after a whole row.
    static QByteArray closingAfterRow() { return QByteArrayLiteral("]}"); }

private:
    PacketColumns m_columns;
    std::function<void(JsonText &&)> m_sendPart;
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
