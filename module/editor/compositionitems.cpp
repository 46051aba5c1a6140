// Composition items: what the patient receives under the current service
// record. Defaults and numbering of a new item, the hour, route and
// formulation checks, the checks before a post, and the sending of every
// stored change at once.

#include "frmentparenteral.h"

#include "itemfields.h"
#include "core/abort.h"
#include "core/clientdataset.h"
#include "common/hangtime.h"
#include "common/hourtext.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/edit.h"
#include "widgets/maskedit.h"
#include "core/messages.h"
#include "core/packets.h"
#include "net/tnetconnection.h"

#include <QScopeGuard>

namespace {

bool isEditing(const ClientDataSet &dataSet)
{
    return dataSet.State() == DataSetState::Edit || dataSet.State() == DataSetState::Insert;
}

// The unit shown for an item: the dish unit in the open system, the product
// unit otherwise, nothing while the preparation is not chosen.
QString unitText(const Field &unit)
{
    const ClientDataSet &item = *unit.DataSet();
    const QString preparation = item.FieldByName(ItemField::Preparation)->AsString();
    if (preparation.isEmpty())
        return {};
    return item
        .FieldByName(preparation == ItemField::OpenSystem ? QStringLiteral("UNIDPRA") : QStringLiteral("UNIDPRO"))
        ->AsString();
}

// "0830" is shown as 08:30; an editor gets the stored text, its mask adds
// the colon.
QString hourText(const Field &hour, bool displayText)
{
    const QString text = hour.AsString();
    return displayText && !text.isEmpty() ? text.left(2) + QLatin1Char(':') + text.mid(2) : text;
}

} // namespace

void TfrmEntParenteral::wireCompositionItems()
{
    // An item belongs to a service record: without one (the grid's Insert
    // key on an empty record list) nothing is created.
    cdsConfesco->BeforeInsert = [this](ClientDataSet &) {
        if (!cdsServInte->Active() || cdsServInte->IsEmpty())
            throw Abort();
    };
    cdsConfesco->OnNewRecord = [this](ClientDataSet &) { cdsConfescoNewRecord(); };
    cdsConfesco->BeforePost = [this](ClientDataSet &) { cdsConfescoBeforePost(); };
    cdsConfesco->AfterPost = [this](ClientDataSet &) { cdsConfescoAfterPost(); };
    cdsConfesco->AfterDelete = [this](ClientDataSet &) { cdsConfescoAfterDelete(); };
    cdsConfesco->AfterCancel = [this](ClientDataSet &) { cdsConfescoAfterCancel(); };
    cdsConfesco->AfterScroll = [this](ClientDataSet &) { cdsConfescoAfterScroll(); };
    cdsConfesco->OnStateChange = [this](ClientDataSet &) { dtsConfescoStateChange(); };

    cdsConfesco->FieldByName(ItemField::Date)->OnSetText = [this](Field &field, const QString &text) {
        Vd_Data(field, text);
    };
    cdsConfesco->FieldByName(ItemField::Hour)->OnGetText = [](Field &field, bool displayText) {
        return hourText(field, displayText);
    };
    Field *preparation = cdsConfesco->FieldByName(ItemField::Preparation);
    preparation->OnGetText = [this](Field &field, bool) {
        const QString value = field.AsString();
        if (value.isEmpty())
            return QString();
        return msgPadrao.Msg(value == ItemField::OpenSystem ? QStringLiteral("Aberto") : QStringLiteral("Fechado"));
    };
    // "Aberto" stores "A", "Fechado" stores "F".
    preparation->OnSetText = [](Field &field, const QString &text) { field.SetAsString(text.left(1)); };
    cdsConfesco->FieldByName(QStringLiteral("SGUNIDADE"))->OnGetText = [](Field &field, bool) {
        return unitText(field);
    };
}

// ---------------------------------------------------------------- new item

