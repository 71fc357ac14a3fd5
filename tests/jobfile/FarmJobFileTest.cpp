// The farm's water in job files, in quenpm-calc's JSON and CSV and in field
// batches: the values read, refused, saved, exported and imported again, and
// the figures equal to those of the farm computation of the same inputs.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "BatchCommand.h"
#include "CalcFarm.h"
#include "CalcJob.h"
#include "FarmStore.h"
#include "FieldBatch.h"
#include "JobFile.h"
#include "JobFileCommand.h"
#include "JobFileFixture.h"

using namespace quen;
using namespace quen::test;

namespace {

class Quiet : public calc::CollectingMessages {};

// Three crops with areas, efficiencies and thresholds; the job's Ec, hours
// and ECw. Corn's threshold is that of FAO-29 Table 4 (1.7 dS/m).
const QByteArray kFarmJob = R"({
  "name": "Home farm",
  "location": "Buckeye road",
  "planner": "Pat",
  "station": "MARICOPA AZMET",
  "etMethod": "NEH",
  "conveyanceEfficiency": 0.85,
  "operatingHours": 20,
  "waterSalinity": 1.2,
  "crops": [
    {"crop": "Alfalfa hay", "irrigatedArea": 120, "applicationEfficiency": 0.7, "salinityThreshold": 2},
    {"crop": "Corn, grain", "plantingDate": "3/15", "harvestDate": "7/20", "irrigationType": "Trickle irrigation",
     "irrigatedArea": 80.5, "applicationEfficiency": 0.9, "salinityThreshold": 1.7},
    {"crop": "Grapes, wine", "irrigatedArea": 40, "applicationEfficiency": 0.75, "salinityThreshold": 0}
  ]
})";

const double kAreas[3] = {120, 80.5, 40};
const double kEa[3] = {0.7, 0.9, 0.75};
const double kEce[3] = {2, 1.7, 0};

QByteArray WithoutFarm()
{
    return R"({"name": "Home farm", "location": "L", "planner": "P", "station": "MARICOPA AZMET", "etMethod": "NEH",
               "crops": [{"crop": "Alfalfa hay"}, {"crop": "Corn, grain"}]})";
}

job::JobFileImport Import(const QByteArray& text, CropRunContext& ctx, JobState& state)
{
    job::JobFile f;
    const job::JobFileError e = job::ParseJobFile(text, f);
    EXPECT_FALSE(e.failed()) << e.text("farm.json").toStdString();
    CropCurveState curves;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    const job::JobFileImport r = job::ImportJobFile(f, false, ctx, state, curves, wk);
    if (wk.isOpen())
        wk.close();
    EXPECT_TRUE(r.saved()) << r.error.text("farm.json").toStdString();
    return r;
}

// The saved job computed as quenpm-calc --job NAME computes it.
QList<calc::CropResult> Computed(const QString& name)
{
    CropRunContext ctx;
    EXPECT_TRUE(calc::LoadJob(name, ctx));
    return calc::ComputeJob(ctx);
}

QJsonArray Arr(const MonthlyValues& v)
{
    QJsonArray a;
    for (int m = 1; m <= 12; ++m)
        a << v[m];
    return a;
}

void ExpectMonths(const QJsonValue& got, const MonthlyValues& want, const char* what)
{
    EXPECT_EQ(got.toArray(), Arr(want)) << what;
}

} // namespace

