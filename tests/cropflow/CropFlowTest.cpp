// A new crop made as a local planner makes it: an FAO 56 curve built in the
// Kc window for a dry, windy climate, then a crop record whose three curve
// dialogs pick a basal curve, a Blaney-Criddle curve and that FAO 56 curve.
// The main program must then offer the crop for each ET method family, attach
// the curve that method uses, and compute it.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "CropCompDlg.h"
#include "CropDMod.h"
#include "CropForm.h"
#include "GetBCDlg.h"
#include "GetBasDlg.h"
#include "GetFAODlg.h"
#include "CropFormKit.h"
#include "../cropdb/CropGridPick.h"
#include "GetCropNamDlg.h"
#include "DBControls.h"
#include "DBGrid.h"
#include "FAO56CropsForm.h"
#include "FAOTable11data.h"
#include "GetCropName.h"
#include "GetCropType.h"
#include "KcCalculateForm.h"
#include "MainCropFixture.h"
#include "ModalRun.h"
#include "Table.h"

using namespace quen;
using namespace quen::test;
using namespace quen::croptest;

namespace {

const QString kCrop = QStringLiteral("Test dry beans, local");
const QString kFAOCurve = QStringLiteral("Test dry beans FAO local");

struct CropDriver {
    explicit CropDriver(std::function<void(QDialog&)> d) { cropprog::setModalDriver(std::move(d)); }
    ~CropDriver() { cropprog::setModalDriver({}); }
};

// The FAO 56 curve: Table 12 dry beans, Table 11 stage lengths, Kc mid and
// Kc end adjusted for 4 m/s wind and 20 % RH min.
void buildFAOCurve()
{
    using namespace cropprog;
    TFAO56CropsForm f;
    f.show();
    f.GotoEditBtn->click();
    f.InsertBtn->click();
    QTest::keyClicks(f.CurveNameEdit, kFAOCurve);
    CropDriver driver([&](QDialog& d) {
        if (auto* p = qobject_cast<TGetCropName*>(&d)) {
            ASSERT_GE(chooseTable12Crop(p, QStringLiteral("Beans, dry")), 0);
            p->UseBtn->click();
        } else if (auto* ty = qobject_cast<TGetCropType*>(&d)) {
            ty->UseBtn->click();
        } else if (auto* t11 = qobject_cast<TFAOTable11data*>(&d)) {
            const int row = rowOf(t11->CropGrid, "Beans (dry)");
            chooseRow(t11->CropGrid, row >= 0 ? row : 5);
            t11->OKBtn->click();
        } else if (auto* k = qobject_cast<TKcCalculateForm*>(&d)) {
            k->CalcBtn->click();
            k->WindRadio->clickItem(2);      // 4 m/s
            k->RHRadio->clickItem(0);        // 20 %
            k->SoilRadio->clickItem(0);      // CT
            k->EToRadio->clickItem(2);       // 6 mm/day
            k->FwRadio->clickItem(0);
            k->CalcBtn->click();
            k->OKBtn->click();
        }
    });
    f.GetKcDataBtn->click();
    f.GetFAO11BtnClick();
    f.KcCalcBtn->click();
    f.GotoEditBtn->click();   // Stop Edit posts
    f.close();
}

struct NewCrop {
    QString basCurve, bcCurve;
};

NewCrop buildCropRecord()
{
    using namespace cropprog;
    NewCrop made;
    DMod->tblCreateCrp->open();
    DMod->tblLastUse->open();
    {
        TCropForm f;
        f.show();
        f.GotoEditBtn->click();
        f.InsertBtn->click();
        QTest::keyClicks(f.CropNameEdit, kCrop);
        // Planted April 15, harvested September 1.
        const std::pair<TDBNumEdit*, const char*> dates[] = {
            {f.PlantMoEdit, "4"}, {f.PlantDayEdit, "15"}, {f.HarvestMoEdit, "9"}, {f.HarvestDayEdit, "1"}};
        for (const auto& [edit, text] : dates) {
            edit->setText(text);
            EXPECT_TRUE(edit->commit());
        }
        CropDriver driver([&](QDialog& d) {
            if (auto* bas = qobject_cast<TGetBasDlg*>(&d)) {
                bas->KindRadio->clickItem(0);       // field and vegetable crops
                bas->HumWindRadio->clickItem(3);    // arid, strong wind
                chooseRow(bas->CurveList, 1);
                made.basCurve = bas->CurveList->model()->index(1, 0).data().toString();
                bas->OKBtn->click();
            } else if (auto* bc = qobject_cast<TGetBCDlg*>(&d)) {
                chooseRow(bc->CurveList, 0);
                made.bcCurve = bc->CurveList->model()->index(0, 0).data().toString();
                bc->OKBtn->click();
            } else if (auto* fao = qobject_cast<TGetFAODlg*>(&d)) {
                const int row = rowOf(fao->CurveGrid, kFAOCurve);
                EXPECT_GE(row, 0) << "the new FAO 56 curve is not offered";
                if (row >= 0) chooseRow(fao->CurveGrid, row);
                fao->OKBtn->click();
            }
        });
        f.GetBasBtn->click();
        f.GetFAOBtn->click();
        f.GotoEditBtn->click();   // Stop Edit posts
        f.close();
    }
    DMod->tblCreateCrp->close();
    DMod->tblLastUse->close();
    return made;
}

class CropFlow : public MainCropTest {};

} // namespace

