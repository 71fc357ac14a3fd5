// Medians of: each single-crop report prepared and written as PDF (target
// under 150 ms), and the output dialog built and shown (target under 20 ms).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "CropReports.h"
#include "Outputdlg.h"
#include "OutputFixture.h"
#include "Render.h"

namespace {

double medianMs(int runs, const std::function<void()>& f)
{
    std::vector<double> t;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        f();
        t.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(t.begin(), t.end());
    return t[t.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quen::test::OutputDatabase db;
    db.compute(quen::test::CropInputs{});
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("r.pdf"));
    const int runs = 21;
    for (bool metric : {false, true}) {
        const double detail = medianMs(runs, [&] {
            quen::report::writePdf(quen::output::prepareCropDetailReport(db.ctx, metric), pdf);
        });
        const double summary = medianMs(runs, [&] {
            quen::report::writePdf(quen::output::prepareJobCropReport(db.ctx, metric), pdf);
        });
        std::printf("crop detail report%s, prepared + PDF: %.1f ms (target < 150)\n", metric ? " (metric)" : "", detail);
        std::printf("crop data summary%s, prepared + PDF: %.1f ms (target < 150)\n", metric ? " (metric)" : "", summary);
    }
    const double dialog = medianMs(runs, [&] {
        quen::TOutputdlg dlg(db.ctx, db.curves);
        dlg.show();
        QApplication::processEvents();
    });
    std::printf("output dialog built and shown: %.1f ms (target < 20)\n", dialog);
    return 0;
}
