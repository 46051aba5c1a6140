// The FHIR exports of a patient's day: every element checked against the
// committed table of R5 cardinalities (fhir-r5-minimum.json), the fixture's
// codes and quantities read back, and the refusals as OperationOutcome.
#include "lib/entpatserver.h"
#include "fixturedb.h"
#include "fixtureserver.h"

#include <httplib.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace Fixture;

namespace {

// Walks a FHIR JSON resource against the table and collects every breach:
// an element R5 does not define, a count outside its cardinality, a single
// value written as a list or the reverse, a primitive of the wrong form, a
// code outside its required value set, and the invariants the table names.
class R5Checker
{
public:
    explicit R5Checker(const QJsonObject &table) : m_table(table) {}

    QStringList check(const QJsonObject &resource)
    {
        m_errors.clear();
        checkResource(resource, resource.value(QStringLiteral("resourceType")).toString());
        return m_errors;
    }

private:
    void fail(const QString &where, const QString &what) { m_errors << where + QStringLiteral(": ") + what; }

    void checkResource(const QJsonObject &resource, const QString &where)
    {
        const QString type = resource.value(QStringLiteral("resourceType")).toString();
        const QJsonObject elements = section(QStringLiteral("resources")).value(type).toObject();
        if (elements.isEmpty())
            return fail(where, QStringLiteral("resource type \"%1\" not in the table").arg(type));
        QJsonObject all = section(QStringLiteral("resourceBase"));
        for (auto it = elements.begin(); it != elements.end(); ++it)
            all.insert(it.key(), it.value());
        checkChildren(resource, all, {}, type, where);
        if (type == QLatin1String("NutritionOrder") && !resource.contains(QStringLiteral("oralDiet"))
            && !resource.contains(QStringLiteral("supplement")) && !resource.contains(QStringLiteral("enteralFormula")))
            fail(where, QStringLiteral("nor-1"));
        if (type == QLatin1String("Bundle")) {
            const QString bundleType = resource.value(QStringLiteral("type")).toString();
            if (resource.contains(QStringLiteral("total")) && bundleType != QLatin1String("searchset")
                && bundleType != QLatin1String("history"))
                fail(where, QStringLiteral("bdl-1"));
            for (const QJsonValue &entry : resource.value(QStringLiteral("entry")).toArray()) {
                if (entry.toObject().contains(QStringLiteral("search")) && bundleType != QLatin1String("searchset"))
                    fail(where, QStringLiteral("bdl-2"));
            }
        }
    }

    QJsonObject section(const QString &name) const { return m_table.value(name).toObject(); }

    // The children of one object: `elements` maps paths (below `prefix`) to
    // [cardinality, type]; `bindingRoot` names the resource for bindings.
    void checkChildren(const QJsonObject &object, const QJsonObject &elements, const QString &prefix,
                       const QString &bindingRoot, const QString &where)
    {
        if (object.isEmpty())
            fail(where, QStringLiteral("empty object (ele-1)"));
        QHash<QString, int> counts;
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (prefix.isEmpty() && it.key() == QLatin1String("resourceType") && !bindingRoot.isEmpty())
                continue;
            const auto [definition, type] = find(elements, prefix, it.key());
            const QString here = where + QLatin1Char('.') + it.key();
            if (definition.isEmpty()) {
                fail(here, QStringLiteral("not an R5 element here"));
                continue;
            }
            const QStringList card = elements.value(definition).toArray().at(0).toString().split(QStringLiteral(".."));
            const bool repeats = card.at(1) != QLatin1String("1");
            if (it.value().isArray() != repeats)
                fail(here, repeats ? QStringLiteral("repeating element not a list") : QStringLiteral("single element written as a list"));
            const QJsonArray values = it.value().isArray() ? it.value().toArray() : QJsonArray{it.value()};
            if (values.isEmpty())
                fail(here, QStringLiteral("empty list (ele-1)"));
            counts[definition] += int(values.size());
            for (const QJsonValue &value : values)
                checkValue(value, type, elements, definition, bindingRoot, here);
        }
        for (auto it = elements.begin(); it != elements.end(); ++it) {
            if (!isChild(it.key(), prefix))
                continue;
            const QStringList card = it.value().toArray().at(0).toString().split(QStringLiteral(".."));
            const int count = counts.value(it.key());
            if (count < card.at(0).toInt())
                fail(where + QLatin1Char('.') + it.key().mid(prefix.size()), QStringLiteral("required (min %1)").arg(card.at(0)));
            if (card.at(1) != QLatin1String("*") && count > card.at(1).toInt())
                fail(where + QLatin1Char('.') + it.key().mid(prefix.size()), QStringLiteral("more than %1").arg(card.at(1)));
        }
    }

