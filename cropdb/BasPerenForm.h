// TBasPerenForm: the basal curves of perennial and specialty crops over
// "CrpPeren.DB" (monthly Kc).
#pragma once

#include "BasalCurveForm.h"

namespace quen::cropprog {

class TBasPerenForm : public TBasalCurveForm {
    Q_OBJECT
public:
    explicit TBasPerenForm(QWidget* parent = nullptr);
    TDBEdit *GroundCoverEdit, *GrowingCondEdit;
    QList<TDBNumEdit*> MonthKcEdits;   // "Jan Kc" .. "Dec Kc"
};

} // namespace quen::cropprog
