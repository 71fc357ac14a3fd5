#include "CropRun.h"

#include "Calendar.h"
#include "EtMethod.h"
#include "ForageDormancy.h"
#include "KcClimate.h"
#include "ReferenceET.h"
#include "RunMessages.h"
#include "db/MessageService.h"

namespace quen {

namespace {

// The context the curve routines and the water budget work on, holding the
// crop's inputs and the job's precipitation.
CropRunContext WorkingContext(const CropInputs& in)
{
    CropRunContext c;
    c.MonthlyPrecip = in.monthlyPrecip;
    c.AnnualPrecip = in.annualPrecip;
    c.ETMethodIndex = in.etMethodIndex;
    c.ETMethodText = in.etMethodText;
    c.CropName = in.cropName;
    c.PlantMonth = in.plantMonth;
    c.PlantDay = in.plantDay;
    c.HarvestMonth = in.harvestMonth;
    c.HarvestDay = in.harvestDay;
    c.CropCurveType = in.cropCurveType;
    c.Soil = in.soil;
    c.BeginDateText = in.beginDateText;
    c.EndDateText = in.endDateText;
    c.Cut1Month = in.cut1Month;
    c.Cut1Day = in.cut1Day;
    c.CutEndMonth = in.cutEndMonth;
    c.CutEndDay = in.cutEndDay;
    c.CurveIndex = in.curveIndex;
    c.CurveName = in.curveName;
    c.Cuttings = in.cuttings;
    c.NetIrrDepth = in.netIrrDepth;
    c.CarryBeg = in.carryBeg;
    c.CarryEnd = in.carryEnd;
    c.DaysWetDeveloped = in.daysWetDeveloped;
    c.DaysWetMature = in.daysWetMature;
    c.StressFactor = in.stressFactor;
    c.Sensitive = in.sensitive;
    c.AvailableSoilWater = in.availableSoilWater;
    c.FractionWetted = in.fractionWetted;
    c.IrrigationType = in.irrigationType;
    // The station's temperatures before the curve is built: the FAO-56 eq. 63
    // RHmin of the Kc adjustment reads them (a record without RHmin).
    c.MonthlyTmin = in.station.tmin;
    c.MonthlyTmax = in.station.tmax;
    return c;
}

void TakeResults(const CropRunContext& c, CropResults& r)
{
    r.etMethodIndex = c.ETMethodIndex;
    r.etMethodText = c.ETMethodText;
    r.seasonMonthFlags = c.SeasonMonthFlags;
    r.hayFlag = c.HayFlag;
    r.pctChanceRatio50 = c.PctChanceRatio50;
    r.pctChanceRatio80 = c.PctChanceRatio80;
    r.monthlyKc = c.MonthlyKc;
    r.dailyRefET = c.DailyRefET;
    r.dailyRefETmm = c.DailyRefETmm;
    r.dailyCropET = c.DailyCropET;
    r.dailyCropETmm = c.DailyCropETmm;
    r.shoulderRefET = c.ShoulderRefET;
    r.shoulderRefETmm = c.ShoulderRefETmm;
    r.monthlyCropET = c.MonthlyCropET;
    r.effPrecip50 = c.EffPrecip50;
    r.effPrecip80 = c.EffPrecip80;
    r.netIrrReq50 = c.NetIrrReq50;
    r.netIrrReq80 = c.NetIrrReq80;
    r.carryOverUsed50 = c.CarryOverUsed50;
    r.carryOverUsed80 = c.CarryOverUsed80;
    r.peakDailyET = c.PeakDailyET;
    r.totalCropET = c.TotalCropET;
    r.totalEffPrecip50 = c.TotalEffPrecip50;
    r.totalEffPrecip80 = c.TotalEffPrecip80;
    r.totalNetIrrReq50 = c.TotalNetIrrReq50;
    r.totalNetIrrReq80 = c.TotalNetIrrReq80;
}

// Metric twins of the results (cm, mm/day).
void MetricTwins(const CropInputs& in, CropResults& r)
{
    for (int m = 1; m <= 12; ++m) {
        r.monthlyCropETcm[m] = r.monthlyCropET[m] * 2.54;
        r.effPrecip50cm[m] = r.effPrecip50[m] * 2.54;
        r.effPrecip80cm[m] = r.effPrecip80[m] * 2.54;
        r.netIrrReq50cm[m] = r.netIrrReq50[m] * 2.54;
        r.netIrrReq80cm[m] = r.netIrrReq80[m] * 2.54;
        r.carryOverUsed50cm[m] = r.carryOverUsed50[m] * 2.54;
        r.carryOverUsed80cm[m] = r.carryOverUsed80[m] * 2.54;
        r.peakDailyETmm[m] = r.peakDailyET[m] * 25.4;
    }
    r.totalEffPrecip50cm = r.totalEffPrecip50 * 2.54;
    r.totalEffPrecip80cm = r.totalEffPrecip80 * 2.54;
    r.totalNetIrrReq50cm = r.totalNetIrrReq50 * 2.54;
    r.totalNetIrrReq80cm = r.totalNetIrrReq80 * 2.54;
    r.totalCropETcm = r.totalCropET * 2.54;
    r.netIrrDepthCm = in.netIrrDepth * 2.54;
    r.carryBegCm = in.carryBeg * 2.54;
    r.carryEndCm = in.carryEnd * 2.54;
}

} // namespace

CropResults RunCrop(const CropInputs& in)
{
    CropResults r;
    RunCropInto(in, r);
    return r;
}

void RunCropInto(const CropInputs& in, CropResults& r)
{
    RunMessages once;
    CropRunContext ctx = WorkingContext(in);
    CropCurveState& st = r.curve;
    st.reset();
    DailyKcRows& daily = r.daily;
    daily.clear();
    const StationRecord& station = in.station;
    const WhrRecord& whr = in.whr;
    ctx.SeasonMonthFlags = SeasonMonths(ctx.PlantMonth, ctx.HarvestMonth);

    // Probability ratios of the job's annual precipitation.
    const RatioPair ratios = PctChanceRatios(ctx.AnnualPrecip, [&in](int key) {
        const auto it = in.chanceRows.find(key);
        return it == in.chanceRows.end() ? std::pair<PcpChanceRow, PcpChanceRow>() : it->second;
    });
    ctx.PctChanceRatio50 = ratios.ratio50;
    ctx.PctChanceRatio80 = ratios.ratio80;

    // Penman-Monteith needs the station's own wind, humidity and radiation
    // record; without one the crop is computed by Blaney-Criddle, as the
    // station choice would have decided.
    if ((ctx.ETMethodIndex == 2 || ctx.ETMethodIndex == 3) && !whr.found) {
        once.showOnce(MsgKind::Information, kInsufficientClimateData);
        ctx.ETMethodIndex = 1;
        ctx.ETMethodText = kBlaneyCriddleText;
    }
    TakeResults(ctx, r);

    daily.day.reserve(366);
    daily.kca.reserve(366);
    daily.kcb.reserve(366);
    const DailyRowSink sink = [&daily](int day, double kca, double kcb) {
        daily.day.push_back(day);
        daily.kca.push_back(kca);
        daily.kcb.push_back(kcb);
    };
    const WetFactorFn wet = [&in](int days) {
        if (SoilColumn(in.soil).isEmpty())
            messages().show(MsgKind::Error, kSoilNotDesignated);
        const auto it = in.wetFactors.find(days);
        return it == in.wetFactors.end() ? 0.0 : it->second;
    };

    // Crop curve of the curve index.
    switch (ctx.CurveIndex) {
    case 0: RunAnnualBasalCurve(ctx, st, in.annualBasal, wet, sink); break;
    case 1: RunPerennialBasalCurve(ctx, st, in.perennialBasal, wet, sink); break;
    case 2: {
        ForageCurve forage = in.forage;
        SetForageFreezeDays(forage, in.station.frost);
        RunForageCurve(ctx, st, forage, wet, sink);
        break;
    }
    case 3: RunBCAnnualCurve(ctx, st, in.bcAnnual, sink); break;
    case 4: RunBCPerennialCurve(ctx, st, in.bcPerennial, sink); break;
    case 5: {
        // Kc mid and Kc end to the station's climate when the planner asked for it.
        // With the reference dew point the RHmin of eq. 62 is that of Tmin + Cor
        // too (FAO-56 eq. 63), as Penman-Monteith takes it.
        const KcStationRecord kst{whr.found, whr.u2, in.referenceDewPoint ? MonthlyValues{} : whr.rhMin, whr.cor,
                                  whr.stationType, whr.stationHeight};
        RunFAO56Curve(ctx, st, AdjustFAO56CurveToStation(ctx, in.fao56, in.kcClimate, kst), sink);
        break;
    }
    default: break;   // no curve: MonthlyKc stays 0
    }

    // Monthly reference and crop ET.
    if (ctx.ETMethodIndex == 1) {
        const DaytimeLookup lookup = [&in](int degrees, int month) {
            const auto it = in.daytimePercents.find(degrees);
            return it == in.daytimePercents.end() ? 0.0 : it->second[month];
        };
        for (int m = 1; m <= 12; ++m) {
            ctx.ShoulderRefET[m] = ctx.ShoulderRefETmm[m] = 0.0;
            if (ctx.SeasonMonthFlags[m]) {
                BlaneyCriddleInputs bc;
                bc.month = m;
                bc.t = station.temp[m];
                bc.tPrev = station.temp[PrevMonth(m)];
                bc.tNext = station.temp[NextMonth(m)];
                bc.latitude = station.latitude;
                bc.elevationFt = station.elevationFt;
                bc.elevationCorrection = in.elevationCorrection;
                bc.inSeason = true;
                bc.plantMonth = ctx.PlantMonth;
                bc.plantDay = ctx.PlantDay;
                bc.harvestMonth = ctx.HarvestMonth;
                bc.harvestDay = ctx.HarvestDay;
                ctx.DailyRefET[m] = BlaneyCriddleRate(bc, lookup, &once);
                ctx.DailyCropET[m] = ctx.DailyRefET[m] * ctx.MonthlyKc[m];
            } else {
                ctx.DailyRefET[m] = ctx.DailyCropET[m] = 0.0;
            }
            ctx.DailyRefETmm[m] = ctx.DailyRefET[m] * 25.4;
            ctx.DailyCropETmm[m] = ctx.DailyCropET[m] * 25.4;
        }
    } else if (ctx.ETMethodIndex == 2 || ctx.ETMethodIndex == 3) {
        const double phi = LatitudeRadians(station.latitude, &once);
        const MonthlyValues meanC = MonthlyMeanTempC(station.tmin, station.tmax);
        const int before = PrevMonth(WrapMonth(ctx.PlantMonth));
        const int after = NextMonth(WrapMonth(ctx.HarvestMonth));
        // Station and latitude terms once per run, then the months.
        const PenmanMonteithStation pmStation =
            PenmanMonteithStationTerms(station.elevationFt, whr.stationType, whr.stationHeight, whr.stationLoc);
        const PenmanMonteithLatitude pmLatitude = PenmanMonteithLatitudeTerms(phi);
        for (int m = 1; m <= 12; ++m) {
            PenmanMonteithMonth pm;
            pm.tminF = station.tmin[m];
            pm.tmaxF = station.tmax[m];
            pm.windMph = whr.u2[m];
            pm.rsLangleys = whr.rs[m];
            // Without RHmax/RHmin the run takes ea = e°(Tmin + Cor), FAO-56 eq. 48.
            pm.rhMin = in.referenceDewPoint ? 0.0 : whr.rhMin[m];
            pm.rhMax = in.referenceDewPoint ? 0.0 : whr.rhMax[m];
            pm.as = whr.as[m];
            pm.bs = whr.bs[m];
            pm.sunshineHours = whr.n[m];
            pm.cor = whr.cor[m];
            const double eto = PenmanMonteithETo(m, pmStation, pmLatitude, meanC, pm);
            if (m == before || m == after) {
                ctx.ShoulderRefETmm[m] = eto;
                ctx.ShoulderRefET[m] = eto * 0.03936996;
            } else {
                ctx.ShoulderRefETmm[m] = ctx.ShoulderRefET[m] = 0.0;
            }
            if (ctx.SeasonMonthFlags[m]) {
                ctx.DailyRefETmm[m] = eto;
                ctx.DailyCropETmm[m] = eto * ctx.MonthlyKc[m];
                ctx.DailyRefET[m] = ctx.DailyRefETmm[m] * 0.03936996;
                ctx.DailyCropET[m] = ctx.DailyCropETmm[m] * 0.03936996;
            } else {
                ctx.DailyRefETmm[m] = ctx.DailyCropETmm[m] = ctx.DailyRefET[m] = ctx.DailyCropET[m] = 0.0;
            }
        }
    }

    // A refused latitude ("FATAL Error: Latitude not correct" or "... not
    // within range") yields no reference ET: the error value -1 would give
    // negative crop ET and requirements. The crop's results stay empty; the
    // crop curve is kept.
    const bool latitudeRefused = once.wasShown(kLatitudeNotCorrect) || once.wasShown(kLatitudeNotInRange);
    if (latitudeRefused) {
        for (MonthlyValues* a : {&ctx.DailyRefET, &ctx.DailyRefETmm, &ctx.DailyCropET, &ctx.DailyCropETmm,
                                 &ctx.ShoulderRefET, &ctx.ShoulderRefETmm})
            a->fill(0.0);
    }

    // Season months again.
    ctx.SeasonMonthFlags = SeasonMonths(ctx.PlantMonth, ctx.HarvestMonth);

    // Water budget.
    if (!latitudeRefused)
        RunWaterBudget(ctx, in.peakMethod);

    // Totals.
    ctx.TotalCropET = ctx.TotalEffPrecip50 = ctx.TotalEffPrecip80 = 0.0;
    ctx.TotalNetIrrReq50 = ctx.TotalNetIrrReq80 = 0.0;
    for (int m = 1; m <= 12; ++m) {
        ctx.TotalCropET += ctx.MonthlyCropET[m];
        ctx.TotalEffPrecip50 += ctx.EffPrecip50[m];
        ctx.TotalEffPrecip80 += ctx.EffPrecip80[m];
        ctx.TotalNetIrrReq50 += ctx.NetIrrReq50[m];
        ctx.TotalNetIrrReq80 += ctx.NetIrrReq80[m];
    }
    TakeResults(ctx, r);
    MetricTwins(in, r);

    // The day's reference and crop ET of the season's rows, from the monthly rates.
    DailyETSeason season;
    season.plantMonth = in.plantMonth;
    season.plantDay = in.plantDay;
    season.harvestMonth = in.harvestMonth;
    season.harvestDay = in.harvestDay;
    season.refET = r.dailyRefET;
    season.shoulderRefET = r.shoulderRefET;
    season.refETmm = r.dailyRefETmm;
    season.shoulderRefETmm = r.shoulderRefETmm;
    SetDailyET(daily, season);
}

void CopyResults(const CropInputs& in, const CropResults& r, CropRunContext& ctx)
{
    ctx.PlantMonth = in.plantMonth;
    ctx.PlantDay = in.plantDay;
    ctx.HarvestMonth = in.harvestMonth;
    ctx.HarvestDay = in.harvestDay;
    ctx.CropCurveType = in.cropCurveType;
    ctx.Soil = in.soil;
    ctx.BeginDateText = in.beginDateText;
    ctx.EndDateText = in.endDateText;
    ctx.Cut1Month = in.cut1Month;
    ctx.Cut1Day = in.cut1Day;
    ctx.CutEndMonth = in.cutEndMonth;
    ctx.CutEndDay = in.cutEndDay;
    ctx.FirstCuttingText = QString::number(in.cut1Month) + QLatin1Char('/') + QString::number(in.cut1Day);
    ctx.LastCuttingText = QString::number(in.cutEndMonth) + QLatin1Char('/') + QString::number(in.cutEndDay);
    ctx.CurveIndex = in.curveIndex;
    ctx.CurveName = in.curveName;
    ctx.Cuttings = in.cuttings;
    ctx.NetIrrDepth = in.netIrrDepth;
    ctx.CarryBeg = in.carryBeg;
    ctx.CarryEnd = in.carryEnd;
    ctx.DaysWetDeveloped = in.daysWetDeveloped;
    ctx.DaysWetMature = in.daysWetMature;
    ctx.StressFactor = in.stressFactor;
    ctx.Sensitive = in.sensitive;
    ctx.AvailableSoilWater = in.availableSoilWater;
    ctx.FractionWetted = in.fractionWetted;
    ctx.IrrigationType = in.irrigationType;

    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyTmin[m] = in.station.tmin[m];
        ctx.MonthlyTmax[m] = in.station.tmax[m];
        ctx.MonthlyTminC[m] = in.station.tminC[m];
        ctx.MonthlyTmaxC[m] = in.station.tmaxC[m];
        ctx.WindU2[m] = in.whr.u2[m];
        ctx.WindU2m[m] = in.whr.u2m[m];
        ctx.SolarRs[m] = in.whr.rs[m];
        ctx.SolarRsm[m] = in.whr.rsm[m];
        ctx.RHmin[m] = in.whr.rhMin[m];
        ctx.RHmax[m] = in.whr.rhMax[m];
    }