// The file's farm values go where the windows keep them; saved, exported and
// imported into another database they give the same saved farm rows, and
// the same text once more.
TEST(FarmJobFile, ExportThenImportKeepsTheFarmRows)
{
    QList<QVariantList> farmJobRows, farmCropRows;
    QByteArray exported;
    {
        ShippedDatabase a(QStringLiteral("a.sqlite"));
        QDir::setCurrent(a.dir());
        Quiet quiet;
        CropRunContext ctx;
        JobState state;
        Import(kFarmJob, ctx, state);
        EXPECT_EQ(state.Farm.conveyanceEff, 0.85);
        EXPECT_EQ(state.Farm.hoursPerDay, 20);
        EXPECT_EQ(state.Farm.ecw, 1.2);
        const FarmJobInput saved = job::SavedFarmJob("Home farm");
        EXPECT_EQ(saved.conveyanceEff, 0.85);
        EXPECT_EQ(saved.hoursPerDay, 20);
        EXPECT_EQ(saved.ecw, 1.2);
        const std::vector<job::FarmCropValues> crops =
            job::SavedFarmCrops("Home farm", {"Alfalfa hay", "Corn, grain", "Grapes, wine"}, {});
        ASSERT_EQ(crops.size(), 3u);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(crops[size_t(i)].areaAcres, kAreas[i]) << i;
            EXPECT_EQ(crops[size_t(i)].applicationEff, kEa[i]) << i;
            EXPECT_EQ(crops[size_t(i)].ecThreshold, kEce[i]) << i;
        }
        farmJobRows = Rows("FarmJob.db");
        farmCropRows = Rows("FarmCrop.db");
        ASSERT_EQ(farmJobRows.size(), 1);
        ASSERT_EQ(farmCropRows.size(), 3);
        ASSERT_TRUE(job::ExportJobFile("Home farm", exported));
        const QJsonObject o = QJsonDocument::fromJson(exported).object();
        EXPECT_EQ(o["conveyanceEfficiency"].toDouble(), 0.85);
        EXPECT_EQ(o["operatingHours"].toDouble(), 20);
        EXPECT_EQ(o["waterSalinity"].toDouble(), 1.2);
        EXPECT_EQ(o["crops"].toArray()[1].toObject()["irrigatedArea"].toDouble(), 80.5);
        EXPECT_EQ(o["crops"].toArray()[2].toObject()["salinityThreshold"].toDouble(), 0.0);
    }
    {
        ShippedDatabase b(QStringLiteral("b.sqlite"));
        QDir::setCurrent(b.dir());
        Quiet quiet;
        CropRunContext ctx;
        JobState state;
        Import(exported, ctx, state);
        EXPECT_EQ(Rows("FarmJob.db"), farmJobRows);
        EXPECT_EQ(Rows("FarmCrop.db"), farmCropRows);
        QByteArray again;
        ASSERT_TRUE(job::ExportJobFile("Home farm", again));
        EXPECT_EQ(again, exported);
    }
}

// A job without farm values exports the windows' values (no area, the job's
// defaults) and imports again as a job without farm figures.
TEST(FarmJobFile, AJobWithoutAreasRoundTripsWithoutFigures)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    CropRunContext ctx;
    JobState state;
    Import(WithoutFarm(), ctx, state);
    QByteArray exported;
    ASSERT_TRUE(job::ExportJobFile("Home farm", exported));
    const QJsonObject o = QJsonDocument::fromJson(exported).object();
    const FarmJobInput defaults = job::DefaultFarmJob();
    EXPECT_EQ(o["conveyanceEfficiency"].toDouble(), defaults.conveyanceEff);
    EXPECT_EQ(o["operatingHours"].toDouble(), defaults.hoursPerDay);
    EXPECT_EQ(o["crops"].toArray()[0].toObject()["irrigatedArea"].toDouble(-1), 0.0);
    job::JobFile f;
    EXPECT_FALSE(job::ParseJobFile(exported, f).failed());
}

