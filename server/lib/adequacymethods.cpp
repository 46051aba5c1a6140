// Energy and protein goals of an admission, the adequacy of each day of a
// stay, and the branch's inpatients fed below their goal (see adequacy.h).
#include "lib/adequacy.h"
#include "lib/changeapplier.h"
#include "lib/itemcomposition.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

#include <QJsonArray>
#include <QLocale>
#include <QSqlQuery>

namespace {

OptionalReal optionalReal(const QVariant &value)
{
    return value.isNull() ? std::nullopt : OptionalReal(value.toDouble());
}

QVariant variant(OptionalReal value)
{
    return value ? QVariant(*value) : QVariant();
}

// The admission (alias I) of the patient (first bound value) in the branch
// (second) whose stay holds the day: the latest one begun before the end of
// the day (third).
const QString admissionOfDay = QStringLiteral(
    "I.CDFILIAL = ? AND I.CDPACIENTE = ? AND I.DTINTERNA = (SELECT MAX(X.DTINTERNA) FROM INTERNAC X"
    " WHERE X.CDFILIAL = I.CDFILIAL AND X.CDPACIENTE = I.CDPACIENTE AND X.DTINTERNA < ?)");

// The goals' defaults: the admission standard's (alias S), else the branch's (alias F).
const QString defaultJoins = QStringLiteral(
    " LEFT JOIN METAINTE M ON M.CDFILIAL = I.CDFILIAL AND M.CDPACIENTE = I.CDPACIENTE AND M.DTINTERNA = I.DTINTERNA"
    " LEFT JOIN PADRAOSERV S ON S.CDSERPADDIE = I.CDSERPADDIE"
    " LEFT JOIN PARADIETO F ON F.CDFILIAL = I.CDFILIAL");

QVariantList admissionBinds(const MethodArgs &args, int patient, int day, int branch)
{
    return {args.text(branch), args.text(patient), dateTimeBind(args.dateTime(day).date().addDays(1).startOfDay())};
}

QDateTime requiredDay(const MethodArgs &args, int index)
{
    const QDateTime day = args.dateTime(index);
    if (!day.isValid())
        throw RequestError(QStringLiteral("A data deve ser informada."));
    return day;
}

// Arguments: patient, date, branch. The admission holding the date with its
// own goals (QTKCALKG, QTPROTKG; empty when it has none) and the defaults it
// would take (QTKCALKGPAD, QTPROTKGPAD); no row when there is no admission.
JsonText getMetaNutri(SqlSession &session, const MethodArgs &args)
{
    requiredDay(args, 1);
    return queryPacket(
        session,
        {textColumn(QStringLiteral("CDFILIAL"), 4), textColumn(QStringLiteral("CDPACIENTE"), 12),
         dateColumn(QStringLiteral("DTINTERNA")), realColumn(QStringLiteral("QTKCALKG")),
         realColumn(QStringLiteral("QTPROTKG")), realColumn(QStringLiteral("QTKCALKGPAD")),
         realColumn(QStringLiteral("QTPROTKGPAD"))},
        QStringLiteral("SELECT I.CDFILIAL, I.CDPACIENTE, I.DTINTERNA, M.QTKCALKG, M.QTPROTKG,"
                       " COALESCE(S.QTKCALKG, F.QTKCALKG), COALESCE(S.QTPROTKG, F.QTPROTKG)"
                       " FROM INTERNAC I%1 WHERE %2")
            .arg(defaultJoins, admissionOfDay),
        admissionBinds(args, 0, 1, 2));
}

const QString KcalGoal = QStringLiteral("QTKCALKG");
const QString ProteinGoal = QStringLiteral("QTPROTKG");

bool noGoals(const QJsonObject &values)
{
    return values.value(KcalGoal).isNull() && values.value(ProteinGoal).isNull();
}

// A goal is empty (the default applies) or above zero and at most `limit`.
void requireGoal(const RowValues &values, const QString &name, double limit, const QString &what)
{
    const QVariant value = values.value(name);
    if (!value.isNull() && (value.toDouble() <= 0 || value.toDouble() > limit))
        throw RequestError(QStringLiteral("Meta de %1 inválida: deve ser maior que zero e no máximo %2.")
                               .arg(what, QLocale(QLocale::Portuguese, QLocale::Brazil).toString(limit)));
}

// Changes of the rows getMetaNutri answers, in one transaction. A row read
// without goals of its own and given some is inserted; one whose goals are
// all emptied is deleted (the defaults apply again); any other is modified.
// Each must still hold what was read.
JsonText setMetaNutri(SqlSession &session, const MethodArgs &args)
{
    QJsonArray changes;
    for (const QJsonValue &value : args.changes(0).toObject().value(QStringLiteral("changes")).toArray()) {
        const QJsonObject change = value.toObject();
        if (change.value(QStringLiteral("kind")).toString() != QLatin1String("modify"))
            throw RequestError(QStringLiteral("As metas da internação só podem ser alteradas."));
        const QJsonObject old = change.value(QStringLiteral("old")).toObject();
        const QJsonObject values = change.value(QStringLiteral("new")).toObject();
        if (noGoals(old)) {
            QJsonObject inserted = old;
            inserted.insert(KcalGoal, values.value(KcalGoal));
            inserted.insert(ProteinGoal, values.value(ProteinGoal));
            if (!noGoals(inserted))
                changes.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("insert")},
                                           {QStringLiteral("new"), inserted}});
        } else if (noGoals(values)) {
            changes.append(QJsonObject{{QStringLiteral("kind"), QStringLiteral("delete")}, {QStringLiteral("old"), old}});
        } else {
            changes.append(change);
        }
    }
    ChangeRules rules{Schema::table(QStringLiteral("METAINTE")),
                      QStringLiteral("As metas desta internação já foram gravadas por outro usuário."), {}, {}};
    rules.prepareWrite = [](SqlSession &session, RowValues &values, bool inserting) {
        requireGoal(values, KcalGoal, 100, QStringLiteral("energia (kcal/kg/dia)"));
        requireGoal(values, ProteinGoal, 10, QStringLiteral("proteína (g/kg/dia)"));
        if (inserting
            && session
                   .select(QStringLiteral("SELECT 1 FROM INTERNAC WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTINTERNA = ?"),
                           {values.value(QStringLiteral("CDFILIAL")), values.value(QStringLiteral("CDPACIENTE")),
                            values.value(QStringLiteral("DTINTERNA"))})
                   .isEmpty())
            throw RequestError(QStringLiteral("Internação não cadastrada."));
    };
    applyChanges(session, QJsonObject{{QStringLiteral("changes"), changes}}, rules);
    return jsonNull();
}

