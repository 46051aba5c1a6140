// The automatic schedule dialog opened from the editor's "Automático" button
// over the item grid, against the real server: its field exits, searches and
// confirmation checks, the series it generates (counts, hours over midnight,
// numbering on overwrite and append), "Cancelar", and a run the server
// refuses halfway.

#include "editortestcase.h"

#include "autoschedule/frmautoenteral.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "widgets/maskedit.h"
#include "widgets/numberedit.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"

#include <QApplication>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QToolButton>

#include <functional>

namespace {

const QString kQuestion = QStringLiteral("Confirma cadastro automático?");
enum Answer { Sobrepor = 0, Acrescentar = 1, Cancelar = 2 };

QString dayText(const QDate &day) { return day.startOfDay().toString(Qt::ISODate); }

// What the user types into the dialog; the defaults pass every check.
struct Entries
{
    bool closedSystem = true;           // "Fechado": the fixture's product
    bool formulation = true;
    bool route = true;
    QString date = Fixture::recordDay().toString(QStringLiteral("ddMMyyyy"));
    QString hour = QStringLiteral("0000");
    QString interval = QStringLiteral("000600");
    QString period = QStringLiteral("002400");
    QString prescribed = QStringLiteral("100");
    QString infused = QStringLiteral("90");
    QString speed = QStringLiteral("30");
};

// One stored item: number, consumption day relative to the record's day,
// clock text.
struct StoredItem
{
    QString number;
    int day = 0;
    QString hour;
};

} // namespace

Q_DECLARE_METATYPE(Entries)

class TestAutoEnteral : public EditorTestCase
{
    Q_OBJECT

private:
    ClientDataSet &items() { return *m_editor->cdsConfesco; }

    // The editor on the patient with records, the given day's record current
    // and the focus in the item grid, where "Automático" is offered.
    void openRecord(const QDate &day = Fixture::recordDay())
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        if (day != Fixture::recordDay())
            QTest::keyClick(m_editor->dbgServico, Qt::Key_Down);
        QCOMPARE(m_editor->cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date(), day);
        EditorHarness::focus(m_editor->dbgConfesco);
        QVERIFY(m_editor->mnuAutomatico->isEnabled());
    }

    // Clicks "Automático"; `act` works on the shown dialog. The dialog is
    // closed afterwards when the run left it open.
    void runDialog(const std::function<void(TfrmAutoEnteral &)> &act)
    {
        m_harness->answerScreen([act](QDialog &dialog) { act(static_cast<TfrmAutoEnteral &>(dialog)); });
        QTest::mouseClick(m_editor->sbtAutomatico, Qt::LeftButton);
    }

    // Clicks into a field and types from its first position.
    static void typeField(QWidget *field, const QString &text)
    {
        EditorHarness::focus(field);
        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, text);
    }

    // Types the entries field by field, leaving each as a user does.
    static void fill(TfrmAutoEnteral &dialog, const Entries &entries, ScriptedInteraction &script)
    {
        if (entries.closedSystem) {
            EditorHarness::focus(dialog.cbbPrepara);
            QTest::keyClick(dialog.cbbPrepara, Qt::Key_Down);
        }
        if (entries.formulation) {
            script.answerPick(QStringLiteral("CDFORMULACAO"),
                              entries.closedSystem ? Fixture::ProductTreeCode : Fixture::Dish);
            QTest::mouseClick(dialog.btnFormulacao, Qt::LeftButton);
        }
        if (entries.route) {
            script.answerPick(QStringLiteral("CDVIACESDIET"), Fixture::Route);
            QTest::mouseClick(dialog.btnViaAcesso, Qt::LeftButton);
        }
        const QList<QPair<QWidget *, QString>> typed = {
            {dialog.depData, entries.date},         {dialog.medHrConsumo, entries.hour},
            {dialog.medIntervalo, entries.interval}, {dialog.medPeriodo, entries.period},
            {dialog.nedVolPresc, entries.prescribed}, {dialog.nedVolInfu, entries.infused},
            {dialog.nedVelo, entries.speed}};
        for (const auto &[widget, text] : typed) {
            if (!text.isEmpty())
                typeField(widget, text);
        }
        EditorHarness::focus(dialog.medHrConsumo);
    }

    // Fills the dialog, queues the answer to the question and confirms.
    void generate(const Entries &entries, Answer answer)
    {
        script().answerAlert(answer);
        runDialog([this, entries](TfrmAutoEnteral &dialog) {
            fill(dialog, entries, script());
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
        });
    }

    QVector<StoredItem> stored(const QDate &day = Fixture::recordDay())
    {
        const ServerResult result = callServer(m_harness->server().port(), QStringLiteral("getConfesco"),
                                               {Fixture::AdultWithRecords, Fixture::Sequence, dayText(day),
                                                Fixture::BranchAdjust});
        if (!result.ok)
            return {};
        const DataPacket packet = DataPacket::fromJson(result.data);
        QVector<StoredItem> list;
        for (const auto &row : packet.rows) {
            list.append({row.value(packet.indexOf(QStringLiteral("CDSEQUCOPR"))).toString(),
                         int(day.daysTo(row.value(packet.indexOf(QStringLiteral("DTCONSCONF"))).toDate())),
                         row.value(packet.indexOf(QStringLiteral("HRCONF"))).toString()});
        }
        return list;
    }

    int occurrences(const QString &item)
    {
        const ServerResult result = callServer(m_harness->server().port(), QStringLiteral("getOcorrencia"),
                                               {Fixture::AdultWithRecords, Fixture::Sequence,
                                                dayText(Fixture::recordDay()), item, Fixture::BranchAdjust});
        return result.ok ? int(DataPacket::fromJson(result.data).rows.size()) : -1;
    }

    QString errors() { return script().errors().join(QLatin1Char('\n')); }

    // After every run: the editor's item checks are on again and its grid
    // shows the item list.
    void verifyEditorRestored()
    {
        QVERIFY(m_editor->boValidaConfesco);
        QCOMPARE(m_editor->dbgConfesco->DataSet(), &items());
        QCOMPARE(items().ChangeCount(), 0);
    }