// Farm values out of the windows' ranges are refused naming the path and the
// field as the windows caption it.
TEST(FarmJobFile, RefusesBadFarmValuesNamingTheField)
{
    const QString base = QStringLiteral(R"({"name": "A", "location": "L", "planner": "P", "station": "S"%1,
                                             "crops": [{"crop": "C"%2}]})");
    struct Case {
        QString job, crop;
        const char* path;
        const char* field;
    };
    const QList<Case> cases = {
        {"", R"(, "irrigatedArea": -1)", "crops[0].irrigatedArea", "Irrigated area"},
        {"", R"(, "applicationEfficiency": 0)", "crops[0].applicationEfficiency", "Application efficiency (Ea)"},
        {"", R"(, "applicationEfficiency": 1.2)", "crops[0].applicationEfficiency", "Application efficiency (Ea)"},
        {"", R"(, "salinityThreshold": -0.5)", "crops[0].salinityThreshold", "Salinity threshold (ECe)"},
        {"", R"(, "irrigatedArea": "40")", "crops[0].irrigatedArea", "Irrigated area"},
        {R"(, "operatingHours": 0)", "", "operatingHours", "Operating hours per day"},
        {R"(, "operatingHours": 25)", "", "operatingHours", "Operating hours per day"},
        {R"(, "waterSalinity": -1)", "", "waterSalinity", "Irrigation water salinity (ECw)"},
        {R"(, "conveyanceEfficiency": 0)", "", "conveyanceEfficiency", "Conveyance efficiency (Ec)"},
        {R"(, "conveyanceEfficiency": 1.01)", "", "conveyanceEfficiency", "Conveyance efficiency (Ec)"},
    };
    for (const Case& c : cases) {
        const QByteArray text = base.arg(c.job, c.crop).toUtf8();
        SCOPED_TRACE(text.toStdString());
        job::JobFile f;
        const job::JobFileError e = job::ParseJobFile(text, f);
        ASSERT_TRUE(e.failed());
        EXPECT_EQ(e.path, QString::fromUtf8(c.path));
        EXPECT_EQ(e.field, QString::fromUtf8(c.field));
        EXPECT_TRUE(e.text("farm.json").contains(QString::fromUtf8(c.field))) << e.text("farm.json").toStdString();
    }
    // The ends of the ranges are accepted.
    job::JobFile f;
    const job::JobFileError e = job::ParseJobFile(
        base.arg(R"(, "operatingHours": 24, "conveyanceEfficiency": 1, "waterSalinity": 0)",
                 R"(, "irrigatedArea": 0, "applicationEfficiency": 1, "salinityThreshold": 0)")
            .toUtf8(),
        f);
    EXPECT_FALSE(e.failed()) << e.text("farm.json").toStdString();
    EXPECT_EQ(f.operatingHours.value_or(0), 24);
    EXPECT_EQ(f.crops[0].applicationEff.value_or(0), 1);
}

// A crop with an area whose efficiency is neither given nor in the local
// defaults cannot have a gross depth: refused, nothing set up.
TEST(FarmJobFile, AnAreaWithoutAnEfficiencyIsRefused)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    job::SetDefaultApplicationEff(QStringLiteral("Trickle irrigation"), 0.0);
    job::JobFile f;
    ASSERT_FALSE(job::ParseJobFile(R"({"name": "A", "location": "L", "planner": "P", "station": "MARICOPA AZMET",
        "etMethod": "NEH", "crops": [{"crop": "Alfalfa hay"},
        {"crop": "Corn, grain", "irrigationType": "Trickle irrigation", "irrigatedArea": 10}]})",
                                   f)
                     .failed());
    CropRunContext ctx;
    JobState state;
    CropCurveState curves;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    const job::JobFileError e = job::SetUpJobFile(f, ctx, state, curves, wk);
    if (wk.isOpen())
        wk.close();
    ASSERT_TRUE(e.failed());
    EXPECT_EQ(e.path, "crops[1].applicationEfficiency");
    EXPECT_EQ(e.field, "Application efficiency (Ea)");
    EXPECT_TRUE(Rows("QuenWkCrop.DB").isEmpty());
    EXPECT_TRUE(Rows("FarmWkCrop.db").isEmpty());
}

