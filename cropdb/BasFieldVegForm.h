// TBasFieldVegForm: the basal curves of field and vegetable crops over
// "CrpAnNam.DB" (Kcb, Kcp, Kcm, crop type).
#pragma once

#include "BasalCurveForm.h"

class QLabel;

namespace quen::cropprog {

class TBasFieldVegForm : public TBasalCurveForm {
    Q_OBJECT
public:
    explicit TBasFieldVegForm(QWidget* parent = nullptr);
    TDBNumEdit *KcbEdit, *KcpEdit, *KcmEdit;
    TDBComboBox* CropTypeCombo;
    QLabel *Fs1Label, *Fs2Label, *Fs3Label, *DaysMinLabel, *DaysMaxLabel;
    QPushButton* PostBtn;
    void FormShow() override;
    void showTypeData();
};

} // namespace quen::cropprog
