// The NOAA normals import: NCEI's own station files read with their
// published values, damaged copies refused with a message naming the field,
// NOAA's special values, the store (add, replace, one transaction) and the
// import window driven as a planner drives it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "Application.h"
#include "MainForm.h"
#include "Database.h"
#include "Help.h"
#include "MessageBoxes.h"
#include "NoaaImportForm.h"
#include "NoaaNormals.h"
#include "Table.h"

using namespace quen;
using namespace quen::climprog;

namespace {

const QString kSamples = QStringLiteral(QUEN_NOAA_SAMPLES);

QString sample(const QString& name) { return kSamples + QLatin1Char('/') + name; }

QString readText(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

// A fresh database holding the shipped data, one per test.
class NoaaStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + "/tables");
        Database::open(dir.filePath("noaa.sqlite"));
    }
    void TearDown() override { Database::close(); }
    // Sorted county keys of the stations and of the county list.
    static QStringList keys(const char* table)
    {
        TTable t(QString::fromLatin1(table));
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            if (!out.contains(t.field("County").asString())) out << t.field("County").asString();
        out.sort();
        return out;
    }
    static int stationCount()
    {
        TTable t("Climate.DB");
        t.open();
        return t.recordCount();
    }
    QTemporaryDir dir;
};

} // namespace

TEST(NoaaNormals, SamplesReadWithThePublishedValues)
{
    // 1991-2020, decimal values, freeze dates from the annual/seasonal file beside it
    NoaaFileResult r = ReadNoaaNormalsFile(sample("monthly_1991-2020_USW00094765.csv"));
    ASSERT_TRUE(r.station) << r.error.toStdString();
    const NoaaStation& s = *r.station;
    EXPECT_EQ(s.ghcnId, "USW00094765");
    EXPECT_EQ(s.name, "LEBANON MUNI AP");
    EXPECT_EQ(s.state, "NH");
    EXPECT_DOUBLE_EQ(s.latitude, 43.6264);
    EXPECT_DOUBLE_EQ(s.longitude, -72.3047);
    EXPECT_DOUBLE_EQ(s.elevationM, 182.3);
    EXPECT_DOUBLE_EQ(s.tmax[0], 30.3);
    EXPECT_DOUBLE_EQ(s.tmin[0], 9.3);
    EXPECT_DOUBLE_EQ(s.tavg[6], 70.3);
    EXPECT_DOUBLE_EQ(s.prcp[0], 2.29);
    EXPECT_DOUBLE_EQ(s.prcp[11], 2.84);
    EXPECT_TRUE(s.freezeFileRead);
    EXPECT_EQ(s.spring28, "04/29");
    EXPECT_EQ(s.fall28, "10/15");
    EXPECT_EQ(s.spring32, "05/09");
    EXPECT_EQ(s.fall32, "10/06");

    // 1981-2010: whole tenths of a degree and hundredths of an inch
    r = ReadNoaaNormalsFile(sample("monthly_1981-2010_USW00094765.csv"));
    ASSERT_TRUE(r.station) << r.error.toStdString();
    EXPECT_DOUBLE_EQ(r.station->tmax[0], 29.8);
    EXPECT_DOUBLE_EQ(r.station->tmin[0], 8.5);
    EXPECT_DOUBLE_EQ(r.station->prcp[0], 2.65);
    EXPECT_EQ(r.station->spring28, "04/28");
    EXPECT_EQ(r.station->fall32, "10/05");

    // no annual/seasonal file beside it: the freeze dates stay unknown
    r = ReadNoaaNormalsFile(sample("monthly_1981-2010_USW00013740.csv"));
    ASSERT_TRUE(r.station) << r.error.toStdString();
    EXPECT_EQ(r.station->name, "RICHMOND INTERNATIONAL AIRPORT");
    EXPECT_EQ(r.station->state, "VA");
    EXPECT_DOUBLE_EQ(r.station->tmax[0], 47.4);
    EXPECT_DOUBLE_EQ(r.station->prcp[7], 4.66);
    EXPECT_FALSE(r.station->freezeFileRead);
    EXPECT_TRUE(r.station->spring28.isEmpty() && r.station->fall32.isEmpty());

    EXPECT_EQ(NoaaStationNumber("USW00094765"), "94765");
    EXPECT_EQ(NoaaStationNumber("USC00104845"), "104845");
    EXPECT_EQ(NoaaDegreesMinutes(43.6264), 4338);
    EXPECT_EQ(NoaaDegreesMinutes(-72.3047), 7218);
    EXPECT_EQ(NoaaDegreesMinutes(40.9999), 4100);
}

