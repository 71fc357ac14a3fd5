// Crops of a job without windows: attaching the crop curve that matches the
// job's ET method, seeding a new working crop ("QuenWkCrop.DB") from the crop
// record, the local defaults and the system defaults, and the small rules of
// the crop inputs and defaults dialogs (month-day check, water stress factor
// and available soil water, unit twins of the FAO 56 local defaults, the
// defaults password). The windows call these; tests use them directly.
#pragma once

#include <QString>
#include <QVariant>
#include <QStringList>

#include "CropRunContext.h"
#include "GrowthDates.h"
#include "JobState.h"

namespace quen {
class TTable;
}

namespace quen::mainprog {

class TDMod;

// ---- Curve attachment ---------------------------------------------------------

// Method texts of the crop name dialog ("" for any other index).
QString CropDialogMethodText(int etMethodIndex);
// "TR21", "NEH" or "FAO56" as the refusal names the method ("" otherwise).
QString MethodShortName(int etMethodIndex);
// "There is no " + method + " curve data avaialble for this crop."
QString NoCurveMessage(int etMethodIndex);
inline const QString kCropAlreadyIncluded =
    QStringLiteral("This crop has already been included. Select another crop");

// The values of one crop record that the seeding reads.
struct CropRecord {
    QString name;                    // "Cop Name"
    QString basType, basCurve;       // "Bas Crop Type", "Bas Crop Curve Name"
    QString bcType, bcCurve;         // "BC Crop Type", "BC Crop Curve Name"
    QString faoCurve;                // "FAOCropCurveName"
    int plantMo = 0, plantDay = 0, harvestMo = 0, harvestDay = 0;
    QVariant startT, startTM, endT, endTM;   // null when the record has none

    static CropRecord read(TTable& crop);   // from the current row
};

struct CurveChoice {
    bool available = false;          // the crop has a curve for the method
    int curveIndex = -1;             // -1: a basal crop type none of the three: no curve fields
    QString curveName;
    QString curveType;               // "Crop Curve Type"
    int cropKind = -1;               // crop-kind selector of the data module
};
CurveChoice ChooseCropCurve(int etMethodIndex, const CropRecord& crop);

// ---- Seeding ------------------------------------------------------------------

// Writes the new working crop's fields into wk (in insert state), from the
// crop record, the first rows of the local and system defaults (open
// handles) and the curve; the job's CropCounter + 1 becomes the crop number
// and the new CropCounter, the curve index the job's JobCurveIndex; the crop
// name and growth temperatures go into the context.
void SeedWorkingCrop(CropRunContext& ctx, JobState& job, TTable& wk, const CropRecord& crop, TTable& locDef,
                     TTable& sysDef, const CurveChoice& curve);

enum class AddCropResult { Added, AlreadyIncluded, NoCurve };

// OK of the crop name dialog, on the current row of dm.tblCreateCrp: the
// refusals (each with its message) or a new pending row of
// dm.tblQuenWkCrop, seeded and with the curve attached. "QuenCrop.DB" is
// closed in every case; the crop-kind filter is switched on for the
// method's kind after an addition and off after a refusal for lack of curve.
AddCropResult AddWorkingCrop(CropRunContext& ctx, JobState& job, TDMod& dm);

// ---- Growth dates -------------------------------------------------------------

// The planting and harvest dates and the growth temperatures of a working
// crop, as the start- and end-of-growth dates tool reads and writes them
// ("Plant Mo", "Plant Day", "Harvest Mo", "Harvest Day", "StartT", "StartTM",
// "EndT", "EndTM"; the temperatures in F and their C twins).
struct CropGrowthDates {
    int plantMo = 0, plantDay = 0, harvestMo = 0, harvestDay = 0;
    double startT = 0, startTM = 0, endT = 0, endTM = 0;

