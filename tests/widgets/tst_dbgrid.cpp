#include "core/abort.h"
#include "core/clientdataset.h"
#include "core/consiste.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "core/messages.h"
#include "widgets/panel.h"
#include "scriptedinteraction.h"
#include "widgetfixture.h"
#include "widgets/widgetutils.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <optional>


using widgetfixture::field;

namespace {

// A window with a grid over items (code, name, weight) and an edit after it.
// The visible button named "Pesquisar" under an accessibility node.
QAccessibleInterface *accessibleButton(QAccessibleInterface *node)
{
    for (int i = 0; node && i < node->childCount(); ++i) {
        QAccessibleInterface *child = node->child(i);
        if (!child || child->state().invisible)
            continue;
        if (child->role() == QAccessible::Button && child->text(QAccessible::Name) == QStringLiteral("Pesquisar"))
            return child;
        if (QAccessibleInterface *found = accessibleButton(child))
            return found;
    }
    return nullptr;
}

struct GridWindow
{
    QWidget window;
    ClientDataSet data;
    TDBGrid *grid = nullptr;
    QLineEdit *after = nullptr;

    GridWindow()
    {
        data.AddField(field(QStringLiteral("CODIGO"), FieldType::Text, 4, QStringLiteral("Código")));
        data.AddField(field(QStringLiteral("NOME"), FieldType::Text, 30, QStringLiteral("Nome")));
        FieldDef weight = field(QStringLiteral("PESO"), FieldType::Real, 0, QStringLiteral("Peso"));
        weight.displayFormat = QStringLiteral("#,##0.000");
        weight.editFormat = QStringLiteral("##0.000");
        data.AddField(weight);
        DataPacket packet;
        packet.fields = {{QStringLiteral("CODIGO"), FieldType::Text, 4},
                         {QStringLiteral("NOME"), FieldType::Text, 30},
                         {QStringLiteral("PESO"), FieldType::Real, 0}};
        packet.rows = {{QStringLiteral("0001"), QStringLiteral("Alfa"), 1234.5},
                       {QStringLiteral("0002"), QStringLiteral("Beta"), 2.0},
                       {QStringLiteral("0003"), QStringLiteral("Gama"), QVariant()}};
        data.LoadFromPacket(packet);

        auto *layout = new QVBoxLayout(&window);
        grid = new TDBGrid(&window);
        grid->setAccessibleName(QStringLiteral("Itens"));
        after = new QLineEdit(&window);
        after->setAccessibleName(QStringLiteral("Depois"));
        layout->addWidget(grid);
        layout->addWidget(after);
        grid->SetDataSet(&data);
        grid->SetColumns({{QStringLiteral("CODIGO")}, {QStringLiteral("NOME")}, {QStringLiteral("PESO")}});
    }

    bool show()
    {
        if (!widgetfixture::showActive(window))
            return false;
        grid->setFocus();
        return grid->hasFocus();
    }
};

// A grid over one date, today's, that refuses dates before 1900 as the
// screens' date entry does.
struct DateGridWindow
{
    QWidget window;
    ClientDataSet data;
    TDBGrid *grid = nullptr;

    DateGridWindow()
    {
        FieldDef date = field(QStringLiteral("DATA"), FieldType::DateTime, 0, QStringLiteral("Data"));
        date.editMask = DateMask();
        date.displayFormat = QStringLiteral("dd/MM/yyyy");
        data.AddField(date);
        data.FieldByName(QStringLiteral("DATA"))->OnSetText = [](Field &field, const QString &text) {
            const QDate typed = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
            if (!typed.isValid() || typed.year() < 1900)
                MensErro(QStringLiteral("'%1' não é uma data válida.").arg(text));
            field.SetAsDateTime(typed.startOfDay());
        };
        data.CreateDataSet();
        data.Append();
        data.FieldByName(QStringLiteral("DATA"))->SetAsDateTime(QDate::currentDate().startOfDay());
        data.Post();
        auto *layout = new QVBoxLayout(&window);
        grid = new TDBGrid(&window);
        grid->setAccessibleName(QStringLiteral("Datas"));
        layout->addWidget(grid);
        grid->SetDataSet(&data);
    }
};

// The scripted interaction that also shows each error in a real modal box,
// which takes the focus from the screen until it closes itself.
class BoxedInteraction : public ScriptedInteraction
{
public:
    void error(const QString &text) override
    {
        ScriptedInteraction::error(text);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Datas"), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, &box, [&box] {
            if (box.isActiveWindow())
                box.accept();
        });
        closer.start(50);
        QTimer::singleShot(3000, &box, &QMessageBox::accept);
        box.exec();
    }
};

} // namespace

