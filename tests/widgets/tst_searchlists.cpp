#include "widgets/btnpesquisa.h"
#include "data/codelist.h"
#include "widgets/datasetmodel.h"
#include "widgets/edit.h"
#include "widgets/listdialogs.h"
#include "widgets/marklistmodel.h"
#include "scriptedinteraction.h"
#include "widgets/searchlists.h"
#include "widgetfixture.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <QTest>


namespace {

const QString Title = QStringLiteral("Ala|Não há ala cadastrada.");

void fill(ClientDataSet &data)
{
    widgetfixture::fillCodes(data, {QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gama")});
}

} // namespace

class TestSearchLists : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { widgetfixture::usePortuguese(); }
    void init() { m_script.begin(); }
    void cleanup() { m_script.end(); }

    void codeListRoundTrips_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << QStringList() << QString();
        QTest::newRow("one") << QStringList{QStringLiteral("0001")} << QStringLiteral("'0001'");
        QTest::newRow("two") << QStringList{QStringLiteral("0001"), QStringLiteral("12")}
                             << QStringLiteral("'0001','12'");
        QTest::newRow("quote inside") << QStringList{QStringLiteral("A'B")} << QStringLiteral("'A''B'");
        QTest::newRow("comma and blanks inside") << QStringList{QStringLiteral(" a,b ")}
                                                 << QStringLiteral("' a,b '");
    }

