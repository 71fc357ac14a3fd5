// The job state of the main program: whether the open job has changes to
// save and how, whether it came from the saved jobs (and which one), and the
// crop numbering of its working crops. The main window and its dialogs keep
// it up to date; the job operations (JobStore, CropSetup) read and set it.
// It is no input of a crop computation: the engine never sees it.
#pragma once

#include "FarmWater.h"

namespace quen {

struct JobState {
    int JobSaveState = 0;         // 0 nothing to save, 1 save as a new job, 2 save changes
    bool JobFromDatabase = false; // the open job was fetched or saved
    int JobNumber = 0;            // "JobNumber" of the open job's saved row; 0 when it has none
    int CropCounter = 0;          // highest "Crop No" given to a crop of the job
    int JobCurveIndex = -1;       // curve index of the last crop attached (crop selection)
    FarmJobInput Farm;            // the job's conveyance efficiency, operating hours and water salinity

    // Back to the empty state of program start-up ("New Job", "Cancel Job").
    void reset() { *this = JobState{}; }
};

} // namespace quen
