// Service records: the nutritionist check, the record list, the service and
// diet checks, the numbering and observation of a new record, and its changes.
#include "lib/changeapplier.h"
#include "lib/methodtable.h"
#include "lib/packetwriter.h"
#include "lib/prescriberrule.h"
#include "lib/recordkey.h"
#include "lib/requesterror.h"

namespace {

const QString duplicateServiceMessage = QStringLiteral("Serviço já cadastrado.");
const QString exhaustedMessage = QStringLiteral("Numeração de serviços do dia esgotada.");

// A nutritionist records a service in her own name: a new record naming
// another nutritionist than the operator logged in is refused, and one that
// names none is recorded in the operator's name.
void stampOwnRecord(const SqlSession &session, RowValues &values)
{
    const QString operatorCode = session.origin().operatorCode.trimmed();
    const QString nutritionist = values.value(QStringLiteral("CDNUTRICIO")).toString().trimmed();
    if (nutritionist.isEmpty())
        values.insert(QStringLiteral("CDNUTRICIO"), operatorCode);
    else if (nutritionist != operatorCode)
        throw RequestError(
            QStringLiteral("O serviço deve ser registrado em nome do operador conectado (%1).").arg(operatorCode));
}
// The sequence is two digits wide.
constexpr int highestSequence = 99;
// Tries of an insert whose free sequence another server took meanwhile.
constexpr int insertAttempts = 5;

JsonText getNutricio(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session,
                       {textColumn(QStringLiteral("CDNUTRICIO"), 12), textColumn(QStringLiteral("NMOPERADOR"), 40)},
                       QStringLiteral("SELECT N.CDNUTRICIO, O.NMOPERADOR FROM NUTRICIO N"
                                      " LEFT JOIN OPERADOR O ON O.CDOPERADOR = N.CDNUTRICIO"
                                      " WHERE N.CDFILIAL = ? AND N.CDNUTRICIO = ?"),
                       {args.text(1), args.text(0)});
}

// Arguments: patient, admission date, branch. Without an admission date
// the patient has no current admission, so no record is answered.
JsonText getServInte(SqlSession &session, const MethodArgs &args)
{
    const PacketColumns columns = {
        textColumn(QStringLiteral("CDPACIENTE"), 12),  dateColumn(QStringLiteral("DTSERVINTE")),
        textColumn(QStringLiteral("NRSEQUSERV"), 2),   dateColumn(QStringLiteral("DTINTERNA")),
        textColumn(QStringLiteral("CDFILIAL"), 4),     textColumn(QStringLiteral("CDDIETGRUPSI"), 4),
        textColumn(QStringLiteral("CDSERVFILI"), 5),   textColumn(QStringLiteral("CDDIETPAD"), 4),
        textColumn(QStringLiteral("NRACOMPANA"), 4),   textColumn(QStringLiteral("STPACIACOM"), 1),
        textColumn(QStringLiteral("IDIMPRSERV"), 1),   textColumn(QStringLiteral("IDTIPOSERINT"), 1),
        textColumn(QStringLiteral("IDRESTSERIN"), 1),  textColumn(QStringLiteral("CDNUTRICIO"), 12),
        textColumn(QStringLiteral("DSSERVINTE"), 255), realColumn(QStringLiteral("NRSERVPESO")),
        textColumn(QStringLiteral("DSDIETPAD"), 50),   textColumn(QStringLiteral("NMOPERADOR"), 40),
        textColumn(QStringLiteral("NMSERVICO"), 40),
    };
    const QDateTime admission = args.dateTime(1);
    if (!admission.isValid())
        return makePacket(columns, {});
    return queryPacket(
        session, columns,
        QStringLiteral(
            "SELECT V.CDPACIENTE, V.DTSERVINTE, V.NRSEQUSERV, V.DTINTERNA, V.CDFILIAL, V.CDDIETGRUPSI, V.CDSERVFILI,"
            " V.CDDIETPAD, V.NRACOMPANA, V.STPACIACOM, V.IDIMPRSERV, V.IDTIPOSERINT, V.IDRESTSERIN, V.CDNUTRICIO,"
            " V.DSSERVINTE, V.NRSERVPESO, D.DSDIETPAD, O.NMOPERADOR, S.NMSERVICO"
            " FROM SERVINTE V"
            " LEFT JOIN DIETPADR D ON D.CDDIETPAD = V.CDDIETPAD"
            " LEFT JOIN OPERADOR O ON O.CDOPERADOR = V.CDNUTRICIO"
            " LEFT JOIN SERVICO S ON S.CDFILIAL = V.CDFILIAL AND S.CDSERVFILI = V.CDSERVFILI"
            " WHERE V.CDFILIAL = ? AND V.CDPACIENTE = ? AND V.DTINTERNA = ?"
            " ORDER BY V.DTSERVINTE, V.NRSEQUSERV"),
        {args.text(2), args.text(0), dateTimeBind(admission)});
}

