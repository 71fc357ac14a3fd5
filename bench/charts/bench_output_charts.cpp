// bench_output_charts [folder]: a job of each curve kind on the shipped
// stations; every report of the crop outputs prepared and written as PDF
// (median of 5 runs, ms), the curves and bar windows shown with both charts.
// The PDFs and window images are left in the folder (default: a temp dir).
#include <QApplication>
#include <QChartView>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BarChart.h"
#include "ChartsFixture.h"
#include "ClimDetailReport.h"
#include "CurvesForm.h"
#include "Database.h"
#include "JobSummaryReport.h"
#include "Render.h"
#include "Table.h"

using namespace quen;

namespace {

double Median(const std::function<void()>& f, int runs = 5)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer e;
        e.start();
        f();
        t.push_back(e.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir tmp;
    qputenv("QUENPM_DB", tmp.filePath(QStringLiteral("bench.sqlite")).toUtf8());
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : tmp.path();
    QDir().mkpath(out);
    Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + QStringLiteral("/tables"));
    Database::open();
    QDir::setCurrent(tmp.path());

    struct Case {
        const char* name;
        test::Job job;
    };
    const Case cases[] = {
        {"basal", {QStringLiteral("MARICOPA AZMET"), 2,
                   {{QStringLiteral("Corn, grain"), 0}, {QStringLiteral("Orchard (apples, cherries, pears)"), 1},
                    {QStringLiteral("Alfalfa hay"), 2, 0, 0, 0, 0, 1.5, 0.5}}}},
        {"fao56-yearend", {QStringLiteral("MARICOPA AZMET"), 3,
                           {{QStringLiteral("Sweet corn"), 5}, {QStringLiteral("Winter wheat"), 5, 10, 15, 3, 31}}}},
        {"tr21", {QStringLiteral("KETCHUM RS"), 1, {{QStringLiteral("Potatoes"), 3}}}},
    };
    std::printf("%-14s %-22s %8s\n", "job", "report / window", "ms");
    std::printf("(report: prepared and written as PDF; window: shown with both charts)\n");
    for (const Case& c : cases) {
        CropRunContext ctx;
        CropCurveState curves;
        TTable wk(QStringLiteral("QuenWkCrop.DB"));
        TTable etkc(QStringLiteral("ETKc.db"));
        test::RunJob(ctx, curves, wk, c.job);
        // BENCH_SHOW=curves or bar: show that window of the first job modally (to look at it)
        const QString show = qEnvironmentVariable("BENCH_SHOW");
        if (show == QLatin1String("curves")) {
            TCurvesForm form(ctx, curves, &etkc, false);
            return form.exec();
        }
        if (show == QLatin1String("bar")) {
            TBarChart form(ctx, false);
            return form.exec();
        }
        auto pdf = [&](const QString& what, const std::function<report::PreparedReport()>& make) {
            const QString path = QDir(out).filePath(QStringLiteral("%1-%2.pdf").arg(QLatin1String(c.name), what));
            const double ms = Median([&] { report::writePdf(make(), path); });
            std::printf("%-14s %-22s %8.1f\n", c.name, qPrintable(what), ms);
        };
        for (bool metric : {false, true}) {
            const QString u = metric ? QStringLiteral("metric") : QStringLiteral("english");
            pdf(QStringLiteral("jobsummary-") + u, [&] { return prepareJobSummaryReport(ctx, wk, metric); });
            pdf(QStringLiteral("graph-") + u, [&] {
                TFrmQRGraph rep(ctx, curves, etkc, metric);
                return rep.prepare();
            });
            pdf(QStringLiteral("bar-") + u, [&] { return prepareBarReport(ctx, metric); });
        }
        pdf(QStringLiteral("climdetail"), [&] { return prepareClimDetailReport(ctx); });

        for (bool metric : {false, true}) {
            const QString u = metric ? QStringLiteral("metric") : QStringLiteral("english");
            const double ms = Median([&] {
                TCurvesForm form(ctx, curves, &etkc, metric);
                form.show();
                QApplication::processEvents();
                form.close();
            });
            std::printf("%-14s %-22s %8.1f\n", c.name, qPrintable(QStringLiteral("curves window ") + u), ms);
            TCurvesForm form(ctx, curves, &etkc, metric);
            form.show();
            QApplication::processEvents();
            form.grab().save(QDir(out).filePath(QStringLiteral("%1-curves-%2.png").arg(QLatin1String(c.name), u)));
            form.close();
            TBarChart bar(ctx, metric);
            bar.show();
            QApplication::processEvents();
            bar.grab().save(QDir(out).filePath(QStringLiteral("%1-bar-%2.png").arg(QLatin1String(c.name), u)));
            bar.close();
        }
    }
    Database::close();
    return 0;
}
