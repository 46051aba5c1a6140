#pragma once

#include "widgets/buttonflat.h"

#include <QPointer>

class ClientDataSet;
class TEdit;

// The search button beside a code edit. A click runs OnClick when one is set;
// otherwise it runs its own search: OnBeforePesq (which may end the
// operation, e.g. to refill the data source), the pick list over the data
// source titled `Title` with the empty-list text `EmptyText`, and after a pick
// OnAfterPesq; the associated edit then gets the focus. Its hint is
// "Pesquisar".
class TBtnPesquisa : public TButtonFlat
{
    Q_OBJECT
public:
    explicit TBtnPesquisa(QWidget *parent = nullptr);

    void SetEdit(TEdit *edit) { m_edit = edit; }
    TEdit *Edit() const { return m_edit; }
    void SetDataSource(ClientDataSet *dataSet) { m_dataSet = dataSet; }
    ClientDataSet *DataSource() const { return m_dataSet; }
    QString Title;
    QString EmptyText;

    std::function<void(TBtnPesquisa &)> OnBeforePesq;
    std::function<void(TBtnPesquisa &)> OnAfterPesq;

    // The search itself; true when a row was picked.
    bool Pesquisa();

protected:
    void runClick() override;

private:
    QPointer<TEdit> m_edit;
    QPointer<ClientDataSet> m_dataSet;
};
