#include "GrowthDates.h"

#include <cmath>

#include "Calendar.h"
#include "db/MessageService.h"
#include "db/Table.h"

namespace quen {

GrowthDate ParseFrostDate(const QString& text)
{
    GrowthDate d;
    bool okM = false, okD = false;
    const int m = text.mid(0, 2).toInt(&okM);
    const int dd = text.mid(3, 2).toInt(&okD);
    if (!okM || !okD || m < 1 || m > 12 || dd < 1 || dd > 31)
        return d;
    d.month = m;
    d.day = dd;
    return d;
}

bool FrostDateUnknown(const QString& text)
{
    const QString t = text.trimmed();
    return t.isEmpty() || t == QLatin1String("--/--");
}

QString FrostDateUnknownText(bool spring, double tempF)
{
    const double c = std::round((tempF - 32.0) * 5.0 / 9.0 * 10.0) / 10.0;
    return QStringLiteral("The %1 %2 F (%3 C) frost date of this station is not known, so no %4 date can be computed "
                          "from it. Enter the frost date in the station's record, or enter dates directly")
        .arg(spring ? QStringLiteral("last spring") : QStringLiteral("first fall"))
        .arg(tempF, 0, 'f', 0)
        .arg(c, 0, 'f', 1)
        .arg(spring ? QStringLiteral("planting") : QStringLiteral("end of growth"));
}

namespace {
// The date of a 28 or 32 F frost-date field.
GrowthDate FrostDate(const QString& text)
{
    if (FrostDateUnknown(text)) {
        GrowthDate d;
        d.frostDateUnknown = true;
        return d;
    }
    return ParseFrostDate(text);
}
} // namespace

GrowthDate SpringDate(double x, const MonthlyValues& T, const StationFrostDates& frost)
{
    if (x == 28.0)
        return FrostDate(frost.spring28);
    if (x == 32.0)
        return FrostDate(frost.spring32);
    int p = 0;
    for (int m = 1; m <= 6 && !p; ++m)
        if (T[m] > x)
            p = m;
    if (!p)
        return {};
    const int prev = p == 1 ? 12 : p - 1;
    // A temperature that does not rise into the month gives no date.
    if (!(T[p] > T[prev]))
        return {};
    const double s = (T[p] - T[prev]) / (p == 1 ? 31.0 : DaysInMonth(p - 1));
    const int k = RoundHalfUp((T[p] - x) / s);
    if (p == 1)
        return k < 15 ? GrowthDate{1, 15 - k} : GrowthDate{1, 1};
    if (k < 15)
        return {p, 15 - k};
    return {p - 1, DaysInMonth(p - 1) - k + 15};
}

GrowthDate FallDate(double x, const MonthlyValues& T, const StationFrostDates& frost)
{
    if (x == 28.0)
        return FrostDate(frost.fall28);
    if (x == 32.0)
        return FrostDate(frost.fall32);
    int p = 0;
    for (int m = 7; m <= 12 && !p; ++m)
        if (x > T[m])
            p = m;
    if (!p)
        return {};
    if (p == 12) {
        // A temperature that does not fall from December into January gives no date.
        if (!(T[12] > T[1]))
            return {};
        const double s = (T[12] - T[1]) / 31.0;
        const int k = RoundHalfUp((x - T[1]) / s);
        // 46 - k lies past the 31st: the end of growth is held to December 31.
        return {12, k < 15 ? std::min(46 - k, 31) : 31};
    }
    if (!(T[p - 1] > T[p]))
        return {};
    const double s = (T[p - 1] - T[p]) / DaysInMonth(p - 1);
    const int k = RoundHalfUp((x - T[p]) / s);
    if (k < 15)
        return {p, 15 - k};
    const int day = DaysInMonth(p - 1) - k + 15;
    // The temperature was already below x before mid-June: no date in the search months.
    if (day < 1)
        return {};
    return {p - 1, day};
}

GrowthDatesResult ComputeGrowthDates(CropRunContext& ctx, const GrowthDatesInput& in, const StationFrostDates& frost)
{
    GrowthDatesResult r;
    r.requiredDays = in.minGrowDays == 1 ? 1 : in.growDaysEntered;
    if (in.metricUnits) {
        r.beginC = in.beginTemp;
        r.endC = in.endTemp;
        r.beginF = std::round(in.beginTemp * 9.0 / 5.0 + 32.0);
        r.endF = std::round(in.endTemp * 9.0 / 5.0 + 32.0);
    } else {
        r.beginF = in.beginTemp;
        r.endF = in.endTemp;
        r.beginC = std::round((in.beginTemp - 32.0) * 5.0 / 9.0 * 100.0) / 100.0;
        r.endC = std::round((in.endTemp - 32.0) * 5.0 / 9.0 * 100.0) / 100.0;
    }
    ctx.BeginGrowthTemp = r.beginF;
    ctx.BeginGrowthTempC = r.beginC;
    ctx.EndGrowthTemp = r.endF;
    ctx.EndGrowthTempC = r.endC;

    r.spring = SpringDate(r.beginF, ctx.MonthlyTemp, frost);
    if (r.spring.month == 0) {
        r.frostDateUnknown = r.spring.frostDateUnknown;
        messages().show(MsgKind::Warning, r.frostDateUnknown ? FrostDateUnknownText(true, r.beginF) : kBeginTempFails);
        r.status = GrowthDatesResult::Status::BeginFails;
        return r;
    }
    r.fall = FallDate(r.endF, ctx.MonthlyTemp, frost);
    if (r.fall.month == 0) {
        r.frostDateUnknown = r.fall.frostDateUnknown;
        messages().show(MsgKind::Warning, r.frostDateUnknown ? FrostDateUnknownText(false, r.endF) : kEndTempFails);
        r.status = GrowthDatesResult::Status::EndFails;
        return r;
    }
    if (r.spring.month == 1 && r.spring.day > 31) {
        messages().show(MsgKind::Warning, kPlantTempTooLow);
        r.status = GrowthDatesResult::Status::TooCold;
        return r;
    }
    const int springDoy = DayOfYear(r.spring.month, r.spring.day);
    r.availableDays = DayOfYear(r.fall.month, r.fall.day) - springDoy;
    if (r.requiredDays == 1) {
        r.harvest = r.fall;
    } else {
        // A season running past the year end is held to December 31.
        const int doy = std::min(springDoy + r.requiredDays, 365);
        const MonthDay md = DayOfYearToMonthDay(doy);
        r.harvest = {md.month, md.day};
    }
    if (r.availableDays < r.requiredDays) {
        messages().show(MsgKind::Warning, kGrowingPeriodTooLong);
        r.tooLong = true;
    }
    return r;
}

GrowDayLimits ReadGrowDayLimits(int curveIndex, const QString& curveName, const QString& cropName)
{
    GrowDayLimits r;
    auto days = [](TField f) { return f.isNull() ? 1 : f.asInteger(); };
    if (curveIndex == 0) {
        TTable curve(QStringLiteral("CrpAnNam.DB"));
        curve.setIndexName(QStringLiteral("Crop Curve Name"));
        curve.open();
        curve.findNearest({curveName});
        const QString type = curve.field(QStringLiteral("Crop Type")).asString();
        curve.close();
        TTable types(QStringLiteral("CrpAnTyp.db"));
        types.setIndexName(QStringLiteral("CropTypeIndex"));
        types.open();
        types.findNearest({type});
        if (!types.isEmpty()) {
            r.minDays = days(types.field(QStringLiteral("DaysMin")));
            r.maxDays = days(types.field(QStringLiteral("DaysMax")));
        }
        types.close();
    } else {
        TTable crops(QStringLiteral("QuenCrop.DB"));
        crops.setIndexName(QStringLiteral("CropNameIndex"));
        crops.open();
        crops.findNearest({cropName});
        if (!crops.isEmpty()) {
            r.minDays = days(crops.field(QStringLiteral("Min Grow Days")));
            r.maxDays = days(crops.field(QStringLiteral("Max Grow Days")));
        }
        crops.close();
    }
    return r;
}

} // namespace quen
