#pragma once

#include <QJsonArray>
#include <QJsonValue>
#include <QString>

#include <functional>

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

// What the unsent change of a record level came from.
enum class PendingChange { Post, Deletion };

// Sends the unsent changes of a record level at once with the server's change
// method (SetServInte, SetConfesco, SetOcorrencia); nothing is sent without a
// change. On success the change log is merged. When the server refuses the
// change (ok:false), every unsent change of the level is discarded (a new
// record disappears, a deleted one comes back), `afterRefusal` runs (e.g. to
// show what the server holds) and the refusal is reported. When the call
// gets no answer, what the user typed is not thrown away: a posted record
// stays unsent and goes back into edit, so the next Confirmar sends it again;
// a deleted record comes back. Either failure ends the operation (Abort).
// A posted record whose sending got no answer goes back into edit with what
// the user typed, and the user is told to confirm it again; ends the
// operation (Abort).
void KeepForResend(ClientDataSet &level);

void SendChanges(ClientDataSet &level, TNetConnection &connection, const QString &method, PendingChange change,
                 const std::function<void()> &afterRefusal = {});
