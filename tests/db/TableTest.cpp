#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <functional>

#include "DbFixture.h"
#include "MarkQuery.h"

using namespace quen;

TEST_F(DbTest, NearestSearchLandsOnOrAfterTheKeyAndPriorGivesTheLowerRow)
{
    TTable t("PcpChance.DB");
    t.setIndexName("AnPrecip");
    t.open();
    t.findNearest({12});
    EXPECT_EQ(t.field("AnPcp").asFloat(), 15.0);
    t.prior();
    EXPECT_EQ(t.field("AnPcp").asFloat(), 10.0);
    EXPECT_DOUBLE_EQ(t.field("Pct80").asFloat(), 0.72);

    t.findNearest({10});                 // exact key
    EXPECT_EQ(t.field("AnPcp").asFloat(), 10.0);

    t.findNearest({100});                // past the last key: the last row
    EXPECT_EQ(t.field("AnPcp").asFloat(), 20.0);
    EXPECT_FALSE(t.eof());
    t.prior();
    EXPECT_EQ(t.field("AnPcp").asFloat(), 15.0);

    t.findNearest({1});                  // before the first key
    EXPECT_EQ(t.field("AnPcp").asFloat(), 5.0);
    t.prior();                           // nothing before: stays, bof
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.field("AnPcp").asFloat(), 5.0);

    // findKey: exact only, and the position is kept when not found.
    t.findNearest({15});
    EXPECT_FALSE(t.findKey({12}));
    EXPECT_EQ(t.field("AnPcp").asFloat(), 15.0);
    EXPECT_TRUE(t.findKey({5}));
    EXPECT_EQ(t.recNo(), 1);
}

TEST_F(DbTest, CaseInsensitiveIndexesOrderAndCompareWithoutCase)
{
    TTable t("Climate.DB");
    t.open();   // primary key (station name, number): case-sensitive
    EXPECT_EQ(column(t, "Station Name"),
              QStringList({"Banana Flats", "Dunes", "Echo Ridge", "apple Creek", "cherry Hill"}));
    t.setIndexName("StaNameIndex");
    EXPECT_EQ(column(t, "Station Name"),
              QStringList({"apple Creek", "Banana Flats", "cherry Hill", "Dunes", "Echo Ridge"}));
    EXPECT_TRUE(t.findKey({"BANANA FLATS"}));
    EXPECT_EQ(t.field("Station No").asString(), "0500001");
    t.findNearest({"C"});
    EXPECT_EQ(t.field("Station Name").asString(), "cherry Hill");
    t.next();
    EXPECT_EQ(t.field("Station Name").asString(), "Dunes");
    EXPECT_EQ(t.recNo(), 4);
    EXPECT_EQ(t.recordCount(), 5);

    // locate is exact and case-sensitive.
    EXPECT_FALSE(t.locate("Station Name", "Apple Creek"));
    EXPECT_EQ(t.field("Station Name").asString(), "Dunes");
    EXPECT_TRUE(t.locate("Station Name", "apple Creek"));
    EXPECT_TRUE(t.field("Marked").asBoolean());

    // The unique case-insensitive index refuses a name differing only in case.
    t.append();
    t.field("Station Name").setAsString("APPLE CREEK");
    t.field("Station No").setAsString("999");
    try {
        t.post();
        ADD_FAILURE() << "duplicate accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(),
                  "Key violation. \"Climate.DB\" already holds a record with \"Station Name\" 'APPLE CREEK'.");
    }
    EXPECT_EQ(t.state(), TTable::State::Insert);
    EXPECT_EQ(t.field("Station No").asString(), "999");
    t.cancel();
    EXPECT_EQ(t.state(), TTable::State::Browse);
}

