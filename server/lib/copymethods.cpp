// Formulation copy: the service records of a patient's day, and the copy of
// every item of one service record into another, written in one transaction.
#include "lib/audittrail.h"
#include "lib/itemrules.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/prescriberrule.h"
#include "lib/recordkey.h"
#include "lib/requesterror.h"

namespace {

// Item numbers are four digits wide.
constexpr int highestItemNumber = 9999;
constexpr int itemNumberWidth = 4;

const QString sameRecordMessage =
    QStringLiteral("O serviço de destino deve ser diferente do serviço de origem.");
const QString missingTargetMessage = QStringLiteral("Serviço de destino não cadastrado.");
const QString emptySourceMessage = QStringLiteral("O serviço de origem não tem itens para copiar.");
const QString exhaustedMessage = QStringLiteral("Numeração de itens do serviço de destino esgotada.");

// The day's bounds as bound values: from its midnight to the next one.
QVariantList dayBinds(const QDateTime &day)
{
    const QDateTime start = day.date().startOfDay();
    return {dateTimeBind(start), dateTimeBind(start.addDays(1))};
}

// Arguments: patient, date, branch. The patient's service records of that
// day with their service, diet and number of items.
JsonText getServDia(SqlSession &session, const MethodArgs &args)
{
    const QDateTime day = args.dateTime(1);
    if (!day.isValid())
        throw RequestError(QStringLiteral("Requisição inválida: a data deve ser informada."));
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDFILIAL"), 4),   textColumn(QStringLiteral("CDPACIENTE"), 12),
        dateColumn(QStringLiteral("DTSERVINTE")),    textColumn(QStringLiteral("NRSEQUSERV"), 2),
        textColumn(QStringLiteral("CDSERVFILI"), 5), textColumn(QStringLiteral("NMSERVICO"), 40),
        textColumn(QStringLiteral("CDDIETPAD"), 4),  textColumn(QStringLiteral("DSDIETPAD"), 50),
        {QStringLiteral("QTITENS"), PacketType::Integer, 0},
    };
    return queryPacket(
        session, columns,
        QStringLiteral("SELECT V.CDFILIAL, V.CDPACIENTE, V.DTSERVINTE, V.NRSEQUSERV, V.CDSERVFILI, S.NMSERVICO,"
                       " V.CDDIETPAD, D.DSDIETPAD,"
                       " (SELECT COUNT(*) FROM CONFESCO C WHERE C.CDFILIAL = V.CDFILIAL AND C.CDPACIENTE = V.CDPACIENTE"
                       "  AND C.DTSERVINTE = V.DTSERVINTE AND C.NRSEQUSERV = V.NRSEQUSERV)"
                       " FROM SERVINTE V"
                       " LEFT JOIN SERVICO S ON S.CDFILIAL = V.CDFILIAL AND S.CDSERVFILI = V.CDSERVFILI"
                       " LEFT JOIN DIETPADR D ON D.CDDIETPAD = V.CDDIETPAD"
                       " WHERE V.CDFILIAL = ? AND V.CDPACIENTE = ? AND V.DTSERVINTE >= ? AND V.DTSERVINTE < ?"
                       " ORDER BY V.DTSERVINTE, V.NRSEQUSERV"),
        QVariantList{args.text(2), args.text(0)} + dayBinds(day));
}

void requireTarget(SqlSession &session, const RecordKey &target)
{
    // Locked on PostgreSQL, so the record cannot be deleted under the copy.
    const QString lock = session.dialect() == Dialect::PostgreSQL ? QStringLiteral(" FOR UPDATE") : QString();
    if (session.select(QStringLiteral("SELECT 1 FROM SERVINTE WHERE ") + RecordKey::condition() + lock, target.binds())
            .isEmpty())
        throw RequestError(missingTargetMessage);
}

