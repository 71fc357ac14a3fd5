// The crop database program's editors, driven offscreen as a user drives
// them: modal dialogs run through the test driver, message boxes through
// TScriptedMessages, reports through the report sink.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "BasFieldVegForm.h"
#include "BasGrassForm.h"
#include "BasPerenForm.h"
#include "ComputeCrop.h"
#include "CropDMod.h"
#include "CropForm.h"
#include "GetBCDlg.h"
#include "GetBasDlg.h"
#include "GetFAODlg.h"
#include "CropGridPick.h"
#include "MainForm.h"
#include "CropReports.h"
#include "Database.h"
#include "DialogHoldCheck.h"
#include "DefLocDlg.h"
#include "FAO56CropsForm.h"
#include "FAOTable11data.h"
#include "GetCropName.h"
#include "GetCropType.h"
#include "KcCalculateForm.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageBoxes.h"
#include "NumEdit.h"
#include "AnTypeForm.h"
#include "BCAnuForm.h"
#include "BCPerenForm.h"
#include "PreviewWindow.h"
#include "Table.h"

using namespace quen;
using namespace quen::cropprog;
using namespace quen::croptest;

namespace {

// Installs a driver for the modal dialogs for the life of the object.
struct Driver {
    explicit Driver(std::function<void(QDialog&)> d) { setModalDriver(std::move(d)); }
    ~Driver() { setModalDriver({}); }
};

struct ReportCapture {
    QList<report::PreparedReport> pages;
    ReportCapture() { setReportSink([this](const report::PreparedReport& p) { pages << p; }); }
    ~ReportCapture() { setReportSink({}); }
    QStringList lastTexts() const { return pages.isEmpty() ? QStringList() : reportTexts(pages.last()); }
};

// Opens tables for a window and closes them after, as the main window does.
struct OpenTables {
    QList<TTable*> tables;
    explicit OpenTables(std::initializer_list<TTable*> t) : tables(t)
    {
        for (TTable* x : tables)
            if (!x->isOpen()) x->open();
    }
    ~OpenTables()
    {
        for (TTable* x : tables) x->close();
    }
};

QString s(TTable* t, const char* f) { return t->field(QLatin1String(f)).asString(); }

// Runs the main program's computation for one working crop with the given
// curve at the shipped station with wind data; returns the season crop ET.
// firstKcb: when given, the first daily basal Kc the curve must produce.
double computeWithCurve(int curveIndex, const QString& curveName, int etIndex, double firstKcb = -1)
{
    const QString oldDir = QDir::currentPath();
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    CropRunContext ctx;
    CropCurveState state;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    EXPECT_TRUE(clim.locate("Station Name", "MARICOPA AZMET"));
    ctx.WeatherStationName = "MARICOPA AZMET";
    ctx.JobName = "Crop DB test job";
    ctx.CropName = "Test crop";
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyPrecip[m] = clim.field(QStringLiteral("P%1").arg(m)).asFloat();
        ctx.MonthlyTemp[m] = clim.field(QStringLiteral("T%1").arg(m)).asFloat();
        ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
    }
    clim.close();
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.open();
    wk.append();
    wk.field("Crop Name").setAsString("Test crop");
    wk.field("Job Name").setAsString("Crop DB test job");
    wk.field("Crop No").setAsInteger(1);
    wk.field("Curve Index").setAsInteger(curveIndex);
    wk.field("Curve Name").setAsString(curveName);
    wk.field("Net Irr").setAsFloat(3);
    wk.field("Plant Mo").setAsInteger(4);
    wk.field("Plant Day").setAsInteger(15);
    wk.field("Harvest Mo").setAsInteger(8);
    wk.field("Harvest Day").setAsInteger(15);
    wk.field("Soil").setAsString("Silt Loam");
    wk.field("Stress Factor").setAsFloat(1.0);
    wk.field("Fraction Wetted").setAsFloat(1.0);
    wk.field("Dys Wet Developed").setAsInteger(7);
    wk.field("Dys Wet Mature").setAsInteger(14);
    wk.field("ET Index").setAsInteger(etIndex);
    wk.post();
    ComputeCrop(ctx, state, wk);
    for (int m = 1; m <= 12; ++m) EXPECT_TRUE(std::isfinite(ctx.MonthlyKc[m])) << m;
    if (firstKcb >= 0) {
        TTable etkc(QStringLiteral("ETKc.db"));
        etkc.open();
        etkc.first();
        EXPECT_DOUBLE_EQ(etkc.field("Kcb").asFloat(), firstKcb);
        etkc.close();
    }
    wk.emptyTable();
    wk.close();
    QDir::setCurrent(oldDir);
    return ctx.TotalCropET;
}

} // namespace

TEST(CropForm, ModesCaptionsAndCurveButtons)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TCropForm f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Review or Edit Local Crop Database [Read Only Mode]");
    for (QPushButton* b : {f.GetBasBtn, f.GetBCBtn, f.GetFAOBtn, f.InsertBtn, f.CancelBtn, f.DeleteBtn})
        EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_EQ(f.FAOLabel->text(), s(DMod->tblCreateCrp, "FAOCropCurveName").isEmpty() ? "No FAO 56 curve"
                                                                                       : "FAO 56 Crop Curve Name");
    f.GotoEditBtn->click();
    EXPECT_EQ(f.windowTitle(), "Review or Edit Local Crop Database [Edit Mode]");
    EXPECT_EQ(f.GotoEditBtn->text(), "Stop Edit");
    for (QPushButton* b : {f.GetBasBtn, f.GetBCBtn, f.GetFAOBtn, f.InsertBtn, f.CancelBtn, f.DeleteBtn})
        EXPECT_TRUE(b->isEnabled());
    f.GotoEditBtn->click();
    EXPECT_EQ(f.windowTitle(), "Review or Edit Local Crop Database [Read Only Mode]");
    // Delete asks with the crop's name as title; No keeps the row.
    f.GotoEditBtn->click();
    const int before = DMod->tblCreateCrp->recordCount();
    msgs.answer(MsgResult::No);
    f.DeleteBtn->click();
    EXPECT_EQ(msgs.shown().last().text, "DELETE THIS CROP RECORD?");
    EXPECT_EQ(msgs.shown().last().caption, s(DMod->tblCreateCrp, "Cop Name"));
    EXPECT_EQ(DMod->tblCreateCrp->recordCount(), before);
    f.close();
}

