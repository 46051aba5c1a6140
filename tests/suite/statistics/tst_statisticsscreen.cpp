// The statistics screen "VQN18100" opened from the editor's statistics
// button, as the module registers it with the host's screen loader: the
// figures and charts it shows, the period checks and the CSV it exports.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "lib/sqlsession.h"
#include "screens/screenloader.h"
#include "statistics/csvtext.h"
#include "statistics/frmestatistica.h"
#include "widgets/dateeditplus.h"

#include <QApplication>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <functional>

using namespace Fixture;

namespace {

QString dayText(const QDate &day)
{
    return day.toString(QStringLiteral("dd/MM/yyyy"));
}

// The values of each bar set of a chart, "legend: v1 v2 ...".
QStringList barValues(QChartView *view)
{
    QStringList sets;
    const auto series = view->chart()->series();
    if (series.isEmpty())
        return sets;
    for (QBarSet *set : static_cast<QBarSeries *>(series.first())->barSets()) {
        QStringList values;
        for (int i = 0; i < set->count(); ++i)
            values << QString::number(set->at(i));
        sets << set->label() + QStringLiteral(": ") + values.join(QLatin1Char(' '));
    }
    return sets;
}

} // namespace

class TestStatisticsScreen : public EditorTestCase
{
    Q_OBJECT

private:
    // The editor's statistics button opens the module's screen, on which
    // `act` works; the screen is closed afterwards.
    void runStatistics(const std::function<void(TfrmEstatistica &)> &act)
    {
        // The tube blockage of the fixture interrupts the infusion.
        {
            SqlSession session(DatabaseConfig::parse(m_harness->server().database()), QStringLiteral("interruptions"));
            session.execute(QStringLiteral("UPDATE TPOCORINFU SET IDINTERRUPCAO = CASE WHEN CDTPOCORINFU = ?"
                                           " THEN 'S' ELSE 'N' END"),
                            {OccurrenceType});
        }
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(BranchAdjust);
        m_harness->choosePatient(AdultWithRecords);
        m_harness->answerScreen([act](QDialog &dialog) { act(static_cast<TfrmEstatistica &>(dialog)); });
        QTest::mouseClick(m_editor->sbtEstatistica, Qt::LeftButton);
    }

    // Chooses a system in the combo by keyboard and presses "Atualizar".
    static void refresh(TfrmEstatistica &screen, const QString &system)
    {
        EditorHarness::focus(screen.cbbSistema);
        while (screen.cbbSistema->currentText() != system && screen.cbbSistema->currentIndex() < screen.cbbSistema->count() - 1)
            QTest::keyClick(screen.cbbSistema, Qt::Key_Down);
        QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
    }

    static void typeDate(TDateEditPlus *edit, const QString &digits)
    {
        EditorHarness::focus(edit);
        edit->selectAll();
        if (digits.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, digits);
    }

private slots:
    void initTestCase() { RegisterScreen(QStringLiteral("VQN18100"), CriaEstatistica); }
    void cleanupTestCase() { UnregisterScreen(QStringLiteral("VQN18100")); }