// A refused key names the table, the key's fields and the refused row's
// values, whichever write was refused; the message still begins with
// "Key violation." and nothing is written.
TEST_F(DbTest, KeyViolationNamesTableKeyAndValues)
{
    TTable t("Climate.DB");
    t.setIndexName("StaNameIndex");
    t.open();
    const int before = t.recordCount();
    auto message = [](const std::function<void()>& write) {
        try {
            write();
        } catch (const DbError& e) {
            return e.message();
        }
        return QStringLiteral("(accepted)");
    };

    // An edit that moves a row onto another's key.
    ASSERT_TRUE(t.findKey({"Dunes"}));
    t.edit();
    t.field("Station Name").setAsString("echo ridge");
    EXPECT_EQ(message([&] { t.post(); }),
              "Key violation. \"Climate.DB\" already holds a record with \"Station Name\" 'echo ridge'.");
    EXPECT_EQ(t.state(), TTable::State::Edit);
    t.cancel();

    // Many rows at once: the first refused one is named, none is stored.
    const QList<QVariantList> rows{{"New One", "C", "801"}, {"New Two", "C", "802"}, {"Banana Flats", "C", "803"},
                                   {"New Three", "C", "804"}};
    EXPECT_EQ(message([&] { t.appendRows(rows); }),
              "Key violation. \"Climate.DB\" already holds a record with \"Station Name\" 'Banana Flats'.");
    EXPECT_EQ(t.recordCount(), before);
    EXPECT_FALSE(t.findKey({"New One"}));

    // The private daily table, by rows and by columns: the day given twice.
    TTable kc("ETKc.db");
    kc.open();
    kc.emptyTable();
    kc.appendRecord({5, 0.5});
    EXPECT_TRUE(message([&] { kc.appendRecord({5, 0.6}); }).startsWith("Key violation. \"ETKc.db\" already holds a record with \"JDate\" 5"));
    kc.cancel();
    const double days[] = {6, 7, 7, 8};
    EXPECT_EQ(message([&] { kc.appendColumns({kc.field("JDate").index()}, {days}, 4); }),
              "Key violation. \"ETKc.db\" already holds a record with \"JDate\" 7.");
    EXPECT_EQ(kc.recordCount(), 1);
}

TEST_F(DbTest, RangesRestrictToKeysBetweenBounds)
{
    TTable t("CrpForag.DB");
    t.open();
    t.setIndexName("CropCurveName");
    t.setRange({"AAAAa"}, {"ZZZZZz"});
    EXPECT_EQ(column(t, "Crop Curve Name"),
              QStringList({"Alfalfa hay", "alfalfa seed", "Bermuda", "zoysia"}));   // "1st Cut Grass" hidden
    EXPECT_EQ(t.recordCount(), 4);
    t.setIndexName("HWIndex");           // a change of index cancels the range
    EXPECT_EQ(t.recordCount(), 5);
    t.setRange({"AS"}, {"as"});
    EXPECT_EQ(column(t, "Crop Curve Name"), QStringList({"Alfalfa hay", "Bermuda"}));
    t.findNearest({"A"});
    EXPECT_EQ(t.field("Crop Curve Name").asString(), "Alfalfa hay");
    t.cancelRange();
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(DbTest, FilterTextWithAQuoteInTheValue)
{
    TTable t("Climate.DB");
    t.setIndexName("StaNameIndex");
    t.setFilter("County = 'O'Brien, IA'");
    t.setFiltered(true);
    t.open();
    EXPECT_EQ(column(t, "Station Name"), QStringList({"cherry Hill", "Dunes"}));
    t.setFilter("County = 'O''Brien, IA' and Station No = '1300004'");
    EXPECT_EQ(column(t, "Station Name"), QStringList({"Dunes"}));
    t.setFilter("County = 'x'' or ''1''=''1'");
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.eof());
    t.setFilter("WHRLocation <> 'Denver WHR'");     // empty fields differ from the value
    EXPECT_EQ(t.recordCount(), 4);
    t.setFilter("WHRLocation = ''");
    EXPECT_EQ(t.recordCount(), 4);
    t.setFilter("Elevation >= 4800 and T7 < 70");
    EXPECT_EQ(column(t, "Station Name"), QStringList({"Echo Ridge"}));
    EXPECT_THROW(t.setFilter("Nothing = 'x'"), DbError);
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 5);
}

