#include "lib/changeapplier.h"

#include "lib/audittrail.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

namespace {

// Reals are volumes, speeds, weights and hours: a difference below this is
// the same value seen through another conversion, not somebody's edit.
constexpr double realTolerance = 1e-6;

const QString missingParentMessage = QStringLiteral(
    "O registro ao qual este pertence não existe mais. Recarregue os dados e tente novamente.");

enum class Kind { Insert, Modify, Delete };

Kind kindOf(const QString &name)
{
    if (name == QLatin1String("insert"))
        return Kind::Insert;
    if (name == QLatin1String("modify"))
        return Kind::Modify;
    if (name == QLatin1String("delete"))
        return Kind::Delete;
    throw RequestError(QStringLiteral("Pacote de alterações inválido: tipo de alteração desconhecido \"%1\".").arg(name));
}

QJsonObject objectMember(const QJsonObject &change, const QString &name)
{
    const QJsonValue value = change.value(name);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isObject())
        throw RequestError(QStringLiteral("Pacote de alterações inválido: \"%1\" deve ser um objeto.").arg(name));
    return value.toObject();
}

// WHERE clause matching the row by key and by the original values it had.
QString matchClause(const TableDef &table, const RowValues &old, QVariantList &binds)
{
    QStringList conditions;
    for (const ColumnDef &column : table.columns) {
        if (!old.contains(column.name) || !column.compared)
            continue;
        const QVariant value = old.value(column.name);
        if (column.key) {
            conditions << column.name + QStringLiteral(" = ?");
            binds << value;
        } else if (column.type == ColumnType::Text) {
            // Drivers bind an empty text as null: compare both sides folded.
            conditions << QStringLiteral("COALESCE(%1, '') = COALESCE(?, '')").arg(column.name);
            binds << value;
        } else if (value.isNull()) {
            conditions << column.name + QStringLiteral(" IS NULL");
        } else if (column.type == ColumnType::Real) {
            conditions << QStringLiteral("ABS(%1 - ?) < %2").arg(column.name).arg(realTolerance);
            binds << value;
        } else {
            conditions << column.name + QStringLiteral(" = ?");
            binds << value;
        }
    }
    return conditions.join(QStringLiteral(" AND "));
}

// A write refused for repeating a key; the packet may be applied again.
struct RepeatedKey
{
};

void insertRow(SqlSession &session, RowValues values, const ChangeRules &rules)
{
    keyValues(rules.table, values);
    if (rules.prepareWrite)
        rules.prepareWrite(session, values, true);
    try {
        auditedInsert(session, rules.table, values);
    } catch (const DatabaseError &error) {
        if (error.kind() == DatabaseError::Kind::DuplicateKey)
            throw RepeatedKey();
        if (error.kind() == DatabaseError::Kind::MissingParent)
            throw RequestError(missingParentMessage);
        throw;
    }
}

void requireMatch(SqlSession &session, const TableDef &table, const QString &where, const QVariantList &binds)
{
    const auto rows = session.select(QStringLiteral("SELECT 1 FROM %1 WHERE %2").arg(table.name, where), binds);
    if (rows.isEmpty())
        throw RequestError(staleMessage());
}

void modifyRow(SqlSession &session, const RowValues &old, RowValues values, const ChangeRules &rules)
{
    const RowValues key = keyValues(rules.table, old);
    for (auto it = key.begin(); it != key.end(); ++it)
        values.insert(it.key(), it.value());
    if (rules.prepareWrite)
        rules.prepareWrite(session, values, false);
    QStringList assignments;
    QVariantList binds;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (rules.table.column(it.key())->key)
            continue;
        assignments << it.key() + QStringLiteral(" = ?");
        binds << it.value();
    }
    QVariantList matchBinds;
    const QString where = matchClause(rules.table, old, matchBinds);
    if (assignments.isEmpty()) {
        requireMatch(session, rules.table, where, matchBinds);
        return;
    }
    if (auditedUpdate(session, rules.table, assignments.join(QStringLiteral(", ")), binds, where, matchBinds) == 0)
        throw RequestError(staleMessage());
}