// The JSON's farm numbers are those of the farm computation of the same
// inputs: the saved job (--job NAME --json) and the job file as set up
// (compute FILE --json) alike.
TEST(FarmJobFile, JsonCarriesTheFarmComputation)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    {
        CropRunContext ctx;
        JobState state;
        Import(kFarmJob, ctx, state);
    }
    const QList<calc::CropResult> crops = Computed("Home farm");
    ASSERT_EQ(crops.size(), 3);
    FarmJobInput job{0.85, 20, 1.2};
    std::vector<FarmCropInput> inputs;
    for (int i = 0; i < 3; ++i)
        inputs.push_back(job::FarmInputOf(crops[i].ctx, {kAreas[i], kEa[i], kEce[i]}));
    ASSERT_TRUE(FarmInputProblems(job, inputs).isEmpty());
    const FarmWater want = ComputeFarmWater(job, inputs);
    ASSERT_TRUE(want.available);
    ASSERT_GT(want.peakMonth, 0);

    const calc::CalcFarm farm = calc::SavedJobFarm("Home farm", crops);
    const QJsonObject o = QJsonDocument::fromJson(calc::JobJson("Home farm", crops, farm).toUtf8()).object();
    ASSERT_TRUE(o.contains("farmWater"));
    const QJsonObject w = o["farmWater"].toObject();
    EXPECT_TRUE(w["available"].toBool());
    EXPECT_TRUE(w["notes"].toArray().isEmpty());
    EXPECT_EQ(w["conveyanceEfficiency"].toDouble(), 0.85);
    EXPECT_EQ(w["operatingHours"].toDouble(), 20);
    EXPECT_EQ(w["waterSalinity"].toDouble(), 1.2);
    const QJsonArray wc = w["crops"].toArray();
    ASSERT_EQ(wc.size(), 3);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QJsonObject c = wc[i].toObject();
        const FarmCropWater& cw = want.crops[size_t(i)];
        EXPECT_EQ(c["crop"].toString(), crops[i].ctx.CropName);
        EXPECT_TRUE(c["available"].toBool());
        EXPECT_EQ(c["areaAcres"].toDouble(), kAreas[i]);
        EXPECT_EQ(c["areaHa"].toDouble(), cw.areaHa);
        EXPECT_EQ(c["applicationEfficiency"].toDouble(), kEa[i]);
        EXPECT_EQ(c["leachingRequirement"].toDouble(), cw.leachingReq);
        ExpectMonths(c["grossDepth50In"], cw.grossDepth50In, "grossDepth50In");
        ExpectMonths(c["grossDepth80In"], cw.grossDepth80In, "grossDepth80In");
        ExpectMonths(c["grossDepth50Mm"], cw.grossDepth50Mm, "grossDepth50Mm");
        ExpectMonths(c["grossDepth80Mm"], cw.grossDepth80Mm, "grossDepth80Mm");
        ExpectMonths(c["volume50AcFt"], cw.volume50AcFt, "volume50AcFt");
        ExpectMonths(c["volume80AcFt"], cw.volume80AcFt, "volume80AcFt");
        ExpectMonths(c["volume50M3"], cw.volume50M3, "volume50M3");
        ExpectMonths(c["volume80M3"], cw.volume80M3, "volume80M3");
        EXPECT_EQ(c["seasonVolume80AcFt"].toDouble(), cw.seasonVolume80AcFt);
        EXPECT_EQ(c["seasonGross50In"].toDouble(), cw.seasonGross50In);
        // The shipped table's source where the file's Ea is the type's own, "entered" otherwise.
        if (job::DefaultApplicationEff(crops[i].ctx.IrrigationType) == kEa[i])
            EXPECT_TRUE(c["applicationEfficiencySource"].toString().startsWith("FAO Training Manual 3"));
        else
            EXPECT_EQ(c["applicationEfficiencySource"].toString(), "entered");
    }
    // Leaching where both ECw and the threshold are given (FAO-29 eq. 7), none without a threshold.
    EXPECT_GT(wc[0].toObject()["leachingRequirement"].toDouble(), 0.0);
    EXPECT_EQ(wc[2].toObject()["leachingRequirement"].toDouble(), 0.0);
    ExpectMonths(w["field50AcFt"], want.field50AcFt, "field50AcFt");
    ExpectMonths(w["diversion50AcFt"], want.diversion50AcFt, "diversion50AcFt");
    ExpectMonths(w["diversion80AcFt"], want.diversion80AcFt, "diversion80AcFt");
    ExpectMonths(w["diversion50M3"], want.diversion50M3, "diversion50M3");
    ExpectMonths(w["diversion80M3"], want.diversion80M3, "diversion80M3");
    EXPECT_EQ(w["seasonDiversion50AcFt"].toDouble(), want.seasonDiversion50AcFt);
    EXPECT_EQ(w["seasonDiversion80M3"].toDouble(), want.seasonDiversion80M3);
    EXPECT_EQ(w["areaAcres"].toDouble(), want.areaAcres);
    EXPECT_EQ(w["peakMonth"].toInt(), want.peakMonth);
    EXPECT_EQ(w["capacityGpm"].toDouble(), want.capacityGpm);
    EXPECT_EQ(w["capacityGpmPerAcre"].toDouble(), want.capacityGpmPerAcre);
    EXPECT_EQ(w["capacityLps"].toDouble(), want.capacityLps);
    EXPECT_EQ(w["capacityLpsPerHa"].toDouble(), want.capacityLpsPerHa);
    EXPECT_TRUE(w["sources"].toObject()["leachingRequirement"].toString().contains("FAO-29"));
    // The field volumes in cubic metres are the crops' own summed.
    double m3 = 0.0;
    for (const FarmCropWater& cw : want.crops)
        m3 += cw.volume50M3[want.peakMonth];
    EXPECT_DOUBLE_EQ(w["field50M3"].toArray()[want.peakMonth - 1].toDouble(), m3);

    // The job file as set up, without saving: the same farm.
    CropRunContext ctx;
    JobState state;
    CropCurveState curves;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    job::JobFile f;
    ASSERT_FALSE(job::ParseJobFile(kFarmJob, f).failed());
    QList<calc::CropResult> set;
    ASSERT_FALSE(job::SetUpJobFile(f, ctx, state, curves, wk, nullptr, [&] { set.append({ctx, {}}); }).failed());
    if (wk.isOpen())
        wk.close();
    const calc::CalcFarm working = calc::WorkingJobFarm(state.Farm, set);
    EXPECT_EQ(calc::FarmWaterJson(working), calc::FarmWaterJson(farm));
}

