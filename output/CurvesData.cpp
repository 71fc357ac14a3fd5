#include "CurvesData.h"

#include "Calendar.h"
#include "Table.h"

namespace quen {

namespace {

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);

CurveSeries Series(const QString& title, const QColor& c, bool inLegend = true, bool hidden = false)
{
    CurveSeries s;
    s.title = title;
    s.color = c;
    s.inLegend = inLegend;
    s.hidden = hidden;
    return s;
}

void Add(CurveSeries& s, double x, double y, const QColor& c = QColor())
{
    s.points.append({x, y, c.isValid() ? c : s.color, QString()});
}

// The series every chart has besides the daily curves.
CurvesData EmptyCurves(const CropRunContext& ctx, const CropCurveState& curves, bool metric, bool report)
{
    CurvesData d;
    d.metric = metric;
    d.etc = Series(QStringLiteral("ETc (Crop)"), kRed);
    d.etoInterp = Series(QStringLiteral("ETo (Interpolated)"), kGreen);
    d.etoCalc = Series(QStringLiteral("ETo (Calculated)"), kGreen);
    d.etLabels = Series(report ? QStringLiteral("x axis labels") : QStringLiteral("x axis label"), Qt::black, false,
                        true);
    d.startEnd = Series(report ? QStringLiteral("Start-End Labels") : QStringLiteral("Start-End labels"), kGreen,
                        false, true);
    d.kca = Series(report ? QStringLiteral("Kca (Average)     ") : QStringLiteral("Kca (Average)   "), kRed);
    d.kcb = Series(report ? QStringLiteral("Kcb (Basil)") : QStringLiteral("Kcb (Basal)"), kGreen);
    d.kcLabels = Series(report ? QStringLiteral("X labels") : QStringLiteral("x axis labels"), Qt::black, false,
                        true);

    // monthly rates at mid-month: the shoulder rate where there is one
    const MonthlyValues& daily = metric ? ctx.DailyRefETmm : ctx.DailyRefET;
    const MonthlyValues& shoulder = metric ? ctx.ShoulderRefETmm : ctx.ShoulderRefET;
    for (int m = 1; m <= 12; ++m) {
        const double v = shoulder[m] > 0 ? shoulder[m] : daily[m];
        if (v > 0)
            Add(d.etoCalc, DayOfYear(m, 15), v);
    }
    for (int m = 1; m <= 12; ++m) {
        const int first = DayOfYear(m, 1);
        const QString text = DayOfYearToMonthDay(first).text;
        d.etLabels.points.append({double(first), 0.0, Qt::black, text});
        d.kcLabels.points.append({double(first), 0.0, Qt::black, text});
    }
    const double y = metric ? 12.0 : 0.5;
    d.startEnd.points.append({double(curves.SeasonStartDay), y, kGreen, ctx.BeginDateText + QStringLiteral(" Start grow")});
    d.startEnd.points.append({double(curves.SeasonEndDay), y, kGreen, ctx.EndDateText + QStringLiteral(" End grow")});
    return d;
}

bool AcrossYearEnd(const CropRunContext& ctx) { return ctx.HarvestMonth < ctx.PlantMonth; }

// A day's points of the curves that have a value there (Kcb only when asked).
void AddPositive(CurvesData& d, int day, double etc, double eto, double kca, double kcb, bool withKcb)
{
    if (etc > 0)
        Add(d.etc, day, etc);
    if (eto > 0)
        Add(d.etoInterp, day, eto);
    if (kca > 0)
        Add(d.kca, day, kca);
    if (kcb > 0 && withKcb)
        Add(d.kcb, day, kcb);
}

} // namespace

