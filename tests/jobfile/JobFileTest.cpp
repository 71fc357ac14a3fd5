// Job files: read, seeded and computed as the windows make a job; a saved job
// exported and imported again; the refusals of bad input.
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>

#include "CalcJob.h"
#include "JobFile.h"
#include "EtMethod.h"
#include "JobFileFixture.h"

using namespace quen;
using namespace quen::test;

namespace {

class Quiet : public calc::CollectingMessages {};

// Every monthly result and total of two computed crops, exactly.
void ExpectSameCrop(const CropRunContext& a, const CropRunContext& b)
{
    SCOPED_TRACE(a.CropName.toStdString());
    EXPECT_EQ(a.CropName, b.CropName);
    EXPECT_EQ(a.CurveIndex, b.CurveIndex);
    EXPECT_EQ(a.ETMethodIndex, b.ETMethodIndex);
    EXPECT_EQ(a.HayFlag, b.HayFlag);
    EXPECT_EQ(a.SeasonMonthFlags, b.SeasonMonthFlags);
    EXPECT_EQ(a.PctChanceRatio50, b.PctChanceRatio50);
    EXPECT_EQ(a.PctChanceRatio80, b.PctChanceRatio80);
    using Monthly = MonthlyValues CropRunContext::*;
    const Monthly monthly[] = {&CropRunContext::DailyRefET, &CropRunContext::ShoulderRefET, &CropRunContext::MonthlyKc,
                               &CropRunContext::DailyCropET, &CropRunContext::MonthlyCropET, &CropRunContext::EffPrecip50,
                               &CropRunContext::EffPrecip80, &CropRunContext::CarryOverUsed50,
                               &CropRunContext::CarryOverUsed80, &CropRunContext::NetIrrReq50,
                               &CropRunContext::NetIrrReq80, &CropRunContext::PeakDailyET};
    for (const Monthly arr : monthly)
        EXPECT_EQ(a.*arr, b.*arr);
    EXPECT_EQ(a.TotalCropET, b.TotalCropET);
    EXPECT_EQ(a.TotalEffPrecip50, b.TotalEffPrecip50);
    EXPECT_EQ(a.TotalEffPrecip80, b.TotalEffPrecip80);
    EXPECT_EQ(a.TotalNetIrrReq50, b.TotalNetIrrReq50);
    EXPECT_EQ(a.TotalNetIrrReq80, b.TotalNetIrrReq80);
}

// The saved job and crop rows are these, field by field (but the numbers
// the tables assign).
void ExpectSavedRows(const QList<QVariantList>& jobRows, const QList<QVariantList>& cropRows)
{
    const QList<QVariantList> jobsB = Rows("QuenJob.db");
    const QList<QVariantList> cropsB = Rows("QuenJobCrop.DB");
    ASSERT_EQ(jobsB.size(), jobRows.size());
    ASSERT_EQ(cropsB.size(), cropRows.size());
    const TableDef* jobDef = findTableDef("QuenJob.db");
    const TableDef* cropDef = findTableDef("QuenJobCrop.DB");
    for (int r = 0; r < jobRows.size(); ++r)
        for (int i = 0; i < jobDef->fields.size(); ++i)
            if (jobDef->fields[i].type != FieldType::AutoInc)
                EXPECT_EQ(jobsB[r][i], jobRows[r][i]) << jobDef->fields[i].name.toStdString();
    for (int r = 0; r < cropRows.size(); ++r)
        for (int i = 0; i < cropDef->fields.size(); ++i)
            if (cropDef->fields[i].type != FieldType::AutoInc)
                EXPECT_EQ(cropsB[r][i], cropRows[r][i]) << r << " " << cropDef->fields[i].name.toStdString();
}

job::JobFile Parsed(const QByteArray& text)
{
    job::JobFile f;
    const job::JobFileError e = job::ParseJobFile(text, f);
    EXPECT_FALSE(e.failed()) << e.text("job.json").toStdString();
    return f;
}

// Sets up the job of the file; the crops' computed contexts in order.
QList<CropRunContext> MakeFromFile(const QByteArray& text, CropRunContext& ctx, job::JobFileError* error = nullptr,
                            job::JobFileStation* station = nullptr, JobState* state = nullptr)
{
    JobState own;
    JobState& st = state ? *state : own;
    QList<CropRunContext> computed;
    job::JobFile f;
    job::JobFileError e = job::ParseJobFile(text, f);
    if (!e.failed()) {
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        e = job::SetUpJobFile(f, ctx, st, curves, wk, station, [&] { computed << ctx; });
        if (wk.isOpen())
            wk.close();
    }
    if (error)
        *error = e;
    else
        EXPECT_FALSE(e.failed()) << e.text("job.json").toStdString();
    return computed;
}

const QList<QPair<QString, TypedInputs>> kCropsByMethod[4] = {
    {},
    {{"Alfalfa hay", {}}, {"Corn, grain", {}}, {"Potatoes", {}}},
    {{"Alfalfa hay", {}}, {"Corn, grain", {}}, {"Grapes, wine", {}}},
    {{"Alfalfa hay", {}}, {"Corn, grain", {}}, {"Tomatoes", {}}},
};

QByteArray MinimalFile(int method, const QString& station)
{
    QString crops;
    for (const auto& c : kCropsByMethod[method])
        crops += (crops.isEmpty() ? "" : ",") + QStringLiteral("{\"crop\": \"%1\"}").arg(c.first);
    return QStringLiteral("{\"name\": \"Field 7\", \"location\": \"North field\", \"planner\": \"Pat\", "
                          "\"date\": \"12/09/26\", \"landUser\": \"Valley Farms\", \"id\": \"F-7\", "
                          "\"jobClass\": \"design\", \"station\": \"%1\", \"etMethod\": \"%2\", \"crops\": [%3]}")
        .arg(station, job::JobFileMethodName(method), crops)
        .toUtf8();
}

} // namespace

