// Prints the times of the daily soil-water balance of one job crop (cotton,
// FAO-56 Table 12 curve, at the Maricopa station) as the main program and
// quenpm-calc run it: RunDailyForCrop with everything it reads (the
// station's days from "DailyWeather.db", the crop and soil tables), median
// CPU time of this thread over repeated runs, on an embedded SQLite file.
// Twice: over the 18-year AZMET record (2003-2020), and over 30 years
// (1991-2020: 2003-2014 repeated as 1991-2002, a shift of 12 years that
// keeps the leap years). The first run of a station reads its days from the
// table; the runs after it take them from memory (job/DailyImport.h
// DailyWeatherOf) and read the crop, soil and station rows only. Also the
// import of the 18 years and the cotton's design values. Target: 5 ms for
// the 30-year balance of one crop (the runs after the first).
// Optional argument: the run count (default 50).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "ComputeCrop.h"
#include "DailyImport.h"
#include "DailyRun.h"
#include "Database.h"
#include "JobStore.h"
#include "MessageService.h"
#include "Table.h"
#include "WorkingCrops.h"

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
    for (int i = 0; i < runs; ++i) {
        const double a = ThreadMs();
        f();
        t.push_back(ThreadMs() - a);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

class Yes : public MessageService {
public:
    MsgResult show(MsgKind, const QString&, MsgButtons b, int, const QString&) override
    {
        return b == MsgButtons::Ok ? MsgResult::Ok : MsgResult::Yes;
    }
};

// The AZMET file with 2003-2014 added again as 1991-2002.
QString ThirtyYears(const QString& text)
{
    QStringList out, early;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        out << line;
        if (line.size() > 4 && line[0].isDigit()) {
            const int y = line.left(4).toInt();
            if (y <= 2014)
                early << QString::number(y - 12) + line.mid(4);
        }
    }
    // header and comments first, then 1991-2002, then 2003-2020
    QStringList head, days;
    for (const QString& l : out)
        (l.size() > 4 && l[0].isDigit() ? days : head) << l;
    return (head + early + days).join(QLatin1Char('\n'));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    Yes yes;
    setMessageService(&yes);
    QTemporaryDir dir;
    Database::open(dir.filePath("bench.sqlite"));
    QDir::setCurrent(dir.path());

    QFile f(QStringLiteral(QUEN_DAILY_DATA "/azmet_maricopa_2003_2020.csv"));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "no AZMET sample\n");
        return 1;
    }
    const QString azmet = QString::fromUtf8(f.readAll());
    f.close();
    const QString file18 = dir.filePath("azmet18.csv"), file30 = dir.filePath("azmet30.csv");
    for (const auto& [path, text] : {std::pair{file18, azmet}, std::pair{file30, ThirtyYears(azmet)}}) {
        QFile o(path);
        o.open(QIODevice::WriteOnly);
        o.write(text.toUtf8());
    }

    job::DailyImportRequest req;
    req.filePath = file18;
    req.windHeightM = 3.0;
    req.stationName = QStringLiteral("MARICOPA AZMET");
    req.replaceWithoutAsking = true;
    int days18 = 0;
    const double importMs = MedianMs(std::max(1, runs / 10), [&] { days18 = job::ImportDailyWeather(req).days; });

    // The cotton crop of a Maricopa job, computed as the crop inputs dialog computes it.
    CropRunContext ctx;
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.setIndexName(QStringLiteral("StaNameIndex"));
        clim.open();
        clim.findKey({req.stationName});
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctx.JobName = QStringLiteral("Bench");
    ctx.ETMethodIndex = 3;
    test::WorkingCrop c;
    c.name = QStringLiteral("Cotton");
    c.curveIndex = 5;
    c.curveType = QStringLiteral("FAO 56, Table 12 crops");
    c.curveName = QStringLiteral("Cotton - FAO-56 T12/T11");
    c.etIndex = 3;
    c.pm = 4, c.pd = 15, c.hm = 10, c.hd = 12;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.emptyTable();
    wk.open();
    test::appendWorkingCrop(wk, c, ctx.JobName, 1);
    ctx.CropName = c.name;
    CropCurveState curves;
    ComputeCrop(ctx, curves, wk);

    job::DailyRun run18;
    const double first18Ms = MedianMs(1, [&] { run18 = job::RunDailyForCrop(ctx, curves, wk, 0); });
    const double run18Ms = MedianMs(runs, [&] { run18 = job::RunDailyForCrop(ctx, curves, wk, 0); });
    const double read18Ms = MedianMs(runs, [&] {
        job::ReadDailyWeather(ctx.WeatherStationName, ctx.StationNumber);
    });

    req.filePath = file30;
    const int days30 = job::ImportDailyWeather(req).days;
    job::DailyRun run30;
    const double first30Ms = MedianMs(1, [&] { run30 = job::RunDailyForCrop(ctx, curves, wk, 0); });
    const double run30Ms = MedianMs(runs, [&] { run30 = job::RunDailyForCrop(ctx, curves, wk, 0); });
    const double read30Ms = MedianMs(runs, [&] {
        job::ReadDailyWeather(ctx.WeatherStationName, ctx.StationNumber);
    });
    wk.close();

    std::printf("Daily balance of a job crop (cotton, Maricopa AZMET), SQLite, median of %d runs, thread CPU time\n", runs);
    std::printf("  import the 18-year file (%d days, one transaction)      %9.3f ms\n", days18, importMs);
    std::printf("  read the station's days from the table, 18 years        %9.3f ms\n", read18Ms);
    std::printf("  RunDailyForCrop, 18 years, first run (days read)        %9.3f ms\n", first18Ms);
    std::printf("  RunDailyForCrop, 18 years, again (days kept)            %9.3f ms\n", run18Ms);
    std::printf("  read the station's days from the table, 30 years (%d) %9.3f ms\n", days30, read30Ms);
    std::printf("  RunDailyForCrop, 30 years, first run (days read)        %9.3f ms\n", first30Ms);
    std::printf("  RunDailyForCrop, 30 years, again (target 5 ms)          %9.3f ms  %s\n", run30Ms,
                run30Ms <= 5.0 ? "met" : "NOT MET");
    for (const job::DailyRun* r : {&run18, &run30}) {
        if (!r->ok()) {
            std::printf("  no balance: %s\n", qPrintable(r->error));
            continue;
        }
        double etc = 0;
        int n = 0;
        for (const SeasonBalance& s : r->result.seasons)
            if (s.complete) {
                etc += s.etcAdj;
                ++n;
            }
        std::printf("  %d seasons: mean seasonal ETc adj %.0f mm (monthly method %.0f mm); net irrigation 50/80/90 %%"
                    " %.0f / %.0f / %.0f mm; irrigations %.1f / %.1f / %.1f\n",
                    n, n ? etc / n : 0.0, r->monthlyEtcMm, r->result.netIrrigation.p50, r->result.netIrrigation.p80,
                    r->result.netIrrigation.p90, r->result.irrigations.p50, r->result.irrigations.p80,
                    r->result.irrigations.p90);
    }
    Database::close();
    setMessageService(nullptr);
    return 0;
}
