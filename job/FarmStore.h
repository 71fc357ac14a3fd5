// The farm values of a job, in tables of their own: each crop's irrigated
// area, application efficiency (Ea) and salinity threshold (ECe), and the
// job's conveyance efficiency (Ec), system operating hours and irrigation
// water salinity (ECw); their defaults; and the farm's water of the open job
// or a saved one, computed from each crop's monthly requirements.
//
// Tables: "FarmWkCrop.db" (the crops of the open job, keyed as
// "QuenWkCrop.DB"), "FarmJob.db" and "FarmCrop.db" (saved with the job, in
// its transaction), "FarmDefaults.db" (a new job's values), "FarmIrrEff.db"
// (Ea by type of irrigation), "FarmCropSalt.db" (FAO-29 thresholds by crop).
// A crop without farm values has area 0: it computes as always and has no
// farm figures.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

#include "CropRunContext.h"
#include "FarmWater.h"

namespace quen {
class TTable;
struct CropCurveState;
}

namespace quen::job {

struct FarmCropValues {
    double areaAcres = 0.0;        // 0: no farm figures for the crop
    double applicationEff = 0.0;   // Ea, fraction
    double ecThreshold = 0.0;      // dS/m; 0: no published threshold, no leaching
    bool operator==(const FarmCropValues&) const = default;
};

// ---- defaults -------------------------------------------------------------

// A new job's Ec, hours and ECw: the row of "FarmDefaults.db" (Ec 1, 24 hours,
// ECw 0 when it has none or a field is empty).
FarmJobInput DefaultFarmJob();
void SetDefaultFarmJob(const FarmJobInput& values);

// The types of irrigation of the crop inputs dialog that have an application
// efficiency (all but "Rain"), in the dialog's order and spelling.
const QStringList& FarmIrrigationTypes();

// The application efficiency of a type of irrigation ("FarmIrrEff.db",
// spellings of one type compared as the same); 0 when the table has none.
double DefaultApplicationEff(const QString& irrigationType);
void SetDefaultApplicationEff(const QString& irrigationType, double ea);

// The FAO-29 salinity threshold of a crop ("FarmCropSalt.db", exact crop
// name); 0 when none is published.
double CropSalinityThreshold(const QString& cropName);

// A new crop's farm values: no area, the type's Ea, the crop's threshold.
FarmCropValues SeededFarmCrop(const QString& cropName, const QString& irrigationType);

// ---- the open job ---------------------------------------------------------

// The farm values of working crop (cropName, cropNo); a crop without a row
// gets SeededFarmCrop of its name and irrigation type.
FarmCropValues WorkingFarmCrop(const QString& cropName, int cropNo, const QString& irrigationType);
void SetWorkingFarmCrop(const QString& cropName, const QString& jobName, int cropNo, const FarmCropValues& values);
void RemoveWorkingFarmCrop(const QString& cropName, int cropNo);
void EmptyWorkingFarmCrops();

// ---- saved jobs (called by the job operations inside their transactions) --

// The saved Ec, hours and ECw of a job; DefaultFarmJob() when it has none
// (a job saved before the farm tables).
FarmJobInput SavedFarmJob(const QString& jobName);

// The saved farm values of a job's crops, by their place among its saved
// crops; a place whose row is missing or names another crop is left with
// area 0 (and the seeded Ea and threshold).
std::vector<FarmCropValues> SavedFarmCrops(const QString& jobName, const QStringList& cropNames,
                                           const QStringList& irrigationTypes);

// Replaces the job's saved farm rows (crops in their saved order).
void WriteSavedFarm(const QString& jobName, const FarmJobInput& farm,
                    const std::vector<std::pair<QString, FarmCropValues>>& crops);
void DeleteSavedFarm(const QString& jobName);

// The working crops' farm values in the order of "QuenWkCrop.DB" (the order
// a save writes the crops in), with their names.
std::vector<std::pair<QString, FarmCropValues>> WorkingFarmCropsInOrder();

// Fills "FarmWkCrop.db" (emptied first) from the saved rows of the job for
// the working crops just fetched (numbered 1..n in saved order).
void FetchWorkingFarmCrops(const QString& jobName);

// ---- results --------------------------------------------------------------

// The farm input of one computed crop: its monthly requirements and peak use
// as the context holds them, with its farm values.
FarmCropInput FarmInputOf(const CropRunContext& ctx, const FarmCropValues& values);

// The farm's water of the open job: every working crop computed again by
// ComputeCrop (so that the dry-year months are its own), with its farm
// values and the job's. problems lists what cannot be used (each naming its
// field and crop), and the farm is then not computed (water.available false).
// Afterwards the context and the daily curves are again those of the crop wk
// stood on.
struct JobFarm {
    FarmWater water;
    QStringList problems;
};
JobFarm ComputeWorkingFarm(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const FarmJobInput& farm);

// Tables the job's save and deletion write besides the job tables.
QStringList FarmSavedTables();

} // namespace quen::job
