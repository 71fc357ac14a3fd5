// The main window's crop commands (Add New Crop, Edit Crop) and the defaults
// commands of the Options menu.
#include "MainForm.h"

#include "CropCompDlg.h"
#include "GetCropNamDlg.h"
#include "DBGrid.h"
#include "DefLocDlg.h"
#include "DefSysDlg.h"
#include "MainDMod.h"
#include "ModalRun.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

// The job has changes once a crop is being added.
void markJobChanged(JobState& job)
{
    if (job.JobSaveState == 0) job.JobSaveState = 2;
}

} // namespace

void TMainForm::AddCropBtnClick()
{
    // When no crop is added (Cancel in the crop name dialog, or a refused
    // crop) only what this command changed is undone: a job that had changes
    // to save before keeps them and its Save button, so the save prompt
    // still guards them; a job with nothing to save has Save Job off.
    const int stateBefore = Job.JobSaveState;

    SaveJobBtn->setEnabled(true);
    markJobChanged(Job);
    for (QWidget* w : {static_cast<QWidget*>(DisplayButton), static_cast<QWidget*>(JobCropDBGrid),
                       static_cast<QWidget*>(DeleteCropBtn), static_cast<QWidget*>(AddCropBtn),
                       static_cast<QWidget*>(EdCropBtn)})
        w->setEnabled(true);

    TGetCropNamDlg dlg(Ctx, Job, CurveState, this, this);
    if (runModal(dlg) == QDialog::Accepted) return;
    // Nothing was added (Cancel, or a refused crop). The counter never goes
    // back, so a job whose crops were all deleted is told by its table.
    Job.JobSaveState = stateBefore;
    SaveJobBtn->setEnabled(Job.JobSaveState != 0);
    const bool noCrops = Job.CropCounter == 0 || !DMod || !DMod->tblQuenWkCrop->isOpen()
                         || DMod->tblQuenWkCrop->isEmpty();
    if (noCrops)
        for (QWidget* w : {static_cast<QWidget*>(DisplayButton), static_cast<QWidget*>(JobCropDBGrid),
                           static_cast<QWidget*>(DeleteCropBtn), static_cast<QWidget*>(EdCropBtn)})
            w->setEnabled(false);
}

void TMainForm::EdCropBtnClick()
{
    if (!DMod) return;
    TTable* wk = DMod->tblQuenWkCrop;
    if (!wk->isOpen()) wk->open();
    if (wk->isEmpty()) return;   // no crop to edit
    TCropCompDlg dlg(Ctx, Job, CurveState, this, this);
    runModal(dlg);
}

void TMainForm::SystemDefaultsClick()
{
    TDefSysDlg dlg(this);
    runModal(dlg);
}

void TMainForm::LocalDefaultsClick()
{
    TDefLocDlg dlg(Ctx, this);
    runModal(dlg);
}

} // namespace quen::mainprog
