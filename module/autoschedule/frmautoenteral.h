#pragma once

#include "common/hangtime.h"

#include "screens/frmrotigeral.h"

#include <QDate>
#include <QPointer>
#include <QString>

class QComboBox;
class QLabel;
class TBtnPesquisa;
class TDateEditPlus;
class TEdit;
class TfrmEntParenteral;
class TMaskEdit;
class TNumberEdit;

// The automatic schedule dialog (screen "VQN18030"), created afresh for
// every use while a service record is current in the editor. The user
// describes a series of composition items (formulation, route, first date
// and hour, interval, period, volumes, speed); confirming checks the entries
// in a fixed order and generates the items into the editor's current record.
class TfrmAutoEnteral : public TfrmRotiGeral
{
    Q_OBJECT
public:
    explicit TfrmAutoEnteral(QWidget *parent = nullptr);
    ~TfrmAutoEnteral() override;

    void FormCreate() override;
    void cbbPreparaChange();
    void btnFormulacaoClick();
    void btnFormulacaoAfterPesq();
    void btnViaAcessoBeforePesq();
    void btnViaAcessoAfterPesq();
    void depDataExit();
    void medHrConsumoExit();
    void medIntervaloEnter();
    void medPeriodoEnter();
    void medIntervaloExit();
    void medPeriodoExit();
    void sbtConfirmaClick() override;

    // Controls, in tab order.
    TEdit *dbeDieta;
    QComboBox *cbbPrepara;
    TBtnPesquisa *btnFormulacao;
    TEdit *edtNmPrato;
    TEdit *edtSgUnidade;
    TBtnPesquisa *btnViaAcesso;
    TEdit *edtViaAcesso;
    TDateEditPlus *depData;
    TMaskEdit *medHrConsumo;
    TMaskEdit *medIntervalo;
    TMaskEdit *medPeriodo;
    TNumberEdit *nedVolPresc;
    TNumberEdit *nedVolInfu;
    TNumberEdit *nedVelo;

private:
    void buildControls();
    void declareMessages();
    // The editor whose current service record receives the items.
    TfrmEntParenteral &editor() const;
    // "A" for "Aberto", "F" for "Fechado".
    QString preparationCode() const;
    // Normalises the start hour and refuses one beyond 23:59.
    void checkStartHour();
    // Rewrites a changed duration text in its normal form ("0002:75" shows
    // 3 hours and 15 minutes).
    void normaliseDuration(TMaskEdit &edit);
    // The confirmation checks, in order; the first failure ends the
    // confirmation.
    void checkEntries(const QDate &consumption);
    // Asks how the series joins the record's items and generates it.
    void generateItems(const QDate &consumption);
    // After the checks: asks before a series whose volume outlasts its
    // system's safe hang time; "Não" ends the confirmation on the volume.
    void confirmHangTime();

    // Code of the chosen access route.
    QString stCdViaAcesso;
    // The safe hang times of the editor's branch, read when the dialog is made.
    HangLimits m_hangLimits;
    // The interval's or the period's text when it last got the focus.
    QString stTextoEntrada;
};

// Module variables of unit Cli_vqn18030.
namespace Cli_vqn18030 {
// The latest automatic dialog instance.
extern QPointer<TfrmAutoEnteral> frmAutoEnteral;
} // namespace Cli_vqn18030
