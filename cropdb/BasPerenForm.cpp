#include "BasPerenForm.h"

#include <QGridLayout>
#include <QLabel>

#include "EnterFocus.h"

namespace quen::cropprog {

TBasPerenForm::TBasPerenForm(QWidget* parent) : TBasalCurveForm(Peren, parent)
{
    TDataSource* ds = Source;
    auto* g = new QGridLayout(valuePanel());
    g->setContentsMargins(0, 0, 0, 0);
    GroundCoverEdit = new TDBEdit(ds, QStringLiteral("Ground Cover"), valuePanel());
    GrowingCondEdit = new TDBEdit(ds, QStringLiteral("Growing Conditions"), valuePanel());
    installEnterMovesFocus({GroundCoverEdit, GrowingCondEdit});
    g->addWidget(new QLabel(QStringLiteral("Ground Cover"), valuePanel()), 0, 0);
    g->addWidget(GroundCoverEdit, 0, 1, 1, 5);
    g->addWidget(new QLabel(QStringLiteral("Growing Conditions"), valuePanel()), 1, 0);
    g->addWidget(GrowingCondEdit, 1, 1, 1, 5);
    const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m) {
        const QString f = QLatin1String(months[m]) + QStringLiteral(" Kc");
        auto* e = new TDBNumEdit(ds, f, QStringLiteral("#.##"), 0, 0, valuePanel());
        e->setToolTip(QStringLiteral("Enter montly basil Kc"));
        e->setMaximumWidth(60);
        MonthKcEdits << e;
        g->addWidget(new QLabel(f, valuePanel()), 2 + (m / 6) * 2, m % 6);
        g->addWidget(e, 3 + (m / 6) * 2, m % 6);
    }
    resize(980, 620);
}

} // namespace quen::cropprog