// Every admission of the condition (alias I) with its goals, its service
// records of days before `until` (the last bound value) and their items,
// in order of patient and time: a record without items comes once, with
// empty item columns.
QString staySql(const QString &extraColumns, const QString &extraJoins, const QString &condition)
{
    return QStringLiteral(
               "SELECT I.CDPACIENTE, I.DTINTERNA, I.DTALTA, COALESCE(M.QTKCALKG, S.QTKCALKG, F.QTKCALKG),"
               " COALESCE(M.QTPROTKG, S.QTPROTKG, F.QTPROTKG), V.DTSERVINTE, V.NRSERVPESO, C.CDSEQUCOPR,"
               " C.QTPRATCONF, C.QTINFUCONF, %1, %2%3"
               " FROM INTERNAC I%4%5"
               " LEFT JOIN SERVINTE V ON V.CDFILIAL = I.CDFILIAL AND V.CDPACIENTE = I.CDPACIENTE"
               "  AND V.DTINTERNA = I.DTINTERNA AND V.DTSERVINTE < ?"
               " LEFT JOIN CONFESCO C ON C.CDFILIAL = V.CDFILIAL AND C.CDPACIENTE = V.CDPACIENTE"
               "  AND C.DTSERVINTE = V.DTSERVINTE AND C.NRSEQUSERV = V.NRSEQUSERV%6"
               " WHERE %7"
               " ORDER BY I.CDPACIENTE, V.DTSERVINTE, V.NRSEQUSERV, C.CDSEQUCOPR")
        .arg(ItemComposition::kcalPerMl, ItemComposition::proteinPerMl, extraColumns, defaultJoins, extraJoins,
             ItemComposition::joins, condition);
}
enum StayColumn {
    Patient, Admission, Discharge, KcalPerKg, ProteinPerKg, ServiceDate, Weight, ItemNumber, Prescribed, Infused,
    KcalPerMl, ProteinPerMl, FirstExtra
};

