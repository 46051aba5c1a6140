#include "core/abort.h"
#include "data/adoibquery.h"
#include "data/dtmdbgeral.h"
#include "scriptedinteraction.h"
#include "widgets/searchlists.h"
#include "widgetfixture.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using widgetfixture::field;

class TestADOIBQuery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        widgetfixture::usePortuguese();
        QVERIFY(m_dir.isValid());
        dtmDBGeral().Open(m_dir.filePath(QStringLiteral("suite.db")));
        QVERIFY(dtmDBGeral().Connected());
        QSqlQuery sql(dtmDBGeral().Database());
        for (const char *statement : {
                 "CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30))",
                 "INSERT INTO FILIAL VALUES ('0001', 'Central'), ('0002', 'Norte')",
                 "CREATE TABLE TPOCORINFU (CDTPOCORINFU VARCHAR(3), NMTPOCORINFU VARCHAR(100))",
                 "INSERT INTO TPOCORINFU VALUES ('002', 'Vômito'), ('001', 'Diarreia'), ('003', 'Obstrução')",
                 "CREATE TABLE SERVINTE (CDFILIAL VARCHAR(4), DTSERVINTE DATETIME, NRSERVPESO REAL)",
                 "INSERT INTO SERVINTE VALUES ('0001', '2026-12-07 08:30:00', 61.5)"})
            QVERIFY2(sql.exec(QLatin1String(statement)), statement);
    }

    void cleanupTestCase() { dtmDBGeral().Close(); }

    // The occurrence type lookup: each dialect slot as written, the Oracle
    // one run here with NVL registered on the connection.
    void runsTheSlotOfTheDatabaseInUse_data()
    {
        QTest::addColumn<QVariant>("code");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("null lists every type") << QVariant()
            << QStringList{QStringLiteral("001"), QStringLiteral("002"), QStringLiteral("003")};
        QTest::newRow("a code gives that type") << QVariant(QStringLiteral("002")) << QStringList{QStringLiteral("002")};
        QTest::newRow("a quote is only a value") << QVariant(QStringLiteral("' OR '1'='1"))
                                                 << QStringList();
    }

    void runsTheSlotOfTheDatabaseInUse()
    {
        QFETCH(QVariant, code);
        QFETCH(QStringList, expected);
        QCOMPARE(occurrenceTypes(code), expected);
    }

    // The same lookup on PostgreSQL, when the test run provides a cluster.
    void postgresRunsTheSameSlot()
    {
        const QString url = qEnvironmentVariable("ENTPAT_TEST_PG");
        if (url.isEmpty())
            QSKIP("PostgreSQL not available (ENTPAT_TEST_PG is not set)");
        dtmDBGeral().Open(url);
        QSqlQuery sql(dtmDBGeral().Database());
        QVERIFY(sql.exec(QStringLiteral("CREATE TEMP TABLE TPOCORINFU (CDTPOCORINFU VARCHAR(3), NMTPOCORINFU VARCHAR(100))")));
        QVERIFY(sql.exec(QStringLiteral("INSERT INTO TPOCORINFU VALUES ('002', 'Vômito'), ('001', 'Diarreia')")));
        const QStringList all = occurrenceTypes(QVariant());
        const QStringList one = occurrenceTypes(QStringLiteral("002"));
        dtmDBGeral().Open(m_dir.filePath(QStringLiteral("suite.db")));
        QCOMPARE(all, QStringList({QStringLiteral("001"), QStringLiteral("002")}));
        QCOMPARE(one, QStringList{QStringLiteral("002")});
    }

private:
    static QStringList occurrenceTypes(const QVariant &code)
    {
        TADOIBQuery query;
        query.AddField(field(QStringLiteral("CDTPOCORINFU"), FieldType::Text, 3));
        query.AddField(field(QStringLiteral("NMTPOCORINFU"), FieldType::Text, 100));
        query.SQL = QStringList{QStringLiteral("SELECT CDTPOCORINFU,"), QStringLiteral("       NMTPOCORINFU"),
                                QStringLiteral("FROM TPOCORINFU, PARAM (:P_CDTPOCORINFU) P1"),
                                QStringLiteral("WHERE (CDTPOCORINFU = NVLSTR(P1.PARAM, CDTPOCORINFU))"),
                                QStringLiteral("ORDER BY CDTPOCORINFU")};
        query.SQL_IB = query.SQL;
        query.SQL_ORACLE = query.SQL;
        query.SQL_ORACLE[2] = QStringLiteral("FROM TPOCORINFU");
        query.SQL_ORACLE[3] = QStringLiteral("WHERE (CDTPOCORINFU = NVL(:P_CDTPOCORINFU, CDTPOCORINFU))");
        query.SQL_MSSQL = query.SQL_ORACLE;
        query.SQL_MSSQL[3] = QStringLiteral("WHERE (CDTPOCORINFU = ISNULL(:P_CDTPOCORINFU, CDTPOCORINFU))");
        query.ParamByName(QStringLiteral("P_CDTPOCORINFU")).SetValue(code);
        query.Open();
        QStringList codes;
        for (query.First(); !query.Eof(); query.Next())
            codes << query.FieldByName(QStringLiteral("CDTPOCORINFU"))->AsString();
        return codes;
    }

