// The automatic schedule dialog: its controls, searches, field exits and
// confirmation checks.

#include "frmautoenteral.h"

#include "common/hourtext.h"
#include "net/servercall.h"
#include "editor/frmentparenteral.h"

#include "core/abort.h"
#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "core/consiste.h"
#include "widgets/dateeditplus.h"
#include "widgets/edit.h"
#include "screens/guardedconnect.h"
#include "widgets/maskedit.h"
#include "widgets/numberedit.h"
#include "net/tnetconnection.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>

namespace {

const QString kAberto = QStringLiteral("Aberto");
const QString kFechado = QStringLiteral("Fechado");

TEdit *newNameEdit(const QString &objectName, const QString &accessibleName, int maxLength)
{
    auto *edit = new TEdit;
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->SetMaxLength(maxLength);
    edit->setEnabled(false);
    return edit;
}

TMaskEdit *newMaskEdit(const QString &objectName, const QString &mask, int maxLength)
{
    auto *edit = new TMaskEdit;
    edit->setObjectName(objectName);
    edit->SetEditMask(mask);
    edit->SetMaxLength(maxLength);
    return edit;
}

TNumberEdit *newNumberEdit(const QString &objectName)
{
    auto *edit = new TNumberEdit;
    edit->setObjectName(objectName);
    edit->SetDecimals(3);
    edit->SetThousandSeparator(false);
    return edit;
}

TBtnPesquisa *newSearchButton(const QString &objectName, const QString &accessibleName, TEdit *edit,
                              const QString &title, const QString &emptyText)
{
    auto *button = new TBtnPesquisa;
    button->setObjectName(objectName);
    button->SetEdit(edit);
    button->Title = title;
    button->EmptyText = emptyText;
    button->setAccessibleName(accessibleName);
    return button;
}

// One row of the data group: the label (naming its control for assistive
// technology) and the control with any companions beside it.
void addRow(QGridLayout *grid, const QString &text, QWidget *control, std::initializer_list<QWidget *> beside = {})
{
    const int row = grid->rowCount();
    auto *label = new QLabel(text);
    label->setBuddy(control);
    if (control->accessibleName().isEmpty())
        control->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    grid->addWidget(label, row, 0);
    auto *line = new QHBoxLayout;
    line->addWidget(control);
    for (QWidget *widget : beside)
        line->addWidget(widget, 1);
    if (beside.size() == 0)
        line->addStretch(1);
    grid->addLayout(line, row, 1);
}

} // namespace

TfrmAutoEnteral::TfrmAutoEnteral(QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmAutoEnteral"));
    setWindowTitle(QStringLiteral("Automático"));
    SetCodTela(QStringLiteral("VQN18030"));
    declareMessages();
    buildControls();
}

TfrmAutoEnteral::~TfrmAutoEnteral() = default;

void TfrmAutoEnteral::declareMessages()
{
    const QString bar = QStringLiteral("Automático");
    msgPadrao.Add({
        {QStringLiteral("Consumo_Inv"), bar, QStringLiteral("Hora de início de consumo inválida.")},
        {QStringLiteral("Data_Inf"), bar, QStringLiteral("Data de consumo deve ser informada.")},
        {QStringLiteral("Fomulacao_NCad"), bar, QStringLiteral("Não há formulação cadastrada.")},
        {QStringLiteral("Fomulacao"), bar, QStringLiteral("Formulação")},
        {QStringLiteral("DataCons_Inf"), bar, QStringLiteral("Data de consumo deve ser informada.")},
        {QStringLiteral("DataCons_MaiorServ"), bar,
         QStringLiteral("Data de consumo deve ser maior ou igual a data do serviço.")},
        {QStringLiteral("Consumo_Inf"), bar, QStringLiteral("Hora de início de consumo deve ser informado.")},
        {QStringLiteral("Intervalo_Inf"), bar, QStringLiteral("Intervalo deve ser informado.")},
        {QStringLiteral("Intervalo_Inv"), bar, QStringLiteral("Intervalo inválido.")},
        {QStringLiteral("Periodo_Inf"), bar, QStringLiteral("Período deve ser informado.")},
        {QStringLiteral("Periodo_Inv"), bar, QStringLiteral("Período inválido.")},
        {QStringLiteral("Periodo_Intervalo"), bar, QStringLiteral("Intervalo deve ser menor que o período.")},
        {QStringLiteral("Quantid_Inf"), bar, QStringLiteral("Quantidade deve ser informada.")},
        {QStringLiteral("Quantid_Dif"), bar, QStringLiteral("Quantidade deve ser maior do que zero.")},
        {QStringLiteral("Velo_Inf"), bar, QStringLiteral("Velocidade deve ser informada.")},
        {QStringLiteral("Velo_Dif"), bar, QStringLiteral("Velocidade deve ser maior do que zero.")},
        {QStringLiteral("Formulacao_Inf"), bar, QStringLiteral("Formulação deve ser informada.")},
        {QStringLiteral("ViaAcesso_Inf"), bar, QStringLiteral("Via de acesso deve ser informada.")},
        {QStringLiteral("ValCons_Inv"), bar,
         QStringLiteral("Valor inválido. A quantidade de horas deve estar no formato 'HHHH:MM'.")},
        {QStringLiteral("Quant_Infu_Menor"), bar,
         QStringLiteral("A quantidade infundida deve ser menor ou igual a quantidade prescrita.")},
    });
}

