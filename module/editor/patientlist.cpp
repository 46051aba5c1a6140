// The data sheet page: the branch's inpatients narrowed by the filter, and
// the observation edited in place.

#include "frmentparenteral.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "common/screenlaunch.h"
#include "net/servercall.h"
#include "widgets/dbgrid.h"
#include "screens/dbnavigator.h"
#include "screens/dbtext.h"
#include "widgets/edit.h"
#include "net/tnetconnection.h"
#include "core/packets.h"
#include "core/serverresult.h"
#include "widgets/panel.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"
#include "widgets/widgetutils.h"

#include <QAction>

void TfrmEntParenteral::wirePatientList()
{
    cdsPaciFiltro->BeforeInsert = [this](ClientDataSet &) { cdsPaciFiltroBeforeInsert(); };
    cdsPaciFiltro->AfterPost = [this](ClientDataSet &) { cdsPaciFiltroAfterPost(); };
    cdsPaciFiltro->AfterCancel = [this](ClientDataSet &) { cdsPaciFiltroAfterCancel(); };
    cdsPaciFiltro->OnCalcFields = [this](ClientDataSet &) { cdsPaciFiltroCalcFields(); };
    cdsPaciFiltro->OnStateChange = [this](ClientDataSet &) { dtsPadraoStateChange(); };
    // The observation is sent at once; nothing is kept to send later.
    cdsPaciFiltro->SetLogChanges(false);

    dbgPadrao->setAccessibleName(QStringLiteral("Pacientes"));
    dbgPadrao->SetDataSet(cdsPaciFiltro);
    dbgPadrao->SetColumns({
        {QStringLiteral("CDLEITO"), QStringLiteral("Leito"), 80, true},
        {QStringLiteral("NMPACIENTE"), QStringLiteral("Nome"), 260, true},
        {QStringLiteral("Idade"), QStringLiteral("Idade"), 140, true},
        {QStringLiteral("DTINTERNA"), QStringLiteral("Data Internação"), 130, true},
        {QStringLiteral("NMSERPADDIE"), QStringLiteral("Padrão de Internação"), 180, true},
        {QStringLiteral("DSSERVINTE"), QStringLiteral("Observação"), 400},
    });
    dbgPadrao->SetKeptColumn(1);   // the name stays in view while the observation is typed
    dbgPadrao->OnEnter = [this](TDBGrid &) { dbgPadraoEnter(); };
}

void TfrmEntParenteral::rememberListPatient()
{
    if (cdsPaciFiltro->Active() && !cdsPaciFiltro->IsEmpty())
        m_listPatient = cdsPaciFiltro->FieldByName(QStringLiteral("CDPACIENTE"))->AsString();
}

void TfrmEntParenteral::LoadPatientList(int animationKind)
{
    rememberListPatient();
    WaitAnimation busy(this, animationKind);
    LoadFromServer(*cdsPaciFiltro, *netEntPat, QStringLiteral("getPaciFiltro"),
                   {stFiltroTodosPaci, stFiltroPaci, stFiltroTodosAla, stFiltroAla, stFiltroTodosAndar,
                    stFiltroAndar, stFiltroTodosPadInter, stFiltroPadInter, stFiltroTodasDatas,
                    valueToJson(dtFiltroIni), valueToJson(dtFiltroFim), BranchCode()});
    // The current patient stays current when the new list still holds it.
    if (!m_listPatient.isEmpty())
        cdsPaciFiltro->Locate(QStringLiteral("CDPACIENTE"), m_listPatient, false);
}

void TfrmEntParenteral::cdsPaciFiltroBeforeInsert()
{
    // The list shows the inpatients; nobody is added to it here.
    throw Abort();
}

void TfrmEntParenteral::cdsPaciFiltroAfterPost()
{
    const ServerResult result =
        netEntPat->Call(QStringLiteral("UpdServInte"),
                        {cdsPaciFiltro->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(),
                         cdsPaciFiltro->FieldByName(QStringLiteral("DSSERVINTE"))->AsString(), BranchCode()});
    // Storing the observation again is harmless: a lost answer leaves it
    // typed, to be confirmed once more.
    if (result.unanswered)
        KeepForResend(*cdsPaciFiltro);
    CheckResultServ(result);
}

void TfrmEntParenteral::cdsPaciFiltroAfterCancel()
{
    LoadPatientList(0);
}

void TfrmEntParenteral::dtsPadraoStateChange()
{
    UpdateCommands();
}

void TfrmEntParenteral::dbgPadraoEnter()
{
    dbtNome->Bind(cdsPaciFiltro, QStringLiteral("NMPACIENTE"));
}

void TfrmEntParenteral::sbtFiltrarClick()
{
    CriaFiltroEntParent();
    pgcPadraoChange();
}

void TfrmEntParenteral::activateDataSheet()
{
    loadBranchPatients();
    dbnPadrao->SetDataSet(cdsPaciFiltro);
    dbtNome->Bind(cdsPaciFiltro, QStringLiteral("NMPACIENTE"));
}
