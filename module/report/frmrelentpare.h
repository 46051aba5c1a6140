#pragma once

#include "screens/frmdadosgerrel.h"

#include <QPointer>
#include <QString>

#include <vector>

class QGroupBox;
class QRadioButton;
class TADOIBQuery;
class TButtonFlat;
class TDateEditPlus;
class TEdit;
class TReportParams;

// The report selection screen (screen "VQN18020", report "VQN180"), created
// afresh by every use of the editor's print action. Seven criteria (bed,
// floor, wing, admission standard, service, diet, access route) are either
// all values ("Todos") or a list marked in a search list ("Lista"); with the
// period they become the report query's parameters.
class TfrmRelEntPare : public TfrmDadosGerRel
{
    Q_OBJECT
public:
    explicit TfrmRelEntPare(QWidget *parent = nullptr);
    ~TfrmRelEntPare() override;

    void FormCreate() override;
    void FormActivate() override;
    void sbtPrintClick() override;
    void sbtPreviewClick() override;
    void sbtSalvarComoClick() override;
    void sbtReportEditClick() override;

    // Checks the choices; with `listas` false only the period. A failed
    // check focuses the control, shows the message and ends the operation.
    void Vd_Imprime(bool listas);
    // Fills the query's parameters that it has, by name.
    void rpddPadraoBeforeGetQueryParams(TReportParams &params, bool &cancel);

    void btpServicoClick();
    void depIniChange();
    void depFimChange();
    void depIniDateChange();
    void depFimDateChange();
    void depIniExit();
    void depFimExit();

    QGroupBox *grbLeito, *grpAndar, *grpAla, *grpPadInter, *grpServico, *grpDieta, *grpViaDeAcesso;
    QRadioButton *rbtLeitoT, *rbtLeitoL, *rbtAndarT, *rbtAndarL, *rbtAlaT, *rbtAlaL, *rbtPadInteT,
        *rbtPadInterL, *rbtServicoT, *rbtServicoL, *rbtDietaT, *rbtDietaL, *rbtViaDeAcessoT,
        *rbtViaDeAcessoL;
    TButtonFlat *btpLeito, *btpAndar, *btpAla, *btpPadInter, *btpServico, *btpDieta, *btpViaCesDiet;
    TADOIBQuery *qryLeito, *qryAndar, *qryAla, *qryPadInter, *qryServico, *qryDieta, *qryViaDeAcesso;
    QGroupBox *grpData;
    TDateEditPlus *depIni;
    TDateEditPlus *depFim;
    TEdit *edtNmIni;
    TEdit *edtNmFim;

private:
    // One all-or-list criterion: its controls, its lookup and its code list.
    struct Criterion
    {
        QGroupBox *group;
        QRadioButton *todos;
        QRadioButton *lista;
        TButtonFlat *search;
        TADOIBQuery *query;
        QString keyField;
        QString title;
        QString emptyKey;
        QString mustKey;
        QString parameter;
        QString *list;
    };
    struct CriterionText;

    void addCriterion(const CriterionText &text, int row, int column);
    void buildPeriod();
    void declareMessages();
    // "Todos" disables the search and empties the list; "Lista" enables it.
    void criterionChoice(const Criterion &criterion);
    void criterionSearch(const Criterion &criterion);
    // The branch the lookups and the report work in: the editor's.
    QString branch() const;
    void setBranch(TADOIBQuery &query) const;

    std::vector<Criterion> m_criteria;
};

// Module variables of unit Cli_vqn18020. Its code lists share names with
// those of the filter unit; the unit's namespace keeps them apart.
namespace Cli_vqn18020 {
// The latest report screen instance.
extern QPointer<TfrmRelEntPare> frmRelEntPare;
// Code lists picked for beds, floors, wings, admission standards, services,
// diets and access routes.
extern QString stLeito;
extern QString stAndar;
extern QString stAla;
extern QString stPadInter;
extern QString stServico;
extern QString stDieta;
extern QString stViaCesDiet;
} // namespace Cli_vqn18020
