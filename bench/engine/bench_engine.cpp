// Prints median timings of the computation engine, one thread, on embedded
// SQLite and on a PostgreSQL server side by side (see bench/common/BenchPair.h),
// as CPU time of the thread and wall time (on SQLite the CPU time counts: wall
// time on a shared machine also counts other processes; on the server the wall
// time does: the server's share of the work is another process's CPU) and,
// where the kernel allows counting, cycles and instructions:
//  - PenmanMonteithETo alone and the batch kernel PenmanMonteithEToBatch, in
//    station-months per second (target of the batch: 40 million); no table
//    I/O, so SQLite column only;
//  - ComputeCrop end to end (station, curve and reference tables, "ETKc.db",
//    "FAO56.txt", write-back) for one crop of each curve index (target 0.25 ms
//    on SQLite, 5 ms on the server);
//  - loading and computing a saved job of 20 crops, as quenpm-calc does;
//  - on the shipped tables: fetching a saved 20-crop job with the computation
//    of each crop, as Get Prev Job does (target 10 ms, 100 ms on the server);
//    the batch kernel over every shipped station; every shipped station with
//    every shipped crop of each ET method, with the total time (on the server
//    only with "serverstate": it takes minutes there).
// Optional arguments, in any order: the run count (lower for profiling),
// "nostate" to leave out the state-wide table, "serverstate" to run it on the
// server too, "curve=N" to time ComputeCrop on curve index N only.
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <linux/perf_event.h>
#include <random>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

#include "BenchPair.h"
#include "CalcJob.h"
#include "ComputeCrop.h"
#include "EngineFixture.h"
#include "JobStore.h"
#include "ReferenceET.h"
#include "ReferenceETBatch.h"
#include "db/Database.h"
#include "db/DbInternal.h"
#include "db/MessageService.h"
#include "db/Table.h"

using namespace quen;
using quen::bench::Backend;
using quen::bench::FigureSheet;
using Clock = std::chrono::steady_clock;

