#include "widgets/listdialogs.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "widgets/datasetmodel.h"
#include "core/fieldformat.h"
#include "widgets/listsearch.h"
#include "widgets/marklistmodel.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QTableView *listTable(QAbstractItemModel *model, const QString &title, QWidget *parent)
{
    auto *table = new QTableView(parent);
    table->setModel(model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->resizeColumnsToContents();
    table->setAccessibleName(title);
    return table;
}

// The search box under its label "Procurar".
// It comes first in the tab order and has the focus at the start.
void addSearch(QVBoxLayout *layout, QLineEdit *search, QWidget *list)
{
    QWidget::setTabOrder(search, list);
    search->setFocus();
    auto *label = new QLabel(QStringLiteral("&Procurar:"), search->parentWidget());
    label->setBuddy(search);
    layout->addWidget(label);
    layout->addWidget(search);
}

QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

PickDialog::PickDialog(ClientDataSet &dataSet, const QString &title, QWidget *parent)
    : QDialog(parent), m_dataSet(dataSet), m_model(new DataSetModel(this))
{
    setWindowTitle(title);
    m_model->SetDataSet(&dataSet);
    m_table = listTable(m_model, title, this);
    m_search = new ListSearchBox(dataSet, m_table, this);

    auto *layout = new QVBoxLayout(this);
    addSearch(layout, m_search, m_table);
    layout->addWidget(m_table);
    layout->addWidget(okCancel(this));
    resize(560, 400);

    m_table->setCurrentIndex(m_model->index(dataSet.RecNo(), 0));
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != m_dataSet.RecNo())
                    runGuarded([&] { m_dataSet.SetRecNo(current.row()); });
            });
    connect(m_table, &QTableView::doubleClicked, this, &QDialog::accept);
}

QLineEdit *PickDialog::SearchEdit() const
{
    return m_search;
}

bool PickDialog::Search(const QString &text)
{
    return m_search->Search(text);
}

MarkListDialog::MarkListDialog(ClientDataSet &dataSet, const QString &keyField, const QString &title,
                               const QStringList &marked, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto *model = new DataSetModel(this);
    model->SetDataSet(&dataSet);
    m_marks = new MarkListModel(model, keyField, this);
    m_marks->SetMarked(marked);
    m_table = listTable(m_marks, title, this);
    m_table->setCurrentIndex(m_marks->index(0, 0));
    m_table->installEventFilter(this);
    m_search = new ListSearchBox(dataSet, m_table, this);
    m_search->installEventFilter(this);

    auto *buttons = okCancel(this);
    QPushButton *all = buttons->addButton(QStringLiteral("Marcar &todos"), QDialogButtonBox::ActionRole);
    QPushButton *none = buttons->addButton(QStringLiteral("&Desmarcar todos"), QDialogButtonBox::ActionRole);
    connect(all, &QPushButton::clicked, this, [this] { m_marks->MarkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { m_marks->MarkAll(false); });
    // A click on the check box marks through the model; a double click
    // elsewhere on the row marks it too.
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.column() != 0)
            ToggleRow(index.row());
    });

    auto *layout = new QVBoxLayout(this);
    addSearch(layout, m_search, m_table);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(560, 400);
}

QLineEdit *MarkListDialog::SearchEdit() const
{
    return m_search;
}

void MarkListDialog::ToggleRow(int row)
{
    const QModelIndex box = m_marks->index(row, 0);
    if (!box.isValid())
        return;
    const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    m_marks->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

// Space in the list, and Enter in the list or the search box, mark or
// unmark the current row; Enter does not close the dialog, so a user can
// find and mark one name after the other.
bool MarkListDialog::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_table || watched == m_search) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter || (watched == m_table && key == Qt::Key_Space)) {
            ToggleRow(m_table->currentIndex().row());
            if (watched == m_search)
                m_search->selectAll();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

FindDialog::FindDialog(ClientDataSet &dataSet, QWidget *parent)
    : QDialog(parent), m_dataSet(dataSet), m_field(new QComboBox(this)), m_value(new QLineEdit(this))
{
    setWindowTitle(QStringLiteral("Procurar"));
    for (const auto &field : dataSet.Fields()) {
        if (field->Visible())
            m_field->addItem(field->DisplayLabel(), field->FieldName());
    }
    m_field->setAccessibleName(QStringLiteral("Campo"));
    m_value->setAccessibleName(QStringLiteral("Valor"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Campo:"), m_field);
    form->addRow(QStringLiteral("&Valor:"), m_value);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancel(this));
}

bool FindDialog::Locate()
{
    const Field *field = m_dataSet.FindField(m_field->currentData().toString());
    if (!field)
        return false;
    const QVariant value = parseFieldText(m_value->text(), field->DataType(), field->DisplayLabel());
    return m_dataSet.Locate(field->FieldName(), value, true);
}
