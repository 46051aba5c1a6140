// The statistics' page of the inpatients at risk: below a share of their
// energy goal on each of their last days with items.

#include "frmestatistica.h"

#include "core/fielddefs.h"
#include "widgets/screenwidgets.h"
#include "net/servercall.h"
#include "core/datetext.h"

#include "core/clientdataset.h"
#include "core/abort.h"
#include "screens/screenloader.h"
#include "widgets/dbgrid.h"

#include <QBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QSpinBox>

namespace {

QSpinBox *newSpinBox(const QString &objectName, int low, int high, int value, const QString &suffix)
{
    auto *box = new QSpinBox;
    box->setObjectName(objectName);
    box->setRange(low, high);
    box->setValue(value);
    box->setSuffix(suffix);
    return box;
}

FieldDef dayField(int day)
{
    FieldDef def = DateField(QStringLiteral("DTDIA%1").arg(day), QStringLiteral("Dia %1").arg(day));
    def.displayFormat = QStringLiteral("dd/MM/yyyy");
    return def;
}

} // namespace

QWidget *TfrmEstatistica::buildRiskPage()
{
    // 80 % of the goal on each of the last 3 days with items: a stay that
    // accumulates a deficit worth looking at.
    speLimite = newSpinBox(QStringLiteral("speLimite"), 1, 200, 80, QStringLiteral(" %"));
    speDias = newSpinBox(QStringLiteral("speDias"), 1, 14, 3, QString());
    declareRiskDataSet(speDias->value());
    dbgRisco = NewReadOnlyGrid(QStringLiteral("dbgRisco"), QStringLiteral("Pacientes abaixo da meta de energia"),
                               cdsRisco);
    QObject::connect(dbgRisco, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        runGuarded([this, index] { openCalculation(index.row()); });
    });

    auto *fields = new QHBoxLayout;
    fields->addWidget(BuddyLabel(QStringLiteral("Energia infundida abaixo de"), speLimite));
    fields->addWidget(speLimite);
    fields->addWidget(BuddyLabel(QStringLiteral("da meta nos últimos"), speDias));
    fields->addWidget(speDias);
    fields->addWidget(new QLabel(QStringLiteral("dias com itens, até a data final.")));
    fields->addStretch(1);
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(fields);
    layout->addWidget(dbgRisco, 1);
    layout->addWidget(new QLabel(QStringLiteral("Dê um duplo clique no paciente para abrir o cálculo de nutrientes.")));
    return page;
}

void TfrmEstatistica::declareRiskDataSet(int days)
{
    auto *data = new ClientDataSet(this);
    data->setObjectName(QStringLiteral("cdsRisco"));
    AddFields(*data, {TextField(QStringLiteral("CDPACIENTE"), 12, QStringLiteral("Código")),
                      TextField(QStringLiteral("NMPACIENTE"), 80, QStringLiteral("Paciente")),
                      TextField(QStringLiteral("CDLEITO"), 12, QStringLiteral("Leito")),
                      TextField(QStringLiteral("NMLEITO"), 40, QStringLiteral("Nome do leito")),
                      DateField(QStringLiteral("DTINTERNA"), QStringLiteral("Internação"))});
    for (int day = 1; day <= days; ++day) {
        data->AddField(dayField(day));
        data->AddField(RealField(QStringLiteral("PCKCALINFU%1").arg(day), QStringLiteral("Dia %1 (% meta)").arg(day), 1));
    }
    AddFields(*data, {RealField(QStringLiteral("QTKCALSALDO"), QStringLiteral("Saldo acumulado (kcal)"), 0),
                      RealField(QStringLiteral("QTPROTSALDO"), QStringLiteral("Saldo acumulado de proteína (g)"), 1)});
    ClientDataSet *old = cdsRisco;
    cdsRisco = data;
    if (old) {
        dbgRisco->SetDataSet(cdsRisco);
        delete old;
    }
}

void TfrmEstatistica::loadRisk(const QDate &day)
{
    if (cdsRisco->FindField(QStringLiteral("DTDIA%1").arg(speDias->value())) == nullptr
        || cdsRisco->FindField(QStringLiteral("DTDIA%1").arg(speDias->value() + 1)) != nullptr)
        declareRiskDataSet(speDias->value());
    LoadFromServer(*cdsRisco, *netEstatistica, QStringLiteral("getPacRisco"),
                   {DateArgument(day), QString::number(speLimite->value()), QString::number(speDias->value()), m_branch});
}

void TfrmEstatistica::openCalculation(int row)
{
    if (row < 0 || row >= cdsRisco->RecordCount())
        return;
    const QString patient = cdsRisco->valueAt(row, cdsRisco->FieldByName(QStringLiteral("CDPACIENTE"))->Index()).toString();
    LoadBPL(QStringLiteral("VQN19040"), QVariantList{patient, QStringLiteral("S"), m_last, m_branch});
}
