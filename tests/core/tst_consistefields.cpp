#include "core/abort.h"
#include "core/clientdataset.h"
#include "core/consiste.h"
#include "scriptedinteraction.h"

#include <QtTest>

namespace {

FieldDef fieldDef(const QString &name, FieldType type, int size = 0, bool calculated = false)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.calculated = calculated;
    return def;
}

} // namespace

// The utilities that act on dataset fields.
class TestConsisteFields : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void checkDateTimeStores_data();
    void checkDateTimeStores();
    void checkDateTimeRefuses_data();
    void checkDateTimeRefuses();
    void untouchedMaskClearsTheDateTime();
    void setaCampoNullClearsBlankTexts();
    void setaCampoNullLeavesBrowsingDataAlone();

private:
    std::unique_ptr<ClientDataSet> m_data;
    std::unique_ptr<ScriptedInteraction> m_scripted;
};

void TestConsisteFields::init()
{
    m_scripted = std::make_unique<ScriptedInteraction>();
    m_data = std::make_unique<ClientDataSet>();
    m_data->AddField(fieldDef(QStringLiteral("DTOCORINFU"), FieldType::DateTime));
    m_data->AddField(fieldDef(QStringLiteral("CDTPOCORINFU"), FieldType::Text, 3));
    m_data->AddField(fieldDef(QStringLiteral("DSOBSERV"), FieldType::Text, 40));
    m_data->AddField(fieldDef(QStringLiteral("NMCALC"), FieldType::Text, 10, true));
    m_data->CreateDataSet();
    m_data->Append();
}

void TestConsisteFields::cleanup()
{
    QVERIFY2(m_scripted->unexpected().isEmpty(), qPrintable(m_scripted->unexpected().join(u'\n')));
    m_data.reset();
    m_scripted.reset();
}

void TestConsisteFields::checkDateTimeStores_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDateTime>("stored");

    const QDate day(2026, 12, 7);
    QTest::newRow("full mask") << "07/12/2026 08:30" << QDateTime(day, QTime(8, 30));
    QTest::newRow("time left blank") << "07/12/2026   :  " << QDateTime(day, QTime(0, 0));
    QTest::newRow("no time part") << "07/12/2026" << QDateTime(day, QTime(0, 0));
    QTest::newRow("end of day") << "07/12/2026 23:59" << QDateTime(day, QTime(23, 59));
}

void TestConsisteFields::checkDateTimeStores()
{
    QFETCH(QString, text);
    QFETCH(QDateTime, stored);
    Field *field = m_data->FieldByName(QStringLiteral("DTOCORINFU"));
    CheckDateTime(*field, text);
    QCOMPARE(field->AsDateTime(), stored);
    QVERIFY(m_scripted->events().isEmpty());
}

void TestConsisteFields::checkDateTimeRefuses_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("no such day") << "31/02/2026 08:30";
    QTest::newRow("hour out of range") << "07/12/2026 24:00";
    QTest::newRow("minute out of range") << "07/12/2026 08:60";
    QTest::newRow("day missing") << "  /12/2026 08:30";
    QTest::newRow("year incomplete") << "07/12/20   08:30";
}

void TestConsisteFields::checkDateTimeRefuses()
{
    QFETCH(QString, text);
    Field *field = m_data->FieldByName(QStringLiteral("DTOCORINFU"));
    const QDateTime before(QDate(2026, 1, 1), QTime(6, 0));
    field->SetAsDateTime(before);
    QVERIFY_THROWS_EXCEPTION(Abort, CheckDateTime(*field, text));
    QCOMPARE(m_scripted->errors(), QStringList{QStringLiteral("'%1' não é uma data válida.").arg(text)});
    QCOMPARE(field->AsDateTime(), before);
}

void TestConsisteFields::untouchedMaskClearsTheDateTime()
{
    Field *field = m_data->FieldByName(QStringLiteral("DTOCORINFU"));
    field->SetAsDateTime(QDateTime(QDate(2026, 12, 7), QTime(8, 30)));
    CheckDateTime(*field, QStringLiteral("  /  /       :  "));
    QVERIFY(field->IsNull());
}

void TestConsisteFields::setaCampoNullClearsBlankTexts()
{
    m_data->FieldByName(QStringLiteral("CDTPOCORINFU"))->SetAsString(QStringLiteral("   "));
    m_data->FieldByName(QStringLiteral("DSOBSERV"))->SetAsString(QStringLiteral(" sonda "));
    Seta_Campo_Null(*m_data);
    QVERIFY(m_data->FieldByName(QStringLiteral("CDTPOCORINFU"))->IsNull());
    QCOMPARE(m_data->FieldByName(QStringLiteral("DSOBSERV"))->AsString(), QStringLiteral(" sonda "));
    QCOMPARE(m_data->State(), DataSetState::Insert);
}

void TestConsisteFields::setaCampoNullLeavesBrowsingDataAlone()
{
    m_data->FieldByName(QStringLiteral("CDTPOCORINFU"))->SetAsString(QStringLiteral("   "));
    m_data->Post();
    Seta_Campo_Null(*m_data);
    QCOMPARE(m_data->FieldByName(QStringLiteral("CDTPOCORINFU"))->AsString(), QStringLiteral("   "));
    QCOMPARE(m_data->State(), DataSetState::Browse);
}

QTEST_GUILESS_MAIN(TestConsisteFields)
#include "tst_consistefields.moc"
