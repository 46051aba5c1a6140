#include "core/abort.h"
#include "core/clientdataset.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

namespace {

FieldDef text(const QString &name, int size)
{
    FieldDef def;
    def.name = name;
    def.size = size;
    return def;
}

FieldDef typed(const QString &name, FieldType type)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    return def;
}

FieldDef calculatedLabel()
{
    FieldDef label = text(QStringLiteral("LABEL"), 20);
    label.calculated = true;
    return label;
}

// Items keyed by CODE, with a unit of five characters and a weight; the
// calculated LABEL after the code when `labelAfterCode`.
void declareItems(ClientDataSet &data, bool labelAfterCode = false)
{
    data.setObjectName(QStringLiteral("cdsItems"));
    data.AddField(text(QStringLiteral("CODE"), 4));
    if (labelAfterCode)
        data.AddField(calculatedLabel());
    data.AddField(text(QStringLiteral("UNIT"), 5));
    FieldDef weight = typed(QStringLiteral("WEIGHT"), FieldType::Real);
    weight.displayFormat = QStringLiteral("#,##0.000");
    weight.editFormat = QStringLiteral("##0.000");
    data.AddField(weight);
    data.AddField(typed(QStringLiteral("DAY"), FieldType::DateTime));
}

// The items with a calculated field LABEL after them (index 4).
void declareItemsWithLabel(ClientDataSet &data)
{
    declareItems(data);
    data.AddField(calculatedLabel());
}

DataPacket itemsPacket()
{
    DataPacket packet;
    packet.fields = {{QStringLiteral("DAY"), FieldType::DateTime, 0},
                     {QStringLiteral("CODE"), FieldType::Text, 4},
                     {QStringLiteral("UNIT"), FieldType::Text, 10},
                     {QStringLiteral("WEIGHT"), FieldType::Real, 0},
                     {QStringLiteral("EXTRA"), FieldType::Text, 3}};
    const QDateTime day(QDate(2026, 12, 7), QTime(0, 0));
    packet.rows = {{day, QStringLiteral("0001"), QStringLiteral("ml"), 1.5, QStringLiteral("x")},
                   {day, QStringLiteral("0002"), QStringLiteral("frasco"), 1234.5, QStringLiteral("y")},
                   {day, QStringLiteral("0003"), QVariant(), QVariant(), QStringLiteral("z")}};
    return packet;
}

// The same packet with its columns in the order of the items' fields
// (EXTRA still last).
DataPacket itemsPacketInFieldOrder()
{
    DataPacket packet = itemsPacket();
    const int order[] = {1, 2, 3, 0, 4};
    DataPacket ordered;
    for (const int column : order)
        ordered.fields.append(packet.fields.at(column));
    for (const QVector<QVariant> &row : packet.rows) {
        QVector<QVariant> values;
        for (const int column : order)
            values.append(row.at(column));
        ordered.rows.append(values);
    }
    return ordered;
}

void loadItems(ClientDataSet &data)
{
    declareItems(data);
    data.LoadFromPacket(itemsPacket());
}

QStringList codes(const ClientDataSet &data)
{
    QStringList result;
    for (int row = 0; row < data.RecordCount(); ++row)
        result << data.valueAt(row, 0).toString();
    return result;
}

} // namespace

