#include "BasGrassForm.h"

#include <QGridLayout>
#include <QLabel>

namespace quen::cropprog {

TBasGrassForm::TBasGrassForm(QWidget* parent) : TBasalCurveForm(Grass, parent)
{
    TDataSource* ds = Source;
    auto* g = new QGridLayout(valuePanel());
    g->setContentsMargins(0, 0, 0, 0);
    LowKcEdit = new TDBNumEdit(ds, QStringLiteral("Low Kc"), QStringLiteral("#.##"), 0, 0, valuePanel());
    LowKcEdit->setObjectName(QStringLiteral("LowKcEdit"));
    HighKcEdit = new TDBNumEdit(ds, QStringLiteral("High Kc"), QStringLiteral("#.##"), 0, 0, valuePanel());
    PkPctEdit = new TDBNumEdit(ds, QStringLiteral("Pk % After Harvest (Alf)"), QStringLiteral("iii"), 0, 0, valuePanel());
    PkDaysBeforeEdit = new TDBNumEdit(ds, QStringLiteral("Pk Days Before Harvest"), QStringLiteral("iii"), 0, 0, valuePanel());
    PkDaysAfterEdit = new TDBNumEdit(ds, QStringLiteral("Pk Days After Harvest"), QStringLiteral("iii"), 0, 0, valuePanel());
    const char* labels[] = {"Low Kc", "High Kc", "PK % After Harvest (Alfalfa)", "Pk Days Before Harvest (Grass)",
                            "Pk Days After Harvest"};
    TDBNumEdit* edits[] = {LowKcEdit, HighKcEdit, PkPctEdit, PkDaysBeforeEdit, PkDaysAfterEdit};
    for (int i = 0; i < 5; ++i) {
        g->addWidget(new QLabel(QLatin1String(labels[i]), valuePanel()), i, 0);
        edits[i]->setMaximumWidth(70);
        g->addWidget(edits[i], i, 1);
    }
    HayRadio = new TDBRadioGroup(QStringLiteral("Set to  Hay or Pasture"), valuePanel());
    HayRadio->setItems({"Hay (There are cuttings)", "Pasture/Seed (No cuttings)"}, {"True", "False"});
    HayRadio->setDataSource(ds);
    HayRadio->setFieldName(QStringLiteral("Hay"));
    g->addWidget(HayRadio, 0, 2, 4, 1);
    resize(900, 560);
}

} // namespace quen::cropprog
