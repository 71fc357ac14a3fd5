// Prints median timings of the computation engine:
//  - ComputeCrop end to end (station, curve and reference tables, "ETKc.db",
//    "FAO56.txt", write-back) for one crop of each curve index;
//  - loading and computing a saved job of 20 crops, as quenpm-calc does;
//  - PenmanMonteithETo alone, in station-months per second.
// Targets: ComputeCrop under 2 ms, a 20-crop job under 50 ms.
#include <QCoreApplication>
#include <QProcess>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "CalcJob.h"
#include "ComputeCrop.h"
#include "EngineFixture.h"
#include "ReferenceET.h"
#include "db/MessageService.h"
#include "db/Table.h"

using namespace quen;
using Clock = std::chrono::steady_clock;

namespace {

class Quiet : public MessageService {
public:
    MsgResult show(MsgKind, const QString&, MsgButtons, int, const QString&) override { return MsgResult::Ok; }
};

// CPU time of this thread, ms: on a loaded machine the wall time also counts
// the time other processes hold the cores.
double CpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Kind { int curveIndex; const char* curve; int et; };

QString TwentyCropJob()
{
    QString s = "JobName,Crop Name,Crop Curve Type,Curve Index,Net Irr,Plant Mo,Plant Day,Harv Mo,Harv Day,"
                "Carry Beg,Carry End,Soil,Cuttings,Cut1Mo,Cut1Day,CutEndMo,CutEndDay,Dys Wet Developed,"
                "Dys Wet Mature,Stress Factor,Fraction Wetted,Irrigation Type,Curve Name,Sensitive,ASW\n";
    static const char* curves[] = {"Corn AM", "Orchard AM", "Alfalfa AM", "Corn AM"};
    static const int idx[] = {0, 1, 2, 0};
    for (int i = 0; i < 20; ++i)
        s += QString("Bench job,Crop %1,Kind,%2,3,4,%3,10,15,1,1,Silt Loam,3,6,1,8,30,7,14,1,1,Rain,%4,T,50\n")
                 .arg(i).arg(idx[i % 4]).arg(1 + i % 20).arg(curves[i % 4]);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("bench_engine on %s\n", qgetenv("QUENPM_TEST_SERVER").isEmpty() ? "embedded SQLite" : "PostgreSQL server");
    Quiet quiet;
    setMessageService(&quiet);

    QMap<QString, QString> extra;
    extra["QuenJob.db"] = "JobName,Weather Station,Elevation,ETIndex\nBench job,Test Station,4000,2\n";
    extra["QuenJobCrop.DB"] = TwentyCropJob();
    test::EngineDatabase db(extra);
    QDir::setCurrent(db.dir());

    const Kind kinds[] = {{0, "Corn AM", 2}, {1, "Orchard AM", 2}, {2, "Alfalfa AM", 2},
                          {3, "BC Beans", 1}, {4, "BC Alfalfa", 1}, {5, "Tomato FAO", 3}};
    // An optional first argument lowers the run count (for profiling).
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const int jobRuns = argc > 1 ? std::max(1, std::min(15, runs)) : 15;
    std::printf("ComputeCrop, median of %d runs (target < 2 ms):\n", runs);
    TTable wk("QuenWkCrop.DB");
    wk.emptyTable();
    wk.open();
    int no = 0;
    for (const Kind& k : kinds) {
        CropRunContext ctx;
        CropCurveState st;
        ctx.WeatherStationName = "Test Station";
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = test::EngineDatabase::kPrecip[m];
            ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
        }
        wk.append();
        wk.field("Crop Name").setAsString(QString("Crop %1").arg(k.curveIndex));
        wk.field("Job Name").setAsString("Bench");
        wk.field("Crop No").setAsInteger(++no);
        wk.field("Curve Index").setAsInteger(k.curveIndex);
        wk.field("Curve Name").setAsString(k.curve);
        wk.field("Net Irr").setAsFloat(3);
        wk.field("Plant Mo").setAsInteger(4);
        wk.field("Plant Day").setAsInteger(15);
        wk.field("Harvest Mo").setAsInteger(10);
        wk.field("Harvest Day").setAsInteger(15);
        wk.field("Soil").setAsString("Silt Loam");
        wk.field("Cuttings").setAsInteger(3);
        wk.field("Cut1Mo").setAsInteger(6);
        wk.field("Cut1Day").setAsInteger(1);
        wk.field("CutEndMo").setAsInteger(8);
        wk.field("CutEndDay").setAsInteger(30);
        wk.field("Dys Wet Developed").setAsInteger(7);
        wk.field("Dys Wet Mature").setAsInteger(14);
        wk.field("Stress Factor").setAsFloat(1);
        wk.field("Fraction Wetted").setAsFloat(1);
        wk.field("ET Index").setAsInteger(k.et);
        wk.post();
        std::vector<double> t, cpu;
        for (int i = 0; i < runs; ++i) {
            const auto a = Clock::now();
            const double c0 = CpuMs();
            ComputeCrop(ctx, st, wk);
            cpu.push_back(CpuMs() - c0);
            t.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
        }
        std::printf("  curve index %d (%s, ET method %d): %.3f ms wall, %.3f ms CPU\n", k.curveIndex, k.curve, k.et,
                    Median(t), Median(cpu));
    }
    wk.close();