// A job whose crops have no area computes as before and says the farm
// figures are not available; a refused farm says why, naming the field.
TEST(FarmJobFile, WithoutAreasTheFarmIsNotAvailable)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    {
        CropRunContext ctx;
        JobState state;
        Import(WithoutFarm(), ctx, state);
    }
    const QList<calc::CropResult> crops = Computed("Home farm");
    ASSERT_EQ(crops.size(), 2);
    const calc::CalcFarm farm = calc::SavedJobFarm("Home farm", crops);
    const QString json = calc::JobJson("Home farm", crops, farm);
    const QJsonObject o = QJsonDocument::fromJson(json.toUtf8()).object();
    const QJsonObject w = o["farmWater"].toObject();
    EXPECT_FALSE(w["available"].toBool(true));
    ASSERT_EQ(w["notes"].toArray().size(), 1);
    EXPECT_EQ(w["notes"].toArray()[0].toString(), calc::kFarmNotAvailable);
    EXPECT_EQ(w["capacityGpm"].toDouble(-1), 0.0);
    // The crops' results are those of the JSON without the farm.
    EXPECT_EQ(o["crops"], QJsonDocument::fromJson(calc::JobJson("Home farm", crops).toUtf8()).object()["crops"]);

    // Bad job values (a database written by other means): no figures, the field named.
    const calc::CalcFarm bad = calc::FarmOfCrops({1.0, 0.0, 0.0}, {{10, 0.8, 0}, {0, 0.8, 0}}, crops);
    EXPECT_FALSE(bad.water.available);
    ASSERT_FALSE(bad.notes.isEmpty());
    EXPECT_TRUE(bad.notes[0].contains("Operating hours per day")) << bad.notes[0].toStdString();
    // The CSV leaves the farm's cells empty and keeps one row per crop and month.
    const QString csv = calc::JobCsv("Home farm", crops, false, farm);
    const QStringList lines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 25);
    EXPECT_TRUE(lines[0].endsWith("system capacity (gpm),system capacity (gpm/acre)")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].endsWith(",,,,,,,,,,,,,")) << lines[1].toStdString();
}

