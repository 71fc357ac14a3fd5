// quenpm-calc: computes a saved job of the Quenpm database from the command
// line, as the main program computes it when it fetches the job.
//
//   quenpm-calc --help
//   quenpm-calc --list-jobs
//   quenpm-calc --job NAME [--json]
//   quenpm-calc --copy-database FROM TO [--replace]
//              (moves a database, e.g. a local file to the office server:
//              every table, in one transaction; a target holding rows is
//              refused unless --replace)
//   quenpm-calc --report NAME --job JOB [--crop CROP] [--metric] [--pdf FILE] [--qrp FILE]
//              (see ReportCommand.h)
//   quenpm-calc compute FILE [--json | --csv [--metric]] [--save [--replace]]
//   quenpm-calc import FILE [--replace]
//   quenpm-calc --export-job NAME FILE
//              (job files, see JobFileCommand.h and job/JobFile.h)
//   quenpm-calc batch FIELDS.csv [--metric] [-o OUT.csv]
//              (one field a row, see BatchCommand.h and job/FieldBatch.h)
//   quenpm-calc --import-daily FILE --station NAME [--format plain|ncei|ncei-metric]
//              [--wind-height M] [--coastal] [--replace]
//   quenpm-calc --daily --job JOB [--crop CROP] [--year YEAR] [--json | --csv]
//              (daily weather and the daily soil-water balance, see DailyCommand.h)
//
// The database is the one the alias resolves ($QUENPM_DB), opened for reading
// only: the commands but --copy-database, --save and import change no saved
// table, and for them a database that is missing, an empty file or of another
// layout is refused, never created or rewritten. Exit status: 0 done, 1 usage,
// 2 no database, 3 damaged or unreadable database, 4 no such job, and those
// of --help.
#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>

#include "BatchCommand.h"
#include "CalcFarm.h"
#include "CalcJob.h"
#include "DailyCommand.h"
#include "JobFileCommand.h"
#include "db/Database.h"
#include "db/Table.h"
#include "ReportCommand.h"

