#include "lib/entpatserver.h"

#include "lib/answerstream.h"
#include "lib/connectionpool.h"
#include "lib/databasepool.h"
#include "lib/databasesetup.h"
#include "lib/fhirelements.h"
#include "lib/fhirroute.h"
#include "lib/logingate.h"
#include "lib/methodtable.h"
#include "lib/operatorlogin.h"
#include "lib/packetwriter.h"
#include "lib/partschoice.h"
#include "lib/requesterror.h"
#include "lib/sessionstore.h"
#include "lib/tlsserver.h"

#include <httplib.h>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonDocument>
#include <QThreadPool>

#include <atomic>
#include <cerrno>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace {

std::atomic<int> serverCounter{0};

const char jsonType[] = "application/json; charset=utf-8";

// The token of "Authorization: Bearer <token>"; empty when there is none.
QString bearerToken(const httplib::Request &request)
{
    const std::string given = request.get_header_value("Authorization");
    const std::string scheme = "Bearer ";
    return given.starts_with(scheme) ? QString::fromStdString(given.substr(scheme.size())).trimmed() : QString();
}

bool isLoopback(const QString &address)
{
    if (address == QLatin1String("localhost"))
        return true;
    const QHostAddress host(address);
    return !host.isNull() && host.isLoopback();
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

// Only SO_REUSEADDR (a restarted server binds at once): the library's
// default also sets SO_REUSEPORT, which lets a second server bind the same
// port and take part of the calls.
void exclusiveSocket(socket_t sock)
{
    const int yes = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// What a call's password check found.
struct PasswordCheck
{
    bool changed = false;               // the operator's password was set since the login
    std::vector<SessionInfo> ended;     // the sessions this check ended (another call may have ended them first)
};

// Whether the session's operator still has the password hash it logged in
// against, read on the connection the call runs on; a check that fails for
// the database answers its own refusal. When the password was set since,
// the operator's older sessions end.
std::optional<CallOutcome> checkPassword(SqlSession &db, SessionStore &sessions, const SessionInfo &session,
                                         PasswordCheck *check)
{
    try {
        const std::optional<QString> current = OperatorLogin::storedHash(db, session.operatorCode);
        if (current == session.passwordHash)
            return std::nullopt;
        check->ended = sessions.endOutdated(session.operatorCode, current.value_or(QString()));
        check->changed = true;
        return CallOutcome::failure(OperatorLogin::sessionEndedMessage());
    } catch (const RequestError &failure) {
        return CallOutcome::failure(failure.text());
    }
}

} // namespace

struct EntPatServer::Private
{
    EntPatServerOptions options;
    int id = ++serverCounter;
    ServerLog log;
    std::unique_ptr<DatabasePool> database;
    std::unique_ptr<httplib::Server> http;
    std::thread listener;
    std::atomic<bool> listenerDone{false};
    int port = 0;
    socket_t listeningSocket = -1;
    SessionStore sessions;
    std::unique_ptr<LoginGate> logins;
    PartsChoice partsChoice;
    // Runs the database work of calls answered in parts; declared last so
    // that it waits for that work before anything it uses goes away.
    QThreadPool partsWork;

    explicit Private(const EntPatServerOptions &serverOptions)
        : options(serverOptions), log(serverOptions.logLevel),
          sessions(std::chrono::seconds(serverOptions.sessionIdleSeconds), serverOptions.clock)
    {
        // One such call per connection thread at most: none waits for a worker.
        partsWork.setMaxThreadCount(std::max(1, serverOptions.maxConnections));
    }

    std::optional<SessionInfo> liveSession(const httplib::Request &request);
    bool passwordUnchanged(const SessionInfo &session);
    void refuseSession(const httplib::Request &request, httplib::Response &response, const QString &method,
                       const QElapsedTimer &clock);
    void serveLogin(const httplib::Request &request, httplib::Response &response, const QElapsedTimer &clock);
    void serveLogout(const httplib::Request &request, httplib::Response &response, const SessionInfo &session,
                     const QElapsedTimer &clock);
    void serveMethod(const httplib::Request &request, httplib::Response &response, const QString &method,
                     const SessionInfo &session, const QElapsedTimer &clock);
    void serveInParts(const httplib::Request &request, httplib::Response &response, const MethodDef &method,
                      const SessionInfo &session, const QElapsedTimer &clock);
    void serveFhir(const httplib::Request &request, httplib::Response &response);
    void configure();
    void logCall(const httplib::Request &request, const QString &operatorCode, const QString &method, int status,
                 const QString &error, const QElapsedTimer &clock);
    // The same for a call whose request is gone (its answer sent in parts).
    void logCallFrom(const QString &address, const QString &operatorCode, const QString &method, int status,
                     const QString &error, const QElapsedTimer &clock);
};

std::optional<SessionInfo> EntPatServer::Private::liveSession(const httplib::Request &request)
{
    return sessions.find(bearerToken(request));
}

bool EntPatServer::Private::passwordUnchanged(const SessionInfo &session)
{
    PasswordCheck check;
    database->run(QStringLiteral("sessão"), [&](SqlSession &db) {
        return checkPassword(db, sessions, session, &check).value_or(CallOutcome{});
    });
    // Recorded once the connection is given back: the history's writer needs one.
    logins->passwordSet(check.ended);
    return !check.changed;
}

void EntPatServer::Private::refuseSession(const httplib::Request &request, httplib::Response &response,
                                          const QString &method, const QElapsedTimer &clock)
{
    response.status = 401;
    answer(response, failureEnvelope(OperatorLogin::sessionEndedMessage()));
    logCall(request, {}, method, response.status, QStringLiteral("sem sessão válida"), clock);
}

void EntPatServer::Private::serveLogin(const httplib::Request &request, httplib::Response &response,
                                       const QElapsedTimer &clock)
{
    const LoginGate::Answer login =
        logins->login(QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size())),
                      QString::fromStdString(request.remote_addr));
    answer(response, login.outcome.envelope);
    if (!login.counted)
        logCall(request, login.operatorCode, QStringLiteral("Login"), 200, login.outcome.error, clock);
}

