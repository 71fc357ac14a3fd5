// The windows of the climate program driven as a user does: the station
// editor, the wind/humidity/radiation editor, the defaults dialog, the state
// file import and the county report import, offscreen and without modal waits.
#include <gtest/gtest.h>

#include <initializer_list>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <cmath>
#include <QListWidget>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "ClimDBForm.h"
#include "ClimDMod.h"
#include "ClimDefaultsFrm.h"
#include "ClimImport.h"
#include "MainForm.h"
#include "ClimModal.h"
#include "ClimProgram.h"
#include "ClimReports.h"
#include "ClimSamples.h"
#include "CropRunContext.h"
#include "EtMethod.h"
#include "DBGrid.h"
#include "Database.h"
#include "DialogHoldCheck.h"
#include "ImportDailyDlg.h"
#include "MessageBoxes.h"
#include "NoaaImportForm.h"
#include "PreparedReport.h"
#include "PreviewWindow.h"
#include "StationMap.h"
#include "RecordEditor.h"
#include "SelCoForm.h"
#include "SelDirForm.h"
#include "StateToDBForm.h"
#include "StationRecords.h"
#include "WHRForm.h"

using namespace quen;
using namespace quen::climprog;
using namespace climsamples;

namespace {

// Leaves a numeric entry as the user does: types, commits, focus goes.
void enter(TDBNumEdit* e, const QString& text)
{
    e->setText(text);
    e->commit();
    emit e->exited();
}

double value(TTable* t, const QString& field) { return t->field(field).asFloat(); }

// A value entered in one unit of a pair and what its partner holds after.
struct UnitPair {
    const char* entered;
    const char* text;
    const char* partner;
    double expected;
};

template <class Form>
void expectPartners(Form& f, TTable* t, std::initializer_list<UnitPair> pairs)
{
    for (const UnitPair& p : pairs) {
        enter(f.monthEdit(QString::fromLatin1(p.entered)), QString::fromLatin1(p.text));
        EXPECT_DOUBLE_EQ(value(t, QString::fromLatin1(p.partner)), p.expected) << p.entered << " = " << p.text;
    }
}

class ClimForms : public ClimDb {
protected:
    void SetUp() override
    {
        ClimDb::SetUp();
        m_dmod = std::make_unique<TDMod>();
        m_oldReport = showClimReport;
        showClimReport = [this](const report::PreparedReport& p, QWidget*) { m_pages << p.pageCount(); };
    }
    void TearDown() override
    {
        showClimReport = m_oldReport;
        m_dmod.reset();
    }
    std::unique_ptr<TDMod> m_dmod;
    QList<int> m_pages;
    std::function<void(const report::PreparedReport&, QWidget*)> m_oldReport;
};

} // namespace

TEST_F(ClimForms, StationEditorEditsAndKeepsUnitPairsInStep)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    ASSERT_TRUE(t->isOpen());
    EXPECT_EQ(f.windowTitle(), "Climate Station (Temperature and Precipitation) Database [Read Only Mode]");
    EXPECT_FALSE(f.InsertBtn->isEnabled());
    EXPECT_FALSE(f.WHROKBtn->isEnabled());
    EXPECT_EQ(f.PageControl->tabText(1), "Monthly Data (English)");

    // Browse state: nothing converts.
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    const double tm1 = value(t, "Tm1");
    f.FieldExit("T1");
    EXPECT_EQ(value(t, "Tm1"), tm1);

    f.GotoEditBtn->click();
    EXPECT_EQ(f.GotoEditBtn->text(), "Stop Edit");
    EXPECT_TRUE(f.windowTitle().endsWith(" [Edit Mode]"));
    EXPECT_TRUE(f.WHROKBtn->isEnabled());
    expectPartners(f, t,
                   {{"T1", "50", "Tm1", 10.0},
                    {"Tm1", "10", "T1", 50.0},
                    {"TminM2", "-5", "Tmin2", 23.0},
                    {"Pm3", "2.54", "P3", 1.0},
                    {"P4", "1", "Pm4", 2.54}});
    enter(f.monthEdit("Tmax12"), "212");
    EXPECT_EQ(msgs.count(), 1);   // out of range: refused, nothing converted
    t->field("Elevation").setAsFloat(3280.83);
    f.FieldExit("Elevation");
    EXPECT_NEAR(value(t, "ElevationM"), 1000.0, 1e-9);   // unrounded
    EXPECT_NE(value(t, "ElevationM"), 1000.0 + 0.5);

    // A latitude that is not DDMM is refused where it is entered.
    msgs.clear();
    enter(f.LatitudeEdit, "4375");
    EXPECT_TRUE(msgs.lastText().startsWith("Station \"KETCHUM RS\": Latitude 4375 is not degrees and minutes"))
        << msgs.lastText().toStdString();
    EXPECT_TRUE(t->field("Latitude").isNull());
    // ... and the row is not stored without one.
    f.GotoEditBtn->click();
    EXPECT_TRUE(f.editor()->isEditMode());
    EXPECT_TRUE(msgs.lastText().contains("Latitude (empty)"));
    enter(f.LatitudeEdit, "4342");
    f.GotoEditBtn->click();
    EXPECT_FALSE(f.editor()->isEditMode());
    EXPECT_EQ(f.GotoEditBtn->text(), "Goto Edit");
    t->refresh();
    EXPECT_DOUBLE_EQ(value(t, "T1"), 50.0);
    EXPECT_DOUBLE_EQ(value(t, "Latitude"), 4342);
}

