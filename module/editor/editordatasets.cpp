// The editor's datasets, lookup queries and message table.

#include "frmentparenteral.h"

#include "data/adoibquery.h"
#include "core/clientdataset.h"

#include <initializer_list>

namespace {

FieldDef text(const char *name, int size, const char *label = "", bool visible = true)
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.size = size;
    def.label = QString::fromUtf8(label);
    def.visible = visible;
    return def;
}

FieldDef dateTime(const char *name, const char *label = "", bool visible = true)
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.type = FieldType::DateTime;
    def.label = QString::fromUtf8(label);
    def.visible = visible;
    return def;
}

FieldDef real(const char *name, const char *label, bool visible = true)
{
    FieldDef def;
    def.name = QString::fromLatin1(name);
    def.type = FieldType::Real;
    def.label = QString::fromUtf8(label);
    def.visible = visible;
    def.displayFormat = QStringLiteral("#,##0.000");
    def.editFormat = QStringLiteral("##0.000");
    return def;
}

FieldDef calculated(const char *name, int size)
{
    FieldDef def = text(name, size);
    def.calculated = true;
    return def;
}

FieldDef required(FieldDef def)
{
    def.required = true;
    return def;
}

FieldDef withWidth(FieldDef def, int displayWidth)
{
    def.displayWidth = displayWidth;
    return def;
}

FieldDef withMask(FieldDef def, const char *mask)
{
    def.editMask = QString::fromLatin1(mask);
    return def;
}

template <class DataSet>
DataSet *declare(QObject *owner, const char *name, std::initializer_list<FieldDef> fields)
{
    auto *dataSet = new DataSet(owner);
    dataSet->setObjectName(QString::fromLatin1(name));
    for (const FieldDef &field : fields)
        dataSet->AddField(field);
    return dataSet;
}

QStringList lines(std::initializer_list<const char *> statement)
{
    QStringList result;
    for (const char *line : statement)
        result << QString::fromUtf8(line);
    return result;
}

} // namespace

void TfrmEntParenteral::declarePatientDataSets()
{
    cdsPaciFiltro = declare<ClientDataSet>(this, "cdsPaciFiltro", {
        text("CDPACIENTE", 12, "Código"),
        text("NMPACIENTE", 80, "Nome"),
        text("NMSERPADDIE", 30, "Padrão de Internação"),
        text("NMLEITO", 40, "", false),
        dateTime("DTINTERNA", "Data Internação"),
        text("CDLEITO", 12, "Leito"),
        calculated("Idade", 20),
        dateTime("DTNASCPACI"),
        withWidth(text("DSSERVINTE", 255, "Observação"), 255),
    });
    cdsPaciente = declare<ClientDataSet>(this, "cdsPaciente", {
        text("NMLEITO", 40, "Leito"),
        text("NMPACIENTE", 80, "Nome"),
        text("CDPACIENTE", 12, "Código"),
        text("NMSERPADDIE", 30, "Padrão Internação"),
        calculated("idade", 20),
        dateTime("DTNASCPACI", "", false),
        dateTime("DTINTERNA", "", false),
        text("CDLEITO", 12, "", false),
    });
    cdsPesqPaci = declare<ClientDataSet>(this, "cdsPesqPaci", {
        withWidth(text("NMLEITO", 40, "Leito"), 15),
        text("NMPACIUPPER", 80, "Nome"),
        text("CDPACIENTE", 12, "Código"),
        text("NMSERPADDIE", 30, "Padrão Internação"),
        calculated("idade", 20),
        text("NMPACIENTE", 80, "", false),
        dateTime("DTNASCPACI", "", false),
        dateTime("DTINTERNA", "", false),
        text("CDLEITO", 12, "", false),
    });
    cdsPaciente->OnCalcFields = [this](ClientDataSet &) { cdsPacienteCalcFields(); };
    cdsPesqPaci->OnCalcFields = [this](ClientDataSet &) { cdsPesqPaciCalcFields(); };
}

