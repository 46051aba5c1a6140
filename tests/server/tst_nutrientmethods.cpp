// The nutrient calculation, composition and hang-time methods against the
// fixture database, on SQLite and (when a throw-away cluster runs)
// PostgreSQL. Known answers of the fixture's day (record of yesterday):
//   item 0001: P001 (1.2 kcal, 0.05 g per mL), 08:30, 250 mL at 62.5 mL/h
//              (planned end 12:30), 200 infused; interruption "001" at 09:00
//   item 0002: D002 (0.8 kcal, 0.03 g per mL), 14:00, 300 mL at 50 mL/h,
//              300 infused
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QTest>

using namespace Fixture;

namespace {

QJsonObject occurrence(const QTime &time, const QString &type)
{
    return {{"CDFILIAL", BranchAdjust},   {"CDPACIENTE", AdultWithRecords},
            {"DTSERVINTE", iso(recordDay())}, {"NRSEQUSERV", Sequence},
            {"CDSEQUCOPR", ProductItem},  {"DTOCORINFU", QDateTime(recordDay(), time).toString(Qt::ISODate)},
            {"CDTPOCORINFU", type}};
}

struct Occurrence
{
    QTime time;
    QString type;
};

} // namespace

Q_DECLARE_METATYPE(QList<Occurrence>)

class TestNutrientMethods : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_server;

    ServerResult call(const QString &method, const QJsonArray &args)
    {
        return callServer(m_server->port(), method, args);
    }

    // The three packets of the calculation of the fixture's day.
    QJsonArray calculation()
    {
        const ServerResult result =
            call(QStringLiteral("getCalcNutri"), {AdultWithRecords, iso(recordDay()), BranchAdjust});
        if (!result.ok)
            qWarning("%s", qPrintable(result.error));
        return result.data.toArray();
    }

    QVector<QJsonObject> composition()
    {
        return rowObjects(
            call(QStringLiteral("getComposicao"), {AdultWithRecords, iso(recordDay()), BranchAdjust}).data);
    }