// What the station editor takes is what the state import takes: typed
// keys are never dropped into a different number, the elevation range is
// the import's, and a latitude typed as decimal degrees is refused.
TEST_F(ClimForms, StationEditorTakesWhatTheImportTakesAndNothingElse)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    TTable* t = DMod->tblClim;
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    f.GotoEditBtn->click();
    const double lat = value(t, "Latitude");
    auto type = [&](TDBNumEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    };

    // 12000 ft has five digits: stored whole, not cut to 1200.
    type(f.ElevationEdit, "12000");
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    EXPECT_DOUBLE_EQ(value(t, "Elevation"), 12000);
    EXPECT_NEAR(value(t, "ElevationM"), 12000 / 3.28083, 1e-9);

    // The editor's range is the import's, in feet and in metres.
    const QByteArray record = stateFile(1);
    auto importElevation = [&](const QByteArray& feet) {
        QList<QByteArray> l = record.split('\n');
        l[1] = "4341 11422 " + feet;
        return parseStationRecords(l.join('\n'), QStringLiteral("e.quen")).ok();
    };
    struct Case {
        TDBNumEdit* edit;
        const char* typed;
        bool imported;   // the same number of feet, as the import sees it
        const char* message;
    } cases[] = {
        {f.ElevationEdit, "30000", true, nullptr},
        {f.ElevationEdit, "-1500", true, nullptr},
        {f.ElevationEdit, "30001", false, "Elevation (feet): 30001 is out of range. Enter a number from -1500 to 30000."},
        {f.ElevationEdit, "-1640", false, "Elevation (feet): -1640 is out of range. Enter a number from -1500 to 30000."},
        {f.ElevationMEdit, "-500", false, "Elevation (metres): -500 is out of range. Enter a number from -457 to 9144."},
        {f.ElevationMEdit, "9145", false, "Elevation (metres): 9145 is out of range. Enter a number from -457 to 9144."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        msgs.clear();
        const double feet = c.edit == f.ElevationEdit ? QByteArray(c.typed).toDouble()
                                                      : std::round(QByteArray(c.typed).toDouble() * 3.28083);
        EXPECT_EQ(importElevation(QByteArray::number(feet)), c.imported);
        const double before = value(t, "Elevation");
        type(c.edit, QString::fromLatin1(c.typed));
        if (!c.message) {
            EXPECT_EQ(msgs.count(), 0);
            EXPECT_DOUBLE_EQ(value(t, "Elevation"), feet);
            continue;
        }
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.lastText(), QString::fromLatin1(c.message));
        EXPECT_DOUBLE_EQ(value(t, "Elevation"), before);
        EXPECT_EQ(QApplication::focusWidget(), c.edit);
    }

    // "32.5" is no DDMM latitude: refused with the form named, not stored as 325.
    msgs.clear();
    type(f.LatitudeEdit, "32.5");
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.lastText(), "Latitude: 32.5 is not a whole number. Enter degrees and minutes run together "
                               "(DDMM, minutes under 60): 3230 is 32 degrees 30 minutes.");
    EXPECT_DOUBLE_EQ(value(t, "Latitude"), lat);
    EXPECT_EQ(f.LatitudeEdit->text(), QString::number(lat));
    // A month value names its month and column.
    msgs.clear();
    type(f.monthEdit("Tmax12"), "2120");
    EXPECT_EQ(msgs.lastText(), "December Monthly Maximum Temperature (F): 2120 is out of range. "
                               "Enter a number from -100 to 200.");
    f.CancelBtn->click();
    f.close();
}

