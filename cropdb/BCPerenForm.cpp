#include "BCPerenForm.h"

#include "CropDMod.h"
#include "CropReports.h"

namespace quen::cropprog {

QStringList TBCPerenForm::valueFields()
{
    QStringList f;
    for (const char* m : {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}) {
        f << QLatin1String(m) + QStringLiteral(" 1 Kc");
        f << QLatin1String(m) + QStringLiteral(" 15 Kc");
    }
    f << QStringLiteral("Dec 31 Kc");
    return f;
}

TBCPerenForm::TBCPerenForm(QWidget* parent)
    : TPlainTableForm(QStringLiteral("BCPerenForm"),
                      QStringLiteral("Review or Edit BC TR21 Kc Curves for Perennial Crops"), DMod->datBCPeren,
                      QStringLiteral("Crop Curve Name"), parent)
{
    NameEdit->setMaxLength(30);
    addValueFields(QStringLiteral("Blaney Criddle Kc Values"), valueFields(), valueFields(), QStringLiteral("#.##"), 6);
    setListButton(QStringLiteral("List"), QStringLiteral("BC Perennial Crop List Report"), &prepareBCPerenList);
    resize(900, 560);
}

} // namespace quen::cropprog
