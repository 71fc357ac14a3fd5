// The scratch tables in the private database of the program run, and reads
// that cost one statement (each one a round trip on a server).
#include <QSqlDatabase>
#include <QSqlQuery>
#include <libpq-fe.h>

#include "DbFixture.h"
#include "DbInternal.h"

using namespace quen;

namespace {

// Statements sent to the shared database / the private one while work runs.
struct Sent {
    quint64 shared = 0;
    quint64 scratch = 0;
};

template <class Work>
Sent statementsOf(Work work)
{
    const quint64 shared = dbi::statementCount(false);
    const quint64 scratch = dbi::statementCount(true);
    work();
    return {dbi::statementCount(false) - shared, dbi::statementCount(true) - scratch};
}

// Every field of the current row as text, as a window or the engine reads it.
QStringList allFields(TTable& t)
{
    QStringList out;
    for (int i = 0; i < t.fieldCount(); ++i)
        out << t.field(i).asString();
    return out;
}

// A county stored by another program (its own connection).
void addCountyElsewhere(const QString& name)
{
    const QByteArray sql = QStringLiteral("INSERT INTO \"County\" (\"County\") VALUES ('%1')").arg(name).toUtf8();
    if (!qgetenv("QUENPM_TEST_SERVER").isEmpty()) {
        PGconn* c = PQconnectdb(Database::path().toUtf8().constData());
        PQclear(PQexec(c, sql.constData()));
        PQfinish(c);
        return;
    }
    {
        QSqlDatabase other = QSqlDatabase::addDatabase("QSQLITE", "db-test-elsewhere");
        other.setDatabaseName(Database::path());
        if (other.open())
            QSqlQuery(other).exec(QString::fromUtf8(sql));
    }
    QSqlDatabase::removeDatabase("db-test-elsewhere");
}

} // namespace

// A run of reads under one snapshot: on a file it sees one state (and takes
// the read lock once); a transaction begun inside ends it first, so the
// transaction's writes are stored, and nothing stays open afterwards.
TEST_F(DbTest, AReadSnapshotSeesOneStateAndGivesWayToATransaction)
{
    TTable county("County.db");
    county.open();
    const int before = county.recordCount();
    {
        const ReadSnapshot snapshot;
        EXPECT_EQ(county.recordCount(), before);
        addCountyElsewhere("Snapshot Elsewhere");
        // A file's snapshot keeps the state it began with; a server's
        // statements each see the latest one.
        EXPECT_EQ(county.recordCount(), onServer() ? before + 1 : before);
        {
            const ReadSnapshot inner;   // nested: nothing more is begun
            EXPECT_EQ(county.recordCount(), onServer() ? before + 1 : before);
        }
        Database::transaction([&] { county.appendRecord({"Snapshot Inside"}); }, {"County.db"});
        EXPECT_EQ(county.recordCount(), before + 2);
    }
    EXPECT_EQ(countFromOtherConnection("County"), before + 2);
    const Sent sent = statementsOf([&] {
        const ReadSnapshot snapshot;
        county.recordCount();
    });
    EXPECT_EQ(sent.shared, onServer() ? 1u : 3u);   // BEGIN and COMMIT on a file
    addCountyElsewhere("After Snapshot");            // no transaction was left open
    EXPECT_EQ(county.recordCount(), before + 3);
    county.close();
}

TEST_F(DbTest, ScratchRowsArePrivateToTheProgramRun)
{
    // A file written by an older version still holds scratch tables of its
    // own, here with a row another program left: opened as it is, and
    // neither side sees the other's rows.
    if (!onServer()) {
        Database::close();
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "db-test-old-layout");
            raw.setDatabaseName(dbPath);
            ASSERT_TRUE(raw.open());
            QSqlQuery q(raw);
            ASSERT_TRUE(q.exec("CREATE TABLE \"StationList\" (\"StaIndex\" INTEGER PRIMARY KEY AUTOINCREMENT, "
                               "\"StationName\" TEXT, \"StationNo\" TEXT)"));
            ASSERT_TRUE(q.exec("INSERT INTO \"StationList\" (\"StationName\") VALUES ('Left behind')"));
        }
        QSqlDatabase::removeDatabase("db-test-old-layout");
        Database::open(dbPath);
    }
    TTable list("StationList.db");
    list.open();
    EXPECT_TRUE(list.isEmpty());
    list.appendRecord({QVariant(), "Alpha", "0500001"});
    list.appendRecord({7, "Beta"});                  // the AutoInc position is skipped
    EXPECT_EQ(list.field("StaIndex").asInteger(), 2);
    EXPECT_EQ(column(list, "StationName"), QStringList({"Alpha", "Beta"}));

    TTable kc("ETKc.db");
    kc.open();
    kc.appendRows({{1, 0.3}, {2, 0.4}});
    TTable job("QuenJob.db");
    job.open();
    job.appendRecord({"Seen"});
    // A second program on the same database: the job, no scratch rows (a new
    // database has no scratch tables at all).
    EXPECT_EQ(countFromOtherConnection("QuenJob"), 1);
    EXPECT_EQ(countFromOtherConnection("ETKc"), -1);
    EXPECT_EQ(countFromOtherConnection("StationList"), onServer() ? -1 : 1);

    // The private database lives as long as the shared connection.
    Database::close();
    EXPECT_FALSE(list.isOpen());
    Database::open(dbPath);
    list.open();
    kc.open();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(kc.recordCount(), 0);
    list.appendRecord({QVariant(), "Gamma"});
    EXPECT_EQ(list.field("StaIndex").asInteger(), 1);
}

