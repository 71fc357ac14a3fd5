// The job summary report "Normal Year Quen": the station's monthly climate
// under a header, then one block per working crop of the job with its
// monthly and seasonal net irrigation requirement of the normal year, its
// peak daily requirement and its inputs. TFrmQRSumRpt prints inches,
// TFrmQRSumRptM centimetres (requirements) and millimetres (peaks).
#pragma once

#include <QDateTime>
#include <memory>

#include "PreparedReport.h"

class QWidget;

namespace quen {

struct CropRunContext;
class TTable;

namespace report {
class Report;
class Label;
}

class TFrmQRSumRpt {
public:
    // wkCrop: the working-crop handle ("QuenWkCrop.DB"), open while the
    // report prepares; its rows in their current order give the crop blocks.
    TFrmQRSumRpt(const CropRunContext& ctx, TTable* wkCrop);
    virtual ~TFrmQRSumRpt();

    report::Report& report() { return *m_report; }
    report::PreparedReport prepare();
    bool isMetric() const { return m_metric; }

protected:
    TFrmQRSumRpt(const CropRunContext& ctx, TTable* wkCrop, bool metric);

private:
    void build();

    const CropRunContext& m_ctx;
    bool m_metric;
    std::unique_ptr<report::Report> m_report;
};

// The metric variant: the context's metric twins and the records' values
// converted to cm and mm.
class TFrmQRSumRptM : public TFrmQRSumRpt {
public:
    TFrmQRSumRptM(const CropRunContext& ctx, TTable* wkCrop) : TFrmQRSumRpt(ctx, wkCrop, true) {}
};

// Prepares the job summary without a window, in the variant metric selects
// (the metric one refreshes the context's metric twins first). The handle is
// opened for the report when closed (and closed again), moved to its first
// record, and left on the crop it stood on.
// printTime: the date printed in the page footer (default: now).
report::PreparedReport prepareJobSummaryReport(CropRunContext& ctx, TTable& wkCrop, bool metric,
                                               const QDateTime& printTime = QDateTime());

} // namespace quen