// A new crop through the three curve dialogs lands in "QuenCrop.DB" with the
// curves chosen; new-record mode ends when the row is posted.
TEST(CropForm, NewCropThroughAllThreeCurveDialogs)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TCropForm f;
    f.show();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    EXPECT_TRUE(f.NewRecordMode);
    QTest::keyClicks(f.CropNameEdit, "Test beans local");

    QStringList seen;
    QString basCurve, bcCurve, faoCurve, faoType;
    Driver driver([&](QDialog& d) {
        seen << d.windowTitle();
        if (auto* bas = qobject_cast<TGetBasDlg*>(&d)) {
            // Pre-filled from "CrpLastUse.db": HM, field and vegetable crops.
            EXPECT_EQ(s(DMod->tblCreateCrp, "Humidity/Wind"), "HM");
            EXPECT_EQ(s(DMod->tblCreateCrp, "Bas Crop Type"), "Field and vegetable crops");
            EXPECT_EQ(s(DMod->tblCreateCrp, "Bas Crop Curve Name"), s(DMod->tblLastUse, "Basil Curve Name"));
            EXPECT_EQ(bas->KindRadio->itemIndex(), 0);
            EXPECT_EQ(bas->HumWindRadio->itemIndex(), 0);
            bas->HumWindRadio->clickItem(3);   // arid, strong wind
            EXPECT_EQ(s(DMod->tblCreateCrp, "Humidity/Wind"), "AS");
            // The list shows only the curves of that condition.
            TTable* t = bas->datCurves->dataSet();
            ASSERT_GT(t->recordCount(), 1);
            for (t->first(); !t->eof(); t->next()) EXPECT_EQ(s(t, "Climate/Wind"), "AS");
            chooseRow(bas->CurveList, 1);
            basCurve = bas->CurveList->model()->index(1, 0).data().toString();
            EXPECT_TRUE(bas->InfoLabel->text().startsWith("Crop Type ="));
            bas->OKBtn->click();
        } else if (auto* bc = qobject_cast<TGetBCDlg*>(&d)) {
            EXPECT_EQ(s(DMod->tblCreateCrp, "BC Crop Curve Name"), s(DMod->tblLastUse, "BC Curve Name"));
            EXPECT_EQ(s(DMod->tblCreateCrp, "BC Crop Type"), "Blaney Criddle Annual Crop");
            ASSERT_GT(bc->CurveList->model()->rowCount(), 1);
            chooseRow(bc->CurveList, 0);
            bcCurve = bc->CurveList->model()->index(0, 0).data().toString();
            bc->OKBtn->click();
        } else if (auto* fao = qobject_cast<TGetFAODlg*>(&d)) {
            EXPECT_EQ(s(DMod->tblCreateCrp, "FAOCropCurveName"), s(DMod->tblLastUse, "FAOCurveName"));
            chooseRow(fao->CurveGrid, 2);
            faoCurve = s(DMod->tblFAOcurv, "CropCurveName");
            faoType = s(DMod->tblFAOcurv, "FAOCropType");
            fao->OKBtn->click();
        }
    });
    f.GetBasBtn->click();
    // New-record mode, no Blaney-Criddle type yet: the BC dialog follows.
    EXPECT_EQ(seen, (QStringList{"Get Basal Kc Curve Data", "BC Kc Crop Curve Data"}));
    EXPECT_EQ(f.BasTypeLabel->text(), "Grass Reference Crop Type");
    // Nothing posted yet: the new row is still pending.
    EXPECT_EQ(DMod->tblCreateCrp->state(), TTable::State::Insert);
    f.GetFAOBtn->click();
    EXPECT_EQ(seen.last(), "Get FAO 56 Curve Data");
    EXPECT_EQ(f.FAOLabel->text(), "FAO 56 Crop Curve Name");
    EXPECT_TRUE(f.NewRecordMode);
    f.GotoEditBtn->click();   // Stop Edit posts
    EXPECT_FALSE(f.NewRecordMode);
    EXPECT_TRUE(msgs.shown().isEmpty()) << msgs.lastText().toStdString();
    f.close();

    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    ASSERT_TRUE(crops.locate("Cop Name", "Test beans local"));
    EXPECT_EQ(crops.field("Bas Crop Type").asString(), "Field and vegetable crops");
    EXPECT_EQ(crops.field("Humidity/Wind").asString(), "AS");
    EXPECT_EQ(crops.field("Bas Crop Curve Name").asString(), basCurve);
    EXPECT_EQ(crops.field("BC Crop Type").asString(), "Blaney Criddle Annual Crop");
    EXPECT_EQ(crops.field("BC Crop Curve Name").asString(), bcCurve);
    EXPECT_EQ(crops.field("FAOCropCurveName").asString(), faoCurve);
    EXPECT_EQ(crops.field("FAOCropType").asString(), faoType);
    // Each curve named exists in its table, as the main program looks it up.
    TTable basal(QStringLiteral("CrpAnNam.DB")), bc(QStringLiteral("CrpBCAnu.DB")), fao(QStringLiteral("CrpFAOCurv.DB"));
    for (TTable* t : {&basal, &bc, &fao}) t->open();
    EXPECT_TRUE(basal.locate("Crop Curve Name", basCurve));
    EXPECT_EQ(basal.field("Climate/Wind").asString(), "AS");
    EXPECT_TRUE(bc.locate("Crop Curve Name", bcCurve));
    EXPECT_TRUE(fao.locate("CropCurveName", faoCurve));
    for (TTable* t : {&basal, &bc, &fao}) t->close();
    // The main program computes with each of the three curves by its method:
    // basal curve (index 0) and FAO 56 curve (index 5) with Penman-Monteith,
    // the Blaney-Criddle annual curve (index 3) with Blaney-Criddle.
    EXPECT_GT(computeWithCurve(0, basCurve, 2), 0.0);
    EXPECT_GT(computeWithCurve(3, bcCurve, 1), 0.0);
    EXPECT_GT(computeWithCurve(5, faoCurve, 3), 0.0);
    crops.remove();
    crops.close();
}

// New-record mode ends with the new row: a curve dialog opened later on an
// existing crop keeps that crop's choices and posts them.
TEST(CropForm, NewRecordModeEndsWhenTheNewRowIsPostedOrCancelled)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TCropForm f;
    f.show();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    EXPECT_TRUE(f.NewRecordMode);
    f.CancelBtn->click();
    EXPECT_FALSE(f.NewRecordMode);

    TTable* t = DMod->tblCreateCrp;
    ASSERT_TRUE(t->locate("Cop Name", "Alfalfa hay"));
    const QString bcType = s(t, "BC Crop Type");
    const QString bas = s(t, "Bas Crop Curve Name");
    const QString fao = s(t, "FAOCropCurveName");
    Driver driver([&](QDialog& d) {
        if (auto* bc = qobject_cast<TGetBCDlg*>(&d)) bc->CancelBtn->click();
        if (auto* b = qobject_cast<TGetBasDlg*>(&d)) b->CancelBtn->click();
        if (auto* x = qobject_cast<TGetFAODlg*>(&d)) x->CancelBtn->click();
    });
    f.GetBasBtn->click();
    f.GetFAOBtn->click();
    EXPECT_EQ(s(t, "Bas Crop Curve Name"), bas);
    EXPECT_EQ(s(t, "FAOCropCurveName"), fao);
    EXPECT_EQ(s(t, "BC Crop Type"), bcType);
    EXPECT_EQ(t->state(), TTable::State::Browse);   // posted by the dialogs
    // "Alfalfa hay" has no Blaney-Criddle curve: the basal dialog of an
    // existing crop does not chain to the BC dialog.
    EXPECT_TRUE(msgs.shown().isEmpty()) << msgs.lastText().toStdString();

    // Posting a new row ends the mode too.
    f.InsertBtn->click();
    QTest::keyClicks(f.CropNameEdit, "Mode test crop");
    f.GotoEditBtn->click();
    EXPECT_FALSE(f.NewRecordMode);
    ASSERT_TRUE(t->locate("Cop Name", "Mode test crop"));
    t->remove();
    f.close();
}

