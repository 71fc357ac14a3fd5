#include "AnTypeForm.h"

#include "CropDMod.h"
#include "CropReports.h"

namespace quen::cropprog {

TAnTypeForm::TAnTypeForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("AnTypeForm"), QStringLiteral("Annual Basal Crop Type DB Review or Edit"),
                      DMod->datAnType, QStringLiteral("Crop Type"), parent)
{
    NameEdit->setToolTip(QStringLiteral("Enter a unique crop type name"));
    addValueFields(QStringLiteral("Fraction of season"), {"Fs1", "Fs2", "Fs3"}, {"Fs1", "Fs2", "Fs3"},
                   QStringLiteral("#.##"), 3, QStringLiteral("Fraction of season"));
    addValueFields(QStringLiteral("Days from planting until maturity"), {"DaysMin", "DaysMax"},
                   {"Days Min.", "Days Max."}, QStringLiteral("iii"), 2,
                   QStringLiteral("Days from planting until maturity"));
    setListButton(QStringLiteral("List"), QStringLiteral("Annual Crop Type List Report"), &prepareAnTypeList);
    resize(720, 420);
}

} // namespace quen::cropprog
