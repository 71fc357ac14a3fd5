#include "JobFileCommand.h"

#include <QFile>
#include <QLocale>
#include <cmath>
#include <cstdio>

#include "FarmStore.h"
#include "JobFile.h"
#include "JobStore.h"
#include "db/Database.h"
#include "db/Table.h"

namespace quen::calc {

namespace {

// The CSV of JobCsv, with the farm's columns when farm is given.
QString CsvOf(const QString& jobName, const QList<CropResult>& crops, bool metric, const CalcFarm* farm);

void Err(const QString& text)
{
    const QByteArray b = (QStringLiteral("quenpm-calc: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stderr);
}

void Out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
    std::fflush(stdout);
}

QString Shown(const QString& file)
{
    return file == QLatin1String("-") ? QStringLiteral("<standard input>") : file;
}

// The text of the job file ("-": standard input); false with the message.
bool ReadInput(const QString& file, QByteArray& text)
{
    QFile f;
    const bool opened = file == QLatin1String("-") ? f.open(stdin, QIODevice::ReadOnly)
                                                   : (f.setFileName(file), f.open(QIODevice::ReadOnly));
    if (!opened) {
        Err(QStringLiteral("%1: cannot be read: %2").arg(Shown(file), f.errorString()));
        return false;
    }
    text = f.readAll();
    return true;
}

// Opens the database of the alias: for reading only, or for writing (a new
// location is then created and filled as the programs create it). Returns 0
// or the exit status, with the message.
int OpenDatabase(bool write, QString& path)
{
    try {
        path = Database::resolveAlias();
        if (!write && !Database::exists(path)) {
            Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file or server; "
                               "\"quenpm-calc import FILE\" or the programs create a new one)")
                    .arg(Database::shownLocation(path)));
            return 2;
        }
        if (write)
            Database::open(path);
        else
            Database::openReadOnly(path);
    } catch (const DbError& e) {
        Err(e.message());
        return 2;
    }
    return 0;
}

QString CsvField(const QString& s)
{
    if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"')) && !s.contains(QLatin1Char('\n'))
        && !s.contains(QLatin1Char('\r')))
        return s;
    QString q = s;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The shortest text that reads back as the same double; a value that is not
// finite is left empty, never written as "nan" or "inf".
QString CsvNumber(double v)
{
    return std::isfinite(v) ? QString::number(v, 'g', QLocale::FloatingPointShortest) : QString();
}

struct Job {
    job::JobFile file;
    CropRunContext ctx;
    JobState state;
    QList<CropResult> crops;
    QStringList notes;   // messages of the station choice
    job::JobFileStation station;
};

// Reads, checks and computes the job of the file, and with save stores it
// (job::ImportJobFile: a name already saved is refused unless replace); the
// database is open. Returns 0 or the exit status, with the message. The
// working table holds the job's crops afterwards.
int MakeJob(const QString& fileName, const QByteArray& text, bool save, bool replace, const QString& path, Job& job,
            TTable& wk)
{
    if (const job::JobFileError e = job::ParseJobFile(text, job.file); e.failed()) {
        Err(e.text(Shown(fileName)));
        return kExitBadJobFile;
    }
    CropCurveState curves;
    CollectingMessages collect;
    const auto computed = [&] {
        job.crops.append({job.ctx, collect.texts});
        collect.texts.clear();
    };
    const auto cropsStart = [&] {
        job.notes = collect.texts;
        collect.texts.clear();
    };
    job::JobFileImport result;
    if (save)
        result = job::ImportJobFile(job.file, replace, job.ctx, job.state, curves, wk, &job.station, computed,
                                    cropsStart);
    else
        result.error = job::SetUpJobFile(job.file, job.ctx, job.state, curves, wk, &job.station, computed, cropsStart);
    if (result.error.failed()) {
        Err(result.error.text(Shown(fileName)));
        return kExitBadJobFile;
    }
    if (result.nameUsed) {
        Err(QStringLiteral("a saved job is named \"%1\" already in %2 (--replace replaces it); nothing saved")
                .arg(job.file.name, Database::shownLocation(path)));
        return kExitNameUsed;
    }
    return 0;
}

void ReportStation(const Job& job)
{
    const job::JobFileStation& s = job.station;
    if (s.byPosition) {
        QString text = QStringLiteral("station %1 (%2, %3): %4 km (%5 mi) from %6, %7; elevation %8 ft")
                           .arg(s.name, s.number.trimmed(), s.county)
                           .arg(s.distanceKm, 0, 'f', 1)
                           .arg(s.distanceKm / 1.609344, 0, 'f', 1)
                           .arg(job.file.latitude, 0, 'f', 4)
                           .arg(job.file.longitude, 0, 'f', 4)
                           .arg(s.elevationFt, 0, 'f', 0);
        if (s.fieldElevationFt) {
            const double diff = s.elevationFt - *s.fieldElevationFt;
            text += QStringLiteral(", the field's %1 ft: the station is %2 ft %3 the field")
                        .arg(*s.fieldElevationFt, 0, 'f', 0)
                        .arg(std::fabs(diff), 0, 'f', 0)
                        .arg(diff >= 0 ? QStringLiteral("above") : QStringLiteral("below"));
        }
        else
            text += QStringLiteral(" (taken as the field's: the file gives no elevation)");
        Err(text);
    }
    for (const QString& n : job.notes)
        Err(QStringLiteral("note: ") + n);
}

struct Options {
    QString file;
    bool csv = false, json = false, metric = false, save = false, replace = false;
};

bool ParseOptions(const QStringList& args, bool compute, Options& o)
{
    for (const QString& a : args) {
        if (compute && a == QLatin1String("--csv"))
            o.csv = true;
        else if (compute && a == QLatin1String("--json"))
            o.json = true;
        else if (compute && a == QLatin1String("--metric"))
            o.metric = true;
        else if (compute && a == QLatin1String("--save"))
            o.save = true;
        else if (a == QLatin1String("--replace"))
            o.replace = true;
        else if (o.file.isEmpty() && (a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))))
            o.file = a;
        else
            return false;
    }
    if (o.file.isEmpty() || (o.csv && o.json) || (o.metric && !o.csv))
        return false;
    if (compute && o.replace && !o.save)
        return false;
    return true;
}

