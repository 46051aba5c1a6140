// entpat-host: the hospital suite's host application. It runs the
// application server in-process (unless told to use one already running),
// logs the operator in, opens the suite database, loads the module
// Pkg_VQN18000 and the packages of the suite's other modules, and opens the
// editor.
#include "hostlogin.h"
#include "hostmenus.h"
#include "hostoptions.h"
#include "reportcommand.h"
#include "suitepackages.h"

#include "core/abort.h"
#include "core/localzone.h"
#include "data/dtmdbgeral.h"
#include "lib/entpatserver.h"
#include "widgets/guiinteraction.h"
#include "screens/hostmainwindow.h"
#include "screens/packageloader.h"
#include "core/velunor.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QSqlQuery>
#include <QTranslator>

#include <cstdio>
#include <memory>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("Host", text);
}

// Exit codes: 1 when the host cannot start, 2 for a mistake on the command line.
constexpr int exitCannotStart = 1;
constexpr int exitUsage = 2;

// Standard dialog buttons and Qt's own texts in Brazilian Portuguese.
void installPortuguese(QTranslator &translator)
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    if (translator.load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);
}

bool isSqliteFile(const QString &database)
{
    return !database.startsWith(QLatin1String("postgresql:"));
}

void setApplicationNames()
{
    QCoreApplication::setOrganizationName(QStringLiteral("EntPat"));
    QCoreApplication::setApplicationName(QStringLiteral("entpat-host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ENTPAT_VERSION));
}

// Help and version need no display: answered from a core application.
int showHelp(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    setApplicationNames();
    QTranslator translator;
    installPortuguese(translator);
    HostOptions options;
    QString error;
    if (!readHostOptions(QCoreApplication::arguments(), &options, &error)) {
        std::fprintf(stderr, "entpat-host: %s\n", qPrintable(error));
        return exitUsage;
    }
    return 0;
}

// A failure to start: on standard error for the log, and in a dialog for
// the user in front of the screen.
void reportStartFailure(const QString &text)
{
    std::fprintf(stderr, "entpat-host: %s\n", qPrintable(text));
    interaction().error(text);
}

// Starts the in-process application server and points the operator context
// at it; false (after telling the user) when it cannot start.
bool startServer(const HostOptions &options, std::unique_ptr<EntPatServer> &server)
{
    EntPatServerOptions serverOptions;
    serverOptions.database = options.database;
    serverOptions.demo = options.demo;
    server = std::make_unique<EntPatServer>(serverOptions);
    QString error;
    if (!server->start(&error)) {
        reportStartFailure(tr("O servidor de aplicação não pôde ser iniciado: %1").arg(error));
        return false;
    }
    // The in-process server listens on loopback only, in plain HTTP.
    operatorContext().webUrl = server->address();
    operatorContext().webPort = server->port();
    operatorContext().webCaFile.clear();
    return true;
}

// A SQLite file must exist unless the demo data is to create it, so a
// mistyped path never turns into a new empty database.
bool databaseAvailable(const HostOptions &options)
{
    if (options.demo || !isSqliteFile(options.database) || QFileInfo::exists(options.database))
        return true;
    reportStartFailure(tr("O banco de dados %1 não existe. Crie-o com --demo ou use scripts/run.")
                           .arg(options.database));
    return false;
}

QString operatorName(const QString &code)
{
    QSqlQuery query(dtmDBGeral().Database());
    query.prepare(QStringLiteral("SELECT NMOPERADOR FROM OPERADOR WHERE CDOPERADOR = :code"));
    query.bindValue(QStringLiteral(":code"), code);
    return query.exec() && query.next() ? query.value(0).toString().trimmed() : code;
}

bool openDatabase(const HostOptions &options)
{
    return runGuarded([&options] {
        dtmDBGeral().Open(options.database);
        OperatorContext &context = operatorContext();
        if (context.nomeOperador.isEmpty())
            context.nomeOperador = operatorName(context.operador);
        context.nomeFiliProc = ValidaFilial(FiliProc(), Operador(), false);
    });
}

} // namespace

int main(int argc, char *argv[])
{
    KeepLocalTimeZone();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (asksForHelp(arguments))
        return showHelp(argc, argv);
    if (isReportCommand(argc, argv))
        return runReportCommand(argc, argv);

    QApplication app(argc, argv);
    setApplicationNames();
    QTranslator qtTranslator;
    installPortuguese(qtTranslator);

    GuiInteraction gui;
    setInteraction(&gui);

    HostOptions options;
    QString error;
    if (!readHostOptions(QCoreApplication::arguments(), &options, &error)) {
        std::fprintf(stderr, "entpat-host: %s\n", qPrintable(error));
        return exitUsage;
    }
    applyOperatorContext(options);

    // The server first: with --demo it creates the database the host then opens.
    std::unique_ptr<EntPatServer> server;
    if (!databaseAvailable(options) || (options.startServer && !startServer(options, server)))
        return exitCannotStart;
    // The operator logs in before anything is read for him.
    if (!HostLogin::start(options, &error)) {
        if (error.isEmpty())
            return 0;
        reportStartFailure(tr("Não foi possível entrar no servidor de aplicação: %1").arg(error));
        return exitCannotStart;
    }
    if (!openDatabase(options))
        return exitCannotStart;

    // Declared before the window: the window (and every screen of the
    // packages in it) is destroyed first, then the packages are finalised and
    // unloaded. Without one of the other packages its code keeps a stand-in.
    const QString folder = QCoreApplication::applicationDirPath();
    SuitePackages suite(folder);
    for (const QString &failure : suite.load())
        std::fprintf(stderr, "entpat-host: %s\n", qPrintable(failure));
    PackageLoader module(QDir(folder).filePath(QStringLiteral("Pkg_VQN18000")));
    if (!module.load()) {
        reportStartFailure(tr("O módulo Pkg_VQN18000 não pôde ser carregado: %1").arg(module.errorString()));
        return exitCannotStart;
    }

    HostMainWindow window;
    setUpHostWindow(window, module);
    window.resize(1280, 860);
    window.show();
    module.run(options.startRoutine.toLatin1().constData());

    const int result = app.exec();
    HostLogin::finish();
    setInteraction(nullptr);
    return result;
}
