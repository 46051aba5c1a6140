#pragma once

#include "lib/jsontext.h"
#include "lib/requestenvelope.h"
#include "lib/sqlsession.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonValue>
#include <QString>
#include <QVector>

#include <functional>

// The arguments of one call, already checked against the method's kinds.
class MethodArgs
{
public:
    explicit MethodArgs(const QJsonArray &values) : m_values(values) {}
    QString text(int index) const;
    QDateTime dateTime(int index) const;
    QJsonValue changes(int index) const { return m_values.at(index); }

private:
    QJsonArray m_values;
};

// A method answers the JSON text of the envelope's "data".
using MethodBody = std::function<JsonText(SqlSession &, const MethodArgs &)>;

struct MethodDef
{
    QString name;
    QVector<ArgKind> args;
    MethodBody body;
    // Its answer is the one packet its PacketWriter makes: a large one is
    // sent in parts as its rows are read (SqlSession::onPacketPart).
    bool inParts = false;
};

using MethodTable = QVector<MethodDef>;

// Every method of the rdmEntPat object.
const MethodTable &entPatMethods();
// The table's method of that name; null when there is none.
const MethodDef *findMethod(const QString &name);

// Adds the methods of one area to the table.
void addPatientMethods(MethodTable &table);
void addServiceMethods(MethodTable &table);
void addItemMethods(MethodTable &table);
void addOccurrenceMethods(MethodTable &table);
void addAutoScheduleMethods(MethodTable &table);
void addAuditMethods(MethodTable &table);
void addCopyMethods(MethodTable &table);
void addStatisticsMethods(MethodTable &table);
void addNutrientMethods(MethodTable &table);
void addAdequacyMethods(MethodTable &table);

// What a call answers: the envelope, and the refusal's message for the log.
struct CallOutcome
{
    QByteArray envelope;
    QString error;   // empty when the call succeeded

    bool ok() const { return error.isEmpty(); }
    // The data of a success's envelope.
    JsonText data() const;
    static CallOutcome success(const JsonText &data);
    static CallOutcome failure(const QString &message);
};

// Runs a call given its origin (method name and operator) and request body
// {"args":[...]} and returns the envelope {"ok":true,"data":..} or
// {"ok":false,"error":..}. Never throws: every failure becomes an envelope
// with a message.
CallOutcome dispatchCall(SqlSession &session, const CallOrigin &origin, const QByteArray &body);
// The same for a method that is not in the table (one bound to a server's
// own state), its arguments checked as the table's are.
CallOutcome dispatchMethod(SqlSession &session, const MethodDef &method, const CallOrigin &origin,
                           const QByteArray &body);
// The arguments of a request body {"args":[...]}, checked against the
// method's kinds (its body is not run). Throws RequestError.
MethodArgs checkedArgs(const MethodDef &method, const QByteArray &body);
// The envelope for a failure found before any method ran.
QByteArray failureEnvelope(const QString &message);
// The echo route: answers the request's arguments as data, through the same
// body checks and envelope as a method, without touching the database.
CallOutcome echoCall(const QByteArray &body);
