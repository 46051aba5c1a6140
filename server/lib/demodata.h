#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

class SqlSession;

// Demo content of the suite database.
//
// Reference data (fillReference):
// - branches "0001" Hospital Central (typed patient codes adjusted,
//   IDAJUSTAPACI "S") and "0002" Hospital Norte (IDAJUSTAPACI "N");
// - per branch wings "01".."03", floors "1".."3", enteral service "00010" and
//   parenteral service "00020" (both IDTIPOSERV "D", IDTPSERVHOSP "1") and an
//   oral service "00030" that is not enteral/parenteral;
// - diets "0001" and "0002" (offered by "00010"), "0003" (by "00020"),
//   "0004" (only by "00020" of branch "0001"), "0005" (not enteral);
// - admission standards "APT", "ENF", "UTI" ("ENF" with goals of 25 kcal
//   and 1.2 g protein per kg and day, "UTI" 25 kcal and 1.3 g, "APT" none);
//   each branch's default goals 30 kcal and 1.2 g per kg; access routes "001".."006";
//   occurrence types "001".."006", all but "004" interruptions
//   (IDINTERRUPCAO "S"); products "P001".."P005" with tree codes
//   "01.001.0001".. (P004's unit "FRASCO" is longer than five characters);
//   dishes "D001".."D003" per branch (D002's unit "PORCAO"); products and
//   dishes carry kcal and protein per mL (QTKCALML, QTPROTML);
// - hang times of branch "0001" as rows (4:00 open, 24:00 closed); "0002"
//   has none;
// - operators NUTRI01 and NUTRI02 (nutritionists; NUTRI02 in both branches,
//   NUTRI01 in "0001" only), ENF01 (not a nutritionist), each with the
//   password operatorPassword ("demo").
//
// Patients (fill): `patientsPerBranch` inpatients per branch on beds spread
// over the wings, floors and admission standards, with varied ages: in each
// branch the first three are three weeks, five months and exactly one year
// and one month old, the others adults; a discharged patient in "0001";
// habits notes for some; service records of today and the two days before
// for the first five patients of "0001", with items and occurrences (700 of
// 750 kcal infused a day, about half the goal: patients at risk), the fourth
// of them with a goal of its own of 10 kcal and 1 g per kg (on goal).
namespace DemoData {

inline const QString operatorPassword = QStringLiteral("demo");

bool hasPatients(SqlSession &session);
void fillReference(SqlSession &session);
// Adds a patient admitted in the branch on a bed of its own ("L" + bed
// number), with the bed's wing and floor chosen from the bed number.
void addInpatient(SqlSession &session, const QString &branch, const QString &patient, const QString &name,
                  const QDate &birth, const QDateTime &admission, int bed, const QString &standard);
// Reference data and patients, in one transaction.
void fill(SqlSession &session, int patientsPerBranch, const QDate &today = QDate::currentDate());

} // namespace DemoData