// What a job file leaves out is seeded exactly as "Add New Crop" seeds it:
// the working rows and every result are the windows' own, for each method.
TEST(JobFile, SeedsAndComputesAsTheWindowsDo)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    for (int method = 1; method <= 3; ++method) {
        SCOPED_TRACE(method);
        CropRunContext windows;
        JobState windowsState;
        CropCurveState curves;
        MakeJobAsTheWindowsDo(windows, windowsState, curves, "Field 7", kWindStation, method, kCropsByMethod[method]);
        const QList<QVariantList> windowsRows = Rows("QuenWkCrop.DB");
        // The windows' crops computed once more from their rows, as a fetch does.
        ASSERT_EQ(windowsRows.size(), 3);

        CropRunContext file;
        JobState fileState;
        const QList<CropRunContext> fileCrops =
            MakeFromFile(MinimalFile(method, kWindStation), file, nullptr, nullptr, &fileState);
        ASSERT_EQ(fileCrops.size(), 3);
        EXPECT_EQ(Rows("QuenWkCrop.DB"), windowsRows);
        EXPECT_EQ(file.WeatherStationName, windows.WeatherStationName);
        EXPECT_EQ(file.EffPcpFact50, windows.EffPcpFact50);
        EXPECT_EQ(file.EffPcpFact80, windows.EffPcpFact80);
        EXPECT_EQ(file.Elevation, windows.Elevation);
        EXPECT_EQ(fileState.CropCounter, windowsState.CropCounter);
        EXPECT_EQ(file.ETMethodIndex, method);

        // The same crops computed from the windows' job by a save and fetch.
        windowsState.JobSaveState = 1;
        job::DeleteJobsNamed("Field 7");
        job::SaveJob(windows, windowsState);
        CropRunContext fetched;
        JobState fetchedState;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        QList<CropRunContext> fetchedCrops;
        ASSERT_TRUE(job::LoadJob("Field 7", fetched, fetchedState));
        job::FetchCrops(fetched, fetchedState, curves, wk, [&] { fetchedCrops << fetched; });
        wk.close();
        ASSERT_EQ(fetchedCrops.size(), 3);
        for (int i = 0; i < 3; ++i)
            ExpectSameCrop(fileCrops[i], fetchedCrops[i]);
    }
}

