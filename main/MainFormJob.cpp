// The main window's job lifecycle: New Job, the job name check, the field
// edits, the checks before the station choice and the station choice itself,
// Save Job and its prompt, Get Prev Job, Cancel Job, Delete Crop, Display
// Crop, the report commands and the job removal dialog. The job operations
// themselves are in JobStore and OpenJob; this file reads the controls, calls
// them, shows their refusals and sets the controls' enabling.
#include <QDate>
#include <QGroupBox>

#include "ComputeCrop.h"
#include "DBGrid.h"
#include "EtMethod.h"
#include "Hourglass.h"
#include "ETMethodDlg.h"
#include "FileDialog.h"
#include "JobFile.h"
#include "GetClimDlg.h"
#include "JobListForm.h"
#include "JobPicture.h"
#include "RemoveJobsDlg.h"
#include "SaveForm.h"
#include "FarmStore.h"
#include "FarmWaterDlg.h"
#include "JobStore.h"
#include "OpenJob.h"
#include "MainDMod.h"
#include "WaitDlg.h"
#include "MainForm.h"
#include "MessageService.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Table.h"
#include "Outputs.h"

namespace quen::mainprog {

namespace {

// The job name check shows message boxes; it must not run again from within.
bool g_inJobNameCheck = false;

// While a command rearranges the window (hiding the job panel, filling the
// edits) the focus leaves edits without the user leaving them: no enter or
// leave handling then.
int g_arranging = 0;
struct Arranging {
    Arranging() { ++g_arranging; }
    ~Arranging() { --g_arranging; }
};

QList<QLineEdit*> textEdits(TMainForm& f)
{
    return {f.JobNameEdit, f.DateEdit, f.PlannerEdit, f.LocationEdit, f.LandUserEdit, f.IDEdit, f.JobClassEdit};
}

void enable(std::initializer_list<QWidget*> widgets, bool on)
{
    for (QWidget* w : widgets)
        w->setEnabled(on);
}

// The data module's tables closed (job::CloseJobTables), when there is one.
void closeTables()
{
    if (DMod)
        job::CloseJobTables(*DMod);
}

// The working crop table, opened when closed.
TTable* workingCrops()
{
    TTable* wk = DMod->tblQuenWkCrop;
    if (!wk->isOpen())
        wk->open();
    return wk;
}

// Shows the job values of the context in the job panel (after a fetch).
void showJob(TMainForm& f)
{
    const CropRunContext& c = f.Ctx;
    f.JobNameEdit->setText(c.JobName);
    f.setWindowTitle(QStringLiteral("Quen Job [") + c.JobName + QLatin1Char(']'));
    f.StationNameLabel->setText(c.WeatherStationName);
    f.LocationEdit->setText(c.JobLocation);
    f.PlannerEdit->setText(c.JobPlanner);
    f.DateEdit->setText(c.JobDate);
    f.LandUserEdit->setText(c.JobLandUser);
    f.IDEdit->setText(c.JobID);
    f.JobClassEdit->setText(c.JobClass);
    f.StaNoLabel->setText(c.StationNumber);
    f.CountyLabel->setText(c.County);
    f.LatLabel->setText(QString::number(c.Latitude, 'g', 15));
    f.LonLabel->setText(QString::number(c.Longitude, 'g', 15));
    f.ElevEdit->setValue(c.Elevation);
    f.ElevEditM->setValue(c.ElevationM);
    f.Norm50Edit->setValue(c.EffPcpFact50);
    f.Dry80Edit->setValue(c.EffPcpFact80);
    f.ETLabel->setText(c.ETMethodText);
    for (QLineEdit* e : textEdits(f))
        e->setModified(false);
    for (TNumEdit* e : {f.ElevEdit, f.ElevEditM, f.Norm50Edit, f.Dry80Edit})
        e->setMarkedModified(false);
}

// Entering the location, planner, land user, ID or job class edit.
void enterJobText(TMainForm& f)
{
    if (g_arranging || !f.JobPanel->isVisible())
        return;
    if (f.Ctx.JobName.isEmpty()) {
        showError(QStringLiteral("You must enter a Job Name"));
        f.JobNameEdit->setFocus();
        return;
    }
    if (f.Job.JobSaveState != 1)
        f.Job.JobSaveState = 2;
}

void changeJobText(TMainForm& f)
{
    if (f.Job.JobSaveState == 0)
        f.Job.JobSaveState = 2;
}

void exitJobText(TMainForm& f, QLineEdit* e, QString& target)
{
    if (g_arranging || !f.JobPanel->isVisible())
        return;
    target = e->text();
    e->setModified(true);
    f.SaveJobBtn->setEnabled(true);
}

// "There must be an active job to print a report." when the working crop
// table is empty.
bool haveActiveJob()
{
    if (DMod && !workingCrops()->isEmpty())
        return true;
    showInfo(QStringLiteral("There must be an active job to print a report."));
    return false;
}

void computeCurrentCrop(TMainForm& f)
{
    THourglass wait;
    ComputeCrop(f.Ctx, f.CurveState, *workingCrops());
}

// The wait dialog shown while a saved job is fetched, and finished however
// the fetch ends.
struct WaitShown {
    WaitShown()
    {
        if (WaitDlg) {
            WaitDlg->setMaximum(100);
            WaitDlg->show();
            WaitDlg->repaint();
        }
    }
    ~WaitShown()
    {
        if (WaitDlg) WaitDlg->finish();
    }
};

void advanceWaitBar(int step)
{
    if (WaitDlg) WaitDlg->advance(step);
}

} // namespace

// --- New Job -----------------------------------------------------------------------

void TMainForm::NewJobButtonClick()
{
    Arranging arranging;
    if (!leaveOpenJob())
        return;   // the unsaved job stays on screen
    closeTables();
    if (DMod) {
        job::StartJob(Ctx, Job, *DMod->tblQuenWkCrop);
    } else {
        Ctx.reset();
        Job.reset();
        Job.JobSaveState = 1;
    }
    JobNameEntered = false;

    ClimateGroup->setEnabled(true);
    for (QLineEdit* e : textEdits(*this)) {
        e->setEnabled(true);
        e->clear();
        e->setModified(false);
    }
    for (QLabel* l : {StationNameLabel, StaNoLabel, CountyLabel, LatLabel, LonLabel, ETLabel})
        l->clear();
    Norm50Edit->clearValue();
    Dry80Edit->clearValue();
    ElevEdit->setValue(1);
    ElevEditM->setValue(0.3048);
    for (TNumEdit* e : {ElevEdit, ElevEditM, Norm50Edit, Dry80Edit})
        e->setMarkedModified(false);
    setWindowTitle(QStringLiteral("Quen (Quen)"));

    CancelJobBtn->setEnabled(true);
    enable({JobDatBtn, SaveJobBtn, DisplayButton, EdCropBtn, AddCropBtn, DeleteCropBtn, JobCropDBGrid,
                RevEditBtn, NewJobButton, ElevEdit, ElevEditM},
               false);
    GetClimLbl->setVisible(true);

    DateEdit->setText(QDate::currentDate().toString(QStringLiteral("MM/dd/yy")));
    DateEdit->setModified(false);
    Job.CropCounter = 0;
    UniqueLabel->setVisible(true);

    Picture->setVisible(false);
    JobPanel->setVisible(true);
    JobNameEdit->setFocus();
}

// --- job name check and field edits ----------------------------------------------------

void TMainForm::JobNameEditChange()
{
    JobNameEdit->setModified(true);
    JobDatBtn->setEnabled(true);
    GetClimLbl->setVisible(false);
}

void TMainForm::JobNameEditExit()
{
    if (g_inJobNameCheck || g_arranging || !JobPanel->isVisible())
        return;
    g_inJobNameCheck = true;
    struct Reset {
        ~Reset() { g_inJobNameCheck = false; }
    } reset;

    const QString name = JobNameEdit->text();
    Ctx.JobName = name;
    if (!name.isEmpty()) {
        const int found = job::FindJob(name);
        if (found && !job::IsOpenJob(Job, found)) {
            if (!askYesNo(QStringLiteral("The job ") + name + QStringLiteral(" already exists.  Do you want to replace it?"))) {
                JobNameEdit->setFocus();
            } else if (!askYesNo(QStringLiteral("Are you sure you want to delete ") + name + QStringLiteral(" ?"))) {
                LocationEdit->setFocus();
            } else {
                // The saved job of that name goes with all its crops; the open
                // job keeps its save state and is saved under the name later.
                job::DeleteJobsNamed(name);
            }
        } else if (found) {
            if (!JobNameEntered) {
                JobNameEntered = true;
                LocationEdit->setFocus();
            }
        } else if (Job.JobFromDatabase) {
            if (askYesNo(QStringLiteral("Save job as: ") + name + QStringLiteral("?"))) {
                Job.JobSaveState = 1;
                SaveJobBtn->setEnabled(true);
                LocationEdit->setFocus();
            } else {
                JobNameEdit->setFocus();
            }
        } else {
            Job.JobSaveState = 1;
            SaveJobBtn->setEnabled(true);
            showInfo(QStringLiteral("Job will be saved as ") + name + QStringLiteral("."));
            LocationEdit->setFocus();
        }
    }
    Ctx.JobName = JobNameEdit->text();
}

void TMainForm::LocationEditEnter() { enterJobText(*this); }
void TMainForm::PlannerEditEnter() { enterJobText(*this); }
void TMainForm::LandUserEditEnter() { enterJobText(*this); }
void TMainForm::IDEditEnter() { enterJobText(*this); }
void TMainForm::JobClassEditEnter() { enterJobText(*this); }
void TMainForm::LocationEditChange() { changeJobText(*this); }
void TMainForm::PlannerEditChange() { changeJobText(*this); }
void TMainForm::DateEditChange() { changeJobText(*this); }
void TMainForm::LocationEditExit() { exitJobText(*this, LocationEdit, Ctx.JobLocation); }
void TMainForm::PlannerEditExit() { exitJobText(*this, PlannerEdit, Ctx.JobPlanner); }
void TMainForm::LandUserEditExit() { exitJobText(*this, LandUserEdit, Ctx.JobLandUser); }
void TMainForm::IDEditExit() { exitJobText(*this, IDEdit, Ctx.JobID); }
void TMainForm::JobClassEditExit() { exitJobText(*this, JobClassEdit, Ctx.JobClass); }
void TMainForm::DateEditExit() { exitJobText(*this, DateEdit, Ctx.JobDate); }

void TMainForm::Norm50EditChange()
{
    if (Job.JobSaveState == 0)
        Job.JobSaveState = 2;
    SaveJobBtn->setEnabled(true);
}

void TMainForm::Dry80EditChange() { Norm50EditChange(); }

void TMainForm::Norm50EditExit()
{
    Ctx.EffPcpFact50 = Norm50Edit->value();
    Norm50Edit->setMarkedModified(true);
    SaveJobBtn->setEnabled(true);
}

void TMainForm::Dry80EditExit()
{
    Ctx.EffPcpFact80 = Dry80Edit->value();
    Dry80Edit->setMarkedModified(true);
    SaveJobBtn->setEnabled(true);
}

// --- station choice ------------------------------------------------------------------

void TMainForm::JobDatBtnClick()
{
    SaveJobBtn->setEnabled(true);
    if (const job::EntryRefusal refusal = job::TakeEntriesForStation(Ctx, Job, jobEntries())) {
        showError(refusal.message);
        focusRefusedEntry(refusal.entry);
        return;
    }
    ElevEdit->setEnabled(true);
    ElevEditM->setEnabled(true);
    UniqueLabel->setVisible(false);
    if (!DMod)
        return;
    chooseStation();
    {
        // The job's ET method, chosen anew while it has no crops.
        TETMethodDlg etDlg(this);
        if (job::SettleETMethod(Ctx, Job, &etDlg))
            ETLabel->setText(Ctx.ETMethodText);
    }
    showStationTaken();
    if (messages().show(MsgKind::Confirmation, QStringLiteral("Edit site elevation or precipitation ratios?"),
                        MsgButtons::YesNoHelp, 19029)
        == MsgResult::Yes)
        return;   // the user edits them in the window
    takeSiteEdits();
    AddCropBtnClick();
}

// The job's texts as the edits hold them.
job::JobEntries TMainForm::jobEntries() const
{
    auto typed = [](const QLineEdit* e) { return job::TypedText{e->text(), e->isModified()}; };
    return {typed(JobNameEdit), typed(LocationEdit), typed(PlannerEdit), typed(LandUserEdit), typed(IDEdit),
            typed(JobClassEdit), DateEdit->text()};
}

// The edit a refused station choice sends the planner back to; the name
// edit keeps the focus in the end.
void TMainForm::focusRefusedEntry(job::JobEntry entry)
{
    if (entry == job::JobEntry::Location)
        LocationEdit->setFocus();
    else if (entry == job::JobEntry::Planner)
        PlannerEdit->setFocus();
    JobNameEdit->setFocus();
}

// The station dialog over the county list and the county's stations; however
// it was closed, the current station is taken and shown.
void TMainForm::chooseStation()
{
    TTable* clim = DMod->tblClim;
    TTable* counties = DMod->tblCntyList;
    if (!clim->isOpen()) clim->open();
    if (!counties->isOpen()) counties->open();
    {
        TGetClimDlg dlg(this);
        execModal(dlg);
    }
    if (job::TakeStation(*clim, Ctx)) {
        StationNameLabel->setText(Ctx.WeatherStationName);
        ElevEdit->setValue(Ctx.Elevation);
        ElevEditM->setValue(Ctx.ElevationM);
        CountyLabel->setText(Ctx.County);
        StaNoLabel->setText(Ctx.StationNumber);
        LatLabel->setText(clim->field(QStringLiteral("Latitude")).asString());
        LonLabel->setText(clim->field(QStringLiteral("Longitude")).asString());
    }
    clim->close();
    counties->close();
}

// The controls once a station is in the job.
void TMainForm::showStationTaken()
{
    AddCropBtn->setEnabled(true);
    enable({DisplayButton, EdCropBtn, DeleteCropBtn, JobDatBtn}, false);
    GetClimLbl->setVisible(true);
    Norm50Edit->setValue(Ctx.EffPcpFact50);
    Dry80Edit->setValue(Ctx.EffPcpFact80);
    setWindowTitle(QStringLiteral("Quen Job [") + Ctx.JobName + QLatin1Char(']'));
    ElevEdit->setFocus();
}

// The site's elevation and ratios as the edits hold them.
void TMainForm::takeSiteEdits()
{
    Ctx.Elevation = ElevEdit->value();
    Ctx.ElevationM = ElevEditM->value();
    Ctx.EffPcpFact50 = Norm50Edit->value();
    Ctx.EffPcpFact80 = Dry80Edit->value();
}

// --- Save Job and the save prompt ------------------------------------------------------

void TMainForm::SaveJobBtnClick()
{
    SaveRefused = false;
    if (Job.JobSaveState == 1 || Job.JobSaveState == 2) {
        // An empty name, or one the table would cut.
        if (const QString problem = job::JobNameProblem(Ctx.JobName); !problem.isEmpty()) {
            showError(problem);
            JobNameEdit->setFocus();
            return;
        }
        // The job is never saved under the name of another saved job, as a
        // new job or as the changes of this one: the two would share their
        // crop rows from then on, or this one would overwrite the other.
        const int found = job::FindJob(Ctx.JobName);
        if (found && !job::IsOpenJob(Job, found)) {
            showError(QStringLiteral("Job Name already used. Enter a unique name."));
            JobNameEdit->setFocus();
            return;
        }
        if (DMod) {
            TTable* wk = DMod->tblQuenWkCrop;
            if (wk->isOpen() && wk->state() != TTable::State::Browse)
                wk->post();
        }
        job::SaveResult r;
        try {
            r = job::SaveJob(Ctx, Job);
        } catch (const DbError& e) {
            // Nothing was written; the job stays open with its changes.
            SaveRefused = true;
            showError(QStringLiteral("The job ") + Ctx.JobName + QStringLiteral(" was not saved.\n") + e.message());
            return;
        }
        if (r != job::SaveResult::Nothing) {
            Job.JobSaveState = 0;
            ClimateGroup->setEnabled(true);
            enable({JobDatBtn, RevEditBtn, NewJobButton, DisplayButton, AddCropBtn, DeleteCropBtn, EdCropBtn,
                    JobCropDBGrid},
                   true);
            SaveJobBtn->setEnabled(false);
            GetClimLbl->setVisible(false);
            JobNameEdit->setModified(false);
        }
    }
    UniqueLabel->setVisible(false);
}

void TMainForm::SavePrompt()
{
    TSaveForm prompt(Ctx.JobName, this);
    if (execModal(prompt) == QDialog::Accepted)
        SaveJobBtnClick();
}

// --- Get Prev Job --------------------------------------------------------------------

void TMainForm::RevEditBtnClick()
{
    Arranging arranging;
    if (!DMod || !previousJobsAvailable() || !leaveOpenJob())
        return;
    job::CloseJob(Ctx, Job, *DMod);
    const QString name = pickSavedJob();
    if (name.isEmpty())
        return;   // cancelled: the context stays reset, the window keeps what it showed
    openSavedJob(name);
}

// The saved job of this name fetched and shown, its first crop current.
void TMainForm::openSavedJob(const QString& name)
{
    WaitShown waitShown;
    openJobPanelForFetch();
    bool found = false;
    {
        THourglass wait;
        found = job::FetchJob(name, Ctx, Job, CurveState, *DMod->tblQuenWkCrop, advanceWaitBar);
    }
    showFetchedJob(found);
}

// "There are no previous jobs available." (and Get Prev Job off) when no job
// is saved.
bool TMainForm::previousJobsAvailable()
{
    THourglass wait;
    const bool any = job::HasSavedJobs();
    wait.restore();
    if (!any) {
        showInfo(QStringLiteral("There are no previous jobs available."));
        RevEditBtn->setEnabled(false);
    }
    return any;
}

// The save prompt when the open job has changes; false when the database
// refused the save, and the unsaved job stays on screen.
bool TMainForm::leaveOpenJob()
{
    if (Job.JobSaveState == 0)
        return true;
    SaveRefused = false;
    SavePrompt();
    return !SaveRefused;
}

// The job list over "QuenJob.db" in name order; the name of the job chosen,
// "" when cancelled.
QString TMainForm::pickSavedJob()
{
    TTable* jobs = DMod->tblQuenJob;
    jobs->setIndexName(QStringLiteral("JobNameIndex"));
    jobs->open();
    jobs->first();
    {
        TJobListForm list(Ctx, this);
        execModal(list);
    }
    jobs->close();
    return Ctx.JobName;
}

// The job panel while a saved job is fetched: its texts open, the station
// fixed.
void TMainForm::openJobPanelForFetch()
{
    Picture->setVisible(false);
    JobPanel->setVisible(true);
    CancelJobBtn->setEnabled(true);
    ClimateGroup->setEnabled(false);
    for (QLineEdit* e : textEdits(*this)) {
        e->setEnabled(true);
        e->setModified(false);
    }
    JobDatBtn->setEnabled(false);
    GetClimLbl->setVisible(true);
}

// The fetched job in the window, its first crop current.
void TMainForm::showFetchedJob(bool found)
{
    if (found)
        showJob(*this);
    if (WaitDlg) WaitDlg->setPosition(100);
    enable({CancelJobBtn, RevEditBtn, NewJobButton, DisplayButton, AddCropBtn, DeleteCropBtn, JobCropDBGrid,
                EdCropBtn, ElevEdit, ElevEditM},
               true);
    enable({JobDatBtn, SaveJobBtn}, false);
    GetClimLbl->setVisible(true);
    UniqueLabel->setVisible(false);
    Job.JobSaveState = 0;
    TTable* wk = workingCrops();
    wk->first();
    JobCropDBGrid->setFocus();
}

// --- Cancel Job ----------------------------------------------------------------------

void TMainForm::CancelJobBtnClick()
{
    Arranging arranging;
    closeTables();
    Ctx.reset();
    Job.reset();
    Job.JobSaveState = 0;
    enable({CancelJobBtn, JobDatBtn, SaveJobBtn, DisplayButton, AddCropBtn, DeleteCropBtn, EdCropBtn, JobCropDBGrid},
           false);
    GetClimLbl->setVisible(true);
    enable({NewJobButton, RevEditBtn}, true);
    UniqueLabel->setVisible(false);
    JobPanel->setVisible(false);
    Picture->setVisible(true);
    NewJobButton->setFocus();
}

// --- crops of the job ------------------------------------------------------------------

void TMainForm::DeleteCropBtnClick()
{
    if (!DMod)
        return;
    TTable* wk = workingCrops();
    if (wk->isEmpty())
        return;
    const QString crop = wk->field(QStringLiteral("Crop Name")).asString();
    if (messages().show(MsgKind::Information, QStringLiteral("Do you really want to delete crop ") + crop + QStringLiteral("?"),
                        MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    const int cropNo = wk->field(QStringLiteral("Crop No")).asInteger();
    wk->remove();
    job::RemoveWorkingFarmCrop(crop, cropNo);
    SaveJobBtn->setEnabled(true);
    if (wk->isEmpty())
        enable({DeleteCropBtn, EdCropBtn, DisplayButton}, false);
    if (Job.JobSaveState == 0)
        Job.JobSaveState = 2;
}

void TMainForm::DisplayButtonClick()
{
    if (!DMod)
        return;
    TTable* wk = workingCrops();
    if (wk->isEmpty())
        return;
    {
        THourglass wait;
        Ctx.CropName = wk->field(QStringLiteral("Crop Name")).asString();
        // Crop-name order; the handle stays on the crop the user chose.
        wk->setIndexName(QStringLiteral("CropNameIndex"));
        ComputeCrop(Ctx, CurveState, *wk);
    }
    quen::output::showOutputDialog(this, Ctx, CurveState);
}

void TMainForm::JobCropDBGridDblClick() { DisplayButtonClick(); }

// --- report commands -------------------------------------------------------------------

namespace {
// The crop pick dialog, ComputeCrop for the chosen crop, then the preview.
void pickComputeAndPreview(TMainForm& f, quen::output::ReportKind kind)
{
    if (!haveActiveJob())
        return;
    f.ReportCancelled = !quen::output::pickReportCrop(&f, f.Ctx);
    if (f.ReportCancelled)
        return;
    computeCurrentCrop(f);
    quen::output::previewReport(&f, kind, f.Ctx, f.CurveState);
}
} // namespace

void TMainForm::SingleCropReportClick() { pickComputeAndPreview(*this, quen::output::ReportKind::JobCrop); }
void TMainForm::SingleCropDetailsClick() { pickComputeAndPreview(*this, quen::output::ReportKind::CropDetail); }
void TMainForm::ClimateInputDetailsClick() { pickComputeAndPreview(*this, quen::output::ReportKind::ClimDetail); }

void TMainForm::JobCropSummaryClick()
{
    if (!haveActiveJob())
        return;
    workingCrops()->first();
    quen::output::previewReport(this, quen::output::ReportKind::JobSummary, Ctx, CurveState);
}

// The farm's water of the open job in a window of its own: its Ec, hours
// and ECw are edited there (a change is a change of the job).
void TMainForm::FarmWaterItemClick()
{
    if (!haveActiveJob())
        return;
    TFarmWaterDlg dlg(Ctx, CurveState, Job, *workingCrops(), DMod->MetricUnits, this);
    runModal(dlg);
    if (Job.JobSaveState != 0)
        SaveJobBtn->setEnabled(true);
}

// --- job files ---------------------------------------------------------------------------

// Export writes the saved rows (one writer for the window and quenpm-calc).
// A planner exporting the job on screen expects the file to hold what he
// sees, so unsaved changes are offered for saving first; No exports the job
// as last saved and says so.
bool TMainForm::exportableJob()
{
    if (!DMod || !JobPanel->isVisible() || Ctx.JobName.isEmpty()) {
        showInfo(QStringLiteral("There must be an active job to export."));
        return false;
    }
    if (Job.JobSaveState == 0)
        return true;
    const MsgResult answer = messages().show(
        MsgKind::Confirmation,
        QStringLiteral("The job ") + Ctx.JobName
            + QStringLiteral(" has changes that are not saved.  Save the job before it is exported?"),
        MsgButtons::YesNoCancel, 19030);
    if (answer == MsgResult::Yes) {
        SaveJobBtnClick();
        return !SaveRefused && Job.JobSaveState == 0;
    }
    if (answer != MsgResult::No)
        return false;
    if (!Job.JobFromDatabase || job::FindJob(Ctx.JobName) == 0) {
        showInfo(QStringLiteral("The job ") + Ctx.JobName + QStringLiteral(" has never been saved; save it to export it."));
        return false;
    }
    showInfo(QStringLiteral("The job ") + Ctx.JobName
             + QStringLiteral(" is exported as it was last saved, without the changes on screen."));
    return true;
}

void TMainForm::ExportJobItemClick()
{
    if (!exportableJob())
        return;
    const QString path = TFileDialog::getSaveFileName(this, QStringLiteral("Export Job"), Ctx.JobName + QStringLiteral(".json"),
                                                      QStringLiteral("Job files (*.json)"));
    if (path.isEmpty())
        return;
    QString why;
    switch (job::WriteJobFile(Ctx.JobName, path, &why)) {
    case job::JobFileWritten::Written:
        showInfo(QStringLiteral("The job ") + Ctx.JobName + QStringLiteral(" was exported to ") + path + QLatin1Char('.'));
        break;
    case job::JobFileWritten::NoSuchJob:
        showError(QStringLiteral("The job ") + Ctx.JobName + QStringLiteral(" is not saved; nothing was exported."));
        break;
    case job::JobFileWritten::DatabaseFile:
        showError(TFileDialog::databaseFileText(path));
        break;
    case job::JobFileWritten::NotWritten:
        showError(path + QStringLiteral(": cannot be written: ") + why);
        break;
    }
}

void TMainForm::ImportJobItemClick()
{
    if (!DMod)
        return;
    const QString path = TFileDialog::getOpenFileName(this, QStringLiteral("Import Job"), QString(),
                                                      QStringLiteral("Job files (*.json)"));
    if (path.isEmpty())
        return;
    // The file is read and checked before anything changes.
    job::JobFile file;
    if (const job::JobFileError e = job::ReadJobFile(path, file); e.failed()) {
        showError(e.text(path));
        return;
    }
    const bool used = job::FindJob(file.name) != 0;
    if (used && !askYesNo(QStringLiteral("A saved job is named ") + file.name
                          + QStringLiteral(" already.  Do you want to replace it with the imported job?")))
        return;
    Arranging arranging;
    if (!leaveOpenJob())
        return;
    const QString before = Job.JobFromDatabase ? Ctx.JobName : QString();
    job::CloseJob(Ctx, Job, *DMod);
    job::JobFileImport result;
    try {
        THourglass wait;
        result = job::ImportJobFile(file, true, Ctx, Job, CurveState, *DMod->tblQuenWkCrop);
    } catch (const DbError& e) {
        result.error.message = e.message();
    }
    if (result.saved()) {
        openSavedJob(file.name);
        return;
    }
    showError(result.error.text(path) + QStringLiteral("\nNothing was saved."));
    // The job that was open before, as it is saved.
    job::CloseJob(Ctx, Job, *DMod);
    if (!before.isEmpty() && job::FindJob(before) != 0)
        openSavedJob(before);
    else
        CancelJobBtnClick();
}

// --- job removal -----------------------------------------------------------------------

void TMainForm::DeleteJobClick()
{
    if (!DMod)
        return;
    QList<QPair<int, QString>> deleted;
    {
        TRemoveJobsDlg dlg(this);
        dlg.FormShow();
        execModal(dlg);
        deleted = dlg.deleted;
    }
    // The open job itself was deleted: it stays open, with its crops, as a
    // job not yet saved, so that nothing of it is lost and Save Job writes it
    // back as a new job.
    for (const auto& [number, name] : deleted) {
        if (!job::IsOpenJob(Job, number))
            continue;
        Job.JobFromDatabase = false;
        Job.JobNumber = 0;
        Job.JobSaveState = 1;
        SaveJobBtn->setEnabled(true);
        showInfo(QStringLiteral("The open job ") + name
                 + QStringLiteral(" was deleted from the saved jobs.  It stays open; save it to keep it."));
    }
}

} // namespace quen::mainprog