TEST_F(DbTest, MarkAllClearAllAndShowMarked)
{
    TTable view("CrpForag.DB");
    view.setOnFilterRecord([](TTable& r) { return r.field("Marked").asBoolean(); });
    view.open();
    view.setFiltered(true);
    EXPECT_EQ(column(view, "Crop Curve Name"), QStringList({"Bermuda"}));

    TMarkQuery mark({"Update CrpForag", "Set Marked = :NewValue"});
    mark.setNewValue("T");
    EXPECT_EQ(mark.execSQL(), 5);
    // The open handle was refreshed by the statement.
    EXPECT_EQ(view.recordCount(), 5);
    mark.setNewValue("F");
    mark.execSQL();
    EXPECT_TRUE(view.isEmpty());
    EXPECT_EQ(view.recordCount(), 0);
    view.setFiltered(false);
    EXPECT_EQ(view.recordCount(), 5);
    EXPECT_FALSE(view.field("Marked").asBoolean());

    EXPECT_EQ(Database::execMarkStatement("Update Climate\n     Set Marked=:NewValue", "T"), 5);
    EXPECT_EQ(Database::execMarkStatement("Update CrpFAOCurv\nSet Marked =:NewValue", "T"), 0);
    EXPECT_THROW(Database::execMarkStatement("Update Nowhere\nSet Marked = :NewValue", "T"), DbError);
    EXPECT_THROW(Database::execMarkStatement("Update Climate\nSet Marked = :NewValue", "maybe"), DbError);
}

TEST_F(DbTest, RequiredFieldRefusalKeepsTheRowInEdit)
{
    TTable t("CrpPeren.DB");
    t.open();
    t.append();
    t.field("Crop Curve Name").setAsString("Apples, cover");
    t.field("Humidity/Wind").setAsString("HM");
    for (const char* m : {"Apr Kc", "May Kc", "Jul Kc", "Aug Kc"})
        t.field(m).setAsFloat(0.9);
    try {
        t.post();
        ADD_FAILURE() << "row without Jun Kc accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Field 'Jun Kc' must have a value.");
    }
    EXPECT_EQ(t.state(), TTable::State::Insert);
    EXPECT_EQ(t.field("Crop Curve Name").asString(), "Apples, cover");
    EXPECT_DOUBLE_EQ(t.field("Aug Kc").asFloat(), 0.9);
    // Moving does not lose it either: the move posts and is refused.
    EXPECT_THROW(t.first(), DbError);
    EXPECT_EQ(t.state(), TTable::State::Insert);

    t.field("Jun Kc").setAsFloat(1.0);
    t.post();                                       // Jan-Mar and Sep-Dec stay empty
    EXPECT_EQ(t.state(), TTable::State::Browse);
    EXPECT_TRUE(t.field("Jan Kc").isNull());
    EXPECT_FALSE(t.field("Marked").asBoolean());
    EXPECT_EQ(t.recordCount(), 1);

    // Emptying a required field of a stored row is refused too.
    t.edit();
    t.field("Humidity/Wind").setAsString("");
    EXPECT_THROW(t.post(), DbError);
    EXPECT_EQ(t.state(), TTable::State::Edit);
    t.cancel();
    EXPECT_EQ(t.field("Humidity/Wind").asString(), "HM");
}

