// Nutrient calculation of a patient's day, the formulations' composition per
// mL, and the safe hang time of each system of a branch.
#include "lib/changeapplier.h"
#include "lib/itemcomposition.h"
#include "lib/methodtable.h"
#include "lib/nutrientcalc.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>

namespace {

// Defaults of a branch without its own hang times: open systems 4 hours,
// closed systems 24 hours.
const QString OpenSystem = QStringLiteral("A");
const QString ClosedSystem = QStringLiteral("F");
const QString OpenHangDefault = QStringLiteral("0400");
const QString ClosedHangDefault = QStringLiteral("2400");

OptionalReal optionalReal(const QVariant &value)
{
    return value.isNull() ? std::nullopt : OptionalReal(value.toDouble());
}

QVariant variant(OptionalReal value)
{
    return value ? QVariant(*value) : QVariant();
}

// The day of the argument as the bound range [start of day, start of next day).
QVariantList dayRange(const QDateTime &day)
{
    const QDate date = day.date();
    return {dateTimeBind(date.startOfDay()), dateTimeBind(date.addDays(1).startOfDay())};
}

// The items of a patient's service records of a day, with the formulation
// each one uses (dish in the open system, product otherwise).
const QString itemsSql = QStringLiteral(
    "SELECT C.NRSEQUSERV, C.CDSEQUCOPR, C.IDPREPCONF,"
    " COALESCE(C.CDFORMULACAO, CASE WHEN C.IDPREPCONF = 'A' THEN C.CDPRATO ELSE P.CDARVPROD END),"
    " CASE WHEN C.IDPREPCONF = 'A' THEN R.NMPRATO ELSE P.NMPRODUTO END, C.HRCONF,"
    " C.QTSERVCONF, C.QTPRATCONF, C.QTINFUCONF, %1, %2,"
    " C.HRCONSCONF, COALESCE(C.DTCONSCONF, C.DTSERVINTE)"
    " FROM CONFESCO C%3"
    " WHERE C.CDFILIAL = ? AND C.CDPACIENTE = ? AND C.DTSERVINTE >= ? AND C.DTSERVINTE < ?"
    " ORDER BY C.NRSEQUSERV, C.CDSEQUCOPR")
    .arg(ItemComposition::kcalPerMl, ItemComposition::proteinPerMl, ItemComposition::joins);
enum ItemColumn {
    Sequence, Number, Preparation, Formulation, FormulationName, HourText, Speed, Prescribed, Infused, Kcal,
    Protein, Hour, Date
};

const QString occurrencesSql = QStringLiteral(
    "SELECT O.NRSEQUSERV, O.CDSEQUCOPR, O.DTOCORINFU, O.CDTPOCORINFU, T.NMTPOCORINFU, T.IDINTERRUPCAO"
    " FROM OCORINFU O LEFT JOIN TPOCORINFU T ON T.CDTPOCORINFU = O.CDTPOCORINFU"
    " WHERE O.CDFILIAL = ? AND O.CDPACIENTE = ? AND O.DTSERVINTE >= ? AND O.DTSERVINTE < ?");

InfusionItem infusionItem(const SqlRow &row)
{
    InfusionItem item{row.at(Sequence).toString(), row.at(Number).toString(), optionalReal(row.at(Prescribed)),
                      optionalReal(row.at(Infused)),  optionalReal(row.at(Speed)),     optionalReal(row.at(Kcal)),
                      optionalReal(row.at(Protein)),  {}};
    const QDateTime date = dateTimeFromColumn(row.at(Date));
    if (!row.at(Hour).isNull() && date.isValid())
        item.plannedStart = date.date().startOfDay().addSecs(qRound64(row.at(Hour).toDouble() * 3600.0));
    return item;
}

QString itemKey(const QVariant &sequence, const QVariant &number)
{
    return sequence.toString() + QLatin1Char('/') + number.toString();
}

const PacketColumns figureColumns = {
    realColumn(QStringLiteral("QTPRATCONF")),   realColumn(QStringLiteral("QTINFUCONF")),
    realColumn(QStringLiteral("PCINFUNDIDO")),  realColumn(QStringLiteral("QTKCALPRESC")),
    realColumn(QStringLiteral("QTKCALINFU")),   realColumn(QStringLiteral("QTPROTPRESC")),
    realColumn(QStringLiteral("QTPROTINFU")),   {QStringLiteral("QTINTERRUP"), PacketType::Integer, 0},
    realColumn(QStringLiteral("QTMININTERR")),
};

void addFigures(PacketWriter &writer, const DeliveryFigures &figures)
{
    for (const OptionalReal value : {figures.prescribed, figures.infused, figures.percentDelivered,
                                     figures.kcalPrescribed, figures.kcalInfused, figures.proteinPrescribed,
                                     figures.proteinInfused})
        writer.add(variant(value));
    writer.add(figures.interruptions);
    writer.add(figures.interruptionMinutes);
}

// Arguments: patient, service date, branch. Answers three packets: the
// items of the patient's service records of that day with their figures,
// one row with the patient's name and the day's totals, and the
// interruptions (see nutrientcalc.h).
JsonText getCalcNutri(SqlSession &session, const MethodArgs &args)
{
    const QVariantList binds = QVariantList{args.text(2), args.text(0)} + dayRange(args.dateTime(1));

    QHash<QString, QVector<ItemOccurrence>> occurrences;
    QHash<QString, QString> typeNames;
    for (const SqlRow &row : session.select(occurrencesSql, binds)) {
        occurrences[itemKey(row.at(0), row.at(1))] << ItemOccurrence{
            dateTimeFromColumn(row.at(2)), row.at(3).toString(), row.at(5).toString() == QLatin1String("S")};
        typeNames.insert(row.at(3).toString(), row.at(4).toString());
    }

    PacketColumns itemColumns = {
        textColumn(QStringLiteral("NRSEQUSERV"), 2),    textColumn(QStringLiteral("CDSEQUCOPR"), 4),
        textColumn(QStringLiteral("IDPREPCONF"), 1),    textColumn(QStringLiteral("CDFORMULACAO"), 20),
        textColumn(QStringLiteral("NMFORMULACAO"), 50), textColumn(QStringLiteral("HRCONF"), 4),
        realColumn(QStringLiteral("QTSERVCONF")),       realColumn(QStringLiteral("QTKCALML")),
        realColumn(QStringLiteral("QTPROTML")),         dateColumn(QStringLiteral("DTFIMPREV")),
    };
    PacketWriter items(itemColumns + figureColumns);
    PacketWriter interruptions({
        textColumn(QStringLiteral("NRSEQUSERV"), 2),     textColumn(QStringLiteral("CDSEQUCOPR"), 4),
        textColumn(QStringLiteral("NMFORMULACAO"), 50),  dateColumn(QStringLiteral("DTOCORINFU")),
        dateColumn(QStringLiteral("DTINIINTERR")),       dateColumn(QStringLiteral("DTFIMINTERR")),
        textColumn(QStringLiteral("CDTPOCORINFU"), 3),
        textColumn(QStringLiteral("NMTPOCORINFU"), 100), realColumn(QStringLiteral("QTMININTERR")),
    });
    QVector<DeliveryFigures> all;
    for (const SqlRow &row : session.select(itemsSql, binds)) {
        const InfusionItem item = infusionItem(row);
        const QVector<Interruption> found =
            interruptionsOf(item, occurrences.value(itemKey(row.at(Sequence), row.at(Number))));
        const DeliveryFigures figures = itemFigures(item, found);
        all << figures;
        for (const int column : {Sequence, Number, Preparation, Formulation, FormulationName, HourText, Speed, Kcal,
                                 Protein})
            items.add(row.at(column));
        items.add(plannedEnd(item));
        addFigures(items, figures);
        for (const Interruption &interruption : found) {
            for (const QVariant &value :
                 {row.at(Sequence), row.at(Number), row.at(FormulationName), QVariant(interruption.occurrence.at),
                  QVariant(interruption.begin), QVariant(interruption.end), QVariant(interruption.occurrence.type),
                  QVariant(typeNames.value(interruption.occurrence.type)), variant(interruption.minutes)})
                interruptions.add(value);
        }
    }
    PacketWriter totals(PacketColumns{textColumn(QStringLiteral("NMPACIENTE"), 80)} + figureColumns);
    const QVector<SqlRow> patient =
        session.select(QStringLiteral("SELECT NMPACIENTE FROM PACIENTE WHERE CDPACIENTE = ?"), {args.text(0)});
    totals.add(patient.isEmpty() ? QVariant() : patient.first().first());
    addFigures(totals, dayFigures(all));
    return jsonArray({items.finish(), totals.finish(), interruptions.finish()});
}

// The formulations used by a patient's items of a day, each with its
// composition per mL. CDFILIAL is the dish's branch (empty for products).
const QString compositionSql = QStringLiteral(
    "SELECT 'F', NULL, P.CDPRODUTO, P.CDARVPROD, P.NMPRODUTO, P.SGUNIDADE, P.QTKCALML, P.QTPROTML"
    " FROM PRODUTO P WHERE P.CDPRODUTO IN (SELECT C.CDPRODUTO FROM CONFESCO C"
    "   WHERE COALESCE(C.IDPREPCONF, 'F') <> 'A' AND C.CDFILIAL = ? AND C.CDPACIENTE = ? AND C.DTSERVINTE >= ? AND C.DTSERVINTE < ?)"
    " UNION ALL"
    " SELECT 'A', R.CDFILIAL, R.CDPRATO, R.CDPRATO, R.NMPRATO, R.SGUNIDADE, R.QTKCALML, R.QTPROTML"
    " FROM PRATO R WHERE EXISTS (SELECT 1 FROM CONFESCO C"
    "   WHERE C.IDPREPCONF = 'A' AND R.CDFILIAL = COALESCE(C.CDFILAUXPRAT, C.CDFILIAL) AND R.CDPRATO = C.CDPRATO"
    "   AND C.CDFILIAL = ? AND C.CDPACIENTE = ? AND C.DTSERVINTE >= ? AND C.DTSERVINTE < ?)"
    " ORDER BY 1 DESC, 4");

// Arguments: patient, service date, branch.
JsonText getComposicao(SqlSession &session, const MethodArgs &args)
{
    const QVariantList binds = QVariantList{args.text(2), args.text(0)} + dayRange(args.dateTime(1));
    return queryPacket(session,
                       {textColumn(QStringLiteral("IDPREPCONF"), 1), textColumn(QStringLiteral("CDFILIAL"), 4),
                        textColumn(QStringLiteral("CDFORMULA"), 10), textColumn(QStringLiteral("CDFORMULACAO"), 20),
                        textColumn(QStringLiteral("NMFORMULACAO"), 50), textColumn(QStringLiteral("SGUNIDADE"), 10),
                        realColumn(QStringLiteral("QTKCALML")), realColumn(QStringLiteral("QTPROTML"))},
                       compositionSql, binds + binds);
}

// A composition change as a change of its own table: the dish (branch and
// code) or the product (code), with only the composition columns.
QJsonObject tableChange(const QJsonObject &change, bool dish)
{
    const auto part = [dish](const QJsonObject &values) {
        QJsonObject row{{dish ? QStringLiteral("CDPRATO") : QStringLiteral("CDPRODUTO"), values.value(QStringLiteral("CDFORMULA"))}};
        if (dish)
            row.insert(QStringLiteral("CDFILIAL"), values.value(QStringLiteral("CDFILIAL")));
        for (const QString &name : {QStringLiteral("QTKCALML"), QStringLiteral("QTPROTML")}) {
            if (values.contains(name))
                row.insert(name, values.value(name));
        }
        return row;
    };
    const QJsonObject old = change.value(QStringLiteral("old")).toObject();
    QJsonObject target{{QStringLiteral("kind"), change.value(QStringLiteral("kind"))}, {QStringLiteral("old"), part(old)}};
    // The key never changes: the new values name the row the old ones found.
    QJsonObject newValues = part(change.value(QStringLiteral("new")).toObject());
    for (const QString &key : {QStringLiteral("CDPRATO"), QStringLiteral("CDPRODUTO"), QStringLiteral("CDFILIAL")}) {
        if (target.value(QStringLiteral("old")).toObject().contains(key))
            newValues.insert(key, target.value(QStringLiteral("old")).toObject().value(key));
    }
    target.insert(QStringLiteral("new"), newValues);
    return target;
}

// Changes of the composition per mL of products and dishes, in one
// transaction. Formulations are not created or removed here.
JsonText setComposicao(SqlSession &session, const MethodArgs &args)
{
    QJsonArray products;
    QJsonArray dishes;
    for (const QJsonValue &value : args.changes(0).toObject().value(QStringLiteral("changes")).toArray()) {
        const QJsonObject change = value.toObject();
        if (change.value(QStringLiteral("kind")).toString() != QLatin1String("modify"))
            throw RequestError(QStringLiteral("Só a composição das formulações pode ser alterada aqui."));
        const bool dish = change.value(QStringLiteral("old")).toObject().value(QStringLiteral("IDPREPCONF")).toString()
                          == OpenSystem;
        (dish ? dishes : products).append(tableChange(change, dish));
    }
    // Only modifications reach the tables, so no duplicate can arise.
    Transaction transaction(session);
    applyChangesInTransaction(session, QJsonObject{{QStringLiteral("changes"), products}},
                              {Schema::table(QStringLiteral("PRODUTO")), {}, {}, {}});
    applyChangesInTransaction(session, QJsonObject{{QStringLiteral("changes"), dishes}},
                              {Schema::table(QStringLiteral("PRATO")), {}, {}, {}});
    transaction.commit();
    return jsonNull();
}

// Arguments: branch. The safe hang time of the open ("A") and closed ("F")
// systems of the branch as "hhmm" text, the default where it has no row.
JsonText getParaHang(SqlSession &session, const MethodArgs &args)
{
    QHash<QString, QString> limits{{OpenSystem, OpenHangDefault}, {ClosedSystem, ClosedHangDefault}};
    for (const SqlRow &row : session.select(
             QStringLiteral("SELECT IDPREPCONF, HRMAXHANG FROM PARAHANG WHERE CDFILIAL = ? AND HRMAXHANG IS NOT NULL"),
             {args.text(0)}))
        limits.insert(row.at(0).toString(), row.at(1).toString());
    const QString branch = args.text(0);
    return makePacket({textColumn(QStringLiteral("CDFILIAL"), 4), textColumn(QStringLiteral("IDPREPCONF"), 1),
                       textColumn(QStringLiteral("HRMAXHANG"), 4)},
                      {{branch, OpenSystem, limits.value(OpenSystem)}, {branch, ClosedSystem, limits.value(ClosedSystem)}});
}

// A hang time is "hhmm": hours and minutes (below 60), more than zero.
void requireHangTime(const QString &text)
{
    bool number = false;
    const int value = text.toInt(&number);
    if (text.size() != 4 || !number || value <= 0 || text.mid(2).toInt() >= 60)
        throw RequestError(QStringLiteral("Tempo máximo de infusão inválido: \"%1\".").arg(text));
}

// Changes of a branch's hang times (modifications of the rows getParaHang
// answers). A row the branch does not hold yet, read with its default, is
// inserted; any other row must still hold what was read.
JsonText setParaHang(SqlSession &session, const MethodArgs &args)
{
    QJsonArray changes;
    for (const QJsonValue &value : args.changes(0).toObject().value(QStringLiteral("changes")).toArray()) {
        QJsonObject change = value.toObject();
        const QJsonObject old = change.value(QStringLiteral("old")).toObject();
        if (change.value(QStringLiteral("kind")).toString() != QLatin1String("modify"))
            throw RequestError(QStringLiteral("Os tempos máximos de infusão só podem ser alterados."));
        const bool stored = !session
                                 .select(QStringLiteral("SELECT 1 FROM PARAHANG WHERE CDFILIAL = ? AND IDPREPCONF = ?"),
                                         {old.value(QStringLiteral("CDFILIAL")).toString(),
                                          old.value(QStringLiteral("IDPREPCONF")).toString()})
                                 .isEmpty();
        const QString fallback =
            old.value(QStringLiteral("IDPREPCONF")).toString() == OpenSystem ? OpenHangDefault : ClosedHangDefault;
        if (!stored && old.value(QStringLiteral("HRMAXHANG")).toString() == fallback) {
            QJsonObject values = old;
            values.insert(QStringLiteral("HRMAXHANG"),
                          change.value(QStringLiteral("new")).toObject().value(QStringLiteral("HRMAXHANG")));
            change = QJsonObject{{QStringLiteral("kind"), QStringLiteral("insert")}, {QStringLiteral("new"), values}};
        }
        changes.append(change);
    }
    ChangeRules rules{Schema::table(QStringLiteral("PARAHANG")),
                      QStringLiteral("Tempo máximo de infusão já cadastrado por outro usuário."), {}, {}};
    rules.prepareWrite = [](SqlSession &, RowValues &values, bool) {
        requireHangTime(values.value(QStringLiteral("HRMAXHANG")).toString());
    };
    applyChanges(session, QJsonObject{{QStringLiteral("changes"), changes}}, rules);
    return jsonNull();
}

} // namespace

void addNutrientMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getCalcNutri"), {A::Text, A::DateTime, A::Text}, getCalcNutri});
    table.append({QStringLiteral("getComposicao"), {A::Text, A::DateTime, A::Text}, getComposicao});
    table.append({QStringLiteral("SetComposicao"), {A::Changes}, setComposicao});
    table.append({QStringLiteral("getParaHang"), {A::Text}, getParaHang});
    table.append({QStringLiteral("SetParaHang"), {A::Changes}, setParaHang});
}