private slots:
    void initTestCase_data() { addBackendData(); }
    void init() { m_server = startBackendServer(); }
    void cleanup() { m_server.reset(); }

    void itemsAndTotalsOfTheDay()
    {
        const QJsonArray packets = calculation();
        QCOMPARE(packets.size(), 3);
        const QVector<QJsonObject> items = rowObjects(packets.at(0));
        QCOMPARE(items.size(), 2);
        const QJsonObject product = items.at(0);
        QCOMPARE(product["CDSEQUCOPR"].toString(), ProductItem);
        QCOMPARE(product["NMFORMULACAO"].toString(), QStringLiteral("Fórmula enteral polimérica 1,0 kcal/mL"));
        QCOMPARE(product["PCINFUNDIDO"].toDouble(), 80.0);
        QCOMPARE(product["QTKCALPRESC"].toDouble(), 300.0);
        QCOMPARE(product["QTKCALINFU"].toDouble(), 240.0);
        QCOMPARE(product["QTPROTPRESC"].toDouble(), 12.5);
        QCOMPARE(product["QTPROTINFU"].toDouble(), 10.0);
        QCOMPARE(product["DTFIMPREV"].toString(), QDateTime(recordDay(), QTime(12, 30)).toString(Qt::ISODate));
        QCOMPARE(product["QTINTERRUP"].toInt(), 1);
        QCOMPARE(product["QTMININTERR"].toDouble(), 210.0);
        const QJsonObject dish = items.at(1);
        QCOMPARE(dish["NMFORMULACAO"].toString(), QStringLiteral("Sopa liquidificada"));
        QCOMPARE(dish["PCINFUNDIDO"].toDouble(), 100.0);
        QCOMPARE(dish["QTKCALINFU"].toDouble(), 240.0);
        QCOMPARE(dish["QTPROTINFU"].toDouble(), 9.0);
        QCOMPARE(dish["QTMININTERR"].toDouble(), 0.0);

        const QJsonObject total = rowObjects(packets.at(1)).value(0);
        QCOMPARE(total["QTPRATCONF"].toDouble(), 550.0);
        QCOMPARE(total["QTINFUCONF"].toDouble(), 500.0);
        QCOMPARE(total["PCINFUNDIDO"].toDouble(), 500.0 / 550.0 * 100.0);
        QCOMPARE(total["QTKCALPRESC"].toDouble(), 540.0);
        QCOMPARE(total["QTKCALINFU"].toDouble(), 480.0);
        QCOMPARE(total["QTPROTPRESC"].toDouble(), 21.5);
        QCOMPARE(total["QTPROTINFU"].toDouble(), 19.0);
        QCOMPARE(total["QTMININTERR"].toDouble(), 210.0);

        const QVector<QJsonObject> interruptions = rowObjects(packets.at(2));
        QCOMPARE(interruptions.size(), 1);
        QCOMPARE(interruptions.at(0)["NMTPOCORINFU"].toString(), QStringLiteral("Obstrução da sonda"));
        QCOMPARE(interruptions.at(0)["DTINIINTERR"].toString(),
                 QDateTime(recordDay(), QTime(9, 0)).toString(Qt::ISODate));
        QCOMPARE(interruptions.at(0)["DTFIMINTERR"].toString(),
                 QDateTime(recordDay(), QTime(12, 30)).toString(Qt::ISODate));
    }

    // Occurrences added to item 0001 (beside the fixture's "001" at 09:00):
    // the item's interruption minutes and count.
    void interruptionsOfTheProductItem_data()
    {
        QTest::addColumn<QList<Occurrence>>("added");
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("minutes");
        const QString vomit = QStringLiteral("002");
        QTest::newRow("a plain occurrence ends it") << QList<Occurrence>{{QTime(10, 0), NonInterruptionType}} << 1 << 60.0;
        QTest::newRow("after the planned end is none") << QList<Occurrence>{{QTime(13, 0), vomit}} << 1 << 210.0;
        QTest::newRow("before the start") << QList<Occurrence>{{QTime(8, 0), vomit}} << 2 << 240.0;
        QTest::newRow("a repeat at the same moment is none") << QList<Occurrence>{{QTime(9, 0), vomit}} << 1 << 210.0;
    }

    void interruptionsOfTheProductItem()
    {
        QFETCH(QList<Occurrence>, added);
        QFETCH(int, count);
        QFETCH(double, minutes);
        for (const Occurrence &extra : added) {
            const ServerResult stored = call(QStringLiteral("SetOcorrencia"),
                                             {changes({change("insert", {}, occurrence(extra.time, extra.type))})});
            QVERIFY2(stored.ok, qPrintable(stored.error));
        }
        const QJsonObject product = rowObjects(calculation().at(0)).value(0);
        QCOMPARE(product["QTINTERRUP"].toInt(), count);
        QCOMPARE(product["QTMININTERR"].toDouble(), minutes);
    }

    void aDayWithoutItemsIsEmpty()
    {
        const ServerResult result =
            call(QStringLiteral("getCalcNutri"), {AdultWithRecords, iso(QDate::currentDate()), BranchAdjust});
        QVERIFY2(result.ok, qPrintable(result.error));
        QVERIFY(rowObjects(result.data.toArray().at(0)).isEmpty());
        const QJsonObject total = rowObjects(result.data.toArray().at(1)).value(0);
        QVERIFY(total["QTPRATCONF"].isNull() && total["PCINFUNDIDO"].isNull());
        QCOMPARE(total["QTMININTERR"].toDouble(), 0.0);
    }

    // The composition of the day's formulations is changed in one packet;
    // the calculation follows. A stale row refuses the whole packet.
    void compositionChangesAreAllOrNothing()
    {
        const QVector<QJsonObject> rows = composition();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0)["CDFORMULA"].toString(), Product);
        QCOMPARE(rows.at(1)["CDFORMULA"].toString(), Dish);
        QCOMPARE(rows.at(1)["CDFILIAL"].toString(), BranchAdjust);
        QJsonObject product = rows.at(0);
        product["QTKCALML"] = 1.5;
        QJsonObject dish = rows.at(1);
        dish["QTPROTML"] = 0.04;
        QJsonObject staleDish = rows.at(1);
        staleDish["QTPROTML"] = 0.5;

        ServerResult result = call(QStringLiteral("SetComposicao"),
                                   {changes({change("modify", rows.at(0), product), change("modify", staleDish, dish)})});
        QVERIFY(!result.ok);
        QCOMPARE(result.error, QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e "
                                              "tente novamente."));
        QCOMPARE(composition(), rows);

        result = call(QStringLiteral("SetComposicao"), {changes({change("insert", {}, product)})});
        QCOMPARE(result.error, QStringLiteral("Só a composição das formulações pode ser alterada aqui."));

        result = call(QStringLiteral("SetComposicao"),
                      {changes({change("modify", rows.at(0), product), change("modify", rows.at(1), dish)})});
        QVERIFY2(result.ok, qPrintable(result.error));
        const QJsonObject total = rowObjects(calculation().at(1)).value(0);
        QCOMPARE(total["QTKCALPRESC"].toDouble(), 250 * 1.5 + 300 * DishKcalPerMl);
        QCOMPARE(total["QTPROTPRESC"].toDouble(), 250 * ProductProteinPerMl + 300 * 0.04);
    }

    void hangTimesOfABranchOrTheDefaults_data()
    {
        QTest::addColumn<QString>("branch");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("closed");
        QTest::newRow("branch rows") << BranchAdjust << OpenHangBranchAdjust << "2400";
        QTest::newRow("defaults") << BranchPlain << "0400" << "2400";
    }

    void hangTimesOfABranchOrTheDefaults()
    {
        QFETCH(QString, branch);
        QFETCH(QString, open);
        QFETCH(QString, closed);
        const QVector<QJsonObject> rows = rowObjects(call(QStringLiteral("getParaHang"), {branch}).data);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0)["IDPREPCONF"].toString(), QStringLiteral("A"));
        QCOMPARE(rows.at(0)["HRMAXHANG"].toString(), open);
        QCOMPARE(rows.at(1)["IDPREPCONF"].toString(), QStringLiteral("F"));
        QCOMPARE(rows.at(1)["HRMAXHANG"].toString(), closed);
    }

    // A default changed becomes the branch's row; a stored row changes only
    // from what was read; a time must be "hhmm" above zero.
    void hangTimesAreChanged()
    {
        const auto rows = [this](const QString &branch) {
            return rowObjects(call(QStringLiteral("getParaHang"), {branch}).data);
        };
        const auto changed = [](QJsonObject row, const QString &time) {
            row["HRMAXHANG"] = time;
            return row;
        };
        const QJsonObject open = rows(BranchPlain).at(0);
        ServerResult result =
            call(QStringLiteral("SetParaHang"), {changes({change("modify", open, changed(open, "0600"))})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(rows(BranchPlain).at(0)["HRMAXHANG"].toString(), QStringLiteral("0600"));
        result = call(QStringLiteral("SetParaHang"), {changes({change("modify", open, changed(open, "0500"))})});
        QVERIFY(!result.ok);
        QCOMPARE(rows(BranchPlain).at(0)["HRMAXHANG"].toString(), QStringLiteral("0600"));

        const QJsonObject closed = rows(BranchAdjust).at(1);
        for (const char *bad : {"0075", "0000", "12:0"}) {
            result = call(QStringLiteral("SetParaHang"), {changes({change("modify", closed, changed(closed, bad))})});
            QCOMPARE(result.error, QStringLiteral("Tempo máximo de infusão inválido: \"%1\".").arg(bad));
        }
        result = call(QStringLiteral("SetParaHang"), {changes({change("modify", closed, changed(closed, "1200"))})});
        QVERIFY2(result.ok, qPrintable(result.error));
        QCOMPARE(rows(BranchAdjust).at(1)["HRMAXHANG"].toString(), QStringLiteral("1200"));
    }
};

QTEST_GUILESS_MAIN(TestNutrientMethods)
#include "tst_nutrientmethods.moc"
