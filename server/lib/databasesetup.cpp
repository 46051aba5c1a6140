#include "lib/databasesetup.h"

#include "lib/demodata.h"
#include "lib/entpatserver.h"
#include "lib/requesterror.h"
#include "lib/schema.h"
#include "lib/schemaversion.h"
#include "lib/sqlsession.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>

namespace {

void checkFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir())
        throw RequestError(QStringLiteral("A pasta %1 não existe.").arg(QDir::toNativeSeparators(folder)));
    if (!info.isWritable())
        throw RequestError(QStringLiteral("A pasta %1 não permite gravação: o banco de dados precisa criar os "
                                          "seus arquivos de diário nela.")
                               .arg(QDir::toNativeSeparators(folder)));
}

void checkSqliteFile(const QString &path, bool create)
{
    const QFileInfo file(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (file.isDir())
        throw RequestError(QStringLiteral("%1 é uma pasta, não um banco de dados.").arg(shown));
    if (!file.exists()) {
        if (!create)
            throw RequestError(QStringLiteral("O banco de dados %1 não existe. Confira o caminho; para criar um "
                                              "banco novo use --create (vazio) ou --demo (com dados de "
                                              "demonstração).")
                                   .arg(shown));
        checkFolder(file.absolutePath());
        return;
    }
    if (!file.isReadable())
        throw RequestError(QStringLiteral("O banco de dados %1 não pode ser lido (permissões do arquivo).").arg(shown));
    constexpr auto anyoneWrites = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!file.isWritable() || !(file.permissions() & anyoneWrites))
        throw RequestError(QStringLiteral("O banco de dados %1 é somente leitura: o servidor precisa gravar nele.")
                               .arg(shown));
    checkFolder(file.absolutePath());
}

// Whether an existing SQLite file holds the tables, looked at through a
// read-only connection so that a file refused is left exactly as it was.
bool sqliteHasTables(const QString &path, const QString &connectionName)
{
    const QString name = connectionName + QStringLiteral("-check");
    QString failure;
    bool found = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        QSqlQuery query(db);
        if (!db.open())
            failure = db.lastError().text();
        else if (!query.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            failure = query.lastError().text();
        else
            found = Schema::exists(db);
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw RequestError(QStringLiteral("O arquivo %1 não é um banco de dados SQLite utilizável: %2")
                               .arg(QDir::toNativeSeparators(path), failure));
    return found;
}

void refuseWithoutTables(const DatabaseConfig &config)
{
    throw RequestError(QStringLiteral("O banco de dados %1 não contém as tabelas do sistema. Confira o banco; para "
                                      "criá-las use --create.")
                           .arg(config.describe()));
}

void checkWritable(SqlSession &session, const DatabaseConfig &config)
{
    if (config.dialect != Dialect::PostgreSQL)
        return;
    const QVector<SqlRow> rows =
        session.select(QStringLiteral("SELECT has_table_privilege(?, 'INSERT')"), {QStringLiteral("servinte")});
    if (rows.isEmpty() || !rows.first().value(0).toBool())
        throw RequestError(QStringLiteral("O usuário %1 não pode gravar nas tabelas de %2: o servidor de aplicação "
                                          "precisa de um papel com permissão de gravação.")
                               .arg(config.user, config.describe()));
}

} // namespace

void prepareDatabase(const DatabaseConfig &config, const EntPatServerOptions &options, const QString &connectionName,
                     ServerLog &log)
{
    const bool create = options.create || options.demo;
    if (config.dialect == Dialect::SQLite) {
        if (config.path.trimmed().isEmpty())
            throw RequestError(QStringLiteral("Informe o banco de dados (--database): um arquivo SQLite ou um "
                                              "endereço postgresql://."));
        checkSqliteFile(config.path, create);
        if (!create && !sqliteHasTables(config.path, connectionName))
            refuseWithoutTables(config);
    } else if (!config.password.isEmpty()) {
        log.warning(QStringLiteral("A senha no endereço do banco de dados fica visível na lista de processos; "
                                   "prefira um arquivo de senhas (passfile, PGPASSFILE ou ~/.pgpass)."));
    }
    SqlSession session(config, connectionName);
    if (!Schema::exists(session.database())) {
        if (!create)
            refuseWithoutTables(config);
        Schema::create(session.database());
        log.info(QStringLiteral("Tabelas criadas em %1").arg(config.describe()));
    }
    checkWritable(session, config);
    const SchemaVersion::Upgrade upgrade = SchemaVersion::upgrade(session.database());
    if (upgrade.to != upgrade.from)
        log.info(QStringLiteral("Esquema de %1 atualizado da versão %2 para a %3")
                     .arg(config.describe())
                     .arg(upgrade.from)
                     .arg(upgrade.to));
    if (options.demo && !DemoData::hasPatients(session)) {
        DemoData::fill(session, options.demoPatients);
        log.info(QStringLiteral("Dados de demonstração criados em %1").arg(config.describe()));
    }
}
