#include "lib/database.h"

#include "lib/requesterror.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QUrlQuery>

#include <algorithm>
#include <cstdio>

namespace {

const QString isoFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

void runPragma(QSqlDatabase &db, const QString &statement)
{
    QSqlQuery query(db);
    if (!query.exec(statement))
        throw RequestError(QStringLiteral("Falha ao configurar o banco de dados: %1")
                               .arg(query.lastError().text()));
}

int digits(QStringView text, int from, int count)
{
    int number = 0;
    for (int i = from; i < from + count; ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit < u'0' || unit > u'9')
            return -1;
        number = number * 10 + (unit - u'0');
    }
    return number;
}

struct CanonicalParts
{
    QDate date;
    QTime time;
};

// The canonical form "yyyy-MM-ddTHH:mm:ss" (or with a blank for the T) read
// without the pattern parser; invalid parts for any other text.
CanonicalParts canonicalParts(QStringView text)
{
    if (text.size() != 19 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-')
        || (text.at(10) != QLatin1Char('T') && text.at(10) != QLatin1Char(' ')) || text.at(13) != QLatin1Char(':')
        || text.at(16) != QLatin1Char(':'))
        return {};
    return {QDate(digits(text, 0, 4), digits(text, 5, 2), digits(text, 8, 2)),
            QTime(digits(text, 11, 2), digits(text, 14, 2), digits(text, 17, 2))};
}

QDateTime fromCanonical(QStringView text)
{
    const CanonicalParts parts = canonicalParts(text);
    return parts.date.isValid() && parts.time.isValid() ? QDateTime(parts.date, parts.time) : QDateTime();
}

// Connection parameters a URL may carry besides host and port; anything else
// is refused so that a typing error does not go unnoticed.
const QStringList passedParameters = {
    QStringLiteral("sslmode"), QStringLiteral("sslrootcert"), QStringLiteral("sslcert"), QStringLiteral("sslkey"),
    QStringLiteral("sslcrl"), QStringLiteral("passfile"), QStringLiteral("connect_timeout"),
    QStringLiteral("application_name"), QStringLiteral("target_session_attrs"),
};

// Seconds a connection attempt may take, unless the URL says otherwise: a
// database host that does not answer must not hold a worker for minutes.
const QString defaultConnectTimeout = QStringLiteral("connect_timeout=5");

bool plainParameterValue(const QString &value)
{
    for (const QChar c : value) {
        if (c.isSpace() || c == QLatin1Char('\'') || c == QLatin1Char(';') || c == QLatin1Char('\\'))
            return false;
    }
    return !value.isEmpty();
}

} // namespace

QString DatabaseConfig::describe() const
{
    if (dialect == Dialect::SQLite)
        return QStringLiteral("SQLite %1").arg(path);
    return QStringLiteral("PostgreSQL %1@%2%3/%4")
        .arg(user, host, port > 0 ? QStringLiteral(":%1").arg(port) : QString(), name);
}

DatabaseConfig DatabaseConfig::parse(const QString &text)
{
    DatabaseConfig config;
    if (!text.startsWith(QLatin1String("postgresql://")) && !text.startsWith(QLatin1String("postgres://"))) {
        config.path = text;
        return config;
    }
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid())
        throw RequestError(QStringLiteral("Endereço do banco de dados inválido; a forma é "
                                         "postgresql://usuario@servidor:porta/banco."));
    config.dialect = Dialect::PostgreSQL;
    config.host = url.host();
    config.port = url.port(-1);
    config.user = url.userName();
    config.password = url.password();
    config.name = url.path().mid(1);
    const QUrlQuery query(url);
    if (query.hasQueryItem(QStringLiteral("host")))
        config.host = query.queryItemValue(QStringLiteral("host"), QUrl::FullyDecoded);
    for (const auto &[key, value] : query.queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host"))
            continue;
        if (key == QLatin1String("port")) {
            bool ok = false;
            config.port = value.toInt(&ok);
            if (!ok || config.port <= 0 || config.port > 65535)
                throw RequestError(QStringLiteral("Porta inválida no endereço do banco de dados: %1").arg(value));
        } else if (passedParameters.contains(key) && plainParameterValue(value)) {
            config.connectOptions.append(key + QLatin1Char('=') + value);
        } else {
            throw RequestError(QStringLiteral("Parâmetro não aceito no endereço do banco de dados: %1").arg(key));
        }
    }
    if (config.name.isEmpty())
        throw RequestError(QStringLiteral("Endereço do banco de dados sem o nome do banco."));
    return config;
}

