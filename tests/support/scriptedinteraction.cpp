#include "scriptedinteraction.h"

#include "core/clientdataset.h"

#include <QDialog>

namespace {

template<typename T>
bool hasAnswer(QQueue<T> &queue, QStringList &unexpected, const QString &what)
{
    if (!queue.isEmpty())
        return true;
    unexpected.append(what);
    return false;
}

} // namespace

ScriptedInteraction::ScriptedInteraction()
{
    setInteraction(this);
}

ScriptedInteraction::~ScriptedInteraction()
{
    setInteraction(nullptr);
}

void ScriptedInteraction::answerQuestion(bool yes)
{
    m_questions.enqueue(yes);
}

void ScriptedInteraction::answerAlert(int captionIndex)
{
    m_alerts.enqueue(captionIndex);
}

void ScriptedInteraction::answerPick(const QString &fieldName, const QVariant &value)
{
    m_picks.enqueue({false, fieldName, value});
}

void ScriptedInteraction::answerPickCancel()
{
    m_picks.enqueue({true, {}, {}});
}

void ScriptedInteraction::answerMarkList(const std::optional<QStringList> &keys)
{
    m_marks.enqueue(keys);
}

void ScriptedInteraction::answerFind(const QString &fieldName, const QVariant &value)
{
    m_finds.enqueue({false, fieldName, value});
}

void ScriptedInteraction::answerSaveFile(const QString &path)
{
    m_files.enqueue(path);
}

void ScriptedInteraction::answerFindCancel()
{
    m_finds.enqueue({true, {}, {}});
}

void ScriptedInteraction::answerDialog(const std::function<int(QDialog &)> &act)
{
    m_dialogs.enqueue(act);
}

QStringList ScriptedInteraction::messages() const
{
    static const QStringList messageKinds{QStringLiteral("error"), QStringLiteral("information"),
                                          QStringLiteral("question"), QStringLiteral("alert")};
    QStringList texts;
    for (const Event &event : m_events) {
        if (messageKinds.contains(event.kind))
            texts.append(event.text);
    }
    return texts;
}

QStringList ScriptedInteraction::errors() const
{
    QStringList texts;
    for (const Event &event : m_events) {
        if (event.kind == QLatin1String("error"))
            texts.append(event.text);
    }
    return texts;
}

bool ScriptedInteraction::allAnswersUsed() const
{
    return m_questions.isEmpty() && m_alerts.isEmpty() && m_picks.isEmpty() && m_finds.isEmpty()
        && m_marks.isEmpty() && m_dialogs.isEmpty() && m_files.isEmpty();
}

QStringList ScriptedInteraction::pendingAnswers() const
{
    QStringList pending;
    const auto add = [&pending](const char *kind, qsizetype count) {
        for (qsizetype i = 0; i < count; ++i)
            pending << QString::fromLatin1(kind);
    };
    add("question", m_questions.size());
    add("alert", m_alerts.size());
    add("pick", m_picks.size());
    add("find", m_finds.size());
    add("mark", m_marks.size());
    add("dialog", m_dialogs.size());
    add("file", m_files.size());
    return pending;
}

void ScriptedInteraction::clear()
{
    m_events.clear();
    m_unexpected.clear();
    m_lastMarked.clear();
    m_questions.clear();
    m_alerts.clear();
    m_picks.clear();
    m_finds.clear();
    m_marks.clear();
    m_dialogs.clear();
    m_files.clear();
}

void ScriptedInteraction::error(const QString &text)
{
    m_events.append({QStringLiteral("error"), text});
}

void ScriptedInteraction::information(const QString &text)
{
    m_events.append({QStringLiteral("information"), text});
}

bool ScriptedInteraction::question(const QString &text)
{
    m_events.append({QStringLiteral("question"), text});
    if (!hasAnswer(m_questions, m_unexpected, QStringLiteral("question: ") + text))
        return false;
    return m_questions.dequeue();
}

int ScriptedInteraction::alert(const QString &text, const QStringList &captions)
{
    m_events.append({QStringLiteral("alert"), text});
    // Unanswered, the last caption is taken: by convention it cancels.
    if (!hasAnswer(m_alerts, m_unexpected, QStringLiteral("alert: ") + text))
        return std::max(int(captions.size()) - 1, 0);
    return m_alerts.dequeue();
}

bool ScriptedInteraction::pick(ClientDataSet &data, const QString &title)
{
    m_events.append({QStringLiteral("pick"), title});
    if (!hasAnswer(m_picks, m_unexpected, QStringLiteral("pick: ") + title))
        return false;
    return locateAnswer(data, m_picks.dequeue(), QStringLiteral("pick: ") + title);
}

std::optional<QStringList> ScriptedInteraction::markList(ClientDataSet &, const QString &,
                                                         const QString &title,
                                                         const QStringList &marked)
{
    m_events.append({QStringLiteral("mark"), title});
    m_lastMarked = marked;
    if (!hasAnswer(m_marks, m_unexpected, QStringLiteral("mark: ") + title))
        return std::nullopt;
    return m_marks.dequeue();
}

bool ScriptedInteraction::find(ClientDataSet &data)
{
    m_events.append({QStringLiteral("find"), QString()});
    if (!hasAnswer(m_finds, m_unexpected, QStringLiteral("find")))
        return false;
    return locateAnswer(data, m_finds.dequeue(), QStringLiteral("find"));
}

int ScriptedInteraction::execDialog(QDialog &dialog)
{
    const QString title = dialog.windowTitle();
    m_events.append({QStringLiteral("dialog"), title});
    if (!hasAnswer(m_dialogs, m_unexpected, QStringLiteral("dialog: ") + title))
        return QDialog::Rejected;
    return m_dialogs.dequeue()(dialog);
}

QString ScriptedInteraction::saveFileName(const QString &title, const QString &, const QString &)
{
    m_events.append({QStringLiteral("file"), title});
    if (!hasAnswer(m_files, m_unexpected, QStringLiteral("file: ") + title))
        return {};
    return m_files.dequeue();
}

bool ScriptedInteraction::locateAnswer(ClientDataSet &data, const RowAnswer &answer,
                                       const QString &what)
{
    if (answer.cancel)
        return false;
    if (data.Locate(answer.fieldName, answer.value, true))
        return true;
    m_unexpected.append(QStringLiteral("%1: no row with %2 = %3")
                            .arg(what, answer.fieldName, answer.value.toString()));
    return false;
}
