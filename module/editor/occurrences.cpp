// Infusion occurrences: what interrupted or changed the infusion of the
// current composition item, typed in the grid dbgOcorrencia and sent at once
// to the server. A stored occurrence is part of the patient's record: it is
// never altered, only deleted and entered again.

#include "editor/frmentparenteral.h"

#include "core/abort.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/dbgrid.h"
#include "widgets/edit.h"
#include "editor/gridfields.h"
#include "core/messages.h"
#include "net/tnetconnection.h"
#include "widgets/waitanimation.h"

#include <QDateTime>
#include <QScopeGuard>
#include <QStringList>

namespace {

const QString kDate = QStringLiteral("DTOCORINFU");
const QString kType = QStringLiteral("CDTPOCORINFU");
const QString kTypeName = QStringLiteral("NMTPOCORINFU");
// The fields naming the item an occurrence belongs to.
const QStringList kItemFields = {QStringLiteral("CDPACIENTE"), QStringLiteral("DTSERVINTE"),
                                 QStringLiteral("NRSEQUSERV"), QStringLiteral("CDSEQUCOPR")};

} // namespace

void TfrmEntParenteral::wireOccurrences()
{
    dbgOcorrencia->SetColumns({
        {kDate, QStringLiteral("Data"), 130},
        {kType, QStringLiteral("Ocorrência"), 90},
        {kTypeName, QStringLiteral("Nome"), 360, true},
    });

    cdsOcorrencia->OnNewRecord = [this](ClientDataSet &) { cdsOcorrenciaNewRecord(); };
    cdsOcorrencia->BeforePost = [this](ClientDataSet &) { cdsOcorrenciaBeforePost(); };
    cdsOcorrencia->AfterPost = [this](ClientDataSet &) { cdsOcorrenciaAfterPost(); };
    cdsOcorrencia->AfterCancel = [this](ClientDataSet &) { cdsOcorrenciaAfterCancel(); };
    cdsOcorrencia->AfterDelete = [this](ClientDataSet &) { cdsOcorrenciaAfterDelete(); };
    cdsOcorrencia->OnStateChange = [this](ClientDataSet &) { dtsOcorrenciaStateChange(); };
    cdsOcorrencia->FieldByName(kDate)->OnSetText = [this](Field &field, const QString &text) {
        cdsOcorrenciaDTOCORINFUSetText(field, text);
    };

    dbgOcorrencia->OnEnter = [this](TDBGrid &) { dbgOcorrenciaEnter(); };
    dbgOcorrencia->OnExit = [this](TDBGrid &) { dbgOcorrenciaExit(); };
    dbgOcorrencia->OnColExit = [this](TDBGrid &) { dbgOcorrenciaColExit(); };
    dbgOcorrencia->OnKeyPress = [this](TDBGrid &, QChar &key) { dbgOcorrenciaKeyPress(key); };
    dbgOcorrencia->OnKeyDown = [this](TDBGrid &, int &key, Qt::KeyboardModifiers) { dbgOcorrenciaKeyDown(key); };
    dbgOcorrencia->OnEditButtonClick = [this](TDBGrid &) { dbgOcorrenciaEditButtonClick(); };
}

// ---------------------------------------------------------------- loading and focus

void TfrmEntParenteral::dbgOcorrenciaEnter()
{
    if (!cdsOcorrencia->Active() && cdsConfesco->Active() && !cdsConfesco->IsEmpty()) {
        WaitAnimation busy(this, 6);
        LoadOccurrences();
    }
    dtsOcorrenciaStateChange();
}

void TfrmEntParenteral::dbgOcorrenciaExit()
{
    if (isEditing(*cdsOcorrencia))
        cdsOcorrencia->Post();
}

// ---------------------------------------------------------------- new occurrence and checks

void TfrmEntParenteral::cdsOcorrenciaNewRecord()
{
    focusColumn(dbgOcorrencia, kType);
    // The entry is to the minute: what the user sees is what is stored, and
    // two entries in the same minute are the same moment.
    const QDateTime now = QDateTime::currentDateTime();
    cdsOcorrencia->FieldByName(kDate)->SetAsDateTime(QDateTime(now.date(), QTime(now.time().hour(), now.time().minute())));
    cdsOcorrencia->FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(edtCdPaciente->Text());
    for (const QString &name : kItemFields.mid(1))
        cdsOcorrencia->FieldByName(name)->SetValue(cdsConfesco->FieldByName(name)->Value());
}

void TfrmEntParenteral::cdsOcorrenciaDTOCORINFUSetText(Field &field, const QString &text)
{
    CheckDateTime(field, text);
}

