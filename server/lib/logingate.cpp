#include "lib/logingate.h"

#include "lib/databasepool.h"
#include "lib/operatorlogin.h"
#include "lib/serverlog.h"
#include "lib/sessionstore.h"

namespace {

const MethodDef loginMethod{QStringLiteral("Login"), {ArgKind::Text, ArgKind::Text}, {}};
const MethodDef logoutMethod{QStringLiteral("Logout"), {}, {}};

const QString loginEvent = QStringLiteral("entrada");
const QString logoutEvent = QStringLiteral("saida");
const QString lockedOutcome = QStringLiteral("bloqueada");

// How often idle sessions and counted refusals are collected, and the period
// refusals of a locked operator or address are counted over.
constexpr std::chrono::seconds sweepInterval{1};
constexpr std::chrono::seconds countPeriod{60};

} // namespace

LoginGate::LoginGate(DatabasePool &database, SessionStore &sessions, ServerLog &log, const Settings &settings)
    : m_database(database), m_sessions(sessions), m_log(log), m_clock(settings.clock),
      m_lockedDelay(settings.lockedDelay), m_throttle(settings.limits, settings.clock),
      m_hashes(settings.hashThreads, settings.hashQueue), m_history(database, log), m_tally(countPeriod),
      m_sweeper([this] { sweep(); })
{
}

LoginGate::~LoginGate()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_sweeper.join();
    recordCounted(m_tally.takeAll());
}

QString LoginGate::busyMessage()
{
    return QStringLiteral("Servidor ocupado. Tente novamente em instantes.");
}

void LoginGate::sweep()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_wake.wait_for(lock, sweepInterval, [this] { return m_stopping; })) {
        lock.unlock();
        for (const IdleSession &idle : m_sessions.takeIdle())
            recordEnd(idle.info, QStringLiteral("expirada"), idle.ended);
        recordCounted(m_tally.takeEnded(serverNow(m_clock)));
        lock.lock();
    }
}

void LoginGate::recordEnd(const SessionInfo &session, const QString &outcome, const QDateTime &time)
{
    m_log.loginEvent(LogLevel::Info, logoutEvent, session.client, session.operatorCode, outcome);
    m_history.record({session.operatorCode, session.client, logoutEvent, outcome, time});
}

void LoginGate::recordCounted(const std::vector<RefusalTally::Count> &counts)
{
    for (const RefusalTally::Count &count : counts) {
        m_log.loginEvent(LogLevel::Error, loginEvent, count.client, count.operatorCode,
                         QStringLiteral("%1 %2 vezes").arg(lockedOutcome).arg(count.attempts));
        m_history.record({count.operatorCode, count.client, loginEvent, lockedOutcome, count.last, count.attempts});
    }
}

void LoginGate::passwordSet(const std::vector<SessionInfo> &ended)
{
    for (const SessionInfo &session : ended)
        recordEnd(session, QStringLiteral("nova senha"), QDateTime::currentDateTime());
}

LoginGate::Answer LoginGate::refuse(const QString &operatorCode, const QString &client, const QString &outcome,
                                    const QString &message)
{
    m_history.record({operatorCode, client, loginEvent, outcome});
    return {CallOutcome::failure(message), operatorCode};
}

LoginGate::Answer LoginGate::refuseLocked(const QString &operatorCode, const QString &client,
                                          std::chrono::seconds wait)
{
    std::this_thread::sleep_for(m_lockedDelay);
    const QString message = LoginThrottle::refusedMessage(wait);
    if (m_tally.add(operatorCode.left(LoginHistory::operatorWidth), client, serverNow(m_clock)))
        return refuse(operatorCode, client, lockedOutcome, message);
    return {CallOutcome::failure(message), operatorCode, true};
}

LoginGate::Answer LoginGate::login(const QByteArray &body, const QString &client)
{
    QString code;
    QString password;
    try {
        const MethodArgs args = checkedArgs(loginMethod, body);
        code = args.text(0).trimmed();
        password = args.text(1);
    } catch (const RequestError &failure) {
        return {CallOutcome::failure(failure.text()), {}};
    }
    const LoginThrottle::Attempt attempt{code, client};
    if (const auto wait = m_throttle.admit(attempt))
        return refuseLocked(code, client, *wait);

    std::optional<QString> stored;
    const CallOutcome read = m_database.run(loginMethod.name, [&](SqlSession &session) {
        try {
            stored = OperatorLogin::storedHash(session, code);
            return CallOutcome{};
        } catch (const RequestError &failure) {
            return CallOutcome::failure(failure.text());
        }
    });
    if (!read.ok()) {
        m_throttle.withdrawn(attempt);
        return {read, code};
    }
    std::optional<bool> matches;
    try {
        matches = m_hashes.run([&] { return OperatorLogin::matches(stored, password); });
    } catch (const RequestError &failure) {
        m_throttle.withdrawn(attempt);
        return {CallOutcome::failure(failure.text()), code};
    }
    if (!matches) {
        m_throttle.withdrawn(attempt);
        return refuse(code, client, QStringLiteral("ocupado"), busyMessage());
    }
    if (!*matches) {
        m_throttle.failed(attempt);
        return refuse(code, client, QStringLiteral("recusada"), OperatorLogin::refusedMessage());
    }
    m_throttle.succeeded(attempt);
    // The operator's sessions of an older password end now rather than at
    // their next call.
    passwordSet(m_sessions.endOutdated(code, *stored));
    JsonText token;
    appendJsonString(token, m_sessions.open({code, *stored, client}));
    m_history.record({code, client, loginEvent, QStringLiteral("aceita")});
    return {CallOutcome::success(token), code};
}

LoginGate::Answer LoginGate::logout(const QByteArray &body, const QString &token, const SessionInfo &session,
                                    const QString &client)
{
    try {
        checkedArgs(logoutMethod, body);
    } catch (const RequestError &failure) {
        return {CallOutcome::failure(failure.text()), session.operatorCode};
    }
    if (m_sessions.close(token))
        m_history.record({session.operatorCode, client, logoutEvent, QStringLiteral("encerrada")});
    return {CallOutcome::success(jsonNull()), session.operatorCode};
}
