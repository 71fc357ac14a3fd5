// The job operations of the main program, without windows: starting a new
// job, fetching a saved job with the computation of its crops, saving the open
// job and deleting saved jobs. TMainForm calls them and shows their messages;
// quenpm-calc fetches through the same code.
//
// Tables: "QuenJob.db" (one row per saved job), "QuenJobCrop.DB" (the saved
// crops), "QuenWkCrop.DB" (the crops of the open job), "Climate.DB" (the
// station's monthly precipitation and temperature). A save writes the job row
// and all its crop rows in one transaction, and a deletion removes them in
// one: a crash, a kill or a full disk leaves the saved job as it was before
// or as it is after, never in between.
#pragma once

#include <QString>
#include <functional>

#include "CropRunContext.h"
#include "JobState.h"

namespace quen {
class TTable;
}

namespace quen::job {

// True when "QuenJob.db" has at least one row.
bool HasSavedJobs();

// Width of "JobName" in "QuenJob.db" (50): the longest job name that can be
// stored whole. A longer name would be cut by the table, and the cut name is
// no longer the name the planner sees: the job's row, its crop rows and the
// name checks would then disagree.
int JobNameWidth();

// Why name cannot be a saved job's name ("" when it can): empty, or longer
// than JobNameWidth().
QString JobNameProblem(const QString& name);

// The "JobNumber" of the saved job whose "JobName" is exactly name; 0 when
// there is none (always for a name that cannot be stored whole).
int FindJob(const QString& name);

// New Job: the context and the job state back to their empty values,
// JobSaveState 1, not from the database, no crops; the working table emptied
// (wk is left closed).
void StartJob(CropRunContext& ctx, JobState& job, TTable& wk);

// Copies the saved job row of exactly this name and its station's monthly
// precipitation and temperature (with their metric twins) into the context,
// its number and crop count into the job state (both reset first). False,
// with both reset, when no job has that name.
bool LoadJob(const QString& name, CropRunContext& ctx, JobState& job);

// Opens jobs (a handle on "QuenJob.db") on its name index and positions it on
// the saved job of exactly this name; false, with jobs closed, when none.
bool OpenSavedJob(TTable& jobs, const QString& name);

// Fills the working table (closed, emptied and opened again) with the saved
// crops of ctx.JobName, compared exactly, in the order they were saved, and
// computes each one with ComputeCrop as it is added; computed(ctx) runs after
// each crop. A Penman-Monteith job whose station has no wind, humidity and
// radiation record falls back to Blaney-Criddle first, with the message.
// Returns the number of crops; wk stays open on the last crop.
// The working rows are numbered 1..n in that order: the saved rows' own
// numbers ("Job Crop No", renewed by every save) outgrow the short
// "Crop No" of the working table. job.CropCounter is raised to n when it is
// lower, so that a crop added later gets a number of its own.
int FetchCrops(CropRunContext& ctx, JobState& job, CropCurveState& curves, TTable& wk,
               const std::function<void()>& computed = {});

// LoadJob then FetchCrops; progress(step) is called with the steps of the
// wait bar (10 after the job row, 10 after the station, 10 after the working
// table is emptied, 15 after each crop). JobSaveState ends 0.
bool FetchJob(const QString& name, CropRunContext& ctx, JobState& job, CropCurveState& curves, TTable& wk,
              const std::function<void(int)>& progress = {});

enum class SaveResult { Nothing, Appended, Updated };

// Save Job when job.JobSaveState is 1 or 2 (else nothing is written). The
// job's row is the row of exactly the job's name: when there is none, a row
// is appended (a new job, a fetched job saved under a new name, or a job
// whose row is gone); when it is the open job's own row (the fetched or
// saved job numbered job.JobNumber), that row is rewritten, whatever the
// state says, so that the job is never appended a second time. The job's
// saved crop rows are replaced by the rows of the working table. A save
// never makes two jobs share a name and so their crop rows: a name that is
// another saved job's is refused ("Job Name already used. Enter a unique
// name."), as is a name that cannot be stored whole (JobNameProblem).
// Everything in one transaction; DbError (nothing written) on failure or
// refusal. After a save the job state's JobNumber is the saved row's and
// JobFromDatabase is set; JobSaveState is left to the caller.
SaveResult SaveJob(CropRunContext& ctx, JobState& job);

// Deletes the saved job row numbered jobNumber and every crop row whose
// "JobName" is exactly that job's name, in one transaction; crop rows that
// another job row of the same name (left by older versions) also claims are
// kept for it. False when no such row exists.
bool DeleteJob(int jobNumber);

// Deletes every saved job row of exactly this name with its crop rows, in one
// transaction (the job name check's "replace"). Returns the rows deleted.
int DeleteJobsNamed(const QString& name);

// Default effective-precipitation ratios from the annual precipitation in
// inches (normal year 50 %, dry year 80 %).
double DefaultRatio50(double annualPrecipInches);
double DefaultRatio80(double annualPrecipInches);

// Copies the station row the handle stands on into the job: identity,
// position, elevation, monthly precipitation and temperature, annual
// precipitation (with their cm and deg C twins) and the default ratios.
void CopyStation(TTable& climate, CropRunContext& ctx);

} // namespace quen::job
