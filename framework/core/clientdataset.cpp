#include "core/clientdataset.h"

#include "core/abort.h"
#include "core/fieldformat.h"

#include <QScopedValueRollback>
#include <QThreadPool>
#include <QVarLengthArray>

#include <algorithm>

enum class RowStatus { Unmodified, Inserted, Modified };

struct ClientDataSet::Row
{
    QVector<QVariant> values;
    QVector<QVariant> original;     // values as read, for a modified row
    RowStatus status = RowStatus::Unmodified;
    qint64 sequence = 0;            // order of the row's first logged change
    // The calculated fields hold what OnCalcFields makes of the row's values.
    // They are calculated when first read (a grid reads only the rows it
    // shows) and again when first read after the row's values changed.
    bool calculated = false;
};

struct ClientDataSet::DeletedRow
{
    QVector<QVariant> original;
    qint64 sequence = 0;
    int position = 0;
};

namespace {

// Runs an event when it is set.
void fire(const std::function<void(ClientDataSet &)> &event, ClientDataSet &dataSet)
{
    if (event)
        event(dataSet);
}

// A packet's value as its field holds it: taken over when it already has
// the field's type, converted otherwise.
QVariant fieldValue(QVariant &value, const Field &field)
{
    return hasFieldType(value, field.DataType(), field.Size())
        ? std::move(value)
        : convertToFieldType(value, field.DataType(), field.Size(), field.DisplayLabel());
}

} // namespace

// ---------------------------------------------------------------- Field

Field::Field(ClientDataSet *dataSet, const FieldDef &def, int index)
    : m_dataSet(dataSet), m_def(def), m_index(index)
{
}

int Field::DisplayWidth() const
{
    if (m_def.displayWidth > 0)
        return m_def.displayWidth;
    if (m_def.type == FieldType::Text && m_def.size > 0)
        return m_def.size;
    return m_def.type == FieldType::DateTime ? 10 : 12;
}

QVariant Field::Value() const
{
    const QVariant *value = m_dataSet->activeValuePtr(m_index);
    return value ? *value : QVariant();
}

void Field::SetValue(const QVariant &value)
{
    m_dataSet->requireWritable(*this);
    m_dataSet->activeValue(m_index) = convertToFieldType(value, m_def.type, m_def.size, DisplayLabel());
    m_dataSet->fieldWritten(*this);
}

bool Field::IsNull() const
{
    return isNullValue(Value());
}

QString Field::AsString() const
{
    const QVariant value = Value();
    if (isNullValue(value))
        return QString();
    if (m_def.type == FieldType::DateTime)
        return formatDateTime(value.toDateTime(), QString());
    if (m_def.type == FieldType::Real)
        return formatReal(value.toDouble(), QString());
    return value.toString();
}

void Field::SetAsString(const QString &value)
{
    if (m_def.type == FieldType::Text)
        SetValue(value);
    else
        SetText(value);
}

int Field::AsInteger() const
{
    return Value().toInt();
}

void Field::SetAsInteger(int value)
{
    SetValue(value);
}

double Field::AsFloat() const
{
    return Value().toDouble();
}

void Field::SetAsFloat(double value)
{
    SetValue(value);
}

QDateTime Field::AsDateTime() const
{
    return Value().toDateTime();
}

void Field::SetAsDateTime(const QDateTime &value)
{
    SetValue(value.isValid() ? QVariant(value) : QVariant());
}

bool Field::AsBoolean() const
{
    return Value().toBool();
}

void Field::SetAsBoolean(bool value)
{
    SetValue(value);
}

QString Field::formatValue(const QString &format) const
{
    const QVariant value = Value();
    if (isNullValue(value))
        return QString();
    switch (m_def.type) {
    case FieldType::Real:
        return formatReal(value.toDouble(), format);
    case FieldType::DateTime:
        return formatDateTime(value.toDateTime(), format);
    case FieldType::Boolean:
        return value.toBool() ? QStringLiteral("Sim") : QStringLiteral("Não");
    default:
        return value.toString();
    }
}

