// Choice of the branch and of the patient, and the patient's age text.

#include "frmentparenteral.h"

#include "core/abort.h"
#include "data/adoibquery.h"
#include "widgets/btnpesquisa.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "screens/datasetfile.h"
#include "widgets/dbgrid.h"
#include "data/dtmdbgeral.h"
#include "widgets/edit.h"
#include "screens/hostmainwindow.h"
#include "widgets/maskedit.h"
#include "widgets/searchlists.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"

#include <QDate>
#include <QDebug>

// ---------------------------------------------------------------- branch

bool TfrmEntParenteral::restoreSavedSelection()
{
    ClientDataSet *saved = hostMainWindow()->cdsFiltro();
    try {
        LoadFromFile(*saved, Cli_vqn18000::stPath);
    } catch (const UserError &error) {
        // An unreadable selection file is as good as none: start on the
        // operator's branch.
        qWarning() << "saved selection ignored:" << error.text();
        saved->Close();
        return false;
    }
    medFilial->SetText(saved->FieldByName(QStringLiteral("CDFILIAL"))->AsString());
    setBranchControlsEnabled(!ModuFili());
    panFilialExit();
    if (ActivePage() == tshFolhaDados)
        dbgPadrao->setFocus();
    return true;
}

void TfrmEntParenteral::panFilialEnter()
{
    rememberListPatient();
    cdsPaciFiltro->Close();
}

void TfrmEntParenteral::medFilialEnter()
{
    cdsServInte->Close();
    cdsConfesco->Close();
    cdsOcorrencia->Close();
}