TEST(NoaaNormals, DamagedCopiesAreRefusedNamingTheField)
{
    QTemporaryDir dir;
    const QString monthly = readText(sample("monthly_1991-2020_USW00094765.csv"));
    const QString old = readText(sample("monthly_1981-2010_USW00094765.csv"));
    const QString seasonal = readText(sample("annualseasonal_1991-2020_USW00094765.csv"));
    QStringList lines = monthly.split('\n');
    struct Damage { QString name, text, expected; };
    QStringList noDecember = lines;
    noDecember.removeAt(12);
    QStringList nanLine = lines;
    nanLine[3].replace("    2.70", "     nan");
    QStringList oldLines = old.split('\n');
    QStringList header = lines;
    header[0].replace("\"MLY-TMIN-NORMAL\"", "\"MLY-TMIN-NORMALS\"");
    QStringList abroad = lines;
    for (int i = 1; i < abroad.size(); ++i) abroad[i].replace("NH US", "NH CA");
    const QList<Damage> damages = {
        {"monthly_a.csv", header.join('\n'), "MLY-TMIN-NORMAL"},
        {"monthly_b.csv", nanLine.join('\n'), "MLY-PRCP-NORMAL of month 3"},
        {"monthly_c.csv", noDecember.join('\n'), "month 12 is missing"},
        {"monthly_d.csv", abroad.join('\n'), "NAME"},
        {"monthly_e.csv", QString(), "empty"},
        {"monthly_f.csv", QString(old).replace(",\"298\",", ",\"-9999\","), "MLY-TMAX-NORMAL of month 1"},
        {"monthly_g.csv", QString(monthly).replace("    30.3", "     5.3"), "MLY-TAVG-NORMAL of month 1"},
        // -500 m (-1640 ft): below the station elevations the editor and the state import take
        {"monthly_i.csv", QString(monthly).replace("\" 182.3\"", "\" -500.0\""), "ELEVATION -500 m is out of range (-1500 to 30000 ft)"},
        // a cell holding "%3" is printed as it is
        {"monthly_j.csv", QString(monthly).replace(",\"01\",\"99\",\"99\",", ",\"%3\",\"99\",\"99\","),
         "month \"%3\" on line 2 is not a month"},
    };
    for (const Damage& d : damages) {
        writeText(dir.filePath(d.name), d.text);
        const NoaaFileResult r = ReadNoaaNormalsFile(dir.filePath(d.name));
        EXPECT_FALSE(r.station) << d.name.toStdString();
        EXPECT_TRUE(r.error.startsWith(d.name + ": ")) << r.error.toStdString();
        EXPECT_TRUE(r.error.contains(d.expected)) << d.name.toStdString() << ": " << r.error.toStdString();
    }
    // a damaged freeze date refuses the station, naming the field
    writeText(dir.filePath("monthly_h.csv"), monthly);
    writeText(dir.filePath("annualseasonal_h.csv"), QString(seasonal).replace("   04/29", "   13/45"));
    const NoaaFileResult r = ReadNoaaNormalsFile(dir.filePath("monthly_h.csv"));
    EXPECT_FALSE(r.station);
    EXPECT_TRUE(r.error.contains("ANN-TMIN-PRBLST-T28FP50")) << r.error.toStdString();
}

// A damaged copy holding a value of 200 000 characters: the refusal quotes
// its start, names the field and says how long the value is, in the reader
// and in the window's message.
TEST(NoaaNormals, HugeValueIsQuotedCut)
{
    QTemporaryDir dir;
    const QString monthly = readText(sample("monthly_1991-2020_USW00094765.csv"));
    const QString seasonal = readText(sample("annualseasonal_1991-2020_USW00094765.csv"));
    const QString huge = QStringLiteral("9").repeated(200000);
    ASSERT_TRUE(monthly.contains("    2.70"));
    ASSERT_TRUE(seasonal.contains("   04/29"));
    struct Damage { QString name, monthly, seasonal, field; };
    const QList<Damage> damages = {
        {"monthly_a.csv", QString(monthly).replace("    2.70", huge), {}, "MLY-PRCP-NORMAL of month 3"},
        {"monthly_b.csv", QString(monthly).replace("NH US", huge), {}, "NAME"},
        {"monthly_c.csv", monthly, QString(seasonal).replace("   04/29", huge), "ANN-TMIN-PRBLST-T28FP50"},
    };
    for (const Damage& d : damages) {
        writeText(dir.filePath(d.name), d.monthly);
        if (!d.seasonal.isEmpty())
            writeText(dir.filePath(QString(d.name).replace("monthly", "annualseasonal")), d.seasonal);
        const NoaaFileResult r = ReadNoaaNormalsFile(dir.filePath(d.name));
        EXPECT_FALSE(r.station) << d.name.toStdString();
        EXPECT_TRUE(r.error.contains(d.field)) << r.error.left(300).toStdString();
        EXPECT_LT(r.error.size(), 250) << r.error.left(300).toStdString();
        EXPECT_TRUE(r.error.contains(QRegularExpression("9{10}\\.\\.\\. \\(2000\\d\\d characters\\)")))
            << r.error.left(300).toStdString();
    }
    TScriptedMessages msgs;
    TNoaaImportForm form;
    form.loadPath(dir.filePath("monthly_a.csv"));
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_LT(msgs.lastText().size(), 250);
    EXPECT_TRUE(msgs.lastText().contains("MLY-PRCP-NORMAL of month 3")) << msgs.lastText().left(300).toStdString();
}

