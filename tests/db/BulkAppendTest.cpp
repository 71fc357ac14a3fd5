// The typed bulk append of the crop run's daily rows.
#include <vector>

#include "DbFixture.h"

using namespace quen;

namespace {

QList<QVariantList> rowsOf(TTable& t)
{
    QList<QVariantList> out;
    for (t.first(); !t.eof(); t.next())
        out << t.rowValues();
    return out;
}

} // namespace

// Columns of numbers store exactly what the same rows given as values store,
// all or nothing, and leave the handle on the last new row.
TEST_F(DbTest, AppendColumnsStoresWhatAppendRowsStores)
{
    std::vector<double> day, kca, kcb, zero;
    QList<QVariantList> rows;
    for (int d = 366; d >= 1; --d) {
        day.push_back(d);
        kca.push_back(0.1 + d / 1000.0);
        kcb.push_back(d % 7 == 0 ? 0.0 : 1.0 / 3.0 + d);
        zero.push_back(0.0);
        rows << QVariantList{d, kca.back(), kcb.back(), 0.0, 0.0};
    }
    TTable kc("ETKc.db");
    kc.open();
    kc.appendRows(rows);
    const QList<QVariantList> byRows = rowsOf(kc);
    kc.emptyTable();

    const QList<int> fields{kc.field("JDate").index(), kc.field("Kca").index(), kc.field("Kcb").index(),
                            kc.field("ETo").index(), kc.field("ETc").index()};
    int posts = 0;
    QObject::connect(&kc, &TTable::afterPost, [&] { ++posts; });
    // A null column is zeros, as a column of zeros.
    kc.appendColumns(fields, {day.data(), kca.data(), kcb.data(), nullptr, zero.data()}, int(day.size()));
    EXPECT_EQ(posts, 1);
    EXPECT_EQ(kc.field("JDate").asInteger(), 1);   // the last row given
    EXPECT_EQ(kc.field("Kca").asFloat(), kca.back());
    EXPECT_TRUE(kc.field("Mo").isNull());
    EXPECT_EQ(rowsOf(kc), byRows);                  // bit for bit, every field

    // A day out of a short's range, a duplicate day or a text field stores nothing.
    std::vector<double> bad{400, 70000};
    try {
        kc.appendColumns({fields[0]}, {bad.data()}, 2);
        ADD_FAILURE() << "70000 accepted in a short field";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "70000 is not a valid value for field 'JDate'. The allowed range is -32768 to 32767.");
    }
    std::vector<double> dup{401, 5};
    EXPECT_THROW(kc.appendColumns({fields[0]}, {dup.data()}, 2), DbError);
    EXPECT_EQ(kc.recordCount(), 366);
    EXPECT_FALSE(kc.findKey({400}));
    EXPECT_FALSE(kc.findKey({401}));
    // Half days round as a single post rounds them.
    std::vector<double> half{402.5};
    kc.appendColumns({fields[0]}, {half.data()}, 1);
    EXPECT_TRUE(kc.findKey({403}));
    kc.close();

    // A required field that is not a flag cannot be left out; a text field cannot be given.
    TTable curve("CrpPeren.DB");
    curve.open();
    const int before = curve.recordCount();
    std::vector<double> kcs(2, 0.9);
    try {
        curve.appendColumns({curve.field("Jan Kc").index()}, {kcs.data()}, 2);
        ADD_FAILURE() << "rows without a curve name accepted";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().startsWith("Field '")) << e.message().toStdString();
    }
    EXPECT_THROW(curve.appendColumns({curve.field("Crop Curve Name").index()}, {kcs.data()}, 2), DbError);
    EXPECT_EQ(curve.recordCount(), before);
    curve.close();
}

// "JDate" is the daily table's row key: a row needs a day, and a day edited
// moves the row without losing the handle's place.
TEST_F(DbTest, TheDailyTableIsKeyedByItsDay)
{
    TTable kc("ETKc.db");
    kc.open();
    std::vector<double> day{10, 20, 30}, kca{0.1, 0.2, 0.3};
    kc.appendColumns({kc.field("JDate").index(), kc.field("Kca").index()}, {day.data(), kca.data()}, 3);

    kc.append();
    kc.field("Kca").setValue(0.5);
    try {
        kc.post();
        ADD_FAILURE() << "a daily row without a day posted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "Field 'JDate' must have a value.");
    }
    kc.cancel();
    EXPECT_THROW(kc.appendColumns({kc.field("Kca").index()}, {kca.data()}, 1), DbError);
    EXPECT_EQ(kc.recordCount(), 3);

    // Day 20 becomes day 35: the handle stays on it, after day 30.
    ASSERT_TRUE(kc.findKey({20}));
    kc.edit();
    kc.field("JDate").setValue(35);
    kc.post();
    EXPECT_EQ(kc.field("JDate").asInteger(), 35);
    EXPECT_EQ(kc.field("Kca").asFloat(), 0.2);
    kc.edit();                                  // the moved row edited again, by its new place
    kc.field("Kca").setValue(0.25);
    kc.post();
    kc.refresh();
    EXPECT_EQ(kc.field("Kca").asFloat(), 0.25);
    kc.prior();
    EXPECT_EQ(kc.field("JDate").asInteger(), 30);
    EXPECT_FALSE(kc.findKey({20}));

    // A day already held is a key violation and changes nothing.
    ASSERT_TRUE(kc.findKey({35}));
    kc.edit();
    kc.field("JDate").setValue(10);
    EXPECT_THROW(kc.post(), DbError);
    kc.cancel();
    QList<QVariantList> days;
    for (kc.first(); !kc.eof(); kc.next())
        days << QVariantList{kc.field("JDate").asInteger(), kc.field("Kca").asFloat()};
    EXPECT_EQ(days, (QList<QVariantList>{{10, 0.1}, {30, 0.3}, {35, 0.25}}));
    kc.close();
}
