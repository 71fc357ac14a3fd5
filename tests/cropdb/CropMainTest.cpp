// QuenpmCrop: start-up and main window.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "AboutCropBox.h"
#include "Application.h"
#include "CropProgram.h"
#include "Help.h"

using namespace quen;
using namespace quen::cropprog;

static QString caption(const QPushButton* b)
{
    QString t = b->text();
    return t.replace("&&", "\x01").remove('&').replace("\x01", "&");
}

TEST(CropProgram, StartsWithTitleHelpFileWindowAndDataModule)
{
    TCropProgram p;
    EXPECT_EQ(applicationTitle(), "QuenpmCrop Crop database program");
    EXPECT_EQ(helpFile(), "Quenpm.Hlp");
    EXPECT_EQ(MainForm, p.form.get());
    EXPECT_EQ(DMod, p.dmod.get());
    EXPECT_FALSE(p.dmod->tblCreateCrp->isOpen());
    EXPECT_EQ(p.form->windowTitle(), "Quen Crops Databases");

    QStringList labels;
    for (QLabel* l : p.form->findChildren<QLabel*>()) labels << l->text();
    EXPECT_TRUE(labels.contains("Quen"));
    EXPECT_TRUE(labels.contains("Crop Database Maintenance Program"));
}

TEST(CropProgram, ButtonsGroupAndEnabling)
{
    TCropProgram p;
    TMainForm& f = *p.form;
    EXPECT_EQ(caption(f.CropDBBtn), "Create or Edit Local Crop Database");
    EXPECT_EQ(f.CurveGroup->title(), "Review or Edit Crop Curve Tables");
    const QPushButton* curves[] = {f.BasFldVegBtn, f.BasPerenBtn, f.BasGrassBtn, f.BCAnnualBtn, f.BCPerenBtn,
                                   f.AnTypeBtn, f.FAO56TblBtn, f.FAOCurvBtn, f.FAOTbl11Btn};
    const char* texts[] = {"Basal Kc - Field and Vegetable Crops", "Basal Kc - Perennial  and Specialty Crops",
                           "Basal Kc - Grasses and Forage Legumes", "BC TR21 Kc - Annual Crops",
                           "BC TR21 Kc - Perennial Crops", "Basal - Crop Type (Field & Veg)",
                           "FAO56 Table 12 Database", "FAO Kc - Crop Curves", "FAO56 Table 11 Database"};
    for (size_t i = 0; i < std::size(curves); ++i) {
        EXPECT_EQ(caption(curves[i]), texts[i]);
        EXPECT_TRUE(f.CurveGroup->isAncestorOf(curves[i])) << texts[i];
        EXPECT_TRUE(curves[i]->isEnabled()) << texts[i];
    }
    EXPECT_TRUE(f.CropDBBtn->isEnabled());
    EXPECT_EQ(helpContextOf(f.CloseBtn), 19101);
    EXPECT_TRUE(THelpIndex::bundled().hasContext(19101));
    EXPECT_EQ(f.HelpBtn->text(), "&Help");
    EXPECT_EQ(f.AboutBtn->text(), "&About Program");
    EXPECT_TRUE(f.HelpBtn->isEnabled());
    EXPECT_TRUE(f.AboutBtn->isEnabled());
    EXPECT_TRUE(f.CloseBtn->isEnabled());

    f.show();
    setHelpFile("x");
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_EQ(helpFile(), "Quenpm.HLP");
    f.CloseBtn->click();
    EXPECT_FALSE(f.isVisible());
}

TEST(CropProgram, AboutBox)
{
    TAboutCropBox box;
    EXPECT_EQ(box.windowTitle(), "About Quen Crop DB Management");
    const QString all = box.texts().join("\n");
    EXPECT_TRUE(box.texts().contains("Crop Database Management  Program"));
    EXPECT_TRUE(box.texts().contains("QuenpmCrop Crop database program"));
    for (const char* t : {"Chapter 2", "Paper 56", "ASCE", "TR21"}) EXPECT_TRUE(all.contains(t)) << t;
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("crop-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
