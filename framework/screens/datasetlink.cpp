#include "screens/datasetlink.h"

#include "core/clientdataset.h"

DataSetLink::DataSetLink(QObject *control, std::function<void()> changed)
    : m_control(control)
    , m_changed(std::move(changed))
{
}

DataSetLink::~DataSetLink() = default;

ClientDataSet *DataSetLink::dataSet() const
{
    return m_dataSet;
}

void DataSetLink::setDataSet(ClientDataSet *dataSet)
{
    if (m_dataSet != dataSet) {
        for (auto &connection : m_connections)
            QObject::disconnect(connection);
        m_dataSet = dataSet;
        if (m_dataSet) {
            const auto changed = [this] { m_changed(); };
            m_connections[0] = QObject::connect(m_dataSet, &ClientDataSet::modelReset, m_control, changed);
            m_connections[1] = QObject::connect(m_dataSet, &ClientDataSet::currentRowChanged, m_control, changed);
            m_connections[2] = QObject::connect(m_dataSet, &ClientDataSet::stateChanged, m_control, changed);
            m_connections[3] = QObject::connect(m_dataSet, &ClientDataSet::rowChanged, m_control, changed);
            m_connections[4] = QObject::connect(m_dataSet, &ClientDataSet::rowRemoved, m_control, changed);
        }
    }
    m_changed();
}
