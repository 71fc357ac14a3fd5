// The planner's road through the main window, driven through its controls:
// New Job, the job name, Get New Climate with the county and station grids
// and the ET method, a crop, Display Crop, Save, Cancel, Get Prev Job; and
// the job name check, the save prompt, Delete Crop, the report commands and
// the job removal dialog.
#include <gtest/gtest.h>

#include <QDir>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "Database.h"
#include "DBGrid.h"
#include "JobDialogs.h"
#include "JobFixture.h"
#include "JobStore.h"
#include "MessageBoxes.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Program.h"
#include "ReferenceET.h"

using namespace quen;
using namespace quen::mainprog;
using namespace quen::test;

namespace {

bool selectGridRow(TDBGrid* grid, const QString& text)
{
    QAbstractItemModel* m = grid->model();
    for (int r = 0; r < m->rowCount(); ++r)
        if (m->data(m->index(r, 0)).toString().trimmed() == text) {
            grid->setCurrentIndex(m->index(r, 0));
            return true;
        }
    return false;
}

QStringList gridColumn(TDBGrid* grid)
{
    QStringList out;
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        out << grid->model()->data(grid->model()->index(r, 0)).toString().trimmed();
    return out;
}

struct Family {
    const char* name;
    const char* county;
    const char* station;
    QString systemCode;        // "ET Method" of the system defaults
    bool zeroJulyWind;         // the station's wind record lacks July wind
    int etChoice;              // choice made in the ET method dialog (0: no dialog expected)
    int expectedIndex;
    const char* expectedText;
    WorkingCrop crop;
};

void PrintTo(const Family& fam, std::ostream* os) { *os << fam.name; }

class JobWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::open(dir.filePath("road.sqlite"));
        QDir::setCurrent(dir.path());
        p = std::make_unique<TMainProgram>();
        f = p->form.get();
        f->show();
        f->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(f));
    }
    void TearDown() override
    {
        msgs.clear();
        if (f) f->Ctx.JobSaveState = 0;   // no prompt on the way out
        p.reset();
        Database::close();
        QDir::setCurrent(m_cwd);
    }

    static void setSystemCode(const QString& code)
    {
        TTable sys("SystemDefaults.db");
        sys.open();
        sys.first();
        sys.edit();
        sys.field("ET Method").setAsString(code);
        sys.post();
        sys.close();
    }

    static void zeroJulyWind(const QString& station)
    {
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({station});
        const QString whr = clim.field("WHRLocation").asString();
        clim.close();
        TTable w("ClimWHR.DB");
        w.open();
        ASSERT_TRUE(w.locate("WHRLocation", whr));
        w.edit();
        w.field("U27").setAsFloat(0);
        w.post();
        w.close();
    }

    // New Job and the job name as a planner types them.
    void newJob(const QString& name, const QString& location = "North field", const QString& planner = "J. Doe")
    {
        QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
        ASSERT_TRUE(f->JobPanel->isVisible());
        f->JobNameEdit->setFocus();
        QTest::keyClicks(f->JobNameEdit, name);
        QTest::keyClick(f->JobNameEdit, Qt::Key_Return);   // leaves the edit: the job name check
        f->LocationEdit->setFocus();
        QTest::keyClicks(f->LocationEdit, location);
        f->PlannerEdit->setFocus();
        QTest::keyClicks(f->PlannerEdit, planner);
        f->IDEdit->setFocus();
    }

    // Get New Climate: the county, then the station; the ET method dialog
    // when it comes; "No" to editing the site values.
    void chooseStation(const QString& county, const QString& station, int etChoice = 0, bool* etDialogShown = nullptr)
    {
        TModalDriverScope drive([&](QDialog& d) {
            if (auto* g = qobject_cast<TGetClimDlg*>(&d)) {
                d.show();
                EXPECT_TRUE(selectGridRow(g->CountyDBGrid, county));
                EXPECT_EQ(gridColumn(g->SelectedStaDBGrid), QStringList{station});
                EXPECT_TRUE(selectGridRow(g->SelectedStaDBGrid, station));
                EXPECT_EQ(g->StationNameText->text(), station);
                QTest::mouseClick(g->btnOK, Qt::LeftButton);
                return d.result();
            }
            if (auto* e = qobject_cast<TETMethodDlg*>(&d)) {
                if (etDialogShown) *etDialogShown = true;
                QRadioButton* r = etChoice == 2 ? e->NehChoice : etChoice == 3 ? e->Fao56Choice : e->TR21Choice;
                EXPECT_TRUE(r->isEnabled());
                r->click();
                QTest::mouseClick(e->OKBtn, Qt::LeftButton);
                return d.result();
            }
            ADD_FAILURE() << "unexpected dialog " << d.objectName().toStdString();
            return int(QDialog::Rejected);
        });
        msgs.clear();
        msgs.answer(MsgResult::No);
        QTest::mouseClick(f->JobDatBtn, Qt::LeftButton);
    }

    // The crop as the crop dialogs leave it: appended through the data
    // module, the counter advanced, the crop buttons on.
    void addCrop(const WorkingCrop& c)
    {
        TTable* wk = p->dmod->tblQuenWkCrop;
        if (!wk->isOpen()) wk->open();
        appendWorkingCrop(*wk, c, f->Ctx.JobName, ++f->Ctx.CropCounter);
        for (QWidget* w : {static_cast<QWidget*>(f->DisplayButton), static_cast<QWidget*>(f->DeleteCropBtn),
                           static_cast<QWidget*>(f->EdCropBtn), static_cast<QWidget*>(f->JobCropDBGrid),
                           static_cast<QWidget*>(f->SaveJobBtn)})
            w->setEnabled(true);
        if (f->Ctx.JobSaveState == 0) f->Ctx.JobSaveState = 2;
    }

    // The engine's results for crop c of a job on station, computed apart
    // from the window (own context, own handle on a copy of the row).
    CropRunContext engineResults(const QString& station, const WorkingCrop& c, int etIndex)
    {
        CropRunContext e;
        TTable clim("Climate.DB");
        clim.open();
        clim.findNearest({station});
        job::CopyStation(clim, e);
        clim.close();
        e.ETMethodIndex = etIndex;
        WorkingCrop w = c;
        w.etIndex = etIndex;
        TTable wk("QuenWkCrop.DB");
        wk.open();
        appendWorkingCrop(wk, w, "engine copy", 999);
        e.CropName = w.name;
        CropCurveState st;
        ComputeCrop(e, st, wk);
        wk.remove();
        wk.close();
        return e;
    }

    // Get Prev Job, choosing name in the job list.
    void fetchJob(const QString& name)
    {
        TModalDriverScope drive([&](QDialog& d) {
            auto* l = qobject_cast<TJobListForm*>(&d);
            if (!l) {
                ADD_FAILURE() << "unexpected dialog " << d.objectName().toStdString();
                return int(QDialog::Rejected);
            }
            d.show();
            EXPECT_TRUE(selectGridRow(l->JobGrid, name));
            EXPECT_EQ(l->JobNameText->text(), name);
            QTest::mouseClick(l->OKBtn, Qt::LeftButton);
            return d.result();
        });
        QTest::mouseClick(f->RevEditBtn, Qt::LeftButton);
    }

    QTemporaryDir dir;
    const QString m_cwd = QDir::currentPath();
    TScriptedMessages msgs;
    std::unique_ptr<TMainProgram> p;
    TMainForm* f = nullptr;
};

} // namespace

