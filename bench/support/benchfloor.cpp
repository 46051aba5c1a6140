#include "benchfloor.h"

#include "core/velunor.h"
#include "lib/demodata.h"
#include "lib/methodtable.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>
#include <cstdio>

QVector<Statement> callStatements(SqlSession &session, const QString &method, const QJsonArray &args)
{
    QVector<Statement> statements;
    session.onStatement = [&statements](const QString &sql, const QVariantList &values) {
        statements.append({sql, values});
    };
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
    const CallOutcome outcome = dispatchCall(session, CallOrigin{QString(), method}, body);
    session.onStatement = nullptr;
    if (!outcome.ok())
        std::fprintf(stderr, "%s in process: %s\n", qPrintable(method), qPrintable(outcome.error));
    return statements;
}

double replayMicros(SqlSession &session, const QVector<Statement> &statements)
{
    std::vector<QSqlQuery> queries;
    queries.reserve(size_t(statements.size()));
    for (const Statement &statement : statements) {
        QSqlQuery &query = queries.emplace_back(session.database());
        query.setForwardOnly(true);
        if (!query.prepare(statement.sql))
            std::fprintf(stderr, "prepare: %s\n", qPrintable(query.lastError().text()));
    }
    QElapsedTimer clock;
    clock.start();
    volatile qsizetype sink = 0;
    for (size_t i = 0; i < queries.size(); ++i) {
        QSqlQuery &query = queries[i];
        const QVariantList &values = statements.at(qsizetype(i)).values;
        for (int v = 0; v < values.size(); ++v)
            query.bindValue(v, values.at(v));
        if (!query.exec()) {
            std::fprintf(stderr, "replay: %s\n", qPrintable(query.lastError().text()));
            continue;
        }
        const int columns = query.record().count();
        while (query.next())
            for (int c = 0; c < columns; ++c)
                sink = sink + query.value(c).toString().size();
    }
    return double(clock.nsecsElapsed()) / 1000.0;
}

double inProcessMicros(SqlSession &session, const QString &method, const QJsonArray &args)
{
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
    QElapsedTimer clock;
    clock.start();
    const CallOutcome outcome = dispatchCall(session, CallOrigin{QString(), method}, body);
    const double micros = double(clock.nsecsElapsed()) / 1000.0;
    return outcome.ok() ? micros : -1.0;
}

void connectTo(TNetConnection &connection, int port)
{
    // Every benchmark works in a session of the demo nutritionist, as a
    // workstation does; the first call of each process logs in.
    TNetConnection::SetLoginHandler([](TNetConnection &net) {
        return net.Login(QStringLiteral("NUTRI01"), DemoData::operatorPassword).ok;
    });
    connection.SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    connection.SetHost(QStringLiteral("127.0.0.1"));
    connection.SetPort(port);
}

double echoMicros(const TNetConnection &like, const QJsonArray &args, int calls)
{
    TNetConnection echo;
    echo.SetServerName(QStringLiteral("Bench.echo"));
    echo.SetHost(like.Host());
    echo.SetPort(like.Port());
    std::vector<double> times;
    for (int i = 0; i < calls; ++i) {
        QElapsedTimer clock;
        clock.start();
        const ServerResult result = echo.Call(QStringLiteral("ping"), args);
        times.push_back(double(clock.nsecsElapsed()) / 1000.0);
        if (!result.ok)
            std::fprintf(stderr, "echo: %s\n", qPrintable(result.error));
    }
    return median(times);
}

qsizetype answerBytes(SqlSession &session, const QString &method, const QJsonArray &args)
{
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
    return dispatchCall(session, CallOrigin{QString(), method}, body).envelope.size();
}

double transferMicros(const TNetConnection &like, qsizetype bytes, int calls)
{
    httplib::Client http(like.Host().toStdString(), like.Port());
    http.set_tcp_nodelay(true);
    http.set_keep_alive(true);
    const httplib::Headers headers{{"Authorization", "Bearer " + operatorContext().webToken.toStdString()}};
    const auto postMicros = [&](const std::string &body) {
        std::vector<double> times;
        for (int i = 0; i < calls; ++i) {
            QElapsedTimer clock;
            clock.start();
            const auto response = http.Post("/echo/transfer", headers, body, "application/json");
            times.push_back(double(clock.nsecsElapsed()) / 1000.0);
            if (!response)
                std::fprintf(stderr, "transfer: no answer\n");
        }
        return median(times);
    };
    const double carried = postMicros(std::string(size_t(bytes), 'x'));
    return std::max(0.0, carried - postMicros("x"));
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return -1;
    const auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * fraction);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}
