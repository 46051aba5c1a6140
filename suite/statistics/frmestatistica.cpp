// The statistics screen: period and system, the two tables with their
// charts, the totals and the CSV export.

#include "frmestatistica.h"

#include "csvtext.h"
#include "statisticscharts.h"

#include "core/fielddefs.h"
#include "core/datetext.h"
#include "widgets/screenwidgets.h"
#include "net/servercall.h"

#include "core/clientdataset.h"
#include "core/interaction.h"
#include "core/messages.h"
#include "core/velunor.h"
#include "net/tnetconnection.h"
#include "screens/guardedconnect.h"
#include "screens/screencommands.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "widgets/waitanimation.h"

#include <QAction>
#include <QBoxLayout>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QJsonArray>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QSaveFile>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The systems offered, in the combo's order, with their codes.
const QStringList kSystems = {QStringLiteral("Aberto"), QStringLiteral("Fechado"), QStringLiteral("Todos")};
const QStringList kSystemCodes = {QStringLiteral("A"), QStringLiteral("F"), QStringLiteral("T")};

TDateEditPlus *newDateEdit(const QString &objectName)
{
    auto *edit = new TDateEditPlus;
    edit->setObjectName(objectName);
    return edit;
}

// A chart view gives up its previous chart without deleting it; each new
// period would otherwise leave the last one's chart behind.
void replaceChart(QChartView &view, QChart *chart)
{
    QChart *previous = view.chart();
    view.setChart(chart);
    delete previous;
}

QChartView *newChartView(const QString &objectName, const QString &accessibleName)
{
    auto *view = new QChartView;
    view->setObjectName(objectName);
    view->setAccessibleName(accessibleName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(240);
    return view;
}

// A page of the statistics: its table over its chart.
QWidget *newPage(QWidget *table, QWidget *below, QWidget *chart)
{
    auto *splitter = new QSplitter(Qt::Vertical);
    auto *top = new QWidget;
    auto *topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(table, 1);
    if (below)
        topLayout->addWidget(below);
    splitter->addWidget(top);
    splitter->addWidget(chart);
    return splitter;
}

// The values of a dataset's rows, one CSV line per row, in field order;
// reals with their field's decimals, dates as displayed.
QList<QStringList> csvRows(ClientDataSet &data, const QList<QPair<QString, int>> &columns)
{
    QList<QStringList> lines;
    QStringList header;
    for (const auto &[name, decimals] : columns)
        header << data.FieldByName(name)->DisplayLabel();
    lines << header;
    const int rows = data.Active() ? data.RecordCount() : 0;
    for (int row = 0; row < rows; ++row) {
        QStringList line;
        for (const auto &[name, decimals] : columns) {
            const QVariant value = data.valueAt(row, data.FieldByName(name)->Index());
            if (value.isNull())
                line << QString();
            else if (decimals >= 0)
                line << CsvNumber(value.toDouble(), decimals);
            else if (value.typeId() == QMetaType::QDateTime)
                line << data.displayTextAt(row, data.FieldByName(name)->Index());
            else
                line << value.toString();
        }
        lines << line;
    }
    return lines;
}

double columnSum(ClientDataSet &data, const QString &name)
{
    double sum = 0;
    const int rows = data.Active() ? data.RecordCount() : 0;
    for (int row = 0; row < rows; ++row)
        sum += data.valueAt(row, data.FieldByName(name)->Index()).toDouble();
    return sum;
}

} // namespace

TfrmEstatistica::TfrmEstatistica(const QVariant &value, QWidget *parent)
    : TfrmRotiGeral(parent)
    , m_branch(value.toString())
{
    setObjectName(QStringLiteral("frmEstatistica"));
    setWindowTitle(QStringLiteral("Estatística de Dietas"));
    SetCodTela(QStringLiteral("VQN18100"));
    if (m_branch.isEmpty())
        m_branch = FiliProc();

    netEstatistica = NewEntPatConnection(this, QStringLiteral("netEstatistica"));
    declareDataSets();
    buildControls();
    resize(1000, 700);
}

