#include "savedselection.h"

#include "clientdataset.h"
#include "datasetfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QLineEdit>

namespace {

QString editText(const QWidget &screen, const QString &name)
{
    const auto *edit = screen.findChild<QLineEdit *>(name);
    return edit ? edit->text().trimmed() : QString();
}

QString listPatient(const QWidget &screen)
{
    const auto *list = screen.findChild<ClientDataSet *>(QStringLiteral("cdsPaciFiltro"));
    if (!list || !list->Active() || list->IsEmpty())
        return QString();
    const Field *patient = list->FindField(QStringLiteral("CDPACIENTE"));
    return patient ? patient->AsString() : QString();
}

} // namespace

QString savedSelectionPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("FILPACI.cds"));
}

void rememberSelection(const QWidget &screen, ClientDataSet &cdsFiltro, const QString &path)
{
    const QString branch = editText(screen, QStringLiteral("medFilial"));
    if (branch.isEmpty())
        return;
    QString patient = editText(screen, QStringLiteral("edtCdPaciente"));
    if (patient.isEmpty())
        patient = listPatient(screen);

    if (cdsFiltro.Active())
        cdsFiltro.EmptyDataSet();
    else
        cdsFiltro.CreateDataSet();
    cdsFiltro.Append();
    cdsFiltro.FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(branch);
    cdsFiltro.FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(patient);
    cdsFiltro.Post();
    cdsFiltro.MergeChangeLog();
    SaveToFile(cdsFiltro, path);
}
