// Start and end of growth from the station's mean monthly temperatures (the
// planting and harvest date calculator). The dialog that shows them lives
// with the main program's windows; these are its computations.
#pragma once

#include <QString>

#include "CropRunContext.h"

namespace quen {

struct GrowthDate {
    int month = 0;   // 0: the procedure does not work for this temperature
    int day = 0;
    bool frostDateUnknown = false;   // month 0 because the station's 28/32 F date is not known
};

// Station values the calculator reads from "Climate.DB".
struct StationFrostDates {
    QString spring28, spring32, fall28, fall32;   // "mm/dd"; "00/00" never that low; empty (or "--/--") not known
};

// An empty frost-date field (or "--/--", as the station files write it): the
// date is not known for the station, which is not "never that low".
bool FrostDateUnknown(const QString& text);

// "mm/dd" of the frost-date fields: month in characters 1-2, day in 4-5.
GrowthDate ParseFrostDate(const QString& text);

// Date the mean temperature rises to x deg F (the mean of a month stands for its 15th).
GrowthDate SpringDate(double x, const MonthlyValues& meanTempF, const StationFrostDates& frost);
// Date the mean temperature falls to x deg F.
GrowthDate FallDate(double x, const MonthlyValues& meanTempF, const StationFrostDates& frost);

inline const QString kBeginTempFails = QStringLiteral("This procedure will not work for given begin growth temperature. Enter dates directly");
inline const QString kEndTempFails = QStringLiteral("This procedure will not work for given end growth temperature. Enter dates directly");
inline const QString kPlantTempTooLow = QStringLiteral("This procedure will not work for given planting temperature. Temperature too low. Enter dates directly");
inline const QString kGrowingPeriodTooLong = QStringLiteral("Growing period too long for temperatures used.");
inline const QString kNoTemperatureData = QStringLiteral("Temperature data not available. Can't use this method.");

// The warning for a 28 or 32 F growth temperature whose frost date the
// station does not have (shown instead of kBeginTempFails / kEndTempFails).
QString FrostDateUnknownText(bool spring, double tempF);

struct GrowthDatesInput {
    bool metricUnits = false;
    int minGrowDays = 1;          // 1: not available
    int growDaysEntered = 0;      // the "Grow days required:" edit
    double beginTemp = 0;         // in the current units
    double endTemp = 0;
};

struct GrowthDatesResult {
    enum class Status { Ok, BeginFails, EndFails, TooCold };
    Status status = Status::Ok;   // anything but Ok: restore the temperatures and close as cancelled
    double beginF = 0, beginC = 0, endF = 0, endC = 0;
    GrowthDate spring, fall, harvest;
    int availableDays = 0;
    int requiredDays = 1;
    bool tooLong = false;         // "Growing period too long for temperatures used." was shown
    bool frostDateUnknown = false; // BeginFails/EndFails because the station's frost date is not known
};

// ComputeGrowthDates: shows the calculator's warnings through the message
// service and stores the growth temperatures into the context when it gets
// that far (the caller restores them for a status other than Ok).
GrowthDatesResult ComputeGrowthDates(CropRunContext& ctx, const GrowthDatesInput& in,
                                     const StationFrostDates& frost);

// Minimum and maximum grow days of the working crop (1 = not available): for
// curve index 0 from the annual crop type of the curve, else from the crop
// record's "Min Grow Days" and "Max Grow Days". Reads the tables.
struct GrowDayLimits { int minDays = 1; int maxDays = 1; };
GrowDayLimits ReadGrowDayLimits(int curveIndex, const QString& curveName, const QString& cropName);

} // namespace quen
