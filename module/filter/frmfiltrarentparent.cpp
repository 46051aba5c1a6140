// The filter dialog's controls, data sets, message table and connection.

#include "frmfiltrarentparent.h"

#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "widgets/dateeditplus.h"
#include "widgets/edit.h"
#include "net/tnetconnection.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include <initializer_list>
#include <iterator>

namespace {

// The widgets of one all-or-list group, made in tab order.
struct ChoiceGroup
{
    QGroupBox *group;
    QRadioButton *all;
    QRadioButton *list;
    TBtnPesquisa *search;
};

QRadioButton *newRadio(QWidget *parent, const QString &objectName, const QString &text,
                       const QString &accessibleName)
{
    auto *radio = new QRadioButton(text, parent);
    radio->setObjectName(objectName);
    radio->setAccessibleName(accessibleName);
    return radio;
}

// `suffix` names the controls (rbtTodos<suffix>, rbtLista<suffix>,
// btp<suffix>); `what` completes their accessible names.
ChoiceGroup newChoiceGroup(const QString &objectName, const QString &caption, const QString &suffix,
                           const QString &what)
{
    auto *group = new QGroupBox(caption);
    group->setObjectName(objectName);
    group->setAccessibleName(caption);
    auto *all = newRadio(group, QStringLiteral("rbtTodos") + suffix, QStringLiteral("Todos"),
                         QStringLiteral("Todos: ") + what);
    auto *list = newRadio(group, QStringLiteral("rbtLista") + suffix, QStringLiteral("Lista"),
                          QStringLiteral("Lista: ") + what);
    auto *search = new TBtnPesquisa(group);
    search->setObjectName(QStringLiteral("btp") + suffix);
    search->setAccessibleName(QStringLiteral("Pesquisar ") + what);
    search->setEnabled(false);
    all->setChecked(true);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(all);
    layout->addWidget(list);
    layout->addWidget(search);
    layout->addStretch(1);
    return {group, all, list, search};
}

// A date edit with the weekday field beside it.
TDateEditPlus *newDateEdit(const QString &objectName, const QString &accessibleName)
{
    auto *edit = new TDateEditPlus;
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->SetWeekdayNames({QStringLiteral("Domingo"), QStringLiteral("Segunda"), QStringLiteral("Terça"),
                           QStringLiteral("Quarta"), QStringLiteral("Quinta"), QStringLiteral("Sexta"),
                           QStringLiteral("Sábado")});
    return edit;
}

TEdit *newWeekdayField(const QString &objectName, const QString &accessibleName)
{
    auto *edit = new TEdit;
    edit->setObjectName(objectName);
    edit->setAccessibleName(accessibleName);
    edit->setEnabled(false);
    return edit;
}

FieldDef textField(const char *name, int size, const char *label = "")
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.size = size;
    def.label = QString::fromUtf8(label);
    return def;
}

// A lookup on the shared database connection; the same statement serves
// every dialect.
TADOIBQuery *newLookup(QObject *owner, const QString &objectName, const QString &statement,
                       std::initializer_list<FieldDef> fields)
{
    auto *query = new TADOIBQuery(owner);
    query->setObjectName(objectName);
    for (const FieldDef &field : fields)
        query->AddField(field);
    query->SQL = QStringList{statement};
    query->SQL_ORACLE = query->SQL_MSSQL = query->SQL_IB = query->SQL;
    return query;
}

} // namespace

TfrmFiltrarEntParent::TfrmFiltrarEntParent(QWidget *parent)
    : TfrmRotiGeral(parent)
{
    setObjectName(QStringLiteral("frmFiltrarEntParent"));
    setWindowTitle(tr("Filtrar"));
    SetCodTela(QStringLiteral("VQN18010"));
    SetHelp({QStringLiteral("vqnhelp.hlp"), 11111200});
    // Only the close icon on the border.
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);

    netFiltroEntPat = new TNetConnection(this);
    netFiltroEntPat->setObjectName(QStringLiteral("netFiltroEntPat"));
    netFiltroEntPat->SetServerName(QStringLiteral("Vqn18000.rdmEntPat"));
    netFiltroEntPat->SetThrowException(false);
    netFiltroEntPat->BeforeConnect = [this](TNetConnection &) { netFiltroEntPatBeforeConnect(); };

    declareMessages();
    declareDataSets();
    buildGroups();
}

TfrmFiltrarEntParent::~TfrmFiltrarEntParent() = default;

