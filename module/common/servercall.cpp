#include "servercall.h"

#include "core/clientdataset.h"
#include "net/tnetconnection.h"
#include "core/serverresult.h"
#include "core/velunor.h"

TNetConnection *NewEntPatConnection(QObject *owner, const QString &objectName)
{
    auto *connection = new TNetConnection(owner);
    connection->setObjectName(objectName);
    connection->SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    connection->BeforeConnect = [](TNetConnection &c) {
        c.SetHost(WebURL());
        c.SetPort(WebPort());
    };
    return connection;
}

QJsonValue CallServer(TNetConnection &connection, const QString &method, const QJsonArray &args)
{
    return CheckResultServ(connection.Call(method, args));
}

void LoadPacket(ClientDataSet &target, const QJsonValue &packet)
{
    target.LoadFromPacket(DataPacket::fromJson(packet));
}

void LoadFromServer(ClientDataSet &target, TNetConnection &connection, const QString &method,
                    const QJsonArray &args)
{
    LoadPacket(target, CallServer(connection, method, args));
}

void SendChanges(ClientDataSet &level, TNetConnection &connection, const QString &method)
{
    if (level.ChangeCount() == 0)
        return;
    try {
        CallServer(connection, method, {level.Delta().toJson()});
        if (level.LogChanges())
            level.MergeChangeLog();
    } catch (...) {
        level.CancelUpdates();
        throw;
    }
}
