#include "lib/databasebackup.h"

#include "lib/requesterror.h"
#include "lib/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Runs `work` on a connection of its own to a SQLite file, opened read-only
// (a backup never writes the source), and removes the connection after.
template<typename Work>
void withReadOnlyConnection(const QString &path, const QString &connectionName, Work work)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            const QString failure = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw RequestError(QStringLiteral("O banco de dados %1 não pode ser aberto: %2").arg(shown(path), failure));
        }
        try {
            work(db);
        } catch (...) {
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(connectionName);
            throw;
        }
    }
    QSqlDatabase::removeDatabase(connectionName);
}

void checkSource(const DatabaseConfig &source)
{
    if (source.dialect != Dialect::SQLite)
        throw RequestError(QStringLiteral("--backup copia bancos SQLite; um banco PostgreSQL é copiado com pg_dump "
                                          "(veja DEPLOYMENT.md)."));
    const QFileInfo file(source.path);
    if (!file.isFile())
        throw RequestError(QStringLiteral("O banco de dados %1 não existe.").arg(shown(source.path)));
}

// The target is created here, empty and private, so an existing file is
// refused without being touched and the copy is never readable by others.
void createEmptyTarget(const QString &target)
{
    if (QFileInfo(target).exists() || QFileInfo(target).isSymLink())
        throw RequestError(QStringLiteral("A cópia %1 já existe: escolha outro arquivo.").arg(shown(target)));
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFile::ReadOwner | QFile::WriteOwner))
        throw RequestError(
            QStringLiteral("A cópia %1 não pode ser criada: %2").arg(shown(target), file.errorString()));
}

void copyInto(const DatabaseConfig &source, const QString &target)
{
    withReadOnlyConnection(source.path, QStringLiteral("entpat-backup-source"), [&](QSqlDatabase &db) {
        if (!Schema::exists(db))
            throw RequestError(
                QStringLiteral("O banco de dados %1 não contém as tabelas do sistema.").arg(shown(source.path)));
        QSqlQuery vacuum(db);
        vacuum.prepare(QStringLiteral("VACUUM INTO ?"));
        vacuum.addBindValue(QFileInfo(target).absoluteFilePath());
        if (!vacuum.exec())
            throw RequestError(QStringLiteral("A cópia de %1 falhou: %2")
                                   .arg(shown(source.path), vacuum.lastError().text()));
    });
}

void checkIntegrity(const QString &target)
{
    withReadOnlyConnection(target, QStringLiteral("entpat-backup-check"), [&](QSqlDatabase &db) {
        QSqlQuery check(db);
        QStringList findings;
        if (!check.exec(QStringLiteral("PRAGMA integrity_check")))
            findings.append(check.lastError().text());
        while (check.next())
            findings.append(check.value(0).toString());
        if (findings != QStringList{QStringLiteral("ok")})
            throw RequestError(QStringLiteral("A cópia %1 não passou na verificação de integridade: %2")
                                   .arg(shown(target), findings.join(QStringLiteral("; "))));
    });
}

} // namespace

namespace DatabaseBackup {

void write(const DatabaseConfig &source, const QString &target)
{
    checkSource(source);
    createEmptyTarget(target);
    try {
        copyInto(source, target);
        checkIntegrity(target);
    } catch (const RequestError &) {
        QFile::remove(target);
        throw;
    }
}

} // namespace DatabaseBackup
