#include "GetCropType.h"

#include <QPushButton>

#include "CropDMod.h"
#include "FAO56FormParts.h"
#include "Help.h"

namespace quen::cropprog {

TGetCropType::TGetCropType(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("GetCropType"));
    setWindowTitle(QStringLiteral("Get Crop Growth Data"));
    setHelpContext(this, 19106);
    TypeGrid = layOutPicker(this, DMod->datAnType, QStringLiteral("Crop Type"), QStringLiteral("Crop Type"), 300,
                            {{{"Fs1", "Fs1"}, {"Fs2", "Fs2"}, {"Fs3", "Fs3"}, {"Days Min.", "DaysMin"},
                              {"Days Max.", "DaysMax"}}},
                            UseBtn, CancelBtn);
    connect(UseBtn, &QPushButton::clicked, this, [this] { UseBtnClick(); });
    connect(TypeGrid, &TDBGrid::rowDoubleClicked, this, [this] { UseBtnClick(); });
    resize(440, 420);
}

void TGetCropType::UseBtnClick()
{
    copyPicked(DMod->tblAnType, {"Fs1", "Fs2", "Fs3", "DaysMin", "DaysMax"}, "NEH2CropType", "Crop Type");
    accept();
}

} // namespace quen::cropprog
