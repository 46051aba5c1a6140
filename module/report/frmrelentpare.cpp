#include "frmrelentpare.h"

#include "editor/frmentparenteral.h"

#include "data/adoibquery.h"
#include "widgets/buttonflat.h"
#include "widgets/dateeditplus.h"
#include "widgets/edit.h"
#include "widgets/maskedit.h"
#include "report/reportdesigner.h"
#include "widgets/searchlists.h"
#include "core/velunor.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>

// What tells one criterion from another: names, captions, lookup and texts.
struct TfrmRelEntPare::CriterionText
{
    const char *group;
    const char *caption;
    const char *todos;
    const char *lista;
    const char *search;
    const char *query;
    const char *keyField;
    int keySize;
    const char *nameField;
    int nameSize;
    const char *nameLabel;
    const char *sql;            // statement on every database
    bool distinctOnIB;          // InterBase runs it with SELECT DISTINCT
    bool byBranch;              // takes P_CDFILIAL when opened
    const char *title;          // message key, or the title itself when no key has it
    const char *emptyKey;
    const char *mustKey;
    const char *parameter;
    QString *list;
};

namespace {

FieldDef lookupField(const char *name, int size, const char *label, bool required)
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.size = size;
    def.label = QString::fromUtf8(label);
    def.required = required;
    return def;
}

QString weekdayText(const TDateEditPlus &edit)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(edit.GetDate(), QStringLiteral("ddd"));
}

} // namespace

TfrmRelEntPare::TfrmRelEntPare(QWidget *parent)
    : TfrmDadosGerRel(parent)
{
    using namespace Cli_vqn18020;
    setObjectName(QStringLiteral("frmRelEntPare"));
    setWindowTitle(tr("Enteral/Parenteral"));
    SetCodTela(QStringLiteral("VQN18020"));
    declareMessages();

    static const CriterionText texts[] = {
        {"grbLeito", "Leito", "rbtLeitoT", "rbtLeitoL", "btpLeito", "qryLeito", "CDLEITO", 12, "NMLEITO", 40,
         "Nome", "SELECT CDLEITO, NMLEITO FROM LEITO WHERE CDFILIAL = :P_CDFILIAL ORDER BY CDLEITO", true, true,
         "Leito", "Leito_Empty", "Leito_Deve", "P_CDLEITO", &stLeito},
        {"grpAndar", "Andar", "rbtAndarT", "rbtAndarL", "btpAndar", "qryAndar", "CDANDAR", 0, "NMANDAR", 40,
         "Nome", "SELECT CDANDAR, NMANDAR FROM ANDAR WHERE CDFILIAL = :P_CDFILIAL ORDER BY CDANDAR", true, true,
         "Andar", "Andar_Empty", "Andar_Deve", "P_CDANDAR", &stAndar},
        {"grpAla", "Ala", "rbtAlaT", "rbtAlaL", "btpAla", "qryAla", "CDALA", 12, "NMALA", 40, "Nome",
         "SELECT CDALA, NMALA FROM ALA WHERE CDFILIAL = :P_CDFILIAL ORDER BY CDALA", true, true, "Ala",
         "Ala_Empty", "Ala_Deve", "P_CDALA", &stAla},
        {"grpPadInter", "Pad. Internação", "rbtPadInteT", "rbtPadInterL", "btpPadInter", "qryPadInter",
         "CDSERPADDIE", 3, "NMSERPADDIE", 30, "Nome",
         "SELECT CDSERPADDIE, NMSERPADDIE FROM PADRAOSERV ORDER BY CDSERPADDIE", false, false, "PadInter",
         "PadInter_Empty", "PadInter_Deve", "P_PADINTER", &stPadInter},
        {"grpServico", "Serviço", "rbtServicoT", "rbtServicoL", "btpServico", "qryServico", "CDSERVFILI", 5,
         "NMSERVICO", 40, "Nome",
         "SELECT CDSERVFILI, NMSERVICO FROM SERVICO WHERE CDFILIAL = :P_CDFILIAL AND IDTPSERVHOSP = '1' "
         "ORDER BY CDSERVFILI",
         false, true, "Servico", "Servico_Empty", "Servico_Deve", "P_CDSERVFILI", &stServico},
        {"grpDieta", "Dieta", "rbtDietaT", "rbtDietaL", "btpDieta", "qryDieta", "CDDIETPAD", 4, "DSDIETPAD", 50,
         "Descrição", "SELECT CDDIETPAD, DSDIETPAD FROM DIETPADR WHERE IDFORMDIET = '2' ORDER BY CDDIETPAD",
         false, false, "Dieta", "Dieta_Empty", "Dieta_Deve", "P_CDDIETA", &stDieta},
        {"grpViaDeAcesso", "Via de Acesso", "rbtViaDeAcessoT", "rbtViaDeAcessoL", "btpViaCesDiet",
         "qryViaDeAcesso", "CDVIACESDIET", 3, "NMVIACESDIET", 30, "Descrição",
         "SELECT CDVIACESDIET, NMVIACESDIET FROM VIACESDIET ORDER BY CDVIACESDIET", false, false,
         "Via de Acesso", "ViaCesDiet_Empty", "Viaces_Deve", "P_CDVIACESDIET", &stViaCesDiet},
    };
    for (int i = 0; i < 7; ++i)
        addCriterion(texts[i], i / 4, i % 4);
    const auto member = [this](int i, QGroupBox *&group, QRadioButton *&todos, QRadioButton *&lista,
                               TButtonFlat *&search, TADOIBQuery *&query) {
        const Criterion &criterion = m_criteria.at(i);
        group = criterion.group;
        todos = criterion.todos;
        lista = criterion.lista;
        search = criterion.search;
        query = criterion.query;
    };
    member(0, grbLeito, rbtLeitoT, rbtLeitoL, btpLeito, qryLeito);
    member(1, grpAndar, rbtAndarT, rbtAndarL, btpAndar, qryAndar);
    member(2, grpAla, rbtAlaT, rbtAlaL, btpAla, qryAla);
    member(3, grpPadInter, rbtPadInteT, rbtPadInterL, btpPadInter, qryPadInter);
    member(4, grpServico, rbtServicoT, rbtServicoL, btpServico, qryServico);
    member(5, grpDieta, rbtDietaT, rbtDietaL, btpDieta, qryDieta);
    member(6, grpViaDeAcesso, rbtViaDeAcessoT, rbtViaDeAcessoL, btpViaCesDiet, qryViaDeAcesso);
    // The same statement in the Oracle, SQL Server and InterBase slots.
    qryViaDeAcesso->SQL_ORACLE = qryViaDeAcesso->SQL;
    qryViaDeAcesso->SQL_MSSQL = qryViaDeAcesso->SQL;
    qryViaDeAcesso->SQL_IB = qryViaDeAcesso->SQL;
    btpServico->OnClick = [this] { btpServicoClick(); };

    buildPeriod();
    SetCodRel(QStringLiteral("VQN180"));
    rpddPadrao->BeforeGetQueryParams = [this](TReportParams &params, bool &cancel) {
        rpddPadraoBeforeGetQueryParams(params, cancel);
    };
}