    std::vector<double> job, jobCpu;
    for (int i = 0; i < jobRuns; ++i) {
        const auto a = Clock::now();
        const double c0 = CpuMs();
        CropRunContext ctx;
        calc::LoadJob("Bench job", ctx);
        const auto crops = calc::ComputeJob(ctx);
        jobCpu.push_back(CpuMs() - c0);
        job.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
        if (crops.size() != 20)
            std::printf("  unexpected crop count %d\n", static_cast<int>(crops.size()));
    }
    std::printf("Loading and computing a 20-crop job, median of %d (target < 50 ms): %.2f ms wall, %.2f ms CPU\n",
                jobRuns, Median(job), Median(jobCpu));

    PenmanMonteithInputs in;
    in.tminF = 50;
    in.tmaxF = 85;
    in.elevationFt = 4000;
    in.windMph = 7;
    in.rhMin = 30;
    in.rhMax = 75;
    in.as = 0.25;
    in.bs = 0.5;
    in.stationType = "Other type station";
    in.stationHeightM = 3;
    in.stationLoc = "Interior location";
    MonthlyValues meanC{};
    for (int m = 1; m <= 12; ++m)
        meanC[m] = 5 + m;
    const double phi = LatitudeRadians(4119);
    std::vector<double> rates;
    volatile double sink = 0;
    const int n = argc > 1 ? 2000 : 200000;
    for (int r = 0; r < 5; ++r) {
        const auto a = Clock::now();
        for (int i = 0; i < n; ++i) {
            in.tmaxF = 80 + (i & 15);
            sink = sink + PenmanMonteithETo(1 + i % 12, phi, meanC, in);
        }
        rates.push_back(n / std::chrono::duration<double>(Clock::now() - a).count());
    }
    std::printf("PenmanMonteithETo, median of 5 x %d: %.0f station-months per second\n", n, Median(rates));
    setMessageService(nullptr);
    std::fflush(stdout);
    // With QUENPM_BENCH_SERVER naming a PostgreSQL server (URI), the same
    // figures follow for that server (the bench database mapped to a schema
    // there).
    const QByteArray server = qgetenv("QUENPM_BENCH_SERVER");
    if (server.isEmpty() || !qgetenv("QUENPM_TEST_SERVER").isEmpty())
        return 0;
    std::printf("\n== the same on the PostgreSQL server\n");
    std::fflush(stdout);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QUENPM_TEST_SERVER"), QString::fromLocal8Bit(server));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(QCoreApplication::applicationFilePath(), QCoreApplication::arguments().mid(1));
    p.waitForFinished(-1);
    return p.exitCode();
}
