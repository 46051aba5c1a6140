#include "widgets/marklistmodel.h"

#include "core/clientdataset.h"
#include "widgets/datasetmodel.h"

MarkListModel::MarkListModel(DataSetModel *source, const QString &keyField, QObject *parent)
    : QIdentityProxyModel(parent), m_source(source),
      m_keyIndex(source->DataSet()->FieldByName(keyField)->Index())
{
    setSourceModel(source);
}

QString MarkListModel::keyAt(int row) const
{
    return m_source->DataSet()->valueAt(row, m_keyIndex).toString();
}

void MarkListModel::SetMarked(const QStringList &keys)
{
    m_marked = QSet<QString>(keys.cbegin(), keys.cend());
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

QStringList MarkListModel::Marked() const
{
    QStringList keys;
    for (int row = 0; row < rowCount(); ++row) {
        const QString key = keyAt(row);
        if (m_marked.contains(key))
            keys << key;
    }
    return keys;
}

void MarkListModel::MarkAll(bool marked)
{
    QStringList keys;
    if (marked) {
        for (int row = 0; row < rowCount(); ++row)
            keys << keyAt(row);
    }
    SetMarked(keys);
}

QVariant MarkListModel::data(const QModelIndex &index, int role) const
{
    if (role == Qt::CheckStateRole && index.isValid() && index.column() == 0)
        return m_marked.contains(keyAt(index.row())) ? Qt::Checked : Qt::Unchecked;
    return QIdentityProxyModel::data(index, role);
}

bool MarkListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !index.isValid() || index.column() != 0)
        return false;
    const QString key = keyAt(index.row());
    if (value.toInt() == Qt::Checked)
        m_marked.insert(key);
    else
        m_marked.remove(key);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags MarkListModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QIdentityProxyModel::flags(index) & ~Qt::ItemIsEditable;
    if (index.isValid() && index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}
