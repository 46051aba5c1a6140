#include "benchdatabase.h"

#include "lib/database.h"
#include "lib/requesterror.h"
#include "lib/sqlsession.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QTemporaryDir>

#include <cstdio>

namespace {

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

} // namespace

QCommandLineOption newDatabaseOption()
{
    return QCommandLineOption(
        QStringLiteral("database"),
        QStringLiteral("New SQLite file or empty PostgreSQL database to fill (default: a temporary SQLite file)."),
        QStringLiteral("db"));
}

QString newDatabase(const QCommandLineParser &parser, const QCommandLineOption &option, const QTemporaryDir &dir)
{
    const QString database = parser.isSet(option) ? parser.value(option) : dir.filePath(QStringLiteral("bench.db"));
    QString error;
    if (databaseIsNew(database, &error))
        return database;
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return {};
}
