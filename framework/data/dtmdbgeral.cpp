#include "data/dtmdbgeral.h"

#include "core/abort.h"
#include "core/messages.h"
#include "data/sqlfunctions.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

namespace {

void configurePostgres(QSqlDatabase &database, const QUrl &url)
{
    database.setDatabaseName(url.path().mid(1));
    database.setUserName(url.userName());
    database.setPassword(url.password());
    const QUrlQuery query(url);
    const QString socketDir = query.queryItemValue(QStringLiteral("host"));
    database.setHostName(socketDir.isEmpty() ? url.host() : socketDir);
    const int port = query.hasQueryItem(QStringLiteral("port"))
                         ? query.queryItemValue(QStringLiteral("port")).toInt()
                         : url.port();
    if (port > 0)
        database.setPort(port);
}

} // namespace

TdtmDBGeral &dtmDBGeral()
{
    static TdtmDBGeral instance;
    return instance;
}

void TdtmDBGeral::Open(const QString &database)
{
    Close();
    const QUrl url(database);
    const bool postgres = url.scheme() == QLatin1String("postgresql")
                          || url.scheme() == QLatin1String("postgres");
    QSqlDatabase db = QSqlDatabase::addDatabase(
        postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
        QLatin1String(DBGeralConnectionName));
    if (postgres)
        configurePostgres(db, url);
    else
        db.setDatabaseName(database);
    if (!db.open()) {
        const QString error = db.lastError().text();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QLatin1String(DBGeralConnectionName));
        throw UserError(QStringLiteral("Não foi possível abrir o banco de dados: %1").arg(error));
    }
    registerSqlFunctions(db);
}

void TdtmDBGeral::Close()
{
    if (!QSqlDatabase::contains(QLatin1String(DBGeralConnectionName)))
        return;
    QSqlDatabase::database(QLatin1String(DBGeralConnectionName), false).close();
    QSqlDatabase::removeDatabase(QLatin1String(DBGeralConnectionName));
}

bool TdtmDBGeral::Connected() const
{
    return QSqlDatabase::contains(QLatin1String(DBGeralConnectionName)) && Database().isOpen();
}

QSqlDatabase TdtmDBGeral::Database() const
{
    return QSqlDatabase::database(QLatin1String(DBGeralConnectionName), false);
}

SqlDialect TdtmDBGeral::Dialect() const
{
    const QString driver = Database().driverName();
    if (driver == QLatin1String("QODBC"))
        return SqlDialect::MSSQL;
    if (driver == QLatin1String("QIBASE"))
        return SqlDialect::InterBase;
    // Oracle itself, and SQLite and PostgreSQL with the functions registered
    // at opening.
    return SqlDialect::Oracle;
}

QString ValidaFilial(const QString &branch, const QString &, bool raise)
{
    if (!dtmDBGeral().Connected())
        throw UserError(QStringLiteral("O banco de dados não está conectado."));
    QSqlQuery query(dtmDBGeral().Database());
    query.prepare(QStringLiteral("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL"));
    query.bindValue(QStringLiteral(":P_CDFILIAL"), branch);
    if (!query.exec())
        throw UserError(query.lastError().text());
    if (query.next())
        return query.value(0).toString();
    MensErro(QStringLiteral("Filial não cadastrada."), raise);
    return QString();
}