TEST_F(DbTest, FieldTypesWidthsAndEmptyFields)
{
    TTable job("QuenJob.db");
    job.open();
    job.append();
    job.field("JobName").setAsString("Pivot 7");
    const QString method = "FAO Penman-Monteith, NEH2 basal curves!!";
    ASSERT_EQ(method.size(), 40);
    job.field("ETMethod").setAsString(method);
    EXPECT_THROW(job.field("JobNumber").setAsInteger(5), DbError);
    EXPECT_THROW(job.field("No of Crops").setAsInteger(40000), DbError);
    job.field("No of Crops").setAsInteger(-32768);
    job.post();
    EXPECT_EQ(job.field("JobNumber").asInteger(), 1);
    job.append();
    job.field("JobName").setAsString("Pivot 8");
    job.post();
    EXPECT_EQ(job.field("JobNumber").asInteger(), 2);

    TTable again("QuenJob");
    again.setIndexName("JobNameIndex");
    again.open();
    ASSERT_TRUE(again.findKey({"Pivot 7"}));
    EXPECT_EQ(again.field("ETMethod").asString(), "FAO Penman-Monteith, NEH2");
    EXPECT_EQ(again.field("ETMethod").asString().size(), 25);
    EXPECT_EQ(again.field("No of Crops").asInteger(), -32768);
    EXPECT_TRUE(again.field("Elevation").isNull());
    EXPECT_EQ(again.field("Elevation").asFloat(), 0.0);
    EXPECT_FALSE(again.findKey({"pivot 7"}));       // case-sensitive index

    // Empty is told apart from 0 and survives a round trip.
    TTable wk("QuenWkCrop.DB");
    wk.open();
    wk.append();
    wk.field("Crop Name").setAsString("Corn");
    wk.field("StartT").setAsFloat(0.0);
    wk.field("Hay").setAsBoolean(false);
    wk.post();
    wk.close();
    wk.open();
    EXPECT_TRUE(wk.field("StartTM").isNull());
    EXPECT_FALSE(wk.field("StartT").isNull());
    EXPECT_EQ(wk.field("StartT").value(), QVariant(0.0));
    EXPECT_FALSE(wk.field("Hay").isNull());
    EXPECT_TRUE(wk.field("Sensitive").isNull());
    EXPECT_EQ(wk.field("StartTM").asString(), "");
    wk.edit();
    wk.field("Net Irr").setAsString("2.5");
    wk.field("Plant Mo").setAsString("4");
    EXPECT_THROW(wk.field("Plant Day").setAsString("x"), DbError);
    wk.post();
    EXPECT_EQ(wk.field("Net Irr").asString(), "2.5");
    EXPECT_EQ(wk.field("Plant Mo").asInteger(), 4);
}

TEST_F(DbTest, IrregularFieldNamesOnlyByExactSpelling)
{
    TTable t("CrpBCAnu.DB");
    for (const char* good : {"35 % Kc", "95 % Kc", "100%Kc", "30% Kc"})
        EXPECT_TRUE(t.hasField(good)) << good;
    for (const char* bad : {"35% Kc", "95% Kc", "100% Kc", "100 % Kc", "35 % kc"})
        EXPECT_FALSE(t.hasField(bad)) << bad;
    EXPECT_THROW(t.field("95% Kc"), DbError);
    EXPECT_EQ(t.fieldName(8), "35 % Kc");
    EXPECT_EQ(t.fieldName(21), "100%Kc");
}

TEST_F(DbTest, ScratchRowsKeepKeyOrderAndRefuseDuplicateKeys)
{
    TTable kc("ETKc.db");
    kc.open();
    for (int day : {200, 3, 366, 1}) {
        kc.append();
        kc.field("JDate").setAsInteger(day);
        kc.field("ETo").setAsFloat(0);
        kc.post();
    }
    EXPECT_EQ(column(kc, "JDate"), QStringList({"1", "3", "200", "366"}));
    kc.append();
    kc.field("JDate").setAsInteger(3);
    EXPECT_THROW(kc.post(), DbError);
    kc.cancel();

    // Case-insensitive index of the working crops, as in a file.
    TTable wk("QuenWkCrop.DB");
    wk.setIndexName("CropNameIndex");
    wk.open();
    wk.appendRecord({"corn"});
    wk.appendRecord({"Alfalfa"});
    wk.appendRecord({"Beans"});
    EXPECT_EQ(column(wk, "Crop Name"), QStringList({"Alfalfa", "Beans", "corn"}));
    EXPECT_TRUE(wk.findKey({"CORN"}));
    EXPECT_EQ(wk.field("Crop Name").asString(), "corn");

    kc.emptyTable();
    EXPECT_TRUE(kc.isEmpty());
    kc.close();
}

