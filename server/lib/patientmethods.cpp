// Inpatients: the lists of the editor, the filter dialog and the patient
// search, the patient check, and the admission's observation.
#include "lib/audittrail.h"
#include "lib/changeapplier.h"
#include "lib/codelist.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/requesterror.h"

namespace {

// Admitted patients of a branch (no discharge date), with bed and standard.
// A patient is listed once, with the latest admission, even when an older
// one was never closed.
const QString inpatientsFrom = QStringLiteral(
    " FROM INTERNAC I"
    " JOIN PACIENTE P ON P.CDPACIENTE = I.CDPACIENTE"
    " LEFT JOIN LEITO L ON L.CDFILIAL = I.CDFILIAL AND L.CDLEITO = I.CDLEITO"
    " LEFT JOIN PADRAOSERV S ON S.CDSERPADDIE = I.CDSERPADDIE"
    " WHERE I.CDFILIAL = ? AND I.DTALTA IS NULL"
    " AND NOT EXISTS (SELECT 1 FROM INTERNAC N WHERE N.CDFILIAL = I.CDFILIAL AND N.CDPACIENTE = I.CDPACIENTE"
    " AND N.DTALTA IS NULL AND N.DTINTERNA > I.DTINTERNA)");

const PacketColumns patientColumns = {
    textColumn(QStringLiteral("NMLEITO"), 40),     textColumn(QStringLiteral("NMPACIENTE"), 80),
    textColumn(QStringLiteral("CDPACIENTE"), 12),  textColumn(QStringLiteral("NMSERPADDIE"), 30),
    dateColumn(QStringLiteral("DTNASCPACI")),      dateColumn(QStringLiteral("DTINTERNA")),
    textColumn(QStringLiteral("CDLEITO"), 12),
};
const QString patientSelect = QStringLiteral(
    "SELECT L.NMLEITO, P.NMPACIENTE, I.CDPACIENTE, S.NMSERPADDIE, P.DTNASCPACI, I.DTINTERNA, I.CDLEITO");

JsonText getInternados(SqlSession &session, const MethodArgs &args)
{
    const PacketColumns columns = {textColumn(QStringLiteral("IDMARCADO"), 1),
                                   textColumn(QStringLiteral("CDPACIENTE"), 12),
                                   textColumn(QStringLiteral("NMPACIENTE"), 80)};
    return queryPacket(session, columns,
                       QStringLiteral("SELECT NULL, I.CDPACIENTE, P.NMPACIENTE") + inpatientsFrom
                           + QStringLiteral(" ORDER BY P.NMPACIENTE, I.CDPACIENTE"),
                       {args.text(0)});
}

JsonText getPesqPaci(SqlSession &session, const MethodArgs &args)
{
    // The search shows the name in upper case; QString folds accents the
    // same on every database.
    PacketColumns columns = patientColumns;
    columns.insert(1, textColumn(QStringLiteral("NMPACIUPPER"), 80));
    PacketWriter packet(columns, session);
    session.forEachRow(patientSelect + inpatientsFrom + QStringLiteral(" ORDER BY P.NMPACIENTE, I.CDPACIENTE"),
                       {args.text(0)}, [&](const QSqlQuery &query) {
                           packet.add(query.value(0));
                           packet.add(query.value(1).toString().toUpper());
                           for (int i = 1; i < patientColumns.size(); ++i)
                               packet.add(query.value(i));
                       });
    return packet.finish();
}

JsonText getVdPaciente(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session, patientColumns,
                       patientSelect + inpatientsFrom + QStringLiteral(" AND I.CDPACIENTE = ?"),
                       {args.text(1), args.text(0)});
}

