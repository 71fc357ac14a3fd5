#include "DailyBalanceText.h"

#include <cmath>

#include "ReportNumbers.h"

namespace quen::output {

namespace {

constexpr double kMmToInches = 0.03936996;

double depth(double mm, bool metric) { return metric ? mm : mm * kMmToInches; }

QString withUnit(const QString& caption, bool metric)
{
    return caption + QStringLiteral(" (") + DailyDepthUnit(metric) + QLatin1Char(')');
}

QString countText(double v) { return FixedNumberText(v, 1); }

QString dateText(const CivilDate& d) { return d.text(); }

// Design values of the seasons' ETc adj over the complete seasons.
DesignValues EtcDesignValues(const job::DailyRun& run)
{
    std::vector<double> v;
    for (const SeasonBalance& s : run.result.seasons)
        if (s.complete)
            v.push_back(s.etcAdj);
    return DesignValuesOf(v);
}

} // namespace

QString DailyDepthUnit(bool metric) { return metric ? QStringLiteral("mm") : QStringLiteral("inches"); }

QString DailySeasonDepthText(double mm, bool metric)
{
    return FixedNumberText(depth(mm, metric), metric ? 0 : 2);
}

QString DailyDayDepthText(double mm, bool metric)
{
    return FixedNumberText(depth(mm, metric), metric ? 1 : 2);
}

const SeasonBalance* DailyDetailSeason(const job::DailyRun& run)
{
    const SeasonBalance* any = nullptr;
    for (const SeasonBalance& s : run.result.seasons) {
        if (s.rows.empty())
            continue;
        if (s.year == run.detailYear)
            return &s;
        if (!any)
            any = &s;
    }
    return any;
}

report::CsvTable DailyDesignTable(const job::DailyRun& run, bool metric)
{
    report::CsvTable t;
    t.name = QStringLiteral("Design values");
    t.header = {QString(), QStringLiteral("50 %"), QStringLiteral("80 %"), QStringLiteral("90 %"),
                QStringLiteral("Monthly method normal year (50 %)"), QStringLiteral("Monthly method dry year (80 %)")};
    const DesignValues& ni = run.result.netIrrigation;
    const DesignValues& n = run.result.irrigations;
    const DesignValues etc = EtcDesignValues(run);
    const bool any = ni.years > 0;
    auto season = [&](double mm) { return any ? DailySeasonDepthText(mm, metric) : QString(); };
    auto count = [&](double v) { return any ? countText(v) : QString(); };
    t.rows << QStringList{withUnit(QStringLiteral("Net irrigation requirement"), metric), season(ni.p50),
                          season(ni.p80), season(ni.p90), DailySeasonDepthText(run.monthlyNetIrr50Mm, metric),
                          DailySeasonDepthText(run.monthlyNetIrr80Mm, metric)};
    t.rows << QStringList{QStringLiteral("Number of irrigations"), count(n.p50), count(n.p80), count(n.p90), QString(),
                          QString()};
    t.rows << QStringList{withUnit(QStringLiteral("Seasonal ETc adj"), metric), season(etc.p50), season(etc.p80),
                          season(etc.p90), DailySeasonDepthText(run.monthlyEtcMm, metric),
                          DailySeasonDepthText(run.monthlyEtcMm, metric)};
    return t;
}

QString DailyYearsUsedText(const job::DailyRun& run)
{
    QList<int> used, left;
    for (const SeasonBalance& s : run.result.seasons)
        (s.complete ? used : left) << s.year;
    QString t;
    if (used.isEmpty())
        t = QStringLiteral("No complete season in the weather record: no design values.");
    else
        t = QStringLiteral("Complete seasons used: %1 (%2-%3).").arg(used.size()).arg(used.first()).arg(used.last());
    if (!left.isEmpty()) {
        QStringList years;
        for (int y : left)
            years << QString::number(y);
        t += QStringLiteral(" Incomplete seasons left out: %1 (%2).").arg(left.size()).arg(years.join(QStringLiteral(", ")));
    }
    t += QStringLiteral(" Values not exceeded in 50, 80 and 90 % of the seasons (Weibull plotting positions).");
    return t;
}

report::CsvTable DailySeasonsTable(const job::DailyRun& run, bool metric)
{
    report::CsvTable t;
    t.name = QStringLiteral("Seasons");
    t.header = {QStringLiteral("Year"),
                withUnit(QStringLiteral("ETo"), metric),
                withUnit(QStringLiteral("ETc adj"), metric),
                withUnit(QStringLiteral("Rain"), metric),
                withUnit(QStringLiteral("Net irrigation"), metric),
                QStringLiteral("Irrigations"),
                withUnit(QStringLiteral("Deep percolation"), metric),
                QStringLiteral("Season")};
    for (const SeasonBalance& s : run.result.seasons)
        t.rows << QStringList{QString::number(s.year),
                              DailySeasonDepthText(s.eto, metric),
                              DailySeasonDepthText(s.etcAdj, metric),
                              DailySeasonDepthText(s.rain, metric),
                              DailySeasonDepthText(s.netIrrigation, metric),
                              QString::number(s.irrigations),
                              DailySeasonDepthText(s.deepPercolation, metric),
                              s.complete ? QString()
                                         : QStringLiteral("incomplete: %1 days missing").arg(s.missingDays)};
    return t;
}

report::CsvTable DailyScheduleTable(const job::DailyRun& run, bool metric)
{
    report::CsvTable t;
    t.name = QStringLiteral("Irrigation schedule");
    t.header = {QStringLiteral("Date"), withUnit(QStringLiteral("Net depth"), metric)};
    if (const SeasonBalance* s = DailyDetailSeason(run)) {
        t.name += QLatin1Char(' ') + QString::number(s->year);
        for (const IrrigationEvent& e : s->schedule)
            t.rows << QStringList{dateText(e.date), DailySeasonDepthText(e.depthMm, metric)};
    }
    return t;
}

QString DailyScheduleTitle(const job::DailyRun& run, bool metric)
{
    const SeasonBalance* s = DailyDetailSeason(run);
    if (!s)
        return {};
    return QStringLiteral("Irrigation schedule %1: %2 irrigations, %3 %4 net.")
        .arg(s->year)
        .arg(s->irrigations)
        .arg(DailySeasonDepthText(s->netIrrigation, metric), DailyDepthUnit(metric));
}

report::CsvTable DailyRowsTable(const job::DailyRun& run, bool metric)
{
    report::CsvTable t;
    t.name = QStringLiteral("Daily balance");
    t.header = {QStringLiteral("Date"),
                withUnit(QStringLiteral("ETo"), metric),
                QStringLiteral("Kcb"),
                QStringLiteral("Ke"),
                withUnit(QStringLiteral("ETc adj"), metric),
                withUnit(QStringLiteral("Rain"), metric),
                withUnit(QStringLiteral("Irrigation"), metric),
                withUnit(QStringLiteral("Dr"), metric),
                withUnit(QStringLiteral("RAW"), metric),
                withUnit(QStringLiteral("TAW"), metric),
                QStringLiteral("Ks"),
                withUnit(QStringLiteral("DP"), metric)};
    const SeasonBalance* s = DailyDetailSeason(run);
    if (!s)
        return t;
    t.name += QLatin1Char(' ') + QString::number(s->year);
    for (const DailyBalanceRow& r : s->rows)
        t.rows << QStringList{dateText(r.date),
                              DailyDayDepthText(r.eto, metric),
                              FixedNumberText(r.kcb, 2),
                              FixedNumberText(r.ke, 2),
                              DailyDayDepthText(r.etcAdj, metric),
                              DailyDayDepthText(r.rain, metric),
                              DailyDayDepthText(r.irrigation, metric),
                              DailyDayDepthText(r.dr, metric),
                              DailyDayDepthText(r.raw, metric),
                              DailyDayDepthText(r.taw, metric),
                              FixedNumberText(r.ks, 2),
                              DailyDayDepthText(r.dp, metric)};
    return t;
}

QStringList DailyWeatherLines(const job::DailyRun& run)
{
    const job::DailyStationRecord& w = run.weather;
    QStringList l;
    QString station = w.stationName;
    if (!w.stationNo.isEmpty())
        station += QStringLiteral(" (") + w.stationNo + QLatin1Char(')');
    l << QStringLiteral("Daily weather: %1, %2 days from %3 to %4.")
             .arg(station)
             .arg(w.days)
             .arg(w.first.valid() ? w.first.text() : QString(), w.last.valid() ? w.last.text() : QString());
    if (!w.source.isEmpty())
        l << QStringLiteral("Imported from: %1").arg(w.source);
    const WeatherFillCounts& f = w.filled;
    if (f.total() == 0) {
        l << QStringLiteral("Every value as observed: none supplied.");
        return l;
    }
    auto add = [&](int n, const QString& what) {
        if (n > 0)
            l << QStringLiteral("%1: %2 days").arg(what).arg(n);
    };
    add(f.rsFromSunshine, QStringLiteral("Radiation from sunshine hours (FAO-56 eq. 35)"));
    add(f.rsFromTemperature, QStringLiteral("Radiation from temperature (FAO-56 eq. 50)"));
    add(f.eaFromTmin, QStringLiteral("Vapour pressure from Tmin (FAO-56 eq. 48)"));
    add(f.windDefault, QStringLiteral("Wind speed taken as 2 m/s"));
    add(f.rainMissing, QStringLiteral("Rain missing, taken as 0"));
    return l;
}

QList<report::CsvTable> DailyCsvTables(const job::DailyRun& run, bool metric)
{
    return {DailyDesignTable(run, metric), DailySeasonsTable(run, metric), DailyScheduleTable(run, metric),
            DailyRowsTable(run, metric)};
}

} // namespace quen::output