void TfrmAutoEnteral::buildControls()
{
    dbeDieta = newNameEdit(QStringLiteral("dbeDieta"), QString(), 50);
    cbbPrepara = new QComboBox;
    cbbPrepara->setObjectName(QStringLiteral("cbbPrepara"));
    cbbPrepara->addItems({kAberto, kFechado});
    edtNmPrato = newNameEdit(QStringLiteral("edtNmPrato"), QStringLiteral("Nome da formulação"), 50);
    edtSgUnidade = newNameEdit(QStringLiteral("edtSgUnidade"), QStringLiteral("Unidade da formulação"), 10);
    btnFormulacao = newSearchButton(QStringLiteral("btnFormulacao"), QStringLiteral("Pesquisar formulação"),
                                    edtNmPrato, msgPadrao.Msg(QStringLiteral("Fomulacao")),
                                    msgPadrao.Msg(QStringLiteral("Fomulacao_NCad")));
    edtViaAcesso = newNameEdit(QStringLiteral("edtViaAcesso"), QStringLiteral("Nome da via de acesso"), 30);
    btnViaAcesso = newSearchButton(QStringLiteral("btnViaAcesso"), QStringLiteral("Pesquisar via de acesso"),
                                   edtViaAcesso, QStringLiteral("Via de Acesso"),
                                   QStringLiteral("Não há via de acesso cadastrada."));
    depData = new TDateEditPlus;
    depData->setObjectName(QStringLiteral("depData"));
    depData->SetWeekdayNames({QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                              QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                              QStringLiteral("Sábado")});
    medHrConsumo = newMaskEdit(QStringLiteral("medHrConsumo"), QStringLiteral("99:99;0; "), 5);
    medIntervalo = newMaskEdit(QStringLiteral("medIntervalo"), QStringLiteral("9999:99;1; "), 7);
    medPeriodo = newMaskEdit(QStringLiteral("medPeriodo"), QStringLiteral("9999:99;1; "), 7);
    nedVolPresc = newNumberEdit(QStringLiteral("nedVolPresc"));
    nedVolInfu = newNumberEdit(QStringLiteral("nedVolInfu"));
    nedVelo = newNumberEdit(QStringLiteral("nedVelo"));

    auto *grid = static_cast<QGridLayout *>(grbDados->layout());
    addRow(grid, QStringLiteral("Dieta"), dbeDieta);
    addRow(grid, QStringLiteral("&Preparação"), cbbPrepara);
    addRow(grid, QStringLiteral("&Formulação"), btnFormulacao, {edtNmPrato, edtSgUnidade});
    addRow(grid, QStringLiteral("&Via de Acesso"), btnViaAcesso, {edtViaAcesso});
    addRow(grid, QStringLiteral("&Data de Consumo"), depData);
    addRow(grid, QStringLiteral("&Hora de Início de Consumo"), medHrConsumo);
    addRow(grid, QStringLiteral("&Intervalo"), medIntervalo);
    addRow(grid, QStringLiteral("P&eríodo"), medPeriodo);
    addRow(grid, QStringLiteral("Vol. P&rescrito"), nedVolPresc);
    addRow(grid, QStringLiteral("Vol. I&nfundido"), nedVolInfu);
    addRow(grid, QStringLiteral("Ve&locidade"), nedVelo);
    const QList<QWidget *> order = {dbeDieta,     cbbPrepara,   btnFormulacao, edtNmPrato, edtSgUnidade,
                                    btnViaAcesso, edtViaAcesso, depData,       medHrConsumo, medIntervalo,
                                    medPeriodo,   nedVolPresc,  nedVolInfu,    nedVelo};
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    connectGuarded(cbbPrepara, &QComboBox::currentIndexChanged, this, &TfrmAutoEnteral::cbbPreparaChange);
    btnFormulacao->OnClick = [this] { btnFormulacaoClick(); };
    btnFormulacao->OnAfterPesq = [this](TBtnPesquisa &) { btnFormulacaoAfterPesq(); };
    btnViaAcesso->OnBeforePesq = [this](TBtnPesquisa &) { btnViaAcessoBeforePesq(); };
    btnViaAcesso->OnAfterPesq = [this](TBtnPesquisa &) { btnViaAcessoAfterPesq(); };
    depData->OnExit = [this] { depDataExit(); };
    medHrConsumo->OnExit = [this] { medHrConsumoExit(); };
    medIntervalo->OnEnter = [this] { medIntervaloEnter(); };
    medIntervalo->OnExit = [this] { medIntervaloExit(); };
    medPeriodo->OnEnter = [this] { medPeriodoEnter(); };
    medPeriodo->OnExit = [this] { medPeriodoExit(); };
}

