#include "lib/packetwriter.h"

namespace {

const char *typeName(PacketType type)
{
    switch (type) {
    case PacketType::Text:
        return "text";
    case PacketType::Integer:
        return "integer";
    case PacketType::Real:
        return "real";
    case PacketType::DateTime:
        return "datetime";
    case PacketType::Boolean:
        return "boolean";
    }
    return "text";
}

void appendDateTime(QByteArray &out, const QVariant &value)
{
    // SQLite hands back the stored canonical text: copy it once its shape
    // is checked, without building a QDateTime (its local-time conversion
    // dominates a list of patients otherwise).
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (isCanonicalDateTime(text)) {
            const qsizetype start = out.size();
            out.resize(start + text.size() + 2);
            char *next = out.data() + start;
            *next++ = '"';
            for (qsizetype i = 0; i < text.size(); ++i)
                *next++ = i == 10 ? 'T' : char(text.at(i).unicode());
            *next = '"';
            return;
        }
    }
    const QDateTime dateTime = dateTimeFromColumn(value);
    if (dateTime.isValid())
        appendJsonString(out, canonicalDateTime(dateTime));
    else
        out.append("null");
}

void appendValue(QByteArray &out, const QVariant &value, PacketType type)
{
    if (value.isNull()) {
        out.append("null");
        return;
    }
    switch (type) {
    case PacketType::Text: {
        const QString text = value.toString();
        if (text.isEmpty())
            out.append("null");
        else
            appendJsonString(out, text);
        return;
    }
    case PacketType::Integer:
        out.append(QByteArray::number(value.toLongLong()));
        return;
    case PacketType::Real:
        appendJsonNumber(out, value.toDouble());
        return;
    case PacketType::DateTime:
        appendDateTime(out, value);
        return;
    case PacketType::Boolean:
        out.append(value.toBool() ? "true" : "false");
        return;
    }
}

} // namespace

PacketWriter::PacketWriter(const PacketColumns &columns, std::function<void(JsonText &&)> sendPart)
    : m_columns(columns), m_sendPart(std::move(sendPart))
{
    m_text.reserve(1024);
    m_text.append("{\"fields\":[");
    for (int i = 0; i < columns.size(); ++i) {
        const PacketColumn &column = columns.at(i);
        m_text.append(i == 0 ? "{\"name\":" : ",{\"name\":");
        appendJsonString(m_text, column.name);
        m_text.append(",\"type\":\"").append(typeName(column.type)).append('"');
        if (column.size > 0)
            m_text.append(",\"size\":").append(QByteArray::number(column.size));
        m_text.append('}');
    }
    m_text.append("],\"rows\":[");
}

PacketWriter::PacketWriter(const PacketColumns &columns, SqlSession &session)
    : PacketWriter(columns, std::exchange(session.onPacketPart, {}))
{
}

void PacketWriter::add(const QVariant &value)
{
    if (m_column == 0) {
        m_text.append(m_firstRow ? "[" : ",[");
        m_firstRow = false;
    } else {
        m_text.append(',');
    }
    appendValue(m_text, value, m_columns.at(m_column).type);
    if (++m_column == m_columns.size()) {
        m_text.append(']');
        m_column = 0;
        if (m_sendPart && m_text.size() >= partBytes) {
            m_sendPart(std::exchange(m_text, JsonText()));
            m_text.reserve(partBytes + partBytes / 4);
        }
    }
}

JsonText PacketWriter::finish()
{
    while (m_column != 0)
        add(QVariant());
    m_text.append("]}");
    return std::move(m_text);
}

JsonText makePacket(const PacketColumns &columns, const QVector<SqlRow> &rows)
{
    PacketWriter packet(columns);
    for (const SqlRow &row : rows) {
        for (int i = 0; i < columns.size(); ++i)
            packet.add(i < row.size() ? row.at(i) : QVariant());
    }
    return packet.finish();
}

JsonText queryPacket(SqlSession &session, const PacketColumns &columns, const QString &sql,
                     const QVariantList &binds)
{
    PacketWriter packet(columns, session);
    session.forEachRow(sql, binds, [&](const QSqlQuery &query) {
        for (int i = 0; i < columns.size(); ++i)
            packet.add(query.value(i));
    });
    return packet.finish();
}
