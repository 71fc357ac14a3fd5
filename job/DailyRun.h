// The daily soil-water balance of a crop of a job: the station's daily
// weather ("DailyWeather.db") and the crop's inputs (the working-crop row,
// its curve's daily rows, the FAO-56 crop and soil tables shipped with the
// program) made into the engine's inputs, run over every year of the record.
// The monthly computation of the same crop stands beside it: the context as
// ComputeCrop left it for the crop.
//
// Irrigation rule: a fixed net depth, the working crop's "Net Irr" (inches,
// as mm), whenever it is above 0 - it is the planner's net depth of each
// irrigation, the depth the system applies and the depth the monthly
// method's wetting terms are computed with, so the schedule is one the
// system can carry out; refilling the root zone to field capacity when "Net
// Irr" is not set. Where each input comes from: job/DailyRun.cpp and the
// run's notes. Errors (in `error`): no daily weather for the station, a soil
// without FAO-56 Table 19 values ("Clay Loam"), a crop without FAO-56 terms
// or without a daily Kcb.
#pragma once

#include <QString>
#include <QStringList>

#include "CropRunContext.h"
#include "DailyBalance.h"
#include "DailyWeather.h"

namespace quen {
class TTable;
}

namespace quen::job {

// The daily record of a station as it was imported.
struct DailyStationRecord {
    QString stationName, stationNo;
    QString source;                 // file name and format of the import
    int days = 0;
    CivilDate first, last;
    WeatherFillCounts filled;       // values the FAO-56 rules supplied
};

struct DailyRun {
    QString error;                  // why there is no daily balance ("" when there is one)
    QStringList notes;              // where each crop input came from (Table 22 root depth, Table 17 Kcb, ...)
    DailyStationRecord weather;
    DailyCropInputs inputs;
    DailyBalanceResult result;      // every season; the daily rows of detailYear
    int detailYear = 0;
    // The monthly method's figures of the same crop, mm over the season.
    double monthlyEtcMm = 0, monthlyNetIrr50Mm = 0, monthlyNetIrr80Mm = 0;
    bool ok() const { return error.isEmpty() && result.ok(); }
};

// The daily balance of the crop ctx was computed for by ComputeCrop (wk on
// its working row, curves its curve state). detailYear: the planting year
// whose daily rows and schedule are kept; 0: the last complete season.
DailyRun RunDailyForCrop(const CropRunContext& ctx, const CropCurveState& curves, TTable& wk, int detailYear = 0);

} // namespace quen::job
