#pragma once

#include "core/serverresult.h"

#include <QJsonArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

// Connection to an application-server object, e.g. "Vqn18000.rdmEntPat".
// A call posts {"args":[...]} to /<object>/<method> (the object is the part
// of ServerName after its last dot) and blocks the calling thread until the
// answer arrives: no event loop runs meanwhile, so no timer or click is
// handled in the middle of a call. The connection is kept alive between
// calls and sends without delay (TCP_NODELAY). Each call names the operator
// (header X-Operador) for the server's log.
//
//   TNetConnection net;
//   net.SetServerName("Vqn18000.rdmEntPat");
//   net.BeforeConnect = [](TNetConnection &c) { c.SetHost(WebURL()); c.SetPort(WebPort()); };
//   const QJsonValue data = CheckResultServ(net.Call("getVeriServ", {code, branch}));
class TNetConnection : public QObject
{
    Q_OBJECT
public:
    explicit TNetConnection(QObject *parent = nullptr);
    ~TNetConnection() override;

    QString ServerName() const { return m_serverName; }
    void SetServerName(const QString &name) { m_serverName = name; }
    QString Host() const { return m_host; }
    void SetHost(const QString &host);
    int Port() const { return m_port; }
    void SetPort(int port);
    // Sent as "Authorization: Bearer <token>" when not empty; when empty,
    // the operator context's token (set by the host) is sent instead.
    QString Token() const { return m_token; }
    void SetToken(const QString &token) { m_token = token; }
    // When true a failed call throws UserError with its message instead of
    // returning the failed result.
    bool ThrowException() const { return m_throwException; }
    void SetThrowException(bool value) { m_throwException = value; }
    // Seconds a call may wait for its answer.
    int Timeout() const { return m_timeout; }
    void SetTimeout(int seconds);

    // Runs before every connection is made (typically sets host and port).
    std::function<void(TNetConnection &)> BeforeConnect;

    bool Connected() const { return m_client != nullptr; }
    // true: runs BeforeConnect and prepares the connection to host and port;
    // false: closes it. Calls connect by themselves when needed.
    void SetConnected(bool connected);

    // Calls a method of the server object. Transport failures and server
    // refusals come back as a failed result with a message for the user
    // (or as UserError when ThrowException is set); a transport failure is
    // marked `unanswered`.
    ServerResult Call(const QString &method, const QJsonArray &args = {});

signals:
    // A call of the method is about to be sent (watched by tools and tests
    // that count the traffic of a screen).
    void calling(const QString &method);

private:
    struct Client;
    ServerResult send(const QString &path, const QByteArray &body);

    QString m_serverName;
    QString m_host = QStringLiteral("127.0.0.1");
    int m_port = 0;
    QString m_token;
    bool m_throwException = false;
    int m_timeout = 120;
    std::unique_ptr<Client> m_client;
};
