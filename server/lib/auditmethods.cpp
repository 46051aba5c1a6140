// The audit trail's one method: the history of a row, or an operator's
// logins and logouts. The trails have no writing method; only the audited
// writes of the other methods, and the logins, add to them.
#include "lib/audittrail.h"
#include "lib/changeapplier.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const TableDef &auditedTable(const QString &name)
{
    for (const TableDef &table : Schema::tables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return table;
    }
    throw RequestError(QStringLiteral("Tabela desconhecida: %1.").arg(name));
}

// The key argument, {"CDFILIAL":"01",...}, in the trail's form.
QString requestedKey(const TableDef &table, const QString &text)
{
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (!document.isObject())
        throw RequestError(QStringLiteral("Requisição inválida: a chave deve ser um objeto JSON com os campos da chave de %1.")
                               .arg(table.name));
    return auditKey(table, keyValues(table, tableValues(table, document.object())));
}

// The login history of the operator named by the key {"CDOPERADOR":"..."},
// newest first.
JsonText loginHistory(SqlSession &session, const QString &keyText)
{
    const QJsonValue code = QJsonDocument::fromJson(keyText.toUtf8()).object().value(QStringLiteral("CDOPERADOR"));
    if (!code.isString())
        throw RequestError(QStringLiteral("Requisição inválida: a chave de %1 deve ser {\"CDOPERADOR\":\"...\"}.")
                               .arg(Schema::loginHistoryTable));
    const PacketColumns columns = {
        {QStringLiteral("NRHISTENTRADA"), PacketType::Integer, 0}, dateColumn(QStringLiteral("DTHISTENTRADA")),
        textColumn(QStringLiteral("CDOPERADOR"), 12),             textColumn(QStringLiteral("DSCLIENTE"), 45),
        textColumn(QStringLiteral("TPEVENTO"), 7),                textColumn(QStringLiteral("DSRESULTADO"), 10),
        {QStringLiteral("QTTENTATIVAS"), PacketType::Integer, 0},
    };
    return queryPacket(session, columns,
                       QStringLiteral("SELECT NRHISTENTRADA, DTHISTENTRADA, CDOPERADOR, DSCLIENTE, TPEVENTO, DSRESULTADO,"
                                      " QTTENTATIVAS FROM %1 WHERE CDOPERADOR = ? ORDER BY NRHISTENTRADA DESC")
                           .arg(Schema::loginHistoryTable),
                       {code.toString().trimmed()});
}

// Arguments: table, key. The row's entries, newest first; for the login
// history, the operator's.
JsonText getAuditoria(SqlSession &session, const MethodArgs &args)
{
    if (args.text(0).compare(Schema::loginHistoryTable, Qt::CaseInsensitive) == 0)
        return loginHistory(session, args.text(1));
    const TableDef &table = auditedTable(args.text(0));
    const PacketColumns columns = {
        {QStringLiteral("NRAUDITORIA"), PacketType::Integer, 0}, dateColumn(QStringLiteral("DTAUDITORIA")),
        textColumn(QStringLiteral("CDOPERADOR"), 12),           textColumn(QStringLiteral("NMMETODO"), 40),
        textColumn(QStringLiteral("TPALTERACAO"), 6),           textColumn(QStringLiteral("NMTABELA"), 30),
        textColumn(QStringLiteral("DSCHAVE"), 400),             {QStringLiteral("DSANTERIOR"), PacketType::Text, 0},
        {QStringLiteral("DSNOVO"), PacketType::Text, 0},
    };
    return queryPacket(session, columns,
                       QStringLiteral("SELECT NRAUDITORIA, DTAUDITORIA, CDOPERADOR, NMMETODO, TPALTERACAO, NMTABELA,"
                                      " DSCHAVE, DSANTERIOR, DSNOVO FROM %1 WHERE NMTABELA = ? AND DSCHAVE = ?"
                                      " ORDER BY NRAUDITORIA DESC")
                           .arg(Schema::auditTable),
                       {table.name, requestedKey(table, args.text(1))});
}

} // namespace

void addAuditMethods(MethodTable &table)
{
    table.append({QStringLiteral("getAuditoria"), {ArgKind::Text, ArgKind::Text}, getAuditoria});
}
