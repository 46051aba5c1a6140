#include "hostoptions.h"

#include "core/velunor.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("HostOptions", text);
}

bool isPostgresUrl(const QString &database)
{
    return database.startsWith(QLatin1String("postgresql:")) || database.startsWith(QLatin1String("postgres:"));
}

} // namespace

void readHostSettings(HostOptions *options)
{
    const QSettings settings;
    options->operatorCode = settings.value(QStringLiteral("operador/codigo"),
                                           QStringLiteral("NUTRI01")).toString();
    options->operatorName = settings.value(QStringLiteral("operador/nome")).toString();
    options->branch = settings.value(QStringLiteral("filial/codigo"), QStringLiteral("0001")).toString();
    options->fixedBranch = settings.value(QStringLiteral("filial/fixa"), false).toBool();
    options->database = settings.value(QStringLiteral("banco/caminho"),
                                       QDir(QCoreApplication::applicationDirPath())
                                           .filePath(QStringLiteral("entpat-demo.db"))).toString();
    options->startServer = settings.value(QStringLiteral("servidor/local"), true).toBool();
    options->serverAddress = settings.value(QStringLiteral("servidor/endereco"),
                                            options->serverAddress).toString();
    options->serverPort = settings.value(QStringLiteral("servidor/porta"), 0).toInt();
    options->caFile = settings.value(QStringLiteral("servidor/ca")).toString();
}

bool asksForHelp(const QStringList &arguments)
{
    static const QStringList helpWords = {QStringLiteral("-h"), QStringLiteral("--help"), QStringLiteral("-?"),
                                          QStringLiteral("--help-all"), QStringLiteral("-v"),
                                          QStringLiteral("--version")};
    return std::any_of(arguments.cbegin() + (arguments.isEmpty() ? 0 : 1), arguments.cend(),
                       [](const QString &argument) { return helpWords.contains(argument); });
}

bool readHostOptions(const QStringList &arguments, HostOptions *options, QString *error)
{
    readHostSettings(options);

    QCommandLineParser parser;
    parser.setApplicationDescription(tr("Aplicação hospitalar que carrega o módulo de nutrição "
                                        "enteral/parenteral."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    // Text options that override a setting when given.
    struct TextOption
    {
        QCommandLineOption option;
        QString *target;
    };
    const TextOption texts[] = {
        {{QStringLiteral("operator"), tr("Código do operador."), tr("código")}, &options->operatorCode},
        {{QStringLiteral("operator-name"), tr("Nome do operador."), tr("nome")}, &options->operatorName},
        {{QStringLiteral("branch"), tr("Filial atual."), tr("código")}, &options->branch},
        {{QStringLiteral("database"), tr("Banco de dados: arquivo SQLite ou URL postgresql://."), tr("banco")},
         &options->database},
        {{QStringLiteral("start"), tr("Rotina do módulo aberta ao iniciar (IniProc ou CriaEntParenteral)."),
          tr("rotina")},
         &options->startRoutine},
    };
    const QCommandLineOption fixedOption(QStringLiteral("fixed-branch"),
                                         tr("Prende os módulos à filial atual."));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        tr("Cria o banco, quando não existe, com os dados de demonstração."));
    const QCommandLineOption serverOption(QStringLiteral("server"),
                                          tr("Endereço de um servidor de aplicação já em execução "
                                             "(não inicia o servidor interno)."),
                                          tr("endereço"));
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        tr("Porta do servidor de aplicação (com --server)."),
                                        tr("porta"));
    const QCommandLineOption passwordFileOption(QStringLiteral("password-file"),
                                                tr("Arquivo cuja primeira linha é a senha do operador (sem ele, a "
                                                   "tela de entrada pede a senha)."),
                                                tr("arquivo"));
    const QCommandLineOption caFileOption(QStringLiteral("ca-file"),
                                          tr("Certificado (PEM) da autoridade que emitiu o certificado do servidor "
                                             "de aplicação: conexão HTTPS verificada (ou a chave servidor/ca das "
                                             "configurações)."),
                                          tr("arquivo"));
    for (const TextOption &text : texts)
        parser.addOption(text.option);
    parser.addOptions({fixedOption, demoOption, serverOption, portOption, passwordFileOption, caFileOption});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return false;
    }
    if (parser.isSet(helpOption))
        parser.showHelp(0);
    if (parser.isSet(versionOption))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        *error = tr("Argumento inesperado: %1").arg(parser.positionalArguments().constFirst());
        return false;
    }

    for (const TextOption &text : texts) {
        if (parser.isSet(text.option))
            *text.target = parser.value(text.option);
    }
    if (parser.isSet(fixedOption))
        options->fixedBranch = true;
    options->demo = parser.isSet(demoOption);
    if (parser.isSet(serverOption)) {
        options->startServer = false;
        options->serverAddress = parser.value(serverOption);
    }
    if (parser.isSet(portOption)) {
        bool ok = false;
        options->serverPort = parser.value(portOption).toInt(&ok);
        if (!ok || options->serverPort <= 0 || options->serverPort > 65535) {
            *error = tr("Porta inválida: %1").arg(parser.value(portOption));
            return false;
        }
    }
    if (options->startRoutine != QLatin1String("IniProc")
        && options->startRoutine != QLatin1String("CriaEntParenteral")) {
        *error = tr("Rotina de início desconhecida: %1").arg(options->startRoutine);
        return false;
    }
    if (options->demo && !options->startServer) {
        *error = tr("--demo cria os dados pelo servidor interno; não use --server junto.");
        return false;
    }
    if (!options->startServer && options->serverPort == 0) {
        *error = tr("Informe a porta do servidor de aplicação (--port).");
        return false;
    }
    // A remote workstation reads the lookup tables straight from the suite
    // database, so it needs the PostgreSQL address as well as the server's.
    if (!options->startServer && !isPostgresUrl(options->database)) {
        *error = tr("Com --server informe também o banco PostgreSQL que o módulo consulta: --database "
                    "postgresql://usuario@servidor/banco?sslmode=verify-full (um papel que só lê as tabelas de "
                    "consulta).");
        return false;
    }
    if (parser.isSet(caFileOption))
        options->caFile = parser.value(caFileOption);
    if (!options->caFile.isEmpty() && !QFileInfo(options->caFile).isReadable()) {
        *error = tr("Não foi possível ler o certificado da autoridade %1.").arg(options->caFile);
        return false;
    }
    if (parser.isSet(passwordFileOption)) {
        options->passwordFile = parser.value(passwordFileOption);
        if (!QFileInfo(options->passwordFile).isReadable()) {
            *error = tr("Não foi possível ler o arquivo de senha %1.").arg(options->passwordFile);
            return false;
        }
    }
    return true;
}

void applyOperatorContext(const HostOptions &options)
{
    OperatorContext &context = operatorContext();
    context.operador = options.operatorCode;
    context.nomeOperador = options.operatorName;
    context.filiProc = options.branch;
    context.moduFili = options.fixedBranch;
    context.webUrl = options.serverAddress;
    context.webPort = options.serverPort;
    context.webToken.clear();
    context.webCaFile = options.caFile;
}