TEST(CropForm, BasalDialogUnknownKindAndDontUse)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TCropForm f;
    f.show();
    f.GotoEditBtn->click();
    TTable* t = DMod->tblCreateCrp;
    t->append();
    t->field("Cop Name").setAsString("Odd kind crop");
    t->field("Bas Crop Type").setAsString("Trees");
    t->field("Humidity/Wind").setAsString("HM");
    t->field("BC Crop Type").setAsString("Blaney Criddle Annual Crop");
    t->post();
    Driver driver([&](QDialog& d) {
        if (auto* b = qobject_cast<TGetBasDlg*>(&d)) {
            EXPECT_EQ(b->KindRadio->itemIndex(), -1);
            b->DontUseBtn->click();
        }
    });
    f.GetBasBtn->click();
    EXPECT_TRUE(msgs.texts().contains("On activate Bas Crop Type not found."));
    EXPECT_EQ(s(t, "Bas Crop Type"), "");
    EXPECT_EQ(s(t, "Bas Crop Curve Name"), "");
    EXPECT_EQ(s(t, "Humidity/Wind"), "");
    EXPECT_EQ(f.BasTypeLabel->text(), "No Grass Reference Crop");
    EXPECT_EQ(t->state(), TTable::State::Browse);
    t->remove();
    f.close();
}

// Choosing another condition, kind or type re-lists the curves with the first
// one highlighted; the crop keeps the curve the list shows, never a curve of
// another condition or table left over from the previous choice.
TEST(CropForm, CurveDialogsKeepTheCurveTheListShows)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TTable an(QStringLiteral("CrpAnNam.DB"));
    an.open();
    QString hmCurve;
    for (an.first(); !an.eof() && hmCurve.isEmpty(); an.next())
        if (s(&an, "Climate/Wind") == "HM") hmCurve = s(&an, "Crop Curve Name");
    an.close();
    ASSERT_FALSE(hmCurve.isEmpty());
    TCropForm f;
    f.show();
    f.GotoEditBtn->click();
    TTable* t = DMod->tblCreateCrp;
    t->append();
    t->field("Cop Name").setAsString("Condition change crop");
    t->field("Bas Crop Type").setAsString("Field and vegetable crops");
    t->field("Humidity/Wind").setAsString("HM");
    t->field("Bas Crop Curve Name").setAsString(hmCurve);
    t->field("BC Crop Type").setAsString("Blaney Criddle Annual Crop");
    t->post();
    QString shownAfterCondition, shownAfterKind;
    Driver driver([&](QDialog& d) {
        auto* b = qobject_cast<TGetBasDlg*>(&d);
        if (!b) return;
        EXPECT_EQ(b->CurveList->currentIndex().data().toString(), hmCurve);
        b->HumWindRadio->clickItem(2);   // arid, moderate wind
        shownAfterCondition = b->CurveList->currentIndex().data().toString();
        EXPECT_EQ(s(t, "Bas Crop Curve Name"), shownAfterCondition);
        b->KindRadio->clickItem(1);      // perennial and specialty crops
        shownAfterKind = b->CurveList->currentIndex().data().toString();
        b->OKBtn->click();
    });
    f.GetBasBtn->click();
    ASSERT_FALSE(shownAfterKind.isEmpty());
    EXPECT_EQ(s(t, "Humidity/Wind"), "AM");
    EXPECT_EQ(s(t, "Bas Crop Type"), "Perennial and specialty crops");
    EXPECT_EQ(s(t, "Bas Crop Curve Name"), shownAfterKind);
    TTable per(QStringLiteral("CrpPeren.DB"));
    per.open();
    EXPECT_TRUE(per.locate("Crop Curve Name", shownAfterKind));
    EXPECT_EQ(s(&per, "Humidity/Wind"), "AM");
    per.close();
    // The Blaney-Criddle dialog likewise: another type lists the other
    // table's curves and the crop takes the one highlighted.
    QString annualCurve = s(t, "BC Crop Curve Name"), shownAfterType;
    Driver bcDriver([&](QDialog& d) {
        auto* b = qobject_cast<TGetBCDlg*>(&d);
        if (!b) return;
        chooseRow(b->CurveList, 1);
        annualCurve = b->CurveList->currentIndex().data().toString();
        EXPECT_EQ(s(t, "BC Crop Curve Name"), annualCurve);
        b->TypeRadio->clickItem(1);   // perennial
        shownAfterType = b->CurveList->currentIndex().data().toString();
        b->OKBtn->click();
    });
    f.GetBCBtn->click();
    ASSERT_FALSE(shownAfterType.isEmpty());
    EXPECT_EQ(s(t, "BC Crop Type"), "Blaney Criddle Perennial Crop");
    EXPECT_EQ(s(t, "BC Crop Curve Name"), shownAfterType);
    TTable bcPer(QStringLiteral("CrpBCPer.DB"));
    bcPer.open();
    EXPECT_TRUE(bcPer.locate("Crop Curve Name", shownAfterType));
    EXPECT_FALSE(bcPer.locate("Crop Curve Name", annualCurve));
    bcPer.close();
    EXPECT_TRUE(msgs.shown().isEmpty()) << msgs.lastText().toStdString();
    t->remove();
    f.close();
}

TEST(CropForm, TemperatureTwinsOnlyOnExistingRows)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TCropForm f;
    f.show();
    f.GotoEditBtn->click();
    TTable* t = DMod->tblCreateCrp;
    t->first();
    t->edit();
    t->field("SpringAvTemp").setAsFloat(32);
    f.SpringAvTempExit();
    EXPECT_DOUBLE_EQ(t->field("SpringAvTempM").asFloat(), 0.0);
    t->field("FallAvTempM").setAsFloat(10);
    f.FallAvTempMExit();
    EXPECT_DOUBLE_EQ(t->field("FallAvTemp").asFloat(), 50.0);
    t->cancel();
    f.InsertBtn->click();
    t->field("SpringAvTemp").setAsFloat(32);
    f.SpringAvTempExit();
    EXPECT_TRUE(t->field("SpringAvTempM").isNull());
    f.CancelBtn->click();
    f.close();
}

