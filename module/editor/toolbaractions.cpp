// The editor's actions that open screens of other modules through the
// host's screen loader: nutrient calculation, formulation copy and the
// statistics of open-system diets.

#include "editor/frmentparenteral.h"

#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/maskedit.h"
#include "screens/screenloader.h"
#include "core/velunor.h"
#include "widgets/waitanimation.h"

#include <QDate>
#include <QVariantList>

namespace {

// The first or second value the nutrient and copy screens expect; its
// meaning belongs to those screens.
const QString kScreenFlag = QStringLiteral("S");

} // namespace

void TfrmEntParenteral::sbtCalcNutriClick()
{
    // The day of the current service record, today when there is none.
    const QDate day = cdsServInte->IsEmpty()
                          ? QDate::currentDate()
                          : cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime().date();
    LoadBPL(QStringLiteral("VQN19040"), QVariantList{edtCdPaciente->Text(), kScreenFlag, day, BranchCode()});
}

void TfrmEntParenteral::sbtCopiarClick()
{
    {
        WaitAnimation wait(this, 6);
        LoadFromServer(*cdsNutricio, *netEntPat, QStringLiteral("getNutricio"), {Operador(), BranchCode()});
    }
    try {
        if (cdsNutricio->IsEmpty())
            MensErro(msgPadrao.Msg(QStringLiteral("Oper_Per")));
        LoadBPL(QStringLiteral("VQN19050"), QVariantList{kScreenFlag, BranchCode()});
    } catch (...) {
        medFilial->setFocus();
        throw;
    }
    // The copy may have written items of the patient on display: the form
    // page shows them again; the data sheet lists patients only.
    if (ActivePage() == tshFormulario) {
        WaitAnimation wait(this, 6);
        LoadServiceRecords();
    }
}

void TfrmEntParenteral::sbtEstatisticaClick()
{
    LoadBPL(QStringLiteral("VQN18100"), BranchCode());
}