// One admission's stay as read, up to its last day.
struct Stay
{
    SqlRow first;  // the admission's first row (its extra columns included)
    GoalsPerKg goals;
    QDate admitted;
    QDate last;
    QMap<QDate, RecordedDay> recorded;

    QVector<DayAdequacy> days() const { return stayAdequacy(goals, admitted, last, recorded); }
};

// The stays of the query's rows, each up to `until` or its discharge.
QVector<Stay> readStays(SqlSession &session, const QString &sql, const QVariantList &binds, const QDate &until)
{
    QVector<Stay> stays;
    for (const SqlRow &row : session.select(sql, binds)) {
        if (stays.isEmpty() || stays.last().first.at(Patient) != row.at(Patient)) {
            const QDateTime discharge = dateTimeFromColumn(row.at(Discharge));
            stays << Stay{row,
                          {optionalReal(row.at(KcalPerKg)), optionalReal(row.at(ProteinPerKg))},
                          dateTimeFromColumn(row.at(Admission)).date(),
                          discharge.isValid() ? std::min(until, discharge.date()) : until,
                          {}};
        }
        if (row.at(ServiceDate).isNull())
            continue;
        RecordedDay &day = stays.last().recorded[dateTimeFromColumn(row.at(ServiceDate)).date()];
        if (!row.at(Weight).isNull())
            day.weight = row.at(Weight).toDouble();
        if (row.at(ItemNumber).isNull())
            continue;
        const InfusionItem item{{}, row.at(ItemNumber).toString(), optionalReal(row.at(Prescribed)),
                                optionalReal(row.at(Infused)), {}, optionalReal(row.at(KcalPerMl)),
                                optionalReal(row.at(ProteinPerMl)), {}};
        day.items << itemFigures(item, {});
    }
    return stays;
}

const PacketColumns dayColumns = {
    dateColumn(QStringLiteral("DTSERVINTE")),  realColumn(QStringLiteral("NRSERVPESO")),
    {QStringLiteral("QTITENS"), PacketType::Integer, 0},
    realColumn(QStringLiteral("QTKCALMETA")),  realColumn(QStringLiteral("QTKCALPRESC")),
    realColumn(QStringLiteral("QTKCALINFU")),  realColumn(QStringLiteral("PCKCALPRESC")),
    realColumn(QStringLiteral("PCKCALINFU")),  realColumn(QStringLiteral("QTKCALSALDO")),
    realColumn(QStringLiteral("QTPROTMETA")),  realColumn(QStringLiteral("QTPROTPRESC")),
    realColumn(QStringLiteral("QTPROTINFU")),  realColumn(QStringLiteral("PCPROTPRESC")),
    realColumn(QStringLiteral("PCPROTINFU")),  realColumn(QStringLiteral("QTPROTSALDO")),
};

void addDay(PacketWriter &writer, const DayAdequacy &day)
{
    writer.add(day.day.startOfDay());
    writer.add(variant(day.weight));
    writer.add(day.items);
    for (const OptionalReal value :
         {day.kcalGoal, day.figures.kcalPrescribed, day.figures.kcalInfused, day.kcalPrescribedPercent,
          day.kcalInfusedPercent, day.kcalBalance, day.proteinGoal, day.figures.proteinPrescribed,
          day.figures.proteinInfused, day.proteinPrescribedPercent, day.proteinInfusedPercent, day.proteinBalance})
        writer.add(variant(value));
}

// Arguments: patient, date, branch. Per day of the admission holding the
// date, from its first day to the date (or the discharge): weight, items,
// goal, prescribed and infused energy and protein, their share of the goal
// and the cumulative balance. No row without an admission.
JsonText getEvolucaoNutri(SqlSession &session, const MethodArgs &args)
{
    const QDate until = requiredDay(args, 1).date();
    const QVariantList binds = QVariantList{dateTimeBind(until.addDays(1).startOfDay())} + admissionBinds(args, 0, 1, 2);
    PacketWriter packet(dayColumns);
    for (const Stay &stay : readStays(session, staySql({}, {}, admissionOfDay), binds, until)) {
        for (const DayAdequacy &day : stay.days())
            addDay(packet, day);
    }
    return packet.finish();
}