// Enteral/parenteral services of the branch only, as the service pick list.
JsonText getVeriServ(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session,
                       {textColumn(QStringLiteral("CDSERVFILI"), 5), textColumn(QStringLiteral("NMSERVICO"), 40)},
                       QStringLiteral("SELECT CDSERVFILI, NMSERVICO FROM SERVICO WHERE CDFILIAL = ? AND UPPER(CDSERVFILI) = UPPER(?)"
                                      " AND IDTIPOSERV = 'D' AND IDTPSERVHOSP = '1'"),
                       {args.text(1), args.text(0)});
}

JsonText getVerifDieta(SqlSession &session, const MethodArgs &args)
{
    return queryPacket(session,
                       {textColumn(QStringLiteral("CDDIETPAD"), 4), textColumn(QStringLiteral("DSDIETPAD"), 50)},
                       QStringLiteral("SELECT DS.CDDIETPAD, DP.DSDIETPAD FROM DIETSERV DS"
                                      " JOIN DIETPADR DP ON DP.CDDIETPAD = DS.CDDIETPAD"
                                      " WHERE DS.CDFILIAL = ? AND UPPER(DS.CDSERVFILI) = UPPER(?) AND UPPER(DS.CDDIETPAD) = UPPER(?)"
                                      " AND DP.IDFORMDIET = '2'"),
                       {args.text(2), args.text(0), args.text(1)});
}

// Arguments: patient, service date, service, diet, admission date, branch.
// Answers four packets: records repeating patient, day, service and diet;
// the highest sequence of the patient's day; the observation of the
// admission's latest service record that has one; the patient's general
// habits note.
JsonText getVdPostServInte(SqlSession &session, const MethodArgs &args)
{
    const QString patient = args.text(0);
    const QVariant day = dateTimeBind(args.dateTime(1));
    const QString branch = args.text(5);
    const QVariant admission = dateTimeBind(args.dateTime(4));

    const JsonText duplicates = queryPacket(
        session,
        {textColumn(QStringLiteral("CDPACIENTE"), 12), dateColumn(QStringLiteral("DTSERVINTE")),
         textColumn(QStringLiteral("NRSEQUSERV"), 2), textColumn(QStringLiteral("CDSERVFILI"), 5),
         textColumn(QStringLiteral("CDDIETPAD"), 4)},
        QStringLiteral("SELECT CDPACIENTE, DTSERVINTE, NRSEQUSERV, CDSERVFILI, CDDIETPAD FROM SERVINTE"
                       " WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTSERVINTE = ? AND CDSERVFILI = ? AND CDDIETPAD = ?"),
        {branch, patient, day, args.text(2), args.text(3)});

    const auto sequences = session.select(
        QStringLiteral("SELECT NRSEQUSERV FROM SERVINTE WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTSERVINTE = ?"),
        {branch, patient, day});
    const JsonText highest = makePacket({textColumn(QStringLiteral("NRSEQUSERV"), 2)}, {{highestNumber(sequences)}});

    const PacketColumns observationColumns = {textColumn(QStringLiteral("DSSERVINTE"), 255)};
    const auto observations = session.select(
        QStringLiteral("SELECT DSSERVINTE FROM SERVINTE WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTINTERNA = ?"
                       " AND DSSERVINTE IS NOT NULL AND DSSERVINTE <> '' ORDER BY DTSERVINTE DESC, NRSEQUSERV DESC"),
        {branch, patient, admission});
    const JsonText observation = makePacket(observationColumns, observations.mid(0, 1));

    const JsonText habits = queryPacket(
        session, {textColumn(QStringLiteral("DSOBSGERAL"), 255)},
        QStringLiteral("SELECT DSOBSGERAL FROM HABITOPACI WHERE CDPACIENTE = ? AND DSOBSGERAL IS NOT NULL"),
        {patient});

    return jsonArray({duplicates, highest, observation, habits});
}

