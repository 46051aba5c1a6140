// The editor's shell: its controls, creation, first activation and close.

#include "frmentparenteral.h"

#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "core/consiste.h"
#include "screens/datasetfile.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "screens/guardedconnect.h"
#include "screens/hostmainwindow.h"
#include "widgets/maskedit.h"
#include "net/tnetconnection.h"
#include "widgets/panel.h"
#include "screens/savedselection.h"
#include "core/velunor.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QSplitter>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QAction *newCommand(QWidget *form, const QString &objectName, const QString &text, const QString &hint,
                    const QKeySequence &shortcut = QKeySequence())
{
    auto *action = new QAction(text, form);
    action->setObjectName(objectName);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    return action;
}

// A label whose mnemonic focuses the control it names, which also gives the
// control its accessible name.
QLabel *newLabel(const QString &objectName, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(objectName);
    label->setBuddy(buddy);
    buddy->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    return label;
}

TEdit *newEdit(const QString &objectName, const QString &accessibleName, int maxLength, bool enabled)
{
    auto *edit = new TEdit;
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->SetMaxLength(maxLength);
    edit->setEnabled(enabled);
    return edit;
}

TPanel *newPanel(const QString &objectName)
{
    auto *panel = new TPanel;
    panel->setObjectName(objectName);
    return panel;
}

TDBGrid *newGrid(const QString &objectName, const QString &accessibleName, ClientDataSet *dataSet)
{
    auto *grid = new TDBGrid;
    grid->setObjectName(objectName);
    grid->setAccessibleName(accessibleName);
    grid->SetDataSet(dataSet);
    return grid;
}

QWidget *inVBox(QWidget *container, QWidget *child)
{
    auto *layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(child);
    return container;
}

} // namespace

TfrmEntParenteral::TfrmEntParenteral(QWidget *parent)
    : TfrmPadrao(parent)
{
    setObjectName(QStringLiteral("frmEntParenteral"));
    setWindowTitle(QStringLiteral("Enteral/Parenteral"));
    SetCodTela(QStringLiteral("VQN18000"));

    netEntPat = new TNetConnection(this);
    netEntPat->setObjectName(QStringLiteral("netEntPat"));
    netEntPat->SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    netEntPat->SetThrowException(false);
    netEntPat->BeforeConnect = [this](TNetConnection &) { netEntPatBeforeConnect(); };

    declareMessages();
    declarePatientDataSets();
    declareRecordDataSets();
    declareLookups();
    buildCommands();
    buildBranchPanel();
    buildPatientPanel();
    buildRecordArea();
    buildRecordLevels();
    buildCodeColumns();
    wirePatientList();
    wireServiceRecords();
    buildItemColumns();
    wireCompositionItems();
    wireOccurrences();
    SetActivePage(tshFormulario);
}

TfrmEntParenteral::~TfrmEntParenteral() = default;

