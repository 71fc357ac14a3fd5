// The job file reader against generated and mutated texts: no crash, and
// whatever it accepts holds only finite values inside the windows' ranges;
// a sample of the accepted jobs is computed on the shipped tables and prints
// no NaN or infinity. Deterministic (a fixed seed).
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <random>

#include "CalcJob.h"
#include "JobFile.h"
#include "JobFileCommand.h"
#include "JobFileFixture.h"
#include "JobStore.h"

using namespace quen;

namespace {

const QByteArray kSeeds[] = {
    R"({"name": "North 40", "location": "Buckeye road", "planner": "Pat", "station": "MARICOPA AZMET",
        "crops": [{"crop": "Alfalfa hay"}, {"crop": "Corn, grain", "plantingDate": "3/15", "harvestDate": "7/20"}]})",
    R"({"format": "quenpm-job", "version": 1, "name": "Full", "location": "L", "planner": "P", "date": "12/09/26",
        "landUser": "U", "id": "7", "jobClass": "c", "station": {"latitude": 33.07, "longitude": -111.97},
        "etMethod": "FAO56", "etMethodText": "FAO56", "elevation": 1187, "ratio50": 0.9, "ratio80": 0.7,
        "cropCounter": 4, "crops": [{"crop": "Potatoes", "plantingDate": "2/1", "harvestDate": "6/30",
        "netIrrigationDepth": 2.5, "carryOverBegin": 0.5, "carryOverEnd": 0.25, "soil": "Clay",
        "irrigationType": "Trickle irrigation", "fractionWetted": 0.3, "wettingDaysDevelopment": 5,
        "wettingDaysMaturation": 12, "stressFactor": 0.9, "availableSoilWater": 45, "sensitive": true,
        "cuttings": 3, "firstCuttingDate": "5/1", "lastCuttingDate": "9/1", "startTemperatureF": 50,
        "startTemperatureC": 10, "endTemperatureF": null, "endTemperatureC": null, "enteredGrowDays": 120,
        "curve": {"index": 5, "name": "Potatoes - FAO-56 T12/T11", "type": "FAO 56, Table 12 crops"}}]})",
    R"J({"name": "Dry", "location": "L", "planner": "P", "station": {"name": "KETCHUM RS"}, "etMethod": "TR21",
        "crops": [{"crop": "Spring grain (barley, oats, wheat)", "availableSoilWater": 20, "sensitive": false},
                  {"crop": "Alfalfa hay", "cuttings": 12, "curve": {"index": 4, "name": "Alfalfa (TR-21)"}}]})J",
};

const char* const kCrops[] = {"Alfalfa hay", "Corn, grain", "Potatoes", "Tomatoes", "Grapes, wine",
                              "Pasture, grass", "Winter wheat", "Cotton", "Sugar beets", "nothing"};

class Gen {
public:
    explicit Gen(unsigned seed) : m_rng(seed) {}
    int below(int n) { return int(m_rng() % unsigned(n)); }
    bool coin() { return below(2) == 0; }

    QJsonValue value()
    {
        static const double kNumbers[] = {0, -0.0, 1, -1, 0.01, 0.009, 9.99, 10, 10.0001, 12, 13, 99, 99.5, 0.1,
                                          0.05, 1e308, -1e308, 5e-324, 1e-7, 32767, 32768, 2147483648.0,
                                          -2147483649.0, 0.5, 45, 365, 366, -60, 140, 1e15, 3.3333333333333335};
        static const char* const kTexts[] = {"", " ", "4/15", "2/29", "2/28", "13/1", "0/0", "00/00", "12/31",
                                             "1/1", "4/31", "04/05", "TR21", "NEH", "FAO56", "Clay", "Sand",
                                             "Trickle irrigation", "Rain", "MARICOPA AZMET", "KETCHUM RS",
                                             "quenpm-job", "\t", "x\ny", "\xc3\xa9t\xc3\xa9", "Potatoes"};
        switch (below(7)) {
        case 0: return kNumbers[below(int(std::size(kNumbers)))];
        case 1: return QString::fromUtf8(kTexts[below(int(std::size(kTexts)))]);
        case 2: return coin();
        case 3: return QJsonValue(QJsonValue::Null);
        case 4: return QString(below(80), QLatin1Char('a' + below(26)));
        case 5: return QJsonArray{double(below(5)), QStringLiteral("a")};
        default: {
            QJsonObject o;
            o[QStringLiteral("index")] = below(8) - 1;
            o[QStringLiteral("name")] = QString::fromUtf8(kTexts[below(int(std::size(kTexts)))]);
            if (coin())
                o[QStringLiteral("latitude")] = kNumbers[below(int(std::size(kNumbers)))];
            return o;
        }
        }
    }

