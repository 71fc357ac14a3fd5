// TCropCompDlg ("Job Crop Compute"): the computation inputs of one working
// crop of "QuenWkCrop.DB" (the new crop after "Add New Crop", or the current
// one for "Edit Crop"): growth dates, carry-over and irrigation depth, soil,
// irrigation type and fraction wetted, wetting intervals, water stress and
// hay cuttings. There is no cancel: closing writes the changed inputs into
// the row, posts it, computes the crop and shows the output dialog.
//
// Depths are stored in inches. With metric units the planner sees and types
// centimetres; only an entry the planner changed is converted back.
#pragma once

#include <QDialog>
#include <functional>

#include "CropRunContext.h"
#include "CropSetup.h"
#include "JobState.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QStatusBar;

namespace quen {
class TNumEdit;
class TTable;
}

namespace quen::mainprog {

class TMainForm;

class TCropCompDlg : public QDialog {
    Q_OBJECT
public:
    TCropCompDlg(CropRunContext& ctx, JobState& job, CropCurveState& curves, TMainForm* main,
                 QWidget* parent = nullptr);

    // The output dialog shown after the computation (tests replace it).
    static std::function<void(QWidget*, CropRunContext&, CropCurveState&)> ShowOutput;

    QLabel* CropNameText;
    QGroupBox* DateGroup;
    TNumEdit* PMoEdit;
    TNumEdit* PDayEdit;
    TNumEdit* HMoEdit;
    TNumEdit* HDayEdit;
    QPushButton* btnCompDate;
    QGroupBox* CarryGroup;
    TNumEdit* NetDepthEdit;
    TNumEdit* CaryBegEdit;
    TNumEdit* CaryEndEdit;
    QLabel* NetIrrLbl;
    QLabel* CarryBegLbl;
    QLabel* CarryEndLbl;
    QGroupBox* AvgKcGroup;
    QComboBox* SoilComboBox;
    QComboBox* IrrTypeComboBox;
    TNumEdit* FracWettedEdit;
    TNumEdit* WetDevelEdit;
    TNumEdit* WetMaturEdit;
    TNumEdit* StressEdit;
    TNumEdit* ASWEdit;
    QCheckBox* CheckBox1;
    QGroupBox* HayGroup;
    TNumEdit* Cut1MoEdit;
    TNumEdit* Cut1DayEdit;
    TNumEdit* CutEndMoEdit;
    TNumEdit* CutEndDayEdit;
    TNumEdit* CutEdit;
    // The farm's water of the crop ("FarmWkCrop.db"): area in acres (hectares
    // with metric units), application efficiency, FAO-29 salinity threshold.
    QGroupBox* FarmGroup;
    TNumEdit* AreaEdit;
    QLabel* AreaLbl;
    TNumEdit* AppEffEdit;
    TNumEdit* ECeEdit;
    QStatusBar* StatusBar1;
    QLabel* StationPanel;
    QLabel* MethodPanel;
    QPushButton* OKBtn;
    QPushButton* HelpBtn;

    double LastASW = 0.0;

    // Puts computed dates into the four date edits (the date calculator).
    void setDates(int plantMo, int plantDay, int harvestMo, int harvestDay);
    bool closed() const { return m_closed; }
    bool metric() const { return m_metric; }

public slots:
    void FormShow();
    void PMoEditExit();
    void PDayEditExit();
    void HMoEditExit();
    void HDayEditExit();
    void Cut1MoEditExit();
    void Cut1DayEditExit();
    void CutEndMoEditExit();
    void CutEndDayEditExit();
    void CutEditExit();
    void WetDevelEditExit();
    void WetMaturEditExit();
    void FracWettedEditExit();
    void FracWettedEditChange();
    void NetDepthEditExit();
    void CaryBegEditExit();
    void CaryEndEditExit();
    void ASWEditExit();
    void StressEditExit();
    void CheckBox1Exit();
    void IrrTypeComboBoxChange(int index);
    void SoilComboBoxChange(int index);
    void FarmEditChange();
    void btnCompDateClick();
    void OKBtnClick();
    // Writes, posts, computes and shows the output; false when the row
    // could not be stored (the dialog then stays open).
    bool FormClose();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    TTable* workingCrop() const;
    void markChanged();
    // Month edit left: the month-day check of the pair; message: whether a
    // corrected day is reported to the planner.
    void monthLeft(TNumEdit* mo, TNumEdit* day, int& ctxMonth, int& ctxDay, bool message);
    void dayLeft(TNumEdit* mo, TNumEdit* day, int& ctxDay);
    void depthLeft(TNumEdit* e, double& inches, double& cm);
    double depthInches(const TNumEdit* e) const;
    CropInputs typedInputs() const;
    // The farm values as typed; false, with the message shown and the field
    // focused, when they cannot be stored.
    bool storeFarmValues(TTable& wk);

    CropRunContext& m_ctx;
    JobState& m_job;
    CropCurveState& m_curves;
    TMainForm* m_main;
    bool m_shown = false;
    bool m_closed = false;
    bool m_metric = false;
    bool m_loading = false;
    QString m_irrType;         // the row's text until the planner picks another type
};

} // namespace quen::mainprog
