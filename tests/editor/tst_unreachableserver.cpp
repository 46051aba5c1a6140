// The editor while its application server cannot be reached: at the first
// activation, during a post's own checks and at the send itself. The user is
// told, nothing typed is lost, and once the server is back the next
// Confirmar stores the change exactly once.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "editor/frmentparenteral.h"
#include "editor/itemfields.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "widgets/maskedit.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "net/tnetconnection.h"
#include "widgets/widgetutils.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>

namespace {

const QString kKept =
    QStringLiteral("Servidor de aplicação indisponível. Os dados digitados foram mantidos; confirme novamente.");

QString dayText(const QDate &day)
{
    return day.startOfDay().toString(Qt::ISODate);
}

// Where a post's change is typed and stored.
enum class Level { Services, Items, Occurrences };

} // namespace

Q_DECLARE_METATYPE(Level)

class TestUnreachableServer : public EditorTestCase
{
    Q_OBJECT

private:
    FixtureServer &server() { return m_harness->server(); }

    QString unreachable() const
    {
        return QStringLiteral("Não foi possível conectar ao servidor de aplicação em 127.0.0.1:%1. "
                              "Verifique se ele está em execução.")
            .arg(m_port);
    }

    // The level's dataset, grid and change method.
    struct Parts
    {
        ClientDataSet &records;
        TDBGrid &grid;
        QString method;
    };

    Parts parts(Level level)
    {
        if (level == Level::Services)
            return {*m_editor->cdsServInte, *m_editor->dbgServico, QStringLiteral("SetServInte")};
        if (level == Level::Items)
            return {*m_editor->cdsConfesco, *m_editor->dbgConfesco, QStringLiteral("SetConfesco")};
        return {*m_editor->cdsOcorrencia, *m_editor->dbgOcorrencia, QStringLiteral("SetOcorrencia")};
    }

    static void click(QToolButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    static void typeCell(TDBGrid &grid, const QString &fieldName, const QString &text)
    {
        grid.SetSelectedIndex(IndiceCol(grid, fieldName));
        QTest::keyClicks(&grid, text);
    }

    // The rows a level's change is checked against, as the server holds them.
    DataPacket stored(Level level)
    {
        const QString day = dayText(Fixture::recordDay());
        ServerResult result;
        if (level == Level::Services)
            result = callServer(server().port(), QStringLiteral("getServInte"),
                                {Fixture::AdultWithRecords, Fixture::admission().toString(Qt::ISODate),
                                 Fixture::BranchAdjust});
        else if (level == Level::Items)
            result = callServer(server().port(), QStringLiteral("getConfesco"),
                                {Fixture::AdultWithRecords, Fixture::Sequence, day, Fixture::BranchAdjust});
        else
            result = callServer(server().port(), QStringLiteral("getOcorrencia"),
                                {Fixture::AdultWithRecords, Fixture::Sequence, day, Fixture::ProductItem,
                                 Fixture::BranchAdjust});
        return result.ok ? DataPacket::fromJson(result.data) : DataPacket();
    }

    // The editor on the adult's record of yesterday, its product item
    // current, the focus in the level's grid.
    void openLevel(Level level)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        if (level != Level::Services)
            EditorHarness::focus(&parts(level).grid);
        m_port = server().port();
    }

