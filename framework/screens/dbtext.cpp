#include "screens/dbtext.h"

#include "core/clientdataset.h"

TDBText::TDBText(QWidget *parent)
    : QLabel(parent)
    , m_link(this, [this] { refresh(); })
{
}

ClientDataSet *TDBText::DataSet() const
{
    return m_link.dataSet();
}

void TDBText::SetDataSet(ClientDataSet *dataSet)
{
    Bind(dataSet, m_dataField);
}

void TDBText::SetDataField(const QString &fieldName)
{
    Bind(DataSet(), fieldName);
}

void TDBText::Bind(ClientDataSet *dataSet, const QString &fieldName)
{
    m_dataField = fieldName;
    m_link.setDataSet(dataSet);
}

void TDBText::refresh()
{
    const ClientDataSet *data = DataSet();
    const Field *field = data && data->Active() && !data->IsEmpty() ? data->FindField(m_dataField) : nullptr;
    setText(field ? field->DisplayText() : QString());
    // Screen readers read the caption itself.
    setAccessibleName(text());
}
