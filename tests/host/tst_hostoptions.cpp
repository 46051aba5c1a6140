// The host's command line as an operator meets it: help without a display,
// and each incomplete or wrong start refused with a message and the usage
// exit code before any window opens.
#include "processrun.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int exitUsage = 2;

// Runs entpat-host with its own empty settings folder; `display` false
// removes every way to reach a display.
Finished runHost(const QStringList &arguments, bool display)
{
    const QTemporaryDir settings;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settings.path());
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (display)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    else
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return runToEnd(QCoreApplication::applicationDirPath() + QStringLiteral("/entpat-host"), arguments, {},
                    environment);
}

} // namespace

class TestHostOptions : public QObject
{
    Q_OBJECT

private slots:
    void helpNeedsNoDisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("shows");
        QTest::newRow("help") << "--help" << "--password-file";
        QTest::newRow("version") << "--version" << "entpat-host 1";
    }
    void helpNeedsNoDisplay()
    {
        QFETCH(QString, option);
        QFETCH(QString, shows);
        const Finished run = runHost({option}, false);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.output.contains(shows), qPrintable(run.output));
    }

    void wrongStarts_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("server without its database")
            << QStringList{"--server", "10.0.0.5", "--port", "8211"} << "informe também o banco PostgreSQL";
        QTest::newRow("server with a SQLite file")
            << QStringList{"--server", "10.0.0.5", "--port", "8211", "--database", "/tmp/suite.db"}
            << "informe também o banco PostgreSQL";
        QTest::newRow("server without a port")
            << QStringList{"--server", "10.0.0.5", "--database", "postgresql://leitor@db/suite"} << "--port";
        QTest::newRow("port not a number") << QStringList{"--port", "abc"} << "Porta inválida: abc";
        QTest::newRow("unreadable password file")
            << QStringList{"--server", "10.0.0.5", "--port", "8211", "--database", "postgresql://leitor@db/suite",
                           "--password-file", "/nonexistent/password"}
            << "arquivo de senha";
        QTest::newRow("unreadable CA file")
            << QStringList{"--server", "10.0.0.5", "--port", "8211", "--database", "postgresql://leitor@db/suite",
                           "--ca-file", "/nonexistent/ca.pem"}
            << "certificado da autoridade";
        QTest::newRow("unknown option") << QStringList{"--servidor", "x"} << "servidor";
    }
    void wrongStarts()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Finished run = runHost(arguments, true);
        QCOMPARE(run.exitCode, exitUsage);
        QVERIFY2(run.output.contains(message), qPrintable(run.output));
    }
};

QTEST_GUILESS_MAIN(TestHostOptions)
#include "tst_hostoptions.moc"