void TfrmEntParenteral::buildCommands()
{
    N1 = mnuManutencao->addSeparator();
    N1->setObjectName(QStringLiteral("N1"));
    mnuFiltrar = newCommand(this, QStringLiteral("mnuFiltrar"), QStringLiteral("&Filtrar"),
                            QStringLiteral("Filtrar"), QKeySequence(Qt::CTRL | Qt::Key_L));
    mnuAutomatico = newCommand(this, QStringLiteral("mnuAutomatico"), QStringLiteral("A&utomático"),
                               QStringLiteral("Automático"), QKeySequence(Qt::CTRL | Qt::Key_A));
    mnuCalcNutr = newCommand(this, QStringLiteral("mnuCalcNutr"), QStringLiteral("Ca&lcular Nutrientes"),
                             QStringLiteral("Calcular Nutrientes"), QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuCopiar = newCommand(this, QStringLiteral("mnuCopiar"), QStringLiteral("Copiar For&mulação"),
                           QStringLiteral("Copiar Formulação"), QKeySequence(Qt::CTRL | Qt::Key_M));
    actEstatistica = newCommand(this, QStringLiteral("actEstatistica"),
                                QStringLiteral("Estatística de Dietas em Sistema Aberto"),
                                QStringLiteral("Estatística de Dietas em Sistema Aberto"));
    // Short captions on the tool bar; the menu keeps the full texts and the
    // buttons their full hints.
    mnuCalcNutr->setIconText(QStringLiteral("Nutrientes"));
    mnuCopiar->setIconText(QStringLiteral("Copiar"));
    actEstatistica->setIconText(QStringLiteral("Estatística"));
    mnuAutomatico->setEnabled(false);
    mnuCalcNutr->setEnabled(false);
    mnuManutencao->addAction(mnuFiltrar);
    mnuManutencao->addAction(mnuAutomatico);
    mnuManutencao->addAction(mnuCalcNutr);
    mnuManutencao->addAction(mnuCopiar);

    sbtFiltrar = AddToolButton(QStringLiteral("sbtFiltrar"), mnuFiltrar);
    sbtCalcNutri = AddToolButton(QStringLiteral("sbtCalcNutri"), mnuCalcNutr);
    sbtAutomatico = AddToolButton(QStringLiteral("sbtAutomatico"), mnuAutomatico);
    sbtCopiar = AddToolButton(QStringLiteral("sbtCopiar"), mnuCopiar);
    sbtEstatistica = AddToolButton(QStringLiteral("sbtEstatistica"), actEstatistica);

    connectGuarded(mnuFiltrar, &QAction::triggered, this, &TfrmEntParenteral::sbtFiltrarClick);
    connectGuarded(mnuCalcNutr, &QAction::triggered, this, &TfrmEntParenteral::sbtCalcNutriClick);
    connectGuarded(mnuCopiar, &QAction::triggered, this, &TfrmEntParenteral::sbtCopiarClick);
    connectGuarded(actEstatistica, &QAction::triggered, this, &TfrmEntParenteral::sbtEstatisticaClick);
    connectGuarded(mnuAutomatico, &QAction::triggered, this, &TfrmEntParenteral::sbtAutomaticoClick);
}

void TfrmEntParenteral::buildBranchPanel()
{
    panFilial = newPanel(QStringLiteral("panFilial"));
    medFilial = new TMaskEdit;
    medFilial->setObjectName(QStringLiteral("medFilial"));
    medFilial->SetEditMask(QStringLiteral(">aaaa;0; "));
    medFilial->SetMaxLength(4);
    lblFilial = newLabel(QStringLiteral("lblFilial"), QStringLiteral("Fi&lial"), medFilial);
    btnFilial = new TBtnPesquisa;
    btnFilial->setObjectName(QStringLiteral("btnFilial"));
    btnFilial->setAccessibleName(QStringLiteral("Pesquisar filial"));
    btnFilial->SetEdit(medFilial);
    btnFilial->SetDataSource(qryFilial);
    btnFilial->Title = QStringLiteral("Filial");
    btnFilial->EmptyText = QStringLiteral("Não há filial cadastrada.");
    edtFilial = newEdit(QStringLiteral("edtFilial"), QStringLiteral("Nome da filial"), 30, false);

    auto *layout = new QHBoxLayout(panFilial);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(lblFilial);
    layout->addWidget(medFilial);
    layout->addWidget(btnFilial);
    layout->addWidget(edtFilial, 1);
    AddAbovePages(panFilial);

    panFilial->OnEnter = [this] { panFilialEnter(); };
    panFilial->OnExit = [this] { panFilialExit(); };
    medFilial->OnEnter = [this] { medFilialEnter(); };
    medFilial->OnKeyPress = [this](QChar &key) { medFilialKeyPress(key); };
    medFilial->OnChange = [this] { medFilialChange(); };
    btnFilial->OnBeforePesq = [this](TBtnPesquisa &) {
        qryFilial->Close();
        qryFilial->Open();
    };
    btnFilial->OnAfterPesq = [this](TBtnPesquisa &) { btnFilialAfterPesq(); };
}

void TfrmEntParenteral::buildPatientPanel()
{
    panInfPaciente = newPanel(QStringLiteral("panInfPaciente"));
    edtCdPaciente = newEdit(QStringLiteral("edtCdPaciente"), QString(), 12, true);
    Label1 = newLabel(QStringLiteral("Label1"), QStringLiteral("&Paciente"), edtCdPaciente);
    BtnPesquisa1 = new TBtnPesquisa;
    BtnPesquisa1->setObjectName(QStringLiteral("BtnPesquisa1"));
    BtnPesquisa1->setAccessibleName(QStringLiteral("Pesquisar paciente"));
    BtnPesquisa1->SetEdit(edtCdPaciente);
    BtnPesquisa1->SetDataSource(cdsPesqPaci);
    edtNmPaciente = newEdit(QStringLiteral("edtNmPaciente"), QStringLiteral("Nome do paciente"), 80, false);
    edtIdade = newEdit(QStringLiteral("edtIdade"), QStringLiteral("Idade"), 20, false);
    edtLeito = newEdit(QStringLiteral("edtLeito"), QStringLiteral("Leito"), 12, false);

    auto *layout = new QHBoxLayout(panInfPaciente);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(Label1);
    layout->addWidget(edtCdPaciente);
    layout->addWidget(BtnPesquisa1);
    layout->addWidget(edtNmPaciente, 3);
    layout->addWidget(edtIdade, 1);
    layout->addWidget(edtLeito, 1);

    panInfPaciente->OnExit = [this] { panInfPacienteExit(); };
    edtCdPaciente->OnEnter = [this] { edtCdPacienteEnter(); };
    edtCdPaciente->OnKeyPress = [this](QChar &key) { edtCdPacienteKeyPress(key); };
    edtCdPaciente->OnChange = [this] { edtCdPacienteChange(); };
    BtnPesquisa1->OnClick = [this] { BtnPesquisa1Click(); };
}

void TfrmEntParenteral::buildRecordArea()
{
    dbgServico = newGrid(QStringLiteral("dbgServico"), QStringLiteral("Serviços"), cdsServInte);
    dbgConfesco = newGrid(QStringLiteral("dbgConfesco"), QStringLiteral("Itens da composição"), cdsConfesco);
    dbgOcorrencia = newGrid(QStringLiteral("dbgOcorrencia"), QStringLiteral("Ocorrências"), cdsOcorrencia);
    dbgServico->SetColumns({
        {QStringLiteral("DTSERVINTE"), QStringLiteral("Data"), 90},
        {QStringLiteral("CDSERVFILI"), QStringLiteral("Serviço"), 220},
        {QStringLiteral("CDDIETPAD"), QStringLiteral("Dieta"), 260},
        {QStringLiteral("NMOPERADOR"), QStringLiteral("Profissional"), 220, true},
        {QStringLiteral("NRSERVPESO"), QStringLiteral("Peso"), 90},
    });

    Panel3 = newPanel(QStringLiteral("Panel3"));
    inVBox(Panel3, dbgServico);
    Panel4 = newPanel(QStringLiteral("Panel4"));
    inVBox(Panel4, dbgConfesco);
    Splitter1 = new QSplitter(Qt::Vertical);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->addWidget(Panel3);
    Splitter1->addWidget(Panel4);
    Panel1 = newPanel(QStringLiteral("Panel1"));
    inVBox(Panel1, Splitter1);
    Panel2 = newPanel(QStringLiteral("Panel2"));
    inVBox(Panel2, dbgOcorrencia);
    Splitter2 = new QSplitter(Qt::Vertical);
    Splitter2->setObjectName(QStringLiteral("Splitter2"));
    Splitter2->addWidget(Panel1);
    Splitter2->addWidget(Panel2);
    Splitter2->setStretchFactor(0, 3);
    Splitter2->setStretchFactor(1, 1);

    auto *page = new QVBoxLayout(tshFormulario);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(panInfPaciente);
    page->addWidget(Splitter2, 1);
    setTabOrder(edtCdPaciente, dbgServico);
    setTabOrder(dbgServico, dbgConfesco);
    setTabOrder(dbgConfesco, dbgOcorrencia);

    Panel1->OnEnter = [this] { Panel1Enter(); };
}

void TfrmEntParenteral::FormCreate()
{
    TfrmPadrao::FormCreate();
    boFiltroCriado = false;
    boValidaConfesco = true;
    cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->SetEditMask(DateMask());
    cdsConfesco->FieldByName(QStringLiteral("DTCONSCONF"))->SetEditMask(DateMask());
    cdsOcorrencia->FieldByName(QStringLiteral("DTOCORINFU"))
        ->SetEditMask(DateMask().chopped(4) + QStringLiteral(" 99:99;1; "));
    boPrimVez = true;
}

void TfrmEntParenteral::netEntPatBeforeConnect()
{
    netEntPat->SetHost(WebURL());
    netEntPat->SetPort(WebPort());
}

void TfrmEntParenteral::FormActivate()
{
    TfrmPadrao::FormActivate();
    if (!boPrimVez)
        return;
    netEntPat->SetConnected(true);
    boPrimVez = false;
    resetFilter();
    Cli_vqn18000::stPath = savedSelectionPath();

    const bool savedSelection = QFileInfo::exists(Cli_vqn18000::stPath) && hostMainWindow();
    if (!savedSelection || !restoreSavedSelection()) {
        medFilial->SetText(FiliProc());
        edtFilial->SetText(NomeFiliProc());
        setBranchControlsEnabled(!ModuFili());
        if (medFilial->isEnabled())
            medFilial->setFocus();
    }
    // The page handling fills the page at once only when the branch is
    // fixed; otherwise the commands still follow the page shown.
    if (ModuFili())
        pgcPadraoChange();
    else
        UpdateCommands();
}

void TfrmEntParenteral::resetFilter()
{
    const QString all = QStringLiteral("T");
    stFiltroTodosPaci = stFiltroTodosAla = stFiltroTodosAndar = stFiltroTodosPadInter = all;
    stFiltroTodasDatas = all;
    stFiltroPaci.clear();
    stFiltroAla.clear();
    stFiltroAndar.clear();
    stFiltroPadInter.clear();
}

void TfrmEntParenteral::setBranchControlsEnabled(bool enabled)
{
    lblFilial->setEnabled(enabled);
    medFilial->setEnabled(enabled);
    btnFilial->setEnabled(enabled);
}

void TfrmEntParenteral::FormClose()
{
    Cli_vqn18000::boStCriado = false;
    TfrmPadrao::FormClose();
}

QString TfrmEntParenteral::BranchCode() const
{
    return medFilial->Text();
}
