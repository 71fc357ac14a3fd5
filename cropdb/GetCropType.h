// TGetCropType "Get Crop Growth Data": picks the NEH2 annual crop type whose
// growth figures go into the FAO curve.
#pragma once

#include <QDialog>

#include "CurveEditorBase.h"

namespace quen::cropprog {

class TGetCropType : public QDialog {
    Q_OBJECT
public:
    explicit TGetCropType(QWidget* parent = nullptr);
    TDBGrid* TypeGrid;
    QPushButton *UseBtn, *CancelBtn;
    void UseBtnClick();
};

} // namespace quen::cropprog
