// A database that cannot take a write (disk full, read only, locked by
// another writer) fails the statement with a Portuguese message saying so
// and that nothing was written; the transaction leaves no row behind. On
// SQLite and on the throw-away PostgreSQL cluster (ENTPAT_TEST_PG).
#include "fixtureserver.h"
#include "lib/database.h"
#include "lib/sqlsession.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

enum class Trouble { DiskFull, ReadOnly, Locked };

const QString fullText = QStringLiteral("O disco do banco de dados está cheio. Nada foi gravado.");
const QString readOnlyText = QStringLiteral("O banco de dados está somente para leitura. Nada foi gravado.");
const QString lockedText = QStringLiteral(
    "O banco de dados está bloqueado por outra operação. Nada foi gravado; tente novamente em instantes.");

void run(SqlSession &session, const QString &statement)
{
    QSqlQuery query(session.database());
    QVERIFY2(query.exec(statement), qPrintable(statement));
}

} // namespace

Q_DECLARE_METATYPE(Trouble)

class TestDatabaseFailures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void writeRefusedInPortuguese_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<Trouble>("trouble");
        QTest::addColumn<QString>("message");
        QTest::newRow("sqlite disk full") << false << Trouble::DiskFull << fullText;
        QTest::newRow("sqlite read only") << false << Trouble::ReadOnly << readOnlyText;
        QTest::newRow("sqlite locked") << false << Trouble::Locked << lockedText;
        QTest::newRow("postgresql read only") << true << Trouble::ReadOnly << readOnlyText;
        QTest::newRow("postgresql locked") << true << Trouble::Locked << lockedText;
    }

    void writeRefusedInPortuguese()
    {
        QFETCH(bool, postgres);
        QFETCH(Trouble, trouble);
        QFETCH(QString, message);
        if (postgres && !FixtureServer::postgresAvailable())
            QSKIP("PostgreSQL skipped: no throw-away cluster (ENTPAT_TEST_PG not set; run scripts/test)");
        const DatabaseConfig config = DatabaseConfig::parse(
            postgres ? FixtureServer::postgresUrl() : m_dir.filePath(QStringLiteral("%1.db").arg(QTest::currentDataTag())));
        SqlSession session(config, QStringLiteral("failing"));
        run(session, QStringLiteral("DROP TABLE IF EXISTS FAILTEST"));
        run(session, QStringLiteral("CREATE TABLE FAILTEST (N INTEGER, T TEXT)"));

        // The other writer holds the table (SQLite: the whole file) in an open transaction.
        SqlSession other(config, QStringLiteral("other"));
        std::optional<Transaction> blocking;
        switch (trouble) {
        case Trouble::DiskFull: {
            const QString pages = session.select(QStringLiteral("PRAGMA page_count")).first().first().toString();
            run(session, QStringLiteral("PRAGMA max_page_count = %1").arg(pages));
            break;
        }
        case Trouble::ReadOnly:
            run(session, postgres ? QStringLiteral("SET default_transaction_read_only = on")
                                  : QStringLiteral("PRAGMA query_only = ON"));
            break;
        case Trouble::Locked:
            blocking.emplace(other);
            if (postgres) {
                run(other, QStringLiteral("LOCK TABLE FAILTEST IN EXCLUSIVE MODE"));
                run(session, QStringLiteral("SET lock_timeout = 200"));
            } else {
                run(session, QStringLiteral("PRAGMA busy_timeout = 200"));
            }
            break;
        }

        QString refused;
        try {
            Transaction transaction(session);
            session.execute(QStringLiteral("INSERT INTO FAILTEST VALUES (?, ?)"), {1, QStringLiteral("small")});
            session.execute(QStringLiteral("INSERT INTO FAILTEST VALUES (?, ?)"), {2, QString(200000, QLatin1Char('x'))});
            transaction.commit();
        } catch (const DatabaseError &error) {
            refused = error.text();
        }
        QCOMPARE(refused, message);

        blocking.reset();
        SqlSession reader(config, QStringLiteral("reader"));
        QCOMPARE(reader.select(QStringLiteral("SELECT COUNT(*) FROM FAILTEST")).first().first().toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestDatabaseFailures)
#include "tst_databasefailures.moc"
