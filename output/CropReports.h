// The single-crop reports of the main program, over the computation context
// as the last ComputeCrop left it:
//   "Crop Data Details"  TFrmQRCropDetail / TFrmQRCropDetailM - the monthly
//                        intermediate values (temperature, precipitation,
//                        effective precipitation, carry-over, ETo, Kc, ETc);
//                        the report users send with problem reports (QRP);
//   "Crop Data Summary"  TFrmQRJobCrop / TFrmQRJobCropM - the printed form of
//                        the output dialog, on one page.
// The metric variants print the metric twins ComputeCrop left. Each report is built once and prepared on demand; the prepare
// functions below give the pages without a window (tests, quenpm-calc).
#pragma once

#include <QDateTime>
#include <QList>
#include <array>
#include <functional>
#include <memory>

#include "CsvExport.h"
#include "PreparedReport.h"

class QWidget;

namespace quen {

struct CropRunContext;

namespace report {
class Report;
class Label;
}

class TFrmQRCropDetail {
public:
    explicit TFrmQRCropDetail(CropRunContext& ctx) : TFrmQRCropDetail(ctx, false) {}
    virtual ~TFrmQRCropDetail();

    report::Report& report() { return *m_report; }
    bool isMetric() const { return m_metric; }
    report::PreparedReport prepare();
    // The monthly table as "Export CSV" writes it (after prepare).
    QList<report::CsvTable> csvTables() const;

protected:
    TFrmQRCropDetail(CropRunContext& ctx, bool metric);

private:
    struct Parts;
    void fill();
    CropRunContext& m_ctx;
    bool m_metric;
    std::unique_ptr<report::Report> m_report;
    std::unique_ptr<Parts> m_p;
};

class TFrmQRCropDetailM : public TFrmQRCropDetail {
public:
    explicit TFrmQRCropDetailM(CropRunContext& ctx) : TFrmQRCropDetail(ctx, true) {}
};

class TFrmQRJobCrop {
public:
    explicit TFrmQRJobCrop(CropRunContext& ctx) : TFrmQRJobCrop(ctx, false) {}
    virtual ~TFrmQRJobCrop();

    report::Report& report() { return *m_report; }
    bool isMetric() const { return m_metric; }
    // elevationCorrection: "Elevation Correction" of "SystemDefaults.db",
    // read when the report prepares unless set here (tests).
    void setElevationCorrection(bool on) { m_elevOverride = on ? 1 : 0; }
    report::PreparedReport prepare();
    QList<report::CsvTable> csvTables() const;

protected:
    TFrmQRJobCrop(CropRunContext& ctx, bool metric);

private:
    struct Parts;
    void fill();
    CropRunContext& m_ctx;
    bool m_metric;
    int m_elevOverride = -1;
    std::unique_ptr<report::Report> m_report;
    std::unique_ptr<Parts> m_p;
};

class TFrmQRJobCropM : public TFrmQRJobCrop {
public:
    explicit TFrmQRJobCropM(CropRunContext& ctx) : TFrmQRJobCrop(ctx, true) {}
};

namespace output {

// "Elevation Correction" of "SystemDefaults.db" (false when the table has no row).
bool elevationCorrectionOn();

// One month's row of the crop summary table, columns 1..7 (0 unused): monthly
// ET, effective precipitation and net irrigation requirement of the dry (80 %)
// and normal (50 %) year, daily and peak daily ETc; metric: the cm and mm twins.
std::array<double, 8> summaryMonthValues(const CropRunContext& c, int m, bool metric);

// The reports prepared without a window; printTime fixes the date of the
// page footer (default: now).
report::PreparedReport prepareCropDetailReport(CropRunContext& ctx, bool metric,
                                               const QDateTime& printTime = QDateTime());
report::PreparedReport prepareJobCropReport(CropRunContext& ctx, bool metric,
                                            const QDateTime& printTime = QDateTime());

// Where the single-crop report previews go: the preview window (default),
// or a test's hook that receives the prepared pages and CSV tables instead.
using PreviewHook = std::function<void(const report::PreparedReport&, const QList<report::CsvTable>&)>;
PreviewHook setPreviewHook(PreviewHook hook);   // returns the previous hook
// Shows prepared pages with their CSV tables in the preview window, or hands
// them to the hook when one is set (the previews of the single-crop and the
// farm water reports).
void showPreparedReport(QWidget* parent, const report::PreparedReport& pages, const QList<report::CsvTable>& csv);

// Shows prepared pages in the preview window, or hands them to the preview
// hook when one is set.
void showPreparedReport(QWidget* parent, const report::PreparedReport& pages, const QList<report::CsvTable>& csv);

// The pages as text, page by page, one line per printed line (texts of the
// same height joined left to right with " | "): what the golden files hold.
QString preparedText(const report::PreparedReport& rep);

} // namespace output
} // namespace quen