    static bool isChild(const QString &path, const QString &prefix)
    {
        return path.startsWith(prefix) && !path.mid(prefix.size()).contains(QLatin1Char('.'));
    }

    static QString jsonSuffix(const QString &type)
    {
        return type == QLatin1String("SimpleQuantity") ? QStringLiteral("Quantity") : type.left(1).toUpper() + type.mid(1);
    }

    // The definition's path and the value's type for a JSON name, a choice
    // element ("rate[x]" as "rateQuantity") included.
    static std::pair<QString, QString> find(const QJsonObject &elements, const QString &prefix, const QString &name)
    {
        if (elements.contains(prefix + name))
            return {prefix + name, elements.value(prefix + name).toArray().at(1).toString()};
        for (auto it = elements.begin(); it != elements.end(); ++it) {
            if (!isChild(it.key(), prefix) || !it.key().endsWith(QLatin1String("[x]")))
                continue;
            const QString base = it.key().mid(prefix.size()).chopped(3);
            for (const QString &type : it.value().toArray().at(1).toString().split(QLatin1Char('|'))) {
                if (name == base + jsonSuffix(type))
                    return {it.key(), type};
            }
        }
        return {};
    }

    void checkValue(const QJsonValue &value, const QString &type, const QJsonObject &elements, const QString &path,
                    const QString &bindingRoot, const QString &where)
    {
        static const QHash<QString, QString> patterns = {
            {QStringLiteral("id"), QStringLiteral("^[A-Za-z0-9\\-.]{1,64}$")},
            {QStringLiteral("code"), QStringLiteral("^\\S+( \\S+)*$")},
            {QStringLiteral("uri"), QStringLiteral("^\\S+$")},
            {QStringLiteral("canonical"), QStringLiteral("^\\S+$")},
            {QStringLiteral("string"), QStringLiteral("\\S")},
            {QStringLiteral("markdown"), QStringLiteral("\\S")},
            {QStringLiteral("dateTime"),
             QStringLiteral("^\\d{4}(-\\d{2}(-\\d{2}(T\\d{2}:\\d{2}:\\d{2}(\\.\\d+)?(Z|[+-]\\d{2}:\\d{2}))?)?)?$")},
            {QStringLiteral("instant"), QStringLiteral("^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(\\.\\d+)?(Z|[+-]\\d{2}:\\d{2})$")},
        };
        if (value.isNull())
            return fail(where, QStringLiteral("null (ele-1)"));
        const QJsonArray allowed = section(QStringLiteral("bindings")).value(bindingRoot + QLatin1Char('.') + path).toArray();
        if (!allowed.isEmpty() && !allowed.contains(value))
            fail(where, QStringLiteral("\"%1\" not in the required value set").arg(value.toString()));
        if (patterns.contains(type)) {
            if (!value.isString() || !QRegularExpression(patterns.value(type)).match(value.toString()).hasMatch())
                fail(where, QStringLiteral("not a valid %1: %2").arg(type, QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact))));
        } else if (type == QLatin1String("decimal")) {
            if (!value.isDouble())
                fail(where, QStringLiteral("decimal not a JSON number"));
        } else if (type == QLatin1String("unsignedInt")) {
            if (!value.isDouble() || value.toDouble() < 0 || value.toDouble() != double(value.toInteger()))
                fail(where, QStringLiteral("not an unsignedInt"));
        } else if (type == QLatin1String("boolean")) {
            if (!value.isBool())
                fail(where, QStringLiteral("not a boolean"));
        } else if (!value.isObject()) {
            fail(where, QStringLiteral("%1 not a JSON object").arg(type));
        } else if (type == QLatin1String("BackboneElement")) {
            checkChildren(value.toObject(), elements, path + QLatin1Char('.'), bindingRoot, where);
        } else if (type == QLatin1String("Resource")) {
            checkResource(value.toObject(), where);
        } else if (section(QStringLiteral("datatypes")).contains(type)) {
            checkDatatype(value.toObject(), type, where);
        } else {
            fail(where, QStringLiteral("type %1 is not expected in the export").arg(type));
        }
    }

    void checkDatatype(const QJsonObject &object, const QString &type, const QString &where)
    {
        checkChildren(object, section(QStringLiteral("datatypes")).value(type).toObject(), {}, {}, where);
        if (type == QLatin1String("Reference") && !object.contains(QStringLiteral("reference"))
            && !object.contains(QStringLiteral("identifier")) && !object.contains(QStringLiteral("display")))
            fail(where, QStringLiteral("ref-2"));
        if (type.endsWith(QLatin1String("Quantity")) && object.contains(QStringLiteral("code"))
            && !object.contains(QStringLiteral("system")))
            fail(where, QStringLiteral("qty-3"));
    }

    QJsonObject m_table;
    QStringList m_errors;
};

