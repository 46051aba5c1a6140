// The editor's two heaviest loads, through the real screen against the
// application server on a fixture SQLite database:
//
// - the patient list of 5,000 inpatients of the branch loaded into the data
//   sheet and shown (the page shown, the grid painted), against the floor of
//   the same statements run straight on the database, the transfer of as
//   many bytes as the answer has, and one echo round trip with the same
//   arguments (goal: at most 2 times);
// - a service record with 500 composition items loaded and shown as the
//   user moves onto it in the service grid, against the same kind of floor.
//
// Each is printed with its split: the server call as the editor makes it
// (round trip, the packet read from the answer's text), the filling of a
// plain dataset, and the rest (the editor's dataset, page, grid, painting).
//
// A benchmark, not a test: it exits 0 whatever it measures.
//
//   bench_editorload [--runs 7] [--patients 5000] [--items 500]
#include "editorharness.h"

#include "benchfloor.h"

#include "core/clientdataset.h"
#include "core/localzone.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixturepackets.h"
#include "lib/database.h"
#include "lib/demodata.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"
#include "widgets/dbgrid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEvent>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <functional>

namespace {

const QJsonArray kWholeList = {"T", "", "T", "", "T", "", "T", "", "T", QJsonValue(), QJsonValue(),
                               Fixture::BranchAdjust};

double millis(const std::function<void()> &work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

// Watches a grid's paint events.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget *viewport) { viewport->installEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        painted = painted || event->type() == QEvent::Paint;
        return false;
    }
};

// What the editor does, shown: the events handled and the grid painted
// once (by the events when the window's update came among them, else
// straight away).
void show(TDBGrid &grid)
{
    PaintWatch watch(grid.viewport());
    QCoreApplication::processEvents();
    if (!watch.painted)
        grid.viewport()->repaint();
}

void addInpatients(const QString &database, int count)
{
    SqlSession session(DatabaseConfig::parse(database), QStringLiteral("bench-patients"));
    Transaction transaction(session);
    const QDateTime admission = QDateTime::currentDateTime().addDays(-3);
    for (int i = 0; i < count; ++i)
        DemoData::addInpatient(session, Fixture::BranchAdjust, QStringLiteral("9%1").arg(i, 11, 10, QLatin1Char('0')),
                               QStringLiteral("Paciente de Teste %1").arg(i), QDate(1960, 1, 1).addDays(i % 9000),
                               admission, 1000 + i, QStringLiteral("APT"));
    transaction.commit();
}

