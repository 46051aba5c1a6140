#include "lib/fhirsearch.h"

#include "lib/requesterror.h"

#include <QHash>
#include <QRegularExpression>

namespace {

const QString patientName = QStringLiteral("patient");
const QString dateName = QStringLiteral("date");
const QString branchName = QStringLiteral("branch");

} // namespace

FhirSearch FhirSearch::parse(const QList<QPair<QString, QString>> &parameters)
{
    QHash<QString, QString> values;
    for (const auto &[name, value] : parameters) {
        if (name != patientName && name != dateName && name != branchName)
            throw RequestError(QStringLiteral("Parâmetro de pesquisa desconhecido: \"%1\". "
                                              "Os parâmetros são patient, date e branch.").arg(name));
        if (values.contains(name))
            throw RequestError(QStringLiteral("Parâmetro de pesquisa repetido: \"%1\".").arg(name));
        if (value.trimmed().isEmpty())
            throw RequestError(QStringLiteral("Parâmetro de pesquisa vazio: \"%1\".").arg(name));
        values.insert(name, value);
    }
    for (const QString &name : {patientName, dateName, branchName}) {
        if (!values.contains(name))
            throw RequestError(QStringLiteral("Parâmetro de pesquisa obrigatório ausente: \"%1\".").arg(name));
    }
    // Only a full calendar day: FHIR's prefixes and partial dates would
    // widen the search beyond the one day of records asked for.
    static const QRegularExpression dayPattern(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
    const QString dayText = values.value(dateName);
    const QDate day = QDate::fromString(dayText, QStringLiteral("yyyy-MM-dd"));
    if (!dayPattern.match(dayText).hasMatch() || !day.isValid())
        throw RequestError(QStringLiteral("Data de pesquisa inválida: \"%1\" (use aaaa-mm-dd).").arg(dayText));
    QString patient = values.value(patientName);
    if (patient.startsWith(QLatin1String("Patient/")))
        patient = patient.mid(8);
    if (patient.isEmpty())
        throw RequestError(QStringLiteral("Parâmetro de pesquisa vazio: \"%1\".").arg(patientName));
    return {patient, day, values.value(branchName)};
}