void TfrmEntParenteral::declareRecordDataSets()
{
    cdsServInte = declare<ClientDataSet>(this, "cdsServInte", {
        text("CDPACIENTE", 12, "Código Paciente", false),
        dateTime("DTSERVINTE", "Data"),
        text("NRSEQUSERV", 2, "", false),
        dateTime("DTINTERNA", "", false),
        text("CDFILIAL", 4, "", false),
        text("CDDIETGRUPSI", 4, "", false),
        withMask(text("CDSERVFILI", 5, "Serviço"), "ccccc;0; "),
        text("CDDIETPAD", 4, "Dieta"),
        text("NRACOMPANA", 4, "", false),
        text("STPACIACOM", 1, "", false),
        text("IDIMPRSERV", 1, "", false),
        text("IDTIPOSERINT", 1, "", false),
        text("IDRESTSERIN", 1, "", false),
        text("CDNUTRICIO", 12, "Profissional", false),
        text("DSSERVINTE", 255, "", false),
        real("NRSERVPESO", "Peso"),
        text("DSDIETPAD", 50, "Dieta"),
        text("NMOPERADOR", 40, "Profissional"),
        text("NMSERVICO", 40, "Serviço"),
    });
    cdsConfesco = declare<ClientDataSet>(this, "cdsConfesco", {
        text("CDFILIAL", 4, "Filial"),
        text("CDPACIENTE", 12, "Cód. Paciente"),
        dateTime("DTSERVINTE", "", false),
        text("NRSEQUSERV", 2, "", false),
        text("CDSEQUCOPR", 4, "", false),
        text("CDFILAUXPRAT", 4, "", false),
        text("CDPRATO", 10, "", false),
        real("QTSERVCONF", "Veloc. (mL/h)"),
        real("QTPRATCONF", "Vol. Prescrito"),
        real("QTINFUCONF", "Vol. Infundido"),
        FieldDef{QStringLiteral("HRCONSCONF"), FieldType::Real, 0, QStringLiteral("Hora"), false},
        dateTime("DTCONSCONF", "Data"),
        text("CDPRODUTO", 10, "Produto"),
        text("CDVIACESDIET", 3, "Via de Acesso"),
        text("IDPREPCONF", 1, "Preparação"),
        withWidth(text("DSOBSCONF", 255, "Observação"), 255),
        withMask(text("HRCONF", 4, "Hora"), "99:99;0; "),
        text("NMVIACESDIET", 30, "", false),
        text("NMPRODUTO", 50, "", false),
        text("UNIDPRO", 10, "", false),
        text("CDARVPROD", 20, "", false),
        text("NMPRATO", 40, "", false),
        text("UNIDPRA", 10, "", false),
        text("SGUNIDADE", 5, "UN", false),
        text("CDFORMULACAO", 20, "Formulação"),
    });
    cdsOcorrencia = declare<ClientDataSet>(this, "cdsOcorrencia", {
        text("CDFILIAL", 4, "", false),
        text("CDPACIENTE", 12, "", false),
        dateTime("DTSERVINTE", "", false),
        text("NRSEQUSERV", 2, "", false),
        text("CDSEQUCOPR", 4, "", false),
        FieldDef{QStringLiteral("DTOCORINFU"), FieldType::DateTime, 0, QStringLiteral("Data"), true, false, false,
                 {}, QStringLiteral("dd/MM/yyyy HH:mm"), {}, false, 0},
        text("CDTPOCORINFU", 3, "Ocorrência"),
        text("NMTPOCORINFU", 100, "Nome"),
    });

    cdsVerifServ = declare<ClientDataSet>(this, "cdsVerifServ", {
        withMask(text("CDSERVFILI", 5), "ccccc;0; "),
        text("NMSERVICO", 40),
    });
    cdsVerifDieta = declare<ClientDataSet>(this, "cdsVerifDieta", {text("CDDIETPAD", 4), text("DSDIETPAD", 50)});
    // Any row of these two means yes; their columns are the server's.
    cdsNutricio = declare<ClientDataSet>(this, "cdsNutricio", {});
    cdsValidaServ = declare<ClientDataSet>(this, "cdsValidaServ", {});
    cdsNrServInte = declare<ClientDataSet>(this, "cdsNrServInte", {text("NRSEQUSERV", 2)});
    cdsVerifObs = declare<ClientDataSet>(this, "cdsVerifObs", {text("DSSERVINTE", 255)});
    cdsDescHabi = declare<ClientDataSet>(this, "cdsDescHabi", {text("DSOBSGERAL", 255)});

    cdsNrConfesco = declare<ClientDataSet>(this, "cdsNrConfesco", {text("CDSEQUCOPR", 4)});
    cdsVerifViaAcesso = declare<ClientDataSet>(this, "cdsVerifViaAcesso", {
        text("CDVIACESDIET", 3),
        text("NMVIACESDIET", 30),
    });
    cdsVerifProd = declare<ClientDataSet>(this, "cdsVerifProd", {
        text("CDPRODUTO", 10),
        text("CDARVPROD", 20),
        text("NMPRODUTO", 50),
        text("SGUNIDADE", 10),
    });
    cdsVerifPrato = declare<ClientDataSet>(this, "cdsVerifPrato", {
        text("CDPRATO", 10),
        text("NMPRATO", 40),
        text("SGUNIDADE", 10),
    });
    cdsFormulacao = declare<ClientDataSet>(this, "cdsFormulacao", {
        withWidth(text("CDFORMULACAO", 20, "Código"), 15),
        withWidth(text("NMFORMULACAO", 50, "Nome"), 38),
        withWidth(text("SGFORMULACAO", 5, "UN"), 3),
        text("CDFILAUXPRAT", 4, "", false),
        text("CDPRODUTO", 10, "", false),
    });
}

