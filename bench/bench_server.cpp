// Round trips of the application server on the demo data.
//
// For each reading method of rdmEntPat: N sequential calls (default 1000)
// over one kept-alive connection, each paired with a call of the server's
// bare echo route (the floor: the transport itself), the two taken in
// alternating order so both see the same load on a busy machine. Printed:
// the method's median, the echo median of the same pairs, their ratio and
// PASS/FAIL against the allowed 1.3. Then the throughput of SetConfesco
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
#include "fixtureserver.h"
#include "lib/demodata.h"
#include "lib/entpatserver.h"
#include "lib/requesterror.h"
#include "lib/schema.h"
#include "lib/sqlsession.h"

#include <httplib.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr double allowedRatio = 1.3;

struct Client
{
    // In a session of the demo nutritionist, as a workstation works.
    explicit Client(int port) : http("127.0.0.1", port)
    {
        http.set_bearer_token_auth(sessionToken(port).toStdString());
        http.set_tcp_nodelay(true);
        http.set_keep_alive(true);
    }
    // Returns the answer's "data", or an empty value after printing the error.
    QJsonValue post(const std::string &path, const QJsonArray &args)
    {
        const QByteArray body = QJsonDocument(QJsonObject{{"args", args}}).toJson(QJsonDocument::Compact);
        const auto response = http.Post(path.c_str(), body.constData(), size_t(body.size()), "application/json");
        if (!response) {
            std::fprintf(stderr, "%s: transport error %s\n", path.c_str(), httplib::to_string(response.error()).c_str());
            return {};
        }
        const QJsonObject envelope = QJsonDocument::fromJson(QByteArray::fromStdString(response->body)).object();
        if (!envelope.value("ok").toBool()) {
            lastError = envelope.value("error").toString();
            return {};
        }
        return envelope.value("data");
    }
    QJsonValue call(const QString &method, const QJsonArray &args) { return post("/rdmEntPat/" + method.toStdString(), args); }

    httplib::Client http;
    QString lastError;
};

// One round trip in microseconds: from sending the request to having the
// whole answer (not decoding it); negative when the call failed.
double roundTrip(Client &client, const std::string &path, const QByteArray &body)
{
    QElapsedTimer clock;
    clock.start();
    const auto response = client.http.Post(path.c_str(), body.constData(), size_t(body.size()), "application/json");
    const double micros = double(clock.nsecsElapsed()) / 1000.0;
    return response && response->status == 200 ? micros : -1.0;
}

