// QuenpmClim2: start-up, main window and the directory selection window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "AboutClimBox.h"
#include "Application.h"
#include "Database.h"
#include "ClimProgram.h"
#include "Help.h"
#include "MessageBoxes.h"

using namespace quen;
using namespace quen::climprog;

TEST(ClimProgram, StartsWithTitleHelpFileWindowDataModuleAndDirectoryWindow)
{
    TClimProgram p;
    EXPECT_EQ(applicationTitle(), "QuenpmClim Climate database");
    EXPECT_EQ(helpFile(), "Quenpm.Hlp");
    EXPECT_EQ(MainForm, p.form.get());
    EXPECT_EQ(DMod, p.dmod.get());
    EXPECT_EQ(SelDirForm, p.selDir.get());
    EXPECT_FALSE(p.selDir->isVisible());
    EXPECT_EQ(p.selDir->windowTitle(), "Select Directory Containing Temperature & Precipitation Text Files");
    EXPECT_EQ(p.form->windowTitle(), "Quen, Penman-Monteith (Quenpm) Climate Database");
    QStringList labels;
    for (QLabel* l : p.form->findChildren<QLabel*>()) labels << l->text();
    EXPECT_TRUE(labels.contains("Quen"));
    EXPECT_TRUE(labels.contains("Climate Database"));
}

TEST(ClimProgram, GroupsButtonsAndEnabling)
{
    TClimProgram p;
    TMainForm& f = *p.form;
    EXPECT_EQ(f.GetDataGroup->title(), "Get temperature and precipitation data to database");
    EXPECT_EQ(f.EditGroup->title(), "Edit database");
    EXPECT_EQ(f.StateFileBtn->text(), "New State From (Temperature/Precipitation) State Data Store to DB");
    EXPECT_EQ(f.DownloadBtn->text(), "New or add  (Temperature/Precipitation] Korrin downloaded data to DB");
    EXPECT_EQ(f.EditClimBtn->text(), "Edit Climate [Temperature/Precipitation] DB");
    EXPECT_EQ(f.EditWHRBtn->text(), "Edit Wind/Humidity/Radiation DB");
    EXPECT_TRUE(f.GetDataGroup->isAncestorOf(f.StateFileBtn));
    EXPECT_TRUE(f.GetDataGroup->isAncestorOf(f.DownloadBtn));
    for (QPushButton* b : {f.EditClimBtn, f.EditWHRBtn, f.HelpBtn, f.AboutBtn})
        EXPECT_TRUE(f.EditGroup->isAncestorOf(b));
    for (QPushButton* b : {f.StateFileBtn, f.DownloadBtn, f.EditClimBtn, f.EditWHRBtn})
        EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    EXPECT_EQ(f.HelpBtn->text(), "&Help");
    EXPECT_EQ(helpContextOf(f.CloseBtn), 19201);
    EXPECT_EQ(helpContextOf(p.selDir->OKBtn), 19205);
    EXPECT_TRUE(THelpIndex::bundled().hasContext(19201));
    EXPECT_TRUE(THelpIndex::bundled().hasContext(19205));
    EXPECT_EQ(f.AboutBtn->text(), "&About Program");

    f.show();
    setHelpFile("x");
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    EXPECT_EQ(helpFile(), "Quenpm.HLP");

    TAboutClimBox box;
    EXPECT_EQ(box.windowTitle(), "About Quen Climate DB Management");
    EXPECT_TRUE(box.texts().contains("Climate Database Management Program"));
}

TEST(ClimProgram, DirectoryWindowListsReportFilesAndGuardsTheReplaceChoice)
{
    TScriptedMessages msgs;
    TClimProgram p;
    TSelDirForm& d = *p.selDir;
    QTemporaryDir dir;
    for (const char* n : {"56012.txt", "56013.txt", "readme.txt", "5601.txt", "56012.csv"}) {
        QFile f(dir.filePath(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir("sub");
    d.setDirectory(dir.path());
    QStringList files;
    for (int i = 0; i < d.FileListBox->count(); ++i) files << d.FileListBox->item(i)->text();
    EXPECT_EQ(files, QStringList({"56012.txt", "56013.txt"}));
    EXPECT_EQ(d.DirLabel->text(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(d.DirectoryListBox->findItems("sub", Qt::MatchExactly).size(), 1);

    d.AddCheckBox->setChecked(false);
    d.show();   // each activation ticks it again
    EXPECT_TRUE(d.AddCheckBox->isChecked());

    msgs.answer(MsgResult::No);
    d.AddCheckBox->click();
    EXPECT_EQ(msgs.lastText(), "The entire existing climate database will be deleted. Is that what you want?");
    EXPECT_TRUE(d.AddCheckBox->isChecked());
    EXPECT_TRUE(p.dmod->AddToExisting);
    msgs.answer(MsgResult::Yes);
    d.AddCheckBox->click();
    EXPECT_FALSE(d.AddCheckBox->isChecked());
    EXPECT_FALSE(p.dmod->AddToExisting);

    p.dmod->tblClim->open();
    d.CancelBtn->click();
    EXPECT_FALSE(d.isVisible());
    EXPECT_FALSE(p.dmod->tblClim->isOpen());
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("QUENPM_DB", dir.filePath("clim-test.sqlite").toUtf8());
    quen::TQuenApplication app(argc, argv);
    quen::Database::open();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
