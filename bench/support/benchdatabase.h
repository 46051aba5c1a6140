#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineParser;
class QTemporaryDir;

// The benchmarks write demo patients and items: they only take a database
// they create, never one that may hold real records.

// --database <new SQLite file or empty postgresql://...>
QCommandLineOption newDatabaseOption();

// The database named by the option (a SQLite file in `dir` when not given),
// or an empty text after printing why it cannot be used.
QString newDatabase(const QCommandLineParser &parser, const QCommandLineOption &option, const QTemporaryDir &dir);
