// Prints the time of the daily soil-water balance of one crop over 30 years
// of daily weather (target: 5 ms for the daily ETo and the balance
// together), median over repeated runs on one thread, CPU time of the thread.
// The 30 years 1991-2020 are the AZMET Maricopa observations of 2003-2020
// with 2003-2014 repeated as 1991-2002 (a shift of 12 years keeps the leap
// years). Also prints the reading of the file and the crop's design values.
// Optional argument: the run count (default 200).
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "DailyBalance.h"
#include "DailyWeather.h"

using namespace quen;

namespace {

double ThreadMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

template <class F>
double MedianMs(int runs, F&& f)
{
    std::vector<double> t;
    t.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const double a = ThreadMs();
        f();
        t.push_back(ThreadMs() - a);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

// A cotton-like crop: FAO-56 Table 11 (Arizona) stages 30/50/60/55 days from
// 1 April, Table 17 Kcb 0.15 / 1.13 / 0.45, Table 22 root depth 1.35 m and p
// 0.65, Table 12 height 1.35 m, Table 19 sandy loam, refilled at ASW 50 %.
DailyCropInputs Cotton()
{
    DailyCropInputs c;
    c.plantMonth = 4;
    c.plantDay = 1;
    c.harvestMonth = 10;
    c.harvestDay = 12;
    for (int i = 0; i < 195; ++i) {
        double k = 1.13;
        if (i < 30)
            k = 0.15;
        else if (i < 80)
            k = 0.15 + (1.13 - 0.15) * (i - 30) / 50.0;
        else if (i >= 140)
            k = 1.13 + (0.45 - 1.13) * (i - 140) / 55.0;
        c.kcb[91 + i] = k;
    }
    Fao56Table19Soil(QStringLiteral("Sandy loam"), c.soil);
    c.rootDepthM = 1.35;
    c.p = 0.65;
    c.heightM = 1.35;
    c.aswPercent = 50;
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    QFile f(QStringLiteral(QUEN_DAILY_DATA "/azmet_maricopa_2003_2020.csv"));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(f.fileName()));
        return 1;
    }
    const QString text = QString::fromUtf8(f.readAll());
    DailyWeatherFile file;
    const double parseMs = MedianMs(std::max(1, runs / 20), [&] { file = ParseDailyWeatherCsv(text, 3.0); });

    std::vector<DailyWeatherDay> days;
    for (const DailyWeatherDay& d : file.days)
        if (d.date.year <= 2014) {
            DailyWeatherDay e = d;
            e.date.year -= 12;
            days.push_back(e);
        }
    days.insert(days.end(), file.days.begin(), file.days.end());

    const DailyStation station{33.069, 361.0, false};
    const DailyCropInputs crop = Cotton();
    std::vector<DailyEtoDay> eto;
    DailyBalanceResult res;
    const double etoMs = MedianMs(runs, [&] { eto = DailyReferenceET(days, station); });
    const double balMs = MedianMs(runs, [&] { res = RunDailyBalance(eto, crop); });
    const double bothMs = MedianMs(runs, [&] {
        eto = DailyReferenceET(days, station);
        res = RunDailyBalance(eto, crop);
    });
    const double detailMs = MedianMs(runs, [&] { res = RunDailyBalance(eto, crop, 2020); });

    double etoSum = 0;
    for (const DailyEtoDay& d : eto)
        etoSum += d.eto;
    std::printf("Daily soil-water balance, AZMET Maricopa 1991-2020 (%zu days), one cotton crop, %d runs\n",
                days.size(), runs);
    std::printf("  read the 18-year plain CSV (%zu days)          %8.3f ms\n", file.days.size(), parseMs);
    std::printf("  daily ETo, 30 years                            %8.3f ms\n", etoMs);
    std::printf("  balance, 30 seasons                            %8.3f ms\n", balMs);
    std::printf("  daily ETo + balance, 30 years (target 5 ms)    %8.3f ms  %s\n", bothMs,
                bothMs <= 5.0 ? "met" : "NOT MET");
    std::printf("  balance with the daily table of one year       %8.3f ms\n", detailMs);
    std::printf("  mean annual ETo %.0f mm; complete seasons %d\n", etoSum / 30.0, res.netIrrigation.years);
    std::printf("  season net irrigation, not exceeded in 50/80/90 %% of years: %.0f / %.0f / %.0f mm\n",
                res.netIrrigation.p50, res.netIrrigation.p80, res.netIrrigation.p90);
    std::printf("  irrigations per season, 50/80/90 %%: %.1f / %.1f / %.1f\n", res.irrigations.p50,
                res.irrigations.p80, res.irrigations.p90);
    return 0;
}