// The method the system default and the station decide, when the file names
// none; a station by position is the nearest that supports that method.
TEST(JobFile, StationAndMethodAsGetNewClimateChoosesThem)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    CropRunContext ctx;
    // The shipped default is FAONEH: a station with wind takes NEH 2 curves.
    MakeFromFile(R"({"name": "A", "location": "L", "planner": "P", "station": "MARICOPA AZMET",
              "crops": [{"crop": "Corn, grain"}]})", ctx);
    EXPECT_EQ(ctx.ETMethodIndex, 2);
    EXPECT_EQ(ctx.CurveIndex, 0);
    // A station without wind falls back to Blaney-Criddle, with the message.
    quiet.texts.clear();
    MakeFromFile(R"({"name": "A", "location": "L", "planner": "P", "station": "KETCHUM RS",
              "crops": [{"crop": "Corn, grain"}]})", ctx);
    EXPECT_EQ(ctx.ETMethodIndex, 1);
    EXPECT_TRUE(quiet.texts.contains(kInsufficientClimateData));

    // Next to Ketchum (43 41'N, 114 22'W) by position: the nearest station
    // with a wind record, since the default method is Penman-Monteith; by
    // name the file's own elevation is the job's.
    job::JobFileStation near;
    MakeFromFile(R"({"name": "A", "location": "L", "planner": "P", "elevation": 5800,
              "station": {"latitude": 43.68, "longitude": -114.37}, "crops": []})", ctx, nullptr, &near);
    EXPECT_TRUE(near.byPosition);
    EXPECT_NE(near.name, kDryStation);
    EXPECT_EQ(ctx.ETMethodIndex, 2);
    EXPECT_GT(near.distanceKm, 1.0);
    EXPECT_EQ(ctx.Elevation, 5800);
    EXPECT_DOUBLE_EQ(ctx.ElevationM, 5800 * 0.3048);
    ASSERT_TRUE(near.fieldElevationFt.has_value());
    // With Blaney-Criddle any station will do: Ketchum itself.
    job::JobFileStation bc;
    MakeFromFile(R"({"name": "A", "location": "L", "planner": "P", "etMethod": "TR21",
              "station": {"latitude": 43.68, "longitude": -114.37}})", ctx, nullptr, &bc);
    EXPECT_EQ(bc.name, kDryStation);
    EXPECT_LT(bc.distanceKm, 5.0);
    EXPECT_LT(bc.distanceKm, near.distanceKm);
}

