// The formulation copy screen "VQN19050" opened from the editor's
// "Copiar Formulação" button, as the module registers it with the host's
// screen loader: choosing the source and target records, the confirmation,
// the copy against the real server and the editor's reload afterwards.

#include "editortestcase.h"

#include "copy/frmcopiaformulacao.h"
#include "copy/servicedaypanel.h"
#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "screens/screenloader.h"
#include "widgets/btnpesquisa.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"

#include <QApplication>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Fixture;

namespace {

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

// How the user names a patient: typing the code or picking it.
enum class Choice { Typed, Picked };

} // namespace

Q_DECLARE_METATYPE(Choice)

class TestCopyScreen : public EditorTestCase
{
    Q_OBJECT

private:
    // The editor on the patient with records; its "Copiar Formulação" opens
    // the module's copy screen, on which `act` works. The screen is closed
    // afterwards when `act` left it open.
    void runCopy(const std::function<void(TfrmCopiaFormulacao &)> &act)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(BranchAdjust);
        m_harness->choosePatient(AdultWithRecords);
        m_harness->answerScreen([act](QDialog &dialog) { act(static_cast<TfrmCopiaFormulacao &>(dialog)); });
        QTest::mouseClick(m_editor->sbtCopiar, Qt::LeftButton);
    }

    static void typePatient(ServiceDayPanel &panel, const QString &typed, Choice choice = Choice::Typed)
    {
        EditorHarness::focus(panel.edtPaciente);
        panel.edtPaciente->selectAll();
        if (choice == Choice::Typed)
            QTest::keyClicks(panel.edtPaciente, typed);
        else
            QTest::mouseClick(panel.btnPaciente, Qt::LeftButton);
        EditorHarness::focus(panel.depData);
    }

    static void typeDate(ServiceDayPanel &panel, const QDate &day)
    {
        EditorHarness::focus(panel.depData);
        panel.depData->selectAll();
        QTest::keyClicks(panel.depData, day.toString(QStringLiteral("ddMMyyyy")));
        EditorHarness::focus(panel.dbgServico);
    }

    static void pressCopy(TfrmCopiaFormulacao &screen)
    {
        QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // Items of the editor's record of the day.
    int editorItems(const QDate &day)
    {
        ClientDataSet &records = *m_editor->cdsServInte;
        if (!records.Locate(QStringLiteral("DTSERVINTE"), day.startOfDay()))
            return -1;
        return m_editor->cdsConfesco->Active() ? m_editor->cdsConfesco->RecordCount() : 0;
    }

private slots:
    void initTestCase() { RegisterScreen(QStringLiteral("VQN19050"), CriaCopiaFormulacao); }
    void cleanupTestCase() { UnregisterScreen(QStringLiteral("VQN19050")); }

    // Yesterday's record with its two items is copied into today's; after
    // "Sim" the editor shows today's record with the copies. "Não" copies
    // nothing and leaves the screen open.
    void copyAfterConfirmation_data()
    {
        QTest::addColumn<Choice>("choice");
        QTest::addColumn<bool>("confirm");
        QTest::newRow("typed, Sim") << Choice::Typed << true;
        QTest::newRow("picked, Sim") << Choice::Picked << true;
        QTest::newRow("typed, Não") << Choice::Typed << false;
    }
    void copyAfterConfirmation()
    {
        QFETCH(Choice, choice);
        QFETCH(bool, confirm);
        const QString question =
            QStringLiteral("Copiar 2 item(ns) do serviço Nutrição Enteral de Maria D'Ávila Adulta em %1 para o "
                           "serviço Nutrição Parenteral de Maria D'Ávila Adulta em %2?")
                .arg(dayText(recordDay()), dayText(QDate::currentDate()));
        bool stillOpen = false;
        runCopy([&](TfrmCopiaFormulacao &screen) {
            QCOMPARE(screen.Branch(), BranchAdjust);
            QCOMPARE(screen.panOrigem->Date(), recordDay());
            QCOMPARE(screen.panDestino->Date(), QDate::currentDate());
            for (ServiceDayPanel *panel : {screen.panOrigem, screen.panDestino}) {
                if (choice == Choice::Picked)
                    script().answerPick(QStringLiteral("CDPACIENTE"), AdultWithRecords);
                typePatient(*panel, QStringLiteral("104"), choice);
                QCOMPARE(panel->Patient(), AdultWithRecords);
                QCOMPARE(panel->edtNmPaciente->text(), QStringLiteral("Maria D'Ávila Adulta"));
            }
            QCOMPARE(screen.panOrigem->cdsServico->RecordCount(), 1);
            QCOMPARE(screen.panOrigem->cdsItens->RecordCount(), 2);
            QCOMPARE(screen.panDestino->cdsServico->RecordCount(), 1);
            QCOMPARE(screen.panDestino->ItemCount(), 0);
            script().answerQuestion(confirm);
            pressCopy(screen);
            stillOpen = screen.isVisible();
        });
        // A check failing inside the screen's answer leaves no message to read.
        QVERIFY(!script().messages().isEmpty());
        QCOMPARE(script().messages().first(), question);
        QCOMPARE(stillOpen, !confirm);
        if (confirm) {
            QCOMPARE(script().messages().last(),
                     QStringLiteral("2 item(ns) copiado(s) para o serviço Nutrição Parenteral de Maria D'Ávila Adulta em %1.")
                         .arg(dayText(QDate::currentDate())));
        }
        QVERIFY(script().errors().isEmpty());
        QCOMPARE(editorItems(QDate::currentDate()), confirm ? 2 : 0);
        QCOMPARE(editorItems(recordDay()), 2);
    }

    // Choices the screen refuses before asking anything.
    void refusedChoices_data()
    {
        QTest::addColumn<QString>("sourcePatient");
        QTest::addColumn<QDate>("targetDay");
        QTest::addColumn<QString>("message");
        QTest::newRow("source without records") << QStringLiteral("105") << QDate::currentDate()
                                                << "Escolha o serviço de origem.";
        QTest::newRow("source is the target") << QStringLiteral("104") << recordDay()
                                              << "O serviço de destino deve ser diferente do serviço de origem.";
        QTest::newRow("target without records") << QStringLiteral("104") << QDate::currentDate().addDays(1)
                                                << "Escolha o serviço de destino.";
    }
    void refusedChoices()
    {
        QFETCH(QString, sourcePatient);
        QFETCH(QDate, targetDay);
        QFETCH(QString, message);
        runCopy([&](TfrmCopiaFormulacao &screen) {
            typePatient(*screen.panOrigem, sourcePatient);
            typePatient(*screen.panDestino, QStringLiteral("104"));
            typeDate(*screen.panDestino, targetDay);
            pressCopy(screen);
            QVERIFY(screen.isVisible());
        });
        QCOMPARE(script().messages(), QStringList{message});
        QCOMPARE(editorItems(QDate::currentDate()), 0);
    }

    // A code that is no inpatient of the branch is refused on leaving it,
    // and the focus goes back to it.
    void unknownPatientIsRefused()
    {
        runCopy([&](TfrmCopiaFormulacao &screen) {
            typePatient(*screen.panOrigem, QStringLiteral("999"));
            QCOMPARE(QApplication::focusWidget(), screen.panOrigem->edtPaciente);
            QVERIFY(screen.panOrigem->Patient().isEmpty());
            QVERIFY(!screen.panOrigem->cdsServico->Active());
        });
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Paciente não internado nesta filial.")});
    }
};

QTEST_MAIN(TestCopyScreen)
#include "tst_copyscreen.moc"