CurvesData BuildCurvesForWindow(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric,
                                const QColor& bridge)
{
    CurvesData d = EmptyCurves(ctx, curves, metric, false);
    const int start = DayOfYear(ctx.PlantMonth, ctx.PlantDay);
    const int end = DayOfYear(ctx.HarvestMonth, ctx.HarvestDay);
    const bool withKcb = ctx.CurveIndex != 5;
    const QString etcField = metric ? QStringLiteral("ETcM") : QStringLiteral("ETc");
    const QString etoField = metric ? QStringLiteral("EToM") : QStringLiteral("ETo");

    // the day's values as the crop run stored them
    double eto = 0, etc = 0, kca = 0, kcb = 0;
    auto read = [&] {
        kca = etkc.field(QStringLiteral("Kca")).asFloat();
        kcb = etkc.field(QStringLiteral("Kcb")).asFloat();
        eto = etkc.field(etoField).asFloat();
        etc = etkc.field(etcField).asFloat();
    };
    auto addAll = [&](int day, const QColor& c) {
        Add(d.etc, day, etc, c.isValid() ? c : kRed);
        Add(d.etoInterp, day, eto, c.isValid() ? c : kGreen);
        Add(d.kca, day, kca, c.isValid() ? c : kRed);
        if (withKcb)
            Add(d.kcb, day, kcb, c.isValid() ? c : kGreen);
    };

    etkc.first();
    if (!AcrossYearEnd(ctx)) {
        while (!etkc.eof() && etkc.field(QStringLiteral("JDate")).asInteger() < start)
            etkc.next();
        if (etkc.eof())
            return d;
        for (int day = etkc.field(QStringLiteral("JDate")).asInteger(); day <= end && !etkc.eof(); ++day) {
            read();
            AddPositive(d, day, etc, eto, kca, kcb, withKcb);
            etkc.next();
        }
        return d;
    }

    // across the year end: January 1 to harvest, the bridge, planting to December 31
    while (!etkc.eof()) {
        const int day = etkc.field(QStringLiteral("JDate")).asInteger();
        if (day > end)
            break;
        read();
        if (day <= curves.SeasonEndDay)
            addAll(day, QColor());
        etkc.next();
    }
    for (CurveSeries* s : {&d.etc, &d.etoInterp, &d.kca, &d.kcb}) {
        if (s == &d.kcb && !withKcb)
            continue;
        Add(*s, end + 1, 0.01, bridge);
        Add(*s, start, 0.01, bridge);
    }
    while (!etkc.eof()) {
        const int day = etkc.field(QStringLiteral("JDate")).asInteger();
        read();
        if (day == start)
            addAll(day, bridge);
        if (day >= start)
            addAll(day, QColor());
        etkc.next();
    }
    return d;
}

CurvesData BuildCurvesFromTable(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric)
{
    CurvesData d = EmptyCurves(ctx, curves, metric, true);
    const int start = DayOfYear(ctx.PlantMonth, ctx.PlantDay);
    const int end = DayOfYear(ctx.HarvestMonth, ctx.HarvestDay);
    const bool withKcb = ctx.CurveIndex != 5;
    const QString etcField = metric ? QStringLiteral("ETcM") : QStringLiteral("ETc");
    const QString etoField = metric ? QStringLiteral("EToM") : QStringLiteral("ETo");

    auto read = [&](double& etc, double& eto, double& kca, double& kcb) {
        etc = etkc.field(etcField).asFloat();
        eto = etkc.field(etoField).asFloat();
        kca = etkc.field(QStringLiteral("Kca")).asFloat();
        kcb = etkc.field(QStringLiteral("Kcb")).asFloat();
    };
    double etc, eto, kca, kcb;
    etkc.first();
    if (!AcrossYearEnd(ctx)) {
        for (; !etkc.eof(); etkc.next()) {
            const int day = etkc.field(QStringLiteral("JDate")).asInteger();
            if (day < start)
                continue;
            if (day > end)
                break;
            read(etc, eto, kca, kcb);
            AddPositive(d, day, etc, eto, kca, kcb, withKcb);
        }
        return d;
    }
    auto addAll = [&](int day) {
        Add(d.etc, day, etc);
        Add(d.etoInterp, day, eto);
        Add(d.kca, day, kca);
        if (withKcb)
            Add(d.kcb, day, kcb);
    };
    for (; !etkc.eof(); etkc.next()) {
        const int day = etkc.field(QStringLiteral("JDate")).asInteger();
        if (day > end)
            break;
        read(etc, eto, kca, kcb);
        addAll(day);
    }
    for (CurveSeries* s : {&d.etc, &d.etoInterp, &d.kca, &d.kcb}) {
        if (s == &d.kcb && !withKcb)
            continue;
        Add(*s, end + 1, 0.01, Qt::white);
        Add(*s, start, 0.01, Qt::white);
    }
    for (; !etkc.eof(); etkc.next()) {
        const int day = etkc.field(QStringLiteral("JDate")).asInteger();
        if (day < start)
            continue;
        read(etc, eto, kca, kcb);
        // as in the window: the rise from the bridge to the start day's
        // value is drawn in white too, so no upright line marks the start
        if (day == start) {
            Add(d.etc, day, etc, Qt::white);
            Add(d.etoInterp, day, eto, Qt::white);
            Add(d.kca, day, kca, Qt::white);
            if (withKcb)
                Add(d.kcb, day, kcb, Qt::white);
        }
        addAll(day);
    }
    return d;
}

} // namespace quen