namespace {

// No message boxes while measuring; the previous service again afterwards.
class Quiet : public MessageService {
public:
    Quiet() { setMessageService(this); }
    ~Quiet() override { setMessageService(nullptr); }
    MsgResult show(MsgKind, const QString&, MsgButtons, int, const QString&) override { return MsgResult::Ok; }
};

// CPU time of this thread, ms.
double CpuMs() { return bench::ThreadCpuMs(); }

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// User-space cycle and instruction counters of this thread; absent where the
// kernel refuses them (the figures then print as "n/a").
class Counters {
public:
    Counters() : m_cycles(open(PERF_COUNT_HW_CPU_CYCLES)), m_instr(open(PERF_COUNT_HW_INSTRUCTIONS)) {}
    ~Counters()
    {
        if (m_cycles >= 0) ::close(m_cycles);
        if (m_instr >= 0) ::close(m_instr);
    }
    bool ok() const { return m_cycles >= 0 && m_instr >= 0; }
    void start()
    {
        for (int fd : {m_cycles, m_instr})
            if (fd >= 0) {
                ioctl(fd, PERF_EVENT_IOC_RESET, 0);
                ioctl(fd, PERF_EVENT_IOC_ENABLE, 0);
            }
    }
    // Cycles and instructions since start().
    std::pair<double, double> stop()
    {
        double v[2] = {0, 0};
        int k = 0;
        for (int fd : {m_cycles, m_instr}) {
            long long c = 0;
            if (fd >= 0) {
                ioctl(fd, PERF_EVENT_IOC_DISABLE, 0);
                if (::read(fd, &c, sizeof c) != sizeof c)
                    c = 0;
            }
            v[k++] = static_cast<double>(c);
        }
        return {v[0], v[1]};
    }

private:
    static int open(unsigned long long config)
    {
        perf_event_attr a;
        std::memset(&a, 0, sizeof a);
        a.size = sizeof a;
        a.type = PERF_TYPE_HARDWARE;
        a.config = config;
        a.disabled = 1;
        a.exclude_kernel = 1;
        a.exclude_hv = 1;
        return static_cast<int>(syscall(SYS_perf_event_open, &a, 0, -1, -1, 0));
    }
    int m_cycles, m_instr;
};

// Median CPU ms, cycles and instructions of runs calls of work().
struct Figures {
    double wallMs = 0, cpuMs = 0, cycles = 0, instructions = 0;
};

template <class Work>
Figures Measure(int runs, Counters& pc, Work&& work)
{
    std::vector<double> wall, cpu, cyc, ins;
    for (int i = 0; i < runs; ++i) {
        const auto a = Clock::now();
        const double c0 = CpuMs();
        pc.start();
        work();
        const auto [c, n] = pc.stop();
        cpu.push_back(CpuMs() - c0);
        wall.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
        cyc.push_back(c);
        ins.push_back(n);
    }
    return {Median(wall), Median(cpu), Median(cyc), Median(ins)};
}

// A row of cycles and instructions per unit of work, where the kernel counts them.
bench::Figure* CounterRow(FigureSheet& sheet, const QString& label, const Counters& pc, const Figures& f,
                          double units, const char* unit)
{
    if (!pc.ok())
        return nullptr;
    bench::Figure& row = sheet.addText(QStringLiteral("  cycles / instructions, ") + label,
                                       QString::asprintf("%.1f / %.1f", f.cycles / units, f.instructions / units));
    row.unit = QStringLiteral("per ") + QString::fromLatin1(unit);
    return &row;
}

struct Kind { int curveIndex; const char* curve; int et; };

// One working-crop row of the bench's crops: the given crop, curve, season
// (plant month and day, harvest month and day) and ET method, with the same
// irrigation, cutting and wetting inputs for every crop.
void AppendWorkingCrop(TTable& wk, const QString& crop, const QString& job, int no, int curveIndex,
                       const QString& curve, const int season[4], int etIndex)
{
    wk.append();
    wk.field("Crop Name").setAsString(crop);
    wk.field("Job Name").setAsString(job);
    wk.field("Crop No").setAsInteger(no);
    wk.field("Curve Index").setAsInteger(curveIndex);
    wk.field("Curve Name").setAsString(curve);
    wk.field("Net Irr").setAsFloat(3);
    wk.field("Plant Mo").setAsInteger(season[0]);
    wk.field("Plant Day").setAsInteger(season[1]);
    wk.field("Harvest Mo").setAsInteger(season[2]);
    wk.field("Harvest Day").setAsInteger(season[3]);
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
    wk.field("ET Index").setAsInteger(etIndex);
    wk.post();
}

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

// Station arrays of a batch.
struct StationArrays {
    std::vector<double> lat, elev, height;
    std::vector<unsigned char> agromet, interior;
    std::vector<double> tmin, tmax, wind, rs, rhMin, rhMax, as, bs, sun, cor;
    std::size_t size() const { return lat.size(); }
    PenmanMonteithBatch batch() const
    {
        PenmanMonteithBatch b;
        b.stations = size();
        b.latitudeRad = lat.data();
        b.elevationFt = elev.data();
        b.stationHeightM = height.data();
        b.agromet = agromet.data();
        b.interior = interior.data();
        b.tminF = tmin.data();
        b.tmaxF = tmax.data();
        b.windMph = wind.data();
        b.rsLangleys = rs.data();
        b.rhMin = rhMin.data();
        b.rhMax = rhMax.data();
        b.as = as.data();
        b.bs = bs.data();
        b.sunshineHours = sun.data();
        b.cor = cor.data();
        return b;
    }
    PenmanMonteithInputs inputs(std::size_t s, int m) const
    {
        const std::size_t i = s * 12 + m - 1;
        PenmanMonteithInputs in;
        in.tminF = tmin[i];
        in.tmaxF = tmax[i];
        in.elevationFt = elev[s];
        in.windMph = wind[i];
        in.rsLangleys = rs[i];
        in.rhMin = rhMin[i];
        in.rhMax = rhMax[i];
        in.as = as[i];
        in.bs = bs[i];
        in.sunshineHours = sun[i];
        in.cor = cor[i];
        in.stationType = agromet[s] ? QStringLiteral("Agrometeorological station") : QStringLiteral("Other type station");
        in.stationHeightM = height[s];
        in.stationLoc = interior[s] ? QStringLiteral("Interior location") : QStringLiteral("Coastal location");
        return in;
    }
};

// Generated stations: humidity, radiation and wind cases mixed.
StationArrays Generated(std::size_t n)
{
    StationArrays a;
    std::mt19937_64 gen(5);
    auto u = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(gen); };
    for (std::size_t s = 0; s < n; ++s) {
        a.lat.push_back(LatitudeRadians(2500 + static_cast<int>(gen() % 2300)));
        a.elev.push_back(u(0, 8000));
        a.height.push_back(u(1.5, 10));
        a.agromet.push_back(gen() % 3 == 0);
        a.interior.push_back(gen() % 2 == 0);
        const int rad = static_cast<int>(gen() % 3);
        for (int m = 0; m < 12; ++m) {
            const double lo = u(0, 65);
            a.tmin.push_back(lo);
            a.tmax.push_back(lo + u(10, 35));
            a.wind.push_back(u(1, 15));
            a.rs.push_back(rad == 0 ? u(100, 700) : 0.0);
            a.sun.push_back(rad == 1 ? u(4, 13) : 0.0);
            a.rhMax.push_back(u(40, 100));
            a.rhMin.push_back(u(10, 50));
            a.as.push_back(0.25);
            a.bs.push_back(0.50);
            a.cor.push_back(u(-3, 1));
        }
    }
    return a;
}

