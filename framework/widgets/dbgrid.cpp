#include "widgets/dbgrid.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgriddelegate.h"
#include "core/interaction.h"
#include "widgets/keychar.h"
#include "widgets/maskedit.h"

#include <QApplication>
#include <QComboBox>
#include <QScopedValueRollback>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>

#include <memory>

namespace {
constexpr int EditButtonWidth = 18;
}

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent), FocusAware(this), m_model(new DataSetModel(this)),
      m_editButton(this, [this] { pressEditButton(); })
{
    setModel(m_model);
    QItemSelectionModel *defaultSelection = selectionModel();
    setSelectionModel(new DBGridSelectionModel(m_model, this));
    delete defaultSelection;
    setItemDelegate(new DBGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed);
    setTabKeyNavigation(true);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    horizontalHeader()->setSectionsMovable(false);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (qobject_cast<QMenuBar *>(old))
            menuBarLeft(now);
    });
    connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        syncCurrent();
    });
}

TDBGrid::~TDBGrid() = default;

void TDBGrid::SetDataSet(ClientDataSet *dataSet)
{
    if (m_dataSet) {
        disconnect(m_dataSet, nullptr, this, nullptr);
        m_dataSet->RemoveEditWriter(this);
    }
    m_dataSet = dataSet;
    m_model->SetDataSet(dataSet);
    if (dataSet) {
        connect(dataSet, &ClientDataSet::currentRowChanged, this, &TDBGrid::syncCurrent);
        connect(dataSet, &ClientDataSet::stateChanged, this, &TDBGrid::dataSetStateChanged);
        // Whoever posts the row (a toolbar command, say), the text of an
        // open cell editor is part of it; a refused text ends the post.
        dataSet->SetEditWriter(this, [this] {
            if (!commitEditor())
                throw Abort();
        });
    }
    syncCurrent();
}

void TDBGrid::dataSetStateChanged(DataSetState state)
{
    // A cancelled edit takes the cell editor's text with it; a post has
    // written it already.
    if (m_editor && (state == DataSetState::Browse || state == DataSetState::Inactive)) {
        // The editor losing the focus as it goes must not write its text.
        const QScopedValueRollback reverting(m_reverting, true);
        closeEditor(m_editor, QAbstractItemDelegate::RevertModelCache);
    }
}

void TDBGrid::SetColumns(const QVector<TColumn> &columns)
{
    m_columns = columns;
    QVector<DataSetColumn> modelColumns;
    for (const TColumn &column : columns)
        modelColumns << DataSetColumn{column.fieldName, column.title, column.titleAlignment};
    m_selectedColumn = 0;
    m_model->SetColumns(modelColumns);
}

int TDBGrid::ColumnCount() const
{
    return m_model->columnCount();
}

void TDBGrid::applyColumnWidths()
{
    // The widths follow from the columns shown, their set widths and their
    // titles: a reload of the same columns keeps the widths they have (also
    // one the user dragged), without measuring every title again.
    QStringList layout;
    for (int i = 0; i < m_model->columnCount(); ++i) {
        const Field *field = m_model->FieldAt(i);
        layout << (field ? field->FieldName() : QString()) << QString::number(m_columns.value(i).width)
               << m_model->headerData(i, Qt::Horizontal).toString();
    }
    if (layout == m_appliedLayout)
        return;
    m_appliedLayout = layout;
    for (int i = 0; i < m_model->columnCount(); ++i) {
        int width = m_columns.value(i).width;
        if (width <= 0) {
            const Field *field = m_model->FieldAt(i);
            const int characters = qBound(4, field ? field->DisplayWidth() : 10, 40);
            width = fontMetrics().averageCharWidth() * characters + 12;
        }
        // A title is never cut: the column is at least as wide as its header.
        const QString title = m_model->headerData(i, Qt::Horizontal).toString();
        const int titleWidth = horizontalHeader()->fontMetrics().horizontalAdvance(title)
                               + 2 * style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this) + 8;
        setColumnWidth(i, qMax(width, titleWidth));
    }
}

void TDBGrid::scrollTo(const QModelIndex &index, ScrollHint hint)
{
    QTableView::scrollTo(index, hint);
    if (m_keptColumn < 0 || !index.isValid() || index.column() <= m_keptColumn)
        return;
    const int keptLeft = columnViewportPosition(m_keptColumn);
    const int targetLeft = columnViewportPosition(index.column());
    // Keep a useful part of the target column in sight.
    const int targetShown = qMin(columnWidth(index.column()), viewport()->width() / 3);
    if (keptLeft < 0 && targetLeft - keptLeft + targetShown <= viewport()->width())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + keptLeft);
}

