// entpat-server: serves the object "Vqn18000.rdmEntPat" over HTTP and JSON.
#include "entpatserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("entpat-server"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Servidor de aplicação Vqn18000.rdmEntPat"));
    parser.addHelpOption();
    const QCommandLineOption databaseOption(
        QStringLiteral("database"),
        QStringLiteral("Banco de dados: caminho de um arquivo SQLite ou postgresql://usuario@servidor:porta/banco."),
        QStringLiteral("banco"));
    const QCommandLineOption portOption(QStringLiteral("port"), QStringLiteral("Porta (0 = qualquer porta livre)."),
                                        QStringLiteral("porta"), QStringLiteral("0"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Preenche um banco sem pacientes com os dados de demonstração."));
    const QCommandLineOption patientsOption(QStringLiteral("demo-patients"),
                                            QStringLiteral("Pacientes internados por filial nos dados de demonstração."),
                                            QStringLiteral("n"), QStringLiteral("30"));
    const QCommandLineOption listenOption(QStringLiteral("listen"),
                                          QStringLiteral("Endereço de escuta (padrão 127.0.0.1; outro exige --token)."),
                                          QStringLiteral("endereço"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption tokenOption(QStringLiteral("token"),
                                         QStringLiteral("Segredo exigido em cada requisição (Authorization: Bearer)."),
                                         QStringLiteral("segredo"));
    parser.addOptions({databaseOption, portOption, demoOption, patientsOption, listenOption, tokenOption});
    parser.process(app);

    if (!parser.isSet(databaseOption)) {
        std::fprintf(stderr, "entpat-server: informe --database\n");
        return 2;
    }
    EntPatServerOptions options;
    options.database = parser.value(databaseOption);
    options.port = parser.value(portOption).toInt();
    options.demo = parser.isSet(demoOption);
    options.demoPatients = parser.value(patientsOption).toInt();
    options.listenAddress = parser.value(listenOption);
    options.token = parser.value(tokenOption);

    EntPatServer server(options);
    QString error;
    if (!server.start(&error)) {
        std::fprintf(stderr, "entpat-server: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("listening on %s:%d\n", qPrintable(server.address()), server.port());
    std::fflush(stdout);
    quitOnSignals(app);
    const int result = app.exec();
    server.stop();
    return result;
}
