// Daily crop coefficient curves: NEH 2 basal curves (annual, perennial,
// forage), TR21 Blaney-Criddle curves (annual, perennial) and FAO-56 Table 12
// stage curves. Each routine fills CropCurveState::DailyKc, hands one daily
// row per computed day to the row sink and sets CropRunContext::MonthlyKc.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <vector>

#include "CropRunContext.h"
#include "RunMessages.h"

namespace quen {

// Receives one row of "ETKc.db": day of year, crop coefficient, basal value.
using DailyRowSink = std::function<void(int day, double kca, double kcb)>;
// Soil wetting factor of the working crop's soil for an interval in days.
using WetFactorFn = std::function<double(int intervalDays)>;

inline const QString kPeakDataMissing = QStringLiteral("Peak reached data missing in database.");
inline const QString kSoilNotDesignated = QStringLiteral("Error: Soil not designated, will use Silt Loam");

// Column of "WetSoil.db" for a soil text; 0 for an unknown soil.
QString SoilColumn(const QString& soil);

// Season days from start to end day of year, wrapping after day 365 when the
// end is before the start. Holds n + 1 days.
std::vector<int> SeasonDayList(int startDay, int endDay);

// b when b >= 1, else S b + (1 - b) FW wet.
double AdjustedKc(double b, double wet, double stress, double fractionWetted);

struct AnnualBasalCurve { double Kcb = 0, Kcp = 0, Kcm = 0, Fs1 = 0, Fs2 = 0, Fs3 = 0; };
struct PerennialBasalCurve { std::array<double, 13> g{}; };           // "Jan Kc".."Dec Kc"
struct ForageCurve {
    bool hay = false;
    bool hasPkDaysBefore = false;
    int pkDaysBefore = 0;
    bool hasPkPctAfter = false;
    double pkPctAfter = 0;
    double lowKc = 0, highKc = 0;
    // Year-round mode at a station that freezes: days of year of its mean
    // 28 F spring and fall freezes, between which alfalfa grows (TR-21 and
    // NEH 623 Ch. 2); 0 when the station does not freeze or the date is not
    // known. The days outside are dormant and take "Low Kc".
    int springFreezeDay = 0, fallFreezeDay = 0;
};
struct BCAnnualCurve { std::array<double, 22> K{}; };                 // K[1..21] at 0 %, 5 %, ..., 100 %
struct BCPerennialCurve { std::array<double, 13> A1{}, A15{}; double Aend = 0; };
struct FAO56Curve { double Kcb = 0, Kcp = 0, Kcm = 0, Fs1 = 0, Fs2 = 0, Fs3 = 0; };

// Stage ends of a stage curve: RoundHalfUp(n x Fs).
struct StageEnds { int d1 = 0, d2 = 0, d3 = 0; };
StageEnds StageEndsOf(int n, double Fs1, double Fs2, double Fs3);

// Each routine returns false after an error message (forage peak data).
bool RunAnnualBasalCurve(CropRunContext& ctx, CropCurveState& st, const AnnualBasalCurve& c,
                         const WetFactorFn& wet, const DailyRowSink& sink);
bool RunPerennialBasalCurve(CropRunContext& ctx, CropCurveState& st, const PerennialBasalCurve& c,
                            const WetFactorFn& wet, const DailyRowSink& sink);
bool RunForageCurve(CropRunContext& ctx, CropCurveState& st, const ForageCurve& c,
                    const WetFactorFn& wet, const DailyRowSink& sink);
bool RunBCAnnualCurve(CropRunContext& ctx, CropCurveState& st, const BCAnnualCurve& c, const DailyRowSink& sink);
bool RunBCPerennialCurve(CropRunContext& ctx, CropCurveState& st, const BCPerennialCurve& c, const DailyRowSink& sink);
bool RunFAO56Curve(CropRunContext& ctx, CropCurveState& st, const FAO56Curve& c, const DailyRowSink& sink);

// Monthly means of DailyKc.
void MonthlyMeansByMonthEnds(const std::vector<int>& days, const CropCurveState& st, int harvestMonth,
                             MonthlyValues& monthlyKc);
// Walks start..end (start..365 then 1..end when the season crosses the year end).
void MonthlyMeansByMonthStarts(int startDay, int endDay, const CropCurveState& st, int harvestMonth,
                               MonthlyValues& monthlyKc);

} // namespace quen
