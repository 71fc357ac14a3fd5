#include "DefLocDlg.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

#include "CropDMod.h"
#include "EnterFocus.h"
#include "FAO56FormParts.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageService.h"

namespace quen::cropprog {

TDefLocDlg::TDefLocDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DefLocDlg"));
    setWindowTitle(QStringLiteral("Local Default Values (FAO 56 Curves)"));
    setHelpContext(this, 19110);
    TDataSource* ds = DMod->datLocDef;
    auto* v = new QVBoxLayout(this);
    auto* g = new QGridLayout;
    auto radio = [&](const QString& title, const QStringList& items, const QStringList& values, const char* field) {
        auto* r = new TDBRadioGroup(title, this);
        r->setItems(items, values);
        r->setDataSource(ds);
        r->setFieldName(QLatin1String(field));
        return r;
    };
    auto edit = [&](const char* field) {
        auto* e = new TDBEdit(ds, QLatin1String(field), this);
        e->setMaximumWidth(80);
        installEnterMovesFocus(e);
        return e;
    };
    auto num = [&](const char* field, const char* pic) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QLatin1String(pic), 0, 0, this);
        e->setMaximumWidth(80);
        return e;
    };
    EToRadio = radio(QStringLiteral("Estimated ETo"),
                     {"Low         (1-3 mm/day)", "Moderate (3-5 mm/day)", "High         (5-7 mm/day)",
                      "Very high  (> 7 mm/day)"},
                     {"2", "4", "6", "8"}, "ETo");
    FwRadio = radio(QStringLiteral("Soil surface, fraction wetted (fw)"),
                    {"Precip., Sprinkler irr, Basin irr, Border irr (1.0)",
                     "Furrow irr (every furrow), narrow bed  (0.6 -- 1.0)",
                     "Furrow irr (every furrow, wide bed (0.4 -- 0.6)", "Furrow irr (alternated furrows)  (0.3 -- 0.5)",
                     "Trickle irrigation  (0.3 -- 0.4)"},
                    {"1.0", "0.8", "0.5", "0.4", "0.35"}, "Fw");
    WindRadio = radio(QStringLiteral("Daily mean wind speed"),
                      {"Light wind                        1 m/s  (2.2 mph)", "Light to moderate wind     2 m/s  (4.5 mph)",
                       "Moderate to strong wind   4 m/s  (9.0 mph)", "Strong wind                       5 m/s  (11.2 mph)"},
                      {"1", "2", "4", "5"}, "U2");
    RHRadio = radio(QStringLiteral("Mean RHmin"),
                    {"Arid            (20%)       (RHmean 45%)", "Semi-arid    (30%)       (RHmean 55%)",
                     "Sub-humid  (45%)       (RHmean 70%)", "Humid         (70%)       (RHmean 85%)",
                     "Very humid  (80%)       (RHmean 90%)"},
                    {"20", "30", "45", "70", "80"}, "RHMin");
    SoilRadio = radio(QStringLiteral("Soil texture"), {"Coarse soil texture", "Medium and fine soil texture"},
                      {"CT", "MFT"}, "SText");
    WettingDaysEdit = edit("WettingDays");
    EToEdit = edit("ETo");
    AppEdit = edit("App");
    FwEdit = edit("Fw");
    U2Edit = edit("U2");
    RHMinEdit = edit("RHMin");
    STextEdit = edit("SText");
    EToinEdit = num("EToin", "##.##");
    AppinEdit = num("Appin", "##.##");
    U2inEdit = num("U2in", "##.##");

    auto* wet = new QFormLayout;
    wet->addRow(QStringLiteral("Days between wettings"), WettingDaysEdit);
    wet->addRow(QStringLiteral("Irrigation depth per application (mm)"), AppEdit);
    wet->addRow(QStringLiteral("Irrigation depth per application (in)"), AppinEdit);
    g->addLayout(wet, 0, 0, 1, 2);
    auto pair = [&](int row, int col, QWidget* group, QWidget* e1, const QString& u1, QWidget* e2 = nullptr,
                    const QString& u2 = QString()) {
        g->addWidget(group, row, col * 2);
        auto* f = new QFormLayout;
        f->addRow(u1, e1);
        if (e2) f->addRow(u2, e2);
        g->addLayout(f, row, col * 2 + 1);
    };
    pair(1, 0, EToRadio, EToEdit, QStringLiteral("mm/day"), EToinEdit, QStringLiteral("in/day"));
    pair(1, 1, WindRadio, U2Edit, QStringLiteral("m/s"), U2inEdit, QStringLiteral("mph"));
    pair(2, 0, FwRadio, FwEdit, QStringLiteral("fw"));
    pair(2, 1, RHRadio, RHMinEdit, QStringLiteral("%"));
    pair(3, 0, SoilRadio, STextEdit, QStringLiteral("code"));
    v->addLayout(g);
    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = pushButton("OKBtn", QStringLiteral("OK"), this);
    OKBtn->setToolTip(QStringLiteral("Save changes and return to main"));
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    h->addWidget(OKBtn);
    h->addWidget(CancelBtn);
    v->addLayout(h);
    connect(OKBtn, &QPushButton::clicked, this, [this] { OKBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { CancelBtnClick(); });
    connect(EToEdit, &TDBEdit::exited, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(AppEdit, &TDBEdit::exited, this, [this] { metricExit("App", "Appin", 0.03936996); });
    connect(U2Edit, &TDBEdit::exited, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(EToRadio, &TDBRadioGroup::changed, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(WindRadio, &TDBRadioGroup::changed, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(EToinEdit, &TNumEdit::exited, this, [this] { imperialExit("EToin", "ETo", 25.4, 1); });
    connect(AppinEdit, &TNumEdit::exited, this, [this] { imperialExit("Appin", "App", 25.4, 1); });
    connect(U2inEdit, &TNumEdit::exited, this, [this] { imperialExit("U2in", "U2", 0.44704, 2); });
    resize(sizeHint().expandedTo(QSize(940, 560)));
}

void TDefLocDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TDefLocDlg::done(int r)
{
    // The close box cancels like "Cancel".
    if (!m_finished && m_shown) {
        m_finished = true;
        TTable* t = DMod->tblLocDef;
        if (t->isOpen() && t->state() != TTable::State::Browse) t->cancel();
        t->close();
    }
    QDialog::done(r);
}

void TDefLocDlg::FormShow()
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) t->open();
    t->first();
    editIfBrowsing(t);
}

void TDefLocDlg::OKBtnClick()
{
    TTable* t = DMod->tblLocDef;
    // The Kc calculation window copies these texts into new curves as
    // numbers: a text that is not one is refused here, where it was typed.
    const std::pair<const char*, TDBEdit*> numeric[] = {{"WettingDays", WettingDaysEdit}, {"ETo", EToEdit},
                                                         {"App", AppEdit},   {"Fw", FwEdit},
                                                         {"U2", U2Edit},     {"RHMin", RHMinEdit}};
    for (const auto& [field, edit] : numeric) {
        const QString text = t->field(QLatin1String(field)).asString().trimmed();
        if (text.isEmpty() || parseNumber(text)) continue;
        showError(QStringLiteral("The local default ") + QLatin1String(field) + QStringLiteral(" \"") + text
                  + QStringLiteral("\" is not a number. Type a number or choose one of the values offered."));
        edit->setFocus();
        return;
    }
    postIfEditing(t);   // a refusal keeps the dialog open with the row in edit
    m_finished = true;
    t->close();
    accept();
}

void TDefLocDlg::CancelBtnClick()
{
    reject();
}

void TDefLocDlg::metricExit(const char* metric, const char* imperial, double factor)
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) return;
    const auto v = parseNumber(t->field(QLatin1String(metric)).asString());
    if (!v) return;
    editIfBrowsing(t);
    t->field(QLatin1String(imperial)).setAsFloat(fixedText(*v * factor, 2).toDouble());
}

void TDefLocDlg::imperialExit(const char* imperial, const char* metric, double factor, int decimals)
{
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen() || t->field(QLatin1String(imperial)).isNull()) return;
    editIfBrowsing(t);
    t->field(QLatin1String(metric)).setAsString(fixedText(t->field(QLatin1String(imperial)).asFloat() * factor, decimals));
}

} // namespace quen::cropprog
