#include "widgets/listsearch.h"

#include "core/clientdataset.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>

namespace {

bool movesThroughList(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown;
}

// A key that types a character of a search. Space keeps its own meaning in
// the list (it marks a row).
bool typesText(const QKeyEvent &event)
{
    const QString text = event.text();
    if (text.isEmpty() || !text.at(0).isPrint() || text.at(0).isSpace())
        return false;
    return !(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

ListSearchBox::ListSearchBox(ClientDataSet &dataSet, QAbstractItemView *list, QWidget *parent)
    : QLineEdit(parent), m_dataSet(dataSet), m_list(list)
{
    setAccessibleName(QStringLiteral("Procurar"));
    for (const auto &field : dataSet.Fields()) {
        if (field->Visible() && field->DataType() == FieldType::Text)
            m_fields << field->Index();
    }
    m_list->installEventFilter(this);
    connect(this, &QLineEdit::textEdited, this, &ListSearchBox::Search);
}

bool ListSearchBox::Search(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (int field : std::as_const(m_fields)) {
        for (int row = 0; row < m_dataSet.RecordCount(); ++row) {
            if (m_dataSet.valueAt(row, field).toString().startsWith(text, Qt::CaseInsensitive)) {
                const QModelIndex current = m_list->currentIndex();
                m_list->setCurrentIndex(m_list->model()->index(row, current.isValid() ? current.column() : 0));
                return true;
            }
        }
    }
    return false;
}

void ListSearchBox::keyPressEvent(QKeyEvent *event)
{
    if (movesThroughList(event->key())) {
        QCoreApplication::sendEvent(m_list, event);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

// Text typed while the list has the focus starts a new search in the box,
// which keeps the focus for the rest of the name.
bool ListSearchBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (typesText(*key)) {
            clear();
            setFocus(Qt::OtherFocusReason);
            QCoreApplication::sendEvent(this, event);
            return true;
        }
    }
    return QLineEdit::eventFilter(watched, event);
}
