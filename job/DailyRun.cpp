// The crop's inputs of the daily balance, and where each comes from:
//  - season: the planting and harvest dates of the working crop;
//  - Kcb: the basal value of the crop's daily rows ("ETKc.db") for the NEH 2
//    basal curves; for the other curves (Blaney-Criddle, FAO-56 Table 12),
//    which give no basal value, FAO-56 Table 17 Kcb ini / mid / end of the
//    crop ("FAO56CropDaily.db") over the stages of the crop's FAO-56 curve
//    ("CrpFAOCurv.DB" Fs1..Fs3, the Table 11 stage fractions), Kcb mid and
//    Kcb end (when above 0.45) adjusted to the station's climate by FAO-56
//    eq. 70 with the mean u2 and RHmin of the record's days of those stages;
//  - root depth Zr and p: FAO-56 Table 22; height: Table 12 ("FAO56CropDaily.db");
//  - soil: FAO-56 Table 19 values of the crop's "Soil" ("FAO56SoilWater.db");
//  - "Fraction Wetted" (fw) and "ASW" of the working crop;
//  - irrigation rule: a fixed net depth, the crop's "Net Irr" (inches), when
//    it is above 0 - it is the planner's net depth per irrigation, the depth
//    the system applies and the depth the monthly method's wetting terms
//    take - and refilling the root zone to field capacity when it is not set;
//  - at planting the root zone and the surface layer are at field capacity
//    (Dr,i = De,i = 0: FAO-56 Ch. 8, after a pre-plant irrigation or heavy rain).
#include "DailyRun.h"

#include <cmath>

#include "Calendar.h"
#include "DailyImport.h"
#include "KcClimate.h"
#include "ReferenceET.h"
#include "Table.h"

