// Logged-in users' calls during a flood of wrong logins.
//
// A few workstations of logged-in users call reading methods, each with a
// short pause between calls, for a few seconds without any flood (the floor)
// and then for as long while 16 clients send wrong logins back to back, each
// over its own kept-alive connection. Printed: the users' median and 95th
// percentile in both phases, the ratio of the medians and PASS/FAIL against
// the allowed 2, and what became of the flood's logins (checked and refused,
// refused at once as busy, refused by the guessing limits).
//
// Run twice, each on its own server: with the guessing limits out of reach,
// so that every flood login that finds room is checked (the worst case: a
// flood from many addresses), and with the default limits, where the one
// flooding address is soon refused without any check.
//
// A benchmark, not a test: it exits 0 whatever it measures, unless --check
// is given (then 2 when a ratio is over 2).
//
//   bench_loginflood [--seconds 5] [--users 4] [--flooders 16] [--database <new db>] [--check]
#include "benchclients.h"
#include "benchdatabase.h"
#include "benchfloor.h"

#include "lib/entpatserver.h"
#include "net/tnetconnection.h"

#include <httplib.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

constexpr double allowedRatio = 2.0;
constexpr auto pauseBetweenCalls = std::chrono::milliseconds(5);

const QList<QPair<QString, QJsonArray>> userCalls = {
    {"getNutricio", {"NUTRI01", "0001"}},
    {"getVeriServ", {"00010", "0001"}},
    {"getVerifViaAcesso", {"002"}},
    {"getVdPaciente", {"000000000001", "0001"}},
};

// What the flood's logins were answered.
struct FloodCount
{
    std::atomic<long> checked{0};   // "Usuário ou senha inválidos."
    std::atomic<long> busy{0};      // "Servidor ocupado. ..."
    std::atomic<long> limited{0};   // "Muitas tentativas de entrada. ..."
    std::atomic<long> other{0};
};

void flood(int port, const std::atomic<bool> &stop, FloodCount &count)
{
    httplib::Client client("127.0.0.1", port);
    client.set_tcp_nodelay(true);
    client.set_keep_alive(true);
    const std::string body = R"({"args":["NUTRI02","palpite errado"]})";
    while (!stop) {
        const auto response = client.Post("/rdmEntPat/Login", body, "application/json");
        const QString error = response
            ? QJsonDocument::fromJson(QByteArray::fromStdString(response->body))["error"].toString()
            : QString();
        if (error.startsWith(QStringLiteral("Usuário ou senha")))
            ++count.checked;
        else if (error.startsWith(QLatin1String("Servidor ocupado")))
            ++count.busy;
        else if (error.startsWith(QLatin1String("Muitas tentativas")))
            ++count.limited;
        else
            ++count.other;
    }
}

// Round trips (ms) of `users` workstations calling for `seconds`.
std::vector<double> userRun(int port, int users, double seconds)
{
    std::vector<std::vector<double>> times(static_cast<size_t>(users));
    onWorkstations(port, users, [&](TNetConnection &connection, int u) {
        connection.Call(userCalls.first().first, userCalls.first().second);
        QElapsedTimer running;
        running.start();
        long refused = 0;
        times[size_t(u)] = timedCalls(connection, userCalls, 0, pauseBetweenCalls, running, qint64(seconds * 1e9),
                                      &refused);
    });
    std::vector<double> all;
    for (const auto &userTimes : times)
        all.insert(all.end(), userTimes.begin(), userTimes.end());
    return all;
}

// One server, the quiet phase then the flood; true when within the ratio.
bool floodRun(const char *title, EntPatServerOptions options, int users, int flooders, double seconds)
{
    EntPatServer server(options);
    if (!startServer(server, "bench_loginflood"))
        return false;
    const std::vector<double> quiet = userRun(server.port(), users, seconds);

    std::atomic<bool> stop{false};
    FloodCount count;
    std::vector<std::thread> floodThreads;
    for (int f = 0; f < flooders; ++f)
        floodThreads.emplace_back([&] { flood(server.port(), stop, count); });
    const std::vector<double> flooded = userRun(server.port(), users, seconds);
    stop = true;
    for (std::thread &thread : floodThreads)
        thread.join();
    server.stop();

    const double ratio = median(flooded) / median(quiet);
    const bool ok = !quiet.empty() && !flooded.empty() && ratio <= allowedRatio;
    std::printf("%-28s %8zu %11.2f %9.2f %8zu %11.2f %9.2f %6.2f  %-4s %8.0f %8ld %8ld %8ld %6ld\n", title,
                quiet.size(), median(quiet), percentile(quiet, 0.95), flooded.size(), median(flooded),
                percentile(flooded, 0.95), ratio, ok ? "PASS" : "FAIL",
                double(count.checked + count.busy + count.limited + count.other) / seconds, count.checked.load(),
                count.busy.load(), count.limited.load(), count.other.load());
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption secondsOption("seconds", "Seconds of each phase.", "s", "5");
    const QCommandLineOption usersOption("users", "Workstations of logged-in users.", "n", "4");
    const QCommandLineOption floodersOption("flooders", "Clients sending wrong logins.", "n", "16");
    const QCommandLineOption databaseOption = newDatabaseOption();
    const QCommandLineOption checkOption("check", "Exit with 2 when a ratio is over 2.");
    parser.addOptions({secondsOption, usersOption, floodersOption, databaseOption, checkOption});
    parser.process(app);
    const double seconds = std::max(1.0, parser.value(secondsOption).toDouble());
    const int users = std::max(1, parser.value(usersOption).toInt());
    const int flooders = std::max(1, parser.value(floodersOption).toInt());

    QTemporaryDir dir;
    EntPatServerOptions options;
    options.database = newDatabase(parser, databaseOption, dir);
    if (options.database.isEmpty())
        return 1;
    options.demo = true;

    std::printf("%d users calling reading methods with %lld ms between calls, %.0f s without and %.0f s with %d "
                "clients sending wrong logins back to back; database %s\n",
                users, static_cast<long long>(pauseBetweenCalls.count()), seconds, seconds, flooders,
                options.database.startsWith("postgres") ? "PostgreSQL" : "SQLite");
    std::printf("%-28s %8s %11s %9s %8s %11s %9s %6s  %-4s %8s %8s %8s %8s %6s\n", "guessing limits", "calls",
                "median (ms)", "p95 (ms)", "calls", "median (ms)", "p95 (ms)", "ratio", "<= 2", "logins/s", "checked",
                "busy", "limited", "other");
    std::printf("%-28s %8s %11s %9s %8s %11s %9s\n", "", "quiet", "", "", "flood", "", "");
    EntPatServerOptions unlimited = options;
    unlimited.loginFailures = 1000000000;
    const bool withoutLimits = floodRun("out of reach", unlimited, users, flooders, seconds);
    // The demo database now exists: the second server serves it as it is.
    options.demo = false;
    const bool withLimits = floodRun("defaults", options, users, flooders, seconds);
    if (!parser.isSet(checkOption))
        return 0;
    return withoutLimits && withLimits ? 0 : 2;
}
