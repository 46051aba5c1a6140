#include "widgets/btnpesquisa.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "widgets/edit.h"
#include "widgets/searchlists.h"

TBtnPesquisa::TBtnPesquisa(QWidget *parent) : TButtonFlat(parent)
{
    setText(QStringLiteral("…"));
    SetHint(QStringLiteral("Pesquisar"));
    // Reachable by Tab (Space opens the list); a click leaves the focus in
    // its edit.
    setFocusPolicy(Qt::TabFocus);
}

bool TBtnPesquisa::Pesquisa()
{
    if (OnBeforePesq)
        OnBeforePesq(*this);
    if (!m_dataSet)
        return false;
    if (!Pesquisar(*m_dataSet, Title + QLatin1Char('|') + EmptyText))
        return false;
    if (OnAfterPesq)
        OnAfterPesq(*this);
    if (m_edit)
        m_edit->setFocus(Qt::OtherFocusReason);
    return true;
}

void TBtnPesquisa::runClick()
{
    if (OnClick)
        runGuarded(OnClick);
    else
        runGuarded([this] { Pesquisa(); });
}