TfrmEntParenteral &TfrmAutoEnteral::editor() const
{
    return *Cli_vqn18000::frmEntParenteral;
}

QString TfrmAutoEnteral::preparationCode() const
{
    return cbbPrepara->currentText() == kAberto ? QStringLiteral("A") : QStringLiteral("F");
}

void TfrmAutoEnteral::FormCreate()
{
    TfrmRotiGeral::FormCreate();
    cbbPrepara->setCurrentIndex(0);
    stCdViaAcesso.clear();
    const ClientDataSet &record = *editor().cdsServInte;
    if (record.Active() && !record.IsEmpty())
        dbeDieta->SetText(record.FieldByName(QStringLiteral("DSDIETPAD"))->AsString());
    btnViaAcesso->SetDataSource(editor().qryViaAcesso);
    m_hangLimits = HangLimits::load(*editor().netEntPat, editor().BranchCode());
}

void TfrmAutoEnteral::cbbPreparaChange()
{
    edtNmPrato->clear();
    edtSgUnidade->clear();
}

void TfrmAutoEnteral::btnFormulacaoClick()
{
    TfrmEntParenteral &form = editor();
    const QString preparation = preparationCode();
    {
        WaitAnimation wait(this, 0);
        form.netEntPat->SetConnected(true);
        LoadFromServer(*form.cdsFormulacao, *form.netEntPat, QStringLiteral("getFormulacao"),
                       {preparation, QString::number(DBPictObj(1).GetTtNiveis()),
                        QString::number(DBPictObj(0).GetTtNiveis()), form.BranchCode()});
    }
    btnFormulacao->SetDataSource(form.cdsFormulacao);
    form.cdsFormulacao->FieldByName(QStringLiteral("CDFORMULACAO"))
        ->SetEditMask(DBPict(preparation == QLatin1String("A") ? 1 : 0));
    btnFormulacao->Pesquisa();
}

void TfrmAutoEnteral::btnFormulacaoAfterPesq()
{
    const ClientDataSet &formulations = *editor().cdsFormulacao;
    edtNmPrato->SetText(formulations.FieldByName(QStringLiteral("NMFORMULACAO"))->AsString());
    edtSgUnidade->SetText(formulations.FieldByName(QStringLiteral("SGFORMULACAO"))->AsString());
}

void TfrmAutoEnteral::btnViaAcessoBeforePesq()
{
    editor().qryViaAcesso->Close();
}

void TfrmAutoEnteral::btnViaAcessoAfterPesq()
{
    const TADOIBQuery &routes = *editor().qryViaAcesso;
    edtViaAcesso->SetText(routes.FieldByName(QStringLiteral("NMVIACESDIET"))->AsString());
    stCdViaAcesso = routes.FieldByName(QStringLiteral("CDVIACESDIET"))->AsString();
}

