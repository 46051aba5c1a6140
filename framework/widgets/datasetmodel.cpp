#include "widgets/datasetmodel.h"

#include "core/abort.h"
#include "core/clientdataset.h"

#include <QScopedValueRollback>

DataSetModel::DataSetModel(QObject *parent) : QAbstractTableModel(parent)
{
}

void DataSetModel::SetDataSet(ClientDataSet *dataSet)
{
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (dataSet) {
        connect(dataSet, &ClientDataSet::modelReset, this, &DataSetModel::reset);
        connect(dataSet, &ClientDataSet::rowInserted, this, &DataSetModel::rowInserted);
        connect(dataSet, &ClientDataSet::rowRemoved, this, &DataSetModel::rowRemoved);
        connect(dataSet, &ClientDataSet::rowChanged, this, &DataSetModel::rowChanged);
        // A refusal is remembered only for the edit it happened in.
        connect(dataSet, &ClientDataSet::stateChanged, this, [this] { m_refusedRow = -1; });
        connect(dataSet, &ClientDataSet::currentRowChanged, this, [this] { m_refusedRow = -1; });
        connect(dataSet, &QObject::destroyed, this, &DataSetModel::reset);
    }
    reset();
}

void DataSetModel::SetColumns(const QVector<DataSetColumn> &columns)
{
    m_columns = columns;
    reset();
}

QVector<DataSetColumn> DataSetModel::effectiveColumns() const
{
    if (!m_columns.isEmpty() || !m_dataSet)
        return m_columns;
    QVector<DataSetColumn> columns;
    for (const auto &field : m_dataSet->Fields()) {
        if (field->Visible())
            columns << DataSetColumn{field->FieldName(), QString()};
    }
    return columns;
}

int DataSetModel::datasetRowCount() const
{
    return m_dataSet && m_dataSet->Active() ? m_dataSet->RecordCount() : 0;
}

void DataSetModel::reset()
{
    beginResetModel();
    m_shown = effectiveColumns();
    m_shownFields.clear();
    for (const DataSetColumn &column : m_shown)
        m_shownFields.append(m_dataSet ? m_dataSet->FindField(column.fieldName) : nullptr);
    m_rowCount = datasetRowCount();
    endResetModel();
}

void DataSetModel::rowInserted(int row)
{
    m_pendingShift = 1;
    m_changedRow = row;
    beginInsertRows(QModelIndex(), row, row);
    m_pendingShift = 0;
    m_rowCount = datasetRowCount();
    endInsertRows();
}

void DataSetModel::rowRemoved(int row)
{
    m_pendingShift = -1;
    m_changedRow = row;
    beginRemoveRows(QModelIndex(), row, row);
    m_pendingShift = 0;
    m_rowCount = datasetRowCount();
    endRemoveRows();
}

void DataSetModel::rowChanged(int row)
{
    if (row >= 0 && row < m_rowCount && !m_shown.isEmpty())
        emit dataChanged(index(row, 0), index(row, int(m_shown.size()) - 1));
}

// The dataset row behind a model row; -1 for the removed row while its
// removal is announced.
int DataSetModel::dataSetRow(int row) const
{
    if (m_pendingShift == 0 || row < m_changedRow)
        return row;
    if (m_pendingShift > 0)
        return row + 1;
    return row == m_changedRow ? -1 : row - 1;
}

Field *DataSetModel::FieldAt(int column) const
{
    if (!m_dataSet || column < 0 || column >= m_shown.size())
        return nullptr;
    // Every cell asks: the fields are found once per reset, and a field
    // declared since is looked for by name.
    if (Field *field = m_shownFields.value(column))
        return field;
    return m_dataSet->FindField(m_shown.at(column).fieldName);
}

int DataSetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int DataSetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant DataSetModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !checkIndex(index))
        return QVariant();
    const Field *field = FieldAt(index.column());
    const int row = dataSetRow(index.row());
    if (!field || row < 0 || row >= datasetRowCount())
        return QVariant();
    QString text;
    switch (role) {
    case Qt::DisplayRole:
        // A failing display-text handler leaves the cell empty: painting
        // never prompts.
        runQuietly("cell text", [&] { text = m_dataSet->displayTextAt(row, field->Index()); });
        return text;
    case Qt::EditRole:
        runQuietly("cell text", [&] {
            text = row == m_dataSet->RecNo() ? field->Text() : m_dataSet->displayTextAt(row, field->Index());
        });
        return text;
    case Qt::AccessibleTextRole:
        if (AccessibleText)
            runQuietly("cell text", [&] { text = AccessibleText(row, index.column()); });
        return text.isEmpty() ? QVariant() : QVariant(text);
    case Qt::TextAlignmentRole:
        if (field->DataType() == FieldType::Integer || field->DataType() == FieldType::Real)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return QVariant();
    }
}

bool DataSetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid() || !checkIndex(index))
        return false;
    Field *field = FieldAt(index.column());
    if (!field || index.row() != m_dataSet->RecNo())
        return false;
    const QString text = value.toString();
    // The same text refused a moment ago for the same cell (the cell
    // editor committing again as it loses the focus) is refused without
    // telling the user twice.
    if (m_writing || (m_refusedRow == index.row() && m_refusedColumn == index.column() && m_refusedText == text))
        return false;
    const QScopedValueRollback writing(m_writing, true);
    const bool written = runGuarded([&] {
        if (text == field->Text())
            return;
        if (m_dataSet->State() == DataSetState::Browse)
            m_dataSet->Edit();
        field->SetText(text);
    });
    m_refusedRow = written ? -1 : index.row();
    m_refusedColumn = index.column();
    m_refusedText = text;
    return written;
}

QVariant DataSetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_shown.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const DataSetColumn &column = m_shown.at(section);
    if (role == Qt::DisplayRole) {
        if (!column.title.isEmpty())
            return column.title;
        const Field *field = FieldAt(section);
        return field ? field->DisplayLabel() : column.fieldName;
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.titleAlignment);
    return QVariant();
}

Qt::ItemFlags DataSetModel::flags(const QModelIndex &index) const
{
    if (!index.isValid() || !checkIndex(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const Field *field = FieldAt(index.column());
    if (field && !field->ReadOnly() && !field->Calculated())
        flags |= Qt::ItemIsEditable;
    return flags;
}
