#pragma once

#include "screens/datasetlink.h"

#include <QLabel>

class ClientDataSet;

// A caption bound to one field of a client dataset: it shows the field's
// display text on the current row, and nothing while the dataset is closed
// or empty.
class TDBText : public QLabel
{
    Q_OBJECT
public:
    explicit TDBText(QWidget *parent = nullptr);

    ClientDataSet *DataSet() const;
    QString DataField() const { return m_dataField; }
    // Binds the caption to another dataset and field (nullptr unbinds it).
    void SetDataSet(ClientDataSet *dataSet);
    void SetDataField(const QString &fieldName);
    void Bind(ClientDataSet *dataSet, const QString &fieldName);

private:
    void refresh();

    DataSetLink m_link;
    QString m_dataField;
};