// Station-months per second of the per-month function and of the batch
// kernel over the same stations (what names them, %1 standing for their
// count).
void KernelFigures(const StationArrays& st, const QString& what, int repeats, Counters& pc, FigureSheet& sheet)
{
    const std::size_t n = st.size();
    std::vector<PenmanMonteithInputs> inputs;
    std::vector<MonthlyValues> meanC(n);
    for (std::size_t s = 0; s < n; ++s) {
        MonthlyValues tn{}, tx{};
        for (int m = 1; m <= 12; ++m) {
            inputs.push_back(st.inputs(s, m));
            tn[m] = st.tmin[s * 12 + m - 1];
            tx[m] = st.tmax[s * 12 + m - 1];
        }
        meanC[s] = MonthlyMeanTempC(tn, tx);
    }
    if (n == 0) {
        sheet.note(what.arg(0) + QStringLiteral(": none"));
        return;
    }
    std::vector<double> out(n * 12);
    volatile double sink = 0;
    const double cells = static_cast<double>(n * 12) * repeats;

    const Figures single = Measure(5, pc, [&] {
        for (int r = 0; r < repeats; ++r)
            for (std::size_t s = 0; s < n; ++s)
                for (int m = 1; m <= 12; ++m)
                    out[s * 12 + m - 1] = PenmanMonteithETo(m, st.lat[s], meanC[s], inputs[s * 12 + m - 1]);
        sink = sink + out[0];
    });
    const PenmanMonteithBatch b = st.batch();
    const Figures batch = Measure(5, pc, [&] {
        for (int r = 0; r < repeats; ++r)
            PenmanMonteithEToBatch(b, out.data());
        sink = sink + out[0];
    });
    // No table I/O: the same on both backends, measured on SQLite only.
    const QString unit = QStringLiteral("M/s");
    const QString label = what.arg(n);
    sheet.add(QStringLiteral("PenmanMonteithETo, ") + label, unit, cells / single.cpuMs / 1e3,
              cells / single.wallMs / 1e3, 2)
        .serverAbsent = QStringLiteral("-");
    bench::Figure& fb = sheet.add(QStringLiteral("PenmanMonteithEToBatch, ") + label, unit,
                                  cells / batch.cpuMs / 1e3, cells / batch.wallMs / 1e3, 2);
    fb.serverAbsent = QStringLiteral("-");
    fb.target = 40;
    fb.atLeast = true;
    if (bench::Figure* c = CounterRow(sheet, QStringLiteral("PenmanMonteithETo"), pc, single, cells, "station-month"))
        c->serverAbsent = QStringLiteral("-");
    if (bench::Figure* c = CounterRow(sheet, QStringLiteral("PenmanMonteithEToBatch"), pc, batch, cells, "station-month"))
        c->serverAbsent = QStringLiteral("-");
    sheet.note(QStringLiteral("Penman-Monteith, %1: 12 months x %2 repeats, median of 5 runs").arg(label).arg(repeats));
}