// quenpm-calc compute FILE: the JSON as --job NAME --json gives it once the
// file is imported; the CSV's farm columns in customary and metric units.
TEST(FarmJobFile, ComputeCommandCarriesTheFarm)
{
    QTemporaryDir dir;
    const QString db = dir.filePath("a.sqlite");
    const QString file = dir.filePath("farm.json");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(kFarmJob);
    }
    auto calc = [&](const QStringList& args) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENPM_DB", db);
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QUENPM_CALC), args);
        p.waitForStarted();
        p.closeWriteChannel();
        p.waitForFinished(120000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput();
    };
    calc({"import", file});
    const QByteArray computed = calc({"compute", file, "--json"});
    EXPECT_EQ(computed, calc({"--job", "Home farm", "--json"}));
    const QJsonObject w = QJsonDocument::fromJson(computed).object()["farmWater"].toObject();
    EXPECT_TRUE(w["available"].toBool());
    const double gpm = w["capacityGpm"].toDouble();
    const double lps = w["capacityLps"].toDouble();
    EXPECT_GT(gpm, 0.0);

    const QList<QByteArray> csv = calc({"compute", file, "--csv"}).split('\n');
    ASSERT_GE(csv.size(), 37);
    const QList<QByteArray> header = csv[0].trimmed().split(',');
    const QList<QByteArray> row = csv[1].trimmed().split(',');
    ASSERT_EQ(row.size(), header.size());
    EXPECT_EQ(header.indexOf("irrigated area (ac)"), 15);
    EXPECT_EQ(row[15].toDouble(), 120.0);
    EXPECT_EQ(row[header.indexOf("system capacity (gpm)")].toDouble(), gpm);
    const QList<QByteArray> metric = calc({"compute", file, "--csv", "--metric"}).split('\n');
    const QList<QByteArray> mh = metric[0].trimmed().split(',');
    const QList<QByteArray> mr = metric[1].trimmed().split(',');
    EXPECT_EQ(mr[mh.indexOf("system capacity (l/s)")].toDouble(), lps);
    EXPECT_EQ(mr[mh.indexOf("irrigated area (ha)")].toDouble(), 120.0 * kAcresToHectares);
}