void EntPatServer::Private::serveLogout(const httplib::Request &request, httplib::Response &response,
                                        const SessionInfo &session, const QElapsedTimer &clock)
{
    const LoginGate::Answer logout =
        logins->logout(QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size())),
                       bearerToken(request), session, QString::fromStdString(request.remote_addr));
    answer(response, logout.outcome.envelope);
    logCall(request, logout.operatorCode, QStringLiteral("Logout"), 200, logout.outcome.error, clock);
}

void EntPatServer::Private::serveMethod(const httplib::Request &request, httplib::Response &response,
                                        const QString &method, const SessionInfo &session, const QElapsedTimer &clock)
{
    const MethodDef *definition = findMethod(method);
    const bool partsPossible = definition && definition->inParts;
    if (partsPossible && partsChoice.inParts(method))
        return serveInParts(request, response, *definition, session, clock);
    const QByteArray body = QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size()));
    PasswordCheck check;
    // The password check runs on the call's own connection: no second borrowing.
    const CallOutcome outcome = database->run(method, [&](SqlSession &db) {
        if (const std::optional<CallOutcome> refused = checkPassword(db, sessions, session, &check))
            return *refused;
        const CallOrigin origin{session.operatorCode, method};
        return definition ? dispatchMethod(db, *definition, origin, body) : dispatchCall(db, origin, body);
    });
    // Recorded once the connection is given back: the history's writer needs one.
    logins->passwordSet(check.ended);
    if (check.changed)
        return refuseSession(request, response, method, clock);
    if (partsPossible)
        partsChoice.answered(method, outcome.envelope.size() > PacketWriter::partBytes);
    answer(response, outcome.envelope);
    logCall(request, session.operatorCode, method, 200, outcome.error, clock);
}

// The database work runs on a thread of its own and writes the packet's
// parts as it reads the rows; this thread sends them as they come. A call
// that ends before its first part is answered whole, as any call.
void EntPatServer::Private::serveInParts(const httplib::Request &request, httplib::Response &response,
                                         const MethodDef &definition, const SessionInfo &session,
                                         const QElapsedTimer &clock)
{
    const QString &method = definition.name;
    auto stream = std::make_shared<AnswerStream>();
    // A copy: the work may outlive the request when the client goes away.
    const QByteArray body(request.body.data(), qsizetype(request.body.size()));
    partsWork.start([this, stream, body, &definition, session] {
        PasswordCheck check;
        const CallOutcome outcome = database->run(definition.name, [&](SqlSession &db) {
            if (const std::optional<CallOutcome> refused = checkPassword(db, sessions, session, &check))
                return *refused;
            db.onPacketPart = [&stream](QByteArray &&part) { stream->write(std::move(part)); };
            CallOutcome answered = dispatchMethod(db, definition, {session.operatorCode, definition.name}, body);
            db.onPacketPart = {};
            return answered;
        });
        logins->passwordSet(check.ended);
        stream->finish(outcome, check.changed);
    });
    if (!stream->waitStarted()) {
        partsChoice.answered(method, false);
        if (stream->sessionEnded())
            return refuseSession(request, response, method, clock);
        answer(response, stream->outcome().envelope);
        return logCall(request, session.operatorCode, method, 200, stream->outcome().error, clock);
    }
    response.set_chunked_content_provider(
        jsonType,
        [stream](size_t, httplib::DataSink &sink) {
            QByteArray text;
            while (stream->next(text)) {
                if (!sink.write(text.constData(), size_t(text.size())))
                    return false;
            }
            sink.done();
            return true;
        },
        [this, stream, address = QString::fromStdString(request.remote_addr), operatorCode = session.operatorCode,
         method, clock](bool sent) {
            const QString error = sent ? stream->outcome().error
                                       : QStringLiteral("a conexão foi encerrada antes do fim da resposta");
            logCallFrom(address, operatorCode, method, 200, error, clock);
        });
}

