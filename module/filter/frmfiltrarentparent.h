#pragma once

#include "screens/frmrotigeral.h"

#include <QDateTime>
#include <QPointer>
#include <QString>

class ClientDataSet;
class QGroupBox;
class QRadioButton;
class TADOIBQuery;
class TBtnPesquisa;
class TDateEditPlus;
class TEdit;
class TNetConnection;

// One complete set of the dialog's choices.
struct TDADOS
{
    bool boListaPaci = false;
    QString stCodPaci;
    bool boListaAla = false;
    QString stCodAla;
    bool boListaAndar = false;
    QString stCodAndar;
    bool boListaPadInter = false;
    QString stCodPadInter;
    QDateTime dtIni;   // invalid for an empty date field
    QDateTime dtFim;
};

struct TFILTRO
{
    TDADOS Dados;
};

// The patient filter dialog (screen "VQN18010"): modal, one per editor
// instance, hidden (not released) when it closes so that it shows its last
// confirmed choices again. For floors, wings, patients and admission
// standards the user takes all values ("Todos") or marks a list ("Lista"),
// and may give a range of service dates; confirming copies the choices into
// the editor's filter and reloads its patient list.
class TfrmFiltrarEntParent : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmFiltrarEntParent(QWidget *parent = nullptr);
    ~TfrmFiltrarEntParent() override;

    // Restores the controls and the code lists from Filtro (true) or saves
    // them into it (false).
    void Atualiza_Filtro(bool restore);

    // Handlers.
    // Each showing restores the last confirmed filter, so choices closed
    // away by the close box are forgotten (closing only hides the dialog).
    void FormShow() override;
    void sbtConfirmaClick() override;
    void rbtTodosPaciClick();
    void rbtListaPaciClick();
    void rbtTodosAlaClick();
    void rbtListaAlaClick();
    void rbtTodosAndarClick();
    void rbtListaAndarClick();
    void rbtTodosPadInterClick();
    void rbtListaPadInterClick();
    void btpPaciClick();
    void btpAlaClick();
    void btpAndarClick();
    void btpPadInterClick();
    void depDataIniDateChange();
    void depDataFimDateChange();
    void depDataIniExit();
    void depDataFimExit();
    void netFiltroEntPatBeforeConnect();

    // Controls.
    QGroupBox *grpAndar;
    QRadioButton *rbtTodosAndar;
    QRadioButton *rbtListaAndar;
    TBtnPesquisa *btpAndar;
    QGroupBox *grpAla;
    QRadioButton *rbtTodosAla;
    QRadioButton *rbtListaAla;
    TBtnPesquisa *btpAla;
    QGroupBox *grpPaciente;
    QRadioButton *rbtTodosPaci;
    QRadioButton *rbtListaPaci;
    TBtnPesquisa *btpPaci;
    QGroupBox *grpPadInter;
    QRadioButton *rbtTodosPadInter;
    QRadioButton *rbtListaPadInter;
    TBtnPesquisa *btpPadInter;
    QGroupBox *grbData;
    TDateEditPlus *depDataIni;
    TEdit *edtDataIni;
    TDateEditPlus *depDataFim;
    TEdit *edtDataFim;

    // Data sets and the dialog's own server connection.
    ClientDataSet *cdsPaci;
    TADOIBQuery *qryAla;
    TADOIBQuery *qryAndar;
    TADOIBQuery *qryPadInter;
    TNetConnection *netFiltroEntPat;

private:
    void buildGroups();
    void declareDataSets();
    void declareMessages();
    // Connects the radios, search buttons and date edits to their handlers.
    void wireChoices();
    // The search list of one group over its data set, titled and explained
    // by the message keys; `list` is the group's code list, read and
    // replaced.
    void markCodes(ClientDataSet &dataSet, const QString &keyField, const QString &titleKey,
                   const QString &emptyKey, QString &list);
    // The date of a date edit; invalid for an empty field.
    static QDateTime DateOf(const TDateEditPlus &edit);
    // Reruns a branch lookup with the editor's branch code.
    void reopenForBranch(TADOIBQuery &query);

    TFILTRO m_filtro;
};

// Module variables of unit Cli_vqn18010.
namespace Cli_vqn18010 {
// The current filter dialog instance.
extern QPointer<TfrmFiltrarEntParent> frmFiltrarEntParent;
// Code lists picked for patients, wings, floors and admission standards.
extern QString stPaciente;
extern QString stAla;
extern QString stAndar;
extern QString stPadInter;
} // namespace Cli_vqn18010
