// Filling Qt charts with the curves and bar values of a crop, the same for
// the windows and the reports (which record them as vector drawing).
#pragma once

#include <QColor>
#include <QString>

#include "CropRunContext.h"

class QChart;
class QChartView;
class QDialog;
class QPushButton;

namespace quen {

struct CurvesData;

struct CurvesChartStyle {
    QColor background = Qt::white;   // chart and plot area
    double etBottomMin = 0, etBottomMax = 360;
    double kcBottomMin = 1, kcBottomMax = 366;
    double kcStep = 0.1;
    double penWidth = 2.0;
    double fontScale = 1.0;          // of the default chart fonts
};

// "Evapotranspiration Chart" and "Crop Coefficient Chart" into empty charts.
void FillEtChart(QChart* chart, const CurvesData& d, const CurvesChartStyle& style);
void FillKcChart(QChart* chart, const CurvesData& d, const CurvesChartStyle& style);

// Bar values of one chart, months 1..12, in the stacking order from the
// bottom: carry-over used, effective precipitation, irrigation required.
struct WaterUseBars {
    MonthlyValues carryOver{};
    MonthlyValues effPrecip{};
    MonthlyValues irrigation{};
};

// Normal year (50 %) or dry year (80 %) from the context; metric: the cm
// twins ComputeCrop left.
WaterUseBars NormalYearBars(const CropRunContext& ctx, bool metric);
WaterUseBars DryYearBars(const CropRunContext& ctx, bool metric);

// Two-line title, the three stacked series (yellow, blue, red) with the
// month number under each bar and the irrigation requirement as a mark
// above it; bottom axis "Month", left axis scaled to the values.
void FillWaterUseChart(QChart* chart, const QString& titleLine2, const WaterUseBars& bars, const QString& leftTitle,
                       double fontScale = 1.0);

// The layout of a chart window: two charts one above the other, a report
// button and "Close" (which accepts the dialog) at the bottom right.
struct TwoChartWindow {
    QChartView* top = nullptr;
    QChartView* bottom = nullptr;
    QPushButton* report = nullptr;
    QPushButton* close = nullptr;
};
TwoChartWindow BuildTwoChartWindow(QDialog* dlg, const QString& topName, const QString& bottomName,
                                   const QString& reportCaption, const QString& reportName);

} // namespace quen
