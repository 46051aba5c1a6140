// The editor's command rule: for each page, level and state, exactly the
// commands a user may use are enabled.

#include "editor/commandstates.h"

#include <QtTest>

Q_DECLARE_METATYPE(RecordLevelId)
Q_DECLARE_METATYPE(DataSetState)

namespace {

QString enabledNames(const CommandStates &c)
{
    const QList<QPair<bool, const char *>> all = {
        {c.incluir, "incluir"},     {c.alterar, "alterar"},       {c.excluir, "excluir"},
        {c.procurar, "procurar"},   {c.verificar, "verificar"},   {c.cancelar, "cancelar"},
        {c.confirmar, "confirmar"}, {c.filtrar, "filtrar"},       {c.calcNutr, "calcNutr"},
        {c.automatico, "automatico"}, {c.navigator, "navegador"}, {c.otherPage, "outraPagina"},
        {c.selectionPanel, "painel"},
    };
    QStringList names;
    for (const auto &[on, name] : all)
        if (on)
            names << QString::fromLatin1(name);
    return names.join(QLatin1Char(' '));
}

} // namespace

class TestCommandStates : public QObject
{
    Q_OBJECT

private slots:
    void commandsFollowPageLevelAndState_data()
    {
        QTest::addColumn<bool>("dataSheet");
        QTest::addColumn<RecordLevelId>("level");
        QTest::addColumn<DataSetState>("state");
        QTest::addColumn<bool>("hasRecords");
        QTest::addColumn<bool>("parentHasRecords");
        QTest::addColumn<bool>("canAlter");
        QTest::addColumn<QString>("enabled");

        using L = RecordLevelId;
        using S = DataSetState;
        const QString browse = QStringLiteral("navegador outraPagina painel");
        const QString editing = QStringLiteral("cancelar confirmar");

        // Data sheet: only the observation is edited; Filtrar only here.
        QTest::newRow("list closed") << true << L::PatientList << S::Inactive << false << false << true
                                     << QStringLiteral("filtrar navegador outraPagina painel");
        QTest::newRow("list browsing") << true << L::PatientList << S::Browse << true << false << true
                                       << QStringLiteral("alterar filtrar navegador outraPagina painel");
        QTest::newRow("list empty") << true << L::PatientList << S::Browse << false << false << true
                                    << QStringLiteral("filtrar navegador outraPagina painel");
        QTest::newRow("observation edited") << true << L::PatientList << S::Edit << true << false << true << editing;

        // Service records: a closed level (no patient yet) offers nothing,
        // not even Alterar.
        QTest::newRow("services closed") << false << L::Services << S::Inactive << false << false << true
                                         << QStringLiteral("outraPagina painel");
        QTest::newRow("services empty") << false << L::Services << S::Browse << false << false << true
                                        << QStringLiteral("incluir ") + browse;
        QTest::newRow("services browsing")
            << false << L::Services << S::Browse << true << false << true
            << QStringLiteral("incluir alterar excluir procurar verificar calcNutr ") + browse;
        QTest::newRow("service inserted") << false << L::Services << S::Insert << false << false << true << editing;
        QTest::newRow("service edited") << false << L::Services << S::Edit << true << false << true << editing;

        // Items: Incluir and Automático need a service record.
        QTest::newRow("items closed") << false << L::Items << S::Inactive << false << true << true
                                      << QStringLiteral("outraPagina painel");
        QTest::newRow("items without service") << false << L::Items << S::Browse << false << false << true
                                               << browse;
        QTest::newRow("items browsing")
            << false << L::Items << S::Browse << true << true << true
            << QStringLiteral("incluir alterar excluir procurar verificar calcNutr automatico ") + browse;
        QTest::newRow("item inserted") << false << L::Items << S::Insert << false << true << true << editing;

        // Occurrences are never altered once stored.
        QTest::newRow("occurrences browsing")
            << false << L::Occurrences << S::Browse << true << true << false
            << QStringLiteral("incluir excluir procurar verificar calcNutr ") + browse;
        QTest::newRow("occurrences empty") << false << L::Occurrences << S::Browse << false << true << false
                                           << QStringLiteral("incluir calcNutr ") + browse;
        QTest::newRow("occurrence inserted") << false << L::Occurrences << S::Insert << false << true << false
                                             << editing;
    }

    void commandsFollowPageLevelAndState()
    {
        QFETCH(bool, dataSheet);
        QFETCH(RecordLevelId, level);
        QFETCH(DataSetState, state);
        QFETCH(bool, hasRecords);
        QFETCH(bool, parentHasRecords);
        QFETCH(bool, canAlter);
        QFETCH(QString, enabled);

        CommandSituation situation;
        situation.dataSheet = dataSheet;
        situation.level = level;
        situation.state = state;
        situation.hasRecords = hasRecords;
        situation.parentHasRecords = parentHasRecords;
        // Below the services the service list holds records in these rows.
        situation.servicesHaveRecords = level == RecordLevelId::Services ? hasRecords : parentHasRecords;
        situation.canAlter = canAlter;
        QCOMPARE(enabledNames(ComputeCommandStates(situation)), enabled);
    }
};

QTEST_APPLESS_MAIN(TestCommandStates)
#include "tst_commandstates.moc"
