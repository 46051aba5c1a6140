#pragma once

#include <QMetaObject>
#include <QPointer>

#include <functional>

class ClientDataSet;
class QObject;

// A data-aware control's link to its dataset: it follows one dataset at a
// time and calls back whenever the dataset's content, current row, state or
// rows change, so the control can show them again.
class DataSetLink
{
public:
    DataSetLink(QObject *control, std::function<void()> changed);
    ~DataSetLink();
    DataSetLink(const DataSetLink &) = delete;
    DataSetLink &operator=(const DataSetLink &) = delete;

    ClientDataSet *dataSet() const;
    // Follows another dataset (nullptr: none) and calls back once.
    void setDataSet(ClientDataSet *dataSet);

private:
    QObject *m_control;
    std::function<void()> m_changed;
    QPointer<ClientDataSet> m_dataSet;
    QMetaObject::Connection m_connections[5];
};
