#pragma once

#include "core/clientdataset.h"
#include "scriptedinteraction.h"
#include "windowactivation.h"

#include <QApplication>
#include <QLocale>
#include <QTest>
#include <QWidget>

#include <memory>

// Shared set-up of the widget tests: pt_BR texts, a shown and active window.
namespace widgetfixture {

inline void usePortuguese()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

using ::showActive;

inline FieldDef field(const QString &name, FieldType type = FieldType::Text, int size = 0,
                      const QString &label = QString())
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.label = label;
    return def;
}

// Codes and names: ("0001", "Alfa"), ("0002", "Beta"), ... one row per name.
inline void fillCodes(ClientDataSet &data, const QStringList &names)
{
    data.AddField(field(QStringLiteral("CODIGO"), FieldType::Text, 4, QStringLiteral("Código")));
    data.AddField(field(QStringLiteral("NOME"), FieldType::Text, 30, QStringLiteral("Nome")));
    DataPacket packet;
    packet.fields = {{QStringLiteral("CODIGO"), FieldType::Text, 4}, {QStringLiteral("NOME"), FieldType::Text, 30}};
    for (int i = 0; i < names.size(); ++i)
        packet.rows.append({QStringLiteral("%1").arg(i + 1, 4, 10, QLatin1Char('0')), names.at(i)});
    data.LoadFromPacket(packet);
}

// One scripted interaction per test function: begin() from init(), end()
// from cleanup(), which fails the test on a prompt nobody answered.
class ScriptPerTest
{
public:
    void begin() { m_script = std::make_unique<ScriptedInteraction>(); }
    void end()
    {
        const QStringList unexpected = m_script->unexpected();
        m_script.reset();
        QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join(QLatin1Char('\n'))));
    }
    ScriptedInteraction *operator->() const { return m_script.get(); }

private:
    std::unique_ptr<ScriptedInteraction> m_script;
};

} // namespace widgetfixture
