// Infusion occurrences through the real grid against the real server: the
// list of the current item, a new occurrence typed or picked, its checks in
// order, the refusal of a repeat on the screen and on the server, stored
// occurrences that cannot be altered, deletion, and the type lookup on both
// databases.

#include "editortestcase.h"

#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "data/dtmdbgeral.h"
#include "widgets/edit.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "core/serverresult.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTest>
#include <QToolButton>

Q_DECLARE_METATYPE(DataSetState)

namespace {

const QString kDate = QStringLiteral("DTOCORINFU");
const QString kType = QStringLiteral("CDTPOCORINFU");
const QString kTypeName = QStringLiteral("NMTPOCORINFU");
const QString kItemDateMessage = QStringLiteral("Data da ocorrência deve ser maior ou igual a data da via de acesso.");
const QString kRepeatMessage = QStringLiteral("Ocorrência já cadastrada.");

// The digits a user types into the date-time mask.
QString typedDateTime(const QDateTime &when)
{
    return when.toString(QStringLiteral("ddMMyyyyHHmm"));
}

} // namespace

class TestOccurrences : public EditorTestCase
{
    Q_OBJECT

private:
    TDBGrid &grid() { return *m_editor->dbgOcorrencia; }
    ClientDataSet &occurrences() { return *m_editor->cdsOcorrencia; }

