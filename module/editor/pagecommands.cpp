// Page changes and the maintenance commands, routed to the record level
// whose grid has the focus.

#include "frmentparenteral.h"

#include "clientdataset.h"
#include "common/servercall.h"
#include "dbgrid.h"
#include "dbnavigator.h"
#include "dbtext.h"
#include "maskedit.h"
#include "edit.h"
#include "messages.h"
#include "tnetconnection.h"
#include "packets.h"
#include "panel.h"
#include "searchlists.h"
#include "waitanimation.h"

#include <QAction>
#include <QApplication>
#include <QTabWidget>

void TfrmEntParenteral::pgcPadraoChange()
{
    TfrmPadrao::pgcPadraoChange();
    const bool dataSheet = ActivePage() == tshFolhaDados;
    panFilial->setEnabled(dataSheet);
    mnuFiltrar->setEnabled(dataSheet);
    if (dataSheet)
        activateDataSheet();
    else
        activateFormPage();
}

void TfrmEntParenteral::activateFormPage()
{
    edtCdPaciente->setFocus();
    edtCdPacienteEnter();
    edtCdPaciente->clear();
    dbnPadrao->SetDataSet(cdsServInte);
    dbtNome->Bind(cdsServInte, QStringLiteral("DSDIETPAD"));
    if (cdsPaciFiltro->Active() && !cdsPaciFiltro->IsEmpty()) {
        // Taking the list's patient is the same as typing its code and
        // moving into the service grid.
        edtCdPaciente->SetText(cdsPaciFiltro->FieldByName(QStringLiteral("CDPACIENTE"))->AsString());
        panInfPacienteExit();
        Panel1Enter();
        dbgServico->setFocus();
        dbgServicoEnter();
    }
    dtsServInteStateChange();
}

void TfrmEntParenteral::mnuFormularioClick()
{
    if (ActivePage() != tshFormulario)
        TfrmPadrao::mnuFormularioClick();
}

TDBGrid *TfrmEntParenteral::focusedGrid() const
{
    for (QWidget *widget = QApplication::focusWidget(); widget; widget = widget->parentWidget()) {
        if (widget == dbgServico || widget == dbgConfesco || widget == dbgOcorrencia)
            return static_cast<TDBGrid *>(widget);
        if (widget == this)
            break;
    }
    return nullptr;
}

ClientDataSet *TfrmEntParenteral::focusedLevel() const
{
    TDBGrid *grid = focusedGrid();
    return grid ? grid->DataSet() : nullptr;
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
    TDBGrid *grid = focusedGrid();
    if (grid == dbgServico) {
        cdsServInte->Insert();
    } else if (grid == dbgConfesco) {
        if (cdsServInte->IsEmpty())
            return;
        cdsConfesco->Insert();
        cdsOcorrencia->Close();
    } else if (grid == dbgOcorrencia) {
        cdsOcorrencia->Insert();
    }
}

void TfrmEntParenteral::sbtAlterarClick()
{
    TfrmPadrao::sbtAlterarClick();
    if (ActivePage() == tshFolhaDados) {
        focusColumn(dbgPadrao, QStringLiteral("DSSERVINTE"));
        cdsPaciFiltro->Edit();
    } else if (focusedGrid() == dbgServico) {
        focusColumn(dbgServico, QStringLiteral("NRSERVPESO"));
        cdsServInte->Edit();
    } else {
        focusColumn(dbgConfesco, QStringLiteral("CDVIACESDIET"));
        cdsConfesco->Edit();
    }
}

void TfrmEntParenteral::sbtExcluirClick()
{
    TfrmPadrao::sbtExcluirClick();
    ClientDataSet *level = focusedLevel();
    if (!level)
        return;
    if (msgGeral.ShowMsg(QStringLiteral("Excl"), mtConfirmation, mbYesNo) == mrYes)
        level->Delete();
}

void TfrmEntParenteral::sbtProcurarClick()
{
    TfrmPadrao::sbtProcurarClick();
    if (ClientDataSet *level = focusedLevel())
        Procura(*level);
}

void TfrmEntParenteral::sbtVerificarClick()
{
    TfrmPadrao::sbtVerificarClick();
    TDBGrid *grid = focusedGrid();
    if (!grid)
        return;
    WaitAnimation busy(this, 0);
    if (grid == dbgServico)
        LoadServiceRecords();
    else if (grid == dbgConfesco)
        LoadCompositionItems();
    else
        LoadOccurrences();
}

void TfrmEntParenteral::sbtCancelarClick()
{
    TfrmPadrao::sbtCancelarClick();
    ClientDataSet *level = ActivePage() == tshFolhaDados ? cdsPaciFiltro : focusedLevel();
    if (!level)
        return;
    if (msgGeral.ShowMsg(QStringLiteral("Canc"), mtConfirmation, mbYesNo) == mrYes)
        level->Cancel();
}

void TfrmEntParenteral::sbtConfirmarClick()
{
    TfrmPadrao::sbtConfirmarClick();
    if (ClientDataSet *level = ActivePage() == tshFolhaDados ? cdsPaciFiltro : focusedLevel())
        level->Post();
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
