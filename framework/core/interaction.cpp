#include "core/interaction.h"

#include <QDebug>

namespace {

// Used until the host or a test installs an interaction: nobody is there to
// answer, so every prompt is refused and every message goes to the log.
class SilentInteraction : public Interaction
{
public:
    void error(const QString &text) override { qWarning().noquote() << "error:" << text; }
    void information(const QString &text) override { qDebug().noquote() << "information:" << text; }
    bool question(const QString &text) override
    {
        qDebug().noquote() << "question answered No:" << text;
        return false;
    }
    int alert(const QString &text, const QStringList &captions) override
    {
        qDebug().noquote() << "alert answered with its last caption:" << text << captions;
        return captions.isEmpty() ? 0 : int(captions.size()) - 1;
    }
    bool pick(ClientDataSet &, const QString &title) override
    {
        qDebug().noquote() << "search list cancelled:" << title;
        return false;
    }
    std::optional<QStringList> markList(ClientDataSet &, const QString &, const QString &title,
                                        const QStringList &) override
    {
        qDebug().noquote() << "marking list cancelled:" << title;
        return std::nullopt;
    }
    bool find(ClientDataSet &) override
    {
        qDebug() << "find dialog cancelled";
        return false;
    }
    int execDialog(QDialog &) override
    {
        qDebug() << "dialog rejected";
        return 0;
    }
    QString saveFileName(const QString &title, const QString &, const QString &) override
    {
        qDebug().noquote() << "file choice cancelled:" << title;
        return {};
    }
};

SilentInteraction g_silent;
Interaction *g_current = &g_silent;

} // namespace

Interaction &interaction()
{
    return *g_current;
}

void setInteraction(Interaction *implementation)
{
    g_current = implementation ? implementation : &g_silent;
}
