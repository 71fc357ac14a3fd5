// The day-by-day curves of a crop's season for the ET and Kc charts:
// reference ET interpolated between the monthly rates, crop ET, and the
// average and basal crop coefficients of "ETKc.db".
//
// Between the mid-month days the reference rate changes linearly; the slope
// of the stretch from mid-month m-1 to mid-month m is taken from the season's
// monthly rates, with the shoulder rates of the months just before planting
// and just after harvest where the stretch touches them. A season that runs
// across the year end is drawn as its two parts joined by an invisible
// bridge at 0.01 (in the chart's background colour).
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <array>

#include "CropRunContext.h"

namespace quen {

class TTable;

struct CurvePoint {
    double x = 0;
    double y = 0;
    QColor color;
    QString label;
};

struct CurveSeries {
    QString title;          // legend text
    QColor color;           // the series' own colour
    bool inLegend = true;
    bool hidden = false;    // points not drawn (label carriers)
    QList<CurvePoint> points;
};

struct CurvesData {
    bool metric = false;
    // ETChart
    CurveSeries etc;          // "ETc (Crop)"
    CurveSeries etoInterp;    // "ETo (Interpolated)"
    CurveSeries etoCalc;      // "ETo (Calculated)", points
    CurveSeries etLabels;     // month labels on the bottom axis
    CurveSeries startEnd;     // "Start grow" / "End grow" marks
    // KcChart
    CurveSeries kca;          // "Kca (Average)   "
    CurveSeries kcb;          // "Kcb (Basal)"
    CurveSeries kcLabels;
};

// Interpolation of the daily reference rate from the monthly rates.
struct RefEtInterpolation {
    std::array<double, 13> E{};   // rate used for interpolation [1..12]
    std::array<double, 13> S{};   // slope of the stretch ending at mid-month m [1..12]

    // Rate of day of year d (1..365).
    double daily(int dayOfYear) const;
};

RefEtInterpolation MakeRefEtInterpolation(const CropRunContext& ctx, bool metric);

// The window's curves: walks "ETKc.db" (open), computes each day's ETo and
// ETc, writes them back into the visited rows ("ETo"/"EToM", "ETc"/"ETcM",
// "Mo") and returns the series. bridge: the colour of the bridge points.
CurvesData BuildCurvesForWindow(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric,
                                const QColor& bridge);

// The report's curves: the same series read back from "ETKc.db" (open)
// without writing to it; the bridge is white.
CurvesData BuildCurvesFromTable(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric);

} // namespace quen
