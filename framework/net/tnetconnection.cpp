#include "net/tnetconnection.h"

#include "core/abort.h"
#include "core/velunor.h"

#include <httplib.h>

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

struct TNetConnection::Client
{
    Client(const QString &host, int port) : http(host.toStdString(), port) {}
    httplib::Client http;
};

namespace {

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
    default:
        return QStringLiteral("Falha na comunicação com o servidor de aplicação em %1 (%2).")
            .arg(where, QString::fromStdString(httplib::to_string(error)));
    }
}

// Printable ASCII without blanks: safe as a header value.
bool isHeaderWord(const QString &text)
{
    return !text.isEmpty()
        && std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > 32 && c.unicode() < 127; });
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

void TNetConnection::SetTimeout(int seconds)
{
    m_timeout = seconds;
    if (m_client)
        m_client->http.set_read_timeout(seconds, 0);
}

void TNetConnection::SetConnected(bool connected)
{
    m_client.reset();
    if (!connected)
        return;
    if (BeforeConnect)
        BeforeConnect(*this);
    m_client = std::make_unique<Client>(m_host, m_port);
    httplib::Client &http = m_client->http;
    // Without these every call waits for a delayed ACK (about 44 ms).
    http.set_tcp_nodelay(true);
    http.set_keep_alive(true);
    http.set_connection_timeout(5, 0);
    http.set_read_timeout(m_timeout, 0);
    http.set_write_timeout(30, 0);
}

ServerResult TNetConnection::Call(const QString &method, const QJsonArray &args)
{
    ServerResult result;
    const QString object = m_serverName.section(QLatin1Char('.'), -1);
    if (object.isEmpty()) {
        result = ServerResult::failure(QStringLiteral("Conexão sem o nome do objeto do servidor de aplicação."));
    } else {
        if (!Connected())
            SetConnected(true);
        emit calling(method);
        const QByteArray body = QJsonDocument(QJsonObject{{QStringLiteral("args"), args}}).toJson(QJsonDocument::Compact);
        result = send(QLatin1Char('/') + object + QLatin1Char('/') + method, body);
    }
    if (!result.ok && m_throwException)
        throw UserError(result.error);
    return result;
}

ServerResult TNetConnection::send(const QString &path, const QByteArray &body)
{
    httplib::Headers headers;
    const QString token = m_token.isEmpty() ? operatorContext().webToken : m_token;
    if (!token.isEmpty())
        headers.emplace("Authorization", "Bearer " + token.toStdString());
    if (const QString code = Operador(); isHeaderWord(code))
        headers.emplace("X-Operador", code.toStdString());
    const std::string target = path.toStdString();
    auto response = m_client->http.Post(target.c_str(), headers, body.constData(), size_t(body.size()),
                                        "application/json");
    // A kept-alive connection the server has just closed fails before the
    // request leaves: sending again on a new connection is safe.
    if (!response && response.error() == httplib::Error::Write)
        response = m_client->http.Post(target.c_str(), headers, body.constData(), size_t(body.size()),
                                       "application/json");
    if (!response)
        return ServerResult::noAnswer(transportMessage(response.error(), m_host, m_port));
    return ServerResult::fromJson(QByteArray::fromStdString(response->body));
}