class TestDBGrid : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { widgetfixture::usePortuguese(); }
    void init() { m_script.begin(); }
    void cleanup() { m_script.end(); }

    // The model follows every change of the dataset, as the tester checks.
    // A display-text handler or a drawing handler that fails leaves its cell
    // empty: the grid paints, nobody is asked anything.
    void failuresWhilePaintingAreOnlyLogged_data()
    {
        QTest::addColumn<bool>("inText");
        QTest::newRow("display text") << true;
        QTest::newRow("drawing") << false;
    }
    void failuresWhilePaintingAreOnlyLogged()
    {
        QFETCH(bool, inText);
        GridWindow w;
        if (inText) {
            w.data.FieldByName(QStringLiteral("NOME"))->OnGetText = [](Field &, bool) -> QString {
                throw UserError(QStringLiteral("texto indisponível"));
            };
        } else {
            w.grid->OnDrawColumnCell = [](TDBGrid &, QPainter &, const QRect &, Field *, int, bool, bool) {
                throw UserError(QStringLiteral("desenho indisponível"));
            };
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("indisponível")));
        QVERIFY(w.show());
        QVERIFY(!w.grid->grab().isNull());
        if (inText)
            QCOMPARE(w.grid->Model()->index(0, 1).data().toString(), QString());
        QCOMPARE(w.grid->Model()->index(0, 0).data().toString(), QStringLiteral("0001"));
        QVERIFY(m_script->messages().isEmpty());
    }

    void modelFollowsTheDataSet()
    {
        GridWindow w;
        QAbstractItemModelTester tester(w.grid->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(w.grid->Model()->rowCount(), 3);
        QCOMPARE(w.grid->Model()->index(0, 2).data().toString(), QStringLiteral("1.234,500"));
        QCOMPARE(w.grid->Model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Nome"));

        w.data.SetRecNo(1);
        w.data.Insert();
        QCOMPARE(w.grid->Model()->rowCount(), 4);
        w.data.FieldByName(QStringLiteral("CODIGO"))->SetAsString(QStringLiteral("0009"));
        w.data.Post();
        QCOMPARE(w.grid->Model()->index(1, 0).data().toString(), QStringLiteral("0009"));
        w.data.SetRecNo(2);
        w.data.Delete();
        QCOMPARE(w.grid->Model()->rowCount(), 3);
        QCOMPARE(w.grid->Model()->index(2, 0).data().toString(), QStringLiteral("0003"));
        w.data.Insert();
        w.data.Cancel();
        w.data.Close();
        QCOMPARE(w.grid->Model()->rowCount(), 0);
    }

    void currentRowFollowsBothWays()
    {
        GridWindow w;
        QVERIFY(w.show());
        w.data.SetRecNo(2);
        QCOMPARE(w.grid->currentIndex().row(), 2);
        QTest::keyClick(w.grid, Qt::Key_Up);
        QCOMPARE(w.data.RecNo(), 1);
    }

    void tabMovesColumnToColumn()
    {
        GridWindow w;
        QVERIFY(w.show());
        QCOMPARE(w.grid->SelectedIndex(), 0);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->SelectedIndex(), 1);
        QCOMPARE(w.grid->SelectedField()->FieldName(), QStringLiteral("NOME"));
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->SelectedIndex(), 0);
        QCOMPARE(w.data.RecNo(), 1);
        QTest::keyClick(w.grid, Qt::Key_Backtab);
        QCOMPARE(w.grid->SelectedIndex(), 2);
        QCOMPARE(w.data.RecNo(), 0);
        QCOMPARE(IndiceCol(*w.grid, QStringLiteral("peso")), 2);
        QCOMPARE(IndiceCol(*w.grid, QStringLiteral("NADA")), -1);
    }

    // Enter stores the cell and moves to the next column of the row, from
    // the grid or its cell editor, also where a key handler discards every
    // typed character; in the last column it stays and posts nothing.
    void enterMovesToTheNextColumn_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<int>("expectedColumn");
        QTest::addColumn<QString>("expectedText");
        QTest::newRow("grid") << 0 << "" << false << 1 << "0001";
        QTest::newRow("cell editor") << 1 << "Delta" << false << 2 << "Delta";
        QTest::newRow("locked column") << 0 << "9" << true << 1 << "0001";
        QTest::newRow("last column") << 2 << "7,5" << false << 2 << "7,500";
    }

    void enterMovesToTheNextColumn()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(bool, locked);
        QFETCH(int, expectedColumn);
        QFETCH(QString, expectedText);
        GridWindow w;
        if (locked)
            w.grid->OnKeyPress = [](TDBGrid &, QChar &key) { key = QChar(); };
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(column);
        QTest::keyClicks(w.grid, typed);
        QCOMPARE(w.grid->EditorMode(), !typed.isEmpty() && !locked);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.grid->SelectedIndex(), expectedColumn);
        QCOMPARE(w.data.RecNo(), 0);
        QCOMPARE(w.data.State(), typed.isEmpty() || locked ? DataSetState::Browse : DataSetState::Edit);
        QCOMPARE(w.grid->Model()->index(0, column).data().toString(), expectedText);
    }

    // Typing opens the cell editor with the typed character, puts the row
    // into edit, and Tab stores the value and moves on.
    void typingEditsTheCell()
    {
        GridWindow w;
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(1);
        QTest::keyClicks(w.grid, QStringLiteral("Delta"));
        QVERIFY(w.grid->EditorMode());
        QCOMPARE(w.data.State(), DataSetState::Edit);
        QTest::keyClick(w.grid->InplaceEditor(), Qt::Key_Tab);
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.grid->SelectedIndex(), 2);
        QCOMPARE(w.data.FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("Delta"));

        QTest::keyClicks(w.grid, QStringLiteral("12,5"));
        QTest::keyClick(w.grid->InplaceEditor(), Qt::Key_Down);
        QCOMPARE(w.data.RecNo(), 1);
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QCOMPARE(w.data.valueAt(0, 2).toDouble(), 12.5);
    }

    // A menu chosen from the keyboard borrows the focus: the cell editor
    // stays open with what was typed; leaving the menu bar for another
    // control stores the text as any other focus move does.
    void menuBarBorrowsTheFocusFromTheCellEditor()
    {
        GridWindow w;
        auto *menuBar = new QMenuBar(&w.window);
        menuBar->addMenu(QStringLiteral("&Manutenção"));
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(1);
        QTest::keyClicks(w.grid, QStringLiteral("Delta"));
        QLineEdit *editor = w.grid->InplaceEditor();
        QVERIFY(editor);
        menuBar->setFocus(Qt::MenuBarFocusReason);
        QVERIFY(w.grid->EditorMode());
        editor->setFocus(Qt::MenuBarFocusReason);   // as the menu bar gives it back
        QCOMPARE(w.grid->InplaceEditor(), editor);

        menuBar->setFocus(Qt::MenuBarFocusReason);
        w.after->setFocus(Qt::MouseFocusReason);
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.data.FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("Delta"));
    }

    // A refused date keeps the entry as typed, with the focus on it, and is
    // told once: whether the cell editor was opened by typing, F2 or a
    // click, and whether the message box takes the focus away or not.
    void refusedDateKeepsTheTypedEntry_data()
    {
        QTest::addColumn<QString>("opening");
        QTest::addColumn<bool>("realBox");
        for (const char *opening : {"typing", "F2", "click"}) {
            QTest::addRow("%s, recorded message", opening) << opening << false;
            QTest::addRow("%s, message box", opening) << opening << true;
        }
    }

    void refusedDateKeepsTheTypedEntry()
    {
        QFETCH(QString, opening);
        QFETCH(bool, realBox);
        DateGridWindow w;
        std::optional<BoxedInteraction> boxes;
        if (realBox)
            boxes.emplace();
        ScriptedInteraction &script = realBox ? *boxes : *m_script.operator->();
        QVERIFY(widgetfixture::showActive(w.window));
        w.grid->setFocus();
        const QDateTime today = w.data.FieldByName(QStringLiteral("DATA"))->AsDateTime();
        if (opening == QLatin1String("F2")) {
            QTest::keyClick(w.grid, Qt::Key_F2);
        } else if (opening == QLatin1String("click")) {
            const QRect cell = w.grid->visualRect(w.grid->currentIndex());
            QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTRY_VERIFY(w.grid->EditorMode());
        }
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("01011899"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        // The window system gives the activation back, as a desktop does.
        QVERIFY(widgetfixture::showActive(w.window));
        QCoreApplication::processEvents();
        QCOMPARE(script.errors(), QStringList{QStringLiteral("'01/01/1899' não é uma data válida.")});
        QVERIFY(w.grid->InplaceEditor());
        QCOMPARE(w.grid->InplaceEditor()->text(), QStringLiteral("01/01/1899"));
        QTRY_COMPARE(QApplication::focusWidget(), w.grid->InplaceEditor());
        QCOMPARE(w.data.FieldByName(QStringLiteral("DATA"))->AsDateTime(), today);
    }

    void readOnlyColumnsAndFieldsTakeNoTyping()
    {
        GridWindow w;
        QVERIFY(w.show());
        w.grid->Column(0).readOnly = true;
        QTest::keyClicks(w.grid, QStringLiteral("9"));
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.data.State(), DataSetState::Browse);

        w.grid->Column(0).readOnly = false;
        w.data.FieldByName(QStringLiteral("CODIGO"))->SetReadOnly(true);
        QTest::keyClicks(w.grid, QStringLiteral("9"));
        QVERIFY(!w.grid->EditorMode());

        w.data.FieldByName(QStringLiteral("CODIGO"))->SetReadOnly(false);
        QTest::keyClicks(w.grid, QStringLiteral("9"));
        QVERIFY(w.grid->EditorMode());
    }

    // Key press handlers see typed characters in the grid and in the cell
    // editor; discarded ones do nothing, replaced ones are typed instead.
    void keyPressDiscardsOrReplaces()
    {
        GridWindow w;
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(1);
        QString seen;
        w.grid->OnKeyPress = [&](TDBGrid &, QChar &key) {
            seen += key;
            if (key == QLatin1Char('x'))
                key = QChar();
            else
                key = key.toUpper();
        };
        QTest::keyClick(w.grid, Qt::Key_X);
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QTest::keyClicks(w.grid, QStringLiteral("axb"));
        QCOMPARE(w.grid->InplaceEditor()->text(), QStringLiteral("AB"));
        QCOMPARE(seen, QStringLiteral("xaxb"));
    }

    // A swallowed key does nothing: here Insert would add a row.
    void keyDownSwallows()
    {
        GridWindow w;
        QVERIFY(w.show());
        int keys = 0;
        w.grid->OnKeyDown = [&](TDBGrid &, int &key, Qt::KeyboardModifiers) {
            ++keys;
            if (key == Qt::Key_Insert)
                key = 0;
        };
        QTest::keyClick(w.grid, Qt::Key_Insert);
        QCOMPARE(w.data.RecordCount(), 3);
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->SelectedIndex(), 1);
        QCOMPARE(keys, 2);

        w.grid->OnKeyDown = nullptr;
        QTest::keyClick(w.grid, Qt::Key_Insert);
        QCOMPARE(w.data.State(), DataSetState::Insert);
        QTest::keyClick(w.grid, Qt::Key_Escape);
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QCOMPARE(w.data.RecordCount(), 3);
    }

    // A column exit handler that ends the operation keeps the column,
    // including the column it chose itself.
    void colExitAbortKeepsTheColumn()
    {
        GridWindow w;
        QVERIFY(w.show());
        bool refuse = true;
        QList<int> exits;
        w.grid->OnColExit = [&](TDBGrid &grid) {
            exits << grid.SelectedIndex();
            if (refuse && grid.SelectedIndex() == 1) {
                grid.SetSelectedIndex(1);
                MensErro(QStringLiteral("Nome inválido."));
            }
        };
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->SelectedIndex(), 1);
        QTest::keyClick(w.grid, Qt::Key_Tab);
        QCOMPARE(w.grid->SelectedIndex(), 1);
        QCOMPARE(w.grid->currentIndex().column(), 1);
        QCOMPARE(m_script->errors(), QStringList{QStringLiteral("Nome inválido.")});
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {},
                          w.grid->visualRect(w.grid->Model()->index(2, 2)).center());
        QCOMPARE(w.grid->SelectedIndex(), 1);
        QCOMPARE(w.data.RecNo(), 0);
        refuse = false;
        w.grid->SetSelectedIndex(2);
        QCOMPARE(w.grid->SelectedIndex(), 2);
        QCOMPARE(exits, QList<int>({0, 1, 1, 1}));
    }

    // The column exit sees the value typed into the cell it leaves.
    void colExitSeesTheTypedValue()
    {
        GridWindow w;
        QVERIFY(w.show());
        QString seen;
        w.grid->OnColExit = [&](TDBGrid &grid) { seen = grid.SelectedField()->AsString(); };
        QTest::keyClicks(w.grid, QStringLiteral("77"));
        QTest::keyClick(w.grid->InplaceEditor(), Qt::Key_Tab);
        QCOMPARE(seen, QStringLiteral("77"));
    }

    // A post's checks put the user on the entry they refuse: the column
    // left is not checked on the way, so only the post's message shows.
    void postChecksMoveWithoutColumnExit()
    {
        GridWindow w;
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(1);
        int exits = 0;
        w.grid->OnColExit = [&](TDBGrid &) {
            ++exits;
            MensErro(QStringLiteral("Nome não cadastrado."));
        };
        w.data.BeforePost = [&](ClientDataSet &) {
            w.grid->SetSelectedIndex(0);
            MensErro(QStringLiteral("Código deve ser informado."));
        };
        QTest::keyClicks(w.grid, QStringLiteral("Delta"));
        QVERIFY_THROWS_EXCEPTION(Abort, w.data.Post());
        QCOMPARE(m_script->errors(), QStringList{QStringLiteral("Código deve ser informado.")});
        QCOMPARE(exits, 0);
        QCOMPARE(w.grid->SelectedIndex(), 0);
        QCOMPARE(w.data.State(), DataSetState::Edit);
        QCOMPARE(w.data.FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("Delta"));
    }

    // A refused post keeps the row: the view stays on it.
    void refusedPostKeepsTheRow()
    {
        GridWindow w;
        w.data.BeforePost = [](ClientDataSet &) { MensErro(QStringLiteral("Peso deve ser informado.")); };
        QVERIFY(w.show());
        QTest::keyClicks(w.grid, QStringLiteral("5"));
        QTest::keyClick(w.grid->InplaceEditor(), Qt::Key_Down);
        QCOMPARE(w.data.RecNo(), 0);
        QCOMPARE(w.grid->currentIndex().row(), 0);
        QCOMPARE(w.data.State(), DataSetState::Edit);
        QCOMPARE(m_script->errors(), QStringList{QStringLiteral("Peso deve ser informado.")});
    }

    // A post from outside the grid (a toolbar command) takes the text still
    // in the cell editor, or stops when the field refuses it; a cancel from
    // outside drops the text.
    // A cancelled new row takes the open cell editor's text with it, whether
    // the editor still has the focus or a modal box has just taken it away:
    // the stored rows are untouched and nothing is left to send.
    void cancelledInsertWritesNoRow_data()
    {
        QTest::addColumn<bool>("focusElsewhere");
        QTest::newRow("editor focused") << false;
        QTest::newRow("focus in another window") << true;
    }

    void cancelledInsertWritesNoRow()
    {
        QFETCH(bool, focusElsewhere);
        GridWindow w;
        w.data.SetLogChanges(true);
        QVERIFY(w.show());
        QTest::keyClick(w.grid, Qt::Key_Insert);
        QCOMPARE(w.data.State(), DataSetState::Insert);
        QTest::keyClicks(w.grid, QStringLiteral("0009"));
        QVERIFY(w.grid->EditorMode());
        QWidget box;
        if (focusElsewhere)
            QVERIFY(widgetfixture::showActive(box));
        w.data.Cancel();
        box.close();
        QVERIFY(widgetfixture::showActive(w.window));
        QCoreApplication::processEvents();
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.data.RecordCount(), 3);
        QCOMPARE(w.grid->Model()->rowCount(), 3);
        const QStringList codes{w.data.valueAt(0, 0).toString(), w.data.valueAt(1, 0).toString(),
                                w.data.valueAt(2, 0).toString()};
        QCOMPARE(codes, (QStringList{QStringLiteral("0001"), QStringLiteral("0002"), QStringLiteral("0003")}));
        QCOMPARE(w.data.ChangeCount(), 0);
    }

    void postAndCancelFromOutsideSeeTheCellEditor()
    {
        GridWindow w;
        w.data.FieldByName(QStringLiteral("NOME"))->OnSetText = [](Field &field, const QString &text) {
            if (text == QLatin1String("X"))
                MensErro(QStringLiteral("Nome inválido."));
            field.SetAsString(text);
        };
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(2);
        QTest::keyClicks(w.grid, QStringLiteral("7,5"));
        QVERIFY(w.grid->EditorMode());
        w.data.Post();
        QVERIFY(!w.grid->EditorMode());
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QCOMPARE(w.data.valueAt(0, 2).toDouble(), 7.5);

        w.grid->SetSelectedIndex(1);
        QTest::keyClicks(w.grid, QStringLiteral("X"));
        QVERIFY_THROWS_EXCEPTION(Abort, w.data.Post());
        QCOMPARE(w.data.State(), DataSetState::Edit);
        QCOMPARE(m_script->errors(), QStringList{QStringLiteral("Nome inválido.")});

        w.data.Cancel();
        QVERIFY(!w.grid->EditorMode());
        QTest::keyClick(w.grid, Qt::Key_Down);
        QCOMPARE(w.data.RecNo(), 1);
        QCOMPARE(w.data.State(), DataSetState::Browse);
        QCOMPARE(w.data.valueAt(0, 1).toString(), QStringLiteral("Alfa"));
    }

    void deleteAsksFirst()
    {
        GridWindow w;
        QVERIFY(w.show());
        m_script->answerQuestion(false);
        QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.data.RecordCount(), 3);
        m_script->answerQuestion(true);
        QTest::keyClick(w.grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(w.data.RecordCount(), 2);
        QCOMPARE(m_script->messages(),
                 QStringList({QStringLiteral("Confirma a exclusão do registro?"), QStringLiteral("Confirma a exclusão do registro?")}));
    }

    void ellipsisButtonRunsTheHandler()
    {
        GridWindow w;
        QVERIFY(w.show());
        int clicks = 0;
        w.grid->OnEditButtonClick = [&](TDBGrid &grid) {
            ++clicks;
            QVERIFY(!grid.EditorMode());
        };
        QTest::keyClick(w.grid, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(clicks, 0);
        w.grid->Column(0).buttonStyle = TDBGrid::TColumn::Ellipsis;
        QTest::keyClicks(w.grid, QStringLiteral("1"));
        QTest::keyClick(w.grid->InplaceEditor(), Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(clicks, 1);
        // The button is on the window's accessibility tree, by its hint, and
        // a click on it leaves the focus in the grid.
        w.grid->viewport()->repaint();
        QAccessibleInterface *button = accessibleButton(QAccessible::queryAccessibleInterface(&w.window));
        QVERIFY(button);
        QCOMPARE(button->text(QAccessible::Description), QStringLiteral("Código"));
        auto *widget = qobject_cast<QWidget *>(button->object());
        const QRect cell = w.grid->visualRect(w.grid->currentIndex());
        QVERIFY(QRect(w.grid->viewport()->mapTo(&w.window, cell.topLeft()), cell.size()).contains(widget->geometry()));
        QTest::mouseClick(widget, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QVERIFY(w.grid->hasFocus());
        // Another column has no button.
        QTest::keyClick(w.grid, Qt::Key_Tab);
        w.grid->viewport()->repaint();
        QVERIFY(!widget->isVisible());
        QVERIFY(!accessibleButton(QAccessible::queryAccessibleInterface(&w.window)));
    }

    void pickListEditsThroughItsItems()
    {
        GridWindow w;
        w.grid->Column(1).buttonStyle = TDBGrid::TColumn::PickList;
        w.grid->Column(1).pickList = {QStringLiteral("Aberto"), QStringLiteral("Fechado")};
        QVERIFY(w.show());
        w.grid->SetSelectedIndex(1);
        w.grid->SetEditorMode(true);
        QVERIFY(w.grid->EditorMode());
        QVERIFY(!w.grid->InplaceEditor());
        auto *combo = w.grid->findChild<QComboBox *>();
        QVERIFY(combo);
        combo->setCurrentIndex(1);
        w.grid->SetEditorMode(false);
        QCOMPARE(w.data.FieldByName(QStringLiteral("NOME"))->AsString(), QStringLiteral("Fechado"));
        QCOMPARE(w.data.State(), DataSetState::Edit);
    }

    // The drawing handler runs after the default drawing, with the drawn
    // row's values at hand.
    void drawingSeesTheDrawnRow()
    {
        GridWindow w;
        QStringList drawn;
        w.grid->OnDrawColumnCell = [&](TDBGrid &grid, QPainter &, const QRect &, Field *field, int column,
                                       bool, bool) {
            if (column == 0)
                drawn << field->FieldName() + QLatin1Char('=') + grid.DrawingValue(QStringLiteral("NOME")).toString();
        };
        QVERIFY(w.show());
        w.grid->viewport()->repaint();
        QVERIFY(drawn.contains(QStringLiteral("CODIGO=Gama")));
        QVERIFY(drawn.contains(QStringLiteral("CODIGO=Alfa")));
    }

    // A cell read aloud gives the text the model's hook says is drawn, or
    // its display text when the hook gives none.
    void screenReadersReadTheDrawnText_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::newRow("code drawn as its name") << 1 << 0 << "Beta";
        QTest::newRow("other column") << 1 << 2 << "2,000";
        QTest::newRow("empty drawn text") << 2 << 0 << "0003";
    }

    void screenReadersReadTheDrawnText()
    {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, name);
        GridWindow w;
        w.grid->Model()->AccessibleText = [&](int dataRow, int dataColumn) {
            return dataColumn == 0 && dataRow < 2 ? w.data.valueAt(dataRow, 1).toString() : QString();
        };
        QVERIFY(w.show());
        QAccessibleInterface *grid = QAccessible::queryAccessibleInterface(w.grid);
        QVERIFY(grid && grid->tableInterface());
        QAccessibleInterface *cell = grid->tableInterface()->cellAt(row, column);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), name);
    }

    // Enter and exit follow the focus; the cell editor is part of the grid,
    // and a failing exit keeps the focus in the grid.
    void enterAndExitFollowTheFocus()
    {
        GridWindow w;
        QStringList log;
        bool refuse = true;
        w.grid->OnEnter = [&](TDBGrid &) { log << QStringLiteral("enter"); };
        w.grid->OnExit = [&](TDBGrid &grid) {
            log << QStringLiteral("exit ") + grid.DataSet()->FieldByName(QStringLiteral("CODIGO"))->AsString();
            if (refuse)
                MensErro(QStringLiteral("Registro incompleto."));
        };
        QVERIFY(w.show());
        QTest::keyClicks(w.grid, QStringLiteral("55"));
        w.after->setFocus();
        QVERIFY(w.grid->hasFocus());
        refuse = false;
        w.after->setFocus();
        QVERIFY(w.after->hasFocus());
        QCOMPARE(log, QStringList({QStringLiteral("enter"), QStringLiteral("exit 55"), QStringLiteral("exit 55")}));
    }

    // Panels: exits innermost first, then enters outermost first; a failing
    // panel exit keeps the focus inside and runs no enter handler.
    void panelsOrderAndCancel()
    {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *outer = new TPanel(&window);
        auto *inner = new TPanel(outer);
        auto *code = new QLineEdit(inner);
        code->setAccessibleName(QStringLiteral("Código"));
        (new QVBoxLayout(inner))->addWidget(code);
        (new QVBoxLayout(outer))->addWidget(inner);
        auto *other = new TPanel(&window);
        auto *name = new QLineEdit(other);
        name->setAccessibleName(QStringLiteral("Nome"));
        (new QVBoxLayout(other))->addWidget(name);
        layout->addWidget(outer);
        layout->addWidget(other);

        QStringList log;
        bool refuse = false;
        outer->OnEnter = [&] { log << QStringLiteral("outer enter"); };
        inner->OnEnter = [&] { log << QStringLiteral("inner enter"); };
        inner->OnExit = [&] { log << QStringLiteral("inner exit"); };
        outer->OnExit = [&] {
            log << QStringLiteral("outer exit");
            if (refuse)
                MensErro(QStringLiteral("Filial não cadastrada."));
        };
        other->OnEnter = [&] { log << QStringLiteral("other enter"); };
        QVERIFY(widgetfixture::showActive(window));
        code->setFocus();
        name->setFocus();
        QCOMPARE(log, QStringList({QStringLiteral("outer enter"), QStringLiteral("inner enter"),
                                   QStringLiteral("inner exit"), QStringLiteral("outer exit"),
                                   QStringLiteral("other enter")}));
        code->setFocus();
        log.clear();
        refuse = true;
        name->setFocus();
        QVERIFY(code->hasFocus());
        QCOMPARE(log, QStringList({QStringLiteral("inner exit"), QStringLiteral("outer exit")}));
        QCOMPARE(m_script->errors(), QStringList{QStringLiteral("Filial não cadastrada.")});
    }

private:
    widgetfixture::ScriptPerTest m_script;
};

QTEST_MAIN(TestDBGrid)
#include "tst_dbgrid.moc"
