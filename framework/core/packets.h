#pragma once

#include <QByteArrayView>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <QVector>

class JsonReader;

// The value types a field or packet column can hold.
enum class FieldType { Text, Integer, Real, DateTime, Boolean };

QString fieldTypeName(FieldType type);
// Throws UserError for an unknown name.
FieldType fieldTypeFromName(const QString &name);

// JSON form of one value: date-times as local ISO 8601 text without zone,
// empty values as null.
QJsonValue valueToJson(const QVariant &value);
// Reads a JSON value as the given type; null gives an invalid QVariant.
// Throws UserError when the value cannot be read as that type.
QVariant valueFromJson(const QJsonValue &json, FieldType type);

struct PacketField
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
};

// Rows of named, typed columns, as the application server sends them:
// {"fields":[{"name":..,"type":..,"size":..}],"rows":[[..],..]}
struct DataPacket
{
    QVector<PacketField> fields;
    QVector<QVector<QVariant>> rows;

    int indexOf(const QString &fieldName) const; // -1 when absent
    QJsonObject toJson() const;
    // Throws UserError on a malformed packet.
    static DataPacket fromJson(const QJsonValue &json);
    // The same from the packet's JSON text, read value by value straight
    // into the rows (no document in between). Each row is made with room for
    // `rowCapacity` values when that is more than its columns, so that a
    // dataset with calculated fields takes it over without growing it.
    // Throws UserError on a malformed packet or text.
    static DataPacket fromJsonText(QByteArrayView text, qsizetype rowCapacity = 0);
    // Reads a packet value where the reader stands, inside a larger text.
    // Throws UserError on a malformed packet, JsonSyntaxError on bad text.
    static DataPacket read(JsonReader &reader, qsizetype rowCapacity = 0);
};

enum class ChangeKind { Insert, Modify, Delete };
QString changeKindName(ChangeKind kind);

// One logged change of a client dataset: the values the row had when read
// (modify, delete) and the values it has now (insert, modify), by field name.
struct Change
{
    ChangeKind kind = ChangeKind::Insert;
    QVariantMap oldValues;
    QVariantMap newValues;
};

// The pending changes of a dataset, applied by the server in one transaction:
// {"changes":[{"kind":"insert|modify|delete","old":{..},"new":{..}}]}
// Read back from JSON, date-times stay ISO texts: only the receiver knows the
// column types.
struct ChangePacket
{
    QVector<Change> changes;

    bool isEmpty() const { return changes.isEmpty(); }
    QJsonObject toJson() const;
    // Throws UserError on a malformed packet.
    static ChangePacket fromJson(const QJsonValue &json);
};