TEST_F(DbTest, TransactionRollbackDropsScratchWritesMadeInside)
{
    TTable kc("ETKc.db");
    TTable job("QuenJob.db");
    kc.open();
    job.open();
    kc.appendRecord({1, 0.3});   // before: kept

    EXPECT_THROW(Database::transaction(
                     [&] {
                         kc.appendRecord({2, 0.4});
                         kc.appendRows({{3}, {4}});
                         job.appendRecord({"Rolled back"});
                         throw DbError("refused");
                     },
                     {"ETKc.db", "QuenJob.db"}),
                 DbError);
    EXPECT_EQ(column(kc, "JDate"), QStringList({"1"}));
    EXPECT_EQ(job.recordCount(), 0);

    // Committed together; a refused batch inside leaves the rest usable.
    Database::transaction([&] {
        kc.appendRecord({5, 0.5});
        EXPECT_THROW(kc.appendRows({{6}, {5}}), DbError);
        job.appendRecord({"Kept"});
    });
    EXPECT_EQ(column(kc, "JDate"), QStringList({"1", "5"}));
    EXPECT_EQ(countFromOtherConnection("QuenJob"), 1);

}

TEST_F(DbTest, UsualReadIsOneStatementAndScratchWorkStaysOffTheSharedDatabase)
{
    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    QStringList fields;
    Sent s = statementsOf([&] {
        clim.open();
        clim.findNearest({"Dun"});
        fields = allFields(clim);
        clim.close();
    });
    EXPECT_EQ(s.shared, 1u);
    EXPECT_EQ(fields.value(0), "Dunes");

    s = statementsOf([&] {
        clim.open();
        EXPECT_TRUE(clim.findKey({"Dunes"}));
        fields = allFields(clim);
        clim.close();
    });
    EXPECT_EQ(s.shared, 1u);
    s = statementsOf([&] {   // the first row, read with its fields
        clim.open();
        fields = allFields(clim);
        EXPECT_FALSE(clim.eof());
        clim.close();
    });
    EXPECT_EQ(s.shared, 1u);
    s = statementsOf([&] {
        clim.open();
        clim.first();
        clim.close();
    });
    EXPECT_EQ(s.shared, 0u);   // nothing needed the row

    // A refill and a walk of the daily table, single posts, edits and
    // deletes of working crops: nothing reaches the shared database.
    s = statementsOf([&] {
        TTable kc("ETKc.db");
        kc.open();
        kc.emptyTable();
        QList<QVariantList> rows;
        for (int day = 1; day <= 366; ++day)
            rows << QVariantList{day, 0.3, 0.2, 0.0, 0.0, 1 + (day - 1) / 31};
        kc.appendRows(rows);
        double sum = 0;
        for (kc.first(); !kc.eof(); kc.next())
            sum += kc.field("Kca").asFloat();
        EXPECT_NEAR(sum, 366 * 0.3, 1e-9);
        kc.findNearest({200});
        kc.prior();
        EXPECT_EQ(kc.field("JDate").asInteger(), 199);
        kc.close();

        TTable wk("QuenWkCrop.DB");
        wk.setIndexName("CropNameIndex");
        wk.open();
        wk.appendRecord({"Corn"});
        wk.appendRecord({"Beans"});
        ASSERT_TRUE(wk.findKey({"corn"}));
        wk.edit();
        wk.field("Net Irr").setAsFloat(2.5);
        wk.post();
        wk.remove();
        EXPECT_EQ(wk.recordCount(), 1);
        wk.emptyTable();
        wk.close();
    });
    EXPECT_EQ(s.shared, 0u);
    EXPECT_GT(s.scratch, 0u);
}

