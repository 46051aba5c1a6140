#include "lib/recordkey.h"

#include "lib/audittrail.h"
#include "lib/database.h"

QString RecordKey::condition(const QString &alias)
{
    const QString prefix = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    return QStringLiteral("%1CDFILIAL = ? AND %1CDPACIENTE = ? AND %1DTSERVINTE = ? AND %1NRSEQUSERV = ?").arg(prefix);
}

QVariantList RecordKey::binds() const
{
    return {branch, patient, dateTimeBind(date), sequence};
}

RecordKey RecordKey::fromValues(const QVariantMap &values)
{
    return {values.value(QStringLiteral("CDFILIAL")).toString(), values.value(QStringLiteral("CDPACIENTE")).toString(),
            parseDateTime(values.value(QStringLiteral("DTSERVINTE"))),
            values.value(QStringLiteral("NRSEQUSERV")).toString()};
}

QString highestNumber(const QVector<SqlRow> &rows)
{
    int highest = 0;
    for (const SqlRow &row : rows)
        highest = std::max(highest, row.first().toString().trimmed().toInt());
    return QString::number(highest);
}

void deleteRecordOccurrences(SqlSession &session, const RecordKey &record)
{
    auditedDelete(session, Schema::table(QStringLiteral("OCORINFU")), RecordKey::condition(), record.binds());
}

void deleteRecordItems(SqlSession &session, const RecordKey &record)
{
    deleteRecordOccurrences(session, record);
    auditedDelete(session, Schema::table(QStringLiteral("CONFESCO")), RecordKey::condition(), record.binds());
}

void deleteItemOccurrences(SqlSession &session, const RecordKey &record, const QString &itemNumber)
{
    auditedDelete(session, Schema::table(QStringLiteral("OCORINFU")),
                  RecordKey::condition() + QStringLiteral(" AND CDSEQUCOPR = ?"), record.binds() << itemNumber);
}
