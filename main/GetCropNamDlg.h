// TGetCropNamDlg ("Get Crop Name"): picks the crop record of "QuenCrop.DB"
// that becomes the job's next working crop. The group of the curve that the
// job's ET method uses is titled in blue, the other two in grey. OK appends
// the seeded working crop (or refuses a crop already in the job or without
// a curve for the method) and opens the crop inputs dialog on it.
#pragma once

#include <QDialog>

#include "CropRunContext.h"
#include "JobState.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace quen {
class TDBGrid;
class TDBText;
class TDBMemo;
class TDBRadioGroup;
}

namespace quen::mainprog {

class TMainForm;

class TGetCropNamDlg : public QDialog {
    Q_OBJECT
public:
    // main: the window whose buttons Cancel sets (may be null in tests).
    TGetCropNamDlg(CropRunContext& ctx, JobState& job, CropCurveState& curves, TMainForm* main,
                   QWidget* parent = nullptr);
    ~TGetCropNamDlg() override;

    TDBGrid* DBGrid1;
    TDBText* CropNameText;
    TDBMemo* NotesMemo;
    QLabel* ETMethLbl;
    QGroupBox* BasGroup;
    TDBText* BasCurveText;
    TDBRadioGroup* HumWindRadio;
    QGroupBox* FAOGroup;
    TDBText* FAOCurveText;
    QGroupBox* BCGroup;
    TDBText* BCCurveText;
    QPushButton* HelpBtn;
    QPushButton* BtnOK;
    QPushButton* CancelBtn;

    // What OK did last (for the caller and tests).
    bool cropAdded() const { return m_added; }

public slots:
    void FormShow();
    void BtnOKClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void reject() override;

private:
    void closeTables();
    CropRunContext& m_ctx;
    JobState& m_job;
    CropCurveState& m_curves;
    TMainForm* m_main;
    bool m_shown = false;
    bool m_added = false;
    bool m_done = false;
};

} // namespace quen::mainprog