    // The editor on the adult's record of yesterday, its first item (the
    // product, with one occurrence) current, the focus in the occurrence
    // grid.
    void openItemOccurrences()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        QCOMPARE(m_editor->cdsConfesco->FieldByName(QStringLiteral("CDSEQUCOPR"))->AsString(), Fixture::ProductItem);
        EditorHarness::focus(&grid());
    }

    int columnOf(const QString &fieldName)
    {
        for (int column = 0; column < grid().ColumnCount(); ++column)
            if (grid().Columns().at(column).fieldName == fieldName)
                return column;
        return -1;
    }

    QToolButton *button(const QString &name) { return m_editor->findChild<QToolButton *>(name); }

    void press(const QString &name)
    {
        QToolButton *pressed = button(name);
        QVERIFY2(pressed->isEnabled(), qPrintable(name + QStringLiteral(" is disabled")));
        QTest::mouseClick(pressed, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // One step: "Incluir" and the other captions press their tool button,
    // "Tab" presses Tab, "date=<digits>" and "type=<text>" type into that
    // column, "pick=<code>" picks the type through the column's search,
    // "leave" moves the focus to the item grid.
    void step(const QString &action)
    {
        const QString value = action.section(QLatin1Char('='), 1);
        if (action.startsWith(QLatin1String("date="))) {
            grid().SetSelectedIndex(columnOf(kDate));
            QTest::keyClicks(&grid(), value);
        } else if (action.startsWith(QLatin1String("type="))) {
            grid().SetSelectedIndex(columnOf(kType));
            QTest::keyClicks(&grid(), value);
        } else if (action.startsWith(QLatin1String("pick="))) {
            grid().SetSelectedIndex(columnOf(kType));
            script().answerPick(kType, value);
            QTest::keyClick(&grid(), Qt::Key_Return, Qt::ControlModifier);
        } else if (action == QLatin1String("leave")) {
            EditorHarness::focus(m_editor->dbgConfesco);
        } else if (action == QLatin1String("Tab")) {
            QTest::keyClick(&grid(), Qt::Key_Tab);
        } else {
            press(QStringLiteral("sbt") + action);
        }
        QCoreApplication::processEvents();
    }

    bool focusOn(const QString &fieldName)
    {
        for (const QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget())
            if (widget == &grid())
                return grid().SelectedIndex() == columnOf(fieldName);
        return false;
    }

    // The occurrences of the product item as the server holds them.
    DataPacket stored()
    {
        const ServerResult result = callServer(m_harness->server().port(), QStringLiteral("getOcorrencia"),
                                               {Fixture::AdultWithRecords, Fixture::Sequence,
                                                Fixture::recordDay().startOfDay().toString(Qt::ISODate),
                                                Fixture::ProductItem, Fixture::BranchAdjust});
        return result.ok ? DataPacket::fromJson(result.data) : DataPacket();
    }

    // Another workstation stores an occurrence of the product item.
    bool storeElsewhere(const QDateTime &when, const QString &type)
    {
        const QJsonObject values{{"CDFILIAL", Fixture::BranchAdjust}, {"CDPACIENTE", Fixture::AdultWithRecords},
                                 {"DTSERVINTE", Fixture::recordDay().startOfDay().toString(Qt::ISODate)},
                                 {"NRSEQUSERV", Fixture::Sequence}, {"CDSEQUCOPR", Fixture::ProductItem},
                                 {"DTOCORINFU", when.toString(Qt::ISODate)}, {"CDTPOCORINFU", type}};
        const QJsonObject packet{{"changes", QJsonArray{QJsonObject{{"kind", "insert"}, {"new", values}}}}};
        return callServer(m_harness->server().port(), QStringLiteral("SetOcorrencia"), {packet}).ok;
    }

    QString errors() const { return m_harness->script().errors().join(QLatin1Char('\n')); }

    // qryTipoOcor's codes for a parameter, on the database dtmDBGeral is on.
    QStringList typeCodes(const QVariant &code)
    {
        TADOIBQuery &query = *m_editor->qryTipoOcor;
        query.Close();
        query.ParamByName(QStringLiteral("P_CDTPOCORINFU")).SetValue(code);
        query.Open();
        QStringList rows;
        for (query.First(); !query.Eof(); query.Next())
            rows << query.FieldByName(kType)->AsString() + QLatin1Char(' ') + query.FieldByName(kTypeName)->AsString();
        query.Close();
        return rows;
    }

private slots:
    void itemOccurrencesAreListed()
    {
        openItemOccurrences();
        QCOMPARE(occurrences().RecordCount(), 1);
        QCOMPARE(occurrences().FieldByName(kDate)->AsDateTime(), Fixture::occurrenceTime());
        QCOMPARE(occurrences().FieldByName(kTypeName)->AsString(), QStringLiteral("Obstrução da sonda"));
        QCOMPARE(grid().Model()->data(grid().Model()->index(0, columnOf(kDate))).toString(),
                 Fixture::occurrenceTime().toString(QStringLiteral("dd/MM/yyyy HH:mm")));
        QVERIFY(m_editor->mnuIncluir->isEnabled());
        QVERIFY(m_editor->mnuExcluir->isEnabled());
        QVERIFY(!m_editor->mnuAlterar->isEnabled());
        QVERIFY(!m_editor->mnuConfirmar->isEnabled());
    }

    // Moving to another item lists that item's occurrences; Verificar in the
    // occurrence grid reads them again from the server.
    void listFollowsTheCurrentItem()
    {
        openItemOccurrences();
        EditorHarness::focus(m_editor->dbgConfesco);
        QTest::keyClick(m_editor->dbgConfesco, Qt::Key_Down);
        QCOMPARE(m_editor->cdsConfesco->FieldByName(QStringLiteral("CDSEQUCOPR"))->AsString(), Fixture::DishItem);
        QVERIFY(occurrences().Active());
        QCOMPARE(occurrences().RecordCount(), 0);
        QTest::keyClick(m_editor->dbgConfesco, Qt::Key_Up);
        QCOMPARE(occurrences().RecordCount(), 1);

        EditorHarness::focus(&grid());
        QVERIFY(storeElsewhere(Fixture::occurrenceTime().addSecs(600), QStringLiteral("005")));
        step(QStringLiteral("Verificar"));
        QCOMPARE(occurrences().RecordCount(), 2);
        QVERIFY(errors().isEmpty());
    }

    // A new occurrence through the keyboard, each check in its order: the
    // message, where the focus is left, the state and what the server holds.
    void newOccurrence_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<DataSetState>("state");
        QTest::addColumn<int>("storedCount");

        const QDateTime itemDay = Fixture::recordDay().startOfDay();
        const QString midnight = QStringLiteral("date=") + typedDateTime(itemDay);
        const QString dayBefore = QStringLiteral("date=") + typedDateTime(itemDay.addSecs(-60));
        QTest::newRow("00:00 of the item's date is stored")
            << QStringList{"Incluir", "type=2", midnight, "Confirmar"} << QString() << kDate << DataSetState::Browse << 2;
        QTest::newRow("the day before is refused")
            << QStringList{"Incluir", "type=2", dayBefore, "Confirmar"} << kItemDateMessage << kDate
            << DataSetState::Insert << 1;
        QTest::newRow("empty type passes the column exit")
            << QStringList{"Incluir", "Tab"} << QString() << kTypeName << DataSetState::Insert << 1;
        QTest::newRow("empty type is refused on post")
            << QStringList{"Incluir", "Confirmar"} << QStringLiteral("Ocorrência deve ser informada.") << kType
            << DataSetState::Insert << 1;
        QTest::newRow("leaving the grid posts, a refusal keeps the focus")
            << QStringList{"Incluir", "leave"} << QStringLiteral("Ocorrência deve ser informada.") << kType
            << DataSetState::Insert << 1;
        QTest::newRow("unknown type is refused on the column exit")
            << QStringList{"Incluir", "type=999", "Tab"} << QStringLiteral("Ocorrência não cadastrada.") << kType
            << DataSetState::Insert << 1;
        QTest::newRow("a repeat of a listed occurrence is refused")
            << QStringList{"Incluir", "type=1", QStringLiteral("date=") + typedDateTime(Fixture::occurrenceTime()),
                           "Confirmar"}
            << kRepeatMessage << kDate << DataSetState::Insert << 1;
        QTest::newRow("another type at the same moment is stored")
            << QStringList{"Incluir", "pick=003", QStringLiteral("date=") + typedDateTime(Fixture::occurrenceTime()),
                           "Confirmar"}
            << QString() << kDate << DataSetState::Browse << 2;
    }

    void newOccurrence()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(DataSetState, state);
        QFETCH(int, storedCount);
        openItemOccurrences();
        for (const QString &action : steps)
            step(action);
        QCOMPARE(errors(), message);
        QCOMPARE(occurrences().State(), state);
        QVERIFY2(focusOn(focus), qPrintable(QStringLiteral("column %1").arg(grid().SelectedIndex())));
        QCOMPARE(int(stored().rows.size()), storedCount);
        if (state == DataSetState::Browse) {
            QCOMPARE(occurrences().RecordCount(), storedCount);
            QCOMPARE(occurrences().ChangeCount(), 0);
        }
    }

    // A new occurrence shows its defaults and the type search; a picked type
    // brings its name.
    void newOccurrenceDefaults()
    {
        openItemOccurrences();
        const QDateTime before = QDateTime::currentDateTime().addSecs(-60);
        step(QStringLiteral("Incluir"));
        QCOMPARE(occurrences().State(), DataSetState::Insert);
        QVERIFY(focusOn(kType));
        const QDateTime when = occurrences().FieldByName(kDate)->AsDateTime();
        QVERIFY(when >= before && when <= QDateTime::currentDateTime());
        QCOMPARE(when.time().second(), 0);
        QCOMPARE(occurrences().FieldByName(QStringLiteral("CDSEQUCOPR"))->AsString(), Fixture::ProductItem);
        QCOMPARE(occurrences().FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), Fixture::AdultWithRecords);
        QVERIFY(occurrences().FieldByName(kType)->IsNull());
        QCOMPARE(grid().Columns().at(columnOf(kType)).buttonStyle, TDBGrid::TColumn::Ellipsis);
        QVERIFY(!m_editor->mnuIncluir->isEnabled());
        QVERIFY(m_editor->mnuConfirmar->isEnabled());
        QVERIFY(!m_editor->edtCdPaciente->isEnabled());
        step(QStringLiteral("pick=004"));
        QCOMPARE(occurrences().FieldByName(kTypeName)->AsString(), QStringLiteral("Distensão abdominal"));
        QCOMPARE(script().events().last().text, QStringLiteral("Ocorrência"));
    }

    // A stored occurrence: typing, Delete, Backspace and the grid's own
    // deletion do nothing, Alterar stays off, the type has no search.
    void storedOccurrenceIsNotAltered()
    {
        openItemOccurrences();
        grid().SetSelectedIndex(columnOf(kType));
        QTest::keyClicks(&grid(), QStringLiteral("5"));
        QTest::keyClick(&grid(), Qt::Key_Delete);
        QTest::keyClick(&grid(), Qt::Key_Backspace);
        QTest::keyClick(&grid(), Qt::Key_Delete, Qt::ControlModifier);
        QTest::keyClick(&grid(), Qt::Key_F2);
        QTest::keyClicks(&grid(), QStringLiteral("5"));
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(occurrences().State(), DataSetState::Browse);
        QCOMPARE(occurrences().RecordCount(), 1);
        QCOMPARE(occurrences().FieldByName(kType)->AsString(), Fixture::OccurrenceType);
        QCOMPARE(grid().Columns().at(columnOf(kType)).buttonStyle, TDBGrid::TColumn::None);
        QVERIFY(!button(QStringLiteral("sbtAlterar"))->isEnabled());
        QVERIFY(script().events().isEmpty());
        QCOMPARE(int(stored().rows.size()), 1);
    }

    // Another workstation stored the same occurrence after the list was
    // read: the server refuses the send and the new occurrence goes away.
    void refusedSendRemovesTheNewOccurrence()
    {
        openItemOccurrences();
        const QDateTime when = Fixture::occurrenceTime().addSecs(1800);
        QVERIFY(storeElsewhere(when, QStringLiteral("002")));

        for (const QString &action : {QStringLiteral("Incluir"), QStringLiteral("type=2"),
                                      QStringLiteral("date=") + typedDateTime(when), QStringLiteral("Confirmar")})
            step(action);
        QCOMPARE(errors(), kRepeatMessage);
        QCOMPARE(occurrences().State(), DataSetState::Browse);
        QCOMPARE(occurrences().RecordCount(), 1);
        QCOMPARE(occurrences().ChangeCount(), 0);
        QCOMPARE(int(stored().rows.size()), 2);
    }

    void deletionIsSentAtOnce()
    {
        openItemOccurrences();
        script().answerQuestion(true);
        step(QStringLiteral("Excluir"));
        QVERIFY(errors().isEmpty());
        QCOMPARE(occurrences().RecordCount(), 0);
        QCOMPARE(int(stored().rows.size()), 0);
        QVERIFY(!m_editor->mnuExcluir->isEnabled());
        QVERIFY(m_editor->mnuIncluir->isEnabled());
        // Typing into the empty list starts a new occurrence.
        QTest::keyClicks(&grid(), QStringLiteral("3"));
        QCOMPARE(occurrences().State(), DataSetState::Insert);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(occurrences().FieldByName(kType)->AsString(), QStringLiteral("003"));
        QCOMPARE(occurrences().FieldByName(kTypeName)->AsString(), QStringLiteral("Diarreia"));
        QTest::keyClick(&grid(), Qt::Key_Escape);
        QCOMPARE(occurrences().RecordCount(), 0);
    }

    // A service record without items: the occurrence list stays closed and
    // nothing can be included.
    void noItemsLoadsNothing()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        QTest::keyClick(m_editor->dbgServico, Qt::Key_Down);
        QVERIFY(m_editor->cdsConfesco->IsEmpty());
        EditorHarness::focus(&grid());
        QVERIFY(!occurrences().Active());
        QVERIFY(!m_editor->mnuIncluir->isEnabled());
        QVERIFY(!button(QStringLiteral("sbtIncluir"))->isEnabled());
        QVERIFY(errors().isEmpty());
    }

    // qryTipoOcor runs its dialect slot on SQLite and on PostgreSQL (when the
    // test run provides a cluster) and answers the same rows.
    void typeLookupOnBothDatabases()
    {
        const QString url = qEnvironmentVariable("ENTPAT_TEST_PG");
        if (url.isEmpty())
            QSKIP("PostgreSQL not available (ENTPAT_TEST_PG is not set)");
        m_editor = m_harness->openEditor();
        const QString sqlite = m_harness->server().database();
        const QStringList all = typeCodes(QVariant());
        const QStringList one = typeCodes(QStringLiteral("004"));
        const QStringList quote = typeCodes(QStringLiteral("' OR '1'='1"));
        QCOMPARE(all.size(), 6);
        QCOMPARE(one, QStringList{QStringLiteral("004 Distensão abdominal")});
        QVERIFY(quote.isEmpty());

        Fixture::build(url);
        dtmDBGeral().Open(url);
        const QStringList pgAll = typeCodes(QVariant());
        const QStringList pgOne = typeCodes(QStringLiteral("004"));
        const QStringList pgQuote = typeCodes(QStringLiteral("' OR '1'='1"));
        dtmDBGeral().Open(sqlite);
        QCOMPARE(pgAll, all);
        QCOMPARE(pgOne, one);
        QCOMPARE(pgQuote, quote);
    }
};

QTEST_MAIN(TestOccurrences)
#include "tst_occurrences.moc"
