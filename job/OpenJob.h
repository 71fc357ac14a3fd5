// The open job of the main program, without windows: closing it, and the
// steps of taking a climate station into it (the entries it needs first, the
// station itself, the ET method that follows from it). TMainForm reads its
// controls into these, shows the refusals and refreshes its controls.
#pragma once

#include <QString>

#include "CropRunContext.h"
#include "JobState.h"

namespace quen {
class EtMethodChooser;
class TTable;
}

namespace quen::mainprog {
class TDMod;
}

namespace quen::job {

// True when the open job is the saved job numbered number.
bool IsOpenJob(const JobState& job, int number);

// Closes the tables of the data module but the three reference tables that
// stay open for the run; a pending working-crop row is posted first.
void CloseJobTables(mainprog::TDMod& dm);

// Get Prev Job, Cancel Job: the tables closed, the context and the job state
// back to their empty values, nothing to save.
void CloseJob(CropRunContext& ctx, JobState& job, mainprog::TDMod& dm);

// A text of the job as typed; modified: edited since it was last taken.
struct TypedText {
    QString text;
    bool modified = false;
};
struct JobEntries {
    TypedText name, location, planner, landUser, id, jobClass;
    QString date;
};

// The entry a refusal sends the planner back to.
enum class JobEntry { None, Name, Location, Planner };
struct EntryRefusal {
    QString message;                 // "" when nothing is refused
    JobEntry entry = JobEntry::None;
    explicit operator bool() const { return !message.isEmpty(); }
};

// "Get New Climate", before the station dialog: the job is marked changed
// (JobSaveState 0 becomes 2); an edited name is taken and must not be
// another saved job's ("Job Name already used. Enter a unique name."); the
// job needs a name ("Please enter a Job Name."), a location ("Please enter a
// Job Location.") and a planner ("Please enter the planner's name."), asked
// in that order. When nothing is refused the edited texts and the date go
// into the context.
EntryRefusal TakeEntriesForStation(CropRunContext& ctx, JobState& job, const JobEntries& entries);

// The station the "Climate.DB" handle stands on, taken into the job
// (CopyStation); false, with nothing taken, when the table is empty.
bool TakeStation(TTable& climate, CropRunContext& ctx);

// The job's ET method once a station is taken: while the job has no crops it
// is chosen anew (ChooseETMethod; chooser asks where the system default lets
// the planner choose); with crops it stays, unless it is Penman-Monteith and
// the station has no wind data (FallBackWithoutWindRecord, with its message).
// True when the method may have changed.
bool SettleETMethod(CropRunContext& ctx, const JobState& job, EtMethodChooser* chooser);

} // namespace quen::job
