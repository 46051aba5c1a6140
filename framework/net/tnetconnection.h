#pragma once

#include "core/packets.h"
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
// calls and sends without delay (TCP_NODELAY).
//
// Every call but Login carries the session token of the operator's login
// ("Authorization: Bearer <token>"). Login() stores the token in the operator
// context, where every connection of the process finds it. When a call finds
// no session, or the server answers that the session has ended (HTTP 401,
// sent before the server runs anything of the call), the process's login
// handler (SetLoginHandler) is asked to log in again and the call is sent
// once more; without a handler the refusal is the call's result.
//
// With a CA file (SetCaFile, or the operator context's webCaFile) the
// connection speaks HTTPS and accepts only a server whose certificate that
// CA signed for the host name.
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
    // the operator context's session token is sent instead.
    QString Token() const { return m_token; }
    void SetToken(const QString &token) { m_token = token; }
    // PEM file of the CA that signed the server's certificate: when set (here
    // or in the operator context) the connection speaks HTTPS.
    QString CaFile() const { return m_caFile; }
    void SetCaFile(const QString &path);
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
    // The same for a method answering a data packet: the packet is read from
    // the answer's text straight into `packet`, each row with room for
    // `rowCapacity` values (the result's data stays undefined). Throws
    // UserError when the answer is ok but its packet is malformed.
    ServerResult CallPacket(const QString &method, const QJsonArray &args, DataPacket &packet,
                            qsizetype rowCapacity = 0);

    // Logs the operator in (method Login) and, on success, keeps the
    // session's token in the operator context for every connection.
    ServerResult Login(const QString &operatorCode, const QString &password);

    // Ends the session (method Logout; never logs in again for it) and, when
    // it was the operator context's, forgets its token there.
    ServerResult Logout();

    // Logs in again when a call has no live session; answers whether a
    // session was obtained (typically through Login). Shared by every
    // connection of the process; an empty function removes it.
    using LoginHandler = std::function<bool(TNetConnection &)>;
    static void SetLoginHandler(LoginHandler handler);
signals:
    // A call of the method is about to be sent (watched by tools and tests
    // that count the traffic of a screen).
    void calling(const QString &method);

private:
    struct Client;
    // Reads the answer into a result: `document` from the body received
    // whole; `packet`, for an answer carrying a data packet, from a reader
    // of the body, or of its parts as they arrive when the server sends it
    // in parts.
    struct AnswerReader
    {
        std::function<ServerResult(QByteArrayView body)> document;
        std::function<ServerResult(JsonReader &reader)> packet;
    };
    ServerResult call(const QString &method, const QJsonArray &args, const AnswerReader &read);
    // Sends a request; *sessionRefused tells an answer of HTTP 401.
    ServerResult send(const QString &method, const QJsonArray &args, const QString &token, bool *sessionRefused,
                      const AnswerReader &read);
    QString sessionToken() const;
    QString caFile() const;

    QString m_serverName;
    QString m_host = QStringLiteral("127.0.0.1");
    int m_port = 0;
    QString m_token;
    QString m_caFile;
    bool m_throwException = false;
    int m_timeout = 120;
    std::unique_ptr<Client> m_client;
};
