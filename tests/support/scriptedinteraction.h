#pragma once

#include "core/interaction.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <optional>

// The interaction tests install: it records every message and prompt in
// order and answers prompts from queues filled by the test. A prompt with no
// queued answer is recorded as unexpected and answered No / cancel, so a test
// checks unexpected() (for example in cleanup()) to fail on it.
// Constructing one installs it; destroying it restores the default.
class ScriptedInteraction : public Interaction
{
public:
    struct Event
    {
        QString kind;   // "error", "information", "question", "alert", "pick", "mark", "find", "dialog", "file"
        QString text;   // message text, or the title of a list
    };

    ScriptedInteraction();
    ~ScriptedInteraction() override;

    // Answers, consumed in order per kind of prompt.
    void answerQuestion(bool yes);
    void answerAlert(int captionIndex);
    // Picks the row whose field equals the value (case-insensitive); an
    // absent row is recorded as unexpected and answers cancel.
    void answerPick(const QString &fieldName, const QVariant &value);
    void answerPickCancel();
    void answerMarkList(const std::optional<QStringList> &keys);
    void answerFind(const QString &fieldName, const QVariant &value);
    void answerFindCancel();
    // The callback acts on the dialog's widgets and returns its result code.
    void answerDialog(const std::function<int(QDialog &)> &act);
    // The path chosen in a save-file dialog; an empty path cancels.
    void answerSaveFile(const QString &path);

    const QVector<Event> &events() const { return m_events; }
    // Texts of every error, information, question and alert, in order.
    QStringList messages() const;
    QStringList errors() const;
    // Keys handed to the latest mark list as marked at its start.
    QStringList lastMarked() const { return m_lastMarked; }
    QStringList unexpected() const { return m_unexpected; }
    bool allAnswersUsed() const;
    // The kinds of prompt with answers still queued, one entry per answer.
    QStringList pendingAnswers() const;
    void clear();

    // Interaction
    void error(const QString &text) override;
    void information(const QString &text) override;
    bool question(const QString &text) override;
    int alert(const QString &text, const QStringList &captions) override;
    bool pick(ClientDataSet &data, const QString &title) override;
    std::optional<QStringList> markList(ClientDataSet &data, const QString &keyField,
                                        const QString &title, const QStringList &marked) override;
    bool find(ClientDataSet &data) override;
    int execDialog(QDialog &dialog) override;
    QString saveFileName(const QString &title, const QString &suggested, const QString &filter) override;

private:
    struct RowAnswer
    {
        bool cancel = false;
        QString fieldName;
        QVariant value;
    };
    bool locateAnswer(ClientDataSet &data, const RowAnswer &answer, const QString &what);

    QVector<Event> m_events;
    QStringList m_unexpected;
    QStringList m_lastMarked;
    QQueue<bool> m_questions;
    QQueue<int> m_alerts;
    QQueue<RowAnswer> m_picks;
    QQueue<RowAnswer> m_finds;
    QQueue<std::optional<QStringList>> m_marks;
    QQueue<std::function<int(QDialog &)>> m_dialogs;
    QQueue<QString> m_files;
};
