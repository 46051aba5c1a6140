#include "screens/savedselection.h"

#include "core/clientdataset.h"
#include "screens/datasetfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
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
    const QString fileName = QStringLiteral("FILPACI.cds");
    const QString executableFolder = QCoreApplication::applicationDirPath();
    if (QFileInfo(executableFolder).isWritable())
        return QDir(executableFolder).filePath(fileName);
    const QString dataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(dataFolder);
    return QDir(dataFolder).filePath(fileName);
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
