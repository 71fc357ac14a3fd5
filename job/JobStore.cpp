#include "JobStore.h"

#include <QHash>
#include <QVariant>
#include <algorithm>
#include <cmath>

#include "ComputeCrop.h"
#include "EtMethod.h"
#include "FarmStore.h"
#include "Station.h"
#include "db/Database.h"
#include "db/Table.h"

namespace quen::job {

namespace {

const QString kJob = QStringLiteral("QuenJob.db");
const QString kJobCrop = QStringLiteral("QuenJobCrop.DB");
const QString kWkCrop = QStringLiteral("QuenWkCrop.DB");

// Saved crop field -> working crop field; fields the save does not write and
// the fetch does not copy are left out ("Wetting"; "JobNumber" goes one way
// only, see below). "Job Crop No" is not copied: the fetch numbers the
// working rows itself.
QString WorkingName(const QString& saved)
{
    if (saved == QLatin1String("JobName")) return QStringLiteral("Job Name");
    if (saved == QLatin1String("Harv Mo")) return QStringLiteral("Harvest Mo");
    if (saved == QLatin1String("Harv Day")) return QStringLiteral("Harvest Day");
    return saved;
}

// The "JobNumber"s of the saved job rows of exactly this name.
QList<int> JobsNamed(TTable& jobs, const QString& name)
{
    QList<int> numbers;
    jobs.setIndexName(QStringLiteral("JobNameIndex"));
    jobs.setRange({name}, {name});
    for (jobs.first(); !jobs.eof(); jobs.next())
        if (jobs.field(QStringLiteral("JobName")).asString() == name)
            numbers << jobs.field(QStringLiteral("JobNumber")).asInteger();
    jobs.cancelRange();
    return numbers;
}

// The rows of "QuenJobCrop.DB" whose "JobName" is exactly name, in the order
// they were saved (rowValues of each).
QList<QVariantList> SavedCropRows(TTable& saved, const QString& name)
{
    QList<QVariantList> rows;
    const int fName = saved.field(QStringLiteral("JobName")).index();
    const int fNo = saved.field(QStringLiteral("Job Crop No")).index();
    saved.setIndexName(QStringLiteral("JobNameIndex"));
    saved.setRange({name}, {name});
    for (saved.first(); !saved.eof(); saved.next())
        if (saved.valueAt(fName).toString() == name)
            rows << saved.rowValues();
    saved.cancelRange();
    std::sort(rows.begin(), rows.end(), [fNo](const QVariantList& a, const QVariantList& b) {
        return a[fNo].toInt() < b[fNo].toInt();
    });
    return rows;
}

// Deletes the crop rows of exactly this job name; the handle is open.
void DeleteCropRows(TTable& saved, const QString& name)
{
    const int fName = saved.field(QStringLiteral("JobName")).index();
    saved.setIndexName(QStringLiteral("JobNameIndex"));
    saved.setRange({name}, {name});
    saved.first();
    while (!saved.eof()) {
        if (saved.valueAt(fName).toString() == name)
            saved.remove();
        else
            saved.next();
    }
    saved.cancelRange();
}

} // namespace

bool HasSavedJobs()
{
    TTable jobs(kJob);
    jobs.open();
    const bool any = !jobs.isEmpty();
    jobs.close();
    return any;
}

int JobNameWidth()
{
    static const int width = [] {
        const TableDef* def = findTableDef(kJob);
        const int i = def ? def->fieldIndex(QStringLiteral("JobName")) : -1;
        return i >= 0 ? def->fields[i].size : 50;
    }();
    return width;
}

QString JobNameProblem(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("Please enter a Job Name.");
    if (name.size() > JobNameWidth())
        return QStringLiteral("The job name \"%1\" has %2 characters; a job name has at most %3.")
            .arg(name)
            .arg(name.size())
            .arg(JobNameWidth());
    return QString();
}

int FindJob(const QString& name)
{
    // No stored name equals a name the table would cut.
    if (name.size() > JobNameWidth())
        return 0;
    TTable jobs(kJob);
    jobs.setIndexName(QStringLiteral("JobNameIndex"));
    jobs.open();
    int number = 0;
    jobs.setRange({name}, {name});
    for (jobs.first(); !jobs.eof(); jobs.next())
        if (jobs.field(QStringLiteral("JobName")).asString() == name) {
            number = jobs.field(QStringLiteral("JobNumber")).asInteger();
            break;
        }
    jobs.close();
    return number;
}

void StartJob(CropRunContext& ctx, JobState& job, TTable& wk)
{
    ctx.reset();
    job.reset();
    job.JobSaveState = 1;
    job.Farm = DefaultFarmJob();
    if (wk.isOpen())
        wk.close();
    wk.emptyTable();
    EmptyWorkingFarmCrops();
    job.JobFromDatabase = false;
    job.CropCounter = 0;
}

bool OpenSavedJob(TTable& jobs, const QString& name)
{
    jobs.setIndexName(QStringLiteral("JobNameIndex"));
    jobs.open();
    bool found = false;
    jobs.setRange({name}, {name});
    for (jobs.first(); !jobs.eof(); jobs.next())
        if (jobs.field(QStringLiteral("JobName")).asString() == name) {
            found = true;
            break;
        }
    if (!found) {
        jobs.close();
        return false;
    }
    return true;
}

bool LoadJob(const QString& name, CropRunContext& ctx, JobState& job)
{
    ctx.reset();
    job.reset();
    TTable jobs(kJob);
    if (!OpenSavedJob(jobs, name))
        return false;
    auto s = [&](const char* f) { return jobs.field(QString::fromLatin1(f)).asString(); };
    auto d = [&](const char* f) { return jobs.field(QString::fromLatin1(f)).asFloat(); };
    ctx.JobName = s("JobName");
    ctx.WeatherStationName = s("Weather Station");
    job.JobNumber = jobs.field(QStringLiteral("JobNumber")).asInteger();
    ctx.JobLocation = s("Location");
    ctx.JobPlanner = s("Planner");
    ctx.JobDate = s("Job Date");
    ctx.JobLandUser = s("LandUser");
    ctx.JobID = s("ID");
    ctx.JobClass = s("JobClass");
    ctx.StationNumber = s("StationNo");
    ctx.County = s("County");
    ctx.Latitude = d("Latitude");
    ctx.Longitude = d("Longitude");
    ctx.Elevation = d("Elevation");
    ctx.ElevationM = ctx.Elevation * 0.3048;
    job.CropCounter = jobs.field(QStringLiteral("No of Crops")).asInteger();
    ctx.EffPcpFact50 = d("EffPcpFact50");
    ctx.EffPcpFact80 = d("EffPcpFact80");
    ctx.ETMethodText = s("ETMethod");
    ctx.ETMethodIndex = jobs.field(QStringLiteral("ETIndex")).asInteger();
    job.JobFromDatabase = true;
    jobs.close();
    job.Farm = SavedFarmJob(ctx.JobName);

    // The station by nearest match on its name (primary index: name, number).
    const StationRecord station = ReadStation(ctx.WeatherStationName);
    ctx.AnnualPrecip = ctx.AnnualPrecipCm = 0.0;
    if (station.present) {
        for (int m = 1; m <= 12; ++m) {
            ctx.MonthlyPrecip[m] = station.precip[m];
            ctx.MonthlyTemp[m] = station.temp[m];
            ctx.MonthlyPrecipCm[m] = station.precipCm[m];
            ctx.MonthlyTempC[m] = station.tempC[m];
        }
        ctx.AnnualPrecip = station.annualPrecip;
        ctx.AnnualPrecipCm = station.annualPrecipCm;
    }
    return true;
}

int FetchCrops(CropRunContext& ctx, JobState& job, CropCurveState& curves, TTable& wk,
               const std::function<void()>& computed)
{
    QList<QVariantList> rows;
    QList<int> toWorking;   // saved field i -> working field, -1 when not copied
    {
        TTable saved(kJobCrop);
        saved.open();
        rows = SavedCropRows(saved, ctx.JobName);
        for (int i = 0; i < saved.fieldCount(); ++i) {
            const QString name = saved.fieldName(i);
            const QString target = WorkingName(name);
            toWorking << (name == QLatin1String("Wetting") || !wk.hasField(target)
                              ? -1
                              : wk.field(target).index());
        }
        saved.close();
    }

    // A Penman-Monteith job whose station has (now) no wind, humidity and
    // radiation record is told so and computed by Blaney-Criddle, as the
    // station choice decides for such a station.
    FallBackWithoutWindRecord(ctx);

    if (wk.isOpen())
        wk.close();
    wk.emptyTable();
    wk.open();
    const int fName = wk.field(QStringLiteral("Crop Name")).index();
    const int fPm = wk.field(QStringLiteral("Plant Mo")).index();
    const int fPd = wk.field(QStringLiteral("Plant Day")).index();
    const int fHm = wk.field(QStringLiteral("Harvest Mo")).index();
    const int fHd = wk.field(QStringLiteral("Harvest Day")).index();
    const int fBeg = wk.field(QStringLiteral("Beg Dat")).index();
    const int fEnd = wk.field(QStringLiteral("End Dat")).index();
    const int fEt = wk.field(QStringLiteral("ET Index")).index();
    const int fNo = wk.field(QStringLiteral("Crop No")).index();
    job.CropCounter = std::max(job.CropCounter, int(rows.size()));
    int cropNo = 0;
    for (const QVariantList& row : rows) {
        wk.append();
        for (int i = 0; i < row.size(); ++i)
            if (toWorking[i] >= 0 && !row[i].isNull())
                wk.setValueAt(toWorking[i], row[i]);
        wk.setValueAt(fNo, ++cropNo);
        wk.setValueAt(fBeg, QStringLiteral("%1/%2").arg(wk.valueAt(fPm).toInt()).arg(wk.valueAt(fPd).toInt()));
        wk.setValueAt(fEnd, QStringLiteral("%1/%2").arg(wk.valueAt(fHm).toInt()).arg(wk.valueAt(fHd).toInt()));
        wk.setValueAt(fEt, ctx.ETMethodIndex);
        wk.post();
        ctx.CropName = wk.valueAt(fName).toString();
        ComputeCrop(ctx, curves, wk);
        if (computed)
            computed();
    }
    FetchWorkingFarmCrops(ctx.JobName);
    return int(rows.size());
}

bool FetchJob(const QString& name, CropRunContext& ctx, JobState& job, CropCurveState& curves, TTable& wk,
              const std::function<void(int)>& progress)
{
    auto step = [&](int n) {
        if (progress)
            progress(n);
    };
    if (!LoadJob(name, ctx, job))
        return false;
    step(10);   // job row
    step(10);   // station
    step(10);   // working table (emptied by FetchCrops)
    FetchCrops(ctx, job, curves, wk, [&] { step(15); });
    job.JobSaveState = 0;
    return true;
}

SaveResult SaveJob(CropRunContext& ctx, JobState& job)
{
    if (job.JobSaveState != 1 && job.JobSaveState != 2)
        return SaveResult::Nothing;
    // The table would cut a longer name: the job would then not match its own
    // row and would share crop rows with any job of the cut name.
    if (const QString problem = JobNameProblem(ctx.JobName); !problem.isEmpty())
        throw DbError(problem);

    // The working crops, read before the transaction starts (their own pending
    // scratch writes are committed by it).
    QList<QVariantList> cropRows;
    {
        TTable wk(kWkCrop);
        wk.open();
        TTable probe(kJobCrop);
        QList<int> fromWorking;   // saved field i <- working field, -1: left empty
        for (int i = 0; i < probe.definition().fields.size(); ++i) {
            const QString name = probe.definition().fields[i].name;
            const QString source = WorkingName(name);
            const bool skip = name == QLatin1String("Job Crop No") || name == QLatin1String("Wetting")
                || name == QLatin1String("JobNumber") || name == QLatin1String("JobName");
            fromWorking << (skip || !wk.hasField(source) ? -1 : wk.field(source).index());
        }
        int fJobName = 0;
        for (int i = 0; i < probe.definition().fields.size(); ++i)
            if (probe.definition().fields[i].name == QLatin1String("JobName"))
                fJobName = i;
        for (wk.first(); !wk.eof(); wk.next()) {
            const QVariantList w = wk.rowValues();
            QVariantList r(fromWorking.size());
            for (int i = 0; i < fromWorking.size(); ++i)
                if (fromWorking[i] >= 0)
                    r[i] = w[fromWorking[i]];
            r[fJobName] = ctx.JobName;
            cropRows << r;
        }
        wk.close();
    }
    // The crops' farm values in the same order (both read "QuenWkCrop.DB" by
    // its primary key).
    const std::vector<std::pair<QString, FarmCropValues>> farmCrops = WorkingFarmCropsInOrder();

    SaveResult result = SaveResult::Nothing;
    int savedNumber = 0;
    Database::transaction(
        [&] {
            TTable jobs(kJob);
            jobs.open();
            // The rows of exactly this name: none, the open job's own row, or
            // another job's, which the save must neither write over nor share
            // its crop rows with.
            const QList<int> named = JobsNamed(jobs, ctx.JobName);
            const bool own = job.JobFromDatabase && job.JobNumber != 0 && named.contains(job.JobNumber);
            if (!named.isEmpty() && !own)
                throw DbError(QStringLiteral("Job Name already used. Enter a unique name."));
            if (own) {
                if (!jobs.locate(QStringLiteral("JobNumber"), job.JobNumber))
                    throw DbError(QStringLiteral("The job ") + ctx.JobName + QStringLiteral(" is no longer in QuenJob.db."));
                jobs.edit();
            } else {
                jobs.append();
                jobs.field(QStringLiteral("JobName")).setAsString(ctx.JobName);
            }
            const bool found = own;
            auto s = [&](const char* f, const QString& v) { jobs.field(QString::fromLatin1(f)).setAsString(v); };
            auto d = [&](const char* f, double v) { jobs.field(QString::fromLatin1(f)).setAsFloat(v); };
            s("Location", ctx.JobLocation);
            s("Planner", ctx.JobPlanner);
            s("Job Date", ctx.JobDate);
            s("LandUser", ctx.JobLandUser);
            s("ID", ctx.JobID);
            s("JobClass", ctx.JobClass);
            s("Weather Station", ctx.WeatherStationName);
            d("Elevation", ctx.Elevation);
            jobs.field(QStringLiteral("No of Crops")).setAsInteger(job.CropCounter);
            d("EffPcpFact50", ctx.EffPcpFact50);
            d("EffPcpFact80", ctx.EffPcpFact80);
            s("StationNo", ctx.StationNumber);
            s("County", ctx.County);
            d("Latitude", ctx.Latitude);
            d("Longitude", ctx.Longitude);
            s("ETMethod", ctx.ETMethodText);
            jobs.field(QStringLiteral("ETIndex")).setAsInteger(ctx.ETMethodIndex);
            jobs.post();
            savedNumber = jobs.field(QStringLiteral("JobNumber")).asInteger();
            jobs.close();
            result = found ? SaveResult::Updated : SaveResult::Appended;

            TTable saved(kJobCrop);
            saved.open();
            DeleteCropRows(saved, ctx.JobName);
            saved.setIndexName(QString());
            if (!cropRows.isEmpty())
                saved.appendRows(cropRows);
            saved.close();
            WriteSavedFarm(ctx.JobName, job.Farm, farmCrops);
        },
        QStringList{kJob, kJobCrop} + FarmSavedTables());

    job.JobNumber = savedNumber;
    job.JobFromDatabase = true;
    return result;
}

bool DeleteJob(int jobNumber)
{
    bool deleted = false;
    Database::transaction(
        [&] {
            TTable jobs(kJob);
            jobs.open();
            if (jobs.isEmpty() || !jobs.locate(QStringLiteral("JobNumber"), jobNumber)) {
                jobs.close();
                return;
            }
            const QString name = jobs.field(QStringLiteral("JobName")).asString();
            jobs.remove();
            // Crop rows belong to a job by its name: while another row of
            // that name is left (older versions let two jobs share a name),
            // they are its crops too.
            if (JobsNamed(jobs, name).isEmpty()) {
                TTable saved(kJobCrop);
                saved.open();
                DeleteCropRows(saved, name);
                saved.close();
                DeleteSavedFarm(name);
            }
            jobs.close();
            deleted = true;
        },
        QStringList{kJob, kJobCrop} + FarmSavedTables());
    return deleted;
}

int DeleteJobsNamed(const QString& name)
{
    int deleted = 0;
    Database::transaction(
        [&] {
            TTable saved(kJobCrop);
            saved.open();
            DeleteCropRows(saved, name);
            saved.close();
            DeleteSavedFarm(name);
            TTable jobs(kJob);
            jobs.setIndexName(QStringLiteral("JobNameIndex"));
            jobs.open();
            jobs.setRange({name}, {name});
            jobs.first();
            while (!jobs.eof()) {
                if (jobs.field(QStringLiteral("JobName")).asString() == name) {
                    jobs.remove();
                    ++deleted;
                } else {
                    jobs.next();
                }
            }
            jobs.close();
        },
        QStringList{kJob, kJobCrop} + FarmSavedTables());
    return deleted;
}

double DefaultRatio50(double p)
{
    return 0.774261 + 0.0200712 * p - 0.000741843 * std::pow(p, 2.0) + 0.0000127653 * std::pow(p, 3.0)
        - 0.000000101543 * std::pow(p, 4.0) + 0.000000000301104 * std::pow(p, 5.0);
}

double DefaultRatio80(double p)
{
    return 0.415008 + 0.0295972 * p - 0.000779763 * std::pow(p, 2.0) + 0.00000905045 * std::pow(p, 3.0)
        - 0.0000000372727 * std::pow(p, 4.0);
}

void CopyStation(TTable& clim, CropRunContext& ctx)
{
    auto s = [&](const char* f) { return clim.field(QString::fromLatin1(f)).asString(); };
    auto d = [&](const char* f) { return clim.field(QString::fromLatin1(f)).asFloat(); };
    ctx.WeatherStationName = s("Station Name");
    ctx.Elevation = d("Elevation");
    ctx.ElevationM = d("ElevationM");
    ctx.County = s("County");
    ctx.StationNumber = s("Station No");
    ctx.Latitude = d("Latitude");
    ctx.Longitude = d("Longitude");
    ctx.AnnualPrecip = 0.0;
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyPrecip[m] = clim.field(QStringLiteral("P%1").arg(m)).asFloat();
        ctx.MonthlyTemp[m] = clim.field(QStringLiteral("T%1").arg(m)).asFloat();
        ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
    }
    SetStationMetricTwins(ctx);
    ctx.EffPcpFact50 = DefaultRatio50(ctx.AnnualPrecip);
    ctx.EffPcpFact80 = DefaultRatio80(ctx.AnnualPrecip);
}

} // namespace quen::job
