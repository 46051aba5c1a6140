// Composition items: the item list, numbering, formulation and route
// lookups, and item changes.
#include "lib/itemhour.h"
#include "lib/itemrules.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/recordkey.h"
#include "lib/requesterror.h"

namespace {

// Item list and number requests name the record as patient, then sequence
// and date or date and sequence, then branch.
RecordKey recordOf(const MethodArgs &args, int dateIndex, int sequenceIndex, int branchIndex)
{
    return {args.text(branchIndex), args.text(0), args.dateTime(dateIndex), args.text(sequenceIndex)};
}

// Arguments: patient, sequence, service date, branch.
JsonText getConfesco(SqlSession &session, const MethodArgs &args)
{
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDFILIAL"), 4),       textColumn(QStringLiteral("CDPACIENTE"), 12),
        dateColumn(QStringLiteral("DTSERVINTE")),        textColumn(QStringLiteral("NRSEQUSERV"), 2),
        textColumn(QStringLiteral("CDSEQUCOPR"), 4),     textColumn(QStringLiteral("CDFILAUXPRAT"), 4),
        textColumn(QStringLiteral("CDPRATO"), 10),       realColumn(QStringLiteral("QTSERVCONF")),
        realColumn(QStringLiteral("QTPRATCONF")),        realColumn(QStringLiteral("QTINFUCONF")),
        realColumn(QStringLiteral("HRCONSCONF")),        dateColumn(QStringLiteral("DTCONSCONF")),
        textColumn(QStringLiteral("CDPRODUTO"), 10),     textColumn(QStringLiteral("CDVIACESDIET"), 3),
        textColumn(QStringLiteral("IDPREPCONF"), 1),     textColumn(QStringLiteral("DSOBSCONF"), 255),
        textColumn(QStringLiteral("HRCONF"), 4),         textColumn(QStringLiteral("NMVIACESDIET"), 30),
        textColumn(QStringLiteral("NMPRODUTO"), 50),     textColumn(QStringLiteral("UNIDPRO"), 10),
        textColumn(QStringLiteral("CDARVPROD"), 20),     textColumn(QStringLiteral("NMPRATO"), 40),
        textColumn(QStringLiteral("UNIDPRA"), 10),       textColumn(QStringLiteral("SGUNIDADE"), 5),
        textColumn(QStringLiteral("CDFORMULACAO"), 20),
    };
    // A dish typed by code carries no dish branch: it is the item's branch.
    const QString sql = QStringLiteral(
        "SELECT C.CDFILIAL, C.CDPACIENTE, C.DTSERVINTE, C.NRSEQUSERV, C.CDSEQUCOPR, C.CDFILAUXPRAT, C.CDPRATO,"
        " C.QTSERVCONF, C.QTPRATCONF, C.QTINFUCONF, C.HRCONSCONF, C.DTCONSCONF, C.CDPRODUTO, C.CDVIACESDIET,"
        " C.IDPREPCONF, C.DSOBSCONF, C.HRCONF, V.NMVIACESDIET, P.NMPRODUTO, P.SGUNIDADE, P.CDARVPROD,"
        " R.NMPRATO, R.SGUNIDADE,"
        // Items stored without their formulation text (a generated series)
        // show the code and unit of their dish or product.
        " COALESCE(C.SGUNIDADE, SUBSTR(CASE WHEN C.IDPREPCONF = 'A' THEN R.SGUNIDADE ELSE P.SGUNIDADE END, 1, 5)),"
        " COALESCE(C.CDFORMULACAO, CASE WHEN C.IDPREPCONF = 'A' THEN C.CDPRATO ELSE P.CDARVPROD END)"
        " FROM CONFESCO C"
        " LEFT JOIN VIACESDIET V ON V.CDVIACESDIET = C.CDVIACESDIET"
        " LEFT JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO"
        " LEFT JOIN PRATO R ON R.CDFILIAL = COALESCE(C.CDFILAUXPRAT, C.CDFILIAL) AND R.CDPRATO = C.CDPRATO"
        " WHERE ") + RecordKey::condition(QStringLiteral("C")) + QStringLiteral(" ORDER BY C.CDSEQUCOPR");
    return queryPacket(session, columns, sql, recordOf(args, 2, 1, 3).binds());
}

// Arguments: patient, service date, sequence, branch.
JsonText getNrConfesco(SqlSession &session, const MethodArgs &args)
{
    const auto numbers = session.select(QStringLiteral("SELECT CDSEQUCOPR FROM CONFESCO WHERE ") + RecordKey::condition(),
                                        recordOf(args, 1, 2, 3).binds());
    return makePacket({textColumn(QStringLiteral("CDSEQUCOPR"), 4)}, {{highestNumber(numbers)}});
}

void requireLevelCount(const QString &text)
{
    bool ok = true;
    if (!text.isEmpty() && (text.toInt(&ok) < 0 || !ok))
        throw RequestError(QStringLiteral("Requisição inválida: número de níveis \"%1\" não é um número.").arg(text));
}

