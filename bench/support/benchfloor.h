#pragma once

#include <QJsonArray>
#include <QString>
#include <QVariantList>
#include <QVector>

#include <vector>

class SqlSession;
class TNetConnection;

// The floors the benchmarks measure in the same run as what they compare:
// the transport alone (the server's echo route over a client connection) and
// the database alone (a call's own statements run straight on it).

struct Statement
{
    QString sql;
    QVariantList values;
};

// The statements a call of the method runs, in order, captured by running
// it once in process on the session.
QVector<Statement> callStatements(SqlSession &session, const QString &method, const QJsonArray &args);

// Microseconds to run the statements straight on the session's database
// (prepared beforehand, as the server keeps them), reading every value of
// every row.
double replayMicros(SqlSession &session, const QVector<Statement> &statements);

// Microseconds the server's own work on a call takes (the method run in
// process on the session, its answer encoded), without transport.
double inProcessMicros(SqlSession &session, const QString &method, const QJsonArray &args);

// Microseconds of one echo round trip with the arguments, through a client
// connection like the one a workstation uses (same host and port as
// `like`), as the median of `calls`.
double echoMicros(const TNetConnection &like, const QJsonArray &args, int calls);

// Bytes of the answer the method gives (run once in process).
qsizetype answerBytes(SqlSession &session, const QString &method, const QJsonArray &args);

// Microseconds that carrying `bytes` more bytes adds to a round trip to the
// server at the same host and port as `like`: a request body that long,
// which the server reads whole and refuses at its first byte, against a
// one-byte body.
double transferMicros(const TNetConnection &like, qsizetype bytes, int calls);

// A connection to the application server at 127.0.0.1:port, as a
// workstation makes it, in a session of the demo nutritionist.
void connectTo(TNetConnection &connection, int port);

double percentile(std::vector<double> values, double fraction);
inline double median(std::vector<double> values) { return percentile(std::move(values), 0.5); }
