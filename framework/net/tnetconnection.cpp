#include "net/tnetconnection.h"

#include "core/abort.h"
#include "core/velunor.h"
#include "net/streamedanswer.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QScopedValueRollback>

// Plain HTTP, or HTTPS checked against a CA file.
struct TNetConnection::Client
{
    Client(const QString &host, int port, const QString &caFile)
    {
        if (caFile.isEmpty()) {
            http = std::make_unique<httplib::ClientImpl>(host.toStdString(), port);
            return;
        }
        auto secure = std::make_unique<httplib::SSLClient>(host.toStdString(), port);
        secure->set_ca_cert_path(caFile.toLocal8Bit().constData());
        secure->enable_server_certificate_verification(true);
        http = std::move(secure);
    }
    std::unique_ptr<httplib::ClientImpl> http;
};

namespace {

ServerResult readAnswer(QByteArrayView body)
{
    return ServerResult::fromJson(QByteArray::fromRawData(body.data(), body.size()));
}

TNetConnection::LoginHandler &loginHandler()
{
    static TNetConnection::LoginHandler handler;
    return handler;
}

// Asks the handler for a new session. A call made while it runs (its login
// dialog runs an event loop) starts no second login.
bool renewSession(TNetConnection &net)
{
    static bool renewing = false;
    if (renewing)
        return false;
    const QScopedValueRollback<bool> guard(renewing, true);
    return loginHandler()(net);
}

QString transportMessage(httplib::Error error, const QString &host, int port)
{
    const QString where = QStringLiteral("%1:%2").arg(host).arg(port);
    switch (error) {
    case httplib::Error::Connection:
        return QStringLiteral("Não foi possível conectar ao servidor de aplicação em %1. "
                              "Verifique se ele está em execução.").arg(where);
    case httplib::Error::ConnectionTimeout:
        return QStringLiteral("O servidor de aplicação em %1 não aceitou a conexão a tempo.").arg(where);
    case httplib::Error::Read:
        return QStringLiteral("O servidor de aplicação em %1 não respondeu a tempo ou encerrou a conexão.").arg(where);
    case httplib::Error::SSLServerVerification:
        return QStringLiteral("O certificado do servidor de aplicação em %1 não foi emitido pela autoridade "
                              "certificadora configurada (--ca-file) para esse endereço.").arg(where);
    case httplib::Error::SSLLoadingCerts:
        return QStringLiteral("O certificado da autoridade certificadora (--ca-file) não pôde ser lido.");
    case httplib::Error::SSLConnection:
        return QStringLiteral("Não foi possível estabelecer uma conexão segura com o servidor de aplicação em %1: "
                              "ele aceita HTTPS?").arg(where);
    default:
        return QStringLiteral("Falha na comunicação com o servidor de aplicação em %1 (%2).")
            .arg(where, QString::fromStdString(httplib::to_string(error)));
    }
}

} // namespace

TNetConnection::TNetConnection(QObject *parent) : QObject(parent) {}

TNetConnection::~TNetConnection() = default;

void TNetConnection::SetHost(const QString &host)
{
    if (host != m_host)
        m_client.reset();
    m_host = host;
}

void TNetConnection::SetPort(int port)
{
    if (port != m_port)
        m_client.reset();
    m_port = port;
}

void TNetConnection::SetCaFile(const QString &path)
{
    if (path != m_caFile)
        m_client.reset();
    m_caFile = path;
}

void TNetConnection::SetTimeout(int seconds)
{
    m_timeout = seconds;
    if (m_client)
        m_client->http->set_read_timeout(seconds, 0);
}

void TNetConnection::SetLoginHandler(LoginHandler handler)
{
    loginHandler() = std::move(handler);
}

QString TNetConnection::sessionToken() const
{
    return m_token.isEmpty() ? operatorContext().webToken : m_token;
}

QString TNetConnection::caFile() const
{
    return m_caFile.isEmpty() ? operatorContext().webCaFile : m_caFile;
}

void TNetConnection::SetConnected(bool connected)
{
    m_client.reset();
    if (!connected)
        return;
    if (BeforeConnect)
        BeforeConnect(*this);
    m_client = std::make_unique<Client>(m_host, m_port, caFile());
    httplib::ClientImpl &http = *m_client->http;
    // Without these every call waits for a delayed ACK (about 44 ms).
    http.set_tcp_nodelay(true);
    http.set_keep_alive(true);
    http.set_connection_timeout(5, 0);
    http.set_read_timeout(m_timeout, 0);
    http.set_write_timeout(30, 0);
}

