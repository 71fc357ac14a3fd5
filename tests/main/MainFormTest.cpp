// The main window of Quenpm: start-up, layout, menus, show steps, the
// elevation in two units, Enter moving focus, close steps.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "AboutBox.h"
#include "Application.h"
#include "DBGrid.h"
#include "Help.h"
#include "HelpViewer.h"
#include "JobPicture.h"
#include "MessageBoxes.h"
#include "NotImplForm.h"
#include "NumEdit.h"
#include "Placement.h"
#include "Program.h"
#include "Table.h"

using namespace quen;
using namespace quen::mainprog;

namespace {

QStringList menuItems(QMenu* m)
{
    QStringList out;
    for (QAction* a : m->actions()) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

QAction* findItem(QMenu* m, const QString& text)
{
    for (QAction* a : m->actions())
        if (a->text() == text) return a;
    return nullptr;
}

int actionHelp(QAction* a)
{
    return a ? a->property("quenHelpContext").toInt() : -1;
}

bool activate(QWidget* w)
{
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

} // namespace

TEST(MainProgram, StartsWithTitleHelpFileWindowDataModuleAndWaitDialog)
{
    TMainProgram p;
    EXPECT_EQ(applicationTitle(), "(Quenpm) Quen, Peman-Monteith");
    EXPECT_EQ(helpFile(), "Quenpm.Hlp");
    ASSERT_TRUE(p.form);
    EXPECT_EQ(MainForm, p.form.get());
    EXPECT_EQ(DMod, p.dmod.get());
    EXPECT_EQ(WaitDlg, p.waitDlg.get());
    EXPECT_EQ(p.form->windowTitle(), "Quen, Penman-Monteith (Quenpm)");
    EXPECT_EQ(p.waitDlg->windowTitle(), "Loading....");
    EXPECT_FALSE(p.waitDlg->isVisible());
    EXPECT_FALSE(p.dmod->tblQuenWkCrop->isOpen());
}

TEST(MainWindow, TopPanelButtonsLeftToRightWithHintsAndHelp)
{
    TMainProgram p;
    TMainForm& f = *p.form;
    auto* row = f.TopPanel->layout();
    QStringList captions;
    for (int i = 0; i < row->count(); ++i)
        if (auto* b = qobject_cast<QPushButton*>(row->itemAt(i)->widget())) captions << b->objectName() + "=" + b->text();
    EXPECT_EQ(captions, QStringList({"ExitButton=E&xit", "NewJobButton=New Job", "RevEditBtn=Get Prev Job",
                                     "SaveJobBtn=Save Job", "CancelJobBtn=Cancel Job"}));
    EXPECT_EQ(f.NewJobButton->toolTip(), "Enter new job data");
    EXPECT_EQ(f.RevEditBtn->toolTip(), "Get previous job");
    EXPECT_EQ(f.SaveJobBtn->toolTip(), "Save current job");
    EXPECT_EQ(helpContextOf(f.NewJobButton), 14);
    EXPECT_EQ(helpContextOf(f.RevEditBtn), 29);
    EXPECT_EQ(helpContextOf(f.SaveJobBtn), 27);
    EXPECT_EQ(helpContextOf(f.CancelJobBtn), 0);
}

TEST(MainWindow, JobPanelControlsLabelsGroupsAndGrid)
{
    TMainProgram p;
    TMainForm& f = *p.form;
    struct E { QWidget* w; const char* name; const char* hint; int help; };
    const E edits[] = {
        {f.JobNameEdit, "JobNameEdit", "Unique name for job", 14},
        {f.DateEdit, "DateEdit", "Date can be changed", 14},
        {f.PlannerEdit, "PlannerEdit", "Enter job planner's name", 14},
        {f.LocationEdit, "LocationEdit", "Enter job location info", 14},
        {f.LandUserEdit, "LandUserEdit", "Enter land user name", 0},
        {f.IDEdit, "IDEdit", "Enter job ID", 0},
        {f.JobClassEdit, "JobClassEdit", "Enter job class", 0},
        {f.ElevEdit, "ElevEdit", "", 15},
        {f.ElevEditM, "ElevEditM", "", 15},
        {f.Norm50Edit, "Norm50Edit", "", 15},
        {f.Dry80Edit, "Dry80Edit", "", 15},
    };
    for (const E& e : edits) {
        EXPECT_EQ(e.w->objectName(), e.name);
        EXPECT_EQ(e.w->toolTip(), e.hint) << e.name;
        EXPECT_EQ(helpContextOf(e.w), e.help) << e.name;
        EXPECT_TRUE(f.JobPanel->isAncestorOf(e.w)) << e.name;
    }
    QStringList labels;
    for (QLabel* l : f.findChildren<QLabel*>()) labels << l->text();
    for (const char* t : {"Job Name", "Job Date", "Job Planner", "Job Location", "Land User", "ID", "Job  Class",
                          "Job elevation above sea level", "feet", "meters", "Effective Precipitation Ratio",
                          "Normal year", "50% chance", "Dry year", "80% chance", "ET Computation Method",
                          "Latitude:", "Longitude:", "Select Crop to Compute and Display"})
        EXPECT_TRUE(labels.contains(t)) << t;
    QLabel* jobNameLabel = nullptr;
    for (QLabel* l : f.findChildren<QLabel*>())
        if (l->text() == "Job Name") jobNameLabel = l;
    ASSERT_TRUE(jobNameLabel);
    EXPECT_TRUE(jobNameLabel->styleSheet().contains("blue"));
    EXPECT_EQ(f.UniqueLabel->text(), "(NEW JOB Enter a unique name)");
    EXPECT_TRUE(f.UniqueLabel->styleSheet().contains("red"));
    EXPECT_TRUE(f.ETLabel->styleSheet().contains("maroon"));

    EXPECT_EQ(f.ElevEdit->picture(), "####");
    EXPECT_EQ(f.ElevEdit->minimum(), -200);
    EXPECT_EQ(f.ElevEdit->maximum(), 9999);
    EXPECT_EQ(f.ElevEditM->picture(), "####.#");
    EXPECT_EQ(f.ElevEditM->minimum(), -500);
    EXPECT_EQ(f.ElevEditM->maximum(), 9999);
    for (TNumEdit* e : {f.Norm50Edit, f.Dry80Edit}) {
        EXPECT_EQ(e->picture(), "#.##");
        EXPECT_DOUBLE_EQ(e->minimum(), 0.01);
        EXPECT_DOUBLE_EQ(e->maximum(), 9.99);
    }

    EXPECT_EQ(f.ClimateGroup->title(), "Climate Database Site");
    for (QWidget* w : {static_cast<QWidget*>(f.StationNameLabel), static_cast<QWidget*>(f.StaNoLabel),
                       static_cast<QWidget*>(f.CountyLabel), static_cast<QWidget*>(f.LatLabel),
                       static_cast<QWidget*>(f.LonLabel), static_cast<QWidget*>(f.GetClimLbl),
                       static_cast<QWidget*>(f.JobDatBtn)})
        EXPECT_TRUE(f.ClimateGroup->isAncestorOf(w)) << w->objectName().toStdString();
    EXPECT_EQ(f.GetClimLbl->text(), "(You must start a new job to change climate station)");
    EXPECT_EQ(f.JobDatBtn->text(), "Get New Climate");
    EXPECT_EQ(f.JobDatBtn->toolTip(), "Get a climate station");
    EXPECT_EQ(f.ClimateGroup->focusProxy(), f.JobDatBtn);

    EXPECT_EQ(f.CropGroup->title(), "Job Crops");
    EXPECT_EQ(f.JobCropDBGrid->objectName(), "JobCropDBGrid");
    EXPECT_EQ(f.JobCropDBGrid->toolTip(), "Select a crop");
    EXPECT_EQ(helpContextOf(f.JobCropDBGrid), 16);
    ASSERT_EQ(f.JobCropDBGrid->model()->columnCount(), 1);
    EXPECT_EQ(f.JobCropDBGrid->model()->headerData(0, Qt::Horizontal).toString(), "Crop Name");
    EXPECT_EQ(f.AddCropBtn->text(), "Add New Crop");
    EXPECT_EQ(f.DeleteCropBtn->text(), "Delete Crop");
    EXPECT_EQ(f.EdCropBtn->text(), "Edit Crop");
    EXPECT_EQ(f.DisplayButton->text(), "Display Crop");
    EXPECT_TRUE(f.DisplayButton->font().bold());
}

TEST(MainWindow, MenusItemsSeparatorsHelpContexts)
{
    TMainProgram p;
    TMainForm& f = *p.form;
    QStringList titles;
    for (QAction* a : f.menuBar()->actions()) titles << a->text();
    EXPECT_EQ(titles, QStringList({"File", "Reports", "DB Management", "Options", "Help"}));
    EXPECT_EQ(menuItems(f.FileMenu), QStringList({"&New Job", "&Review or Edit Job...", "&Save Job", "&Export Job...",
                                                  "&Import Job...", "-", "&Delete Job...", "-", "E&xit"}));
    EXPECT_EQ(findItem(f.FileMenu, "&Export Job...")->objectName(), "ExportJobItem");
    EXPECT_EQ(findItem(f.FileMenu, "&Import Job...")->objectName(), "ImportJobItem");
    EXPECT_EQ(actionHelp(findItem(f.FileMenu, "&Export Job...")), 19030);
    EXPECT_EQ(menuItems(f.ReportsMenu),
              QStringList({"Single Crop &Report", "Single Crop &Details", "Job Crop &Summary",
                           "&Climate Input Details", "Report Format &1", "&Farm Water...", "-", "&List of Jobs"}));
    EXPECT_EQ(findItem(f.ReportsMenu, "&Farm Water...")->objectName(), "FarmWaterItem");
    EXPECT_EQ(actionHelp(findItem(f.ReportsMenu, "&Farm Water...")), 19031);
    EXPECT_EQ(menuItems(f.DBManagementMenu), QStringList({"Climate Database", "Crop Database"}));
    EXPECT_EQ(menuItems(f.OptionsMenu), QStringList({"&System Defaults", "&Local Defaults"}));
    EXPECT_EQ(menuItems(f.HelpMenu), QStringList({"&Contents", "&Search for Help on...", "-", "&About"}));

    EXPECT_EQ(actionHelp(findItem(f.FileMenu, "&Delete Job...")), 19023);
    EXPECT_EQ(findItem(f.FileMenu, "&Delete Job...")->toolTip(), "Delete old jobs");
    for (const char* t : {"Single Crop &Report", "Single Crop &Details", "Job Crop &Summary", "Report Format &1",
                          "&List of Jobs"})
        EXPECT_EQ(actionHelp(findItem(f.ReportsMenu, t)), 19021) << t;
    EXPECT_EQ(actionHelp(findItem(f.ReportsMenu, "&Climate Input Details")), 0);
    EXPECT_EQ(actionHelp(findItem(f.OptionsMenu, "&System Defaults")), 19026);
    EXPECT_EQ(actionHelp(findItem(f.OptionsMenu, "&Local Defaults")), 19027);
    EXPECT_EQ(actionHelp(findItem(f.HelpMenu, "&Contents")), 19001);
}

TEST(MainWindow, EveryHelpContextHasATopicInTheBundle)
{
    TMainProgram p;
    QList<int> used;
    for (QObject* o : p.form->findChildren<QObject*>()) {
        const int ctx = o->property("quenHelpContext").toInt();
        if (ctx > 0) used << ctx;
    }
    ASSERT_GE(used.size(), 15);
    for (int ctx : used) EXPECT_TRUE(THelpIndex::bundled().hasContext(ctx)) << ctx;

    // F1 on the feet field opens the elevation topic.
    ASSERT_TRUE(activate(p.form.get()));
    p.form->Picture->hide();
    p.form->JobPanel->show();
    p.form->ElevEdit->setFocus();
    QTest::keyClick(p.form->ElevEdit, Qt::Key_F1);
    EXPECT_EQ(THelpViewer::instance()->currentSource(), THelpIndex::topicUrl(THelpIndex::bundled().topic(15).file));
    THelpViewer::instance()->close();
}

TEST(MainWindow, DBManagementItemsOnlyTellTheUser)
{
    TScriptedMessages msgs;
    TMainProgram p;
    p.form->ClimateDatabaseItem->trigger();
    p.form->CropDatabaseItem->trigger();
    ASSERT_EQ(msgs.count(), 2);
    EXPECT_EQ(msgs.shown()[0].kind, MsgKind::Information);
    EXPECT_EQ(msgs.shown()[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(msgs.shown()[0].text,
              "Use seperate program QuenpmClim.  Please exit this prgram and select QuenpmClim from Quenpm program selection.");
    EXPECT_EQ(msgs.shown()[1].text,
              "Use seperate program QuenpmCrop.  Please exit this prgram and select QuenpmCrop from Quenpm program selection.");
}

TEST(MainWindow, ShowStepsLeaveTheNoJobState)
{
    TScriptedMessages msgs;
    // The units flag comes from the local defaults.
    {
        TTable loc("LocalDefaults.db");
        loc.open();
        ASSERT_FALSE(loc.isEmpty());
        loc.edit();
        loc.field("MetricUnits").setAsBoolean(true);
        loc.post();
        loc.close();
    }
    TMainProgram p;
    TMainForm& f = *p.form;
    p.job.JobSaveState = 2;
    f.resize(700, 700);
    f.show();
    EXPECT_EQ(msgs.count(), 0) << msgs.lastText().toStdString();
    for (QWidget* w : {static_cast<QWidget*>(f.CancelJobBtn), static_cast<QWidget*>(f.JobDatBtn),
                       static_cast<QWidget*>(f.SaveJobBtn), static_cast<QWidget*>(f.DisplayButton),
                       static_cast<QWidget*>(f.AddCropBtn), static_cast<QWidget*>(f.DeleteCropBtn),
                       static_cast<QWidget*>(f.JobCropDBGrid)})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.NewJobButton->isEnabled());
    EXPECT_TRUE(f.RevEditBtn->isEnabled());
    EXPECT_TRUE(f.ExitButton->isEnabled());
    EXPECT_FALSE(f.GetClimLbl->isHidden());
    EXPECT_TRUE(f.UniqueLabel->isHidden());
    EXPECT_TRUE(f.JobPanel->isHidden());
    EXPECT_TRUE(f.Picture->isVisible());
    EXPECT_EQ(f.focusWidget(), f.NewJobButton);
    EXPECT_EQ(p.job.JobSaveState, 0);
    EXPECT_TRUE(p.dmod->MetricUnits);
    EXPECT_FALSE(p.dmod->tblLocDef->isOpen());
    EXPECT_EQ(f.JobCropDBGrid->dataSource(), p.dmod->datQuenWkCrop);

    // Placed by the fit-to-screen rule.
    const QSize screen = f.screen()->geometry().size();
    const QRect expect = fitToScreen(screen, QSize(700, 700));
    EXPECT_EQ(f.pos(), expect.topLeft() + f.screen()->geometry().topLeft());
    EXPECT_EQ(f.height(), expect.height());

    TTable loc("LocalDefaults.db");
    loc.open();
    loc.edit();
    loc.field("MetricUnits").setAsBoolean(false);
    loc.post();
    loc.close();
}

TEST(MainWindow, ActivationSetsTheHelpFileAgain)
{
    TMainProgram p;
    setHelpFile("Other.hlp");
    ASSERT_TRUE(activate(p.form.get()));
    EXPECT_EQ(helpFile(), "Quenpm.HLP");
}

TEST(MainWindow, ElevationInFeetAndMetres)
{
    TScriptedMessages msgs;
    TMainProgram p;
    TMainForm& f = *p.form;
    ASSERT_TRUE(activate(&f));
    f.Picture->hide();
    f.JobPanel->show();   // as a job being open
    f.ElevEdit->setValue(1);
    f.ElevEditM->setValue(0.3048);

    f.ElevEdit->setFocus();
    f.ElevEdit->selectAll();
    QTest::keyClicks(f.ElevEdit, "1000");
    EXPECT_EQ(p.job.JobSaveState, 2);           // typing marks the job changed
    f.ElevEditM->setFocus();                    // leaving the feet field
    EXPECT_EQ(f.ElevEditM->text(), "304.8");
    EXPECT_DOUBLE_EQ(p.ctx.Elevation, 1000);
    EXPECT_NEAR(p.ctx.ElevationM, 304.8, 1e-9);
    EXPECT_TRUE(f.ElevEdit->markedModified());
    EXPECT_TRUE(f.SaveJobBtn->isEnabled());

    f.SaveJobBtn->setEnabled(false);
    f.ElevEditM->selectAll();
    QTest::keyClicks(f.ElevEditM, "100");
    QTest::keyClick(f.ElevEditM, Qt::Key_Return);   // Enter leaves it too
    EXPECT_EQ(f.ElevEdit->text(), "328");
    EXPECT_NEAR(p.ctx.Elevation, 328.083, 1e-9);
    EXPECT_DOUBLE_EQ(p.ctx.ElevationM, 100);
    EXPECT_TRUE(f.ElevEditM->markedModified());
    EXPECT_TRUE(f.SaveJobBtn->isEnabled());

    // A job state of 1 (a new job) stays 1 when the elevation is typed.
    p.job.JobSaveState = 1;
    f.ElevEdit->setFocus();
    QTest::keyClick(f.ElevEdit, Qt::Key_Backspace);
    EXPECT_EQ(p.job.JobSaveState, 1);

    // Out of range: refused, the kept feet value is converted again.
    f.ElevEdit->selectAll();
    QTest::keyClicks(f.ElevEdit, "-201");
    f.ElevEditM->setFocus();
    EXPECT_EQ(msgs.count(), 1);
    EXPECT_EQ(f.ElevEdit->text(), "328");
    EXPECT_NEAR(p.ctx.Elevation, 328.083, 1e-9);
    EXPECT_EQ(f.ElevEditM->text(), "100.0");
}

// Keys beyond a picture are not dropped into a plausible number (12000 ft
// is not 1200, a ratio 12.345 not 1.34): the entry is refused naming the field.
TEST(MainWindow, JobNumbersBeyondThePictureAreRefusedNamingTheField)
{
    TScriptedMessages msgs;
    TMainProgram p;
    TMainForm& f = *p.form;
    ASSERT_TRUE(activate(&f));
    f.Picture->hide();
    f.JobPanel->show();
    f.ElevEdit->setValue(1000);
    f.Norm50Edit->setValue(0.85);
    p.ctx.Elevation = 1000;
    p.ctx.EffPcpFact50 = 0.85;
    struct Case {
        TNumEdit* edit;
        const char* typed;
        const char* message;
    } cases[] = {
        {f.ElevEdit, "12000",
         "Job elevation above sea level (feet): 12000 is out of range. Enter a number from -200 to 9999."},
        {f.Norm50Edit, "12.345",
         "Effective Precipitation Ratio, Normal year: 12.345 has more than 2 decimals. Enter a number from 0.01 to 9.99."},
        {f.Norm50Edit, "1.234",
         "Effective Precipitation Ratio, Normal year: 1.234 has more than 2 decimals. Enter a number from 0.01 to 9.99."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        msgs.clear();
        const QString before = c.edit->text();
        c.edit->setFocus();
        c.edit->selectAll();
        QTest::keyClicks(c.edit, c.typed);
        EXPECT_EQ(c.edit->text(), c.typed);   // every key kept while typing
        QTest::keyClick(c.edit, Qt::Key_Tab);
        QApplication::processEvents();
        ASSERT_EQ(msgs.count(), 1);
        EXPECT_EQ(msgs.lastText(), c.message);
        EXPECT_EQ(c.edit->text(), before);
        EXPECT_EQ(QApplication::focusWidget(), c.edit);
    }
    EXPECT_DOUBLE_EQ(p.ctx.Elevation, 1000);
    EXPECT_DOUBLE_EQ(p.ctx.EffPcpFact50, 0.85);
}

TEST(MainWindow, EnterMovesThroughTheJobPanel)
{
    TScriptedMessages msgs;
    TMainProgram p;
    TMainForm& f = *p.form;
    ASSERT_TRUE(activate(&f));
    f.Picture->hide();
    f.JobPanel->show();
    f.Norm50Edit->setValue(0.9);
    f.Dry80Edit->setValue(0.7);
    f.JobNameEdit->setFocus();
    EXPECT_TRUE(f.JobNameEntered);
    // Leaving the job name runs its check (which moves the focus on its own);
    // the walk starts after it, with a job name in the context.
    QWidget* order[] = {f.DateEdit, f.PlannerEdit, f.LocationEdit, f.LandUserEdit, f.IDEdit,
                        f.JobClassEdit, f.ElevEdit, f.ElevEditM, f.Norm50Edit, f.Dry80Edit};
    f.JobNameEdit->clearFocus();
    f.Ctx.JobName = QStringLiteral("Walk");
    f.DateEdit->setFocus();
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        ASSERT_EQ(QApplication::focusWidget(), order[i]) << i;
        QTest::keyClick(order[i], Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), order[i + 1]) << order[i]->objectName().toStdString();
    }
    EXPECT_EQ(msgs.count(), 0);
}

TEST(MainWindow, CloseEmptiesTheWorkingCrops)
{
    TMainProgram p;
    TTable* wk = p.dmod->tblQuenWkCrop;
    wk->open();
    wk->append();
    wk->field("Crop Name").setAsString("Corn");
    wk->post();
    p.dmod->tblQuenJob->open();
    p.ctx.JobName = "Farm";
    p.form->show();
    p.form->ExitItem->trigger();
    EXPECT_FALSE(p.form->isVisible());
    EXPECT_FALSE(wk->isOpen());
    EXPECT_FALSE(p.dmod->tblQuenJob->isOpen());
    wk->open();
    EXPECT_TRUE(wk->isEmpty());
    wk->close();
    EXPECT_TRUE(p.ctx.JobName.isEmpty());
}

namespace {
class CountingForm : public TMainForm {
public:
    using TMainForm::TMainForm;
    int prompts = 0;
    void SavePrompt() override { ++prompts; }
};
} // namespace

TEST(MainWindow, ClosingWithUnsavedChangesPromptsExactlyOnce)
{
    TDMod dmod;
    for (int way = 0; way < 3; ++way) {
        CropRunContext ctx;
        JobState job;
        CropCurveState curve;
        CountingForm f(ctx, job, curve);
        f.show();
        job.JobSaveState = 2;
        if (way == 0) f.ExitItem->trigger();
        else if (way == 1) f.ExitButton->click();
        else f.close();   // the close box
        EXPECT_EQ(f.prompts, 1) << way;
        EXPECT_FALSE(f.isVisible());
    }
    CropRunContext ctx;
    JobState job;
    CropCurveState curve;
    CountingForm f(ctx, job, curve);
    f.show();
    f.close();
    EXPECT_EQ(f.prompts, 0);   // nothing to save, no prompt
}

TEST(MainDialogs, NotImplementedAboutAndWait)
{
    TNotImplForm ni;
    EXPECT_EQ(ni.windowTitle(), "Not Implemented");
    QStringList texts;
    for (QLabel* l : ni.findChildren<QLabel*>()) texts << l->text();
    EXPECT_EQ(texts, QStringList({"This report has not been ", "implemented."}));
    EXPECT_EQ(ni.CloseBtn->text(), "&Close");
    ni.show();
    ni.CloseBtn->click();
    EXPECT_FALSE(ni.isVisible());

    TAboutBox about;
    const QStringList lines = about.texts();
    for (const char* t : {"(Quenpm) Quen, Peman-Monteith", "Main Program", "FAO Penman-Monteith", "(Quenpm)",
                          "Version 1.1, October 15, 2005",
                          "Please submit a job detailed report  \"*.QRP\"  file with bug reports"})
        EXPECT_TRUE(lines.contains(t)) << t;
    EXPECT_TRUE(lines.join("\n").contains("September 1993"));
    EXPECT_TRUE(lines.join("\n").contains("\"Crop Evapotranspiration\""));
    EXPECT_TRUE(lines.join("\n").contains("January 2005"));
    EXPECT_TRUE(lines.join("\n").contains("Technical Release No 21, Irrigation Water Requirements, April 1967"));

    CropRunContext ctx;
    ctx.JobName = "North field";
    TWaitDlg wait(ctx);
    wait.setMaximum(100);
    wait.show();
    EXPECT_EQ(wait.JobLabel->text(), "North field");
    EXPECT_EQ(wait.ProgressBar->value(), 0);
    EXPECT_EQ(wait.WaitLabel->text(), "Please wait ....");
    for (int i = 0; i < 3; ++i) wait.advance(10);
    for (int i = 0; i < 6; ++i) wait.advance(15);   // more crops than the bar shows
    EXPECT_EQ(wait.ProgressBar->value(), 100);
    wait.close();                                   // the user cannot close it
    EXPECT_TRUE(wait.isVisible());
    wait.finish();
    EXPECT_FALSE(wait.isVisible());
    EXPECT_FALSE(wait.windowFlags() & Qt::WindowCloseButtonHint);
}
