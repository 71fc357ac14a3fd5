// The station record reader, the county report converter and the two loads
// into "Climate.DB" and "County", without windows.
#include <gtest/gtest.h>

#include <QDir>
#include <QMap>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "ClimImport.h"
#include "ClimReports.h"
#include "PreparedReport.h"
#include <algorithm>
#include "ClimSamples.h"
#include "CountyDownload.h"
#include "CountyReport.h"
#include "UnitTwins.h"
#include "Database.h"
#include "MessageBoxes.h"
#include "StationRecords.h"
#include "Table.h"

using namespace quen;
using namespace quen::climprog;
using namespace climsamples;

namespace {

QByteArray shipped(const QString& name)
{
    QFile f(QStringLiteral(QUEN_SOURCE_DIR "/data/stations/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList shippedStateFiles()
{
    return QDir(QStringLiteral(QUEN_SOURCE_DIR "/data/stations")).entryList({QStringLiteral("*.quen")}, QDir::Files, QDir::Name);
}

QString dateField(TTable& t, const char* field)
{
    TField f = t.field(QString::fromLatin1(field));
    return f.isNull() ? QString() : f.asString();
}

const char* const kDateFields[4] = {"Spr mo/dy 28", "Fall mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 32"};

} // namespace

TEST(StationReader, ReadsShippedStateFilesAndWhatTheConverterWrites)
{
    // Every shipped state file is sound, and its stations lie in its state.
    const QStringList files = shippedStateFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) {
        const TStationFile f = parseStationRecords(shipped(name), name);
        EXPECT_TRUE(f.ok()) << f.error.toStdString();
        EXPECT_GE(f.records.size(), 1) << name.toStdString();
        for (const TStationRecord& r : f.records)
            EXPECT_EQ(r.county.right(4), f.records[0].county.right(4)) << name.toStdString() << ": " << r.name.toStdString();
    }
    const TStationFile f = parseStationRecords(stateFile(3), QStringLiteral("x.quen"));
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    ASSERT_EQ(f.records.size(), 3);
    const TStationRecord& r = f.records[1];
    EXPECT_EQ(r.name, "STATION 2");
    EXPECT_EQ(r.county, "Blaine, ID");
    EXPECT_EQ(r.number, "100002 ");   // the writer's trailing blank is kept
    EXPECT_EQ(r.latitude, 4341);
    EXPECT_DOUBLE_EQ(r.tmax[11], 31.6 + 44);
    EXPECT_DOUBLE_EQ(r.p[0], 2.25);
    EXPECT_EQ(r.dates[3], "08/30");

    const QVariantList row = climateRowValues(r);
    const TableDef* def = findTableDef(QStringLiteral("Climate.DB"));
    EXPECT_DOUBLE_EQ(row[def->fieldIndex("Tm1")].toDouble(), roundedTo((17.8 - 32) * 5 / 9, 2));
    EXPECT_DOUBLE_EQ(row[def->fieldIndex("Pm1")].toDouble(), 5.71);   // 2.25 x 2.54 written with 2 decimals
    EXPECT_DOUBLE_EQ(row[def->fieldIndex("ElevationM")].toDouble(), 1774);   // 5820 ft, 0 decimals
    EXPECT_EQ(row[def->fieldIndex("Fall mo/dy 28")].toString(), "09/10");
}

TEST(StationReader, EachMissingLineHasItsMessageNamingFileRecordAndLine)
{
    const QByteArray full = stateFile(2);
    const QList<QByteArray> lines = full.split('\n');   // record 2 starts at line 9
    const char* expected[] = {"2 End of file or error", "4a End of file or error", "5a End of file or error",
                              "3 End of file or error", "4 End of file or error", "6 End of file or error"};
    for (int keep = 1; keep <= 6; ++keep) {
        QByteArray cut = lines.mid(0, 8 + keep).join('\n');
        const TStationFile f = parseStationRecords(cut, QStringLiteral("cut.quen"));
        ASSERT_FALSE(f.ok());
        EXPECT_TRUE(f.error.startsWith(QString::fromLatin1(expected[keep - 1]))) << f.error.toStdString();
        EXPECT_TRUE(f.error.contains("\"cut.quen\", record 2")) << f.error.toStdString();
        EXPECT_TRUE(f.records.isEmpty());   // nothing of a damaged file is taken
    }
    // Blank lines only, or nothing: no record and no message.
    for (const QByteArray& empty : {QByteArray(), QByteArray("\n\n\n   \n")}) {
        const TStationFile f = parseStationRecords(empty, QStringLiteral("e.quen"));
        EXPECT_TRUE(f.ok());
        EXPECT_EQ(f.records.size(), 0);
    }
}

TEST(StationReader, FormatErrorsAreRefusedNeverCut)
{
    auto withLine = [](int lineNo, const QByteArray& text) {
        QList<QByteArray> l = stateFile(1).split('\n');
        l[lineNo - 1] = text;
        return parseStationRecords(l.join('\n'), QStringLiteral("f.quen"));
    };
    const QByteArray twelve = "1 2 3 4 5 6 7 8 9 10 11 ";
    struct Case {
        int line;
        QByteArray text;
        const char* says;
    } cases[] = {
        {3, twelve + "1234567", "longer than 6 characters"},
        {3, twelve, "12 monthly values"},
        {3, twelve + "12 13", "12 monthly values"},
        {3, twelve + "x", "not a temperature"},
        {3, twelve + "nan", "not a temperature"},
        {6, twelve + "-1", "not a precipitation"},
        {4, QByteArray(83, '1'), "longer than 82"},
        {1, "#1 " + QByteArray(80, 'A') + "|B|C", "longer than 82"},
        {1, "#1 Blaine, ID|KETCHUM RS", "County|Station Name|Station No"},
        {1, "#1 Blaine, ID|" + QByteArray(36, 'K') + "|1", "too long"},
        {2, "4341 11422", "latitude, longitude and elevation"},
        {2, "4190 11422 5820", "Latitude 4190 is not degrees and minutes"},
        {2, "41.5 11422 5820", "Latitude 41.5"},
        {2, "43410 11422 5820", "Latitude 43410"},
        {2, "4341 11475 5820", "Longitude 11475"},
        {7, "06/05 09/10 06/25", "four dates"},
        {7, "13/05 09/10 06/25 08/30", "not a date"},
    };
    for (const Case& c : cases) {
        const TStationFile f = withLine(c.line, c.text);
        EXPECT_FALSE(f.ok()) << c.text.toStdString();
        EXPECT_TRUE(f.error.contains(QString::fromLatin1(c.says))) << f.error.toStdString();
        EXPECT_TRUE(f.error.contains(QStringLiteral("line %1.").arg(c.line))) << f.error.toStdString();
    }
    // An empty seventh line: no freeze dates.
    const TStationFile none = withLine(7, QByteArray());
    ASSERT_TRUE(none.ok());
    EXPECT_TRUE(none.records[0].dates[0].isEmpty());
    // The same station twice in one file.
    QByteArray twice = stateFile(1) + stateFile(1);
    EXPECT_TRUE(parseStationRecords(twice, "t.quen").error.contains("is also record 1"));
    // A file name holding "%2" or "%3" is printed as it is.
    const QString odd = parseStationRecords(twice, "t%2%3.quen").error;
    EXPECT_TRUE(odd.contains("File \"t%2%3.quen\", record 2, line ")) << odd.toStdString();
}

TEST(StationReader, LatitudeAndLongitudeForms)
{
    for (double ok : {4119.0, 100.0, 959.0, 9000.0})
        EXPECT_TRUE(isDDMMLatitude(ok)) << ok;
    for (double bad : {99.0, 4160.0, 4119.5, 9001.0, 10000.0, -4119.0, std::nan("")})
        EXPECT_FALSE(isDDMMLatitude(bad)) << bad;
    for (double ok : {0.0, 10608.0, 18000.0, 959.0})
        EXPECT_TRUE(isDDDMMLongitude(ok)) << ok;
    for (double bad : {10660.0, 18001.0, -1.0, 10608.5})
        EXPECT_FALSE(isDDDMMLongitude(bad)) << bad;
}

TEST_F(ClimDb, StateImportReplacesStationsAndFillsCountiesOrChangesNothing)
{
    TScriptedMessages msgs;
    ASSERT_EQ(importStateFile(write("one.quen", stateFile(3, "Pinal, AZ"))), 3);
    EXPECT_EQ(column("Climate.DB", "Station Name").size(), 3);
    EXPECT_EQ(column("County", "County"), QStringList{"Pinal, AZ"});
    EXPECT_EQ(msgs.count(), 0);

    // A damaged last record: the message names the place, the old tables stay whole.
    QByteArray damaged = stateFile(5, "Blaine, ID");
    damaged.chop(40);
    EXPECT_EQ(importStateFile(write("bad.quen", damaged)), -1);
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_TRUE(msgs.lastText().contains("\"bad.quen\", record 5")) << msgs.lastText().toStdString();
    EXPECT_EQ(column("Climate.DB", "Station Name").size(), 3);
    EXPECT_EQ(column("County", "County"), QStringList{"Pinal, AZ"});

    EXPECT_EQ(importStateFile(m_dir.filePath("missing.quen")), -1);
    EXPECT_EQ(msgs.lastText(), "Can't open file for reading");

    // Two shipped states in one file: every station, and exactly their counties.
    const QByteArray two = shipped("arizona.quen") + shipped("idaho.quen");
    const TStationFile parsed = parseStationRecords(two, QStringLiteral("two.quen"));
    ASSERT_TRUE(parsed.ok()) << parsed.error.toStdString();
    ASSERT_EQ(importStateFile(write("two.quen", two)), parsed.records.size());
    QStringList expected;
    for (const TStationRecord& r : parsed.records)
        expected << r.county;
    EXPECT_EQ(sortedUnique(column("County", "County")), sortedUnique(expected));
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](const QString& c) { return c.endsWith(", AZ"); }));
    EXPECT_TRUE(std::any_of(expected.begin(), expected.end(), [](const QString& c) { return c.endsWith(", ID"); }));

    // An empty file, or blank lines only, would leave no station: refused,
    // naming the file, and nothing changes.
    const QStringList stations = column("Climate.DB", "Station Name");
    const QStringList countiesBefore = column("County", "County");
    for (const char* text : {"", "\n\n\n", "  \n\t\n \n"}) {
        msgs.clear();
        EXPECT_EQ(importStateFile(write("blank.quen", text)), -1);
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.lastText(), "\"blank.quen\" holds no station record.\nChanges not made!");
        EXPECT_EQ(column("Climate.DB", "Station Name"), stations);
        EXPECT_EQ(column("County", "County"), countiesBefore);
    }
}

