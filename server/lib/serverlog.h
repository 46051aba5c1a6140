#pragma once

#include <QString>

#include <cstdio>
#include <mutex>
#include <optional>

// How much the server writes to its log.
enum class LogLevel { Off, Error, Warning, Info, Debug };

// What one call did, for its log line.
struct CallRecord
{
    QString client;      // peer address
    QString operatorCode; // the operator of the call's session; empty when it has none
    QString method;
    int status = 200;    // HTTP status of the answer
    QString error;       // empty when the call succeeded
    double milliseconds = 0;
};

// The operational log: one line per call and one per error, on standard
// error (where journald collects it), each line starting with the time and
// the level:
//
//   2026-12-08T07:47:28.123 INFO chamada 127.0.0.1 operador=NUTRI01 getVeriServ ok 1.2 ms
//   2026-12-08T07:47:29.004 ERRO chamada 10.0.0.7 operador=- SetConfesco recusada 3.4 ms: Banco de dados indisponível...
//
// Lines carry codes, never clinical text: error texts are cut at their
// first line (a database's DETAIL may quote a row) and requests' bodies and
// tokens are never written. Safe to use from any thread.
class ServerLog
{
public:
    explicit ServerLog(LogLevel level = LogLevel::Info, std::FILE *out = stderr) : m_level(level), m_out(out) {}

    // "erro", "aviso", "info", "depuracao" or "nenhum".
    static std::optional<LogLevel> parseLevel(const QString &name);

    bool enabled(LogLevel level) const { return level != LogLevel::Off && level <= m_level; }
    void call(const CallRecord &record);
    // What became of logins and sessions apart from their calls' lines (a
    // session's end, refused logins counted together), "entrada" or "saida":
    //   2026-12-08T08:00:00.000 INFO saida 10.0.0.7 operador=NUTRI01 expirada
    //   2026-12-08T08:01:00.000 ERRO entrada 10.0.0.9 operador=NUTRI02 bloqueada 57 vezes
    void loginEvent(LogLevel level, const QString &kind, const QString &client, const QString &operatorCode,
                    const QString &outcome);
    void error(const QString &text) { write(LogLevel::Error, text); }
    void warning(const QString &text) { write(LogLevel::Warning, text); }
    void info(const QString &text) { write(LogLevel::Info, text); }
    void debug(const QString &text) { write(LogLevel::Debug, text); }

private:
    void write(LogLevel level, const QString &text);

    LogLevel m_level;
    std::FILE *m_out;
    std::mutex m_mutex;
};