void TfrmFiltrarEntParent::buildGroups()
{
    const ChoiceGroup andar = newChoiceGroup(QStringLiteral("grpAndar"), QStringLiteral("Andar"),
                                             QStringLiteral("Andar"), QStringLiteral("andares"));
    const ChoiceGroup ala = newChoiceGroup(QStringLiteral("grpAla"), QStringLiteral("Ala"), QStringLiteral("Ala"),
                                           QStringLiteral("alas"));
    const ChoiceGroup paciente = newChoiceGroup(QStringLiteral("grpPaciente"), QStringLiteral("Paciente (Internado)"),
                                                QStringLiteral("Paci"), QStringLiteral("pacientes"));
    const ChoiceGroup padInter = newChoiceGroup(QStringLiteral("grpPadInter"), QStringLiteral("Padr. Internação"),
                                                QStringLiteral("PadInter"), QStringLiteral("padrões de internação"));
    grpAndar = andar.group, rbtTodosAndar = andar.all, rbtListaAndar = andar.list, btpAndar = andar.search;
    grpAla = ala.group, rbtTodosAla = ala.all, rbtListaAla = ala.list, btpAla = ala.search;
    grpPaciente = paciente.group, rbtTodosPaci = paciente.all, rbtListaPaci = paciente.list, btpPaci = paciente.search;
    grpPadInter = padInter.group, rbtTodosPadInter = padInter.all, rbtListaPadInter = padInter.list,
    btpPadInter = padInter.search;

    grbData = new QGroupBox(QStringLiteral("Data do Serviço"));
    grbData->setObjectName(QStringLiteral("grbData"));
    grbData->setAccessibleName(QStringLiteral("Data do Serviço"));
    depDataIni = newDateEdit(QStringLiteral("depDataIni"), QStringLiteral("Data do serviço: de"));
    edtDataIni = newWeekdayField(QStringLiteral("edtDataIni"), QStringLiteral("Dia da semana da data inicial"));
    depDataFim = newDateEdit(QStringLiteral("depDataFim"), QStringLiteral("Data do serviço: até"));
    edtDataFim = newWeekdayField(QStringLiteral("edtDataFim"), QStringLiteral("Dia da semana da data final"));
    auto *from = new QLabel(QStringLiteral("&de"));
    from->setBuddy(depDataIni);
    auto *to = new QLabel(QStringLiteral("a&té"));
    to->setBuddy(depDataFim);
    auto *dates = new QHBoxLayout(grbData);
    for (QWidget *widget : {static_cast<QWidget *>(from), static_cast<QWidget *>(depDataIni),
                            static_cast<QWidget *>(edtDataIni), static_cast<QWidget *>(to),
                            static_cast<QWidget *>(depDataFim), static_cast<QWidget *>(edtDataFim)})
        dates->addWidget(widget);

    auto *layout = static_cast<QGridLayout *>(grbDados->layout());
    layout->addWidget(grpAndar, 0, 0);
    layout->addWidget(grpAla, 0, 1);
    layout->addWidget(grpPaciente, 1, 0);
    layout->addWidget(grpPadInter, 1, 1);
    layout->addWidget(grbData, 2, 0, 1, 2);
    QWidget *order[] = {rbtTodosAndar, rbtListaAndar, btpAndar, rbtTodosAla, rbtListaAla, btpAla,
                        rbtTodosPaci, rbtListaPaci, btpPaci, rbtTodosPadInter, rbtListaPadInter, btpPadInter,
                        depDataIni, depDataFim};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    wireChoices();
}

void TfrmFiltrarEntParent::declareDataSets()
{
    cdsPaci = new ClientDataSet(this);
    cdsPaci->setObjectName(QStringLiteral("cdsPaci"));
    // The marking list's check boxes stand in this column, under its caption.
    FieldDef mark = textField("IDMARCADO", 1, "Marcado");
    mark.readOnly = true;
    FieldDef code = textField("CDPACIENTE", 12, "Código");
    code.displayWidth = 15;
    for (const FieldDef &field : {mark, code, textField("NMPACIENTE", 80, "Nome")})
        cdsPaci->AddField(field);

    FieldDef wing = textField("CDALA", 12, "Código");
    wing.required = true;
    qryAla = newLookup(this, QStringLiteral("qryAla"),
                       QStringLiteral("SELECT DISTINCT CDALA, NMALA FROM ALA WHERE CDFILIAL = :P_CDFILIAL ORDER BY CDALA"),
                       {wing, textField("NMALA", 40, "Nome")});
    FieldDef floor = textField("CDANDAR", 12, "Código");
    floor.required = true;
    qryAndar = newLookup(this, QStringLiteral("qryAndar"),
                         QStringLiteral("SELECT DISTINCT CDANDAR, NMANDAR FROM ANDAR WHERE CDFILIAL = :P_CDFILIAL ORDER BY CDANDAR"),
                         {floor, textField("NMANDAR", 40, "Nome")});
    qryPadInter = newLookup(this, QStringLiteral("qryPadInter"),
                            QStringLiteral("SELECT CDSERPADDIE, NMSERPADDIE FROM PADRAOSERV ORDER BY CDSERPADDIE"),
                            {textField("CDSERPADDIE", 3, "Código"), textField("NMSERPADDIE", 40, "Nome")});
}

void TfrmFiltrarEntParent::declareMessages()
{
    msgPadrao.Add({
        {QStringLiteral("Paciente"), {}, QStringLiteral("Paciente (Internado)")},
        {QStringLiteral("Ala"), {}, QStringLiteral("Ala")},
        {QStringLiteral("Andar"), {}, QStringLiteral("Andar")},
        {QStringLiteral("PadInter"), {}, QStringLiteral("Padrão Internação")},
        {QStringLiteral("Paci_Empty"), {}, QStringLiteral("Não há paciente (internado) cadastrado.")},
        {QStringLiteral("Ala_Empty"), {}, QStringLiteral("Não há ala cadastrada.")},
        {QStringLiteral("Andar_Empty"), {}, QStringLiteral("Não há andar cadastrado.")},
        {QStringLiteral("PadInter_Empty"), {}, QStringLiteral("Não há padrão de internação cadastrado.")},
        {QStringLiteral("Paci_Deve"), {}, QStringLiteral("Paciente deve ser informado.")},
        {QStringLiteral("Ala_Deve"), {}, QStringLiteral("Ala deve ser informada.")},
        {QStringLiteral("Andar_Deve"), {}, QStringLiteral("Andar deve ser informado.")},
        {QStringLiteral("PadInter_Deve"), {}, QStringLiteral("Padrão de internação deve ser informado.")},
        {QStringLiteral("DataIni_Inf"), {}, QStringLiteral("Data inicial do período deve ser informada.")},
        {QStringLiteral("DataFim_Inf"), {}, QStringLiteral("Data final do período deve ser informada.")},
        {QStringLiteral("DataIni>DataFim"), {}, QStringLiteral("Data inicial deve ser menor ou igual a data final.")},
    });
}