TEST_F(DbTest, DeleteMovesToTheNextRowAndOtherHandlesFollow)
{
    TTable a("PcpChance.DB");
    TTable b("PcpChance.DB");
    a.setIndexName("AnPrecip");
    b.setIndexName("AnPrecip");
    a.open();
    b.open();
    a.findNearest({10});
    b.findNearest({10});
    a.remove();
    EXPECT_EQ(a.field("AnPcp").asFloat(), 15.0);
    EXPECT_EQ(b.field("AnPcp").asFloat(), 15.0);        // refreshed: its row is gone
    a.last();
    a.remove();
    EXPECT_EQ(a.field("AnPcp").asFloat(), 15.0);        // no next row: the one before
    a.edit();
    a.field("Pct50").setAsFloat(0.5);
    a.post();
    EXPECT_DOUBLE_EQ(b.field("Pct50").asFloat(), 0.5);
    EXPECT_EQ(b.recordCount(), 2);
}

TEST_F(DbTest, IndexChangeKeepsTheRowAndBackwardWalks)
{
    TTable t("Climate.DB");
    t.setIndexName("CountyIndex");
    t.open();
    ASSERT_TRUE(t.locate("Station Name", "Dunes"));
    t.setIndexName("StaNameIndex");                 // search by name, then back
    EXPECT_EQ(t.field("Station Name").asString(), "Dunes");
    t.findNearest({"B"});
    t.setIndexName("CountyIndex");
    EXPECT_EQ(t.field("Station Name").asString(), "Banana Flats");
    EXPECT_EQ(t.recNo(), 1);                        // first of "Adams, CO", in insertion order

    QStringList back;
    for (t.last(); !t.bof(); t.prior())
        back << t.field("Station No").asString();
    EXPECT_EQ(back, QStringList({"0500005", "1300004", "1300003", "0500002", "0500001"}));
    EXPECT_THROW(t.setIndexName("NoSuchIndex"), DbError);
    EXPECT_THROW(t.field("No Such Field"), DbError);
}

TEST_F(DbTest, NotificationsAndEditOfAnEmptyTable)
{
    TTable loc("LocalDefaults.db");
    int scrolls = 0, states = 0, posts = 0, deletes = 0;
    QList<int> changed;
    QObject::connect(&loc, &TTable::afterScroll, [&] { ++scrolls; });
    QObject::connect(&loc, &TTable::stateChanged, [&] { ++states; });
    QObject::connect(&loc, &TTable::afterPost, [&] { ++posts; });
    QObject::connect(&loc, &TTable::afterDelete, [&] { ++deletes; });
    QObject::connect(&loc, &TTable::dataChanged, [&](int i) { changed << i; });
    loc.open();
    EXPECT_EQ(scrolls, 1);
    EXPECT_EQ(states, 1);
    loc.remove();                                   // the one row
    EXPECT_EQ(deletes, 1);
    EXPECT_TRUE(loc.isEmpty());
    loc.edit();                                     // nothing to edit: a new row
    EXPECT_EQ(loc.state(), TTable::State::Insert);
    changed.clear();
    loc.field("MetricUnits").setAsBoolean(true);
    EXPECT_EQ(changed, QList<int>({loc.field("MetricUnits").index()}));
    loc.post();
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(loc.state(), TTable::State::Browse);
    EXPECT_TRUE(loc.field("MetricUnits").asBoolean());
    EXPECT_EQ(loc.recordCount(), 1);

    // Outside edit nothing can be written; a closed handle reads nothing.
    EXPECT_THROW(loc.field("ASW").setAsFloat(50), DbError);
    loc.close();
    EXPECT_THROW(loc.field("ASW").asFloat(), DbError);
    loc.setTableName("Nowhere");
    EXPECT_THROW(loc.open(), DbError);
}