    void codeListRoundTrips()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, text);
        QCOMPARE(BuildCodeList(codes), text);
        QCOMPARE(ParseCodeList(text), codes);
    }

    void parseToleratesBlanksAndStopsAtFaults()
    {
        QCOMPARE(ParseCodeList(QStringLiteral(" '1' , '2' ")), QStringList({QStringLiteral("1"), QStringLiteral("2")}));
        QCOMPARE(ParseCodeList(QStringLiteral("'1',2")), QStringList{QStringLiteral("1")});
        QCOMPARE(ParseCodeList(QStringLiteral("'1','open")), QStringList{QStringLiteral("1")});
    }

    void emptyListShowsItsText()
    {
        ClientDataSet data;
        widgetfixture::fillCodes(data, {});
        QVERIFY(!Pesquisar(data, Title));
        QCOMPARE(PesquisaLista(data, QStringLiteral("CODIGO"), Title, false, QStringLiteral("'9'")),
                 QStringLiteral("'9'"));
        QCOMPARE(m_script->messages(), QStringList(2, QStringLiteral("Não há ala cadastrada.")));
        QCOMPARE(m_script->events().first().kind, QStringLiteral("information"));
    }

    void pickLeavesTheDataSetOnTheRow()
    {
        ClientDataSet data;
        fill(data);
        m_script->answerPick(QStringLiteral("NOME"), QStringLiteral("gama"));
        QVERIFY(Pesquisar(data, Title));
        QCOMPARE(data.RecNo(), 2);
        QCOMPARE(m_script->events().first().text, QStringLiteral("Ala"));
    }

    void cancelRestoresThePosition()
    {
        ClientDataSet data;
        fill(data);
        data.SetRecNo(1);
        m_script->answerPickCancel();
        QVERIFY(!Pesquisar(data, Title));
        QCOMPARE(data.RecNo(), 1);
    }

    void markingListBuildsTheCodeText()
    {
        ClientDataSet data;
        fill(data);
        data.SetRecNo(2);
        m_script->answerMarkList(QStringList{QStringLiteral("0001"), QStringLiteral("0003")});
        QCOMPARE(PesquisaLista(data, QStringLiteral("CODIGO"), Title, false, QStringLiteral("'0002'")),
                 QStringLiteral("'0001','0003'"));
        QCOMPARE(m_script->lastMarked(), QStringList{QStringLiteral("0002")});
        QCOMPARE(data.RecNo(), 2);

        m_script->answerMarkList(std::nullopt);
        QCOMPARE(PesquisaLista(data, QStringLiteral("CODIGO"), Title, false, QStringLiteral("'0002'")),
                 QStringLiteral("'0002'"));
        m_script->answerMarkList(QStringList());
        QCOMPARE(PesquisaLista(data, QStringLiteral("CODIGO"), Title, false, QStringLiteral("'0002'")), QString());
    }

    void findLocates()
    {
        ClientDataSet data;
        fill(data);
        m_script->answerFind(QStringLiteral("NOME"), QStringLiteral("BETA"));
        QVERIFY(Procura(data));
        QCOMPARE(data.RecNo(), 1);
        ClientDataSet closed;
        QVERIFY(!Procura(closed));
    }

    // The search button runs its events around the pick, fills nothing by
    // itself, and hands the focus back to its edit.
    void searchButtonRunsAroundThePick()
    {
        ClientDataSet data;
        fill(data);
        TEdit edit;
        TBtnPesquisa button;
        button.SetEdit(&edit);
        button.SetDataSource(&data);
        button.Title = QStringLiteral("Filial");
        button.EmptyText = QStringLiteral("Não há filial cadastrada.");
        QStringList log;
        button.OnBeforePesq = [&](TBtnPesquisa &) { log << QStringLiteral("before"); };
        button.OnAfterPesq = [&](TBtnPesquisa &b) {
            log << QStringLiteral("after ") + b.DataSource()->FieldByName(QStringLiteral("CODIGO"))->AsString();
            edit.SetText(b.DataSource()->FieldByName(QStringLiteral("CODIGO"))->AsString());
        };
        m_script->answerPick(QStringLiteral("CODIGO"), QStringLiteral("0002"));
        button.click();
        m_script->answerPickCancel();
        button.click();
        QCOMPARE(log, QStringList({QStringLiteral("before"), QStringLiteral("after 0002"), QStringLiteral("before")}));
        QCOMPARE(edit.Text(), QStringLiteral("0002"));
        QCOMPARE(button.toolTip(), QStringLiteral("Pesquisar"));
        QCOMPARE(m_script->events().first().text, QStringLiteral("Filial"));
    }

    void pickDialogSearchesAsTyped()
    {
        ClientDataSet data;
        fill(data);
        PickDialog dialog(data, QStringLiteral("Ala"));
        QAbstractItemModelTester tester(dialog.Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QTest::keyClicks(dialog.SearchEdit(), QStringLiteral("ga"));
        QCOMPARE(data.RecNo(), 2);
        QTest::keyClick(dialog.SearchEdit(), Qt::Key_Up);
        QCOMPARE(data.RecNo(), 1);
        QVERIFY(!dialog.Search(QStringLiteral("zz")));
        QCOMPARE(data.RecNo(), 1);
    }

    void markListModelKeepsMarksByKey()
    {
        ClientDataSet data;
        fill(data);
        DataSetModel source;
        source.SetDataSet(&data);
        MarkListModel marks(&source, QStringLiteral("CODIGO"));
        QAbstractItemModelTester tester(&marks, QAbstractItemModelTester::FailureReportingMode::QtTest);
        marks.SetMarked({QStringLiteral("0003"), QStringLiteral("0009")});
        QCOMPARE(marks.index(2, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QVERIFY(marks.setData(marks.index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(marks.Marked(), QStringList({QStringLiteral("0001"), QStringLiteral("0003")}));
        data.SetRecNo(1);
        data.Delete();
        QCOMPARE(marks.Marked(), QStringList({QStringLiteral("0001"), QStringLiteral("0003")}));
        marks.MarkAll(false);
        QVERIFY(marks.Marked().isEmpty());
        marks.MarkAll(true);
        QCOMPARE(marks.Marked().size(), 2);
    }

    void markListFindsByNameAndMarksByKeyboardAndMouse()
    {
        ClientDataSet data;
        widgetfixture::fillCodes(data, {QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gama"),
                                        QStringLiteral("Gamela Sul")});
        MarkListDialog dialog(data, QStringLiteral("CODIGO"), QStringLiteral("Ala"), {QStringLiteral("0001")});
        QAbstractItemModelTester tester(dialog.Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QVERIFY(widgetfixture::showActive(dialog));
        QTableView *table = dialog.Table();
        const auto marked = [&] { return dialog.Marks()->Marked(); };

        // Typing a name (blanks included) finds it; Enter marks it and keeps
        // the list open for the next name.
        QCOMPARE(QApplication::focusWidget(), dialog.SearchEdit());
        QTest::keyClicks(dialog.SearchEdit(), QStringLiteral("gamela s"));
        QCOMPARE(table->currentIndex().row(), 3);
        QTest::keyClick(dialog.SearchEdit(), Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(marked(), QStringList({QStringLiteral("0001"), QStringLiteral("0004")}));

        // In the list: arrows move, Space and Enter mark or unmark, letters
        // start a new search in the box.
        table->setFocus();
        QTest::keyClick(table, Qt::Key_Up);
        QTest::keyClick(table, Qt::Key_Space);
        QCOMPARE(marked(), QStringList({QStringLiteral("0001"), QStringLiteral("0003"), QStringLiteral("0004")}));
        QTest::keyClick(table, Qt::Key_Return);
        QVERIFY(dialog.isVisible());
        QCOMPARE(marked(), QStringList({QStringLiteral("0001"), QStringLiteral("0004")}));
        QTest::keyClick(table, Qt::Key_B);
        QCOMPARE(dialog.SearchEdit()->text(), QStringLiteral("b"));
        QCOMPARE(QApplication::focusWidget(), dialog.SearchEdit());
        QCOMPARE(table->currentIndex().row(), 1);

        // The mouse: a click on a check box, a double click on a name.
        const QModelIndex first = dialog.Marks()->index(0, 0);
        QStyleOptionViewItem option;
        option.initFrom(table->viewport());
        option.rect = table->visualRect(first);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = first.data().toString();
        const QRect box = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, box.center());
        QCOMPARE(marked(), QStringList{QStringLiteral("0004")});
        const QRect name = table->visualRect(dialog.Marks()->index(1, 1));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, name.center());   // the first click
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, name.center());
        QCOMPARE(marked(), QStringList({QStringLiteral("0002"), QStringLiteral("0004")}));
    }

private:
    widgetfixture::ScriptPerTest m_script;
};

QTEST_MAIN(TestSearchLists)
#include "tst_searchlists.moc"