TfrmRelEntPare::~TfrmRelEntPare() = default;

void TfrmRelEntPare::declareMessages()
{
    msgPadrao.Add({
        {QStringLiteral("Arq_Rel_Err"), {},
         tr("O arquivo contendo a definição do relatório de código '%s' não foi encontrado no diretório '%s'.")},
        {QStringLiteral("NovoCaption"), {}, tr("Título do relatório")},
        {QStringLiteral("NovoPrompt"), {}, tr("Informe o título do relatório:")},
        {QStringLiteral("Leito"), {}, tr("Leito")},
        {QStringLiteral("Leito_Empty"), {}, tr("Não há leito cadastrado.")},
        {QStringLiteral("Andar"), {}, tr("Andar")},
        {QStringLiteral("Andar_Empty"), {}, tr("Não há andar cadastrado.")},
        {QStringLiteral("Ala"), {}, tr("Ala")},
        {QStringLiteral("Ala_Empty"), {}, tr("Não há ala cadastrada.")},
        {QStringLiteral("PadInter"), {}, tr("Padrão de Internação")},
        {QStringLiteral("PadInter_Empty"), {}, tr("Não há padrão de internação cadastrado.")},
        {QStringLiteral("Servico"), {}, tr("Serviço")},
        {QStringLiteral("Servico_Empty"), {}, tr("Não há serviço cadastrado.")},
        {QStringLiteral("Dieta"), {}, tr("Dieta")},
        {QStringLiteral("Dieta_Empty"), {}, tr("Não há dieta cadastrada.")},
        {QStringLiteral("ViaCesDiet_Empty"), {}, tr("Não há via de acesso cadastrada.")},
        {QStringLiteral("Leito_Deve"), {}, tr("Leito deve ser informado.")},
        {QStringLiteral("Andar_Deve"), {}, tr("Andar deve ser informado.")},
        {QStringLiteral("Ala_Deve"), {}, tr("Ala deve ser informada.")},
        {QStringLiteral("PadInter_Deve"), {}, tr("Padrão de internação deve ser informado.")},
        {QStringLiteral("Servico_Deve"), {}, tr("Serviço deve ser informado.")},
        {QStringLiteral("Dieta_Deve"), {}, tr("Dieta deve ser informada.")},
        {QStringLiteral("Viaces_Deve"), {}, tr("Via de Acesso deve ser informada.")},
        {QStringLiteral("DtIni_Deve"), {}, tr("Data inicial deve ser informada.")},
        {QStringLiteral("DtFim_Deve"), {}, tr("Data final deve ser informada.")},
        {QStringLiteral("DtIni<DtFim"), {}, tr("Data incial deve ser menor ou igual a data final.")},
    });
}

