// A planner's program goes on after the office server restarts: the next
// action connects again, and a change the restart cut off is said to be
// lost, never stored in part. And a copy between a file and a server keeps
// every value both ways. Runs on a throwaway server cluster of its own
// (skipped where the PostgreSQL server programs are missing).
#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Database.h"
#include "Schema.h"
#include "Table.h"

using namespace quen;

namespace {

class ServerCluster {
public:
    ServerCluster()
    {
        m_port = QString::number(55000 + ::getpid() % 4000);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENPM_PG_PORT", m_port);
        QProcess p;
        p.setProcessEnvironment(env);
        p.start("bash", {QStringLiteral(QUEN_PG_SERVER_SCRIPT), "start", m_dir.path()});
        if (p.waitForFinished(120000) && p.exitCode() == 0)
            m_uri = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
        const QStringList bins = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        if (!bins.isEmpty())
            m_pgCtl = "/usr/lib/postgresql/" + bins.last() + "/bin/pg_ctl";
    }
    ~ServerCluster()
    {
        QProcess p;
        p.start("bash", {QStringLiteral(QUEN_PG_SERVER_SCRIPT), "stop", m_dir.path()});
        p.waitForFinished(60000);
    }
    QString uri() const { return m_uri; }
    bool restart() { return pgCtl({"-m", "fast", "-w", "restart"}); }
    bool stop() { return pgCtl({"-m", "fast", "-w", "stop"}); }
    bool start()
    {
        return pgCtl({"-w", "-l", m_dir.path() + "/server.log", "-o",
                      QStringLiteral("-c listen_addresses='' -c unix_socket_directories='%1' -p %2 -c fsync=off")
                          .arg(m_dir.path(), m_port),
                      "start"});
    }

private:
    bool pgCtl(const QStringList& args)
    {
        QStringList cmd = QStringList{m_pgCtl, "-D", m_dir.path() + "/data"} + args;
        if (::geteuid() == 0)
            cmd = QStringList{"--reuid=nobody", "--regid=nogroup", "--clear-groups", "--"} + cmd;
        QProcess p;
        p.start(::geteuid() == 0 ? QStringLiteral("setpriv") : cmd.takeFirst(), cmd);
        return p.waitForFinished(60000) && p.exitCode() == 0;
    }
    QTemporaryDir m_dir;
    QString m_port, m_uri, m_pgCtl;
};

void addJob(const QString& name)
{
    TTable job("QuenJob.db");
    job.open();
    job.append();
    job.field("JobName").setAsString(name);
    try {
        job.post();
    } catch (...) {
        job.cancel();
        throw;
    }
    job.close();
}

QStringList jobNames()
{
    QStringList names;
    TTable job("QuenJob.db");
    job.setIndexName("JobNameIndex");
    job.open();
    for (job.first(); !job.eof(); job.next())
        names << job.field("JobName").asString();
    job.close();
    return names;
}

// The message of a failed action: plain words, never an empty database error.
QString failure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const DbError& e) {
        return e.message();
    }
    return QString();
}

} // namespace