// A default growth date keeps its day within its month, whichever of the two
// is typed last: February 31 becomes February 28 with the main program's
// month-day message, April 31 April 30; a valid date passes without a word.
TEST(CropForm, GrowthDateDayBeyondItsMonthIsCorrected)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TTable* t = DMod->tblCreateCrp;
    TCropForm f;
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    const QString crop = s(t, "Cop Name");
    int before[4];
    const char* fields[] = {"Plant Mo", "Plant Day", "Harvest Mo", "Harvest Day"};
    for (int i = 0; i < 4; ++i) before[i] = t->field(fields[i]).asInteger();
    f.GotoEditBtn->click();
    f.PageControl->setCurrentIndex(1);
    auto type = [](TNumEdit* e, const char* text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    };
    type(f.HarvestMoEdit, "2");
    type(f.HarvestDayEdit, "31");
    EXPECT_EQ(msgs.lastText(), "Month number 2 has maximum of 28 days.");
    EXPECT_EQ(t->field("Harvest Day").asInteger(), 28);
    EXPECT_EQ(f.HarvestDayEdit->text(), "28");
    msgs.clear();
    type(f.PlantMoEdit, "1");
    type(f.PlantDayEdit, "31");
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    type(f.PlantMoEdit, "4");
    EXPECT_EQ(msgs.lastText(), "Month number 4 has maximum of 30 days.");
    EXPECT_EQ(t->field("Plant Day").asInteger(), 30);
    f.GotoEditBtn->click();   // Stop Edit posts
    ASSERT_TRUE(t->locate("Cop Name", crop));
    EXPECT_EQ(t->field("Plant Mo").asInteger(), 4);
    EXPECT_EQ(t->field("Plant Day").asInteger(), 30);
    EXPECT_EQ(t->field("Harvest Mo").asInteger(), 2);
    EXPECT_EQ(t->field("Harvest Day").asInteger(), 28);
    t->edit();
    for (int i = 0; i < 4; ++i) t->field(fields[i]).setAsInteger(before[i]);
    t->post();
    f.close();
}

// However the editor is closed (Escape, the close box, Close), the number
// being typed is stored as leaving its field stores it; one the field
// refuses keeps the editor open with the message naming the field.
TEST(CropForm, ClosingAnyWayPostsTheNumberBeingTyped)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TTable* t = DMod->tblCreateCrp;
    const char* ways[] = {"Escape", "close box", "Close"};
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(ways[way]);
        for (bool refused : {false, true}) {
            msgs.clear();
            TCropForm f;
            f.show();
            f.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
            const QString crop = s(t, "Cop Name");
            const int before = t->field("Min Grow Days").asInteger();
            f.GotoEditBtn->click();
            f.PageControl->setCurrentIndex(2);
            TNumEdit* e = f.MinGrowDaysEdit;
            e->setFocus();
            e->selectAll();
            const int days = 100 + way;
            // Too many digits for "iii" is refused, not cut to 400.
            QTest::keyClicks(e, refused ? QStringLiteral("4000") : QString::number(days));
            if (way == 0) QTest::keyClick(e, Qt::Key_Escape);
            else if (way == 1) f.close();
            else QTest::mouseClick(f.CloseBtn, Qt::LeftButton);
            if (!refused) {
                EXPECT_EQ(msgs.count(), 0);
                EXPECT_FALSE(f.isVisible());
                EXPECT_EQ(t->state(), TTable::State::Browse);
                ASSERT_TRUE(t->locate("Cop Name", crop));
                EXPECT_EQ(t->field("Min Grow Days").asInteger(), days);
                continue;
            }
            ASSERT_EQ(msgs.count(), 1);
            EXPECT_EQ(msgs.lastText(), "Min Grow Days: 4000 is out of range. Enter a number from 0 to 366.");
            EXPECT_TRUE(f.isVisible());
            QApplication::processEvents();
            EXPECT_EQ(QApplication::focusWidget(), e);
            EXPECT_EQ(e->text(), QString::number(before));
            f.close();
            EXPECT_FALSE(f.isVisible());
            ASSERT_TRUE(t->locate("Cop Name", crop));
            EXPECT_EQ(t->field("Min Grow Days").asInteger(), before);
        }
    }
}

TEST(CropReports, CropListAndAllMarked)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    ReportCapture cap;
    TCropForm f;
    f.show();
    f.PrintCropNameListClick();
    QStringList all = cap.lastTexts();
    EXPECT_TRUE(all.contains("Quen Crop Database"));
    EXPECT_TRUE(all.contains("Basil Crop Curve Name"));
    EXPECT_TRUE(all.contains("Alfalfa hay"));
    EXPECT_TRUE(all.contains("Total Number of Local Crops:  " + QString::number(DMod->tblCreateCrp->recordCount())));
    EXPECT_TRUE(all.filter("Date:").size() >= 1);
    // Marks: clear all, mark one, print all marked.
    f.Editor->clearAllMarks();
    ASSERT_TRUE(DMod->tblCreateCrp->locate("Cop Name", "Alfalfa hay"));
    f.MarkBtnClick();
    EXPECT_TRUE(DMod->tblCreateCrp->field("Marked").asBoolean());
    f.PrintAllMarkedClick();
    all = cap.lastTexts();
    EXPECT_TRUE(all.contains("Alfalfa hay"));
    EXPECT_EQ(all.count("Crop Name"), 1);
    EXPECT_TRUE(all.contains("Spring Average Temperature"));
    EXPECT_FALSE(DMod->tblCreateCrp->filtered());
    f.Editor->clearAllMarks();
    f.close();
}

TEST(BasalEditors, ShowByRangesAndShowAll)
{
    OpenTables open{DMod->tblBasFldVeg, DMod->tblAnType};
    TScriptedMessages msgs;
    TTable* t = DMod->tblBasFldVeg;
    t->append();
    t->field("Crop Curve Name").setAsString("1st digit curve");
    t->field("Climate/Wind").setAsString("AS");
    t->post();
    TBasFieldVegForm f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Review or Edit Basal Kc Curves for Field and Vegetable Crops [Read Only Mode]");
    const int total = t->recordCount();
    f.ShowByClick(3);
    const int as = t->recordCount();
    EXPECT_GT(as, 0);
    EXPECT_LT(as, total);
    for (t->first(); !t->eof(); t->next()) EXPECT_EQ(s(t, "Climate/Wind"), "AS");
    EXPECT_EQ(f.CurveGrid->model()->rowCount(), as);
    f.ShowAllClick();
    EXPECT_EQ(t->recordCount(), total - 1);   // the name starting with a digit is outside the range
    EXPECT_EQ(rowOf(f.CurveGrid, "1st digit curve"), -1);
    f.ShowByClick(3);
    ASSERT_TRUE(t->locate("Crop Curve Name", "1st digit curve"));
    f.GotoEditBtn->click();
    msgs.answer(MsgResult::Yes);
    f.DeleteBtnClick();
    EXPECT_EQ(msgs.shown().last().caption, "1st digit curve");
    EXPECT_EQ(msgs.shown().last().text, "Delete?");
    EXPECT_FALSE(t->locate("Crop Curve Name", "1st digit curve"));
    f.close();
    t->cancelRange();
}