void TfrmEntParenteral::Vd_Ocorrencia(bool mandatory)
{
    checkCodeColumn(*codeColumn(RecordLevelId::Occurrences, kType), mandatory);
}

void TfrmEntParenteral::dbgOcorrenciaColExit()
{
    if (selectedFieldName(*dbgOcorrencia) == kType)
        Vd_Ocorrencia(false);
}

bool TfrmEntParenteral::repeatsListedOccurrence() const
{
    QStringList keyFields = kItemFields;
    keyFields << kDate << kType;
    const int current = cdsOcorrencia->RecNo();
    for (int row = 0; row < cdsOcorrencia->RecordCount(); ++row) {
        if (row == current)
            continue;
        bool same = true;
        for (const QString &name : keyFields) {
            const Field *field = cdsOcorrencia->FieldByName(name);
            same = same && cdsOcorrencia->valueAt(row, field->Index()) == field->Value();
        }
        if (same)
            return true;
    }
    return false;
}

void TfrmEntParenteral::cdsOcorrenciaBeforePost()
{
    const Field *date = cdsOcorrencia->FieldByName(kDate);
    if (date->IsNull()) {
        focusColumn(dbgOcorrencia, kDate);
        MensErro(msgPadrao.Msg(QStringLiteral("Data_Inf")));
    }
    // The item's consumption date is where its infusion starts.
    const Field *itemDate = cdsConfesco->FieldByName(QStringLiteral("DTCONSCONF"));
    if (!itemDate->IsNull() && itemDate->AsDateTime() > date->AsDateTime()) {
        focusColumn(dbgOcorrencia, kDate);
        MensErro(msgPadrao.Msg(QStringLiteral("DataOcor_Maior_DataVia")));
    }
    Vd_Ocorrencia(true);
    if (cdsOcorrencia->State() == DataSetState::Insert && repeatsListedOccurrence()) {
        focusColumn(dbgOcorrencia, kDate);
        MensErro(msgPadrao.Msg(QStringLiteral("Ocorre_JCad")));
    }
    cdsOcorrencia->FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(BranchCode());
}

// ---------------------------------------------------------------- send, cancel

void TfrmEntParenteral::cdsOcorrenciaAfterPost()
{
    SendChanges(*cdsOcorrencia, *netEntPat, QStringLiteral("SetOcorrencia"), PendingChange::Post);
}

void TfrmEntParenteral::cdsOcorrenciaAfterDelete()
{
    const auto refresh = qScopeGuard([this] { dtsOcorrenciaStateChange(); });
    SendChanges(*cdsOcorrencia, *netEntPat, QStringLiteral("SetOcorrencia"), PendingChange::Deletion);
}

void TfrmEntParenteral::cdsOcorrenciaAfterCancel()
{
    cdsOcorrencia->CancelUpdates();
}

// ---------------------------------------------------------------- keys and search

void TfrmEntParenteral::dbgOcorrenciaKeyPress(QChar &key)
{
    if (cdsOcorrencia->State() != DataSetState::Browse)
        return;
    if (cdsOcorrencia->IsEmpty()) {
        // Typing into an empty list starts a new occurrence.
        if (key.isPrint())
            cdsOcorrencia->Insert();
        return;
    }
    key = QChar();
}

void TfrmEntParenteral::dbgOcorrenciaKeyDown(int &key)
{
    if (key != Qt::Key_Delete && key != Qt::Key_Backspace)
        return;
    const DataSetState state = cdsOcorrencia->State();
    if (state == DataSetState::Insert)
        return;
    // Neither the text of a stored occurrence nor the row itself is deleted
    // by a key: deletion goes through Excluir and its question.
    if (state == DataSetState::Edit)
        cdsOcorrencia->Cancel();
    key = 0;
    throw Abort();
}

void TfrmEntParenteral::dbgOcorrenciaEditButtonClick()
{
    if (const CodeColumn *column = codeColumn(RecordLevelId::Occurrences, selectedFieldName(*dbgOcorrencia)))
        pickCode(*column);
}

// ---------------------------------------------------------------- commands by state

void TfrmEntParenteral::dtsOcorrenciaStateChange()
{
    // Only a new occurrence is typed into, and only it has the type search.
    const bool inserting = cdsOcorrencia->State() == DataSetState::Insert;
    for (int column = 0; column < dbgOcorrencia->ColumnCount(); ++column) {
        TDBGrid::TColumn &entry = dbgOcorrencia->Column(column);
        if (entry.fieldName == kType)
            entry.buttonStyle = inserting ? TDBGrid::TColumn::Ellipsis : TDBGrid::TColumn::None;
        if (entry.fieldName != kTypeName)
            entry.readOnly = !inserting;
    }
    dbgOcorrencia->viewport()->update();
    UpdateCommands();
}