// -6666: never that low ("00/00"); -4444 and missing: not known; a first
// fall date in the next January ends the season on 12/31; trace of rain is 0.
TEST(NoaaNormals, SpecialValues)
{
    QTemporaryDir dir;
    QString old = readText(sample("monthly_1981-2010_USW00094765.csv"));
    QString seasonal = readText(sample("annualseasonal_1981-2010_USW00094765.csv"));
    ASSERT_TRUE(old.contains(",\"265\","));
    writeText(dir.filePath("monthly_x.csv"), old.replace(",\"265\",", ",\"-7777\","));
    seasonal.replace("\"04/28\"", "\"-6666\"").replace("\"10/14\"", "\"-6666\"");
    seasonal.replace("\"05/09\"", "\"01/20\"").replace("\"10/05\"", "\"01/05\"");
    writeText(dir.filePath("annualseasonal_x.csv"), seasonal);
    NoaaFileResult r = ReadNoaaNormalsFile(dir.filePath("monthly_x.csv"));
    ASSERT_TRUE(r.station) << r.error.toStdString();
    EXPECT_DOUBLE_EQ(r.station->prcp[0], 0.0);
    EXPECT_EQ(r.station->spring28, "00/00");
    EXPECT_EQ(r.station->fall28, "00/00");
    EXPECT_EQ(r.station->spring32, "01/20");
    EXPECT_EQ(r.station->fall32, "12/31");

    seasonal = readText(sample("annualseasonal_1981-2010_USW00094765.csv"));
    writeText(dir.filePath("annualseasonal_x.csv"), seasonal.replace("\"04/28\"", "\"-4444\"").replace("\"10/14\"", "\"-9999\""));
    r = ReadNoaaNormalsFile(dir.filePath("monthly_x.csv"));
    ASSERT_TRUE(r.station) << r.error.toStdString();
    EXPECT_TRUE(r.station->spring28.isEmpty());
    EXPECT_TRUE(r.station->fall28.isEmpty());
    EXPECT_EQ(r.station->spring32, "05/09");
}

TEST(NoaaNormals, FolderScanKeepsTheLaterNormalsOfAStation)
{
    const NoaaScan scan = ScanNoaaNormals(kSamples);
    ASSERT_EQ(scan.stations.size(), 2);   // Richmond and Lebanon, the 1991-2020 normals kept
    EXPECT_EQ(scan.stations[0].name, "RICHMOND INTERNATIONAL AIRPORT");
    EXPECT_EQ(scan.stations[1].period, "1991-2020");
    EXPECT_DOUBLE_EQ(scan.stations[1].tmax[0], 30.3);
    ASSERT_EQ(scan.refused.size(), 1);
    EXPECT_EQ(scan.refused[0].error, "monthly_1981-2010_USW00094765.csv: STATION USW00094765 holds the 1981-2010 "
                                     "normals; the 1991-2020 normals of monthly_1991-2020_USW00094765.csv are imported");
}

