// TFAO56CropsForm "Review or Edit Kc Curves - FAO 56 Crops": the FAO curves
// over "CrpFAOCurv.DB", and the windows it opens to assemble a curve (the
// Table 12 picker, the NEH2 crop type picker, the Table 11 window, the Kc
// calculation window).
#pragma once

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TFAO56CropsForm : public TCurveEditorBase {
    Q_OBJECT
public:
    explicit TFAO56CropsForm(QWidget* parent = nullptr);
    TDBEdit* CurveNameEdit;
    QPushButton *GetKcDataBtn, *GetNEHBtn, *GetFAO11Btn, *KcCalcBtn;
    void FormShow() override;
    void FormClose() override;
    void InsertBtnClick() override;
    void MarkBtnClick() override;
    void GetKcDataBtnClick();
    void GetNEHBtnClick();
    void GetFAO11BtnClick();
    void KcCalcBtnClick();
    void PrintCurveListClick();
    void DefaultsClick();
};

} // namespace quen::cropprog
