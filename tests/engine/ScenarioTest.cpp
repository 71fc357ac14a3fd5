// Regression scenarios: each folder of scenarios/ holds a saved job
// (tables/QuenJob.db.csv, tables/QuenJobCrop.DB.csv, job.txt with its name) on
// the station, curve and reference tables of scenarios/reference-tables, and
// expected.csv, the monthly results of each crop as quenpm-calc computes
// them. Run with QUEN_WRITE_SCENARIOS=1 to rewrite expected.csv after a
// deliberate change of the computation.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "CalcJob.h"
#include "TestMessages.h"
#include "db/Database.h"

using namespace quen;

namespace {

QString N(double v) { return QString::number(v, 'g', 17); }

QStringList ResultLines(const QList<calc::CropResult>& crops)
{
    QStringList lines;
    lines << "crop,month,season,DailyRefET,ShoulderRefET,MonthlyKc,DailyCropET,MonthlyCropET,EffPrecip50,"
             "EffPrecip80,CarryOverUsed50,CarryOverUsed80,NetIrrReq50,NetIrrReq80,PeakDailyET,HayFlag";
    for (const calc::CropResult& r : crops) {
        const CropRunContext& c = r.ctx;
        const QString name = "\"" + c.CropName + "\"";
        for (int m = 1; m <= 12; ++m) {
            lines << QStringList{name, QString::number(m), c.SeasonMonthFlags[m] ? "1" : "0", N(c.DailyRefET[m]),
                                 N(c.ShoulderRefET[m]), N(c.MonthlyKc[m]), N(c.DailyCropET[m]), N(c.MonthlyCropET[m]),
                                 N(c.EffPrecip50[m]), N(c.EffPrecip80[m]), N(c.CarryOverUsed50[m]),
                                 N(c.CarryOverUsed80[m]), N(c.NetIrrReq50[m]), N(c.NetIrrReq80[m]),
                                 N(c.PeakDailyET[m]), c.HayFlag ? "1" : "0"}
                         .join(',');
        }
        lines << QStringList{name, "total", "", "", "", "", "", N(c.TotalCropET), N(c.TotalEffPrecip50),
                             N(c.TotalEffPrecip80), "", "", N(c.TotalNetIrrReq50), N(c.TotalNetIrrReq80), "", ""}
                     .join(',');
    }
    return lines;
}

// Splits on commas outside quotes.
QStringList Cells(const QString& line)
{
    QStringList cells;
    QString cur;
    bool quoted = false;
    for (QChar ch : line) {
        if (ch == '"')
            quoted = !quoted;
        else if (ch == ',' && !quoted) {
            cells << cur;
            cur.clear();
        } else
            cur += ch;
    }
    cells << cur;
    return cells;
}

void CopyCsv(const QString& from, const QString& to)
{
    for (const QString& f : QDir(from).entryList({"*.csv"}, QDir::Files)) {
        QFile::remove(to + "/" + f);
        QFile::copy(from + "/" + f, to + "/" + f);
    }
}

} // namespace

TEST(EngineScenarios, MonthlyResultsUnchanged)
{
    const QString root = QStringLiteral(QUEN_ENGINE_SCENARIOS);
    const bool write = qEnvironmentVariableIntValue("QUEN_WRITE_SCENARIOS") == 1;
    const QStringList scenarios = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    int run = 0;
    for (const QString& name : scenarios) {
        const QString dir = root + "/" + name;
        if (!QFile::exists(dir + "/job.txt"))
            continue;
        SCOPED_TRACE(name.toStdString());
        ++run;
        QTemporaryDir tmp;
        QDir().mkpath(tmp.filePath("tables"));
        CopyCsv(root + "/reference-tables", tmp.filePath("tables"));
        CopyCsv(dir + "/tables", tmp.filePath("tables"));
        Database::setDataDirectory(tmp.filePath("tables"));
        Database::open(tmp.filePath("scenario.sqlite"));
        const QString cwd = QDir::currentPath();
        QDir::setCurrent(tmp.path());

        QFile jobFile(dir + "/job.txt");
        ASSERT_TRUE(jobFile.open(QIODevice::ReadOnly | QIODevice::Text));
        const QString job = QString::fromUtf8(jobFile.readAll()).trimmed();
        CropRunContext ctx;
        ASSERT_TRUE(calc::LoadJob(job, ctx));
        test::RecordingMessages msgs;
        const QStringList got = ResultLines(calc::ComputeJob(ctx));
        QDir::setCurrent(cwd);
        Database::close();
        EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(" | ").toStdString();

        QFile expected(dir + "/expected.csv");
        if (write) {
            ASSERT_TRUE(expected.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text));
            expected.write((got.join('\n') + '\n').toUtf8());
            continue;
        }
        ASSERT_TRUE(expected.open(QIODevice::ReadOnly | QIODevice::Text)) << "missing expected.csv";
        const QStringList want = QString::fromUtf8(expected.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(got.size(), want.size());
        for (int i = 0; i < got.size(); ++i) {
            const QStringList g = Cells(got[i]), w = Cells(want[i]);
            ASSERT_EQ(g.size(), w.size()) << i;
            for (int k = 0; k < g.size(); ++k) {
                bool okG = false, okW = false;
                const double gv = g[k].toDouble(&okG), wv = w[k].toDouble(&okW);
                if (okG && okW)
                    EXPECT_NEAR(gv, wv, 1e-9 * std::max(1.0, std::abs(wv))) << want[i].toStdString() << " column " << k;
                else
                    EXPECT_EQ(g[k], w[k]) << i;
            }
        }
    }
    EXPECT_GE(run, 4);
}