// Today's record of the adult (sequence "01", no items in the fixture)
// gets `count` items, sent as one change packet.
bool addItems(int port, int count)
{
    QJsonArray list;
    const QString today = QDate::currentDate().startOfDay().toString(Qt::ISODate);
    for (int i = 1; i <= count; ++i) {
        QJsonObject item = Fixture::newItem(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0')));
        item[QStringLiteral("DTSERVINTE")] = today;
        item[QStringLiteral("DTCONSCONF")] = today;
        list.append(Fixture::change(QStringLiteral("insert"), {}, item));
    }
    const ServerResult result = callServer(port, QStringLiteral("SetConfesco"), {Fixture::changes(list)});
    if (!result.ok)
        std::fprintf(stderr, "items: %s\n", qPrintable(result.error));
    return result.ok;
}

struct Split
{
    std::vector<double> shown, call, fill;
};

// The call alone and the dataset load alone, as the editor makes them.
void splitTimes(TNetConnection &connection, const QString &method, const QJsonArray &args, Split &split)
{
    DataPacket packet;
    split.call.push_back(millis([&] { connection.CallPacket(method, args, packet); }));
    ClientDataSet target;
    split.fill.push_back(millis([&] { target.LoadFromPacket(std::move(packet)); }));
}

struct Floor
{
    double millis = 0;       // the statements, the transfer of the answer's bytes, one echo round trip
    double transfer = 0;     // of which the transfer
    double serverWork = 0;   // the method run in process, its answer encoded
};

void report(const char *what, const Split &split, const Floor &floor, const char *goal)
{
    const double shown = median(split.shown);
    const double call = median(split.call);
    const double fill = median(split.fill);
    std::printf("%s\n", what);
    std::printf("  loaded and shown   %9.2f ms (median of %zu)\n", shown, split.shown.size());
    std::printf("    server call      %9.2f ms (round trip, the packet read from the answer's text)\n", call);
    std::printf("      server's work  %9.2f ms (the method run in process, its answer encoded)\n", floor.serverWork);
    std::printf("    dataset filling  %9.2f ms (data packet to a plain dataset)\n", fill);
    std::printf("    page and grid    %9.2f ms (the rest: the editor's dataset, page, grid, painting)\n",
                shown - call - fill);
    std::printf("  floor              %9.2f ms (statements on the database, transfer of the answer's bytes,"
                " one echo round trip)\n", floor.millis);
    std::printf("    transfer         %9.2f ms\n", floor.transfer);
    std::printf("  ratio              %9.2f %s\n", floor.millis > 0 ? shown / floor.millis : 0.0, goal);
}

Floor measureFloor(EditorHarness &harness, TNetConnection &connection, const QString &method, const QJsonArray &args,
                   int runs)
{
    SqlSession session(DatabaseConfig::parse(harness.server().database()), QStringLiteral("bench-floor"));
    const QVector<Statement> statements = callStatements(session, method, args);
    std::vector<double> direct;
    std::vector<double> inProcess;
    for (int run = 0; run < runs; ++run) {
        direct.push_back(replayMicros(session, statements));
        inProcess.push_back(inProcessMicros(session, method, args));
    }
    const double transfer = transferMicros(connection, answerBytes(session, method, args), runs);
    return {(median(direct) + transfer + echoMicros(connection, args, runs)) / 1000.0, transfer / 1000.0,
            median(inProcess) / 1000.0};
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepLocalTimeZone();   // as the host does
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Loads timed (median taken)."),
                                        QStringLiteral("n"), QStringLiteral("7"));
    const QCommandLineOption patientsOption(QStringLiteral("patients"), QStringLiteral("Inpatients added to the branch."),
                                            QStringLiteral("n"), QStringLiteral("5000"));
    const QCommandLineOption itemsOption(QStringLiteral("items"), QStringLiteral("Items of the record."),
                                         QStringLiteral("n"), QStringLiteral("500"));
    parser.addOptions({runsOption, patientsOption, itemsOption});
    parser.process(app);
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int items = parser.value(itemsOption).toInt();

    EditorHarness harness;
    if (!harness.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(harness.error()));
        return 1;
    }
    addInpatients(harness.server().database(), parser.value(patientsOption).toInt());
    if (!addItems(harness.server().port(), items))
        return 1;
    TfrmEntParenteral *editor = harness.openEditor();
    harness.chooseBranch(Fixture::BranchAdjust);
    TNetConnection &connection = *editor->netEntPat;

    Split list;
    for (int run = 0; run < runs; ++run) {
        editor->pgcPadrao->setCurrentWidget(editor->tshFormulario);
        QCoreApplication::processEvents();
        list.shown.push_back(millis([&] {
            editor->pgcPadrao->setCurrentWidget(editor->tshFolhaDados);
            show(*editor->dbgPadrao);
        }));
        splitTimes(connection, QStringLiteral("getPaciFiltro"), kWholeList, list);
    }
    std::printf("patient list: %d rows\n", editor->cdsPaciFiltro->RecordCount());
    report("patient list loaded into the data sheet", list,
           measureFloor(harness, connection, QStringLiteral("getPaciFiltro"), kWholeList, runs), "(goal: at most 2)");

    editor->pgcPadrao->setCurrentWidget(editor->tshFormulario);
    harness.choosePatient(Fixture::AdultWithRecords);
    const QJsonArray recordArgs = {Fixture::AdultWithRecords, Fixture::Sequence,
                                   QDate::currentDate().startOfDay().toString(Qt::ISODate), Fixture::BranchAdjust};
    Split record;
    for (int run = 0; run < runs; ++run) {
        QTest::keyClick(editor->dbgServico, Qt::Key_Up);
        QCoreApplication::processEvents();
        record.shown.push_back(millis([&] {
            QTest::keyClick(editor->dbgServico, Qt::Key_Down);
            show(*editor->dbgConfesco);
        }));
        splitTimes(connection, QStringLiteral("getConfesco"), recordArgs, record);
    }
    std::printf("service record: %d items\n", editor->cdsConfesco->RecordCount());
    report("service record's items loaded and shown", record,
           measureFloor(harness, connection, QStringLiteral("getConfesco"), recordArgs, runs), "(goal: at most 2)");
    if (!harness.script().errors().isEmpty())
        std::fprintf(stderr, "messages: %s\n", qPrintable(harness.script().errors().join(QLatin1Char('\n'))));
    harness.closeEditor();
    return 0;
}
