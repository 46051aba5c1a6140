#pragma once

#include <QDialog>

class ClientDataSet;
class DataSetModel;
class MarkListModel;
class QComboBox;
class QLineEdit;
class QTableView;

// The pick list: the dataset's visible fields in a table; typing in the
// search box moves to the first row whose first visible text field starts
// with the typed text (case-insensitive), or, when none does, the next
// visible text field (so codes and names can both be typed). The dataset follows the table's
// current row; accepting leaves it on the picked row.
class PickDialog : public QDialog
{
    Q_OBJECT
public:
    PickDialog(ClientDataSet &dataSet, const QString &title, QWidget *parent = nullptr);

    QLineEdit *SearchEdit() const { return m_search; }
    QTableView *Table() const { return m_table; }
    // Moves to the first row matching the search text; false when none does.
    bool Search(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ClientDataSet &m_dataSet;
    DataSetModel *m_model;
    QLineEdit *m_search;
    QTableView *m_table;
    QList<int> m_searchFields;   // visible text fields, in order
};

// The marking list: the dataset's visible fields with a check box per row,
// buttons to mark all and none.
class MarkListDialog : public QDialog
{
    Q_OBJECT
public:
    MarkListDialog(ClientDataSet &dataSet, const QString &keyField, const QString &title,
                   const QStringList &marked, QWidget *parent = nullptr);

    MarkListModel *Marks() const { return m_marks; }
    QTableView *Table() const { return m_table; }

private:
    MarkListModel *m_marks;
    QTableView *m_table;
};

// The find dialog: a field and a value; accepting locates the first row
// whose field equals the value (case-insensitive).
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(ClientDataSet &dataSet, QWidget *parent = nullptr);

    QComboBox *FieldBox() const { return m_field; }
    QLineEdit *ValueEdit() const { return m_value; }
    // Locates the row; false (and no move) when none matches.
    bool Locate();

private:
    ClientDataSet &m_dataSet;
    QComboBox *m_field;
    QLineEdit *m_value;
};