int Usage(const char* text)
{
    Err(QStringLiteral("usage: quenpm-calc ") + QString::fromLatin1(text));
    return 1;
}

// compute and import: the same reading, seeding and computation.
int Run(const Options& o, bool print)
{
    QByteArray text;
    if (!ReadInput(o.file, text))
        return kExitBadJobFile;
    // Parsed before the database is opened: a refused file touches nothing.
    {
        job::JobFile check;
        if (const job::JobFileError e = job::ParseJobFile(text, check); e.failed()) {
            Err(e.text(Shown(o.file)));
            return kExitBadJobFile;
        }
    }
    QString path;
    if (const int status = OpenDatabase(o.save, path))
        return status;
    int status = 0;
    try {
        Job job;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        status = MakeJob(o.file, text, o.save, o.replace, path, job, wk);
        if (status == 0)
            ReportStation(job);
        // The farm values of the job as set up: the working crops' and the job's.
        const CalcFarm farm = status == 0 && print ? WorkingJobFarm(job.state.Farm, job.crops) : CalcFarm{};
        if (wk.isOpen())
            wk.close();
        wk.emptyTable();
        job::EmptyWorkingFarmCrops();
        if (status == 0 && print && o.csv)
            // The JSON carries each crop's messages; beside a CSV they go to
            // standard error, so that no warning of a run goes unseen.
            for (const CropResult& c : job.crops)
                for (const QString& m : c.messages)
                    Err(QStringLiteral("note: %1: %2").arg(c.ctx.CropName, m));
        if (status == 0 && print && o.csv)
            for (const QString& n : farm.notes)
                Err(QStringLiteral("note: farm water: ") + n);
        if (status == 0 && print)
            Out(o.csv ? JobCsv(job.ctx.JobName, job.crops, o.metric, farm) : JobJson(job.ctx.JobName, job.crops, farm));
        if (status == 0 && !print)
            Out(QStringLiteral("saved job \"%1\" with %2 crop(s) in %3\n")
                    .arg(job.ctx.JobName)
                    .arg(job.crops.size())
                    .arg(Database::shownLocation(path)));
    } catch (const DbError& e) {
        Err(QStringLiteral("the database %1: %2%3")
                .arg(Database::shownLocation(path), e.message(), o.save ? QStringLiteral("; nothing saved") : QString()));
        status = 3;
    } catch (const std::exception& e) {
        Err(QStringLiteral("the database %1 could not be read: %2").arg(Database::shownLocation(path), QString::fromLocal8Bit(e.what())));
        status = 3;
    }
    Database::close();
    return status;
}

} // namespace

