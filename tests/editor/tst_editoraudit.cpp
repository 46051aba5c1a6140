// What the screens write is accountable: a service record, an item and an
// occurrence inserted, changed and deleted through the editor's tool buttons
// leave their whole history in the audit trail, under the operator logged in.

#include "editortestcase.h"

#include "core/clientdataset.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "editor/frmentparenteral.h"
#include "editor/itemfields.h"
#include "fixturedb.h"
#include "fixturepackets.h"
#include "fixtureserver.h"
#include "widgets/dbgrid.h"

#include <QJsonDocument>
#include <QTest>
#include <QToolButton>

using namespace Fixture;

namespace {

QJsonObject recordKey(const QString &patient, const QDate &day)
{
    return {{"CDFILIAL", BranchAdjust}, {"CDPACIENTE", patient}, {"DTSERVINTE", iso(day)}, {"NRSEQUSERV", Sequence}};
}

} // namespace

class TestEditorAudit : public EditorTestCase
{
    Q_OBJECT

private:
    void click(QToolButton *button)
    {
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName() + QStringLiteral(" is disabled")));
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        QVERIFY2(script().errors().isEmpty(), qPrintable(script().errors().join(QLatin1Char('\n'))));
    }
    void deleteCurrent()
    {
        script().answerQuestion(true);
        click(m_editor->sbtExcluir);
    }

    // The trail of a row: "kind method operator", newest first.
    QStringList history(const QString &table, const QJsonObject &key)
    {
        const ServerResult result =
            callServer(m_harness->server().port(), QStringLiteral("getAuditoria"),
                       {table, QString::fromUtf8(QJsonDocument(key).toJson(QJsonDocument::Compact))});
        QStringList lines;
        for (const QJsonObject &entry : rowObjects(result.data))
            lines << QStringLiteral("%1 %2 %3").arg(entry["TPALTERACAO"].toString(), entry["NMMETODO"].toString(),
                                                  entry["CDOPERADOR"].toString());
        return lines;
    }
    static QStringList lifeOf(const QString &method, bool modified)
    {
        QStringList lines{QStringLiteral("delete %1 %2").arg(method, Nutritionist)};
        if (modified)
            lines << QStringLiteral("modify %1 %2").arg(method, Nutritionist);
        return lines << QStringLiteral("insert %1 %2").arg(method, Nutritionist);
    }

private slots:
    void screensLeaveTheWholeHistory()
    {
        m_editor = m_harness->openEditor();
        m_harness->chooseBranch(BranchAdjust);

        // A service record of today for the patient without records.
        m_harness->choosePatient(AdultWithoutRecords);
        TDBGrid &records = *m_editor->dbgServico;
        click(m_editor->sbtIncluir);
        QTest::keyClicks(&records, EnteralService);
        QTest::keyClick(&records, Qt::Key_Tab);
        QTest::keyClicks(&records, EnteralDiet);
        QTest::keyClick(&records, Qt::Key_Tab);
        EditorHarness::typeCell(records, QStringLiteral("NRSERVPESO"), QStringLiteral("58"));
        click(m_editor->sbtConfirmar);
        click(m_editor->sbtAlterar);
        QTest::keyClicks(&records, QStringLiteral("60,5"));
        click(m_editor->sbtConfirmar);
        deleteCurrent();
        QCOMPARE(m_editor->cdsServInte->RecordCount(), 0);

        // An item of yesterday's record of the adult, and an occurrence of it.
        m_harness->choosePatient(AdultWithRecords);
        TDBGrid &items = *m_editor->dbgConfesco;
        EditorHarness::focus(&items);
        click(m_editor->sbtIncluir);
        const QString number = m_editor->cdsConfesco->FieldByName(ItemField::Number)->AsString();
        for (const auto &[field, text] : {std::pair{ItemField::Route, QStringLiteral("2")},
                                          {ItemField::Preparation, QStringLiteral("Fechado")},
                                          {ItemField::Formulation, ProductTreeCode},
                                          {ItemField::Prescribed, QStringLiteral("250")},
                                          {ItemField::Infused, QStringLiteral("200")},
                                          {ItemField::Speed, QStringLiteral("62,5")}})
            EditorHarness::typeCell(items, field, text);
        QTest::keyClick(&items, Qt::Key_Tab);
        click(m_editor->sbtConfirmar);
        click(m_editor->sbtAlterar);
        EditorHarness::typeCell(items, ItemField::Prescribed, QStringLiteral("300"));
        click(m_editor->sbtConfirmar);

        TDBGrid &occurrences = *m_editor->dbgOcorrencia;
        EditorHarness::focus(&occurrences);
        click(m_editor->sbtIncluir);
        const QDateTime when = m_editor->cdsOcorrencia->FieldByName(QStringLiteral("DTOCORINFU"))->AsDateTime();
        EditorHarness::typeCell(occurrences, QStringLiteral("CDTPOCORINFU"), QStringLiteral("2"));
        click(m_editor->sbtConfirmar);
        deleteCurrent();
        QCOMPARE(m_editor->cdsOcorrencia->RecordCount(), 0);

        EditorHarness::focus(&items);
        QCOMPARE(m_editor->cdsConfesco->FieldByName(ItemField::Number)->AsString(), number);
        deleteCurrent();

        QCOMPARE(history(QStringLiteral("SERVINTE"), recordKey(AdultWithoutRecords, QDate::currentDate())),
                 lifeOf(QStringLiteral("SetServInte"), true));
        QJsonObject itemKey = recordKey(AdultWithRecords, recordDay());
        itemKey["CDSEQUCOPR"] = number;
        QCOMPARE(history(QStringLiteral("CONFESCO"), itemKey), lifeOf(QStringLiteral("SetConfesco"), true));
        QJsonObject occurrenceKey = itemKey;
        occurrenceKey["DTOCORINFU"] = when.toString(Qt::ISODate);
        occurrenceKey["CDTPOCORINFU"] = QStringLiteral("002");
        QCOMPARE(history(QStringLiteral("OCORINFU"), occurrenceKey), lifeOf(QStringLiteral("SetOcorrencia"), false));
    }
};

QTEST_MAIN(TestEditorAudit)
#include "tst_editoraudit.moc"
