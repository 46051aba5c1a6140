#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

class ClientDataSet;
class QObject;
class TNetConnection;

// A connection to the application-server object "Vqn18000.rdmEntPat" owned
// by `owner`, reaching the server the operator context names at each
// connection.
TNetConnection *NewEntPatConnection(QObject *owner, const QString &objectName);

// Calls a method of the application server and passes its answer through
// CheckResultServ: a failure is shown to the user and ends the operation.
// Returns the answer's data.
QJsonValue CallServer(TNetConnection &connection, const QString &method, const QJsonArray &args);

// Calls a reading method and loads the data packet it returns into the
// dataset. On any failure the dataset keeps its previous content.
void LoadFromServer(ClientDataSet &target, TNetConnection &connection, const QString &method,
                    const QJsonArray &args);

// Loads one packet of a multi-packet answer into the dataset.
void LoadPacket(ClientDataSet &target, const QJsonValue &packet);

// Sends the unsent changes of a record level at once with the server's change
// method (SetServInte, SetConfesco, SetOcorrencia); nothing is sent without a
// change. On success the change log is merged; on any failure every unsent
// change of the level is discarded (a new record disappears, a deleted one
// comes back) and the failure goes on to the caller.
void SendChanges(ClientDataSet &level, TNetConnection &connection, const QString &method);
