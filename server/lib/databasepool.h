#pragma once

#include "lib/database.h"
#include "lib/methodtable.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class ServerLog;
class SqlSession;

// The database connections: a few, each lent to one call at a time. The
// thread serving a call borrows a free connection only for the call's
// database work, after its request was read whole, and gives it back before
// its answer is written, so an idle or slow client never holds one; a call
// that finds none free waits for the next one given back. A slow database
// holds the calls running on it, never the threads of other clients, which
// keep reading requests and answering what needs no database.
//
// A connection is used by one thread at a time, but not always the same
// one: both drivers allow that (SQLite in its serialized mode, libpq per
// connection), and the server never uses Qt's per-thread connection lookup.
// Running the work on the calling thread spares the hand-over to another
// thread and back, which cost more than a short lookup's own work.
//
// A connection opens on its first call and opens again after being lost
// (the database restarted): a call that finds it lost before doing anything
// runs again on the new one; a call the loss cut short, or one made while
// the database cannot be reached, is refused with unavailableMessage() and
// nothing of it is kept.
class DatabasePool
{
public:
    DatabasePool(const DatabaseConfig &config, int connections, const QString &connectionPrefix, ServerLog &log);
    // Waits for the connections lent out, then closes every one.
    ~DatabasePool();
    DatabasePool(const DatabasePool &) = delete;
    DatabasePool &operator=(const DatabasePool &) = delete;

    // Runs database work (a call, named for the log) on the calling thread
    // over the next free connection. The work must not throw: it turns its
    // own failures into a failed outcome.
    CallOutcome run(const QString &name, const std::function<CallOutcome(SqlSession &)> &work);

    static QString unavailableMessage();

private:
    struct Connection
    {
        QString name;
        std::unique_ptr<SqlSession> session;
    };

    CallOutcome perform(Connection &connection, const QString &name,
                        const std::function<CallOutcome(SqlSession &)> &work);

    DatabaseConfig m_config;
    ServerLog &m_log;
    std::vector<Connection> m_connections;
    std::vector<Connection *> m_free;
    std::mutex m_mutex;
    std::condition_variable m_given;
    bool m_stopping = false;
};