void deleteRow(SqlSession &session, const RowValues &old, const ChangeRules &rules)
{
    const RowValues key = keyValues(rules.table, old);
    QVariantList binds;
    const QString where = matchClause(rules.table, old, binds);
    requireMatch(session, rules.table, where, binds);
    if (rules.beforeDelete)
        rules.beforeDelete(session, key);
    if (auditedDelete(session, rules.table, where, binds) == 0)
        throw RequestError(staleMessage());
}

} // namespace

QString staleMessage()
{
    return QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.");
}

QVariant columnValue(const ColumnDef &column, const QJsonValue &value)
{
    if (value.isNull() || value.isUndefined())
        return QVariant();
    const auto invalid = [&column]() {
        return RequestError(QStringLiteral("Valor inválido para o campo %1.").arg(column.name));
    };
    switch (column.type) {
    case ColumnType::Text: {
        QString text;
        if (value.isString())
            text = value.toString();
        else if (value.isDouble())
            text = QString::number(value.toDouble(), 'g', 15);
        else
            throw invalid();
        if (text.size() > column.size)
            throw RequestError(QStringLiteral("O campo %1 aceita no máximo %2 caracteres.").arg(column.name).arg(column.size));
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case ColumnType::Real: {
        if (value.isDouble())
            return value.toDouble();
        bool ok = false;
        const double number = value.toString().toDouble(&ok);
        if (!value.isString() || !ok)
            throw invalid();
        return number;
    }
    case ColumnType::DateTime: {
        bool ok = false;
        const QDateTime dateTime = parseDateTime(value.toVariant(), &ok);
        if (!value.isString() || !ok)
            throw invalid();
        return dateTime.isValid() ? QVariant(canonicalDateTime(dateTime)) : QVariant();
    }
    }
    throw invalid();
}

RowValues tableValues(const TableDef &table, const QJsonObject &object)
{
    RowValues values;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (const ColumnDef *column = table.column(it.key()))
            values.insert(column->name, columnValue(*column, it.value()));
    }
    return values;
}

RowValues keyValues(const TableDef &table, const RowValues &values)
{
    RowValues key;
    for (const QString &name : table.keyNames()) {
        const QVariant value = values.value(name);
        if (value.isNull())
            throw RequestError(QStringLiteral("Campo %1 deve ser informado.").arg(name));
        key.insert(name, value);
    }
    return key;
}

namespace {

QJsonArray changeList(const QJsonValue &packet)
{
    const QJsonValue changes = packet.toObject().value(QStringLiteral("changes"));
    if (!changes.isArray())
        throw RequestError(QStringLiteral("Pacote de alterações inválido: falta a lista \"changes\"."));
    return changes.toArray();
}

void applyEach(SqlSession &session, const QJsonArray &changes, const ChangeRules &rules)
{
    for (const QJsonValue &changeValue : changes) {
        if (!changeValue.isObject())
            throw RequestError(QStringLiteral("Pacote de alterações inválido: alteração que não é um objeto."));
        const QJsonObject change = changeValue.toObject();
        const Kind kind = kindOf(change.value(QStringLiteral("kind")).toString());
        const RowValues old = tableValues(rules.table, objectMember(change, QStringLiteral("old")));
        const RowValues values = tableValues(rules.table, objectMember(change, QStringLiteral("new")));
        switch (kind) {
        case Kind::Insert:
            insertRow(session, values, rules);
            break;
        case Kind::Modify:
            modifyRow(session, old, values, rules);
            break;
        case Kind::Delete:
            deleteRow(session, old, rules);
            break;
        }
    }
}

void applyOnce(SqlSession &session, const QJsonArray &changes, const ChangeRules &rules)
{
    Transaction transaction(session);
    applyEach(session, changes, rules);
    transaction.commit();
}

} // namespace

void applyChanges(SqlSession &session, const QJsonValue &packet, const ChangeRules &rules)
{
    const QJsonArray changes = changeList(packet);
    for (int attempt = 1;; ++attempt) {
        try {
            applyOnce(session, changes, rules);
            return;
        } catch (const RepeatedKey &) {
            if (attempt >= rules.attempts)
                throw RequestError(rules.duplicateMessage);
        }
    }
}

void applyChangesInTransaction(SqlSession &session, const QJsonValue &packet, const ChangeRules &rules)
{
    try {
        applyEach(session, changeList(packet), rules);
    } catch (const RepeatedKey &) {
        throw RequestError(rules.duplicateMessage);
    }
}