// The record files carry no wind, humidity and radiation location: a
// station that an import replaces keeps its "WHRLocation" when it comes back
// under the same name (re-importing a shipped state leaves its stations on
// Penman-Monteith), and a new station has none.
TEST_F(ClimDb, ReplacedStationsKeepTheirWindHumidityRadiationLocation)
{
    TScriptedMessages msgs;
    auto whrOf = [](const QString& name) {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        EXPECT_TRUE(clim.locate(QStringLiteral("Station Name"), name)) << name.toStdString();
        return clim.field(QStringLiteral("WHRLocation")).asString();
    };
    const TStationFile idaho = parseStationRecords(shipped("idaho.quen"), QStringLiteral("idaho.quen"));
    ASSERT_TRUE(idaho.ok());
    QMap<QString, QString> before;
    for (const TStationRecord& r : idaho.records)
        before[r.name] = whrOf(r.name);
    EXPECT_EQ(before.value("BOISE AIR TERMINAL"), "BOISE AIR TERMINAL, ID");
    EXPECT_EQ(before.value("KETCHUM RS"), "");

    ASSERT_EQ(importStateFile(write("idaho.quen", shipped("idaho.quen"))), idaho.records.size());
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_EQ(whrOf(it.key()), it.value()) << it.key().toStdString();

    // The county load replacing a county, and a station new to the table.
    QByteArray tmp;
    writeStationRecord(tmp, 1, station("BOISE AIR TERMINAL", "Ada, ID", "24131 "));
    writeStationRecord(tmp, 2, station("BOISE NEW FARM", "Ada, ID", "1"));
    ASSERT_EQ(loadSelectedCounties(write("TmpTP.txt", tmp), {"Ada, ID"}, true, {"Ada, ID"}), 2);
    EXPECT_EQ(whrOf("BOISE AIR TERMINAL"), "BOISE AIR TERMINAL, ID");
    EXPECT_EQ(whrOf("BOISE NEW FARM"), "");
    EXPECT_EQ(whrOf("LEWISTON AP"), "LEWISTON AP, ID");
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
}

