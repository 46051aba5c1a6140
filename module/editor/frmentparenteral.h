#pragma once

#include "editor/codecolumns.h"
#include "editor/recordlevels.h"
#include "screens/frmpadrao.h"

#include <QDateTime>
#include <QJsonArray>
#include <QPointer>
#include <QString>

#include <functional>

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
enum class PendingChange;

// The prescription editor (screen "VQN18000"): the module's main screen, a
// non-modal child window of the host's main window. For a branch and one of
// its inpatients it edits three nested record levels: service records,
// their composition items and the items' infusion occurrences; the data
// sheet page lists the branch's inpatients through the patient filter.
//
// The behaviour is split by concern over several source files: the shell
// and selection of branch and patient, the patient list, the service
// records, and the routing of the maintenance commands.
//
// Two tables drive what the record levels share (recordlevels.cpp):
// - the record-level table (RecordLevel, one row per level: grid, dataset,
//   reload, column of Alterar, parent level), through which every
//   maintenance command finds the level it acts on, and from which
//   UpdateCommands, the one place that enables commands, reads the level's
//   situation (rule: ComputeCommandStates, commandstates.h);
// - the code-column descriptions (CodeColumn, one per code column), read by
//   the column check, the ellipsis pick list and the drawing of the name
//   over the code (codecolumnuse.cpp).
class TfrmEntParenteral : public TfrmPadrao
{
    Q_OBJECT
public:
    explicit TfrmEntParenteral(QWidget *parent = nullptr);
    ~TfrmEntParenteral() override;

    // What the framework's event wiring calls (base form handlers).
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
    void sbtImprimirClick() override;

    // What the module's other screens and the tests reach.

    // The branch code of every server call and lookup.
    QString BranchCode() const;
    // The row of the record-level table for a level.
    const RecordLevel &Level(RecordLevelId id) const;
    // Reloads of the record levels from the server (the filter dialog, the
    // automatic schedule).
    void LoadPatientList(int animationKind);
    void LoadCompositionItems();

    // Commands of the editor's own.
    QAction *mnuFiltrar;
    QAction *mnuAutomatico;
    QAction *mnuCalcNutr;
    QAction *mnuCopiar;
    QToolButton *sbtFiltrar;
    QToolButton *sbtCalcNutri;
    QToolButton *sbtAutomatico;
    QToolButton *sbtCopiar;
    QToolButton *sbtEstatistica;

    // Branch and patient panels.
    QLabel *lblFilial;
    TMaskEdit *medFilial;
    TBtnPesquisa *btnFilial;
    TEdit *edtFilial;
    TPanel *panInfPaciente;
    TEdit *edtCdPaciente;
    TEdit *edtNmPaciente;
    TEdit *edtIdade;
    TEdit *edtLeito;

    // The record levels' grids and datasets, and the server connection.
    TDBGrid *dbgServico;
    TDBGrid *dbgConfesco;
    TDBGrid *dbgOcorrencia;
    TNetConnection *netEntPat;
    ClientDataSet *cdsPaciFiltro;
    ClientDataSet *cdsServInte;
    ClientDataSet *cdsConfesco;
    ClientDataSet *cdsOcorrencia;
    // Numbering and formulations of the composition items, and the lookups
    // the report screen and the automatic schedule share.
    ClientDataSet *cdsNrConfesco;
    ClientDataSet *cdsFormulacao;
    TADOIBQuery *qryServico;
    TADOIBQuery *qryDieta;
    TADOIBQuery *qryViaAcesso;
    TADOIBQuery *qryTipoOcor;

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
    void wireCompositionItems();
    void buildItemColumns();
    void wireOccurrences();
    void buildRecordLevels();
    void buildCodeColumns();

    // Screens of other modules opened with the editor's context.
    void sbtCalcNutriClick();
    void sbtCopiarClick();
    void sbtEstatisticaClick();
    void netEntPatBeforeConnect();

    // Commands and record levels.
    // Sets the enabled state of every command from the active page, the
    // level the commands act on, its state and its parent's records. Every
    // state-change, grid-enter and page-change handler ends here.
    void UpdateCommands();
    // The level the maintenance commands act on: the patient list on the
    // data sheet, else the level whose grid has (or last had) the focus.
    const RecordLevel &CommandLevel();
    // Reloads of the levels the other screens do not reach.
    void LoadServiceRecords();
    void LoadOccurrences();
    void activateFormPage();
    void activateDataSheet();
    void focusColumn(TDBGrid *grid, const QString &fieldName);

    // Code columns.
    const CodeColumn *codeColumn(RecordLevelId level, const QString &fieldName) const;
    // Checks the code typed in a code column of the current record with the
    // server, whose form of the code and name replace the typed ones, or
    // with the column's lookup, which gives the name of the code as typed.
    void checkCodeColumn(const CodeColumn &column, bool mandatory);
    // The ellipsis pick list of a code column; true when a row was picked.
    bool pickCode(const CodeColumn &column);
    // Draws the names of the grid's code columns over their codes, and gives
    // screen readers the same names.
    void showCodeNames(TDBGrid &grid, const NameColumnOf &nameColumnOf);
    void drawCodeName(TDBGrid &grid, const QString &name, QPainter &painter, const QRect &rect, bool selected,
                      bool focused);

