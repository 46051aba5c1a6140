// Statistics of a branch over a period of service dates: prescriptions,
// volumes prescribed and infused per service and diet, and the
// interruptions of infusion by occurrence type.
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

#include <QSqlQuery>

namespace {

// Which items count: the open system ("A"), the closed one ("F") or all ("T").
struct Period
{
    QString branch;
    QDateTime from;   // midnight of the first day
    QDateTime until;  // midnight after the last day
    QString preparation;

    // Conditions on the items (alias C) of the period; their values follow
    // in binds().
    QString condition() const
    {
        QString text = QStringLiteral("C.CDFILIAL = ? AND C.DTSERVINTE >= ? AND C.DTSERVINTE < ?");
        if (preparation != QLatin1String("T"))
            text += QStringLiteral(" AND C.IDPREPCONF = ?");
        return text;
    }
    QVariantList binds() const
    {
        QVariantList values{branch, dateTimeBind(from), dateTimeBind(until)};
        if (preparation != QLatin1String("T"))
            values << preparation;
        return values;
    }
};

// Arguments: first day, last day, preparation, branch (the statistics
// methods share them).
Period periodOf(const MethodArgs &args)
{
    const QDateTime first = args.dateTime(0);
    const QDateTime last = args.dateTime(1);
    if (!first.isValid() || !last.isValid())
        throw RequestError(QStringLiteral("As datas inicial e final do período devem ser informadas."));
    if (first.date() > last.date())
        throw RequestError(QStringLiteral("A data inicial deve ser menor ou igual à data final."));
    const QString preparation = args.text(2);
    if (preparation != QLatin1String("A") && preparation != QLatin1String("F") && preparation != QLatin1String("T"))
        throw RequestError(
            QStringLiteral("Requisição inválida: preparação \"%1\" desconhecida (use A, F ou T).").arg(preparation));
    return {args.text(3), first.date().startOfDay(), last.date().addDays(1).startOfDay(), preparation};
}

PacketColumn integerColumn(const QString &name)
{
    return {name, PacketType::Integer, 0};
}

// Per service and diet: the service records with items of the period, their
// items, the volumes prescribed and infused and the share infused (percent
// of the prescribed volume; empty when nothing was prescribed).
JsonText getEstatDieta(SqlSession &session, const MethodArgs &args)
{
    const Period period = periodOf(args);
    PacketWriter packet({textColumn(QStringLiteral("CDSERVFILI"), 5), textColumn(QStringLiteral("NMSERVICO"), 40),
                         textColumn(QStringLiteral("CDDIETPAD"), 4), textColumn(QStringLiteral("DSDIETPAD"), 50),
                         integerColumn(QStringLiteral("QTPRESCRICOES")), integerColumn(QStringLiteral("QTITENS")),
                         realColumn(QStringLiteral("QTPRESCRITO")), realColumn(QStringLiteral("QTINFUNDIDO")),
                         realColumn(QStringLiteral("PCENTREGUE"))});
    // The items are summed per service record first, so each record counts
    // once however many items it has.
    const QString sql = QStringLiteral(
        "SELECT V.CDSERVFILI, S.NMSERVICO, V.CDDIETPAD, D.DSDIETPAD, COUNT(*), SUM(R.ITENS),"
        " SUM(R.PRESCRITO), SUM(R.INFUNDIDO)"
        " FROM (SELECT C.CDFILIAL, C.CDPACIENTE, C.DTSERVINTE, C.NRSEQUSERV, COUNT(*) AS ITENS,"
        "       SUM(COALESCE(C.QTPRATCONF, 0)) AS PRESCRITO, SUM(COALESCE(C.QTINFUCONF, 0)) AS INFUNDIDO"
        "       FROM CONFESCO C WHERE %1"
        "       GROUP BY C.CDFILIAL, C.CDPACIENTE, C.DTSERVINTE, C.NRSEQUSERV) R"
        " JOIN SERVINTE V ON V.CDFILIAL = R.CDFILIAL AND V.CDPACIENTE = R.CDPACIENTE"
        "  AND V.DTSERVINTE = R.DTSERVINTE AND V.NRSEQUSERV = R.NRSEQUSERV"
        " LEFT JOIN SERVICO S ON S.CDFILIAL = V.CDFILIAL AND S.CDSERVFILI = V.CDSERVFILI"
        " LEFT JOIN DIETPADR D ON D.CDDIETPAD = V.CDDIETPAD"
        " GROUP BY V.CDSERVFILI, S.NMSERVICO, V.CDDIETPAD, D.DSDIETPAD"
        " ORDER BY V.CDSERVFILI, V.CDDIETPAD").arg(period.condition());
    session.forEachRow(sql, period.binds(), [&packet](const QSqlQuery &query) {
        for (int i = 0; i < 8; ++i)
            packet.add(query.value(i));
        const double prescribed = query.value(6).toDouble();
        packet.add(prescribed > 0 ? QVariant(100.0 * query.value(7).toDouble() / prescribed) : QVariant());
    });
    return packet.finish();
}

// Per occurrence type that interrupts the infusion (IDINTERRUPCAO "S"): how
// often it happened to items of the period, and to how many patients.
JsonText getEstatInterrupcao(SqlSession &session, const MethodArgs &args)
{
    const Period period = periodOf(args);
    const PacketColumns columns = {textColumn(QStringLiteral("CDTPOCORINFU"), 3),
                                   textColumn(QStringLiteral("NMTPOCORINFU"), 100),
                                   integerColumn(QStringLiteral("QTINTERRUPCOES")),
                                   integerColumn(QStringLiteral("QTPACIENTES"))};
    const QString sql = QStringLiteral(
        "SELECT T.CDTPOCORINFU, T.NMTPOCORINFU, COUNT(*), COUNT(DISTINCT O.CDPACIENTE)"
        " FROM OCORINFU O"
        " JOIN TPOCORINFU T ON T.CDTPOCORINFU = O.CDTPOCORINFU"
        " JOIN CONFESCO C ON C.CDFILIAL = O.CDFILIAL AND C.CDPACIENTE = O.CDPACIENTE"
        "  AND C.DTSERVINTE = O.DTSERVINTE AND C.NRSEQUSERV = O.NRSEQUSERV AND C.CDSEQUCOPR = O.CDSEQUCOPR"
        " WHERE T.IDINTERRUPCAO = 'S' AND %1"
        " GROUP BY T.CDTPOCORINFU, T.NMTPOCORINFU"
        " ORDER BY COUNT(*) DESC, T.CDTPOCORINFU").arg(period.condition());
    return queryPacket(session, columns, sql, period.binds());
}

} // namespace

void addStatisticsMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getEstatDieta"), {A::DateTime, A::DateTime, A::Text, A::Text}, getEstatDieta});
    table.append({QStringLiteral("getEstatInterrupcao"), {A::DateTime, A::DateTime, A::Text, A::Text},
                  getEstatInterrupcao});
}
