// The bar chart window "BarChart" and the bar report "Monthly Crop Water
// Requirements" (TFrmQRBar): for the normal year and the dry year, stacked
// monthly bars of carry-over moisture used, effective precipitation and
// irrigation required.
#pragma once

#include <QDialog>
#include <memory>

#include "PreparedReport.h"

class QChartView;
class QPushButton;

namespace quen {

struct CropRunContext;
class TTable;

namespace report {
class Report;
}

class TBarChart : public QDialog {
    Q_OBJECT
public:
    TBarChart(CropRunContext& ctx, bool metric, QWidget* parent = nullptr);
    ~TBarChart() override;

    QChartView* NormChart = nullptr;   // "Normal Year (50%chance)"
    QChartView* DryChart = nullptr;    // "Dry Year (80% chance)"
    QPushButton* WRReportBtn = nullptr;   // "WR Report"
    QPushButton* CloseBtn = nullptr;

    void FormActivate();

public slots:
    void WRReportBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    CropRunContext& m_ctx;
    bool m_metric;
    bool m_drawn = false;
};

class TFrmQRBar {
public:
    // The detail band prints once per row of the one-row "Report.db"; when
    // that table cannot be read it prints once all the same.
    TFrmQRBar(CropRunContext& ctx, bool metric);
    ~TFrmQRBar();

    report::Report& report() { return *m_report; }
    report::PreparedReport prepare();

private:
    std::unique_ptr<TTable> m_reportTable;
    std::unique_ptr<report::Report> m_report;
};

// Without a window (metric: refreshes the metric twins first).
report::PreparedReport prepareBarReport(CropRunContext& ctx, bool metric);

} // namespace quen