TEST_F(ClimDb, CountyLoadAddsReplacesOrChangesNothing)
{
    TScriptedMessages msgs;
    ASSERT_EQ(importStateFile(write("a.quen", stateFile(2, "Ada, ID"))), 2);
    QByteArray tmp;
    writeStationRecord(tmp, 1, station("KETCHUM RS", "Blaine, ID"));
    writeStationRecord(tmp, 2, station("PICABO", "Blaine, ID"));
    writeStationRecord(tmp, 3, station("BOISE AP", "Ada, ID"));
    writeStationRecord(tmp, 4, station("MOUNTAIN HOME", "Elmore, ID"));
    const QString path = write("TmpTP.txt", tmp);

    // Add Blaine; Elmore is not selected.
    EXPECT_EQ(loadSelectedCounties(path, {"Blaine, ID"}, true, {}), 2);
    EXPECT_EQ(column("Climate.DB", "Station Name").size(), 4);
    // Replace Ada: its two old stations go, its new one comes.
    EXPECT_EQ(loadSelectedCounties(path, {"Ada, ID"}, true, {"Ada, ID"}), 1);
    QStringList names = column("Climate.DB", "Station Name");
    names.sort();
    EXPECT_EQ(names, QStringList({"BOISE AP", "KETCHUM RS", "PICABO"}));
    QStringList counties = column("County", "County");
    counties.sort();
    EXPECT_EQ(counties, QStringList({"Ada, ID", "Blaine, ID"}));

    // A key clash (Blaine again without replacing it) rolls everything back,
    // the removal of the replaced county's stations too.
    EXPECT_EQ(loadSelectedCounties(path, {"Blaine, ID", "Elmore, ID", "Ada, ID"}, true, {"Ada, ID"}), -1);
    EXPECT_TRUE(msgs.lastText().startsWith("Station \"KETCHUM RS\" of Blaine, ID is already in the climate database"))
        << msgs.lastText().toStdString();
    names = column("Climate.DB", "Station Name");
    names.sort();
    EXPECT_EQ(names, QStringList({"BOISE AP", "KETCHUM RS", "PICABO"}));
    EXPECT_FALSE(column("County", "County").contains("Elmore, ID"));
    EXPECT_TRUE(column("County", "County").contains("Ada, ID"));

    // Replace all; a missing work file changes nothing.
    EXPECT_EQ(loadSelectedCounties(m_dir.filePath("none.txt"), {"Elmore, ID"}, false, {}), -1);
    EXPECT_EQ(msgs.lastText(), "Can't open TmpTP.txt file for reading");
    EXPECT_EQ(column("Climate.DB", "Station Name").size(), 3);
    EXPECT_EQ(loadSelectedCounties(path, {"Elmore, ID"}, false, {}), 1);
    EXPECT_EQ(column("Climate.DB", "Station Name"), QStringList{"MOUNTAIN HOME"});
    EXPECT_EQ(column("County", "County"), QStringList{"Elmore, ID"});
}