void TDBGrid::syncCurrent()
{
    if (m_syncing)
        return;
    m_syncing = true;
    const int row = m_dataSet && m_dataSet->Active() ? m_dataSet->RecNo() : -1;
    const QModelIndex index = m_model->index(row, m_selectedColumn);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    if (index.isValid())
        scrollTo(index);
    m_syncing = false;
}

Field *TDBGrid::SelectedField() const
{
    return m_model->FieldAt(m_selectedColumn);
}

void TDBGrid::SetSelectedIndex(int column)
{
    if (column < 0 || column >= ColumnCount() || column == m_selectedColumn)
        return;
    const QModelIndex target = m_model->index(m_dataSet ? m_dataSet->RecNo() : -1, column);
    // A post's checks place the user on the entry they refuse; the column
    // left is the post's to check, not its exit check's.
    if (m_inColExit || !target.isValid() || m_dataSet->Posting()) {
        m_selectedColumn = column;
        syncCurrent();
        return;
    }
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
}

bool TDBGrid::allowCurrentChange(const QModelIndex &to)
{
    if (m_syncing || !to.isValid() || !m_dataSet)
        return true;
    if (to.row() == m_dataSet->RecNo() && to.column() == m_selectedColumn)
        return true;
    if (!commitEditor() || !leaveColumn(to.column()))
        return false;
    if (to.row() != m_dataSet->RecNo()
        && !runGuarded([&] { m_dataSet->SetRecNo(to.row()); })) {
        syncCurrent();
        return false;
    }
    return true;
}

bool TDBGrid::leaveColumn(int target)
{
    if (target == m_selectedColumn)
        return true;
    if (OnColExit) {
        const int before = m_selectedColumn;
        m_inColExit = true;
        const bool ok = runGuarded([this] { OnColExit(*this); });
        m_inColExit = false;
        if (!ok) {
            if (m_selectedColumn != before)
                syncCurrent();
            return false;
        }
    }
    m_selectedColumn = target;
    return true;
}

bool TDBGrid::commitEditor()
{
    if (!m_editor)
        return true;
    QPointer<QWidget> editor = m_editor;
    if (m_dataSet && m_editIndex.isValid() && m_editIndex.row() == m_dataSet->RecNo()
        && !m_model->setData(m_editIndex, editorText(editor)))
        return false;
    if (editor)
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

QString TDBGrid::editorText(QWidget *editor) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        return combo->currentText();
    if (auto *edit = qobject_cast<TMaskEdit *>(editor))
        return edit->Text();
    return QString();
}

QLineEdit *TDBGrid::InplaceEditor() const
{
    return qobject_cast<QLineEdit *>(m_editor.data());
}

void TDBGrid::SetEditorMode(bool open)
{
    if (open && !m_editor)
        edit(currentIndex(), QAbstractItemView::AllEditTriggers, nullptr);
    else if (!open)
        commitEditor();
}

bool TDBGrid::canEdit(const QModelIndex &index) const
{
    if (m_readOnly || !index.isValid() || !m_dataSet || index.row() != m_dataSet->RecNo())
        return false;
    if (m_columns.value(index.column()).readOnly)
        return false;
    return m_model->flags(index).testFlag(Qt::ItemIsEditable);
}

bool TDBGrid::ensureEditing()
{
    if (!m_dataSet || !m_dataSet->Active())
        return false;
    if (m_dataSet->State() == DataSetState::Browse && !runGuarded([this] { m_dataSet->Edit(); }))
        return false;
    return m_dataSet->State() == DataSetState::Edit || m_dataSet->State() == DataSetState::Insert;
}

bool TDBGrid::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    if (!canEdit(index) || !QTableView::edit(index, trigger, event))
        return false;
    // The view installs the delegate's filter on a new editor after creating
    // it; ours must come first to see Tab, Enter and Escape.
    if (m_editor)
        m_editor->installEventFilter(this);
    return true;
}

void TDBGrid::editorOpened(QWidget *editor, const QModelIndex &index)
{
    m_editor = editor;
    m_editIndex = index;
}