    // The screen opens on the last seven days of the open system (the
    // fixture's dish item); "Todos" adds the product item and its blockage.
    void figuresAndChartsOfTheBranch_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<int>("items");
        QTest::addColumn<QString>("totals");
        QTest::addColumn<QStringList>("volumes");
        QTest::addColumn<QStringList>("interruptions");
        QTest::newRow("opened: Aberto")
            << QString() << 1
            << "Total: 1 prescrição(ões), 300,0 mL prescritos, 300,0 mL infundidos, 100,0% entregue."
            << QStringList{"Prescrito: 300", "Infundido: 300"} << QStringList{"Interrupções: "};
        QTest::newRow("Todos")
            << "Todos" << 2 << "Total: 1 prescrição(ões), 550,0 mL prescritos, 500,0 mL infundidos, 90,9% entregue."
            << QStringList{"Prescrito: 550", "Infundido: 500"} << QStringList{"Interrupções: 1"};
        QTest::newRow("Fechado")
            << "Fechado" << 1 << "Total: 1 prescrição(ões), 250,0 mL prescritos, 200,0 mL infundidos, 80,0% entregue."
            << QStringList{"Prescrito: 250", "Infundido: 200"} << QStringList{"Interrupções: 1"};
    }
    void figuresAndChartsOfTheBranch()
    {
        QFETCH(QString, system);
        QFETCH(int, items);
        QFETCH(QString, totals);
        QFETCH(QStringList, volumes);
        QFETCH(QStringList, interruptions);
        runStatistics([&](TfrmEstatistica &screen) {
            QCOMPARE(screen.Branch(), BranchAdjust);
            QCOMPARE(screen.depDataIni->GetDate(), QDate::currentDate().addDays(-6));
            QCOMPARE(screen.depDataFim->GetDate(), QDate::currentDate());
            if (!system.isEmpty())
                refresh(screen, system);
            QCOMPARE(screen.cdsDietas->RecordCount(), 1);
            QCOMPARE(screen.cdsDietas->FieldByName(QStringLiteral("NMSERVICO"))->AsString(),
                     QStringLiteral("Nutrição Enteral"));
            QCOMPARE(screen.cdsDietas->FieldByName(QStringLiteral("QTITENS"))->AsInteger(), items);
            QCOMPARE(screen.lblTotais->text(), totals);
            QCOMPARE(barValues(screen.chtVolumes), volumes);
            QCOMPARE(barValues(screen.chtInterrupcoes), interruptions);
        });
        QVERIFY(script().errors().isEmpty());
    }

    void periodIsChecked_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("message");
        QTest::newRow("no first day") << QString() << "Data inicial deve ser informada.";
        QTest::newRow("after the last day") << QDate::currentDate().addDays(1).toString(QStringLiteral("ddMMyyyy"))
                                            << "A data inicial deve ser menor ou igual à data final.";
    }
    void periodIsChecked()
    {
        QFETCH(QString, first);
        QFETCH(QString, message);
        runStatistics([&](TfrmEstatistica &screen) {
            typeDate(screen.depDataIni, first);
            QTest::mouseClick(screen.sbtConfirma, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), screen.depDataIni);
            // The figures of the last good period stay.
            QCOMPARE(screen.cdsDietas->RecordCount(), 1);
        });
        QCOMPARE(script().errors(), QStringList{message});
    }

    // "Exportar" writes both tables as a pt_BR spreadsheet reads them; a
    // cancelled file choice writes nothing.
    void exportWritesTheFiguresAsCsv()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("estatistica.csv"));
        runStatistics([&](TfrmEstatistica &screen) {
            refresh(screen, QStringLiteral("Todos"));
            script().answerSaveFile(QString());
            QTest::mouseClick(screen.sbtExportar, Qt::LeftButton);
            script().answerSaveFile(path);
            QTest::mouseClick(screen.sbtExportar, Qt::LeftButton);
        });
        QCOMPARE(script().messages(), QStringList{QStringLiteral("Estatística exportada para %1.").arg(path)});
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines,
                 QStringList({QStringLiteral("Estatística de Dietas;Filial 0001;Período de %1 a %2;Sistema Todos")
                                  .arg(dayText(QDate::currentDate().addDays(-6)), dayText(QDate::currentDate())),
                              QString(),
                              "Serviço;Nome do serviço;Dieta;Descrição da dieta;Prescrições;Itens;Prescrito (mL);"
                              "Infundido (mL);Entregue (%)",
                              "00010;Nutrição Enteral;0001;Enteral polimérica padrão;1;2;550,000;500,000;90,91",
                              QString(),
                              "Ocorrência;Nome;Interrupções;Pacientes",
                              "001;Obstrução da sonda;1;1",
                              QString(),
                              "Pacientes com energia infundida abaixo de 80% da meta nos últimos 3 dias com itens",
                              "Código;Paciente;Leito;Nome do leito;Internação;Dia 1;Dia 1 (% meta);Dia 2;"
                              "Dia 2 (% meta);Dia 3;Dia 3 (% meta);Saldo acumulado (kcal);"
                              "Saldo acumulado de proteína (g)",
                              QString()}));
    }

    void csvFieldsAreQuotedWhenNeeded_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("line");
        QTest::newRow("plain") << QStringList{"Sopa", "1,5"} << "Sopa;1,5";
        QTest::newRow("separator") << QStringList{"Sopa; morna", "2"} << "\"Sopa; morna\";2";
        QTest::newRow("quote") << QStringList{"Dieta \"zero\""} << "\"Dieta \"\"zero\"\"\"";
        QTest::newRow("line break") << QStringList{"a\nb", ""} << "\"a\nb\";";
    }
    void csvFieldsAreQuotedWhenNeeded()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, line);
        QCOMPARE(CsvLine(fields), line);
        QCOMPARE(CsvNumber(1234.5, 2), QStringLiteral("1234,50"));
    }
};

QTEST_MAIN(TestStatisticsScreen)
#include "tst_statisticsscreen.moc"
