// The composition items through the real item grid: a new item typed by
// keyboard and stored, its numbering, the post checks with their messages
// and focus, the hour texts, the search lists, the locked columns of an
// existing item, the display of preparation and unit, refusals by the
// server (another workstation first), and the check switch.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "common/hourtext.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "editor/frmentparenteral.h"
#include "editor/itemfields.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "widgets/panel.h"
#include "core/serverresult.h"
#include "core/velunor.h"
#include "widgets/widgetutils.h"

#include <QAction>
#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace {

QString dayText(const QDate &day)
{
    return day.startOfDay().toString(Qt::ISODate);
}

// "FIELD=text" entries typed cell by cell, in order.
using Cells = QStringList;

// A complete product item of the open record.
Cells validItem()
{
    return {ItemField::Route + QStringLiteral("=2"),
            ItemField::Preparation + QStringLiteral("=Fechado"),
            ItemField::Formulation + QStringLiteral("=") + Fixture::ProductTreeCode,
            ItemField::Prescribed + QStringLiteral("=250"),
            ItemField::Infused + QStringLiteral("=200"),
            ItemField::Speed + QStringLiteral("=62,5")};
}

// The entries with `changes` typed last, in place of the entries of the
// same fields (an empty text leaves the field untyped). A refused entry
// typed last is refused once, by the post.
Cells withCells(Cells cells, const Cells &changes)
{
    for (const QString &change : changes) {
        const QString field = change.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        cells.erase(
            std::remove_if(cells.begin(), cells.end(), [&](const QString &cell) { return cell.startsWith(field); }),
            cells.end());
        cells << change;
    }
    return cells;
}

} // namespace

class TestCompositionItems : public EditorTestCase
{
    Q_OBJECT

private:
    ClientDataSet &items() { return *m_editor->cdsConfesco; }
    TDBGrid &grid() { return *m_editor->dbgConfesco; }

