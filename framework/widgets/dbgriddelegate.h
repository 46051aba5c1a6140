#pragma once

#include <QItemSelectionModel>
#include <QStyledItemDelegate>

class TDBGrid;

// Cell editors and cell drawing of TDBGrid.
class DBGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit DBGridDelegate(TDBGrid *grid);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    TDBGrid *m_grid;
};

// Lets TDBGrid refuse a change of the current cell before it happens
// (column exit and row change handlers).
class DBGridSelectionModel : public QItemSelectionModel
{
    Q_OBJECT
public:
    DBGridSelectionModel(QAbstractItemModel *model, TDBGrid *grid);
    void setCurrentIndex(const QModelIndex &index, QItemSelectionModel::SelectionFlags command) override;

private:
    TDBGrid *m_grid;
};
