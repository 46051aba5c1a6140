// The nutrient calculation screen: its datasets, controls and creation.

#include "nutrientcalc/frmcalcnutri.h"

#include "core/clientdataset.h"
#include "net/servercall.h"
#include "net/tnetconnection.h"
#include "screens/guardedconnect.h"
#include "screens/screencommands.h"
#include "widgets/dbgrid.h"

#include <QAction>
#include <QChartView>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

enum class Kind { Text, Moment, Day, Volume, Figure, Whole, Hidden };

// A field of the calculation's packets: moments to the minute, days as dates, volumes
// with three decimals, energy, protein and percentages with one, minutes and
// counts whole.
FieldDef field(const char *name, Kind kind, const char *label = "")
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.label = QString::fromUtf8(label);
    def.readOnly = true;
    def.visible = kind != Kind::Hidden;
    switch (kind) {
    case Kind::Text:
    case Kind::Hidden:
        def.size = 100;
        break;
    case Kind::Moment:
        def.type = FieldType::DateTime;
        def.displayFormat = QStringLiteral("dd/MM/yyyy HH:mm");
        break;
    case Kind::Day:
        def.type = FieldType::DateTime;
        def.displayFormat = QStringLiteral("dd/MM/yyyy");
        break;
    case Kind::Volume:
        def.type = FieldType::Real;
        def.displayFormat = QStringLiteral("#,##0.000");
        break;
    case Kind::Figure:
        def.type = FieldType::Real;
        def.displayFormat = QStringLiteral("#,##0.0");
        def.editFormat = QStringLiteral("##0.000");
        break;
    case Kind::Whole:
        def.type = FieldType::Real;
        def.displayFormat = QStringLiteral("#,##0");
        break;
    }
    return def;
}

// A figure the nutritionist types, shown with `format`.
FieldDef typedFigure(const char *name, const char *label, const char *format)
{
    FieldDef def = field(name, Kind::Figure, label);
    def.readOnly = false;
    def.displayFormat = QString::fromLatin1(format);
    return def;
}

ClientDataSet *declare(QObject *owner, const char *name, std::initializer_list<FieldDef> fields)
{
    auto *dataSet = new ClientDataSet(owner);
    dataSet->setObjectName(QString::fromLatin1(name));
    for (const FieldDef &def : fields)
        dataSet->AddField(def);
    return dataSet;
}

// The day's figures, shared by the items and the totals.
const QVector<FieldDef> &figureFields()
{
    static const QVector<FieldDef> fields = {
        field("QTPRATCONF", Kind::Volume, "Vol. Prescrito"),
        field("QTINFUCONF", Kind::Volume, "Vol. Infundido"),
        field("PCINFUNDIDO", Kind::Figure, "% Infundido"),
        field("QTKCALPRESC", Kind::Figure, "kcal Prescritas"),
        field("QTKCALINFU", Kind::Figure, "kcal Infundidas"),
        field("QTPROTPRESC", Kind::Figure, "Proteína Prescrita (g)"),
        field("QTPROTINFU", Kind::Figure, "Proteína Infundida (g)"),
        field("QTINTERRUP", Kind::Whole, "Interrupções"),
        field("QTMININTERR", Kind::Whole, "Minutos Interrompidos"),
    };
    return fields;
}

// The figures of a day of the stay that the calculation shows as the day's
// adequacy: energy, then protein.
const QStringList adequacyFields = {
    QStringLiteral("QTKCALMETA"), QStringLiteral("QTKCALPRESC"), QStringLiteral("QTKCALINFU"),
    QStringLiteral("PCKCALPRESC"), QStringLiteral("PCKCALINFU"), QStringLiteral("QTPROTMETA"),
    QStringLiteral("QTPROTPRESC"), QStringLiteral("QTPROTINFU"), QStringLiteral("PCPROTPRESC"),
    QStringLiteral("PCPROTINFU"),
};

