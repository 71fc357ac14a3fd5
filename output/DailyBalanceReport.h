// "Daily Soil-Water Balance" (TFrmQRDailyBalance, metric TFrmQRDailyBalanceM):
// the printed form of the output dialog's "Daily balance" page. Letter
// portrait, 0.5 inch margins, the job and crop header of the chart reports;
// page 1 the design values over the years beside the monthly method's
// normal- and dry-year figures, the seasons of the record, the weather
// record with the values supplied and the notes on the crop inputs; then the
// detail year's irrigation schedule and its chart; then the daily table.
// English: depths in inches; metric: mm. "Export CSV" writes the tables of
// DailyBalanceText.h.
#pragma once

#include <QDateTime>
#include <QList>
#include <memory>

#include "CsvExport.h"
#include "DailyRun.h"
#include "PreparedReport.h"

class QWidget;

namespace quen {

struct CropRunContext;

namespace report {
class Report;
}

class TFrmQRDailyBalance {
public:
    TFrmQRDailyBalance(const CropRunContext& ctx, const job::DailyRun& run) : TFrmQRDailyBalance(ctx, run, false) {}
    virtual ~TFrmQRDailyBalance();

    report::Report& report() { return *m_report; }
    bool isMetric() const { return m_metric; }
    report::PreparedReport prepare();
    QList<report::CsvTable> csvTables() const;

protected:
    TFrmQRDailyBalance(const CropRunContext& ctx, const job::DailyRun& run, bool metric);

private:
    struct Parts;
    const job::DailyRun& m_run;
    bool m_metric;
    std::unique_ptr<report::Report> m_report;
    std::unique_ptr<Parts> m_p;
};

class TFrmQRDailyBalanceM : public TFrmQRDailyBalance {
public:
    TFrmQRDailyBalanceM(const CropRunContext& ctx, const job::DailyRun& run) : TFrmQRDailyBalance(ctx, run, true) {}
};

namespace output {

// The report prepared without a window; printTime fixes the footer's date.
report::PreparedReport prepareDailyBalanceReport(const CropRunContext& ctx, const job::DailyRun& run, bool metric,
                                                 const QDateTime& printTime = QDateTime());

// Previews the report (through the preview hook of CropReports.h when set).
void previewDailyBalanceReport(QWidget* parent, const CropRunContext& ctx, const job::DailyRun& run, bool metric);

} // namespace output
} // namespace quen
