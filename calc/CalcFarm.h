// The farm's water of a computed job for quenpm-calc's JSON and CSV: each
// computed crop's monthly requirements with its farm values (irrigated area,
// application efficiency, salinity threshold) and the job's (conveyance
// efficiency, operating hours, water salinity), through ComputeFarmWater.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

#include "CalcJob.h"
#include "FarmStore.h"
#include "FarmWater.h"

namespace quen::calc {

struct CalcFarm {
    FarmWater water;                       // water.available false: no farm figures
    std::vector<FarmCropInput> inputs;     // the inputs, crop by crop as computed
    QStringList problems;                  // inputs that cannot be used, each naming its field and crop
    QStringList notes;                     // why there are no figures, or crops without them
    // Where each crop's Ea and ECe threshold come from: the "Source" of the
    // row of "FarmIrrEff.db" or "FarmCropSalt.db" when the crop's value is that
    // row's, else "entered" (or "" when the crop has none).
    QStringList eaSources, thresholdSources;
};

// The note of a job whose crops have no irrigated area.
inline const QString kFarmNotAvailable =
    QStringLiteral("Farm figures are not available: no crop of the job has an irrigated area.");

// The farm of the computed crops with their farm values (values[i] is that
// of crops[i]; a crop without one has area 0). Reads the Ea and threshold
// tables for the source names (the database is open).
CalcFarm FarmOfCrops(const FarmJobInput& job, const std::vector<job::FarmCropValues>& values,
                     const QList<CropResult>& crops);

// The farm of a saved job: its saved Ec, hours and ECw and its crops' saved
// farm values, the crops as ComputeJob computed them (in their saved order).
CalcFarm SavedJobFarm(const QString& jobName, const QList<CropResult>& crops);

// The farm of the open job: job (JobState::Farm) and the working crops' farm
// values ("FarmWkCrop.db", by crop name; the crops of a job have names of
// their own).
CalcFarm WorkingJobFarm(const FarmJobInput& job, const QList<CropResult>& crops);

// The "farmWater" object of the JSON (numbers with 17 significant digits).
QString FarmWaterJson(const CalcFarm& farm);

} // namespace quen::calc