void TfrmEntParenteral::medFilialKeyPress(QChar &key)
{
    const ushort code = key.unicode();
    const bool allowed = (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')
                         || (code >= 'a' && code <= 'z');
    if (!allowed)
        key = QChar();
}

void TfrmEntParenteral::medFilialChange()
{
    edtFilial->clear();
}

void TfrmEntParenteral::btnFilialAfterPesq()
{
    medFilial->SetText(qryFilial->FieldByName(QStringLiteral("CDFILIAL"))->AsString());
    edtFilial->SetText(qryFilial->FieldByName(QStringLiteral("NMFILIAL"))->AsString());
}

void TfrmEntParenteral::panFilialExit()
{
    loadBranchPatients();
    positionOnSavedPatient();
}

void TfrmEntParenteral::loadBranchPatients()
{
    try {
        medFilial->SetText(Ajusta(medFilial->Text(), 4));
        edtFilial->SetText(ValidaFilial(BranchCode(), Operador(), true));
        LoadPatientList(6);
    } catch (...) {
        if (medFilial->isEnabled())
            medFilial->setFocus();
        throw;
    }
}

void TfrmEntParenteral::positionOnSavedPatient()
{
    const HostMainWindow *host = hostMainWindow();
    ClientDataSet *saved = host ? host->cdsFiltro() : nullptr;
    if (!saved || !saved->Active() || saved->IsEmpty())
        return;
    if (saved->FieldByName(QStringLiteral("CDFILIAL"))->AsString() != BranchCode())
        return;
    cdsPaciFiltro->Locate(QStringLiteral("CDPACIENTE"),
                          saved->FieldByName(QStringLiteral("CDPACIENTE"))->AsString(), true);
}

// ---------------------------------------------------------------- patient

void TfrmEntParenteral::edtCdPacienteEnter()
{
    m_commandLevel = RecordLevelId::Services;
    cdsOcorrencia->Close();
    cdsConfesco->Close();
    cdsServInte->Close();
}

void TfrmEntParenteral::edtCdPacienteKeyPress(QChar &key)
{
    if (key >= QLatin1Char('a') && key <= QLatin1Char('z'))
        key = key.toUpper();
}

void TfrmEntParenteral::edtCdPacienteChange()
{
    edtNmPaciente->clear();
    edtLeito->clear();
    edtIdade->clear();
}

void TfrmEntParenteral::showPatient(const ClientDataSet &source, const QString &ageField)
{
    edtCdPaciente->SetText(source.FieldByName(QStringLiteral("CDPACIENTE"))->AsString());
    edtNmPaciente->SetText(source.FieldByName(QStringLiteral("NMPACIENTE"))->AsString());
    edtIdade->SetText(source.FieldByName(ageField)->AsString());
    edtLeito->SetText(source.FieldByName(QStringLiteral("CDLEITO"))->AsString());
}

void TfrmEntParenteral::BtnPesquisa1Click()
{
    {
        WaitAnimation busy(this, 0);
        LoadFromServer(*cdsPesqPaci, *netEntPat, QStringLiteral("getPesqPaci"), {BranchCode()});
    }
    if (!Pesquisar(*cdsPesqPaci, msgPadrao.Msg(QStringLiteral("PacienteInt")) + QLatin1Char('|')
                                     + msgPadrao.Msg(QStringLiteral("N_Paciente"))))
        return;
    showPatient(*cdsPesqPaci, QStringLiteral("idade"));
    edtCdPaciente->setFocus();
}

void TfrmEntParenteral::panInfPacienteExit()
{
    Vd_Paciente(false);
    {
        WaitAnimation busy(this, 6);
        LoadServiceRecords();
    }
    if (cdsOcorrencia->IsEmpty())
        cdsOcorrencia->Close();
}

void TfrmEntParenteral::Panel1Enter()
{
    Vd_Paciente(true);
}

void TfrmEntParenteral::Vd_Paciente(bool mandatory)
{
    try {
        if (EmptyString(edtCdPaciente->Text())) {
            if (mandatory)
                MensErro(msgPadrao.Msg(QStringLiteral("Paci_Inf")));
            return;
        }
        qryParaDiet->Close();
        qryParaDiet->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(BranchCode());
        qryParaDiet->Open();
        if (!qryParaDiet->IsEmpty()
            && qryParaDiet->FieldByName(QStringLiteral("IDAJUSTAPACI"))->AsString() == QLatin1String("S")) {
            const int width = cdsPaciente->FieldByName(QStringLiteral("CDPACIENTE"))->Size();
            edtCdPaciente->SetText(Ajusta(edtCdPaciente->Text(), width));
        }
        LoadFromServer(*cdsPaciente, *netEntPat, QStringLiteral("getVdPaciente"),
                       {edtCdPaciente->Text(), BranchCode()});
        if (cdsPaciente->IsEmpty())
            MensErro(msgPadrao.Msg(QStringLiteral("Paci_NCad")));
        showPatient(*cdsPaciente, QStringLiteral("idade"));
    } catch (...) {
        edtCdPaciente->setFocus();
        throw;
    }
}

// ---------------------------------------------------------------- age text

QString TfrmEntParenteral::ageText(const ClientDataSet &dataSet) const
{
    int years = 0;
    int months = 0;
    Idade(QDate::currentDate(), dataSet.FieldByName(QStringLiteral("DTNASCPACI"))->AsDateTime().date(),
          years, months);
    QString text;
    if (years > 0)
        text = QString::number(years) + QLatin1Char(' ')
               + msgPadrao.Msg(years == 1 ? QStringLiteral("Ano") : QStringLiteral("Anos"));
    if (months != 0)
        text += QStringLiteral("  ") + QString::number(months) + QLatin1Char(' ')
                + msgPadrao.Msg(months < 2 ? QStringLiteral("Mes") : QStringLiteral("Meses"));
    return text;
}

void TfrmEntParenteral::cdsPesqPaciCalcFields()
{
    cdsPesqPaci->FieldByName(QStringLiteral("idade"))->SetAsString(ageText(*cdsPesqPaci));
}

void TfrmEntParenteral::cdsPacienteCalcFields()
{
    cdsPaciente->FieldByName(QStringLiteral("idade"))->SetAsString(ageText(*cdsPaciente));
}

void TfrmEntParenteral::cdsPaciFiltroCalcFields()
{
    cdsPaciFiltro->FieldByName(QStringLiteral("Idade"))->SetAsString(ageText(*cdsPaciFiltro));
}
