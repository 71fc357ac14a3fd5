// TOutputdlg, "Summary of Current Crop for Current Job": the results of the
// crop computed last - job and station header, the crop's inputs, the
// monthly table of ET, effective precipitation and net irrigation
// requirement for a dry and a normal year, the season totals and three
// notes - and the hub from which the crop's reports and charts open.
//
// Every value comes from the CropRunContext, a few crop inputs from the
// current "QuenWkCrop.DB" row through datQuenWkCrop. Values are written once
// when the dialog is shown (FormShow); units follow MetricUnits.
//
// The dialog has two pages: the summary above, and "Daily balance", the
// crop's daily soil-water balance over the years of the station's daily
// weather (TDailyBalancePage), computed when the page is first shown.
#pragma once

#include <QDialog>
#include <QRect>
#include <functional>

#include "DailyRun.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QTableWidget;
class QToolButton;

namespace quen {

struct CropRunContext;
struct CropCurveState;
class TDBText;
class TDailyBalancePage;

class TOutputdlg : public QDialog {
    Q_OBJECT
public:
    TOutputdlg(CropRunContext& ctx, CropCurveState& curves, QWidget* parent = nullptr);

    // English or metric; defaults to the data module's MetricUnits.
    void setMetric(bool on) { m_metric = on; }
    bool isMetric() const { return m_metric; }

    // Where the dialog stands on a screen of the given geometry: heights
    // above 765 pixels top 4, height 720; 589..765 left 50, top 2, height
    // 525; 479..588 left 2, top 2, height 400; smaller: the design size,
    // fitted to the screen as every large window (top 1, height screen - 25),
    // so that the buttons stay on the screen. Without a given left the dialog
    // is centred horizontally.
    static QRect placement(const QRect& screen, const QSize& design);
    static constexpr int kDesignWidth = 629;
    static constexpr int kDesignHeight = 738;

    // Header
    QLabel *MethodLabel, *DateLabel, *JobLabel, *PlannerLabel, *LandUserLabel, *IDLabel, *JobClassLabel,
        *LocationLabel, *CountyLabel, *StationLabel, *StaNoLabel, *LatitudeLabel, *LongitudeLabel, *ElevationLabel,
        *ElevUnitLabel;
    // Crop
    TDBText *CropNameDBText, *CurveTypeDBText, *SoilDBText, *CuttingsDBText, *DysWetDevDBText, *DysWetMatDBText,
        *IrrTypeDBText, *StressDBText;
    QLabel *BeginGrowthLabel, *EndGrowthLabel, *NetIrrLabel, *NetIrrUnitLabel, *CarryBegLabel, *CarryEndLabel,
        *CarryUnitLabel, *Cut1Label, *CutLastLabel;
    // The crop-kind lines: captions and values together.
    QList<QWidget*> CuttingsLines, SoilLines;
    // Monthly table (row 0 the header row, rows 1..12 January..December) and totals.
    QTableWidget* SGrid;
    QTableWidget* TotalsGrid;
    QList<QLabel*> Note1Labels, Note2Labels;
    QLabel* Note3Label;
    QLabel* MethodNoteLabel;   // the line when the method is used outside where it was developed
    QScrollArea* ResultsScrollBox;
    // The summary page (ResultsScrollBox) and the "Daily balance" page.
    QTabWidget* OutputTabs;
    TDailyBalancePage* DailyPage;
    QPushButton *CloseBtn, *PrintBtn, *DetailBtn, *BitBtnNorm, *CurveBitBtn;
    QToolButton *ClimDatSpeedBtn, *HelpSpeedButton1;

    // Writes every value (runs when the dialog is shown).
    void FormShow();

    // The daily balance of the crop the dialog shows, for a detail year (0:
    // the last complete season). Empty: the page says there is none.
    static std::function<job::DailyRun(const CropRunContext&, CropCurveState&, int year)> RunDaily;

public slots:
    void CloseBtnClick();
    void PrintBtnClick();
    void DetailBtnClick();
    void BitBtnNormClick();
    void CurveBitBtnClick();
    void ClimDatSpeedBtnClick();
    void HelpSpeedButton1Click();
    void OutputTabsChange(int index);

protected:
    void showEvent(QShowEvent* e) override;

private:
    void WidenForDailyPage();
    CropRunContext& m_ctx;
    CropCurveState& m_curves;
    bool m_metric = false;
    int m_designWidth = kDesignWidth;
};

} // namespace quen
