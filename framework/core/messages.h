#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <initializer_list>

// One entry of a screen's message table: the key code looks it up, the bar
// is the entry's short heading, the text is what the user reads.
struct MessageEntry
{
    QString key;
    QString bar;
    QString text;
};

// Kinds of message for ShowMsg and MsgAlertEx.
enum MessageType { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };
// Button sets for ShowMsg.
enum MessageButtons { mbOK = 0, mbYesNo = 1 };
// Answers of ShowMsg.
enum MessageAnswer { mrYes = 6, mrNo = 7 };

// A screen's keyed message table.
class TMessages
{
public:
    TMessages() = default;
    TMessages(std::initializer_list<MessageEntry> entries);

    void Add(const MessageEntry &entry);
    void Add(std::initializer_list<MessageEntry> entries);
    bool Contains(const QString &key) const;
    // The text of the key's entry. An unknown key is a programming error:
    // throws std::logic_error so tests fail loudly.
    QString Msg(const QString &key) const;
    // Shows the key's text; with mbYesNo asks and returns mrYes or mrNo,
    // else informs and returns mrYes.
    int ShowMsg(const QString &key, int type, int buttons, int helpContext = 0) const;

private:
    QVector<MessageEntry> m_entries;
};

// Asks with caller-given captions; returns 10, 11 or 12 for the first,
// second or third caption.
int MsgAlertEx(const QString &text, int type, const QStringList &captions, int = 0, int = 0, int = 0);

// Shows the text as an error; when `abort` is true, ends the running
// operation with Abort.
void MensErro(const QString &text, bool abort = true);