TEST_F(NoaaStore, AddsThenReplacesKeepingTheWindLocation)
{
    NoaaStation lebanon = *ReadNoaaNormalsFile(sample("monthly_1991-2020_USW00094765.csv")).station;
    lebanon.county = "Grafton";
    NoaaStation richmond = *ReadNoaaNormalsFile(sample("monthly_1981-2010_USW00013740.csv")).station;
    richmond.county = "Henrico, va";
    const int before = stationCount();
    NoaaStoreResult res = StoreNoaaStations({lebanon, richmond});
    EXPECT_EQ(res.added, 1);
    EXPECT_EQ(res.replaced, 1);   // the shipped RICHMOND INTL AP, WBAN 13740
    EXPECT_EQ(stationCount(), before + 1);

    TTable clim("Climate.DB");
    clim.open();
    ASSERT_TRUE(clim.locate("Station Name", "LEBANON MUNI AP"));
    EXPECT_EQ(clim.field("Station No").asString(), "94765 ");
    EXPECT_EQ(clim.field("County").asString(), "Grafton, NH");
    EXPECT_DOUBLE_EQ(clim.field("Latitude").asFloat(), 4338);
    EXPECT_DOUBLE_EQ(clim.field("Longitude").asFloat(), 7218);
    EXPECT_DOUBLE_EQ(clim.field("Elevation").asFloat(), 598);
    EXPECT_DOUBLE_EQ(clim.field("ElevationM").asFloat(), 182);
    EXPECT_DOUBLE_EQ(clim.field("T1").asFloat(), 19.8);
    EXPECT_DOUBLE_EQ(clim.field("Tmax1").asFloat(), 30.3);
    EXPECT_DOUBLE_EQ(clim.field("TmaxM1").asFloat(), -0.94);
    EXPECT_DOUBLE_EQ(clim.field("Pm1").asFloat(), 5.82);
    EXPECT_EQ(clim.field("Spr mo/dy 28").asString(), "04/29");
    EXPECT_EQ(clim.field("Fall mo/dy 32").asString(), "10/06");
    clim.edit();
    clim.field("WHRLocation").setAsString("CONCORD ASOS, NH");
    clim.post();
    ASSERT_TRUE(clim.locate("Station Name", "RICHMOND INTL AP")) << "replaced, name kept for the saved jobs";
    EXPECT_EQ(clim.field("WHRLocation").asString(), "RICHMOND INTL AP, VA") << "replaced, location kept";
    EXPECT_DOUBLE_EQ(clim.field("Tmax1").asFloat(), 47.4);
    EXPECT_EQ(clim.field("County").asString(), "Henrico, VA");
    EXPECT_EQ(clim.field("Spr mo/dy 32").asString(), "04/04") << "no freeze file: the shipped dates stay";
    EXPECT_FALSE(clim.locate("Station Name", "RICHMOND INTERNATIONAL AIRPORT"));
    clim.close();
    TTable county("County.db");
    county.open();
    EXPECT_TRUE(county.locate("County", "Grafton, NH"));
    county.close();

    // the 1981-2010 normals of the same station replace the 1991-2020 ones
    NoaaStation older = *ReadNoaaNormalsFile(sample("monthly_1981-2010_USW00094765.csv")).station;
    older.county = "Grafton";
    res = StoreNoaaStations({older});
    EXPECT_EQ(res.added, 0);
    EXPECT_EQ(res.replaced, 1);
    EXPECT_EQ(stationCount(), before + 1);
    clim.open();
    ASSERT_TRUE(clim.locate("Station Name", "LEBANON MUNI AP"));
    EXPECT_DOUBLE_EQ(clim.field("Tmax1").asFloat(), 29.8);
    EXPECT_EQ(clim.field("WHRLocation").asString(), "CONCORD ASOS, NH");
}

TEST_F(NoaaStore, EveryStationKeepsItsCountyListedAndItsNumberFits)
{
    EXPECT_EQ(keys("County"), keys("Climate.DB"));
    NoaaStation a = *ReadNoaaNormalsFile(sample("monthly_1991-2020_USW00094765.csv")).station;
    a.county = "Grafton";
    NoaaStation b = a;   // a station without a WBAN or COOP number: the id's last 8 characters
    b.ghcnId = "USR0000NHAN";
    b.name = "HANOVER RAWS";
    b.county = "Grafton";
    NoaaStation c = a;
    c.ghcnId = "USC00271234";
    c.name = "NEW COUNTY STATION";
    c.county = "Coos";
    const NoaaStoreResult res = StoreNoaaStations({a, b, c});
    EXPECT_EQ(res.added, 3);
    EXPECT_EQ(keys("County"), keys("Climate.DB"));
    TTable clim("Climate.DB");
    clim.open();
    ASSERT_TRUE(clim.locate("Station Name", "HANOVER RAWS"));
    EXPECT_EQ(clim.field("Station No").asString(), "0000NHAN");
    ASSERT_TRUE(clim.locate("Station Name", "NEW COUNTY STATION"));
    EXPECT_EQ(clim.field("Station No").asString(), "271234 ");
    EXPECT_EQ(clim.field("County").asString(), "Coos, NH");
}

