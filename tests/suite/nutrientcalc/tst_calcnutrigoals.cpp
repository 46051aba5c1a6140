// The goals of the nutrient calculation "VQN19040", opened from the editor
// over the followed stay (see fixturestay.h): the day's adequacy, the goals
// typed on "Metas" and stored with Gravar, the stay on "Evolução" and its
// print.

#include "calcnutritestcase.h"

#include "report/reporttestsupport.h"
#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixturestay.h"
#include "lib/sqlsession.h"
#include "nutrientcalc/frmcalcnutri.h"
#include "screens/screenloader.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "widgets/widgetutils.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLabel>
#include <QLineSeries>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Fixture;

class TestCalcNutriGoals : public CalcNutriTestCase
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    // The calculation over the followed stay, on its record of `day`.
    void openScreen(const QDate &day, const std::function<void(TfrmCalcNutri &)> &act)
    {
        {
            SqlSession session(DatabaseConfig::parse(m_harness->server().database()), QStringLiteral("stay"));
            addFollowedStay(session);
        }
        CalcNutriTestCase::openScreen(FollowedPatient, day, act);
    }

    static QString adequacy(TfrmCalcNutri &screen, const char *field)
    {
        return screen.grbAdequacao->findChild<QLabel *>(QStringLiteral("lblAdequacao") + QLatin1String(field))->text();
    }

    static int pageNamed(QTabWidget *pages, const QString &text)
    {
        for (int page = 0; page < pages->count(); ++page) {
            if (pages->tabText(page).remove(QLatin1Char('&')) == text)
                return page;
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        RegisterScreen(QStringLiteral("VQN19040"), CriaCalcNutri);
    }
    void cleanupTestCase() { UnregisterScreen(QStringLiteral("VQN19040")); }

    // The day's goal comes from the latest earlier weight; a goal typed on
    // "Metas" and stored with Gravar changes it at once.
    void goalTypedIsStoredAndChangesTheDay()
    {
        openScreen(QDate::currentDate(), [](TfrmCalcNutri &screen) {
            QCOMPARE(adequacy(screen, "QTKCALMETA"), QStringLiteral("1.250,0"));
            QCOMPARE(adequacy(screen, "QTKCALINFU"), QStringLiteral("480,0"));
            QCOMPARE(adequacy(screen, "PCKCALINFU"), QStringLiteral("38,4"));
            QCOMPARE(adequacy(screen, "QTPROTMETA"), QStringLiteral("65,0"));
            QCOMPARE(screen.lblMetaDia->text(), QStringLiteral("Meta do dia para o peso de 50,0 kg."));

            screen.pgcCalculo->setCurrentIndex(pageNamed(screen.pgcCalculo, QStringLiteral("Metas")));
            QCOMPARE(screen.dbgMetas->Model()->index(0, IndiceCol(*screen.dbgMetas, QStringLiteral("QTKCALKGPAD")))
                         .data(Qt::DisplayRole).toString(),
                     QStringLiteral("25,0"));
            EditorHarness::focus(screen.dbgMetas);
            EditorHarness::typeCell(*screen.dbgMetas, QStringLiteral("QTKCALKG"), QStringLiteral("20"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
            QCOMPARE(screen.cdsMetas->FieldByName(QStringLiteral("QTKCALKG"))->AsFloat(), 20.0);
            QCOMPARE(adequacy(screen, "QTKCALMETA"), QStringLiteral("1.000,0"));
            QCOMPARE(adequacy(screen, "PCKCALINFU"), QStringLiteral("48,0"));
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }

    // Before any weight the goal is unknown and the screen says so.
    void aDayWithoutAnyWeightHasNoGoal()
    {
        openScreen(followedAdmission().date(), [](TfrmCalcNutri &screen) {
            QCOMPARE(screen.Day(), followedAdmission().date());
            QCOMPARE(adequacy(screen, "QTKCALMETA"), QString());
            QCOMPARE(adequacy(screen, "QTKCALINFU"), QStringLiteral("600,0"));
            QCOMPARE(screen.lblMetaDia->text(),
                     QStringLiteral("Meta desconhecida: não há peso registrado na internação até este dia."));
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }

    // "Evolução": a row per day, the goal as a line over the bars of
    // prescribed and infused energy, and its print.
    void theStayDayByDayAndItsPrint()
    {
        if (!pdftotextAvailable())
            QSKIP("pdftotext (poppler-utils) is not installed");
        const QString pdf = m_dir.filePath(QStringLiteral("evolucao.pdf"));
        openScreen(QDate::currentDate(), [this, pdf](TfrmCalcNutri &screen) {
            screen.pgcCalculo->setCurrentIndex(pageNamed(screen.pgcCalculo, QStringLiteral("Evolução")));
            QCOMPARE(screen.cdsEvolucao->RecordCount(), 5);
            const QList<QAbstractSeries *> series = screen.chvEvolucao->chart()->series();
            QCOMPARE(series.size(), 2);
            const auto *bars = qobject_cast<QBarSeries *>(series.at(0));
            QVERIFY(bars);
            QCOMPARE(bars->barSets().at(1)->at(3), 1160.0);
            const auto *goal = qobject_cast<QLineSeries *>(series.at(1));
            QVERIFY(goal);
            // The first day has no goal: the line starts on the second.
            QCOMPARE(goal->count(), 4);
            QCOMPARE(goal->at(0), QPointF(1, 1500));
            script().answerDialog([pdf](QDialog &dialog) { return printToPdf(dialog, pdf); });
            QTest::mouseClick(screen.sbtImprimirEvolucao, Qt::LeftButton);
        });
        const QString text = pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("Evolução Nutricional da Internação")), qPrintable(text));
        QVERIFY2(text.contains(FollowedName), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("-2.660")), qPrintable(text));
    }
};

QTEST_MAIN(TestCalcNutriGoals)
#include "tst_calcnutrigoals.moc"