TEST(BasalEditors, MarksAndPrintAllMarked)
{
    OpenTables open{DMod->tblBasPeren};
    TScriptedMessages msgs;
    ReportCapture cap;
    TBasPerenForm f;
    f.show();
    TTable* t = DMod->tblBasPeren;
    f.Editor->markAll();
    f.ShowAllMarkedItem->setChecked(true);
    const int all = t->recordCount();
    f.ShowAllMarkedItem->setChecked(false);
    EXPECT_EQ(all, t->recordCount());
    f.Editor->clearAllMarks();
    f.ShowAllMarkedItem->setChecked(true);
    EXPECT_EQ(t->recordCount(), 0);
    f.ShowAllMarkedItem->setChecked(false);
    t->first();
    const QString first = s(t, "Crop Curve Name");
    f.MarkBtn->click();
    f.PrintAllMarkedClick();
    const QStringList texts = cap.lastTexts();
    EXPECT_TRUE(texts.contains("Perennial Print All Marked"));
    EXPECT_TRUE(texts.contains(first));
    EXPECT_EQ(texts.count("Jan Kc"), 1);
    t->last();
    EXPECT_FALSE(texts.contains(s(t, "Crop Curve Name")));
    f.PrintListClick();
    EXPECT_TRUE(cap.lastTexts().contains("Basil Perennial List"));
    EXPECT_TRUE(cap.lastTexts().contains(s(t, "Crop Curve Name")));
    f.Editor->clearAllMarks();
    f.close();
}

// "Jun Kc" is required: the post is refused, the row stays in edit and the
// window stays in edit mode.
TEST(BasalEditors, RequiredFieldRefusalKeepsTheRowInEdit)
{
    OpenTables open{DMod->tblBasPeren};
    TScriptedMessages msgs;
    TBasPerenForm f;
    f.show();
    TTable* t = DMod->tblBasPeren;
    const int before = t->recordCount();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    QTest::keyClicks(f.CurveNameEdit, "Refused perennial");
    f.ConditionRadio->setItemIndex(1);
    for (const char* m : {"Apr Kc", "May Kc", "Jul Kc", "Aug Kc"}) t->field(m).setAsFloat(0.8);
    EXPECT_THROW(f.GotoEditBtn->click(), DbError);
    EXPECT_TRUE(f.Editor->isEditMode());
    EXPECT_EQ(t->state(), TTable::State::Insert);
    EXPECT_EQ(s(t, "Crop Curve Name"), "Refused perennial");
    // Closing the window is refused the same way: nothing is lost.
    f.close();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(msgs.lastText().contains("Jun Kc")) << msgs.lastText().toStdString();
    EXPECT_EQ(t->state(), TTable::State::Insert);
    t->field("Jun Kc").setAsFloat(0.9);
    f.GotoEditBtn->click();
    EXPECT_FALSE(f.Editor->isEditMode());
    EXPECT_EQ(t->recordCount(), before + 1);
    ASSERT_TRUE(t->locate("Crop Curve Name", "Refused perennial"));
    EXPECT_EQ(s(t, "Humidity/Wind"), "HS");
    t->remove();
    f.close();
}

TEST(BasalEditors, GrassWindowAndReports)
{
    OpenTables open{DMod->tblBasGrass};
    TScriptedMessages msgs;
    ReportCapture cap;
    TBasGrassForm f;
    f.show();
    EXPECT_EQ(f.windowTitle(), "Review or Edit Basal Kc Curves for Grass Crops [Read Only Mode]");
    EXPECT_EQ(f.ConditionRadio->title(), "Humidity/Wind condition selection");
    f.PrintListClick();
    const QStringList texts = cap.lastTexts();
    EXPECT_TRUE(texts.contains("Bas Forage and Grass List"));
    EXPECT_TRUE(texts.contains("Growing Conditions"));
    EXPECT_TRUE(texts.contains("Total Number of Crop Curves:  " + QString::number(DMod->tblBasGrass->recordCount())));
    f.close();
}

TEST(PlainEditors, ClosingPostsAndListReports)
{
    OpenTables open{DMod->tblBCPeren, DMod->tblBCAnnual, DMod->tblAnType};
    TScriptedMessages msgs;
    ReportCapture cap;
    {
        TBCPerenForm f;
        f.show();
        EXPECT_EQ(f.windowTitle(), "Review or Edit BC TR21 Kc Curves for Perennial Crops");
        EXPECT_EQ(f.ValueEdits.size(), 25);
        f.Navigator->click(TDBNavigator::Insert);
        QTest::keyClicks(f.NameEdit, "Plain close test");
        DMod->tblBCPeren->field("Dec 31 Kc").setAsFloat(0.77);
        DMod->tblBCPeren->field("Jan 1 Kc").setAsFloat(0.66);
        f.CloseBtn->click();
    }
    ASSERT_TRUE(DMod->tblBCPeren->locate("Crop Curve Name", "Plain close test"));
    const report::PreparedReport pages = prepareBCPerenList(*DMod->tblBCPeren);
    const QStringList texts = reportTexts(pages);
    EXPECT_TRUE(texts.contains("Blaney Criddle Perennial List"));
    EXPECT_TRUE(texts.contains("0.66"));
    EXPECT_FALSE(texts.contains("0.77"));   // Dec 31 is not listed
    DMod->tblBCPeren->remove();
    {
        TBCAnuForm f;
        f.show();
        EXPECT_EQ(f.ValueEdits.size(), 21);
        f.ListBtn->click();
        EXPECT_TRUE(cap.lastTexts().contains("Blaney Criddle Annual List"));
        EXPECT_TRUE(cap.lastTexts().contains("Total Number of Crop Curves:  " +
                                             QString::number(DMod->tblBCAnnual->recordCount())));
        f.close();
    }
    {
        TAnTypeForm f;
        f.show();
        f.ListBtn->click();
        EXPECT_TRUE(cap.lastTexts().contains("Crop Type (Field and Vegetable)"));
        EXPECT_TRUE(cap.lastTexts().contains("Total Number of Crop Types  " +
                                             QString::number(DMod->tblAnType->recordCount())));
        f.close();
    }
}

TEST(FAO56, Table11CalculateThisCrop)
{
    OpenTables open{DMod->tblFAOTbl11};
    TScriptedMessages msgs;
    TFAOTable11data w;
    w.show();
    TTable* t = DMod->tblFAOTbl11;
    t->append();
    t->field("CropName").setAsString("Stage test");
    t->field("Lini").setAsFloat(30);
    t->field("Ldev").setAsFloat(40);
    t->field("Lmid").setAsFloat(50);
    t->field("Llate").setAsFloat(30);
    t->field("TotalDays").setAsFloat(160);
    t->post();
    w.CalcBtn->click();
    EXPECT_EQ(msgs.lastText(), "Lini+Ldev+Lmid+Llate must = TotalDays!");
    EXPECT_DOUBLE_EQ(t->field("Fs1").asFloat(), 0.19);   // still computed from TotalDays
    t->edit();
    t->field("TotalDays").setAsFloat(150);
    t->post();
    msgs.clear();
    w.CalcBtn->click();
    EXPECT_TRUE(msgs.shown().isEmpty());
    EXPECT_DOUBLE_EQ(t->field("Fs1").asFloat(), 0.20);
    EXPECT_DOUBLE_EQ(t->field("Fs2").asFloat(), 0.47);
    EXPECT_DOUBLE_EQ(t->field("Fs3").asFloat(), 0.80);
    t->edit();
    t->field("TotalDays").setAsFloat(0);
    t->post();
    w.CalcBtn->click();
    EXPECT_EQ(msgs.shown().last().kind, MsgKind::Error);
    EXPECT_DOUBLE_EQ(t->field("Fs1").asFloat(), 0.20);
    t->remove();
    w.close();
    EXPECT_FALSE(t->isOpen());
}

