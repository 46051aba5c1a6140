// The filter dialog's choices: all-or-list radios, search lists, dates,
// and keeping the last confirmed filter.

#include "filter/frmfiltrarentparent.h"

#include "editor/frmentparenteral.h"

#include "core/abort.h"
#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/dateeditplus.h"
#include "widgets/edit.h"
#include "screens/hostmainwindow.h"
#include "widgets/searchlists.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"

#include <QRadioButton>

using namespace Cli_vqn18010;

namespace {

// The editor this dialog filters for.
TfrmEntParenteral &editor()
{
    TfrmEntParenteral *form = Cli_vqn18000::frmEntParenteral.data();
    if (!form)
        throw Abort();
    return *form;
}

// Runs the handler when the radio becomes selected (not when it is left).
template <class Handler>
void onSelected(QRadioButton *radio, TfrmFiltrarEntParent *dialog, Handler handler)
{
    QObject::connect(radio, &QRadioButton::toggled, dialog, [dialog, handler](bool checked) {
        if (checked)
            runGuarded([dialog, handler] { (dialog->*handler)(); });
    });
}

// "Todos" leaves nothing to search and no list; "Lista" lets the user
// search and keeps the list.
void chooseAll(TBtnPesquisa *search, QString &list)
{
    search->setEnabled(false);
    list.clear();
}

// Restores one group: its "Lista" choice, its code list, then its "Todos"
// choice (which empties the list of a group restored to "Todos"). The two
// radios exclude each other, so each is set by selecting the other one.
void restoreGroup(QRadioButton *all, QRadioButton *list, bool listed, QString &codes, const QString &saved)
{
    if (listed)
        list->setChecked(true);
    codes = saved;
    if (!listed)
        all->setChecked(true);
}

} // namespace

void TfrmFiltrarEntParent::wireChoices()
{
    onSelected(rbtTodosPaci, this, &TfrmFiltrarEntParent::rbtTodosPaciClick);
    onSelected(rbtListaPaci, this, &TfrmFiltrarEntParent::rbtListaPaciClick);
    onSelected(rbtTodosAla, this, &TfrmFiltrarEntParent::rbtTodosAlaClick);
    onSelected(rbtListaAla, this, &TfrmFiltrarEntParent::rbtListaAlaClick);
    onSelected(rbtTodosAndar, this, &TfrmFiltrarEntParent::rbtTodosAndarClick);
    onSelected(rbtListaAndar, this, &TfrmFiltrarEntParent::rbtListaAndarClick);
    onSelected(rbtTodosPadInter, this, &TfrmFiltrarEntParent::rbtTodosPadInterClick);
    onSelected(rbtListaPadInter, this, &TfrmFiltrarEntParent::rbtListaPadInterClick);
    btpPaci->OnClick = [this] { btpPaciClick(); };
    btpAla->OnClick = [this] { btpAlaClick(); };
    btpAndar->OnClick = [this] { btpAndarClick(); };
    btpPadInter->OnClick = [this] { btpPadInterClick(); };
    depDataIni->OnDateChange = [this] { depDataIniDateChange(); };
    depDataFim->OnDateChange = [this] { depDataFimDateChange(); };
    depDataIni->OnExit = [this] { depDataIniExit(); };
    depDataFim->OnExit = [this] { depDataFimExit(); };
}

void TfrmFiltrarEntParent::FormShow()
{
    TfrmRotiGeral::FormShow();
    Atualiza_Filtro(true);
    edtDataIni->SetText(NomeSemana(depDataIni->GetDate()));
    edtDataFim->SetText(NomeSemana(depDataFim->GetDate()));
}

void TfrmFiltrarEntParent::Atualiza_Filtro(bool restore)
{
    TDADOS &dados = m_filtro.Dados;
    if (restore) {
        restoreGroup(rbtTodosPaci, rbtListaPaci, dados.boListaPaci, stPaciente, dados.stCodPaci);
        restoreGroup(rbtTodosAla, rbtListaAla, dados.boListaAla, stAla, dados.stCodAla);
        restoreGroup(rbtTodosAndar, rbtListaAndar, dados.boListaAndar, stAndar, dados.stCodAndar);
        restoreGroup(rbtTodosPadInter, rbtListaPadInter, dados.boListaPadInter, stPadInter, dados.stCodPadInter);
        depDataIni->SetDate(dados.dtIni.date());
        depDataFim->SetDate(dados.dtFim.date());
        return;
    }
    dados = {rbtListaPaci->isChecked(), stPaciente, rbtListaAla->isChecked(), stAla,
             rbtListaAndar->isChecked(), stAndar, rbtListaPadInter->isChecked(), stPadInter,
             DateOf(*depDataIni), DateOf(*depDataFim)};
}