TEST(ServerRestart, TheNextActionConnectsAgainAndACutChangeIsSaidLost)
{
    ServerCluster server;
    if (server.uri().isEmpty())
        GTEST_SKIP() << "no PostgreSQL server programs";
    Database::open(server.uri());
    addJob("Before");

    // A restart while the program waits: the next save goes through.
    ASSERT_TRUE(server.restart());
    QString said = failure([] { addJob("After restart"); });
    if (!said.isEmpty()) {   // cut off while it ran: said so, and the next one works
        EXPECT_TRUE(said.contains("connection to the database server")) << qPrintable(said);
        said = failure([] { addJob("After restart"); });
    }
    EXPECT_TRUE(said.isEmpty()) << qPrintable(said);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(failure([i] { addJob(QStringLiteral("Later %1").arg(i)); }).isEmpty());

    // A restart inside a transaction: none of its writes is stored, the
    // message says so, and the next action works.
    said = failure([&] {
        Database::transaction([&] {
            addJob("In transaction 1");
            ASSERT_TRUE(server.restart());
            addJob("In transaction 2");
        });
    });
    EXPECT_TRUE(said.contains("was lost") && said.contains("not saved")) << qPrintable(said);
    EXPECT_TRUE(failure([] { addJob("After the lost transaction"); }).isEmpty());

    // The server goes away inside a transaction and is still away when it
    // ends: nothing of it is stored, and a plain save works once it is back.
    said = failure([&] {
        Database::transaction([&] {
            addJob("In transaction 3");
            ASSERT_TRUE(server.stop());
            addJob("In transaction 4");
        });
    });
    EXPECT_TRUE(said.contains("not saved")) << qPrintable(said);
    ASSERT_TRUE(server.start());
    said = failure([] { addJob("Server back"); });
    EXPECT_TRUE(said.isEmpty()) << qPrintable(said);

    // The server down for a while: each action says it cannot be reached.
    ASSERT_TRUE(server.stop());
    for (int i = 0; i < 3; ++i) {
        said = failure([] { addJob("While down"); });
        EXPECT_FALSE(said.isEmpty());
        EXPECT_TRUE(said.contains("was lost") || said.contains("cannot be reached")) << qPrintable(said);
        EXPECT_FALSE(said.trimmed().endsWith("Database error:")) << qPrintable(said);
    }
    ASSERT_TRUE(server.start());
    said = failure([] { addJob("Back up"); });
    EXPECT_TRUE(said.isEmpty()) << qPrintable(said);

    EXPECT_EQ(jobNames(), QStringList({"After restart", "After the lost transaction", "Back up", "Before", "Later 0",
                                       "Later 1", "Later 2", "Server back"}));
    Database::close();
}

namespace {

// Every row of every saved table, in stored order.
QMap<QString, QList<QVariantList>> allRows()
{
    QMap<QString, QList<QVariantList>> out;
    for (const TableDef& t : schemaTables()) {
        if (t.scratch)
            continue;
        TTable h(t.name);
        h.open();
        for (h.first(); !h.eof(); h.next())
            out[t.name] << h.rowValues();
        h.close();
    }
    return out;
}

} // namespace

TEST(ServerCopy, FileToServerAndBackKeepsEveryValue)
{
    ServerCluster server;
    if (server.uri().isEmpty())
        GTEST_SKIP() << "no PostgreSQL server programs";
    QTemporaryDir dir;
    const QString source = dir.filePath("source.sqlite");
    Database::open(source);
    {
        TTable job("QuenJob.db");
        job.open();
        job.append();
        job.field("JobName").setAsString("Tab\there, a new\nline, a \\ and a quote \" ' \u00e9");
        job.field("Elevation").setAsFloat(1234.5678901234567);
        job.field("Location").setAsString("\\N");
        job.post();
        job.append();
        job.field("JobName").setAsString("Nulls");
        job.post();
    }
    const auto before = allRows();
    ASSERT_GT(before.value("Climate.DB").size(), 0);
    Database::close();

    const QString onServer = server.uri() + "&options=-csearch_path%3Dcopied";
    Database::copyDatabase(source, onServer, false);
    Database::open(onServer);
    EXPECT_EQ(allRows(), before);
    {
        // The serials continue after the copied numbers.
        TTable job("QuenJob.db");
        job.open();
        job.append();
        job.field("JobName").setAsString("Next");
        job.post();
        EXPECT_EQ(job.field("JobNumber").asInteger(), 3);
        job.cancel();
        job.locate("JobName", "Next");
        job.remove();
    }
    Database::close();

    const QString back = dir.filePath("back.sqlite");
    Database::copyDatabase(onServer, back, false);
    Database::open(back);
    EXPECT_EQ(allRows(), before);
    Database::close();

    // The server copy refuses a second copy unless replaced, and replaces whole.
    EXPECT_THROW(Database::copyDatabase(source, onServer, false), DbError);
    Database::copyDatabase(back, onServer, true);
    Database::open(onServer);
    EXPECT_EQ(allRows(), before);
    Database::close();
}
