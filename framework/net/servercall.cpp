#include "net/servercall.h"

#include "core/clientdataset.h"
#include "net/tnetconnection.h"
#include "core/messages.h"
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
    DataPacket packet;
    // Rows made with room for the dataset's calculated fields are taken
    // over as they are.
    CheckResultServ(connection.CallPacket(method, args, packet, target.FieldCount()));
    target.LoadFromPacket(std::move(packet));
}

void KeepForResend(ClientDataSet &level)
{
    level.Edit();
    MensErro(QStringLiteral("Servidor de aplicação indisponível. Os dados digitados foram mantidos; "
                            "confirme novamente."));
}

void SendChanges(ClientDataSet &level, TNetConnection &connection, const QString &method, PendingChange change,
                 const std::function<void()> &afterRefusal)
{
    if (level.ChangeCount() == 0)
        return;
    const ServerResult result = connection.Call(method, {level.Delta().toJson()});
    if (result.ok) {
        if (level.LogChanges())
            level.MergeChangeLog();
        return;
    }
    if (result.unanswered && change == PendingChange::Post) {
        // The record's values are those the user confirmed; sending them
        // again is safe, as a change applied by the lost call is refused
        // the second time instead of being written twice.
        KeepForResend(level);
    }
    level.CancelUpdates();
    if (afterRefusal && !result.unanswered) {
        try {
            afterRefusal();
        } catch (...) {
            // The refusal is what gets reported.
        }
    }
    CheckResultServ(result);
}
