#include "core/packets.h"

#include "core/abort.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>

#include <cmath>
#include <limits>

namespace {

// Date-times travel as local time without a zone.
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

template<typename Enum>
struct EnumName
{
    Enum value;
    const char *name;
};

const EnumName<FieldType> kTypeNames[] = {
    {FieldType::Text, "text"},
    {FieldType::Integer, "integer"},
    {FieldType::Real, "real"},
    {FieldType::DateTime, "datetime"},
    {FieldType::Boolean, "boolean"},
};

const EnumName<ChangeKind> kChangeKindNames[] = {
    {ChangeKind::Insert, "insert"},
    {ChangeKind::Modify, "modify"},
    {ChangeKind::Delete, "delete"},
};

template<typename Enum, std::size_t N>
QString nameOf(const EnumName<Enum> (&names)[N], Enum value)
{
    for (const EnumName<Enum> &entry : names) {
        if (entry.value == value)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

template<typename Enum, std::size_t N>
const Enum *valueOf(const EnumName<Enum> (&names)[N], const QString &name)
{
    for (const EnumName<Enum> &entry : names) {
        if (name == QLatin1String(entry.name))
            return &entry.value;
    }
    return nullptr;
}

[[noreturn]] void malformed(const QString &what)
{
    throw UserError(QStringLiteral("Pacote de dados inválido: %1.").arg(what));
}

QJsonArray requireArray(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isArray())
        malformed(QStringLiteral("\"%1\" deve ser uma lista").arg(key));
    return value.toArray();
}

QVariant integerFromJson(const QJsonValue &json)
{
    // Integers beyond 2^53 cannot travel exactly as JSON numbers.
    const double number = json.toDouble();
    if (!json.isDouble() || std::trunc(number) != number || std::abs(number) > 9007199254740992.0)
        malformed(QStringLiteral("o valor %1 não é um inteiro").arg(json.toVariant().toString()));
    const qint64 value = json.toInteger();
    if (value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max())
        return int(value);
    return value;
}

QVariant dateTimeFromJson(const QJsonValue &json)
{
    const QDateTime value = QDateTime::fromString(json.toString(), Qt::ISODate);
    if (!json.isString() || !value.isValid())
        malformed(QStringLiteral("\"%1\" não é uma data e hora").arg(json.toVariant().toString()));
    return value.toLocalTime();
}

QJsonObject valuesToJson(const QVariantMap &values)
{
    QJsonObject object;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        object.insert(it.key(), valueToJson(it.value()));
    return object;
}

QVariantMap valuesFromJson(const QJsonValue &json, const QString &key)
{
    if (json.isUndefined() || json.isNull())
        return {};
    if (!json.isObject())
        malformed(QStringLiteral("\"%1\" deve ser um objeto").arg(key));
    QVariantMap values;
    const QJsonObject object = json.toObject();
    for (auto it = object.begin(); it != object.end(); ++it)
        values.insert(it.key(), it.value().isNull() ? QVariant() : it.value().toVariant());
    return values;
}

} // namespace

QString fieldTypeName(FieldType type)
{
    return nameOf(kTypeNames, type);
}

FieldType fieldTypeFromName(const QString &name)
{
    const FieldType *type = valueOf(kTypeNames, name);
    if (!type)
        malformed(QStringLiteral("tipo de campo desconhecido \"%1\"").arg(name));
    return *type;
}

QJsonValue valueToJson(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toLocalTime().toString(kDateTimeFormat);
    case QMetaType::QDate:
        return value.toDate().startOfDay().toString(kDateTimeFormat);
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    default:
        return value.toString();
    }
}

QVariant valueFromJson(const QJsonValue &json, FieldType type)
{
    if (json.isNull() || json.isUndefined())
        return {};
    switch (type) {
    case FieldType::Text:
        if (!json.isString())
            malformed(QStringLiteral("um texto era esperado"));
        return json.toString();
    case FieldType::Integer:
        return integerFromJson(json);
    case FieldType::Real:
        if (!json.isDouble())
            malformed(QStringLiteral("um número era esperado"));
        return json.toDouble();
    case FieldType::DateTime:
        return dateTimeFromJson(json);
    case FieldType::Boolean:
        if (!json.isBool())
            malformed(QStringLiteral("um valor lógico era esperado"));
        return json.toBool();
    }
    return {};
}