    static CropGrowthDates read(TTable& wk);   // from the current row
    void write(TTable& wk) const;              // into the current row (edited from browse)
    static CropGrowthDates of(const CropRunContext& ctx);
    void setDates(CropRunContext& ctx) const;
    void setTemperatures(CropRunContext& ctx) const;
};

// The site data the growth-dates tool works from: the frost dates of the
// job's station (a nearest search on ctx.WeatherStationName in "Climate.DB");
// its mean monthly temperatures go into ctx.MonthlyTemp. Nothing changes
// when "Climate.DB" is empty.
StationFrostDates ReadSiteGrowthData(CropRunContext& ctx);
// A station that never gets down to 28 or 32 F ("00/00"): the tool cannot
// find a start of growth there.
bool TooWarmForGrowthDates(const StationFrostDates& frost);

// ---- Crop inputs ----------------------------------------------------------------

// The "Hay" flag of a forage crop curve ("CrpForag.DB", nearest search on
// the curve name; false when the table is empty).
bool ForageCurveIsHay(const QString& curveName);
// The wetting, soil and stress inputs belong to the NEH 2 basal curves
// (curve indexes 0-2, 2 being the grasses and forage); the TR 21 curves
// (3, 4) and the FAO 56 curves (5) take none.
bool CurveTakesWettingInputs(int curveIndex);

// Days of month 1..12 on a 365-day year; 0 for any other month.
int MaxDayOfMonth(int month);

struct MonthDayCheck {
    bool valid = true;
    int day = 0;                     // corrected to the month's maximum when too large
};
MonthDayCheck CheckMonthDay(int month, int day);
// "Month number " + month + " has maximum of " + day + " days."
QString MonthMaxMessage(int month, int day);

// Water stress factor Ks from the percent of total available water and back.
double StressFromASW(double asw, bool sensitive);
double ASWFromStress(double ks, bool sensitive);

// Irrigation types of the crop inputs dialog, in list order, and the
// fraction wetted that choosing each sets.
const QStringList& CropDialogIrrigationTypes();
double CropDialogFractionWetted(int itemIndex);

// Soils of both dialogs, and the irrigation types of the local defaults.
const QStringList& SoilTypes();
const QStringList& LocalDefaultIrrigationTypes();

// The crop inputs dialog as the planner leaves it: the entries changed since
// it opened (the field of "QuenWkCrop.DB" and its new value: an int for a
// whole-number field, a double otherwise, null for an entry emptied, which
// clears the field), in the dialog's order; the check box, soil and irrigation
// type as shown.
struct CropInputEntry {
    QString field;
    QVariant value;
};
struct CropInputs {
    QList<CropInputEntry> changed;
    bool sensitive = true;
    QString soil;
    QString irrigationType;
};

struct StoredCropInputs {
    bool posted = false;             // the working crop row holds the inputs
    bool computed = false;           // ComputeCrop ran on it to the end
    QString error;                   // the database's message when one of the two failed
};

// Closing the crop inputs dialog on the working crop wk stands on: the
// inputs, "Sensitive", "Soil", "Irrigation Type" and the "Beg Dat" and
// "End Dat" texts written into the row and posted; soil and irrigation type
// also go into the context. Once posted, the crop is computed (ComputeCrop).
// A refused post leaves the row in edit state and computes nothing.
StoredCropInputs StoreAndComputeCrop(CropRunContext& ctx, CropCurveState& curves, TTable& wk,
                                     const CropInputs& inputs);

// Depths of the inputs dialog: the rows hold inches; in metric mode the
// planner sees and types centimetres.
inline constexpr double kCmPerInch = 2.54;
inline constexpr double kInchPerCm = 0.3937007874015748;

// ---- Defaults -------------------------------------------------------------------

// The entry unlocks the system defaults when it equals the stored password
// or the built-in one.
bool PasswordAccepted(const QString& entry, const QString& stored);

// A unit twin as the local defaults dialog writes it: fixed notation,
// 8 significant digits, the given decimals.
QString TwinText(double value, int decimals);

} // namespace quen::mainprog
