#include "packetwriter.h"

#include <QJsonArray>

namespace {

QString typeName(PacketType type)
{
    switch (type) {
    case PacketType::Text:
        return QStringLiteral("text");
    case PacketType::Integer:
        return QStringLiteral("integer");
    case PacketType::Real:
        return QStringLiteral("real");
    case PacketType::DateTime:
        return QStringLiteral("datetime");
    case PacketType::Boolean:
        return QStringLiteral("boolean");
    }
    return {};
}

} // namespace

QJsonValue packetValue(const QVariant &value, PacketType type)
{
    if (value.isNull())
        return QJsonValue::Null;
    switch (type) {
    case PacketType::Text: {
        const QString text = value.toString();
        return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
    }
    case PacketType::Integer:
        return value.toLongLong();
    case PacketType::Real:
        return value.toDouble();
    case PacketType::DateTime: {
        const QDateTime dateTime = dateTimeFromColumn(value);
        return dateTime.isValid() ? QJsonValue(canonicalDateTime(dateTime)) : QJsonValue(QJsonValue::Null);
    }
    case PacketType::Boolean:
        return value.toBool();
    }
    return QJsonValue::Null;
}

QJsonObject makePacket(const PacketColumns &columns, const QVector<SqlRow> &rows)
{
    QJsonArray fields;
    for (const PacketColumn &column : columns) {
        QJsonObject field{{QStringLiteral("name"), column.name}, {QStringLiteral("type"), typeName(column.type)}};
        if (column.size > 0)
            field.insert(QStringLiteral("size"), column.size);
        fields.append(field);
    }
    QJsonArray jsonRows;
    for (const SqlRow &row : rows) {
        QJsonArray values;
        for (int i = 0; i < columns.size(); ++i)
            values.append(packetValue(i < row.size() ? row.at(i) : QVariant(), columns.at(i).type));
        jsonRows.append(values);
    }
    return {{QStringLiteral("fields"), fields}, {QStringLiteral("rows"), jsonRows}};
}

QJsonObject queryPacket(SqlSession &session, const PacketColumns &columns, const QString &sql,
                        const QVariantList &binds)
{
    return makePacket(columns, session.select(sql, binds));
}