void EntPatServer::Private::serveFhir(const httplib::Request &request, httplib::Response &response)
{
    QElapsedTimer clock;
    clock.start();
    const QString resourceType = QString::fromStdString(request.matches[1]);
    const QString method = QStringLiteral("fhir/") + resourceType;
    FhirAnswer outcome;
    const std::optional<SessionInfo> session = liveSession(request);
    const std::optional<QString> operatorCode =
        session && passwordUnchanged(*session) ? std::optional<QString>(session->operatorCode) : std::nullopt;
    if (!operatorCode) {
        outcome = FhirAnswer::failure(401, QStringLiteral("security"), OperatorLogin::sessionEndedMessage());
    } else {
        QList<QPair<QString, QString>> parameters;
        for (const auto &[name, value] : request.params)
            parameters.append({QString::fromStdString(name), QString::fromStdString(value)});
        const std::string host = request.get_header_value("Host");
        const QString scheme = options.tlsCertificate.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
        const QString selfUrl = QStringLiteral("%1://%2%3")
                                    .arg(scheme, QString::fromStdString(host.empty() ? "127.0.0.1" : host),
                                         QString::fromStdString(request.target));
        outcome = fhirSearch(*database, resourceType, parameters, selfUrl);
    }
    response.status = outcome.status;
    response.set_content(outcome.body.constData(), size_t(outcome.body.size()), fhirContentType);
    logCall(request, operatorCode.value_or(QString()), method, outcome.status, outcome.error, clock);
}

void EntPatServer::Private::logCall(const httplib::Request &request, const QString &operatorCode,
                                    const QString &method, int status, const QString &error,
                                    const QElapsedTimer &clock)
{
    logCallFrom(QString::fromStdString(request.remote_addr), operatorCode, method, status, error, clock);
}

void EntPatServer::Private::logCallFrom(const QString &address, const QString &operatorCode, const QString &method,
                                        int status, const QString &error, const QElapsedTimer &clock)
{
    log.call({address, operatorCode, method, status, error, double(clock.nsecsElapsed()) / 1e6});
}

void EntPatServer::Private::configure()
{
    const int maxConnections = options.maxConnections;
    http->new_task_queue = [maxConnections] { return new ConnectionPool(maxConnections); };
    http->set_socket_options([this](socket_t sock) {
        exclusiveSocket(sock);
        listeningSocket = sock;
    });
    // Without TCP_NODELAY every small answer waits for the peer's delayed ACK
    // (about 44 ms a call); keep-alive spares a connection per call.
    http->set_tcp_nodelay(true);
    http->set_keep_alive_max_count(1000000);
    // A connection that sends nothing (idle between calls, or never a
    // request at all) gives its I/O thread back after this long.
    http->set_keep_alive_timeout(options.idleSeconds);
    http->set_read_timeout(options.idleSeconds, 0);
    http->set_payload_max_length(size_t(options.maxBodyBytes));

    http->Post(R"(/rdmEntPat/([A-Za-z_]+))", [this](const httplib::Request &request, httplib::Response &response) {
        QElapsedTimer clock;
        clock.start();
        const QString method = QString::fromStdString(request.matches[1]);
        if (method == QLatin1String("Login"))
            return serveLogin(request, response, clock);
        const std::optional<SessionInfo> session = liveSession(request);
        if (!session)
            return refuseSession(request, response, method, clock);
        if (method == QLatin1String("Logout"))
            return serveLogout(request, response, *session, clock);
        serveMethod(request, response, method, *session, clock);
    });
    // Also under a method name, so a client connection that posts to
    // /<object>/<method> reaches it as it reaches the methods.
    http->Post(R"(/echo(/[A-Za-z_]+)?)", [this](const httplib::Request &request, httplib::Response &response) {
        QElapsedTimer clock;
        clock.start();
        const std::optional<SessionInfo> session = liveSession(request);
        if (!session)
            return refuseSession(request, response, QStringLiteral("echo"), clock);
        const CallOutcome outcome =
            echoCall(QByteArray::fromRawData(request.body.data(), qsizetype(request.body.size())));
        answer(response, outcome.envelope);
        logCall(request, session->operatorCode, QStringLiteral("echo"), 200, outcome.error, clock);
    });
    http->Get(R"(/fhir/(NutritionOrder|NutritionIntake))",
              [this](const httplib::Request &request, httplib::Response &response) { serveFhir(request, response); });
    const httplib::Server::HandlerWithResponse errorHandler = [this](const httplib::Request &request,
                                                                     httplib::Response &response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        const QString message = httpErrorMessage(response.status, request.path, options.maxBodyBytes);
        // FHIR clients read an OperationOutcome, whatever went wrong.
        if (request.path.starts_with("/fhir/")) {
            const QString issueCode = response.status == 404 ? QStringLiteral("not-found") : QStringLiteral("not-supported");
            const QByteArray body =
                QJsonDocument(Fhir::operationOutcome(issueCode, message)).toJson(QJsonDocument::Compact);
            response.set_content(body.constData(), size_t(body.size()), fhirContentType);
        } else {
            answer(response, failureEnvelope(message));
        }
        QElapsedTimer clock;
        clock.start();
        logCall(request, {}, QString::fromStdString(request.path), response.status, message, clock);
        return httplib::Server::HandlerResponse::Handled;
    };
    http->set_error_handler(errorHandler);
    http->set_exception_handler([this](const httplib::Request &request, httplib::Response &response,
                                       std::exception_ptr) {
        response.status = 500;
        const QString message = QStringLiteral("Erro interno do servidor de aplicação.");
        answer(response, failureEnvelope(message));
        log.error(QStringLiteral("%1 em %2").arg(message, QString::fromStdString(request.path)));
    });
}