// Stations of "Climate.DB" with their "ClimWHR.DB" records, as ComputeCrop reads them.
StationArrays ShippedStations(QStringList* names)
{
    StationArrays a;
    TTable clim(QStringLiteral("Climate.DB"));
    TTable whr(QStringLiteral("ClimWHR.DB"));
    whr.setIndexName(QStringLiteral("Location Name"));
    clim.open();
    whr.open();
    for (clim.first(); !clim.eof(); clim.next()) {
        names->append(clim.field(QStringLiteral("Station Name")).asString());
        whr.findNearest({clim.field(QStringLiteral("WHRLocation")).asString()});
        a.lat.push_back(LatitudeRadians(clim.field(QStringLiteral("Latitude")).asFloat()));
        a.elev.push_back(clim.field(QStringLiteral("Elevation")).asFloat());
        a.height.push_back(whr.field(QStringLiteral("StationHeight")).asFloat());
        a.agromet.push_back(whr.field(QStringLiteral("StationType")).asString() == "Agrometeorological station");
        a.interior.push_back(whr.field(QStringLiteral("StationLoc")).asString() == "Interior location");
        auto f = [&](TTable& t, const char* p, int m) { return t.field(QString::fromLatin1(p) + QString::number(m)).asFloat(); };
        for (int m = 1; m <= 12; ++m) {
            a.tmin.push_back(f(clim, "Tmin", m));
            a.tmax.push_back(f(clim, "Tmax", m));
            a.wind.push_back(f(whr, "U2", m));
            a.rs.push_back(f(whr, "Rs", m));
            a.rhMin.push_back(f(whr, "RHmin", m));
            a.rhMax.push_back(f(whr, "RHmax", m));
            a.as.push_back(f(whr, "As", m));
            a.bs.push_back(f(whr, "Bs", m));
            a.sun.push_back(f(whr, "N", m));
            a.cor.push_back(f(whr, "Cor", m));
        }
    }
    whr.close();
    clim.close();
    return a;
}

// A working crop of the crop record for the ET method, with the crop record's
// dates and the usual inputs; false when the crop has no curve of the method.
bool AppendShippedCrop(TTable& wk, TTable& crops, int method, int no, const QString& job)
{
    const QString bcType = crops.field(QStringLiteral("BC Crop Type")).asString();
    const QString basType = crops.field(QStringLiteral("Bas Crop Type")).asString();
    int index = -1;
    QString curve;
    if (method == 1) {
        curve = crops.field(QStringLiteral("BC Crop Curve Name")).asString();
        index = bcType == QLatin1String("Blaney Criddle Annual Crop") ? 3 : 4;
    } else if (method == 2) {
        curve = crops.field(QStringLiteral("Bas Crop Curve Name")).asString();
        index = basType == QLatin1String("Field and vegetable crops") ? 0
            : basType == QLatin1String("Perennial and specialty crops") ? 1
            : basType == QLatin1String("Grasses and forage legumes") ? 2 : -1;
    } else {
        curve = crops.field(QStringLiteral("FAOCropCurveName")).asString();
        index = 5;
    }
    if (curve.isEmpty() || index < 0)
        return false;
    int dates[4];
    int i = 0;
    for (const char* f : {"Plant Mo", "Plant Day", "Harvest Mo", "Harvest Day"})
        dates[i++] = std::max(1, crops.field(QString::fromLatin1(f)).asInteger());
    AppendWorkingCrop(wk, crops.field(QStringLiteral("Cop Name")).asString(), job, no, index, curve, dates, method);
    return true;
}

