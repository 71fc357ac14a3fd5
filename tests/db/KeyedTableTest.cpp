// The daily table of a crop run ("ETKc.db"), held as rows sorted by day:
// every way of writing it, in and out of transactions, against a plain model
// of its rows, and the key bounds of statements on it.
#include <map>
#include <random>
#include <stdexcept>
#include <vector>

#include "DbFixture.h"
#include "DbInternal.h"

using namespace quen;

namespace {

using Model = std::map<int, double>;   // day -> Kca

// Forward and backward walks, seeks by day, as the model has them.
void ExpectSame(TTable& kc, const Model& m, std::mt19937& rng, const std::string& step)
{
    SCOPED_TRACE(step);
    std::vector<std::pair<int, double>> want(m.begin(), m.end()), fwd, back;
    for (kc.first(); !kc.eof(); kc.next())
        fwd.emplace_back(kc.field("JDate").asInteger(), kc.field("Kca").asFloat());
    for (kc.last(); !kc.bof(); kc.prior())
        back.emplace_back(kc.field("JDate").asInteger(), kc.field("Kca").asFloat());
    ASSERT_EQ(fwd, want);
    std::reverse(back.begin(), back.end());
    ASSERT_EQ(back, want);
    ASSERT_EQ(kc.recordCount(), int(m.size()));
    for (int k = 0; k < 3; ++k) {
        const int day = std::uniform_int_distribution<int>(0, 70)(rng);
        ASSERT_EQ(kc.findKey({day}), m.count(day) == 1) << day;
        const auto at = m.lower_bound(day);
        if (at != m.end()) {
            kc.findNearest({day});
            ASSERT_EQ(kc.field("JDate").asInteger(), at->first) << day;
            kc.next();   // and the walk goes on from there
            ASSERT_EQ(kc.eof(), std::next(at) == m.end());
            if (!kc.eof())
                ASSERT_EQ(kc.field("JDate").asInteger(), std::next(at)->first);
        }
    }
}

} // namespace

TEST_F(DbTest, TheDailyTableFollowsItsRowsThroughEveryKindOfWrite)
{
    std::mt19937 rng(20261209);
    auto dayDist = std::uniform_int_distribution<int>(1, 60);
    auto kcDist = std::uniform_real_distribution<double>(0.1, 1.3);
    TTable kc("ETKc.db"), other("ETKc.db");
    kc.open();
    other.open();
    Model m;

    // One write through the handle; the model follows when it is taken.
    auto step = [&](Model& mm) {
        switch (std::uniform_int_distribution<int>(0, 6)(rng)) {
        case 0: case 1: {   // a new row
            const int day = dayDist(rng);
            const double v = kcDist(rng);
            kc.append();
            kc.field("JDate").setValue(day);
            kc.field("Kca").setValue(v);
            try {
                kc.post();
                EXPECT_EQ(mm.count(day), 0u) << "day " << day << " posted twice";
                mm[day] = v;
            } catch (const DbError&) {
                EXPECT_EQ(mm.count(day), 1u);
                kc.cancel();
            }
            break;
        }
        case 2: {           // a row edited, its day perhaps moved
            if (mm.empty())
                break;
            auto it = std::next(mm.begin(), std::uniform_int_distribution<int>(0, int(mm.size()) - 1)(rng));
            ASSERT_TRUE(kc.findKey({it->first}));
            const int day = rng() % 2 ? it->first : dayDist(rng);
            const double v = kcDist(rng);
            kc.edit();
            kc.field("JDate").setValue(day);
            kc.field("Kca").setValue(v);
            try {
                kc.post();
                EXPECT_TRUE(day == it->first || mm.count(day) == 0);
                mm.erase(it);
                mm[day] = v;
                EXPECT_EQ(kc.field("JDate").asInteger(), day);   // the handle moved with it
            } catch (const DbError&) {
                EXPECT_EQ(mm.count(day), 1u);
                kc.cancel();
            }
            break;
        }
        case 3: {           // a row deleted
            if (mm.empty())
                break;
            auto it = std::next(mm.begin(), std::uniform_int_distribution<int>(0, int(mm.size()) - 1)(rng));
            ASSERT_TRUE(kc.findKey({it->first}));
            kc.remove();
            mm.erase(it);
            break;
        }
        case 4: {           // columns appended, all or nothing
            const int n = std::uniform_int_distribution<int>(1, 8)(rng);
            std::vector<double> days, kcas;
            bool clash = false;
            Model add;
            for (int k = 0; k < n; ++k) {
                days.push_back(dayDist(rng));
                kcas.push_back(kcDist(rng));
                clash = clash || mm.count(int(days.back())) || add.count(int(days.back()));
                add[int(days.back())] = kcas.back();
            }
            try {
                kc.appendColumns({kc.field("JDate").index(), kc.field("Kca").index()}, {days.data(), kcas.data()}, n);
                EXPECT_FALSE(clash);
                mm.insert(add.begin(), add.end());
                EXPECT_EQ(kc.field("JDate").asInteger(), int(days.back()));
            } catch (const DbError& e) {
                EXPECT_TRUE(clash) << e.message().toStdString();
            }
            break;
        }
        case 5: {           // rows appended as values (one statement per batch), all or nothing
            const int n = std::uniform_int_distribution<int>(1, 5)(rng);
            QList<QVariantList> rows;
            bool clash = false;
            Model add;
            for (int k = 0; k < n; ++k) {
                const int day = dayDist(rng);
                const double v = kcDist(rng);
                rows << QVariantList{day, v};
                clash = clash || mm.count(day) || add.count(day);
                add[day] = v;
            }
            try {
                kc.appendRows(rows);
                EXPECT_FALSE(clash);
                mm.insert(add.begin(), add.end());
            } catch (const DbError&) {
                EXPECT_TRUE(clash);
            }
            break;
        }
        default:
            if (rng() % 4 == 0) {
                kc.emptyTable();
                mm.clear();
            }
            break;
        }
    };

    for (int i = 0; i < 400; ++i) {
        if (rng() % 5 == 0) {
            // A transaction of a few writes: kept, or rolled back by an error.
            Model inner = m;
            const bool fails = rng() % 2;
            try {
                Database::transaction([&] {
                    const int n = std::uniform_int_distribution<int>(1, 4)(rng);
                    for (int k = 0; k < n; ++k)
                        step(inner);
                    if (fails)
                        throw std::runtime_error("taken back");
                }, {QStringLiteral("ETKc.db")});
                m = inner;
            } catch (const std::runtime_error&) {
                ASSERT_TRUE(fails);
            }
            kc.first();
        } else {
            step(m);
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSame(kc, m, rng, "step " + std::to_string(i)));
        if (i % 25 == 0)
            ASSERT_NO_FATAL_FAILURE(ExpectSame(other, m, rng, "second handle, step " + std::to_string(i)));
    }
    kc.close();
    other.close();
}