TEST_F(ClimForms, StationEditorInsertsDeletesAndMarks)
{
    TScriptedMessages msgs;
    {
        TTable loc("LocalDefaults.DB");
        loc.open();
        loc.edit();
        loc.field("WHRLocation").setAsString("Maricopa AZMET, Arizona");
        loc.post();
    }
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    const int before = t->recordCount();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    EXPECT_EQ(t->field("WHRLocation").asString(), "Maricopa AZMET, Arizona");
    f.StationNameEdit->setText("FARM STATION");
    emit f.StationNameEdit->textEdited("FARM STATION");
    t->field("Station Name").setAsString("FARM STATION");
    t->field("Station No").setAsString("1");
    t->field("County").setAsString("Camas, ID");   // the county's first station
    enter(f.LatitudeEdit, "4330");
    enter(f.LongitudeEdit, "11415");
    f.WHROKBtn->click();
    EXPECT_EQ(t->state(), TTable::State::Browse);
    EXPECT_EQ(t->recordCount(), before + 1);
    EXPECT_TRUE(column("County", "County").contains("Camas, ID"));

    // Right click menu: the station's location is removed.
    f.RemoveWHREntryClick();
    EXPECT_TRUE(t->field("WHRLocation").isNull());

    f.MarkBtn->click();
    EXPECT_TRUE(t->field("Marked").asBoolean());
    f.ShowOnlyMarkedItem->setChecked(true);
    EXPECT_EQ(t->recordCount(), 1);
    f.PrintAllMarkedItem->trigger();
    EXPECT_EQ(m_pages, QList<int>{1});
    EXPECT_TRUE(t->filtered());   // the view the user chose stays
    f.ShowOnlyMarkedItem->setChecked(false);
    f.MarkAllItem->trigger();
    t->setFiltered(true);
    EXPECT_EQ(t->recordCount(), before + 1);
    t->setFiltered(false);
    f.ClearAllMarksItem->trigger();
    EXPECT_FALSE(t->field("Marked").asBoolean());

    msgs.answer(MsgResult::No);
    t->locate("Station Name", "FARM STATION");
    f.DeleteBtn->click();
    EXPECT_EQ(msgs.shown().last().caption, "FARM STATION");
    EXPECT_EQ(msgs.lastText(), "Delete?");
    EXPECT_EQ(t->recordCount(), before + 1);
    f.DeleteBtn->click();   // Yes
    EXPECT_EQ(t->recordCount(), before);
    // The county went with its last station; a county with stations stays.
    EXPECT_FALSE(column("County", "County").contains("Camas, ID"));
    EXPECT_EQ(sortedUnique(column("County", "County")), sortedUnique(column("Climate.DB", "County")));
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    const QString ketchumCounty = t->field("County").asString();
    f.DeleteBtn->click();   // Yes
    EXPECT_EQ(t->recordCount(), before - 1);
    EXPECT_EQ(column("County", "County").contains(ketchumCounty),
              column("Climate.DB", "County").contains(ketchumCounty));

    f.PrintByCountyItem->trigger();
    f.PrintByStationItem->trigger();
    EXPECT_EQ(m_pages.size(), 3);
    f.close();
    EXPECT_FALSE(DMod->tblClim->isOpen());
}

// A station number another station already has is a likely slip: a warning
// names that station (once per number typed) and the row is still stored, as
// the key is name and number together; the station's own number is no clash.
TEST_F(ClimForms, StationNumberOfAnotherStationIsWarnedNamingIt)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    const int before = t->recordCount();
    ASSERT_TRUE(t->locate("Station Name", "MT WASHINGTON"));
    f.GotoEditBtn->click();
    t->edit();
    emit f.StationNoEdit->exited();   // its own number
    EXPECT_EQ(msgs.count(), 0);
    t->cancel();

    f.InsertBtn->click();
    t->field("Station Name").setAsString("FARM STATION");
    t->field("Station No").setAsString("14755");   // MT WASHINGTON's, stored as "14755 "
    emit f.StationNoEdit->exited();
    ASSERT_EQ(msgs.count(), 1);
    EXPECT_EQ(msgs.shown().last().kind, MsgKind::Warning);
    EXPECT_EQ(msgs.lastText(), "Station No 14755 is already used by the station MT WASHINGTON (Coos, NH).");
    emit f.StationNoEdit->exited();
    EXPECT_EQ(msgs.count(), 1);
    t->field("Station No").setAsString("99999");
    emit f.StationNoEdit->exited();
    EXPECT_EQ(msgs.count(), 1);
    t->field("Station No").setAsString(" 14755");
    emit f.StationNoEdit->exited();
    EXPECT_EQ(msgs.count(), 2);

    t->field("County").setAsString("Coos, NH");
    enter(f.LatitudeEdit, "4416");
    enter(f.LongitudeEdit, "7118");
    f.WHROKBtn->click();
    EXPECT_EQ(t->state(), TTable::State::Browse);
    EXPECT_EQ(t->recordCount(), before + 1);
    EXPECT_EQ(msgs.count(), 2) << msgs.lastText().toStdString();
    f.close();
}