namespace {

void Err(const QString& text)
{
    std::fprintf(stderr, "quenpm-calc: %s\n", qPrintable(text));
}

void Out(const QString& text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

const char* const kUsage =
    "usage: quenpm-calc --list-jobs | --job NAME [--json] | --copy-database FROM TO [--replace]\n"
    "                   | --report NAME --job JOB [--crop CROP] [--metric] [--pdf FILE] [--qrp FILE]\n"
    "                   | compute FILE [--json | --csv [--metric]] [--save [--replace]]\n"
    "                   | import FILE [--replace] | --export-job NAME FILE\n"
    "                   | batch FIELDS.csv [--metric] [-o OUT.csv]\n"
    "                   | --import-daily FILE --station NAME [--format plain|ncei|ncei-metric]\n"
    "                     [--wind-height M] [--coastal] [--replace]\n"
    "                   | --daily --job JOB [--crop CROP] [--year YEAR] [--json | --csv] | --help | --version";

int Usage()
{
    Err(QString::fromLatin1(kUsage));
    return 1;
}

int Help()
{
    Out(QStringLiteral(
        "quenpm-calc: computes and reports saved jobs of the Quenpm database without a window.\n"
        "\n"
        "  quenpm-calc --list-jobs             names of the saved jobs\n"
        "  quenpm-calc --job NAME [--json]     computes every crop of the job, as a table or as JSON\n"
        "  quenpm-calc --report NAME --job JOB [--crop CROP] [--metric] [--pdf FILE] [--qrp FILE]\n"
        "                                      prints a report of the job: crop-summary, crop-detail,\n"
        "                                      job-summary, clim-detail, graph, bar, farm-water\n"
        "                                      (the farm's monthly water and system capacity, every crop\n"
        "                                      with its saved area and efficiencies) or daily (the crop's\n"
        "                                      daily soil-water balance; --year YEAR: the season shown)\n"
        "  quenpm-calc --copy-database FROM TO [--replace]\n"
        "                                      copies every table from one database to another\n"
        "                                      (file or postgresql:// server); a target holding\n"
        "                                      rows is refused unless --replace\n"
        "  quenpm-calc compute FILE [--json | --csv [--metric]] [--save [--replace]]\n"
        "                                      computes the job of a job file (FILE, or - for standard\n"
        "                                      input) as the windows would make it, without saving it;\n"
        "                                      prints it as --job --json does, or as CSV (one row per\n"
        "                                      crop and month; --metric: cm and mm/day); --save also\n"
        "                                      stores it as a saved job (a name already saved is refused\n"
        "                                      unless --replace)\n"
        "  quenpm-calc import FILE [--replace] stores the job of a job file as a saved job\n"
        "  quenpm-calc --export-job NAME FILE  writes the saved job NAME as a job file (- for standard\n"
        "                                      output); import gives back the same saved job\n"
        "  quenpm-calc batch FIELDS.csv [--metric] [-o OUT.csv]\n"
        "                                      computes one field per row of a CSV file (- for standard\n"
        "                                      input; columns id, latitude and longitude or station, crop,\n"
        "                                      and any of elevation, etMethod and the crop inputs of a job\n"
        "                                      file); writes one CSV row per field (to OUT.csv or standard\n"
        "                                      output): station, distance, elevation difference, method,\n"
        "                                      seasonal crop ET, effective precipitation and net irrigation\n"
        "                                      requirement (normal and dry year), monthly net requirement;\n"
        "                                      a field that cannot be computed gets the reason; nothing\n"
        "                                      is saved\n"
        "  quenpm-calc --import-daily FILE --station NAME [--format plain|ncei|ncei-metric]\n"
        "              [--wind-height M] [--coastal] [--replace]\n"
        "                                      imports a station's daily weather (plain daily CSV or NCEI\n"
        "                                      Daily Summaries); refused rows are listed, the rest stored;\n"
        "                                      earlier daily weather of the station is replaced only with\n"
        "                                      --replace\n"
        "  quenpm-calc --daily --job JOB [--crop CROP] [--year YEAR] [--json | --csv]\n"
        "                                      the FAO-56 daily soil-water balance of a crop over every year\n"
        "                                      of the station's daily weather: 50/80/90 % net irrigation and\n"
        "                                      number of irrigations beside the monthly method, and the\n"
        "                                      schedule of YEAR (default the last complete season); --csv\n"
        "                                      the daily table of YEAR\n"
        "  quenpm-calc --help                  this text\n"
        "  quenpm-calc --version               the version\n"
        "\n"
        "A job file is a JSON object: the job's fields, its station (\"station\": a name, or\n"
        "{\"latitude\", \"longitude\"} in decimal degrees for the nearest station that supports the\n"
        "job's method) and its crops (\"crop\": the crop record's name; dates \"month/day\"; inputs\n"
        "left out are seeded from the crop record and the local and system defaults as \"Add New\n"
        "Crop\" seeds them). Its schema is /usr/share/quenpm/quenpm-job.schema.json (installed\n"
        "by the package; data/quenpm-job.schema.json of the source tree).\n"
        "\n"
        "The database is the one of the alias Quenpm: $QUENPM_DB, else the \"Database\" line of\n"
        "%1, else %2.\n"
        "It is only read, but by --save and import (which create it when there is none),\n"
        "--import-daily (which writes the station's daily weather) and --copy-database (which\n"
        "writes its target only).\n"
        "Exit status: 0 done, 1 usage, 2 no database, 3 damaged or unreadable database,\n"
        "4 no such job, 5 no such crop or report, 6 a file could not be written,\n"
        "7 the job file cannot be read, is malformed or is refused (the message names the file,\n"
        "the JSON path and the field; nothing is saved), 8 a saved job has the name already\n"
        "(nothing is saved), 9 one or more fields of a batch could not be computed (each of their\n"
        "rows names the line, the column and the reason; the other fields are computed),\n"
        "10 no daily balance or daily import (no daily weather for the station, a soil or a crop\n"
        "the balance has no values for, a file or station refused, daily weather there already without\n"
        "--replace; the message says which),\n"
        "11 the saved job's farm values cannot be used (each problem names its field).\n")
            .arg(quen::Database::settingsFile(), QStringLiteral("<data folder>/Quenpm/Quenpm.sqlite")));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (quen::output::wantsReport(argc, argv))
        return quen::output::reportMain(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quenpm"));

    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h")))
        return Help();
    if (args.size() == 1 && args[0] == QLatin1String("--version")) {
        Out(QStringLiteral("quenpm-calc " QUENPM_VERSION "\n"));
        return 0;
    }
    if (!args.isEmpty() && args[0] == QLatin1String("compute"))
        return quen::calc::ComputeCommand(args.mid(1));
    if (!args.isEmpty() && args[0] == QLatin1String("batch"))
        return quen::calc::BatchCommand(args.mid(1));
    if (!args.isEmpty() && args[0] == QLatin1String("import"))
        return quen::calc::ImportCommand(args.mid(1));
    if (!args.isEmpty() && args[0] == QLatin1String("--export-job"))
        return quen::calc::ExportCommand(args.mid(1));
    if (quen::calc::WantsImportDaily(args))
        return quen::calc::ImportDailyCommand(args);
    if (quen::calc::WantsDaily(args))
        return quen::calc::DailyCommand(args);
    if (!args.isEmpty() && args[0] == QLatin1String("--copy-database")) {
        if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && args[3] != QLatin1String("--replace")))
            return Usage();
        try {
            quen::Database::copyDatabase(args[1], args[2], args.size() == 4);
        } catch (const quen::DbError& e) {
            Err(e.message());
            return 2;
        }
        Out(QStringLiteral("database copied\n"));
        return 0;
    }
    bool list = false, json = false;
    QString job;
    bool haveJob = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--list-jobs")) {
            list = true;
        } else if (a == QLatin1String("--json")) {
            json = true;
        } else if (a == QLatin1String("--job")) {
            if (i + 1 >= args.size())
                return Usage();
            job = args[++i];
            haveJob = true;
        } else {
            return Usage();
        }
    }
    if (list == haveJob)
        return Usage();

    QString path;
    try {
        path = quen::Database::resolveAlias();
        if (!quen::Database::exists(path)) {
            Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file or server)")
                    .arg(quen::Database::shownLocation(path)));
            return 2;
        }
    } catch (const quen::DbError& e) {
        Err(e.message());
        return 2;
    }

    try {
        quen::Database::openReadOnly(path);
        if (list) {
            for (const QString& name : quen::calc::ListJobs())
                Out(name + QLatin1Char('\n'));
            quen::Database::close();
            return 0;
        }
        quen::CropRunContext ctx;
        if (!quen::calc::LoadJob(job, ctx)) {
            quen::Database::close();
            Err(QStringLiteral("no saved job named \"%1\" in %2").arg(job, quen::Database::shownLocation(path)));
            return 4;
        }
        const QList<quen::calc::CropResult> crops = quen::calc::ComputeJob(ctx);
        // The saved farm values are read while the database is open.
        const quen::calc::CalcFarm farm = json ? quen::calc::SavedJobFarm(job, crops) : quen::calc::CalcFarm{};
        quen::Database::close();
        Out(json ? quen::calc::JobJson(job, crops, farm) : quen::calc::JobText(job, crops));
        std::fflush(stdout);
    } catch (const quen::DbError& e) {
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(quen::Database::shownLocation(path), e.message()));
        return 3;
    } catch (const std::exception& e) {
        Err(QStringLiteral("the database %1 could not be read: %2").arg(quen::Database::shownLocation(path), QString::fromLocal8Bit(e.what())));
        return 3;
    }
    return 0;
}