// A group box of captions and values side by side, `perRow` to a row; each
// value label is named `prefix` and the field.
QGroupBox *figureBox(QWidget *parent, const QString &title, const char *name, const QString &prefix,
                     const QVector<FieldDef> &fields, int perRow)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setAccessibleName(title);
    auto *layout = new QGridLayout(box);
    int index = 0;
    for (const FieldDef &def : fields) {
        const QString caption = def.label;
        auto *name = new QLabel(caption + QLatin1Char(':'), box);
        auto *value = new QLabel(box);
        value->setObjectName(prefix + def.name);
        value->setAccessibleName(caption);
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        name->setBuddy(value);
        const int row = index / perRow;
        const int column = index % perRow * 3;
        layout->addWidget(name, row, column);
        layout->addWidget(value, row, column + 1);
        layout->setColumnMinimumWidth(column + 2, 24);
        ++index;
    }
    return box;
}

// "hhmm" is shown as hh:mm; an editor gets the text itself, its mask adds
// the colon.
QString hourText(Field &hour, bool displayText)
{
    const QString text = hour.AsString();
    return displayText && text.size() == 4 ? text.left(2) + QLatin1Char(':') + text.mid(2) : text;
}

TDBGrid *newGrid(QWidget *parent, const char *name, const QString &accessibleName, ClientDataSet *dataSet)
{
    auto *grid = new TDBGrid(parent);
    grid->setObjectName(QString::fromLatin1(name));
    grid->setAccessibleName(accessibleName);
    grid->SetDataSet(dataSet);
    return grid;
}

// A page of the tab widget holding the widgets one under the other, the
// first taking the spare room.
QWidget *page(std::initializer_list<QWidget *> widgets)
{
    auto *holder = new QWidget;
    auto *layout = new QVBoxLayout(holder);
    int stretch = 1;
    for (QWidget *widget : widgets) {
        layout->addWidget(widget, stretch);
        stretch = 0;
    }
    return holder;
}

} // namespace

TfrmCalcNutri::TfrmCalcNutri(const QVariant &value, QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmCalcNutri"));
    setWindowTitle(tr("Cálculo de Nutrientes"));
    SetCodTela(QStringLiteral("VQN19040"));
    // Patient, "S", day, branch: the order the editor hands them in.
    const QVariantList values = value.toList();
    m_patient = values.value(0).toString();
    m_day = values.value(2).toDate();
    m_branch = values.value(3).toString();

    netCalcNutri = NewEntPatConnection(this, QStringLiteral("netCalcNutri"));
    declareDataSets();
    buildControls();
    resize(1100, 700);
}

TfrmCalcNutri::~TfrmCalcNutri() = default;