EntPatServer::EntPatServer(const EntPatServerOptions &options) : d(std::make_unique<Private>(options)) {}

EntPatServer::~EntPatServer()
{
    stop();
}

bool EntPatServer::start(QString *error)
{
    const auto fail = [this, error](const QString &text) {
        d->log.error(text);
        if (error)
            *error = text;
        return false;
    };
    if (d->http)
        return fail(QStringLiteral("O servidor de aplicação já está em execução."));
    if (!isLoopback(d->options.listenAddress) && d->options.tlsCertificate.isEmpty())
        return fail(QStringLiteral("Conexões em %1 exigem HTTPS: informe o certificado e a chave do servidor.")
                        .arg(d->options.listenAddress));
    DatabaseConfig config;
    try {
        d->http = makeHttpServer(d->options.tlsCertificate, d->options.tlsKey);
        config = DatabaseConfig::parse(d->options.database);
        prepareDatabase(config, d->options, QStringLiteral("entpat-setup-%1").arg(d->id), d->log);
    } catch (const RequestError &failure) {
        d->http.reset();
        return fail(failure.text());
    }
    d->configure();
    const std::string host = d->options.listenAddress.toStdString();
    errno = 0;
    if (d->options.port == 0) {
        d->port = d->http->bind_to_any_port(host);
    } else {
        d->port = d->http->bind_to_port(host, d->options.port) ? d->options.port : -1;
    }
    if (d->port <= 0) {
        const bool inUse = errno == EADDRINUSE;
        d->http.reset();
        return fail(inUse ? QStringLiteral("A porta %1 já está em uso em %2: outro servidor está escutando nela.")
                                .arg(d->options.port)
                                .arg(d->options.listenAddress)
                          : QStringLiteral("Não foi possível escutar em %1:%2.")
                                .arg(d->options.listenAddress)
                                .arg(d->options.port));
    }
    // The library listens with a backlog of 5: connections arriving together
    // (a ward's workstations starting) would wait for SYN retries, seconds
    // each. Listening again on the bound socket only enlarges the queue.
    ::listen(d->listeningSocket, SOMAXCONN);
    d->database = std::make_unique<DatabasePool>(config, std::max(1, d->options.databaseWorkers),
                                                 QStringLiteral("entpat-%1").arg(d->id), d->log);
    const EntPatServerOptions &o = d->options;
    d->logins = std::make_unique<LoginGate>(
        *d->database, d->sessions, d->log,
        LoginGate::Settings{{o.loginFailures, std::chrono::seconds(o.loginWindowSeconds),
                             std::chrono::seconds(o.loginLockSeconds), std::chrono::seconds(o.loginMaxLockSeconds)},
                            o.hashWorkers,
                            o.hashQueue,
                            std::chrono::milliseconds(o.lockedLoginDelayMs),
                            o.clock});
    d->listenerDone = false;
    d->listener = std::thread([this] {
        d->http->listen_after_bind();
        d->listenerDone = true;
    });
    d->log.info(QStringLiteral("Servidor de aplicação em %1:%2 sobre %3 (%4 conexões de banco)")
                    .arg(d->options.listenAddress)
                    .arg(d->port)
                    .arg(config.describe())
                    .arg(std::max(1, d->options.databaseWorkers)));
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
    d->logins.reset();
    d->database.reset();
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
