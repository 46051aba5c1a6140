// Workstations of mixed work against one application server on the demo
// data: each on its own client connection, back to back, in turn: the
// patient list, the checks of a post (record, product, route), a new item
// in one of the demo records, an edit of the one item every workstation
// edits (optimistic concurrency: most edits meet a change made since they
// read it and are refused), and an occurrence of an item it inserted.
//
// With --interval each workstation starts a call that many milliseconds
// after its previous one instead (1000: a call a second, as a ward's
// workstations work).
//
// Printed: calls and calls per second, median, 95th and 99th percentile of
// the round trips, calls left without an answer, edits stored and refused as
// stale, other refusals. Then the
// database is checked against what each workstation was told: every
// acknowledged item and occurrence is there and nothing else of the run, and
// the acknowledged edits of the shared item form one unbroken chain from
// its first value to the value stored.
//
// A benchmark, not a test: it exits 0 whatever it measures, 2 when the
// database check fails or a call got no answer. It only writes to a
// database it creates.
//
//   bench_workstations [--seconds 60] [--workstations 8] [--interval 0]
//                      [--database <new SQLite file or empty postgresql://...>]
#include "benchclients.h"
#include "benchdatabase.h"
#include "benchfloor.h"
#include "fixturepackets.h"

#include "lib/entpatserver.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const QString kBranch = QStringLiteral("0001");
const QString kStale =
    QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.");
// Items of the run are numbered from here; the demo items are below.
constexpr int kFirstNumber = 1000;
constexpr int kRecords = 10;   // today's and yesterday's records of the first five demo patients

QString patientOf(int record)
{
    return QStringLiteral("%1").arg(record % 5 + 1, 12, 10, QLatin1Char('0'));
}

QString dayOf(int record)
{
    return QDate::currentDate().addDays(-(record / 5)).startOfDay().toString(Qt::ISODate);
}

QString keyOf(int record, const QString &number)
{
    return patientOf(record) + QLatin1Char('/') + dayOf(record) + QLatin1Char('/') + number;
}

QJsonObject newItem(int record, const QString &number)
{
    const QString day = dayOf(record);
    return {{"CDFILIAL", kBranch}, {"CDPACIENTE", patientOf(record)}, {"DTSERVINTE", day}, {"NRSEQUSERV", "01"},
            {"CDSEQUCOPR", number}, {"QTSERVCONF", 50.0}, {"QTPRATCONF", 250.0}, {"QTINFUCONF", 200.0},
            {"HRCONSCONF", 8.0}, {"DTCONSCONF", day}, {"CDPRODUTO", "P001"}, {"CDVIACESDIET", "002"},
            {"IDPREPCONF", "F"}, {"CDFORMULACAO", "01.001.0001"}};
}

// The argument of a change method: a packet of one change.
QJsonArray oneChange(const QString &kind, const QJsonObject &old, const QJsonObject &values)
{
    return {Fixture::changes({Fixture::change(kind, old, values)})};
}

// The item every workstation edits: the first demo item of today's record
// of the first patient.
QJsonArray sharedRecordArgs()
{
    return {patientOf(0), "01", dayOf(0), kBranch};
}

QJsonObject sharedItem(TNetConnection &connection)
{
    const ServerResult result = connection.Call(QStringLiteral("getConfesco"), sharedRecordArgs());
    const QVector<QJsonObject> items = Fixture::rowObjects(result.data);
    return items.isEmpty() ? QJsonObject() : items.first();
}

// What one workstation did and was told.
struct Workstation
{
    std::vector<double> millis;
    QStringList items;                      // acknowledged new items (keys)
    QStringList occurrences;                // acknowledged occurrences (item key + time)
    QVector<QPair<double, double>> edits;   // acknowledged edits of the shared item: old, new quantity
    long stale = 0;
    long otherRefusals = 0;
    long unanswered = 0;                    // calls that got no answer at all
    QStringList refusalTexts;
};

