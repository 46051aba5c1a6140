#pragma once

#include "core/packets.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class ClientDataSet;

enum class DataSetState { Inactive, Browse, Edit, Insert };

// Declaration of a persistent field.
struct FieldDef
{
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;               // text width; longer texts are cut to it
    QString label;              // caption for grids; the name when empty
    bool visible = true;
    bool readOnly = false;
    bool required = false;
    QString editMask;           // classic mask notation, see the masked edit
    QString displayFormat;      // "#,##0.000" for numbers, Qt format for dates
    QString editFormat;         // "##0.000"
    bool calculated = false;    // filled by OnCalcFields, never sent
    int displayWidth = 0;       // characters; 0 = from size
};

// A persistent field of a dataset. It reads and writes the dataset's active
// record: the record being calculated inside OnCalcFields, else the current
// row (which holds the pending values while editing or inserting).
//
// The dataset and field API keeps the names the module's documents use
// (FieldByName, AsString, Post, Locate...), so module code reads like them.
class Field
{
public:
    Field(ClientDataSet *dataSet, const FieldDef &def, int index);

    const FieldDef &def() const { return m_def; }
    const QString &FieldName() const { return m_def.name; }
    FieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    QString DisplayLabel() const { return m_def.label.isEmpty() ? m_def.name : m_def.label; }
    bool Visible() const { return m_def.visible; }
    void SetVisible(bool visible) { m_def.visible = visible; }
    bool ReadOnly() const { return m_def.readOnly; }
    void SetReadOnly(bool readOnly) { m_def.readOnly = readOnly; }
    bool Required() const { return m_def.required; }
    bool Calculated() const { return m_def.calculated; }
    QString EditMask() const { return m_def.editMask; }
    void SetEditMask(const QString &mask) { m_def.editMask = mask; }
    QString DisplayFormat() const { return m_def.displayFormat; }
    void SetDisplayFormat(const QString &format) { m_def.displayFormat = format; }
    QString EditFormat() const { return m_def.editFormat; }
    int DisplayWidth() const;
    int Index() const { return m_index; }
    ClientDataSet *DataSet() const { return m_dataSet; }

    QVariant Value() const;
    // Stores a value converted to the field's type (texts cut to the size).
    // Throws UserError when the dataset is not editing or inserting (outside
    // OnCalcFields), or when the value cannot be converted.
    void SetValue(const QVariant &value);
    bool IsNull() const;
    void Clear() { SetValue(QVariant()); }

    QString AsString() const;
    void SetAsString(const QString &value);
    int AsInteger() const;
    void SetAsInteger(int value);
    double AsFloat() const;
    void SetAsFloat(double value);
    QDateTime AsDateTime() const;
    void SetAsDateTime(const QDateTime &value);
    bool AsBoolean() const;
    void SetAsBoolean(bool value);

    // The text shown in grids and labels: OnGetText(displayText = true), else
    // the display format in the pt_BR locale.
    QString DisplayText() const;
    // The text an editor starts with: OnGetText(displayText = false), else
    // the edit format.
    QString Text() const;
    // Stores typed text: OnSetText when set, else a pt_BR conversion
    // (dd/MM/yyyy dates, decimal comma). Throws UserError on bad text.
    void SetText(const QString &text);

    std::function<QString(Field &, bool displayText)> OnGetText;
    std::function<void(Field &, const QString &text)> OnSetText;

    // Formatting without handlers, shared by DisplayText and Text.
    QString formatValue(const QString &format) const;

private:
    ClientDataSet *m_dataSet;
    FieldDef m_def;
    int m_index;
};

// An in-memory table with persistent fields, a current row, a state and a
// change log, loaded from data packets and read back as change packets.
//
// Events run synchronously. A Before* event may throw Abort (or UserError):
// the operation then stops and the dataset stays as it was (a refused post
// keeps the edit or insert state and the user's values; a refused insert
// inserts nothing). An After* event that throws lets the exception reach the
// caller once the operation itself is complete.
//
// Views follow the Qt signals below; while controls are disabled they get
// none, and one reset when controls are enabled again.
class ClientDataSet : public QObject
{
    Q_OBJECT
public:
    explicit ClientDataSet(QObject *parent = nullptr);
    ~ClientDataSet() override;

    // Fields: declared before opening.
    Field *AddField(const FieldDef &def);
    const std::vector<std::unique_ptr<Field>> &Fields() const { return m_fields; }
    int FieldCount() const { return int(m_fields.size()); }
    Field *FindField(const QString &name) const;      // nullptr when absent
    Field *FieldByName(const QString &name) const;    // throws UserError when absent