TEST_F(ClimForms, StationEditorSearchSortAndCountyFilter)
{
    TScriptedMessages msgs;
    QByteArray text;
    writeStationRecord(text, 1, station("ZEBRA", "Ada, ID", "300"));
    writeStationRecord(text, 2, station("ALPHA", "Blaine, ID", "200"));
    writeStationRecord(text, 3, station("MIDDLE", "Ada, ID", "100"));
    ASSERT_GT(importStateFile(write("s.quen", text)), 0);
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    f.SortNumberItem->trigger();
    EXPECT_EQ(t->indexName(), "StaNumberIndex");
    const auto old = TClimDBForm::inputQuery;
    QString asked;
    TClimDBForm::inputQuery = [&](const QString& title, const QString& prompt, QString& v) {
        asked = title + "/" + prompt;
        v = "ZEB";
        return true;
    };
    f.SearchNameItem->trigger();
    EXPECT_EQ(asked, "Station Name Search/Enter Station Name");
    EXPECT_EQ(t->field("Station Name").asString(), "ZEBRA");
    EXPECT_EQ(t->indexName(), "StaNumberIndex");   // the sort stays
    TClimDBForm::inputQuery = old;

    // "Show County": OK without a county row leaves the view; with one, the range.
    const auto oldRun = TClimDBForm::runCountyDialog;
    TClimDBForm::runCountyDialog = [](TSelCountyDlg& d) {
        d.CountyGrid->clearSelection();
        return true;
    };
    f.ShowCountyItem->trigger();
    EXPECT_FALSE(f.countyShown());
    EXPECT_EQ(t->recordCount(), 3);
    TClimDBForm::runCountyDialog = [](TSelCountyDlg& d) {
        DMod->tblCounty->findKey({"Ada, ID"});
        d.CountyGrid->selectRow(DMod->tblCounty->recNo() - 1);
        return true;
    };
    f.ShowCountyItem->trigger();
    EXPECT_TRUE(f.countyShown());
    EXPECT_EQ(f.ShowCountyItem->text(), "Cancel County");
    EXPECT_EQ(t->recordCount(), 2);
    f.ShowCountyItem->trigger();
    EXPECT_EQ(f.ShowCountyItem->text(), "Show County");
    EXPECT_EQ(t->recordCount(), 3);
    TClimDBForm::runCountyDialog = oldRun;

    // A report leaves the order and the current station as they were.
    t->setIndexName(QString());   // the primary key: name, number
    t->locate("Station Name", "MIDDLE");
    auto gridRows = [&] {
        QStringList shown;
        for (int r = 0; r < f.StationGrid->gridModel()->rowCount(); ++r)
            shown << f.StationGrid->gridModel()->index(r, 0).data().toString();
        return shown;
    };
    for (QAction* report : {f.PrintByCountyItem, f.PrintAllMarkedItem, f.PrintByStationItem}) {
        report->trigger();
        EXPECT_EQ(t->indexName(), "");
        EXPECT_EQ(t->field("Station Name").asString(), "MIDDLE") << report->text().toStdString();
        EXPECT_EQ(gridRows(), QStringList({"ALPHA", "MIDDLE", "ZEBRA"})) << report->text().toStdString();
    }
}

TEST_F(ClimForms, WindHumidityEditorDefaultsAndUnitPairs)
{
    TScriptedMessages msgs;
    TWHRForm f;
    f.show();
    TTable* t = DMod->tblWHR;
    EXPECT_EQ(f.windowTitle(), "Wind, Humidity and Radiation Database [Read Only Mode]");
    const int before = t->recordCount();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    for (int m = 1; m <= 12; ++m) {
        EXPECT_DOUBLE_EQ(value(t, QStringLiteral("U2%1").arg(m)), 4.4739);
        EXPECT_DOUBLE_EQ(value(t, QStringLiteral("U2m%1").arg(m)), 172.8);
        EXPECT_DOUBLE_EQ(value(t, QStringLiteral("As%1").arg(m)), 0.25);
        EXPECT_DOUBLE_EQ(value(t, QStringLiteral("Bs%1").arg(m)), 0.5);
    }
    EXPECT_EQ(t->field("StationType").asString(), "Agrometeorological station");
    EXPECT_DOUBLE_EQ(value(t, "StationHeight"), 2);
    t->field("WHRLocation").setAsString("Farm WHR");
    expectPartners(f, t,
                   {{"U2m12", "172.8", "U212", 4.47},
                    {"U2m1", "172.8", "U21", 4.4739},
                    {"Rsm1", "10", "Rs1", 238.86},
                    {"U27", "2", "U2m7", 77.25}});
    enter(f.LongitudeEdit, "11490");
    EXPECT_TRUE(msgs.lastText().contains("Longitude 11490"));
    f.GotoEditBtn->click();
    EXPECT_EQ(t->recordCount(), before + 1);
    // Browse: nothing converts.
    t->locate("WHRLocation", "Farm WHR");
    const double u = value(t, "U2m5");
    f.FieldExit("U25");
    EXPECT_EQ(value(t, "U2m5"), u);
    f.PrintLocationListItem->trigger();
    f.PrintAllMarkedItem->trigger();
    EXPECT_EQ(m_pages.size(), 2);
}

