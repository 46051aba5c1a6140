#pragma once

#include <QDialog>

class ClientDataSet;
class DataSetModel;
class ListSearchBox;
class MarkListModel;
class QComboBox;
class QLineEdit;
class QTableView;

// The pick list: the dataset's visible fields in a table with a search box
// (ListSearchBox: typing finds a row by code or name). The dataset follows
// the table's current row; accepting leaves it on the picked row.
class PickDialog : public QDialog
{
    Q_OBJECT
public:
    PickDialog(ClientDataSet &dataSet, const QString &title, QWidget *parent = nullptr);

    QLineEdit *SearchEdit() const;
    QTableView *Table() const { return m_table; }
    // Moves to the first row matching the search text; false when none does.
    bool Search(const QString &text);

private:
    ClientDataSet &m_dataSet;
    DataSetModel *m_model;
    ListSearchBox *m_search;
    QTableView *m_table;
};

// The marking list: the dataset's visible fields with a check box per row,
// a search box (typing, in the box or in the list, finds a row by code or
// name) and buttons to mark all and none. A row is marked or unmarked by a
// click on its check box, a double click on the row, Space in the list, or
// Enter in the list or the search box.
class MarkListDialog : public QDialog
{
    Q_OBJECT
public:
    MarkListDialog(ClientDataSet &dataSet, const QString &keyField, const QString &title,
                   const QStringList &marked, QWidget *parent = nullptr);

    MarkListModel *Marks() const { return m_marks; }
    QTableView *Table() const { return m_table; }
    QLineEdit *SearchEdit() const;
    // Marks the row when it is unmarked, unmarks it otherwise.
    void ToggleRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MarkListModel *m_marks;
    QTableView *m_table;
    ListSearchBox *m_search;
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