// A saved job made in the windows, exported and imported into a fresh
// database: the same job row and crop rows (every field but the numbers the
// tables assign), and the same results.
TEST(JobFile, ExportThenImportGivesBackTheSameSavedRows)
{
    const QList<QPair<QString, TypedInputs>> crops = {
        {"Alfalfa hay", {{"Cuttings", 4}, {"Cut1Mo", 6}, {"Cut1Day", 5}, {"ASW", 40.0}, {"Stress Factor", 0.8},
                         {"Net Irr", 2.75}}},
        {"Corn, grain", {{"Plant Mo", 5}, {"Plant Day", 1}, {"Harvest Mo", 9}, {"Harvest Day", 30},
                         {"Irrigation Type", "Trickle irrigation"}, {"Fraction Wetted", 0.25},
                         {"Soil", "Sandy Loam"}, {"Carry Beg", 0.3}, {"Carry End", 0.1}, {"Sensitive", true},
                         {"Dys Wet Developed", 5}, {"Dys Wet Mature", 12}}},
        {"Potatoes", {{"Net Irr", 1.0 / 3.0}, {"EnteredGrowDays", 140}, {"StartT", 52.5}, {"StartTM", 11.38888888888889}}},
    };
    QList<QVariantList> jobRows, cropRows;
    QList<CropRunContext> original;
    QByteArray exported;
    {
        ShippedDatabase a(QStringLiteral("a.sqlite"));
        QDir::setCurrent(a.dir());
        Quiet quiet;
        CropRunContext ctx;
        JobState state;
        CropCurveState curves;
        MakeJobAsTheWindowsDo(ctx, state, curves, "Exchange", kWindStation, 2, crops);
        ctx.Elevation = 1187.5;   // the planner's elevation and ratios
        ctx.EffPcpFact50 = 0.931;
        ctx.EffPcpFact80 = 0.62;
        state.CropCounter = 5;    // two crops deleted on the way
        job::SaveJob(ctx, state);
        jobRows = Rows("QuenJob.db");
        cropRows = Rows("QuenJobCrop.DB");
        ASSERT_EQ(jobRows.size(), 1);
        ASSERT_EQ(cropRows.size(), 3);
        ASSERT_TRUE(job::ExportJobFile("Exchange", exported));
        EXPECT_FALSE(job::ExportJobFile("Nope", exported));
        ASSERT_TRUE(job::ExportJobFile("Exchange", exported));
        CropRunContext fetched;
        JobState fetchedState;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        ASSERT_TRUE(job::LoadJob("Exchange", fetched, fetchedState));
        job::FetchCrops(fetched, fetchedState, curves, wk, [&] { original << fetched; });
        wk.close();
    }
    {
        ShippedDatabase b(QStringLiteral("b.sqlite"));
        QDir::setCurrent(b.dir());
        Quiet quiet;
        CropRunContext ctx;
        JobState state;
        MakeFromFile(exported, ctx, nullptr, nullptr, &state);
        job::SaveJob(ctx, state);
        ExpectSavedRows(jobRows, cropRows);

        // Exported once more, the text is the same.
        QByteArray again;
        ASSERT_TRUE(job::ExportJobFile("Exchange", again));
        EXPECT_EQ(again, exported);

        CropRunContext fetched;
        JobState fetchedState;
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        QList<CropRunContext> imported;
        ASSERT_TRUE(job::LoadJob("Exchange", fetched, fetchedState));
        job::FetchCrops(fetched, fetchedState, curves, wk, [&] { imported << fetched; });
        wk.close();
        ASSERT_EQ(imported.size(), original.size());
        for (int i = 0; i < imported.size(); ++i)
            ExpectSameCrop(imported[i], original[i]);
    }
}

// The file's inputs go over the seeded ones as the crop inputs dialog
// writes them: dates, depths, the irrigation type's fraction wetted and
// the stress factor that follows the available water.
TEST(JobFile, InputsGoOverTheSeededOnes)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    CropRunContext ctx;
    MakeFromFile(R"({"name": "A", "location": "L", "planner": "P", "station": "MARICOPA AZMET", "etMethod": "NEH",
              "crops": [{"crop": "Corn, grain", "plantingDate": "5/1", "harvestDate": "9/30",
                         "netIrrigationDepth": 2.5, "irrigationType": "Furrow- Small application depth",
                         "availableSoilWater": 30, "sensitive": true, "soil": "Clay"},
                        {"crop": "Potatoes", "stressFactor": 0.5, "sensitive": false,
                         "fractionWetted": 0.7, "irrigationType": "Trickle irrigation"}]})", ctx);
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.open();
    wk.first();
    EXPECT_EQ(wk.field("Plant Mo").asInteger(), 5);
    EXPECT_EQ(wk.field("Harvest Day").asInteger(), 30);
    EXPECT_EQ(wk.field("Beg Dat").asString(), "5/1");
    EXPECT_EQ(wk.field("End Dat").asString(), "9/30");
    EXPECT_EQ(wk.field("Net Irr").asFloat(), 2.5);
    EXPECT_EQ(wk.field("Fraction Wetted").asFloat(), 0.5);
    EXPECT_DOUBLE_EQ(wk.field("Stress Factor").asFloat(), 0.6);   // sensitive, ASW 30
    EXPECT_EQ(wk.field("Soil").asString(), "Clay");
    // Carry-over stays seeded from the local default depth, as in the dialog.
    wk.next();
    EXPECT_EQ(wk.field("Fraction Wetted").asFloat(), 0.7);
    EXPECT_EQ(wk.field("ASW").asFloat(), 12.5);   // not sensitive, Ks 0.5
    EXPECT_EQ(wk.field("Crop No").asInteger(), 2);
    wk.close();
}

