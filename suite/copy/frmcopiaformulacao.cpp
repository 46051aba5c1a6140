// The formulation copy screen: its two record choices and the copy.

#include "frmcopiaformulacao.h"

#include "servicedaypanel.h"

#include "core/datetext.h"
#include "net/servercall.h"

#include "core/clientdataset.h"
#include "core/interaction.h"
#include "core/messages.h"
#include "core/velunor.h"
#include "net/tnetconnection.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "widgets/waitanimation.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonObject>
#include <QToolButton>

TfrmCopiaFormulacao::TfrmCopiaFormulacao(const QVariant &value, QWidget *parent)
    : TfrmRotiGeral(parent)
    , m_branch(value.toList().value(1).toString())
{
    setObjectName(QStringLiteral("frmCopiaFormulacao"));
    setWindowTitle(QStringLiteral("Copiar Formulação"));
    SetCodTela(QStringLiteral("VQN19050"));
    if (m_branch.isEmpty())
        m_branch = FiliProc();

    netCopia = NewEntPatConnection(this, QStringLiteral("netCopia"));
    cdsPacientes = new ClientDataSet(this);
    cdsPacientes->setObjectName(QStringLiteral("cdsPacientes"));

    panOrigem = new ServiceDayPanel(QStringLiteral("Origem"), *netCopia, *cdsPacientes);
    panDestino = new ServiceDayPanel(QStringLiteral("Destino"), *netCopia, *cdsPacientes);
    panOrigem->SetBranch(m_branch);
    panDestino->SetBranch(m_branch);
    auto *sides = new QHBoxLayout;
    sides->addWidget(panOrigem);
    sides->addWidget(panDestino);
    static_cast<QGridLayout *>(grbDados->layout())->addLayout(sides, 0, 0);
    setTabOrder(panOrigem->dbgItens, panDestino->edtPaciente);

    actConfirma->setText(QStringLiteral("&Copiar"));
    actConfirma->setToolTip(QStringLiteral("Copiar os itens do serviço de origem para o de destino"));
    sbtConfirma->setAccessibleName(QStringLiteral("Copiar"));
    resize(1100, 620);
}

TfrmCopiaFormulacao::~TfrmCopiaFormulacao() = default;

void TfrmCopiaFormulacao::FormShow()
{
    TfrmRotiGeral::FormShow();
    if (m_loaded)
        return;
    m_loaded = true;
    {
        WaitAnimation wait(this, 6);
        LoadFromServer(*cdsPacientes, *netCopia, QStringLiteral("getPesqPaci"), {m_branch});
    }
    // The usual copy repeats yesterday's prescription today.
    panOrigem->SetDate(QDate::currentDate().addDays(-1));
    panDestino->SetDate(QDate::currentDate());
    panOrigem->edtPaciente->setFocus();
}

void TfrmCopiaFormulacao::checkChoices()
{
    const auto fail = [](QWidget *control, const QString &message) {
        control->setFocus();
        MensErro(message);
    };
    if (panOrigem->Sequence().isEmpty())
        fail(panOrigem->edtPaciente, QStringLiteral("Escolha o serviço de origem."));
    if (panOrigem->ItemCount() == 0)
        fail(panOrigem->dbgServico, QStringLiteral("O serviço de origem não tem itens para copiar."));
    if (panDestino->Sequence().isEmpty())
        fail(panDestino->edtPaciente, QStringLiteral("Escolha o serviço de destino."));
    if (panOrigem->Patient() == panDestino->Patient() && panOrigem->Date() == panDestino->Date()
        && panOrigem->Sequence() == panDestino->Sequence())
        fail(panDestino->dbgServico, QStringLiteral("O serviço de destino deve ser diferente do serviço de origem."));
}

QString TfrmCopiaFormulacao::confirmationText() const
{
    return QStringLiteral("Copiar %1 item(ns) do serviço %2 de %3 em %4 para o serviço %5 de %6 em %7?")
        .arg(QString::number(panOrigem->ItemCount()), panOrigem->ServiceName(), panOrigem->PatientName(),
             DayText(panOrigem->Date()), panDestino->ServiceName(), panDestino->PatientName(),
             DayText(panDestino->Date()));
}

void TfrmCopiaFormulacao::sbtConfirmaClick()
{
    TfrmRotiGeral::sbtConfirmaClick();
    checkChoices();
    if (!interaction().question(confirmationText()))
        return;
    QJsonArray copied;
    {
        WaitAnimation wait(this, 0);
        copied = CallServer(*netCopia, QStringLiteral("CopiaFormulacao"),
                            {panOrigem->Patient(), DateArgument(panOrigem->Date()), panOrigem->Sequence(),
                             panDestino->Patient(), DateArgument(panDestino->Date()), panDestino->Sequence(), m_branch})
                     .toObject()
                     .value(QStringLiteral("rows"))
                     .toArray();
    }
    interaction().information(QStringLiteral("%1 item(ns) copiado(s) para o serviço %2 de %3 em %4.")
                                  .arg(QString::number(copied.size()), panDestino->ServiceName(),
                                       panDestino->PatientName(), DayText(panDestino->Date())));
    accept();
}

QDialog *CriaCopiaFormulacao(const QVariant &value, QWidget *parent)
{
    return new TfrmCopiaFormulacao(value, parent);
}