TEST_F(ClimForms, DefaultsDialogMetricFlagChangesAtOnceButCancelKeepsTheRow)
{
    TClimDefaultsFrm d;
    d.show();
    ASSERT_TRUE(DMod->tblLocDef->isOpen());
    EXPECT_EQ(d.windowTitle(), "Climatic Defaults");
    EXPECT_FALSE(DMod->MetricUnits);
    d.MetricCheck->click();
    emit d.MetricCheck->exited();
    EXPECT_TRUE(DMod->MetricUnits);
    d.CancelBtn->click();
    TTable loc("LocalDefaults.DB");
    loc.open();
    EXPECT_FALSE(loc.field("MetricUnits").asBoolean());
    loc.close();

    TClimDefaultsFrm d2;
    d2.show();
    enter(d2.CorEdit[0], "2.5");
    d2.StationLocRadio->setItemIndex(1);
    d2.OKBtn->click();
    loc.open();
    EXPECT_DOUBLE_EQ(loc.field("Cor1").asFloat(), 2.5);
    EXPECT_EQ(loc.field("StationLoc").asString(), "Coastal location");
}

TEST_F(ClimForms, StateImportWindowAsksFirst)
{
    TScriptedMessages msgs;
    const QString path = write("idaho.quen", stateFile(4, "Custer, ID"));
    TStateToDBForm f;
    const auto old = TStateToDBForm::chooseFile;
    TStateToDBForm::chooseFile = [&](QWidget*) { return path; };
    f.SelectFileBtn->click();
    TStateToDBForm::chooseFile = old;
    EXPECT_EQ(f.FileNameEdit->text(), path);
    EXPECT_TRUE(f.FileViewer->toPlainText().startsWith("#1 Custer, ID|STATION 1|"));
    msgs.answer(MsgResult::No);
    f.OKBtn->click();
    EXPECT_EQ(msgs.texts(), QStringList({"This will replace the existing climate database!  Are you sure you want to do this?",
                                         "Changes not made!"}));
    EXPECT_EQ(f.lastResult(), -1);
    TStateToDBForm g;
    g.setFile(path);
    g.OKBtn->click();   // Yes
    EXPECT_EQ(g.lastResult(), 4);
    EXPECT_EQ(column("County", "County"), QStringList{"Custer, ID"});
}

