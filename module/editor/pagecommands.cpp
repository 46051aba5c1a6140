// Page changes and the maintenance commands, routed to the record level
// whose grid has the focus.

#include "frmentparenteral.h"

#include "core/clientdataset.h"
#include "net/servercall.h"
#include "widgets/dbgrid.h"
#include "screens/dbnavigator.h"
#include "screens/dbtext.h"
#include "widgets/maskedit.h"
#include "widgets/edit.h"
#include "widgets/focustracker.h"
#include "core/messages.h"
#include "net/tnetconnection.h"
#include "core/packets.h"
#include "widgets/panel.h"
#include "widgets/searchlists.h"
#include "widgets/waitanimation.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

void TfrmEntParenteral::pgcPadraoChange()
{
    TfrmPadrao::pgcPadraoChange();
    panFilial->setEnabled(ActivePage() == tshFolhaDados);
    // The commands follow the page shown, also when filling it failed.
    try {
        if (ActivePage() == tshFolhaDados)
            activateDataSheet();
        else
            activateFormPage();
    } catch (...) {
        UpdateCommands();
        throw;
    }
    UpdateCommands();
}

void TfrmEntParenteral::activateFormPage()
{
    m_commandLevel = RecordLevelId::Services;
    FocusTracker::instance().moveFocus(edtCdPaciente);
    edtCdPaciente->clear();
    dbnPadrao->SetDataSet(cdsServInte);
    dbtNome->Bind(cdsServInte, QStringLiteral("DSDIETPAD"));
    if (cdsPaciFiltro->Active() && !cdsPaciFiltro->IsEmpty()) {
        // Taking the list's patient is the same as typing its code and
        // moving into the service grid.
        edtCdPaciente->SetText(cdsPaciFiltro->FieldByName(QStringLiteral("CDPACIENTE"))->AsString());
        FocusTracker::instance().moveFocus(dbgServico);
    }
    dtsServInteStateChange();
}

void TfrmEntParenteral::mnuFormularioClick()
{
    if (ActivePage() != tshFormulario)
        TfrmPadrao::mnuFormularioClick();
}

void TfrmEntParenteral::focusColumn(TDBGrid *grid, const QString &fieldName)
{
    for (int column = 0; column < grid->ColumnCount(); ++column) {
        if (grid->Columns().at(column).fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
            grid->setFocus();
            grid->SetSelectedIndex(column);
            return;
        }
    }
}

void TfrmEntParenteral::sbtIncluirClick()
{
    TfrmPadrao::sbtIncluirClick();
    const RecordLevel &level = CommandLevel();
    if (level.id == RecordLevelId::PatientList)
        return;
    if (level.parent && Level(*level.parent).dataSet->IsEmpty())
        return;
    level.dataSet->Insert();
    // A new record has no records below it yet.
    for (const RecordLevel &child : m_levels)
        if (child.parent == level.id)
            child.dataSet->Close();
}

void TfrmEntParenteral::sbtAlterarClick()
{
    TfrmPadrao::sbtAlterarClick();
    const RecordLevel &level = CommandLevel();
    if (level.alterField.isEmpty())
        return;
    // Moving into the grid runs what leaving the control that had the focus
    // runs; the level is edited only if it still holds a record after that.
    focusColumn(level.grid, level.alterField);
    if (level.dataSet->State() == DataSetState::Browse && !level.dataSet->IsEmpty())
        level.dataSet->Edit();
}

void TfrmEntParenteral::sbtExcluirClick()
{
    TfrmPadrao::sbtExcluirClick();
    ClientDataSet *dataSet = CommandLevel().dataSet;
    if (dataSet->State() != DataSetState::Browse || dataSet->IsEmpty())
        return;
    if (msgGeral.ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYesNo) == mrYes)
        dataSet->Delete();
}

void TfrmEntParenteral::sbtProcurarClick()
{
    TfrmPadrao::sbtProcurarClick();
    ClientDataSet *dataSet = CommandLevel().dataSet;
    if (dataSet->Active())
        Procura(*dataSet);
}

void TfrmEntParenteral::sbtVerificarClick()
{
    TfrmPadrao::sbtVerificarClick();
    WaitAnimation busy(this, 0);
    CommandLevel().reload();
}

void TfrmEntParenteral::sbtCancelarClick()
{
    TfrmPadrao::sbtCancelarClick();
    ClientDataSet *dataSet = CommandLevel().dataSet;
    if (dataSet->State() != DataSetState::Edit && dataSet->State() != DataSetState::Insert)
        return;
    if (msgGeral.ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYesNo) == mrYes)
        dataSet->Cancel();
}

void TfrmEntParenteral::sbtConfirmarClick()
{
    TfrmPadrao::sbtConfirmarClick();
    ClientDataSet *dataSet = CommandLevel().dataSet;
    if (dataSet->State() == DataSetState::Edit || dataSet->State() == DataSetState::Insert)
        dataSet->Post();
}

void TfrmEntParenteral::LoadServiceRecords()
{
    LoadFromServer(*cdsServInte, *netEntPat, QStringLiteral("getServInte"),
                   {edtCdPaciente->Text(), valueToJson(cdsPaciente->FieldByName(QStringLiteral("DTINTERNA"))->Value()),
                    BranchCode()});
}

void TfrmEntParenteral::LoadCompositionItems()
{
    LoadFromServer(*cdsConfesco, *netEntPat, QStringLiteral("getConfesco"),
                   {cdsServInte->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(),
                    cdsServInte->FieldByName(QStringLiteral("NRSEQUSERV"))->AsString(),
                    valueToJson(cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->Value()), BranchCode()});
}

void TfrmEntParenteral::LoadOccurrences()
{
    LoadFromServer(*cdsOcorrencia, *netEntPat, QStringLiteral("getOcorrencia"),
                   {cdsConfesco->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(),
                    cdsConfesco->FieldByName(QStringLiteral("NRSEQUSERV"))->AsString(),
                    valueToJson(cdsConfesco->FieldByName(QStringLiteral("DTSERVINTE"))->Value()),
                    cdsConfesco->FieldByName(QStringLiteral("CDSEQUCOPR"))->AsString(), BranchCode()});
}