TEST(CountyConverter, ConvertsStationsIntoRecordsTheReaderTakes)
{
    TScriptedMessages msgs;
    TConverterRun run;
    ReportStation a;
    ReportStation b;
    b.name = "PICABO";
    b.number = "ID107040";
    b.longStationLine = true;
    b.lat = "43 18'";
    b.lon = "114 04'";
    b.elev = "4880";
    b.dates = {"12/31", " 9/1A", " ->  ", " 8/30"};
    ReportStation shortTable;
    shortTable.name = "SHORT";
    shortTable.months = 10;
    const TConvertedFile out = convertCountyReportText(countyReport({a, b, shortTable, a}), run);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    EXPECT_EQ(out.counties, QStringList{"Blaine, ID"});
    ASSERT_EQ(out.written.size(), 2);   // the short table is dropped, the repeated station not written again
    const TStationFile f = parseStationRecords(out.records, "TmpTP.txt");
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    ASSERT_EQ(f.records.size(), 2);
    EXPECT_EQ(f.records[0].name, "KETCHUM RS");
    EXPECT_EQ(f.records[0].number, "ID104845");
    EXPECT_EQ(f.records[0].latitude, 4341);
    EXPECT_EQ(f.records[0].longitude, 11422);
    EXPECT_EQ(f.records[0].dates[0], "06/05");
    EXPECT_DOUBLE_EQ(f.records[0].p[11], 2.25 - 1.1);
    EXPECT_EQ(f.records[1].latitude, 4318);
    EXPECT_EQ(f.records[1].elevation, 4880);
    EXPECT_EQ(f.records[1].dates, (std::array<QString, 4>{"00/00", "00/00", "00/00", "08/30"}));
    EXPECT_EQ(run.recordLabel, 2);
    EXPECT_TRUE(out.records.startsWith("#1 Blaine, ID|KETCHUM RS|ID104845 \n"));

    // The label runs on; a station already written in this run is skipped.
    ReportStation c;
    c.name = "SUN VALLEY";
    const TConvertedFile more = convertCountyReportText(countyReport({a, c}), run);
    ASSERT_EQ(more.written.size(), 1);
    EXPECT_TRUE(more.records.startsWith("#3 "));
}

