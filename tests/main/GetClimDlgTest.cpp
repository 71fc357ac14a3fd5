// The station dialog's map and "Nearest to" list over the shipped stations,
// driven through the controls: a click on the map selects the county and the
// station in the grids, the grids' choice shows on the map, the list puts the
// nearest station first with its distance, height above the field and wind
// record, choosing in it moves the grids; bad positions are refused with a
// message; a station without a position is listed, not drawn.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "DBGrid.h"
#include "Database.h"
#include "DialogControls.h"
#include "GetClimDlg.h"
#include "MainDMod.h"
#include "MessageBoxes.h"
#include "StationMap.h"
#include "StationPlaces.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

namespace {

class StationDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::open(dir.filePath("stations.sqlite"));   // the shipped tables
        dmod = std::make_unique<TDMod>();
        DMod->tblClim->open();
        DMod->tblCntyList->open();
    }
    void TearDown() override
    {
        dlg.reset();
        DMod->tblClim->close();
        DMod->tblCntyList->close();
        dmod.reset();
        Database::close();
    }
    TGetClimDlg& dialog()
    {
        dlg = std::make_unique<TGetClimDlg>();
        dlg->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dlg.get()));
        return *dlg;
    }
    static QString gridText(TDBGrid* g)
    {
        const QModelIndex i = g->currentIndex();
        return i.isValid() ? g->model()->data(g->model()->index(i.row(), 0)).toString().trimmed() : QString();
    }
    static QString current(const char* field) { return fieldText(DMod->tblClim, field); }
    static void typeInto(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->clear();
        QTest::keyClicks(e, text);
    }
    static GeoPoint placeOf(const QString& name)
    {
        for (const StationPlace& p : ReadStationPlaces())
            if (p.name == name)
                return p.point;
        ADD_FAILURE() << name.toStdString();
        return {};
    }

    QTemporaryDir dir;
    std::unique_ptr<TDMod> dmod;
    std::unique_ptr<TGetClimDlg> dlg;
    TScriptedMessages msgs;
};

TEST_F(StationDialog, MapClickSelectsCountyAndStationAndGridsShowOnTheMap)
{
    TGetClimDlg& d = dialog();
    EXPECT_EQ(d.StationMap->stationCount(), ReadStationPlaces().size());   // every shipped station is drawn
    EXPECT_EQ(d.StationMap->selectedName(), current("Station Name"));       // the first station of the first county

    // A click on Boise's point: its county and it become current in the grids.
    const GeoPoint boise = placeOf("BOISE AIR TERMINAL");
    const QPoint at = d.StationMap->toScreen(boise.latitude, boise.longitude).toPoint();
    ASSERT_TRUE(d.StationMap->rect().contains(at));
    QTest::mouseClick(d.StationMap, Qt::LeftButton, {}, at);
    EXPECT_EQ(gridText(d.CountyDBGrid), "Ada, ID");
    EXPECT_EQ(gridText(d.SelectedStaDBGrid), "BOISE AIR TERMINAL");
    EXPECT_EQ(current("Station Name"), "BOISE AIR TERMINAL");
    EXPECT_EQ(d.StationNameText->text(), "BOISE AIR TERMINAL");
    EXPECT_EQ(d.StationMap->selectedName(), "BOISE AIR TERMINAL");

    // A drag pans and chooses nothing; a click on the open sea chooses nothing.
    const double before = d.StationMap->toScreen(boise.latitude, boise.longitude).x();
    QTest::mousePress(d.StationMap, Qt::LeftButton, {}, at + QPoint(30, 30));
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(80, 30)), d.StationMap->mapToGlobal(QPointF(at + QPoint(80, 30))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(d.StationMap, &move);
    QTest::mouseRelease(d.StationMap, Qt::LeftButton, {}, at + QPoint(80, 30));
    EXPECT_NEAR(d.StationMap->toScreen(boise.latitude, boise.longitude).x(), before + 50, 1.0);
    EXPECT_EQ(current("Station Name"), "BOISE AIR TERMINAL");
    const QPoint atlantic = d.StationMap->toScreen(28.0, -72.0).toPoint();
    ASSERT_TRUE(d.StationMap->rect().contains(atlantic));
    QTest::mouseClick(d.StationMap, Qt::LeftButton, {}, atlantic);
    EXPECT_EQ(current("Station Name"), "BOISE AIR TERMINAL");

    // The grids' choice shows on the map.
    d.CountyDBGrid->setFocus();
    ASSERT_TRUE(DMod->tblCntyList->locate("County", "Washoe, NV"));
    EXPECT_EQ(gridText(d.SelectedStaDBGrid), "RENO AP");
    EXPECT_EQ(d.StationMap->selectedName(), "RENO AP");
    const QModelIndex reno = d.SelectedStaDBGrid->currentIndex();
    QTest::mouseClick(d.SelectedStaDBGrid->viewport(), Qt::LeftButton, {}, d.SelectedStaDBGrid->visualRect(reno).center());
    EXPECT_EQ(d.StationMap->selectedName(), "RENO AP");

    // Zooming keeps the selection; selecting a station off the map brings it into view.
    d.StationMap->zoomIn();
    d.StationMap->zoomIn();
    d.StationMap->zoomIn();
    d.StationMap->zoomIn();
    d.StationMap->select("SAN JUAN L M MARIN INTL AP");
    ASSERT_EQ(d.StationMap->selectedName(), "SAN JUAN L M MARIN INTL AP");
    const GeoPoint sj = placeOf("SAN JUAN L M MARIN INTL AP");
    EXPECT_TRUE(d.StationMap->rect().contains(d.StationMap->toScreen(sj.latitude, sj.longitude).toPoint()));
}