TEST_F(DbTest, LazyOpenKeepsPositionAndSignals)
{
    // An empty view: at its end and start at once, no row, nothing to find.
    TTable kc("ETKc.db");
    kc.open();
    EXPECT_TRUE(kc.eof());
    EXPECT_TRUE(kc.bof());
    EXPECT_TRUE(kc.isEmpty());
    EXPECT_EQ(kc.recordCount(), 0);
    EXPECT_EQ(kc.recNo(), 0);
    EXPECT_TRUE(kc.field("JDate").isNull());
    kc.close();
    kc.open();
    kc.findNearest({5});
    EXPECT_TRUE(kc.eof());
    EXPECT_THROW(kc.remove(), DbError);
    kc.edit();                                       // starts a new row
    EXPECT_EQ(kc.state(), TTable::State::Insert);
    kc.cancel();
    kc.close();

    // Slots of the open signals read the first row, as data-aware controls do.
    TTable pcp("PcpChance.DB");
    pcp.setIndexName("AnPrecip");
    QStringList seen;
    int scrolls = 0;
    QObject::connect(&pcp, &TTable::afterOpen, [&] { seen << "open " + pcp.field("AnPcp").asString(); });
    QObject::connect(&pcp, &TTable::afterScroll, [&] {
        ++scrolls;
        seen << "scroll " + pcp.field("AnPcp").asString();
    });
    pcp.open();
    EXPECT_EQ(seen, QStringList({"open 5", "scroll 5"}));
    EXPECT_TRUE(pcp.bof());
    EXPECT_FALSE(pcp.eof());
    EXPECT_FALSE(pcp.isEmpty());
    EXPECT_EQ(pcp.recNo(), 1);
    pcp.close();

    // Right after open: a failed key search stays on the first row; next,
    // prior, edit, delete and an index change start from it.
    scrolls = 0;
    QObject::disconnect(&pcp, nullptr, nullptr, nullptr);
    pcp.open();
    EXPECT_FALSE(pcp.findKey({7}));
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 5.0);
    pcp.close();
    pcp.open();
    pcp.next();
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 10.0);
    EXPECT_EQ(pcp.recNo(), 2);
    pcp.first();
    EXPECT_TRUE(pcp.bof());
    pcp.prior();
    EXPECT_TRUE(pcp.bof());
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 5.0);
    pcp.close();
    pcp.open();
    pcp.edit();
    pcp.field("Pct50").setAsFloat(0.25);
    pcp.post();
    pcp.close();
    pcp.open();
    EXPECT_DOUBLE_EQ(pcp.field("Pct50").asFloat(), 0.25);
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 5.0);
    pcp.close();

    // Rows another handle adds before the first row is read are seen.
    pcp.open();
    TTable other("PcpChance.DB");
    other.open();
    other.appendRecord({1.0, 0.1, 0.1});
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 1.0);
    EXPECT_EQ(pcp.recordCount(), other.recordCount());
    pcp.close();
    pcp.open();
    pcp.remove();                                    // the first row
    EXPECT_EQ(pcp.field("AnPcp").asFloat(), 5.0);
    other.first();
    EXPECT_EQ(other.field("AnPcp").asFloat(), 5.0);
    pcp.close();

    TTable clim("Climate.DB");
    clim.setIndexName("StaNameIndex");
    clim.open();
    const QString firstByName = clim.field("Station Name").asString();
    clim.close();
    clim.open();
    clim.setIndexName("CountyIndex");               // keeps the row it was on
    EXPECT_EQ(clim.field("Station Name").asString(), firstByName);
}

// A private row is written by its rowid alone only while nothing has written
// to the table since the handle read it: an edit of a row another handle of
// the run changed is still refused, and a rollback counts as a change.
TEST_F(DbTest, EditOfAPrivateRowKeepsTheChangedByAnotherHandleCheck)
{
    TTable a("ETKc.db");
    TTable b("ETKc.db");
    a.open();
    a.appendRows({{1, 0.3}, {2, 0.4}});
    b.open();

    // Posts one after another through one handle: each stored.
    a.findKey({1});
    a.edit();
    a.field("Kca").setAsFloat(0.31);
    a.post();
    a.edit();
    a.field("Kcb").setAsFloat(0.11);
    a.post();
    ASSERT_TRUE(b.findKey({1}));
    EXPECT_DOUBLE_EQ(b.field("Kca").asFloat(), 0.31);
    EXPECT_DOUBLE_EQ(b.field("Kcb").asFloat(), 0.11);

    // The other handle changes the row while the first one edits it: the
    // first one's post is refused and shows the row as it is now.
    a.edit();
    b.edit();
    b.field("Kca").setAsFloat(0.5);
    b.post();
    a.field("Kca").setAsFloat(0.9);
    try {
        a.post();
        ADD_FAILURE() << "an edit over a changed row was stored";
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), "This record was changed by another user.");
    }
    EXPECT_DOUBLE_EQ(a.field("Kca").asFloat(), 0.5);

    // A write to another row of the table also takes the full check, which
    // passes when this row is unchanged.
    a.findKey({1});
    b.findKey({2});
    b.edit();
    b.field("Kca").setAsFloat(0.45);
    b.post();
    a.edit();
    a.field("Kca").setAsFloat(0.55);
    a.post();
    ASSERT_TRUE(b.findKey({1}));
    EXPECT_DOUBLE_EQ(b.field("Kca").asFloat(), 0.55);

    // Changed inside a transaction that is rolled back while the first
    // handle edits it: the row is as that handle read it again, and its
    // edit is stored.
    a.findKey({2});
    a.edit();
    EXPECT_THROW(Database::transaction([&] {
        b.findKey({2});
        b.edit();
        b.field("Kca").setAsFloat(0.7);
        b.post();
        throw DbError("refused");
    }),
                 DbError);
    a.field("Kcb").setAsFloat(0.2);
    a.post();
    b.findKey({2});
    EXPECT_DOUBLE_EQ(b.field("Kca").asFloat(), 0.45);
    EXPECT_DOUBLE_EQ(b.field("Kcb").asFloat(), 0.2);
}