// Arguments: all-patients flag, patient list, all-wings flag, wing list,
// all-floors flag, floor list, all-standards flag, standard list, all-dates
// flag, start date, end date, branch.
JsonText getPaciFiltro(SqlSession &session, const MethodArgs &args)
{
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDPACIENTE"), 12), textColumn(QStringLiteral("NMPACIENTE"), 80),
        textColumn(QStringLiteral("NMSERPADDIE"), 30), textColumn(QStringLiteral("NMLEITO"), 40),
        dateColumn(QStringLiteral("DTINTERNA")),       textColumn(QStringLiteral("CDLEITO"), 12),
        dateColumn(QStringLiteral("DTNASCPACI")),      textColumn(QStringLiteral("DSSERVINTE"), 255),
    };
    QVariantList binds{args.text(11)};
    QString sql = QStringLiteral("SELECT I.CDPACIENTE, P.NMPACIENTE, S.NMSERPADDIE, L.NMLEITO, I.DTINTERNA,"
                                 " I.CDLEITO, P.DTNASCPACI, I.DSSERVINTE")
        + inpatientsFrom;
    const QString conditions[] = {
        codeListCondition(QStringLiteral("I.CDPACIENTE"), args.text(0), args.text(1), binds),
        codeListCondition(QStringLiteral("L.CDALA"), args.text(2), args.text(3), binds),
        codeListCondition(QStringLiteral("L.CDANDAR"), args.text(4), args.text(5), binds),
        codeListCondition(QStringLiteral("I.CDSERPADDIE"), args.text(6), args.text(7), binds),
    };
    for (const QString &condition : conditions) {
        if (!condition.isEmpty())
            sql += QStringLiteral(" AND ") + condition;
    }
    if (args.text(8) != QLatin1String("T")) {
        // Only patients with a service record within the days of the range.
        sql += QStringLiteral(" AND EXISTS (SELECT 1 FROM SERVINTE V WHERE V.CDFILIAL = I.CDFILIAL"
                              " AND V.CDPACIENTE = I.CDPACIENTE");
        const QDateTime start = args.dateTime(9);
        const QDateTime end = args.dateTime(10);
        if (start.isValid()) {
            sql += QStringLiteral(" AND V.DTSERVINTE >= ?");
            binds << dateTimeBind(start.date().startOfDay());
        }
        if (end.isValid()) {
            sql += QStringLiteral(" AND V.DTSERVINTE <= ?");
            binds << dateTimeBind(end.date().endOfDay());
        }
        sql += QLatin1Char(')');
    }
    sql += QStringLiteral(" ORDER BY P.NMPACIENTE, I.CDPACIENTE");
    return queryPacket(session, columns, sql, binds);
}

// Stores the observation of the patient's current admission, on the
// admission and on its service records, so the list and the records agree.
JsonText updServInte(SqlSession &session, const MethodArgs &args)
{
    const QString patient = args.text(0);
    const QString branch = args.text(2);
    const QVariant observation = columnValue(*Schema::table(QStringLiteral("INTERNAC")).column(QStringLiteral("DSSERVINTE")),
                                             args.text(1));
    Transaction transaction(session);
    const auto admissions = session.select(
        QStringLiteral("SELECT DTINTERNA FROM INTERNAC WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTALTA IS NULL"),
        {branch, patient});
    if (admissions.isEmpty())
        throw RequestError(QStringLiteral("Paciente %1 não está internado nesta filial.").arg(patient));
    const QVariant admission = dateTimeBind(dateTimeFromColumn(admissions.first().first()));
    for (const QString &table : {QStringLiteral("INTERNAC"), QStringLiteral("SERVINTE")}) {
        auditedUpdate(session, Schema::table(table), QStringLiteral("DSSERVINTE = ?"), {observation},
                      QStringLiteral("CDFILIAL = ? AND CDPACIENTE = ? AND DTINTERNA = ?"), {branch, patient, admission});
    }
    transaction.commit();
    return jsonNull();
}

} // namespace

void addPatientMethods(MethodTable &table)
{
    using A = ArgKind;
    // The lists of a branch's inpatients are the largest answers: sent in parts.
    table.append({QStringLiteral("GetInternados"), {A::Text}, getInternados, true});
    table.append({QStringLiteral("getPaciFiltro"),
                  {A::Text, A::Text, A::Text, A::Text, A::Text, A::Text, A::Text, A::Text, A::Text, A::DateTime,
                   A::DateTime, A::Text},
                  getPaciFiltro, true});
    table.append({QStringLiteral("UpdServInte"), {A::Text, A::Text, A::Text}, updServInte});
    table.append({QStringLiteral("getPesqPaci"), {A::Text}, getPesqPaci, true});
    table.append({QStringLiteral("getVdPaciente"), {A::Text, A::Text}, getVdPaciente});
}
