// Time to prepare a 50-page list report and write it as PDF (median of 7).
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "PreparedReport.h"
#include "Render.h"
#include "Report.h"

using namespace quen::report;

namespace {

void declare(Report& rep, MemoryDataSet& rows)
{
    rep.setDataSet(&rows);
    Band& ph = rep.pageHeader();
    ph.setHeight(40);
    ph.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen (Quen) Program"), FontSpec(12, true), Qt::AlignHCenter);
    ph.addLabel(QRectF(0, 18, kPrintWidth, 0), QStringLiteral("List of Available Jobs"), FontSpec(12, true), Qt::AlignHCenter);
    Band& d = rep.detail();
    d.setHeight(58);
    d.addHLine(0, 2, kPrintWidth);
    d.addLabel(0, 6, QStringLiteral("Job:"));
    d.addField(QRectF(70, 6, 330, 0), QStringLiteral("JobName"), FontSpec(10, true))->setWordWrap(true);
    d.addField(QRectF(420, 6, 120, 0), QStringLiteral("Job Date"));
    d.addLabel(0, 20, QStringLiteral("County:"));
    d.addField(70, 20, QStringLiteral("County"));
    d.addLabel(0, 32, QStringLiteral("Location:"));
    d.addField(70, 32, QStringLiteral("Location"));
    d.addLabel(0, 44, QStringLiteral("Weather Station:"));
    d.addField(100, 44, QStringLiteral("Weather Station"));
    d.addField(330, 44, QStringLiteral("StationNo"));
    Band& pf = rep.pageFooter();
    pf.setHeight(16);
    pf.addSystemValue(QRectF(0, 2, 200, 0), SystemValue::Date, QStringLiteral("Date: "));
    pf.addSystemValue(QRectF(340, 2, 200, 0), SystemValue::PageNumber, QStringLiteral("Page: "), {}, Qt::AlignRight);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    MemoryDataSet rows({QStringLiteral("JobName"), QStringLiteral("Job Date"), QStringLiteral("County"),
                        QStringLiteral("Location"), QStringLiteral("Weather Station"), QStringLiteral("StationNo")});
    // 11 rows fit a page: 550 rows give 50 pages.
    for (int i = 0; i < 550; ++i)
        rows.addRow({QStringLiteral("Job %1 north pivot and east field").arg(i + 1), QStringLiteral("05/14/26"),
                     QStringLiteral("Larimer, CO"), QStringLiteral("Section %1, T7N R68W").arg(i % 36 + 1),
                     QStringLiteral("FORT COLLINS"), QStringLiteral("053005")});

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.pdf"));
    std::vector<double> prepMs, pdfMs, totalMs;
    int pages = 0;
    for (int run = 0; run < 7; ++run) {
        QElapsedTimer t;
        t.start();
        Report rep(QStringLiteral("List of Available Jobs"));
        declare(rep, rows);
        const PreparedReport pr = rep.prepare();
        const double a = t.nsecsElapsed() / 1e6;
        if (!writePdf(pr, path)) {
            std::fprintf(stderr, "PDF could not be written\n");
            return 1;
        }
        const double b = t.nsecsElapsed() / 1e6;
        pages = pr.pageCount();
        prepMs.push_back(a);
        pdfMs.push_back(b - a);
        totalMs.push_back(b);
    }
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("list report: %d pages, %lld bytes of PDF\n", pages, (long long)QFileInfo(path).size());
    std::printf("prepare          median %8.1f ms\n", median(prepMs));
    std::printf("write PDF        median %8.1f ms\n", median(pdfMs));
    std::printf("prepare + PDF    median %8.1f ms  (target < 1000 ms)\n", median(totalMs));
    return 0;
}
