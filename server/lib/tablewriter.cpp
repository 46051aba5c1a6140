#include "lib/tablewriter.h"

#include "lib/schema.h"

#include <QStringList>

void insertRow(SqlSession &session, const QString &table, const QVariantList &values)
{
    const TableDef &def = Schema::table(table);
    if (int(def.columns.size()) != values.size())
        throw std::logic_error("insertRow: wrong value count for " + table.toStdString());
    QStringList marks;
    QVariantList binds;
    for (const QVariant &value : values) {
        marks << QStringLiteral("?");
        switch (value.typeId()) {
        case QMetaType::QDate:
            binds << dateTimeBind(value.toDate().startOfDay());
            break;
        case QMetaType::QDateTime:
            binds << dateTimeBind(value.toDateTime());
            break;
        default:
            binds << value;
        }
    }
    session.execute(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(QStringLiteral(", "))), binds);
}
