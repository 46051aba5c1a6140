// The editor's service records through the real grid: insertion and its
// checks, the weight of an existing record, the server's numbering and
// observation, refusals by the server, deletion and the loading of the
// composition items.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "widgets/dbgrid.h"
#include "data/dtmdbgeral.h"
#include "editor/frmentparenteral.h"
#include "fixturedb.h"
#include "fixtureserver.h"
#include "core/packets.h"
#include "widgets/panel.h"
#include "core/serverresult.h"
#include "core/velunor.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

namespace {

const QString kDate = QStringLiteral("DTSERVINTE");
const QString kService = QStringLiteral("CDSERVFILI");
const QString kDiet = QStringLiteral("CDDIETPAD");
const QString kWeight = QStringLiteral("NRSERVPESO");
const QString kSequence = QStringLiteral("NRSEQUSERV");

QVariant valueAt(const DataPacket &packet, int row, const QString &fieldName)
{
    return packet.rows.value(row).value(packet.indexOf(fieldName));
}

QString dayText(const QDate &day)
{
    return QDateTime(day, QTime(0, 0)).toString(Qt::ISODate);
}

} // namespace

class TestServiceRecords : public EditorTestCase
{
    Q_OBJECT

private:
    ClientDataSet &records() { return *m_editor->cdsServInte; }
    TDBGrid &grid() { return *m_editor->dbgServico; }

    // Opens the editor on branch 0001 with the patient's service records in
    // the focused grid.
    void openPatient(const QString &patient)
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(Fixture::BranchAdjust);
        m_harness->choosePatient(patient);
    }

    int columnOf(const QString &fieldName)
    {
        for (int column = 0; column < grid().ColumnCount(); ++column)
            if (grid().Columns().at(column).fieldName == fieldName)
                return column;
        return -1;
    }

    // Clicks the field's cell in the current row (the column left runs its
    // exit check) and types the text into it.
    void typeCell(const QString &fieldName, const QString &text)
    {
        grid().SetSelectedIndex(columnOf(fieldName));
        QTest::keyClicks(&grid(), text);
    }

    // Incluir, then service and diet typed and left with Tab, and the
    // weight typed when given.
    void typeNewRecord(const QString &service, const QString &diet, const QString &weight = QString())
    {
        QTest::mouseClick(m_editor->sbtIncluir, Qt::LeftButton);
        QTest::keyClicks(&grid(), service);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QTest::keyClicks(&grid(), diet);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        if (!weight.isEmpty())
            typeCell(kWeight, weight);
    }

    // The focus is in the service grid on the field's column.
    bool focusOn(const QString &fieldName)
    {
        const QWidget *focus = QApplication::focusWidget();
        return (focus == &grid() || (focus && focus->parentWidget() == grid().viewport()))
               && grid().SelectedIndex() == columnOf(fieldName);
    }

    // The patient's service records as the server holds them, by date and
    // sequence.
    DataPacket serverRecords(const QString &patient)
    {
        const ServerResult result = callServer(m_harness->server().port(), QStringLiteral("getServInte"),
                                               {patient, Fixture::admission().toString(Qt::ISODate),
                                                Fixture::BranchAdjust});
        if (!result.ok)
            qWarning() << result.error;
        return result.ok ? DataPacket::fromJson(result.data) : DataPacket();
    }

    int serverItemCount(const QString &patient, const QString &sequence, const QDate &day)
    {
        const ServerResult result = callServer(m_harness->server().port(), QStringLiteral("getConfesco"),
                                               {patient, sequence, dayText(day), Fixture::BranchAdjust});
        return result.ok ? int(DataPacket::fromJson(result.data).rows.size()) : -1;
    }

    QString errors() const { return m_harness->script().errors().join(QLatin1Char('\n')); }

