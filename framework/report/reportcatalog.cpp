#include "report/reportcatalog.h"

#include "core/abort.h"
#include "report/reportdefinition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ReportCatalog", text);
}

QString &userOverride()
{
    static QString folder;
    return folder;
}

QString &shippedOverride()
{
    static QString folder;
    return folder;
}

// "<code>.json" is the main definition, "<code>-<n>.json" a copy.
bool belongsTo(const QString &fileName, const QString &code)
{
    if (fileName.compare(code + QLatin1String(".json"), Qt::CaseInsensitive) == 0)
        return true;
    static const QRegularExpression copy(QStringLiteral("^(.+)-\\d+\\.json$"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = copy.match(fileName);
    return match.hasMatch() && match.captured(1).compare(code, Qt::CaseInsensitive) == 0;
}

void writeFile(const QString &fileName, const QByteArray &text)
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        throw UserError(tr("A pasta de %1 não pôde ser criada.").arg(fileName));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        throw UserError(tr("O arquivo %1 não pôde ser gravado: %2").arg(fileName, file.errorString()));
}

QString codeOf(const QString &fileName)
{
    return ReportDefinition::fromJson(ReportCatalog::readText(fileName)).code;
}

} // namespace

namespace ReportCatalog {

QString shippedFolder()
{
    if (!shippedOverride().isEmpty())
        return shippedOverride();
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("reports"));
}

QString userFolder()
{
    if (!userOverride().isEmpty())
        return userOverride();
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("reports"));
}

void setFolders(const QString &user, const QString &shipped)
{
    userOverride() = user;
    shippedOverride() = shipped;
}

QList<Entry> entries(const QString &code)
{
    QStringList names;
    QList<Entry> found;
    for (const QString &folder : {userFolder(), shippedFolder()}) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name)) {
            if (!belongsTo(name, code) || names.contains(name, Qt::CaseInsensitive))
                continue;
            names << name;
            QFile file(dir.filePath(name));
            const QString title = file.open(QIODevice::ReadOnly)
                                      ? ReportDefinition::titleOf(file.readAll()) : QString();
            found << Entry{title.isEmpty() ? name : title, dir.filePath(name)};
        }
    }
    const auto isMain = [&code](const Entry &entry) {
        return QFileInfo(entry.fileName).completeBaseName().compare(code, Qt::CaseInsensitive) == 0;
    };
    std::stable_sort(found.begin(), found.end(), [&isMain](const Entry &a, const Entry &b) {
        if (isMain(a) != isMain(b))
            return isMain(a);
        return QFileInfo(a.fileName).fileName() < QFileInfo(b.fileName).fileName();
    });
    return found;
}

QByteArray readText(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(tr("O arquivo %1 não pôde ser lido: %2").arg(fileName, file.errorString()));
    return file.readAll();
}

QString saveCopy(const QString &sourceFile, const QString &title)
{
    const QString code = codeOf(sourceFile);
    QJsonObject object = QJsonDocument::fromJson(readText(sourceFile)).object();
    object.insert(QStringLiteral("title"), title);
    const QDir dir(userFolder());
    int number = 1;
    QString fileName;
    do {
        fileName = dir.filePath(QStringLiteral("%1-%2.json").arg(code).arg(number++));
    } while (QFileInfo::exists(fileName)
             || QFileInfo::exists(QDir(shippedFolder()).filePath(QFileInfo(fileName).fileName())));
    writeFile(fileName, QJsonDocument(object).toJson(QJsonDocument::Indented));
    return fileName;
}

QString saveEdited(const QString &sourceFile, const QByteArray &text)
{
    ReportDefinition::fromJson(text);
    const QString fileName = QDir(userFolder()).filePath(QFileInfo(sourceFile).fileName());
    writeFile(fileName, text);
    return fileName;
}

} // namespace ReportCatalog
