// The automatic schedule end to end: the 73-item series (24:00 every 0:20
// from 00:00, "Sobrepor") generated through the real dialog, opened from the
// editor's "Automático" button, against the application server on a fixture
// SQLite database, from the confirmation click to the reloaded item list.
//
// The floor, measured in the same run: one echo round trip per server call
// the run made (kept-alive connection, as the editor's), plus the server's
// own time to store the same 73 rows in one transaction (SetAutoConfesco
// dispatched in process, without transport). Printed: both medians over the
// runs and "ratio <run / floor>"; the goal is at most 1.5.
//
// A benchmark, not a test: it exits 0 whatever it measures.
//
//   bench_autoschedule [--runs 7]
#include "editorharness.h"

#include "autoschedule/frmautoenteral.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "lib/database.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "widgets/maskedit.h"
#include "lib/methodtable.h"
#include "widgets/numberedit.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "lib/sqlsession.h"
#include "net/tnetconnection.h"

#include <httplib.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QComboBox>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QString dayText() { return Fixture::recordDay().startOfDay().toString(Qt::ISODate); }

// Clicks into a field and types from its first position.
void typeField(QWidget *field, const QString &text)
{
    EditorHarness::focus(field);
    QTest::keyClick(field, Qt::Key_Home);
    QTest::keyClicks(field, text);
}

// Fills the dialog for the 73-item series and times the confirmation.
double runSeries(TfrmAutoEnteral &dialog, ScriptedInteraction &script)
{
    EditorHarness::focus(dialog.cbbPrepara);
    QTest::keyClick(dialog.cbbPrepara, Qt::Key_Down);
    script.answerPick(QStringLiteral("CDFORMULACAO"), Fixture::ProductTreeCode);
    QTest::mouseClick(dialog.btnFormulacao, Qt::LeftButton);
    script.answerPick(QStringLiteral("CDVIACESDIET"), Fixture::Route);
    QTest::mouseClick(dialog.btnViaAcesso, Qt::LeftButton);
    typeField(dialog.depData, Fixture::recordDay().toString(QStringLiteral("ddMMyyyy")));
    typeField(dialog.medHrConsumo, QStringLiteral("0000"));
    typeField(dialog.medIntervalo, QStringLiteral("000020"));
    typeField(dialog.medPeriodo, QStringLiteral("002400"));
    typeField(dialog.nedVolPresc, QStringLiteral("100"));
    typeField(dialog.nedVolInfu, QStringLiteral("90"));
    typeField(dialog.nedVelo, QStringLiteral("30"));
    EditorHarness::focus(dialog.medHrConsumo);
    script.answerAlert(0);   // "Sobrepor"
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
    return timer.nsecsElapsed() / 1e6;
}

// The stored series as a change packet of insertions.
QJsonObject storedSeries(int port)
{
    const ServerResult result = callServer(port, QStringLiteral("getConfesco"),
                                           {Fixture::AdultWithRecords, Fixture::Sequence, dayText(),
                                            Fixture::BranchAdjust});
    const DataPacket packet = DataPacket::fromJson(result.data);
    QJsonArray changes;
    for (const auto &row : packet.rows) {
        QJsonObject values;
        for (int i = 0; i < packet.fields.size(); ++i)
            values.insert(packet.fields.at(i).name, QJsonValue::fromVariant(row.at(i)));
        changes.append(QJsonObject{{"kind", "insert"}, {"new", values}});
    }
    return {{"changes", changes}};
}

// The server's own time to replace the record's items by the series.
double storeTime(const QString &database, const QJsonObject &series)
{
    SqlSession session(DatabaseConfig::parse(database), QStringLiteral("bench_autoschedule"));
    const QByteArray body = QJsonDocument(QJsonObject{{"args", QJsonArray{Fixture::AdultWithRecords, dayText(),
                                                                          Fixture::Sequence, Fixture::BranchAdjust,
                                                                          "S", series}}})
                                .toJson(QJsonDocument::Compact);
    QElapsedTimer timer;
    timer.start();
    const CallOutcome answer = dispatchCall(session, CallOrigin{QString(), QStringLiteral("SetAutoConfesco")}, body);
    const double elapsed = timer.nsecsElapsed() / 1e6;
    if (!answer.ok())
        std::fprintf(stderr, "store: %s\n", qPrintable(answer.error));
    return elapsed;
}

// One echo round trip per call, over one kept-alive connection.
double echoTime(int port, int calls)
{
    httplib::Client client("127.0.0.1", port);
    client.set_bearer_token_auth(sessionToken(port).toStdString());
    client.set_tcp_nodelay(true);
    client.set_keep_alive(true);
    const std::string body = R"({"args":[]})";
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; ++i) {
        if (!client.Post("/echo", body, "application/json"))
            std::fprintf(stderr, "echo failed\n");
    }
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("runs"), QStringLiteral("Series generated (median taken)."),
                      QStringLiteral("n"), QStringLiteral("7")});
    parser.process(app);
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    EditorHarness harness;
    if (!harness.start()) {
        std::fprintf(stderr, "%s\n", qPrintable(harness.error()));
        return 1;
    }
    TfrmEntParenteral *editor = harness.openEditor();
    harness.chooseBranch(Fixture::BranchAdjust);
    harness.choosePatient(Fixture::AdultWithRecords);
    editor->cdsServInte->Locate(QStringLiteral("DTSERVINTE"), Fixture::recordDay().startOfDay());

    int calls = 0;
    QObject::connect(editor->netEntPat, &TNetConnection::calling, [&calls](const QString &) { ++calls; });
    QVector<double> runTimes;
    QVector<double> floorTimes;
    for (int run = 0; run < runs; ++run) {
        double elapsed = 0;
        int callsInRun = 0;
        harness.script().answerDialog([&](QDialog &dialog) {
            dialog.show();
            auto &form = static_cast<TfrmAutoEnteral &>(dialog);
            const int before = calls;
            elapsed = runSeries(form, harness.script());
            callsInRun = calls - before;
            if (dialog.isVisible())
                dialog.reject();
            return dialog.result();
        });
        EditorHarness::focus(editor->dbgConfesco);
        QTest::mouseClick(editor->sbtAutomatico, Qt::LeftButton);
        if (!harness.script().errors().isEmpty() || editor->cdsConfesco->RecordCount() != 73) {
            std::fprintf(stderr, "run %d failed: %s (%d items)\n", run,
                         qPrintable(harness.script().errors().join(QLatin1Char('\n'))),
                         editor->cdsConfesco->RecordCount());
            return 1;
        }
        const double floor = echoTime(harness.server().port(), callsInRun)
                             + storeTime(harness.server().database(), storedSeries(harness.server().port()));
        runTimes << elapsed;
        floorTimes << floor;
        std::printf("run %d: %.2f ms, %d server calls, floor %.2f ms\n", run + 1, elapsed, callsInRun, floor);
    }
    harness.closeEditor();
    const double runMedian = median(runTimes);
    const double floorMedian = median(floorTimes);
    std::printf("series of 73 items: %.2f ms (median of %d)\n", runMedian, runs);
    std::printf("floor: %.2f ms\n", floorMedian);
    std::printf("ratio %.2f\n", floorMedian > 0 ? runMedian / floorMedian : 0.0);
    return 0;
}