private slots:
    void aNewRecordIsNumberedAndTakesTheObservation_data()
    {
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("habits");
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QString>("observation");
        // Today already holds record "01" of 000000000104, whose admission
        // has an observation; the habits note comes after it.
        QTest::newRow("observation of the admission")
            << Fixture::AdultWithRecords << QString() << QStringLiteral("02") << Fixture::RecordObservation;
        QTest::newRow("habits note") << Fixture::AdultWithoutRecords << QStringLiteral("Prefere dieta morna.")
                                     << QStringLiteral("01") << QStringLiteral("Prefere dieta morna.");
        QTest::newRow("nothing") << Fixture::AdultWithoutRecords << QString() << QStringLiteral("01") << QString();
    }

    void aNewRecordIsNumberedAndTakesTheObservation()
    {
        QFETCH(QString, patient);
        QFETCH(QString, habits);
        QFETCH(QString, sequence);
        QFETCH(QString, observation);
        if (!habits.isEmpty()) {
            QSqlQuery insert(dtmDBGeral().Database());
            QVERIFY(insert.prepare(QStringLiteral("INSERT INTO HABITOPACI (CDPACIENTE, DSOBSGERAL) VALUES (?, ?)")));
            insert.addBindValue(patient);
            insert.addBindValue(habits);
            QVERIFY2(insert.exec(), qPrintable(insert.lastError().text()));
        }
        openPatient(patient);
        const int before = records().RecordCount();

        // A short code is adjusted and replaced by the server's form.
        typeNewRecord(QStringLiteral("10"), QStringLiteral("2"), QStringLiteral("58,25"));
        QCOMPARE(records().State(), DataSetState::Insert);
        QCOMPARE(records().FieldByName(kService)->AsString(), Fixture::EnteralService);
        QCOMPARE(records().FieldByName(QStringLiteral("NMSERVICO"))->AsString(), QStringLiteral("Nutrição Enteral"));
        QCOMPARE(records().FieldByName(kDiet)->AsString(), Fixture::EnteralDiet2);
        QCOMPARE(records().FieldByName(QStringLiteral("NMOPERADOR"))->AsString(),
                 QStringLiteral("Ana Paula Nutricionista"));
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(records().ChangeCount(), 0);
        QCOMPARE(records().RecordCount(), before + 1);

        const DataPacket stored = serverRecords(patient);
        const int row = int(stored.rows.size()) - 1;   // today's newest
        QCOMPARE(stored.rows.size(), before + 1);
        QCOMPARE(valueAt(stored, row, kDate).toDate(), QDate::currentDate());
        QCOMPARE(valueAt(stored, row, kSequence).toString(), sequence);
        QCOMPARE(valueAt(stored, row, kService).toString(), Fixture::EnteralService);
        QCOMPARE(valueAt(stored, row, kDiet).toString(), Fixture::EnteralDiet2);
        QCOMPARE(valueAt(stored, row, QStringLiteral("CDDIETGRUPSI")).toString(), Fixture::EnteralDiet2);
        QCOMPARE(valueAt(stored, row, QStringLiteral("CDNUTRICIO")).toString(), Fixture::Nutritionist);
        QCOMPARE(valueAt(stored, row, QStringLiteral("IDIMPRSERV")).toString(), QStringLiteral("S"));
        QCOMPARE(valueAt(stored, row, kWeight).toDouble(), 58.25);
        QCOMPARE(valueAt(stored, row, QStringLiteral("DSSERVINTE")).toString(), observation);
    }

    void aNewRecordIsChecked_data()
    {
        QTest::addColumn<QString>("service");
        QTest::addColumn<QString>("diet");
        QTest::addColumn<QString>("weight");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focusField");
        QTest::newRow("duplicate") << Fixture::ParenteralService << Fixture::ParenteralDiet << QString()
                                   << QStringLiteral("Serviço já cadastrado.") << kDate;
        QTest::newRow("diet of another service")
            << Fixture::EnteralService << Fixture::ParenteralDiet << QString()
            << QStringLiteral("Dieta não cadastrada para o serviço informado.") << kDiet;
        QTest::newRow("negative weight") << Fixture::EnteralService << Fixture::EnteralDiet << QStringLiteral("-1")
                                         << QStringLiteral("Peso deve ser maior que zero.") << kWeight;
        QTest::newRow("zero weight") << Fixture::EnteralService << Fixture::EnteralDiet << QStringLiteral("0")
                                     << QStringLiteral("Peso deve ser maior que zero.") << kWeight;
    }

    // Every refusal keeps the new record, puts the focus on its column and
    // sends nothing. A diet refused when its column is left is refused again
    // by Confirmar.
    void aNewRecordIsChecked()
    {
        QFETCH(QString, service);
        QFETCH(QString, diet);
        QFETCH(QString, weight);
        QFETCH(QString, message);
        QFETCH(QString, focusField);
        openPatient(Fixture::AdultWithRecords);
        typeNewRecord(service, diet, weight);
        script().clear();
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QCOMPARE(script().errors(), QStringList{message});
        QVERIFY(focusOn(focusField));
        QCOMPARE(records().State(), DataSetState::Insert);
        QVERIFY(m_editor->mnuConfirmar->isEnabled());
        QVERIFY(!m_editor->mnuIncluir->isEnabled());
        QVERIFY(!m_editor->sbtCalcNutri->isEnabled());
        QVERIFY(!m_editor->panInfPaciente->isEnabled());
        QCOMPARE(grid().Columns().at(columnOf(kDiet)).buttonStyle, TDBGrid::TColumn::Ellipsis);
        QCOMPARE(serverRecords(Fixture::AdultWithRecords).rows.size(), 2);
    }

    void anEmptyWeightIsAccepted()
    {
        openPatient(Fixture::AdultWithoutRecords);
        typeNewRecord(Fixture::EnteralService, Fixture::EnteralDiet);
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        const DataPacket stored = serverRecords(Fixture::AdultWithoutRecords);
        QCOMPARE(stored.rows.size(), 1);
        QVERIFY(valueAt(stored, 0, kWeight).isNull());
    }

    void theServiceDateIsCheckedAsTyped()
    {
        openPatient(Fixture::AdultWithoutRecords);
        QTest::mouseClick(m_editor->sbtIncluir, Qt::LeftButton);
        QCOMPARE(records().FieldByName(kDate)->AsDateTime().date(), QDate::currentDate());
        typeCell(kDate, QStringLiteral("31022005"));
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("'31/02/2005' não é uma data válida.")});
        QCOMPARE(records().FieldByName(kDate)->AsDateTime().date(), QDate::currentDate());
        QVERIFY(focusOn(kDate));

        // Emptying the entry clears the date, which a post then asks for.
        script().clear();
        QVERIFY(grid().InplaceEditor());
        grid().InplaceEditor()->selectAll();
        QTest::keyClick(grid().InplaceEditor(), Qt::Key_Delete);
        QTest::keyClick(&grid(), Qt::Key_Tab);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QVERIFY(records().FieldByName(kDate)->IsNull());
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Data deve ser informada.")});
        QVERIFY(focusOn(kDate));
    }

    void aNonNutritionistCannotInsert()
    {
        openPatient(Fixture::AdultWithRecords);
        operatorContext().operador = Fixture::NonNutritionist;
        QTest::mouseClick(m_editor->sbtIncluir, Qt::LeftButton);
        QCOMPARE(script().errors(), QStringList{QStringLiteral("Operador não está cadastrado como nutricionista.")});
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(records().RecordCount(), 2);
        QCOMPARE(serverRecords(Fixture::AdultWithRecords).rows.size(), 2);
    }

    void editingTheWeightKeepsTheRecordsKeyAndItems()
    {
        openPatient(Fixture::AdultWithRecords);
        QCOMPARE(records().FieldByName(kDate)->AsDateTime().date(), Fixture::recordDay());
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QVERIFY(focusOn(kWeight));
        QCOMPARE(records().State(), DataSetState::Edit);
        QTest::keyClicks(&grid(), QStringLiteral("70,5"));
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QVERIFY2(script().errors().isEmpty(), qPrintable(errors()));
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(records().FieldByName(kWeight)->AsFloat(), 70.5);

        const DataPacket stored = serverRecords(Fixture::AdultWithRecords);
        QCOMPARE(stored.rows.size(), 2);
        QCOMPARE(valueAt(stored, 0, kDate).toDate(), Fixture::recordDay());
        QCOMPARE(valueAt(stored, 0, kSequence).toString(), Fixture::Sequence);
        QCOMPARE(valueAt(stored, 0, kWeight).toDouble(), 70.5);
        QCOMPARE(valueAt(stored, 0, QStringLiteral("DSSERVINTE")).toString(), Fixture::RecordObservation);
        QCOMPARE(serverItemCount(Fixture::AdultWithRecords, Fixture::Sequence, Fixture::recordDay()), 2);
    }

    void theWeightTakesNineDigitsAndThreeDecimals()
    {
        openPatient(Fixture::AdultWithRecords);
        QVERIFY(m_editor->sbtCalcNutri->isEnabled());
        QCOMPARE(grid().Columns().at(columnOf(kService)).buttonStyle, TDBGrid::TColumn::None);
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QVERIFY(!m_editor->sbtCalcNutri->isEnabled());
        QTest::keyClicks(&grid(), QStringLiteral("1234567890"));
        QCOMPARE(grid().InplaceEditor()->text(), QStringLiteral("123456789"));
        grid().InplaceEditor()->selectAll();
        QTest::keyClicks(&grid(), QStringLiteral("7x1.23456"));
        QCOMPARE(grid().InplaceEditor()->text(), QStringLiteral("71,234"));
    }

    void anExistingRecordChangesOnlyItsWeight_data()
    {
        QTest::addColumn<QString>("fieldName");
        QTest::addColumn<bool>("editing");
        for (const QString &field : {kDate, kService, kDiet}) {
            QTest::addRow("%s browsing", qPrintable(field)) << field << false;
            QTest::addRow("%s editing", qPrintable(field)) << field << true;
        }
    }

    // The key handler alone keeps the keys of a stored record: with the
    // column opened for writing, typing over the cell opens nothing, and in
    // its cell editor (F2) typed characters go nowhere while Enter still gets
    // through, closes it and moves on. In the weight, the last column,
    // Enter stores what was typed and the record stays to be confirmed.
    void anExistingRecordChangesOnlyItsWeight()
    {
        QFETCH(QString, fieldName);
        QFETCH(bool, editing);
        openPatient(Fixture::AdultWithRecords);
        if (editing)
            QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        const QVariant before = records().FieldByName(fieldName)->Value();
        grid().Column(columnOf(fieldName)).readOnly = false;
        typeCell(fieldName, QStringLiteral("12"));
        QVERIFY(!grid().EditorMode());

        QTest::keyClick(&grid(), Qt::Key_F2);
        QLineEdit *cell = grid().InplaceEditor();
        QVERIFY(cell);
        const QString shown = cell->text();
        QTest::keyClicks(cell, QStringLiteral("12"));
        QCOMPARE(cell->text(), shown);
        QTest::keyClick(cell, Qt::Key_Return);
        QVERIFY(!grid().EditorMode());
        QCOMPARE(grid().SelectedIndex(), columnOf(fieldName) + 1);
        QCOMPARE(records().FieldByName(fieldName)->Value(), before);

        typeCell(kWeight, QStringLiteral("71"));
        QVERIFY(grid().InplaceEditor());
        QTest::keyClick(grid().InplaceEditor(), Qt::Key_Return);
        QCOMPARE(grid().SelectedIndex(), columnOf(kWeight));
        QCOMPARE(records().FieldByName(kWeight)->AsFloat(), 71.0);
        QCOMPARE(records().State(), DataSetState::Edit);
        QVERIFY(script().messages().isEmpty());
    }

    void deleteOutsideTheWeightCancelsTheEditSilently()
    {
        openPatient(Fixture::AdultWithRecords);
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QTest::keyClicks(&grid(), QStringLiteral("80"));
        grid().SetSelectedIndex(columnOf(kService));
        QCOMPARE(records().FieldByName(kWeight)->AsFloat(), 80.0);
        QTest::keyClick(&grid(), Qt::Key_Delete);
        QVERIFY(script().messages().isEmpty());
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(records().FieldByName(kWeight)->AsFloat(), 62.5);
        QCOMPARE(records().FieldByName(kService)->AsString(), Fixture::EnteralService);
        QCOMPARE(records().ChangeCount(), 0);
        QVERIFY(m_editor->mnuIncluir->isEnabled());
        QCOMPARE(valueAt(serverRecords(Fixture::AdultWithRecords), 0, kWeight).toDouble(), 62.5);
    }

    // The weight still in the cell editor goes with the cancel: moving on
    // afterwards writes nothing.
    void cancelarDiscardsTheTypedWeight()
    {
        openPatient(Fixture::AdultWithRecords);
        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QTest::keyClicks(&grid(), QStringLiteral("80"));
        script().answerQuestion(true);
        QTest::mouseClick(m_editor->sbtCancelar, Qt::LeftButton);
        QCOMPARE(records().State(), DataSetState::Browse);
        QVERIFY(!grid().EditorMode());
        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(records().RecNo(), 1);
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(script().messages(), QStringList{QStringLiteral("Confirma o cancelamento das alterações?")});
        QCOMPARE(valueAt(serverRecords(Fixture::AdultWithRecords), 0, kWeight).toDouble(), 62.5);
    }

    void aStaleEditIsRefusedAndUndone()
    {
        openPatient(Fixture::AdultWithRecords);
        // A second workstation changes the same record first.
        ClientDataSet other;
        other.LoadFromPacket(serverRecords(Fixture::AdultWithRecords));
        other.Edit();
        other.FieldByName(kWeight)->SetAsFloat(64);
        other.Post();
        const ServerResult changed =
            callServer(m_harness->server().port(), QStringLiteral("SetServInte"), {other.Delta().toJson()});
        QVERIFY2(changed.ok, qPrintable(changed.error));

        QTest::mouseClick(m_editor->sbtAlterar, Qt::LeftButton);
        QTest::keyClicks(&grid(), QStringLiteral("80"));
        QTest::mouseClick(m_editor->sbtConfirmar, Qt::LeftButton);
        QCOMPARE(script().errors(),
                 QStringList{QStringLiteral(
                     "Registro alterado ou excluído por outro usuário. Recarregue os dados e tente novamente.")});
        QCOMPARE(records().State(), DataSetState::Browse);
        QCOMPARE(records().ChangeCount(), 0);
        QCOMPARE(records().RecordCount(), 2);
        QCOMPARE(records().FieldByName(kWeight)->AsFloat(), 62.5);
        QVERIFY(m_editor->mnuAlterar->isEnabled());
        QCOMPARE(valueAt(serverRecords(Fixture::AdultWithRecords), 0, kWeight).toDouble(), 64.0);
    }

    void movingBetweenRecordsLoadsTheirItems()
    {
        openPatient(Fixture::AdultWithRecords);
        ClientDataSet &items = *m_editor->cdsConfesco;
        QCOMPARE(records().RecNo(), 0);
        QCOMPARE(items.RecordCount(), 2);
        QCOMPARE(items.FieldByName(kSequence)->AsString(), Fixture::Sequence);

        QTest::keyClick(&grid(), Qt::Key_Down);
        QCOMPARE(records().RecNo(), 1);
        QVERIFY(items.Active());
        QCOMPARE(items.RecordCount(), 0);
        QVERIFY(!m_editor->cdsOcorrencia->Active());

        QTest::keyClick(&grid(), Qt::Key_Up);
        QCOMPARE(items.RecordCount(), 2);
        QCOMPARE(items.FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date(), Fixture::recordDay());
    }

    void excluirDeletesTheRecordAndItsItems()
    {
        openPatient(Fixture::AdultWithRecords);
        script().answerQuestion(true);
        QTest::mouseClick(m_editor->sbtExcluir, Qt::LeftButton);
        QCOMPARE(script().messages(), QStringList{QStringLiteral("Confirma a exclusão do registro?")});
        QCOMPARE(records().RecordCount(), 1);
        QCOMPARE(records().ChangeCount(), 0);
        const DataPacket stored = serverRecords(Fixture::AdultWithRecords);
        QCOMPARE(stored.rows.size(), 1);
        QCOMPARE(valueAt(stored, 0, kDate).toDate(), QDate::currentDate());
        QCOMPARE(serverItemCount(Fixture::AdultWithRecords, Fixture::Sequence, Fixture::recordDay()), 0);
        // The remaining record, which has no items, became current.
        QCOMPARE(m_editor->cdsConfesco->RecordCount(), 0);
    }
};

QTEST_MAIN(TestServiceRecords)
#include "tst_servicerecords.moc"