private slots:

    // Without persistent fields the columns become fields; with them, the
    // values take the fields' types (SQLite keeps dates as text).
    void resultFieldsAndTypes()
    {
        TADOIBQuery plain;
        plain.SQL = QStringList{QStringLiteral("SELECT cdfilial, nmfilial FROM FILIAL ORDER BY 1")};
        plain.Open();
        QCOMPARE(plain.RecordCount(), 2);
        QCOMPARE(plain.FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("Central"));

        TADOIBQuery typed;
        typed.AddField(field(QStringLiteral("DTSERVINTE"), FieldType::DateTime));
        typed.AddField(field(QStringLiteral("NRSERVPESO"), FieldType::Real));
        typed.SQL = QStringList{QStringLiteral("SELECT DTSERVINTE, NRSERVPESO FROM SERVINTE")};
        typed.Open();
        QCOMPARE(typed.FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime(),
                 QDateTime(QDate(2026, 12, 7), QTime(8, 30)));
        QCOMPARE(typed.FieldByName(QStringLiteral("NRSERVPESO"))->AsFloat(), 61.5);
    }

    // Parameters keep their values across Close and Open; BeforeOpen runs
    // first; an unknown parameter name is an error.
    void paramsAndBeforeOpen()
    {
        TADOIBQuery query;
        query.SQL = QStringList{QStringLiteral("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL")};
        int opens = 0;
        query.BeforeOpen = [&](TADOIBQuery &) { ++opens; };
        query.ParamByName(QStringLiteral("p_cdfilial")).SetAsString(QStringLiteral("0002"));
        query.Open();
        query.Open();
        QCOMPARE(opens, 1);
        QCOMPARE(query.FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("Norte"));
        query.Close();
        query.Open();
        QCOMPARE(query.FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("Norte"));
        QVERIFY_THROWS_EXCEPTION(UserError, query.ParamByName(QStringLiteral("P_OUTRO")));
    }

    void statementErrorsReachTheUser()
    {
        TADOIBQuery query;
        query.SQL = QStringList{QStringLiteral("SELECT * FROM TABELA_AUSENTE")};
        QVERIFY_THROWS_EXCEPTION(UserError, query.Open());
        QVERIFY(!query.Active());
    }

    void parameterNamesSkipQuotesAndCasts()
    {
        QCOMPARE(statementParameters(QStringLiteral("SELECT ':X', a::text FROM T WHERE A = :P_A AND B = :P_B OR C = :P_A")),
                 QStringList({QStringLiteral("P_A"), QStringLiteral("P_B")}));
    }

    // A closed query is opened by the pick list itself.
    void pickListOpensAClosedQuery()
    {
        ScriptedInteraction script;
        TADOIBQuery query;
        query.SQL = QStringList{QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL")};
        query.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("9999"));
        QVERIFY(!Pesquisar_Plus(query, QStringLiteral("Filial|Não há filial cadastrada.")));
        QCOMPARE(script.messages(), QStringList{QStringLiteral("Não há filial cadastrada.")});
        query.Close();
        query.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0001"));
        script.answerPick(QStringLiteral("CDFILIAL"), QStringLiteral("0001"));
        QVERIFY(Pesquisar_Plus(query, QStringLiteral("Filial|Não há filial cadastrada.")));
    }

    void validaFilial()
    {
        ScriptedInteraction script;
        QCOMPARE(ValidaFilial(QStringLiteral("0002"), QStringLiteral("OPER"), true), QStringLiteral("Norte"));
        QVERIFY_THROWS_EXCEPTION(Abort, ValidaFilial(QStringLiteral("0009"), QStringLiteral("OPER"), true));
        QCOMPARE(ValidaFilial(QStringLiteral("0009"), QStringLiteral("OPER"), false), QString());
        QCOMPARE(script.errors(), QStringList(2, QStringLiteral("Filial não cadastrada.")));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestADOIBQuery)
#include "tst_adoibquery.moc"
