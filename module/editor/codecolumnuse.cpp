// The check, the pick list and the drawing of every code column, read from
// its description (codecolumns.h).

#include "editor/frmentparenteral.h"

#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/datasetmodel.h"
#include "widgets/dbgrid.h"
#include "widgets/searchlists.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"

#include <QJsonArray>
#include <QPainter>

void TfrmEntParenteral::checkCodeColumn(const CodeColumn &column, bool mandatory)
{
    const RecordLevel &level = Level(column.level);
    ClientDataSet &record = *level.dataSet;
    if (record.State() != DataSetState::Edit && record.State() != DataSetState::Insert)
        return;
    try {
        Field *code = record.FieldByName(column.codeField);
        code->SetAsString(Ajusta(code->AsString(), code->Size()));
        if (code->AsString().isEmpty()) {
            if (mandatory)
                MensErro(msgPadrao.Msg(column.missingKey));
            return;
        }
        if (column.checkMethod.isEmpty()) {
            // The lookup finds the code as typed, which stays as it is.
            TADOIBQuery &lookup = *column.lookup;
            lookup.Close();
            lookup.ParamByName(column.codeParameter).SetAsString(code->AsString());
            lookup.Open();
            if (lookup.IsEmpty())
                MensErro(msgPadrao.Msg(column.unknownKey));
            record.FieldByName(column.nameField)->SetAsString(lookup.FieldByName(column.nameField)->AsString());
            return;
        }
        QJsonArray args;
        for (const QString &field : column.checkLeadingFields)
            args << record.FieldByName(field)->AsString();
        args << code->AsString();
        if (column.checkSendsBranch)
            args << BranchCode();
        ClientDataSet &answer = *column.checkAnswer;
        LoadFromServer(answer, *netEntPat, column.checkMethod, args);
        if (answer.IsEmpty())
            MensErro(msgPadrao.Msg(column.unknownKey));
        record.FieldByName(column.nameField)->SetAsString(answer.FieldByName(column.nameField)->AsString());
        code->SetAsString(answer.FieldByName(column.codeField)->AsString());
    } catch (...) {
        focusColumn(level.grid, column.codeField);
        throw;
    }
}

bool TfrmEntParenteral::pickCode(const CodeColumn &column)
{
    ClientDataSet &record = *Level(column.level).dataSet;
    TADOIBQuery &lookup = *column.lookup;
    lookup.Close();
    const QString branchParameter = QStringLiteral("P_CDFILIAL");
    if (statementParameters(lookup.ActiveStatement()).contains(branchParameter, Qt::CaseInsensitive))
        lookup.ParamByName(branchParameter).SetAsString(BranchCode());
    if (!column.codeParameter.isEmpty())
        lookup.ParamByName(column.codeParameter).Clear();
    for (const auto &[parameter, field] : column.lookupParameters)
        lookup.ParamByName(parameter).SetAsString(record.FieldByName(field)->AsString());
    const QString title = msgPadrao.Msg(column.titleKey) + QLatin1Char('|') + msgPadrao.Msg(column.emptyKey);
    if (!Pesquisar_Plus(lookup, title))
        return false;
    if (record.State() == DataSetState::Browse)
        record.Edit();
    record.FieldByName(column.nameField)->SetAsString(lookup.FieldByName(column.nameField)->AsString());
    record.FieldByName(column.codeField)->SetAsString(lookup.FieldByName(column.codeField)->AsString());
    return true;
}

namespace {

// Whether the cell shows the name of its code: a code column with a code.
bool showsName(const std::optional<CodeColumn> &column, const RowValue &value)
{
    return column && !value(column->codeField).toString().isEmpty();
}

} // namespace

void TfrmEntParenteral::showCodeNames(TDBGrid &grid, const NameColumnOf &nameColumnOf)
{
    grid.OnDrawColumnCell = [this, nameColumnOf](TDBGrid &drawn, QPainter &painter, const QRect &rect,
                                                 Field *field, int, bool selected, bool focused) {
        if (!field)
            return;
        const RowValue value = [&drawn](const QString &name) { return drawn.DrawingValue(name); };
        const std::optional<CodeColumn> column = nameColumnOf(field->FieldName(), value);
        if (showsName(column, value))
            drawCodeName(drawn, value(column->nameField).toString(), painter, rect, selected, focused);
    };
    grid.Model()->AccessibleText = [&grid, nameColumnOf](int row, int column) {
        const Field *field = grid.Model()->FieldAt(column);
        const ClientDataSet *data = grid.DataSet();
        if (!field || !data)
            return QString();
        const RowValue value = [data, row](const QString &name) {
            return data->valueAt(row, data->FieldByName(name)->Index());
        };
        const std::optional<CodeColumn> shown = nameColumnOf(field->FieldName(), value);
        return showsName(shown, value) ? value(shown->nameField).toString() : QString();
    };
}

void TfrmEntParenteral::drawCodeName(TDBGrid &grid, const QString &name, QPainter &painter, const QRect &rect,
                                     bool selected, bool focused)
{
    if (selected && !focused && grid.EditorMode())
        return;   // the code itself, as drawn by default
    const QPalette &palette = grid.palette();
    painter.save();
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter.drawText(rect.adjusted(3, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    painter.restore();
}