TEST_F(ClimForms, CountyReportImportFromDirectoryToStationTable)
{
    TScriptedMessages msgs;
    QDir dir(m_dir.path());
    dir.mkdir("reports");
    const QString rd = dir.filePath("reports");
    auto put = [&](const QString& name, const QByteArray& text) {
        QFile f(QDir(rd).filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    };
    ReportStation a;
    ReportStation b;
    b.name = "CHALLIS";
    b.number = "ID101663";
    b.county = "Custer";
    put("16013.txt", countyReport({a}));
    put("16037.txt", countyReport({b}));
    put("16001.txt", "No station data in this county\n");
    put("16099.txt", "Western text, no station block\n");
    put("1601.txt", countyReport({b}));   // not a report name
    const QString cwd = QDir::currentPath();

    TSelDirForm sel;
    sel.setDirectory(rd);
    sel.show();
    msgs.answer(MsgResult::Yes);
    sel.AddCheckBox->click();   // replace the whole station table
    EXPECT_FALSE(DMod->AddToExisting);
    QStringList available;
    QString editorOpened;
    const auto oldShow = TSelDirForm::showCountyWindow;
    const auto oldEditor = TSelCoForm::openStationEditor;
    TSelDirForm::showCountyWindow = [&](TSelCoForm& co) {
        for (int i = 0; i < co.AvailableList->count(); ++i)
            available << co.AvailableList->item(i)->text();
        co.MoveAllBtn->click();
        EXPECT_FALSE(co.MoveBtn->isEnabled());
        EXPECT_TRUE(co.BackBtn->isEnabled());
        co.ContinueBtn->click();
    };
    TSelCoForm::openStationEditor = [&](QWidget*) { editorOpened = "yes"; };
    sel.OKBtnClick();
    EXPECT_EQ(available, QStringList({"Blaine, ID", "Custer, ID"}));
    EXPECT_TRUE(msgs.texts().contains("8 EOF or Error"));
    EXPECT_TRUE(msgs.texts().contains("Text search function error No 1"));
    EXPECT_EQ(editorOpened, "yes");
    QStringList names = column("Climate.DB", "Station Name");
    names.sort();
    EXPECT_EQ(names, QStringList({"CHALLIS", "KETCHUM RS"}));
    QStringList counties = column("County", "County");
    counties.sort();
    EXPECT_EQ(counties, QStringList({"Blaine, ID", "Custer, ID"}));
    EXPECT_EQ(column("StationList.db", "StationName").size(), 2);
    EXPECT_EQ(column("DownloadCounty.DB", "CountyName").size(), 2);

    // Again, adding: Blaine exists; "No" leaves nothing selected.
    msgs.clear();
    sel.show();
    EXPECT_TRUE(DMod->AddToExisting);
    TSelDirForm::showCountyWindow = [&](TSelCoForm& co) {
        co.AvailableList->findItems("Blaine, ID", Qt::MatchExactly).first()->setSelected(true);
        co.MoveBtn->click();
        msgs.answer(MsgResult::No);
        co.ContinueBtn->click();
    };
    sel.OKBtnClick();
    EXPECT_TRUE(msgs.texts().contains("There is already a county named Blaine, ID. Replace it?"));
    EXPECT_EQ(msgs.lastText(), "There are no selected counties!");
    EXPECT_EQ(column("Climate.DB", "Station Name").size(), 2);
    TSelDirForm::showCountyWindow = oldShow;
    TSelCoForm::openStationEditor = oldEditor;
    QDir::setCurrent(cwd);
}

// A freeze date is a day of the calendar or 00/00: a day the month does not
// have (02/30, 11/31) or a day 00 is refused as it is left, as 13/01 is.
TEST_F(ClimForms, StationEditorRefusesFreezeDatesOfNoDay)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    f.GotoEditBtn->click();
    const auto typeAndLeave = [&](TDBEdit* e, const QString& text) {
        e->setText(text);
        emit e->textEdited(text);
        emit e->exited();
    };
    for (const char* bad : {"02/30", "11/31", "04/31", "05/00", "00/15", "13/01"}) {
        msgs.clear();
        typeAndLeave(f.Spr28Edit, QString::fromLatin1(bad));
        EXPECT_TRUE(t->field("Spr mo/dy 28").isNull()) << bad;
        EXPECT_TRUE(msgs.lastText().startsWith(QStringLiteral("\"%1\" of Spr mo/dy 28 is not a date mm/dd")
                                                   .arg(QString::fromLatin1(bad))))
            << bad;
    }
    for (const char* ok : {"02/28", "12/31", "01/01", "00/00", "11/30"}) {
        msgs.clear();
        typeAndLeave(f.Fall28Edit, QString::fromLatin1(ok));
        EXPECT_EQ(t->field("Fall mo/dy 28").asString(), QString::fromLatin1(ok));
        EXPECT_EQ(msgs.count(), 0) << ok;
    }
}

// "Import Daily Weather..." of the station editor is for the station shown:
// a renamed station being edited is stored first and preselected, and a name
// the list does not hold preselects no station rather than the first one.
TEST_F(ClimForms, DailyImportOpensOnTheStationShown)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    QString preselected = "(not opened)";
    const auto old = runClimDialog;
    runClimDialog = [&](QDialog& d) {
        preselected = static_cast<TImportDailyDlg&>(d).StationCombo->currentText();
        return int(QDialog::Rejected);
    };
    f.ImportDailyItem->trigger();
    EXPECT_EQ(preselected, "KETCHUM RS");

    f.GotoEditBtn->click();
    f.StationNameEdit->setText("KETCHUM RANGER STATION");
    emit f.StationNameEdit->textEdited("KETCHUM RANGER STATION");
    t->field("Station Name").setAsString("KETCHUM RANGER STATION");
    f.ImportDailyItem->trigger();
    runClimDialog = old;
    EXPECT_EQ(preselected, "KETCHUM RANGER STATION");
    EXPECT_EQ(t->state(), TTable::State::Browse);
    EXPECT_TRUE(column("Climate.DB", "Station Name").contains("KETCHUM RANGER STATION"));

    TImportDailyDlg other(QStringLiteral("NO SUCH STATION"));
    EXPECT_EQ(other.StationCombo->currentIndex(), -1);
    other.FileEdit->setText(write("one.csv", "date,tmax_C,tmin_C\n2021-01-01,18,2\n"));
    other.OKBtn->click();
    EXPECT_EQ(msgs.lastText(), "Select the station the daily weather is for.");
    EXPECT_FALSE(other.lastResult().imported);
}

