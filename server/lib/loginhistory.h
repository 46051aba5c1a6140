#pragma once

#include <QDateTime>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class DatabasePool;
class ServerLog;

// One login or logout, as the login history (table HISTENTRADA, described in
// schema.h) keeps it. Never the password.
struct LoginEvent
{
    QString operatorCode;   // as typed at a login (cut to the column's width)
    QString client;         // the client's address
    QString kind;           // "entrada" or "saida"
    QString outcome;        // see LoginHistory
    QDateTime time = QDateTime::currentDateTime();
    int attempts = 1;       // logins the row stands for (see RefusalTally)
};

// Writes the login history. Events that arrive together are written in one
// transaction (a flood of refused logins costs one commit per round, not
// one per login), and record() returns once its event is stored, so what a
// client was answered is already in the history. A batch that cannot be
// stored is reported in the log. Safe to use from any thread.
//
// Outcomes of a login: "aceita", "recusada" (wrong operator or password),
// "bloqueada" (too many failures), "ocupado" (no room to check the
// password); of a logout: "encerrada" (Logout), "expirada" (idle time
// passed), "nova senha" (the operator's password was set).
class LoginHistory
{
public:
    LoginHistory(DatabasePool &database, ServerLog &log);
    // Stores what is still pending, then stops.
    ~LoginHistory();
    LoginHistory(const LoginHistory &) = delete;
    LoginHistory &operator=(const LoginHistory &) = delete;

    void record(const LoginEvent &event);

    // Widths of the history's text columns (see Schema): longer texts are cut.
    static constexpr int operatorWidth = 12;
    static constexpr int clientWidth = 45;

private:
    void serve();
    void write(const std::vector<LoginEvent> &batch);

    DatabasePool &m_database;
    ServerLog &m_log;
    std::vector<LoginEvent> m_pending;
    std::uint64_t m_queued = 0;
    std::uint64_t m_written = 0;
    bool m_stopping = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_stored;
    std::thread m_writer;
};
