// TGetCropName "Get Crop Kc Data (FAO 56 Table 12)": picks the Table 12 crop
// whose Kc figures go into the FAO curve.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TGetCropName : public QDialog {
    Q_OBJECT
public:
    explicit TGetCropName(QWidget* parent = nullptr);
    TDBGrid* CropGrid;
    QPushButton *UseBtn, *CancelBtn;
    void UseBtnClick();
};

} // namespace quen::cropprog
