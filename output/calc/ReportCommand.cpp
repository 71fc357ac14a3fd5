#include "ReportCommand.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstring>

#include "CalcJob.h"
#include "CropReports.h"
#include "Database.h"
#include "QrpFile.h"
#include "Render.h"
#include "Table.h"

namespace quen::output {

namespace {

void Err(const QString& text) { std::fprintf(stderr, "quenpm-calc: %s\n", qPrintable(text)); }

int Usage()
{
    Err(QStringLiteral("usage: quenpm-calc --report crop-summary|crop-detail --job NAME [--crop CROP] [--metric] "
                       "[--pdf FILE] [--qrp FILE]"));
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
    QString report, job, crop, pdf, qrp;
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
        else if (a == QLatin1String("--metric")) metric = true;
        else ok = false;
        if (!ok)
            return Usage();
    }
    if (report.isEmpty() || job.isEmpty() || (pdf.isEmpty() && qrp.isEmpty()))
        return Usage();
    if (report != QLatin1String("crop-summary") && report != QLatin1String("crop-detail")) {
        Err(QStringLiteral("the report \"%1\" is not available (crop-summary, crop-detail)").arg(report));
        return 5;
    }

    QString path;
    try {
        path = Database::resolveAlias();
    } catch (const DbError& e) {
        Err(e.message());
        return 2;
    }
    if (!QFileInfo(path).isFile()) {
        Err(QStringLiteral("no database at %1 (set QUENPM_DB to the database file)").arg(path));
        return 2;
    }

    report::PreparedReport pages;
    try {
        Database::open(path);
        CropRunContext ctx;
        if (!calc::LoadJob(job, ctx)) {
            Database::close();
            Err(QStringLiteral("no saved job named \"%1\" in %2").arg(job, path));
            return 4;
        }
        QList<calc::CropResult> crops = calc::ComputeJob(ctx);
        calc::CropResult* chosen = nullptr;
        for (calc::CropResult& r : crops) {
            if (crop.isEmpty() || r.ctx.CropName == crop) {
                chosen = &r;
                break;
            }
        }
        if (!chosen) {
            Database::close();
            Err(crop.isEmpty() ? QStringLiteral("the job \"%1\" has no crops").arg(job)
                               : QStringLiteral("the job \"%1\" has no crop named \"%2\"").arg(job, crop));
            return 5;
        }
        for (const QString& m : chosen->messages)
            Err(chosen->ctx.CropName + QStringLiteral(": ") + m);
        pages = report == QLatin1String("crop-summary") ? prepareJobCropReport(chosen->ctx, metric)
                                                        : prepareCropDetailReport(chosen->ctx, metric);
        Database::close();
    } catch (const DbError& e) {
        Err(QStringLiteral("the database %1 is damaged or unreadable: %2").arg(path, e.message()));
        return 3;
    } catch (const std::exception& e) {
        Err(QStringLiteral("the database %1 could not be read: %2").arg(path, QString::fromLocal8Bit(e.what())));
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
