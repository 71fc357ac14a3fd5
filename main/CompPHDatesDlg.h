// TCompPHDatesDlg ("Compute Start of Growth and End of Growth Dates Tool"):
// proposes the planting and harvest dates of the working crop from the
// station's mean monthly temperatures, the crop's begin- and end-growth
// temperatures and the grow days it needs. OK puts the dates into the crop
// inputs dialog and the working-crop row; Cancel restores what was there.
#pragma once

#include <QDialog>

#include "CropRunContext.h"
#include "CropSetup.h"
#include "GrowthDates.h"

class QLabel;
class QPushButton;

namespace quen {
class TNumEdit;
class TTable;
}

namespace quen::mainprog {

class TCropCompDlg;

class TCompPHDatesDlg : public QDialog {
    Q_OBJECT
public:
    TCompPHDatesDlg(CropRunContext& ctx, const StationFrostDates& frost, TCropCompDlg* inputs,
                    QWidget* parent = nullptr);
    ~TCompPHDatesDlg() override;

    QPushButton* HelpBtn;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    // Default dates from database.
    QLabel* DefPMoLbl;
    QLabel* DefPDayLbl;
    QLabel* DefHMoLbl;
    QLabel* DefHDayLbl;
    QLabel* DefGrowDaysLbl;
    // Temperature and grow day data from database.
    QLabel* MinDaysLbl;
    QLabel* MaxDaysLbl;
    QLabel* BeginTempLbl;
    QLabel* EndTempLbl;
    // Entries.
    QLabel* GrowDaysCaption;
    TNumEdit* GrowDaysEdit;
    TNumEdit* BeginTempEdit;
    TNumEdit* EndTempEdit;
    QPushButton* ReCalcBtn;
    // Temperature based maximum grow days.
    QLabel* AvailDaysLbl;
    QLabel* TempEndMoLbl;
    QLabel* TempEndDayLbl;
    // Re-calculated start and end dates.
    QLabel* NewPMoLbl;
    QLabel* NewPDayLbl;
    QLabel* NewHMoLbl;
    QLabel* NewHDayLbl;

    // Open steps; false when the dialog ended cancelled before it was shown
    // (no temperature data, or the procedure does not work).
    bool FormActivate();
    const GrowthDatesResult& growthResult() const { return m_result; }

public slots:
    // False when the procedure failed and the dialog closed as cancelled.
    bool ComputeGrowthDatesClick();
    void GrowDaysEditExit();
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void reject() override;

private:
    void restoreTemperatures();
    TTable* workingCrop() const;

    CropRunContext& m_ctx;
    StationFrostDates m_frost;
    TCropCompDlg* m_inputs;
    bool m_metric = false;
    GrowDayLimits m_limits;
    CropGrowthDates m_saved;   // the row's dates and temperatures when the tool opened
    GrowthDatesResult m_result;
    bool m_done = false;
};

} // namespace quen::mainprog
