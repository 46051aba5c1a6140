#include "entpatserver.h"

#include "demodata.h"
#include "methodtable.h"
#include "schema.h"
#include "sqlsession.h"
#include "workerpool.h"

#include <httplib.h>

#include <QHostAddress>

#include <atomic>
#include <thread>

namespace {

std::atomic<int> serverCounter{0};

const char jsonType[] = "application/json; charset=utf-8";

bool isLoopback(const QString &address)
{
    if (address == QLatin1String("localhost"))
        return true;
    const QHostAddress host(address);
    return !host.isNull() && host.isLoopback();
}

void prepareDatabase(const DatabaseConfig &config, const EntPatServerOptions &options, int id)
{
    SqlSession session(config, QStringLiteral("entpat-setup-%1").arg(id));
    if (options.createSchema && !Schema::exists(session.database()))
        Schema::create(session.database());
    if (options.demo && !DemoData::hasPatients(session))
        DemoData::fill(session, options.demoPatients);
}

QString httpErrorMessage(int status, const std::string &path, int maxBodyBytes)
{
    switch (status) {
    case 404:
    case 405:
        return QStringLiteral("Recurso desconhecido no servidor de aplicação: %1.").arg(QString::fromStdString(path));
    case 413:
        return QStringLiteral("Requisição grande demais para o servidor de aplicação (limite de %1 bytes).").arg(maxBodyBytes);
    default:
        return QStringLiteral("Requisição recusada pelo servidor de aplicação (HTTP %1).").arg(status);
    }
}

void answer(httplib::Response &response, const QByteArray &envelope)
{
    response.set_content(envelope.constData(), size_t(envelope.size()), jsonType);
}

} // namespace

struct EntPatServer::Private
{
    EntPatServerOptions options;
    int id = ++serverCounter;
    std::unique_ptr<httplib::Server> http;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    int port = 0;

    bool authorized(const httplib::Request &request, httplib::Response &response) const;
    void configure(const DatabaseConfig &config);
};

bool EntPatServer::Private::authorized(const httplib::Request &request, httplib::Response &response) const
{
    if (options.token.isEmpty())
        return true;
    const std::string expected = "Bearer " + options.token.toStdString();
    const std::string given = request.get_header_value("Authorization");
    // Compare every byte so the time taken does not reveal the prefix matched.
    unsigned char difference = given.size() == expected.size() ? 0 : 1;
    for (size_t i = 0; i < given.size() && i < expected.size(); ++i)
        difference |= static_cast<unsigned char>(given[i] ^ expected[i]);
    if (difference == 0)
        return true;
    response.status = 401;
    answer(response, failureEnvelope(QStringLiteral("Acesso negado ao servidor de aplicação: token inválido.")));
    return false;
}

void EntPatServer::Private::configure(const DatabaseConfig &config)
{
    http = std::make_unique<httplib::Server>();
    const QString prefix = QStringLiteral("entpat-%1").arg(id);
    const int threads = std::max(2, options.threads);
    http->new_task_queue = [config, threads, prefix] { return new WorkerPool(config, threads, prefix); };
    // Without TCP_NODELAY every small answer waits for the peer's delayed ACK
    // (about 44 ms a call); keep-alive spares a connection per call.
    http->set_tcp_nodelay(true);
    http->set_keep_alive_max_count(1000000);
    // An idle kept-alive connection holds a worker, and stop() waits for it:
    // close idle ones soon (a new connection on loopback costs little).
    http->set_keep_alive_timeout(2);
    http->set_payload_max_length(size_t(options.maxBodyBytes));

    http->Post(R"(/rdmEntPat/([A-Za-z_]+))", [this](const httplib::Request &request, httplib::Response &response) {
        if (!authorized(request, response))
            return;
        QString error;
        SqlSession *session = WorkerPool::currentSession(&error);
        const QByteArray body = QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size()));
        answer(response, session ? dispatchCall(*session, QString::fromStdString(request.matches[1]), body)
                                 : failureEnvelope(error));
    });
    http->Post("/echo", [this](const httplib::Request &request, httplib::Response &response) {
        if (!authorized(request, response))
            return;
        answer(response, echoCall(QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size()))));
    });
    const int maxBody = options.maxBodyBytes;
    const httplib::Server::HandlerWithResponse errorHandler = [maxBody](const httplib::Request &request,
                                                                        httplib::Response &response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        answer(response, failureEnvelope(httpErrorMessage(response.status, request.path, maxBody)));
        return httplib::Server::HandlerResponse::Handled;
    };
    http->set_error_handler(errorHandler);
    http->set_exception_handler([](const httplib::Request &, httplib::Response &response, std::exception_ptr) {
        response.status = 500;
        answer(response, failureEnvelope(QStringLiteral("Erro interno do servidor de aplicação.")));
    });
}

EntPatServer::EntPatServer(const EntPatServerOptions &options) : d(std::make_unique<Private>())
{
    d->options = options;
}

EntPatServer::~EntPatServer()
{
    stop();
}

bool EntPatServer::start(QString *error)
{
    const auto fail = [error](const QString &text) {
        if (error)
            *error = text;
        return false;
    };
    if (d->http)
        return fail(QStringLiteral("O servidor de aplicação já está em execução."));
    if (!isLoopback(d->options.listenAddress) && d->options.token.isEmpty())
        return fail(QStringLiteral("Um token é obrigatório para aceitar conexões em %1.").arg(d->options.listenAddress));
    DatabaseConfig config;
    try {
        config = DatabaseConfig::parse(d->options.database);
        prepareDatabase(config, d->options, d->id);
    } catch (const RequestError &failure) {
        return fail(failure.text());
    }
    d->configure(config);
    const std::string host = d->options.listenAddress.toStdString();
    if (d->options.port == 0) {
        d->port = d->http->bind_to_any_port(host);
    } else {
        d->port = d->http->bind_to_port(host, d->options.port) ? d->options.port : -1;
    }
    if (d->port <= 0) {
        d->http.reset();
        return fail(QStringLiteral("Não foi possível escutar em %1:%2.").arg(d->options.listenAddress).arg(d->options.port));
    }
    d->listenerDone = false;
    d->listener = std::thread([this] {
        d->http->listen_after_bind();
        d->listenerDone = true;
    });
    return true;
}

void EntPatServer::stop()
{
    if (!d->http)
        return;
    // stop() only acts on a running accept loop: wait for it to be up.
    while (!d->http->is_running() && !d->listenerDone)
        std::this_thread::yield();
    d->http->stop();
    if (d->listener.joinable())
        d->listener.join();
    d->http.reset();
}

bool EntPatServer::isRunning() const
{
    return d->http != nullptr;
}

int EntPatServer::port() const
{
    return d->port;
}

QString EntPatServer::address() const
{
    return d->options.listenAddress;
}
