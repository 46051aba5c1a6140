// The nutrient calculation screen "VQN19040", opened from the editor's tool
// bar as a user opens it, over the fixture's day of the adult with records
// (item 0001: 250 mL prescribed, 200 infused, interrupted 210 minutes; item
// 0002: 300 mL, all infused).

#include "calcnutritestcase.h"

#include "report/reporttestsupport.h"
#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "net/tnetconnection.h"
#include "fixturedb.h"
#include "nutrientcalc/frmcalcnutri.h"
#include "screens/screenloader.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "widgets/widgetutils.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QAbstractButton>
#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QTabWidget>
#include <QValueAxis>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <cmath>
#include <functional>

class TestCalcNutriScreen : public CalcNutriTestCase
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // The calculation over yesterday's record of the adult.
    void openScreen(const std::function<void(TfrmCalcNutri &)> &act)
    {
        CalcNutriTestCase::openScreen(Fixture::AdultWithRecords, Fixture::recordDay(), act);
    }

    static QString shown(TDBGrid *grid, int row, const QString &field)
    {
        return grid->Model()->index(row, IndiceCol(*grid, field)).data(Qt::DisplayRole).toString();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        RegisterScreen(QStringLiteral("VQN19040"), CriaCalcNutri);
    }

    void cleanupTestCase() { UnregisterScreen(QStringLiteral("VQN19040")); }

    // What the nutritionist sees: the items with their figures, the day's
    // totals, the chart of prescribed against infused, the interruption.
    void theDayIsShown()
    {
        openScreen([](TfrmCalcNutri &screen) {
            QCOMPARE(screen.Patient(), Fixture::AdultWithRecords);
            QCOMPARE(screen.Day(), Fixture::recordDay());
            QVERIFY(screen.lblPaciente->text().contains(QStringLiteral("Maria D'Ávila Adulta")));
            QAbstractItemModelTester tester(screen.dbgItens->Model());
            QCOMPARE(screen.cdsItens->RecordCount(), 2);
            QCOMPARE(shown(screen.dbgItens, 0, QStringLiteral("HRCONF")), QStringLiteral("08:30"));
            QCOMPARE(shown(screen.dbgItens, 0, QStringLiteral("PCINFUNDIDO")), QStringLiteral("80,0"));
            QCOMPARE(shown(screen.dbgItens, 0, QStringLiteral("QTKCALINFU")), QStringLiteral("240,0"));
            QCOMPARE(shown(screen.dbgItens, 1, QStringLiteral("QTPROTINFU")), QStringLiteral("9,0"));
            // The day's totals: every figure whole in sight at the default size.
            const QList<QLabel *> totals = screen.grbTotais->findChildren<QLabel *>(
                QRegularExpression(QStringLiteral("^lblTotal")));
            QCOMPARE(totals.size(), 9);
            const QRect window = screen.rect();
            for (const QLabel *value : totals) {
                QVERIFY2(value->isVisible() && !value->text().isEmpty(), qPrintable(value->objectName()));
                QVERIFY2(window.contains(QRect(value->mapTo(&screen, QPoint(0, 0)), value->size())),
                         qPrintable(value->objectName()));
                QVERIFY2(value->width() >= value->sizeHint().width(), qPrintable(value->objectName()));
            }
            const auto total = [&screen](const char *field) {
                return screen.grbTotais->findChild<QLabel *>(QStringLiteral("lblTotal") + QLatin1String(field))->text();
            };
            QCOMPARE(total("QTPRATCONF"), QStringLiteral("550,000"));
            QCOMPARE(total("PCINFUNDIDO"), QStringLiteral("90,9"));
            QCOMPARE(total("QTMININTERR"), QStringLiteral("210"));
            QCOMPARE(shown(screen.dbgInterrupcoes, 0, QStringLiteral("NMTPOCORINFU")),
                     QStringLiteral("Obstrução da sonda"));

            const auto *series = qobject_cast<QBarSeries *>(screen.chvVolumes->chart()->series().value(0));
            QVERIFY(series);
            QCOMPARE(series->barSets().size(), 2);
            QCOMPARE(series->barSets().at(0)->label(), QStringLiteral("Prescrito"));
            QCOMPARE(series->barSets().at(0)->at(1), 300.0);
            QCOMPARE(series->barSets().at(1)->at(0), 200.0);
            // The value axis from zero in round steps past the tallest bar.
            const auto *axis = qobject_cast<QValueAxis *>(screen.chvVolumes->chart()->axes(Qt::Vertical).value(0));
            QVERIFY(axis);
            QCOMPARE(axis->min(), 0.0);
            QVERIFY(axis->max() >= 300.0);
            const double step = (axis->max() - axis->min()) / (axis->tickCount() - 1);
            const double scale = std::pow(10.0, std::floor(std::log10(step)));
            QVERIFY2(QList<double>({1, 2, 2.5, 5, 10}).contains(step / scale), qPrintable(QString::number(step)));
            QVERIFY(screen.chvVolumes->accessibleDescription().startsWith(
                QStringLiteral("item 0001: prescrito 250,000 mL, infundido 200,000 mL; item 0002")));
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }

    // Types over a cell of a table page as a user does.
    static void typeOver(QTabWidget *pages, int page, TDBGrid *grid, const QString &field, const QString &text)
    {
        pages->setCurrentIndex(page);
        EditorHarness::focus(grid);
        grid->SetSelectedIndex(IndiceCol(*grid, field));
        QTest::keyClick(grid, Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }

    // A composition typed in the formulation table and a hang time typed in
    // its table are stored with Gravar and reach the figures at once.
    void compositionAndHangTimeTypedAreStored()
    {
        openScreen([](TfrmCalcNutri &screen) {
            QCOMPARE(screen.cdsComposicao->FieldByName(QStringLiteral("CDFORMULA"))->AsString(), Fixture::Product);
            typeOver(screen.pgcCalculo, 3, screen.dbgComposicao, QStringLiteral("QTKCALML"), QStringLiteral("1,5"));
            QCOMPARE(shown(screen.dbgParaHang, 0, QStringLiteral("IDPREPCONF")), QStringLiteral("Aberto"));
            QCOMPARE(shown(screen.dbgParaHang, 0, QStringLiteral("HRMAXHANG")), QStringLiteral("08:00"));
            typeOver(screen.pgcCalculo, 4, screen.dbgParaHang, QStringLiteral("HRMAXHANG"), QStringLiteral("0600"));
            QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
            QCOMPARE(screen.cdsComposicao->ChangeCount() + screen.cdsParaHang->ChangeCount(), 0);
            QCOMPARE(screen.cdsTotais->FieldByName(QStringLiteral("QTKCALPRESC"))->AsFloat(),
                     250 * 1.5 + 300 * Fixture::DishKcalPerMl);
            QCOMPARE(shown(screen.dbgParaHang, 0, QStringLiteral("HRMAXHANG")), QStringLiteral("06:00"));
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }

    // Every control a user can reach on every page reads a name; the tool
    // buttons read their hints; F5 calculates again.
    void everyControlIsNamedAndF5CalculatesAgain()
    {
        openScreen([](TfrmCalcNutri &screen) {
            const auto name = [](QWidget *control) {
                QAccessibleInterface *face = QAccessible::queryAccessibleInterface(control);
                return face ? face->text(QAccessible::Name).trimmed() : QString();
            };
            QStringList unnamed;
            for (int page = 0; page < screen.pgcCalculo->count(); ++page) {
                screen.pgcCalculo->setCurrentIndex(page);
                for (QWidget *control : screen.findChildren<QWidget *>()) {
                    const bool reachable =
                        control->focusPolicy() != Qt::NoFocus || qobject_cast<QAbstractButton *>(control);
                    if (control->isVisible() && reachable && name(control).isEmpty())
                        unnamed << QString::fromLatin1(control->metaObject()->className()) + QLatin1Char(' ')
                                       + control->objectName() + QLatin1String(" in ")
                                       + control->parentWidget()->objectName();
                }
            }
            QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1String(", "))));
            QCOMPARE(name(screen.sbtImprimir), QStringLiteral("Imprimir o cálculo de nutrientes"));
            QCOMPARE(name(screen.sbtConfirma), QStringLiteral("Gravar a composição das formulações, os tempos máximos e as metas"));

            QStringList calls;
            QObject::connect(screen.netCalcNutri, &TNetConnection::calling,
                             [&calls](const QString &method) { calls << method; });
            EditorHarness::focus(screen.dbgItens);
            QTest::keyClick(screen.dbgItens, Qt::Key_F5);
            QCOMPARE(calls, (QStringList{QStringLiteral("getCalcNutri"), QStringLiteral("getComposicao"),
                                         QStringLiteral("getParaHang"), QStringLiteral("getMetaNutri"),
                                         QStringLiteral("getEvolucaoNutri")}));
        });
    }

    // Imprimir prints the report "VQN19040" with what the screen shows.
    void printingShowsTheItemsAndTotals()
    {
        if (!pdftotextAvailable())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString pdf = m_dir.filePath(QStringLiteral("calculo.pdf"));
        openScreen([this, pdf](TfrmCalcNutri &screen) {
            script().answerDialog([pdf](QDialog &dialog) { return printToPdf(dialog, pdf); });
            QTest::mouseClick(screen.sbtImprimir, Qt::LeftButton);
        });
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Cálculo de Nutrientes")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Interrupção")) && text.contains(QStringLiteral("210 min")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Total do dia: prescrito 550,000 mL · infundido 500,000 mL (90,9%)")),
                 qPrintable(text));
    }
};

QTEST_MAIN(TestCalcNutriScreen)
#include "tst_calcnutriscreen.moc"