    // Opens the editor on the adult with records, with the service record
    // of the day given (yesterday's has items 0001 and 0002, today's none)
    // current, and the focus in the item grid.
    void openItems(bool today = false)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(Fixture::AdultWithRecords);
        if (today)
            QTest::keyClick(m_editor->dbgServico, Qt::Key_Down);
        EditorHarness::focus(&grid());
    }

    int columnOf(const QString &fieldName) { return IndiceCol(grid(), fieldName); }

    // The field's text in the grid as the user sees it (current row).
    QString shown(const QString &fieldName)
    {
        return grid().Model()->index(items().RecNo(), columnOf(fieldName)).data(Qt::DisplayRole).toString();
    }

    // A click on a tool button, and what the event loop does after it.
    static void click(QToolButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    void typeCell(const QString &fieldName, const QString &text) { EditorHarness::typeCell(grid(), fieldName, text); }

    void typeCells(const Cells &cells)
    {
        for (const QString &cell : cells) {
            const QString text = cell.section(QLatin1Char('='), 1);
            if (!text.isEmpty())
                typeCell(cell.section(QLatin1Char('='), 0, 0), text);
        }
    }

    // Incluir, then the cells typed.
    void typeNewItem(const Cells &cells)
    {
        click(m_editor->sbtIncluir);
        QCOMPARE(items().State(), DataSetState::Insert);
        typeCells(cells);
    }

    // The focus is in the item grid or its cell editor.
    bool inGrid()
    {
        const QWidget *focus = QApplication::focusWidget();
        return focus == &grid() || (focus && focus->parentWidget() == grid().viewport());
    }
    // ... on the field's column.
    bool focusOn(const QString &fieldName) { return inGrid() && grid().SelectedIndex() == columnOf(fieldName); }

    // The items of a service record of the adult as the server holds them.
    DataPacket serverItems(const QDate &day = Fixture::recordDay())
    {
        const ServerResult result =
            callServer(m_harness->server().port(), QStringLiteral("getConfesco"),
                       {Fixture::AdultWithRecords, Fixture::Sequence, dayText(day), Fixture::BranchAdjust});
        return result.ok ? DataPacket::fromJson(result.data) : DataPacket();
    }

    static QVariant cell(const DataPacket &packet, const QString &number, const QString &fieldName)
    {
        for (const QVector<QVariant> &row : packet.rows)
            if (row.value(packet.indexOf(ItemField::Number)).toString() == number)
                return row.value(packet.indexOf(fieldName));
        return {};
    }

    // Another workstation stores a change of yesterday's items first.
    void otherWorkstationSends(const QString &kind, const QString &number, const QString &field, const QVariant &value)
    {
        ClientDataSet other;
        other.LoadFromPacket(serverItems());
        if (kind == QLatin1String("insert")) {
            other.Append();
            const DataPacket packet = serverItems();
            for (int column = 0; column < packet.fields.size(); ++column)
                other.Fields().at(column)->SetValue(packet.rows.first().value(column));
            other.FieldByName(ItemField::Number)->SetAsString(number);
        } else {
            QVERIFY(other.Locate(ItemField::Number, number));
            other.Edit();
        }
        other.FieldByName(field)->SetValue(value);
        other.Post();
        const ServerResult sent =
            callServer(m_harness->server().port(), QStringLiteral("SetConfesco"), {other.Delta().toJson()});
        QVERIFY2(sent.ok, qPrintable(sent.error));
    }

    QString errors() { return script().errors().join(QLatin1Char('\n')); }

private slots:
    void aNewItemIsTypedAndStored_data()
    {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QString>("formulation"); // stored code
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("dish");
        QTest::addColumn<QString>("unit"); // shown
        QTest::addColumn<QString>("name"); // drawn over the code
        QTest::newRow("product by its tree code")
            << validItem() << "F" << Fixture::ProductTreeCode << Fixture::Product << QString() << "mL"
            << "Fórmula enteral polimérica 1,0 kcal/mL";
        QTest::newRow("product by its code")
            << withCells(validItem(), {ItemField::Formulation + "=" + Fixture::LongUnitProduct}) << "F"
            << "02.001.0001" << Fixture::LongUnitProduct << QString() << "FRASCO"
            << "Emulsão lipídica 20%";
        // No preparation: the code is checked as a dish.
        QTest::newRow("dish without preparation")
            << withCells(validItem(), {ItemField::Preparation + "=", ItemField::Formulation + "=" + Fixture::Dish})
            << "A" << Fixture::Dish << QString() << Fixture::Dish << "PORCAO"
            << "Sopa liquidificada";
        QTest::newRow("infused equal to prescribed, 23:59")
            << withCells(validItem(), {ItemField::Infused + "=250", ItemField::Hour + "=2359"}) << "F"
            << Fixture::ProductTreeCode << Fixture::Product << QString() << "mL"
            << "Fórmula enteral polimérica 1,0 kcal/mL";
    }

    // Today's record has no items: the server answers 0 and the item is
    // "0001". Every value goes in by keyboard and reaches the server.
    void aNewItemIsTypedAndStored()
    {
        QFETCH(Cells, cells);
        QFETCH(QString, preparation);
        QFETCH(QString, formulation);
        QFETCH(QString, product);
        QFETCH(QString, dish);
        QFETCH(QString, unit);
        QFETCH(QString, name);
        openItems(true);
        QVERIFY(m_editor->sbtIncluir->isEnabled());
        QVERIFY(m_editor->sbtAutomatico->isEnabled());
        click(m_editor->sbtIncluir);
        QCOMPARE(items().FieldByName(ItemField::Number)->AsString(), QStringLiteral("0001"));
        QCOMPARE(items().FieldByName(ItemField::Date)->AsDateTime(), QDate::currentDate().startOfDay());
        QCOMPARE(items().FieldByName(ItemField::Hour)->AsString().size(), 4);
        QVERIFY(focusOn(ItemField::Route));
        QVERIFY(!m_editor->sbtIncluir->isEnabled());
        QVERIFY(!m_editor->sbtAutomatico->isEnabled());
        QVERIFY(!m_editor->panInfPaciente->isEnabled());
        typeCells(cells);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(items().FieldByName(QStringLiteral("NMVIACESDIET"))->AsString(), QStringLiteral("Sonda nasoentérica"));
        QCOMPARE(shown(ItemField::Unit), unit);
        click(m_editor->sbtConfirmar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(items().State(), DataSetState::Browse);
        QCOMPARE(items().ChangeCount(), 0);
        QVERIFY(inGrid());
        QCOMPARE(shown(ItemField::Prescribed), QStringLiteral("250,000"));
        QCOMPARE(shown(ItemField::Hour), items().FieldByName(ItemField::Hour)->AsString().insert(2, QLatin1Char(':')));
        QCOMPARE(shown(ItemField::Preparation),
                 preparation == "A" ? QStringLiteral("Aberto") : QStringLiteral("Fechado"));

        const DataPacket stored = serverItems(QDate::currentDate());
        QCOMPARE(stored.rows.size(), 1);
        const QString number = QStringLiteral("0001");
        QCOMPARE(cell(stored, number, QStringLiteral("CDFILIAL")).toString(), Fixture::BranchAdjust);
        QCOMPARE(cell(stored, number, ItemField::Route).toString(), Fixture::Route);
        QCOMPARE(cell(stored, number, ItemField::Preparation).toString(), preparation);
        QCOMPARE(cell(stored, number, ItemField::Formulation).toString(), formulation);
        QCOMPARE(cell(stored, number, QStringLiteral("CDPRODUTO")).toString(), product);
        QCOMPARE(cell(stored, number, QStringLiteral("CDPRATO")).toString(), dish);
        QCOMPARE(cell(stored, number, ItemField::Unit).toString(), unit.left(5));
        QCOMPARE(cell(stored, number, ItemField::Prescribed).toDouble(), 250.0);
        QCOMPARE(cell(stored, number, ItemField::Speed).toDouble(), 62.5);
        QCOMPARE(cell(stored, number, ItemField::Hours).toDouble(), items().FieldByName(ItemField::Hours)->AsFloat());
        QCOMPARE(cell(stored, number, ItemField::Hour).toString(), items().FieldByName(ItemField::Hour)->AsString());
        if (cells.contains(ItemField::Hour + "=2359"))
            QCOMPARE(cell(stored, number, ItemField::Hours).toDouble(), 23.98333333);

        // Route and formulation are drawn by name; the grid paints cleanly.
        grid().viewport()->repaint();
        QVERIFY(script().messages().isEmpty());
        QCOMPARE(items().FieldByName(QStringLiteral("NMPRODUTO"))->AsString()
                     + items().FieldByName(QStringLiteral("NMPRATO"))->AsString(),
                 name);
    }

    void confirmarLeavesTheFocusInTheGrid_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("tool button") << false;
        QTest::newRow("menu from the keyboard") << true;
    }

    // A new item typed from the keyboard, its last entry still in the cell
    // editor, is stored by Confirmar; the user stays in the item grid.
    void confirmarLeavesTheFocusInTheGrid()
    {
        QFETCH(bool, fromMenu);
        openItems(true);
        typeNewItem(validItem());
        QVERIFY(grid().EditorMode());
        if (fromMenu) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
            QTRY_VERIFY(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
            QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_O);
        } else {
            click(m_editor->sbtConfirmar);
        }
        QTRY_COMPARE(items().State(), DataSetState::Browse);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QTRY_VERIFY2(inGrid(), QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                                           : "no focus");
        QTRY_VERIFY(m_editor->window()->isActiveWindow());
    }

    void aNewItemIsChecked_data()
    {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QString>("focusField");
        const QString yesterday = Fixture::recordDay().toString(QStringLiteral("ddMMyyyy"));
        QTest::newRow("date before the service date")
            << withCells(validItem(), {ItemField::Date + "=" + yesterday})
            << QStringList{"Data deve ser maior ou igual a data do serviço."} << ItemField::Date;
        QTest::newRow("infused greater than prescribed")
            << withCells(validItem(), {ItemField::Infused + "=251"})
            << QStringList{"A quantidade infundida deve ser menor ou igual a quantidade prescrita."}
            << ItemField::Infused;
        QTest::newRow("infused 0") << withCells(validItem(), {ItemField::Infused + "=0"})
                                   << QStringList{"Quantidade deve ser maior que zero."} << ItemField::Infused;
        QTest::newRow("all quantities empty")
            << withCells(validItem(), {ItemField::Prescribed + "=", ItemField::Infused + "=", ItemField::Speed + "="})
            << QStringList{"Quantidade deve ser informada."} << ItemField::Prescribed;
        QTest::newRow("no speed") << withCells(validItem(), {ItemField::Speed + "="})
                                  << QStringList{"Velocidade deve ser informada."} << ItemField::Speed;
        QTest::newRow("speed 0") << withCells(validItem(), {ItemField::Speed + "=0"})
                                 << QStringList{"Velocidade deve ser maior que zero."} << ItemField::Speed;
        QTest::newRow("no route") << withCells(validItem(), {ItemField::Route + "="})
                                  << QStringList{"Via de acesso deve ser informada."} << ItemField::Route;
        // Refused when its column is left, and again by the post.
        QTest::newRow("unknown route") << withCells(validItem(), {ItemField::Route + "=999"})
                                       << QStringList{"Via de acesso não cadastrada."} << ItemField::Route;
        QTest::newRow("no preparation, no formulation")
            << withCells(validItem(), {ItemField::Preparation + "=", ItemField::Formulation + "="})
            << QStringList{"Preparação deve ser informada."} << ItemField::Preparation;
        QTest::newRow("no formulation") << withCells(validItem(), {ItemField::Formulation + "="})
                                        << QStringList{"Formulação deve ser informada."} << ItemField::Formulation;
        QTest::newRow("dish code as a product")
            << withCells(validItem(), {ItemField::Formulation + "=" + Fixture::Dish})
            << QStringList{"Formulação não cadastrada."} << ItemField::Formulation;
        QTest::newRow("hour 24:00") << withCells(validItem(), {ItemField::Hour + "=2400"})
                                    << QStringList{"'2400' não é um hora válida."} << ItemField::Hour;
        QTest::newRow("minutes 61") << withCells(validItem(), {ItemField::Hour + "=1061"})
                                    << QStringList{"'1061' não é um hora válida."} << ItemField::Hour;
    }

    // Each refusal keeps the new item with what was typed, puts the focus
    // on the column named and stores nothing.
    void aNewItemIsChecked()
    {
        QFETCH(Cells, cells);
        QFETCH(QStringList, messages);
        QFETCH(QString, focusField);
        openItems(true);
        typeNewItem(cells);
        click(m_editor->sbtConfirmar);
        QCOMPARE(script().errors(), messages);
        QTRY_VERIFY(focusOn(focusField));   // the focus lands once events are through
        QCOMPARE(items().State(), DataSetState::Insert);
        QVERIFY(m_editor->sbtConfirmar->isEnabled());
        QVERIFY(!m_editor->panInfPaciente->isEnabled());
        QCOMPARE(serverItems(QDate::currentDate()).rows.size(), 0);
    }

    // A volume that takes longer than its system's safe hang time at its
    // speed (closed system: 24 hours) is asked about after every check:
    // Sim stores the item, Não keeps it unposted on the prescribed volume.
    // Open-system dishes of branch 0001 may take 8 hours.
    void aLongInfusionIsAskedAboutBeforeThePost_data()
    {
        QTest::addColumn<Cells>("cells");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("question");
        const QString product = QStringLiteral("O item 0001 (Fórmula enteral polimérica 1,0 kcal/mL) leva 40:00 h "
                                               "para ser infundido, mais que o tempo máximo de 24:00 h do sistema "
                                               "fechado. Deseja continuar?");
        const Cells longProduct = withCells(validItem(), {ItemField::Prescribed + "=2500"});
        QTest::newRow("Sim") << longProduct << true << product;
        QTest::newRow("Não") << longProduct << false << product;
        QTest::newRow("dish within the branch's 8 hours")
            << withCells(validItem(), {ItemField::Preparation + "=Aberto", ItemField::Formulation + "=" + Fixture::Dish,
                                       ItemField::Prescribed + "=450", ItemField::Speed + "=60"})
            << true << QString();
        QTest::newRow("dish beyond the branch's 8 hours")
            << withCells(validItem(), {ItemField::Preparation + "=Aberto", ItemField::Formulation + "=" + Fixture::Dish,
                                       ItemField::Prescribed + "=600", ItemField::Speed + "=60"})
            << false
            << QStringLiteral("O item 0001 (Sopa liquidificada) leva 10:00 h para ser infundido, mais que o tempo "
                              "máximo de 8:00 h do sistema aberto. Deseja continuar?");
    }

    void aLongInfusionIsAskedAboutBeforeThePost()
    {
        QFETCH(Cells, cells);
        QFETCH(bool, answer);
        QFETCH(QString, question);
        openItems(true);
        typeNewItem(cells);
        if (!question.isEmpty())
            script().answerQuestion(answer);
        click(m_editor->sbtConfirmar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(script().messages(), question.isEmpty() ? QStringList() : QStringList{question});
        QCOMPARE(serverItems(QDate::currentDate()).rows.size(), answer ? 1 : 0);
        QCOMPARE(items().State(), answer ? DataSetState::Browse : DataSetState::Insert);
        if (!answer)
            QVERIFY(focusOn(ItemField::Prescribed));
    }

    // Leaving the grid with a bad item shows the refusal and keeps the
    // focus in the grid.
    void leavingTheGridPostsThePendingItem_data()
    {
        QTest::addColumn<QString>("infused");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<int>("stored");
        QTest::newRow("bad item")
            << "300" << QStringList{"A quantidade infundida deve ser menor ou igual a quantidade prescrita."} << 0;
        QTest::newRow("good item") << "100" << QStringList() << 1;
    }
    void leavingTheGridPostsThePendingItem()
    {
        QFETCH(QString, infused);
        QFETCH(QStringList, messages);
        QFETCH(int, stored);
        openItems(true);
        typeNewItem(withCells(validItem(), {ItemField::Infused + "=" + infused}));
        EditorHarness::focus(m_editor->dbgOcorrencia);
        QCOMPARE(script().errors(), messages);
        QCOMPARE(serverItems(QDate::currentDate()).rows.size(), stored);
        QCOMPARE(inGrid(), stored == 0);
        if (stored)
            QVERIFY(!m_editor->sbtAutomatico->isEnabled());
    }

    void aColumnCheckKeepsTheUserInTheColumn_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("route") << ItemField::Route << "999"
                               << "Via de acesso não cadastrada.";
        QTest::newRow("hour") << ItemField::Hour << "2561"
                              << "'2561' não é um hora válida.";
        QTest::newRow("formulation") << ItemField::Formulation << "99.999"
                                     << "Formulação não cadastrada.";
    }
    void aColumnCheckKeepsTheUserInTheColumn()
    {
        QFETCH(QString, fieldName);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        openItems(true);
        typeNewItem({ItemField::Preparation + QStringLiteral("=Fechado")});
        typeCell(fieldName, typed);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(script().errors(), QStringList{message});
        QVERIFY(focusOn(fieldName));
        QCOMPARE(items().State(), DataSetState::Insert);
    }

    void theHourOfAnExistingItem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QVariant>("hours");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("message");
        QTest::newRow("emptied text") << "" << QVariant(8.5) << "0000" << QString();
        QTest::newRow("last minute") << "2359" << QVariant(8.5) << "2359" << QString();
        // Without the real hour the item has no hour, whatever its text.
        QTest::newRow("no real hour") << "0830" << QVariant() << "0830"
                                      << "Hora deve ser informada.";
    }
    // The hour columns of an existing item cannot be typed into; what the
    // record holds is checked when it is posted.
    void theHourOfAnExistingItem()
    {
        QFETCH(QString, text);
        QFETCH(QVariant, hours);
        QFETCH(QString, stored);
        QFETCH(QString, message);
        openItems();
        click(m_editor->sbtAlterar);
        QCOMPARE(items().State(), DataSetState::Edit);
        items().FieldByName(ItemField::Hour)->SetAsString(text);
        items().FieldByName(ItemField::Hours)->SetValue(hours);
        click(m_editor->sbtConfirmar);
        QCOMPARE(script().errors(), message.isEmpty() ? QStringList() : QStringList{message});
        if (!message.isEmpty()) {
            QVERIFY(focusOn(ItemField::Hour));
            QCOMPARE(items().State(), DataSetState::Edit);
            return;
        }
        QCOMPARE(cell(serverItems(), Fixture::ProductItem, ItemField::Hour).toString(), stored);
        QCOMPARE(items().FieldByName(ItemField::Hour)->AsString(), stored);
        QCOMPARE(items().FieldByName(ItemField::Hours)->AsFloat(), StTimeToReal(stored));
    }

    // A date before 1900 is refused as it is typed and the item keeps its
    // date; an emptied date is cleared, and the post asks for it.
    void theDateEntry_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("before 1900") << "31121899" << QStringList{"'31/12/1899' não é uma data válida."};
        QTest::newRow("emptied") << "" << QStringList{"Data deve ser informada."};
    }
    void theDateEntry()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, messages);
        openItems(true);
        typeNewItem(validItem());
        grid().SetSelectedIndex(columnOf(ItemField::Date));
        QTest::keyClick(&grid(), Qt::Key_F2);
        QVERIFY(grid().InplaceEditor());
        grid().InplaceEditor()->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(grid().InplaceEditor(), Qt::Key_Delete);
        else
            QTest::keyClicks(grid().InplaceEditor(), typed);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        if (typed.isEmpty()) {
            QVERIFY(script().errors().isEmpty());
            QVERIFY(items().FieldByName(ItemField::Date)->IsNull());
            click(m_editor->sbtConfirmar);
        } else {
            QCOMPARE(items().FieldByName(ItemField::Date)->AsDateTime().date(), QDate::currentDate());
        }
        QCOMPARE(script().errors(), messages);
        QVERIFY(focusOn(ItemField::Date));
        QCOMPARE(items().State(), DataSetState::Insert);
        QCOMPARE(serverItems(QDate::currentDate()).rows.size(), 0);
    }

    void anExistingItemLocksItsColumns_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<bool>("editing");
        for (const QString &field : {ItemField::Date, ItemField::Hour, ItemField::Preparation, ItemField::Unit}) {
            QTest::addRow("%s browsing", qPrintable(field)) << field << false;
            QTest::addRow("%s editing", qPrintable(field)) << field << true;
        }
    }
    void anExistingItemLocksItsColumns()
    {
        QFETCH(QString, fieldName);
        QFETCH(bool, editing);
        openItems();
        if (editing)
            click(m_editor->sbtAlterar);
        const QVariant before = items().FieldByName(fieldName)->Value();
        grid().SetSelectedIndex(columnOf(fieldName));
        QTest::keyClicks(&grid(), QStringLiteral("12"));
        QTest::keyClick(&grid(), Qt::Key_F2);
        QVERIFY(!grid().EditorMode());
        QCOMPARE(items().FieldByName(fieldName)->Value(), before);
        QCOMPARE(items().State(), editing ? DataSetState::Edit : DataSetState::Browse);
        QCOMPARE(grid().Columns().at(columnOf(ItemField::Preparation)).buttonStyle,
                 fieldName == ItemField::Unit ? TDBGrid::TColumn::PickList : TDBGrid::TColumn::None);
        QVERIFY(script().messages().isEmpty());
    }

    void backspaceInTheDateColumnCancelsTheWholeEdit()
    {
        openItems();
        click(m_editor->sbtAlterar);
        typeCell(ItemField::Infused, QStringLiteral("190"));
        typeCell(ItemField::Note, QStringLiteral("Pausar a noite"));
        grid().SetSelectedIndex(columnOf(ItemField::Date));
        QCOMPARE(items().FieldByName(ItemField::Infused)->AsFloat(), 190.0);
        QTest::keyClick(&grid(), Qt::Key_Backspace);
        QVERIFY(script().messages().isEmpty());
        QCOMPARE(items().State(), DataSetState::Browse);
        QCOMPARE(items().FieldByName(ItemField::Infused)->AsFloat(), 200.0);
        QVERIFY(items().FieldByName(ItemField::Note)->IsNull());
        QCOMPARE(items().ChangeCount(), 0);
        QCOMPARE(cell(serverItems(), Fixture::ProductItem, ItemField::Infused).toDouble(), 200.0);
        // In a new item Backspace edits.
        typeNewItem({});
        grid().SetSelectedIndex(columnOf(ItemField::Date));
        QTest::keyClick(&grid(), Qt::Key_Backspace);
        QCOMPARE(items().State(), DataSetState::Insert);
    }

    void quantitiesTakeNineDigitsAndThreeDecimals_data()
    {
        QTest::addColumn<QString>("fieldName");
        for (const QString &field : {ItemField::Prescribed, ItemField::Infused, ItemField::Speed})
            QTest::newRow(qPrintable(field)) << field;
    }
    void quantitiesTakeNineDigitsAndThreeDecimals()
    {
        QFETCH(QString, fieldName);
        openItems(true);
        typeNewItem({});
        typeCell(fieldName, QStringLiteral("1234567890"));
        QCOMPARE(grid().InplaceEditor()->text(), QStringLiteral("123456789"));
        grid().InplaceEditor()->selectAll();
        QTest::keyClicks(grid().InplaceEditor(), QStringLiteral("7x1.23456"));
        QCOMPARE(grid().InplaceEditor()->text(), QStringLiteral("71,234"));
    }

    void aFormulationIsPicked_data()
    {
        QTest::addColumn<QString>("preparation"); // typed, empty for none
        QTest::addColumn<QString>("picked");
        QTest::addColumn<QString>("mask"); // of the list's code column
        QTest::addColumn<QStringList>("expected"); // FIELD=value after the pick
        QTest::newRow("product")
            << "Fechado"
            << "02.001.0001" << DBPict(0)
            << QStringList{
                   "CDARVPROD=02.001.0001",          "CDPRODUTO=P004", "UNIDPRO=FRASC", "SGUNIDADE=FRASC",
                   "NMPRODUTO=Emulsão lipídica 20%", "CDPRATO=",       "CDFILAUXPRAT=",  "CDFORMULACAO=02.001.0001"};
        QTest::newRow("dish") << "Aberto" << Fixture::Dish << DBPict(1)
                              << QStringList{"CDPRATO=D002",    "CDFILAUXPRAT=0001",          "UNIDPRA=PORCA",
                                             "SGUNIDADE=PORCA", "NMPRATO=Sopa liquidificada", "CDPRODUTO=",
                                             "CDARVPROD=",      "CDFORMULACAO=D002"};
        // An empty preparation lists products and stores a product.
        QTest::newRow("empty preparation") << "" << Fixture::ProductTreeCode << DBPict(0)
                                           << QStringList{"CDPRODUTO=P001", "UNIDPRO=mL", "CDPRATO=", "IDPREPCONF="};
    }
    void aFormulationIsPicked()
    {
        QFETCH(QString, preparation);
        QFETCH(QString, picked);
        QFETCH(QString, mask);
        QFETCH(QStringList, expected);
        openItems(true);
        typeNewItem(preparation.isEmpty() ? Cells() : Cells{ItemField::Preparation + "=" + preparation});
        grid().SetSelectedIndex(columnOf(ItemField::Formulation));
        script().answerPick(ItemField::Formulation, picked);
        QTest::keyClick(&grid(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY2(script().allAnswersUsed(), qPrintable(script().unexpected().join('\n')));
        QCOMPARE(m_editor->cdsFormulacao->FieldByName(ItemField::Formulation)->EditMask(), mask);
        for (const QString &entry : expected)
            QCOMPARE(items().FieldByName(entry.section('=', 0, 0))->AsString(), entry.section('=', 1));
        QCOMPARE(items().State(), DataSetState::Insert);
    }

    void aRouteIsPickedOnAnExistingItem()
    {
        openItems();
        // The search buttons come with the first edit.
        QCOMPARE(grid().Columns().at(columnOf(ItemField::Route)).buttonStyle, TDBGrid::TColumn::None);
        click(m_editor->sbtAlterar);
        script().answerQuestion(true);
        click(m_editor->sbtCancelar);
        QCOMPARE(grid().Columns().at(columnOf(ItemField::Route)).buttonStyle, TDBGrid::TColumn::Ellipsis);
        script().clear();
        grid().SetSelectedIndex(columnOf(ItemField::Route));
        script().answerPick(ItemField::Route, QStringLiteral("004"));
        QTest::keyClick(&grid(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(items().State(), DataSetState::Edit);
        QCOMPARE(items().FieldByName(QStringLiteral("NMVIACESDIET"))->AsString(), QStringLiteral("Jejunostomia"));
        click(m_editor->sbtConfirmar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(cell(serverItems(), Fixture::ProductItem, ItemField::Route).toString(), QStringLiteral("004"));
    }

    // A typed formulation brings its own unit at once, as a pick does.
    void aTypedFormulationShowsItsUnit_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("treeCode");
        QTest::newRow("product") << 0 << Fixture::LongUnitProduct << "FRASCO"
                                 << "02.001.0001";
        QTest::newRow("dish") << 1 << "D001"
                              << "mL" << QString();
    }
    void aTypedFormulationShowsItsUnit()
    {
        QFETCH(int, row);
        QFETCH(QString, typed);
        QFETCH(QString, unit);
        QFETCH(QString, treeCode);
        openItems();
        for (int down = 0; down < row; ++down)
            QTest::keyClick(&grid(), Qt::Key_Down);
        click(m_editor->sbtAlterar);
        typeCell(ItemField::Formulation, typed);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(shown(ItemField::Unit), unit);
        QCOMPARE(items().FieldByName(QStringLiteral("CDARVPROD"))->AsString(), treeCode);
        click(m_editor->sbtConfirmar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(shown(ItemField::Unit), unit);
    }

    void preparationAndUnitTexts_data()
    {
        QTest::addColumn<QString>("preparation");
        QTest::addColumn<QString>("shownPreparation");
        QTest::addColumn<QString>("shownUnit");
        QTest::newRow("empty") << ""
                               << ""
                               << "";
        QTest::newRow("open") << "A"
                              << "Aberto"
                              << "dish";
        QTest::newRow("closed") << "F"
                                << "Fechado"
                                << "product";
        QTest::newRow("lower-case a") << "a"
                                      << "Fechado"
                                      << "product";
    }
    void preparationAndUnitTexts()
    {
        QFETCH(QString, preparation);
        QFETCH(QString, shownPreparation);
        QFETCH(QString, shownUnit);
        openItems();
        click(m_editor->sbtAlterar);
        items().FieldByName(QStringLiteral("UNIDPRA"))->SetAsString(QStringLiteral("dish"));
        items().FieldByName(QStringLiteral("UNIDPRO"))->SetAsString(QStringLiteral("product"));
        items().FieldByName(ItemField::Preparation)->SetAsString(preparation);
        QCOMPARE(shown(ItemField::Preparation), shownPreparation);
        QCOMPARE(shown(ItemField::Unit), shownUnit);
        script().answerQuestion(true);
        click(m_editor->sbtCancelar);
        script().clear();
        if (preparation != QLatin1String("a"))
            return;
        // A lower-case "a" is a product preparation: the dish code is not one.
        click(m_editor->sbtAlterar);
        items().FieldByName(ItemField::Preparation)->SetAsString(preparation);
        typeCell(ItemField::Formulation, Fixture::Dish);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Formulação não cadastrada.")});
    }

    void serverRefusals_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("otherKind");
        QTest::addColumn<QString>("message");
        const QString stale =
            QStringLiteral("Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.");
        // Two workstations number their new item alike: the first is stored.
        QTest::newRow("insert") << "insert"
                                << "insert"
                                << "Item já cadastrado por outro usuário.";
        QTest::newRow("edit") << "edit"
                              << "modify" << stale;
        QTest::newRow("delete") << "delete"
                                << "modify" << stale;
    }
    // The refused change is dropped and the list shows what the server
    // holds, nothing of it overwritten.
    void serverRefusals()
    {
        QFETCH(QString, command);
        QFETCH(QString, otherKind);
        QFETCH(QString, message);
        openItems();
        if (command == QLatin1String("insert")) {
            typeNewItem(withCells(validItem(), {ItemField::Prescribed + "=300"}));
            QCOMPARE(items().FieldByName(ItemField::Number)->AsString(), QStringLiteral("0003"));
            otherWorkstationSends(otherKind, QStringLiteral("0003"), ItemField::Prescribed, 900.0);
            click(m_editor->sbtConfirmar);
        } else if (command == QLatin1String("edit")) {
            click(m_editor->sbtAlterar);
            typeCell(ItemField::Prescribed, QStringLiteral("300"));
            otherWorkstationSends(otherKind, Fixture::ProductItem, ItemField::Prescribed, 900.0);
            click(m_editor->sbtConfirmar);
        } else {
            otherWorkstationSends(otherKind, Fixture::ProductItem, ItemField::Prescribed, 900.0);
            script().answerQuestion(true);
            click(m_editor->sbtExcluir);
        }
        QCOMPARE(script().errors(), QStringList{message});
        QCOMPARE(items().State(), DataSetState::Browse);
        QCOMPARE(items().ChangeCount(), 0);
        const DataPacket stored = serverItems();
        QCOMPARE(items().RecordCount(), stored.rows.size());
        const QString number = command == QLatin1String("insert") ? QStringLiteral("0003") : Fixture::ProductItem;
        QCOMPARE(cell(stored, number, ItemField::Prescribed).toDouble(), 900.0);
        QVERIFY(items().Locate(ItemField::Number, number));
        QCOMPARE(items().FieldByName(ItemField::Prescribed)->AsFloat(), 900.0);
    }

    // A number that would not fit the field is never taken (it would be cut
    // to one already used).
    void theLastItemNumberIsRefused()
    {
        openItems();
        otherWorkstationSends(QStringLiteral("insert"), QStringLiteral("9999"), ItemField::Prescribed, 100.0);
        click(m_editor->sbtIncluir);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Numeração de itens do serviço esgotada.")});
        QCOMPARE(items().State(), DataSetState::Browse);
        QCOMPARE(items().RecordCount(), 2);
    }

    void theCheckSwitchOffPostsWithoutChecks()
    {
        openItems(true);
        m_editor->boValidaConfesco = false;
        click(m_editor->sbtIncluir);
        QVERIFY(!m_editor->cdsOcorrencia->Active());
        items().FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(Fixture::BranchAdjust);
        items().FieldByName(ItemField::Note)->SetAsString(QStringLiteral("   "));
        click(m_editor->sbtConfirmar);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        const DataPacket stored = serverItems(QDate::currentDate());
        QCOMPARE(stored.rows.size(), 1);
        QVERIFY(cell(stored, QStringLiteral("0001"), ItemField::Route).isNull());
        QVERIFY(cell(stored, QStringLiteral("0001"), ItemField::Note).isNull());
        // Moving between items loads no occurrences while it is off.
        QVERIFY(!m_editor->cdsOcorrencia->Active());
    }

    void movingBetweenItemsLoadsTheirOccurrences()
    {
        openItems();
        QCOMPARE(m_editor->cdsOcorrencia->RecordCount(), 1);
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(items().RecNo(), 1);
        QCOMPARE(m_editor->cdsOcorrencia->RecordCount(), 0);
        // Leaving the grid takes the automatic schedule away.
        QVERIFY(m_editor->sbtAutomatico->isEnabled());
        EditorHarness::focus(m_editor->dbgServico);
        QVERIFY(!m_editor->sbtAutomatico->isEnabled());
    }
};

QTEST_MAIN(TestCompositionItems)
#include "tst_compositionitems.moc"
