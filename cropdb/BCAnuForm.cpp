#include "BCAnuForm.h"

#include "CropDMod.h"
#include "CropReports.h"

namespace quen::cropprog {

QStringList TBCAnuForm::valueFields()
{
    return {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc", "35 % Kc", "40% Kc", "45% Kc", "50% Kc",
            "55% Kc", "60% Kc", "65% Kc", "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"};
}

TBCAnuForm::TBCAnuForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("BCAnuForm"), QStringLiteral("Review or Edit BC TR21 Kc Curves for Annual Crops"),
                      DMod->datBCAnnual, QStringLiteral("Crop Curve Name"), parent)
{
    NameEdit->setMaxLength(30);
    NameEdit->setToolTip(QStringLiteral("Enter unique crop curve name"));
    QStringList labels;
    for (int p = 0; p <= 100; p += 5) labels << QString::number(p) + QStringLiteral("% Kc");
    addValueFields(QStringLiteral("Annual BC TR21 Kc Values"), valueFields(), labels, QStringLiteral("#.##"), 7);
    setListButton(QStringLiteral("&List"), QStringLiteral("List of Curves"), &prepareBCAnnualList);
    resize(900, 480);
}

} // namespace quen::cropprog