namespace quen::job {

namespace {

constexpr double kMmPerInch = 25.4;

struct CropTerms {
    bool found = false;
    double rootDepthM = 0, p = 0, heightM = 0, kcbIni = 0, kcbMid = 0, kcbEnd = 0;
    QString source;
};

CropTerms ReadCropTerms(const QString& cropName)
{
    CropTerms c;
    TTable t(QStringLiteral("FAO56CropDaily.db"));
    t.open();
    if (t.findKey({cropName})) {
        c.found = true;
        c.rootDepthM = t.field(QStringLiteral("Root Depth M")).asFloat();
        c.p = t.field(QStringLiteral("P")).asFloat();
        c.heightM = t.field(QStringLiteral("Max Height M")).asFloat();
        c.kcbIni = t.field(QStringLiteral("Kcb Ini")).asFloat();
        c.kcbMid = t.field(QStringLiteral("Kcb Mid")).asFloat();
        c.kcbEnd = t.field(QStringLiteral("Kcb End")).asFloat();
        c.source = t.field(QStringLiteral("Source")).asString();
    }
    t.close();
    return c;
}

bool ReadSoil(const QString& soil, DailySoil& out, QString& source)
{
    TTable t(QStringLiteral("FAO56SoilWater.db"));
    t.open();
    const bool found = t.findKey({soil.trimmed()});
    if (found) {
        out.name = soil.trimmed();
        out.thetaFC = t.field(QStringLiteral("ThetaFC")).asFloat();
        out.thetaWP = t.field(QStringLiteral("ThetaWP")).asFloat();
        out.rew = t.field(QStringLiteral("REW")).asFloat();
        source = t.field(QStringLiteral("Source")).asString();
    }
    t.close();
    return found;
}

// The FAO-56 curve of the crop: the working crop's own curve when it is one,
// else the "FAOCropCurveName" of its crop record.
QString FaoCurveName(const CropRunContext& ctx, const QString& cropName)
{
    if (ctx.CurveIndex == 5)
        return ctx.CurveName;
    QString name;
    TTable q(QStringLiteral("QuenCrop.DB"));
    q.open();
    if (q.locate(QStringLiteral("Cop Name"), cropName))
        name = q.field(QStringLiteral("FAOCropCurveName")).asString();
    q.close();
    return name;
}

bool ReadStageFractions(const QString& curveName, double fs[3])
{
    if (curveName.isEmpty())
        return false;
    TTable t(QStringLiteral("CrpFAOCurv.DB"));
    t.open();
    const bool found = t.findKey({curveName});
    if (found) {
        fs[0] = t.field(QStringLiteral("Fs1")).asFloat();
        fs[1] = t.field(QStringLiteral("Fs2")).asFloat();
        fs[2] = t.field(QStringLiteral("Fs3")).asFloat();
    }
    t.close();
    return found && fs[0] > 0 && fs[0] <= fs[1] && fs[1] <= fs[2] && fs[2] < 1;
}

int SeasonLength(int plantDoy, int harvestDoy)
{
    return harvestDoy >= plantDoy ? harvestDoy - plantDoy + 1 : 365 - plantDoy + 1 + harvestDoy;
}

// Mean u2 and RHmin of the record's days whose day of year lies in the
// season days [from, to] (0 = planting day).
StageClimate RecordStageClimate(const std::vector<DailyEtoDay>& eto, int plantDoy, int from, int to)
{
    double su = 0, sr = 0;
    int n = 0;
    for (const DailyEtoDay& d : eto) {
        int doy = d.date.dayOfYear();
        if (IsLeapYear(d.date.year) && doy > 59) {
            if (doy == 60)
                continue;   // February 29
            --doy;
        }
        const int i = (doy - plantDoy + 365) % 365;
        if (i >= from && i <= to) {
            su += d.u2;
            sr += d.rhMin;
            ++n;
        }
    }
    StageClimate c;
    if (n > 0) {
        c.u2 = su / n;
        c.rhMin = sr / n;
    }
    return c;
}

} // namespace

DailyRun RunDailyForCrop(const CropRunContext& ctx, const CropCurveState& curves, TTable& wk, int detailYear)
{
    Q_UNUSED(curves);
    DailyRun run;
    const QString cropName = wk.field(QStringLiteral("Crop Name")).asString();

    // ---- the station's daily weather
    const DailyWeatherSet set = ReadDailyWeatherSet(ctx.WeatherStationName, ctx.StationNumber);
    if (!set.found) {
        run.error = QStringLiteral("There is no daily weather for the station %1. Import it in the climate "
                                   "program (Import Daily Weather...) or with quenpm-calc --import-daily.")
                        .arg(ctx.WeatherStationName);
        return run;
    }
    const std::shared_ptr<const std::vector<DailyWeatherDay>> record = DailyWeatherOf(set);
    const std::vector<DailyWeatherDay>& days = *record;
    if (days.empty()) {
        run.error = QStringLiteral("The daily weather of the station %1 has no days.").arg(ctx.WeatherStationName);
        return run;
    }
    run.weather.stationName = ctx.WeatherStationName;
    run.weather.stationNo = ctx.StationNumber;
    run.weather.source = QStringLiteral("%1 (%2)").arg(set.sourceFile, set.format);
    run.weather.days = int(days.size());
    run.weather.first = days.front().date;
    run.weather.last = days.back().date;
    DailyStation station;
    const double latRad = LatitudeRadians(ctx.Latitude);
    if (latRad < 0) {
        run.error = QStringLiteral("The latitude of the station %1 is not correct.").arg(ctx.WeatherStationName);
        return run;
    }
    station.latitudeDeg = latRad * 180.0 / M_PI;
    station.elevationM = ctx.ElevationM;
    station.coastal = set.coastal;
    const std::vector<DailyEtoDay> eto = DailyReferenceET(days, station, &run.weather.filled);
    run.notes << QStringLiteral("Daily weather: %1, %2 days, %3 to %4; latitude %5 deg, elevation %6 m (\"Climate.DB\").")
                     .arg(run.weather.source).arg(run.weather.days)
                     .arg(run.weather.first.text(), run.weather.last.text())
                     .arg(station.latitudeDeg, 0, 'f', 2).arg(station.elevationM, 0, 'f', 0);

    // ---- the crop
    DailyCropInputs& in = run.inputs;
    in.plantMonth = ctx.PlantMonth;
    in.plantDay = ctx.PlantDay;
    in.harvestMonth = ctx.HarvestMonth;
    in.harvestDay = ctx.HarvestDay;

    const QString soilName = wk.field(QStringLiteral("Soil")).asString();
    QString soilSource;
    if (!ReadSoil(soilName, in.soil, soilSource)) {
        run.error = QStringLiteral("The soil \"%1\" has no FAO-56 Table 19 field capacity, wilting point and "
                                   "readily evaporable water; choose another soil for the daily balance.")
                        .arg(soilName);
        return run;
    }
    run.notes << QStringLiteral("Soil %1: thetaFC %2, thetaWP %3, REW %4 mm, TEW %5 mm (%6; \"FAO56SoilWater.db\").")
                     .arg(in.soil.name).arg(in.soil.thetaFC).arg(in.soil.thetaWP).arg(in.soil.rew)
                     .arg(in.soil.tew(), 0, 'f', 1).arg(soilSource);

    const CropTerms terms = ReadCropTerms(cropName);
    if (!terms.found) {
        run.error = QStringLiteral("The crop \"%1\" has no FAO-56 root depth, depletion fraction and basal "
                                   "crop coefficients (\"FAO56CropDaily.db\").").arg(cropName);
        return run;
    }
    in.rootDepthM = terms.rootDepthM;
    in.p = terms.p;
    in.heightM = terms.heightM;
    run.notes << QStringLiteral("Root depth %1 m, p %2, height %3 m (%4; \"FAO56CropDaily.db\").")
                     .arg(in.rootDepthM).arg(in.p).arg(in.heightM).arg(terms.source);

    const int plantDoy = DayOfYear(in.plantMonth, in.plantDay);
    const int harvestDoy = DayOfYear(in.harvestMonth, in.harvestDay);
    if (ctx.CurveIndex >= 0 && ctx.CurveIndex <= 2) {
        DailyKcRows rows;
        TTable etkc(QStringLiteral("ETKc.db"));
        etkc.open();
        for (etkc.first(); !etkc.eof(); etkc.next()) {
            rows.day.push_back(etkc.field(QStringLiteral("JDate")).asFloat());
            rows.kca.push_back(etkc.field(QStringLiteral("Kca")).asFloat());
            rows.kcb.push_back(etkc.field(QStringLiteral("Kcb")).asFloat());
        }
        etkc.close();
        if (rows.size() == 0 || !SetKcbFromCurveRows(in, rows, ctx.CurveIndex)) {
            run.error = QStringLiteral("The crop \"%1\" has no daily basal crop coefficients: compute the crop "
                                       "first.").arg(cropName);
            return run;
        }
        run.notes << QStringLiteral("Kcb: the basal values of the crop's curve %1 (daily rows, \"ETKc.db\").")
                         .arg(ctx.CurveName);
    } else {
        const QString faoCurve = FaoCurveName(ctx, cropName);
        double fs[3] = {0, 0, 0};
        if (!ReadStageFractions(faoCurve, fs)) {
            run.error = QStringLiteral("The crop \"%1\" has no FAO-56 curve with stage lengths (\"CrpFAOCurv.DB\"): "
                                       "no daily basal crop coefficients.").arg(cropName);
            return run;
        }
        const int n = SeasonLength(plantDoy, harvestDoy);
        const double l1 = fs[0] * n, l2 = fs[1] * n, l3 = fs[2] * n;
        // FAO-56 eq. 70: Kcb mid, and Kcb end when above 0.45, to the station's climate.
        const StageClimate mid = RecordStageClimate(eto, plantDoy, int(l2), int(l3));
        const StageClimate late = RecordStageClimate(eto, plantDoy, int(l3), n - 1);
        const double kcbMid = terms.kcbMid + KcClimateTerm(mid.u2, mid.rhMin, in.heightM);
        const double kcbEnd = terms.kcbEnd > 0.45 ? terms.kcbEnd + KcClimateTerm(late.u2, late.rhMin, in.heightM)
                                                  : terms.kcbEnd;
        for (int i = 0; i < n; ++i) {
            // FAO-56 Fig. 34 / eq. 66: constant, linear rise, constant, linear fall.
            const double x = i + 0.5;
            double k;
            if (x <= l1) k = terms.kcbIni;
            else if (x <= l2) k = terms.kcbIni + (kcbMid - terms.kcbIni) * (x - l1) / std::max(1e-9, l2 - l1);
            else if (x <= l3) k = kcbMid;
            else k = kcbMid + (kcbEnd - kcbMid) * (x - l3) / std::max(1e-9, n - l3);
            in.kcb[std::size_t((plantDoy - 1 + i) % 365 + 1)] = k;
        }
        run.notes << QStringLiteral("Kcb: FAO-56 Table 17 ini %1, mid %2, end %3, mid and end to the station's "
                                    "climate by eq. 70 (mid-season u2 %4 m/s, RHmin %5 %) = mid %6, end %7; "
                                    "stages Fs %8 / %9 / %10 of %11 days (curve %12, \"CrpFAOCurv.DB\").")
                         .arg(terms.kcbIni).arg(terms.kcbMid).arg(terms.kcbEnd)
                         .arg(mid.u2, 0, 'f', 1).arg(mid.rhMin, 0, 'f', 0)
                         .arg(kcbMid, 0, 'f', 3).arg(kcbEnd, 0, 'f', 3)
                         .arg(fs[0]).arg(fs[1]).arg(fs[2]).arg(n).arg(faoCurve);
    }

    in.fw = wk.field(QStringLiteral("Fraction Wetted")).asFloat();
    if (wk.field(QStringLiteral("Fraction Wetted")).isNull())
        in.fw = 1.0;
    in.aswPercent = wk.field(QStringLiteral("ASW")).asFloat();
    const double netIn = wk.field(QStringLiteral("Net Irr")).asFloat();
    if (netIn > 0) {
        in.rule = IrrigationRule::FixedDepth;
        in.netDepthMm = netIn * kMmPerInch;
    } else {
        in.rule = IrrigationRule::Refill;
    }
    run.notes << QStringLiteral("Fraction wetted %1, ASW %2 %, irrigation %3 (working crop).")
                     .arg(in.fw).arg(in.aswPercent)
                     .arg(in.rule == IrrigationRule::FixedDepth
                              ? QStringLiteral("by the net depth %1 in (%2 mm)").arg(netIn).arg(in.netDepthMm, 0, 'f', 1)
                              : QStringLiteral("refilling the root zone"));

    // ---- the balance
    run.result = RunDailyBalance(eto, in, detailYear);
    if (!run.result.ok()) {
        run.error = run.result.error;
        return run;
    }
    run.detailYear = detailYear;
    if (detailYear == 0) {
        for (const SeasonBalance& s : run.result.seasons)
            if (s.complete)
                run.detailYear = s.year;
        if (run.detailYear != 0)
            run.result = RunDailyBalance(eto, in, run.detailYear);
    }

    run.monthlyEtcMm = ctx.TotalCropET * kMmPerInch;
    run.monthlyNetIrr50Mm = ctx.TotalNetIrrReq50 * kMmPerInch;
    run.monthlyNetIrr80Mm = ctx.TotalNetIrrReq80 * kMmPerInch;
    return run;
}

} // namespace quen::job