class TestClientDataSet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void loadsPersistentFieldsByName_data()
    {
        QTest::addColumn<bool>("fieldOrder");
        QTest::addColumn<bool>("labelAfterCode");
        QTest::newRow("columns in another order") << false << false;
        QTest::newRow("columns in the fields' order") << true << false;
        QTest::newRow("calculated field among the columns' fields") << true << true;
    }

    void loadsPersistentFieldsByName()
    {
        QFETCH(bool, fieldOrder);
        QFETCH(bool, labelAfterCode);
        ClientDataSet data;
        declareItems(data, labelAfterCode);
        data.LoadFromPacket(fieldOrder ? itemsPacketInFieldOrder() : itemsPacket());
        QCOMPARE(data.State(), DataSetState::Browse);
        QCOMPARE(data.RecordCount(), 3);
        QCOMPARE(data.RecNo(), 0);
        QCOMPARE(data.FieldCount(), labelAfterCode ? 5 : 4); // EXTRA is not a persistent field
        if (labelAfterCode)
            QVERIFY(data.FieldByName(QStringLiteral("LABEL"))->IsNull());
        QCOMPARE(data.FieldByName(QStringLiteral("code"))->AsString(), QStringLiteral("0001"));
        data.Next();
        // A text longer than its field keeps its first characters.
        QCOMPARE(data.FieldByName(QStringLiteral("UNIT"))->AsString(), QStringLiteral("frasc"));
        QCOMPARE(data.FieldByName(QStringLiteral("WEIGHT"))->DisplayText(), QStringLiteral("1.234,500"));
        QCOMPARE(data.FieldByName(QStringLiteral("WEIGHT"))->Text(), QStringLiteral("1234,500"));
        QCOMPARE(data.FieldByName(QStringLiteral("DAY"))->DisplayText(), QStringLiteral("07/12/2026"));
        data.Next();
        QVERIFY(data.FieldByName(QStringLiteral("UNIT"))->IsNull());
        QCOMPARE(data.FieldByName(QStringLiteral("WEIGHT"))->DisplayText(), QString());
        QCOMPARE(data.ChangeCount(), 0);
    }

    void loadRefusesPacketWithoutPersistentField()
    {
        ClientDataSet data;
        declareItems(data);
        data.AddField(text(QStringLiteral("MISSING"), 2));
        QVERIFY_THROWS_EXCEPTION(UserError, data.LoadFromPacket(itemsPacket()));
        QVERIFY(!data.Active());

        // A dataset without persistent fields takes the packet's columns.
        ClientDataSet open;
        open.LoadFromPacket(itemsPacket());
        QCOMPARE(open.FieldCount(), 5);
        QCOMPARE(open.FieldByName(QStringLiteral("UNIT"))->Size(), 10);
    }

    void navigationAndLocate()
    {
        ClientDataSet data;
        loadItems(data);
        QVERIFY(data.Bof());
        QVERIFY(!data.Eof());
        QStringList visited;
        for (data.First(); !data.Eof(); data.Next())
            visited << data.FieldByName(QStringLiteral("CODE"))->AsString();
        QCOMPARE(visited, QStringList({"0001", "0002", "0003"}));
        QCOMPARE(data.RecNo(), 2);

        QVERIFY(data.Locate(QStringLiteral("UNIT"), QStringLiteral("ML"), true));
        QCOMPARE(data.RecNo(), 0);
        QVERIFY(!data.Locate(QStringLiteral("UNIT"), QStringLiteral("ML"), false));
        QCOMPARE(data.RecNo(), 0);
        QVERIFY(!data.Locate(QStringLiteral("CODE"), QStringLiteral("9999"), true));

        // Moving away from a pending edit posts it.
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("g"));
        data.Next();
        QCOMPARE(data.State(), DataSetState::Browse);
        QCOMPARE(data.ChangeCount(), 1);
    }

    void changeLogRecordsInsertModifyDelete()
    {
        ClientDataSet data;
        loadItems(data);

        data.Append();
        data.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0004"));
        data.FieldByName(QStringLiteral("WEIGHT"))->SetText(QStringLiteral("2,25"));
        data.Post();
        ChangePacket delta = data.Delta();
        QCOMPARE(delta.changes.size(), 1);
        QCOMPARE(delta.changes[0].kind, ChangeKind::Insert);
        QCOMPARE(delta.changes[0].newValues.value(QStringLiteral("CODE")).toString(), QStringLiteral("0004"));
        QCOMPARE(delta.changes[0].newValues.value(QStringLiteral("WEIGHT")).toDouble(), 2.25);
        data.MergeChangeLog();
        QCOMPARE(data.ChangeCount(), 0);

        data.First();
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("l"));
        data.Post();
        data.Next();
        data.Delete();
        delta = data.Delta();
        QCOMPARE(delta.changes.size(), 2);
        QCOMPARE(delta.changes[0].kind, ChangeKind::Modify);
        QCOMPARE(delta.changes[0].oldValues.value(QStringLiteral("UNIT")).toString(), QStringLiteral("ml"));
        QCOMPARE(delta.changes[0].newValues.value(QStringLiteral("UNIT")).toString(), QStringLiteral("l"));
        QCOMPARE(delta.changes[1].kind, ChangeKind::Delete);
        QCOMPARE(delta.changes[1].oldValues.value(QStringLiteral("CODE")).toString(), QStringLiteral("0002"));
    }

    void changeLogFoldsRepeatedChanges()
    {
        ClientDataSet data;
        loadItems(data);
        // Inserted then deleted: nothing to send.
        data.Append();
        data.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0009"));
        data.Post();
        data.Delete();
        QCOMPARE(data.ChangeCount(), 0);

        // Modified twice, then deleted: one delete with the values first read.
        data.First();
        for (const char *unit : {"a", "b"}) {
            data.Edit();
            data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QString::fromLatin1(unit));
            data.Post();
        }
        QCOMPARE(data.ChangeCount(), 1);
        data.Delete();
        const ChangePacket delta = data.Delta();
        QCOMPARE(delta.changes.size(), 1);
        QCOMPARE(delta.changes[0].kind, ChangeKind::Delete);
        QCOMPARE(delta.changes[0].oldValues.value(QStringLiteral("UNIT")).toString(), QStringLiteral("ml"));

        // An edit posted without a change logs nothing; nor does anything
        // while logging is off.
        data.First();
        data.Edit();
        data.Post();
        QCOMPARE(data.ChangeCount(), 1);
        data.SetLogChanges(false);
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("c"));
        data.Post();
        QCOMPARE(data.ChangeCount(), 1);
    }

    void cancelUpdatesRestoresRows()
    {
        ClientDataSet data;
        loadItems(data);
        data.SetRecNo(1);
        data.Delete();                  // 0002 goes
        data.First();
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("kg"));
        data.Post();                    // 0001 changes
        data.Append();
        data.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0004"));
        data.Post();                    // 0004 comes
        data.CancelUpdates();
        QCOMPARE(codes(data), QStringList({"0001", "0002", "0003"}));
        QCOMPARE(data.valueAt(0, 1).toString(), QStringLiteral("ml"));
        QCOMPARE(data.ChangeCount(), 0);

        // Cancel of an edit restores the values; of an insert removes the row.
        data.First();
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("x"));
        data.Cancel();
        QCOMPARE(data.FieldByName(QStringLiteral("UNIT"))->AsString(), QStringLiteral("ml"));
        data.Insert();
        QCOMPARE(data.RecordCount(), 4);
        data.Cancel();
        QCOMPARE(codes(data), QStringList({"0001", "0002", "0003"}));
        QCOMPARE(data.State(), DataSetState::Browse);
    }

    void abortInBeforeEventsKeepsTheDataSet()
    {
        ClientDataSet data;
        loadItems(data);
        data.BeforePost = [](ClientDataSet &ds) {
            if (ds.FieldByName(QStringLiteral("UNIT"))->AsString() == QLatin1String("bad"))
                throw Abort();
        };
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("bad"));
        QVERIFY_THROWS_EXCEPTION(Abort, data.Post());
        QCOMPARE(data.State(), DataSetState::Edit);
        QCOMPARE(data.FieldByName(QStringLiteral("UNIT"))->AsString(), QStringLiteral("bad"));
        QCOMPARE(data.ChangeCount(), 0);
        data.Cancel();

        data.BeforeInsert = [](ClientDataSet &) { throw Abort(); };
        QVERIFY_THROWS_EXCEPTION(Abort, data.Append());
        QCOMPARE(data.RecordCount(), 3);
        QCOMPARE(data.State(), DataSetState::Browse);

        data.BeforeInsert = nullptr;
        data.OnNewRecord = [](ClientDataSet &) { throw Abort(); };
        QVERIFY_THROWS_EXCEPTION(Abort, data.Append());
        QCOMPARE(data.RecordCount(), 3);
        QCOMPARE(data.State(), DataSetState::Browse);

        // A view that moves its current row while the refused row goes away
        // finds the dataset browsing: nothing is posted.
        int posts = 0;
        data.AfterPost = [&posts](ClientDataSet &) { ++posts; };
        data.First();
        QObject::connect(&data, &ClientDataSet::rowRemoved, &data, [&data] { data.SetRecNo(0); });
        QVERIFY_THROWS_EXCEPTION(Abort, data.Insert());
        QCOMPARE(posts, 0);
        QCOMPARE(data.ChangeCount(), 0);
        QCOMPARE(data.RecordCount(), 3);

        // Writing outside edit is refused with a message for the user.
        QVERIFY_THROWS_EXCEPTION(UserError, data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("g")));
    }

    void eventsFireInOrder()
    {
        ClientDataSet data;
        declareItems(data);
        QStringList log;
        auto record = [&log](const char *name) {
            return [&log, name](ClientDataSet &) { log << QString::fromLatin1(name); };
        };
        data.BeforeInsert = record("BeforeInsert");
        data.OnNewRecord = [&log](ClientDataSet &ds) {
            log << QStringLiteral("OnNewRecord");
            ds.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0001"));
        };
        data.AfterInsert = record("AfterInsert");
        data.BeforePost = record("BeforePost");
        data.AfterPost = record("AfterPost");
        data.BeforeDelete = record("BeforeDelete");
        data.AfterDelete = record("AfterDelete");
        data.AfterCancel = record("AfterCancel");
        data.AfterScroll = record("AfterScroll");
        data.OnStateChange = [&log](ClientDataSet &ds) {
            log << QStringLiteral("State%1").arg(int(ds.State()));
        };
        data.LoadFromPacket(itemsPacket());
        QCOMPARE(log, QStringList({"State1", "AfterScroll"}));
        log.clear();
        data.Append();
        data.Post();
        QCOMPARE(log, QStringList({"BeforeInsert", "State3", "OnNewRecord", "AfterInsert", "AfterScroll",
                                   "BeforePost", "State1", "AfterPost"}));
        log.clear();
        data.Edit();
        data.Cancel();
        data.Delete();
        QCOMPARE(log, QStringList({"State2", "State1", "AfterCancel", "BeforeDelete", "AfterDelete", "AfterScroll"}));
    }

    void calculatedFieldsPerRow()
    {
        ClientDataSet data;
        declareItemsWithLabel(data);
        data.OnCalcFields = [](ClientDataSet &ds) {
            ds.FieldByName(QStringLiteral("LABEL"))->SetAsString(
                ds.FieldByName(QStringLiteral("CODE"))->AsString() + QLatin1Char('/')
                + ds.FieldByName(QStringLiteral("UNIT"))->AsString());
        };
        data.LoadFromPacket(itemsPacket());
        QCOMPARE(data.valueAt(1, 4).toString(), QStringLiteral("0002/frasc"));
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("g"));
        QCOMPARE(data.FieldByName(QStringLiteral("LABEL"))->AsString(), QStringLiteral("0001/g"));
        data.Post();
        // Calculated fields never travel.
        QVERIFY(!data.Delta().changes[0].newValues.contains(QStringLiteral("LABEL")));
        QVERIFY(data.ToPacket().indexOf(QStringLiteral("LABEL")) < 0);

        data.FieldByName(QStringLiteral("CODE"))->OnGetText = [](Field &field, bool) {
            return QStringLiteral("#") + field.AsString();
        };
        QCOMPARE(data.displayTextAt(2, 0), QStringLiteral("#0003"));
        QCOMPARE(data.FieldByName(QStringLiteral("CODE"))->DisplayText(), QStringLiteral("#0001"));
    }

    // A row's calculated fields are computed when first read and again only
    // after the row changed; computing them changes nothing that is sent.
    void calculatedFieldsComputedWhenRead()
    {
        ClientDataSet data;
        declareItemsWithLabel(data);
        int runs = 0;
        data.OnCalcFields = [&runs](ClientDataSet &ds) {
            ++runs;
            ds.FieldByName(QStringLiteral("LABEL"))->SetAsString(ds.FieldByName(QStringLiteral("UNIT"))->AsString());
        };
        data.LoadFromPacket(itemsPacket());
        QCOMPARE(runs, 0);
        QCOMPARE(data.valueAt(2, 4).toString(), QString());
        QCOMPARE(data.displayTextAt(1, 4), QStringLiteral("frasc"));
        data.valueAt(1, 4);
        QCOMPARE(runs, 2);

        // An edit that stores nothing new logs no change, though the row
        // (never read before) was calculated while it was edited.
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("ml"));
        QCOMPARE(data.FieldByName(QStringLiteral("LABEL"))->AsString(), QStringLiteral("ml"));
        data.Post();
        QCOMPARE(data.ChangeCount(), 0);

        // A cancelled edit shows the stored row's calculation again.
        data.Edit();
        data.FieldByName(QStringLiteral("UNIT"))->SetAsString(QStringLiteral("g"));
        QCOMPARE(data.FieldByName(QStringLiteral("LABEL"))->AsString(), QStringLiteral("g"));
        data.Cancel();
        QCOMPARE(data.FieldByName(QStringLiteral("LABEL"))->AsString(), QStringLiteral("ml"));
        QCOMPARE(data.ChangeCount(), 0);
        QVERIFY(data.Locate(QStringLiteral("LABEL"), QStringLiteral("frasc")));
        QCOMPARE(data.RecNo(), 1);
    }

    void typedTextIsReadInTheLocale()
    {
        ClientDataSet data;
        loadItems(data);
        data.Edit();
        Field *day = data.FieldByName(QStringLiteral("DAY"));
        day->SetText(QStringLiteral("25/12/2026"));
        QCOMPARE(day->AsDateTime().date(), QDate(2026, 12, 25));
        day->SetText(QStringLiteral("  /  /    "));
        QVERIFY(day->IsNull());
        QVERIFY_THROWS_EXCEPTION(UserError, day->SetText(QStringLiteral("31/02/2005")));
        Field *weight = data.FieldByName(QStringLiteral("WEIGHT"));
        weight->SetText(QStringLiteral("1.234,5"));
        QCOMPARE(weight->AsFloat(), 1234.5);
        QVERIFY_THROWS_EXCEPTION(UserError, weight->SetText(QStringLiteral("abc")));
        data.Cancel();
    }

    void viewsFollowSignalsUnlessDisabled()
    {
        ClientDataSet data;
        loadItems(data);
        QSignalSpy reset(&data, &ClientDataSet::modelReset);
        QSignalSpy inserted(&data, &ClientDataSet::rowInserted);
        QSignalSpy changed(&data, &ClientDataSet::rowChanged);
        QSignalSpy removed(&data, &ClientDataSet::rowRemoved);

        data.DisableControls();
        data.Append();
        data.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0004"));
        data.Post();
        data.Delete();
        QCOMPARE(inserted.count() + changed.count() + removed.count() + reset.count(), 0);
        data.EnableControls();
        QCOMPARE(reset.count(), 1);

        data.Append();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().first().toInt(), 3);
        data.FieldByName(QStringLiteral("CODE"))->SetAsString(QStringLiteral("0005"));
        QCOMPARE(changed.count(), 1);
        data.Cancel();
        QCOMPARE(removed.count(), 1);
        data.Close();
        QCOMPARE(reset.count(), 2);
        QVERIFY(!data.Active());
    }
};

QTEST_GUILESS_MAIN(TestClientDataSet)
#include "tst_clientdataset.moc"
