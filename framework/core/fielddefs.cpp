#include "core/fielddefs.h"

namespace {

FieldDef field(const QString &name, FieldType type, const QString &label)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.label = label;
    return def;
}

} // namespace

FieldDef TextField(const QString &name, int size, const QString &label)
{
    FieldDef def = field(name, FieldType::Text, label);
    def.size = size;
    return def;
}

FieldDef DateField(const QString &name, const QString &label)
{
    return field(name, FieldType::DateTime, label);
}

FieldDef IntegerField(const QString &name, const QString &label)
{
    return field(name, FieldType::Integer, label);
}

FieldDef RealField(const QString &name, const QString &label, int decimals)
{
    FieldDef def = field(name, FieldType::Real, label);
    def.displayFormat = decimals > 0 ? QStringLiteral("#,##0.") + QString(decimals, QLatin1Char('0'))
                                     : QStringLiteral("#,##0");
    return def;
}

void AddFields(ClientDataSet &dataSet, std::initializer_list<FieldDef> fields)
{
    for (const FieldDef &def : fields)
        dataSet.AddField(def);
}
