#include "OpenJob.h"

#include "EtMethod.h"
#include "JobStore.h"
#include "MainDMod.h"
#include "Table.h"

namespace quen::job {

bool IsOpenJob(const JobState& job, int number)
{
    return number != 0 && job.JobFromDatabase && job.JobNumber == number;
}

void CloseJobTables(mainprog::TDMod& dm)
{
    TTable* wk = dm.tblQuenWkCrop;
    if (wk->isOpen() && wk->state() != TTable::State::Browse)
        wk->post();
    for (TTable* t : {dm.tblQuenJob, dm.tblQuenJobCrop, dm.tblQuenWkCrop, dm.tblSysDef, dm.tblLocDef, dm.tblClim,
                      dm.tblWHR, dm.tblCntyList, dm.tblETKc, dm.tblCreateCrp, dm.tblBasFldVeg, dm.tblBasPeren,
                      dm.tblBasGrass, dm.tblBCAnnual, dm.tblBCPeren, dm.tblAnType, dm.tblFAOcurv})
        if (t->isOpen())
            t->close();
}

void CloseJob(CropRunContext& ctx, JobState& job, mainprog::TDMod& dm)
{
    CloseJobTables(dm);
    ctx.reset();
    job.reset();
    job.JobSaveState = 0;
}

EntryRefusal TakeEntriesForStation(CropRunContext& ctx, JobState& job, const JobEntries& e)
{
    if (job.JobSaveState == 0)
        job.JobSaveState = 2;
    if (e.name.modified) {
        ctx.JobName = e.name.text;
        const int found = ctx.JobName.isEmpty() ? 0 : FindJob(ctx.JobName);
        if (found && !IsOpenJob(job, found))
            return {QStringLiteral("Job Name already used. Enter a unique name."), JobEntry::Name};
    }
    if (ctx.JobName.isEmpty())
        return {QStringLiteral("Please enter a Job Name."), JobEntry::Name};
    if (e.location.text.isEmpty())
        return {QStringLiteral("Please enter a Job Location."), JobEntry::Location};
    if (e.planner.text.isEmpty())
        return {QStringLiteral("Please enter the planner's name."), JobEntry::Planner};
    if (e.location.modified) ctx.JobLocation = e.location.text;
    if (e.planner.modified) ctx.JobPlanner = e.planner.text;
    if (e.landUser.modified) ctx.JobLandUser = e.landUser.text;
    if (e.id.modified) ctx.JobID = e.id.text;
    if (e.jobClass.modified) ctx.JobClass = e.jobClass.text;
    ctx.JobDate = e.date;
    return {};
}

bool TakeStation(TTable& climate, CropRunContext& ctx)
{
    if (climate.isEmpty())
        return false;
    CopyStation(climate, ctx);
    return true;
}

bool SettleETMethod(CropRunContext& ctx, const JobState& job, EtMethodChooser* chooser)
{
    if (job.CropCounter == 0) {
        ChooseETMethod(ctx, chooser);
        return true;
    }
    return FallBackWithoutWindRecord(ctx);
}

} // namespace quen::job