void TfrmRelEntPare::addCriterion(const CriterionText &text, int row, int column)
{
    const QString caption = QString::fromUtf8(text.caption);
    auto *group = new QGroupBox(caption, grbDados);
    group->setObjectName(QString::fromLatin1(text.group));
    group->setAccessibleName(caption);
    auto *todos = new QRadioButton(tr("Todos"), group);
    todos->setObjectName(QString::fromLatin1(text.todos));
    todos->setAccessibleName(tr("%1: todos").arg(caption));
    todos->setChecked(true);
    auto *lista = new QRadioButton(tr("Lista"), group);
    lista->setObjectName(QString::fromLatin1(text.lista));
    lista->setAccessibleName(tr("%1: lista").arg(caption));
    auto *search = new TButtonFlat(group);
    search->setObjectName(QString::fromLatin1(text.search));
    search->setIcon(QIcon::fromTheme(QStringLiteral("edit-find")));
    search->setText(QStringLiteral("..."));
    search->SetHint(tr("Pesquisar"));
    search->setAccessibleName(tr("Pesquisar %1").arg(caption));
    search->setEnabled(false);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(todos);
    layout->addWidget(lista);
    layout->addWidget(search);
    layDados->addWidget(group, row, column);

    auto *query = new TADOIBQuery(this);
    query->setObjectName(QString::fromLatin1(text.query));
    query->AddField(lookupField(text.keyField, text.keySize, "Código", true));
    query->AddField(lookupField(text.nameField, text.nameSize, text.nameLabel, false));
    const QString sql = QString::fromUtf8(text.sql);
    query->SQL = QStringList{sql};
    if (text.distinctOnIB)
        query->SQL_IB = QStringList{QString(sql).replace(QLatin1String("SELECT "), QLatin1String("SELECT DISTINCT "))};
    if (text.byBranch)
        query->BeforeOpen = [this](TADOIBQuery &opened) { setBranch(opened); };

    const QString titleKey = QString::fromUtf8(text.title);
    const Criterion criterion{group, todos, lista, search, query, QString::fromLatin1(text.keyField),
                              msgPadrao.Contains(titleKey) ? msgPadrao.Msg(titleKey) : titleKey,
                              QString::fromLatin1(text.emptyKey), QString::fromLatin1(text.mustKey),
                              QString::fromLatin1(text.parameter), text.list};
    m_criteria.push_back(criterion);
    for (QRadioButton *radio : {todos, lista})
        connect(radio, &QRadioButton::clicked, this, [this, criterion] {
            runGuarded([this, &criterion] { criterionChoice(criterion); });
        });
    search->OnClick = [this, criterion] { criterionSearch(criterion); };
}

void TfrmRelEntPare::buildPeriod()
{
    grpData = new QGroupBox(tr("Período"), grbDados);
    grpData->setObjectName(QStringLiteral("grpData"));
    grpData->setAccessibleName(tr("Período"));
    auto *layout = new QGridLayout(grpData);
    const auto addDate = [this, layout](int row, const QString &caption, const QString &name,
                                        const QString &weekdayName, TEdit *&weekday) {
        auto *label = new QLabel(caption, grpData);
        auto *date = new TDateEditPlus(grpData);
        date->setObjectName(name);
        date->setAccessibleName(tr("Data %1").arg(caption.toLower()));
        date->SetDate(QDate::currentDate());
        // Room for a whole date beside the calendar button: the layout
        // would squeeze it to a few digits otherwise.
        date->setMinimumWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000"))
                              + 2 * date->sizeHint().height());
        label->setBuddy(date);
        weekday = new TEdit(grpData);
        weekday->setObjectName(weekdayName);
        weekday->setAccessibleName(tr("Dia da semana da data %1").arg(caption.toLower()));
        weekday->setEnabled(false);
        weekday->setMaximumWidth(60);
        layout->addWidget(label, row, 0);
        layout->addWidget(date, row, 1);
        layout->addWidget(weekday, row, 2);
        return date;
    };
    depIni = addDate(0, tr("Inicial"), QStringLiteral("depIni"), QStringLiteral("edtNmIni"), edtNmIni);
    depFim = addDate(1, tr("Final"), QStringLiteral("depFim"), QStringLiteral("edtNmFim"), edtNmFim);
    layDados->addWidget(grpData, 1, 3);
    depIni->OnChange = [this] { depIniChange(); };
    depFim->OnChange = [this] { depFimChange(); };
    depIni->OnDateChange = [this] { depIniDateChange(); };
    depFim->OnDateChange = [this] { depFimDateChange(); };
    depIni->OnExit = [this] { depIniExit(); };
    depFim->OnExit = [this] { depFimExit(); };
}

