// quenpm-calc's job file commands as a planner runs them: compute, save,
// import and export, on fresh databases of the shipped tables.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "CalcJob.h"
#include "JobFile.h"
#include "JobFileFixture.h"

using namespace quen;
using namespace quen::test;

namespace {

struct CalcRun {
    int exitCode = -1;
    QByteArray out, err;
};

CalcRun Calc(const QString& dbPath, const QStringList& args, const QString& cwd, const QByteArray& input = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QUENPM_DB", dbPath);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(cwd);
    p.start(QStringLiteral(QUENPM_CALC), args);
    p.waitForStarted();
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(120000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

void Write(const QString& path, const QByteArray& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

const QByteArray kJob = R"({
  "name": "North 40",
  "location": "Buckeye road",
  "planner": "Pat",
  "station": "MARICOPA AZMET",
  "crops": [
    {"crop": "Alfalfa hay"},
    {"crop": "Corn, grain", "plantingDate": "3/15", "harvestDate": "7/20", "netIrrigationDepth": 3.5}
  ]
})";

} // namespace

TEST(JobFileCommands, ComputeSaveImportAndExport)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("a.sqlite");
    const QString jobFile = dir.filePath("north.json");
    Write(jobFile, kJob);

    // No database yet: compute only reads one; import creates it.
    CalcRun r = Calc(db, {"compute", jobFile}, dir.path());
    EXPECT_EQ(r.exitCode, 2) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(db));

    r = Calc(db, {"import", jobFile}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("saved job \"North 40\" with 2 crop(s)")) << r.out.toStdString();

    // compute prints as --job --json does.
    CalcRun computed = Calc(db, {"compute", jobFile}, dir.path());
    ASSERT_EQ(computed.exitCode, 0) << computed.err.toStdString();
    CalcRun saved = Calc(db, {"--job", "North 40", "--json"}, dir.path());
    ASSERT_EQ(saved.exitCode, 0) << saved.err.toStdString();
    EXPECT_EQ(computed.out, saved.out);
    const QJsonObject o = QJsonDocument::fromJson(computed.out).object();
    ASSERT_EQ(o["crops"].toArray().size(), 2);
    EXPECT_GT(o["crops"].toArray()[1].toObject()["TotalCropET"].toDouble(), 10.0);
    // From standard input, the same.
    CalcRun piped = Calc(db, {"compute", "-"}, dir.path(), kJob);
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.out, computed.out);

    // The name is saved: --save is refused, --replace rewrites the job.
    r = Calc(db, {"compute", jobFile, "--save"}, dir.path());
    EXPECT_EQ(r.exitCode, 8);
    EXPECT_TRUE(r.err.contains("North 40")) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    QByteArray changed = kJob;
    changed.replace("3.5", "2.5");
    Write(jobFile, changed);
    r = Calc(db, {"compute", jobFile, "--save", "--replace", "--csv"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    CalcRun list = Calc(db, {"--list-jobs"}, dir.path());
    EXPECT_EQ(list.out, "North 40\n");
    CalcRun resaved = Calc(db, {"--job", "North 40", "--json"}, dir.path());
    EXPECT_NE(resaved.out, saved.out);

    // CSV: a header with units, one row per crop and month.
    const QList<QByteArray> lines = r.out.split('\n');
    ASSERT_GE(lines.size(), 25);
    EXPECT_TRUE(lines[0].startsWith("job,crop,month,in season,reference ET (in/day),Kc,crop ET (in/day),crop ET (in),"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("North 40,Alfalfa hay,1,")) << lines[1].toStdString();
    EXPECT_TRUE(lines[24].startsWith("North 40,\"Corn, grain\",12,")) << lines[24].toStdString();
    EXPECT_EQ(r.out.count('\n'), 25);
    CalcRun metric = Calc(db, {"compute", jobFile, "--csv", "--metric"}, dir.path());
    EXPECT_TRUE(metric.out.startsWith("job,crop,month,in season,reference ET (mm/day),Kc,crop ET (mm/day),crop ET (cm),"));
    EXPECT_FALSE(metric.out.contains("nan"));

    // Export, then import into a fresh database: the same numbers.
    const QString exported = dir.filePath("exported.json");
    r = Calc(db, {"--export-job", "North 40", exported}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    r = Calc(db, {"--export-job", "Nope", exported}, dir.path());
    EXPECT_EQ(r.exitCode, 4);
    r = Calc(db, {"--export-job", "North 40", db}, dir.path());
    EXPECT_EQ(r.exitCode, 6);
    const QString fresh = dir.filePath("b.sqlite");
    r = Calc(fresh, {"import", exported}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    CalcRun there = Calc(fresh, {"--job", "North 40", "--json"}, dir.path());
    EXPECT_EQ(there.out, resaved.out);
    r = Calc(fresh, {"import", exported}, dir.path());
    EXPECT_EQ(r.exitCode, 8);
    r = Calc(fresh, {"import", exported, "--replace"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(Calc(fresh, {"--list-jobs"}, dir.path()).out, "North 40\n");
}

TEST(JobFileCommands, BadFilesAreRefusedAndNothingIsSaved)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("a.sqlite");
    const QString good = dir.filePath("good.json");
    Write(good, kJob);
    ASSERT_EQ(Calc(db, {"import", good}, dir.path()).exitCode, 0);
    const QByteArray before = Calc(db, {"--job", "North 40", "--json"}, dir.path()).out;

    struct Case {
        QByteArray text;
        const char* words;
    };
    QByteArray badDate = kJob;
    badDate.replace("7/20", "6/31");
    QByteArray unknownCrop = kJob;
    unknownCrop.replace("Alfalfa hay", "Alfalfa");
    QByteArray badRange = kJob;
    badRange.replace("3.5", "12.5");
    QByteArray unknownStation = kJob;
    unknownStation.replace("MARICOPA AZMET", "MARICOPA");
    const QList<Case> cases = {
        {"{\n  \"name\": \"North 40\",\n  oops\n}", "bad.json: line 3, column 3: malformed JSON"},
        {badDate, "bad.json: crops[1].harvestDate (\"Harvest or end of growth date\"): \"6/31\" does not exist"},
        {unknownCrop, "bad.json: crops[0].crop (\"Crop Name\"): no crop record is named \"Alfalfa\""},
        {badRange, "bad.json: crops[1].netIrrigationDepth (\"Net irrigation depth applied each irrigation\"): 12.5 is outside"},
        {unknownStation, "bad.json: station (\"Climate Station Name\"): no station is named \"MARICOPA\""},
    };
    const QString bad = dir.filePath("bad.json");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        Write(bad, c.text);
        for (const QStringList& args : {QStringList{"compute", "bad.json", "--save", "--replace"},
                                        QStringList{"import", "bad.json", "--replace"}}) {
            CalcRun r = Calc(db, args, dir.path());
            EXPECT_EQ(r.exitCode, 7);
            EXPECT_TRUE(r.out.isEmpty());
            EXPECT_TRUE(r.err.contains(c.words)) << r.err.toStdString();
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
    CalcRun missing = Calc(db, {"compute", "absent.json"}, dir.path());
    EXPECT_EQ(missing.exitCode, 7);
    EXPECT_TRUE(missing.err.contains("absent.json")) << missing.err.toStdString();
    EXPECT_EQ(Calc(db, {"--job", "North 40", "--json"}, dir.path()).out, before);
    EXPECT_EQ(Calc(db, {"--list-jobs"}, dir.path()).out, "North 40\n");

    // Usage errors.
    EXPECT_EQ(Calc(db, {"compute"}, dir.path()).exitCode, 1);
    EXPECT_EQ(Calc(db, {"compute", "good.json", "--metric"}, dir.path()).exitCode, 1);
    EXPECT_EQ(Calc(db, {"compute", "good.json", "--replace"}, dir.path()).exitCode, 1);
    EXPECT_EQ(Calc(db, {"--export-job", "North 40"}, dir.path()).exitCode, 1);
}

// What the windows would show while the job is made goes to standard error.
TEST(JobFileCommands, TheStationChoiceIsToldOnStandardError)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("a.sqlite");
    Write(dir.filePath("north.json"), kJob);
    ASSERT_EQ(Calc(db, {"import", "north.json"}, dir.path()).exitCode, 0);
    QByteArray dry = kJob;
    dry.replace("MARICOPA AZMET", "KETCHUM RS");
    Write(dir.filePath("dry.json"), dry);
    CalcRun r = Calc(db, {"compute", "dry.json"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("note: There is insufficient climatic data for Penman-Monteith method.")) << r.err.toStdString();
    EXPECT_EQ(QJsonDocument::fromJson(r.out).object()["crops"].toArray()[0].toObject()["ETMethodIndex"].toInt(), 1);

    QByteArray near = kJob;
    near.replace("\"MARICOPA AZMET\"", "{\"latitude\": 43.52, \"longitude\": -114.31}");
    near.replace("\"planner\": \"Pat\",", "\"planner\": \"Pat\", \"elevation\": 5600,");
    Write(dir.filePath("near.json"), near);
    r = Calc(db, {"compute", "near.json", "--csv"}, dir.path());
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("km (")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("ft below the field")) << r.err.toStdString();
}

TEST(JobFileCommands, HelpAndVersion)
{
    QTemporaryDir dir;
    CalcRun help = Calc(dir.filePath("none.sqlite"), {"--help"}, dir.path());
    EXPECT_EQ(help.exitCode, 0);
    for (const char* words : {"compute FILE", "import FILE", "--export-job NAME FILE", "--version", "7 the job file",
                              "8 a saved job has the name", "quenpm-job.schema.json"})
        EXPECT_TRUE(help.out.contains(words)) << words;
    CalcRun version = Calc(dir.filePath("none.sqlite"), {"--version"}, dir.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("quenpm-calc 1.")) << version.out.toStdString();
}
