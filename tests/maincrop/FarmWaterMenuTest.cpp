// Reports > "Farm Water...": refused without a job with crops; with one, the
// "Farm Water" window shows the crop entered with its area in the crop
// inputs dialog, and an edit of the job's operating hours there is a change
// of the job the main window offers to save.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "CropCompDlg.h"
#include "FarmWaterDlg.h"
#include "GetCropNamDlg.h"
#include "MainCropFixture.h"
#include "MainForm.h"
#include "MessageBoxes.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

namespace quen::test {

TEST_F(MainCropTest, FarmWaterItemOpensTheFarmWaterOfTheOpenJob)
{
    EXPECT_EQ(form().FarmWaterItem->text(), QStringLiteral("&Farm Water..."));
    bool opened = false;
    TModal<TFarmWaterDlg>::hook = [&](TFarmWaterDlg&) { opened = true; };
    form().FarmWaterItem->trigger();
    EXPECT_FALSE(opened);
    EXPECT_EQ(msgs->lastText(), QStringLiteral("There must be an active job to print a report."));

    setUpJob(kMaricopa, 2);
    TModal<TGetCropNamDlg>::hook = [](TGetCropNamDlg& d) {
        ASSERT_TRUE(clickGridRow(d.DBGrid1, QStringLiteral("Corn, grain")));
        QTest::mouseClick(d.BtnOK, Qt::LeftButton);
    };
    TModal<TCropCompDlg>::hook = [](TCropCompDlg& d) {
        ASSERT_TRUE(activate(&d));
        typeInto(d.AreaEdit, QStringLiteral("125"));
        typeInto(d.AppEffEdit, QStringLiteral("0.80"));
        QTest::mouseClick(d.OKBtn, Qt::LeftButton);
    };
    form().AddCropBtnClick();
    TModal<TGetCropNamDlg>::hook = nullptr;
    TModal<TCropCompDlg>::hook = nullptr;
    job().JobSaveState = 0;   // as after a save
    form().SaveJobBtn->setEnabled(false);

    double capacity24 = 0;
    TModal<TFarmWaterDlg>::hook = [&](TFarmWaterDlg& d) {
        opened = true;
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Farm Water"));
        ASSERT_EQ(d.CropGrid->rowCount(), 1);
        EXPECT_EQ(d.CropGrid->item(0, 0)->text(), QStringLiteral("Corn, grain"));
        EXPECT_EQ(d.CropGrid->item(0, 1)->text(), QStringLiteral("125.0"));
        EXPECT_EQ(d.CropGrid->item(0, 2)->text(), QStringLiteral("0.80"));
        ASSERT_TRUE(d.water().available);
        capacity24 = d.water().capacityGpm * d.water().job.hoursPerDay;
        EXPECT_GT(capacity24, 0.0);
        typeInto(d.HoursEdit, QStringLiteral("12"));
        EXPECT_NEAR(d.water().capacityGpm * 12, capacity24, 1e-6);
        QTest::mouseClick(d.CloseBtn, Qt::LeftButton);
    };
    form().FarmWaterItem->trigger();
    TModal<TFarmWaterDlg>::hook = nullptr;
    EXPECT_TRUE(opened);
    EXPECT_EQ(job().Farm.hoursPerDay, 12.0);
    EXPECT_EQ(job().JobSaveState, 2);
    EXPECT_TRUE(form().SaveJobBtn->isEnabled());
}

} // namespace quen::test