TfrmEstatistica::~TfrmEstatistica() = default;

void TfrmEstatistica::declareDataSets()
{
    cdsDietas = new ClientDataSet(this);
    cdsDietas->setObjectName(QStringLiteral("cdsDietas"));
    AddFields(*cdsDietas, {TextField(QStringLiteral("CDSERVFILI"), 5, QStringLiteral("Serviço")),
                           TextField(QStringLiteral("NMSERVICO"), 40, QStringLiteral("Nome do serviço")),
                           TextField(QStringLiteral("CDDIETPAD"), 4, QStringLiteral("Dieta")),
                           TextField(QStringLiteral("DSDIETPAD"), 50, QStringLiteral("Descrição da dieta")),
                           IntegerField(QStringLiteral("QTPRESCRICOES"), QStringLiteral("Prescrições")),
                           IntegerField(QStringLiteral("QTITENS"), QStringLiteral("Itens")),
                           RealField(QStringLiteral("QTPRESCRITO"), QStringLiteral("Prescrito (mL)"), 1),
                           RealField(QStringLiteral("QTINFUNDIDO"), QStringLiteral("Infundido (mL)"), 1),
                           RealField(QStringLiteral("PCENTREGUE"), QStringLiteral("Entregue (%)"), 1)});
    cdsInterrupcoes = new ClientDataSet(this);
    cdsInterrupcoes->setObjectName(QStringLiteral("cdsInterrupcoes"));
    AddFields(*cdsInterrupcoes, {TextField(QStringLiteral("CDTPOCORINFU"), 3, QStringLiteral("Ocorrência")),
                                 TextField(QStringLiteral("NMTPOCORINFU"), 100, QStringLiteral("Nome")),
                                 IntegerField(QStringLiteral("QTINTERRUPCOES"), QStringLiteral("Interrupções")),
                                 IntegerField(QStringLiteral("QTPACIENTES"), QStringLiteral("Pacientes"))});
}