    // A structurally mutated job: fields replaced, added or removed.
    QJsonObject mutate(QJsonObject job)
    {
        static const char* const kJobKeys[] = {"name", "location", "planner", "date", "station", "etMethod",
                                               "etMethodText", "elevation", "ratio50", "ratio80", "cropCounter",
                                               "crops", "format", "version", "bogus"};
        static const char* const kCropKeys[] = {
            "crop", "plantingDate", "harvestDate", "netIrrigationDepth", "carryOverBegin", "carryOverEnd", "soil",
            "irrigationType", "fractionWetted", "wettingDaysDevelopment", "wettingDaysMaturation", "stressFactor",
            "availableSoilWater", "sensitive", "cuttings", "firstCuttingDate", "lastCuttingDate",
            "startTemperatureF", "startTemperatureC", "endTemperatureF", "endTemperatureC", "enteredGrowDays",
            "curve", "plantDate"};
        const int n = 1 + below(3);
        for (int k = 0; k < n; ++k) {
            if (coin()) {
                const QString key = QString::fromLatin1(kJobKeys[below(int(std::size(kJobKeys)))]);
                if (below(4) == 0)
                    job.remove(key);
                else
                    job[key] = value();
            } else {
                QJsonArray crops = job.value(QStringLiteral("crops")).toArray();
                if (crops.isEmpty() || below(5) == 0) {
                    QJsonObject c;
                    c[QStringLiteral("crop")] = QString::fromLatin1(kCrops[below(int(std::size(kCrops)))]);
                    crops.append(c);
                } else {
                    const int i = below(int(crops.size()));
                    QJsonObject c = crops[i].toObject();
                    const QString key = QString::fromLatin1(kCropKeys[below(int(std::size(kCropKeys)))]);
                    if (below(5) == 0)
                        c.remove(key);
                    else
                        c[key] = value();
                    crops[i] = c;
                }
                job[QStringLiteral("crops")] = crops;
            }
        }
        return job;
    }

    // A byte-level mutation of a text.
    QByteArray bytes(QByteArray t, const QByteArray& other)
    {
        static const char* const kInserts[] = {"1e999", "-1e999", "NaN", "Infinity", "null", "{", "}", "[", "]",
                                               ",", ":", "\"", "\\u0000", "\\ud800", "-", "0x10", "1e-999"};
        const int n = 1 + below(4);
        for (int k = 0; k < n && !t.isEmpty(); ++k) {
            const int at = below(int(t.size()));
            switch (below(6)) {
            case 0: t[at] = char(below(256)); break;
            case 1: t.remove(at, 1 + below(8)); break;
            case 2: t.insert(at, kInserts[below(int(std::size(kInserts)))]); break;
            case 3: t.insert(at, t.mid(below(int(t.size())), below(20))); break;
            case 4: t = t.left(at) + other.mid(below(int(other.size()))); break;
            default: t.truncate(at); break;
            }
        }
        return t;
    }

private:
    std::mt19937 m_rng;
};

bool Finite(const std::optional<double>& v) { return !v || std::isfinite(*v); }
bool Finite(const job::Nullable<double>& v) { return !v || !*v || std::isfinite(**v); }
bool Inside(const std::optional<double>& v, double lo, double hi) { return !v || (*v >= lo && *v <= hi); }
bool ValidDate(const std::optional<job::MonthDay>& d)
{
    return !d || (d->month >= 1 && d->month <= 12 && d->day >= 1 && d->day <= mainprog::MaxDayOfMonth(d->month));
}

// What an accepted file may hold.
void ExpectSane(const job::JobFile& f, const QByteArray& text)
{
    const bool ok = Finite(f.elevation) && Inside(f.elevation, -200, 9999) && Inside(f.ratio50, 0.01, 9.99)
        && Inside(f.ratio80, 0.01, 9.99) && std::isfinite(f.latitude) && std::isfinite(f.longitude)
        && !f.name.isEmpty() && f.name.size() <= 50 && f.crops.size() <= job::kJobFileMaxCrops;
    EXPECT_TRUE(ok) << text.toStdString();
    for (const job::JobFileCrop& c : f.crops) {
        // The ranges a saved crop can hold (the crop inputs dialog's widened by
        // what the local and system defaults seed).
        const bool cropOk = !c.crop.isEmpty() && Inside(c.netIrr, 0, 12) && Inside(c.carryBeg, 0, 11.88)
            && Inside(c.carryEnd, 0, 11.88) && Inside(c.fractionWetted, 0.1, 1) && Inside(c.stressFactor, 0, 1)
            && Inside(c.asw, 0.1, 99) && Finite(c.startT) && Finite(c.startTM) && Finite(c.endT)
            && Finite(c.endTM) && ValidDate(c.planting) && ValidDate(c.harvest) && ValidDate(c.firstCutting)
            && ValidDate(c.lastCutting) && (!c.cuttings || (*c.cuttings >= 0 && *c.cuttings <= 99))
            && (!c.wetDeveloped || (*c.wetDeveloped >= 0 && *c.wetDeveloped <= 999))
            && (!c.wetMature || (*c.wetMature >= 0 && *c.wetMature <= 999));
        EXPECT_TRUE(cropOk) << text.toStdString();
    }
}