TEST_F(NoaaStore, RefusedOrFailedImportStoresNothing)
{
    NoaaStation lebanon = *ReadNoaaNormalsFile(sample("monthly_1991-2020_USW00094765.csv")).station;
    NoaaStation richmond = *ReadNoaaNormalsFile(sample("monthly_1981-2010_USW00013740.csv")).station;
    richmond.county = "Henrico";
    const int before = stationCount();
    EXPECT_TRUE(NoaaStoreProblem(lebanon).contains("county"));
    EXPECT_THROW(StoreNoaaStations({richmond, lebanon}), DbError);   // no county
    NoaaStation south = richmond;
    south.latitude = -14.3;
    EXPECT_FALSE(NoaaStoreProblem(south).isEmpty());
    NoaaStation east = richmond;
    east.longitude = 144.8;
    EXPECT_FALSE(NoaaStoreProblem(east).isEmpty());
    // a failure after the first station leaves the table as it was
    lebanon.county = "Grafton";
    EXPECT_THROW(StoreNoaaStations({lebanon, richmond}, [](int done) {
                     if (done == 1) throw DbError("disk full");
                 }),
                 DbError);
    EXPECT_EQ(stationCount(), before);
    EXPECT_EQ(keys("County"), keys("Climate.DB"));   // "Grafton, NH" not left in the list either
    TTable clim("Climate.DB");
    clim.open();
    EXPECT_FALSE(clim.locate("Station Name", "LEBANON MUNI AP"));
}

TEST_F(NoaaStore, WindowListsStationsAsksForTheCountyAndImports)
{
    TMainForm main;
    EXPECT_EQ(main.NoaaImportBtn->text(), "Import NOAA Normals (CSV)...");
    EXPECT_TRUE(main.NoaaImportBtn->isEnabled());
    EXPECT_TRUE(main.GetDataGroup->isAncestorOf(main.NoaaImportBtn));

    TScriptedMessages msgs;
    TNoaaImportForm form;
    EXPECT_EQ(form.windowTitle(), "Import NOAA Normals (CSV)");
    EXPECT_EQ(helpContextOf(form.OKBtn), 19207);
    EXPECT_TRUE(THelpIndex::bundled().hasContext(19207));
    EXPECT_FALSE(form.OKBtn->isEnabled());
    form.loadPath(kSamples);
    ASSERT_EQ(form.StationGrid->rowCount(), 2);
    EXPECT_EQ(form.RefusedList->count(), 1);
    EXPECT_EQ(form.StationGrid->item(0, TNoaaImportForm::ColNumber)->text(), "13740");
    EXPECT_EQ(form.StationGrid->item(0, TNoaaImportForm::ColCounty)->text(), "Henrico") << "known station";
    EXPECT_EQ(form.StationGrid->item(1, TNoaaImportForm::ColCounty)->text(), "");
    EXPECT_EQ(form.StationGrid->item(1, TNoaaImportForm::ColState)->text(), "NH");
    EXPECT_EQ(form.StationGrid->item(1, TNoaaImportForm::ColFreeze)->text(), "28 F 04/29-10/15, 32 F 05/09-10/06");
    EXPECT_EQ(form.StationGrid->item(0, TNoaaImportForm::ColFreeze)->text(), "28 F not known, 32 F not known");
    EXPECT_EQ(msgs.count(), 0);

    const int before = stationCount();
    form.OKBtn->click();
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.lastText(), "Enter the county of station LEBANON MUNI AP.");
    EXPECT_EQ(stationCount(), before);

    form.StationGrid->item(1, TNoaaImportForm::ColCounty)->setText("Grafton");
    form.OKBtn->click();
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.lastText(), "1 stations added, 1 replaced.");
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(stationCount(), before + 1);

    // one damaged file: its refusal is shown at once
    QTemporaryDir dir;
    writeText(dir.filePath("monthly_bad.csv"), "\"STATION\",\"DATE\"\n");
    TNoaaImportForm again;
    again.loadPath(dir.filePath("monthly_bad.csv"));
    ASSERT_EQ(msgs.count(), 3);
    EXPECT_TRUE(msgs.lastText().contains("monthly_bad.csv: no field LATITUDE")) << msgs.lastText().toStdString();
    EXPECT_FALSE(again.OKBtn->isEnabled());
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("noaa-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