TEST(CountyConverter, DamagedStationsAreLeftOutWithTheirMessages)
{
    TScriptedMessages msgs;
    auto one = [&](ReportStation s) {
        TConverterRun run;
        msgs.clear();
        return convertCountyReportText(countyReport({s}), run);
    };
    struct Case {
        std::function<void(ReportStation&)> damage;
        QString message;
    } cases[] = {
        {[](ReportStation& s) { s.latitudeWord = "Position:"; }, "Latitude ? aborting Sta KETCHUM RS\n"},
        {[](ReportStation& s) { s.lat = "   "; }, "Latitude ? aborting Sta KETCHUM RS\n"},
        {[](ReportStation& s) { s.fipsWord = "State code"; }, "County ? aborting Sta KETCHUM RS\n"},
        {[](ReportStation& s) { s.percentWord = "60 percent"; }, "Can't get 28F & 32F ? aborting Sta KETCHUM RS\n"},
        {[](ReportStation& s) { s.dashRules = 2; }, "Can't finish data ? aborting Sta KETCHUM RS\n"},
        {[](ReportStation& s) { s.lat = "43 71"; }, "Station \"KETCHUM RS\": Latitude 4371 is not degrees and minutes"},
        {[](ReportStation& s) { s.lon = "114 62"; }, "Longitude 11462"},
        {[](ReportStation& s) { s.county = QString(30, 'C'); }, "County ? aborting Sta KETCHUM RS\n"},
    };
    for (const Case& c : cases) {
        ReportStation s;
        c.damage(s);
        const TConvertedFile out = one(s);
        EXPECT_TRUE(out.written.isEmpty()) << c.message.toStdString();
        ASSERT_EQ(msgs.count(), 1) << c.message.toStdString();
        EXPECT_TRUE(msgs.lastText().contains(c.message)) << msgs.lastText().toStdString();
    }
    // A month value that is no number.
    QByteArray r = countyReport({ReportStation()});
    r.replace("  3.9", "  x.9");
    TConverterRun run;
    msgs.clear();
    EXPECT_TRUE(convertCountyReportText(r, run).written.isEmpty());
    EXPECT_EQ(msgs.lastText(), "Temperature & Precipitation ? aborting Sta KETCHUM RS\n");
    // No station at all after the "W": the file is abandoned.
    msgs.clear();
    EXPECT_FALSE(convertCountyReportText("Western data, but no station\n", run).ok);
    EXPECT_EQ(msgs.lastText(), "8 EOF or Error");
    // "N" before any "W": no data, no message.
    msgs.clear();
    const TConvertedFile none = convertCountyReportText("No data for this county. Whatever.\n", run);
    EXPECT_TRUE(none.noData);
    EXPECT_EQ(msgs.count(), 0);
}

TEST_F(ClimDb, ConverterFilesAndReportNames)
{
    TScriptedMessages msgs;
    EXPECT_TRUE(isCountyReportName("56012.txt"));
    EXPECT_FALSE(isCountyReportName("5601.txt"));
    EXPECT_FALSE(isCountyReportName("56012a.txt"));
    EXPECT_FALSE(isCountyReportName("5601a.txt"));
    TConverterRun run;
    const QString report = write("16013.txt", countyReport({ReportStation()}));
    const QString out = m_dir.filePath("TmpTP.txt");
    const TConvertedFile r = convertCountyReport(report, out, m_dir.filePath("Tmp2.txt"), run);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(QFile::exists(m_dir.filePath("Tmp2.txt")));
    EXPECT_EQ(readStationFile(out, "x").records.size(), 1);
    EXPECT_FALSE(convertCountyReport(m_dir.filePath("99999.txt"), out, m_dir.filePath("Tmp2.txt"), run).ok);
    EXPECT_EQ(msgs.lastText(), "Can't open input FName TXT file.");
    EXPECT_FALSE(convertCountyReport(report, m_dir.filePath("no/dir/TmpTP.txt"), m_dir.filePath("Tmp2.txt"), run).ok);
    EXPECT_EQ(msgs.lastText(), "Can't open output TXT file.");
}