using Monthly = MonthlyValues CropRunContext::*;
const Monthly kMonthly[] = {&CropRunContext::DailyRefET, &CropRunContext::ShoulderRefET, &CropRunContext::MonthlyKc,
                            &CropRunContext::DailyCropET, &CropRunContext::MonthlyCropET, &CropRunContext::EffPrecip50,
                            &CropRunContext::EffPrecip80, &CropRunContext::CarryOverUsed50,
                            &CropRunContext::CarryOverUsed80, &CropRunContext::NetIrrReq50,
                            &CropRunContext::NetIrrReq80, &CropRunContext::PeakDailyET};

bool FiniteResults(const CropRunContext& c)
{
    for (const auto arr : kMonthly)
        for (int m = 1; m <= 12; ++m)
            if (!std::isfinite((c.*arr)[m]))
                return false;
    return std::isfinite(c.TotalCropET) && std::isfinite(c.TotalNetIrrReq50) && std::isfinite(c.TotalNetIrrReq80)
        && std::isfinite(c.PctChanceRatio50) && std::isfinite(c.PctChanceRatio80);
}

} // namespace

TEST(JobFileFuzz, ReaderTakesOnlySaneFiles)
{
    constexpr int kRuns = 120000;
    Gen gen(20261209);
    QList<QByteArray> toCompute;
    int accepted = 0;
    for (int i = 0; i < kRuns; ++i) {
        const QByteArray& seed = kSeeds[gen.below(int(std::size(kSeeds)))];
        QByteArray text;
        const bool structural = gen.below(3) != 0;
        if (structural)
            text = QJsonDocument(gen.mutate(QJsonDocument::fromJson(seed).object())).toJson(QJsonDocument::Compact);
        else
            text = gen.bytes(seed, kSeeds[gen.below(int(std::size(kSeeds)))]);
        job::JobFile f;
        const job::JobFileError e = job::ParseJobFile(text, f);
        if (e.failed()) {
            EXPECT_FALSE(e.message.isEmpty());
            continue;
        }
        ++accepted;
        ExpectSane(f, text);
        if (structural && toCompute.size() < 120 && gen.below(20) == 0)
            toCompute << text;
        if (HasFailure())
            break;
    }
    std::printf("%d texts, %d accepted, %d computed below\n", kRuns, accepted, int(toCompute.size()));
    EXPECT_GT(accepted, kRuns / 20);

    // Accepted files computed on the shipped tables: refused with a message,
    // or computed with finite results everywhere and printed without NaN.
    test::ShippedDatabase db;
    QDir::setCurrent(db.dir());
    calc::CollectingMessages quiet;
    int computed = 0;
    for (const QByteArray& text : toCompute) {
        job::JobFile f;
        ASSERT_FALSE(job::ParseJobFile(text, f).failed());
        CropRunContext ctx;
        JobState state;
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        QList<calc::CropResult> crops;
        const job::JobFileError e = job::SetUpJobFile(f, ctx, state, curves, wk, nullptr, [&] { crops.append({ctx, {}}); });
        if (wk.isOpen())
            wk.close();
        wk.emptyTable();
        if (e.failed()) {
            EXPECT_FALSE(e.message.isEmpty());
            EXPECT_TRUE(crops.isEmpty() || !e.path.isEmpty());
            continue;
        }
        ++computed;
        for (const calc::CropResult& r : crops)
            EXPECT_TRUE(FiniteResults(r.ctx)) << text.toStdString();
        // Saved (under a name of its own), every stored number is finite.
        ctx.JobName = QStringLiteral("fuzz %1").arg(computed);
        state.JobFromDatabase = false;
        job::SaveJob(ctx, state);
        const QString json = calc::JobJson(f.name, crops);
        const QString csv = calc::JobCsv(f.name, crops, true) + calc::JobCsv(f.name, crops, false);
        for (const char* bad : {"nan", "inf"}) {
            EXPECT_FALSE(csv.contains(QLatin1String(bad), Qt::CaseInsensitive) && !f.name.contains(QLatin1String(bad), Qt::CaseInsensitive))
                << text.toStdString();
        }
        EXPECT_FALSE(json.contains(QLatin1String(":null"))) << text.toStdString();
    }
    for (const QString table : {QStringLiteral("QuenJob.db"), QStringLiteral("QuenJobCrop.DB")})
        for (const QVariantList& row : test::Rows(table))
            for (const QVariant& v : row)
                if (v.typeId() == QMetaType::Double)
                    EXPECT_TRUE(std::isfinite(v.toDouble())) << table.toStdString();
    EXPECT_EQ(test::Rows(QStringLiteral("QuenJob.db")).size(), computed);
    std::printf("%d jobs computed and saved\n", computed);
}