QString Field::DisplayText() const
{
    if (OnGetText)
        return OnGetText(const_cast<Field &>(*this), true);
    return formatValue(m_def.displayFormat);
}

QString Field::Text() const
{
    if (OnGetText)
        return OnGetText(const_cast<Field &>(*this), false);
    return formatValue(m_def.editFormat);
}

void Field::SetText(const QString &text)
{
    if (OnSetText) {
        m_dataSet->requireWritable(*this);
        OnSetText(*this, text);
        return;
    }
    SetValue(parseFieldText(text, m_def.type, DisplayLabel()));
}

// ---------------------------------------------------------------- ClientDataSet

ClientDataSet::ClientDataSet(QObject *parent)
    : QObject(parent)
{
}

ClientDataSet::~ClientDataSet() = default;

Field *ClientDataSet::AddField(const FieldDef &def)
{
    if (Active())
        throw UserError(QStringLiteral("Campos só podem ser definidos com o conjunto de dados fechado."));
    if (FindField(def.name))
        throw UserError(QStringLiteral("Campo '%1' definido duas vezes.").arg(def.name));
    m_fields.push_back(std::make_unique<Field>(this, def, FieldCount()));
    return m_fields.back().get();
}

Field *ClientDataSet::FindField(const QString &name) const
{
    for (const auto &field : m_fields)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field.get();
    return nullptr;
}

Field *ClientDataSet::FieldByName(const QString &name) const
{
    Field *field = FindField(name);
    if (!field)
        throw UserError(QStringLiteral("Campo '%1' não encontrado em %2.").arg(name, objectName()));
    return field;
}

QVector<QVariant> ClientDataSet::emptyValues() const
{
    return QVector<QVariant>(FieldCount());
}

void ClientDataSet::CreateDataSet()
{
    m_rows.clear();
    m_deleted.clear();
    m_current = -1;
    m_bof = m_eof = true;
    setState(DataSetState::Browse);
    emitReset();
}

// Thousands of rows take a while to free: that is done on another thread
// so that the new ones are shown at once. Their values are plain values
// (texts, numbers, date-times), whose shared data is counted atomically.
void ClientDataSet::releaseRows(std::vector<Row> rows)
{
    constexpr size_t kFreedElsewhere = 1000;
    if (rows.size() < kFreedElsewhere)
        return;
    auto released = std::make_shared<std::vector<Row>>(std::move(rows));
    QThreadPool::globalInstance()->start([released]() mutable { released.reset(); });
}

void ClientDataSet::LoadFromPacket(DataPacket packet)
{
    if (m_fields.empty()) {
        for (const PacketField &column : packet.fields)
            AddField(FieldDef{column.name, column.type, column.size, {}, true, false, false,
                              {}, {}, {}, false, 0});
    }
    // Where each persistent field takes its value from.
    QVector<int> source(FieldCount(), -1);
    for (const auto &field : m_fields) {
        if (field->Calculated())
            continue;
        const int column = packet.indexOf(field->FieldName());
        if (column < 0)
            throw UserError(QStringLiteral("O campo '%1' de %2 não veio nos dados do servidor.")
                                .arg(field->FieldName(), objectName()));
        source[field->Index()] = column;
    }

    // The packet's columns usually come in the fields' order, with no
    // column for the calculated fields among them: each value then only
    // moves right within its row, and the row is rearranged in place.
    bool inPlace = true;
    int previous = -1;
    for (const auto &field : m_fields) {
        const int column = source[field->Index()];
        if (column < 0)
            continue;
        inPlace = inPlace && column > previous && column <= field->Index();
        previous = column;
    }
    std::vector<Row> rows;
    rows.reserve(packet.rows.size());
    QVarLengthArray<QVariant, 32> taken;
    for (QVector<QVariant> &packetRow : packet.rows) {
        // The packet's row becomes the dataset's, its values put in field
        // order and converted where they are not of their field's type:
        // no row is made anew.
        if (inPlace) {
            packetRow.resize(FieldCount());
            // From the last field back: a value's column is never right of
            // its field, so none is overwritten before it moved.
            for (int index = FieldCount() - 1; index >= 0; --index) {
                const Field &field = *m_fields.at(size_t(index));
                const int column = source[index];
                QVariant &target = packetRow[index];
                target = column < 0 ? QVariant() : fieldValue(packetRow[column], field);
            }
        } else {
            taken.clear();
            for (QVariant &value : packetRow)
                taken.append(std::move(value));
            packetRow.resize(FieldCount());
            for (const auto &field : m_fields) {
                const int column = source[field->Index()];
                QVariant &target = packetRow[field->Index()];
                target = column < 0 || column >= taken.size() ? QVariant() : fieldValue(taken[column], *field);
            }
        }
        Row row;
        row.values = std::move(packetRow);
        rows.push_back(std::move(row));
    }
    packet.rows.clear();

    releaseRows(std::exchange(m_rows, std::move(rows)));
    m_deleted.clear();
    m_current = m_rows.empty() ? -1 : 0;
    m_bof = true;
    m_eof = m_rows.empty();
    // A load always reports the state, even when the dataset was already
    // browsing: handlers that enable commands by state rely on it.
    m_state = DataSetState::Browse;
    m_editBackup.clear();
    emitReset();
    emit stateChanged(m_state);
    fire(OnStateChange, *this);
    fire(AfterScroll, *this);
}