class JobRoad : public JobWindow, public ::testing::WithParamInterface<Family> {};

TEST_P(JobRoad, NewJobStationCropDisplaySaveCancelAndFetchGiveTheEngineNumbers)
{
    const Family& fam = GetParam();
    if (!fam.systemCode.isEmpty()) setSystemCode(fam.systemCode);
    if (fam.zeroJulyWind) zeroJulyWind(fam.station);
    const QString jobName = QStringLiteral("Road ") + fam.name;

    // Program shown: only New Job and Get Prev Job.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_FALSE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->JobPanel->isVisible());

    QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
    // After New Job.
    EXPECT_FALSE(f->NewJobButton->isEnabled());
    EXPECT_FALSE(f->RevEditBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_FALSE(f->AddCropBtn->isEnabled());
    EXPECT_TRUE(f->UniqueLabel->isVisible());
    EXPECT_EQ(f->windowTitle(), "Quen (Quen)");
    EXPECT_EQ(f->DateEdit->text(), QDate::currentDate().toString("MM/dd/yy"));
    EXPECT_EQ(f->Ctx.JobSaveState, 1);

    msgs.clear();
    f->JobNameEdit->setFocus();
    QTest::keyClicks(f->JobNameEdit, jobName);
    EXPECT_TRUE(f->JobDatBtn->isEnabled());   // on once the name is typed
    EXPECT_FALSE(f->GetClimLbl->isVisible());
    QTest::keyClick(f->JobNameEdit, Qt::Key_Return);
    EXPECT_EQ(msgs.lastText(), QStringLiteral("Job will be saved as ") + jobName + ".");
    EXPECT_EQ(QApplication::focusWidget(), f->LocationEdit);
    QTest::keyClicks(f->LocationEdit, "North field");
    f->PlannerEdit->setFocus();
    QTest::keyClicks(f->PlannerEdit, "J. Doe");
    f->IDEdit->setFocus();

    bool etDialog = false;
    chooseStation(fam.county, fam.station, fam.etChoice, &etDialog);
    EXPECT_EQ(etDialog, fam.etChoice != 0);
    EXPECT_TRUE(msgs.texts().contains("Edit site elevation or precipitation ratios?"));
    EXPECT_EQ(msgs.shown().last().buttons, MsgButtons::YesNoHelp);
    EXPECT_EQ(msgs.shown().last().helpContext, 19029);
    EXPECT_EQ(msgs.texts().contains(kInsufficientClimateData), fam.zeroJulyWind);
    EXPECT_EQ(f->StationNameLabel->text(), fam.station);
    EXPECT_EQ(f->CountyLabel->text(), fam.county);
    EXPECT_EQ(f->Ctx.ETMethodIndex, fam.expectedIndex);
    EXPECT_EQ(f->ETLabel->text(), fam.expectedText);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("Quen Job [") + jobName + "]");
    EXPECT_NEAR(f->Norm50Edit->value(), job::DefaultRatio50(f->Ctx.AnnualPrecip), 0.005);
    EXPECT_NEAR(f->Dry80Edit->value(), job::DefaultRatio80(f->Ctx.AnnualPrecip), 0.005);
    // After the station: Save and Add on, Get New Climate off with its note.
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->AddCropBtn->isEnabled());
    EXPECT_FALSE(f->DisplayButton->isEnabled());
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_TRUE(f->GetClimLbl->isVisible());

    WorkingCrop crop = fam.crop;
    crop.etIndex = f->Ctx.ETMethodIndex;
    addCrop(crop);
    msgs.clear();
    QTest::mouseClick(f->DisplayButton, Qt::LeftButton);
    const CropRunContext expected = engineResults(fam.station, crop, fam.expectedIndex);
    ASSERT_GT(expected.TotalCropET, 0.0);
    expectSameResults(f->Ctx, expected, "Display Crop");

    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_EQ(f->Ctx.JobSaveState, 0);
    // After a save.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_TRUE(f->RevEditBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_TRUE(f->JobDatBtn->isEnabled());
    EXPECT_FALSE(f->GetClimLbl->isVisible());
    EXPECT_NE(job::FindJob(jobName), 0);

    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    EXPECT_FALSE(f->JobPanel->isVisible());
    EXPECT_TRUE(f->Picture->isVisible());
    EXPECT_FALSE(f->CancelJobBtn->isEnabled());
    EXPECT_TRUE(f->RevEditBtn->isEnabled());

    msgs.clear();
    fetchJob(jobName);
    EXPECT_EQ(msgs.count(), 0);
    EXPECT_FALSE(p->waitDlg->isVisible());
    EXPECT_EQ(p->waitDlg->ProgressBar->value(), 100);
    EXPECT_EQ(f->JobNameEdit->text(), jobName);
    EXPECT_EQ(f->LocationEdit->text(), "North field");
    EXPECT_EQ(f->PlannerEdit->text(), "J. Doe");
    EXPECT_EQ(f->StationNameLabel->text(), fam.station);
    // "ETMethod" keeps 25 characters.
    EXPECT_EQ(f->ETLabel->text(), QString(fam.expectedText).left(25));
    EXPECT_EQ(gridColumn(f->JobCropDBGrid), QStringList{crop.name});
    EXPECT_EQ(f->Ctx.CropCounter, 1);
    expectSameResults(f->Ctx, expected, "Get Prev Job");
    // After Get Prev Job.
    EXPECT_TRUE(f->NewJobButton->isEnabled());
    EXPECT_TRUE(f->CancelJobBtn->isEnabled());
    EXPECT_FALSE(f->SaveJobBtn->isEnabled());
    EXPECT_FALSE(f->JobDatBtn->isEnabled());
    EXPECT_TRUE(f->DisplayButton->isEnabled());
    EXPECT_EQ(f->Ctx.JobSaveState, 0);

    QTest::mouseClick(f->DisplayButton, Qt::LeftButton);
    expectSameResults(f->Ctx, expected, "Display Crop after the fetch");
}

