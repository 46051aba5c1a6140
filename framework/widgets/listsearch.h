#pragma once

#include <QLineEdit>
#include <QList>

class ClientDataSet;
class QAbstractItemView;

// The search box of a list over a dataset: typing moves the list to the
// first row whose first visible text field starts with the typed text
// (case-insensitive), or, when none does, the next visible text field, so
// codes and names can both be typed. Up, Down and the page keys move
// through the list without leaving the box; keys typed in the list itself
// come here, so typing in the list finds too.
class ListSearchBox : public QLineEdit
{
    Q_OBJECT
public:
    ListSearchBox(ClientDataSet &dataSet, QAbstractItemView *list, QWidget *parent = nullptr);

    // Moves to the first row matching the text; false (and no move) when
    // none does or the text is empty.
    bool Search(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    ClientDataSet &m_dataSet;
    QAbstractItemView *m_list;
    QList<int> m_fields;   // visible text fields, in order
};