// 20 crops of the shipped curves, saved as a job on the first station.
void SaveShippedJob(const QString& station)
{
    CropRunContext ctx;
    JobState jobState;
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        clim.findNearest({station});
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctx.JobName = QStringLiteral("Bench job");
    ctx.ETMethodIndex = 2;
    ctx.ETMethodText = QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves");
    jobState.CropCounter = 20;
    jobState.JobSaveState = 1;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.emptyTable();
    wk.open();
    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    int no = 0;
    for (int pass = 0; pass < 20 && no < 20; ++pass)
        for (crops.first(); !crops.eof() && no < 20; crops.next())
            no += AppendShippedCrop(wk, crops, 2, no + 1, ctx.JobName);
    crops.close();
    wk.close();
    job::SaveJob(ctx, jobState);
}

// The arguments: the run count (lower for profiling: fewer repeats too),
// "nostate", "serverstate".
struct Options {
    int runs = 200;
    bool runsGiven = false;
    bool stateWide = true;
    bool serverState = false;
    int onlyCurve = -1; // "curve=N": only that curve index's ComputeCrop figure
};

Options ParseOptions(const QStringList& args)
{
    Options o;
    for (const QString& a : args) {
        bool number = false;
        const int n = a.toInt(&number);
        if (number) {
            o.runs = std::max(1, n);
            o.runsGiven = true;
        } else if (a == QLatin1String("nostate")) {
            o.stateWide = false;
        } else if (a == QLatin1String("serverstate")) {
            o.serverState = true;
        } else if (a.startsWith(QLatin1String("curve="))) {
            o.onlyCurve = a.mid(6).toInt(&number);
            if (!number || o.onlyCurve < 0 || o.onlyCurve > 5)
                throw std::runtime_error("curve= takes a curve index 0..5");
        } else {
            throw std::runtime_error("unknown argument \"" + a.toStdString()
                                     + "\" (expected a run count, nostate or serverstate)");
        }
    }
    return o;
}

