#include "widgets/dbgriddelegate.h"

#include "core/clientdataset.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "widgets/maskedit.h"

#include <QApplication>
#include <QComboBox>
#include <QPainter>

DBGridDelegate::DBGridDelegate(TDBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid)
{
}

QWidget *DBGridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &index) const
{
    const TDBGrid::TColumn &column = m_grid->m_columns.value(index.column());
    const QString title = m_grid->model()->headerData(index.column(), Qt::Horizontal).toString();
    QWidget *editor = nullptr;
    if (column.buttonStyle == TDBGrid::TColumn::PickList) {
        auto *combo = new QComboBox(parent);
        combo->addItems(column.pickList);
        editor = combo;
    } else {
        auto *edit = new TMaskEdit(parent);
        edit->setFrame(false);
        if (const Field *field = m_grid->m_model->FieldAt(index.column())) {
            edit->SetEditMask(field->EditMask());
            if (field->EditMask().isEmpty() && field->DataType() == FieldType::Text && field->Size() > 0)
                edit->setMaxLength(field->Size());
        }
        editor = edit;
    }
    editor->setAccessibleName(title);
    m_grid->editorOpened(editor, index);
    return editor;
}

void DBGridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto *combo = qobject_cast<QComboBox *>(editor))
        combo->setCurrentIndex(combo->findText(text));
    else if (auto *edit = qobject_cast<TMaskEdit *>(editor))
        edit->SetText(text);
}

void DBGridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const
{
    model->setData(index, m_grid->editorText(editor));
}

void DBGridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    QRect rect = option.rect;
    if (m_grid->hasEditButton(index))
        rect.setRight(m_grid->buttonRect(option.rect).left() - 1);
    editor->setGeometry(rect);
}

void DBGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    m_grid->drawExtras(painter, option.rect, index);
}

DBGridSelectionModel::DBGridSelectionModel(QAbstractItemModel *model, TDBGrid *grid)
    : QItemSelectionModel(model, grid), m_grid(grid)
{
}

void DBGridSelectionModel::setCurrentIndex(const QModelIndex &index,
                                           QItemSelectionModel::SelectionFlags command)
{
    if (m_grid->allowCurrentChange(index))
        QItemSelectionModel::setCurrentIndex(index, command);
}
