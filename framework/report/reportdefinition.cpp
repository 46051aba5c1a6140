#include "report/reportdefinition.h"

#include "core/abort.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportDefinition", text);
}

// A text given either as one string or as an array of lines.
QString joinedText(const QJsonValue &value)
{
    if (!value.isArray())
        return value.toString();
    QStringList lines;
    for (const QJsonValue &line : value.toArray())
        lines << line.toString();
    return lines.join(QLatin1Char('\n'));
}

QStringList textList(const QJsonValue &value)
{
    QStringList texts;
    for (const QJsonValue &text : value.toArray())
        texts << text.toString();
    return texts;
}

ReportBand readBand(const QJsonValue &value)
{
    ReportBand band;
    if (value.isString()) {
        band.text = value.toString();
        return band;
    }
    const QJsonObject object = value.toObject();
    band.text = object.value(QLatin1String("text")).toString();
    band.skipWhenNull = object.value(QLatin1String("skipWhenNull")).toString();
    band.bold = object.value(QLatin1String("bold")).toBool();
    band.indent = object.value(QLatin1String("indent")).toInt();
    for (const QJsonValue &item : object.value(QLatin1String("columns")).toArray()) {
        const QJsonObject column = item.toObject();
        ReportColumn cell;
        cell.title = column.value(QLatin1String("title")).toString();
        cell.value = column.value(QLatin1String("value")).toString();
        cell.width = column.value(QLatin1String("width")).toDouble(1);
        if (cell.width <= 0)
            throw UserError(tr("A coluna \"%1\" tem largura inválida.").arg(cell.title));
        cell.alignRight = column.value(QLatin1String("align")).toString() == QLatin1String("right");
        band.columns << cell;
    }
    return band;
}

ReportTotal readTotal(const QJsonObject &object, const QString &groupName)
{
    ReportTotal total;
    total.name = object.value(QLatin1String("name")).toString();
    total.field = object.value(QLatin1String("field")).toString();
    total.function = object.value(QLatin1String("function")).toString(QStringLiteral("sum"));
    total.over = object.value(QLatin1String("over")).toString();
    if (total.name.isEmpty())
        throw UserError(tr("Um total do grupo \"%1\" não tem nome.").arg(groupName));
    if (total.function != QLatin1String("sum") && total.function != QLatin1String("count"))
        throw UserError(tr("O total \"%1\" tem função desconhecida \"%2\" (use sum ou count).")
                            .arg(total.name, total.function));
    if (total.function == QLatin1String("sum") && total.field.isEmpty())
        throw UserError(tr("O total \"%1\" não diz o campo que soma.").arg(total.name));
    return total;
}

// A total taken over an inner group must name a group inside its own.
void checkTotals(const QList<ReportGroup> &groups)
{
    for (int level = 0; level < groups.size(); ++level) {
        for (const ReportTotal &total : groups.at(level).totals) {
            if (total.over.isEmpty())
                continue;
            bool inner = false;
            for (int other = level + 1; other < groups.size(); ++other)
                inner = inner || groups.at(other).name == total.over;
            if (!inner)
                throw UserError(tr("O total \"%1\" é tomado sobre o grupo \"%2\", que não está dentro "
                                   "do grupo \"%3\".")
                                    .arg(total.name, total.over, groups.at(level).name));
        }
    }
}

QJsonObject parseObject(const QByteArray &json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError)
        throw UserError(tr("Definição de relatório inválida (posição %1): %2")
                            .arg(error.offset).arg(error.errorString()));
    if (!document.isObject())
        throw UserError(tr("Definição de relatório inválida: o texto não é um objeto JSON."));
    return document.object();
}

} // namespace

ReportDefinition ReportDefinition::fromJson(const QByteArray &json)
{
    const QJsonObject object = parseObject(json);
    ReportDefinition definition;
    definition.code = object.value(QLatin1String("code")).toString();
    definition.title = object.value(QLatin1String("title")).toString();
    definition.landscape = object.value(QLatin1String("orientation")).toString() == QLatin1String("landscape");
    definition.sql = joinedText(object.value(QLatin1String("sql")));
    definition.screenRows = object.value(QLatin1String("source")).toString() == QLatin1String("screen");
    definition.endOfDayParameters = textList(object.value(QLatin1String("endOfDayParameters")));
    definition.headerLines = textList(object.value(QLatin1String("header")));
    definition.emptyText = object.value(QLatin1String("empty")).toString();
    for (const QJsonValue &criterion : object.value(QLatin1String("criteria")).toArray()) {
        const QJsonArray pair = criterion.toArray();
        if (pair.size() != 2 || !pair.at(0).isString() || !pair.at(1).isString())
            throw UserError(tr("Definição de relatório inválida: cada critério (criteria) é [parâmetro, nome]."));
        definition.criteria << qMakePair(pair.at(0).toString(), pair.at(1).toString());
    }
    for (const QJsonValue &item : object.value(QLatin1String("groups")).toArray()) {
        const QJsonObject groupObject = item.toObject();
        ReportGroup group;
        group.name = groupObject.value(QLatin1String("name")).toString();
        group.key = textList(groupObject.value(QLatin1String("key")));
        if (group.key.isEmpty())
            throw UserError(tr("O grupo \"%1\" não tem campos de quebra (key).").arg(group.name));
        group.header = readBand(groupObject.value(QLatin1String("header")));
        group.footer = readBand(groupObject.value(QLatin1String("footer")));
        for (const QJsonValue &total : groupObject.value(QLatin1String("totals")).toArray())
            group.totals << readTotal(total.toObject(), group.name);
        definition.groups << group;
    }
    checkTotals(definition.groups);
    definition.detail = readBand(object.value(QLatin1String("detail")));
    if (definition.code.isEmpty() || (definition.sql.trimmed().isEmpty() && !definition.screenRows))
        throw UserError(tr("Definição de relatório inválida: faltam o código (code) ou o SQL (sql)."));
    return definition;
}

ReportDefinition ReportDefinition::fromFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(tr("O arquivo %1 não pôde ser lido: %2").arg(fileName, file.errorString()));
    try {
        return fromJson(file.readAll());
    } catch (const UserError &error) {
        throw UserError(QStringLiteral("%1\n%2").arg(fileName, error.text()));
    }
}

QString ReportDefinition::titleOf(const QByteArray &json)
{
    const QJsonDocument document = QJsonDocument::fromJson(json);
    return document.object().value(QLatin1String("title")).toString();
}