DataPacket ClientDataSet::ToPacket() const
{
    DataPacket packet;
    QVector<int> columns;
    for (const auto &field : m_fields) {
        if (field->Calculated())
            continue;
        packet.fields.append(PacketField{field->FieldName(), field->DataType(), field->Size()});
        columns.append(field->Index());
    }
    for (const Row &row : m_rows) {
        QVector<QVariant> values;
        values.reserve(columns.size());
        for (int column : columns)
            values.append(row.values[column]);
        packet.rows.append(values);
    }
    return packet;
}

void ClientDataSet::Close()
{
    if (!Active())
        return;
    m_rows.clear();
    m_deleted.clear();
    m_current = -1;
    m_bof = m_eof = true;
    setState(DataSetState::Inactive);
    emitReset();
}

void ClientDataSet::EmptyDataSet()
{
    requireActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        setState(DataSetState::Browse);
    m_rows.clear();
    m_deleted.clear();
    m_current = -1;
    m_bof = m_eof = true;
    emitReset();
}

void ClientDataSet::requireActive() const
{
    if (!Active())
        throw UserError(QStringLiteral("O conjunto de dados %1 está fechado.").arg(objectName()));
}

// ---------------------------------------------------------------- navigation

int ClientDataSet::RecordCount() const
{
    return int(m_rows.size());
}

void ClientDataSet::moveTo(int row)
{
    const int target = std::clamp(row, 0, RecordCount() - 1);
    m_current = target;
    if (!ControlsDisabled())
        emit currentRowChanged(m_current);
    fire(AfterScroll, *this);
}

void ClientDataSet::SetRecNo(int row)
{
    requireActive();
    CheckBrowseMode();
    if (IsEmpty())
        return;
    m_bof = m_eof = false;
    moveTo(row);
}

void ClientDataSet::First()
{
    requireActive();
    CheckBrowseMode();
    m_bof = true;
    m_eof = IsEmpty();
    if (!IsEmpty())
        moveTo(0);
}

void ClientDataSet::Last()
{
    requireActive();
    CheckBrowseMode();
    m_eof = true;
    m_bof = IsEmpty();
    if (!IsEmpty())
        moveTo(RecordCount() - 1);
}

void ClientDataSet::Next()
{
    requireActive();
    CheckBrowseMode();
    m_bof = false;
    if (m_current + 1 >= RecordCount()) {
        m_eof = true;
        return;
    }
    m_eof = false;
    moveTo(m_current + 1);
}

void ClientDataSet::Prior()
{
    requireActive();
    CheckBrowseMode();
    m_eof = false;
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    moveTo(m_current - 1);
}

