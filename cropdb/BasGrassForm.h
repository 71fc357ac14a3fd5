// TBasGrassForm: the basal curves of grasses and forage legumes over
// "CrpForag.DB" (low/high Kc, cuttings).
#pragma once

#include "BasalCurveForm.h"

namespace quen::cropprog {

class TBasGrassForm : public TBasalCurveForm {
    Q_OBJECT
public:
    explicit TBasGrassForm(QWidget* parent = nullptr);
    TDBNumEdit *LowKcEdit, *HighKcEdit, *PkPctEdit, *PkDaysBeforeEdit, *PkDaysAfterEdit;
    TDBRadioGroup* HayRadio;
};

} // namespace quen::cropprog
