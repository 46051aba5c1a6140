#pragma once

#include "widgets/dbgridbutton.h"
#include "widgets/focusaware.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStringList>
#include <QTableView>
#include <QVector>

#include <functional>

class ClientDataSet;
class DataSetModel;
enum class DataSetState;
class Field;
class QLineEdit;

// A data grid: a table view over one client dataset (through DataSetModel,
// never a copy). The view's current row is the dataset's current row; moving
// to another row posts a pending edit (the dataset does), and a refused post
// keeps the row. A post of the dataset from anywhere first writes the open
// cell editor's text (a refused text ends the post); a cancel discards it.
//
// Keys: Tab / Shift+Tab move column to column (past the last column to the
// next row; past the grid's end they leave the grid); Enter, in every column
// and with or without a cell editor, stores the cell and moves to the next
// column of the row (in the last one it stays: Enter never posts); it is a
// move key, as Tab, not a typed character for OnKeyPress, so a handler that
// discards every typed character still lets the user move on with Enter;
// Insert inserts a row;
// Ctrl+Delete deletes the current row after the question "Excluir o
// registro?"; Escape cancels a pending edit; Ctrl+Enter presses the column's
// ellipsis button (a real button over the current cell, DBGridButton, which
// assistive technology finds by its hint); F2, a double click or a click on
// the selected cell opens the cell editor, and typing a character opens it
// with that character.
// Typing puts a browsing dataset into edit, except in read-only columns and
// fields. The cell editor uses the field's edit mask (TMaskEdit), or a
// drop-down list for a pick-list column.
//
// Every event runs guarded; an event that ends the operation (Abort) stops
// what caused it.
class TDBGrid : public QTableView, public FocusAware
{
    Q_OBJECT
public:
    struct TColumn
    {
        enum Button { None, Ellipsis, PickList };
        QString fieldName;
        QString title;                // the field's label when empty
        int width = 0;                // pixels; 0 = from the field's display width
        bool readOnly = false;
        Button buttonStyle = None;
        QStringList pickList;
        Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    };

    explicit TDBGrid(QWidget *parent = nullptr);
    ~TDBGrid() override;

    void SetDataSet(ClientDataSet *dataSet);
    ClientDataSet *DataSet() const { return m_dataSet; }
    DataSetModel *Model() const { return m_model; }

    // Columns, in order. Without columns the grid shows every visible field.
    // Read-only flag, button and pick list may be changed at any time through
    // Column(i); field and title changes need SetColumns.
    void SetColumns(const QVector<TColumn> &columns);
    const QVector<TColumn> &Columns() const { return m_columns; }
    TColumn &Column(int index) { return m_columns[index]; }
    int ColumnCount() const;

    // A column kept in view when the grid scrolls to a column on its right
    // (the patient's name while the observation is typed, say): the kept
    // column becomes the first one shown while the target column still
    // starts inside the grid. -1 (the default) keeps none.
    void SetKeptColumn(int column) { m_keptColumn = column; }

    bool ReadOnly() const { return m_readOnly; }
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // The selected column. Setting it runs OnColExit like a user's move,
    // except from inside OnColExit itself and while the dataset is posting.
    int SelectedIndex() const { return m_selectedColumn; }
    void SetSelectedIndex(int column);
    Field *SelectedField() const;

    // Whether the cell editor is open; opening it needs an editable cell.
    bool EditorMode() const { return !m_editor.isNull(); }
    void SetEditorMode(bool open);
    // The cell editor when it is a line edit (not for pick lists).
    QLineEdit *InplaceEditor() const;

    // Inside OnDrawColumnCell: a field's value in the row being drawn
    // (outside it: in the current row).
    QVariant DrawingValue(const QString &fieldName) const;

    // Events.
    std::function<void(TDBGrid &)> OnEnter;   // the grid gains the focus
    std::function<void(TDBGrid &)> OnExit;    // the grid loses it (not to its cell editor)
    std::function<void(TDBGrid &)> OnColExit; // before the selected column changes
    std::function<void(TDBGrid &, QChar &key)> OnKeyPress;   // QChar() discards
    std::function<void(TDBGrid &, int &key, Qt::KeyboardModifiers modifiers)> OnKeyDown;  // 0 swallows
    std::function<void(TDBGrid &, QPainter &painter, const QRect &rect, Field *field, int column,
                       bool selected, bool focused)>
        OnDrawColumnCell;   // after the default drawing
    std::function<void(TDBGrid &)> OnEditButtonClick;

    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
    void commitData(QWidget *editor) override;
    void rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusEntered() override;
    bool focusLeft() override;

private:
    friend class DBGridDelegate;
    friend class DBGridSelectionModel;

    // Called by the selection model before the current cell changes.
    bool allowCurrentChange(const QModelIndex &to);
    void dataSetStateChanged(DataSetState state);
    bool leaveColumn(int target);
    bool commitEditor();
    void menuBarLeft(QWidget *now);
    void syncCurrent();
    bool canEdit(const QModelIndex &index) const;
    bool ensureEditing();
    bool moveColumn(int step);
    // Keys handled the same in the grid and in its cell editor; true when
    // the key was consumed.
    bool commonKey(QKeyEvent *event);
    bool editorKey(QWidget *editor, QKeyEvent *event);
    void pressEditButton();
    void insertRow();
    void deleteRow();
    void editorOpened(QWidget *editor, const QModelIndex &index);
    QString editorText(QWidget *editor) const;
    QRect buttonRect(const QRect &cell) const;
    bool hasEditButton(const QModelIndex &index) const;
    void placeEditButton();
    void drawExtras(QPainter *painter, const QRect &rect, const QModelIndex &index);
    void applyColumnWidths();

    DataSetModel *m_model;
    QPointer<ClientDataSet> m_dataSet;
    QVector<TColumn> m_columns;
    QStringList m_appliedLayout;   // the columns whose widths were applied
    bool m_readOnly = false;
    int m_keptColumn = -1;
    int m_selectedColumn = 0;
    bool m_syncing = false;
    bool m_inColExit = false;
    // A cell editor is being closed without its text (a cancelled edit).
    bool m_reverting = false;
    QPointer<QWidget> m_editor;
    QPersistentModelIndex m_editIndex;
    const QKeyEvent *m_handledEvent = nullptr;   // already dispatched to the handlers
    bool m_forwarding = false;                   // a grid key is being passed to the editor
    int m_drawRow = -1;
    DBGridButton m_editButton;
};