double number(const QString &text, const QString &what, double low, double high)
{
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    if (!ok || value < low || value > high)
        throw RequestError(QStringLiteral("%1 inválido: \"%2\".").arg(what, text));
    return value;
}

const int MostDays = 14;

// Arguments: date, threshold (percent of the energy goal), days, branch.
// The branch's inpatients (latest open admission) whose infused energy was
// below the threshold on each of the last `days` days with items up to the
// date: bed, name, admission, per day (oldest first) its date and infused
// share of the goal (DTDIA1, PCKCALINFU1, ...), and the cumulative
// balances. A stay without a known goal on those days is not listed.
JsonText getPacRisco(SqlSession &session, const MethodArgs &args)
{
    const QDate until = requiredDay(args, 0).date();
    const double threshold = number(args.text(1), QStringLiteral("Limite de adequação"), 1, 200);
    const double dayValue = number(args.text(2), QStringLiteral("Número de dias"), 1, MostDays);
    const int dayCount = int(dayValue);
    if (dayCount != dayValue)
        throw RequestError(QStringLiteral("Número de dias inválido: \"%1\".").arg(args.text(2)));

    PacketColumns columns = {textColumn(QStringLiteral("CDPACIENTE"), 12), textColumn(QStringLiteral("NMPACIENTE"), 80),
                             textColumn(QStringLiteral("CDLEITO"), 12),    textColumn(QStringLiteral("NMLEITO"), 40),
                             dateColumn(QStringLiteral("DTINTERNA"))};
    for (int i = 1; i <= dayCount; ++i)
        columns << dateColumn(QStringLiteral("DTDIA%1").arg(i)) << realColumn(QStringLiteral("PCKCALINFU%1").arg(i));
    columns << realColumn(QStringLiteral("QTKCALSALDO")) << realColumn(QStringLiteral("QTPROTSALDO"));
    PacketWriter packet(columns);

    const QString sql = staySql(
        QStringLiteral(", PA.NMPACIENTE, I.CDLEITO, L.NMLEITO"),
        QStringLiteral(" JOIN PACIENTE PA ON PA.CDPACIENTE = I.CDPACIENTE"
                       " LEFT JOIN LEITO L ON L.CDFILIAL = I.CDFILIAL AND L.CDLEITO = I.CDLEITO"),
        QStringLiteral("I.CDFILIAL = ? AND I.DTALTA IS NULL AND I.DTINTERNA = (SELECT MAX(X.DTINTERNA) FROM INTERNAC X"
                       " WHERE X.CDFILIAL = I.CDFILIAL AND X.CDPACIENTE = I.CDPACIENTE AND X.DTALTA IS NULL"
                       " AND X.DTINTERNA < ?)"));
    const QVariant end = dateTimeBind(until.addDays(1).startOfDay());
    for (const Stay &stay : readStays(session, sql, {end, args.text(3), end}, until)) {
        const QVector<DayAdequacy> days = stay.days();
        if (!belowGoal(days, threshold, dayCount))
            continue;
        for (const int column : {int(Patient), int(FirstExtra), FirstExtra + 1, FirstExtra + 2, int(Admission)})
            packet.add(stay.first.at(column));
        for (const DayAdequacy &day : lastDaysWithItems(days, dayCount)) {
            packet.add(day.day.startOfDay());
            packet.add(variant(day.kcalInfusedPercent.value_or(0)));
        }
        packet.add(variant(days.last().kcalBalance));
        packet.add(variant(days.last().proteinBalance));
    }
    return packet.finish();
}

} // namespace

void addAdequacyMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getMetaNutri"), {A::Text, A::DateTime, A::Text}, getMetaNutri});
    table.append({QStringLiteral("SetMetaNutri"), {A::Changes}, setMetaNutri});
    table.append({QStringLiteral("getEvolucaoNutri"), {A::Text, A::DateTime, A::Text}, getEvolucaoNutri});
    table.append({QStringLiteral("getPacRisco"), {A::DateTime, A::Text, A::Text, A::Text}, getPacRisco});
}
