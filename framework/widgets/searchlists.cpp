#include "widgets/searchlists.h"

#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "data/codelist.h"
#include "core/interaction.h"

namespace {

struct TitleAndEmpty
{
    QString title;
    QString empty;
};

TitleAndEmpty splitTitle(const QString &titleBarEmpty)
{
    const int bar = int(titleBarEmpty.indexOf(QLatin1Char('|')));
    if (bar < 0)
        return {titleBarEmpty, QString()};
    return {titleBarEmpty.left(bar), titleBarEmpty.mid(bar + 1)};
}

// Opens a closed query; true when there are rows to list, else shows the
// empty-list text.
bool readyToList(ClientDataSet &dataSet, const QString &emptyText)
{
    if (!dataSet.Active()) {
        if (auto *query = qobject_cast<TADOIBQuery *>(&dataSet))
            query->Open();
    }
    if (dataSet.Active() && !dataSet.IsEmpty())
        return true;
    if (!emptyText.isEmpty())
        interaction().information(emptyText);
    return false;
}

} // namespace

bool Pesquisar(ClientDataSet &dataSet, const QString &titleBarEmpty, bool, bool)
{
    const TitleAndEmpty texts = splitTitle(titleBarEmpty);
    if (!readyToList(dataSet, texts.empty))
        return false;
    const int previous = dataSet.RecNo();
    if (interaction().pick(dataSet, texts.title))
        return true;
    dataSet.SetRecNo(previous);
    return false;
}

bool Pesquisar_Plus(TADOIBQuery &query, const QString &titleBarEmpty, bool, bool)
{
    // Pesquisar opens a closed query itself.
    return Pesquisar(query, titleBarEmpty);
}

QString PesquisaLista(ClientDataSet &dataSet, const QString &keyField,
                      const QString &titleBarEmpty, bool, const QString &list)
{
    const TitleAndEmpty texts = splitTitle(titleBarEmpty);
    if (!readyToList(dataSet, texts.empty))
        return list;
    dataSet.FieldByName(keyField);   // an unknown key field fails before the list shows
    const int previous = dataSet.RecNo();
    const std::optional<QStringList> marked =
        interaction().markList(dataSet, keyField, texts.title, ParseCodeList(list));
    dataSet.SetRecNo(previous);
    return marked ? BuildCodeList(*marked) : list;
}

bool Procura(ClientDataSet &dataSet)
{
    if (!dataSet.Active() || dataSet.IsEmpty())
        return false;
    return interaction().find(dataSet);
}