struct FhirReply
{
    int status = 0;
    QString contentType;
    QJsonObject body;
};

// A GET in the nutritionist's session, or with the token given (none when
// empty).
FhirReply getFhir(int port, const QString &target, const std::optional<QString> &token = std::nullopt)
{
    httplib::Client client("127.0.0.1", port);
    httplib::Headers headers;
    if (const QString bearer = token.value_or(sessionToken(port)); !bearer.isEmpty())
        headers.emplace("Authorization", "Bearer " + bearer.toStdString());
    const auto response = client.Get(target.toStdString().c_str(), headers);
    if (!response)
        return {};
    return {response->status, QString::fromStdString(response->get_header_value("Content-Type")),
            QJsonDocument::fromJson(QByteArray::fromStdString(response->body)).object()};
}

QString searchTarget(const QString &resource, const QString &patient, const QDate &day, const QString &branch)
{
    return QStringLiteral("/fhir/%1?patient=%2&date=%3&branch=%4").arg(resource, patient, day.toString(Qt::ISODate), branch);
}

QList<QJsonObject> entries(const QJsonObject &bundle)
{
    QList<QJsonObject> resources;
    for (const QJsonValue &entry : bundle.value(QStringLiteral("entry")).toArray())
        resources << entry[QStringLiteral("resource")].toObject();
    return resources;
}

QString firstCode(const QJsonValue &codeable)
{
    return codeable[QStringLiteral("coding")][0][QStringLiteral("code")].toString();
}

QDateTime readTime(const QJsonValue &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

} // namespace

class TestFhirExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;
    QJsonObject m_table;

    QStringList breaches(const QJsonObject &resource) { return R5Checker(m_table).check(resource); }