void TfrmCalcNutri::declareDataSets()
{
    cdsItens = declare(this, "cdsItens",
                       {field("NRSEQUSERV", Kind::Hidden), field("CDSEQUCOPR", Kind::Text, "Item"),
                        field("IDPREPCONF", Kind::Hidden), field("CDFORMULACAO", Kind::Hidden),
                        field("NMFORMULACAO", Kind::Text, "Formulação"), field("HRCONF", Kind::Text, "Hora"),
                        field("QTSERVCONF", Kind::Volume, "Veloc. (mL/h)"), field("QTKCALML", Kind::Hidden),
                        field("QTPROTML", Kind::Hidden), field("DTFIMPREV", Kind::Hidden)});
    for (const FieldDef &def : figureFields())
        cdsItens->AddField(def);
    cdsItens->FieldByName(QStringLiteral("HRCONF"))->OnGetText = hourText;

    cdsTotais = declare(this, "cdsTotais", {field("NMPACIENTE", Kind::Hidden)});
    for (const FieldDef &def : figureFields())
        cdsTotais->AddField(def);

    cdsInterrupcoes = declare(this, "cdsInterrupcoes",
                              {field("NRSEQUSERV", Kind::Hidden), field("CDSEQUCOPR", Kind::Text, "Item"),
                               field("NMFORMULACAO", Kind::Text, "Formulação"),
                               field("NMTPOCORINFU", Kind::Text, "Ocorrência"),
                               field("DTOCORINFU", Kind::Moment, "Registrada em"),
                               field("DTINIINTERR", Kind::Moment, "Início"), field("DTFIMINTERR", Kind::Moment, "Fim"),
                               field("CDTPOCORINFU", Kind::Hidden), field("QTMININTERR", Kind::Whole, "Minutos")});

    const FieldDef kcal = typedFigure("QTKCALML", "kcal/mL", "#,##0.000");
    const FieldDef protein = typedFigure("QTPROTML", "Proteína (g/mL)", "#,##0.000");
    cdsComposicao = declare(this, "cdsComposicao",
                            {field("IDPREPCONF", Kind::Hidden), field("CDFILIAL", Kind::Hidden),
                             field("CDFORMULA", Kind::Hidden), field("CDFORMULACAO", Kind::Text, "Código"),
                             field("NMFORMULACAO", Kind::Text, "Formulação"), field("SGUNIDADE", Kind::Text, "Unidade"),
                             kcal, protein});

    FieldDef hangTime = field("HRMAXHANG", Kind::Text, "Tempo máximo");
    hangTime.readOnly = false;
    hangTime.size = 4;
    hangTime.editMask = QStringLiteral("99:99;0; ");
    cdsParaHang = declare(this, "cdsParaHang",
                          {field("CDFILIAL", Kind::Hidden), field("IDPREPCONF", Kind::Text, "Sistema"), hangTime});
    cdsParaHang->FieldByName(QStringLiteral("IDPREPCONF"))->OnGetText = [](Field &system, bool) {
        return system.AsString() == QLatin1String("A") ? tr("Aberto") : tr("Fechado");
    };
    cdsParaHang->FieldByName(QStringLiteral("HRMAXHANG"))->OnGetText = hourText;
    declareGoalDataSets();
}

void TfrmCalcNutri::declareGoalDataSets()
{
    // The admission's own goals are edited; empty ones take the defaults
    // shown beside them.
    const FieldDef kcalGoal = typedFigure("QTKCALKG", "Energia (kcal/kg/dia)", "#,##0.00");
    const FieldDef proteinGoal = typedFigure("QTPROTKG", "Proteína (g/kg/dia)", "#,##0.00");
    cdsMetas = declare(this, "cdsMetas",
                       {field("CDFILIAL", Kind::Hidden), field("CDPACIENTE", Kind::Hidden),
                        field("DTINTERNA", Kind::Moment, "Internação"), kcalGoal, proteinGoal,
                        field("QTKCALKGPAD", Kind::Figure, "Padrão: energia (kcal/kg/dia)"),
                        field("QTPROTKGPAD", Kind::Figure, "Padrão: proteína (g/kg/dia)")});
    cdsEvolucao = declare(this, "cdsEvolucao",
                          {field("DTSERVINTE", Kind::Day, "Dia"), field("NRSERVPESO", Kind::Figure, "Peso (kg)"),
                           field("QTITENS", Kind::Whole, "Itens"), field("QTKCALMETA", Kind::Figure, "Meta (kcal)"),
                           field("QTKCALPRESC", Kind::Figure, "kcal Prescr."),
                           field("QTKCALINFU", Kind::Figure, "kcal Infund."),
                           field("PCKCALPRESC", Kind::Figure, "% Meta Prescr."),
                           field("PCKCALINFU", Kind::Figure, "% Meta Infund."),
                           field("QTKCALSALDO", Kind::Figure, "Saldo Acumulado (kcal)"),
                           field("QTPROTMETA", Kind::Figure, "Meta Prot. (g)"),
                           field("QTPROTPRESC", Kind::Figure, "Prot. Prescr. (g)"),
                           field("QTPROTINFU", Kind::Figure, "Prot. Infund. (g)"),
                           field("PCPROTPRESC", Kind::Figure, "% Meta Prot. Prescr."),
                           field("PCPROTINFU", Kind::Figure, "% Meta Prot. Infund."),
                           field("QTPROTSALDO", Kind::Figure, "Saldo Acumulado Prot. (g)")});
}

