#include "core/packets.h"

#include "core/abort.h"
#include "core/jsonreader.h"

#include <QDate>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

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

QVector<PacketField> fieldsFromJson(const QJsonArray &array)
{
    QVector<PacketField> fields;
    for (const QJsonValue &fieldValue : array) {
        const QJsonObject field = fieldValue.toObject();
        const QJsonValue name = field.value(QStringLiteral("name"));
        const QJsonValue size = field.value(QStringLiteral("size"));
        if (!name.isString() || name.toString().isEmpty())
            malformed(QStringLiteral("campo sem nome"));
        if (!size.isUndefined() && !size.isDouble())
            malformed(QStringLiteral("tamanho inválido no campo %1").arg(name.toString()));
        fields.append({name.toString(), fieldTypeFromName(field.value(QStringLiteral("type")).toString()),
                       size.toInt()});
    }
    return fields;
}

[[noreturn]] void rowSizeMismatch()
{
    malformed(QStringLiteral("linha com número de valores diferente do de campos"));
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
    packet.fields = fieldsFromJson(requireArray(object, QStringLiteral("fields")));
    for (const QJsonValue &rowValue : requireArray(object, QStringLiteral("rows"))) {
        const QJsonArray values = rowValue.toArray();
        if (!rowValue.isArray() || values.size() != packet.fields.size())
            rowSizeMismatch();
        QVector<QVariant> row;
        row.reserve(values.size());
        for (int i = 0; i < values.size(); ++i)
            row.append(valueFromJson(values.at(i), packet.fields.at(i).type));
        packet.rows.append(row);
    }
    return packet;
}

namespace {

// A value of the text as a document holds it: the cells whose kind does not
// match their column are read again by valueFromJson, so that they are
// refused with the same message as from a document.
QJsonValue documentValue(QByteArrayView text)
{
    return QJsonDocument::fromJson('[' + text.toByteArray() + ']').array().at(0);
}

// "yyyy-MM-ddTHH:mm:ss", the form the server writes, read from its bytes;
// invalid for any other text.
QDateTime canonicalDateTime(QByteArrayView text)
{
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':')
        return {};
    int parts[6];
    const int starts[6] = {0, 5, 8, 11, 14, 17};
    for (int i = 0; i < 6; ++i) {
        const int length = i == 0 ? 4 : 2;
        int number = 0;
        for (int at = starts[i]; at < starts[i] + length; ++at) {
            if (text[at] < '0' || text[at] > '9')
                return {};
            number = number * 10 + (text[at] - '0');
        }
        parts[i] = number;
    }
    const QDate date(parts[0], parts[1], parts[2]);
    const QTime time(parts[3], parts[4], parts[5]);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

// The last text read in a column and the value made of it. Columns often
// repeat a value row after row (the day of every item of a record, the
// standard of many inpatients): the value is then shared instead of made
// again, which spares an allocation per text and the local-time conversion
// per date-time, the dearest parts of reading a row.
struct LastText
{
    QByteArrayView text;
    quint64 generation = 0;   // of the reader's text the view points into
    QVariant value;
};

// A string cell without escapes, as `make` reads its bytes; a cell with an
// escape is read whole into a text and given to `escaped`.
template<typename Make, typename Escaped>
QVariant readTextCell(JsonReader &reader, LastText &last, Make make, Escaped escaped)
{
    QByteArrayView bytes;
    if (!reader.readPlainString(bytes))
        return escaped(reader.readString());
    if (last.text.isNull() || last.generation != reader.textGeneration() || bytes != last.text)
        last = {bytes, reader.textGeneration(), make(bytes)};
    return last.value;
}

QVariant dateTimeFromText(const QString &text)
{
    return valueFromJson(text, FieldType::DateTime);
}

QVariant dateTimeFromBytes(QByteArrayView bytes)
{
    const QDateTime value = canonicalDateTime(bytes);
    return value.isValid() ? QVariant(value) : dateTimeFromText(QString::fromUtf8(bytes));
}

QVariant textFromBytes(QByteArrayView bytes)
{
    return QString::fromUtf8(bytes);
}

QVariant textFromText(const QString &text)
{
    return text;
}

QVariant readCell(JsonReader &reader, FieldType type, LastText &last)
{
    using Kind = JsonReader::Kind;
    const Kind kind = reader.peek();
    if (kind == Kind::Null) {
        reader.readNull();
        return {};
    }
    switch (type) {
    case FieldType::Text:
        if (kind == Kind::String)
            return readTextCell(reader, last, textFromBytes, textFromText);
        break;
    case FieldType::Integer:
        if (kind == Kind::Number) {
            bool integral = false;
            qint64 integer = 0;
            const double number = reader.readNumber(&integral, &integer);
            return valueFromJson(integral ? QJsonValue(integer) : QJsonValue(number), type);
        }
        break;
    case FieldType::Real:
        if (kind == Kind::Number)
            return reader.readNumber();
        break;
    case FieldType::DateTime:
        if (kind == Kind::String)
            return readTextCell(reader, last, dateTimeFromBytes, dateTimeFromText);
        break;
    case FieldType::Boolean:
        if (kind == Kind::Boolean)
            return reader.readBoolean();
        break;
    }
    return valueFromJson(documentValue(reader.readRaw()), type);
}

void readRows(JsonReader &reader, DataPacket &packet, qsizetype rowCapacity)
{
    if (reader.peek() != JsonReader::Kind::Array)
        malformed(QStringLiteral("\"rows\" deve ser uma lista"));
    const qsizetype width = packet.fields.size();
    std::vector<LastText> lastTexts(static_cast<size_t>(width));
    reader.beginArray();
    while (reader.nextElement()) {
        if (reader.peek() != JsonReader::Kind::Array)
            rowSizeMismatch();
        QVector<QVariant> row;
        row.reserve(std::max(width, rowCapacity));
        reader.beginArray();
        while (reader.nextElement()) {
            if (row.size() == width)
                rowSizeMismatch();
            const qsizetype column = row.size();
            row.append(readCell(reader, packet.fields.at(column).type, lastTexts[size_t(column)]));
        }
        if (row.size() != width)
            rowSizeMismatch();
        packet.rows.append(std::move(row));
    }
}

} // namespace