// Bad input: one message naming the JSON path and the field; nothing set up.
TEST(JobFile, RefusesBadTextWithThePathAndTheField)
{
    struct Case {
        const char* path;
        const char* field;
        const char* words;
    };
    const QByteArray base = R"({"name": "A", "location": "L", "planner": "P", "station": "S", "crops": [{"crop": "C"}, %1]})";
    auto crop = [&](const char* c) { return QString::fromUtf8(base).arg(QString::fromUtf8(c)).toUtf8(); };
    const QList<QPair<QByteArray, Case>> cases = {
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S")", {"", "", "malformed JSON"}},
        {"[1, 2]", {"", "", "one JSON object"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "Crops": []})", {"Crops", "", "unknown field"}},
        {R"({"location": "L", "planner": "P", "station": "S"})", {"name", "Job Name", "required"}},
        {R"({"name": "", "location": " ", "planner": "P", "station": "S"})", {"name", "Job Name", "empty"}},
        {R"({"name": "A", "location": 7, "planner": "P", "station": "S"})", {"location", "Job Location", "a text is expected"}},
        {R"({"name": "A", "location": "L", "planner": "P"})", {"station", "Climate Station Name", "required"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": 5})", {"station", "Climate Station Name", "not a number"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": {"name": "S", "latitude": 40}})", {"station", "", "either"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": {"latitude": 95, "longitude": 0}})", {"station.latitude", "Latitude", "outside -90 to 90"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "etMethod": "PM"})", {"etMethod", "ET Method", "none of"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "ratio50": 10})", {"ratio50", "Effective Precipitation Ratio, Normal year", "outside 0.01 to 9.99"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "elevation": "high"})", {"elevation", "", "a number is expected"}},
        {R"({"name": "123456789012345678901234567890123456789012345678901", "location": "L", "planner": "P", "station": "S"})", {"name", "", "at most 50"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "version": 2})", {"version", "", "version 2"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": "S", "cropCounter": 0, "crops": [{"crop": "C"}]})", {"cropCounter", "No of Crops", "less than"}},
        {crop(R"({"crop": "D", "plantingDate": "2/29"})"), {"crops[1].plantingDate", "Planting or start of growth date", "does not exist: month 2 has 28 days"}},
        {crop(R"({"crop": "D", "harvestDate": "13/1"})"), {"crops[1].harvestDate", "Harvest or end of growth date", "no month 13"}},
        {crop(R"({"crop": "D", "lastCuttingDate": "4/31"})"), {"crops[1].lastCuttingDate", "Last cutting date", "month 4 has 30 days"}},
        {crop(R"({"crop": "D", "firstCuttingDate": "June 1"})"), {"crops[1].firstCuttingDate", "", "not a date"}},
        {crop(R"({"crop": "D", "netIrrigationDepth": 12.5})"), {"crops[1].netIrrigationDepth", "Net irrigation depth applied each irrigation", "outside 0 to 12"}},
        {crop(R"({"crop": "D", "fractionWetted": 1.5})"), {"crops[1].fractionWetted", "Fraction wetted (Fw)", "outside 0.1 to 1"}},
        {crop(R"({"crop": "D", "availableSoilWater": 100})"), {"crops[1].availableSoilWater", "", "outside 0.1 to 99"}},
        {crop(R"({"crop": "D", "stressFactor": -0.1})"), {"crops[1].stressFactor", "Stress Factor (Ks)", "outside 0 to 1"}},
        {crop(R"({"crop": "D", "wettingDaysMaturation": 7.5})"), {"crops[1].wettingDaysMaturation", "", "whole number"}},
        {crop(R"({"crop": "D", "cuttings": 100})"), {"crops[1].cuttings", "Number of cuttings", "outside 0 to 99"}},
        {crop(R"({"crop": "D", "soil": "Loam"})"), {"crops[1].soil", "Surface soil type", "none of"}},
        {crop(R"({"crop": "D", "irrigationType": "Sprinkler"})"), {"crops[1].irrigationType", "Type of irrigation", "none of"}},
        {crop(R"({"crop": "D", "sensitive": "yes"})"), {"crops[1].sensitive", "Sensitive Crop", "true or false"}},
        {crop(R"({"crop": "D", "plantDate": "4/1"})"), {"crops[1].plantDate", "", "unknown field"}},
        {crop(R"({"crop": "c"})"), {"crops[1].crop", "Crop Name", "already crops[0]"}},
        {crop(R"({"crop": "D", "curve": {"index": 6, "name": "X"}})"), {"crops[1].curve.index", "Curve Index", "outside 0 to 5"}},
        {crop(R"({"crop": "D", "startTemperatureF": 1e400})"), {"", "", "malformed JSON"}},
        {crop(R"("D")"), {"crops[1]", "", "a crop is an object"}},
        // A field given twice: a reader would keep one value and drop the other.
        {crop(R"({"crop": "D", "netIrrigationDepth": 2, "netIrrigationDepth": 3})"), {"crops[1].netIrrigationDepth", "", "given twice"}},
        {R"({"name": "A", "location": "L", "planner": "P", "station": {"name": "S", "n\u0061me": "T"}})", {"station.name", "", "given twice"}},
    };
    for (const auto& [text, c] : cases) {
        SCOPED_TRACE(text.toStdString());
        job::JobFile f;
        const job::JobFileError e = job::ParseJobFile(text, f);
        ASSERT_TRUE(e.failed());
        EXPECT_EQ(e.path, QString::fromUtf8(c.path));
        if (*c.field)
            EXPECT_EQ(e.field, QString::fromUtf8(c.field));
        EXPECT_TRUE(e.message.contains(QString::fromUtf8(c.words))) << e.message.toStdString();
        const QString shown = e.text("fields/north.json");
        EXPECT_TRUE(shown.startsWith("fields/north.json: ")) << shown.toStdString();
        EXPECT_TRUE(shown.contains(e.path)) << shown.toStdString();
        EXPECT_TRUE(f.crops.isEmpty());
    }
    // A UTF-8 byte order mark before the text is no fault.
    job::JobFile marked;
    EXPECT_FALSE(job::ParseJobFile("\xEF\xBB\xBF{\"name\": \"A\", \"station\": \"S\"}", marked).failed());
    EXPECT_EQ(marked.name, "A");
    // Malformed JSON: the line and column of the fault.
    job::JobFile f;
    const job::JobFileError e = job::ParseJobFile("{\n  \"name\": \"A\",\n  \"location\" \"L\"\n}", f);
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.column, 14);
    EXPECT_TRUE(e.text("x.json").startsWith("x.json: line 3, column 14: malformed JSON")) << e.text("x.json").toStdString();
}

