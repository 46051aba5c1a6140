// Service records: the head of each prescription of the patient's
// admission, edited in the grid dbgServico and sent at once to the server.

#include "frmentparenteral.h"

#include "core/abort.h"
#include "data/adoibquery.h"
#include "core/clientdataset.h"
#include "net/servercall.h"
#include "core/consiste.h"
#include "widgets/dbgrid.h"
#include "screens/dbnavigator.h"
#include "widgets/edit.h"
#include "core/messages.h"
#include "net/tnetconnection.h"
#include "core/packets.h"
#include "widgets/panel.h"
#include "widgets/searchlists.h"
#include "core/velunor.h"
#include "widgets/widgetutils.h"

#include <QAction>
#include <QJsonArray>
#include <QLocale>
#include <QPainter>

namespace {

const QString kDate = QStringLiteral("DTSERVINTE");
const QString kService = QStringLiteral("CDSERVFILI");
const QString kDiet = QStringLiteral("CDDIETPAD");
const QString kWeight = QStringLiteral("NRSERVPESO");

bool isEditing(const ClientDataSet &dataSet)
{
    return dataSet.State() == DataSetState::Edit || dataSet.State() == DataSetState::Insert;
}

QString selectedFieldName(const TDBGrid &grid)
{
    const Field *field = grid.SelectedField();
    return field ? field->FieldName() : QString();
}

} // namespace

void TfrmEntParenteral::wireServiceRecords()
{
    cdsServInte->BeforeInsert = [this](ClientDataSet &) { cdsServInteBeforeInsert(); };
    cdsServInte->OnNewRecord = [this](ClientDataSet &) { cdsServInteNewRecord(); };
    cdsServInte->BeforePost = [this](ClientDataSet &) { cdsServInteBeforePost(); };
    cdsServInte->AfterPost = [this](ClientDataSet &) { cdsServInteAfterPost(); };
    cdsServInte->AfterCancel = [this](ClientDataSet &) { cdsServInteAfterCancel(); };
    cdsServInte->BeforeDelete = [this](ClientDataSet &) { m_deletion = Deletion::Removing; };
    cdsServInte->AfterDelete = [this](ClientDataSet &) { cdsServInteAfterDelete(); };
    cdsServInte->AfterScroll = [this](ClientDataSet &) { cdsServInteAfterScroll(); };
    cdsServInte->OnStateChange = [this](ClientDataSet &) { dtsServInteStateChange(); };
    cdsServInte->FieldByName(kDate)->OnSetText = [this](Field &field, const QString &text) {
        cdsServInteDTSERVINTESetText(field, text);
    };

    dbgServico->OnEnter = [this](TDBGrid &) { dbgServicoEnter(); };
    dbgServico->OnExit = [this](TDBGrid &) { dbgServicoExit(); };
    dbgServico->OnColExit = [this](TDBGrid &) { dbgServicoColExit(); };
    dbgServico->OnKeyPress = [this](TDBGrid &, QChar &key) { dbgServicoKeyPress(key); };
    dbgServico->OnKeyDown = [this](TDBGrid &, int &key, Qt::KeyboardModifiers) { dbgServicoKeyDown(key); };
    showCodeNames(*dbgServico, [this](const QString &fieldName, const RowValue &) {
        return serviceNameColumn(fieldName);
    });
    dbgServico->OnEditButtonClick = [this](TDBGrid &) { dbgServicoEditButtonClick(); };
}

// ---------------------------------------------------------------- loading

void TfrmEntParenteral::cdsServInteAfterScroll()
{
    // While a record is removed the rows move under the grid, and once the
    // deletion is sent the reload has loaded the items of the new current
    // record: neither needs a load of its own.
    if (m_deletion == Deletion::Removing)
        return;
    if (m_deletion == Deletion::Sent) {
        m_deletion = Deletion::None;
        return;
    }
    LoadCompositionItems();
    if (cdsConfesco->IsEmpty())
        cdsOcorrencia->Close();
}

void TfrmEntParenteral::dbgServicoEnter()
{
    // A pending record (a new one has no patient code before its post) is
    // never thrown away by coming back into the grid.
    const bool otherPatient = !cdsServInte->Active() || cdsServInte->IsEmpty()
                              || edtCdPaciente->Text()
                                     != cdsServInte->FieldByName(QStringLiteral("CDPACIENTE"))->AsString();
    if (otherPatient && !isEditing(*cdsServInte))
        LoadServiceRecords();
    dtsServInteStateChange();
}

void TfrmEntParenteral::dbgServicoExit()
{
    if (isEditing(*cdsServInte))
        cdsServInte->Post();
}

// ---------------------------------------------------------------- insertion

