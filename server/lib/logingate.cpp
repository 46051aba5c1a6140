#include "lib/logingate.h"

#include "lib/databasepool.h"
#include "lib/operatorlogin.h"
#include "lib/sessionstore.h"

namespace {

const MethodDef loginMethod{QStringLiteral("Login"), {ArgKind::Text, ArgKind::Text}, {}};
const MethodDef logoutMethod{QStringLiteral("Logout"), {}, {}};

const QString loginEvent = QStringLiteral("entrada");

} // namespace

LoginGate::LoginGate(DatabasePool &database, SessionStore &sessions, ServerLog &log, const Settings &settings)
    : m_database(database), m_sessions(sessions), m_throttle(settings.limits, settings.clock),
      m_hashes(settings.hashThreads, settings.hashQueue), m_history(database, log)
{
}

QString LoginGate::busyMessage()
{
    return QStringLiteral("Servidor ocupado. Tente novamente em instantes.");
}

LoginGate::Answer LoginGate::refuse(const QString &operatorCode, const QString &client, const QString &outcome,
                                    const QString &message)
{
    m_history.record({operatorCode, client, loginEvent, outcome});
    return {CallOutcome::failure(message), operatorCode};
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
        return refuse(code, client, QStringLiteral("bloqueada"), LoginThrottle::refusedMessage(*wait));

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
    JsonText token;
    appendJsonString(token, m_sessions.open({code, *stored}));
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
        m_history.record({session.operatorCode, client, QStringLiteral("saida"), QStringLiteral("encerrada")});
    return {CallOutcome::success(jsonNull()), session.operatorCode};
}
