// Round trips of the application server on the demo data.
//
// For each reading method of rdmEntPat: N rounds (default 1000), each of
// one call over a kept-alive client connection, one call of the server's
// echo route with the same arguments (the transport alone) and one run of
// the method's own statements straight on the same database (the database
// alone), in rotating order so all see the same load on a busy machine.
// Printed: the method's median, the floor (echo median plus direct
// median), their ratio and PASS/FAIL against the allowed 1.3, and the
// method's own time in process (statements, rows read, answer encoded),
// which tells what of the difference is the server's work. Then the throughput of SetConfesco
// inserts from 8 concurrent clients into one service record. Then the
// workstation rows: 8 and then 64 workstations, each on its own kept-alive
// connection calling reading methods back to back for a few seconds:
// calls per second, median and 99th percentile of the round trips.
//
// A benchmark, not a test: it exits 0 whatever it measures, unless --check
// is given (then 2 when a method is over the ratio or an insert failed).
// It only ever writes to a database it creates: --database names a SQLite
// file that does not exist yet, or an empty PostgreSQL database.
//
//   bench_server [--calls 1000] [--patients 30] [--database <new SQLite file or postgresql://...>]
//                [--seconds 5] [--workstations-only] [--check]
#include "benchclients.h"
#include "benchdatabase.h"
#include "benchfloor.h"

#include "lib/demodata.h"
#include "lib/entpatserver.h"
#include "lib/schema.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

constexpr double allowedRatio = 1.3;

// One round trip in microseconds, from the call to its decoded answer;
// negative when the call failed.
double roundTrip(TNetConnection &connection, const QString &method, const QJsonArray &args)
{
    QElapsedTimer clock;
    clock.start();
    const ServerResult result = connection.Call(method, args);
    const double micros = double(clock.nsecsElapsed()) / 1000.0;
    return result.ok ? micros : -1.0;
}

struct Comparison
{
    double method = -1;   // median round trip of the method (us)
    double echo = -1;     // median echo round trip with the same arguments (us)
    double direct = -1;   // median time of the method's statements run straight on the database (us)
    double server = -1;   // median time of the method run in process, answer encoded (us)
};

// `calls` rounds of one method call, one echo call with the same arguments,
// one direct run of the method's statements and one in-process run of the
// method, in rotating order so all see the same load on a busy machine.
Comparison compareWithFloor(TNetConnection &client, TNetConnection &echo, SqlSession &direct, const QString &method,
                            const QJsonArray &args, int calls)
{
    const QVector<Statement> statements = callStatements(direct, method, args);
    std::vector<double> methodTimes;
    std::vector<double> echoTimes;
    std::vector<double> directTimes;
    std::vector<double> serverTimes;
    for (int i = 0; i < calls; ++i) {
        for (int step = 0; step < 4; ++step) {
            switch ((i + step) % 4) {
            case 0:
                methodTimes.push_back(roundTrip(client, method, args));
                break;
            case 1:
                echoTimes.push_back(roundTrip(echo, method, args));
                break;
            case 2:
                directTimes.push_back(replayMicros(direct, statements));
                break;
            default:
                serverTimes.push_back(inProcessMicros(direct, method, args));
            }
        }
        if (methodTimes.back() < 0 || echoTimes.back() < 0) {
            std::fprintf(stderr, "%s: call failed\n", qPrintable(method));
            return {};
        }
    }
    return {median(methodTimes), median(echoTimes), median(directTimes), median(serverTimes)};
}

QString firstCell(const ServerResult &result, int column)
{
    return result.data[QStringLiteral("rows")][0][column].toString();
}