TEST_F(ClimForms, MainWindowButtonsOpenTheirWindows)
{
    TScriptedMessages msgs;
    TMainForm form;
    TSelDirForm sel(&form);
    QStringList opened;
    const auto old = runClimDialog;
    runClimDialog = [&](QDialog& d) {
        opened << d.objectName();
        return int(QDialog::Rejected);
    };
    form.EditClimBtn->click();
    form.EditWHRBtn->click();
    form.StateFileBtn->click();
    form.DownloadBtn->click();
    form.NoaaImportBtn->click();
    runClimDialog = old;
    EXPECT_EQ(opened, QStringList({"ClimDBForm", "WHRForm", "StateToDBForm", "ClimDBForm", "SelDirForm", "NoaaImportForm"}));
    EXPECT_TRUE(form.NoaaImportBtn->isEnabled());
}

TEST_F(ClimForms, StationAddedByHandWithItsLocationIsComputedByPenmanMonteith)
{
    TScriptedMessages msgs;
    {
        TWHRForm w;
        w.show();
        w.GotoEditBtn->click();
        w.InsertBtn->click();
        DMod->tblWHR->field("WHRLocation").setAsString("Farm WHR, Idaho");
        enter(w.LatitudeEdit, "4330");
        enter(w.LongitudeEdit, "11415");
        w.GotoEditBtn->click();
        w.close();
    }
    {
        TClimDBForm f;
        f.show();
        f.GotoEditBtn->click();
        f.InsertBtn->click();
        TTable* t = DMod->tblClim;
        t->field("Station Name").setAsString("FARM STATION");
        t->field("Station No").setAsString("1");
        enter(f.LatitudeEdit, "4330");
        enter(f.LongitudeEdit, "11415");
        // A county that is not a county key is refused where the row would be stored.
        t->field("County").setAsString("Camas County");
        f.GotoEditBtn->click();
        EXPECT_TRUE(f.editor()->isEditMode());
        EXPECT_TRUE(msgs.lastText().startsWith("Station \"FARM STATION\": County \"Camas County\" is not"))
            << msgs.lastText().toStdString();
        msgs.clear();
        t->field("County").setAsString("Camas, ID");   // a county with no station yet
        t->field("WHRLocation").setAsString("Farm WHR, Idaho");
        for (int m = 1; m <= 12; ++m) {
            enter(f.monthEdit(QStringLiteral("Tmin%1").arg(m)), QString::number(10 + 3 * m));
            enter(f.monthEdit(QStringLiteral("Tmax%1").arg(m)), QString::number(35 + 4 * m));
        }
        f.GotoEditBtn->click();
        EXPECT_FALSE(f.editor()->isEditMode());
        f.close();
    }
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    // The new county is listed, so the main program's station dialog reaches the station.
    EXPECT_TRUE(column("County", "County").contains("Camas, ID"));
    EXPECT_EQ(unlistedCounties(), QStringList());
    CropRunContext ctx;
    ctx.WeatherStationName = "FARM STATION";
    ChooseETMethod(ctx, nullptr);
    EXPECT_EQ(ctx.ETMethodIndex, 2);   // the shipped system default: Penman-Monteith with the NEH 2 curves
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
}

TEST_F(ClimForms, NewStationWithoutPositionIsNotLeftByGridOrMenus)
{
    TScriptedMessages msgs;
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    const int before = t->recordCount();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    t->field("Station Name").setAsString("NO POSITION");
    t->field("County").setAsString("Blaine, ID");
    QTest::mouseClick(f.StationGrid->viewport(), Qt::LeftButton, {}, QPoint(10, 5));
    EXPECT_EQ(t->state(), TTable::State::Insert);
    EXPECT_TRUE(msgs.lastText().contains("Latitude (empty)"));
    f.SortNameItem->trigger();
    f.PrintByStationItem->trigger();
    EXPECT_EQ(t->state(), TTable::State::Insert);
    EXPECT_TRUE(m_pages.isEmpty());
    f.CancelBtn->click();
    EXPECT_EQ(t->recordCount(), before);
}

// Every file dialog of the climate program (the state file chooser, the
// NOAA file and folder pickers, the station report preview's Save, Open and
// Export PDF) opened on the database's own folder keeps the program's hold
// on its database; the database file itself is refused as a file to read.
TEST_F(ClimForms, FileDialogsKeepTheHoldOnTheDatabase)
{
    TScriptedMessages msgs;
    const QString path = Database::path();
    TStateToDBForm state;
    TNoaaImportForm noaa;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    report::PreviewWindow preview(prepareStationList(clim));
    QList<quentest::FileDialogUse> uses{
        {"Select State *.quen File", [&] { state.SelectFileBtn->click(); }},
        {"Select File...", [&] { noaa.SelFileBtn->click(); }},
        {"Select Folder...", [&] { noaa.SelFolderBtn->click(); }, true},
    };
    for (QAction* a : {preview.actionSave(), preview.actionOpen(), preview.actionExportPdf()})
        uses.append({a->text(), [a] { a->trigger(); }});
    quentest::expectDialogsKeepTheHold(
        path, uses,
        [&] {
            clim.first();
            clim.edit();
            clim.field(QStringLiteral("Elevation")).setAsFloat(4321);
            clim.post();
        },
        QStringLiteral("SELECT COUNT(*) FROM Climate WHERE Elevation = 4321"), QStringLiteral("1"));
    EXPECT_TRUE(state.FileNameEdit->text().isEmpty());

    // Handed the database file by any road, the imports do not read it.
    msgs.clear();
    state.setFile(path);
    EXPECT_TRUE(state.FileNameEdit->text().isEmpty());
    EXPECT_TRUE(msgs.lastText().contains("is the database of the programs")) << qPrintable(msgs.lastText());
    EXPECT_TRUE(quentest::holdsDatabaseLocks(path));
}