void TfrmEntParenteral::cdsConfescoNewRecord()
{
    focusColumn(dbgConfesco, ItemField::Route);
    cdsConfesco->FieldByName(ItemField::Date)->SetAsDateTime(QDate::currentDate().startOfDay());
    const QString now = QTime::currentTime().toString(QStringLiteral("HHmm"));
    cdsConfesco->FieldByName(ItemField::Hour)->SetAsString(now);
    cdsConfesco->FieldByName(ItemField::Hours)->SetAsFloat(StTimeToReal(now));

    const QJsonValue serviceDate = valueToJson(cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->Value());
    const QString sequence = cdsServInte->FieldByName(QStringLiteral("NRSEQUSERV"))->AsString();
    LoadFromServer(*cdsNrConfesco, *netEntPat, QStringLiteral("getNrConfesco"),
                   {edtCdPaciente->Text(), serviceDate, sequence, BranchCode()});
    cdsConfesco->FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(edtCdPaciente->Text());
    cdsConfesco->FieldByName(QStringLiteral("DTSERVINTE"))
        ->SetValue(cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->Value());
    cdsConfesco->FieldByName(QStringLiteral("NRSEQUSERV"))->SetAsString(sequence);

    bool ok = false;
    const int highest = cdsNrConfesco->FieldByName(ItemField::Number)->AsString().toInt(&ok);
    if (cdsNrConfesco->IsEmpty() || !ok)
        throw UserError(QStringLiteral("O servidor não informou o último número de item do serviço."));
    Field *number = cdsConfesco->FieldByName(ItemField::Number);
    // The next number must fit the field: a cut number would repeat one.
    const QString next = QString::number(highest + 1);
    if (next.size() > number->Size())
        MensErro(QStringLiteral("Numeração de itens do serviço esgotada."));
    number->SetAsString(Ajusta(next, number->Size()));
}

// ---------------------------------------------------------------- field checks

void TfrmEntParenteral::Vd_Hora(bool required)
{
    if (!isEditing(*cdsConfesco))
        return;
    try {
        Field *hour = cdsConfesco->FieldByName(ItemField::Hour);
        Field *hours = cdsConfesco->FieldByName(ItemField::Hours);
        if (hours->IsNull()) {
            if (required)
                MensErro(msgPadrao.Msg(QStringLiteral("Hora_Inf")));
        } else {
            hour->SetAsString(Ajusta_Hora(hour->AsString()));
            const QString text = hour->AsString();
            if (text.left(2).trimmed() > QLatin1String("23") || text.mid(2, 2).trimmed() > QLatin1String("59"))
                MensErro(msgPadrao.Msg(QStringLiteral("Hora_Inv")).replace(QLatin1String("%s"), text));
        }
        hours->SetAsFloat(StTimeToReal(hour->AsString()));
    } catch (...) {
        focusColumn(dbgConfesco, ItemField::Hour);
        throw;
    }
}

void TfrmEntParenteral::Vd_ViaAcesso(bool required)
{
    checkCodeColumn(*codeColumn(RecordLevelId::Items, ItemField::Route), required);
}

