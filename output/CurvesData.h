// The day-by-day curves of a crop's season for the ET and Kc charts:
// reference ET interpolated between the monthly rates, crop ET, and the
// average and basal crop coefficients, as the crop run stored them in
// "ETKc.db" (engine/DailyET). A season that runs
// across the year end is drawn as its two parts joined by an invisible
// bridge at 0.01 (in the chart's background colour).
#pragma once

#include <QColor>
#include <QList>
#include <QString>

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

// The window's curves: walks "ETKc.db" (open), as the crop run filled it
// (the day's ETo and ETc in "ETo"/"ETc", metric "EToM"/"ETcM"), without
// writing to it, and returns the series. bridge: the colour of the bridge
// points.
CurvesData BuildCurvesForWindow(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric,
                                const QColor& bridge);

// The report's curves: the same series read back from "ETKc.db" (open)
// without writing to it; the bridge is white.
CurvesData BuildCurvesFromTable(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric);

} // namespace quen
