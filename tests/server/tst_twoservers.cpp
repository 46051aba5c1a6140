// Two application servers on one database, as several server processes of a
// deployment are: workstations reaching different servers change the same
// rows at the same moment, and the optimistic concurrency holds across the
// servers: one change wins, the other is refused with the stale-record (or
// duplicate) message, and every acknowledged change is what the database
// holds afterwards.

#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "core/serverresult.h"

#include <QTest>

#include <thread>

using namespace Fixture;

namespace {

const QString kStale =
    QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.");
const QString kDuplicate = QStringLiteral("Item já cadastrado por outro usuário.");

// The fixture's product item as one server answers it.
QJsonObject productItem(int port)
{
    const ServerResult result =
        callServer(port, QStringLiteral("getConfesco"), {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
    for (const QJsonObject &row : rowObjects(result.data))
        if (row[QStringLiteral("CDSEQUCOPR")].toString() == ProductItem)
            return row;
    return {};
}

// Sends two packets at the same moment, each to its own server.
QPair<ServerResult, ServerResult> sendTogether(int firstPort, const QJsonObject &first, int secondPort,
                                               const QJsonObject &second)
{
    ServerResult a;
    ServerResult b;
    std::thread other([&] { b = callServer(secondPort, QStringLiteral("SetConfesco"), {second}); });
    a = callServer(firstPort, QStringLiteral("SetConfesco"), {first});
    other.join();
    return {a, b};
}

} // namespace

class TestTwoServers : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FixtureServer> m_first;
    FixtureServer m_second;

private slots:
    void initTestCase_data() { addBackendData(); }

    void init()
    {
        m_first = startBackendServer();
        if (m_first)
            QVERIFY2(m_second.startOn(*m_first), qPrintable(m_second.error()));
    }

    void cleanup()
    {
        m_second.stop();
        m_first.reset();
    }

    // Both workstations read the item, each through its own server, and
    // change its quantity at once, round after round: each round exactly
    // one change is stored, the other is refused, and the stored quantity
    // is the winner's.
    void sameRowChangedThroughBothServers()
    {
        constexpr int rounds = 20;
        const int ports[2] = {m_first->port(), m_second.port()};
        for (int round = 0; round < rounds; ++round) {
            const QJsonObject firstRead = productItem(ports[0]);
            const QJsonObject secondRead = productItem(ports[1]);
            QCOMPARE(firstRead, secondRead);
            QJsonObject firstNew = firstRead;
            QJsonObject secondNew = secondRead;
            firstNew[QStringLiteral("QTPRATCONF")] = 1000.0 + round;
            secondNew[QStringLiteral("QTPRATCONF")] = 2000.0 + round;
            const auto [a, b] = sendTogether(ports[0], changes({change("modify", firstRead, firstNew)}), ports[1],
                                             changes({change("modify", secondRead, secondNew)}));
            QVERIFY2(a.ok != b.ok, qPrintable(QStringLiteral("round %1: %2 / %3").arg(round).arg(a.error, b.error)));
            QCOMPARE(a.ok ? b.error : a.error, kStale);
            const double winner = a.ok ? 1000.0 + round : 2000.0 + round;
            for (const int port : ports)
                QCOMPARE(productItem(port)[QStringLiteral("QTPRATCONF")].toDouble(), winner);
        }
    }

    // The same new item number through both servers at once: one is stored,
    // the other refused as a duplicate, never overwritten.
    void sameNewRowThroughBothServers()
    {
        QJsonObject firstNew = newItem(QStringLiteral("0100"));
        QJsonObject secondNew = firstNew;
        firstNew[QStringLiteral("QTPRATCONF")] = 111.0;
        secondNew[QStringLiteral("QTPRATCONF")] = 222.0;
        const auto [a, b] = sendTogether(m_first->port(), changes({change("insert", {}, firstNew)}), m_second.port(),
                                         changes({change("insert", {}, secondNew)}));
        QVERIFY2(a.ok != b.ok, qPrintable(a.error + QStringLiteral(" / ") + b.error));
        QCOMPARE(a.ok ? b.error : a.error, kDuplicate);
        const ServerResult items = callServer(m_second.port(), QStringLiteral("getConfesco"),
                                              {AdultWithRecords, Sequence, iso(recordDay()), BranchAdjust});
        int found = 0;
        for (const QJsonObject &row : rowObjects(items.data)) {
            if (row[QStringLiteral("CDSEQUCOPR")].toString() == QLatin1String("0100")) {
                ++found;
                QCOMPARE(row[QStringLiteral("QTPRATCONF")].toDouble(), a.ok ? 111.0 : 222.0);
            }
        }
        QCOMPARE(found, 1);
    }
};

QTEST_GUILESS_MAIN(TestTwoServers)
#include "tst_twoservers.moc"