    // Branch panel.
    void panFilialEnter();
    void medFilialEnter();
    void medFilialKeyPress(QChar &key);
    void medFilialChange();
    void btnFilialAfterPesq();
    void panFilialExit();
    // Adjusts and validates the branch code and loads its patient list; on
    // failure the focus goes back to the branch code.
    void loadBranchPatients();
    void setBranchControlsEnabled(bool enabled);
    // Restores the branch and patient saved in the selection file; false
    // when the file cannot be read.
    bool restoreSavedSelection();
    void positionOnSavedPatient();

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
    void showPatient(const ClientDataSet &source, const QString &ageField);
    QString ageText(const ClientDataSet &dataSet) const;

    // Patient list, the data sheet page.
    void cdsPaciFiltroBeforeInsert();
    void cdsPaciFiltroAfterPost();
    void cdsPaciFiltroAfterCancel();
    void cdsPaciFiltroCalcFields();
    void dtsPadraoStateChange();
    void dbgPadraoEnter();
    void sbtFiltrarClick();
    void sbtAutomaticoClick();
    void resetFilter();
    void rememberListPatient();

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
    std::optional<CodeColumn> serviceNameColumn(const QString &fieldName) const;
    void dbgServicoEditButtonClick();
    void Vd_Servico(bool mandatory);
    void Vd_Dieta(bool mandatory);
    // Date entry shared by the service date and the item date.
    void Vd_Data(Field &field, const QString &text);
    void sendServiceChanges(PendingChange change);

    // Composition items (item list and its grid).
    void cdsConfescoNewRecord();
    void cdsConfescoBeforePost();
    void cdsConfescoAfterPost();
    void cdsConfescoAfterDelete();
    void cdsConfescoAfterCancel();
    void cdsConfescoAfterScroll();
    void Vd_Hora(bool required);
    void Vd_ViaAcesso(bool required);
    void Vd_Formulacao(bool required);
    std::optional<CodeColumn> itemNameColumn(const QString &fieldName, const RowValue &value) const;
    void dbgConfescoEditButtonClick();
    void dbgConfescoColExit();
    void dbgConfescoKeyPress(QChar &key);
    void dbgConfescoKeyDown(int &key);
    void dbgConfescoEnter();
    void dbgConfescoExit();
    void dtsConfescoStateChange();
    void sendItemChanges(PendingChange change);
    // Makes a dish or a product the formulation of the current item (from a
    // lookup or the search list) and clears the other kind's fields. The
    // dish branch is kept when a lookup gives none (an empty `dishBranch`).
    void setItemDish(const QString &code, const QString &name, const QString &unit, const QString &dishBranch);
    void setItemProduct(const QString &code, const QString &treeCode, const QString &name, const QString &unit);
    // Reports a failed post check with the focus on the field's column.
    void refuseItem(const QString &fieldName, const QString &messageKey);
    // Asks before posting an item whose volume outlasts its system's safe
    // hang time; "Não" ends the post with the focus on the prescribed volume.
    void confirmItemHangTime();

    // Infusion occurrences of the current composition item.
    void cdsOcorrenciaNewRecord();
    void cdsOcorrenciaBeforePost();
    void cdsOcorrenciaAfterPost();
    void cdsOcorrenciaAfterCancel();
    void cdsOcorrenciaAfterDelete();
    void cdsOcorrenciaDTOCORINFUSetText(Field &field, const QString &text);
    void dtsOcorrenciaStateChange();
    void dbgOcorrenciaEnter();
    void dbgOcorrenciaExit();
    void dbgOcorrenciaColExit();
    void dbgOcorrenciaKeyPress(QChar &key);
    void dbgOcorrenciaKeyDown(int &key);
    void dbgOcorrenciaEditButtonClick();
    void Vd_Ocorrencia(bool mandatory);
    // A new occurrence repeats the item, date-time and type of one already
    // in the list.
    bool repeatsListedOccurrence() const;

    // Controls only the editor's own files reach.
    QAction *N1;
    QAction *actEstatistica;
    TPanel *panFilial;
    QLabel *Label1;
    TBtnPesquisa *BtnPesquisa1;
    QSplitter *Splitter2;
    TPanel *Panel1;
    QSplitter *Splitter1;
    TPanel *Panel3;
    TPanel *Panel4;
    TPanel *Panel2;

    // Datasets and lookups only the editor's own files reach.
    ClientDataSet *cdsPaciente;
    ClientDataSet *cdsPesqPaci;
    ClientDataSet *cdsVerifServ;
    ClientDataSet *cdsVerifDieta;
    ClientDataSet *cdsNutricio;
    ClientDataSet *cdsValidaServ;
    ClientDataSet *cdsNrServInte;
    ClientDataSet *cdsVerifObs;
    ClientDataSet *cdsDescHabi;
    ClientDataSet *cdsVerifViaAcesso;
    ClientDataSet *cdsVerifProd;
    ClientDataSet *cdsVerifPrato;
    TADOIBQuery *qryFilial;
    TADOIBQuery *qryParaDiet;

    QList<RecordLevel> m_levels;
    QList<CodeColumn> m_codeColumns;
    RecordLevelId m_commandLevel = RecordLevelId::Services;
    // The patient list's current patient, kept across closing and reloading
    // the list so that it stays the current row.
    QString m_listPatient;
    // Where a deletion of a service record stands (see cdsServInteAfterScroll).
    enum class Deletion { None, Removing, Sent };
    Deletion m_deletion = Deletion::None;
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