void TfrmEntParenteral::cdsServInteBeforeInsert()
{
    LoadFromServer(*cdsNutricio, *netEntPat, QStringLiteral("getNutricio"), {Operador(), BranchCode()});
    if (cdsNutricio->IsEmpty())
        MensErro(msgPadrao.Msg(QStringLiteral("Oper_Per")));
}

void TfrmEntParenteral::cdsServInteNewRecord()
{
    focusColumn(dbgServico, kService);
    cdsServInte->FieldByName(kDate)->SetAsDateTime(QDate::currentDate().startOfDay());
    cdsServInte->FieldByName(QStringLiteral("NMOPERADOR"))->SetAsString(NomeOperador());
    cdsServInte->FieldByName(QStringLiteral("CDNUTRICIO"))->SetAsString(Operador());
}

// ---------------------------------------------------------------- column checks

void TfrmEntParenteral::Vd_Servico(bool mandatory)
{
    checkCodeColumn(*codeColumn(RecordLevelId::Services, kService), mandatory);
}

void TfrmEntParenteral::Vd_Dieta(bool mandatory)
{
    checkCodeColumn(*codeColumn(RecordLevelId::Services, kDiet), mandatory);
}

void TfrmEntParenteral::Vd_Data(Field &field, const QString &text)
{
    // The text of an emptied date entry: the separators of the short date
    // format in place, blanks everywhere else.
    QString blank = QLocale().dateFormat(QLocale::ShortFormat);
    for (QChar &character : blank)
        if (character.isLetter())
            character = QLatin1Char(' ');
    if (text == blank) {
        if (isEditing(*field.DataSet()))
            field.Clear();
        return;
    }
    const QDate date = QLocale().toDate(text.trimmed(), QLocale::ShortFormat);
    if (!date.isValid() || date < QDate(1900, 1, 1))
        MensErro(QLatin1Char('\'') + text + QStringLiteral("' ") + msgPadrao.Msg(QStringLiteral("DATA_INVALIDA")));
    field.SetAsDateTime(date.startOfDay());
}

void TfrmEntParenteral::cdsServInteDTSERVINTESetText(Field &field, const QString &text)
{
    Vd_Data(field, text);
}

void TfrmEntParenteral::dbgServicoColExit()
{
    if (const CodeColumn *column = codeColumn(RecordLevelId::Services, selectedFieldName(*dbgServico)))
        checkCodeColumn(*column, false);
}

// ---------------------------------------------------------------- keys and drawing

void TfrmEntParenteral::dbgServicoKeyPress(QChar &key)
{
    const DataSetState state = cdsServInte->State();
    const bool weight = selectedFieldName(*dbgServico) == kWeight;
    if ((state == DataSetState::Browse || state == DataSetState::Edit) && !cdsServInte->IsEmpty() && !weight) {
        key = QChar();
        return;
    }
    if (weight && isEditing(*cdsServInte))
        GridMaxNumber(*dbgServico, 9, 3, key);
}

void TfrmEntParenteral::dbgServicoKeyDown(int &key)
{
    if ((key == Qt::Key_Delete || key == Qt::Key_Backspace) && cdsServInte->State() == DataSetState::Edit
        && selectedFieldName(*dbgServico) != kWeight) {
        cdsServInte->Cancel();
        key = 0;
        throw Abort();
    }
}

std::optional<CodeColumn> TfrmEntParenteral::serviceNameColumn(const QString &fieldName) const
{
    const CodeColumn *column = codeColumn(RecordLevelId::Services, fieldName);
    return column ? std::optional<CodeColumn>(*column) : std::nullopt;
}

void TfrmEntParenteral::dbgServicoEditButtonClick()
{
    if (const CodeColumn *column = codeColumn(RecordLevelId::Services, selectedFieldName(*dbgServico)))
        pickCode(*column);
}

// ---------------------------------------------------------------- post, send, cancel

