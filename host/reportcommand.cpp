#include "reportcommand.h"

#include "hostoptions.h"

#include "core/abort.h"
#include "data/dtmdbgeral.h"
#include "report/reportdesigner.h"

#include <QCommandLineParser>
#include <QDate>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>

namespace {

enum ExitCode { Done = 0, Failed = 1, BadOption = 2, BadDatabase = 3, NoDefinition = 4 };

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportCommand", text);
}

int fail(int code, const QString &message)
{
    QString line = message;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "entpat-host: %s\n", qPrintable(line));
    return code;
}

struct ReportRequest
{
    QString code;
    QDate from;
    QDate to;
    QString branch;
    QString database;
    QString pdf;
};

// Reads the request; an empty text when it is sound, else what is wrong.
QString readRequest(const QStringList &arguments, ReportRequest *request)
{
    QCommandLineParser parser;
    const QCommandLineOption report(QStringLiteral("report"), tr("Código do relatório."), tr("código"));
    const QCommandLineOption from(QStringLiteral("from"), tr("Data inicial (dd/MM/aaaa)."), tr("data"));
    const QCommandLineOption to(QStringLiteral("to"), tr("Data final (dd/MM/aaaa)."), tr("data"));
    const QCommandLineOption branch(QStringLiteral("branch"), tr("Filial."), tr("código"));
    const QCommandLineOption database(QStringLiteral("database"),
                                      tr("Banco de dados: arquivo SQLite ou URL postgresql://."), tr("banco"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), tr("Arquivo PDF a gravar."), tr("arquivo"));
    parser.addOptions({report, from, to, branch, database, pdf});
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
            return tr("Opção desconhecida: --%1.").arg(parser.unknownOptionNames().first());
        return tr("Linha de comando inválida: falta o valor de uma opção.");
    }
    if (!parser.positionalArguments().isEmpty())
        return tr("Argumento inesperado: %1").arg(parser.positionalArguments().first());
    for (const QCommandLineOption &required : {report, from, to, pdf}) {
        if (parser.value(required).trimmed().isEmpty())
            return tr("Informe --%1.").arg(required.names().first());
    }
    HostOptions settings;
    readHostSettings(&settings);
    request->code = parser.value(report).trimmed();
    request->branch = parser.isSet(branch) ? parser.value(branch).trimmed() : settings.branch;
    request->database = parser.isSet(database) ? parser.value(database) : settings.database;
    request->pdf = parser.value(pdf);
    request->from = QDate::fromString(parser.value(from), QStringLiteral("dd/MM/yyyy"));
    request->to = QDate::fromString(parser.value(to), QStringLiteral("dd/MM/yyyy"));
    if (!request->from.isValid())
        return tr("Data inicial inválida: %1 (use dd/MM/aaaa).").arg(parser.value(from));
    if (!request->to.isValid())
        return tr("Data final inválida: %1 (use dd/MM/aaaa).").arg(parser.value(to));
    if (request->to < request->from)
        return tr("A data final deve ser igual ou posterior à data inicial.");
    if (request->branch.isEmpty())
        return tr("Informe a filial (--branch).");
    return {};
}

// Opens the suite database; an empty text when it is open and holds the
// suite's tables.
QString openDatabase(const QString &database)
{
    // QSQLITE would create a missing file: a mistyped path must fail instead.
    if (!database.startsWith(QLatin1String("postgresql:")) && !QFileInfo::exists(database))
        return tr("O banco de dados %1 não existe.").arg(database);
    try {
        dtmDBGeral().Open(database);
    } catch (const UserError &error) {
        return tr("O banco de dados %1 não pôde ser aberto: %2").arg(database, error.text());
    }
    if (!dtmDBGeral().Database().tables().contains(QStringLiteral("SERVINTE"), Qt::CaseInsensitive))
        return tr("O banco de dados %1 não contém as tabelas do sistema.").arg(database);
    return {};
}

void setIfPresent(TReportParams &params, const QString &name, const QVariant &value)
{
    if (params.ExistParam(name))
        params.ParamByName(name).SetValue(value);
}

} // namespace

bool isReportCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--report") == 0 || std::strncmp(argv[i], "--report=", 9) == 0)
            return true;
    }
    return false;
}

int runReportCommand(int argc, char *argv[])
{
    // Fonts and PDF painting need a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("EntPat"));
    QCoreApplication::setApplicationName(QStringLiteral("entpat-host"));
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    ReportRequest request;
    const QString optionError = readRequest(app.arguments(), &request);
    if (!optionError.isEmpty())
        return fail(BadOption, optionError);
    const QString databaseError = openDatabase(request.database);
    if (!databaseError.isEmpty())
        return fail(BadDatabase, databaseError);

    TReportDesigner designer;
    designer.ReportCode = request.code;
    try {
        const QStringList lists = reportListParameterNames(designer.Definition().sql);
        designer.BeforeGetQueryParams = [&request, lists](TReportParams &params, bool &) {
            for (const QString &name : lists)
                params.ParamByName(name).SetAsString(QStringLiteral("T"));
            setIfPresent(params, QStringLiteral("P_DTINI"), request.from.startOfDay());
            setIfPresent(params, QStringLiteral("P_DTFIM"), request.to.startOfDay());
            setIfPresent(params, QStringLiteral("P_CDFILIAL"), request.branch);
        };
        designer.WritePdf(request.pdf);
    } catch (const ReportMissing &missing) {
        return fail(NoDefinition, missing.text());
    } catch (const UserError &error) {
        return fail(Failed, error.text());
    }
    return Done;
}