void TfrmCalcNutri::addCommandButton(QToolButton *&button, QAction *&action, const QString &name,
                                     const QString &text, const QString &hint, const QString &icon,
                                     void (TfrmCalcNutri::*handler)())
{
    action = CreateCommand(this, QStringLiteral("act") + name, text, hint, icon);
    addAction(action);
    connectGuarded(action, &QAction::triggered, this, handler);
    button = CreateCommandButton(panBotoes, QStringLiteral("sbt") + name, action);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Under Gravar, above Ajuda and Fechar.
    auto *buttons = static_cast<QVBoxLayout *>(panBotoes->layout());
    buttons->insertWidget(buttons->indexOf(sbtAjuda), button);
}

void TfrmCalcNutri::buildControls()
{
    actConfirma->setText(tr("&Gravar"));
    actConfirma->setToolTip(tr("Gravar a composição das formulações, os tempos máximos e as metas"));
    sbtConfirma->setAccessibleName(actConfirma->toolTip());
    addCommandButton(sbtAtualizar, actAtualizar, QStringLiteral("Atualizar"), tr("A&tualizar"),
                     tr("Calcular novamente"), QStringLiteral("view-refresh"), &TfrmCalcNutri::sbtAtualizarClick);
    actAtualizar->setShortcut(QKeySequence::Refresh);
    addCommandButton(sbtImprimir, actImprimir, QStringLiteral("Imprimir"), tr("&Imprimir"),
                     tr("Imprimir o cálculo de nutrientes"), QStringLiteral("document-print"),
                     &TfrmCalcNutri::sbtImprimirClick);
    actImprimir->setShortcut(QKeySequence::Print);

    lblPaciente = new QLabel(grbDados);
    lblPaciente->setObjectName(QStringLiteral("lblPaciente"));
    lblPaciente->setAccessibleName(tr("Paciente e dia"));

    dbgItens = newGrid(grbDados, "dbgItens", tr("Itens do dia"), cdsItens);
    buildTotals();
    dbgInterrupcoes = newGrid(grbDados, "dbgInterrupcoes", tr("Interrupções da infusão"), cdsInterrupcoes);
    dbgComposicao = newGrid(grbDados, "dbgComposicao", tr("Composição das formulações"), cdsComposicao);
    auto *compositionHint = new QLabel(tr("Informe as kcal e a proteína por mL de cada formulação e grave."),
                                       grbDados);
    compositionHint->setBuddy(dbgComposicao);
    dbgParaHang = newGrid(grbDados, "dbgParaHang", tr("Tempo máximo de infusão por sistema"), cdsParaHang);
    auto *hangHint = new QLabel(tr("Tempo máximo de infusão de um volume prescrito em cada sistema, nesta filial."),
                                grbDados);
    hangHint->setBuddy(dbgParaHang);

    QVector<FieldDef> adequacy;
    for (const QString &name : adequacyFields)
        adequacy << cdsEvolucao->FieldByName(name)->def();
    grbAdequacao = figureBox(grbDados, tr("Adequação do dia às metas"), "grbAdequacao", QStringLiteral("lblAdequacao"),
                             adequacy, 5);
    lblMetaDia = new QLabel(grbAdequacao);
    lblMetaDia->setObjectName(QStringLiteral("lblMetaDia"));
    lblMetaDia->setAccessibleName(tr("Meta do dia"));
    lblMetaDia->setWordWrap(true);
    static_cast<QGridLayout *>(grbAdequacao->layout())->addWidget(lblMetaDia, 2, 0, 1, 15);
    dbgMetas = newGrid(grbDados, "dbgMetas", tr("Metas de energia e proteína da internação"), cdsMetas);
    auto *goalHint = new QLabel(tr("Metas por kg de peso e por dia; em branco, vale a meta padrão do padrão de "
                                   "internação ou da filial. O peso do dia é o do serviço do dia, senão o último "
                                   "anterior da internação."),
                                grbDados);
    goalHint->setWordWrap(true);
    goalHint->setBuddy(dbgMetas);

    chvVolumes = new QChartView(grbDados);
    chvVolumes->setObjectName(QStringLiteral("chvVolumes"));
    chvVolumes->setAccessibleName(tr("Gráfico do volume prescrito e infundido por item"));
    chvVolumes->setRenderHint(QPainter::Antialiasing);
    chvVolumes->setFocusPolicy(Qt::StrongFocus);
    chvVolumes->viewport()->setAccessibleName(chvVolumes->accessibleName());

    pgcCalculo = new QTabWidget(grbDados);
    pgcCalculo->setObjectName(QStringLiteral("pgcCalculo"));
    pgcCalculo->setAccessibleName(tr("Cálculo"));
    pgcCalculo->addTab(page({dbgItens, grbTotais, grbAdequacao}), tr("It&ens"));
    pgcCalculo->addTab(page({chvVolumes}), tr("Grá&fico"));
    pgcCalculo->addTab(page({dbgInterrupcoes}), tr("I&nterrupções"));
    pgcCalculo->addTab(page({dbgComposicao, compositionHint}), tr("&Composição"));
    pgcCalculo->addTab(page({dbgParaHang, hangHint}), tr("Tempo de Infu&são"));
    pgcCalculo->addTab(page({dbgMetas, goalHint}), tr("&Metas"));
    pgcCalculo->addTab(buildEvolutionPage(), tr("E&volução"));

    auto *grid = static_cast<QGridLayout *>(grbDados->layout());
    grid->addWidget(lblPaciente, 0, 0);
    grid->addWidget(pgcCalculo, 1, 0);
    grid->setRowStretch(1, 1);
}