DataPacket DataPacket::read(JsonReader &reader, qsizetype rowCapacity)
{
    if (reader.peek() != JsonReader::Kind::Object)
        malformed(QStringLiteral("um objeto era esperado"));
    DataPacket packet;
    bool haveFields = false;
    bool haveRows = false;
    // Rows met before the fields are read once the fields are known (kept
    // as a copy: the reader's text may move as more of it arrives).
    QByteArray rowsText;
    QString key;
    reader.beginObject();
    while (reader.nextKey(key)) {
        const bool fields = key == QLatin1String("fields");
        const bool rows = key == QLatin1String("rows");
        if ((fields && haveFields) || (rows && haveRows))
            malformed(QStringLiteral("\"%1\" repetido").arg(key));
        if (fields) {
            const QJsonValue list = documentValue(reader.readRaw());
            if (!list.isArray())
                malformed(QStringLiteral("\"fields\" deve ser uma lista"));
            packet.fields = fieldsFromJson(list.toArray());
            haveFields = true;
        } else if (rows) {
            haveRows = true;
            if (haveFields)
                readRows(reader, packet, rowCapacity);
            else
                rowsText = reader.readRaw().toByteArray();
        } else {
            reader.skipValue();
        }
    }
    if (!haveFields)
        malformed(QStringLiteral("\"fields\" deve ser uma lista"));
    if (!haveRows)
        malformed(QStringLiteral("\"rows\" deve ser uma lista"));
    if (!rowsText.isNull()) {
        JsonReader rows(rowsText);
        readRows(rows, packet, rowCapacity);
    }
    return packet;
}

DataPacket DataPacket::fromJsonText(QByteArrayView text, qsizetype rowCapacity)
{
    try {
        JsonReader reader(text);
        DataPacket packet = read(reader, rowCapacity);
        reader.expectEnd();
        return packet;
    } catch (const JsonSyntaxError &error) {
        malformed(QStringLiteral("texto JSON inválido (%1)").arg(QString::fromUtf8(error.what())));
    }
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
