// The main window of QuenpmCrop, "Quen Crops Databases": one button per
// editor of the crop tables, "&Help", "&About Program" and close. Each
// editor's button opens the tables it needs before the editor is shown and
// closes them after.
#pragma once

#include "DatabaseMainForm.h"

class QGroupBox;
class QPushButton;

namespace quen::cropprog {

class TMainForm : public TDatabaseMainForm {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    QPushButton* CropDBBtn;        // "Create or Edit Local Crop Database"
    QGroupBox* CurveGroup;         // "Review or Edit Crop Curve Tables"
    QPushButton* BasFldVegBtn;     // "Basal Kc - Field and Vegetable Crops"
    QPushButton* BasPerenBtn;      // "Basal Kc - Perennial  and Specialty Crops"
    QPushButton* BasGrassBtn;      // "Basal Kc - Grasses and Forage Legumes"
    QPushButton* BCAnnualBtn;      // "BC TR21 Kc - Annual Crops"
    QPushButton* BCPerenBtn;       // "BC TR21 Kc - Perennial Crops"
    QPushButton* AnTypeBtn;        // "Basal - Crop Type (Field & Veg)"
    QPushButton* FAO56TblBtn;      // "FAO56 Table 12 Database"
    QPushButton* FAOCurvBtn;       // "FAO Kc - Crop Curves"
    QPushButton* FAOTbl11Btn;      // "FAO56 Table 11 Database"

    static QString applicationTitle() { return QStringLiteral("QuenpmCrop Crop database program"); }

public slots:
    void AboutBtnClick() override;
    // The editors' buttons: each opens its tables, shows its editor, closes.
    void CropDBBtnClick();
    void BasFldVegBtnClick();
    void BasPerenBtnClick();
    void BasGrassBtnClick();
    void BCAnnualBtnClick();
    void BCPerenBtnClick();
    void AnTypeBtnClick();
    void FAO56TblBtnClick();
    void FAOCurvBtnClick();
    void FAOTbl11BtnClick();
};

extern TMainForm* MainForm;

} // namespace quen::cropprog