// One source item as the target's new item: the target's key, the next
// number, the consumption date moved by as many days as the service date,
// and no infused volume (what was infused belongs to the day it was given).
QVariantMap copiedItem(const TableDef &items, const SqlRow &row, const RecordKey &target, int number, qint64 dayShift)
{
    QVariantMap values;
    for (size_t i = 0; i < items.columns.size(); ++i)
        values.insert(items.columns[i].name, row.value(qsizetype(i)));
    const QVariantList key = target.binds();
    values.insert(QStringLiteral("CDFILIAL"), key.at(0));
    values.insert(QStringLiteral("CDPACIENTE"), key.at(1));
    values.insert(QStringLiteral("DTSERVINTE"), key.at(2));
    values.insert(QStringLiteral("NRSEQUSERV"), key.at(3));
    values.insert(QStringLiteral("CDSEQUCOPR"), QStringLiteral("%1").arg(number, itemNumberWidth, 10, QLatin1Char('0')));
    const QDateTime consumption = dateTimeFromColumn(values.value(QStringLiteral("DTCONSCONF")));
    values.insert(QStringLiteral("DTCONSCONF"),
                  consumption.isValid() ? dateTimeBind(consumption.addDays(dayShift)) : QVariant());
    values.insert(QStringLiteral("QTINFUCONF"), QVariant());
    return values;
}

// Arguments: source patient, source service date, source sequence, target
// patient, target service date, target sequence, branch. Answers the
// source and new number of each copied item.
JsonText copiaFormulacao(SqlSession &session, const MethodArgs &args)
{
    const QString branch = args.text(6);
    const RecordKey source{branch, args.text(0), args.dateTime(1), args.text(2)};
    const RecordKey target{branch, args.text(3), args.dateTime(4), args.text(5)};
    if (!source.date.isValid() || !target.date.isValid())
        throw RequestError(QStringLiteral("Requisição inválida: as datas dos serviços devem ser informadas."));
    if (source == target)
        throw RequestError(sameRecordMessage);

    PrescriberRule::requireNutritionist(session, branch);

    const TableDef &items = Schema::table(QStringLiteral("CONFESCO"));
    Transaction transaction(session);
    requireTarget(session, target);
    const QVector<SqlRow> rows = session.select(QStringLiteral("SELECT %1 FROM CONFESCO WHERE %2 ORDER BY CDSEQUCOPR")
                                                    .arg(items.columnList(), RecordKey::condition()),
                                                source.binds());
    if (rows.isEmpty())
        throw RequestError(emptySourceMessage);
    const int highest =
        highestNumber(session.select(QStringLiteral("SELECT CDSEQUCOPR FROM CONFESCO WHERE ") + RecordKey::condition(),
                                     target.binds()))
            .toInt();
    if (highest + rows.size() > highestItemNumber)
        throw RequestError(exhaustedMessage);

    const qint64 dayShift = source.date.date().daysTo(target.date.date());
    const int numberColumn = items.columnIndex(QStringLiteral("CDSEQUCOPR"));
    PacketWriter answer({textColumn(QStringLiteral("CDSEQUORIG"), 4), textColumn(QStringLiteral("CDSEQUCOPR"), 4)});
    int number = highest;
    for (const SqlRow &row : rows) {
        const QVariantMap values = copiedItem(items, row, target, ++number, dayShift);
        try {
            auditedInsert(session, items, values);
        } catch (const DatabaseError &error) {
            // Another copy or post took the number meanwhile.
            if (error.kind() == DatabaseError::Kind::DuplicateKey)
                throw RequestError(itemChangeRules().duplicateMessage);
            throw;
        }
        answer.add(row.value(numberColumn));
        answer.add(values.value(QStringLiteral("CDSEQUCOPR")));
    }
    transaction.commit();
    return answer.finish();
}

} // namespace

void addCopyMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getServDia"), {A::Text, A::DateTime, A::Text}, getServDia});
    table.append({QStringLiteral("CopiaFormulacao"),
                  {A::Text, A::DateTime, A::Text, A::Text, A::DateTime, A::Text, A::Text},
                  copiaFormulacao});
}
