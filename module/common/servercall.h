#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

class ClientDataSet;
class TNetConnection;

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