// Names the database does not hold, and crops or curves the job's method
// cannot use: refused with the path, the working table left empty.
TEST(JobFile, RefusesWhatTheDatabaseDoesNotHold)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    Quiet quiet;
    struct Case {
        QByteArray text;
        const char* path;
        const char* words;
    };
    auto job = [](const char* station, const char* method, const char* crops) {
        return QStringLiteral(R"({"name": "A", "location": "L", "planner": "P", "station": "%1", %2 "crops": [%3]})")
            .arg(QString::fromUtf8(station), QString::fromUtf8(method), QString::fromUtf8(crops))
            .toUtf8();
    };
    const QList<Case> cases = {
        {job("MARICOPA", "", R"({"crop": "Potatoes"})"), "station", "no station is named \"MARICOPA\""},
        {job("maricopa azmet", "", R"({"crop": "Potatoes"})"), "station", "there is \"MARICOPA AZMET\""},
        {job("KETCHUM RS", R"("etMethod": "FAO56",)", R"({"crop": "Potatoes"})"), "etMethod", "no wind"},
        {job("MARICOPA AZMET", "", R"({"crop": "Potatoes"}, {"crop": "potato"})"), "crops[1].crop", "no crop record is named \"potato\""},
        {job("MARICOPA AZMET", "", R"({"crop": "POTATOES"})"), "crops[0].crop", "there is \"Potatoes\""},
        {job("MARICOPA AZMET", R"("etMethod": "TR21",)", R"({"crop": "Potatoes"}, {"crop": "Tomatoes"})"), "crops[1].crop",
         "There is no TR21 curve data avaialble for this crop."},
        {job("MARICOPA AZMET", R"("etMethod": "TR21",)", R"({"crop": "Potatoes", "curve": {"index": 5, "name": "Potatoes - FAO-56 T12/T11"}})"),
         "crops[0].curve.index", "not a curve of the job's method TR21"},
        {job("MARICOPA AZMET", R"("etMethod": "FAO56",)", R"({"crop": "Potatoes", "curve": {"index": 5, "name": "Potatoes FAO"}})"),
         "crops[0].curve.name", "no curve of index 5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        CropRunContext ctx;
        job::JobFileError e;
        MakeFromFile(c.text, ctx, &e);
        ASSERT_TRUE(e.failed());
        EXPECT_EQ(e.path, QString::fromUtf8(c.path));
        EXPECT_TRUE(e.message.contains(QString::fromUtf8(c.words))) << e.message.toStdString();
        EXPECT_TRUE(Rows("QuenWkCrop.DB").isEmpty());
    }
    EXPECT_TRUE(Rows("QuenJob.db").isEmpty());
    EXPECT_TRUE(Rows("QuenJobCrop.DB").isEmpty());
}

