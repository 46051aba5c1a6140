// Infusion occurrences of a composition item.
#include "lib/changeapplier.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/recordkey.h"

namespace {

// Arguments: patient, sequence, service date, item number, branch.
JsonText getOcorrencia(SqlSession &session, const MethodArgs &args)
{
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDFILIAL"), 4),   textColumn(QStringLiteral("CDPACIENTE"), 12),
        dateColumn(QStringLiteral("DTSERVINTE")),    textColumn(QStringLiteral("NRSEQUSERV"), 2),
        textColumn(QStringLiteral("CDSEQUCOPR"), 4), dateColumn(QStringLiteral("DTOCORINFU")),
        textColumn(QStringLiteral("CDTPOCORINFU"), 3), textColumn(QStringLiteral("NMTPOCORINFU"), 100),
    };
    const RecordKey record{args.text(4), args.text(0), args.dateTime(2), args.text(1)};
    return queryPacket(session, columns,
                       QStringLiteral("SELECT O.CDFILIAL, O.CDPACIENTE, O.DTSERVINTE, O.NRSEQUSERV, O.CDSEQUCOPR,"
                                      " O.DTOCORINFU, O.CDTPOCORINFU, T.NMTPOCORINFU FROM OCORINFU O"
                                      " LEFT JOIN TPOCORINFU T ON T.CDTPOCORINFU = O.CDTPOCORINFU WHERE ")
                           + RecordKey::condition(QStringLiteral("O"))
                           + QStringLiteral(" AND O.CDSEQUCOPR = ? ORDER BY O.DTOCORINFU, O.CDTPOCORINFU"),
                       record.binds() << args.text(3));
}

JsonText setOcorrencia(SqlSession &session, const MethodArgs &args)
{
    ChangeRules rules{Schema::table(QStringLiteral("OCORINFU")), QStringLiteral("Ocorrência já cadastrada."), {}, {}};
    // The editor checks the type as it is typed; a client that skips the
    // check must not store an occurrence of a type nobody knows.
    rules.prepareWrite = [](SqlSession &s, RowValues &values, bool) {
        const auto known = s.select(QStringLiteral("SELECT 1 FROM TPOCORINFU WHERE CDTPOCORINFU = ?"),
                                    {values.value(QStringLiteral("CDTPOCORINFU"))});
        if (known.isEmpty())
            throw RequestError(QStringLiteral("Ocorrência não cadastrada."));
    };
    applyChanges(session, args.changes(0), rules);
    return jsonNull();
}

// Arguments: patient, service date, sequence, branch.
JsonText delOcorinfu(SqlSession &session, const MethodArgs &args)
{
    Transaction transaction(session);
    deleteRecordOccurrences(session, {args.text(3), args.text(0), args.dateTime(1), args.text(2)});
    transaction.commit();
    return jsonNull();
}

} // namespace

void addOccurrenceMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getOcorrencia"), {A::Text, A::Text, A::DateTime, A::Text, A::Text}, getOcorrencia});
    table.append({QStringLiteral("SetOcorrencia"), {A::Changes}, setOcorrencia});
    table.append({QStringLiteral("DelOcorinfu"), {A::Text, A::DateTime, A::Text, A::Text}, delOcorinfu});
}
