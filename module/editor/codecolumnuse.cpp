// The check, the pick list and the drawing of every code column, read from
// its description (codecolumns.h).

#include "editor/frmentparenteral.h"

#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "common/servercall.h"
#include "core/consiste.h"
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

void TfrmEntParenteral::drawCodeName(TDBGrid &grid, const CodeColumn &column, QPainter &painter, const QRect &rect,
                                     bool selected, bool focused)
{
    const QString code = grid.DrawingValue(column.codeField).toString();
    if (code.isEmpty())
        return;
    if (selected && !focused && grid.EditorMode())
        return;   // the code itself, as drawn by default
    const QString name = grid.DrawingValue(column.nameField).toString();
    const QPalette &palette = grid.palette();
    painter.save();
    painter.fillRect(rect, selected ? palette.highlight() : palette.base());
    painter.setPen(selected ? palette.highlightedText().color() : palette.text().color());
    painter.drawText(rect.adjusted(3, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    painter.restore();
}