void TfrmEntParenteral::Vd_Formulacao(bool required)
{
    if (!isEditing(*cdsConfesco))
        return;
    try {
        const QString code = cdsConfesco->FieldByName(ItemField::Formulation)->AsString();
        if (code.isEmpty()) {
            if (required)
                MensErro(msgPadrao.Msg(QStringLiteral("Formulacao_Inf")));
            return;
        }
        Field *preparation = cdsConfesco->FieldByName(ItemField::Preparation);
        if (preparation->AsString().isEmpty())
            preparation->SetAsString(ItemField::OpenSystem);
        const QString unknown = QStringLiteral("Fomulacao_NCad");
        if (preparation->AsString() == ItemField::OpenSystem) {
            LoadFromServer(*cdsVerifPrato, *netEntPat, QStringLiteral("getVerifPrato"), {code, BranchCode()});
            if (cdsVerifPrato->IsEmpty())
                MensErro(msgPadrao.Msg(unknown));
            setItemDish(cdsVerifPrato->FieldByName(QStringLiteral("CDPRATO"))->AsString(),
                        cdsVerifPrato->FieldByName(QStringLiteral("NMPRATO"))->AsString(),
                        cdsVerifPrato->FieldByName(QStringLiteral("SGUNIDADE"))->AsString(), QString());
        } else {
            LoadFromServer(*cdsVerifProd, *netEntPat, QStringLiteral("getVerifProd"), {code});
            if (cdsVerifProd->IsEmpty())
                MensErro(msgPadrao.Msg(unknown));
            setItemProduct(cdsVerifProd->FieldByName(QStringLiteral("CDPRODUTO"))->AsString(),
                           cdsVerifProd->FieldByName(QStringLiteral("CDARVPROD"))->AsString(),
                           cdsVerifProd->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(),
                           cdsVerifProd->FieldByName(QStringLiteral("SGUNIDADE"))->AsString());
        }
    } catch (...) {
        focusColumn(dbgConfesco, ItemField::Formulation);
        throw;
    }
}

// Both kinds fill their own unit too, so the unit shown never stays the
// one of an earlier formulation; the formulation code becomes the server's
// form of the code (the hierarchical code for a product).
void TfrmEntParenteral::setItemDish(const QString &code, const QString &name, const QString &unit,
                                    const QString &dishBranch)
{
    cdsConfesco->FieldByName(QStringLiteral("NMPRATO"))->SetAsString(name);
    cdsConfesco->FieldByName(QStringLiteral("CDPRATO"))->SetAsString(code);
    cdsConfesco->FieldByName(QStringLiteral("SGUNIDADE"))->SetAsString(unit);
    cdsConfesco->FieldByName(QStringLiteral("UNIDPRA"))->SetAsString(unit);
    if (!dishBranch.isEmpty())
        cdsConfesco->FieldByName(QStringLiteral("CDFILAUXPRAT"))->SetAsString(dishBranch);
    cdsConfesco->FieldByName(QStringLiteral("CDPRODUTO"))->Clear();
    cdsConfesco->FieldByName(QStringLiteral("CDARVPROD"))->Clear();
    cdsConfesco->FieldByName(ItemField::Formulation)->SetAsString(code);
}

void TfrmEntParenteral::setItemProduct(const QString &code, const QString &treeCode, const QString &name,
                                       const QString &unit)
{
    cdsConfesco->FieldByName(QStringLiteral("NMPRODUTO"))->SetAsString(name);
    cdsConfesco->FieldByName(QStringLiteral("CDARVPROD"))->SetAsString(treeCode);
    cdsConfesco->FieldByName(QStringLiteral("SGUNIDADE"))->SetAsString(unit);
    cdsConfesco->FieldByName(QStringLiteral("UNIDPRO"))->SetAsString(unit);
    cdsConfesco->FieldByName(QStringLiteral("CDPRODUTO"))->SetAsString(code);
    cdsConfesco->FieldByName(QStringLiteral("CDPRATO"))->Clear();
    cdsConfesco->FieldByName(QStringLiteral("CDFILAUXPRAT"))->Clear();
    cdsConfesco->FieldByName(ItemField::Formulation)->SetAsString(treeCode);
}

// ---------------------------------------------------------------- post, send, cancel

void TfrmEntParenteral::refuseItem(const QString &fieldName, const QString &messageKey)
{
    focusColumn(dbgConfesco, fieldName);
    MensErro(msgPadrao.Msg(messageKey));
}

