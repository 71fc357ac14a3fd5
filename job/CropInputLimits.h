// The ranges of the entry fields that put an input into a job's crop, in
// customary units: those of the crop inputs dialog (TCropCompDlg) and those
// of the local and system defaults dialogs (TDefLocDlg, TDefSysDlg), whose
// values "Add New Crop" seeds into every new crop without the inputs dialog
// checking them (a crop the planner never opens keeps them when the job is
// saved). The dialogs take their ranges from here, and a job file's value is
// accepted when either way could have put it into a saved crop
// (SavedCropRange), so that every exported job imports.
#pragma once

#include <algorithm>

namespace quen::mainprog {

struct InputRange {
    double lo = 0.0;
    double hi = 0.0;

    constexpr bool contains(double v) const { return v >= lo && v <= hi; }
    // The values either range holds (the two overlap for every field here).
    constexpr InputRange widenedBy(const InputRange& o) const { return {std::min(lo, o.lo), std::max(hi, o.hi)}; }
};

// The crop inputs dialog.
namespace CropInputRange {
inline constexpr InputRange NetIrrigationDepth{0.01, 10};    // inches
inline constexpr InputRange CarryOver{0, 9.99};              // inches, beginning and end
inline constexpr InputRange FractionWetted{0.1, 1};
inline constexpr InputRange WettingDays{1, 99};              // development and maturation
inline constexpr InputRange StressFactor{0, 1};
inline constexpr InputRange AvailableSoilWater{0.1, 99};     // percent
inline constexpr InputRange Cuttings{0, 12};                 // the hay curve takes at most 12
} // namespace CropInputRange

// The local defaults dialog ("Local Default Values"). The wetting days and
// the cuttings have no range of their own there: their pictures hold them
// ("iii": 0 to 999, "ii": 0 to 99).
namespace LocalDefaultRange {
inline constexpr InputRange NetDepth{0, 12};                 // inches
inline constexpr InputRange WettingDays{0, 999};
inline constexpr InputRange AvailableSoilWater{1, 99};
inline constexpr InputRange StressFactor{0.1, 1};
inline constexpr InputRange Cuttings{0, 99};
} // namespace LocalDefaultRange

// The system defaults dialog: spring and fall carry-over, percent of the
// local net depth (a new crop's carry-over is their product).
namespace SystemDefaultRange {
inline constexpr InputRange CarryOverPercent{0, 99};
} // namespace SystemDefaultRange

// What a saved crop can hold: the inputs dialog's range widened by what the
// defaults seed.
namespace SavedCropRange {
inline constexpr InputRange NetIrrigationDepth = CropInputRange::NetIrrigationDepth.widenedBy(LocalDefaultRange::NetDepth);
inline constexpr InputRange CarryOver = CropInputRange::CarryOver.widenedBy(
    {0, LocalDefaultRange::NetDepth.hi * SystemDefaultRange::CarryOverPercent.hi * 0.01});
inline constexpr InputRange FractionWetted = CropInputRange::FractionWetted;   // set from the type's table
inline constexpr InputRange WettingDays = CropInputRange::WettingDays.widenedBy(LocalDefaultRange::WettingDays);
inline constexpr InputRange StressFactor = CropInputRange::StressFactor.widenedBy(LocalDefaultRange::StressFactor);
inline constexpr InputRange AvailableSoilWater =
    CropInputRange::AvailableSoilWater.widenedBy(LocalDefaultRange::AvailableSoilWater);
inline constexpr InputRange Cuttings = CropInputRange::Cuttings.widenedBy(LocalDefaultRange::Cuttings);
} // namespace SavedCropRange

// The farm's water: each crop's irrigated area, application efficiency and
// salinity threshold (crop inputs dialog), the job's conveyance efficiency,
// operating hours and irrigation water salinity (farm water window, local
// defaults). An area of 0 means the crop has no farm figures; an efficiency
// of 0 is refused (the gross depth divides by it).
namespace FarmInputRange {
inline constexpr InputRange IrrigatedArea{0, 99999.99};      // acres
inline constexpr InputRange ApplicationEff{0.01, 1};          // fraction
inline constexpr InputRange SalinityThreshold{0, 50};         // ECe, dS/m
inline constexpr InputRange ConveyanceEff{0.01, 1};           // fraction
inline constexpr InputRange HoursPerDay{1, 24};
inline constexpr InputRange WaterSalinity{0, 50};             // ECw, dS/m
} // namespace FarmInputRange

} // namespace quen::mainprog