double median(std::vector<double> values)
{
    const auto middle = values.begin() + std::ptrdiff_t(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

struct Comparison
{
    double method = -1;   // median round trip of the method (us)
    double echo = -1;     // median round trip of the echo calls paired with it (us)
};

// `calls` pairs of one method call and one echo call, in alternating order.
Comparison compareWithEcho(Client &client, const std::string &path, const QJsonArray &args, int calls)
{
    // The echo gets the same request, so the two differ only by the work
    // of the method and the size of its answer.
    const QByteArray body = QJsonDocument(QJsonObject{{"args", args}}).toJson(QJsonDocument::Compact);
    std::vector<double> methodTimes;
    std::vector<double> echoTimes;
    methodTimes.reserve(size_t(calls));
    echoTimes.reserve(size_t(calls));
    for (int i = 0; i < calls; ++i) {
        const bool methodFirst = i % 2 == 0;
        const double first = roundTrip(client, methodFirst ? path : "/echo", body);
        const double second = roundTrip(client, methodFirst ? "/echo" : path, body);
        if (first < 0 || second < 0) {
            std::fprintf(stderr, "%s: call failed\n", path.c_str());
            return {};
        }
        methodTimes.push_back(methodFirst ? first : second);
        echoTimes.push_back(methodFirst ? second : first);
    }
    return {median(methodTimes), median(echoTimes)};
}

QString firstCell(const QJsonValue &packet, int column)
{
    return packet["rows"][0][column].toString();
}

int insertThroughput(int port, int clients, int insertsPerClient, const QString &patient, const QString &day)
{
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            Client client(port);
            for (int i = 0; i < insertsPerClient; ++i) {
                const QJsonObject item{{"CDFILIAL", "0001"}, {"CDPACIENTE", patient}, {"DTSERVINTE", day},
                                       {"NRSEQUSERV", "01"}, {"CDSEQUCOPR", QString::number(1000 * (c + 1) + i)},
                                       {"QTSERVCONF", 50.0}, {"QTPRATCONF", 250.0}, {"QTINFUCONF", 200.0},
                                       {"HRCONSCONF", 8.0}, {"DTCONSCONF", day}, {"CDPRODUTO", "P001"},
                                       {"CDVIACESDIET", "002"}, {"IDPREPCONF", "F"}, {"CDFORMULACAO", "01.001.0001"}};
                const QJsonObject packet{{"changes", QJsonArray{QJsonObject{{"kind", "insert"}, {"new", item}}}}};
                if (client.call("SetConfesco", {packet}).isUndefined())
                    ++failures;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
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

double percentile(std::vector<double> &values, double fraction)
{
    if (values.empty())
        return -1;
    const auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * fraction);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// `workstations` clients, each on its own kept-alive connection, calling the
// methods in turn without pause for `seconds`.
WorkstationRow workstationRun(int port, int workstations, double seconds,
                              const QList<QPair<QString, QJsonArray>> &methods)
{
    std::atomic<long> failures{0};
    std::vector<std::vector<double>> times(static_cast<size_t>(workstations));
    std::vector<std::thread> threads;
    QElapsedTimer clock;
    clock.start();
    const qint64 end = qint64(seconds * 1e9);
    for (int w = 0; w < workstations; ++w) {
        threads.emplace_back([&, w] {
            Client client(port);
            std::vector<double> &mine = times[size_t(w)];
            for (int i = w; clock.nsecsElapsed() < end; ++i) {
                const auto &method = methods.at(i % methods.size());
                const QByteArray body = QJsonDocument(QJsonObject{{"args", method.second}}).toJson(QJsonDocument::Compact);
                const double micros = roundTrip(client, "/rdmEntPat/" + method.first.toStdString(), body);
                if (micros < 0)
                    ++failures;
                else
                    mine.push_back(micros / 1000.0);
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
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

// The benchmark writes demo patients and items: it only takes a database it
// creates, never one that may hold real records.
bool databaseIsNew(const QString &database, QString *error)
{
    try {
        const DatabaseConfig config = DatabaseConfig::parse(database);
        if (config.dialect == Dialect::SQLite) {
            if (QFileInfo::exists(database)) {
                *error = QStringLiteral("%1 já existe: o benchmark só grava em um banco que ele mesmo cria "
                                        "(informe um arquivo novo).").arg(database);
                return false;
            }
            return true;
        }
        SqlSession session(config, QStringLiteral("bench-check"));
        if (!session.database().tables().isEmpty()) {
            *error = QStringLiteral("%1 já tem tabelas: o benchmark só grava em um banco vazio.").arg(config.describe());
            return false;
        }
        return true;
    } catch (const RequestError &failure) {
        *error = failure.text();
        return false;
    }
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
    const QCommandLineOption databaseOption(
        "database", "New SQLite file or empty PostgreSQL database to fill (default: a temporary SQLite file).", "db");
    const QCommandLineOption secondsOption("seconds", "Seconds of each workstation row.", "s", "5");
    const QCommandLineOption workstationsOnlyOption("workstations-only", "Only the workstation rows.");
    const QCommandLineOption checkOption("check", "Exit with 2 when a method is over the ratio or an insert failed.");
    parser.addOptions({callsOption, patientsOption, databaseOption, secondsOption, workstationsOnlyOption, checkOption});
    parser.process(app);
    const int calls = std::max(1, parser.value(callsOption).toInt());
    const double rowSeconds = std::max(1.0, parser.value(secondsOption).toDouble());

    QTemporaryDir dir;
    EntPatServerOptions options;
    options.database = parser.isSet(databaseOption) ? parser.value(databaseOption) : dir.filePath("bench.db");
    QString error;
    if (!databaseIsNew(options.database, &error)) {
        std::fprintf(stderr, "bench_server: %s\n", qPrintable(error));
        return 1;
    }
    options.demo = true;
    options.demoPatients = parser.value(patientsOption).toInt();
    EntPatServer server(options);
    if (!server.start(&error)) {
        std::fprintf(stderr, "bench_server: %s\n", qPrintable(error));
        return 1;
    }

    Client client(server.port());
    const QString branch = "0001";
    const QString patient = "000000000001";
    const QString today = QDate::currentDate().startOfDay().toString(Qt::ISODate);
    const QString admission = firstCell(client.call("getVdPaciente", {patient, branch}), 5);
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
        if (client.call(method.first, method.second).isUndefined()) {
            std::fprintf(stderr, "bench_server: %s failed: %s\n", qPrintable(method.first), qPrintable(client.lastError));
            return 1;
        }
    }

    if (parser.isSet(workstationsOnlyOption))
        return printWorkstationRows(server.port(), rowSeconds, methods);

    // Warm up the connection and the server's statements.
    for (const auto &method : methods)
        compareWithEcho(client, "/rdmEntPat/" + method.first.toStdString(), method.second, calls / 10 + 1);

    std::printf("%d sequential calls per method, each paired with an echo call; %d demo inpatients per branch, database %s\n",
                calls, options.demoPatients, options.database.startsWith("postgres") ? "PostgreSQL" : "SQLite");
    std::printf("%-20s %12s %12s %7s  %s\n", "method", "median (us)", "echo (us)", "ratio", "at most 1.3");
    int over = 0;
    for (const auto &method : methods) {
        const Comparison times = compareWithEcho(client, "/rdmEntPat/" + method.first.toStdString(), method.second, calls);
        const double ratio = times.method / times.echo;
        const bool ok = times.method > 0 && ratio <= allowedRatio;
        over += ok ? 0 : 1;
        std::printf("%-20s %12.1f %12.1f %7.2f  %s\n", qPrintable(method.first), times.method, times.echo, ratio,
                    ok ? "PASS" : "FAIL");
    }
    std::printf("%d of %d methods within 1.3 times the echo\n", int(methods.size()) - over, int(methods.size()));

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
