#include "lib/fhirnutrition.h"

#include "lib/database.h"
#include "lib/fhirelements.h"
#include "lib/sqlsession.h"

#include <QHash>

#include <cmath>

namespace {

// One composition item of the day with what its resources show.
struct Item
{
    QString branch, patient, patientName, sequence, number;
    QDateTime serviceDate;
    QString nutritionist, nutritionistName;
    QString product, productName, dish, dishBranch, dishName, preparation, route, routeName, note;
    QVariant prescribed, infused, speed, hours;
    QDateTime consumption;

    QString recordValue() const
    {
        return QStringList{branch, patient, serviceDate.date().toString(Qt::ISODate), sequence}.join(QLatin1Char('|'));
    }
    QString itemValue() const { return recordValue() + QLatin1Char('|') + number; }
    QString id() const
    {
        return Fhir::resourceId({branch, patient, serviceDate.date().toString(QStringLiteral("yyyyMMdd")), sequence, number});
    }
    // When the infusion starts: the consumption day (the record's when
    // empty) at the item's hour; the day alone when there is no hour.
    QString start() const
    {
        const QDate day = consumption.isValid() ? consumption.date() : serviceDate.date();
        if (hours.isNull())
            return Fhir::date(day);
        const int minutes = int(std::lround(hours.toDouble() * 60.0));
        return Fhir::dateTime(QDateTime(day, QTime(0, 0)).addSecs(qint64(minutes) * 60));
    }
};

struct Occurrence
{
    QDateTime time;
    QString type, typeName;
};

const QString itemsSql = QStringLiteral(
    "SELECT C.CDFILIAL, C.CDPACIENTE, PA.NMPACIENTE, C.NRSEQUSERV, C.CDSEQUCOPR, C.DTSERVINTE,"
    " S.CDNUTRICIO, OP.NMOPERADOR, C.CDPRODUTO, P.NMPRODUTO, C.CDPRATO, COALESCE(C.CDFILAUXPRAT, C.CDFILIAL),"
    " R.NMPRATO, C.IDPREPCONF, C.CDVIACESDIET, V.NMVIACESDIET, C.DSOBSCONF, C.QTPRATCONF, C.QTINFUCONF,"
    " C.QTSERVCONF, C.HRCONSCONF, C.DTCONSCONF"
    " FROM CONFESCO C"
    " JOIN SERVINTE S ON S.CDFILIAL = C.CDFILIAL AND S.CDPACIENTE = C.CDPACIENTE"
    " AND S.DTSERVINTE = C.DTSERVINTE AND S.NRSEQUSERV = C.NRSEQUSERV"
    " LEFT JOIN PACIENTE PA ON PA.CDPACIENTE = C.CDPACIENTE"
    " LEFT JOIN OPERADOR OP ON OP.CDOPERADOR = S.CDNUTRICIO"
    " LEFT JOIN PRODUTO P ON P.CDPRODUTO = C.CDPRODUTO"
    " LEFT JOIN PRATO R ON R.CDFILIAL = COALESCE(C.CDFILAUXPRAT, C.CDFILIAL) AND R.CDPRATO = C.CDPRATO"
    " LEFT JOIN VIACESDIET V ON V.CDVIACESDIET = C.CDVIACESDIET"
    " WHERE C.CDFILIAL = ? AND C.CDPACIENTE = ? AND C.DTSERVINTE >= ? AND C.DTSERVINTE < ?"
    " ORDER BY C.DTSERVINTE, C.NRSEQUSERV, C.CDSEQUCOPR");

const QString occurrencesSql = QStringLiteral(
    "SELECT O.DTSERVINTE, O.NRSEQUSERV, O.CDSEQUCOPR, O.DTOCORINFU, O.CDTPOCORINFU, T.NMTPOCORINFU"
    " FROM OCORINFU O LEFT JOIN TPOCORINFU T ON T.CDTPOCORINFU = O.CDTPOCORINFU"
    " WHERE O.CDFILIAL = ? AND O.CDPACIENTE = ? AND O.DTSERVINTE >= ? AND O.DTSERVINTE < ?"
    " ORDER BY O.DTOCORINFU, O.CDTPOCORINFU");

// The search's day as a range, so a service date stored with a time of
// day still belongs to its day.
QVariantList dayBinds(const FhirSearch &search)
{
    const QDateTime start(search.date, QTime(0, 0));
    return {search.branch, search.patient, dateTimeBind(start), dateTimeBind(start.addDays(1))};
}

QVector<Item> readItems(SqlSession &session, const FhirSearch &search)
{
    QVector<Item> items;
    for (const SqlRow &row : session.select(itemsSql, dayBinds(search))) {
        Item item;
        item.branch = row[0].toString();
        item.patient = row[1].toString();
        item.patientName = row[2].toString();
        item.sequence = row[3].toString();
        item.number = row[4].toString();
        item.serviceDate = dateTimeFromColumn(row[5]);
        item.nutritionist = row[6].toString();
        item.nutritionistName = row[7].toString();
        item.product = row[8].toString();
        item.productName = row[9].toString();
        item.dish = row[10].toString();
        item.dishBranch = row[11].toString();
        item.dishName = row[12].toString();
        item.preparation = row[13].toString();
        item.route = row[14].toString();
        item.routeName = row[15].toString();
        item.note = row[16].toString();
        item.prescribed = row[17];
        item.infused = row[18];
        item.speed = row[19];
        item.hours = row[20];
        item.consumption = dateTimeFromColumn(row[21]);
        items.append(item);
    }
    return items;
}

// Occurrences by item value (record key and item number), in time order.
QHash<QString, QList<Occurrence>> readOccurrences(SqlSession &session, const FhirSearch &search)
{
    QHash<QString, QList<Occurrence>> occurrences;
    for (const SqlRow &row : session.select(occurrencesSql, dayBinds(search))) {
        const QString key =
            QStringList{search.branch, search.patient, dateTimeFromColumn(row[0]).date().toString(Qt::ISODate),
                        row[1].toString(), row[2].toString()}
                .join(QLatin1Char('|'));
        occurrences[key].append({dateTimeFromColumn(row[3]), row[4].toString(), row[5].toString()});
    }
    return occurrences;
}

QJsonObject subject(const Item &item)
{
    return Fhir::reference(QStringLiteral("Patient"), Fhir::identifier(Fhir::codeSystem(QStringLiteral("paciente")), item.patient),
                           item.patientName);
}

// The formulation: a dish of its branch for an open system, a product
// otherwise.
QJsonObject formulation(const Item &item)
{
    if (!item.dish.isEmpty())
        return Fhir::codeableConcept(Fhir::codeSystem(QStringLiteral("prato:") + item.dishBranch), item.dish, item.dishName);
    if (!item.product.isEmpty())
        return Fhir::codeableConcept(Fhir::codeSystem(QStringLiteral("produto")), item.product, item.productName);
    return {{QStringLiteral("text"), QStringLiteral("Formulação não informada")}};
}

QString formulationName(const Item &item)
{
    return item.dish.isEmpty() ? item.productName : item.dishName;
}

void insertQuantity(QJsonObject &object, const QString &name, const QVariant &value, const QString &ucum)
{
    if (!value.isNull())
        object.insert(name, Fhir::quantity(value.toDouble(), ucum));
}

QJsonObject order(const Item &item)
{
    QJsonObject administration{
        {QStringLiteral("schedule"),
         QJsonObject{{QStringLiteral("timing"), QJsonArray{QJsonObject{{QStringLiteral("event"), QJsonArray{item.start()}}}}}}},
    };
    insertQuantity(administration, QStringLiteral("quantity"), item.prescribed, QStringLiteral("mL"));
    insertQuantity(administration, QStringLiteral("rateQuantity"), item.speed, QStringLiteral("mL/h"));

    QJsonObject enteral{
        {QStringLiteral("baseFormulaType"), QJsonObject{{QStringLiteral("concept"), formulation(item)}}},
        {QStringLiteral("administration"), QJsonArray{administration}},
    };
    if (!formulationName(item).isEmpty())
        enteral.insert(QStringLiteral("baseFormulaProductName"), formulationName(item));
    if (!item.route.isEmpty())
        enteral.insert(QStringLiteral("routeOfAdministration"),
                       Fhir::codeableConcept(Fhir::codeSystem(QStringLiteral("viacesdiet")), item.route, item.routeName));
    if (!item.note.isEmpty())
        enteral.insert(QStringLiteral("administrationInstruction"), item.note);

    // A past day's orders are done; the day's and later ones still hold.
    const bool past = item.serviceDate.date() < QDate::currentDate();
    QJsonObject resource{
        {QStringLiteral("resourceType"), QStringLiteral("NutritionOrder")},
        {QStringLiteral("id"), item.id()},
        {QStringLiteral("identifier"), QJsonArray{Fhir::identifier(Fhir::codeSystem(QStringLiteral("confesco")), item.itemValue())}},
        {QStringLiteral("groupIdentifier"), Fhir::identifier(Fhir::codeSystem(QStringLiteral("servinte")), item.recordValue())},
        {QStringLiteral("status"), past ? QStringLiteral("completed") : QStringLiteral("active")},
        {QStringLiteral("intent"), QStringLiteral("order")},
        {QStringLiteral("subject"), subject(item)},
        {QStringLiteral("dateTime"), Fhir::date(item.serviceDate.date())},
        {QStringLiteral("enteralFormula"), enteral},
    };
    if (!item.nutritionist.isEmpty())
        resource.insert(QStringLiteral("orderer"),
                        Fhir::reference(QStringLiteral("Practitioner"),
                                        Fhir::identifier(Fhir::codeSystem(QStringLiteral("operador")), item.nutritionist),
                                        item.nutritionistName));
    return resource;
}

QString intakeStatus(const Item &item)
{
    if (item.infused.isNull() || item.prescribed.isNull())
        return QStringLiteral("unknown");
    return item.infused.toDouble() < item.prescribed.toDouble() ? QStringLiteral("stopped") : QStringLiteral("completed");
}

QString preparationName(const QString &preparation)
{
    if (preparation.isEmpty())
        return QStringLiteral("Formulação");
    return preparation == QLatin1String("A") ? QStringLiteral("Sistema aberto") : QStringLiteral("Sistema fechado");
}

QJsonObject intake(const Item &item, const QList<Occurrence> &occurrences)
{
    QJsonObject consumed{
        {QStringLiteral("type"),
         Fhir::codeableConcept(Fhir::codeSystem(QStringLiteral("idprepconf")), item.preparation, preparationName(item.preparation))},
        {QStringLiteral("nutritionProduct"), QJsonObject{{QStringLiteral("concept"), formulation(item)}}},
        {QStringLiteral("schedule"), QJsonObject{{QStringLiteral("event"), QJsonArray{item.start()}}}},
    };
    insertQuantity(consumed, QStringLiteral("amount"), item.infused, QStringLiteral("mL"));
    insertQuantity(consumed, QStringLiteral("rate"), item.speed, QStringLiteral("mL/h"));

    QJsonObject resource{
        {QStringLiteral("resourceType"), QStringLiteral("NutritionIntake")},
        {QStringLiteral("id"), item.id()},
        {QStringLiteral("identifier"), QJsonArray{Fhir::identifier(Fhir::codeSystem(QStringLiteral("confesco")), item.itemValue())}},
        {QStringLiteral("basedOn"),
         QJsonArray{Fhir::reference(QStringLiteral("NutritionOrder"),
                                    Fhir::identifier(Fhir::codeSystem(QStringLiteral("confesco")), item.itemValue()))}},
        {QStringLiteral("status"), intakeStatus(item)},
        {QStringLiteral("subject"), subject(item)},
        {QStringLiteral("occurrenceDateTime"), item.start()},
        {QStringLiteral("consumedItem"), QJsonArray{consumed}},
    };
    if (occurrences.isEmpty())
        return resource;
    QJsonArray reasons;
    QStringList typesSeen;
    QJsonArray notes;
    for (const Occurrence &occurrence : occurrences) {
        if (!typesSeen.contains(occurrence.type)) {
            typesSeen.append(occurrence.type);
            reasons.append(Fhir::codeableConcept(Fhir::codeSystem(QStringLiteral("tpocorinfu")), occurrence.type, occurrence.typeName));
        }
        notes.append(QJsonObject{
            {QStringLiteral("time"), Fhir::dateTime(occurrence.time)},
            {QStringLiteral("text"), QStringLiteral("Ocorrência %1 - %2").arg(occurrence.type, occurrence.typeName)},
        });
    }
    resource.insert(QStringLiteral("statusReason"), reasons);
    resource.insert(QStringLiteral("note"), notes);
    return resource;
}

} // namespace

namespace FhirNutrition {

QJsonObject orders(SqlSession &session, const FhirSearch &search, const QString &selfUrl)
{
    QList<QJsonObject> resources;
    for (const Item &item : readItems(session, search))
        resources.append(order(item));
    return Fhir::searchBundle(selfUrl, resources);
}

QJsonObject intakes(SqlSession &session, const FhirSearch &search, const QString &selfUrl)
{
    const QVector<Item> items = readItems(session, search);
    const QHash<QString, QList<Occurrence>> occurrences = readOccurrences(session, search);
    QList<QJsonObject> resources;
    for (const Item &item : items)
        resources.append(intake(item, occurrences.value(item.itemValue())));
    return Fhir::searchBundle(selfUrl, resources);
}

} // namespace FhirNutrition
