// The host's report command (entpat-host --report ...), run as the kitchen's
// scheduler runs it: a process without a display.

#include "reporttestsupport.h"

#include "lib/database.h"
#include "lib/demodata.h"
#include "lib/schema.h"
#include "lib/sqlsession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

class TestReportCommand : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        int exitCode = -1;
        QString error;
        QString everything;   // the whole standard error
    };

    Run host(const QStringList &arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("DISPLAY"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.insert(QStringLiteral("HOME"), m_dir.filePath(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("home/.config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("home/.local/share")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime);
        process.setProcessEnvironment(environment);
        process.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("entpat-host")),
                      arguments);
        if (!process.waitForFinished(60000))
            return {};
        // Only the command's own lines: Qt may add warnings of its own.
        const QString everything = QString::fromUtf8(process.readAllStandardError());
        QStringList lines;
        for (const QString &line : everything.split(QLatin1Char('\n'))) {
            if (line.startsWith(QLatin1String("entpat-host:")))
                lines << line;
        }
        return {process.exitCode(), lines.join(QLatin1Char('\n')), everything};
    }

    QStringList request(const QDate &from, const QDate &to, const QString &pdf) const
    {
        return {QStringLiteral("--report"), QStringLiteral("VQN180"),
                QStringLiteral("--from"), from.toString(QStringLiteral("dd/MM/yyyy")),
                QStringLiteral("--to"), to.toString(QStringLiteral("dd/MM/yyyy")),
                QStringLiteral("--database"), m_database, QStringLiteral("--pdf"), pdf};
    }

    QTemporaryDir m_dir;
    QString m_database;
    QString m_runtime;   // a session's runtime folder, private as Qt wants it
    QStringList m_demoPatients;   // patients of branch 0001 with records
    QDate m_today = QDate::currentDate();

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(pdftotextAvailable(), "pdftotext (poppler-utils) is needed; run scripts/setup");
        m_runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(m_runtime));
        QVERIFY(QFile::setPermissions(m_runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_database = m_dir.filePath(QStringLiteral("demo.db"));
        SqlSession session(DatabaseConfig::parse(m_database), QStringLiteral("demo"));
        Schema::create(session.database());
        DemoData::fill(session, 30, m_today);
        for (const SqlRow &row : session.select(QStringLiteral(
                 "SELECT DISTINCT P.NMPACIENTE FROM SERVINTE S JOIN PACIENTE P ON P.CDPACIENTE = S.CDPACIENTE "
                 "WHERE S.CDFILIAL = '0001'")))
            m_demoPatients << row.first().toString();
        QCOMPARE(m_demoPatients.size(), 5);
    }

    void writesTheDemoPatientsOfThePeriod()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("kitchen.pdf"));
        const Run run = host(request(m_today.addDays(-1), m_today, pdf));
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
        const QString text = pdfText(pdf);
        for (const QString &patient : std::as_const(m_demoPatients))
            QVERIFY2(text.contains(patient), qPrintable(patient + QStringLiteral(" missing from\n") + text));
        QVERIFY(text.contains(QStringLiteral("Filial 0001")));
        QVERIFY2(text.contains(QStringLiteral("D001 Dieta artesanal liquidificada")), qPrintable(text));
        // Three items of 250 prescribed, 250 + 250 + 200 infused, per day.
        QVERIFY2(text.contains(QStringLiteral("prescrito 750,000 · infundido 700,000")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("prescrito 1.500,000 · infundido 1.400,000")));
    }

    void otherBranchAndEmptyPeriod_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<int>("daysBack");
        QTest::newRow("period without records") << QStringList() << 400;
        QTest::newRow("branch without records") << QStringList{"--branch", "0002"} << 1;
    }

    void otherBranchAndEmptyPeriod()
    {
        QFETCH(QStringList, extra);
        QFETCH(int, daysBack);
        const QString pdf = m_dir.filePath(QStringLiteral("empty.pdf"));
        const Run run = host(request(m_today.addDays(-daysBack), m_today.addDays(-daysBack + 1), pdf) + extra);
        QCOMPARE(run.exitCode, 0);
        QVERIFY(pdfText(pdf).contains(QStringLiteral("Não há prescrições no período.")));
    }

    void failuresExitWithTheirCodes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString out = QStringLiteral("/tmp/never-written.pdf");
        QTest::newRow("no --pdf") << QStringList{"--report", "VQN180", "--from", "01/12/2026", "--to", "02/12/2026"}
                                  << 2 << "Informe --pdf.";
        QTest::newRow("bad date") << QStringList{"--report", "VQN180", "--from", "31/02/2026", "--to", "02/12/2026",
                                                 "--pdf", out}
                                  << 2 << "Data inicial inválida: 31/02/2026 (use dd/MM/aaaa).";
        QTest::newRow("end before start")
            << QStringList{"--report", "VQN180", "--from", "02/12/2026", "--to", "01/12/2026", "--pdf", out} << 2
            << "A data final deve ser igual ou posterior à data inicial.";
        QTest::newRow("unknown option") << QStringList{"--report", "VQN180", "--desde", "x"} << 2
                                        << "Opção desconhecida: --desde.";
        QTest::newRow("missing database")
            << QStringList{"--report", "VQN180", "--from", "01/12/2026", "--to", "02/12/2026", "--pdf", out,
                           "--database", "/nonexistent/suite.db"}
            << 3 << "O banco de dados /nonexistent/suite.db não existe.";
    }

    void failuresExitWithTheirCodes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run run = host(arguments);
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.error, QStringLiteral("entpat-host: ") + message);
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/never-written.pdf")));
    }

    // Into a folder that does not exist: one line, nothing painted.
    void missingFolderIsOneLine()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("no-such-folder/kitchen.pdf"));
        const Run run = host(request(m_today.addDays(-1), m_today, pdf));
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.everything, QStringLiteral("entpat-host: O arquivo %1 não pôde ser gravado: a pasta %2 não existe.\n")
                                     .arg(pdf, m_dir.filePath(QStringLiteral("no-such-folder"))));
    }

    void notADatabaseAndMissingDefinition()
    {
        const QString junk = m_dir.filePath(QStringLiteral("junk.db"));
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a database at all");
        file.close();
        const QString pdf = m_dir.filePath(QStringLiteral("x.pdf"));
        QStringList arguments = request(m_today, m_today, pdf);
        arguments[arguments.indexOf(m_database)] = junk;
        Run run = host(arguments);
        QCOMPARE(run.exitCode, 3);
        QVERIFY(run.error.startsWith(QStringLiteral("entpat-host: O banco de dados ")));
        QVERIFY(!run.error.contains(QLatin1Char('\n')));

        arguments = request(m_today, m_today, pdf);
        arguments[1] = QStringLiteral("VQN999");
        run = host(arguments);
        QCOMPARE(run.exitCode, 4);
        QCOMPARE(run.error, QStringLiteral("entpat-host: O arquivo contendo a definição do relatório de código "
                                           "'VQN999' não foi encontrado no diretório '%1'.")
                                .arg(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("reports"))));
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_GUILESS_MAIN(TestReportCommand)
#include "tst_reportcommand.moc"