TEST_F(DbTest, EmptyKeysSortFirstAndWalksSeeChangesOfOtherHandles)
{
    TTable job("QuenJob.db");
    job.setIndexName("JobNameIndex");
    job.open();
    for (const char* name : {"Delta", "", "Alpha", "Charlie", "", "Bravo"})
        job.appendRecord({QString::fromLatin1(name), QVariant(), QString::fromLatin1(name) + " loc"});
    QStringList numbers;
    for (job.first(); !job.eof(); job.next())
        numbers << job.field("JobNumber").asString();
    EXPECT_EQ(numbers, QStringList({"2", "5", "3", "6", "4", "1"}));   // the two empty names first
    QStringList back;
    for (job.last(); !job.bof(); job.prior())
        back << job.field("JobNumber").asString();
    EXPECT_EQ(back, QStringList({"1", "4", "6", "3", "5", "2"}));
    job.findNearest({"B"});
    EXPECT_EQ(job.recNo(), 4);
    job.findNearest({QVariant()});
    EXPECT_EQ(job.field("JobNumber").asInteger(), 2);

    // While this handle walks (reading ahead), another one changes a row
    // further on: the walk shows the change.
    TTable other("QuenJob.db");
    other.setIndexName("JobNameIndex");
    other.open();
    job.first();
    job.field("Location").asString();
    job.next();
    job.field("Location").asString();
    ASSERT_TRUE(other.findKey({"Charlie"}));
    other.edit();
    other.field("Location").setAsString("moved");
    other.post();
    QStringList locations;
    for (job.next(); !job.eof(); job.next())
        locations << job.field("Location").asString();
    EXPECT_EQ(locations, QStringList({"Alpha loc", "Bravo loc", "moved", "Delta loc"}));
    other.findKey({"Delta"});
    other.remove();
    EXPECT_EQ(job.recordCount(), 5);
    job.last();
    EXPECT_EQ(job.field("JobName").asString(), "Charlie");
}

TEST_F(DbTest, AppendRowsStoresAllOrNothing)
{
    // Scratch table: rows of many sizes end up in key order, converted as
    // single posts convert them; the handle lands on the last new row.
    TTable kc("ETKc.db");
    kc.open();
    QList<QVariantList> rows;
    for (int day = 300; day >= 1; --day)
        rows << QVariantList{day, QString("0.%1").arg(day % 10), 0.25, QVariant(), 0.0};
    int posts = 0;
    QObject::connect(&kc, &TTable::afterPost, [&] { ++posts; });
    kc.appendRows(rows);
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(kc.field("JDate").asInteger(), 1);
    EXPECT_DOUBLE_EQ(kc.field("Kca").asFloat(), 0.1);
    EXPECT_EQ(kc.recordCount(), 300);
    kc.last();
    EXPECT_EQ(kc.field("JDate").asInteger(), 300);
    EXPECT_DOUBLE_EQ(kc.field("Kcb").asFloat(), 0.25);
    EXPECT_TRUE(kc.field("ETo").isNull());

    // A duplicate key in the batch, or a bad value, stores none of it.
    EXPECT_THROW(kc.appendRows({{301}, {302}, {5}}), DbError);
    EXPECT_THROW(kc.appendRows({{303}, {"not a day"}}), DbError);
    EXPECT_EQ(kc.recordCount(), 300);
    EXPECT_FALSE(kc.findKey({301}));
    kc.close();

    // User table with a counter: numbered in order, durable, other handles
    // follow; a missing required value refuses the whole batch.
    TTable other("QuenJob.db");
    other.open();
    TTable job("QuenJob.db");
    job.open();
    job.appendRows({{"North"}, {"South", 99, "Valley"}});
    EXPECT_EQ(job.field("JobName").asString(), "South");
    EXPECT_EQ(job.field("Location").asString(), "Valley");
    const int second = job.field("JobNumber").asInteger();
    job.first();
    EXPECT_EQ(job.field("JobNumber").asInteger() + 1, second);
    EXPECT_EQ(other.recordCount(), 2);
    EXPECT_FALSE(other.isEmpty());
    job.close();
    other.close();

    TTable curve("CrpPeren.DB");
    curve.open();
    const int before = curve.recordCount();
    QVariantList full{"Apples, cover", "HM", QVariant(), QVariant()};
    for (int m = 1; m <= 12; ++m)
        full << 0.9;
    QVariantList noJune = full;
    noJune[4 + 5] = QVariant();
    try {
        curve.appendRows({full, noJune});
        ADD_FAILURE() << "row without Jun Kc accepted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Field 'Jun Kc' must have a value.");
    }
    EXPECT_EQ(curve.recordCount(), before);
    curve.appendRows({full});
    EXPECT_EQ(curve.recordCount(), before + 1);
    EXPECT_FALSE(curve.field("Marked").asBoolean());   // a required flag starts false
    curve.close();
}