int DataPacket::indexOf(const QString &fieldName) const
{
    for (int i = 0; i < fields.size(); ++i) {
        if (fields.at(i).name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QJsonObject DataPacket::toJson() const
{
    QJsonArray fieldArray;
    for (const PacketField &field : fields) {
        fieldArray.append(QJsonObject{{QStringLiteral("name"), field.name},
                                      {QStringLiteral("type"), fieldTypeName(field.type)},
                                      {QStringLiteral("size"), field.size}});
    }
    QJsonArray rowArray;
    for (const QVector<QVariant> &row : rows) {
        QJsonArray values;
        for (const QVariant &value : row)
            values.append(valueToJson(value));
        rowArray.append(values);
    }
    return {{QStringLiteral("fields"), fieldArray}, {QStringLiteral("rows"), rowArray}};
}

DataPacket DataPacket::fromJson(const QJsonValue &json)
{
    if (!json.isObject())
        malformed(QStringLiteral("um objeto era esperado"));
    const QJsonObject object = json.toObject();
    DataPacket packet;
    for (const QJsonValue &fieldValue : requireArray(object, QStringLiteral("fields"))) {
        const QJsonObject field = fieldValue.toObject();
        const QJsonValue name = field.value(QStringLiteral("name"));
        const QJsonValue size = field.value(QStringLiteral("size"));
        if (!name.isString() || name.toString().isEmpty())
            malformed(QStringLiteral("campo sem nome"));
        if (!size.isUndefined() && !size.isDouble())
            malformed(QStringLiteral("tamanho inválido no campo %1").arg(name.toString()));
        packet.fields.append({name.toString(),
                              fieldTypeFromName(field.value(QStringLiteral("type")).toString()),
                              size.toInt()});
    }
    for (const QJsonValue &rowValue : requireArray(object, QStringLiteral("rows"))) {
        const QJsonArray values = rowValue.toArray();
        if (!rowValue.isArray() || values.size() != packet.fields.size())
            malformed(QStringLiteral("linha com número de valores diferente do de campos"));
        QVector<QVariant> row;
        row.reserve(values.size());
        for (int i = 0; i < values.size(); ++i)
            row.append(valueFromJson(values.at(i), packet.fields.at(i).type));
        packet.rows.append(row);
    }
    return packet;
}

QString changeKindName(ChangeKind kind)
{
    return nameOf(kChangeKindNames, kind);
}

QJsonObject ChangePacket::toJson() const
{
    QJsonArray changeArray;
    for (const Change &change : changes) {
        changeArray.append(QJsonObject{{QStringLiteral("kind"), changeKindName(change.kind)},
                                       {QStringLiteral("old"), valuesToJson(change.oldValues)},
                                       {QStringLiteral("new"), valuesToJson(change.newValues)}});
    }
    return {{QStringLiteral("changes"), changeArray}};
}

ChangePacket ChangePacket::fromJson(const QJsonValue &json)
{
    if (!json.isObject())
        malformed(QStringLiteral("um objeto era esperado"));
    ChangePacket packet;
    for (const QJsonValue &changeValue : requireArray(json.toObject(), QStringLiteral("changes"))) {
        if (!changeValue.isObject())
            malformed(QStringLiteral("alteração que não é um objeto"));
        const QJsonObject object = changeValue.toObject();
        const QString kindName = object.value(QStringLiteral("kind")).toString();
        const ChangeKind *kind = valueOf(kChangeKindNames, kindName);
        if (!kind)
            malformed(QStringLiteral("tipo de alteração desconhecido \"%1\"").arg(kindName));
        Change change;
        change.kind = *kind;
        change.oldValues = valuesFromJson(object.value(QStringLiteral("old")), QStringLiteral("old"));
        change.newValues = valuesFromJson(object.value(QStringLiteral("new")), QStringLiteral("new"));
        packet.changes.append(change);
    }
    return packet;
}
