#include "servicedaypanel.h"

#include "core/datetext.h"
#include "core/fielddefs.h"
#include "widgets/screenwidgets.h"
#include "net/servercall.h"

#include "core/clientdataset.h"
#include "core/consiste.h"
#include "core/messages.h"
#include "widgets/btnpesquisa.h"
#include "widgets/dateeditplus.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "widgets/waitanimation.h"

#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>

namespace {

constexpr int patientWidth = 12;

} // namespace

ServiceDayPanel::ServiceDayPanel(const QString &side, TNetConnection &connection, ClientDataSet &patients,
                                 QWidget *parent)
    : QGroupBox(side, parent)
    , m_connection(connection)
    , m_patients(patients)
{
    setObjectName(QStringLiteral("grb") + side);
    setAccessibleName(side);

    cdsServico = new ClientDataSet(this);
    cdsServico->setObjectName(QStringLiteral("cdsServ") + side);
    AddFields(*cdsServico, {TextField(QStringLiteral("NRSEQUSERV"), 2, QStringLiteral("Seq.")),
                            TextField(QStringLiteral("NMSERVICO"), 40, QStringLiteral("Serviço")),
                            TextField(QStringLiteral("DSDIETPAD"), 50, QStringLiteral("Dieta")),
                            IntegerField(QStringLiteral("QTITENS"), QStringLiteral("Itens"))});
    cdsItens = new ClientDataSet(this);
    cdsItens->setObjectName(QStringLiteral("cdsItens") + side);
    AddFields(*cdsItens, {TextField(QStringLiteral("CDSEQUCOPR"), 4, QStringLiteral("Item")),
                          TextField(QStringLiteral("HRCONF"), 4, QStringLiteral("Hora")),
                          TextField(QStringLiteral("IDPREPCONF"), 1, QStringLiteral("Preparação")),
                          TextField(QStringLiteral("CDFORMULACAO"), 20, QStringLiteral("Formulação")),
                          TextField(QStringLiteral("NMPRODUTO"), 50, QStringLiteral("Produto")),
                          TextField(QStringLiteral("NMPRATO"), 40, QStringLiteral("Prato")),
                          RealField(QStringLiteral("QTPRATCONF"), QStringLiteral("Vol. Prescrito"), 3),
                          RealField(QStringLiteral("QTSERVCONF"), QStringLiteral("Veloc. (mL/h)"), 3),
                          TextField(QStringLiteral("NMVIACESDIET"), 30, QStringLiteral("Via de Acesso"))});
    // The hour is stored as "hhmm" and shown as the editor shows it.
    cdsItens->FieldByName(QStringLiteral("HRCONF"))->OnGetText = [](Field &field, bool) {
        const QString hour = field.AsString();
        return hour.size() == 4 ? hour.left(2) + QLatin1Char(':') + hour.mid(2) : hour;
    };
    cdsItens->FieldByName(QStringLiteral("IDPREPCONF"))->OnGetText = [](Field &field, bool) {
        const QString code = field.AsString();
        return code.isEmpty() ? QString() : code == QLatin1String("A") ? QStringLiteral("Aberto") : QStringLiteral("Fechado");
    };

    edtPaciente = new TEdit;
    edtPaciente->setObjectName(QStringLiteral("edtPaciente") + side);
    edtPaciente->SetMaxLength(patientWidth);
    edtPaciente->setAccessibleName(QStringLiteral("Código do paciente de ") + side.toLower());
    edtNmPaciente = new TEdit;
    edtNmPaciente->setObjectName(QStringLiteral("edtNmPaciente") + side);
    edtNmPaciente->setAccessibleName(QStringLiteral("Nome do paciente de ") + side.toLower());
    edtNmPaciente->setEnabled(false);
    btnPaciente = new TBtnPesquisa;
    btnPaciente->setObjectName(QStringLiteral("btnPaciente") + side);
    btnPaciente->setAccessibleName(QStringLiteral("Pesquisar paciente de ") + side.toLower());
    btnPaciente->SetEdit(edtPaciente);
    btnPaciente->SetDataSource(&m_patients);
    btnPaciente->Title = QStringLiteral("Pacientes");
    btnPaciente->EmptyText = QStringLiteral("Não há paciente internado na filial.");
    depData = new TDateEditPlus;
    depData->setObjectName(QStringLiteral("depData") + side);
    depData->setAccessibleName(QStringLiteral("Data do serviço de ") + side.toLower());
    dbgServico = NewReadOnlyGrid(QStringLiteral("dbgServico") + side,
                                 QStringLiteral("Serviços de ") + side.toLower(), cdsServico);
    dbgServico->SetColumns({{QStringLiteral("NRSEQUSERV"), {}, 45},
                            {QStringLiteral("NMSERVICO"), {}, 170},
                            {QStringLiteral("DSDIETPAD"), {}, 200},
                            {QStringLiteral("QTITENS"), {}, 50}});
    dbgItens = NewReadOnlyGrid(QStringLiteral("dbgItens") + side, QStringLiteral("Itens de ") + side.toLower(),
                               cdsItens);
    dbgItens->SetColumns({{QStringLiteral("CDSEQUCOPR"), {}, 45},
                          {QStringLiteral("HRCONF"), {}, 50},
                          {QStringLiteral("IDPREPCONF"), {}, 80},
                          {QStringLiteral("CDFORMULACAO"), {}, 100},
                          {QStringLiteral("NMPRODUTO"), {}, 180},
                          {QStringLiteral("NMPRATO"), {}, 160},
                          {QStringLiteral("QTPRATCONF"), {}, 95},
                          {QStringLiteral("QTSERVCONF"), {}, 95},
                          {QStringLiteral("NMVIACESDIET"), {}, 140}});

    auto *patientLine = new QHBoxLayout;
    patientLine->addWidget(edtPaciente);
    patientLine->addWidget(btnPaciente);
    patientLine->addWidget(edtNmPaciente, 1);
    auto *grid = new QGridLayout(this);
    grid->addWidget(BuddyLabel(QStringLiteral("&Paciente"), edtPaciente), 0, 0);
    grid->addLayout(patientLine, 0, 1);
    grid->addWidget(BuddyLabel(QStringLiteral("&Data"), depData), 1, 0);
    grid->addWidget(depData, 1, 1, Qt::AlignLeft);
    grid->addWidget(BuddyLabel(QStringLiteral("&Serviços do dia"), dbgServico), 2, 0, 1, 2);
    grid->addWidget(dbgServico, 3, 0, 1, 2);
    grid->addWidget(BuddyLabel(QStringLiteral("&Itens do serviço"), dbgItens), 4, 0, 1, 2);
    grid->addWidget(dbgItens, 5, 0, 1, 2);
    grid->setRowStretch(5, 1);
    setTabOrder(edtPaciente, btnPaciente);
    setTabOrder(btnPaciente, depData);
    setTabOrder(depData, dbgServico);
    setTabOrder(dbgServico, dbgItens);

    edtPaciente->OnExit = [this] { edtPacienteExit(); };
    btnPaciente->OnAfterPesq = [this](TBtnPesquisa &) { btnPacienteAfterPesq(); };
    depData->OnDateChange = [this] { depDataDateChange(); };
    cdsServico->AfterScroll = [this](ClientDataSet &) { cdsServicoAfterScroll(); };
}

