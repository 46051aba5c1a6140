// The audit trail's one method: the history of a row. The trail has no
// writing method; only the audited writes of the other methods add to it.
#include "lib/audittrail.h"
#include "lib/changeapplier.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

#include <QJsonDocument>

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

// Arguments: table, key. The row's entries, newest first.
JsonText getAuditoria(SqlSession &session, const MethodArgs &args)
{
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