// The figures of one backend; the server pass leaves out what has no table
// I/O, and the state-wide table unless asked for.
void Pass(const Options& o, Backend backend, FigureSheet& sheet)
{
    const bool onServer = backend == Backend::Server;
    const QString startDir = QDir::currentPath();
    struct BackHome {
        QString dir;
        ~BackHome() { QDir::setCurrent(dir); }
    } backHome{startDir};
    Quiet quiet;
    Counters pc;
    bool crossedOut = false;
    // A figure whose work went wrong is still printed, with a note.
    auto unexpected = [&](const QString& what) {
        if (!crossedOut)
            sheet.note(QStringLiteral("UNEXPECTED: ") + what);
        crossedOut = true;
    };

    const int runs = o.runs;
    const int jobRuns = o.runsGiven ? std::max(1, std::min(15, runs)) : 15;
    const int fetchRuns = std::max(jobRuns, 15);
    const QString shippedData = Database::dataDirectory();
    if (!onServer) {
        sheet.note(QStringLiteral("M/s: million station-months per second"));
        KernelFigures(Generated(1000), QStringLiteral("%1 generated stations"), o.runsGiven ? 2 : 20, pc, sheet);
    }

    {
        QMap<QString, QString> extra;
        extra["QuenJob.db"] = "JobName,Weather Station,Elevation,ETIndex\nBench job,Test Station,4000,2\n";
        extra["QuenJobCrop.DB"] = TwentyCropJob();
        test::EngineDatabase db(extra);
        QDir::setCurrent(db.dir());

        const Kind kinds[] = {{0, "Corn AM", 2}, {1, "Orchard AM", 2}, {2, "Alfalfa AM", 2},
                              {3, "BC Beans", 1}, {4, "BC Alfalfa", 1}, {5, "Tomato FAO", 3}};
        TTable wk("QuenWkCrop.DB");
        wk.emptyTable();
        wk.open();
        int no = 0;
        for (const Kind& k : kinds) {
            if (o.onlyCurve >= 0 && k.curveIndex != o.onlyCurve)
                continue;
            CropRunContext ctx;
            CropCurveState st;
            ctx.WeatherStationName = "Test Station";
            for (int m = 1; m <= 12; ++m) {
                ctx.MonthlyPrecip[m] = test::EngineDatabase::kPrecip[m];
                ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
            }
            const int season[4] = {4, 15, 10, 15};
            AppendWorkingCrop(wk, QString("Crop %1").arg(k.curveIndex), QStringLiteral("Bench"), ++no, k.curveIndex,
                              QString::fromLatin1(k.curve), season, k.et);
            const Figures f = Measure(runs, pc, [&] { ComputeCrop(ctx, st, wk); });
            const QString label = QStringLiteral("ComputeCrop, curve index %1 (%2, ET method %3)")
                                      .arg(k.curveIndex).arg(QString::fromLatin1(k.curve)).arg(k.et);
            bench::Figure& fc = sheet.add(label, QStringLiteral("ms"), f.cpuMs, f.wallMs, 3);
            fc.target = 0.25;
            fc.serverTarget = 5;
            CounterRow(sheet, QStringLiteral("ComputeCrop, curve index %1").arg(k.curveIndex), pc, f, 1e3,
                       "run, thousands");
            // Statements sent per ComputeCrop: to the shared database (a
            // round trip each on a server) and to the private one.
            const quint64 shared0 = dbi::statementCount(false), private0 = dbi::statementCount(true);
            ComputeCrop(ctx, st, wk);
            sheet.addText(QStringLiteral("  curve index %1: statements per run, shared / private database").arg(k.curveIndex),
                          QStringLiteral("%1 / %2")
                              .arg(dbi::statementCount(false) - shared0)
                              .arg(dbi::statementCount(true) - private0));
        }
        wk.close();

        const Figures job = Measure(jobRuns, pc, [&] {
            CropRunContext ctx;
            calc::LoadJob("Bench job", ctx);
            const auto crops = calc::ComputeJob(ctx);
            if (crops.size() != 20)
                unexpected(QStringLiteral("the 20-crop job computed %1 crops").arg(crops.size()));
        });
        sheet.add(QStringLiteral("loading and computing a 20-crop job (quenpm-calc)"), QStringLiteral("ms"), job.cpuMs,
                  job.wallMs, 2);
    }
    sheet.note(QStringLiteral("ComputeCrop: median of %1 runs per curve index; 20-crop job: median of %2 runs")
                   .arg(runs).arg(jobRuns));

    // The shipped tables.
    QTemporaryDir dir;
    Database::setDataDirectory(shippedData);
    Database::open(dir.filePath(QStringLiteral("shipped.sqlite")));
    QDir::setCurrent(dir.path());
    QStringList stations;
    const StationArrays shipped = ShippedStations(&stations);

    SaveShippedJob(stations.value(0));
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    const Figures fetch = Measure(fetchRuns, pc, [&] {
        CropRunContext back;
        JobState backState;
        CropCurveState curves;
        job::FetchJob(QStringLiteral("Bench job"), back, backState, curves, wk);
        if (wk.recordCount() != 20)
            unexpected(QStringLiteral("the fetched job holds %1 crops").arg(wk.recordCount()));
    });
    wk.close();
    bench::Figure& ff = sheet.add(QStringLiteral("fetch of a saved 20-crop job with its computation (shipped tables)"),
                                  QStringLiteral("ms"), fetch.cpuMs, fetch.wallMs, 2);
    ff.target = 10;
    ff.serverTarget = 100;
    {
        const quint64 shared0 = dbi::statementCount(false), private0 = dbi::statementCount(true);
        CropRunContext back;
        JobState backState;
        CropCurveState curves;
        job::FetchJob(QStringLiteral("Bench job"), back, backState, curves, wk);
        wk.close();
        sheet.addText(QStringLiteral("  fetch: statements, shared / private database"),
                      QStringLiteral("%1 / %2")
                          .arg(dbi::statementCount(false) - shared0)
                          .arg(dbi::statementCount(true) - private0));
    }
    sheet.note(QStringLiteral("fetch: median of %1 runs").arg(fetchRuns));

    if (!onServer)
        KernelFigures(shipped, QStringLiteral("%1 shipped stations"), o.runsGiven ? 10 : 200, pc, sheet);

    const QString stateAbsent = QStringLiteral("with serverstate");
    if (o.stateWide && (!onServer || o.serverState)) {
        // Every station with every crop that has a curve of the method.
        wk.emptyTable();
        wk.open();
        TTable crops(QStringLiteral("QuenCrop.DB"));
        crops.open();
        int no = 0;
        std::vector<int> method;
        for (int m = 1; m <= 3; ++m)
            for (crops.first(); !crops.eof(); crops.next())
                if (AppendShippedCrop(wk, crops, m, ++no, QStringLiteral("State")))
                    method.push_back(m);
        crops.close();
        double cpuTotal = 0, wallTotal = 0;
        int count = 0;
        for (int m = 1; m <= 3; ++m) {
            const auto a = Clock::now();
            const double c0 = CpuMs();
            int n = 0;
            CropCurveState st;
            for (const QString& station : stations) {
                CropRunContext ctx;
                ctx.WeatherStationName = station;
                wk.first();
                for (std::size_t i = 0; i < method.size(); ++i, wk.next()) {
                    if (method[i] != m)
                        continue;
                    ComputeCrop(ctx, st, wk);
                    ++n;
                }
            }
            const double cpu = CpuMs() - c0;
            const double wall = std::chrono::duration<double, std::milli>(Clock::now() - a).count();
            const QString label = QStringLiteral("state-wide, ET method %1 (%2 runs)").arg(m).arg(n);
            sheet.note(QStringLiteral("state-wide, ET method %1: %2 stations x %3 crops = %4 crop runs")
                           .arg(m).arg(stations.size()).arg(n / std::max(1, int(stations.size()))).arg(n));
            sheet.add(label + QStringLiteral(", total"), QStringLiteral("ms"), cpu, wall, 0).serverAbsent = stateAbsent;
            sheet.add(label + QStringLiteral(", per run"), QStringLiteral("ms"), cpu / std::max(1, n),
                      wall / std::max(1, n), 3)
                .serverAbsent = stateAbsent;
            cpuTotal += cpu;
            wallTotal += wall;
            count += n;
        }
        sheet.add(QStringLiteral("state-wide table, all methods (%1 runs), total").arg(count),
                  QStringLiteral("ms"), cpuTotal, wallTotal, 0)
            .serverAbsent = stateAbsent;
        wk.close();
    } else if (!o.stateWide && !onServer) {
        sheet.note(QStringLiteral("state-wide table left out (nostate)"));
    }

    Database::close();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bench::PairArgs args = bench::ParsePairArgs(argc, argv);
    Options o;
    try {
        o = ParseOptions(args.passArgs);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_engine: %s\n", e.what());
        return 2;
    }
    return bench::RunPaired(args, QStringLiteral("bench_engine: the computation engine"),
                            [&](Backend b, FigureSheet& sheet) { Pass(o, b, sheet); });
}