private slots:
    void seriesCounts_data()
    {
        QTest::addColumn<QString>("hour");
        QTest::addColumn<QString>("interval");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("lastDay");
        QTest::addColumn<QString>("lastHour");
        // An hour landing on exactly 24 is 0 of the next day.
        QTest::newRow("24:00 every 6:00") << "0000" << "000600" << "002400" << 5 << 1 << "0000";
        QTest::newRow("24:00 every 3:00") << "0000" << "000300" << "002400" << 9 << 1 << "0000";
        QTest::newRow("24:00 every 7:00") << "0000" << "000700" << "002400" << 4 << 0 << "2100";
        QTest::newRow("24:00 every 1:30") << "0000" << "000130" << "002400" << 17 << 1 << "0000";
        // 72 steps of 0.33333333 end at 23.99999976: still the same day.
        QTest::newRow("24:00 every 0:20") << "0000" << "000020" << "002400" << 73 << 0 << "2359";
        // 24 / 0.66666667 falls just short of 36.
        QTest::newRow("24:00 every 0:40") << "0000" << "000040" << "002400" << 36 << 0 << "2320";
        QTest::newRow("1:00 every 0:20") << "0000" << "000020" << "000100" << 4 << 0 << "0100";
        QTest::newRow("interval equal to the period") << "0800" << "002400" << "002400" << 2 << 1 << "0800";
        QTest::newRow("start 23:59") << "2359" << "000100" << "000100" << 2 << 1 << "0059";
        QTest::newRow("23:30 + 1:00") << "2330" << "000100" << "000100" << 2 << 1 << "0030";
        QTest::newRow("every 48:00") << "0800" << "004800" << "009600" << 3 << 4 << "0800";
    }

    // "Sobrepor" on a record with items: only the new series is left,
    // numbered from 0001, each item at its step's hour.
    void seriesCounts()
    {
        QFETCH(QString, hour);
        QFETCH(QString, interval);
        QFETCH(QString, period);
        QFETCH(int, count);
        QFETCH(int, lastDay);
        QFETCH(QString, lastHour);
        openRecord();
        Entries entries;
        entries.hour = hour;
        entries.interval = interval;
        entries.period = period;
        generate(entries, Sobrepor);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));

        const QVector<StoredItem> series = stored();
        QCOMPARE(series.size(), count);
        for (int i = 0; i < count; ++i)
            QCOMPARE(series.at(i).number, QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0')));
        QCOMPARE(series.first().day, 0);
        QCOMPARE(series.first().hour, hour);
        QCOMPARE(series.last().day, lastDay);
        QCOMPARE(series.last().hour, lastHour);
        // The editor shows the reloaded list, hours as hh:mm.
        QCOMPARE(items().RecordCount(), count);
        QVERIFY(items().Locate(QStringLiteral("CDSEQUCOPR"), series.last().number));
        QCOMPARE(items().FieldByName(QStringLiteral("HRCONF"))->DisplayText(),
                 lastHour.left(2) + QLatin1Char(':') + lastHour.mid(2));
        // The formulation shows the product's code and unit.
        QCOMPARE(items().FieldByName(QStringLiteral("CDFORMULACAO"))->AsString(), Fixture::ProductTreeCode);
        QVERIFY(!items().FieldByName(QStringLiteral("SGUNIDADE"))->AsString().isEmpty());
        verifyEditorRestored();
    }

    void overwriteRemovesTheOldOccurrences()
    {
        openRecord();
        QCOMPARE(occurrences(Fixture::ProductItem), 1);
        QStringList calls;
        const auto watch = connect(m_editor->netEntPat, &TNetConnection::calling, this,
                                   [&calls](const QString &method) { calls << method; });
        generate(Entries(), Sobrepor);
        disconnect(watch);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        // The old items go and the new ones come in one call; the old
        // deletions are not called.
        QCOMPARE(calls.count(QStringLiteral("SetAutoConfesco")), 1);
        QCOMPARE(calls.count(QStringLiteral("SetConfesco")) + calls.count(QStringLiteral("DelConf"))
                     + calls.count(QStringLiteral("DelOcorinfu")),
                 0);
        QCOMPARE(occurrences(Fixture::ProductItem), 0);
        QCOMPARE(stored().first().hour, QStringLiteral("0000"));
    }

    // A volume that outlasts the closed system's 24 hours is asked about
    // once for the whole series, after the checks: Sim goes on to the
    // generation, Não keeps the dialog open on the prescribed volume.
    void aLongInfusionIsAskedAboutOnce_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::newRow("Sim") << true;
        QTest::newRow("Não") << false;
    }

    void aLongInfusionIsAskedAboutOnce()
    {
        QFETCH(bool, answer);
        openRecord();
        const int before = int(stored().size());
        Entries entries;
        entries.prescribed = QStringLiteral("3000");   // 100 hours at 30 mL/h
        script().answerQuestion(answer);
        if (answer)
            script().answerAlert(Acrescentar);
        QString focus;
        bool open = false;
        runDialog([&](TfrmAutoEnteral &dialog) {
            fill(dialog, entries, script());
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            focus = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            open = dialog.isVisible();
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        const QStringList asked{QStringLiteral("O item Fórmula enteral polimérica 1,0 kcal/mL leva 100:00 h para ser "
                                               "infundido, mais que o tempo máximo de 24:00 h do sistema fechado. "
                                               "Deseja continuar?")};
        QCOMPARE(script().messages(), answer ? asked + QStringList{kQuestion} : asked);
        QCOMPARE(int(stored().size()), answer ? before + 5 : before);
        QCOMPARE(open, !answer);
        if (!answer)
            QCOMPARE(focus, QStringLiteral("nedVolPresc"));
        verifyEditorRestored();
    }

    void appendContinuesTheNumbering_data()
    {
        QTest::addColumn<int>("recordDay");
        QTest::addColumn<QString>("firstNumber");
        QTest::newRow("record with items 0001, 0002") << -1 << "0003";
        QTest::newRow("record without items") << 0 << "0001";
    }

    // Start 08:00, every 6:00 for 24:00: 8, 14, 20 on the day, then 2 and 8
    // on the next, numbered after the record's highest item.
    void appendContinuesTheNumbering()
    {
        QFETCH(int, recordDay);
        QFETCH(QString, firstNumber);
        const QDate day = QDate::currentDate().addDays(recordDay);
        openRecord(day);
        const int before = int(stored(day).size());
        Entries entries;
        entries.date = day.toString(QStringLiteral("ddMMyyyy"));
        entries.hour = QStringLiteral("0800");
        generate(entries, Acrescentar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));

        const QVector<StoredItem> all = stored(day);
        QCOMPARE(all.size(), before + 5);
        const QVector<StoredItem> series = all.mid(before);
        QCOMPARE(series.first().number, firstNumber);
        QStringList hours;
        for (const StoredItem &item : series)
            hours << QStringLiteral("%1 %2").arg(item.day).arg(item.hour);
        QCOMPARE(hours, QStringList({"0 0800", "0 1400", "0 2000", "1 0200", "1 0800"}));
        QCOMPARE(items().RecordCount(), before + 5);
        verifyEditorRestored();
    }

    // "Cancelar" makes no server call and keeps the dialog open with its
    // entries.
    void cancelWritesNothing()
    {
        openRecord();
        const int before = items().RecordCount();
        QString interval;
        bool open = false;
        QStringList calls;
        script().answerAlert(Cancelar);
        runDialog([&](TfrmAutoEnteral &dialog) {
            fill(dialog, Entries(), script());
            const auto watch = connect(m_editor->netEntPat, &TNetConnection::calling, this,
                                       [&calls](const QString &method) { calls << method; });
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            disconnect(watch);
            open = dialog.isVisible();
            interval = dialog.medIntervalo->Text();
        });
        QCOMPARE(script().messages().last(), kQuestion);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(calls, QStringList());
        QVERIFY(open);
        QCOMPARE(interval, QStringLiteral("   6:00"));
        QCOMPARE(items().RecordCount(), before);
        verifyEditorRestored();
    }

    // Another workstation stores item 0005 while the series 0003-0007 is
    // being built: the server refuses the series, nothing of it is stored,
    // the editor's list is as it was and the dialog stays open.
    void refusedRunLeavesTheRecordAsItWas()
    {
        openRecord();
        int inserted = 0;
        const auto newRecord = items().OnNewRecord;
        const int port = m_harness->server().port();
        items().OnNewRecord = [&, newRecord, port](ClientDataSet &dataSet) {
            newRecord(dataSet);
            if (++inserted != 3)
                return;
            QJsonObject item{{"CDFILIAL", Fixture::BranchAdjust}, {"CDPACIENTE", Fixture::AdultWithRecords},
                             {"DTSERVINTE", dayText(Fixture::recordDay())}, {"NRSEQUSERV", Fixture::Sequence},
                             {"CDSEQUCOPR", "0005"}, {"QTSERVCONF", 10.0}, {"QTPRATCONF", 10.0},
                             {"QTINFUCONF", 10.0}, {"HRCONSCONF", 12.0}, {"DTCONSCONF", dayText(Fixture::recordDay())},
                             {"CDPRODUTO", Fixture::Product}, {"CDVIACESDIET", Fixture::Route}, {"IDPREPCONF", "F"}};
            const QJsonObject packet{{"changes", QJsonArray{QJsonObject{{"kind", "insert"}, {"new", item}}}}};
            QVERIFY(callServer(port, QStringLiteral("SetConfesco"), {packet}).ok);
        };
        const int before = items().RecordCount();
        bool open = false;
        script().answerAlert(Acrescentar);
        runDialog([&](TfrmAutoEnteral &dialog) {
            fill(dialog, Entries(), script());
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            open = dialog.isVisible();
        });
        items().OnNewRecord = newRecord;
        QCOMPARE(inserted, 5);
        QCOMPARE(script().errors(), QStringList({QStringLiteral("Item já cadastrado por outro usuário.")}));
        QVERIFY(open);
        const QVector<StoredItem> all = stored();
        QCOMPARE(all.size(), 3);
        QCOMPARE(all.last().number, QStringLiteral("0005"));
        QCOMPARE(occurrences(Fixture::ProductItem), 1);
        QCOMPARE(items().RecordCount(), before);
        verifyEditorRestored();
    }

    // The server stops while the series goes out: the screen says so, the
    // record keeps its items and occurrences, and once the server is back
    // the same confirmation stores the series.
    void serverStoppedMidRunLeavesTheRecordAsItWas()
    {
        openRecord();
        const QVector<StoredItem> before = stored();
        const int shown = items().RecordCount();
        FixtureServer &server = m_harness->server();
        const int port = server.port();
        const auto stopOnSend = connect(m_editor->netEntPat, &TNetConnection::calling, this,
                                        [&server](const QString &method) {
                                            if (method == QLatin1String("SetAutoConfesco"))
                                                server.stop();
                                        });
        bool openAfterFailure = false;
        bool openAfterRetry = true;
        int shownAfterFailure = -1;
        QVector<StoredItem> afterFailure;
        int occurrencesAfterFailure = -1;
        script().answerAlert(Sobrepor);
        script().answerAlert(Sobrepor);
        runDialog([&](TfrmAutoEnteral &dialog) {
            fill(dialog, Entries(), script());
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            openAfterFailure = dialog.isVisible();
            shownAfterFailure = items().RecordCount();
            disconnect(stopOnSend);
            QVERIFY2(server.restart(), qPrintable(server.error()));
            afterFailure = stored();
            occurrencesAfterFailure = occurrences(Fixture::ProductItem);
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            openAfterRetry = dialog.isVisible();
        });
        QCOMPARE(script().errors(),
                 QStringList{QStringLiteral("Não foi possível conectar ao servidor de aplicação em 127.0.0.1:%1. "
                                            "Verifique se ele está em execução.")
                                 .arg(port)});
        QVERIFY(openAfterFailure);
        QCOMPARE(shownAfterFailure, shown);
        QCOMPARE(afterFailure.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(afterFailure.at(i).number, before.at(i).number);
        QCOMPARE(occurrencesAfterFailure, 1);
        QVERIFY(!openAfterRetry);
        QCOMPARE(stored().size(), 5);
        QCOMPARE(items().RecordCount(), 5);
        verifyEditorRestored();
    }

    void confirmationChecks_data()
    {
        QTest::addColumn<Entries>("entries");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        const auto row = [](const char *name, const std::function<void(Entries &)> &change, const char *message,
                            const char *focus) {
            Entries entries;
            change(entries);
            QTest::newRow(name) << entries << QString::fromUtf8(message) << QString::fromLatin1(focus);
        };
        // Focus "" means: where it was (the start hour, left last by fill()).
        row("1 formulation", [](Entries &e) { e.formulation = false; }, "Formulação deve ser informada.",
            "medHrConsumo");
        row("2 route", [](Entries &e) { e.route = false; }, "Via de acesso deve ser informada.", "medHrConsumo");
        row("3 date", [](Entries &e) { e.date.clear(); }, "Data de consumo deve ser informada.", "depData");
        row("4 day before the record",
            [](Entries &e) { e.date = Fixture::recordDay().addDays(-1).toString(QStringLiteral("ddMMyyyy")); },
            "Data de consumo deve ser maior ou igual a data do serviço.", "depData");
        row("5 start hour", [](Entries &e) { e.hour.clear(); }, "Hora de início de consumo deve ser informado.",
            "medHrConsumo");
        row("7 interval", [](Entries &e) { e.interval.clear(); }, "Intervalo deve ser informado.", "medIntervalo");
        row("8 interval 0", [](Entries &e) { e.interval = QStringLiteral("000000"); }, "Intervalo inválido.",
            "medIntervalo");
        row("9 period", [](Entries &e) { e.period.clear(); }, "Período deve ser informado.", "medPeriodo");
        row("10 period 0", [](Entries &e) { e.period = QStringLiteral("000000"); }, "Período inválido.",
            "medPeriodo");
        row("11 interval one minute longer", [](Entries &e) { e.interval = QStringLiteral("002401"); },
            "Intervalo deve ser menor que o período.", "medIntervalo");
        row("12 prescribed", [](Entries &e) { e.prescribed.clear(); }, "Quantidade deve ser informada.",
            "nedVolPresc");
        row("13 infused", [](Entries &e) { e.infused.clear(); }, "Quantidade deve ser informada.", "nedVolInfu");
        row("14 prescribed 0", [](Entries &e) { e.prescribed = QStringLiteral("0"); },
            "Quantidade deve ser maior do que zero.", "nedVolPresc");
        row("15 infused 0", [](Entries &e) { e.infused = QStringLiteral("0"); },
            "Quantidade deve ser maior do que zero.", "nedVolInfu");
        row("16 infused above prescribed", [](Entries &e) { e.infused = QStringLiteral("100,001"); },
            "A quantidade infundida deve ser menor ou igual a quantidade prescrita.", "nedVolInfu");
        row("17 speed", [](Entries &e) { e.speed.clear(); }, "Velocidade deve ser informada.", "nedVelo");
        row("18 speed 0", [](Entries &e) { e.speed = QStringLiteral("0"); },
            "Velocidade deve ser maior do que zero.", "nedVelo");
        // Entries that pass reach the question, answered "Cancelar" here.
        row("date of the record, equal volumes", [](Entries &e) { e.infused = e.prescribed; }, kQuestion.toUtf8(),
            "medHrConsumo");
        row("an open-system dish", [](Entries &e) { e.closedSystem = false; }, kQuestion.toUtf8(), "medHrConsumo");
    }

    // The first failing check shows its message with the focus where it
    // belongs; nothing is asked, written or closed.
    void confirmationChecks()
    {
        QFETCH(Entries, entries);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        openRecord();
        if (message == kQuestion)
            script().answerAlert(Cancelar);
        QString focused;
        bool open = false;
        runDialog([&](TfrmAutoEnteral &dialog) {
            fill(dialog, entries, script());
            QTest::mouseClick(dialog.sbtConfirma, Qt::LeftButton);
            focused = QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
            open = dialog.isVisible();
        });
        QCOMPARE(script().messages(), QStringList({message}));
        QCOMPARE(focused, focus);
        QVERIFY(open);
        QCOMPARE(stored().size(), 2);
    }

    void fieldExits()
    {
        openRecord();
        QStringList seen;
        runDialog([&](TfrmAutoEnteral &dialog) {
            // An hour beyond 23:59 keeps the focus; 0000 and 2359 pass.
            typeField(dialog.medHrConsumo, QStringLiteral("2400"));
            EditorHarness::focus(dialog.medIntervalo);
            seen << QApplication::focusWidget()->objectName();
            typeField(dialog.medHrConsumo, QStringLiteral("2359"));
            EditorHarness::focus(dialog.medIntervalo);
            seen << QApplication::focusWidget()->objectName();
            // Minutes beyond 59 carry into the hours once the text changed.
            QTest::keyClick(dialog.medIntervalo, Qt::Key_Home);
            QTest::keyClicks(dialog.medIntervalo, QStringLiteral("000275"));
            EditorHarness::focus(dialog.medPeriodo);
            seen << dialog.medIntervalo->Text();
            // Left unchanged, a text stays as typed.
            EditorHarness::focus(dialog.medIntervalo);
            dialog.medIntervalo->SetText(QStringLiteral("0001:75"));
            EditorHarness::focus(dialog.medPeriodo);
            EditorHarness::focus(dialog.medIntervalo);
            EditorHarness::focus(dialog.medPeriodo);
            seen << dialog.medIntervalo->Text();
            // A period with a gap is refused once; the focus stays on it.
            typeField(dialog.medPeriodo, QStringLiteral("1 2000"));
            QTest::keyClick(dialog.medPeriodo, Qt::Key_Tab);
            seen << QApplication::focusWidget()->objectName();
        });
        QCOMPARE(seen, QStringList({"medHrConsumo", "medIntervalo", "   3:15", "   2:15", "medPeriodo"}));
        QCOMPARE(script().errors(),
                 QStringList({"Hora de início de consumo inválida.",
                              "Valor inválido. A quantidade de horas deve estar no formato 'HHHH:MM'."}));
    }

    void searches()
    {
        openRecord();
        QStringList seen;
        runDialog([&](TfrmAutoEnteral &dialog) {
            seen << dialog.dbeDieta->Text();
            fill(dialog, Entries(), script());
            seen << dialog.edtNmPrato->Text() + QLatin1Char('|') + dialog.edtSgUnidade->Text();
            // A new preparation asks for a new formulation.
            EditorHarness::focus(dialog.cbbPrepara);
            QTest::keyClick(dialog.cbbPrepara, Qt::Key_Up);
            seen << dialog.edtNmPrato->Text() + QLatin1Char('|') + dialog.edtSgUnidade->Text();
            // Only the route picked last counts.
            script().answerPick(QStringLiteral("CDVIACESDIET"), Fixture::OtherRoute);
            QTest::mouseClick(dialog.btnViaAcesso, Qt::LeftButton);
            seen << dialog.edtViaAcesso->Text();
        });
        QCOMPARE(seen.size(), 4);
        QVERIFY(!seen.at(0).isEmpty());
        QVERIFY(seen.at(1).startsWith(QStringLiteral("Fórmula")));
        QCOMPARE(seen.at(2), QStringLiteral("|"));
        QVERIFY(!seen.at(3).isEmpty());
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
    }
};

QTEST_MAIN(TestAutoEnteral)
#include "tst_autoenteral.moc"
