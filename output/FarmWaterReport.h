// The farm's water report "Farm Water Requirement" (TFrmQRFarmWater, metric
// variant TFrmQRFarmWaterM): the job header as the job summary prints it,
// one block per crop of the job (area, Ea, LR and the monthly gross depth
// and field volume of the normal and the dry year, or why the crop has no
// figures), the farm's monthly field and diversion totals, the system
// capacity with its peak month, the sources of the formulas, and stacked
// bars of the monthly diversion by crop. Letter portrait, 0.5 in margins.
// English: inches, acre-feet, gpm; metric: mm, m3, l/s.
#pragma once

#include <QDateTime>
#include <QList>
#include <memory>

#include "CsvExport.h"
#include "FarmWater.h"
#include "PreparedReport.h"

class QChart;
class QWidget;

namespace quen {

struct CropRunContext;

namespace report {
class Report;
class MemoryDataSet;
}

class TFrmQRFarmWater {
public:
    TFrmQRFarmWater(const CropRunContext& ctx, const FarmWater& water) : TFrmQRFarmWater(ctx, water, false) {}
    virtual ~TFrmQRFarmWater();

    report::Report& report() { return *m_report; }
    bool isMetric() const { return m_metric; }
    report::PreparedReport prepare();
    QList<report::CsvTable> csvTables() const;

protected:
    TFrmQRFarmWater(const CropRunContext& ctx, const FarmWater& water, bool metric);

private:
    void build();

    const CropRunContext& m_ctx;
    FarmWater m_water;
    bool m_metric;
    std::unique_ptr<report::MemoryDataSet> m_rows;
    std::unique_ptr<report::Report> m_report;
};

class TFrmQRFarmWaterM : public TFrmQRFarmWater {
public:
    TFrmQRFarmWaterM(const CropRunContext& ctx, const FarmWater& water) : TFrmQRFarmWater(ctx, water, true) {}
};

// The report without a window; printTime fixes the footer's date.
report::PreparedReport prepareFarmWaterReport(const CropRunContext& ctx, const FarmWater& water, bool metric,
                                              const QDateTime& printTime = QDateTime());

// Stacked bars of the farm's monthly diversion at the source, one bar set per
// crop with figures (its field volume / Ec), normal (50 %) or dry (80 %)
// year; left axis in acre-ft or m3.
void FillFarmDemandChart(QChart* chart, const FarmWater& water, bool metric, bool dryYear, double fontScale = 1.0);

namespace output {
// Previews the report with its CSV tables (through the preview hook of
// CropReports.h when a test has set one).
void previewFarmWaterReport(QWidget* parent, const CropRunContext& ctx, const FarmWater& water, bool metric);
} // namespace output

} // namespace quen