void TfrmAutoEnteral::depDataExit()
{
    depData->CheckValidDate();
}

void TfrmAutoEnteral::checkStartHour()
{
    const QString hour = Ajusta_Hora(medHrConsumo->Text());
    medHrConsumo->SetText(hour);
    if (hour.left(2) > QLatin1String("23") || hour.mid(2, 2) > QLatin1String("59")) {
        medHrConsumo->setFocus();
        MensErro(msgPadrao.Msg(QStringLiteral("Consumo_Inv")));
    }
}

void TfrmAutoEnteral::medHrConsumoExit()
{
    checkStartHour();
}

void TfrmAutoEnteral::medIntervaloEnter()
{
    stTextoEntrada = medIntervalo->Text();
}

void TfrmAutoEnteral::medPeriodoEnter()
{
    stTextoEntrada = medPeriodo->Text();
}

void TfrmAutoEnteral::normaliseDuration(TMaskEdit &edit)
{
    if (edit.Text() == stTextoEntrada)
        return;
    edit.SetText(RealToStTime(StTimeReal(edit.Text(), msgPadrao)));
}

void TfrmAutoEnteral::medIntervaloExit()
{
    normaliseDuration(*medIntervalo);
}

void TfrmAutoEnteral::medPeriodoExit()
{
    normaliseDuration(*medPeriodo);
}

void TfrmAutoEnteral::sbtConfirmaClick()
{
    TfrmRotiGeral::sbtConfirmaClick();
    const QDate consumption = depData->GetDate();
    checkEntries(consumption);
    confirmHangTime();
    medHrConsumo->setFocus();
    generateItems(consumption);
}

void TfrmAutoEnteral::checkEntries(const QDate &consumption)
{
    const auto refuse = [this](QWidget *focus, const char *key) {
        if (focus)
            focus->setFocus();
        MensErro(msgPadrao.Msg(QString::fromLatin1(key)));
    };
    if (EmptyString(edtNmPrato->Text()))
        refuse(nullptr, "Formulacao_Inf");
    if (EmptyString(edtViaAcesso->Text()))
        refuse(nullptr, "ViaAcesso_Inf");
    if (EmptyString(depData->Text()))
        refuse(depData, "DataCons_Inf");
    const QDate serviceDate = editor().cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date();
    if (consumption < serviceDate)
        refuse(depData, "DataCons_MaiorServ");
    if (EmptyString(medHrConsumo->Text()))
        refuse(medHrConsumo, "Consumo_Inf");
    checkStartHour();
    if (EmptyString(medIntervalo->Text()))
        refuse(medIntervalo, "Intervalo_Inf");
    const double interval = StTimeReal(medIntervalo->Text(), msgPadrao);
    if (interval == 0)
        refuse(medIntervalo, "Intervalo_Inv");
    if (EmptyString(medPeriodo->Text()))
        refuse(medPeriodo, "Periodo_Inf");
    const double period = StTimeReal(medPeriodo->Text(), msgPadrao);
    if (period == 0)
        refuse(medPeriodo, "Periodo_Inv");
    if (interval > period)
        refuse(medIntervalo, "Periodo_Intervalo");
    if (EmptyString(nedVolPresc->text()))
        refuse(nedVolPresc, "Quantid_Inf");
    if (EmptyString(nedVolInfu->text()))
        refuse(nedVolInfu, "Quantid_Inf");
    if (!(nedVolPresc->GetNumber() > 0))
        refuse(nedVolPresc, "Quantid_Dif");
    if (!(nedVolInfu->GetNumber() > 0))
        refuse(nedVolInfu, "Quantid_Dif");
    if (nedVolPresc->GetNumber() < nedVolInfu->GetNumber())
        refuse(nedVolInfu, "Quant_Infu_Menor");
    if (EmptyString(nedVelo->text()))
        refuse(nedVelo, "Velo_Inf");
    if (!(nedVelo->GetNumber() > 0))
        refuse(nedVelo, "Velo_Dif");
}

void TfrmAutoEnteral::confirmHangTime()
{
    if (!ConfirmHangTime(m_hangLimits, preparationCode(), nedVolPresc->GetNumber(), nedVelo->GetNumber(),
                         edtNmPrato->Text())) {
        nedVolPresc->setFocus();
        throw Abort();
    }
}