QString JobCsv(const QString& jobName, const QList<CropResult>& crops, bool metric)
{
    return CsvOf(jobName, crops, metric, nullptr);
}

QString JobCsv(const QString& jobName, const QList<CropResult>& crops, bool metric, const CalcFarm& farm)
{
    return CsvOf(jobName, crops, metric, &farm);
}

namespace {

QString CsvOf(const QString& jobName, const QList<CropResult>& crops, bool metric, const CalcFarm* farm)
{
    const QString depth = metric ? QStringLiteral("cm") : QStringLiteral("in");
    const QString rate = metric ? QStringLiteral("mm/day") : QStringLiteral("in/day");
    QStringList header = {
        QStringLiteral("job"),
        QStringLiteral("crop"),
        QStringLiteral("month"),
        QStringLiteral("in season"),
        QStringLiteral("reference ET (%1)").arg(rate),
        QStringLiteral("Kc"),
        QStringLiteral("crop ET (%1)").arg(rate),
        QStringLiteral("crop ET (%1)").arg(depth),
        QStringLiteral("effective precipitation normal year (%1)").arg(depth),
        QStringLiteral("effective precipitation dry year (%1)").arg(depth),
        QStringLiteral("carry-over used normal year (%1)").arg(depth),
        QStringLiteral("carry-over used dry year (%1)").arg(depth),
        QStringLiteral("net irrigation requirement normal year (%1)").arg(depth),
        QStringLiteral("net irrigation requirement dry year (%1)").arg(depth),
        QStringLiteral("peak daily ET (%1)").arg(rate),
    };
    if (farm) {
        const QString area = metric ? QStringLiteral("ha") : QStringLiteral("ac");
        const QString volume = metric ? QStringLiteral("m3") : QStringLiteral("acre-ft");
        const QString flow = metric ? QStringLiteral("l/s") : QStringLiteral("gpm");
        header << QStringLiteral("irrigated area (%1)").arg(area) << QStringLiteral("application efficiency")
               << QStringLiteral("leaching requirement")
               << QStringLiteral("gross irrigation requirement normal year (%1)").arg(depth)
               << QStringLiteral("gross irrigation requirement dry year (%1)").arg(depth)
               << QStringLiteral("volume normal year (%1)").arg(volume)
               << QStringLiteral("volume dry year (%1)").arg(volume)
               << QStringLiteral("farm field volume normal year (%1)").arg(volume)
               << QStringLiteral("farm field volume dry year (%1)").arg(volume)
               << QStringLiteral("farm diversion normal year (%1)").arg(volume)
               << QStringLiteral("farm diversion dry year (%1)").arg(volume)
               << QStringLiteral("system capacity (%1)").arg(flow)
               << QStringLiteral("system capacity (%1/%2)").arg(flow, metric ? QStringLiteral("ha") : QStringLiteral("acre"));
    }
    QString out = header.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    // The farm's field volumes in cubic metres: the crops' own.
    MonthlyValues field50M3{}, field80M3{};
    if (farm)
        for (const FarmCropWater& w : farm->water.crops)
            for (int m = 1; m <= 12; ++m) {
                field50M3[m] += w.volume50M3[m];
                field80M3[m] += w.volume80M3[m];
            }
    for (qsizetype i = 0; i < crops.size(); ++i) {
        const CropRunContext& c = crops[i].ctx;
        for (int m = 1; m <= 12; ++m) {
            // Outside the season the table shows the shoulder months' reference ET.
            const double ref = metric ? (c.DailyRefETmm[m] != 0.0 ? c.DailyRefETmm[m] : c.ShoulderRefETmm[m])
                                      : (c.DailyRefET[m] != 0.0 ? c.DailyRefET[m] : c.ShoulderRefET[m]);
            QStringList row = {CsvField(jobName), CsvField(c.CropName), QString::number(m),
                               c.SeasonMonthFlags[m] ? QStringLiteral("yes") : QStringLiteral("no"),
                               CsvNumber(ref), CsvNumber(c.MonthlyKc[m])};
            if (metric)
                row << CsvNumber(c.DailyCropETmm[m]) << CsvNumber(c.MonthlyCropETcm[m]) << CsvNumber(c.EffPrecip50cm[m])
                    << CsvNumber(c.EffPrecip80cm[m]) << CsvNumber(c.CarryOverUsed50cm[m])
                    << CsvNumber(c.CarryOverUsed80cm[m]) << CsvNumber(c.NetIrrReq50cm[m])
                    << CsvNumber(c.NetIrrReq80cm[m]) << CsvNumber(c.PeakDailyETmm[m]);
            else
                row << CsvNumber(c.DailyCropET[m]) << CsvNumber(c.MonthlyCropET[m]) << CsvNumber(c.EffPrecip50[m])
                    << CsvNumber(c.EffPrecip80[m]) << CsvNumber(c.CarryOverUsed50[m]) << CsvNumber(c.CarryOverUsed80[m])
                    << CsvNumber(c.NetIrrReq50[m]) << CsvNumber(c.NetIrrReq80[m]) << CsvNumber(c.PeakDailyET[m]);
            if (farm) {
                const FarmWater& w = farm->water;
                const FarmCropWater* cw = size_t(i) < w.crops.size() && w.crops[size_t(i)].available
                    ? &w.crops[size_t(i)] : nullptr;
                auto cell = [](bool has, double v) { return has ? CsvNumber(v) : QString(); };
                if (cw)
                    row << CsvNumber(metric ? cw->areaHa : cw->areaAcres) << CsvNumber(cw->applicationEff)
                        << CsvNumber(cw->leachingReq)
                        << CsvNumber(metric ? cw->grossDepth50Mm[m] / 10.0 : cw->grossDepth50In[m])
                        << CsvNumber(metric ? cw->grossDepth80Mm[m] / 10.0 : cw->grossDepth80In[m])
                        << CsvNumber(metric ? cw->volume50M3[m] : cw->volume50AcFt[m])
                        << CsvNumber(metric ? cw->volume80M3[m] : cw->volume80AcFt[m]);
                else
                    row << QString() << QString() << QString() << QString() << QString() << QString() << QString();
                const bool any = w.available;
                const bool peak = any && w.peakMonth != 0;
                row << cell(any, metric ? field50M3[m] : w.field50AcFt[m])
                    << cell(any, metric ? field80M3[m] : w.field80AcFt[m])
                    << cell(any, metric ? w.diversion50M3[m] : w.diversion50AcFt[m])
                    << cell(any, metric ? w.diversion80M3[m] : w.diversion80AcFt[m])
                    << cell(peak, metric ? w.capacityLps : w.capacityGpm)
                    << cell(peak, metric ? w.capacityLpsPerHa : w.capacityGpmPerAcre);
            }
            out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
        }
    }
    return out;
}

} // namespace