QDateTime TfrmFiltrarEntParent::DateOf(const TDateEditPlus &edit)
{
    const QDate date = edit.GetDate();
    return date.isValid() ? date.startOfDay() : QDateTime();
}

void TfrmFiltrarEntParent::rbtTodosPaciClick() { chooseAll(btpPaci, stPaciente); }
void TfrmFiltrarEntParent::rbtListaPaciClick() { btpPaci->setEnabled(true); }
void TfrmFiltrarEntParent::rbtTodosAlaClick() { chooseAll(btpAla, stAla); }
void TfrmFiltrarEntParent::rbtListaAlaClick() { btpAla->setEnabled(true); }
void TfrmFiltrarEntParent::rbtTodosAndarClick() { chooseAll(btpAndar, stAndar); }
void TfrmFiltrarEntParent::rbtListaAndarClick() { btpAndar->setEnabled(true); }
void TfrmFiltrarEntParent::rbtTodosPadInterClick() { chooseAll(btpPadInter, stPadInter); }
void TfrmFiltrarEntParent::rbtListaPadInterClick() { btpPadInter->setEnabled(true); }

void TfrmFiltrarEntParent::markCodes(ClientDataSet &dataSet, const QString &keyField, const QString &titleKey,
                                     const QString &emptyKey, QString &list)
{
    list = PesquisaLista(dataSet, keyField, msgPadrao.Msg(titleKey) + QLatin1Char('|') + msgPadrao.Msg(emptyKey),
                         false, list);
}

void TfrmFiltrarEntParent::reopenForBranch(TADOIBQuery &query)
{
    query.Close();
    query.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(editor().BranchCode());
    query.Open();
}

// The inpatients are read again at every search, so the list is current.
void TfrmFiltrarEntParent::btpPaciClick()
{
    {
        WaitAnimation busy(hostMainWindow(), 0);
        LoadFromServer(*cdsPaci, *netFiltroEntPat, QStringLiteral("GetInternados"), {editor().BranchCode()});
    }
    markCodes(*cdsPaci, QStringLiteral("CDPACIENTE"), QStringLiteral("Paciente"), QStringLiteral("Paci_Empty"),
              stPaciente);
}

void TfrmFiltrarEntParent::btpAlaClick()
{
    reopenForBranch(*qryAla);
    markCodes(*qryAla, QStringLiteral("CDALA"), QStringLiteral("Ala"), QStringLiteral("Ala_Empty"), stAla);
}

void TfrmFiltrarEntParent::btpAndarClick()
{
    reopenForBranch(*qryAndar);
    markCodes(*qryAndar, QStringLiteral("CDANDAR"), QStringLiteral("Andar"), QStringLiteral("Andar_Empty"),
              stAndar);
}

// The search list opens the standards' lookup itself when it is closed.
void TfrmFiltrarEntParent::btpPadInterClick()
{
    markCodes(*qryPadInter, QStringLiteral("CDSERPADDIE"), QStringLiteral("PadInter"),
              QStringLiteral("PadInter_Empty"), stPadInter);
}

void TfrmFiltrarEntParent::depDataIniDateChange() { edtDataIni->SetText(NomeSemana(depDataIni->GetDate())); }
void TfrmFiltrarEntParent::depDataFimDateChange() { edtDataFim->SetText(NomeSemana(depDataFim->GetDate())); }
void TfrmFiltrarEntParent::depDataIniExit() { depDataIni->CheckValidDate(); }
void TfrmFiltrarEntParent::depDataFimExit() { depDataFim->CheckValidDate(); }

void TfrmFiltrarEntParent::netFiltroEntPatBeforeConnect()
{
    netFiltroEntPat->SetHost(WebURL());
    netFiltroEntPat->SetPort(WebPort());
}
