// The daily weather of a station: the AZMET sample stored and read back
// whole, the questions before refused rows and a replacement and what each
// answer leaves, an import abandoned half way, files refused as a whole; the
// shipped FAO-56 crop and soil tables of the daily balance, and an older
// database upgraded to them.
#include <gtest/gtest.h>

#include <QSqlDatabase>
#include <QSqlQuery>
#include <cmath>
#include <stdexcept>

#include "DailyFixture.h"
#include "DailyBalance.h"
#include "DailyImport.h"
#include "Schema.h"

using namespace quen;
using namespace quen::test;

namespace {

job::DailyImportRequest azmetRequest()
{
    job::DailyImportRequest r;
    r.filePath = kAzmetFile;
    r.format = job::DailyFileFormat::Plain;
    r.windHeightM = 3.0;   // AZMET anemometer height
    r.stationName = QStringLiteral("maricopa azmet");   // case ignored, as the station pick list finds it
    return r;
}

int rowsOf(const QString& table)
{
    TTable t(table);
    t.open();
    const int n = t.recordCount();
    t.close();
    return n;
}

const QString kThreeDays = QStringLiteral(
    "date,tmax_C,tmin_C,srad_MJ_m2,rhmax_pct,rhmin_pct,wind_m_s,rain_mm\n"
    "2021-01-01,18,2,12,90,25,1.5,0\n"
    "2021-01-02,19,3,,90,25,,4\n"
    "2021-01-03,20,4,12,,,1.5,\n");

} // namespace

