#include "core/messages.h"

#include "core/abort.h"
#include "core/interaction.h"

#include <algorithm>
#include <stdexcept>

TMessages::TMessages(std::initializer_list<MessageEntry> entries)
{
    Add(entries);
}

void TMessages::Add(const MessageEntry &entry)
{
    m_entries.append(entry);
}

void TMessages::Add(std::initializer_list<MessageEntry> entries)
{
    for (const MessageEntry &entry : entries)
        Add(entry);
}

bool TMessages::Contains(const QString &key) const
{
    return std::any_of(m_entries.cbegin(), m_entries.cend(),
                       [&key](const MessageEntry &entry) { return entry.key == key; });
}

QString TMessages::Msg(const QString &key) const
{
    for (const MessageEntry &entry : m_entries) {
        if (entry.key == key)
            return entry.text;
    }
    throw std::logic_error("message key not in the table: " + key.toStdString());
}

int TMessages::ShowMsg(const QString &key, int, int buttons, int) const
{
    const QString text = Msg(key);
    if (buttons == mbYesNo)
        return interaction().question(text) ? mrYes : mrNo;
    interaction().information(text);
    return mrYes;
}

int MsgAlertEx(const QString &text, int, const QStringList &captions, int, int, int)
{
    const int last = std::max(int(captions.size()) - 1, 0);
    return 10 + std::clamp(interaction().alert(text, captions), 0, last);
}

void MensErro(const QString &text, bool abort)
{
    interaction().error(text);
    if (abort)
        throw Abort();
}
