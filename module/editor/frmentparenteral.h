#pragma once

#include "frmpadrao.h"

#include <QDateTime>
#include <QJsonArray>
#include <QPointer>
#include <QString>

class ClientDataSet;
class Field;
class QAction;
class QLabel;
class QPainter;
class QRect;
class QSplitter;
class QToolButton;
class TADOIBQuery;
class TBtnPesquisa;
class TDBGrid;
class TEdit;
class TMaskEdit;
class TNetConnection;
class TPanel;

// The prescription editor (screen "VQN18000"): the module's main screen, a
// non-modal child window of the host's main window. For a branch and one of
// its inpatients it edits three nested record levels: service records,
// their composition items and the items' infusion occurrences; the data
// sheet page lists the branch's inpatients through the patient filter.
//
// The behaviour is split by concern over several source files: the shell
// and selection of branch and patient, the patient list, the service
// records, and the routing of the maintenance commands.
class TfrmEntParenteral : public TfrmPadrao
{
    Q_OBJECT
public:
    explicit TfrmEntParenteral(QWidget *parent = nullptr);
    ~TfrmEntParenteral() override;

    // Shell (base form handlers).
    void FormCreate() override;
    void FormActivate() override;
    void FormClose() override;
    void pgcPadraoChange() override;
    void mnuFormularioClick() override;
    void sbtIncluirClick() override;
    void sbtAlterarClick() override;
    void sbtExcluirClick() override;
    void sbtProcurarClick() override;
    void sbtVerificarClick() override;
    void sbtCancelarClick() override;
    void sbtConfirmarClick() override;
    void netEntPatBeforeConnect();

    // Branch panel.
    void panFilialEnter();
    void medFilialEnter();
    void medFilialKeyPress(QChar &key);
    void medFilialChange();
    void btnFilialAfterPesq();
    void panFilialExit();

    // Patient panel.
    void edtCdPacienteEnter();
    void edtCdPacienteKeyPress(QChar &key);
    void edtCdPacienteChange();
    void BtnPesquisa1Click();
    void panInfPacienteExit();
    void Panel1Enter();
    void Vd_Paciente(bool mandatory);
    void cdsPesqPaciCalcFields();
    void cdsPacienteCalcFields();

    // Patient list (data sheet page).
    void cdsPaciFiltroBeforeInsert();
    void cdsPaciFiltroAfterPost();
    void cdsPaciFiltroAfterCancel();
    void cdsPaciFiltroCalcFields();
    void dtsPadraoStateChange();
    void dbgPadraoEnter();
    void sbtFiltrarClick();
    void sbtAutomaticoClick();

    // Service records.
    void cdsServInteBeforeInsert();
    void cdsServInteNewRecord();
    void cdsServInteBeforePost();
    void cdsServInteAfterPost();
    void cdsServInteAfterCancel();
    void cdsServInteAfterDelete();
    void cdsServInteAfterScroll();
    void cdsServInteDTSERVINTESetText(Field &field, const QString &text);
    void dtsServInteStateChange();
    void dbgServicoEnter();
    void dbgServicoExit();
    void dbgServicoColExit();
    void dbgServicoKeyPress(QChar &key);
    void dbgServicoKeyDown(int &key);
    void dbgServicoDrawColumnCell(QPainter &painter, const QRect &rect, Field *field, bool selected,
                                  bool focused);
    void dbgServicoEditButtonClick();
    void Vd_Servico(bool mandatory);
    void Vd_Dieta(bool mandatory);
    // Date entry shared by the service date and the item date.
    void Vd_Data(Field &field, const QString &text);

    // The branch code of every server call and lookup.
    QString BranchCode() const;

    // Controls.
    QAction *N1;
    QAction *mnuFiltrar;
    QAction *mnuAutomatico;
    QAction *mnuCalcNutr;
    QAction *mnuCopiar;
    QAction *actEstatistica;
    QToolButton *sbtFiltrar;
    QToolButton *sbtCalcNutri;
    QToolButton *sbtAutomatico;
    QToolButton *sbtCopiar;
    QToolButton *sbtEstatistica;

    TPanel *panFilial;
    QLabel *lblFilial;
    TMaskEdit *medFilial;
    TBtnPesquisa *btnFilial;
    TEdit *edtFilial;