QSqlDatabase DatabaseConfig::open(const QString &connectionName) const
{
    if (dialect == Dialect::SQLite) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open())
            throw RequestError(QStringLiteral("Não foi possível abrir o banco de dados %1: %2")
                                   .arg(path, db.lastError().text()));
        // The driver reads and binds every text as UTF-16: a database created
        // in that encoding spares SQLite a conversion of each value either
        // way. Only a new, empty file takes it; an existing one keeps its own.
        runPragma(db, QStringLiteral("PRAGMA encoding = 'UTF-16le'"));
        runPragma(db, QStringLiteral("PRAGMA journal_mode=WAL"));
        runPragma(db, QStringLiteral("PRAGMA synchronous=NORMAL"));
        runPragma(db, QStringLiteral("PRAGMA foreign_keys=ON"));
        return db;
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connectionName);
    db.setHostName(host);
    if (port > 0)
        db.setPort(port);
    db.setUserName(user);
    db.setPassword(password);
    db.setDatabaseName(name);
    QStringList options = connectOptions;
    if (!std::any_of(options.cbegin(), options.cend(),
                     [](const QString &option) { return option.startsWith(QLatin1String("connect_timeout=")); }))
        options.append(defaultConnectTimeout);
    db.setConnectOptions(options.join(QLatin1Char(';')));
    if (!db.open())
        throw RequestError(QStringLiteral("Não foi possível abrir o banco de dados %1: %2")
                               .arg(name, db.lastError().text()));
    runPragma(db, QStringLiteral("SET client_min_messages TO WARNING"));
    return db;
}

Dialect dialectOf(const QSqlDatabase &db)
{
    return db.driverName() == QLatin1String("QPSQL") ? Dialect::PostgreSQL : Dialect::SQLite;
}

QString canonicalDateTime(const QDateTime &value)
{
    // Formatted by hand: this runs for every date-time of every packet, and
    // the pattern formatter of QDateTime costs several microseconds a call.
    const QDate date = value.date();
    const QTime time = value.time();
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date.year(), date.month(), date.day(),
                  time.hour(), time.minute(), time.second());
    return QString::fromLatin1(text);
}

bool isCanonicalDateTime(QStringView text)
{
    const CanonicalParts parts = canonicalParts(text);
    return parts.date.isValid() && parts.time.isValid();
}

QVariant dateTimeBind(const QDateTime &value)
{
    return value.isValid() ? QVariant(canonicalDateTime(value)) : QVariant();
}

QDateTime parseDateTime(const QVariant &value, bool *ok)
{
    if (ok)
        *ok = true;
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    if (value.metaType().id() == QMetaType::QDate)
        return value.toDate().startOfDay();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return {};
    if (const QDateTime canonical = fromCanonical(text); canonical.isValid())
        return canonical;
    QDateTime result = QDateTime::fromString(text.left(19), isoFormat);
    if (!result.isValid())
        result = QDateTime::fromString(text.left(16), QStringLiteral("yyyy-MM-ddTHH:mm"));
    if (!result.isValid())
        result = QDate::fromString(text.left(10), Qt::ISODate).startOfDay();
    if (!result.isValid() && ok)
        *ok = false;
    return result;
}

QDateTime dateTimeFromColumn(const QVariant &value)
{
    if (value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QDateTime)
        return value.toDateTime();
    return parseDateTime(value);
}