void TDBGrid::rowsAboutToBeRemoved(const QModelIndex &parent, int start, int end)
{
    // The cell editor of a row that goes away (a cancelled new record) hands
    // the focus to the grid first; else the focus would jump out of the grid
    // and leaving it would post the record being cancelled.
    if (m_editor && m_editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    QTableView::rowsAboutToBeRemoved(parent, start, end);
}

void TDBGrid::commitData(QWidget *editor)
{
    if (!m_reverting)
        QTableView::commitData(editor);
}

void TDBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    if (editor == m_editor) {
        m_editor.clear();
        m_editIndex = QPersistentModelIndex();
    }
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (next || previous)
        moveColumn(next ? 1 : -1);
}

bool TDBGrid::moveColumn(int step)
{
    const int columns = ColumnCount();
    if (!m_dataSet || !m_dataSet->Active() || m_dataSet->IsEmpty() || columns == 0)
        return false;
    int row = m_dataSet->RecNo();
    int column = m_selectedColumn + step;
    if (column >= columns) {
        column = 0;
        ++row;
    } else if (column < 0) {
        column = columns - 1;
        --row;
    }
    if (row < 0 || row >= m_dataSet->RecordCount())
        return false;
    selectionModel()->setCurrentIndex(m_model->index(row, column), QItemSelectionModel::ClearAndSelect);
    return true;
}

void TDBGrid::insertRow()
{
    if (m_readOnly || !m_dataSet || !m_dataSet->Active() || !commitEditor())
        return;
    runGuarded([this] { m_dataSet->Insert(); });
}

void TDBGrid::deleteRow()
{
    if (m_readOnly || !m_dataSet || !m_dataSet->Active() || m_dataSet->IsEmpty())
        return;
    runGuarded([this] {
        if (interaction().question(QStringLiteral("Confirma a exclusão do registro?")))
            m_dataSet->Delete();
    });
}

void TDBGrid::pressEditButton()
{
    if (!hasEditButton(currentIndex()) || !commitEditor() || !OnEditButtonClick)
        return;
    runGuarded([this] { OnEditButtonClick(*this); });
}

bool TDBGrid::hasEditButton(const QModelIndex &index) const
{
    return index.isValid() && index == currentIndex()
           && m_columns.value(index.column()).buttonStyle == TColumn::Ellipsis;
}

QRect TDBGrid::buttonRect(const QRect &cell) const
{
    return QRect(cell.right() - EditButtonWidth + 1, cell.top(), EditButtonWidth, cell.height());
}

bool TDBGrid::commonKey(QKeyEvent *event)
{
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!commitEditor())
            return true;
        if (!moveColumn(event->key() == Qt::Key_Tab && !event->modifiers().testFlag(Qt::ShiftModifier) ? 1 : -1))
            event->ignore();   // past the grid's end: the focus leaves the grid
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (control)
            pressEditButton();
        else if (commitEditor() && m_selectedColumn + 1 < ColumnCount())
            moveColumn(1);   // the last column keeps the row: no post from Enter
        return true;
    case Qt::Key_Delete:
        if (!control)
            return false;
        deleteRow();
        return true;
    default:
        return false;
    }
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    if (event == m_handledEvent) {
        m_handledEvent = nullptr;
        QTableView::keyPressEvent(event);
        return;
    }
    if (m_forwarding) {
        // A key the cell editor ignored comes back through its parents.
        event->ignore();
        return;
    }
    if (m_editor) {
        // Keys sent to the grid while its cell editor is open are the editor's.
        m_forwarding = true;
        QCoreApplication::sendEvent(m_editor, event);
        m_forwarding = false;
        return;
    }
    int key = event->key();
    if (OnKeyDown && (!runGuarded([&] { OnKeyDown(*this, key, event->modifiers()); }) || key == 0))
        return;
    event->accept();
    if (commonKey(event))
        return;
    if (key == Qt::Key_Insert && event->modifiers() == Qt::NoModifier) {
        insertRow();
        return;
    }
    if (key == Qt::Key_Escape) {
        if (m_dataSet && (m_dataSet->State() == DataSetState::Edit || m_dataSet->State() == DataSetState::Insert))
            runGuarded([this] { m_dataSet->Cancel(); });
        return;
    }
    QChar typed = typedChar(*event);
    if (typed.isNull()) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (OnKeyPress && (!runGuarded([&] { OnKeyPress(*this, typed); }) || typed.isNull()))
        return;
    if (!typed.isPrint() || !canEdit(currentIndex()) || !ensureEditing())
        return;
    if (!edit(currentIndex(), QAbstractItemView::AllEditTriggers, nullptr) || !m_editor)
        return;
    if (auto *line = qobject_cast<QLineEdit *>(m_editor.data())) {
        line->selectAll();
        const std::unique_ptr<QKeyEvent> retyped(retypedEvent(*event, typed));
        m_handledEvent = retyped.get();
        QCoreApplication::sendEvent(line, retyped.get());
        m_handledEvent = nullptr;
    }
}