private slots:
    void initTestCase_data() { addBackendData(); }
    void initTestCase()
    {
        QFile file(QFINDTESTDATA("fhir-r5-minimum.json"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_table = QJsonDocument::fromJson(file.readAll()).object();
        QVERIFY(!m_table.isEmpty());
    }
    void init()
    {
        m_server = startBackendServer();
        QVERIFY(m_server);
    }
    void cleanup() { m_server.reset(); }

    // The checker itself catches what it is there for.
    void checkerFindsBreaches_data()
    {
        QTest::addColumn<QByteArray>("resource");
        QTest::addColumn<QString>("breach");
        const QByteArray base = R"("subject":{"identifier":{"system":"urn:x","value":"1"}},"dateTime":"2026-12-07","enteralFormula":{"baseFormulaProductName":"x"})";
        QTest::newRow("status missing") << R"({"resourceType":"NutritionOrder","intent":"order",)" + base + "}" << "status: required";
        QTest::newRow("status outside the value set")
            << R"({"resourceType":"NutritionOrder","status":"done","intent":"order",)" + base + "}" << "value set";
        QTest::newRow("element not in R5")
            << R"({"resourceType":"NutritionOrder","status":"active","intent":"order","rate":1,)" + base + "}" << "not an R5 element";
        QTest::newRow("list for a single element")
            << R"({"resourceType":"NutritionOrder","status":"active","intent":["order"],)" + base + "}" << "written as a list";
        QTest::newRow("time without zone")
            << QByteArray(R"({"resourceType":"NutritionOrder","status":"active","intent":"order","subject":{"display":"x"},"dateTime":"2026-12-07T08:30:00","oralDiet":{}})")
            << "not a valid dateTime";
        QTest::newRow("no formula (nor-1)")
            << QByteArray(R"({"resourceType":"NutritionOrder","status":"active","intent":"order","subject":{"display":"x"},"dateTime":"2026-12-07"})")
            << "nor-1";
        QTest::newRow("consumed item without product")
            << QByteArray(R"({"resourceType":"NutritionIntake","status":"completed","subject":{"display":"x"},"consumedItem":[{"type":{"text":"x"}}]})")
            << "nutritionProduct: required";
    }
    void checkerFindsBreaches()
    {
        QFETCH(QByteArray, resource);
        QFETCH(QString, breach);
        const QStringList found = breaches(QJsonDocument::fromJson(resource).object());
        QVERIFY2(found.join(QLatin1Char('\n')).contains(breach), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void exportsMeetR5Cardinalities_data()
    {
        QTest::addColumn<QString>("resource");
        QTest::addColumn<QString>("patient");
        QTest::addColumn<int>("count");
        QTest::newRow("orders of a day with items") << "NutritionOrder" << AdultWithRecords << 2;
        QTest::newRow("intakes of a day with items") << "NutritionIntake" << AdultWithRecords << 2;
        QTest::newRow("orders of a day without records") << "NutritionOrder" << AdultWithoutRecords << 0;
        QTest::newRow("intakes of a day without records") << "NutritionIntake" << AdultWithoutRecords << 0;
    }
    void exportsMeetR5Cardinalities()
    {
        QFETCH(QString, resource);
        QFETCH(QString, patient);
        QFETCH(int, count);
        const FhirReply reply = getFhir(m_server->port(), searchTarget(resource, patient, recordDay(), BranchAdjust));
        QCOMPARE(reply.status, 200);
        QVERIFY(reply.contentType.startsWith(QLatin1String("application/fhir+json")));
        QCOMPARE(reply.body.value(QStringLiteral("resourceType")).toString(), QStringLiteral("Bundle"));
        QCOMPARE(reply.body.value(QStringLiteral("type")).toString(), QStringLiteral("searchset"));
        QCOMPARE(reply.body.value(QStringLiteral("total")).toInt(), count);
        QCOMPARE(entries(reply.body).size(), count);
        const QStringList found = breaches(reply.body);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    // The demo database's records, built the way scripts/run builds them.
    void demoRecordMeetsR5Cardinalities()
    {
        QTemporaryDir dir;
        EntPatServer demo({.database = dir.filePath(QStringLiteral("demo.db")), .demo = true, .demoPatients = 5,
                           .logLevel = LogLevel::Off});
        QVERIFY(demo.start());
        for (const QString &resource : {QStringLiteral("NutritionOrder"), QStringLiteral("NutritionIntake")}) {
            const FhirReply reply = getFhir(demo.port(), searchTarget(resource, QStringLiteral("000000000001"),
                                                                       QDate::currentDate(), QStringLiteral("0001")));
            QCOMPARE(reply.status, 200);
            QCOMPARE(entries(reply.body).size(), 3);
            const QStringList found = breaches(reply.body);
            QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
        }
    }

    void ordersCarryTheItems_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("formulation");
        QTest::addColumn<QString>("route");
        QTest::addColumn<QTime>("hour");
        QTest::addColumn<double>("prescribed");
        QTest::addColumn<double>("speed");
        QTest::addColumn<QString>("instruction");
        QTest::newRow("product") << ProductItem << "urn:entpat:produto" << Product << Route << QTime(8, 30) << 250.0
                                 << 62.5 << QString();
        QTest::newRow("dish") << DishItem << "urn:entpat:prato:0001" << Dish << OtherRoute << QTime(14, 0) << 300.0
                              << 50.0 << "Servir morno; sem sal";
    }
    void ordersCarryTheItems()
    {
        QFETCH(QString, number);
        QFETCH(QString, system);
        QFETCH(QString, formulation);
        QFETCH(QString, route);
        QFETCH(QTime, hour);
        QFETCH(double, prescribed);
        QFETCH(double, speed);
        QFETCH(QString, instruction);
        const FhirReply reply =
            getFhir(m_server->port(), searchTarget(QStringLiteral("NutritionOrder"), AdultWithRecords, recordDay(), BranchAdjust));
        const QString record = QStringLiteral("0001|%1|%2|01").arg(AdultWithRecords, recordDay().toString(Qt::ISODate));
        QJsonObject order;
        for (const QJsonObject &resource : entries(reply.body)) {
            if (resource[QStringLiteral("identifier")][0][QStringLiteral("value")].toString() == record + QLatin1Char('|') + number)
                order = resource;
        }
        QVERIFY2(!order.isEmpty(), "no order for the item");
        QCOMPARE(order[QStringLiteral("groupIdentifier")][QStringLiteral("value")].toString(), record);
        QCOMPARE(order[QStringLiteral("status")].toString(), QStringLiteral("completed"));   // a past day
        QCOMPARE(order[QStringLiteral("subject")][QStringLiteral("identifier")][QStringLiteral("value")].toString(), AdultWithRecords);
        QCOMPARE(order[QStringLiteral("orderer")][QStringLiteral("identifier")][QStringLiteral("value")].toString(), Nutritionist);
        QCOMPARE(order[QStringLiteral("dateTime")].toString(), recordDay().toString(Qt::ISODate));
        const QJsonValue formula = order[QStringLiteral("enteralFormula")];
        const QJsonValue product = formula[QStringLiteral("baseFormulaType")][QStringLiteral("concept")][QStringLiteral("coding")][0];
        QCOMPARE(product[QStringLiteral("system")].toString(), system);
        QCOMPARE(product[QStringLiteral("code")].toString(), formulation);
        QVERIFY(!product[QStringLiteral("display")].toString().isEmpty());
        QCOMPARE(firstCode(formula[QStringLiteral("routeOfAdministration")]), route);
        QCOMPARE(formula[QStringLiteral("administrationInstruction")].toString(), instruction);
        const QJsonValue administration = formula[QStringLiteral("administration")][0];
        QCOMPARE(readTime(administration[QStringLiteral("schedule")][QStringLiteral("timing")][0][QStringLiteral("event")][0]),
                 QDateTime(recordDay(), hour));
        QCOMPARE(administration[QStringLiteral("quantity")][QStringLiteral("value")].toDouble(), prescribed);
        QCOMPARE(administration[QStringLiteral("quantity")][QStringLiteral("code")].toString(), QStringLiteral("mL"));
        QCOMPARE(administration[QStringLiteral("rateQuantity")][QStringLiteral("value")].toDouble(), speed);
        QCOMPARE(administration[QStringLiteral("rateQuantity")][QStringLiteral("code")].toString(), QStringLiteral("mL/h"));
    }

    void intakesCarryVolumesAndOccurrences()
    {
        const FhirReply reply =
            getFhir(m_server->port(), searchTarget(QStringLiteral("NutritionIntake"), AdultWithRecords, recordDay(), BranchAdjust));
        const QList<QJsonObject> intakes = entries(reply.body);
        QCOMPARE(intakes.size(), 2);
        // Item 0001: 200 of 250 mL infused, one occurrence at 09:00.
        const QJsonObject partial = intakes.at(0);
        QVERIFY(partial[QStringLiteral("identifier")][0][QStringLiteral("value")].toString().endsWith(QLatin1String("|0001")));
        QVERIFY(partial[QStringLiteral("basedOn")][0][QStringLiteral("identifier")] == partial[QStringLiteral("identifier")][0]);
        QCOMPARE(partial[QStringLiteral("status")].toString(), QStringLiteral("stopped"));
        const QJsonValue consumed = partial[QStringLiteral("consumedItem")][0];
        QCOMPARE(firstCode(consumed[QStringLiteral("nutritionProduct")][QStringLiteral("concept")]), Product);
        QCOMPARE(firstCode(consumed[QStringLiteral("type")]), QStringLiteral("F"));
        QCOMPARE(consumed[QStringLiteral("amount")][QStringLiteral("value")].toDouble(), 200.0);
        QCOMPARE(consumed[QStringLiteral("rate")][QStringLiteral("value")].toDouble(), 62.5);
        QCOMPARE(readTime(partial[QStringLiteral("occurrenceDateTime")]), QDateTime(recordDay(), QTime(8, 30)));
        QCOMPARE(partial[QStringLiteral("statusReason")].toArray().size(), 1);
        QCOMPARE(firstCode(partial[QStringLiteral("statusReason")][0]), OccurrenceType);
        QCOMPARE(partial[QStringLiteral("note")].toArray().size(), 1);
        QCOMPARE(readTime(partial[QStringLiteral("note")][0][QStringLiteral("time")]), occurrenceTime());
        // Item 0002: all 300 mL infused, no occurrences.
        const QJsonObject full = intakes.at(1);
        QCOMPARE(full[QStringLiteral("status")].toString(), QStringLiteral("completed"));
        QCOMPARE(firstCode(full[QStringLiteral("consumedItem")][0][QStringLiteral("nutritionProduct")][QStringLiteral("concept")]), Dish);
        QCOMPARE(full[QStringLiteral("consumedItem")][0][QStringLiteral("amount")][QStringLiteral("value")].toDouble(), 300.0);
        QVERIFY(!full.contains(QStringLiteral("statusReason")));
        QVERIFY(!full.contains(QStringLiteral("note")));
    }

    // Another branch or day holds none of the patient's records.
    void searchIsLimitedToTheBranchAndDay_data()
    {
        QTest::addColumn<QString>("branch");
        QTest::addColumn<QDate>("day");
        QTest::newRow("other branch") << BranchPlain << recordDay();
        QTest::newRow("day before") << BranchAdjust << recordDay().addDays(-1);
        QTest::newRow("record without items") << BranchAdjust << QDate::currentDate();
    }
    void searchIsLimitedToTheBranchAndDay()
    {
        QFETCH(QString, branch);
        QFETCH(QDate, day);
        const FhirReply reply =
            getFhir(m_server->port(), searchTarget(QStringLiteral("NutritionOrder"), AdultWithRecords, day, branch));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body.value(QStringLiteral("total")).toInt(), 0);
        QVERIFY(!reply.body.contains(QStringLiteral("entry")));
    }

    void badSearchesAnswerOperationOutcome_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        const QString day = recordDay().toString(Qt::ISODate);
        const QString good = QStringLiteral("patient=%1&date=%2&branch=0001").arg(AdultWithRecords, day);
        QTest::newRow("patient missing") << "/fhir/NutritionOrder?date=" + day + "&branch=0001" << 400 << "ausente: \"patient\"";
        QTest::newRow("no parameters") << "/fhir/NutritionIntake" << 400 << "ausente";
        QTest::newRow("empty branch") << "/fhir/NutritionOrder?patient=1&date=" + day + "&branch=" << 400 << "vazio: \"branch\"";
        QTest::newRow("date as typed") << "/fhir/NutritionOrder?patient=1&date=07/12/2026&branch=0001" << 400 << "Data de pesquisa inválida";
        QTest::newRow("impossible date") << "/fhir/NutritionOrder?patient=1&date=2026-02-30&branch=0001" << 400 << "inválida";
        QTest::newRow("date with prefix") << "/fhir/NutritionOrder?patient=1&date=ge2026-12-01&branch=0001" << 400 << "inválida";
        QTest::newRow("repeated patient") << "/fhir/NutritionOrder?" + good + "&patient=000000000105" << 400 << "repetido";
        QTest::newRow("unknown parameter") << "/fhir/NutritionOrder?" + good + "&_count=5" << 400 << "desconhecido";
        QTest::newRow("other resource") << "/fhir/Patient?" + good << 404 << "Recurso desconhecido";
    }
    void badSearchesAnswerOperationOutcome()
    {
        QFETCH(QString, target);
        QFETCH(int, status);
        QFETCH(QString, message);
        const FhirReply reply = getFhir(m_server->port(), target);
        QCOMPARE(reply.status, status);
        QVERIFY(reply.contentType.startsWith(QLatin1String("application/fhir+json")));
        QCOMPARE(reply.body.value(QStringLiteral("resourceType")).toString(), QStringLiteral("OperationOutcome"));
        const QString diagnostics = reply.body[QStringLiteral("issue")][0][QStringLiteral("diagnostics")].toString();
        QVERIFY2(diagnostics.contains(message), qPrintable(diagnostics));
        const QStringList found = breaches(reply.body);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(QLatin1Char('\n'))));
    }

    void sessionIsRequired()
    {
        const QString target = searchTarget(QStringLiteral("NutritionOrder"), AdultWithRecords, recordDay(), BranchAdjust);
        const QString forged = forgedToken(sessionToken(m_server->port()));
        for (const QString &wrong : {QString(), forged}) {
            const FhirReply reply = getFhir(m_server->port(), target, wrong);
            QCOMPARE(reply.status, 401);
            QCOMPARE(reply.body[QStringLiteral("issue")][0][QStringLiteral("code")].toString(), QStringLiteral("security"));
            QCOMPARE(reply.body[QStringLiteral("issue")][0][QStringLiteral("diagnostics")].toString(),
                     QStringLiteral("Sessão expirada. Entre novamente."));
        }
        const FhirReply reply = getFhir(m_server->port(), target);
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.body.value(QStringLiteral("total")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestFhirExport)
#include "tst_fhirexport.moc"
