#include "benchclients.h"

#include "benchfloor.h"

#include "lib/entpatserver.h"
#include "net/tnetconnection.h"

#include <QElapsedTimer>

#include <cstdio>
#include <thread>

bool startServer(EntPatServer &server, const char *program)
{
    QString error;
    if (server.start(&error))
        return true;
    std::fprintf(stderr, "%s: %s\n", program, qPrintable(error));
    return false;
}

void onWorkstations(int port, int count, const std::function<void(TNetConnection &connection, int index)> &work)
{
    std::vector<std::thread> threads;
    for (int index = 0; index < count; ++index) {
        threads.emplace_back([&work, port, index] {
            TNetConnection connection;
            connectTo(connection, port);
            work(connection, index);
        });
    }
    for (std::thread &thread : threads)
        thread.join();
}

std::vector<double> timedCalls(TNetConnection &connection, const QList<QPair<QString, QJsonArray>> &methods,
                               int first, std::chrono::milliseconds pause, const QElapsedTimer &clock, qint64 endNs,
                               long *failures)
{
    std::vector<double> millis;
    for (qsizetype i = first; clock.nsecsElapsed() < endNs; ++i) {
        const auto &[method, args] = methods.at(i % methods.size());
        QElapsedTimer call;
        call.start();
        if (connection.Call(method, args).ok)
            millis.push_back(double(call.nsecsElapsed()) / 1e6);
        else
            ++*failures;
        if (pause.count() > 0)
            std::this_thread::sleep_for(pause);
    }
    return millis;
}