// A field batch takes the six farm columns as a job file takes the fields:
// the field's farm figures are those of its one crop; bad values are refused
// naming the line and the column.
TEST(FarmJobFile, FieldBatchTakesTheFarmColumns)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    const QByteArray text =
        "id,station,etMethod,crop,irrigatedArea,applicationEfficiency,salinityThreshold,conveyanceEfficiency,"
        "operatingHours,waterSalinity\n"
        "f1,MARICOPA AZMET,NEH,Alfalfa hay,120,0.7,2,0.85,20,1.2\n"
        "f2,MARICOPA AZMET,NEH,Alfalfa hay,,,,,,\n"
        "f3,MARICOPA AZMET,NEH,Alfalfa hay,120,1.2,,,,\n"
        "f4,MARICOPA AZMET,NEH,Alfalfa hay,120,0.7,,,25,\n";
    job::FieldTable table;
    ASSERT_FALSE(job::ReadFieldTable(text, table).failed());
    job::FieldBatch batch;
    const QList<job::FieldOutcome> o = batch.compute(table, 1);
    ASSERT_EQ(o.size(), 4);
    ASSERT_TRUE(o[0].error.isEmpty()) << o[0].error.toStdString();
    EXPECT_TRUE(o[1].error.isEmpty()) << o[1].error.toStdString();
    EXPECT_TRUE(o[2].error.startsWith("line 4, column 6 (applicationEfficiency")) << o[2].error.toStdString();
    EXPECT_TRUE(o[3].error.startsWith("line 5, column 9 (operatingHours")) << o[3].error.toStdString();

    // The same field as a job file, set up as the windows make it.
    job::JobFile f;
    ASSERT_FALSE(job::ParseJobFile(R"({"name": "batch", "station": "MARICOPA AZMET", "etMethod": "NEH",
        "conveyanceEfficiency": 0.85, "operatingHours": 20, "waterSalinity": 1.2,
        "crops": [{"crop": "Alfalfa hay", "irrigatedArea": 120, "applicationEfficiency": 0.7, "salinityThreshold": 2}]})",
                                   f)
                     .failed());
    CropRunContext ctx;
    JobState state;
    CropCurveState curves;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    QList<calc::CropResult> set;
    ASSERT_FALSE(job::SetUpJobFile(f, ctx, state, curves, wk, nullptr, [&] { set.append({ctx, {}}); }).failed());
    if (wk.isOpen())
        wk.close();
    const FarmWater want = calc::WorkingJobFarm(state.Farm, set).water;
    ASSERT_TRUE(want.available);
    const job::FieldFarm& got = o[0].farm;
    EXPECT_TRUE(got.given && got.available);
    EXPECT_EQ(got.areaAcres, 120.0);
    EXPECT_EQ(got.leachingReq, want.crops[0].leachingReq);
    EXPECT_EQ(got.seasonGross50In, want.crops[0].seasonGross50In);
    EXPECT_EQ(got.seasonDiversion80AcFt, want.seasonDiversion80AcFt);
    EXPECT_EQ(got.seasonDiversion50M3, want.seasonDiversion50M3);
    EXPECT_EQ(got.capacityGpm, want.capacityGpm);
    EXPECT_EQ(got.capacityLpsPerHa, want.capacityLpsPerHa);
    EXPECT_FALSE(o[1].farm.given);

    // The batch CSV: the farm's cells filled for f1, empty for f2.
    const QStringList lines = calc::BatchCsv(o, false).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    const QStringList header = lines[0].split(QLatin1Char(','));
    const int gpm = int(header.indexOf("system capacity (gpm)"));
    ASSERT_GT(gpm, 0);
    EXPECT_EQ(lines[1].split(QLatin1Char(','))[gpm].toDouble(), want.capacityGpm);
    EXPECT_TRUE(lines[2].split(QLatin1Char(','))[gpm].isEmpty());
}

// The schema installed with the programs names exactly the fields the reader
// knows, for the job and for a crop (the farm values among them).
TEST(FarmJobFile, TheSchemaNamesTheFieldsTheReaderKnows)
{
    QFile f(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/quenpm-job.schema.json"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QJsonObject schema = QJsonDocument::fromJson(f.readAll()).object();
    auto keys = [](const QJsonObject& o) {
        QStringList k = o.keys();
        k.sort();
        return k;
    };
    // The reader lists the fields it knows when it refuses an unknown one.
    auto known = [](const QByteArray& text) {
        job::JobFile file;
        const job::JobFileError e = job::ParseJobFile(text, file);
        const QString marker = QStringLiteral("(the fields here are ");
        const qsizetype at = e.message.indexOf(marker);
        if (at < 0)
            return QStringList{e.message};
        QStringList k = e.message.mid(at + marker.size()).chopped(1).split(QStringLiteral(", "));
        k.sort();
        return k;
    };
    EXPECT_EQ(known(R"({"nope": 1})"), keys(schema["properties"].toObject()));
    EXPECT_EQ(known(R"({"name": "A", "station": "S", "crops": [{"crop": "C", "nope": 1}]})"),
              keys(schema["$defs"].toObject()["crop"].toObject()["properties"].toObject()));
    EXPECT_TRUE(keys(schema["properties"].toObject()).contains("operatingHours"));
}