INSTANTIATE_TEST_SUITE_P(
    MethodFamilies, JobRoad,
    ::testing::Values(
        Family{"NEH", "Pinal, AZ", "MARICOPA AZMET", {}, false, 0, 2, "FAO Penman-Monteith,NEH2 Bas crop curves",
               nehCrop()},
        Family{"FAO56", "Pinal, AZ", "MARICOPA AZMET", "ANY", false, 3, 3, "FAO Penman-Monteith,FAO56, Table12",
               faoCrop()},
        Family{"Fallback", "Pinal, AZ", "MARICOPA AZMET", "FAO56", true, 0, 1, "Blaney Criddle (TR21)", bcCrop()},
        Family{"NoWind", "Blaine, ID", "KETCHUM RS", {}, false, 0, 1, "Blaney Criddle (TR21)", bcCrop()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(JobWindow, JobNameCheckAsksBeforeReplacingAnotherJob)
{
    newJob("Existing");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_NE(job::FindJob("Existing"), 0);

    // A new job typed with that name: No keeps the old job, the focus goes back.
    QTest::mouseClick(f->NewJobButton, Qt::LeftButton);
    f->JobNameEdit->setFocus();
    QTest::keyClicks(f->JobNameEdit, "Existing");
    msgs.clear();
    msgs.answer(MsgResult::No);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.texts(), QStringList{"The job Existing already exists.  Do you want to replace it?"});
    EXPECT_EQ(QApplication::focusWidget(), f->JobNameEdit);
    EXPECT_NE(job::FindJob("Existing"), 0);
    // Get New Climate refuses the used name (after the check asks again).
    msgs.clear();
    msgs.answer(MsgResult::No);
    QTest::mouseClick(f->JobDatBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText().toStdString(), "Job Name already used. Enter a unique name.") << msgs.texts().join("|").toStdString();

    // Save Job refuses to append a second job of that name.
    msgs.clear();
    f->Ctx.JobSaveState = 1;
    f->SaveJobBtn->setEnabled(true);
    f->SaveJobBtn->click();
    EXPECT_EQ(msgs.lastText().toStdString(), "Job Name already used. Enter a unique name.");
    {
        TTable jobs("QuenJob.db");
        jobs.open();
        EXPECT_EQ(jobs.recordCount(), 1);
        jobs.close();
    }

    // Yes, then Yes: the old job and its crops are deleted.
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    msgs.answer(MsgResult::Yes);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.texts(), (QStringList{"The job Existing already exists.  Do you want to replace it?",
                                         "Are you sure you want to delete Existing ?"}))
        << msgs.texts().join("|").toStdString();
    EXPECT_EQ(job::FindJob("Existing"), 0);
}

TEST_F(JobWindow, RenamedFetchedJobIsSavedAsANewJobAndTheOldOneStays)
{
    newJob("Original");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    addCrop(faoCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("Original");

    f->JobNameEdit->setFocus();
    f->JobNameEdit->selectAll();
    QTest::keyClicks(f->JobNameEdit, "Copy");
    msgs.clear();
    msgs.answer(MsgResult::Yes);
    f->DateEdit->setFocus();
    EXPECT_EQ(msgs.lastText(), "Save job as: Copy?");
    EXPECT_EQ(f->Ctx.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    EXPECT_NE(job::FindJob("Original"), 0);
    EXPECT_NE(job::FindJob("Copy"), 0);
    CropRunContext a, b;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    EXPECT_TRUE(job::LoadJob("Original", a));
    a.JobName = "Original";
    EXPECT_EQ(job::FetchCrops(a, st, wk), 2);
    b.JobName = "Copy";
    EXPECT_EQ(job::FetchCrops(b, st, wk), 2);
    wk.close();
}

TEST_F(JobWindow, SavePromptDeleteCropAndTheReportRefusal)
{
    // The report commands refuse an empty working crop table.
    msgs.clear();
    f->SingleCropReportItem->trigger();
    f->JobCropSummaryItem->trigger();
    EXPECT_EQ(msgs.texts(), QStringList(2, "There must be an active job to print a report."));
    EXPECT_FALSE(f->ReportCancelled);

    newJob("Prompted");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    addCrop(bcCrop());

    // Delete Crop: asks, deletes, and disables Delete/Edit/Display with the last crop.
    p->dmod->tblQuenWkCrop->first();
    msgs.clear();
    msgs.answer(MsgResult::No);
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText(), "Do you really want to delete crop Potatoes?");
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 2);
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 1);
    EXPECT_TRUE(f->DisplayButton->isEnabled());
    QTest::mouseClick(f->DeleteCropBtn, Qt::LeftButton);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->recordCount(), 0);
    EXPECT_FALSE(f->DisplayButton->isEnabled());
    EXPECT_FALSE(f->DeleteCropBtn->isEnabled());
    EXPECT_FALSE(f->EdCropBtn->isEnabled());
    EXPECT_TRUE(f->AddCropBtn->isEnabled());
    EXPECT_EQ(f->Ctx.CropCounter, 2);   // the counter does not go back
    addCrop(faoCrop());

    // New Job with unsaved changes: the prompt; OK saves the job.
    int prompts = 0;
    {
        TModalDriverScope drive([&](QDialog& d) {
            auto* s = qobject_cast<TSaveForm*>(&d);
            if (!s) return int(QDialog::Rejected);
            ++prompts;
            EXPECT_EQ(d.windowTitle(), "Save Job?");
            EXPECT_EQ(s->JobLabel->text(), "Job: Prompted");
            QTest::mouseClick(s->OKBtn, Qt::LeftButton);
            return d.result();
        });
        EXPECT_FALSE(f->NewJobButton->isEnabled());   // off during a new job; the menu item is there
        f->NewJobItem->trigger();
    }
    EXPECT_EQ(prompts, 1);
    EXPECT_NE(job::FindJob("Prompted"), 0);
    EXPECT_EQ(p->dmod->tblQuenWkCrop->isOpen() ? p->dmod->tblQuenWkCrop->recordCount() : 0, 0);
    CropRunContext back;
    CropCurveState st;
    TTable wk("QuenWkCrop.DB");
    ASSERT_TRUE(job::FetchJob("Prompted", back, st, wk));
    EXPECT_EQ(wk.recordCount(), 1);
    EXPECT_EQ(back.CropCounter, 3);
    wk.close();

    // Closing with unsaved changes shows the prompt once; No saves nothing.
    newJob("Unsaved");
    prompts = 0;
    {
        TModalDriverScope drive([&](QDialog& d) {
            ++prompts;
            QTest::mouseClick(static_cast<TSaveForm&>(d).NoBtn, Qt::LeftButton);
            return d.result();
        });
        f->ExitItem->trigger();
    }
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(job::FindJob("Unsaved"), 0);
}