// A curve assembled in the FAO curves window and adjusted in the Kc window,
// then computed by the main program's engine for a Penman-Monteith job.
TEST(FAO56, CurveBuiltInKcWindowIsComputedByTheEngine)
{
    TScriptedMessages msgs;
    {
        TFAO56CropsForm f;
        f.show();
        EXPECT_EQ(f.windowTitle(), "Review or Edit Kc Curves - FAO 56 Crops [Read Only Mode]");
        EXPECT_FALSE(f.KcCalcBtn->isEnabled());
        f.GotoEditBtn->click();
        EXPECT_TRUE(f.KcCalcBtn->isEnabled());
        f.InsertBtn->click();
        QTest::keyClicks(f.CurveNameEdit, "Local dry beans");
        TTable* c = DMod->tblFAOcurv;
        EXPECT_FALSE(c->field("UseFAO5612").asBoolean());

        QVariantList kc, t11chosen;
        Driver driver([&](QDialog& d) {
            if (auto* p = qobject_cast<TGetCropName*>(&d)) {
                TTable* t12 = DMod->tblFAO56Tbl;
                ASSERT_GE(chooseTable12Crop(p, QStringLiteral("Beans, dry")), 0);
                kc = {t12->field("Kcini").value(), t12->field("Kcmid").value(), t12->field("Kcend").value()};
                p->UseBtn->click();
            } else if (auto* ty = qobject_cast<TGetCropType*>(&d)) {
                ty->UseBtn->click();
            } else if (auto* t11 = qobject_cast<TFAOTable11data*>(&d)) {
                chooseRow(t11->CropGrid, 5);
                t11chosen = {s(DMod->tblFAOTbl11, "CropName"), DMod->tblFAOTbl11->field("Fs2").value(),
                             DMod->tblFAOTbl11->field("MaxDays").value()};
                t11->CancelBtn->click();   // the copy happens whichever button closes it
            } else if (auto* k = qobject_cast<TKcCalculateForm*>(&d)) {
                EXPECT_EQ(msgs.lastText(),
                          "Default values have been set in the following dialog. Make changes as needed.");
                EXPECT_TRUE(k->InitialGroup->isEnabled());
                k->UseFAOBtn->click();
                EXPECT_FALSE(k->MidGroup->isEnabled());
                EXPECT_EQ(c->field("Kcb").value(), c->field("Kcini").value());
                k->WindRadio->clickItem(2);      // disabled: no change
                EXPECT_NE(c->field("U2").asFloat(), 4);
                k->CalcBtn->click();
                EXPECT_TRUE(k->MidGroup->isEnabled());
                k->WindRadio->clickItem(2);      // 4 m/s
                EXPECT_DOUBLE_EQ(c->field("U2").asFloat(), 4);
                EXPECT_DOUBLE_EQ(c->field("U2in").asFloat(), 8.95);
                k->RHRadio->clickItem(0);        // 20 %
                k->SoilRadio->clickItem(0);      // CT
                k->EToRadio->clickItem(2);       // 6 mm/day
                k->FwRadio->clickItem(0);
                EXPECT_EQ(c->state(), TTable::State::Edit);   // every preset posts and re-enters edit
                k->CalcBtn->click();
                EXPECT_TRUE(k->MidGroup->isEnabled());
                k->OKBtn->click();
            }
        });
        f.GetKcDataBtn->click();
        ASSERT_EQ(kc.size(), 3);
        EXPECT_EQ(s(c, "FAOCropName").left(10), "Beans, dry");
        f.GetFAO11BtnClick();
        ASSERT_EQ(t11chosen.size(), 3);
        EXPECT_EQ(s(c, "NEH2CropType"), t11chosen[0].toString());
        EXPECT_EQ(c->field("Fs2").value(), t11chosen[1]);
        EXPECT_EQ(c->field("DaysMax").asFloat(), t11chosen[2].toDouble());
        EXPECT_FALSE(DMod->tblFAOTbl11->isOpen());
        f.GetNEHBtn->click();
        EXPECT_FALSE(s(c, "NEH2CropType").isEmpty());
        EXPECT_GT(c->field("Fs3").asFloat(), 0.0);
        f.KcCalcBtn->click();
        EXPECT_EQ(s(c, "FAOCropType"), "FAO 56, Table 12 crops");
        EXPECT_EQ(c->state(), TTable::State::Edit);
        f.GotoEditBtn->click();
        ASSERT_TRUE(c->locate("CropCurveName", "Local dry beans"));
        KcInputs in = readKcInputs(*c);
        EXPECT_EQ(in.soilTexture, "CT");
        EXPECT_DOUBLE_EQ(in.rhMin, 20);
        const KcResults r = computeAdjustedKc(in);
        EXPECT_DOUBLE_EQ(c->field("Kcp").asFloat(), std::round(r.kcp * 100) / 100);
        EXPECT_GT(c->field("Kcp").asFloat(), kc[1].toDouble());   // windy and dry: Kc mid rises
        EXPECT_FALSE(c->field("UseFAO5612").asBoolean());
        f.close();
    }
    EXPECT_FALSE(DMod->tblFAOcurv->isOpen());

    // The main program's computation with the new curve (curve index 5,
    // Penman-Monteith with FAO 56 curves) at a station with wind data.
    TTable c(QStringLiteral("CrpFAOCurv.DB"));
    c.open();
    ASSERT_TRUE(c.locate("CropCurveName", "Local dry beans"));
    const double kcb = c.field("Kcb").asFloat();
    c.close();
    EXPECT_GT(computeWithCurve(5, "Local dry beans", 3, kcb), 0.0);
}

TEST(FAO56, KcWindowKeepsPreviousDataAndLocalDefaultsDialog)
{
    TScriptedMessages msgs;
    TFAO56CropsForm f;
    f.show();
    f.GotoEditBtn->click();
    TTable* c = DMod->tblFAOcurv;
    c->first();
    const double wet = c->field("WettingDays").asFloat();
    ASSERT_NE(wet, 0.0);
    Driver driver([&](QDialog& d) {
        if (auto* k = qobject_cast<TKcCalculateForm*>(&d)) {
            EXPECT_EQ(msgs.lastText(), "Pevious data shown in the following dialog. Make changes as needed.");
            k->CancelBtn->click();
        } else if (auto* l = qobject_cast<TDefLocDlg*>(&d)) {
            l->EToRadio->setItemIndex(3);
            EXPECT_EQ(DMod->tblLocDef->field("ETo").asString(), "8");
            EXPECT_DOUBLE_EQ(DMod->tblLocDef->field("EToin").asFloat(), 0.31);
            l->CancelBtn->click();
        }
    });
    f.KcCalcBtn->click();
    EXPECT_DOUBLE_EQ(c->field("WettingDays").asFloat(), wet);
    EXPECT_FALSE(DMod->tblLocDef->isOpen());
    f.DefaultsClick();
    EXPECT_FALSE(DMod->tblLocDef->isOpen());
    TTable def(QStringLiteral("LocalDefaults.DB"));
    def.open();
    EXPECT_NE(def.field("ETo").asString(), "8");   // cancelled
    def.close();
    f.GotoEditBtn->click();
    f.close();
}

