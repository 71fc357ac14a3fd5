// The job list report over "QuenJob.db".
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "Database.h"
#include "JobListReport.h"
#include "Render.h"
#include "Report.h"
#include "ReportTestUtil.h"
#include "Table.h"

using namespace quen;
using namespace quen::report;
using namespace testutil;

namespace {

class JobListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.filePath(QStringLiteral("nodata"))));
        Database::setDataDirectory(dir.filePath(QStringLiteral("nodata")));
        Database::open(dir.filePath(QStringLiteral("Quenpm.sqlite")));
    }
    void TearDown() override { Database::close(); }

    void addJobs(int n, const QString& longName = QString())
    {
        TTable t(QStringLiteral("QuenJob.db"));
        t.open();
        for (int i = 1; i <= n; ++i) {
            t.append();
            t.field(QStringLiteral("JobName")).setAsString(i == 2 && !longName.isEmpty() ? longName
                                                                                       : QStringLiteral("Job %1").arg(i, 3, 10, QLatin1Char('0')));
            t.field(QStringLiteral("Job Date")).setAsString(QStringLiteral("05/%1/26").arg(i % 28 + 1, 2, 10, QLatin1Char('0')));
            t.field(QStringLiteral("County")).setAsString(QStringLiteral("Larimer, CO"));
            t.field(QStringLiteral("Location")).setAsString(QStringLiteral("North pivot %1").arg(i));
            t.field(QStringLiteral("Weather Station")).setAsString(QStringLiteral("FORT COLLINS"));
            t.field(QStringLiteral("StationNo")).setAsString(QStringLiteral("053005"));
            t.post();
        }
        t.close();
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(JobListTest, ListsEveryJobWithHeaderAndFooterOnEveryPage)
{
    // 50 wide capitals do not fit the name's column on one line
    const QString longName = QStringLiteral("WWWWW MMMMM WWWWW MMMMM WWWWW MMMMM WWWWW MMMMM WW");
    addJobs(30, longName.left(50));
    TTable jobs(QStringLiteral("QuenJob.db"));
    const PreparedReport pr = prepareJobList(jobs);
    EXPECT_FALSE(jobs.isOpen());   // closed again as it was
    if (const QString keep = qEnvironmentVariable("QUEN_REPORT_KEEP"); !keep.isEmpty())
        writePdf(pr, keep + QStringLiteral("/joblist-wrap.pdf"));
    ASSERT_GE(pr.pageCount(), 2);
    EXPECT_EQ(pr.title, QStringLiteral("List of Available Jobs"));
    int jobsSeen = 0;
    for (int p = 0; p < pr.pageCount(); ++p) {
        const QStringList t = pageTexts(pr, p);
        EXPECT_TRUE(t.contains(QStringLiteral("Quen (Quen) Program")));
        EXPECT_TRUE(t.contains(QStringLiteral("List of Available Jobs")));
        EXPECT_TRUE(t.contains(QStringLiteral("Page:  %1").arg(p + 1)));
        EXPECT_EQ(t.filter(QRegularExpression(QStringLiteral("^Date:  \\d+/\\d+/\\d{4}$"))).size(), 1);
        jobsSeen += int(t.count(QStringLiteral("Job:")));
    }
    EXPECT_EQ(jobsSeen, 30);
    const QStringList all = allTexts(pr);
    EXPECT_TRUE(all.contains(QStringLiteral("Job 030")));
    EXPECT_TRUE(all.contains(QStringLiteral("FORT COLLINS")));
    EXPECT_TRUE(all.contains(QStringLiteral("053005")));
    EXPECT_TRUE(all.contains(QStringLiteral("North pivot 17")));
    // the long name wraps onto a second line in bold
    const int first = int(all.indexOf(QStringLiteral("Job:"), all.indexOf(QStringLiteral("Job 001")) + 1));
    ASSERT_GT(first, 0);
    EXPECT_TRUE(longName.left(50).startsWith(all.at(first + 1)));
    EXPECT_NE(all.at(first + 1), longName.left(50));
    const auto ops = find(pr, 0, all.at(first + 1));
    ASSERT_EQ(ops.size(), 1u);
    EXPECT_TRUE(pr.fonts.at(ops[0].font).bold);
}

TEST_F(JobListTest, EmptyJobTablePrintsAnEmptyListAndAnOpenHandleKeepsItsJob)
{
    {
        TTable jobs(QStringLiteral("QuenJob.db"));
        const PreparedReport pr = prepareJobList(jobs);
        ASSERT_EQ(pr.pageCount(), 1);
        EXPECT_FALSE(allTexts(pr).contains(QStringLiteral("Job:")));
        EXPECT_TRUE(allTexts(pr).contains(QStringLiteral("List of Available Jobs")));
    }
    addJobs(5);
    TTable jobs(QStringLiteral("QuenJob.db"));
    jobs.setIndexName(QStringLiteral("JobNameIndex"));
    jobs.open();
    ASSERT_TRUE(jobs.findKey({QStringLiteral("Job 003")}));
    const PreparedReport pr = prepareJobList(jobs);
    EXPECT_TRUE(jobs.isOpen());
    EXPECT_EQ(jobs.field(QStringLiteral("JobName")).asString(), QStringLiteral("Job 003"));
    EXPECT_EQ(allTexts(pr).count(QStringLiteral("Job:")), 5);
}

TEST_F(JobListTest, PdfOfTheListHoldsTheJobs)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext not installed";
    addJobs(40, QStringLiteral("Wheat and Winter Wheat: West Mesa Whitewater Wells"));
    TTable jobs(QStringLiteral("QuenJob.db"));
    const PreparedReport pr = prepareJobList(jobs);
    const QString pdf = dir.filePath(QStringLiteral("jobs.pdf"));
    ASSERT_TRUE(writePdf(pr, pdf));
    if (const QString keep = qEnvironmentVariable("QUEN_REPORT_KEEP"); !keep.isEmpty())
        QFile::copy(pdf, keep + QStringLiteral("/joblist.pdf"));
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("List of Available Jobs")));
    EXPECT_TRUE(text.contains(QStringLiteral("Quen (Quen) Program")));
    for (int i = 1; i <= 40; ++i)
        if (i != 2)
            EXPECT_TRUE(text.contains(QStringLiteral("Job %1").arg(i, 3, 10, QLatin1Char('0')))) << i;
    EXPECT_TRUE(text.contains(QStringLiteral("Weather Station:")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Page:\\s+%1").arg(pr.pageCount()))));
}

TEST_F(JobListTest, ReportOverAFilteredHandlePrintsOnlyTheRowsItPasses)
{
    addJobs(12);
    TTable jobs(QStringLiteral("QuenJob.db"));
    jobs.open();
    jobs.setOnFilterRecord([](TTable& t) { return t.field(QStringLiteral("Location")).asString().endsWith(QLatin1Char('1')); });
    jobs.setFiltered(true);
    Report rep;
    rep.setTable(&jobs);
    rep.detail().setHeight(12);
    rep.detail().addField(0, 0, QStringLiteral("JobName"));
    rep.detail().addField(QRectF(100, 0, 0, 0), QStringLiteral("JobNumber"))->setPattern(QStringLiteral("000"));
    const PreparedReport pr = rep.prepare();
    EXPECT_EQ(allTexts(pr), (QStringList{"Job 001", "001", "Job 011", "011"}));
}