void TfrmEntParenteral::declareLookups()
{
    qryFilial = declare<TADOIBQuery>(this, "qryFilial", {
        required(text("CDFILIAL", 4, "Código")),
        text("NMFILIAL", 30, "Nome"),
    });
    qryFilial->SQL = lines({"SELECT", "  CDFILIAL,", "  NMFILIAL", "FROM", "  FILIAL"});

    // Occurrence types: every type with a null P_CDTPOCORINFU, else that
    // type only.
    qryTipoOcor = declare<TADOIBQuery>(this, "qryTipoOcor", {
        required(text("CDTPOCORINFU", 3, "Código")),
        withWidth(text("NMTPOCORINFU", 100, "Nome"), 50),
    });
    const auto tipoOcor = [](const char *from, const char *where) {
        return lines({"SELECT CDTPOCORINFU,", "       NMTPOCORINFU", from, where, "ORDER BY CDTPOCORINFU"});
    };
    qryTipoOcor->SQL = tipoOcor("FROM TPOCORINFU, PARAM (:P_CDTPOCORINFU) P1",
                                "WHERE (CDTPOCORINFU = NVLSTR(P1.PARAM, CDTPOCORINFU))");
    qryTipoOcor->SQL_IB = qryTipoOcor->SQL;
    qryTipoOcor->SQL_ORACLE = tipoOcor("FROM TPOCORINFU", "WHERE (CDTPOCORINFU = NVL(:P_CDTPOCORINFU, CDTPOCORINFU))");
    qryTipoOcor->SQL_MSSQL = tipoOcor("FROM TPOCORINFU",
                                      "WHERE (CDTPOCORINFU = ISNULL(:P_CDTPOCORINFU, CDTPOCORINFU))");

    qryParaDiet = declare<TADOIBQuery>(this, "qryParaDiet", {text("IDAJUSTAPACI", 1)});
    qryParaDiet->SQL = lines({"SELECT IDAJUSTAPACI", "FROM PARADIETO", "WHERE", "CDFILIAL = :P_CDFILIAL"});

    qryServico = declare<TADOIBQuery>(this, "qryServico", {
        required(text("CDSERVFILI", 5, "Código")),
        text("NMSERVICO", 40, "Nome"),
    });
    qryServico->SQL = lines({"SELECT CDSERVFILI, NMSERVICO",
                             "FROM SERVICO",
                             "WHERE (CDFILIAL     = :P_CDFILIAL) AND",
                             "      (IDTIPOSERV   = 'D')         AND",
                             "      (IDTPSERVHOSP = '1')",
                             "ORDER BY CDSERVFILI"});

    qryDieta = declare<TADOIBQuery>(this, "qryDieta", {
        required(text("CDDIETPAD", 4, "Código")),
        text("DSDIETPAD", 50, "Descrição"),
    });
    qryViaAcesso = declare<TADOIBQuery>(this, "qryViaAcesso", {
        text("CDVIACESDIET", 3, "Código"),
        text("NMVIACESDIET", 30, "Nome"),
    });
    qryViaAcesso->SQL = lines({"SELECT CDVIACESDIET,", "       NMVIACESDIET", "FROM VIACESDIET", "ORDER BY CDVIACESDIET"});
    qryViaAcesso->SQL_ORACLE = qryViaAcesso->SQL_MSSQL = qryViaAcesso->SQL_IB = qryViaAcesso->SQL;

    qryDieta->SQL = lines({"SELECT DS.CDDIETPAD, DP.DSDIETPAD",
                           "FROM DIETPADR DP, DIETSERV DS",
                           "WHERE(DS.CDFILIAL   = :P_CDFILIAL)                     AND",
                           "     (DS.CDSERVFILI = :P_CDSERVFILI)                   AND",
                           "     (DS.CDDIETPAD  = DP.CDDIETPAD)                    AND",
                           "     (DP.IDFORMDIET = '2')",
                           "ORDER BY DS.CDDIETPAD"});
}