bool ClientDataSet::Locate(const QString &fieldName, const QVariant &value, bool caseInsensitive)
{
    requireActive();
    const Field *field = FieldByName(fieldName);
    const QVariant wanted = convertToFieldType(value, field->DataType(), 0, field->DisplayLabel());
    const Qt::CaseSensitivity sensitivity = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
    for (int row = 0; row < RecordCount(); ++row) {
        if (field->Calculated())
            ensureCalculated(row);
        if (valuesEqual(m_rows[row].values[field->Index()], wanted, field->DataType(), sensitivity)) {
            CheckBrowseMode();
            m_bof = m_eof = false;
            moveTo(row);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- editing

void ClientDataSet::CheckBrowseMode()
{
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        Post();
}

void ClientDataSet::Insert()
{
    requireActive();
    doInsert(std::max(m_current, 0));
}

void ClientDataSet::Append()
{
    requireActive();
    doInsert(RecordCount());
}

void ClientDataSet::doInsert(int position)
{
    CheckBrowseMode();
    fire(BeforeInsert, *this);
    Row row;
    row.values = emptyValues();
    m_rows.insert(m_rows.begin() + position, std::move(row));
    m_current = position;
    m_bof = m_eof = false;
    if (!ControlsDisabled())
        emit rowInserted(position);
    setState(DataSetState::Insert);
    if (!ControlsDisabled())
        emit currentRowChanged(m_current);
    try {
        fire(OnNewRecord, *this);
    } catch (...) {
        // A refused new record inserts nothing. The dataset browses again
        // before views hear of the removal: a view moving its current row
        // then must not post the refused row.
        m_rows.erase(m_rows.begin() + position);
        m_current = std::min(position, RecordCount() - 1);
        setState(DataSetState::Browse);
        if (!ControlsDisabled())
            emit rowRemoved(position);
        throw;
    }
    fire(AfterInsert, *this);
    fire(AfterScroll, *this);
}

void ClientDataSet::Edit()
{
    requireActive();
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        return;
    if (IsEmpty()) {
        Insert();
        return;
    }
    fire(BeforeEdit, *this);
    m_editBackup = m_rows[m_current].values;
    setState(DataSetState::Edit);
    fire(AfterEdit, *this);
}

void ClientDataSet::SetEditWriter(QObject *control, std::function<void()> write)
{
    RemoveEditWriter(control);
    m_editWriters.push_back({control, std::move(write)});
}

void ClientDataSet::RemoveEditWriter(QObject *control)
{
    std::erase_if(m_editWriters,
                  [control](const EditWriter &writer) { return !writer.control || writer.control == control; });
}

void ClientDataSet::Post()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    {
        const QScopedValueRollback posting(m_posting, true);
        const std::vector<EditWriter> writers = m_editWriters;
        for (const EditWriter &writer : writers)
            if (writer.control)
                writer.write();
        fire(BeforePost, *this);
    }
    Row &row = m_rows[m_current];
    for (const auto &field : m_fields) {
        if (field->Required() && !field->Calculated() && isNullValue(row.values[field->Index()]))
            throw UserError(QStringLiteral("O campo '%1' deve ser informado.").arg(field->DisplayLabel()));
    }
    if (m_logChanges) {
        if (m_state == DataSetState::Insert) {
            row.status = RowStatus::Inserted;
            row.sequence = ++m_changeSequence;
        } else if (row.status == RowStatus::Unmodified && !sameStoredValues(row.values, m_editBackup)) {
            row.status = RowStatus::Modified;
            row.original = m_editBackup;
            row.sequence = ++m_changeSequence;
        }
    }
    m_editBackup.clear();
    setState(DataSetState::Browse);
    emitRowChanged(m_current);
    fire(AfterPost, *this);
}

void ClientDataSet::Cancel()
{
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        return;
    fire(BeforeCancel, *this);
    const bool wasInsert = m_state == DataSetState::Insert;
    const int position = m_current;
    if (wasInsert) {
        m_rows.erase(m_rows.begin() + position);
        m_current = std::min(position, RecordCount() - 1);
    } else {
        restoreValues(m_rows[m_current], m_editBackup);
    }
    m_editBackup.clear();
    // The dataset browses again before views hear of the removed or restored
    // row: a view's open cell editor then closes without its text, and
    // nothing it still holds can be written into the row that takes the
    // cancelled one's place.
    setState(DataSetState::Browse);
    if (!wasInsert) {
        emitRowChanged(m_current);
    } else if (!ControlsDisabled()) {
        emit rowRemoved(position);
        emit currentRowChanged(m_current);
    }
    fire(AfterCancel, *this);
    if (wasInsert)
        fire(AfterScroll, *this);
}

void ClientDataSet::Delete()
{
    requireActive();
    if (m_state == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (IsEmpty())
        return;
    fire(BeforeDelete, *this);
    if (m_state == DataSetState::Edit) {
        restoreValues(m_rows[m_current], m_editBackup);
        m_editBackup.clear();
    }
    const int position = m_current;
    Row &row = m_rows[position];
    if (m_logChanges && row.status != RowStatus::Inserted) {
        DeletedRow deleted;
        deleted.original = row.status == RowStatus::Modified ? row.original : row.values;
        deleted.sequence = row.status == RowStatus::Modified ? row.sequence : ++m_changeSequence;
        deleted.position = position;
        m_deleted.push_back(std::move(deleted));
    }
    m_rows.erase(m_rows.begin() + position);
    m_current = std::min(position, RecordCount() - 1);
    m_eof = IsEmpty();
    if (!ControlsDisabled())
        emit rowRemoved(position);
    setState(DataSetState::Browse);
    if (!ControlsDisabled())
        emit currentRowChanged(m_current);
    fire(AfterDelete, *this);
    fire(AfterScroll, *this);
}

// ---------------------------------------------------------------- change log

int ClientDataSet::ChangeCount() const
{
    const auto pending = std::count_if(m_rows.begin(), m_rows.end(), [](const Row &row) {
        return row.status != RowStatus::Unmodified;
    });
    return int(pending + m_deleted.size());
}

QVariantMap ClientDataSet::valueMap(const QVector<QVariant> &values) const
{
    QVariantMap map;
    for (const auto &field : m_fields)
        if (!field->Calculated())
            map.insert(field->FieldName(), values[field->Index()]);
    return map;
}

ChangePacket ClientDataSet::Delta() const
{
    QVector<QPair<qint64, Change>> ordered;
    for (const Row &row : m_rows) {
        if (row.status == RowStatus::Inserted)
            ordered.append({row.sequence, Change{ChangeKind::Insert, {}, valueMap(row.values)}});
        else if (row.status == RowStatus::Modified)
            ordered.append({row.sequence, Change{ChangeKind::Modify, valueMap(row.original), valueMap(row.values)}});
    }
    for (const DeletedRow &row : m_deleted)
        ordered.append({row.sequence, Change{ChangeKind::Delete, valueMap(row.original), {}}});
    std::sort(ordered.begin(), ordered.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    ChangePacket packet;
    for (const auto &entry : ordered)
        packet.changes.append(entry.second);
    return packet;
}

void ClientDataSet::MergeChangeLog()
{
    for (Row &row : m_rows) {
        row.status = RowStatus::Unmodified;
        row.original.clear();
    }
    m_deleted.clear();
}

void ClientDataSet::CancelUpdates()
{
    if (!Active())
        return;
    if (m_state == DataSetState::Edit || m_state == DataSetState::Insert)
        Cancel();
    std::vector<Row> kept;
    for (Row &row : m_rows) {
        if (row.status == RowStatus::Inserted)
            continue;
        if (row.status == RowStatus::Modified)
            restoreValues(row, row.original);
        row.status = RowStatus::Unmodified;
        row.original.clear();
        kept.push_back(std::move(row));
    }
    // Deleted rows come back where they were, latest deletion undone first.
    for (auto it = m_deleted.rbegin(); it != m_deleted.rend(); ++it) {
        Row row;
        row.values = it->original;
        const int position = std::clamp(it->position, 0, int(kept.size()));
        kept.insert(kept.begin() + position, std::move(row));
    }
    m_rows = std::move(kept);
    m_deleted.clear();
    m_current = IsEmpty() ? -1 : std::clamp(m_current, 0, RecordCount() - 1);
    m_eof = IsEmpty();
    emitReset();
}

// ---------------------------------------------------------------- views

void ClientDataSet::DisableControls()
{
    ++m_disableCount;
}

void ClientDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0)
        emitReset();
}

void ClientDataSet::emitReset()
{
    if (ControlsDisabled())
        return;
    emit modelReset();
    emit currentRowChanged(m_current);
}

void ClientDataSet::emitRowChanged(int row)
{
    if (!ControlsDisabled() && row >= 0)
        emit rowChanged(row);
}

QVariant ClientDataSet::valueAt(int row, int fieldIndex) const
{
    if (row < 0 || row >= RecordCount() || fieldIndex < 0 || fieldIndex >= FieldCount())
        return QVariant();
    if (m_fields[fieldIndex]->Calculated())
        ensureCalculated(row);
    return m_rows[row].values[fieldIndex];
}

QString ClientDataSet::displayTextAt(int row, int fieldIndex)
{
    if (row < 0 || row >= RecordCount() || fieldIndex < 0 || fieldIndex >= FieldCount())
        return QString();
    const int saved = m_calcRow;
    m_calcRow = row;
    QString text;
    try {
        text = m_fields[fieldIndex]->DisplayText();
    } catch (...) {
        m_calcRow = saved;
        throw;
    }
    m_calcRow = saved;
    return text;
}

// ---------------------------------------------------------------- internals

const QVariant *ClientDataSet::activeValuePtr(int fieldIndex) const
{
    const int row = m_calcRow >= 0 ? m_calcRow : m_current;
    if (row < 0 || row >= RecordCount())
        return nullptr;
    if (m_fields[fieldIndex]->Calculated())
        ensureCalculated(row);
    return &m_rows[row].values[fieldIndex];
}

QVariant &ClientDataSet::activeValue(int fieldIndex)
{
    const int row = m_calcRow >= 0 ? m_calcRow : m_current;
    return m_rows[row].values[fieldIndex];
}

void ClientDataSet::requireWritable(const Field &field) const
{
    if (m_calcRow >= 0)
        return;
    if (m_state != DataSetState::Edit && m_state != DataSetState::Insert)
        throw UserError(QStringLiteral("O conjunto de dados %1 não está em edição; o campo '%2' não pode ser alterado.")
                            .arg(objectName(), field.DisplayLabel()));
}

void ClientDataSet::fieldWritten(const Field &field)
{
    if (m_calcRow >= 0)
        return;
    if (!field.Calculated())
        m_rows[m_current].calculated = false;
    emitRowChanged(m_current);
}

void ClientDataSet::setState(DataSetState state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
    fire(OnStateChange, *this);
}

void ClientDataSet::ensureCalculated(int row) const
{
    const Row &values = m_rows[row];
    if (values.calculated || m_calculating)
        return;
    // Filling the cache of calculated values does not change the dataset as
    // its users see it.
    auto &self = const_cast<ClientDataSet &>(*this);
    if (OnCalcFields) {
        const QScopedValueRollback calculating(self.m_calculating, true);
        const QScopedValueRollback calcRow(self.m_calcRow, row);
        OnCalcFields(self);
    }
    self.m_rows[row].calculated = true;
}

void ClientDataSet::restoreValues(Row &row, const QVector<QVariant> &values)
{
    row.values = values;
    row.calculated = false;
}

bool ClientDataSet::sameStoredValues(const QVector<QVariant> &a, const QVector<QVariant> &b) const
{
    for (const auto &field : m_fields) {
        if (!field->Calculated() && a.value(field->Index()) != b.value(field->Index()))
            return false;
    }
    return true;
}