// With an interval, the workstation's calls start that far apart, the
// workstations' first calls spread over one interval; without one, back to
// back.
void work(TNetConnection &connection, int index, int count, std::chrono::milliseconds interval, qint64 endNs,
          const QElapsedTimer &clock, Workstation &mine)
{
    const QString today = QDate::currentDate().startOfDay().toString(Qt::ISODate);
    const QJsonArray wholeList = {"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), kBranch};
    int inserted = 0;
    int lastRecord = -1;
    QString lastNumber;
    QJsonObject read = sharedItem(connection);
    qint64 nextStartNs = clock.nsecsElapsed() + std::chrono::nanoseconds(interval).count() * index / count;
    const auto timed = [&](const QString &method, const QJsonArray &args) {
        if (interval.count() > 0) {
            const qint64 waitNs = nextStartNs - clock.nsecsElapsed();
            if (waitNs > 0)
                std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
            nextStartNs += std::chrono::nanoseconds(interval).count();
        }
        QElapsedTimer call;
        call.start();
        ServerResult result = connection.Call(method, args);
        mine.millis.push_back(double(call.nsecsElapsed()) / 1e6);
        if (result.unanswered)
            ++mine.unanswered;
        return result;
    };
    for (long step = index; clock.nsecsElapsed() < endNs; ++step) {
        switch (step % 6) {
        case 0:
            timed(QStringLiteral("getPaciFiltro"), wholeList);
            break;
        case 1:
            timed(QStringLiteral("getVdPostServInte"), {patientOf(0), today, "00010", "0001", QJsonValue(), kBranch});
            timed(QStringLiteral("getVerifProd"), {"01.001.0001"});
            timed(QStringLiteral("getVerifViaAcesso"), {"002"});
            // The edit below starts from what this workstation read here.
            read = Fixture::rowObjects(timed(QStringLiteral("getConfesco"), sharedRecordArgs()).data).value(0);
            break;
        case 2: {
            const int record = inserted % kRecords;
            // Interleaved by workstation, so the numbers of many
            // workstations stay within the four digits of the column.
            const QString number = QString::number(kFirstNumber + inserted / kRecords * count + index);
            const ServerResult result =
                timed(QStringLiteral("SetConfesco"), oneChange("insert", {}, newItem(record, number)));
            ++inserted;
            if (result.ok) {
                mine.items << keyOf(record, number);
                lastRecord = record;
                lastNumber = number;
            } else {
                ++mine.otherRefusals;
                mine.refusalTexts << result.error;
            }
            break;
        }
        case 3: {
            QJsonObject changed = read;
            const double quantity = (index + 1) * 1e6 + double(step);
            changed[QStringLiteral("QTPRATCONF")] = quantity;
            const ServerResult result = timed(QStringLiteral("SetConfesco"), oneChange("modify", read, changed));
            if (result.ok)
                mine.edits.append({read[QStringLiteral("QTPRATCONF")].toDouble(), quantity});
            else if (result.error == kStale)
                ++mine.stale;
            else {
                ++mine.otherRefusals;
                mine.refusalTexts << result.error;
            }
            break;
        }
        case 4:
            timed(QStringLiteral("getConfesco"), sharedRecordArgs());
            break;
        default: {
            if (lastRecord < 0)
                break;
            const QString when = QDate::currentDate()
                                     .addDays(-(lastRecord / 5))
                                     .startOfDay()
                                     .addSecs(60 * (step % 1440))
                                     .toString(Qt::ISODate);
            const QJsonObject occurrence{{"CDFILIAL", kBranch}, {"CDPACIENTE", patientOf(lastRecord)},
                                         {"DTSERVINTE", dayOf(lastRecord)}, {"NRSEQUSERV", "01"},
                                         {"CDSEQUCOPR", lastNumber}, {"DTOCORINFU", when}, {"CDTPOCORINFU", "002"}};
            const ServerResult result = timed(QStringLiteral("SetOcorrencia"), oneChange("insert", {}, occurrence));
            if (result.ok) {
                mine.occurrences << keyOf(lastRecord, lastNumber) + QLatin1Char('@') + when;
            } else {
                ++mine.otherRefusals;
                mine.refusalTexts << result.error;
            }
            lastRecord = -1;   // one occurrence per new item
        }
        }
    }
}

// The database against what the workstations were told; empty when they
// agree, else what does not.
QStringList checkDatabase(TNetConnection &connection, const std::vector<Workstation> &stations, double firstQuantity)
{
    QStringList problems;
    QSet<QString> toldItems;
    QSet<QString> toldOccurrences;
    QHash<double, double> chain;
    for (const Workstation &station : stations) {
        for (const QString &key : station.items)
            toldItems.insert(key);
        for (const QString &key : station.occurrences)
            toldOccurrences.insert(key);
        for (const auto &edit : station.edits) {
            if (chain.contains(edit.first))
                problems << QStringLiteral("two acknowledged edits started from %1").arg(edit.first);
            chain.insert(edit.first, edit.second);
        }
    }
    QSet<QString> storedItems;
    QSet<QString> storedOccurrences;
    for (int record = 0; record < kRecords; ++record) {
        const ServerResult items =
            connection.Call(QStringLiteral("getConfesco"), {patientOf(record), "01", dayOf(record), kBranch});
        for (const QJsonObject &item : Fixture::rowObjects(items.data)) {
            const QString number = item[QStringLiteral("CDSEQUCOPR")].toString();
            if (number.toInt() < kFirstNumber)
                continue;
            storedItems.insert(keyOf(record, number));
            const ServerResult occurrences = connection.Call(
                QStringLiteral("getOcorrencia"), {patientOf(record), "01", dayOf(record), number, kBranch});
            for (const QJsonObject &occurrence : Fixture::rowObjects(occurrences.data))
                storedOccurrences.insert(keyOf(record, number) + QLatin1Char('@')
                                         + occurrence[QStringLiteral("DTOCORINFU")].toString());
        }
    }
    if (storedItems != toldItems)
        problems << QStringLiteral("items: %1 acknowledged, %2 stored, %3 acknowledged but missing")
                        .arg(toldItems.size())
                        .arg(storedItems.size())
                        .arg((toldItems - storedItems).size());
    if (storedOccurrences != toldOccurrences)
        problems << QStringLiteral("occurrences: %1 acknowledged, %2 stored, %3 acknowledged but missing")
                        .arg(toldOccurrences.size())
                        .arg(storedOccurrences.size())
                        .arg((toldOccurrences - storedOccurrences).size());
    double value = firstQuantity;
    int followed = 0;
    while (chain.contains(value) && followed <= chain.size()) {
        value = chain.value(value);
        ++followed;
    }
    const double stored = sharedItem(connection)[QStringLiteral("QTPRATCONF")].toDouble();
    if (followed != chain.size() || value != stored)
        problems << QStringLiteral("shared item: %1 of %2 acknowledged edits chained, chain ends at %3, stored %4")
                        .arg(followed)
                        .arg(chain.size())
                        .arg(value)
                        .arg(stored);
    return problems;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption secondsOption("seconds", "Seconds of work.", "s", "60");
    const QCommandLineOption workstationsOption("workstations", "Workstations working at once.", "n", "8");
    const QCommandLineOption intervalOption("interval", "Milliseconds from one call of a workstation to its next "
                                            "(0: back to back).", "ms", "0");
    const QCommandLineOption databaseOption = newDatabaseOption();
    parser.addOptions({secondsOption, workstationsOption, intervalOption, databaseOption});
    parser.process(app);
    const double seconds = std::max(1.0, parser.value(secondsOption).toDouble());
    const int count = std::max(1, parser.value(workstationsOption).toInt());
    const std::chrono::milliseconds interval(std::max(0, parser.value(intervalOption).toInt()));

    QTemporaryDir dir;
    EntPatServerOptions options;
    options.database = newDatabase(parser, databaseOption, dir);
    if (options.database.isEmpty())
        return 1;
    options.demo = true;
    options.logLevel = LogLevel::Off;
    EntPatServer server(options);
    if (!startServer(server, "bench_workstations"))
        return 1;
    TNetConnection checker;
    connectTo(checker, server.port());
    const double firstQuantity = sharedItem(checker)[QStringLiteral("QTPRATCONF")].toDouble();

    std::vector<Workstation> stations(static_cast<size_t>(count));
    QElapsedTimer clock;
    clock.start();
    const qint64 endNs = qint64(seconds * 1e9);
    onWorkstations(server.port(), count, [&](TNetConnection &connection, int w) {
        work(connection, w, count, interval, endNs, clock, stations[size_t(w)]);
    });
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;

    std::vector<double> all;
    long edits = 0;
    long stale = 0;
    long others = 0;
    long unanswered = 0;
    QStringList otherTexts;
    for (const Workstation &station : stations) {
        unanswered += station.unanswered;
        all.insert(all.end(), station.millis.begin(), station.millis.end());
        edits += station.edits.size();
        stale += station.stale;
        others += station.otherRefusals;
        otherTexts += station.refusalTexts;
    }
    otherTexts.removeDuplicates();
    std::printf("%d workstations, %s, %.0f s, database %s\n", count,
                interval.count() > 0 ? qPrintable(QStringLiteral("a call every %1 ms each").arg(interval.count()))
                                     : "back to back",
                elapsed, options.database.startsWith("postgres") ? "PostgreSQL" : "SQLite");
    std::printf("calls %zu, %.0f calls/s, median %.2f ms, p95 %.2f ms, p99 %.2f ms, unanswered %ld\n", all.size(),
                double(all.size()) / elapsed, percentile(all, 0.5), percentile(all, 0.95), percentile(all, 0.99),
                unanswered);
    std::printf("edits of the shared item: %ld stored, %ld refused as stale; other refusals %ld%s%s\n", edits, stale,
                others, otherTexts.isEmpty() ? "" : ": ", qPrintable(otherTexts.join(QStringLiteral(" | "))));
    const QStringList problems = checkDatabase(checker, stations, firstQuantity);
    std::printf("database check: %s\n", problems.isEmpty() ? "everything acknowledged is stored, nothing else"
                                                            : qPrintable(problems.join(QStringLiteral("; "))));
    server.stop();
    return problems.isEmpty() && unanswered == 0 ? 0 : 2;
}