TEST_F(CropFlow, CropMadeInTheCropProgramIsOfferedAndComputedForEachMethod)
{
    buildFAOCurve();
    const NewCrop made = buildCropRecord();
    ASSERT_FALSE(made.basCurve.isEmpty());
    ASSERT_FALSE(made.bcCurve.isEmpty());
    // The Kc window's notice of its defaults is the only message.
    for (const auto& m : msgs->shown())
        EXPECT_EQ(m.text, "Default values have been set in the following dialog. Make changes as needed.");
    msgs->clear();

    struct Case {
        int method;
        int curveIndex;
        QString curveName, curveType;
    };
    const Case cases[] = {
        {1, 3, made.bcCurve, "Blaney Criddle Annual Crop"},
        {2, 0, made.basCurve, "Field and vegetable crops"},
        {3, 5, kFAOCurve, "FAO 56, Table 12 crops"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        wk().close();
        { TTable w(QStringLiteral("QuenWkCrop.DB")); w.emptyTable(); }
        outputs.clear();
        setUpJob(kMaricopa, c.method);
        job().JobSaveState = 0;
        bool offered = false;
        mainprog::TModal<mainprog::TGetCropNamDlg>::hook = [&](mainprog::TGetCropNamDlg& d) {
            offered = clickGridRow(d.DBGrid1, kCrop);
            if (!offered) {
                QTest::mouseClick(d.CancelBtn, Qt::LeftButton);
                return;
            }
            EXPECT_EQ(d.CropNameText->text(), kCrop);
            EXPECT_EQ(d.BasCurveText->text(), made.basCurve);
            EXPECT_EQ(d.BCCurveText->text(), made.bcCurve);
            EXPECT_EQ(d.FAOCurveText->text(), kFAOCurve);
            QTest::mouseClick(d.BtnOK, Qt::LeftButton);
        };
        mainprog::TModal<mainprog::TCropCompDlg>::hook = [](mainprog::TCropCompDlg& d) {
            QTest::mouseClick(d.OKBtn, Qt::LeftButton);
        };
        form().AddCropBtnClick();
        ASSERT_TRUE(offered) << "the new crop is not offered for method " << c.method;
        EXPECT_TRUE(msgs->shown().isEmpty()) << msgs->lastText().toStdString();
        ASSERT_EQ(outputs.size(), 1u);

        TTable w(QStringLiteral("QuenWkCrop.DB"));
        w.open();
        ASSERT_EQ(w.recordCount(), 1);
        EXPECT_EQ(w.field("Crop Name").asString(), kCrop);
        EXPECT_EQ(w.field("Curve Index").asInteger(), c.curveIndex);
        EXPECT_EQ(w.field("Curve Name").asString(), c.curveName);
        EXPECT_EQ(w.field("Crop Curve Type").asString(), c.curveType);
        EXPECT_EQ(w.field("Plant Mo").asInteger(), 4);
        EXPECT_EQ(w.field("Harvest Day").asInteger(), 1);
        w.close();

        const CropRunContext& out = outputs.front();
        EXPECT_TRUE(std::isfinite(out.TotalCropET));
        EXPECT_GT(out.TotalCropET, 0.0);
        for (int m = 1; m <= 12; ++m) EXPECT_TRUE(std::isfinite(out.MonthlyKc[m])) << m;
        const CropRunContext again = recompute(ctx(), kCrop);
        EXPECT_DOUBLE_EQ(again.TotalCropET, out.TotalCropET);
    }
}

// The crop list of a job follows that job's ET method, also after a job of
// another method left the crop-kind filter on: a crop with only an FAO 56
// curve is offered to an FAO 56 job, a crop with only a Blaney-Criddle curve
// is not.
TEST_F(CropFlow, CropListFollowsTheMethodOfEachJob)
{
    setUpJob(kMaricopa, 1);
    job().JobSaveState = 0;
    mainprog::TModal<mainprog::TGetCropNamDlg>::hook = [](mainprog::TGetCropNamDlg& d) {
        EXPECT_TRUE(clickGridRow(d.DBGrid1, "Beans, dry"));
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
    mainprog::TModal<mainprog::TCropCompDlg>::hook = [](mainprog::TCropCompDlg& d) {
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().AddCropBtnClick();
    ASSERT_EQ(outputs.size(), 1u);

    struct Expect {
        int method;
        QStringList offered, hidden;
    };
    const Expect next[] = {
        {3, {"Onions, dry", "Winter wheat", "Cotton"}, {"Vegetables (general)", "Pasture, grass"}},
        {2, {"Onions, dry", "Pasture, grass"}, {"Cotton", "Vegetables (general)"}},
        {1, {"Vegetables (general)", "Cotton"}, {"Onions, dry", "Winter wheat"}},
    };
    for (const Expect& e : next) {
        SCOPED_TRACE(e.method);
        wk().close();
        { TTable w(QStringLiteral("QuenWkCrop.DB")); w.emptyTable(); }
        outputs.clear();
        setUpJob(kMaricopa, e.method);
        QStringList shown;
        mainprog::TModal<mainprog::TGetCropNamDlg>::hook = [&](mainprog::TGetCropNamDlg& d) {
            for (int r = 0; r < d.DBGrid1->model()->rowCount(); ++r)
                shown << d.DBGrid1->model()->index(r, 0).data().toString();
            ASSERT_TRUE(clickGridRow(d.DBGrid1, e.offered.first()));
            QTest::mouseClick(d.BtnOK, Qt::LeftButton);
        };
        form().AddCropBtnClick();
        for (const QString& c : e.offered) EXPECT_TRUE(shown.contains(c)) << c.toStdString();
        for (const QString& c : e.hidden) EXPECT_FALSE(shown.contains(c)) << c.toStdString();
        EXPECT_TRUE(msgs->shown().isEmpty()) << msgs->lastText().toStdString();
        EXPECT_EQ(outputs.size(), 1u);
    }
}
