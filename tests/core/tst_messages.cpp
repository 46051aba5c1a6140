#include "core/abort.h"
#include "core/messages.h"
#include "scriptedinteraction.h"
#include "core/serverresult.h"

#include <QJsonArray>
#include <QtTest>

#include <stdexcept>

class TestMessages : public QObject
{
    Q_OBJECT

private slots:
    void msgLooksUpByKey();
    void unknownKeyFailsLoudly();
    void showMsgAsks_data();
    void showMsgAsks();
    void showMsgInforms();
    void msgAlertExAnswersFromTen_data();
    void msgAlertExAnswersFromTen();
    void mensErroShowsThenAborts();
    void guardSwallowsAbort();
    void guardShowsOtherFailures();
    void serverEnvelope_data();
    void serverEnvelope();
    void checkResultServReportsFailures();

private:
    const TMessages m_table{{QStringLiteral("Excluir"), QStringLiteral("Exclusão"),
                             QStringLiteral("Confirma a exclusão?")},
                            {QStringLiteral("Gravado"), QString(), QStringLiteral("Registro gravado.")}};
};

void TestMessages::msgLooksUpByKey()
{
    QCOMPARE(m_table.Msg(QStringLiteral("Gravado")), QStringLiteral("Registro gravado."));
    QVERIFY(m_table.Contains(QStringLiteral("Excluir")));
    QVERIFY(!m_table.Contains(QStringLiteral("excluir")));
}

void TestMessages::unknownKeyFailsLoudly()
{
    QVERIFY_THROWS_EXCEPTION(std::logic_error, m_table.Msg(QStringLiteral("Ausente")));
}

void TestMessages::showMsgAsks_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<int>("answer");

    QTest::newRow("yes") << true << 6;
    QTest::newRow("no") << false << 7;
}

void TestMessages::showMsgAsks()
{
    QFETCH(bool, yes);
    QFETCH(int, answer);
    ScriptedInteraction scripted;
    scripted.answerQuestion(yes);
    QCOMPARE(m_table.ShowMsg(QStringLiteral("Excluir"), mtConfirmation, mbYesNo, 0), answer);
    QCOMPARE(scripted.events().size(), 1);
    QCOMPARE(scripted.events()[0].kind, QStringLiteral("question"));
    QCOMPARE(scripted.events()[0].text, QStringLiteral("Confirma a exclusão?"));
    QVERIFY(scripted.allAnswersUsed());
    QVERIFY(scripted.unexpected().isEmpty());
}

void TestMessages::showMsgInforms()
{
    ScriptedInteraction scripted;
    QCOMPARE(m_table.ShowMsg(QStringLiteral("Gravado"), mtInformation, mbOK), int(mrYes));
    QCOMPARE(scripted.events().size(), 1);
    QCOMPARE(scripted.events()[0].kind, QStringLiteral("information"));
}

void TestMessages::msgAlertExAnswersFromTen_data()
{
    QTest::addColumn<int>("captionIndex");
    QTest::addColumn<int>("answer");

    QTest::newRow("first") << 0 << 10;
    QTest::newRow("second") << 1 << 11;
    QTest::newRow("third") << 2 << 12;
}

void TestMessages::msgAlertExAnswersFromTen()
{
    QFETCH(int, captionIndex);
    QFETCH(int, answer);
    ScriptedInteraction scripted;
    scripted.answerAlert(captionIndex);
    const QStringList captions{QStringLiteral("Substituir"), QStringLiteral("Acrescentar"),
                               QStringLiteral("Cancelar")};
    QCOMPARE(MsgAlertEx(QStringLiteral("Já existem itens."), mtConfirmation, captions, 0, 0, 0), answer);
    QCOMPARE(scripted.messages(), QStringList{QStringLiteral("Já existem itens.")});
}

void TestMessages::mensErroShowsThenAborts()
{
    ScriptedInteraction scripted;
    QVERIFY_THROWS_EXCEPTION(Abort, MensErro(QStringLiteral("Hora deve ser informada.")));
    MensErro(QStringLiteral("Só avisa."), false);
    QCOMPARE(scripted.errors(), (QStringList{QStringLiteral("Hora deve ser informada."),
                                             QStringLiteral("Só avisa.")}));
}

void TestMessages::guardSwallowsAbort()
{
    ScriptedInteraction scripted;
    bool after = false;
    QVERIFY(!runGuarded([&] {
        MensErro(QStringLiteral("Paciente não cadastrado."));
        after = true;
    }));
    QVERIFY(!after);
    QCOMPARE(scripted.errors(), QStringList{QStringLiteral("Paciente não cadastrado.")});
    QVERIFY(runGuarded([] {}));
}

void TestMessages::guardShowsOtherFailures()
{
    ScriptedInteraction scripted;
    QVERIFY(!runGuarded([] { throw UserError(QStringLiteral("Campo inexistente: X.")); }));
    QVERIFY(!runGuarded([] { throw std::runtime_error("falha de leitura"); }));
    QCOMPARE(scripted.errors(), (QStringList{QStringLiteral("Campo inexistente: X."),
                                             QStringLiteral("falha de leitura")}));
}

void TestMessages::serverEnvelope_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");

    QTest::newRow("success") << QByteArray(R"({"ok":true,"data":[1,2]})") << true << QString();
    QTest::newRow("failure") << QByteArray(R"({"ok":false,"error":"Serviço já cadastrado."})") << false
                             << QStringLiteral("Serviço já cadastrado.");
    QTest::newRow("failure without text") << QByteArray(R"({"ok":false})") << false
                                          << QStringLiteral("O servidor de aplicação recusou a operação.");
    QTest::newRow("not JSON") << QByteArray("<html>") << false
                              << QStringLiteral("Resposta inválida do servidor de aplicação.");
    QTest::newRow("no ok flag") << QByteArray(R"({"data":1})") << false
                                << QStringLiteral("Resposta inválida do servidor de aplicação.");
}

void TestMessages::serverEnvelope()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    const ServerResult result = ServerResult::fromJson(body);
    QCOMPARE(result.ok, ok);
    QCOMPARE(result.error, error);
    const ServerResult again = ServerResult::fromJson(result.toJson());
    QCOMPARE(again.ok, result.ok);
    QCOMPARE(again.error, result.error);
    QCOMPARE(again.data, result.data);
}

void TestMessages::checkResultServReportsFailures()
{
    ScriptedInteraction scripted;
    const QJsonValue data = QJsonArray{1, 2};
    QCOMPARE(CheckResultServ(ServerResult::success(data), true, 0), data);
    QVERIFY(scripted.events().isEmpty());

    const ServerResult failed = ServerResult::failure(QStringLiteral("Registro alterado por outro usuário."));
    QVERIFY_THROWS_EXCEPTION(Abort, CheckResultServ(failed, true, 0));
    QVERIFY(CheckResultServ(failed, false, 0).isNull());
    QCOMPARE(scripted.errors(), QStringList(2, failed.error));
}

QTEST_GUILESS_MAIN(TestMessages)
#include "tst_messages.moc"
