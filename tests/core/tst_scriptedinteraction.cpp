#include "core/clientdataset.h"
#include "core/messages.h"
#include "scriptedinteraction.h"

#include <QtTest>

class TestScriptedInteraction : public QObject
{
    Q_OBJECT

private slots:
    void unansweredPromptsAreRecorded();
    void silentDefaultAfterScriptEnds();
    void pickLeavesTheDataOnTheAnsweredRow();
    void pickOfAnAbsentRowIsUnexpected();
    void markListHandsBackTheAnswer();
};

namespace {

FieldDef textField(const QString &name, int size)
{
    FieldDef def;
    def.name = name;
    def.size = size;
    return def;
}

std::unique_ptr<ClientDataSet> wings()
{
    auto data = std::make_unique<ClientDataSet>();
    data->AddField(textField(QStringLiteral("CDALA"), 4));
    data->AddField(textField(QStringLiteral("NMALA"), 30));
    data->CreateDataSet();
    for (const auto &[code, name] : {std::pair{"A1", "Ala Norte"}, std::pair{"B2", "Ala Sul"}}) {
        data->Append();
        data->FieldByName(QStringLiteral("CDALA"))->SetAsString(QString::fromLatin1(code));
        data->FieldByName(QStringLiteral("NMALA"))->SetAsString(QString::fromLatin1(name));
        data->Post();
    }
    data->First();
    return data;
}

} // namespace

void TestScriptedInteraction::unansweredPromptsAreRecorded()
{
    ScriptedInteraction scripted;
    scripted.answerQuestion(true);
    QVERIFY(interaction().question(QStringLiteral("Primeira?")));
    QVERIFY(!interaction().question(QStringLiteral("Segunda?")));
    const QStringList captions{QStringLiteral("Sim"), QStringLiteral("Não"), QStringLiteral("Cancelar")};
    QCOMPARE(MsgAlertEx(QStringLiteral("Terceira?"), mtConfirmation, captions), 12);
    QCOMPARE(scripted.unexpected(), (QStringList{QStringLiteral("question: Segunda?"),
                                                 QStringLiteral("alert: Terceira?")}));
    QCOMPARE(scripted.messages(), (QStringList{QStringLiteral("Primeira?"), QStringLiteral("Segunda?"),
                                               QStringLiteral("Terceira?")}));
    scripted.answerQuestion(false);
    QVERIFY(!scripted.allAnswersUsed());
    scripted.clear();
    QVERIFY(scripted.allAnswersUsed());
    QVERIFY(scripted.unexpected().isEmpty());
}

void TestScriptedInteraction::silentDefaultAfterScriptEnds()
{
    {
        ScriptedInteraction scripted;
        QCOMPARE(&interaction(), &scripted);
    }
    QTest::ignoreMessage(QtDebugMsg, "question answered No: Ninguém responde?");
    QVERIFY(!interaction().question(QStringLiteral("Ninguém responde?")));
}

void TestScriptedInteraction::pickLeavesTheDataOnTheAnsweredRow()
{
    ScriptedInteraction scripted;
    const auto data = wings();
    scripted.answerPick(QStringLiteral("NMALA"), QStringLiteral("ala sul"));
    scripted.answerPickCancel();
    QVERIFY(interaction().pick(*data, QStringLiteral("Ala")));
    QCOMPARE(data->FieldByName(QStringLiteral("CDALA"))->AsString(), QStringLiteral("B2"));
    QVERIFY(!interaction().pick(*data, QStringLiteral("Ala")));
    QVERIFY(scripted.unexpected().isEmpty());
    QCOMPARE(scripted.events().size(), 2);
    QCOMPARE(scripted.events()[0].kind, QStringLiteral("pick"));
}

void TestScriptedInteraction::pickOfAnAbsentRowIsUnexpected()
{
    ScriptedInteraction scripted;
    const auto data = wings();
    scripted.answerPick(QStringLiteral("CDALA"), QStringLiteral("Z9"));
    QVERIFY(!interaction().pick(*data, QStringLiteral("Ala")));
    QCOMPARE(scripted.unexpected(), QStringList{QStringLiteral("pick: Ala: no row with CDALA = Z9")});
    QVERIFY(!interaction().find(*data));
    QCOMPARE(scripted.unexpected().size(), 2);
}

void TestScriptedInteraction::markListHandsBackTheAnswer()
{
    ScriptedInteraction scripted;
    const auto data = wings();
    scripted.answerMarkList(QStringList{QStringLiteral("A1"), QStringLiteral("B2")});
    scripted.answerMarkList(std::nullopt);
    const QStringList before{QStringLiteral("B2")};
    QCOMPARE(interaction().markList(*data, QStringLiteral("CDALA"), QStringLiteral("Alas"), before),
             std::optional<QStringList>({QStringLiteral("A1"), QStringLiteral("B2")}));
    QCOMPARE(scripted.lastMarked(), before);
    QVERIFY(!interaction().markList(*data, QStringLiteral("CDALA"), QStringLiteral("Alas"), {}));
    QVERIFY(scripted.allAnswersUsed());
    QVERIFY(scripted.unexpected().isEmpty());
}

QTEST_GUILESS_MAIN(TestScriptedInteraction)
#include "tst_scriptedinteraction.moc"
