#pragma once

#include <QPointer>
#include <QRect>
#include <QString>

#include <functional>

class QAbstractScrollArea;
class TButtonFlat;

// The ellipsis button of a grid's current cell: a real button, not a
// drawing, so that a click reaches it and assistive technology lists it.
// A grid's accessibility tree holds only its cells, so the button sits on
// the grid's container, over the cell's right edge. Its hint and name are
// "Pesquisar", as every search button's, and its description is the
// column's title. It takes no focus: a press leaves the focus, and an open
// cell editor, where they are.
class DBGridButton
{
public:
    DBGridButton(QAbstractScrollArea *grid, std::function<void()> press);
    ~DBGridButton();
    DBGridButton(const DBGridButton &) = delete;
    DBGridButton &operator=(const DBGridButton &) = delete;

    // Shows the button over rect, in the grid viewport's coordinates, for
    // the column titled title; an empty rect hides it.
    void Place(const QRect &rect, const QString &title);

private:
    QAbstractScrollArea *m_grid;
    std::function<void()> m_press;
    QPointer<TButtonFlat> m_button;
};
