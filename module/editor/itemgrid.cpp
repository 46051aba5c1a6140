// The composition item grid dbgConfesco: its columns, names drawn over the
// route and formulation codes, their search lists, column and key rules,
// entering and leaving the grid, and the commands by the item level's state.

#include "frmentparenteral.h"

#include "itemfields.h"
#include "core/abort.h"
#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "widgets/dbgrid.h"
#include "screens/dbnavigator.h"
#include "core/messages.h"
#include "widgets/panel.h"
#include "widgets/searchlists.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"
#include "widgets/widgetutils.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>

namespace {

// The columns an existing item may change.
const QStringList kEditableColumns = {ItemField::Route,   ItemField::Formulation, ItemField::Prescribed,
                                      ItemField::Infused, ItemField::Note,        ItemField::Speed};
const QStringList kQuantityColumns = {ItemField::Prescribed, ItemField::Infused, ItemField::Speed};
// Typed into only while the item is new.
const QStringList kNewItemColumns = {ItemField::Date, ItemField::Hour, ItemField::Preparation};

bool isEditing(const ClientDataSet &dataSet)
{
    return dataSet.State() == DataSetState::Edit || dataSet.State() == DataSetState::Insert;
}

QString selectedFieldName(const TDBGrid &grid)
{
    const Field *field = grid.SelectedField();
    return field ? field->FieldName() : QString();
}

// An existing item, being browsed or edited.
bool existingItem(const ClientDataSet &items)
{
    const DataSetState state = items.State();
    return (state == DataSetState::Browse || state == DataSetState::Edit) && !items.IsEmpty();
}

} // namespace

void TfrmEntParenteral::buildItemColumns()
{
    using Column = TDBGrid::TColumn;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    const QStringList preparations = {msgPadrao.Msg(QStringLiteral("Aberto")),
                                      msgPadrao.Msg(QStringLiteral("Fechado"))};
    dbgConfesco->SetColumns({
        {ItemField::Date, QString(), 90},
        {ItemField::Hour, QString(), 55},
        {ItemField::Route, QString(), 190},
        {ItemField::Preparation, QString(), 90, false, Column::PickList, preparations},
        {ItemField::Formulation, QString(), 280},
        {ItemField::Unit, QString(), 50, true},
        {ItemField::Prescribed, QString(), 105, false, Column::None, {}, right},
        {ItemField::Infused, QString(), 105, false, Column::None, {}, right},
        {ItemField::Speed, QString(), 105, false, Column::None, {}, right},
        {ItemField::Note, QString(), 260},
    });

    dbgConfesco->OnEnter = [this](TDBGrid &) { dbgConfescoEnter(); };
    dbgConfesco->OnExit = [this](TDBGrid &) { dbgConfescoExit(); };
    dbgConfesco->OnColExit = [this](TDBGrid &) { dbgConfescoColExit(); };
    dbgConfesco->OnKeyPress = [this](TDBGrid &, QChar &key) { dbgConfescoKeyPress(key); };
    dbgConfesco->OnKeyDown = [this](TDBGrid &, int &key, Qt::KeyboardModifiers) { dbgConfescoKeyDown(key); };
    showCodeNames(*dbgConfesco, [this](const QString &fieldName, const RowValue &value) {
        return itemNameColumn(fieldName, value);
    });
    dbgConfesco->OnEditButtonClick = [this](TDBGrid &) { dbgConfescoEditButtonClick(); };
}

// ---------------------------------------------------------------- drawing

std::optional<CodeColumn> TfrmEntParenteral::itemNameColumn(const QString &fieldName, const RowValue &value) const
{
    if (const CodeColumn *route = codeColumn(RecordLevelId::Items, fieldName))
        return *route;
    if (fieldName != ItemField::Formulation || value(ItemField::Formulation).toString().isEmpty())
        return std::nullopt;
    // The formulation's code and name are the dish's or the product's.
    const bool dish = value(ItemField::Preparation).toString() == ItemField::OpenSystem;
    return CodeColumn{RecordLevelId::Items, dish ? QStringLiteral("CDPRATO") : QStringLiteral("CDARVPROD"),
                      dish ? QStringLiteral("NMPRATO") : QStringLiteral("NMPRODUTO")};
}

// ---------------------------------------------------------------- search lists