ServerResult TNetConnection::Call(const QString &method, const QJsonArray &args)
{
    return call(method, args, {readAnswer, {}});
}

ServerResult TNetConnection::CallPacket(const QString &method, const QJsonArray &args, DataPacket &packet,
                                        qsizetype rowCapacity)
{
    return call(method, args, {{}, [&packet, rowCapacity](JsonReader &reader) {
                    return ServerResult::fromPacketJson(reader, packet, rowCapacity);
                }});
}

ServerResult TNetConnection::call(const QString &method, const QJsonArray &args, const AnswerReader &read)
{
    ServerResult result;
    if (m_serverName.section(QLatin1Char('.'), -1).isEmpty()) {
        result = ServerResult::failure(QStringLiteral("Conexão sem o nome do objeto do servidor de aplicação."));
    } else {
        emit calling(method);
        // Only the process's shared session is renewed: a token set on this
        // connection is its caller's to answer for.
        const bool renewable = m_token.isEmpty() && loginHandler();
        if (renewable && operatorContext().webToken.isEmpty())
            renewSession(*this);
        bool sessionRefused = false;
        result = send(method, args, sessionToken(), &sessionRefused, read);
        // The server refuses a call without a live session before running
        // any of it, so sending it again after a new login cannot apply a
        // change twice.
        if (sessionRefused && renewable && renewSession(*this))
            result = send(method, args, sessionToken(), &sessionRefused, read);
    }
    if (!result.ok && m_throwException)
        throw UserError(result.error);
    return result;
}

ServerResult TNetConnection::Login(const QString &operatorCode, const QString &password)
{
    bool sessionRefused = false;
    const ServerResult result = send(QStringLiteral("Login"), {operatorCode, password}, QString(), &sessionRefused,
                                     {readAnswer, {}});
    if (result.ok)
        operatorContext().webToken = result.data.toString();
    return result;
}

ServerResult TNetConnection::Logout()
{
    bool sessionRefused = false;
    const ServerResult result =
        send(QStringLiteral("Logout"), {}, sessionToken(), &sessionRefused, {readAnswer, {}});
    if (m_token.isEmpty())
        operatorContext().webToken.clear();
    return result;
}

ServerResult TNetConnection::send(const QString &method, const QJsonArray &args, const QString &token,
                                  bool *sessionRefused, const AnswerReader &read)
{
    if (!Connected())
        SetConnected(true);
    const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
    httplib::Headers headers;
    if (!token.isEmpty())
        headers.emplace("Authorization", "Bearer " + token.toStdString());
    const std::string target =
        (QLatin1Char('/') + m_serverName.section(QLatin1Char('.'), -1) + QLatin1Char('/') + method).toStdString();
    headers.emplace("Content-Type", "application/json");
    httplib::ClientImpl &http = *m_client->http;
    std::unique_ptr<StreamedAnswer> streamed;
    httplib::Request request;
    request.method = "POST";
    request.path = target;
    request.headers = headers;
    request.body.assign(body.constData(), size_t(body.size()));
    httplib::Response response;
    request.response_handler = [&](const httplib::Response &answer) {
        // The server sends a large packet in parts as it reads its rows.
        if (read.packet && answer.get_header_value("Transfer-Encoding") == "chunked")
            streamed = std::make_unique<StreamedAnswer>(read.packet);
        return true;
    };
    request.content_receiver = [&](const char *data, size_t size, uint64_t, uint64_t) {
        if (streamed)
            streamed->append(data, size);
        else
            response.body.append(data, size);
        return true;
    };
    httplib::Error error = httplib::Error::Success;
    bool answered = http.send(request, response, error);
    // A kept-alive connection the server has just closed fails before the
    // request leaves: sending again on a new connection is safe.
    if (!answered && error == httplib::Error::Write) {
        streamed.reset();
        response = httplib::Response();
        answered = http.send(request, response, error);
    }
    if (!answered)
        return ServerResult::noAnswer(transportMessage(error, m_host, m_port));
    *sessionRefused = response.status == 401;
    if (streamed)
        return streamed->finish();
    const QByteArrayView answer(response.body.data(), qsizetype(response.body.size()));
    if (read.packet) {
        JsonReader reader(answer);
        return read.packet(reader);
    }
    return read.document(answer);
}
