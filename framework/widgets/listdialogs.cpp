#include "listdialogs.h"

#include "abort.h"
#include "clientdataset.h"
#include "datasetmodel.h"
#include "fieldformat.h"
#include "marklistmodel.h"

#include <QComboBox>
#include <QCoreApplication>
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

QDialogButtonBox *okCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

PickDialog::PickDialog(ClientDataSet &dataSet, const QString &title, QWidget *parent)
    : QDialog(parent), m_dataSet(dataSet), m_model(new DataSetModel(this)),
      m_search(new QLineEdit(this))
{
    setWindowTitle(title);
    m_model->SetDataSet(&dataSet);
    m_table = listTable(m_model, title, this);
    for (const auto &field : dataSet.Fields()) {
        if (field->Visible() && field->DataType() == FieldType::Text)
            m_searchFields << field->Index();
    }
    auto *searchLabel = new QLabel(QStringLiteral("&Procurar:"), this);
    searchLabel->setBuddy(m_search);
    m_search->setAccessibleName(QStringLiteral("Procurar"));
    m_search->installEventFilter(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(searchLabel);
    layout->addWidget(m_search);
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
    connect(m_search, &QLineEdit::textEdited, this, &PickDialog::Search);
}

bool PickDialog::Search(const QString &text)
{
    if (text.isEmpty())
        return false;
    for (int field : std::as_const(m_searchFields)) {
        for (int row = 0; row < m_dataSet.RecordCount(); ++row) {
            if (m_dataSet.valueAt(row, field).toString().startsWith(text, Qt::CaseInsensitive)) {
                m_table->setCurrentIndex(m_model->index(row, 0));
                return true;
            }
        }
    }
    return false;
}

// Up, Down and page keys in the search box move through the list.
bool PickDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
            QCoreApplication::sendEvent(m_table, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
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

    auto *buttons = okCancel(this);
    QPushButton *all = buttons->addButton(QStringLiteral("Marcar &todos"), QDialogButtonBox::ActionRole);
    QPushButton *none = buttons->addButton(QStringLiteral("&Desmarcar todos"), QDialogButtonBox::ActionRole);
    connect(all, &QPushButton::clicked, this, [this] { m_marks->MarkAll(true); });
    connect(none, &QPushButton::clicked, this, [this] { m_marks->MarkAll(false); });
    connect(m_table, &QTableView::activated, this, [this](const QModelIndex &index) {
        const QModelIndex box = m_marks->index(index.row(), 0);
        const bool checked = box.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        m_marks->setData(box, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    resize(560, 400);
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
