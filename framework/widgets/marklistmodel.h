#pragma once

#include <QIdentityProxyModel>
#include <QSet>
#include <QStringList>

class DataSetModel;

// A dataset model with a check box in its first column: the rows whose key
// field value is marked. Marks are kept by key, so they survive resets.
class MarkListModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    MarkListModel(DataSetModel *source, const QString &keyField, QObject *parent = nullptr);

    void SetMarked(const QStringList &keys);
    // The marked keys present in the dataset, in the dataset's order.
    QStringList Marked() const;
    void MarkAll(bool marked);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    QString keyAt(int row) const;

    DataSetModel *m_source;
    int m_keyIndex;
    QSet<QString> m_marked;
};