JsonText setServInte(SqlSession &session, const MethodArgs &args)
{
    ChangeRules rules{Schema::table(QStringLiteral("SERVINTE")), duplicateServiceMessage, {}, {}};
    // One record per patient, day, service and diet, whatever its sequence:
    // two workstations entering the same record are told, not doubled. Two
    // workstations entering different records of one day number them from
    // the same highest sequence: the later one takes the next free sequence.
    rules.prepareWrite = [](SqlSession &s, RowValues &values, bool inserting) {
        if (!inserting)
            return;
        PrescriberRule::requireNutritionist(s, values.value(QStringLiteral("CDFILIAL")).toString());
        stampOwnRecord(s, values);
        const QVariantList day{values.value(QStringLiteral("CDFILIAL")), values.value(QStringLiteral("CDPACIENTE")),
                               values.value(QStringLiteral("DTSERVINTE"))};
        const auto same = s.select(
            QStringLiteral("SELECT 1 FROM SERVINTE WHERE CDFILIAL = ? AND CDPACIENTE = ? AND DTSERVINTE = ?"
                           " AND COALESCE(CDSERVFILI, '') = COALESCE(?, '') AND COALESCE(CDDIETPAD, '') = COALESCE(?, '')"),
            day + QVariantList{values.value(QStringLiteral("CDSERVFILI")), values.value(QStringLiteral("CDDIETPAD"))});
        if (!same.isEmpty())
            throw RequestError(duplicateServiceMessage);
        const auto taken = s.select(QStringLiteral("SELECT 1 FROM SERVINTE WHERE CDFILIAL = ? AND CDPACIENTE = ?"
                                                   " AND DTSERVINTE = ? AND NRSEQUSERV = ?"),
                                    day + QVariantList{values.value(QStringLiteral("NRSEQUSERV"))});
        int sequence = values.value(QStringLiteral("NRSEQUSERV")).toString().toInt();
        if (!taken.isEmpty()) {
            const auto sequences = s.select(QStringLiteral("SELECT NRSEQUSERV FROM SERVINTE WHERE CDFILIAL = ?"
                                                           " AND CDPACIENTE = ? AND DTSERVINTE = ?"),
                                            day);
            sequence = highestNumber(sequences).toInt() + 1;
        }
        if (sequence > highestSequence || sequence < 1)
            throw RequestError(exhaustedMessage);
        values.insert(QStringLiteral("NRSEQUSERV"), QStringLiteral("%1").arg(sequence, 2, 10, QLatin1Char('0')));
    };
    rules.attempts = insertAttempts;
    rules.beforeDelete = [](SqlSession &s, const RowValues &key) {
        deleteRecordItems(s, RecordKey::fromValues(key));
    };
    applyChanges(session, args.changes(0), rules);
    return jsonNull();
}

} // namespace

void addServiceMethods(MethodTable &table)
{
    using A = ArgKind;
    table.append({QStringLiteral("getNutricio"), {A::Text, A::Text}, getNutricio});
    table.append({QStringLiteral("getServInte"), {A::Text, A::DateTime, A::Text}, getServInte});
    table.append({QStringLiteral("getVeriServ"), {A::Text, A::Text}, getVeriServ});
    table.append({QStringLiteral("getVerifDieta"), {A::Text, A::Text, A::Text}, getVerifDieta});
    table.append({QStringLiteral("getVdPostServInte"), {A::Text, A::DateTime, A::Text, A::Text, A::DateTime, A::Text},
                  getVdPostServInte});
    table.append({QStringLiteral("SetServInte"), {A::Changes}, setServInte});
}
