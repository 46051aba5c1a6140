// The automatic schedule: a whole series of composition items stored in one
// request, so a run is written completely or not at all.
#include "lib/changeapplier.h"
#include "lib/itemrules.h"
#include "lib/methodtable.h"
#include "lib/recordkey.h"
#include "lib/requesterror.h"

namespace {

const QString seriesOnlyMessage = QStringLiteral(
    "Pacote de alterações inválido: o cadastro automático só inclui itens do serviço informado.");

// Arguments: patient, service date, sequence, branch, "S" (the series
// replaces the record's items and their occurrences) or "A" (the series is
// added to them), and the change packet of the new items. An item number
// already taken (somebody else added items meanwhile) refuses the series.
JsonText setAutoConfesco(SqlSession &session, const MethodArgs &args)
{
    const RecordKey record{args.text(3), args.text(0), args.dateTime(1), args.text(2)};
    const QString mode = args.text(4);
    if (mode != QLatin1String("S") && mode != QLatin1String("A"))
        throw RequestError(QStringLiteral("Requisição inválida: modo \"%1\" desconhecido (use S ou A).").arg(mode));

    // Only insertions into the named record: the deletion of "S" must never
    // be paired with items written somewhere else.
    ChangeRules rules = itemChangeRules();
    const auto itemWrite = rules.prepareWrite;
    rules.prepareWrite = [&record, itemWrite](SqlSession &s, RowValues &values, bool inserting) {
        if (!inserting || RecordKey::fromValues(values) != record)
            throw RequestError(seriesOnlyMessage);
        itemWrite(s, values, inserting);
    };
    rules.beforeDelete = [](SqlSession &, const RowValues &) { throw RequestError(seriesOnlyMessage); };

    Transaction transaction(session);
    if (mode == QLatin1String("S"))
        deleteRecordItems(session, record);
    applyChangesInTransaction(session, args.changes(5), rules);
    transaction.commit();
    return jsonNull();
}

} // namespace

void addAutoScheduleMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("SetAutoConfesco"),
                  {A::Text, A::DateTime, A::Text, A::Text, A::Text, A::Changes},
                  setAutoConfesco});
}