int ComputeCommand(const QStringList& args)
{
    Options o;
    if (!ParseOptions(args, true, o))
        return Usage("compute FILE|- [--json | --csv [--metric]] [--save [--replace]]");
    return Run(o, true);
}

int ImportCommand(const QStringList& args)
{
    Options o;
    if (!ParseOptions(args, false, o))
        return Usage("import FILE|- [--replace]");
    o.save = true;
    return Run(o, false);
}

int ExportCommand(const QStringList& args)
{
    if (args.size() != 2 || args[1].isEmpty())
        return Usage("--export-job NAME FILE|-");
    const QString& name = args[0];
    const QString& file = args[1];
    QString path;
    if (const int status = OpenDatabase(false, path))
        return status;
    try {
        if (file == QLatin1String("-")) {
            QByteArray text;
            const bool found = job::ExportJobFile(name, text);
            Database::close();
            if (!found) {
                Err(QStringLiteral("no saved job named \"%1\" in %2").arg(name, Database::shownLocation(path)));
                return 4;
            }
            std::fwrite(text.constData(), 1, static_cast<size_t>(text.size()), stdout);
            std::fflush(stdout);
            return 0;
        }
        QString why;
        const job::JobFileWritten written = job::WriteJobFile(name, file, &why);
        Database::close();
        switch (written) {
        case job::JobFileWritten::Written: return 0;
        case job::JobFileWritten::NoSuchJob:
            Err(QStringLiteral("no saved job named \"%1\" in %2").arg(name, Database::shownLocation(path)));
            return 4;
        case job::JobFileWritten::DatabaseFile:
            Err(QStringLiteral("%1 is the database or one of its files; the job file goes elsewhere").arg(file));
            return 6;
        case job::JobFileWritten::NotWritten:
            Err(QStringLiteral("%1: cannot be written: %2").arg(file, why));
            return 6;
        }
    } catch (const DbError& e) {
        Database::close();
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(Database::shownLocation(path), e.message()));
        return 3;
    }
    return 6;
}

} // namespace quen::calc
