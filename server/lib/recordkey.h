#pragma once

#include "lib/sqlsession.h"

#include <QDateTime>
#include <QString>
#include <QVariantList>

// Identity of a service record: branch, patient, service date and sequence.
struct RecordKey
{
    QString branch;
    QString patient;
    QDateTime date;
    QString sequence;

    // "CDFILIAL = ? AND CDPACIENTE = ? AND DTSERVINTE = ? AND NRSEQUSERV = ?",
    // columns prefixed with the alias when one is given.
    static QString condition(const QString &alias = {});
    QVariantList binds() const;
    // From column values by name (a change's key).
    static RecordKey fromValues(const QVariantMap &values);

    bool operator==(const RecordKey &other) const = default;
};

// The highest of the first column's numbers (sequences and item numbers are
// texts of digits) as decimal text, "0" when there are no rows.
QString highestNumber(const QVector<SqlRow> &rows);

// Deleting a parent deletes its dependents in the same transaction, so no
// occurrence outlives its item and no item its service record. Each row
// deleted is recorded in the audit trail.
void deleteRecordOccurrences(SqlSession &session, const RecordKey &record);
void deleteRecordItems(SqlSession &session, const RecordKey &record);
void deleteItemOccurrences(SqlSession &session, const RecordKey &record, const QString &itemNumber);
