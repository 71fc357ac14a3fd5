// quenpm-calc on a small saved job.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cmath>

#include "EngineFixture.h"
#include "db/Database.h"
#include "db/Table.h"

using quen::test::EngineDatabase;

namespace {

struct CalcRun {
    int exitCode = -1;
    QByteArray out, err;
};

CalcRun Calc(const QString& dbPath, const QStringList& args, const QString& cwd)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENPM_DB", dbPath);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(QUENPM_CALC), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QMap<QString, QString> SavedJobs()
{
    QMap<QString, QString> t;
    t["QuenJob.db"] =
        "JobName,Location,Planner,Weather Station,Elevation,No of Crops,EffPcpFact50,EffPcpFact80,ETMethod,ETIndex\n"
        "Field 7,Valley,Pat,Test Station,4000,3,0.9,0.7,\"FAO Penman-Monteith,NEH2\",2\n"
        "Field 8,Valley,Pat,Test Station,4000,1,0.9,0.7,Blaney Criddle (TR21),1\n";
    t["QuenJobCrop.DB"] =
        "JobName,Crop Name,Crop Curve Type,Curve Index,Net Irr,Plant Mo,Plant Day,Harv Mo,Harv Day,Carry Beg,"
        "Carry End,Soil,Cuttings,Cut1Mo,Cut1Day,CutEndMo,CutEndDay,Dys Wet Developed,Dys Wet Mature,"
        "Stress Factor,Fraction Wetted,Irrigation Type,Curve Name,Sensitive,ASW\n"
        "Field 7,Alfalfa,Grasses and forage legumes,2,3,4,1,10,15,1,1,Silt Loam,3,6,1,8,30,7,14,1,1,Rain,Alfalfa AM,T,50\n"
        "Field 7,Corn,Field and vegetable crops,0,3,5,1,9,30,0,0,Silt Loam,1,1,1,1,1,7,14,1,1,Rain,Corn AM,T,50\n"
        "field 7,Wrong,Field and vegetable crops,0,3,5,1,9,30,0,0,Silt Loam,1,1,1,1,1,7,14,1,1,Rain,Corn AM,T,50\n"
        "Field 8,Beans,Blaney Criddle Annual Crop,3,3,4,15,10,15,0,0,Silt Loam,1,1,1,1,1,7,14,1,1,Rain,BC Beans,T,50\n";
    return t;
}

QList<QVariantList> Rows(const QString& table)
{
    QList<QVariantList> rows;
    quen::TTable t(table);
    t.open();
    for (t.first(); !t.eof(); t.next())
        rows << t.rowValues();
    t.close();
    return rows;
}

} // namespace

TEST(QuenpmCalc, ComputesASavedJobAsJson)
{
    EngineDatabase db(SavedJobs(), false);
    quen::Database::open(db.dbPath());
    const auto jobsBefore = Rows("QuenJob.db");
    const auto cropsBefore = Rows("QuenJobCrop.DB");
    quen::Database::close();

    CalcRun list = Calc(db.dbPath(), {"--list-jobs"}, db.dir());
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(list.out), "Field 7\nField 8\n");

    CalcRun r = Calc(db.dbPath(), {"--job", "Field 7", "--json"}, db.dir());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out, &err);
    ASSERT_EQ(err.error, QJsonParseError::NoError) << r.out.toStdString();
    const QJsonObject o = doc.object();
    EXPECT_EQ(o["job"].toString(), "Field 7");
    const QJsonArray crops = o["crops"].toArray();
    ASSERT_EQ(crops.size(), 2);   // "field 7" is another job
    const QJsonObject alfalfa = crops[0].toObject();
    EXPECT_EQ(alfalfa["Crop Name"].toString(), "Alfalfa");
    EXPECT_EQ(alfalfa["Curve Index"].toInt(), 2);
    EXPECT_EQ(alfalfa["ETMethodIndex"].toInt(), 2);
    EXPECT_TRUE(alfalfa["HayFlag"].toBool());
    const QJsonObject corn = crops[1].toObject();
    EXPECT_EQ(corn["Crop Name"].toString(), "Corn");
    EXPECT_FALSE(corn["HayFlag"].toBool());
    for (const char* key : {"SeasonMonthFlags", "DailyRefET", "ShoulderRefET", "MonthlyKc", "DailyCropET",
                            "MonthlyCropET", "EffPrecip50", "EffPrecip80", "CarryOverUsed50", "CarryOverUsed80",
                            "NetIrrReq50", "NetIrrReq80", "PeakDailyET"})
        EXPECT_EQ(corn[key].toArray().size(), 12) << key;
    double sum = 0;
    for (const QJsonValue v : corn["NetIrrReq50"].toArray())
        sum += v.toDouble();
    EXPECT_NEAR(corn["TotalNetIrrReq50"].toDouble(), sum, 1e-9);
    EXPECT_GT(corn["TotalCropET"].toDouble(), 5.0);
    EXPECT_TRUE(corn["SeasonMonthFlags"].toArray()[6].toBool());
    EXPECT_FALSE(corn["SeasonMonthFlags"].toArray()[0].toBool());
    EXPECT_TRUE(corn["messages"].toArray().isEmpty());
    // 17 significant digits.
    EXPECT_TRUE(r.out.contains(QByteArray::number(corn["TotalCropET"].toDouble(), 'g', 17)));

    // Nothing saved changed; the working table is empty again.
    quen::Database::open(db.dbPath());
    EXPECT_EQ(Rows("QuenJob.db"), jobsBefore);
    EXPECT_EQ(Rows("QuenJobCrop.DB"), cropsBefore);
    EXPECT_TRUE(Rows("QuenWkCrop.DB").isEmpty());
    quen::Database::close();

    CalcRun text = Calc(db.dbPath(), {"--job", "Field 8"}, db.dir());
    EXPECT_EQ(text.exitCode, 0);
    EXPECT_TRUE(text.out.contains("Crop: Beans"));
    EXPECT_TRUE(text.out.contains("Totals: crop ET"));
}

TEST(QuenpmCalc, FailuresGoToStderrWithNonZeroStatus)
{
    EngineDatabase db(SavedJobs(), false);

    CalcRun missingJob = Calc(db.dbPath(), {"--job", "Nope", "--json"}, db.dir());
    EXPECT_NE(missingJob.exitCode, 0);
    EXPECT_TRUE(missingJob.out.isEmpty());
    EXPECT_TRUE(missingJob.err.contains("Nope"));

    const QString absent = db.dir() + "/absent.sqlite";
    CalcRun missingDb = Calc(absent, {"--list-jobs"}, db.dir());
    EXPECT_NE(missingDb.exitCode, 0);
    EXPECT_TRUE(missingDb.err.contains("absent.sqlite"));
    EXPECT_FALSE(QFile::exists(absent));   // no database is created

    const QString damaged = db.dir() + "/damaged.sqlite";
    {
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4096, 'x'));
    }
    CalcRun bad = Calc(damaged, {"--job", "Field 7"}, db.dir());
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_FALSE(bad.err.isEmpty());
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray(4096, 'x'));

    CalcRun usage = Calc(db.dbPath(), {}, db.dir());
    EXPECT_NE(usage.exitCode, 0);
}
