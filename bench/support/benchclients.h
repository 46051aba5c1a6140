#pragma once

#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

class EntPatServer;
class QElapsedTimer;
class TNetConnection;

// What the benchmarks share to start their server and their workstations.

// Starts the server; on failure prints why, prefixed with the program's
// name, and returns false.
bool startServer(EntPatServer &server, const char *program);

// Runs `work` on `count` threads at once, each with its own client
// connection to 127.0.0.1:port in a session of the demo nutritionist (see
// connectTo), and returns when every one is done.
void onWorkstations(int port, int count, const std::function<void(TNetConnection &connection, int index)> &work);

// Round trips (ms) of the answered calls a workstation makes of `methods`
// in turn, from the one at `first`, with `pause` after each, until `clock`
// reaches `endNs`; the calls left unanswered or refused are counted in
// *failures.
std::vector<double> timedCalls(TNetConnection &connection, const QList<QPair<QString, QJsonArray>> &methods,
                               int first, std::chrono::milliseconds pause, const QElapsedTimer &clock, qint64 endNs,
                               long *failures);
