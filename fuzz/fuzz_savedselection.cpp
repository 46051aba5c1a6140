// The saved selection file, read into the main window's cdsFiltro as the
// editor does when it opens: an unreadable file is refused with a message,
// a readable one gives the branch and patient.
#include "fuzzinput.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "screens/datasetfile.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("FILPACI.cds"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(fuzzBytes(data, size)) != qint64(size))
        return 0;
    file.close();

    ClientDataSet cdsFiltro;
    cdsFiltro.setObjectName(QStringLiteral("cdsFiltro"));
    for (const auto &[name, width] : {std::pair{"CDFILIAL", 4}, std::pair{"CDPACIENTE", 12}}) {
        FieldDef field;
        field.name = QString::fromLatin1(name);
        field.size = width;
        cdsFiltro.AddField(field);
    }
    try {
        LoadFromFile(cdsFiltro, path);
    } catch (const UserError &) {
        return 0;
    }
    cdsFiltro.FieldByName(QStringLiteral("CDFILIAL"))->AsString();
    cdsFiltro.FieldByName(QStringLiteral("CDPACIENTE"))->AsString();
    return 0;
}