void TfrmEstatistica::buildControls()
{
    depDataIni = newDateEdit(QStringLiteral("depDataIni"));
    depDataFim = newDateEdit(QStringLiteral("depDataFim"));
    cbbSistema = new QComboBox;
    cbbSistema->setObjectName(QStringLiteral("cbbSistema"));
    cbbSistema->addItems(kSystems);
    auto *filters = new QHBoxLayout;
    filters->addWidget(BuddyLabel(QStringLiteral("Data &inicial"), depDataIni));
    filters->addWidget(depDataIni);
    filters->addWidget(BuddyLabel(QStringLiteral("Data &final"), depDataFim));
    filters->addWidget(depDataFim);
    filters->addWidget(BuddyLabel(QStringLiteral("&Sistema"), cbbSistema));
    filters->addWidget(cbbSistema);
    filters->addStretch(1);

    dbgDietas = NewReadOnlyGrid(QStringLiteral("dbgDietas"), QStringLiteral("Prescrições por serviço e dieta"), cdsDietas);
    dbgDietas->SetColumns({{QStringLiteral("NMSERVICO"), {}, 170},
                           {QStringLiteral("DSDIETPAD"), {}, 210},
                           {QStringLiteral("QTPRESCRICOES"), {}, 85},
                           {QStringLiteral("QTITENS"), {}, 60},
                           {QStringLiteral("QTPRESCRITO"), {}, 110},
                           {QStringLiteral("QTINFUNDIDO"), {}, 110},
                           {QStringLiteral("PCENTREGUE"), {}, 95}});
    lblTotais = new QLabel;
    lblTotais->setObjectName(QStringLiteral("lblTotais"));
    lblTotais->setAccessibleName(QStringLiteral("Totais do período"));
    lblTotais->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    dbgInterrupcoes = NewReadOnlyGrid(QStringLiteral("dbgInterrupcoes"), QStringLiteral("Interrupções por tipo de ocorrência"),
                              cdsInterrupcoes);
    dbgInterrupcoes->SetColumns({{QStringLiteral("CDTPOCORINFU"), {}, 80},
                                 {QStringLiteral("NMTPOCORINFU"), {}, 300},
                                 {QStringLiteral("QTINTERRUPCOES"), {}, 95},
                                 {QStringLiteral("QTPACIENTES"), {}, 80}});
    chtVolumes = newChartView(QStringLiteral("chtVolumes"), QStringLiteral("Gráfico de volumes"));
    chtInterrupcoes = newChartView(QStringLiteral("chtInterrupcoes"), QStringLiteral("Gráfico de interrupções"));

    pgcEstatistica = new QTabWidget;
    pgcEstatistica->setObjectName(QStringLiteral("pgcEstatistica"));
    pgcEstatistica->setAccessibleName(QStringLiteral("Páginas da estatística"));
    pgcEstatistica->addTab(newPage(dbgDietas, lblTotais, chtVolumes), QStringLiteral("Serviços e &dietas"));
    pgcEstatistica->addTab(newPage(dbgInterrupcoes, nullptr, chtInterrupcoes), QStringLiteral("I&nterrupções"));
    pgcEstatistica->addTab(buildRiskPage(), QStringLiteral("Pacientes em &risco"));

    auto *grid = static_cast<QGridLayout *>(grbDados->layout());
    grid->addLayout(filters, 0, 0);
    grid->addWidget(pgcEstatistica, 1, 0);
    grid->setRowStretch(1, 1);
    setTabOrder(depDataIni, depDataFim);
    setTabOrder(depDataFim, cbbSistema);
    setTabOrder(cbbSistema, pgcEstatistica);

    actConfirma->setText(QStringLiteral("&Atualizar"));
    actConfirma->setToolTip(QStringLiteral("Atualizar a estatística do período"));
    sbtConfirma->setAccessibleName(QStringLiteral("Atualizar"));
    actExportar = CreateCommand(this, QStringLiteral("actExportar"), QStringLiteral("&Exportar"),
                                QStringLiteral("Exportar a estatística para um arquivo CSV"),
                                QStringLiteral("document-save-as"));
    addAction(actExportar);
    actExportar->setEnabled(false);
    connectGuarded(actExportar, &QAction::triggered, this, &TfrmEstatistica::sbtExportarClick);
    sbtExportar = CreateCommandButton(panBotoes, QStringLiteral("sbtExportar"), actExportar);
    sbtExportar->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    static_cast<QBoxLayout *>(panBotoes->layout())->insertWidget(1, sbtExportar);
}

void TfrmEstatistica::FormShow()
{
    TfrmRotiGeral::FormShow();
    if (m_loaded)
        return;
    m_loaded = true;
    // The last seven days, the open system: the figures asked for most.
    depDataIni->SetDate(QDate::currentDate().addDays(-6));
    depDataFim->SetDate(QDate::currentDate());
    depDataIni->setFocus();
    sbtConfirmaClick();
}

QString TfrmEstatistica::systemCode() const
{
    return kSystemCodes.value(cbbSistema->currentIndex(), QStringLiteral("T"));
}

void TfrmEstatistica::checkPeriod()
{
    const auto fail = [](QWidget *control, const QString &message) {
        control->setFocus();
        MensErro(message);
    };
    depDataIni->CheckValidDate();
    depDataFim->CheckValidDate();
    if (depDataIni->IsEmpty())
        fail(depDataIni, QStringLiteral("Data inicial deve ser informada."));
    if (depDataFim->IsEmpty())
        fail(depDataFim, QStringLiteral("Data final deve ser informada."));
    if (depDataIni->GetDate() > depDataFim->GetDate())
        fail(depDataIni, QStringLiteral("A data inicial deve ser menor ou igual à data final."));
}

void TfrmEstatistica::sbtConfirmaClick()
{
    TfrmRotiGeral::sbtConfirmaClick();
    checkPeriod();
    const QDate first = depDataIni->GetDate();
    const QDate last = depDataFim->GetDate();
    const QString system = systemCode();
    {
        WaitAnimation wait(this, 6);
        const QJsonArray args{DateArgument(first), DateArgument(last), system, m_branch};
        LoadFromServer(*cdsDietas, *netEstatistica, QStringLiteral("getEstatDieta"), args);
        LoadFromServer(*cdsInterrupcoes, *netEstatistica, QStringLiteral("getEstatInterrupcao"), args);
        loadRisk(last);
    }
    m_first = first;
    m_last = last;
    m_system = system;
    showTotals();
    replaceChart(*chtVolumes, VolumeChart(*cdsDietas));
    replaceChart(*chtInterrupcoes, InterruptionChart(*cdsInterrupcoes));
    actExportar->setEnabled(true);
}