// The FAO-56 local defaults are numbers the Kc window copies into new curves:
// "OK" refuses a text that is not a number, naming the field, and keeps the
// dialog open; nothing is stored until it is a number.
TEST(FAO56, LocalDefaultsDialogRefusesTextThatIsNotANumber)
{
    TScriptedMessages msgs;
    TFAO56CropsForm f;
    f.show();
    QString oldEto, oldFw;
    {
        TTable def(QStringLiteral("LocalDefaults.DB"));
        def.open();
        oldEto = def.field("ETo").asString();
        oldFw = def.field("Fw").asString();
        def.close();
    }
    auto retype = [](QLineEdit* e, const char* text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    };
    Driver driver([&](QDialog& d) {
        auto* l = qobject_cast<TDefLocDlg*>(&d);
        if (!l) return;
        retype(l->EToEdit, "abc");
        msgs.clear();
        l->OKBtn->click();
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_TRUE(msgs.lastText().contains("ETo")) << msgs.lastText().toStdString();
        EXPECT_TRUE(msgs.lastText().contains("abc")) << msgs.lastText().toStdString();
        EXPECT_TRUE(l->isVisible());
        retype(l->EToEdit, "5.5");
        retype(l->FwEdit, "0,5");
        msgs.clear();
        l->OKBtn->click();
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_TRUE(msgs.lastText().contains("Fw")) << msgs.lastText().toStdString();
        EXPECT_TRUE(l->isVisible());
        retype(l->FwEdit, "0.5");
        msgs.clear();
        l->OKBtn->click();
        EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
        EXPECT_FALSE(l->isVisible());
    });
    f.DefaultsClick();
    EXPECT_FALSE(DMod->tblLocDef->isOpen());
    TTable def(QStringLiteral("LocalDefaults.DB"));
    def.open();
    EXPECT_EQ(def.field("ETo").asString(), "5.5");
    EXPECT_EQ(def.field("Fw").asString(), "0.5");
    def.edit();
    def.field("ETo").setAsString(oldEto);
    def.field("Fw").setAsString(oldFw);
    def.post();
    def.close();
    f.close();
}

// The Kc window's number fields take what the calculation can use: no
// negative days, depths, speeds or Kc, a fraction wetted up to 1 and an
// RHmin up to 100 %; the message states that range and the value stays.
TEST(FAO56, KcWindowNumberFieldsStateTheirRanges)
{
    TScriptedMessages msgs;
    TFAO56CropsForm f;
    f.show();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    QTest::keyClicks(f.CurveNameEdit, "Range check curve");
    TTable* c = DMod->tblFAOcurv;
    for (const char* fld : {"Kcini", "Kcmid", "Kcend", "MaxHeightM"}) c->field(fld).setAsFloat(0.5);
    double wet = 0, fw = 0;
    Driver driver([&](QDialog& d) {
        auto* k = qobject_cast<TKcCalculateForm*>(&d);
        if (!k) return;
        ASSERT_TRUE(k->InitialGroup->isEnabled());
        wet = c->field("WettingDays").asFloat();
        fw = c->field("Fw").asFloat();
        k->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(k));
        struct Case { TNumEdit* edit; const char* text; const char* range; };
        const Case cases[] = {{k->WettingDaysEdit, "-2", "Enter a number from 0 to 99.9."},
                              {k->FwEdit, "1.5", "Enter a number from 0 to 1."},
                              {k->RHMinEdit, "120", "Enter a number from 0 to 100."},
                              {k->U2inEdit, "-1", "Enter a number from 0 to 99.99."},
                              {k->KcpEdit, "-0.5", "Enter a number from 0 to 99.99."}};
        for (const Case& cs : cases) {
            msgs.clear();
            cs.edit->setFocus();
            cs.edit->selectAll();
            QTest::keyClicks(cs.edit, cs.text);
            QTest::keyClick(cs.edit, Qt::Key_Return);
            ASSERT_EQ(msgs.count(), 1) << cs.text;
            EXPECT_TRUE(msgs.lastText().endsWith(cs.range)) << msgs.lastText().toStdString();
        }
        EXPECT_DOUBLE_EQ(c->field("WettingDays").asFloat(), wet);
        EXPECT_DOUBLE_EQ(c->field("Fw").asFloat(), fw);
        k->CancelBtn->click();
    });
    f.KcCalcBtn->click();
    ASSERT_EQ(s(c, "CropCurveName"), "Range check curve");
    msgs.answer(MsgResult::Yes);
    f.DeleteBtn->click();
    EXPECT_FALSE(c->locate("CropCurveName", "Range check curve"));
    f.GotoEditBtn->click();
    f.close();
}

// A new curve whose Table 12 values were never fetched: both Kc buttons of
// the Kc window refuse with a message instead of storing Kc mid and Kc end 0
// (or empty Kc values) as the curve.
TEST(FAO56, KcButtonsRefuseACurveWithoutTable12Values)
{
    TScriptedMessages msgs;
    TFAO56CropsForm f;
    f.show();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    QTest::keyClicks(f.CurveNameEdit, "No Table 12 yet");
    TTable* c = DMod->tblFAOcurv;
    Driver driver([&](QDialog& d) {
        auto* k = qobject_cast<TKcCalculateForm*>(&d);
        if (!k) return;
        msgs.clear();
        k->CalcBtn->click();
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_TRUE(msgs.lastText().contains("Get Kc Data")) << msgs.lastText().toStdString();
        EXPECT_TRUE(c->field("Kcp").isNull());
        EXPECT_TRUE(c->field("Kcm").isNull());
        EXPECT_TRUE(c->field("Kcb").isNull());
        msgs.clear();
        k->UseFAOBtn->click();
        EXPECT_EQ(msgs.count(), 1);
        EXPECT_TRUE(msgs.lastText().contains("Get Kc Data")) << msgs.lastText().toStdString();
        EXPECT_FALSE(c->field("UseFAO5612").asBoolean());
        EXPECT_TRUE(k->InitialGroup->isEnabled());
        EXPECT_TRUE(c->field("Kcp").isNull());
        k->OKBtn->click();
    });
    f.KcCalcBtn->click();
    ASSERT_EQ(s(c, "CropCurveName"), "No Table 12 yet");
    msgs.answer(MsgResult::Yes);
    f.DeleteBtn->click();
    EXPECT_FALSE(c->locate("CropCurveName", "No Table 12 yet"));
    f.GotoEditBtn->click();
    f.close();
}