// A download folder: stations of every readable report in the work file and
// the station list, each county offered once in the order met, a report the
// converter cannot open named and skipped.
TEST_F(ClimDb, DownloadedReportsListEachCountyOnce)
{
    TScriptedMessages msgs;
    write("16013.txt", countyReport({ReportStation()}));
    write("16037.txt", countyReport({{.name = "CHALLIS", .number = "ID101663", .county = "Custer"}}));
    write("16099.txt", countyReport({{.name = "PICABO", .number = "ID107040"}}));
    TConverterRun run;
    TTable names(QStringLiteral("StationList.db"));
    TTable counties(QStringLiteral("DownloadCounty.DB"));
    names.open();
    counties.open();
    QList<int> steps;
    const QStringList order = convertDownloadedReports(QDir(m_dir.path()), {"16013.txt", "16037.txt", "16098.txt",
                                                       "16099.txt"}, run, names, counties,
                                                       [&](int n) { steps << n; });
    EXPECT_EQ(order, QStringList({"Blaine, ID", "Custer, ID"}));
    EXPECT_EQ(steps, QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(msgs.lastText(), "Text search function error No 1");
    EXPECT_EQ(names.recordCount(), 3);
    EXPECT_EQ(counties.recordCount(), 2);
    names.close();
    counties.close();
    EXPECT_EQ(readStationFile(m_dir.filePath("TmpTP.txt"), "x").records.size(), 3);
}

// Each entry writes the twin of its own month and kind: "Tm1" is not "T1",
// "TminM10" not "Tmin1", and the mph twin of a km/day wind keeps 4 decimals
// through September only.
TEST(UnitTwins, EachFieldWritesItsOwnPartner)
{
    struct Case {
        const char* field;
        double x;
        const char* twin;
        double value;
    };
    const Case station[] = {
        {"T1", 50, "Tm1", 10},          {"Tm1", 10, "T1", 50},          {"Tmin12", 32, "TminM12", 0},
        {"TminM10", -40, "Tmin10", -40}, {"TmaxM3", 37.78, "Tmax3", 100}, {"P7", 1.5, "Pm7", 3.81},
        {"Pm11", 2.54, "P11", 1},       {"Elevation", 3280.83, "ElevationM", 1000},
        {"ElevationM", 1, "Elevation", 3.28083},
    };
    for (const Case& c : station) {
        const auto t = stationUnitTwin(c.field, c.x);
        ASSERT_TRUE(t.has_value()) << c.field;
        EXPECT_EQ(t->field, c.twin) << c.field;
        EXPECT_NEAR(t->value, c.value, 1e-6) << c.field;
    }
    const Case whr[] = {
        {"U21", 1, "U2m1", 38.62},       {"U2m9", 100, "U29", 2.589},     {"U2m10", 100, "U210", 2.59},
        {"Rs6", 600, "Rsm6", 25.12},     {"Rsm12", 4.1866, "Rs12", 100},
    };
    for (const Case& c : whr) {
        const auto t = whrUnitTwin(c.field, c.x);
        ASSERT_TRUE(t.has_value()) << c.field;
        EXPECT_EQ(t->field, c.twin) << c.field;
        EXPECT_NEAR(t->value, c.value, 1e-6) << c.field;
    }
    for (const char* none : {"Station Name", "Latitude", "Tx1", "T", "RHmin1"})
        EXPECT_FALSE(stationUnitTwin(none, 1).has_value()) << none;
    for (const char* none : {"WHRLocation", "RHmin1", "U2"})
        EXPECT_FALSE(whrUnitTwin(none, 1).has_value()) << none;

    for (const char* ok : {"", "00/00", "12/31"})
        EXPECT_TRUE(frostDateTextOk(ok)) << ok;
    for (const char* bad : {"13/01", "4/15", "04/32"})
        EXPECT_FALSE(frostDateTextOk(bad)) << bad;
}

TEST_F(ClimDb, StationAndLocationReportsCarryTheirFieldsAndTotals)
{
    TScriptedMessages msgs;
    QByteArray text;
    writeStationRecord(text, 1, station("KETCHUM RS", "Blaine, ID"));
    writeStationRecord(text, 2, station("PICABO", "Blaine, ID"));
    writeStationRecord(text, 3, station("BOISE AP", "Ada, ID"));
    ASSERT_EQ(importStateFile(write("r.quen", text)), 3);
    auto texts = [](const report::PreparedReport& p) {
        QStringList out;
        for (const report::ReportPage& page : p.pages)
            for (const report::DrawOp& op : page.ops)
                if (op.kind == report::DrawOp::Text)
                    out << op.text;
        return out;
    };
    TTable clim("Climate.DB");
    const QStringList byCounty = texts(prepareStationListByCounty(clim));
    EXPECT_TRUE(byCounty.contains("Ada, ID"));
    EXPECT_TRUE(byCounty.contains("Blaine, ID"));
    EXPECT_EQ(byCounty.count("Wind, Humidity & Rad. Sta. Loc."), 2);   // under each county
    const int total = int(byCounty.indexOf("TOTAL NUMBER OF STATIONS:"));
    ASSERT_GE(total, 0);
    EXPECT_EQ(byCounty.value(total + 1), "3");
    EXPECT_TRUE(std::any_of(byCounty.begin(), byCounty.end(), [](const QString& s) { return s.startsWith("Date:"); }));
    EXPECT_TRUE(std::any_of(byCounty.begin(), byCounty.end(), [](const QString& s) { return s.startsWith("Page:"); }));
    EXPECT_FALSE(clim.isOpen());   // opened for the report only

    const QStringList english = texts(prepareStationDetails(clim, false));
    const QStringList metric = texts(prepareStationDetails(clim, true));
    EXPECT_TRUE(english.contains("Elevation (ft)"));
    EXPECT_TRUE(english.contains("5820"));
    EXPECT_TRUE(metric.contains("Elevation (m)"));
    EXPECT_TRUE(metric.contains("1774"));
    EXPECT_TRUE(metric.contains(QString::number(roundedTo((17.8 - 32) * 5 / 9, 2), 'f', 1)));
    EXPECT_EQ(english.count("Station Name"), 3);

    const QStringList list = texts(prepareStationList(clim));
    EXPECT_TRUE(list.contains("Total Number of Stations:"));
    EXPECT_TRUE(list.contains("County, State"));

    TTable whr("ClimWHR");
    const QStringList locations = texts(prepareLocationList(whr));
    EXPECT_TRUE(locations.contains("Quen: Wind, Humidity and Radiation Database"));
    EXPECT_TRUE(locations.contains("Total Number of Locations:"));
    EXPECT_TRUE(texts(prepareLocationDetails(whr)).contains("Quen: Wind, Humidity and Radiation database"));
}

TEST(StationReader, UnknownFreezeDatesRoundTripAsDashes)
{
    TStationRecord r = station(QStringLiteral("SOME DATES"));
    r.dates = {QStringLiteral("06/05"), QString(), QStringLiteral("00/00"), QString()};
    QByteArray text;
    writeStationRecord(text, 7, r);
    EXPECT_EQ(text.split('\n').value(6), "06/05 --/-- 00/00 --/-- ");
    TStationFile f = parseStationRecords(text, QStringLiteral("d.quen"));
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    EXPECT_EQ(f.records[0].dates, r.dates);   // unknown stays unknown, "never that cold" stays 00/00
    const QVariantList row = climateRowValues(f.records[0]);
    const TableDef* def = findTableDef(QStringLiteral("Climate.DB"));
    EXPECT_EQ(row[def->fieldIndex("Spr mo/dy 28")].toString(), "06/05");
    EXPECT_TRUE(row[def->fieldIndex("Fall mo/dy 28")].isNull());
    EXPECT_EQ(row[def->fieldIndex("Spr mo/dy 32")].toString(), "00/00");
    EXPECT_TRUE(row[def->fieldIndex("Fall mo/dy 32")].isNull());
    QByteArray again;
    writeStationRecord(again, 7, f.records[0]);
    // (line 1 gains a blank: the station number read keeps the writer's trailing one)
    EXPECT_EQ(again.mid(again.indexOf('\n')), text.mid(text.indexOf('\n')));

    // No date known: an empty seventh line, read back as four unknown dates.
    r.dates = {};
    text.clear();
    writeStationRecord(text, 1, r);
    EXPECT_TRUE(text.split('\n').value(6).isEmpty());
    f = parseStationRecords(text, QStringLiteral("d.quen"));
    ASSERT_TRUE(f.ok()) << f.error.toStdString();
    EXPECT_EQ(f.records[0].dates, r.dates);

    // Only the whole "--/--" means unknown.
    for (const char* bad : {"--/05", "06/--", "-/--", "--/---"}) {
        QList<QByteArray> l = stateFile(1).split('\n');
        l[6] = QByteArray(bad) + " 09/10 06/25 08/30";
        const TStationFile b = parseStationRecords(l.join('\n'), QStringLiteral("b.quen"));
        EXPECT_FALSE(b.ok()) << bad;
        EXPECT_TRUE(b.error.contains("is not a date")) << b.error.toStdString();
    }
}

// Every station of "Climate.DB" must have its county in "County" (the main
// program's station dialog reaches a station only through its county): after
// a fresh start and after each import.
TEST_F(ClimDb, ShippedStatesImportWithTheirCountiesListed)
{
    TScriptedMessages msgs;
    EXPECT_EQ(unlistedCounties(), QStringList()) << "fresh start";
    EXPECT_EQ(sortedUnique(column("County", "County")), sortedUnique(column("Climate.DB", "County")));

    // The state files hold exactly the stations a fresh database starts with.
    QStringList inFiles;
    for (const QString& name : shippedStateFiles())
        for (const TStationRecord& r : parseStationRecords(shipped(name), name).records)
            inFiles << r.name;
    EXPECT_EQ(sortedUnique(inFiles), sortedUnique(column("Climate.DB", "Station Name")));

    int unknownDates = 0;
    for (const QString& name : shippedStateFiles()) {
        const TStationFile f = parseStationRecords(shipped(name), name);
        ASSERT_TRUE(f.ok()) << f.error.toStdString();
        ASSERT_EQ(importStateFile(write(name, shipped(name))), f.records.size()) << msgs.lastText().toStdString();
        QStringList counties;
        for (const TStationRecord& r : f.records)
            counties << r.county;
        EXPECT_EQ(sortedUnique(column("County", "County")), sortedUnique(counties)) << name.toStdString();
        EXPECT_EQ(sortedUnique(column("Climate.DB", "County")), sortedUnique(counties)) << name.toStdString();
        // The freeze dates land as written; "--/--" as an empty field.
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        for (const TStationRecord& r : f.records) {
            ASSERT_TRUE(clim.locate(QStringLiteral("Station Name"), r.name)) << r.name.toStdString();
            for (int i = 0; i < 4; ++i) {
                EXPECT_EQ(dateField(clim, kDateFields[i]), r.dates[i]) << r.name.toStdString();
                unknownDates += r.dates[i].isEmpty();
            }
        }
    }
    EXPECT_GT(unknownDates, 0);   // the shipped files do use "--/--"
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();

    // The county report load, adding to what is there and replacing a county.
    QByteArray tmp;
    writeStationRecord(tmp, 1, station("NEW FARM A", "Gooding, ID", "1"));
    writeStationRecord(tmp, 2, station("NEW FARM B", "Lincoln, ID", "2"));
    const QString path = write("TmpTP.txt", tmp);
    ASSERT_EQ(loadSelectedCounties(path, {"Gooding, ID", "Lincoln, ID"}, true, {}), 2);
    EXPECT_EQ(unlistedCounties(), QStringList()) << "county load, added";
    ASSERT_EQ(loadSelectedCounties(path, {"Lincoln, ID"}, true, {"Lincoln, ID"}), 1);
    EXPECT_EQ(unlistedCounties(), QStringList()) << "county load, replaced";
    ASSERT_EQ(loadSelectedCounties(path, {"Gooding, ID"}, false, {}), 1);
    EXPECT_EQ(column("County", "County"), QStringList{"Gooding, ID"});
    EXPECT_EQ(unlistedCounties(), QStringList()) << "county load, replacing all";
}
