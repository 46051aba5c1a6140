#include "screens/datasetfile.h"

#include "core/abort.h"
#include "core/clientdataset.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QSaveFile>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("DataSetFile", text);
}

} // namespace

void SaveToFile(const ClientDataSet &data, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(QJsonDocument(data.ToPacket().toJson()).toJson(QJsonDocument::Compact)) < 0
        || !file.commit()) {
        throw UserError(tr("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
    }
}

void LoadFromFile(ClientDataSet &data, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(tr("Não foi possível ler o arquivo %1: %2").arg(path, file.errorString()));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError)
        throw UserError(tr("O arquivo %1 não contém dados válidos.").arg(path));
    data.LoadFromPacket(DataPacket::fromJson(document.object()));
}