// A crop the planner never opened in the crop inputs dialog keeps what the
// local and system defaults seeded, which may lie outside that dialog's
// ranges (a net depth of 0 or 12 inches, carry-over above 9.99 inches, 150
// days between wettings, 20 cuttings): the saved job exports, imports
// (job::ImportJobFile, as both "import" and "Import Job..." do) and gives
// back the same saved rows. Values outside what either dialog accepts are
// still refused with the path and the field.
TEST(JobFile, JobsSeededFromTheLocalDefaultsRoundTrip)
{
    struct Seeded {
        double netDepth;
        int develop, mature, cuttings;
        double asw, stress, springPct, fallPct;
    };
    const Seeded cases[] = {
        {12.0, 150, 999, 20, 1.0, 0.1, 99.0, 50.0},
        {0.0, 0, 1, 99, 99.0, 1.0, 0.0, 0.0},
    };
    for (const Seeded& seeded : cases) {
        SCOPED_TRACE(seeded.netDepth);
        QList<QVariantList> jobRows, cropRows;
        QByteArray exported;
        {
            ShippedDatabase a(QStringLiteral("a.sqlite"));
            QDir::setCurrent(a.dir());
            Quiet quiet;
            {
                TTable loc(QStringLiteral("LocalDefaults.db"));
                loc.open();
                loc.first();
                loc.edit();
                loc.field(QStringLiteral("Net Depth of Irrigation")).setAsFloat(seeded.netDepth);
                loc.field(QStringLiteral("Days Wettings Develop")).setAsInteger(seeded.develop);
                loc.field(QStringLiteral("Days Wettings Mature")).setAsInteger(seeded.mature);
                loc.field(QStringLiteral("Hay Cuttings Number")).setAsInteger(seeded.cuttings);
                loc.field(QStringLiteral("ASW")).setAsFloat(seeded.asw);
                loc.field(QStringLiteral("Stress Factor")).setAsFloat(seeded.stress);
                loc.post();
                loc.close();
                TTable sys(QStringLiteral("SystemDefaults.db"));
                sys.open();
                sys.first();
                sys.edit();
                sys.field(QStringLiteral("Spring Carryover %")).setAsFloat(seeded.springPct);
                sys.field(QStringLiteral("Fall Carryover %")).setAsFloat(seeded.fallPct);
                sys.post();
                sys.close();
            }
            CropRunContext ctx;
            JobState state;
            CropCurveState curves;
            MakeJobAsTheWindowsDo(ctx, state, curves, "Seeded", kWindStation, 2,
                                  {{"Alfalfa hay", {}}, {"Corn, grain", {}}, {"Potatoes", {}}});
            job::SaveJob(ctx, state);
            jobRows = Rows("QuenJob.db");
            cropRows = Rows("QuenJobCrop.DB");
            ASSERT_EQ(cropRows.size(), 3);
            ASSERT_TRUE(job::ExportJobFile("Seeded", exported));
        }
        ShippedDatabase b(QStringLiteral("b.sqlite"));
        QDir::setCurrent(b.dir());
        Quiet quiet;
        job::JobFile file;
        const job::JobFileError parsed = job::ParseJobFile(exported, file);
        ASSERT_FALSE(parsed.failed()) << parsed.text("seeded.json").toStdString();
        CropRunContext ctx;
        JobState state;
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        const job::JobFileImport imported = job::ImportJobFile(file, false, ctx, state, curves, wk);
        ASSERT_TRUE(imported.saved()) << imported.error.text("seeded.json").toStdString();
        EXPECT_EQ(imported.crops, 3);
        ExpectSavedRows(jobRows, cropRows);
    }

    // Just outside what either dialog accepts.
    const QList<QPair<QByteArray, QByteArray>> outside = {
        {R"("netIrrigationDepth": 12.01)", "crops[0].netIrrigationDepth (\"Net irrigation depth applied each irrigation\"): 12.01 is outside 0 to 12"},
        {R"("carryOverBegin": 11.9)", "crops[0].carryOverBegin (\"Carryover used at beginning of each season\"): 11.9 is outside 0 to 11.88"},
        {R"("wettingDaysMaturation": 1000)", "crops[0].wettingDaysMaturation (\"Wetting interval, Maturation\"): 1000 is outside 0 to 999"},
        {R"("cuttings": 100)", "crops[0].cuttings (\"Number of cuttings\"): 100 is outside 0 to 99"},
        {R"("availableSoilWater": 0.05)", "crops[0].availableSoilWater (\"Percent total available water (ASW)\"): 0.05 is outside 0.1 to 99"},
        {R"("fractionWetted": 0.05)", "crops[0].fractionWetted (\"Fraction wetted (Fw)\"): 0.05 is outside 0.1 to 1"},
    };
    for (const auto& [field, message] : outside) {
        job::JobFile f;
        const job::JobFileError e = job::ParseJobFile(
            R"({"name": "Out", "station": "MARICOPA AZMET", "crops": [{"crop": "Potatoes", )" + field + "}]}", f);
        EXPECT_TRUE(e.text("out.json").startsWith("out.json: " + QString::fromUtf8(message)))
            << e.text("out.json").toStdString();
    }
}
