#include "lib/loginhistory.h"

#include "lib/databasepool.h"
#include "lib/schema.h"
#include "lib/serverlog.h"
#include "lib/sqlsession.h"

LoginHistory::LoginHistory(DatabasePool &database, ServerLog &log)
    : m_database(database), m_log(log), m_writer([this] { serve(); })
{
}

LoginHistory::~LoginHistory()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    m_writer.join();
}

void LoginHistory::record(const LoginEvent &event)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_pending.push_back(event);
    const std::uint64_t mine = ++m_queued;
    m_wake.notify_one();
    m_stored.wait(lock, [this, mine] { return m_written >= mine; });
}

void LoginHistory::serve()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
        if (m_pending.empty())
            return;
        std::vector<LoginEvent> batch;
        batch.swap(m_pending);
        const std::uint64_t last = m_queued;
        lock.unlock();
        write(batch);
        lock.lock();
        m_written = last;
        m_stored.notify_all();
    }
}

void LoginHistory::write(const std::vector<LoginEvent> &batch)
{
    const CallOutcome outcome = m_database.run(Schema::loginHistoryTable, [&batch](SqlSession &session) {
        try {
            Transaction transaction(session);
            for (const LoginEvent &event : batch) {
                const QString operatorCode = event.operatorCode.left(operatorWidth);
                session.execute(QStringLiteral("INSERT INTO %1 (DTHISTENTRADA, CDOPERADOR, DSCLIENTE, TPEVENTO,"
                                               " DSRESULTADO, QTTENTATIVAS) VALUES (?, ?, ?, ?, ?, ?)")
                                    .arg(Schema::loginHistoryTable),
                                {dateTimeBind(event.time), operatorCode.isEmpty() ? QVariant() : operatorCode,
                                 event.client.left(clientWidth), event.kind, event.outcome, event.attempts});
            }
            transaction.commit();
            return CallOutcome{};
        } catch (const RequestError &failure) {
            return CallOutcome::failure(failure.text());
        }
    });
    if (!outcome.ok())
        m_log.error(QStringLiteral("Histórico de entradas não gravado (%1 registro(s)): %2")
                        .arg(batch.size())
                        .arg(outcome.error));
}
