// The curves chart window "Kc and ET Curves" (ETChart, KcChart) and its graph
// report "Crop ET and Kc Curves" (TFrmQRGraph), which draws the same charts
// from the daily values of "ETKc.db" (the crop run stores them; neither writes).
#pragma once

#include <QDialog>
#include <memory>

#include "CurvesData.h"
#include "PreparedReport.h"

class QChartView;
class QPushButton;

namespace quen {

class TTable;

namespace report {
class Report;
}

class TCurvesForm : public QDialog {
    Q_OBJECT
public:
    // etkc: the "ETKc.db" handle (opened when closed).
    TCurvesForm(CropRunContext& ctx, CropCurveState& curves, TTable* etkc, bool metric, QWidget* parent = nullptr);
    ~TCurvesForm() override;

    QChartView* ETChart = nullptr;
    QChartView* KcChart = nullptr;
    QPushButton* GraphReportBtn = nullptr;   // "ET Kc Graph Report"
    QPushButton* CloseBtn = nullptr;

    // Draws the charts (once per window).
    void FormActivate();
    const CurvesData& curvesData() const { return m_data; }

public slots:
    void GraphReportBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    CropRunContext& m_ctx;
    CropCurveState& m_curves;
    TTable* m_etkc;
    bool m_metric;
    bool m_drawn = false;
    CurvesData m_data;
};

class TFrmQRGraph {
public:
    // etkc: "ETKc.db" as the crop run filled it (opened and closed again when closed).
    TFrmQRGraph(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric);
    ~TFrmQRGraph();

    report::Report& report() { return *m_report; }
    report::PreparedReport prepare();
    const CurvesData& curvesData() const { return m_data; }

private:
    std::unique_ptr<report::Report> m_report;
    CurvesData m_data;
};

// Without a window: the window's drawing pass over "ETKc.db", and the graph
// report. A closed handle is opened and closed again.
CurvesData drawCurves(CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric);
report::PreparedReport prepareGraphReport(CropRunContext& ctx, const CropCurveState& curves, TTable& etkc,
                                          bool metric);

} // namespace quen