    ctx.ETMethodIndex = r.etMethodIndex;
    ctx.ETMethodText = r.etMethodText;
    ctx.ReferenceDewPoint = in.referenceDewPoint && (r.etMethodIndex == 2 || r.etMethodIndex == 3);
    ctx.SeasonMonthFlags = r.seasonMonthFlags;
    ctx.HayFlag = r.hayFlag;
    ctx.PctChanceRatio50 = r.pctChanceRatio50;
    ctx.PctChanceRatio80 = r.pctChanceRatio80;
    ctx.MonthlyKc = r.monthlyKc;
    ctx.DailyRefET = r.dailyRefET;
    ctx.DailyRefETmm = r.dailyRefETmm;
    ctx.DailyCropET = r.dailyCropET;
    ctx.DailyCropETmm = r.dailyCropETmm;
    ctx.ShoulderRefET = r.shoulderRefET;
    ctx.ShoulderRefETmm = r.shoulderRefETmm;
    ctx.MonthlyCropET = r.monthlyCropET;
    ctx.EffPrecip50 = r.effPrecip50;
    ctx.EffPrecip80 = r.effPrecip80;
    ctx.NetIrrReq50 = r.netIrrReq50;
    ctx.NetIrrReq80 = r.netIrrReq80;
    ctx.CarryOverUsed50 = r.carryOverUsed50;
    ctx.CarryOverUsed80 = r.carryOverUsed80;
    ctx.PeakDailyET = r.peakDailyET;
    ctx.TotalCropET = r.totalCropET;
    ctx.TotalEffPrecip50 = r.totalEffPrecip50;
    ctx.TotalEffPrecip80 = r.totalEffPrecip80;
    ctx.TotalNetIrrReq50 = r.totalNetIrrReq50;
    ctx.TotalNetIrrReq80 = r.totalNetIrrReq80;

    ctx.MonthlyCropETcm = r.monthlyCropETcm;
    ctx.EffPrecip50cm = r.effPrecip50cm;
    ctx.EffPrecip80cm = r.effPrecip80cm;
    ctx.NetIrrReq50cm = r.netIrrReq50cm;
    ctx.NetIrrReq80cm = r.netIrrReq80cm;
    ctx.CarryOverUsed50cm = r.carryOverUsed50cm;
    ctx.CarryOverUsed80cm = r.carryOverUsed80cm;
    ctx.PeakDailyETmm = r.peakDailyETmm;
    ctx.TotalEffPrecip50cm = r.totalEffPrecip50cm;
    ctx.TotalEffPrecip80cm = r.totalEffPrecip80cm;
    ctx.TotalNetIrrReq50cm = r.totalNetIrrReq50cm;
    ctx.TotalNetIrrReq80cm = r.totalNetIrrReq80cm;
    ctx.TotalCropETcm = r.totalCropETcm;
    ctx.NetIrrDepthCm = r.netIrrDepthCm;
    ctx.CarryBegCm = r.carryBegCm;
    ctx.CarryEndCm = r.carryEndCm;

    // The station's metric twins of the values the context holds.
    SetStationMetricTwins(ctx);
}

} // namespace quen