    // Opening and closing.
    bool Active() const { return m_state != DataSetState::Inactive; }
    DataSetState State() const { return m_state; }
    // Opens empty with the persistent fields.
    void CreateDataSet();
    // Replaces the content with a packet and opens on its first row. A packet
    // column fills the persistent field of its name; a persistent, non
    // calculated field missing from the packet is an error (UserError). A
    // dataset without persistent fields takes the packet's columns as fields.
    // The change log starts empty; AfterScroll runs for the first row.
    // Values already of their field's type are moved, not copied, from a
    // packet handed over (std::move).
    void LoadFromPacket(DataPacket packet);
    // The rows as a packet (calculated fields left out).
    DataPacket ToPacket() const;
    void Close();
    void EmptyDataSet();

    // Navigation; moving while editing or inserting posts first.
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecNo() const { return m_current; }          // 0-based, -1 when empty
    void SetRecNo(int row);
    void First();
    void Last();
    void Next();
    void Prior();
    bool Bof() const { return m_bof; }
    bool Eof() const { return m_eof; }
    // Moves to the first row whose field equals the value; false (and no
    // move) when none does.
    bool Locate(const QString &fieldName, const QVariant &value, bool caseInsensitive = false);

    // Editing.
    void Insert();   // a new row before the current one
    void Append();   // a new row at the end
    void Edit();
    void Post();
    // True while a post runs its edit writers and BeforePost.
    bool Posting() const { return m_posting; }
    void Cancel();
    void Delete();
    // Posts when editing or inserting; does nothing otherwise.
    void CheckBrowseMode();
    // A control holding an unfinished edit of the current row (a grid's open
    // cell editor) registers a writer for it: Post runs the writers before
    // BeforePost, so the edit is part of what is posted, and an exception
    // from a writer ends the post. One writer per control; a destroyed
    // control's writer is dropped.
    void SetEditWriter(QObject *control, std::function<void()> write);
    void RemoveEditWriter(QObject *control);

    // Change log.
    int ChangeCount() const;
    ChangePacket Delta() const;
    void MergeChangeLog();
    void CancelUpdates();
    bool LogChanges() const { return m_logChanges; }
    void SetLogChanges(bool log) { m_logChanges = log; }

    // Views.
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // Value of a field in any row, without moving (for views).
    QVariant valueAt(int row, int fieldIndex) const;
    // Display text of a field in any row, running OnGetText on that row.
    QString displayTextAt(int row, int fieldIndex);

    // Events.
    std::function<void(ClientDataSet &)> BeforeInsert;
    std::function<void(ClientDataSet &)> AfterInsert;
    std::function<void(ClientDataSet &)> OnNewRecord;
    std::function<void(ClientDataSet &)> BeforeEdit;
    std::function<void(ClientDataSet &)> AfterEdit;
    std::function<void(ClientDataSet &)> BeforePost;
    std::function<void(ClientDataSet &)> AfterPost;
    std::function<void(ClientDataSet &)> BeforeCancel;
    std::function<void(ClientDataSet &)> AfterCancel;
    std::function<void(ClientDataSet &)> BeforeDelete;
    std::function<void(ClientDataSet &)> AfterDelete;
    std::function<void(ClientDataSet &)> AfterScroll;
    std::function<void(ClientDataSet &)> OnCalcFields;
    std::function<void(ClientDataSet &)> OnStateChange;

signals:
    void modelReset();                 // content replaced, opened or closed
    void rowInserted(int row);
    void rowRemoved(int row);
    void rowChanged(int row);          // values of a row changed
    void currentRowChanged(int row);
    void stateChanged(DataSetState state);

private:
    friend class Field;
    struct Row;
    struct DeletedRow;

    QVariant &activeValue(int fieldIndex);
    const QVariant *activeValuePtr(int fieldIndex) const;
    void requireWritable(const Field &field) const;
    void fieldWritten(const Field &field);
    void setState(DataSetState state);
    void moveTo(int row);
    // Runs OnCalcFields on the row when its calculated fields are out of date.
    void ensureCalculated(int row) const;
    void restoreValues(Row &row, const QVector<QVariant> &values);
    static void releaseRows(std::vector<Row> rows);
    // Whether two value lists agree in every field that is not calculated.
    bool sameStoredValues(const QVector<QVariant> &a, const QVector<QVariant> &b) const;
    QVariantMap valueMap(const QVector<QVariant> &values) const;
    QVector<QVariant> emptyValues() const;
    void doInsert(int position);
    void emitReset();
    void emitRowChanged(int row);
    void requireActive() const;

    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<Row> m_rows;
    std::vector<DeletedRow> m_deleted;
    QVector<QVariant> m_editBackup;     // row values before Edit
    DataSetState m_state = DataSetState::Inactive;
    int m_current = -1;
    int m_calcRow = -1;                 // row being calculated or shown, -1 when none
    bool m_calculating = false;         // OnCalcFields is running
    bool m_bof = true;
    bool m_eof = true;
    bool m_logChanges = true;
    bool m_posting = false;
    int m_disableCount = 0;
    qint64 m_changeSequence = 0;
    struct EditWriter
    {
        QPointer<QObject> control;
        std::function<void()> write;
    };
    std::vector<EditWriter> m_editWriters;
};