int insertThroughput(int port, int clients, int insertsPerClient, const QString &patient, const QString &day)
{
    std::atomic<int> failures{0};
    onWorkstations(port, clients, [&](TNetConnection &client, int c) {
        for (int i = 0; i < insertsPerClient; ++i) {
            const QJsonObject item{{"CDFILIAL", "0001"}, {"CDPACIENTE", patient}, {"DTSERVINTE", day},
                                   {"NRSEQUSERV", "01"}, {"CDSEQUCOPR", QString::number(1000 * (c + 1) + i)},
                                   {"QTSERVCONF", 50.0}, {"QTPRATCONF", 250.0}, {"QTINFUCONF", 200.0},
                                   {"HRCONSCONF", 8.0}, {"DTCONSCONF", day}, {"CDPRODUTO", "P001"},
                                   {"CDVIACESDIET", "002"}, {"IDPREPCONF", "F"}, {"CDFORMULACAO", "01.001.0001"}};
            const QJsonObject packet{{"changes", QJsonArray{QJsonObject{{"kind", "insert"}, {"new", item}}}}};
            if (!client.Call("SetConfesco", {packet}).ok)
                ++failures;
        }
    });
    return failures;
}

struct WorkstationRow
{
    int workstations = 0;
    long calls = 0;
    long failures = 0;
    double seconds = 0;
    double median = 0;   // ms
    double p99 = 0;      // ms
};

// `workstations` clients, each on its own kept-alive connection, calling the
// methods in turn without pause for `seconds`.
WorkstationRow workstationRun(int port, int workstations, double seconds,
                              const QList<QPair<QString, QJsonArray>> &methods)
{
    std::atomic<long> failures{0};
    std::vector<std::vector<double>> times(static_cast<size_t>(workstations));
    QElapsedTimer clock;
    clock.start();
    const qint64 end = qint64(seconds * 1e9);
    onWorkstations(port, workstations, [&](TNetConnection &client, int w) {
        long failed = 0;
        times[size_t(w)] = timedCalls(client, methods, w, std::chrono::milliseconds(0), clock, end, &failed);
        failures += failed;
    });
    WorkstationRow row;
    row.workstations = workstations;
    row.seconds = double(clock.nsecsElapsed()) / 1e9;
    std::vector<double> all;
    for (const std::vector<double> &mine : times)
        all.insert(all.end(), mine.begin(), mine.end());
    row.calls = long(all.size());
    row.failures = failures;
    row.median = percentile(all, 0.5);
    row.p99 = percentile(all, 0.99);
    return row;
}