void TfrmEstatistica::showTotals()
{
    const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    const double prescribed = columnSum(*cdsDietas, QStringLiteral("QTPRESCRITO"));
    const double infused = columnSum(*cdsDietas, QStringLiteral("QTINFUNDIDO"));
    const QString delivered = prescribed > 0 ? brazil.toString(100.0 * infused / prescribed, 'f', 1) + QLatin1Char('%')
                                             : QStringLiteral("—");
    lblTotais->setText(QStringLiteral("Total: %1 prescrição(ões), %2 mL prescritos, %3 mL infundidos, %4 entregue.")
                           .arg(brazil.toString(qlonglong(columnSum(*cdsDietas, QStringLiteral("QTPRESCRICOES")))),
                                brazil.toString(prescribed, 'f', 1), brazil.toString(infused, 'f', 1), delivered));
}

QList<QStringList> TfrmEstatistica::CsvLines() const
{
    QList<QStringList> lines;
    lines << QStringList{windowTitle(), QStringLiteral("Filial %1").arg(m_branch),
                         QStringLiteral("Período de %1 a %2").arg(DayText(m_first), DayText(m_last)),
                         QStringLiteral("Sistema %1").arg(kSystems.value(int(kSystemCodes.indexOf(m_system))))};
    lines << QStringList();
    lines << csvRows(*cdsDietas, {{QStringLiteral("CDSERVFILI"), -1},
                                  {QStringLiteral("NMSERVICO"), -1},
                                  {QStringLiteral("CDDIETPAD"), -1},
                                  {QStringLiteral("DSDIETPAD"), -1},
                                  {QStringLiteral("QTPRESCRICOES"), -1},
                                  {QStringLiteral("QTITENS"), -1},
                                  {QStringLiteral("QTPRESCRITO"), 3},
                                  {QStringLiteral("QTINFUNDIDO"), 3},
                                  {QStringLiteral("PCENTREGUE"), 2}});
    lines << QStringList();
    lines << csvRows(*cdsInterrupcoes, {{QStringLiteral("CDTPOCORINFU"), -1},
                                        {QStringLiteral("NMTPOCORINFU"), -1},
                                        {QStringLiteral("QTINTERRUPCOES"), -1},
                                        {QStringLiteral("QTPACIENTES"), -1}});
    lines << QStringList();
    lines << QStringList{QStringLiteral("Pacientes com energia infundida abaixo de %1% da meta nos últimos %2 dias com itens")
                             .arg(speLimite->value())
                             .arg(speDias->value())};
    QList<QPair<QString, int>> risk;
    for (const auto &field : cdsRisco->Fields())
        risk << QPair<QString, int>{field->FieldName(), field->DataType() == FieldType::Real ? 1 : -1};
    lines << csvRows(*cdsRisco, risk);
    return lines;
}

void TfrmEstatistica::sbtExportarClick()
{
    const QString suggested = QDir::home().filePath(
        QStringLiteral("estatistica-%1-%2.csv").arg(m_first.toString(QStringLiteral("yyyyMMdd")),
                                                    m_last.toString(QStringLiteral("yyyyMMdd"))));
    const QString path =
        interaction().saveFileName(QStringLiteral("Exportar estatística"), suggested, QStringLiteral("Arquivos CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(CsvFile(CsvLines())) < 0 || !file.commit())
        MensErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(path, file.errorString()));
    interaction().information(QStringLiteral("Estatística exportada para %1.").arg(path));
}

QDialog *CriaEstatistica(const QVariant &value, QWidget *parent)
{
    return new TfrmEstatistica(value, parent);
}