// Arguments: preparation, levels of code picture 1, levels of code picture 0,
// branch. Dishes of the branch for "A", products otherwise. Codes are stored
// at their full depth, so the level counts only have to be numbers.
JsonText getFormulacao(SqlSession &session, const MethodArgs &args)
{
    requireLevelCount(args.text(1));
    requireLevelCount(args.text(2));
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDFORMULACAO"), 20), textColumn(QStringLiteral("NMFORMULACAO"), 50),
        textColumn(QStringLiteral("SGFORMULACAO"), 10), textColumn(QStringLiteral("CDFILAUXPRAT"), 4),
        textColumn(QStringLiteral("CDPRODUTO"), 10),
    };
    if (args.text(0) == QLatin1String("A")) {
        return queryPacket(session, columns,
                           QStringLiteral("SELECT CDPRATO, NMPRATO, SGUNIDADE, CDFILIAL, NULL FROM PRATO"
                                          " WHERE CDFILIAL = ? ORDER BY CDPRATO"),
                           {args.text(3)});
    }
    return queryPacket(session, columns,
                       QStringLiteral("SELECT CDARVPROD, NMPRODUTO, SGUNIDADE, NULL, CDPRODUTO FROM PRODUTO"
                                      " ORDER BY CDARVPROD"),
                       {});
}

// The typed text is the hierarchical code or, failing that, the product code.
JsonText getVerifProd(SqlSession &session, const MethodArgs &args)
{
    const QString code = args.text(0);
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDPRODUTO"), 10), textColumn(QStringLiteral("CDARVPROD"), 20),
        textColumn(QStringLiteral("NMPRODUTO"), 50), textColumn(QStringLiteral("SGUNIDADE"), 10),
    };
    auto rows = session.select(QStringLiteral("SELECT CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE FROM PRODUTO"
                                              " WHERE UPPER(CDARVPROD) = UPPER(?)"),
                               {code});
    if (rows.isEmpty()) {
        rows = session.select(QStringLiteral("SELECT CDPRODUTO, CDARVPROD, NMPRODUTO, SGUNIDADE FROM PRODUTO"
                                             " WHERE UPPER(CDPRODUTO) = UPPER(?)"),
                              {code});
    }
    return makePacket(columns, rows.mid(0, 1));
}

JsonText getVerifPrato(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session,
                       {textColumn(QStringLiteral("CDPRATO"), 10), textColumn(QStringLiteral("NMPRATO"), 40),
                        textColumn(QStringLiteral("SGUNIDADE"), 10)},
                       QStringLiteral("SELECT CDPRATO, NMPRATO, SGUNIDADE FROM PRATO WHERE CDFILIAL = ? AND UPPER(CDPRATO) = UPPER(?)"),
                       {args.text(1), args.text(0)});
}

JsonText getVerifViaAcesso(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session,
                       {textColumn(QStringLiteral("CDVIACESDIET"), 3), textColumn(QStringLiteral("NMVIACESDIET"), 30)},
                       QStringLiteral("SELECT CDVIACESDIET, NMVIACESDIET FROM VIACESDIET WHERE UPPER(CDVIACESDIET) = UPPER(?)"),
                       {args.text(0)});
}

JsonText setConfesco(SqlSession &session, const MethodArgs &args)
{
    applyChanges(session, args.changes(0), itemChangeRules());
    return jsonNull();
}

// Arguments: patient, service date, sequence, branch. Deletes every item of
// the record with their occurrences.
JsonText delConf(SqlSession &session, const MethodArgs &args)
{
    Transaction transaction(session);
    deleteRecordItems(session, recordOf(args, 1, 2, 3));
    transaction.commit();
    return jsonNull();
}

} // namespace

ChangeRules itemChangeRules()
{
    ChangeRules rules{Schema::table(QStringLiteral("CONFESCO")),
                      QStringLiteral("Item já cadastrado por outro usuário."),
                      {}, {}};
    // The stored clock text always follows the real hour, so every reader
    // gets the two in agreement (generated items carry only the real hour).
    rules.prepareWrite = [](SqlSession &, RowValues &values, bool) {
        const QVariant hours = values.value(QStringLiteral("HRCONSCONF"));
        if (!hours.isNull())
            values.insert(QStringLiteral("HRCONF"), itemHourText(hours.toDouble()));
    };
    rules.beforeDelete = [](SqlSession &s, const RowValues &key) {
        deleteItemOccurrences(s, RecordKey::fromValues(key), key.value(QStringLiteral("CDSEQUCOPR")).toString());
    };
    return rules;
}

void addItemMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getConfesco"), {A::Text, A::Text, A::DateTime, A::Text}, getConfesco});
    table.append({QStringLiteral("getNrConfesco"), {A::Text, A::DateTime, A::Text, A::Text}, getNrConfesco});
    table.append({QStringLiteral("getFormulacao"), {A::Text, A::Text, A::Text, A::Text}, getFormulacao});
    table.append({QStringLiteral("getVerifProd"), {A::Text}, getVerifProd});
    table.append({QStringLiteral("getVerifPrato"), {A::Text, A::Text}, getVerifPrato});
    table.append({QStringLiteral("getVerifViaAcesso"), {A::Text}, getVerifViaAcesso});
    table.append({QStringLiteral("SetConfesco"), {A::Changes}, setConfesco});
    table.append({QStringLiteral("DelConf"), {A::Text, A::DateTime, A::Text, A::Text}, delConf});
}
