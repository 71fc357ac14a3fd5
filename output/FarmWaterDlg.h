// The "Farm Water" window of the open job: its conveyance efficiency,
// operating hours and water salinity as editable fields, and from them and
// each working crop's farm values the per-crop table, the farm's monthly
// totals, the system capacity and stacked bars of the monthly diversion by
// crop. The figures come from job::ComputeWorkingFarm (every working crop
// computed again) and the texts from FarmWaterText, as the report prints them.
#pragma once

#include <QDialog>
#include <QStringList>

#include "FarmWater.h"

class QChartView;
class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace quen {

struct CropRunContext;
struct CropCurveState;
struct JobState;
class TNumEdit;
class TTable;

class TFarmWaterDlg : public QDialog {
    Q_OBJECT
public:
    // wk: the working crops ("QuenWkCrop.DB"); metric: English or metric
    // figures (MetricUnits). Computes once when built.
    TFarmWaterDlg(CropRunContext& ctx, CropCurveState& curves, JobState& job, TTable& wk, bool metric,
                  QWidget* parent = nullptr);
    ~TFarmWaterDlg() override;

    TNumEdit* ConveyEffEdit = nullptr;   // "Conveyance efficiency (Ec)"
    TNumEdit* HoursEdit = nullptr;       // "Operating hours per day"
    TNumEdit* ECwEdit = nullptr;         // "Irrigation water salinity (ECw), dS/m"
    QTableWidget* CropGrid = nullptr;    // one row per working crop
    QTableWidget* MonthGrid = nullptr;   // the farm's monthly totals
    QLabel* CapacityLbl = nullptr;       // system capacity lines, or why not available
    QLabel* ProblemLbl = nullptr;        // inputs that cannot be used
    QChartView* DemandChart = nullptr;   // stacked monthly diversion by crop
    QCheckBox* DryYearBox = nullptr;     // "Dry year (80% chance)"
    QPushButton* ReportBtn = nullptr;    // "Report"
    QPushButton* CloseBtn = nullptr;     // "Close"
    QPushButton* HelpBtn = nullptr;      // "&Help"

    // The figures shown.
    const FarmWater& water() const { return m_water; }
    const QStringList& problems() const { return m_problems; }

    // Computes the farm again from the job's values and the working crops.
    void Recompute();

public slots:
    void FarmEditCommitted();   // one of the three fields took a new value
    void DryYearBoxClick();
    void ReportBtnClick();
    void HelpBtnClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void fill();
    void drawChart();

    CropRunContext& m_ctx;
    CropCurveState& m_curves;
    JobState& m_job;
    TTable& m_wk;
    bool m_metric;
    FarmWater m_water;
    QStringList m_problems;
};

} // namespace quen