    // Types the change of the row: a new record or a new value of an
    // existing one. Returns the field and the text it must keep.
    QPair<QString, QString> typeChange(Level level, bool insert)
    {
        TDBGrid &target = parts(level).grid;
        click(insert ? m_editor->sbtIncluir : m_editor->sbtAlterar);
        switch (level) {
        case Level::Services:
            if (insert) {
                QTest::keyClicks(&target, Fixture::EnteralService);
                QTest::keyClick(&target, Qt::Key_Tab);
                QTest::keyClicks(&target, Fixture::EnteralDiet2);
                QTest::keyClick(&target, Qt::Key_Tab);
            }
            typeCell(target, QStringLiteral("NRSERVPESO"), QStringLiteral("71"));
            return {QStringLiteral("NRSERVPESO"), QStringLiteral("71")};
        case Level::Items:
            typeCell(target, ItemField::Prescribed, QStringLiteral("300"));
            return {ItemField::Prescribed, QStringLiteral("300")};
        case Level::Occurrences:
            break;
        }
        typeCell(target, QStringLiteral("CDTPOCORINFU"), QStringLiteral("2"));
        typeCell(target, QStringLiteral("DTOCORINFU"),
                 Fixture::occurrenceTime().addSecs(1800).toString(QStringLiteral("ddMMyyyyHHmm")));
        return {QStringLiteral("CDTPOCORINFU"), QStringLiteral("002")};
    }

    // How many stored rows of the level hold the typed text in the field.
    int storedWith(Level level, const QPair<QString, QString> &typed)
    {
        const DataPacket packet = stored(level);
        const int column = packet.indexOf(typed.first);
        int count = 0;
        for (const QVector<QVariant> &row : packet.rows)
            count += row.value(column).toString() == typed.second ? 1 : 0;
        return count;
    }

    int m_port = 0;

private slots:
    // The saved selection makes the first activation load the branch's
    // patient list: without the server the user is told once, the editor
    // stays usable, and with the server back the same steps load the list.
    void firstActivationWithoutTheServer()
    {
        m_harness->saveSelection(Fixture::BranchAdjust, Fixture::AdultWithRecords);
        m_port = server().port();
        server().stop();

        m_editor = m_harness->openEditor();
        QVERIFY(m_editor);
        QCOMPARE(script().errors(), QStringList{unreachable()});
        QVERIFY(!m_editor->cdsPaciFiltro->Active() || m_editor->cdsPaciFiltro->IsEmpty());
        QVERIFY(m_editor->medFilial->isEnabled());

        QVERIFY2(server().restart(), qPrintable(server().error()));
        m_harness->chooseBranch(Fixture::BranchAdjust);
        QVERIFY(m_editor->cdsPaciFiltro->Active());
        QVERIFY(m_editor->cdsPaciFiltro->RecordCount() >= 5);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        QCOMPARE(m_editor->cdsServInte->RecordCount(), 2);
        QCOMPARE(script().errors().size(), 1);
    }

    void aPostKeepsWhatWasTyped_data()
    {
        QTest::addColumn<Level>("level");
        QTest::addColumn<bool>("insert");
        QTest::addColumn<bool>("atTheSend");
        QTest::newRow("new service record, checks") << Level::Services << true << false;
        QTest::newRow("new service record, send") << Level::Services << true << true;
        QTest::newRow("service record's weight, send") << Level::Services << false << true;
        QTest::newRow("item's quantity, checks") << Level::Items << false << false;
        QTest::newRow("item's quantity, send") << Level::Items << false << true;
        QTest::newRow("new occurrence, send") << Level::Occurrences << true << true;
    }

    // Checks that cannot reach the server leave the record in insert or
    // edit; a send that gets no answer keeps the change unsent and puts the
    // record back into edit. Either way the typed value stays on the
    // screen, and the next Confirmar after the restart stores it once.
    void aPostKeepsWhatWasTyped()
    {
        QFETCH(Level, level);
        QFETCH(bool, insert);
        QFETCH(bool, atTheSend);
        openLevel(level);
        ClientDataSet &records = parts(level).records;
        const int before = records.RecordCount();
        const auto typed = typeChange(level, insert);
        const QString method = parts(level).method;
        QStringList calls;
        connect(m_editor->netEntPat, &TNetConnection::calling, this, [&](const QString &called) {
            calls << called;
            if (called == method)
                server().stop();
        });
        if (!atTheSend)
            server().stop();

        click(m_editor->sbtConfirmar);
        QCOMPARE(script().errors(), QStringList{atTheSend ? kKept : unreachable()});
        QCOMPARE(calls.contains(method), atTheSend);
        const DataSetState expected = insert && !atTheSend ? DataSetState::Insert : DataSetState::Edit;
        QCOMPARE(records.State(), expected);
        QCOMPARE(records.FieldByName(typed.first)->AsString().trimmed(), typed.second);
        QCOMPARE(records.RecordCount(), before + (insert ? 1 : 0));
        QVERIFY(m_editor->sbtConfirmar->isEnabled());

        QVERIFY2(server().restart(), qPrintable(server().error()));
        disconnect(m_editor->netEntPat, &TNetConnection::calling, this, nullptr);
        const int storedBefore = storedWith(level, typed);
        click(m_editor->sbtConfirmar);
        QCOMPARE(script().errors().size(), 1);
        QCOMPARE(records.State(), DataSetState::Browse);
        QCOMPARE(records.ChangeCount(), 0);
        QCOMPARE(storedWith(level, typed), storedBefore + 1);
        QCOMPARE(int(stored(level).rows.size()), before + (insert ? 1 : 0));
    }