QString TfrmRelEntPare::branch() const
{
    const auto *editor = Cli_vqn18000::frmEntParenteral.data();
    return editor ? editor->medFilial->Text() : FiliProc();
}

void TfrmRelEntPare::setBranch(TADOIBQuery &query) const
{
    query.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(branch());
}

void TfrmRelEntPare::FormCreate()
{
    TfrmDadosGerRel::FormCreate();
    edtNmIni->setText(weekdayText(*depIni));
    edtNmFim->setText(weekdayText(*depFim));
    for (const Criterion &criterion : m_criteria)
        criterion.list->clear();
}

void TfrmRelEntPare::FormActivate()
{
    TfrmDadosGerRel::FormActivate();
    update();
}

void TfrmRelEntPare::criterionChoice(const Criterion &criterion)
{
    const bool list = criterion.lista->isChecked();
    criterion.search->setEnabled(list);
    if (!list)
        criterion.list->clear();
}

void TfrmRelEntPare::criterionSearch(const Criterion &criterion)
{
    *criterion.list = PesquisaLista(*criterion.query, criterion.keyField,
                                    criterion.title + QLatin1Char('|') + msgPadrao.Msg(criterion.emptyKey),
                                    false, *criterion.list);
}

void TfrmRelEntPare::btpServicoClick()
{
    // Services depend on the branch, which may have changed since the last
    // search: the lookup runs again every time.
    qryServico->Close();
    setBranch(*qryServico);
    qryServico->Open();
    criterionSearch(m_criteria.at(4));
}

void TfrmRelEntPare::depIniChange()
{
    edtNmIni->clear();
}

void TfrmRelEntPare::depFimChange()
{
    edtNmFim->clear();
}

void TfrmRelEntPare::depIniDateChange()
{
    if (!depIni->text().isEmpty())
        edtNmIni->setText(weekdayText(*depIni));
}

void TfrmRelEntPare::depFimDateChange()
{
    if (!depFim->text().isEmpty())
        edtNmFim->setText(weekdayText(*depFim));
}

void TfrmRelEntPare::depIniExit()
{
    depIni->CheckValidDate();
}

void TfrmRelEntPare::depFimExit()
{
    depFim->CheckValidDate();
}

void TfrmRelEntPare::Vd_Imprime(bool listas)
{
    const auto fail = [this](QWidget *control, const char *key) {
        control->setFocus();
        MensErro(msgPadrao.Msg(QString::fromLatin1(key)));
    };
    depIni->CheckValidDate();
    depFim->CheckValidDate();
    if (listas) {
        for (const Criterion &criterion : m_criteria) {
            if (criterion.lista->isChecked() && criterion.list->isEmpty()) {
                criterion.lista->setFocus();
                MensErro(msgPadrao.Msg(criterion.mustKey));
            }
        }
    }
    if (depIni->IsEmpty())
        fail(depIni, "DtIni_Deve");
    if (depFim->IsEmpty())
        fail(depFim, "DtFim_Deve");
    if (depFim->GetDate() < depIni->GetDate())
        fail(depIni, "DtIni<DtFim");
}

void TfrmRelEntPare::rpddPadraoBeforeGetQueryParams(TReportParams &params, bool &)
{
    for (const Criterion &criterion : m_criteria) {
        if (params.ExistParam(criterion.parameter))
            params.ParamByName(criterion.parameter)
                .SetAsString(criterion.lista->isChecked() ? *criterion.list : QStringLiteral("T"));
    }
    if (params.ExistParam(QStringLiteral("P_DTINI")))
        params.ParamByName(QStringLiteral("P_DTINI")).SetAsDateTime(depIni->GetDate().startOfDay());
    if (params.ExistParam(QStringLiteral("P_DTFIM")))
        params.ParamByName(QStringLiteral("P_DTFIM")).SetAsDateTime(depFim->GetDate().startOfDay());
    if (params.ExistParam(QStringLiteral("P_CDFILIAL")))
        params.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(branch());
}

void TfrmRelEntPare::sbtPrintClick()
{
    Vd_Imprime(true);
    TfrmDadosGerRel::sbtPrintClick();
}

void TfrmRelEntPare::sbtPreviewClick()
{
    Vd_Imprime(true);
    TfrmDadosGerRel::sbtPreviewClick();
}

void TfrmRelEntPare::sbtSalvarComoClick()
{
    Vd_Imprime(true);
    TfrmDadosGerRel::sbtSalvarComoClick();
}

void TfrmRelEntPare::sbtReportEditClick()
{
    Vd_Imprime(false);
    TfrmDadosGerRel::sbtReportEditClick();
}
