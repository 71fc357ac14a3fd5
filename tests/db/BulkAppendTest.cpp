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
    kc.appendColumns(fields, {day.data(), kca.data(), kcb.data(), zero.data(), zero.data()}, int(day.size()));
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