void TfrmEntParenteral::cdsServInteBeforePost()
{
    Field *date = cdsServInte->FieldByName(kDate);
    if (date->IsNull()) {
        focusColumn(dbgServico, kDate);
        MensErro(msgPadrao.Msg(QStringLiteral("Data_Inf")));
    }
    // No weight is accepted; a weight of zero or less is no weight at all.
    const Field *weight = cdsServInte->FieldByName(kWeight);
    if (!weight->IsNull() && weight->AsFloat() <= 0) {
        focusColumn(dbgServico, kWeight);
        MensErro(msgPadrao.Msg(QStringLiteral("Peso_Negativo")));
    }
    Vd_Servico(true);
    Vd_Dieta(true);

    const QJsonValue dtInterna = valueToJson(cdsPaciente->FieldByName(QStringLiteral("DTINTERNA"))->Value());
    const QJsonArray packets =
        CallServer(*netEntPat, QStringLiteral("getVdPostServInte"),
                   {edtCdPaciente->Text(), valueToJson(date->Value()), cdsServInte->FieldByName(kService)->AsString(),
                    cdsServInte->FieldByName(kDiet)->AsString(), dtInterna, BranchCode()})
            .toArray();
    const bool inserting = cdsServInte->State() == DataSetState::Insert;
    LoadPacket(*cdsValidaServ, packets.at(0));
    if (!cdsValidaServ->IsEmpty() && inserting) {
        focusColumn(dbgServico, kDate);
        MensErro(msgPadrao.Msg(QStringLiteral("Serv_JCad")));
    }
    LoadPacket(*cdsNrServInte, packets.at(1));
    // Only a new record is numbered: an edited record keeps its key, which
    // its composition items carry too.
    if (inserting) {
        bool ok = false;
        const int highest = cdsNrServInte->FieldByName(QStringLiteral("NRSEQUSERV"))->AsString().toInt(&ok);
        if (cdsNrServInte->IsEmpty() || !ok)
            throw UserError(QStringLiteral("O servidor não informou a última sequência do serviço."));
        Field *sequence = cdsServInte->FieldByName(QStringLiteral("NRSEQUSERV"));
        const QString next = QString::number(highest + 1);
        if (next.size() > sequence->Size())
            MensErro(msgPadrao.Msg(QStringLiteral("Serv_Esgot")));
        cdsServInte->FieldByName(QStringLiteral("CDPACIENTE"))->SetAsString(edtCdPaciente->Text());
        sequence->SetAsString(Ajusta(next, sequence->Size()));
    }
    LoadPacket(*cdsVerifObs, packets.at(2));
    QString observation;
    if (!cdsVerifObs->IsEmpty()) {
        observation = cdsVerifObs->FieldByName(QStringLiteral("DSSERVINTE"))->AsString();
    } else {
        LoadPacket(*cdsDescHabi, packets.at(3));
        if (!cdsDescHabi->IsEmpty())
            observation = cdsDescHabi->FieldByName(QStringLiteral("DSOBSGERAL"))->AsString();
    }

    cdsServInte->FieldByName(QStringLiteral("DTINTERNA"))->SetValue(cdsPaciente->FieldByName(QStringLiteral("DTINTERNA"))->Value());
    cdsServInte->FieldByName(QStringLiteral("CDFILIAL"))->SetAsString(BranchCode());
    cdsServInte->FieldByName(QStringLiteral("NRACOMPANA"))->SetAsString(QStringLiteral("0"));
    cdsServInte->FieldByName(QStringLiteral("STPACIACOM"))->SetAsString(QStringLiteral("0"));
    cdsServInte->FieldByName(QStringLiteral("IDIMPRSERV"))->SetAsString(QStringLiteral("S"));
    cdsServInte->FieldByName(QStringLiteral("CDDIETGRUPSI"))->SetAsString(cdsServInte->FieldByName(kDiet)->AsString());
    cdsServInte->FieldByName(QStringLiteral("DSSERVINTE"))->SetAsString(observation);
}

void TfrmEntParenteral::sendServiceChanges(PendingChange change)
{
    if (cdsServInte->ChangeCount() == 0)
        return;
    SendChanges(*cdsServInte, *netEntPat, QStringLiteral("SetServInte"), change);
    LoadServiceRecords();
}

void TfrmEntParenteral::cdsServInteAfterPost()
{
    sendServiceChanges(PendingChange::Post);
}

void TfrmEntParenteral::cdsServInteAfterDelete()
{
    m_deletion = Deletion::None;
    try {
        sendServiceChanges(PendingChange::Deletion);
    } catch (...) {
        dtsServInteStateChange();
        throw;
    }
    m_deletion = Deletion::Sent;
    dtsServInteStateChange();
}

void TfrmEntParenteral::cdsServInteAfterCancel()
{
    cdsServInte->CancelUpdates();
}

// ---------------------------------------------------------------- commands by state

void TfrmEntParenteral::dtsServInteStateChange()
{
    const DataSetState state = cdsServInte->State();
    edtIdade->setEnabled(false);
    const bool inserting = state == DataSetState::Insert;
    const bool keyReadOnly = state == DataSetState::Browse || state == DataSetState::Edit;
    for (int column = 0; column < dbgServico->ColumnCount(); ++column) {
        TDBGrid::TColumn &entry = dbgServico->Column(column);
        if (codeColumn(RecordLevelId::Services, entry.fieldName))
            entry.buttonStyle = inserting ? TDBGrid::TColumn::Ellipsis : TDBGrid::TColumn::None;
        if (entry.fieldName == kDate || entry.fieldName == kService || entry.fieldName == kDiet)
            entry.readOnly = keyReadOnly;
    }
    dbgServico->viewport()->update();
    UpdateCommands();
}
