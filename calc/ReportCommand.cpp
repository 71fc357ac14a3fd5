#include "ReportCommand.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "BarChart.h"
#include "CalcJob.h"
#include "ComputeCrop.h"
#include "ClimDetailReport.h"
#include "CropReports.h"
#include "CurvesForm.h"
#include "DailyBalanceReport.h"
#include "DailyRun.h"
#include "Database.h"
#include "FarmStore.h"
#include "FarmWaterReport.h"
#include "JobStore.h"
#include "JobSummaryReport.h"
#include "MessageService.h"
#include "QrpFile.h"
#include "Render.h"
#include "Table.h"

namespace quen::output {

namespace {

void Err(const QString& text) { std::fprintf(stderr, "quenpm-calc: %s\n", qPrintable(text)); }

const QStringList& ReportNames()
{
    static const QStringList names{QStringLiteral("crop-summary"), QStringLiteral("crop-detail"),
                                   QStringLiteral("job-summary"),  QStringLiteral("clim-detail"),
                                   QStringLiteral("graph"),        QStringLiteral("bar"),
                                   QStringLiteral("farm-water"),  QStringLiteral("daily")};
    return names;
}

int Usage()
{
    Err(QStringLiteral("usage: quenpm-calc --report %1 --job NAME [--crop CROP] [--metric] "
                       "[--year YEAR] [--pdf FILE] [--qrp FILE]")
            .arg(ReportNames().join(QLatin1Char('|'))));
    return 1;
}

} // namespace

bool wantsReport(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--report") == 0)
            return true;
    return false;
}

int reportMain(int argc, char** argv)
{
    // Reports are laid out with the screen fonts but need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quenpm"));

    const QStringList args = app.arguments().mid(1);
    QString report, job, crop, pdf, qrp, yearText;
    bool metric = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString& into) {
            if (i + 1 >= args.size())
                return false;
            into = args[++i];
            return true;
        };
        bool ok = true;
        if (a == QLatin1String("--report")) ok = value(report);
        else if (a == QLatin1String("--job")) ok = value(job);
        else if (a == QLatin1String("--crop")) ok = value(crop);
        else if (a == QLatin1String("--pdf")) ok = value(pdf);
        else if (a == QLatin1String("--qrp")) ok = value(qrp);
        else if (a == QLatin1String("--year")) ok = value(yearText);
        else if (a == QLatin1String("--metric")) metric = true;
        else ok = false;
        if (!ok)
            return Usage();
    }
    if (report.isEmpty() || job.isEmpty() || (pdf.isEmpty() && qrp.isEmpty()))
        return Usage();
    bool yearOk = true;
    const int year = yearText.isEmpty() ? 0 : yearText.toInt(&yearOk);
    if (!yearOk || year < 0)
        return Usage();
    if (!ReportNames().contains(report)) {
        Err(QStringLiteral("the report \"%1\" is not available (%2)").arg(report, ReportNames().join(QStringLiteral(", "))));
        return 5;
    }

    QString path;
    try {
        path = Database::resolveAlias();
        if (!Database::exists(path)) {
            Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file)").arg(Database::shownLocation(path)));
            return 2;
        }
    } catch (const DbError& e) {
        Err(e.message());
        return 2;
    }

    report::PreparedReport pages;
    try {
        Database::openReadOnly(path);   // a report changes no saved table
        struct CloseAfter {
            ~CloseAfter() { Database::close(); }
        } closeAfter;
        CropRunContext ctx;
        if (!calc::LoadJob(job, ctx)) {
            Err(QStringLiteral("no saved job named \"%1\" in %2").arg(job, Database::shownLocation(path)));
            return 4;
        }
        // The main program's fetch: the saved crops into the emptied working
        // table, each computed as it is added. The table keeps them while the
        // report prepares (the job summary reads it) and is emptied after.
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        struct EmptyAfter {
            TTable& wk;
            ~EmptyAfter()
            {
                try {
                    if (wk.isOpen()) {
                        wk.cancel();
                        wk.close();
                    }
                    wk.emptyTable();
                } catch (...) {
                }
            }
        } emptyAfter{wk};
        QList<calc::CropResult> crops;
        CropCurveState state;
        JobState jobState;
        {
            calc::CollectingMessages collect;   // the chosen crop's messages are printed below
            job::FetchCrops(ctx, jobState, state, wk, [&] { crops.append({ctx, {}}); });
        }
        if (report == QLatin1String("farm-water")) {
            // Every crop of the job as the fetch computed it, with the job's
            // saved farm values (crops by their saved place).
            QStringList names, types;
            for (const calc::CropResult& r : crops) {
                names << r.ctx.CropName;
                types << r.ctx.IrrigationType;
            }
            const FarmJobInput farmJob = job::SavedFarmJob(job);
            const std::vector<job::FarmCropValues> values = job::SavedFarmCrops(job, names, types);
            std::vector<FarmCropInput> inputs;
            for (qsizetype i = 0; i < crops.size(); ++i)
                inputs.push_back(job::FarmInputOf(crops.at(i).ctx, values.at(size_t(i))));
            const QStringList problems = FarmInputProblems(farmJob, inputs);
            if (!problems.isEmpty()) {
                for (const QString& p : problems)
                    Err(QStringLiteral("the job \"%1\": %2").arg(job, p));
                return 11;
            }
            pages = prepareFarmWaterReport(ctx, ComputeFarmWater(farmJob, inputs), metric);
        } else {
            qsizetype chosen = -1;
            for (qsizetype i = 0; i < crops.size() && chosen < 0; ++i)
                if (crop.isEmpty() || crops.at(i).ctx.CropName == crop)
                    chosen = i;
            if (chosen < 0) {
                Err(crop.isEmpty() ? QStringLiteral("the job \"%1\" has no crops").arg(job)
                                   : QStringLiteral("the job \"%1\" has no crop named \"%2\"").arg(job, crop));
                return 5;
            }
            // As the report commands of the program: the chosen crop is computed
            // again, so the context and the daily curves ("ETKc.db") are its own
            // and not those of the job's last crop.
            if (!wk.isOpen())
                wk.open();
            ctx.CropName = crops.at(chosen).ctx.CropName;
            wk.locate(QStringLiteral("Crop Name"), ctx.CropName);
            {
                calc::CollectingMessages collect;
                ComputeCrop(ctx, state, wk);
                for (const QString& m : collect.texts)
                    Err(ctx.CropName + QStringLiteral(": ") + m);
            }
            if (report == QLatin1String("crop-summary"))
                pages = prepareJobCropReport(ctx, metric);
            else if (report == QLatin1String("crop-detail"))
                pages = prepareCropDetailReport(ctx, metric);
            else if (report == QLatin1String("clim-detail"))
                pages = prepareClimDetailReport(ctx);
            else if (report == QLatin1String("bar"))
                pages = prepareBarReport(ctx, metric);
            else if (report == QLatin1String("daily")) {
                // The daily soil-water balance of the crop over the station's daily record.
                const job::DailyRun run = job::RunDailyForCrop(ctx, state, wk, year);
                if (!run.ok()) {
                    Err(run.error.isEmpty() ? run.result.error : run.error);
                    return 10;
                }
                pages = prepareDailyBalanceReport(ctx, run, metric);
            }
            else if (report == QLatin1String("graph")) {
                TTable etkc(QStringLiteral("ETKc.db"));
                pages = prepareGraphReport(ctx, state, etkc, metric);
            } else {
                pages = prepareJobSummaryReport(ctx, wk, metric);   // every crop of the job
            }
        }
    } catch (const DbError& e) {
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(Database::shownLocation(path), e.message()));
        return 3;
    } catch (const std::exception& e) {
        Err(QStringLiteral("the database %1 could not be read: %2").arg(Database::shownLocation(path), QString::fromLocal8Bit(e.what())));
        return 3;
    }

    QString error;
    if (!pdf.isEmpty() && !report::writePdf(pages, pdf, &error)) {
        Err(error);
        return 6;
    }
    if (!qrp.isEmpty() && !report::saveQrp(pages, qrp, &error)) {
        Err(error);
        return 6;
    }
    return 0;
}

} // namespace quen::output