void TfrmEntParenteral::dbgConfescoEditButtonClick()
{
    const QString field = selectedFieldName(*dbgConfesco);
    if (const CodeColumn *route = codeColumn(RecordLevelId::Items, field)) {
        pickCode(*route);
    } else if (field == ItemField::Formulation) {
        const QString preparation = cdsConfesco->FieldByName(ItemField::Preparation)->AsString();
        const bool dish = preparation == ItemField::OpenSystem;
        {
            WaitAnimation busy(this, 6);
            LoadFromServer(*cdsFormulacao, *netEntPat, QStringLiteral("getFormulacao"),
                           {preparation, QString::number(DBPictObj(1).GetTtNiveis()),
                            QString::number(DBPictObj(0).GetTtNiveis()), BranchCode()});
        }
        cdsFormulacao->FieldByName(ItemField::Formulation)->SetEditMask(DBPict(dish ? 1 : 0));
        const QString title = msgPadrao.Msg(QStringLiteral("Formulacao")) + QLatin1Char('|')
                              + msgPadrao.Msg(QStringLiteral("N_Formulacao"));
        if (!Pesquisar(*cdsFormulacao, title, false, true))
            return;
        if (cdsConfesco->State() == DataSetState::Browse)
            cdsConfesco->Edit();
        const QString code = cdsFormulacao->FieldByName(ItemField::Formulation)->AsString();
        const QString name = cdsFormulacao->FieldByName(QStringLiteral("NMFORMULACAO"))->AsString();
        const QString unit = cdsFormulacao->FieldByName(QStringLiteral("SGFORMULACAO"))->AsString();
        if (dish)
            setItemDish(code, name, unit, cdsFormulacao->FieldByName(QStringLiteral("CDFILAUXPRAT"))->AsString());
        else
            setItemProduct(cdsFormulacao->FieldByName(QStringLiteral("CDPRODUTO"))->AsString(), code, name, unit);
    }
}

// ---------------------------------------------------------------- columns and keys

void TfrmEntParenteral::dbgConfescoColExit()
{
    const QString field = selectedFieldName(*dbgConfesco);
    if (field == ItemField::Hour)
        Vd_Hora(false);
    else if (field == ItemField::Route)
        Vd_ViaAcesso(false);
    else if (field == ItemField::Formulation)
        Vd_Formulacao(false);
}

void TfrmEntParenteral::dbgConfescoKeyPress(QChar &key)
{
    const QString field = selectedFieldName(*dbgConfesco);
    if (field == ItemField::Unit) {
        key = QChar();
        return;
    }
    if (existingItem(*cdsConfesco) && !kEditableColumns.contains(field)) {
        const int preparation = IndiceCol(*dbgConfesco, ItemField::Preparation);
        if (preparation >= 0)
            dbgConfesco->Column(preparation).buttonStyle = TDBGrid::TColumn::None;
        key = QChar();
        return;
    }
    if (kQuantityColumns.contains(field) && isEditing(*cdsConfesco))
        GridMaxNumber(*dbgConfesco, 9, 3, key);
}

void TfrmEntParenteral::dbgConfescoKeyDown(int &key)
{
    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && cdsConfesco->State() == DataSetState::Edit
        && !kEditableColumns.contains(selectedFieldName(*dbgConfesco))) {
        cdsConfesco->Cancel();
        key = 0;
        throw Abort();
    }
}

// ---------------------------------------------------------------- focus and state

void TfrmEntParenteral::dbgConfescoEnter()
{
    dtsConfescoStateChange();
}

void TfrmEntParenteral::dbgConfescoExit()
{
    if (isEditing(*cdsConfesco))
        cdsConfesco->Post();
    mnuAutomatico->setEnabled(false);
}

void TfrmEntParenteral::dtsConfescoStateChange()
{
    const bool editing = isEditing(*cdsConfesco);
    const bool existing = existingItem(*cdsConfesco);
    for (int column = 0; column < dbgConfesco->ColumnCount(); ++column) {
        TDBGrid::TColumn &entry = dbgConfesco->Column(column);
        if (editing && (entry.fieldName == ItemField::Route || entry.fieldName == ItemField::Formulation))
            entry.buttonStyle = TDBGrid::TColumn::Ellipsis;
        if (editing && entry.fieldName == ItemField::Preparation)
            entry.buttonStyle = TDBGrid::TColumn::PickList;
        // An existing item keeps its date, hour and preparation.
        if (kNewItemColumns.contains(entry.fieldName))
            entry.readOnly = existing;
    }
    dbgConfesco->viewport()->update();
    UpdateCommands();
}