void ServiceDayPanel::SetDate(const QDate &date)
{
    depData->SetDate(date);
}

QString ServiceDayPanel::PatientName() const
{
    return edtNmPaciente->text();
}

QDate ServiceDayPanel::Date() const
{
    return depData->GetDate();
}

QString ServiceDayPanel::Sequence() const
{
    return cdsServico->Active() && !cdsServico->IsEmpty() ? cdsServico->FieldByName(QStringLiteral("NRSEQUSERV"))->AsString()
                                                          : QString();
}

QString ServiceDayPanel::ServiceName() const
{
    return Sequence().isEmpty() ? QString() : cdsServico->FieldByName(QStringLiteral("NMSERVICO"))->AsString();
}

int ServiceDayPanel::ItemCount() const
{
    return cdsItens->Active() ? cdsItens->RecordCount() : 0;
}

void ServiceDayPanel::Reload()
{
    const QString sequence = Sequence();
    loadRecords();
    if (!sequence.isEmpty() && cdsServico->Active())
        cdsServico->Locate(QStringLiteral("NRSEQUSERV"), sequence);
}

void ServiceDayPanel::edtPacienteExit()
{
    const QString typed = edtPaciente->text().trimmed();
    if (typed.isEmpty()) {
        m_patient.clear();
        edtNmPaciente->clear();
        loadRecords();
        return;
    }
    if (typed != m_patient)
        choosePatient(typed);
}

void ServiceDayPanel::btnPacienteAfterPesq()
{
    choosePatient(m_patients.FieldByName(QStringLiteral("CDPACIENTE"))->AsString());
}

void ServiceDayPanel::choosePatient(const QString &typed)
{
    m_patient.clear();
    edtNmPaciente->clear();
    cdsServico->Close();
    cdsItens->Close();
    const QString code = Ajusta(typed, patientWidth);
    if (!m_patients.Locate(QStringLiteral("CDPACIENTE"), typed, true)
        && !m_patients.Locate(QStringLiteral("CDPACIENTE"), code, true)) {
        edtPaciente->setFocus();
        MensErro(QStringLiteral("Paciente não internado nesta filial."));
    }
    m_patient = m_patients.FieldByName(QStringLiteral("CDPACIENTE"))->AsString();
    edtPaciente->setText(m_patient);
    edtNmPaciente->setText(m_patients.FieldByName(QStringLiteral("NMPACIENTE"))->AsString());
    loadRecords();
}

void ServiceDayPanel::depDataDateChange()
{
    loadRecords();
}

void ServiceDayPanel::loadRecords()
{
    cdsItens->Close();
    cdsServico->Close();
    if (m_patient.isEmpty() || !Date().isValid())
        return;
    WaitAnimation wait(window(), 6);
    LoadFromServer(*cdsServico, m_connection, QStringLiteral("getServDia"), {m_patient, DateArgument(Date()), m_branch});
}

void ServiceDayPanel::cdsServicoAfterScroll()
{
    if (cdsServico->IsEmpty()) {
        cdsItens->Close();
        return;
    }
    LoadFromServer(*cdsItens, m_connection, QStringLiteral("getConfesco"),
                   {m_patient, Sequence(), DateArgument(Date()), m_branch});
}
