#include "GetCropName.h"

#include <QPushButton>

#include "CropDMod.h"
#include "FAO56FormParts.h"
#include "Help.h"

namespace quen::cropprog {

TGetCropName::TGetCropName(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetCropName"));
    setWindowTitle(QStringLiteral("Get Crop Kc Data (FAO 56 Table 12)"));
    setHelpContext(this, 19106);
    CropGrid = layOutPicker(this, DMod->datFAO56Tbl, QStringLiteral("CropName"), QStringLiteral("Crop Name"), 420,
                            {{{"Kc ini", "Kcini"}, {"Kc mid", "Kcmid"}, {"Kc end", "Kcend"},
                              {"Max Ht (m)", "MaxHeightM"}, {"Max Ht (ft)", "MaxHeightF"}}},
                            UseBtn, CancelBtn);
    connect(UseBtn, &QPushButton::clicked, this, [this] { UseBtnClick(); });
    connect(CropGrid, &TDBGrid::rowDoubleClicked, this, [this] { UseBtnClick(); });
    resize(520, 480);
}

void TGetCropName::UseBtnClick()
{
    copyPicked(DMod->tblFAO56Tbl, {"Kcini", "Kcmid", "Kcend", "MaxHeightM", "MaxHeightF"}, "FAOCropName", "CropName");
    accept();
}

} // namespace quen::cropprog
