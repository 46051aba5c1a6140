// entpat-server: serves the object "Vqn18000.rdmEntPat" over HTTP and JSON.
//
// Exit codes: 0 after a clean stop (SIGINT, SIGTERM) or a finished
// --set-password or --backup; 1 when the server cannot start (database, port,
// certificate), --set-password fails (unknown operator, empty password) or
// --backup fails (no SQLite suite database, the copy exists, the copy fails
// its check); 2 for a mistake on the command line.
#include "lib/databasebackup.h"
#include "lib/databasesetup.h"
#include "lib/entpatserver.h"
#include "lib/operatorlogin.h"
#include "lib/requesterror.h"
#include "lib/sqlsession.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int exitCannotStart = 1;
constexpr int exitUsage = 2;

int signalPipe[2];

void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the event loop so the server stops cleanly.
void quitOnSignals(QCoreApplication &app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
}

// The command line's own texts (help, errors) in Brazilian Portuguese.
void installPortuguese(QCoreApplication &app, QTranslator &translator)
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (translator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&translator);
}

void complain(const QString &text)
{
    std::fprintf(stderr, "entpat-server: %s\n", qPrintable(text));
}

// A whole number within [low, high] from an option; nullopt (after saying
// why) otherwise.
std::optional<int> numberOption(const QCommandLineParser &parser, const QCommandLineOption &option, int low,
                                int high)
{
    bool ok = false;
    const int value = parser.value(option).toInt(&ok);
    if (ok && value >= low && value <= high)
        return value;
    complain(QStringLiteral("valor inválido para --%1: \"%2\" (um número inteiro de %3 a %4).")
                 .arg(option.names().constFirst(), parser.value(option))
                 .arg(low)
                 .arg(high));
    return std::nullopt;
}

// --set-password: the operator's new password is the first line of standard
// input (a password on the command line would show in the process list).
// Servers running on the database end the operator's sessions at their next
// call (see EntPatServer).
int setPassword(const EntPatServerOptions &options, const QString &operatorCode)
{
    QTextStream input(stdin);
    const QString password = input.readLine();
    ServerLog log(options.logLevel);
    try {
        const DatabaseConfig config = DatabaseConfig::parse(options.database);
        prepareDatabase(config, options, QStringLiteral("entpat-set-password-setup"), log);
        SqlSession session(config, QStringLiteral("entpat-set-password"));
        OperatorLogin::setPassword(session, operatorCode, password);
    } catch (const RequestError &failure) {
        complain(failure.text());
        return exitCannotStart;
    }
    std::printf("senha do operador %s gravada\n", qPrintable(operatorCode));
    return 0;
}

