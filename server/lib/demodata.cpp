#include "lib/demodata.h"

#include "lib/passwordhash.h"
#include "lib/sqlsession.h"
#include "lib/tablewriter.h"

#include <QStringList>

namespace {

const QVariant null;

const QStringList firstNames = {
    QStringLiteral("Ana"),     QStringLiteral("Bruno"),   QStringLiteral("Carla"),   QStringLiteral("Daniel"),
    QStringLiteral("Eduarda"), QStringLiteral("Fábio"),   QStringLiteral("Gabriela"), QStringLiteral("Heitor"),
    QStringLiteral("Isabela"), QStringLiteral("João"),    QStringLiteral("Lúcia"),   QStringLiteral("Marcos"),
    QStringLiteral("Natália"), QStringLiteral("Otávio"),  QStringLiteral("Patrícia"), QStringLiteral("Rafael"),
    QStringLiteral("Sônia"),   QStringLiteral("Tiago"),
};
const QStringList lastNames = {
    QStringLiteral("Almeida"), QStringLiteral("Barbosa"), QStringLiteral("Cardoso"), QStringLiteral("D'Ávila"),
    QStringLiteral("Esteves"), QStringLiteral("Ferreira"), QStringLiteral("Gonçalves"), QStringLiteral("Henriques"),
    QStringLiteral("Lima"),    QStringLiteral("Moura"),   QStringLiteral("Nogueira"), QStringLiteral("Oliveira"),
    QStringLiteral("Pereira"), QStringLiteral("Queiroz"),
};
const QStringList standards = {QStringLiteral("APT"), QStringLiteral("ENF"), QStringLiteral("UTI")};

void insertAll(SqlSession &session, const QString &table, const QList<QVariantList> &rows)
{
    for (const QVariantList &row : rows)
        insertRow(session, table, row);
}

void fillBranch(SqlSession &session, const QString &branch, const QString &name, const QString &adjust)
{
    insertRow(session, QStringLiteral("FILIAL"), {branch, name});
    // Default goals of the branch: 30 kcal and 1.2 g protein per kg and day.
    insertRow(session, QStringLiteral("PARADIETO"), {branch, adjust, 30.0, 1.2});
    insertAll(session, QStringLiteral("ALA"),
              {{branch, QStringLiteral("01"), QStringLiteral("Ala Norte")},
               {branch, QStringLiteral("02"), QStringLiteral("Ala Sul")},
               {branch, QStringLiteral("03"), QStringLiteral("Ala Leste")}});
    insertAll(session, QStringLiteral("ANDAR"),
              {{branch, QStringLiteral("1"), QStringLiteral("Primeiro andar")},
               {branch, QStringLiteral("2"), QStringLiteral("Segundo andar")},
               {branch, QStringLiteral("3"), QStringLiteral("Terceiro andar")}});
    insertAll(session, QStringLiteral("SERVICO"),
              {{branch, QStringLiteral("00010"), QStringLiteral("Nutrição Enteral"), QStringLiteral("D"), QStringLiteral("1")},
               {branch, QStringLiteral("00020"), QStringLiteral("Nutrição Parenteral"), QStringLiteral("D"), QStringLiteral("1")},
               {branch, QStringLiteral("00030"), QStringLiteral("Dieta Oral"), QStringLiteral("D"), QStringLiteral("2")}});
    insertAll(session, QStringLiteral("DIETSERV"),
              {{branch, QStringLiteral("00010"), QStringLiteral("0001")},
               {branch, QStringLiteral("00010"), QStringLiteral("0002")},
               {branch, QStringLiteral("00020"), QStringLiteral("0003")},
               {branch, QStringLiteral("00030"), QStringLiteral("0005")}});
    insertAll(session, QStringLiteral("PRATO"),
              {{branch, QStringLiteral("D001"), QStringLiteral("Dieta artesanal liquidificada"), QStringLiteral("mL"), 1.0, 0.035},
               {branch, QStringLiteral("D002"), QStringLiteral("Sopa liquidificada"), QStringLiteral("PORCAO"), 0.6, 0.025},
               {branch, QStringLiteral("D003"), QStringLiteral("Suco de frutas coado"), QStringLiteral("mL"), 0.45, 0.004}});
    insertRow(session, QStringLiteral("NUTRICIO"), {branch, QStringLiteral("NUTRI02")});
}

void addRecords(SqlSession &session, const QString &patient, const QDateTime &admission, const QDate &today, int index)
{
    const QString branch = QStringLiteral("0001");
    for (int day = 0; day < 3; ++day) {
        const QDate date = today.addDays(-day);
        insertRow(session, QStringLiteral("SERVINTE"),
                  {branch, patient, date, QStringLiteral("01"), admission, QStringLiteral("0001"), QStringLiteral("00010"),
                   QStringLiteral("0001"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("S"), null, null,
                   QStringLiteral("NUTRI01"), index == 0 ? QVariant(QStringLiteral("Aceita bem a dieta.")) : null,
                   55.0 + index * 4.5});
        const QVariantList dish = {branch, QStringLiteral("D001"), null, QStringLiteral("A"), QStringLiteral("mL"),
                                   QStringLiteral("D001")};
        const QVariantList product = {null, null, QStringLiteral("P001"), QStringLiteral("F"), QStringLiteral("mL"),
                                      QStringLiteral("01.001.0001")};
        for (int item = 1; item <= 3; ++item) {
            const QVariantList &formulation = item == 2 ? dish : product;
            const double hour = 6.0 * item;
            insertRow(session, QStringLiteral("CONFESCO"),
                      {branch, patient, date, QStringLiteral("01"), QStringLiteral("%1").arg(item, 4, 10, QLatin1Char('0')),
                       formulation[0], formulation[1], 62.5, 250.0, item == 1 ? 200.0 : 250.0, hour, date,
                       formulation[2], QStringLiteral("002"), formulation[3], null,
                       QStringLiteral("%1").arg(int(hour), 2, 10, QLatin1Char('0')) + QStringLiteral("00"), formulation[4], formulation[5]});
        }
        insertRow(session, QStringLiteral("OCORINFU"),
                  {branch, patient, date, QStringLiteral("01"), QStringLiteral("0001"),
                   QDateTime(date, QTime(7, 15)), QStringLiteral("002")});
    }
}

} // namespace

namespace DemoData {

bool hasPatients(SqlSession &session)
{
    return !session.select(QStringLiteral("SELECT 1 FROM INTERNAC")).isEmpty();
}

void fillReference(SqlSession &session)
{
    insertAll(session, QStringLiteral("PADRAOSERV"),
              {{QStringLiteral("APT"), QStringLiteral("Apartamento"), null, null},
               {QStringLiteral("ENF"), QStringLiteral("Enfermaria"), 25.0, 1.2},
               {QStringLiteral("UTI"), QStringLiteral("Terapia intensiva"), 25.0, 1.3}});
    insertAll(session, QStringLiteral("DIETPADR"),
              {{QStringLiteral("0001"), QStringLiteral("Enteral polimérica padrão"), QStringLiteral("2")},
               {QStringLiteral("0002"), QStringLiteral("Enteral hiperproteica"), QStringLiteral("2")},
               {QStringLiteral("0003"), QStringLiteral("Parenteral total"), QStringLiteral("2")},
               {QStringLiteral("0004"), QStringLiteral("Parenteral periférica"), QStringLiteral("2")},
               {QStringLiteral("0005"), QStringLiteral("Dieta geral"), QStringLiteral("1")}});
    insertAll(session, QStringLiteral("VIACESDIET"),
              {{QStringLiteral("001"), QStringLiteral("Sonda nasogástrica")},
               {QStringLiteral("002"), QStringLiteral("Sonda nasoentérica")},
               {QStringLiteral("003"), QStringLiteral("Gastrostomia")},
               {QStringLiteral("004"), QStringLiteral("Jejunostomia")},
               {QStringLiteral("005"), QStringLiteral("Cateter venoso central")},
               {QStringLiteral("006"), QStringLiteral("Cateter venoso periférico")}});
    insertAll(session, QStringLiteral("TPOCORINFU"),
              {{QStringLiteral("001"), QStringLiteral("Obstrução da sonda"), QStringLiteral("S")},
               {QStringLiteral("002"), QStringLiteral("Vômito"), QStringLiteral("S")},
               {QStringLiteral("003"), QStringLiteral("Diarreia"), QStringLiteral("S")},
               {QStringLiteral("004"), QStringLiteral("Distensão abdominal"), QStringLiteral("N")},
               {QStringLiteral("005"), QStringLiteral("Saída acidental da sonda"), QStringLiteral("S")},
               {QStringLiteral("006"), QStringLiteral("Interrupção para exame"), QStringLiteral("S")}});
    insertAll(session, QStringLiteral("PRODUTO"),
              {{QStringLiteral("P001"), QStringLiteral("01.001.0001"), QStringLiteral("Fórmula enteral polimérica 1,0 kcal/mL"), QStringLiteral("mL"), 1.0, 0.04},
               {QStringLiteral("P002"), QStringLiteral("01.001.0002"), QStringLiteral("Fórmula enteral hiperproteica"), QStringLiteral("mL"), 1.5, 0.075},
               {QStringLiteral("P003"), QStringLiteral("01.002.0001"), QStringLiteral("Módulo de proteína"), QStringLiteral("g"), 3.6, 0.9},
               {QStringLiteral("P004"), QStringLiteral("02.001.0001"), QStringLiteral("Emulsão lipídica 20%"), QStringLiteral("FRASCO"), 2.0, 0.0},
               {QStringLiteral("P005"), QStringLiteral("02.001.0002"), QStringLiteral("Solução de aminoácidos 10%"), QStringLiteral("mL"), 0.4, 0.1}});
    // One hash per process: each costs tens of milliseconds on purpose.
    static const QString passwordHash = PasswordHash::make(operatorPassword);
    insertAll(session, QStringLiteral("OPERADOR"),
              {{QStringLiteral("NUTRI01"), QStringLiteral("Ana Paula Nutricionista"), passwordHash},
               {QStringLiteral("NUTRI02"), QStringLiteral("Bruno Costa Nutricionista"), passwordHash},
               {QStringLiteral("ENF01"), QStringLiteral("Carla Souza Enfermeira"), passwordHash}});
    fillBranch(session, QStringLiteral("0001"), QStringLiteral("Hospital Central"), QStringLiteral("S"));
    fillBranch(session, QStringLiteral("0002"), QStringLiteral("Hospital Norte"), QStringLiteral("N"));
    insertRow(session, QStringLiteral("DIETSERV"), {QStringLiteral("0001"), QStringLiteral("00020"), QStringLiteral("0004")});
    insertRow(session, QStringLiteral("NUTRICIO"), {QStringLiteral("0001"), QStringLiteral("NUTRI01")});
    // "0001" keeps the default hang times as rows to edit; "0002" has none
    // and so uses the defaults.
    insertAll(session, QStringLiteral("PARAHANG"),
              {{QStringLiteral("0001"), QStringLiteral("A"), QStringLiteral("0400")},
               {QStringLiteral("0001"), QStringLiteral("F"), QStringLiteral("2400")}});
}

void addInpatient(SqlSession &session, const QString &branch, const QString &patient, const QString &name,
                  const QDate &birth, const QDateTime &admission, int bed, const QString &standard)
{
    const QString bedCode = QStringLiteral("L%1").arg(bed, 4, 10, QLatin1Char('0'));
    const QString wing = QStringLiteral("0%1").arg(bed % 3 + 1);
    const QString floor = QString::number(bed / 3 % 3 + 1);
    insertRow(session, QStringLiteral("LEITO"),
              {branch, bedCode, QStringLiteral("Leito %1 - andar %2").arg(bed).arg(floor), wing, floor});
    insertRow(session, QStringLiteral("PACIENTE"), {patient, name, birth});
    insertRow(session, QStringLiteral("INTERNAC"), {branch, patient, admission, bedCode, standard, null, null});
}

void fill(SqlSession &session, int patientsPerBranch, const QDate &today)
{
    Transaction transaction(session);
    fillReference(session);
    const QStringList branches = {QStringLiteral("0001"), QStringLiteral("0002")};
    int serial = 0;
    for (const QString &branch : branches) {
        for (int i = 0; i < patientsPerBranch; ++i, ++serial) {
            const QString patient = QStringLiteral("%1").arg(serial + 1, 12, 10, QLatin1Char('0'));
            const QString name = firstNames.at(serial % firstNames.size()) + QLatin1Char(' ')
                + lastNames.at(serial / firstNames.size() % lastNames.size()) + QLatin1Char(' ')
                + lastNames.at(serial % lastNames.size());
            QDate birth;
            switch (i) {
            case 0: birth = today.addDays(-21); break;
            case 1: birth = today.addMonths(-5); break;
            case 2: birth = today.addYears(-1).addMonths(-1); break;
            default: birth = today.addYears(-(18 + serial * 7 % 70)).addDays(-(serial * 37 % 365)); break;
            }
            const QDateTime admission(today.addDays(-(3 + serial % 12)), QTime(8 + serial % 10, 30));
            addInpatient(session, branch, patient, name, birth, admission, i + 1, standards.at(serial % standards.size()));
            if (serial % 4 == 0)
                insertRow(session, QStringLiteral("HABITOPACI"), {patient, QStringLiteral("Não tolera lactose; prefere refeições mornas.")});
            if (branch == branches.first() && i < 5)
                addRecords(session, patient, admission, today, i);
            // Trophic feeding: a goal of its own, 10 kcal/kg, that the
            // records meet (the other patients with records get about half
            // of their standard's goal).
            if (branch == branches.first() && i == 3)
                insertRow(session, QStringLiteral("METAINTE"), {branch, patient, admission, 10.0, 1.0});
        }
    }
    const QString discharged = QStringLiteral("%1").arg(serial + 1, 12, 10, QLatin1Char('0'));
    addInpatient(session, branches.first(), discharged, QStringLiteral("Rui Alta Hospitalar"), today.addYears(-60),
                 QDateTime(today.addDays(-30), QTime(9, 0)), patientsPerBranch + 1, standards.first());
    session.execute(QStringLiteral("UPDATE INTERNAC SET DTALTA = ? WHERE CDPACIENTE = ?"),
                    {dateTimeBind(QDateTime(today.addDays(-2), QTime(14, 0))), discharged});
    transaction.commit();
}

} // namespace DemoData
