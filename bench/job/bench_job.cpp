// Prints median timings of the job operations on a database created from the
// shipped tables in a temporary folder:
//  - fetching a saved job of 20 crops with the computation of each crop, as
//    Get Prev Job does (target < 10 ms);
//  - saving that job, durable when it returns (target < 10 ms).
// An optional first argument sets the number of runs (default 30).
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "JobStore.h"
#include "WorkingCrops.h"
#include "db/Database.h"
#include "db/MessageService.h"
#include "db/Table.h"

using namespace quen;
using Clock = std::chrono::steady_clock;

namespace {

class Quiet : public MessageService {
public:
    MsgResult show(MsgKind, const QString&, MsgButtons, int, const QString&) override { return MsgResult::Ok; }
};

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

// 20 crops over the curve kinds of the Penman-Monteith method with NEH 2 and
// FAO 56 curves on the Maricopa station.
void FillWorkingCrops(const QString& job)
{
    const test::WorkingCrop kinds[] = {test::nehCrop(), test::faoCrop(), test::bcCrop()};
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    wk.emptyTable();
    wk.open();
    for (int i = 0; i < 20; ++i) {
        test::WorkingCrop c = kinds[i % 3];
        c.name = QStringLiteral("Crop %1").arg(i + 1);
        c.pm = 3 + i % 3, c.pd = 1 + i, c.hm = 9, c.hd = 15;
        c.carryEnd = 0.5;
        wk.append();
        test::setSelectedCropFields(wk, c, job, i + 1);
        wk.post();
    }
    wk.close();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Quiet quiet;
    setMessageService(&quiet);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    QTemporaryDir dir;
    Database::open(dir.filePath("bench.sqlite"));
    QDir::setCurrent(dir.path());

    CropRunContext ctx;
    JobState jobState;
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        clim.findNearest({QStringLiteral("MARICOPA AZMET")});
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctx.JobName = QStringLiteral("Bench job");
    ctx.ETMethodIndex = 2;
    ctx.ETMethodText = QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves");
    jobState.CropCounter = 20;
    jobState.JobSaveState = 1;
    FillWorkingCrops(ctx.JobName);
    job::SaveJob(ctx, jobState);

    // Save: the job row and its 20 crop rows replaced, durable on return.
    std::vector<double> save, saveCpu;
    for (int i = 0; i < runs; ++i) {
        jobState.JobSaveState = 2;
        const auto a = Clock::now();
        const double c0 = CpuMs();
        job::SaveJob(ctx, jobState);
        saveCpu.push_back(CpuMs() - c0);
        save.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
    }

    // Fetch: job row, station, 20 crops into the working table, each computed.
    std::vector<double> fetch, fetchCpu;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    for (int i = 0; i < runs; ++i) {
        CropRunContext back;
        JobState backState;
        CropCurveState curves;
        const auto a = Clock::now();
        const double c0 = CpuMs();
        job::FetchJob(QStringLiteral("Bench job"), back, backState, curves, wk);
        fetchCpu.push_back(CpuMs() - c0);
        fetch.push_back(std::chrono::duration<double, std::milli>(Clock::now() - a).count());
        if (wk.recordCount() != 20)
            std::printf("  unexpected crop count %d\n", wk.recordCount());
    }
    wk.close();

    std::printf("Fetch of a saved 20-crop job with its computation, median of %d (target < 10 ms): "
                "%.2f ms wall, %.2f ms CPU\n", runs, Median(fetch), Median(fetchCpu));
    std::printf("Durable save of a 20-crop job, median of %d (target < 10 ms): %.2f ms wall, %.2f ms CPU\n",
                runs, Median(save), Median(saveCpu));
    setMessageService(nullptr);
    Database::close();
    return 0;
}