TEST(CropProgramButtons, EachButtonOpensItsWindowWithItsTables)
{
    TScriptedMessages msgs;
    TMainForm main;
    struct Case {
        QPushButton* button;
        const char* window;
        QList<TTable*> tables;
    };
    const QList<Case> cases{
        {main.CropDBBtn, "CropForm", {DMod->tblCreateCrp, DMod->tblLastUse}},
        {main.BasFldVegBtn, "BasFieldVegForm", {DMod->tblBasFldVeg, DMod->tblAnType}},
        {main.BasPerenBtn, "BasPerenForm", {DMod->tblBasPeren}},
        {main.BasGrassBtn, "BasGrassForm", {DMod->tblBasGrass}},
        {main.BCAnnualBtn, "BCAnuForm", {DMod->tblBCAnnual}},
        {main.BCPerenBtn, "BCPerenForm", {DMod->tblBCPeren}},
        {main.AnTypeBtn, "AnTypeForm", {DMod->tblAnType}},
        {main.FAO56TblBtn, "FAO56tbl12DBdlg", {DMod->tblFAO56Tbl}},
        {main.FAOCurvBtn, "FAO56CropsForm", {DMod->tblFAOcurv, DMod->tblFAO56Tbl, DMod->tblAnType}},
        {main.FAOTbl11Btn, "FAOTable11data", {DMod->tblFAOTbl11}},
    };
    for (const Case& c : cases) {
        QString opened;
        Driver driver([&](QDialog& d) {
            opened = d.objectName();
            // F1 in the window opens its own topic of the help bundle.
            EXPECT_TRUE(THelpIndex::bundled().hasContext(helpContextOf(&d))) << c.window;
            for (TTable* t : c.tables) EXPECT_TRUE(t->isOpen()) << c.window << " " << t->tableName().toStdString();
        });
        c.button->click();
        EXPECT_EQ(opened, c.window);
        for (TTable* t : c.tables) EXPECT_FALSE(t->isOpen()) << c.window << " " << t->tableName().toStdString();
    }
}

// The first crop of an empty table: the basal dialog switches new-record mode
// on, pre-fills the row from "CrpLastUse.db" and the BC dialog follows.
TEST(CropForm, FirstCropOfAnEmptyTable)
{
    OpenTables open{DMod->tblCreateCrp, DMod->tblLastUse};
    TScriptedMessages msgs;
    TTable* t = DMod->tblCreateCrp;
    QList<QVariantList> saved;
    for (t->first(); !t->eof(); t->next()) saved << t->rowValues();
    t->emptyTable();
    t->refresh();
    ASSERT_TRUE(t->isEmpty());
    {
        TCropForm f;
        f.show();
        f.GotoEditBtn->click();
        EXPECT_FALSE(f.NewRecordMode);
        QStringList seen;
        Driver driver([&](QDialog& d) {
            seen << d.windowTitle();
            d.accept();
        });
        f.GetBasBtn->click();
        EXPECT_TRUE(f.NewRecordMode);
        EXPECT_EQ(seen, (QStringList{"Get Basal Kc Curve Data", "BC Kc Crop Curve Data"}));
        EXPECT_EQ(s(t, "Humidity/Wind"), "HM");
        EXPECT_EQ(s(t, "Bas Crop Curve Name"), s(DMod->tblLastUse, "Basil Curve Name"));
        EXPECT_EQ(s(t, "Bas Crop Type"), "Field and vegetable crops");
        EXPECT_EQ(s(t, "BC Crop Curve Name"), s(DMod->tblLastUse, "BC Curve Name"));
        EXPECT_EQ(t->state(), TTable::State::Insert);
        QTest::keyClicks(f.CropNameEdit, "First crop");
        f.GotoEditBtn->click();
        EXPECT_FALSE(f.NewRecordMode);
        EXPECT_EQ(t->recordCount(), 1);
        f.close();
    }
    t->emptyTable();
    t->appendRows(saved);
    t->refresh();
    EXPECT_EQ(t->recordCount(), saved.size());
}

// The crop program's report preview dialogs (Save, Open, Export PDF) opened
// on the database's own folder keep the program's hold on its database:
// "Clear All Marks" afterwards reaches the file and another program sees it.
TEST(CropProgramFiles, ReportDialogsKeepTheHoldAndClearAllMarksReachesTheFile)
{
    OpenTables open{DMod->tblBasPeren};
    TScriptedMessages msgs;
    ReportCapture cap;
    TBasPerenForm f;
    f.show();
    f.Editor->markAll();
    f.PrintListClick();
    ASSERT_FALSE(cap.pages.isEmpty());
    report::PreviewWindow preview(cap.pages.last());
    QList<quentest::FileDialogUse> uses;
    for (QAction* a : {preview.actionSave(), preview.actionOpen(), preview.actionExportPdf()})
        uses.append({a->text(), [a] { a->trigger(); }});
    const QString path = Database::path();
    EXPECT_NE(quentest::peer(path, {"SELECT COUNT(*) FROM CrpPeren WHERE Marked = 1"}), QStringList{"0"});
    quentest::expectDialogsKeepTheHold(
        path, uses, [&] { f.Editor->clearAllMarks(); },
        QStringLiteral("SELECT COUNT(*) FROM CrpPeren WHERE Marked = 1"), QStringLiteral("0"));
    f.close();
}

// A post refused because the program lost its hold on the database file
// writes nothing and keeps the editor in edit mode with the typed value;
// closing the window is refused the same way.
TEST(CropProgramFiles, APostRefusedByADetachedDatabaseKeepsTheValueOnScreen)
{
    QString path;
    {
        OpenTables open{DMod->tblBasPeren};
        path = Database::path();
        TScriptedMessages msgs;
        TBasPerenForm f;
        f.show();
        TTable* t = DMod->tblBasPeren;
        t->first();
        const QString name = s(t, "Crop Curve Name");
        quentest::openAndCloseOutsideSqlite(path + "-shm");
        quentest::openAndCloseOutsideSqlite(path);
        f.GotoEditBtn->click();
        t->edit();   // as the field's control does when typed into
        t->field("Jun Kc").setAsFloat(1.23);
        try {
            f.GotoEditBtn->click();   // Stop Edit posts
            ADD_FAILURE() << "the post went through";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.message().contains("was detached from this program")) << qPrintable(e.message());
            EXPECT_TRUE(e.message().contains("The change was not saved")) << qPrintable(e.message());
        }
        EXPECT_TRUE(f.Editor->isEditMode());
        EXPECT_EQ(t->state(), TTable::State::Edit);
        EXPECT_EQ(s(t, "Jun Kc"), "1.23");
        f.close();
        EXPECT_TRUE(f.isVisible());
        EXPECT_TRUE(msgs.lastText().contains("was detached from this program")) << qPrintable(msgs.lastText());
        const QStringList stored = quentest::peer(
            path, {QStringLiteral("SELECT COUNT(*) FROM CrpPeren WHERE \"Crop Curve Name\" = '%1' AND \"Jun Kc\" = 1.23").arg(name)});
        EXPECT_EQ(stored, QStringList{"0"});
        t->cancel();
        f.close();
    }
    // The next tests: the program started again on the same file.
    Database::close();
    Database::open(path);
}