    // The data sheet's observation is sent on its own: when that call gets
    // no answer the typed text stays in edit, and Confirmar after the
    // restart stores it, as the list read again shows.
    void anUnansweredObservationStaysTyped()
    {
        m_editor = m_harness->openEditor();
        m_editor->pgcPadrao->setCurrentWidget(m_editor->tshFolhaDados);
        QCoreApplication::processEvents();
        ClientDataSet &list = *m_editor->cdsPaciFiltro;
        QVERIFY(list.Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithRecords));
        m_port = server().port();
        click(m_editor->sbtAlterar);
        QTest::keyClicks(m_editor->dbgPadrao, QStringLiteral("Sem sal"));
        connect(m_editor->netEntPat, &TNetConnection::calling, this, [&](const QString &called) {
            if (called == QLatin1String("UpdServInte"))
                server().stop();
        });

        click(m_editor->sbtConfirmar);
        QCOMPARE(script().errors(), QStringList{kKept});
        QCOMPARE(list.State(), DataSetState::Edit);
        QCOMPARE(list.FieldByName(QStringLiteral("DSSERVINTE"))->AsString(), QStringLiteral("Sem sal"));

        QVERIFY2(server().restart(), qPrintable(server().error()));
        disconnect(m_editor->netEntPat, &TNetConnection::calling, this, nullptr);
        click(m_editor->sbtConfirmar);
        QCOMPARE(list.State(), DataSetState::Browse);
        click(m_editor->sbtVerificar);
        QVERIFY(list.Locate(QStringLiteral("CDPACIENTE"), Fixture::AdultWithRecords));
        QCOMPARE(list.FieldByName(QStringLiteral("DSSERVINTE"))->AsString(), QStringLiteral("Sem sal"));
        QCOMPARE(script().errors().size(), 1);
    }

    // A deletion that gets no answer brings the row back and is not sent
    // later behind the user's back; Excluir after the restart deletes it.
    void anUnansweredDeletionBringsTheRowBack()
    {
        openLevel(Level::Occurrences);
        ClientDataSet &occurrences = parts(Level::Occurrences).records;
        QCOMPARE(occurrences.RecordCount(), 1);
        server().stop();
        script().answerQuestion(true);
        click(m_editor->sbtExcluir);
        QCOMPARE(script().errors(), QStringList{unreachable()});
        QCOMPARE(occurrences.RecordCount(), 1);
        QCOMPARE(occurrences.ChangeCount(), 0);

        QVERIFY2(server().restart(), qPrintable(server().error()));
        QCOMPARE(int(stored(Level::Occurrences).rows.size()), 1);
        script().answerQuestion(true);
        click(m_editor->sbtExcluir);
        QCOMPARE(script().errors().size(), 1);
        QCOMPARE(occurrences.RecordCount(), 0);
        QCOMPARE(int(stored(Level::Occurrences).rows.size()), 0);
    }
};

QTEST_MAIN(TestUnreachableServer)
#include "tst_unreachableserver.moc"