TEST_F(JobWindow, NoPreviousJobsAndTheRemovalOfTheOpenJob)
{
    msgs.clear();
    QTest::mouseClick(f->RevEditBtn, Qt::LeftButton);
    EXPECT_EQ(msgs.lastText(), "There are no previous jobs available.");
    EXPECT_FALSE(f->RevEditBtn->isEnabled());

    for (const char* name : {"Keep me", "Open one"}) {
        newJob(name);
        chooseStation("Pinal, AZ", "MARICOPA AZMET");
        addCrop(nehCrop());
        QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    }
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("Open one");
    const double season = f->Ctx.TotalNetIrrReq50;

    // Delete the open job in the removal dialog.
    {
        TModalDriverScope drive([&](QDialog& d) {
            auto* r = qobject_cast<TRemoveJobsDlg*>(&d);
            if (!r) return int(QDialog::Rejected);
            d.show();
            EXPECT_EQ(gridColumn(r->JobGrid), (QStringList{"Keep me", "Open one"}));
            EXPECT_TRUE(selectGridRow(r->JobGrid, "Open one"));
            EXPECT_EQ(r->LocationText->text(), "North field");
            msgs.clear();
            msgs.answer(MsgResult::Yes);
            QTest::mouseClick(r->DeleteBtn, Qt::LeftButton);
            EXPECT_EQ(msgs.lastText(), "Do you really want to delete job Open one?");
            EXPECT_EQ(gridColumn(r->JobGrid), QStringList{"Keep me"});
            QTest::mouseClick(r->ReturnBtn, Qt::LeftButton);
            return d.result();
        });
        f->DeleteJobItem->trigger();
    }
    EXPECT_EQ(job::FindJob("Open one"), 0);
    EXPECT_NE(job::FindJob("Keep me"), 0);
    EXPECT_FALSE(p->dmod->tblQuenJob->isOpen());
    // The open job stays, with its crop, as a job to save.
    EXPECT_EQ(msgs.lastText(),
              "The open job Open one was deleted from the saved jobs.  It stays open; save it to keep it.");
    EXPECT_EQ(f->Ctx.JobSaveState, 1);
    EXPECT_TRUE(f->SaveJobBtn->isEnabled());
    EXPECT_EQ(gridColumn(f->JobCropDBGrid), QStringList{"Potatoes"});
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    QTest::mouseClick(f->CancelJobBtn, Qt::LeftButton);
    fetchJob("Open one");
    EXPECT_DOUBLE_EQ(f->Ctx.TotalNetIrrReq50, season);
}