void TfrmEntParenteral::declareMessages()
{
    const QString bar = QStringLiteral("Enteral/Parenteral");
    // The automatic schedule's question and its three answers.
    msgPadrao.Add({
        {QStringLiteral("Conf_CadAuto"), bar, QStringLiteral("Confirma cadastro automático?")},
        {QStringLiteral("Sobre"), bar, QStringLiteral("Sobrepor")},
        {QStringLiteral("Acres"), bar, QStringLiteral("Acrescentar")},
        {QStringLiteral("Cancela"), bar, QStringLiteral("Cancelar")},
    });
    msgPadrao.Add({
        {QStringLiteral("Paciente"), bar, QStringLiteral("Paciente")},
        {QStringLiteral("N_Paciente"), bar, QStringLiteral("Não há paciente cadastrado.")},
        {QStringLiteral("PacienteInt"), bar, QStringLiteral("Paciente (Internado)")},
        {QStringLiteral("Paci_Inf"), bar, QStringLiteral("Paciente deve ser informado.")},
        {QStringLiteral("Paci_NCad"), bar, QStringLiteral("Paciente não cadastrado.")},
        {QStringLiteral("Ano"), bar, QStringLiteral("Ano")},
        {QStringLiteral("Anos"), bar, QStringLiteral("Anos")},
        {QStringLiteral("Mes"), bar, QStringLiteral("Mês")},
        {QStringLiteral("Meses"), bar, QStringLiteral("Meses")},
        {QStringLiteral("Ocorr"), bar, QStringLiteral("Ocorrência")},
        {QStringLiteral("N_Ocorr"), bar, QStringLiteral("Não há ocorrência cadastrada.")},
        {QStringLiteral("Ocorre_Inf"), bar, QStringLiteral("Ocorrência deve ser informada.")},
        {QStringLiteral("Ocorre_NCad"), bar, QStringLiteral("Ocorrência não cadastrada.")},
        {QStringLiteral("Ocorre_JCad"), bar, QStringLiteral("Ocorrência já cadastrada.")},
        {QStringLiteral("DataOcor_Maior_DataVia"), bar,
         QStringLiteral("Data da ocorrência deve ser maior ou igual a data da via de acesso.")},
        {QStringLiteral("Servico"), bar, QStringLiteral("Serviço")},
        {QStringLiteral("N_Servico"), bar, QStringLiteral("Não há serviço enteral/parenteral cadastrado.")},
        {QStringLiteral("Dieta"), bar, QStringLiteral("Dieta")},
        {QStringLiteral("N_Dieta"), bar,
         QStringLiteral("Não há dieta enteral/parenteral cadastrada para o serviço informado.")},
        {QStringLiteral("Servico_Inf"), bar, QStringLiteral("Serviço deve ser informado.")},
        {QStringLiteral("Servico_NCad"), bar, QStringLiteral("Serviço não cadastrado.")},
        {QStringLiteral("Dieta_Inf"), bar, QStringLiteral("Dieta deve ser informada.")},
        {QStringLiteral("Dieta_NCad"), bar, QStringLiteral("Dieta não cadastrada para o serviço informado.")},
        {QStringLiteral("Data_Inf"), bar, QStringLiteral("Data deve ser informada.")},
        {QStringLiteral("Peso_Negativo"), bar, QStringLiteral("Peso deve ser maior que zero.")},
        {QStringLiteral("Peso_Inf"), bar, QStringLiteral("Peso deve ser informado.")},
        {QStringLiteral("Serv_JCad"), bar, QStringLiteral("Serviço já cadastrado.")},
        {QStringLiteral("Serv_Esgot"), bar, QStringLiteral("Numeração de serviços do dia esgotada.")},
        {QStringLiteral("Oper_Per"), bar, QStringLiteral("Operador não está cadastrado como nutricionista.")},
        {QStringLiteral("DATA_INVALIDA"), bar, QStringLiteral("não é uma data válida.")},
        {QStringLiteral("Data_Maior_Serv"), bar, QStringLiteral("Data deve ser maior ou igual a data do serviço.")},
        {QStringLiteral("Hora_Inf"), bar, QStringLiteral("Hora deve ser informada.")},
        {QStringLiteral("Hora_Inv"), bar, QStringLiteral("'%s' não é um hora válida.")},
        {QStringLiteral("ViaAcesso"), bar, QStringLiteral("Via de Acesso")},
        {QStringLiteral("N_ViaAcesso"), bar, QStringLiteral("Não há via de acesso cadastrado.")},
        {QStringLiteral("ViaAcesso_Inf"), bar, QStringLiteral("Via de acesso deve ser informada.")},
        {QStringLiteral("ViaAcesso_NCad"), bar, QStringLiteral("Via de acesso não cadastrada.")},
        {QStringLiteral("Formulacao"), bar, QStringLiteral("Formulação")},
        {QStringLiteral("N_Formulacao"), bar, QStringLiteral("Não há formulação cadastrada.")},
        {QStringLiteral("Formulacao_Inf"), bar, QStringLiteral("Formulação deve ser informada.")},
        {QStringLiteral("Fomulacao_NCad"), bar, QStringLiteral("Formulação não cadastrada.")},
        {QStringLiteral("Prepara_Inf"), bar, QStringLiteral("Preparação deve ser informada.")},
        {QStringLiteral("Aberto"), bar, QStringLiteral("Aberto")},
        {QStringLiteral("Fechado"), bar, QStringLiteral("Fechado")},
        {QStringLiteral("Quantid_Inf"), bar, QStringLiteral("Quantidade deve ser informada.")},
        {QStringLiteral("Quantid_Dif"), bar, QStringLiteral("Quantidade deve ser maior que zero.")},
        {QStringLiteral("Quant_Infu_Menor"), bar,
         QStringLiteral("A quantidade infundida deve ser menor ou igual a quantidade prescrita.")},
        {QStringLiteral("Veloci_Inf"), bar, QStringLiteral("Velocidade deve ser informada.")},
        {QStringLiteral("Veloci_Dif"), bar, QStringLiteral("Velocidade deve ser maior que zero.")},
    });
}
