// TBasalCurveForm: the design the basal (NEH2) curve editors share over the
// three basal tables, with the kind-specific value fields as the only
// difference.
//   TBasFieldVegForm  "CrpAnNam.DB"  field and vegetable crops (Kcb, Kcp, Kcm, crop type)
//   TBasPerenForm     "CrpPeren.DB"  perennial and specialty crops (monthly Kc)
//   TBasGrassForm     "CrpForag.DB"  grasses and forage legumes (low/high Kc, cuttings)
// Common: the curve name, the humidity/wind condition, notes, marks, the
// "Show By" views of one condition and "Show All", the list and all-marked
// reports.
#pragma once

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TBasalCurveForm : public TCurveEditorBase {
    Q_OBJECT
public:
    enum Kind { FieldVeg = 0, Peren = 1, Grass = 2 };
    TBasalCurveForm(Kind kind, QWidget* parent);

    Kind kind() const { return m_kind; }
    QString conditionField() const;
    QString showAllIndex() const;

    TDBEdit* CurveNameEdit;
    TDBRadioGroup* ConditionRadio;
    TDBMemo* NotesMemo;
    QMenu* ShowByMenu;

    // "Show By": restricts the view to one humidity/wind code (0..3).
    void ShowByClick(int code);
    void ShowAllClick();
    void PrintListClick();
    void PrintAllMarkedClick();
    void InsertBtnClick() override;
    void FormShow() override;

protected:
    QWidget* valuePanel() const { return m_values; }
    void ConditionRadioChange();

private:
    Kind m_kind;
    QWidget* m_values;
};

} // namespace quen::cropprog
