#include "data/adoibquery.h"

#include "core/abort.h"
#include "data/dtmdbgeral.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

FieldType fieldTypeOf(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Real;
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return FieldType::DateTime;
    case QMetaType::Bool:
        return FieldType::Boolean;
    default:
        return FieldType::Text;
    }
}

// SQLite keeps date-times as texts, often with a blank between date and time.
QVariant normalized(const QVariant &value, FieldType type)
{
    if (type == FieldType::DateTime && value.typeId() == QMetaType::QString) {
        QString text = value.toString();
        if (text.size() > 10 && text.at(10) == QLatin1Char(' '))
            text[10] = QLatin1Char('T');
        return text;
    }
    return value;
}

} // namespace

QStringList statementParameters(const QString &statement)
{
    QStringList names;
    QChar quote;
    for (int i = 0; i < statement.size(); ++i) {
        const QChar c = statement.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            continue;
        }
        if (c != QLatin1Char(':'))
            continue;
        if (i + 1 < statement.size() && statement.at(i + 1) == QLatin1Char(':')) {
            ++i;
            continue;
        }
        int end = i + 1;
        while (end < statement.size() && isNameChar(statement.at(end)))
            ++end;
        const QString name = statement.mid(i + 1, end - i - 1);
        if (!name.isEmpty() && !names.contains(name, Qt::CaseInsensitive))
            names << name;
        i = end - 1;
    }
    return names;
}

TADOIBQuery::TADOIBQuery(QObject *parent)
    : ClientDataSet(parent), m_connectionName(QLatin1String(DBGeralConnectionName))
{
}

TParam &TADOIBQuery::ParamByName(const QString &name)
{
    const QString key = name.toUpper();
    const auto found = m_params.find(key);
    if (found != m_params.end())
        return found->second;
    for (const QStringList *slot : {&SQL, &SQL_ORACLE, &SQL_MSSQL, &SQL_IB}) {
        if (statementParameters(slot->join(QLatin1Char('\n'))).contains(name, Qt::CaseInsensitive))
            return m_params.emplace(key, TParam(name)).first->second;
    }
    throw UserError(QStringLiteral("Parâmetro '%1' não encontrado em %2.").arg(name, objectName()));
}

QString TADOIBQuery::ActiveStatement() const
{
    const QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
    const QString driver = database.driverName();
    const QStringList *slot = &SQL_ORACLE;
    if (driver == QLatin1String("QODBC"))
        slot = &SQL_MSSQL;
    else if (driver == QLatin1String("QIBASE"))
        slot = &SQL_IB;
    return (slot->isEmpty() ? SQL : *slot).join(QLatin1Char('\n'));
}

void TADOIBQuery::Open()
{
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(*this);
    LoadFromPacket(runStatement(ActiveStatement()));
}

DataPacket TADOIBQuery::runStatement(const QString &statement)
{
    QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
    if (!database.isOpen())
        throw UserError(QStringLiteral("O banco de dados não está conectado."));
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.prepare(statement))
        throw UserError(query.lastError().text());
    for (const QString &name : statementParameters(statement)) {
        const auto found = m_params.find(name.toUpper());
        query.bindValue(QLatin1Char(':') + name,
                        found == m_params.end() ? QVariant() : found->second.Value());
    }
    if (!query.exec())
        throw UserError(query.lastError().text());

    DataPacket packet;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        packet.fields << packetField(record.fieldName(i), record.field(i).metaType());
    while (query.next()) {
        QVector<QVariant> row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i)
            row << normalized(query.value(i), packet.fields.at(i).type);
        packet.rows << row;
    }
    return packet;
}

PacketField TADOIBQuery::packetField(const QString &columnName, QMetaType type) const
{
    if (const Field *field = FindField(columnName))
        return PacketField{field->FieldName(), field->DataType(), field->Size()};
    return PacketField{columnName.toUpper(), fieldTypeOf(type), 0};
}