// The rows for 8 and 64 workstations; 0 when every call was answered.
int printWorkstationRows(int port, double seconds, const QList<QPair<QString, QJsonArray>> &methods)
{
    std::printf("\nworkstations, each calling reading methods back to back for %.0f s over its own connection\n", seconds);
    std::printf("%12s %10s %10s %12s %10s %8s\n", "workstations", "calls", "calls/s", "median (ms)", "p99 (ms)", "failed");
    long failures = 0;
    for (const int workstations : {8, 64}) {
        const WorkstationRow row = workstationRun(port, workstations, seconds, methods);
        failures += row.failures;
        std::printf("%12d %10ld %10.0f %12.2f %10.2f %8ld\n", row.workstations, row.calls, double(row.calls) / row.seconds,
                    row.median, row.p99, row.failures);
    }
    return failures == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption callsOption("calls", "Sequential calls per method.", "n", "1000");
    const QCommandLineOption patientsOption("patients", "Demo inpatients per branch.", "n", "30");
    const QCommandLineOption databaseOption = newDatabaseOption();
    const QCommandLineOption secondsOption("seconds", "Seconds of each workstation row.", "s", "5");
    const QCommandLineOption workstationsOnlyOption("workstations-only", "Only the workstation rows.");
    const QCommandLineOption checkOption("check", "Exit with 2 when a method is over the ratio or an insert failed.");
    parser.addOptions({callsOption, patientsOption, databaseOption, secondsOption, workstationsOnlyOption, checkOption});
    parser.process(app);
    const int calls = std::max(1, parser.value(callsOption).toInt());
    const double rowSeconds = std::max(1.0, parser.value(secondsOption).toDouble());

    QTemporaryDir dir;
    EntPatServerOptions options;
    options.database = newDatabase(parser, databaseOption, dir);
    if (options.database.isEmpty())
        return 1;
    options.demo = true;
    options.demoPatients = parser.value(patientsOption).toInt();
    EntPatServer server(options);
    if (!startServer(server, "bench_server"))
        return 1;

    TNetConnection client;
    connectTo(client, server.port());
    TNetConnection echo;
    connectTo(echo, server.port());
    echo.SetServerName(QStringLiteral("Bench.echo"));
    SqlSession direct(DatabaseConfig::parse(options.database), QStringLiteral("bench-direct"));
    const QString branch = "0001";
    const QString patient = "000000000001";
    const QString today = QDate::currentDate().startOfDay().toString(Qt::ISODate);
    const QString admission = firstCell(client.Call("getVdPaciente", {patient, branch}), 5);
    const QJsonArray allFilter = {"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(), branch};
    const QList<QPair<QString, QJsonArray>> methods = {
        {"GetInternados", {branch}},
        {"getPaciFiltro", allFilter},
        {"getPesqPaci", {branch}},
        {"getVdPaciente", {patient, branch}},
        {"getNutricio", {"NUTRI01", branch}},
        {"getServInte", {patient, admission, branch}},
        {"getVeriServ", {"00010", branch}},
        {"getVerifDieta", {"00010", "0001", branch}},
        {"getVdPostServInte", {patient, today, "00010", "0001", admission, branch}},
        {"getConfesco", {patient, "01", today, branch}},
        {"getNrConfesco", {patient, today, "01", branch}},
        {"getFormulacao", {"F", "1", "3", branch}},
        {"getVerifProd", {"01.001.0001"}},
        {"getVerifPrato", {"D001", branch}},
        {"getVerifViaAcesso", {"002"}},
        {"getOcorrencia", {patient, "01", today, "0001", branch}},
    };
    for (const auto &method : methods) {
        if (const ServerResult result = client.Call(method.first, method.second); !result.ok) {
            std::fprintf(stderr, "bench_server: %s failed: %s\n", qPrintable(method.first), qPrintable(result.error));
            return 1;
        }
    }

    if (parser.isSet(workstationsOnlyOption))
        return printWorkstationRows(server.port(), rowSeconds, methods);

    // Warm up the connection and the server's statements.
    for (const auto &method : methods)
        compareWithFloor(client, echo, direct, method.first, method.second, calls / 10 + 1);

    std::printf("%d rounds per method, each of one call, one echo call with the same arguments and one direct run\n"
                "of the method's statements on the database; %d demo inpatients per branch, database %s\n",
                calls, options.demoPatients, options.database.startsWith("postgres") ? "PostgreSQL" : "SQLite");
    std::printf("%-20s %12s %10s %12s %11s %7s  %-11s %15s\n", "method", "median (us)", "echo (us)", "direct (us)",
                "floor (us)", "ratio", "at most 1.3", "in process (us)");
    int over = 0;
    for (const auto &method : methods) {
        const Comparison times = compareWithFloor(client, echo, direct, method.first, method.second, calls);
        const double floor = times.echo + times.direct;
        const double ratio = times.method / floor;
        const bool ok = times.method > 0 && ratio <= allowedRatio;
        over += ok ? 0 : 1;
        std::printf("%-20s %12.1f %10.1f %12.1f %11.1f %7.2f  %-11s %15.1f\n", qPrintable(method.first),
                    times.method, times.echo, times.direct, floor, ratio, ok ? "PASS" : "FAIL", times.server);
    }
    std::printf("%d of %d methods within 1.3 times the floor\n", int(methods.size()) - over, int(methods.size()));

    constexpr int clients = 8;
    constexpr int insertsPerClient = 250;
    QElapsedTimer clock;
    clock.start();
    const int failures = insertThroughput(server.port(), clients, insertsPerClient, patient, today);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    std::printf("SetConfesco inserts, %d concurrent clients: %d in %.2f s = %.0f inserts/s, %d refused\n", clients,
                clients * insertsPerClient, seconds, clients * insertsPerClient / seconds, failures);
    printWorkstationRows(server.port(), rowSeconds, methods);
    server.stop();
    if (!parser.isSet(checkOption))
        return 0;
    return over == 0 && failures == 0 ? 0 : 2;
}
