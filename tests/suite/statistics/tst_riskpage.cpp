// The statistics' page of the inpatients at risk, with the fixture's
// followed stay (see fixturestay.h): the threshold and days typed, the rows
// read, and the double-click that opens the patient's nutrient calculation.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixturestay.h"
#include "lib/sqlsession.h"
#include "screens/screenloader.h"
#include "statistics/frmestatistica.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"

#include <QDialog>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace Fixture;

class TestRiskPage : public EditorTestCase
{
    Q_OBJECT

private:
    void runStatistics(const std::function<void(TfrmEstatistica &)> &act)
    {
        {
            SqlSession session(DatabaseConfig::parse(m_harness->server().database()), QStringLiteral("stay"));
            addFollowedStay(session);
        }
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(BranchAdjust);
        m_harness->choosePatient(AdultWithRecords);
        m_harness->answerScreen([act](QDialog &dialog) { act(static_cast<TfrmEstatistica &>(dialog)); });
        QTest::mouseClick(m_editor->sbtEstatistica, Qt::LeftButton);
    }

    static void typeNumber(QSpinBox *box, const QString &digits)
    {
        EditorHarness::focus(box);
        box->selectAll();
        QTest::keyClicks(box, digits);
    }

    static QStringList patients(TfrmEstatistica &screen)
    {
        QStringList codes;
        for (int row = 0; row < screen.cdsRisco->RecordCount(); ++row)
            codes << screen.cdsRisco->valueAt(row, screen.cdsRisco->FieldByName(QStringLiteral("CDPACIENTE"))->Index())
                         .toString();
        return codes;
    }

private slots:
    void initTestCase() { RegisterScreen(QStringLiteral("VQN18100"), CriaEstatistica); }
    void cleanupTestCase()
    {
        UnregisterScreen(QStringLiteral("VQN18100"));
        UnregisterScreen(QStringLiteral("VQN19040"));
    }

    void thresholdAndDaysChooseThePatients_data()
    {
        QTest::addColumn<QString>("threshold");
        QTest::addColumn<QString>("days");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("opened: 80 % over 3 days") << QString() << QString() << QStringList();
        QTest::newRow("95 % over 3 days") << "95" << QString() << QStringList{FollowedPatient};
        QTest::newRow("80 % on the last day") << QString() << "1" << QStringList{AdultWithRecords, FollowedPatient};
    }
    void thresholdAndDaysChooseThePatients()
    {
        QFETCH(QString, threshold);
        QFETCH(QString, days);
        QFETCH(QStringList, listed);
        runStatistics([&](TfrmEstatistica &screen) {
            screen.pgcEstatistica->setCurrentIndex(2);
            if (!threshold.isEmpty())
                typeNumber(screen.speLimite, threshold);
            if (!days.isEmpty())
                typeNumber(screen.speDias, days);
            if (!threshold.isEmpty() || !days.isEmpty())
                QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
            QCOMPARE(patients(screen), listed);
            QCOMPARE(screen.cdsRisco->FindField(QStringLiteral("DTDIA%1").arg(screen.speDias->value())) != nullptr,
                     true);
        });
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }

    // A double-click on a patient opens the calculation of the final date.
    void doubleClickOpensTheCalculation()
    {
        QVariant opened;
        RegisterScreen(QStringLiteral("VQN19040"), [&opened](const QVariant &value, QWidget *parent) -> QDialog * {
            opened = value;
            return new QDialog(parent);
        });
        runStatistics([this](TfrmEstatistica &screen) {
            screen.pgcEstatistica->setCurrentIndex(2);
            typeNumber(screen.speLimite, QStringLiteral("95"));
            QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
            QCOMPARE(screen.cdsRisco->RecordCount(), 1);
            script().answerDialog([](QDialog &) { return int(QDialog::Rejected); });
            const QRect cell = screen.dbgRisco->visualRect(screen.dbgRisco->model()->index(0, 1));
            QTest::mouseClick(screen.dbgRisco->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(screen.dbgRisco->viewport(), Qt::LeftButton, {}, cell.center());
        });
        QCOMPARE(opened.toList(),
                 (QVariantList{FollowedPatient, QStringLiteral("S"), QDate::currentDate(), BranchAdjust}));
    }
};

QTEST_MAIN(TestRiskPage)
#include "tst_riskpage.moc"
