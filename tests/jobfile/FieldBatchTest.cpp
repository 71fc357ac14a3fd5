// Field batches: each field of a CSV file gives the results "compute" gives
// for the job file of that field, whatever the method; bad rows keep their
// row with the line and column of the fault while the others are computed;
// quenpm-calc batch as a planner runs it.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include "BatchCommand.h"
#include "CalcJob.h"
#include "JobFileCommand.h"
#include "FieldBatch.h"
#include "JobFile.h"
#include "JobFileFixture.h"

using namespace quen;
using namespace quen::test;

namespace {

using Cells = QList<QPair<QString, QString>>;

// Fields of every method (the system default's among them), by position and
// by name, with the crop inputs a planner types.
const QList<Cells> kFields = {
    {{"id", "A1"}, {"latitude", "33.07"}, {"longitude", "-111.97"}, {"crop", "Alfalfa hay"}, {"elevation", "1180"}},
    {{"id", "B2"}, {"latitude", "43.6"}, {"longitude", "-116.2"}, {"crop", "Corn, grain"}, {"etMethod", "TR21"},
     {"plantingDate", "4/20"}, {"harvestDate", "9/30"}, {"netIrrigationDepth", "3.5"}, {"carryOverBegin", "0.5"}},
    {{"id", "C3"}, {"station", "MARICOPA AZMET"}, {"crop", "Tomatoes"}, {"etMethod", "FAO56"}, {"soil", "Clay"},
     {"irrigationType", "Trickle irrigation"}, {"availableSoilWater", "40"}, {"sensitive", "false"}},
    {{"id", "D4"}, {"latitude", "32.2"}, {"longitude", "-110.9"}, {"crop", "Potatoes"}, {"etMethod", "NEH"},
     {"wettingDaysDevelopment", "5"}, {"wettingDaysMaturation", "12"}, {"soil", "Sandy Loam"}, {"stressFactor", "0.8"}},
    {{"id", "E5"}, {"latitude", "33.4"}, {"longitude", "-112.0"}, {"crop", "Alfalfa hay"}, {"etMethod", "NEH"},
     {"cuttings", "4"}, {"firstCuttingDate", "5/1"}, {"lastCuttingDate", "9/15"}, {"fractionWetted", "0.5"}},
    {{"id", "F6"}, {"station", "KETCHUM RS"}, {"crop", "Spring grain (barley, oats, wheat)"}, {"etMethod", "TR21"}},
    {{"id", "G7"}, {"latitude", "36.7"}, {"longitude", "-119.8"}, {"crop", "Grapes, wine"}, {"etMethod", "NEH"}},
    {{"id", "H8"}, {"latitude", "33.07"}, {"longitude", "-111.97"}, {"crop", "Cotton"}, {"etMethod", "FAO56"},
     {"carryOverEnd", "1"}},
    {{"id", "I9"}, {"latitude", "44.0"}, {"longitude", "-114.3"}, {"crop", "Alfalfa hay"}, {"etMethod", "TR21"},
     {"sensitive", "no"}, {"availableSoilWater", "20"}},
};

const QStringList kNumbers = {"latitude", "longitude", "elevation", "netIrrigationDepth", "carryOverBegin",
                              "carryOverEnd", "fractionWetted", "wettingDaysDevelopment", "wettingDaysMaturation",
                              "stressFactor", "availableSoilWater", "cuttings"};

QString CsvCell(const QString& s)
{
    return s.contains(QLatin1Char(',')) ? QLatin1Char('"') + s + QLatin1Char('"') : s;
}

QByteArray Csv(const QList<Cells>& fields)
{
    QStringList columns;
    for (const Cells& f : fields)
        for (const auto& [k, v] : f)
            if (!columns.contains(k))
                columns << k;
    QString text = columns.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (const Cells& f : fields) {
        QStringList row;
        for (const QString& c : columns) {
            QString v;
            for (const auto& [k, value] : f)
                if (k == c)
                    v = value;
            row << CsvCell(v);
        }
        text += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

// The job file of one field, as a planner would write it for "compute".
QByteArray JobFileOf(const Cells& f)
{
    QJsonObject job{{"name", "Field"}, {"location", "L"}, {"planner", "P"}}, crop, position;
    for (const auto& [k, v] : f) {
        const QJsonValue value = kNumbers.contains(k)       ? QJsonValue(v.toDouble())
                                 : k == QLatin1String("sensitive") ? QJsonValue(v == "true" || v == "yes")
                                                                   : QJsonValue(v);
        if (k == "id")
            continue;
        if (k == "latitude" || k == "longitude")
            position.insert(k, value);
        else if (k == "station")
            job.insert("station", value);
        else if (k == "etMethod" || k == "elevation")
            job.insert(k, value);
        else
            crop.insert(k, value);
    }
    if (!position.isEmpty())
        job.insert("station", position);
    job.insert("crops", QJsonArray{crop});
    return QJsonDocument(job).toJson();
}

} // namespace

// Every field's station, method and results are those of computing its job
// file (made as the windows make it, tables written), exactly.
TEST(FieldBatch, GivesWhatComputeGivesForEachField)
{
    ShippedDatabase db;
    QDir::setCurrent(db.dir());
    calc::CollectingMessages quiet;
    job::FieldTable table;
    ASSERT_FALSE(job::ReadFieldTable(Csv(kFields), table).failed());
    ASSERT_EQ(table.rows.size(), kFields.size());
    job::FieldBatch batch;
    const QList<job::FieldOutcome> outcomes = batch.compute(table, 2);
    ASSERT_EQ(outcomes.size(), kFields.size());

    bool methods[4] = {};
    for (int i = 0; i < kFields.size(); ++i) {
        const job::FieldOutcome& o = outcomes[i];
        SCOPED_TRACE(o.id.toStdString());
        ASSERT_TRUE(o.error.isEmpty()) << o.error.toStdString();
        EXPECT_EQ(o.line, i + 2);
        job::JobFile file;
        const job::JobFileError parsed = job::ParseJobFile(JobFileOf(kFields[i]), file);
        ASSERT_FALSE(parsed.failed()) << parsed.text("job.json").toStdString();
        CropRunContext ctx;
        JobState state;
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        job::JobFileStation station;
        QList<CropRunContext> computed;
        const job::JobFileError e = job::SetUpJobFile(file, ctx, state, curves, wk, &station, [&] { computed << ctx; });
        if (wk.isOpen())
            wk.close();
        ASSERT_FALSE(e.failed()) << e.text("job.json").toStdString();
        ASSERT_EQ(computed.size(), 1);
        const CropRunContext& c = computed.first();
        EXPECT_EQ(o.station, station.name);
        if (file.stationByPosition)
            EXPECT_EQ(o.distanceKm.value_or(-1), station.distanceKm);
        if (file.elevation)
            EXPECT_EQ(o.elevationDiffFt.value_or(-1), station.elevationFt - *file.elevation);
        EXPECT_EQ(o.etMethodIndex, c.ETMethodIndex);
        methods[c.ETMethodIndex] = true;
        EXPECT_EQ(o.cropET, c.TotalCropET);
        EXPECT_EQ(o.effPrecip50, c.TotalEffPrecip50);
        EXPECT_EQ(o.effPrecip80, c.TotalEffPrecip80);
        EXPECT_EQ(o.netIrr50, c.TotalNetIrrReq50);
        EXPECT_EQ(o.netIrr80, c.TotalNetIrrReq80);
        EXPECT_EQ(o.cropETcm, c.TotalCropETcm);
        EXPECT_EQ(o.netIrr50cm, c.TotalNetIrrReq50cm);
        EXPECT_EQ(o.netIrr80cm, c.TotalNetIrrReq80cm);
        EXPECT_EQ(o.effPrecip50cm, c.TotalEffPrecip50cm);
        EXPECT_EQ(o.effPrecip80cm, c.TotalEffPrecip80cm);
        EXPECT_EQ(o.monthlyNetIrr50, c.NetIrrReq50);
        EXPECT_EQ(o.monthlyNetIrr50cm, c.NetIrrReq50cm);
        EXPECT_GT(o.netIrr50, 0.0);
    }
    EXPECT_TRUE(methods[1] && methods[2] && methods[3]);

    // One worker or two: the same rows in the same order.
    EXPECT_EQ(quen::calc::BatchCsv(batch.compute(table, 1), false), quen::calc::BatchCsv(outcomes, false));
}

// A row that cannot be computed keeps its place with the line, the column
// and the reason; the rows around it are computed.
TEST(FieldBatch, BadRowsNameLineAndColumnAndTheRunGoesOn)
{
    ShippedDatabase db;
    calc::CollectingMessages quiet;
    const QByteArray text =
        "id,latitude,longitude,crop,plantingDate,netIrrigationDepth,station,etMethod,sensitive\n"
        "ok1,33.07,-111.97,Alfalfa hay,,,,,\n"
        "bad-date,33.07,-111.97,Potatoes,2/30,,,,\n"
        "bad-crop,33.07,-111.97,Corm,,,,,\n"
        "\n"
        "bad-quote,33.07,-111.97,\"Corn, grain,,,,,\n"
        "bad-range,33.07,-111.97,Potatoes,,12.5,,,\n"
        "bad-number,33.07,abc,Potatoes,,,,,\n"
        "bad-station,,,Potatoes,,,NOWHERE,,\n"
        "no-wind,,,Potatoes,,,KETCHUM RS,FAO56,\n"
        "no-curve,33.07,-111.97,Vegetables (general),,,,FAO56,\n"
        "bad-flag,33.07,-111.97,Potatoes,,,,,maybe\n"
        "too-many,33.07,-111.97,Potatoes,,,,,,extra\n"
        "no-place,,,Potatoes,,,,,\n"
        "ok2,43.6,-116.2,\"Corn, grain\",4/20,,,TR21,\n";
    job::FieldTable table;
    ASSERT_FALSE(job::ReadFieldTable(text, table).failed());
    job::FieldBatch batch;
    const QList<job::FieldOutcome> o = batch.compute(table, 2);
    ASSERT_EQ(o.size(), 13);
    auto starts = [&](int i, const char* where) {
        SCOPED_TRACE(o[i].id.toStdString());
        EXPECT_TRUE(o[i].error.startsWith(QLatin1String(where))) << o[i].error.toStdString();
    };
    EXPECT_TRUE(o[0].error.isEmpty()) << o[0].error.toStdString();
    starts(1, "line 3, column 5 (plantingDate");
    EXPECT_TRUE(o[1].error.contains("\"2/30\" does not exist"));
    starts(2, "line 4, column 4 (crop");
    EXPECT_TRUE(o[2].error.contains("no crop record is named \"Corm\""));
    starts(3, "line 6, column 4 (crop): the quote");
    EXPECT_EQ(o[3].id, "bad-quote");
    starts(4, "line 7, column 6 (netIrrigationDepth");
    EXPECT_TRUE(o[4].error.contains("outside 0 to 12"));
    starts(5, "line 8, column 3 (longitude");
    starts(6, "line 9, column 7 (station");
    EXPECT_TRUE(o[6].error.contains("no station is named \"NOWHERE\""));
    starts(7, "line 10, column 8 (etMethod");
    starts(8, "line 11, column 4 (crop");
    EXPECT_TRUE(o[8].error.contains("There is no FAO56 curve data avaialble for this crop."));
    starts(9, "line 12, column 9 (sensitive");
    starts(10, "line 13, column 10: a value beyond");
    starts(11, "line 14, column 2 (latitude");
    EXPECT_TRUE(o[12].error.isEmpty()) << o[12].error.toStdString();
    EXPECT_EQ(o[12].etMethodIndex, 1);
}

// A file that cannot be used as a whole is refused with its line and column.
TEST(FieldBatch, RefusesAFileWhoseHeaderCannotBeUsed)
{
    const QList<QPair<QByteArray, QString>> cases = {
        {"", "the file is empty"},
        {"id,latitude,longitude,crop,plantDate\n", "line 1, column 5: unknown column \"plantDate\""},
        {"id,Latitude,longitude,crop\n", "(there is \"latitude\")"},
        {"id,latitude,longitude,crop,crop\n", "line 1, column 5: the column \"crop\" is already column 4"},
        {"id,latitude,longitude\n", "no column \"crop\""},
        {"id,latitude,crop\n", "\"latitude\" and \"longitude\" come together"},
        {"id,crop\n", "no column \"latitude\" and \"longitude\" or \"station\""},
        {"id,\"crop\n", "line 1, column 2: the quote"},
    };
    for (const auto& [text, expected] : cases) {
        job::FieldTable table;
        const job::JobFileError e = job::ReadFieldTable(text, table);
        EXPECT_TRUE(e.failed()) << text.toStdString();
        EXPECT_TRUE(e.text("f.csv").contains(expected)) << e.text("f.csv").toStdString();
    }
    // A byte order mark, CRLF line ends, blank lines and quoted cells are read.
    job::FieldTable table;
    ASSERT_FALSE(job::ReadFieldTable("\xEF\xBB\xBFid,station,crop\r\n\r\n \"x, 1\" , \"MARICOPA AZMET\",\"A \"\"b\"\"\"\r\n", table).failed());
    ASSERT_EQ(table.rows.size(), 1);
    EXPECT_EQ(table.rows[0].line, 3);
    EXPECT_EQ(table.rows[0].cells, QStringList({"x, 1", "MARICOPA AZMET", "A \"b\""}));
}

// quenpm-calc batch: the exit status says whether every field computed;
// -o writes the file, --metric the metric units, nothing is saved.
TEST(FieldBatch, CommandLine)
{
    ShippedDatabase db;
    const QString dir = db.dir();
    Database::close();
    auto run = [&](const QStringList& args, const QByteArray& input = {}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUENPM_DB", db.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(dir);
        p.start(QStringLiteral(QUENPM_CALC), args);
        p.waitForStarted();
        p.write(input);
        p.closeWriteChannel();
        p.waitForFinished(120000);
        return std::make_tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
    };
    const QByteArray good = Csv(kFields.mid(0, 3));
    {
        const auto [code, out, err] = run({"batch", "-", "--metric"}, good);
        EXPECT_EQ(code, 0) << err.toStdString();
        const QList<QByteArray> lines = out.trimmed().split('\n');
        ASSERT_EQ(lines.size(), 4);
        EXPECT_TRUE(lines[0].startsWith("id,station,distance (km),elevation difference (m),method,seasonal crop ET (cm)"));
        EXPECT_TRUE(lines[1].startsWith("A1,MARICOPA AZMET,"));
        EXPECT_FALSE(err.contains("fields computed"));   // no progress into a pipe
        EXPECT_FALSE(out.toLower().contains("nan"));
    }
    {
        QFile f(dir + "/fields.csv");
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(good + "Z,33.07,-111.97,Corm\n");
        f.close();
        const auto [code, out, err] = run({"batch", "fields.csv", "-o", "out.csv"});
        EXPECT_EQ(code, quen::calc::kExitFieldsFailed);
        EXPECT_TRUE(out.isEmpty());
        EXPECT_TRUE(err.contains("fields.csv: 1 of 4 fields could not be computed")) << err.toStdString();
        QFile o(dir + "/out.csv");
        ASSERT_TRUE(o.open(QIODevice::ReadOnly));
        const QByteArray written = o.readAll();
        EXPECT_EQ(written.count('\n'), 5);
        EXPECT_TRUE(written.contains("no crop record is named"));
    }
    {
        const auto [code, out, err] = run({"batch", "-"}, "id,lat,crop\n");
        EXPECT_EQ(code, quen::calc::kExitBadJobFile);
        EXPECT_TRUE(err.contains("<standard input>: line 1, column 2: unknown column \"lat\"")) << err.toStdString();
        EXPECT_TRUE(out.isEmpty());
    }
    EXPECT_EQ(std::get<0>(run({"batch"})), 1);
    EXPECT_EQ(std::get<0>(run({"batch", "nothing-here.csv"})), quen::calc::kExitBadJobFile);
    // Nothing saved: the seeded database holds no job.
    Database::open(db.path());
    EXPECT_TRUE(Rows("QuenJob.db").isEmpty());
}