// Statements bound by the day: whole, fractional, negative, huge, text and
// empty bounds select the rows SQLite's comparisons select.
TEST_F(DbTest, DaysBoundedByAnyValueSelectTheRightRows)
{
    TTable kc("ETKc.db");
    kc.open();
    std::vector<double> days{-3, 1, 2, 3, 5, 8, 13, 366};
    kc.appendColumns({kc.field("JDate").index()}, {days.data()}, int(days.size()));
    kc.close();

    auto select = [](const QString& where, const QVariant& bound, bool desc) {
        dbi::Stmt& q = dbi::exec(QStringLiteral("SELECT \"JDate\" FROM \"ETKc\" WHERE %1 ORDER BY \"JDate\"%2, rowid%2")
                                     .arg(where, desc ? QStringLiteral(" DESC") : QString()),
                                 {bound}, true);
        QList<int> out;
        while (q.next())
            out << q.value(0).toInt();
        return out;
    };
    const QList<int> all{-3, 1, 2, 3, 5, 8, 13, 366};
    struct Case {
        QString where;
        QVariant bound;
        QList<int> want;
    };
    const QList<Case> cases{
        {"\"JDate\" > ?", 2.5, {3, 5, 8, 13, 366}},
        {"\"JDate\" >= ?", 3.0, {3, 5, 8, 13, 366}},
        {"\"JDate\" < ?", 2.5, {-3, 1, 2}},
        {"\"JDate\" <= ?", -3, {-3}},
        {"\"JDate\" = ?", 5.0, {5}},
        {"\"JDate\" = ?", 5.5, {}},
        {"rowid = ?", 13, {13}},
        {"rowid > ?", -1e30, all},
        {"\"JDate\" < ?", 1e30, all},
        {"\"JDate\" > ?", 1e30, {}},
        {"\"JDate\" > ?", QVariant(QMetaType::fromType<int>()), {}},
        {"\"JDate\" >= ?", QStringLiteral("8"), {8, 13, 366}},
        {"\"JDate\" > ?", QStringLiteral("x"), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(select(c.where, c.bound, false), c.want) << c.where.toStdString() << " " << c.bound.toString().toStdString();
        QList<int> rev(c.want.rbegin(), c.want.rend());
        EXPECT_EQ(select(c.where, c.bound, true), rev) << c.where.toStdString() << " desc";
    }

    // Statements that move or drop rows while walking them see each row once.
    dbi::exec(QStringLiteral("UPDATE \"ETKc\" SET \"JDate\" = \"JDate\" + 100 WHERE \"JDate\" >= ?"), {2}, true).finish();
    EXPECT_EQ(select(QStringLiteral("1 = ?"), 1, false), (QList<int>{-3, 1, 102, 103, 105, 108, 113, 466}));
    dbi::exec(QStringLiteral("DELETE FROM \"ETKc\" WHERE \"JDate\" > ? AND \"JDate\" < 110"), {102}, true).finish();
    EXPECT_EQ(select(QStringLiteral("1 = ?"), 1, true), (QList<int>{466, 113, 102, 1, -3}));

    // A statement refused half way leaves none of its rows.
    EXPECT_THROW(dbi::exec(QStringLiteral("INSERT INTO \"ETKc\" (\"JDate\") VALUES (?), (7), (1)"), {6}, true), DbError);
    EXPECT_EQ(select(QStringLiteral("1 = ?"), 1, false), (QList<int>{-3, 1, 102, 113, 466}));
}