TEST_F(JobWindow, SecondStationForAJobWithCropsKeepsItsMethod)
{
    newJob("Two stations");
    chooseStation("Pinal, AZ", "MARICOPA AZMET");
    addCrop(nehCrop());
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    ASSERT_TRUE(f->JobDatBtn->isEnabled());
    const double ratioMaricopa = f->Ctx.EffPcpFact50;

    chooseStation("Blaine, ID", "KETCHUM RS");
    EXPECT_EQ(f->StationNameLabel->text(), "KETCHUM RS");
    EXPECT_EQ(f->Ctx.ETMethodIndex, 2);
    EXPECT_EQ(f->ETLabel->text(), "FAO Penman-Monteith,NEH2 Bas crop curves");
    EXPECT_NE(f->Ctx.EffPcpFact50, ratioMaricopa);
    EXPECT_DOUBLE_EQ(f->Ctx.EffPcpFact50, job::DefaultRatio50(f->Ctx.AnnualPrecip));
    EXPECT_EQ(f->Ctx.JobSaveState, 2);
    QTest::mouseClick(f->SaveJobBtn, Qt::LeftButton);
    CropRunContext back;
    ASSERT_TRUE(job::LoadJob("Two stations", back));
    EXPECT_EQ(back.WeatherStationName, "KETCHUM RS");
    EXPECT_EQ(back.ETMethodIndex, 2);
}