TEST_F(DailyDb, AzmetSampleStoredAndReadBackWhole)
{
    Answers yes;
    const job::DailyImportResult r = job::ImportDailyWeather(azmetRequest());
    ASSERT_TRUE(r.imported) << r.error.toStdString();
    EXPECT_EQ(yes.questions, 0);   // a clean file for a station without daily weather asks nothing
    EXPECT_EQ(r.stationName, kMaricopa);
    EXPECT_EQ(r.days, 6575);
    EXPECT_EQ(r.first.text(), "2003-01-01");
    EXPECT_EQ(r.last.text(), "2020-12-31");
    EXPECT_TRUE(r.refused.empty());
    EXPECT_EQ(rowsOf("DailyWeather.db"), 6575);

    const job::DailyWeatherSet set = job::ReadDailyWeatherSet(r.stationName, r.stationNo);
    ASSERT_TRUE(set.found);
    EXPECT_EQ(set.days, 6575);
    EXPECT_EQ(set.firstDate, "2003-01-01");
    EXPECT_EQ(set.lastDate, "2020-12-31");
    EXPECT_EQ(set.format, "plain");
    EXPECT_EQ(set.sourceFile, "azmet_maricopa_2003_2020.csv");
    EXPECT_DOUBLE_EQ(set.windHeightM, 3.0);

    // Every value as the file has it, missing ones missing again.
    QFile f(kAzmetFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const DailyWeatherFile file = ParseDailyWeatherCsv(QString::fromUtf8(f.readAll()), 3.0);
    const std::vector<DailyWeatherDay> back = job::ReadDailyWeather(r.stationName, r.stationNo);
    ASSERT_EQ(back.size(), file.days.size());
    auto same = [](double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; };
    for (std::size_t i = 0; i < back.size(); ++i) {
        const DailyWeatherDay &a = back[i], &b = file.days[i];
        ASSERT_EQ(a.date, b.date) << i;
        ASSERT_TRUE(a.tmax == b.tmax && a.tmin == b.tmin && same(a.rs, b.rs) && same(a.rhMax, b.rhMax)
                    && same(a.rhMin, b.rhMin) && same(a.tdew, b.tdew) && same(a.wind, b.wind)
                    && same(a.rain, b.rain) && a.windHeightM == b.windHeightM)
            << a.date.text().toStdString();
    }
    // The fill counts of the summary are those the stored days need.
    DailyStation st;
    st.latitudeDeg = 33.0 + 4.0 / 60.0;
    st.elevationM = 362;
    WeatherFillCounts counts;
    DailyReferenceET(back, st, &counts);
    EXPECT_EQ(r.filled.total(), counts.total());
    EXPECT_EQ(r.filled.rainMissing, counts.rainMissing);
    EXPECT_TRUE(r.summary().contains("6575 days"));
}

TEST_F(DailyDb, ReplacingAStationsDaysAsksAndNoKeepsThem)
{
    QString stationNo;
    {
        Answers yes;
        const job::DailyImportResult r = job::ImportDailyWeather(azmetRequest());
        ASSERT_TRUE(r.imported);
        stationNo = r.stationNo;
    }
    job::DailyImportRequest small = azmetRequest();
    small.filePath = writeFile("three.csv", kThreeDays);
    {
        Answers no(MsgResult::No);
        const job::DailyImportResult r = job::ImportDailyWeather(small);
        EXPECT_FALSE(r.imported);
        EXPECT_TRUE(r.cancelled);
        ASSERT_EQ(no.questions, 1);
        EXPECT_TRUE(no.texts[0].contains("6575 days")) << no.texts[0].toStdString();
        EXPECT_EQ(rowsOf("DailyWeather.db"), 6575);
        EXPECT_EQ(job::ReadDailyWeatherSet(kMaricopa, stationNo).days, 6575);
    }
    {
        Answers yes;
        const job::DailyImportResult r = job::ImportDailyWeather(small);
        ASSERT_TRUE(r.imported);
        EXPECT_EQ(yes.questions, 1);
        EXPECT_EQ(r.replacedDays, 6575);
        EXPECT_EQ(rowsOf("DailyWeather.db"), 3);
        EXPECT_EQ(rowsOf("DailyWeatherSet.db"), 1);
        const std::vector<DailyWeatherDay> back = job::ReadDailyWeather(r.stationName, r.stationNo);
        ASSERT_EQ(back.size(), 3u);
        EXPECT_TRUE(std::isnan(back[1].rs));
        EXPECT_TRUE(std::isnan(back[1].wind));
        EXPECT_TRUE(std::isnan(back[2].rain));
        EXPECT_DOUBLE_EQ(back[1].rain, 4.0);
        EXPECT_EQ(r.filled.rsFromTemperature, 1);
        EXPECT_EQ(r.filled.windDefault, 1);
        EXPECT_EQ(r.filled.rainMissing, 1);
    }
    // Asked nothing when the caller says to replace (quenpm-calc --replace).
    {
        Answers no(MsgResult::No);
        job::DailyImportRequest again = azmetRequest();
        again.replaceWithoutAsking = true;
        EXPECT_TRUE(job::ImportDailyWeather(again).imported);
        EXPECT_EQ(no.questions, 0);
        EXPECT_EQ(rowsOf("DailyWeather.db"), 6575);
    }
}

TEST_F(DailyDb, ReplacingOneStationLeavesTheOthers)
{
    Answers yes;
    ASSERT_TRUE(job::ImportDailyWeather(azmetRequest()).imported);
    job::DailyImportRequest other = azmetRequest();
    other.filePath = writeFile("three.csv", kThreeDays);
    other.stationName = QStringLiteral("KETCHUM RS");
    const job::DailyImportResult k = job::ImportDailyWeather(other);
    ASSERT_TRUE(k.imported) << k.error.toStdString();
    EXPECT_EQ(rowsOf("DailyWeather.db"), 6575 + 3);

    job::DailyImportRequest again = azmetRequest();
    again.filePath = other.filePath;
    const job::DailyImportResult m = job::ImportDailyWeather(again);
    ASSERT_TRUE(m.imported);
    EXPECT_EQ(m.replacedDays, 6575);
    EXPECT_EQ(rowsOf("DailyWeather.db"), 3 + 3);
    EXPECT_EQ(job::ReadDailyWeather(k.stationName, k.stationNo).size(), 3u);
    EXPECT_EQ(job::ReadDailyWeather(m.stationName, m.stationNo).size(), 3u);
    EXPECT_EQ(rowsOf("DailyWeatherSet.db"), 2);
}

// GHCN-Daily records reach back more than a century: more days than a short holds.
TEST_F(DailyDb, ARecordOfMoreThanACentury)
{
    QString text = QStringLiteral("date,tmax_C,tmin_C,rain_mm\n");
    int n = 0;
    for (std::int64_t d = CivilDate{1890, 1, 1}.serial(); d <= CivilDate{1999, 12, 31}.serial(); ++d, ++n)
        text += CivilDate::fromSerial(d).text() + QStringLiteral(",25,10,0\n");
    ASSERT_GT(n, 32767);
    Answers yes;
    job::DailyImportRequest r = azmetRequest();
    r.filePath = writeFile("century.csv", text);
    const job::DailyImportResult res = job::ImportDailyWeather(r);
    ASSERT_TRUE(res.imported) << res.error.toStdString();
    EXPECT_EQ(res.days, n);
    EXPECT_EQ(job::ReadDailyWeatherSet(res.stationName, res.stationNo).days, n);
    EXPECT_EQ(job::ReadDailyWeather(res.stationName, res.stationNo).size(), std::size_t(n));
}

TEST_F(DailyDb, AnImportAbandonedHalfWayLeavesTheEarlierDays)
{
    Answers yes;
    job::DailyImportRequest first = azmetRequest();
    first.filePath = writeFile("three.csv", kThreeDays);
    const job::DailyImportResult before = job::ImportDailyWeather(first);
    ASSERT_TRUE(before.imported);

    job::DailyImportRequest r = azmetRequest();
    r.replaceWithoutAsking = true;
    int calls = 0;
    r.progress = [&](int done, int total) {
        EXPECT_EQ(total, 6575);
        if (++calls == 3)
            throw std::runtime_error("stopped at " + std::to_string(done));
    };
    EXPECT_THROW(job::ImportDailyWeather(r), std::runtime_error);
    EXPECT_EQ(rowsOf("DailyWeather.db"), 3);
    EXPECT_EQ(job::ReadDailyWeather(before.stationName, before.stationNo).size(), 3u);
    const job::DailyWeatherSet set = job::ReadDailyWeatherSet(before.stationName, before.stationNo);
    EXPECT_EQ(set.days, 3);
    EXPECT_EQ(set.sourceFile, "three.csv");
}

TEST_F(DailyDb, RefusedRowsListedAndImportedOnlyAfterAYes)
{
    const QString text = QStringLiteral(
        "# two bad rows\n"
        "date,tmax_C,tmin_C,rain_mm\n"
        "2021-01-01,18,2,0\n"
        "2021-13-02,19,3,0\n"
        "2021-01-03,20,4,0\n"
        "2021-01-04,hot,4,0\n"
        "2021-01-05,20,4,0\n");
    job::DailyImportRequest r = azmetRequest();
    r.filePath = writeFile("bad.csv", text);
    {
        Answers no(MsgResult::No);
        const job::DailyImportResult res = job::ImportDailyWeather(r);
        EXPECT_FALSE(res.imported);
        EXPECT_TRUE(res.cancelled);
        ASSERT_EQ(res.refused.size(), 2u);
        EXPECT_EQ(res.refused[0].line, 4);
        EXPECT_EQ(res.refused[1].line, 6);
        ASSERT_EQ(no.questions, 1);
        EXPECT_TRUE(no.texts[0].contains("line 4:")) << no.texts[0].toStdString();
        EXPECT_TRUE(no.texts[0].contains("line 6:"));
        EXPECT_TRUE(no.texts[0].contains("Import the 3 days"));
        EXPECT_EQ(rowsOf("DailyWeather.db"), 0);
        EXPECT_EQ(rowsOf("DailyWeatherSet.db"), 0);
    }
    {
        Answers yes;
        const job::DailyImportResult res = job::ImportDailyWeather(r);
        ASSERT_TRUE(res.imported);
        EXPECT_EQ(res.days, 3);
        EXPECT_EQ(rowsOf("DailyWeather.db"), 3);
        EXPECT_TRUE(res.summary().contains("2 lines refused"));
    }
}

TEST_F(DailyDb, FilesAndStationsRefusedAsAWholeWriteNothing)
{
    Answers yes;
    job::DailyImportRequest r = azmetRequest();
    r.filePath = writeFile("nocols.csv", "day,high,low\n2021-01-01,18,2\n");
    job::DailyImportResult res = job::ImportDailyWeather(r);
    EXPECT_FALSE(res.imported);
    EXPECT_FALSE(res.error.isEmpty());

    r.filePath = writeFile("allbad.csv", "date,tmax_C,tmin_C\n2021-02-30,18,2\nxx,1,1\n");
    res = job::ImportDailyWeather(r);
    EXPECT_FALSE(res.imported);
    EXPECT_TRUE(res.error.contains("no day")) << res.error.toStdString();
    EXPECT_EQ(res.refused.size(), 2u);

    r.filePath = dir.filePath("missing.csv");
    EXPECT_FALSE(job::ImportDailyWeather(r).imported);

    r = azmetRequest();
    r.stationName = QStringLiteral("NO SUCH STATION");
    res = job::ImportDailyWeather(r);
    EXPECT_FALSE(res.imported);
    EXPECT_TRUE(res.error.contains("NO SUCH STATION"));
    EXPECT_EQ(yes.questions, 0);
    EXPECT_EQ(rowsOf("DailyWeather.db"), 0);
    EXPECT_EQ(rowsOf("DailyWeatherSet.db"), 0);
}

// The shipped crop terms: one row per crop record at most, every name a "Cop
// Name", the root depth within its Table 22 range, p and Kcb within the
// limits FAO-56 gives; the soil values those of engine's Table 19 reading.
TEST_F(DailyDb, ShippedCropAndSoilTablesOfTheDailyBalance)
{
    QStringList copNames;
    {
        TTable q("QuenCrop.DB");
        q.open();
        for (q.first(); !q.eof(); q.next())
            copNames << q.field("Cop Name").asString();
        q.close();
    }
    TTable t("FAO56CropDaily.db");
    t.open();
    int n = 0;
    for (t.first(); !t.eof(); t.next(), ++n) {
        const QString name = t.field("Crop Name").asString();
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(copNames.contains(name));
        const double zr = t.field("Root Depth M").asFloat();
        EXPECT_GE(zr, t.field("Root Depth Min M").asFloat());
        EXPECT_LE(zr, t.field("Root Depth Max M").asFloat());
        EXPECT_GE(t.field("Root Depth Min M").asFloat(), 0.2);   // Table 22: 0.2 (strawberries) ..
        EXPECT_LE(t.field("Root Depth Max M").asFloat(), 3.0);   // .. 3.0 m (alfalfa for seed)
        EXPECT_GE(t.field("P").asFloat(), 0.2);
        EXPECT_LE(t.field("P").asFloat(), 0.8);
        EXPECT_GT(t.field("Max Height M").asFloat(), 0.0);
        const double ini = t.field("Kcb Ini").asFloat(), mid = t.field("Kcb Mid").asFloat();
        EXPECT_GE(ini, 0.15);   // Table 17: bare soil Kcb ini 0.15 at the least
        EXPECT_GE(mid, ini);
        EXPECT_LE(mid, 1.25);
        EXPECT_GE(t.field("Kcb End").asFloat(), 0.15);
        EXPECT_TRUE(t.field("Source").asString().startsWith("FAO-56 T22"));
    }
    t.close();
    EXPECT_EQ(n, 20);
    EXPECT_TRUE(copNames.contains("Vegetables (general)"));   // no single Table 22 row: not shipped

    TTable s("FAO56SoilWater.db");
    s.open();
    QStringList soils;
    for (s.first(); !s.eof(); s.next()) {
        const QString name = s.field("Soil").asString();
        soils << name;
        DailySoil eng;
        ASSERT_TRUE(Fao56Table19Soil(name, eng)) << name.toStdString();
        EXPECT_NEAR(s.field("ThetaFC").asFloat(), eng.thetaFC, 1e-9);
        EXPECT_NEAR(s.field("ThetaWP").asFloat(), eng.thetaWP, 1e-9);
        EXPECT_NEAR(s.field("REW").asFloat(), eng.rew, 1e-9);
    }
    s.close();
    EXPECT_EQ(soils, QStringList({"Clay", "Loamy Sand", "Sand", "Sandy Loam", "Silt Loam"}));
}

// A database of the layout before the daily tables gets them, the shipped
// ones with their rows, when it is opened.
TEST_F(DailyDb, OlderDatabaseUpgradedWithTheDailyTables)
{
    const QString path = dir.filePath("daily.sqlite");
    Database::close();
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "daily_upgrade");
        raw.setDatabaseName(path);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        for (const char* t : {"DailyWeather", "DailyWeatherSet", "FAO56CropDaily", "FAO56SoilWater"})
            ASSERT_TRUE(q.exec(QStringLiteral("DROP TABLE \"%1\"").arg(QLatin1String(t))));
        ASSERT_TRUE(q.exec("UPDATE QuenpmSchema SET Version = 3"));
        q.finish();
        raw.close();
    }
    QSqlDatabase::removeDatabase("daily_upgrade");
    Database::open(path);
    EXPECT_EQ(Database::schemaVersion(), kSchemaVersion);
    EXPECT_EQ(rowsOf("FAO56CropDaily.db"), 20);
    EXPECT_EQ(rowsOf("FAO56SoilWater.db"), 5);
    EXPECT_EQ(rowsOf("DailyWeather.db"), 0);
    Answers yes;
    EXPECT_TRUE(job::ImportDailyWeather(azmetRequest()).imported);
}
