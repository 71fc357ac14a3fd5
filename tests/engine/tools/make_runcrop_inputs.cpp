// make_runcrop_inputs: writes inputs.txt into each scenario folder that holds a
// saved job (job.txt): the CropInputs of every crop of the job, read from the
// scenario's tables by ReadCropInputs, the reader ComputeCrop gathers with,
// while the job is fetched as the main program fetches it. The RunCrop
// scenario test runs on these files without a database. Each crop's inputs
// are run once more through RunCrop and must give the results the fetch left
// in the context, bit for bit; a crop that does not is reported and the
// program exits 1 (the file is written all the same).
//
//   make_runcrop_inputs SCENARIOS [NAME...]   (NAME: only these scenario folders)
//
// The format of inputs.txt: tests/engine/CropInputsText.h.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "ComputeCrop.h"
#include "CropInputsText.h"
#include "CropRun.h"
#include "CropRunContext.h"
#include "JobStore.h"
#include "TestMessages.h"
#include "db/Database.h"
#include "db/Table.h"

using namespace quen;

namespace {

// The results a fetch left in the context that RunCrop yields too.
bool SameResults(const CropRunContext& c, const CropResults& r)
{
    return c.ETMethodIndex == r.etMethodIndex && c.SeasonMonthFlags == r.seasonMonthFlags && c.HayFlag == r.hayFlag
        && c.PctChanceRatio50 == r.pctChanceRatio50 && c.PctChanceRatio80 == r.pctChanceRatio80
        && c.MonthlyKc == r.monthlyKc && c.DailyRefET == r.dailyRefET && c.ShoulderRefET == r.shoulderRefET
        && c.DailyCropET == r.dailyCropET && c.MonthlyCropET == r.monthlyCropET && c.EffPrecip50 == r.effPrecip50
        && c.EffPrecip80 == r.effPrecip80 && c.CarryOverUsed50 == r.carryOverUsed50
        && c.CarryOverUsed80 == r.carryOverUsed80 && c.NetIrrReq50 == r.netIrrReq50 && c.NetIrrReq80 == r.netIrrReq80
        && c.PeakDailyET == r.peakDailyET && c.TotalCropET == r.totalCropET
        && c.TotalEffPrecip50 == r.totalEffPrecip50 && c.TotalEffPrecip80 == r.totalEffPrecip80
        && c.TotalNetIrrReq50 == r.totalNetIrrReq50 && c.TotalNetIrrReq80 == r.totalNetIrrReq80;
}

// The scenario's tables (the shared reference tables, then its own) in a
// temporary data folder, loaded into a database there.
bool OpenScenario(const QString& root, const QString& dir, const QTemporaryDir& tmp)
{
    const QString tables = tmp.filePath(QStringLiteral("tables"));
    if (!QDir().mkpath(tables))
        return false;
    for (const QString& from : {root + QStringLiteral("/reference-tables"), dir + QStringLiteral("/tables")})
        for (const QFileInfo& f : QDir(from).entryInfoList({QStringLiteral("*.csv")}, QDir::Files)) {
            QFile::remove(tables + QLatin1Char('/') + f.fileName());
            if (!QFile::copy(f.filePath(), tables + QLatin1Char('/') + f.fileName()))
                return false;
        }
    Database::setDataDirectory(tables);
    Database::open(tmp.filePath(QStringLiteral("scenario.sqlite")));
    return true;
}

// Writes DIR/inputs.txt; the number of crops whose inputs do not give the
// fetch's results, or -1 when the scenario could not be read.
int WriteScenario(const QString& root, const QString& name)
{
    const QString dir = root + QLatin1Char('/') + name;
    QFile jobFile(dir + QStringLiteral("/job.txt"));
    if (!jobFile.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QString jobName = QString::fromUtf8(jobFile.readAll()).trimmed();

    QTemporaryDir tmp;
    if (!tmp.isValid() || !OpenScenario(root, dir, tmp))
        return -1;
    // The engine writes "FAO56.txt" into the working directory.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(tmp.path());

    std::vector<CropInputs> crops;
    int differ = 0;
    test::RecordingMessages msgs;
    CropRunContext ctx;
    JobState state;
    bool loaded = false;
    try {
        loaded = job::LoadJob(jobName, ctx, state);
        if (loaded) {
            TTable wk(QStringLiteral("QuenWkCrop.DB"));
            CropCurveState curves;
            job::FetchCrops(ctx, state, curves, wk, [&] {
                // The row ComputeCrop has just read, and the job's values,
                // which the run leaves as they were.
                crops.push_back(ReadCropInputs(ctx, wk));
                if (!SameResults(ctx, RunCrop(crops.back()))) {
                    std::fprintf(stderr, "%s: \"%s\": the inputs read do not give the fetch's results\n",
                                 qPrintable(name), qPrintable(ctx.CropName));
                    ++differ;
                }
            });
            wk.close();
            wk.emptyTable();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(name), e.what());
        loaded = false;
    }
    QDir::setCurrent(cwd);
    Database::close();
    for (const QString& m : msgs.texts)
        std::fprintf(stderr, "%s: message: %s\n", qPrintable(name), qPrintable(m));
    if (!loaded)
        return -1;

    QFile out(dir + QStringLiteral("/inputs.txt"));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return -1;
    const QString heading = QStringLiteral(
        "RunCrop inputs of the crops of the job \"%1\", in the job's order, as ReadCropInputs reads\n"
        "them from this scenario's tables. Written by make_runcrop_inputs; format: tests/engine/CropInputsText.h.")
                                .arg(jobName);
    out.write(test::CropInputsText(crops, heading).toUtf8());
    std::printf("%s: %d crops\n", qPrintable(name), int(crops.size()));
    return differ;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: make_runcrop_inputs SCENARIOS [NAME...]\n");
        return 2;
    }
    const QString root = QDir(args[0]).absolutePath();
    QStringList names = args.mid(1);
    if (names.isEmpty())
        for (const QString& d : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            if (QFile::exists(root + QLatin1Char('/') + d + QStringLiteral("/job.txt")))
                names << d;
    int status = 0;
    for (const QString& name : names) {
        const int differ = WriteScenario(root, name);
        if (differ < 0)
            std::fprintf(stderr, "%s: not written\n", qPrintable(name));
        if (differ != 0)
            status = 1;
    }
    return status;
}
