// The automatic schedule's generation: one composition item per step of the
// series, built through the editor's own item handling and stored in one
// server call, so a run is written whole or not at all.

#include "frmautoenteral.h"
#include "schedulesteps.h"

#include "common/hourtext.h"
#include "net/servercall.h"
#include "editor/frmentparenteral.h"

#include "core/clientdataset.h"
#include "core/consiste.h"
#include "widgets/dbgrid.h"
#include "widgets/maskedit.h"
#include "core/messages.h"
#include "widgets/numberedit.h"
#include "core/packets.h"
#include "net/tnetconnection.h"
#include "widgets/waitanimation.h"

#include <QScopeGuard>

namespace {

enum Answer { Sobrepor = 10, Acrescentar = 11, Cancelar = 12 };

const QString kNumber = QStringLiteral("CDSEQUCOPR");

// The record key of the current service record, in the argument order of
// the record's item methods: patient, service date, sequence, branch.
QJsonArray recordArgs(TfrmEntParenteral &form)
{
    const ClientDataSet &record = *form.cdsServInte;
    return {record.FieldByName(QStringLiteral("CDPACIENTE"))->AsString(),
            valueToJson(record.FieldByName(QStringLiteral("DTSERVINTE"))->Value()),
            record.FieldByName(QStringLiteral("NRSEQUSERV"))->AsString(), form.BranchCode()};
}

// The highest item number the server holds for the record (0 without items).
int highestItemNumber(TfrmEntParenteral &form, QWidget *dialog)
{
    WaitAnimation wait(dialog, 0);
    form.netEntPat->SetConnected(true);
    LoadFromServer(*form.cdsNrConfesco, *form.netEntPat, QStringLiteral("getNrConfesco"), recordArgs(form));
    return form.cdsNrConfesco->FieldByName(kNumber)->AsString().toInt();
}

} // namespace

void TfrmAutoEnteral::generateItems(const QDate &consumption)
{
    TfrmEntParenteral &form = editor();
    const TMessages &messages = form.msgPadrao;
    const int answer = MsgAlertEx(messages.Msg(QStringLiteral("Conf_CadAuto")), mtConfirmation,
                                  {messages.Msg(QStringLiteral("Sobre")), messages.Msg(QStringLiteral("Acres")),
                                   messages.Msg(QStringLiteral("Cancela"))});
    if (answer == Cancelar)
        return;
    const bool overwrite = answer == Sobrepor;

    const double interval = StTimeReal(medIntervalo->Text(), msgPadrao);
    const double period = StTimeReal(medPeriodo->Text(), msgPadrao);
    const QString start = medHrConsumo->Text();
    const double startHour = StTimeReal(start.left(2) + QLatin1Char(':') + start.mid(2, 2), msgPadrao);
    const QVector<ScheduleStep> steps = ScheduleSteps(consumption, startHour, interval, period);

    ClientDataSet &items = *form.cdsConfesco;
    const ClientDataSet &record = *form.cdsServInte;
    const ClientDataSet &formulation = *form.cdsFormulacao;
    const bool open = preparationCode() == QLatin1String("A");
    {
        // The items are built with the checks and occurrence loading off, the
        // grid detached and nothing sent per item: the change log collects
        // the series, which is stored in one call below. The command states
        // follow the item list's state again once the run is over.
        const auto sendItem = items.AfterPost;
        const auto stateChange = items.OnStateChange;
        form.boValidaConfesco = false;
        form.dbgConfesco->SetDataSet(nullptr);
        items.AfterPost = nullptr;
        items.OnStateChange = nullptr;
        const auto restore = qScopeGuard([&] {
            items.AfterPost = sendItem;
            items.OnStateChange = stateChange;
            form.dbgConfesco->SetDataSet(&items);
            form.boValidaConfesco = true;
            if (stateChange)
                stateChange(items);
        });
        try {
            int last = overwrite ? 0 : highestItemNumber(form, this);
            for (const ScheduleStep &step : steps) {
                items.Insert();
                const auto copy = [&items](const QString &name, const ClientDataSet &source) {
                    items.FieldByName(name)->SetValue(source.FieldByName(name)->Value());
                };
                copy(QStringLiteral("CDPACIENTE"), record);
                copy(QStringLiteral("DTSERVINTE"), record);
                copy(QStringLiteral("NRSEQUSERV"), record);
                items.FieldByName(kNumber)->SetAsString(Ajusta(QString::number(last + 1), 4));
                items.FieldByName(QStringLiteral("QTPRATCONF"))->SetAsFloat(nedVolPresc->GetNumber());
                items.FieldByName(QStringLiteral("QTINFUCONF"))->SetAsFloat(nedVolInfu->GetNumber());
                items.FieldByName(QStringLiteral("IDPREPCONF"))->SetAsString(preparationCode());
                if (open) {
                    items.FieldByName(QStringLiteral("CDPRATO"))
                        ->SetAsString(formulation.FieldByName(QStringLiteral("CDFORMULACAO"))->AsString());
                    copy(QStringLiteral("CDFILAUXPRAT"), formulation);
                } else {
                    copy(QStringLiteral("CDPRODUTO"), formulation);
                }
                items.FieldByName(QStringLiteral("QTSERVCONF"))->SetAsFloat(nedVelo->GetNumber());
                items.FieldByName(QStringLiteral("CDVIACESDIET"))->SetAsString(stCdViaAcesso);
                items.FieldByName(QStringLiteral("HRCONSCONF"))->SetAsFloat(step.hour);
                items.FieldByName(QStringLiteral("DTCONSCONF"))->SetAsDateTime(step.date.startOfDay());
                items.FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(form.BranchCode());
                items.Post();
                last = items.FieldByName(kNumber)->AsString().toInt();
            }
            WaitAnimation wait(this, 0);
            form.netEntPat->SetConnected(true);
            QJsonArray args = recordArgs(form);
            args << (overwrite ? QStringLiteral("S") : QStringLiteral("A")) << items.Delta().toJson();
            CallServer(*form.netEntPat, QStringLiteral("SetAutoConfesco"), args);
        } catch (...) {
            // Nothing of the series stays in the list: it shows the record's
            // items as they were.
            if (items.State() != DataSetState::Browse)
                items.Cancel();
            items.CancelUpdates();
            throw;
        }
        items.MergeChangeLog();
    }
    {
        WaitAnimation wait(this, 0);
        form.LoadCompositionItems();
    }
    accept();
}