// The station editor's map shows every station of "Climate.DB", imported
// ones included, whatever the grid filters to; a station stored with a
// longitude of 0 or the wrong sign lies in plain view far from the states;
// a click on a point makes it the current row and the current row is ringed.
TEST_F(ClimForms, StationEditorMapShowsEveryStationAndAMisplacedOneAtOnce)
{
    TScriptedMessages msgs;
    {
        // Stored as an import stores a record, with the longitude left at 0.
        TTable clim("Climate.DB");
        clim.open();
        clim.append();
        clim.field("Station Name").setAsString("IMPORTED ZERO LON");
        clim.field("Station No").setAsString("999001");
        clim.field("County").setAsString("Blaine, ID");
        clim.field("Latitude").setAsFloat(4341);
        clim.field("Longitude").setAsFloat(0);
        clim.field("Elevation").setAsFloat(5820);
        clim.post();
        clim.close();
    }
    TClimDBForm f;
    f.show();
    TTable* t = DMod->tblClim;
    ASSERT_EQ(f.StationMap->stationCount(), t->recordCount());
    auto drawnAt = [&f](const QString& name) {
        for (const TMapStation& s : f.StationMap->stations())
            if (s.name == name)
                return f.StationMap->toScreen(s.latitude, s.longitude);
        ADD_FAILURE() << name.toStdString() << " not drawn";
        return QPointF(-1, -1);
    };
    // The misplaced station is on the map as first shown, far east of Idaho.
    const QPointF zero = drawnAt("IMPORTED ZERO LON");
    EXPECT_TRUE(f.StationMap->rect().contains(zero.toPoint()));
    EXPECT_GT(zero.x(), drawnAt("KETCHUM RS").x() + 100);

    // A click on its point makes it the current row; the grid's row is ringed.
    QTest::mouseClick(f.StationMap, Qt::LeftButton, {}, zero.toPoint());
    EXPECT_EQ(t->field("Station Name").asString(), "IMPORTED ZERO LON");
    EXPECT_EQ(f.StationMap->selectedName(), "IMPORTED ZERO LON");
    ASSERT_TRUE(t->locate("Station Name", "KETCHUM RS"));
    EXPECT_EQ(f.StationMap->selectedName(), "KETCHUM RS");
    const QPointF ketchum = drawnAt("KETCHUM RS");
    QTest::mouseClick(f.StationMap, Qt::LeftButton, {}, zero.toPoint());
    EXPECT_EQ(t->field("Station Name").asString(), "IMPORTED ZERO LON");

    // Put right in the editor, it moves onto Ketchum's place at once.
    f.GotoEditBtn->click();
    enter(f.LongitudeEdit, "11422");
    f.GotoEditBtn->click();
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    f.StationMap->fitAll();
    const QPointF fixedAt = drawnAt("IMPORTED ZERO LON");
    EXPECT_NEAR(fixedAt.x(), drawnAt("KETCHUM RS").x(), 1.0);
    EXPECT_NE(ketchum, drawnAt("KETCHUM RS"));   // the view no longer reaches to longitude 0

    // A sign error (a longitude stored east, as a copied database may hold
    // it; the editor refuses one) is drawn in Asia, in view as the map opens.
    f.close();
    {
        TTable clim("Climate.DB");
        clim.open();
        ASSERT_TRUE(clim.locate("Station Name", "IMPORTED ZERO LON"));
        clim.edit();
        clim.field("Longitude").setAsFloat(-11422);
        clim.post();
        clim.close();
    }
    TClimDBForm g;
    g.show();
    bool drawn = false;
    for (const TMapStation& s : g.StationMap->stations())
        if (s.name == "IMPORTED ZERO LON") {
            drawn = true;
            EXPECT_GT(s.longitude, 114.0);
            EXPECT_TRUE(g.StationMap->rect().contains(g.StationMap->toScreen(s.latitude, s.longitude).toPoint()));
        }
    EXPECT_TRUE(drawn);
}