    TPanel *panInfPaciente;
    QLabel *Label1;
    TEdit *edtCdPaciente;
    TBtnPesquisa *BtnPesquisa1;
    TEdit *edtNmPaciente;
    TEdit *edtIdade;
    TEdit *edtLeito;

    QSplitter *Splitter2;
    TPanel *Panel1;
    QSplitter *Splitter1;
    TPanel *Panel3;
    TDBGrid *dbgServico;
    TPanel *Panel4;
    TDBGrid *dbgConfesco;
    TPanel *Panel2;
    TDBGrid *dbgOcorrencia;

    TNetConnection *netEntPat;

    // Datasets.
    ClientDataSet *cdsPaciFiltro;
    ClientDataSet *cdsPaciente;
    ClientDataSet *cdsPesqPaci;
    ClientDataSet *cdsServInte;
    ClientDataSet *cdsConfesco;
    ClientDataSet *cdsOcorrencia;
    ClientDataSet *cdsVerifServ;
    ClientDataSet *cdsVerifDieta;
    ClientDataSet *cdsNutricio;
    ClientDataSet *cdsValidaServ;
    ClientDataSet *cdsNrServInte;
    ClientDataSet *cdsVerifObs;
    ClientDataSet *cdsDescHabi;
    TADOIBQuery *qryFilial;
    TADOIBQuery *qryParaDiet;
    TADOIBQuery *qryServico;
    TADOIBQuery *qryDieta;

    // The filter dialog exists for this editor instance (set by
    // CriaFiltroEntParent), so every new editor gets a new filter dialog.
    bool boFiltroCriado = false;
    // Composition-item checks and occurrence loading are on.
    bool boValidaConfesco = true;

    // The patient-list filter sent to getPaciFiltro: "T" = all, else the
    // code list chosen in the filter dialog.
    QString stFiltroTodosPaci;
    QString stFiltroPaci;
    QString stFiltroTodosAla;
    QString stFiltroAla;
    QString stFiltroTodosAndar;
    QString stFiltroAndar;
    QString stFiltroTodosPadInter;
    QString stFiltroPadInter;
    QString stFiltroTodasDatas;
    QDateTime dtFiltroIni;
    QDateTime dtFiltroFim;

    // Reloads of the record levels from the server.
    void LoadPatientList(int animationKind);
    void LoadServiceRecords();
    void LoadCompositionItems();
    void LoadOccurrences();

private:
    // Construction, by concern.
    void buildCommands();
    void buildBranchPanel();
    void buildPatientPanel();
    void buildRecordArea();
    void declarePatientDataSets();
    void declareRecordDataSets();
    void declareLookups();
    void declareMessages();
    void wirePatientList();
    void wireServiceRecords();

    void resetFilter();
    void restoreSavedSelection();
    void positionOnSavedPatient();
    // Adjusts and validates the branch code and loads its patient list; on
    // failure the focus goes back to the branch code.
    void loadBranchPatients();
    void showPatient(const ClientDataSet &source, const QString &ageField);
    void setBranchControlsEnabled(bool enabled);
    void activateFormPage();
    void activateDataSheet();
    // The record level whose grid has the focus, or nullptr.
    TDBGrid *focusedGrid() const;
    ClientDataSet *focusedLevel() const;
    void focusColumn(TDBGrid *grid, const QString &fieldName);
    QString ageText(const ClientDataSet &dataSet) const;
    void sendServiceChanges();
    // Adjusts a code of the current service record to its width and checks
    // it with the server (method arguments: `args`, the code, the branch);
    // the server's form of the code and its name replace the typed ones.
    void checkRecordCode(const QString &codeField, const QString &nameField, ClientDataSet &answer,
                         const QString &method, QJsonArray args, const QString &unknownKey,
                         const QString &missingKey, bool mandatory);
};

// Module variables of unit Cli_vqn18000.
namespace Cli_vqn18000 {
// The one editor instance; null once it is released.
extern QPointer<TfrmEntParenteral> frmEntParenteral;
// True while an editor instance exists.
extern bool boStCriado;
// Full path of the saved patient selection file.
extern QString stPath;
} // namespace Cli_vqn18000