void TfrmEntParenteral::cdsConfescoBeforePost()
{
    if (boValidaConfesco) {
        const Field *date = cdsConfesco->FieldByName(ItemField::Date);
        if (date->IsNull())
            refuseItem(ItemField::Date, QStringLiteral("Data_Inf"));
        if (cdsServInte->FieldByName(QStringLiteral("DTSERVINTE"))->AsDateTime() > date->AsDateTime())
            refuseItem(ItemField::Date, QStringLiteral("Data_Maior_Serv"));
        Vd_Hora(true);
        Vd_ViaAcesso(true);
        if (cdsConfesco->FieldByName(ItemField::Preparation)->AsString().isEmpty())
            refuseItem(ItemField::Preparation, QStringLiteral("Prepara_Inf"));
        Vd_Formulacao(true);

        const Field *prescribed = cdsConfesco->FieldByName(ItemField::Prescribed);
        const Field *infused = cdsConfesco->FieldByName(ItemField::Infused);
        const Field *speed = cdsConfesco->FieldByName(ItemField::Speed);
        if (prescribed->IsNull())
            refuseItem(ItemField::Prescribed, QStringLiteral("Quantid_Inf"));
        if (infused->IsNull())
            refuseItem(ItemField::Infused, QStringLiteral("Quantid_Inf"));
        if (speed->IsNull())
            refuseItem(ItemField::Speed, QStringLiteral("Veloci_Inf"));
        if (prescribed->AsFloat() <= 0)
            refuseItem(ItemField::Prescribed, QStringLiteral("Quantid_Dif"));
        if (infused->AsFloat() <= 0)
            refuseItem(ItemField::Infused, QStringLiteral("Quantid_Dif"));
        if (infused->AsFloat() > prescribed->AsFloat())
            refuseItem(ItemField::Infused, QStringLiteral("Quant_Infu_Menor"));
        if (speed->AsFloat() <= 0)
            refuseItem(ItemField::Speed, QStringLiteral("Veloci_Dif"));
        confirmItemHangTime();
        cdsConfesco->FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(BranchCode());
    }
    Seta_Campo_Null(*cdsConfesco);
}

// After every check: a volume that takes longer than the safe hang time of
// its system at its speed is posted only when the user agrees.
void TfrmEntParenteral::confirmItemHangTime()
{
    const QString preparation = cdsConfesco->FieldByName(ItemField::Preparation)->AsString();
    const QString name = cdsConfesco
                             ->FieldByName(preparation == ItemField::OpenSystem ? QStringLiteral("NMPRATO")
                                                                                : QStringLiteral("NMPRODUTO"))
                             ->AsString();
    const QString item = cdsConfesco->FieldByName(ItemField::Number)->AsString()
                         + (name.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(name));
    const HangLimits limits = HangLimits::load(*netEntPat, BranchCode());
    if (!ConfirmHangTime(limits, preparation, cdsConfesco->FieldByName(ItemField::Prescribed)->AsFloat(),
                         cdsConfesco->FieldByName(ItemField::Speed)->AsFloat(), item)) {
        focusColumn(dbgConfesco, ItemField::Prescribed);
        throw Abort();
    }
}

void TfrmEntParenteral::sendItemChanges(PendingChange change)
{
    // A refused change is dropped and the list shows what the server holds
    // (another user's item or values included), on the same item.
    const QString number = cdsConfesco->FieldByName(ItemField::Number)->AsString();
    SendChanges(*cdsConfesco, *netEntPat, QStringLiteral("SetConfesco"), change, [this, number] {
        LoadCompositionItems();
        cdsConfesco->Locate(ItemField::Number, number);
    });
}

void TfrmEntParenteral::cdsConfescoAfterPost()
{
    sendItemChanges(PendingChange::Post);
}

void TfrmEntParenteral::cdsConfescoAfterDelete()
{
    const auto refresh = qScopeGuard([this] { dtsConfescoStateChange(); });
    sendItemChanges(PendingChange::Deletion);
}

void TfrmEntParenteral::cdsConfescoAfterCancel()
{
    cdsConfesco->CancelUpdates();
}

void TfrmEntParenteral::cdsConfescoAfterScroll()
{
    if (!boValidaConfesco)
        return;
    if (cdsConfesco->IsEmpty())
        cdsOcorrencia->Close();
    else
        LoadOccurrences();
}