// --backup: a checked copy of the live SQLite database.
int backup(const QString &database, const QString &target)
{
    try {
        DatabaseBackup::write(DatabaseConfig::parse(database), target);
    } catch (const RequestError &failure) {
        complain(failure.text());
        return exitCannotStart;
    }
    std::printf("cópia de segurança gravada em %s (integridade verificada)\n", qPrintable(target));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("entpat-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ENTPAT_VERSION));
    QTranslator qtTranslator;
    installPortuguese(app, qtTranslator);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Servidor de aplicação Vqn18000.rdmEntPat"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Banco de dados: caminho de um arquivo SQLite ou postgresql://usuario@servidor:porta/banco."),
        QStringLiteral("banco"));
    const QCommandLineOption createOption(QStringLiteral("create"),
                                          QStringLiteral("Cria o banco (arquivo SQLite ou tabelas) quando não existe."));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Porta (0 = qualquer porta livre)."),
                                        QStringLiteral("porta"), QStringLiteral("0"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Cria o banco quando não existe e preenche um banco sem "
                                                       "pacientes com os dados de demonstração."));
    const QCommandLineOption patientsOption(QStringLiteral("demo-patients"),
                                            QStringLiteral("Pacientes internados por filial nos dados de demonstração."),
                                            QStringLiteral("n"), QStringLiteral("30"));
    const QCommandLineOption listenOption(QStringLiteral("listen"),
                                          QStringLiteral("Endereço de escuta (padrão 127.0.0.1; outro exige HTTPS)."),
                                          QStringLiteral("endereço"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption certificateOption(
        QStringLiteral("tls-cert"),
        QStringLiteral("Certificado do servidor (PEM, seguido da cadeia): com --tls-key, serve só HTTPS."),
        QStringLiteral("arquivo"));
    const QCommandLineOption keyOption(QStringLiteral("tls-key"),
                                       QStringLiteral("Chave privada do certificado (PEM)."), QStringLiteral("arquivo"));
    const QCommandLineOption sessionIdleOption(
        QStringLiteral("session-idle"),
        QStringLiteral("Segundos sem chamadas após os quais a sessão de um operador termina."), QStringLiteral("segundos"),
        QStringLiteral("43200"));
    const QCommandLineOption setPasswordOption(
        QStringLiteral("set-password"),
        QStringLiteral("Grava a senha do operador, lida da primeira linha da entrada padrão, e termina."),
        QStringLiteral("operador"));
    const QCommandLineOption workersOption(QStringLiteral("db-workers"),
                                           QStringLiteral("Conexões com o banco de dados (linhas de execução do banco)."),
                                           QStringLiteral("n"), QStringLiteral("8"));
    const QCommandLineOption connectionsOption(QStringLiteral("max-connections"),
                                               QStringLiteral("Conexões de clientes atendidas ao mesmo tempo."),
                                               QStringLiteral("n"), QStringLiteral("512"));
    const QCommandLineOption loginFailuresOption(
        QStringLiteral("login-failures"),
        QStringLiteral("Entradas recusadas de um operador, ou de um endereço, admitidas na janela de --login-window."),
        QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption loginWindowOption(QStringLiteral("login-window"),
                                               QStringLiteral("Janela em que as entradas recusadas são contadas."),
                                               QStringLiteral("segundos"), QStringLiteral("900"));
    const QCommandLineOption loginLockOption(
        QStringLiteral("login-lock"),
        QStringLiteral("Primeiro bloqueio após as recusas; cada recusa seguinte dobra o bloqueio."),
        QStringLiteral("segundos"), QStringLiteral("60"));
    const QCommandLineOption loginMaxLockOption(QStringLiteral("login-max-lock"),
                                                QStringLiteral("Bloqueio mais longo de entradas."),
                                                QStringLiteral("segundos"), QStringLiteral("900"));
    const QCommandLineOption hashWorkersOption(QStringLiteral("hash-workers"),
                                               QStringLiteral("Linhas de execução que conferem senhas."),
                                               QStringLiteral("n"), QStringLiteral("2"));
    const QCommandLineOption hashQueueOption(
        QStringLiteral("hash-queue"),
        QStringLiteral("Entradas que podem esperar a conferência da senha; além delas, a entrada é recusada."),
        QStringLiteral("n"), QStringLiteral("16"));
    const QCommandLineOption logOption(QStringLiteral("log-level"),
                                       QStringLiteral("Registro na saída de erros: erro, aviso, info (uma linha por "
                                                      "chamada), depuracao ou nenhum."),
                                       QStringLiteral("nível"), QStringLiteral("info"));
    const QCommandLineOption backupOption(
        QStringLiteral("backup"),
        QStringLiteral("Grava uma cópia verificada do banco SQLite (também em uso) num arquivo novo e termina."),
        QStringLiteral("arquivo"));
    parser.addOptions({databaseOption, createOption, portOption, demoOption, patientsOption, listenOption,
                       certificateOption, keyOption, sessionIdleOption, setPasswordOption, workersOption,
                       connectionsOption, loginFailuresOption, loginWindowOption, loginLockOption,
                       loginMaxLockOption, hashWorkersOption, hashQueueOption, logOption, backupOption});
    // parse() rather than process(): a mistake exits with the usage code.
    if (!parser.parse(QCoreApplication::arguments())) {
        complain(parser.errorText());
        return exitUsage;
    }
    if (parser.isSet(helpOption))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();

    if (!parser.positionalArguments().isEmpty()) {
        complain(QStringLiteral("argumento inesperado: %1").arg(parser.positionalArguments().constFirst()));
        return exitUsage;
    }
    if (!parser.isSet(databaseOption)) {
        complain(QStringLiteral("informe --database."));
        return exitUsage;
    }
    const auto port = numberOption(parser, portOption, 0, 65535);
    const auto patients = numberOption(parser, patientsOption, 0, 100000);
    const auto workers = numberOption(parser, workersOption, 1, 256);
    const auto connections = numberOption(parser, connectionsOption, 1, 10000);
    const auto sessionIdle = numberOption(parser, sessionIdleOption, 1, 7 * 24 * 60 * 60);
    const auto loginFailures = numberOption(parser, loginFailuresOption, 1, 1000);
    const auto loginWindow = numberOption(parser, loginWindowOption, 1, 7 * 24 * 60 * 60);
    const auto loginLock = numberOption(parser, loginLockOption, 1, 7 * 24 * 60 * 60);
    const auto loginMaxLock = numberOption(parser, loginMaxLockOption, 1, 7 * 24 * 60 * 60);
    const auto hashWorkers = numberOption(parser, hashWorkersOption, 1, 64);
    const auto hashQueue = numberOption(parser, hashQueueOption, 0, 10000);
    const auto logLevel = ServerLog::parseLevel(parser.value(logOption));
    if (!logLevel)
        complain(QStringLiteral("nível de registro desconhecido: \"%1\" (erro, aviso, info, depuracao ou nenhum).")
                     .arg(parser.value(logOption)));
    if (parser.isSet(certificateOption) != parser.isSet(keyOption)) {
        complain(QStringLiteral("informe --tls-cert e --tls-key juntos."));
        return exitUsage;
    }
    if (!port || !patients || !workers || !connections || !sessionIdle || !loginFailures || !loginWindow
        || !loginLock || !loginMaxLock || !hashWorkers || !hashQueue || !logLevel)
        return exitUsage;

    EntPatServerOptions options;
    options.database = parser.value(databaseOption);
    options.create = parser.isSet(createOption);
    options.port = *port;
    options.demo = parser.isSet(demoOption);
    options.demoPatients = *patients;
    options.listenAddress = parser.value(listenOption);
    options.tlsCertificate = parser.value(certificateOption);
    options.tlsKey = parser.value(keyOption);
    options.sessionIdleSeconds = *sessionIdle;
    options.databaseWorkers = *workers;
    options.maxConnections = *connections;
    options.loginFailures = *loginFailures;
    options.loginWindowSeconds = *loginWindow;
    options.loginLockSeconds = *loginLock;
    options.loginMaxLockSeconds = *loginMaxLock;
    options.hashWorkers = *hashWorkers;
    options.hashQueue = *hashQueue;
    options.logLevel = *logLevel;
    if (parser.isSet(backupOption))
        return backup(options.database, parser.value(backupOption));
    if (parser.isSet(setPasswordOption))
        return setPassword(options, parser.value(setPasswordOption));

    EntPatServer server(options);
    QString error;
    if (!server.start(&error)) {
        // The log has said it already when it is on.
        if (*logLevel == LogLevel::Off)
            complain(error);
        return exitCannotStart;
    }
    std::printf("listening on %s:%d\n", qPrintable(server.address()), server.port());
    std::fflush(stdout);
    quitOnSignals(app);
    const int result = app.exec();
    server.stop();
    return result;
}
