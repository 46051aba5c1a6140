#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QVector>

#include <functional>

class ClientDataSet;
class Field;

// A column of a dataset view: the field it shows and its title.
struct DataSetColumn
{
    QString fieldName;
    QString title;              // the field's label when empty
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
};

// A table model over a client dataset, never a copy of it: rows are the
// dataset's rows, columns the given fields (every visible field when none are
// given). Display is the field's display text (display format, get-text
// handler); editing reads Field::Text and writes Field::SetText on the current
// row, putting a browsing dataset into edit first. A write the field refuses
// is reported through the guard and leaves the value as it was.
//
// The dataset reports inserted and removed rows after the fact; during the
// model's about-to phase the model still presents the rows as they were, so
// views and proxies see a consistent before and after.
class DataSetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit DataSetModel(QObject *parent = nullptr);

    void SetDataSet(ClientDataSet *dataSet);
    ClientDataSet *DataSet() const { return m_dataSet; }
    void SetColumns(const QVector<DataSetColumn> &columns);
    const QVector<DataSetColumn> &Columns() const { return m_columns; }
    // The field shown in a column; nullptr when the dataset lacks it.
    Field *FieldAt(int column) const;

    // The text assistive technology reads for a cell (Qt::AccessibleTextRole)
    // when the view draws something else than its display text, given the
    // dataset row and the column; an empty text reads the display text.
    std::function<QString(int row, int column)> AccessibleText;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void reset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    int dataSetRow(int row) const;
    int datasetRowCount() const;
    QVector<DataSetColumn> effectiveColumns() const;

    QPointer<ClientDataSet> m_dataSet;
    QVector<DataSetColumn> m_columns;   // as given
    QVector<DataSetColumn> m_shown;     // as shown
    QVector<Field *> m_shownFields;     // their fields, found at the last reset
    int m_rowCount = 0;
    // While announcing a change: the dataset row that was inserted (+1) or
    // removed (-1) at m_changedRow; 0 when none is being announced.
    int m_pendingShift = 0;
    int m_changedRow = -1;
    // A cell's text is being written: a message shown by its check takes
    // the focus from the cell editor, whose commit must not write it again.
    bool m_writing = false;
    int m_refusedRow = -1;
    int m_refusedColumn = -1;
    QString m_refusedText;
};