void TfrmCalcNutri::buildTotals()
{
    // Every figure of the day in sight at once: caption and value side by
    // side, three to a row.
    grbTotais = figureBox(grbDados, tr("Totais do dia"), "grbTotais", QStringLiteral("lblTotal"), figureFields(), 3);
}

QWidget *TfrmCalcNutri::buildEvolutionPage()
{
    dbgEvolucao = newGrid(grbDados, "dbgEvolucao", tr("Evolução da internação dia a dia"), cdsEvolucao);
    chvEvolucao = new QChartView(grbDados);
    chvEvolucao->setObjectName(QStringLiteral("chvEvolucao"));
    chvEvolucao->setAccessibleName(tr("Gráfico da energia da meta, prescrita e infundida por dia"));
    chvEvolucao->setRenderHint(QPainter::Antialiasing);
    chvEvolucao->setFocusPolicy(Qt::StrongFocus);
    chvEvolucao->viewport()->setAccessibleName(chvEvolucao->accessibleName());
    QAction *print = CreateCommand(this, QStringLiteral("actImprimirEvolucao"), tr("Imprimir a e&volução"),
                                   tr("Imprimir a evolução da internação"), QStringLiteral("document-print"));
    addAction(print);
    connectGuarded(print, &QAction::triggered, this, &TfrmCalcNutri::sbtImprimirEvolucaoClick);
    sbtImprimirEvolucao = CreateCommandButton(grbDados, QStringLiteral("sbtImprimirEvolucao"), print);

    auto *holder = new QWidget;
    auto *layout = new QVBoxLayout(holder);
    layout->addWidget(dbgEvolucao, 1);
    layout->addWidget(chvEvolucao, 1);
    layout->addWidget(sbtImprimirEvolucao, 0, Qt::AlignRight);
    return holder;
}

QDialog *CriaCalcNutri(const QVariant &value, QWidget *parent)
{
    return new TfrmCalcNutri(value, parent);
}