bool TDBGrid::editorKey(QWidget *editor, QKeyEvent *event)
{
    if (event == m_handledEvent)
        return false;
    int key = event->key();
    if (OnKeyDown && (!runGuarded([&] { OnKeyDown(*this, key, event->modifiers()); }) || key == 0))
        return true;
    if (commonKey(event))
        return true;
    switch (key) {
    case Qt::Key_Escape:
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
        return true;
    case Qt::Key_Delete:
        return !ensureEditing();
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (qobject_cast<QComboBox *>(editor))
            return false;
        // Row moves: the grid's own navigation, once the cell is stored.
        if (commitEditor())
            QTableView::keyPressEvent(event);
        return true;
    default:
        break;
    }
    QChar typed = typedChar(*event);
    if (typed.isNull())
        return false;
    if (OnKeyPress && (!runGuarded([&] { OnKeyPress(*this, typed); }) || typed.isNull()))
        return true;
    if ((typed.isPrint() || typed == QLatin1Char('\b')) && !ensureEditing())
        return true;
    if (typed == typedChar(*event))
        return false;
    const std::unique_ptr<QKeyEvent> retyped(retypedEvent(*event, typed));
    m_handledEvent = retyped.get();
    QCoreApplication::sendEvent(editor, retyped.get());
    m_handledEvent = nullptr;
    return true;
}

bool TDBGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::KeyPress)
        return editorKey(m_editor, static_cast<QKeyEvent *>(event));
    // A menu chosen from the keyboard borrows the focus and gives it back
    // to the cell editor: the editor stays open with what was typed, and
    // the command acts on it. Another window taking the focus (a message
    // box about the entry, a dialog) neither writes nor closes it either:
    // the entry is there as typed when the focus comes back.
    if (watched == m_editor && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::MenuBarFocusReason || reason == Qt::ActiveWindowFocusReason)
            return true;
    }
    return QTableView::eventFilter(watched, event);
}

void TDBGrid::menuBarLeft(QWidget *now)
{
    // The menu bar left by a click elsewhere does not give the focus back:
    // the cell editor it kept open is left as any other focus move leaves it.
    if (m_editor && now != m_editor && !m_editor->isAncestorOf(now))
        commitEditor();
}

// The ellipsis button follows the current cell: every change that moves or
// shows it repaints the viewport (a scroll, a column's button style, the
// current cell), except the grid's own moves and visibility.
bool TDBGrid::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::ParentChange:
    case QEvent::EnabledChange:
        placeEditButton();
        break;
    default:
        break;
    }
    return QTableView::event(event);
}

bool TDBGrid::viewportEvent(QEvent *event)
{
    if (event->type() == QEvent::Paint)
        placeEditButton();
    return QTableView::viewportEvent(event);
}

void TDBGrid::placeEditButton()
{
    const QModelIndex index = currentIndex();
    QRect rect;
    if (isVisible() && hasEditButton(index))
        rect = buttonRect(visualRect(index));
    // Half a button is not offered: a cell scrolled partly out has none.
    if (!viewport()->rect().contains(rect))
        rect = QRect();
    m_editButton.Place(rect, m_model->headerData(index.column(), Qt::Horizontal).toString());
}

void TDBGrid::drawExtras(QPainter *painter, const QRect &rect, const QModelIndex &index)
{
    if (!OnDrawColumnCell)
        return;
    Field *field = m_model->FieldAt(index.column());
    const bool selected = index == currentIndex();
    const bool focused = selected && hasFocus();
    painter->save();
    m_drawRow = index.row();
    runQuietly("cell drawing", [&] { OnDrawColumnCell(*this, *painter, rect, field, index.column(), selected, focused); });
    m_drawRow = -1;
    painter->restore();
}

QVariant TDBGrid::DrawingValue(const QString &fieldName) const
{
    if (!m_dataSet)
        return QVariant();
    const Field *field = m_dataSet->FieldByName(fieldName);
    return m_drawRow >= 0 ? m_dataSet->valueAt(m_drawRow, field->Index()) : field->Value();
}

bool TDBGrid::focusEntered()
{
    return !OnEnter || runGuarded([this] { OnEnter(*this); });
}

bool TDBGrid::focusLeft()
{
    // A pending cell edit reaches the dataset before the exit handler runs.
    return commitEditor() && (!OnExit || runGuarded([this] { OnExit(*this); }));
}