TEST_F(StationDialog, NearestToListsByDistanceAndChoosingMovesTheGrids)
{
    TGetClimDlg& d = dialog();
    const GeoPoint field{43.52, -114.31};   // near Hailey, Idaho
    typeInto(d.NearestToEdit, "43 31.2 N 114 18.6 W");
    typeInto(d.FieldElevEdit, "5300");
    QTest::mouseClick(d.NearestToBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.count(), 0);
    const QTableWidget* g = d.NearestGrid;
    ASSERT_EQ(g->rowCount(), ReadStationPlaces().size());
    EXPECT_EQ(g->item(0, 0)->text(), "KETCHUM RS");
    EXPECT_EQ(g->item(0, 1)->text(), "Blaine, ID");
    const double km = GreatCircleKm(field, placeOf("KETCHUM RS"));
    EXPECT_EQ(g->item(0, 3)->text(), QString::number(km, 'f', 1));
    EXPECT_EQ(g->item(0, 2)->text(), QString::number(km / 1.609344, 'f', 1));
    EXPECT_EQ(g->item(0, 4)->text(), "5820");
    EXPECT_EQ(g->item(0, 5)->text(), "520");   // 5820 ft station above a 5300 ft field
    EXPECT_EQ(g->item(0, 6)->text(), "no");    // Ketchum has no wind record
    double last = 0.0;
    int firstWind = -1;
    for (int r = 0; r < g->rowCount(); ++r) {
        const double k = g->item(r, 3)->text().toDouble();
        EXPECT_GE(k, last) << r;
        last = k;
        if (firstWind < 0 && g->item(r, 6)->text() == "yes")
            firstWind = r;
    }
    ASSERT_GT(firstWind, 0);

    // Choosing a row makes it the grids' station, as choosing it there does.
    const QString name = g->item(firstWind, 0)->text();
    const QString county = g->item(firstWind, 1)->text();
    QTest::mouseClick(d.NearestGrid->viewport(), Qt::LeftButton, {},
                      d.NearestGrid->visualItemRect(g->item(firstWind, 0)).center());
    EXPECT_EQ(current("Station Name"), name);
    EXPECT_EQ(gridText(d.CountyDBGrid), county);
    EXPECT_EQ(gridText(d.SelectedStaDBGrid), name);
    EXPECT_EQ(d.StationMap->selectedName(), name);
    EXPECT_EQ(d.StationNameText->text(), name);

    // Decimal degrees give the same list; without the field's elevation the height column is empty.
    typeInto(d.NearestToEdit, "43.52, -114.31");
    d.FieldElevEdit->clear();
    QTest::keyClick(d.NearestToEdit, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible()) << "Return in the position field lists; it does not close the dialog";
    EXPECT_EQ(g->item(0, 0)->text(), "KETCHUM RS");
    EXPECT_EQ(g->item(0, 5)->text(), "");

    // Bad text is refused with a message and leaves the list as it was.
    for (const char* bad : {"43.52", "43 31 W 114 18 N", "95, -114", "43,52, -114,31"}) {
        msgs.clear();
        typeInto(d.NearestToEdit, bad);
        QTest::mouseClick(d.NearestToBtn, Qt::LeftButton);
        ASSERT_EQ(msgs.count(), 1) << bad;
        EXPECT_EQ(msgs.shown()[0].kind, MsgKind::Error);
        EXPECT_EQ(msgs.shown()[0].text, ParsePosition(bad).error);
        EXPECT_EQ(g->item(0, 0)->text(), "KETCHUM RS");
    }
    msgs.clear();
    typeInto(d.NearestToEdit, "43.52, -114.31");
    typeInto(d.FieldElevEdit, "high");
    QTest::mouseClick(d.NearestToBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.count(), 1);
}

TEST_F(StationDialog, StationWithoutPositionIsListedNotDrawn)
{
    {
        TTable clim("Climate.DB");
        clim.open();
        ASSERT_TRUE(clim.locate("Station Name", "KETCHUM RS"));
        clim.edit();
        clim.field("Latitude").clear();
        clim.post();
        clim.close();
    }
    TGetClimDlg& d = dialog();
    const qsizetype all = ReadStationPlaces().size();
    EXPECT_EQ(d.StationMap->stationCount(), all - 1);
    typeInto(d.NearestToEdit, "43.52, -114.31");
    QTest::mouseClick(d.NearestToBtn, Qt::LeftButton);
    const QTableWidget* g = d.NearestGrid;
    ASSERT_EQ(g->rowCount(), all);
    EXPECT_NE(g->item(0, 0)->text(), "KETCHUM RS");
    EXPECT_EQ(g->item(g->rowCount() - 1, 0)->text(), "KETCHUM RS");
    EXPECT_TRUE(g->item(g->rowCount() - 1, 2)->text().startsWith("no position"));
    // Chosen from the list, it still becomes the grids' station.
    QTest::mouseClick(d.NearestGrid->viewport(), Qt::LeftButton, {},
                      d.NearestGrid->visualItemRect(g->item(g->rowCount() - 1, 0)).center());
    EXPECT_EQ(current("Station Name"), "KETCHUM RS");
    EXPECT_EQ(d.StationMap->selectedName(), "");   // not on the map
}

} // namespace
