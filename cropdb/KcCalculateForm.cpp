#include "KcCalculateForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "CropDMod.h"
#include "EnterFocus.h"
#include "FAO56CropsForm.h"
#include "FAO56FormParts.h"
#include "Help.h"
#include "KcCalculation.h"
#include "MessageService.h"
#include "Placement.h"

namespace quen::cropprog {

TKcCalculateForm::TKcCalculateForm(TFAO56CropsForm* owner) : QDialog(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("KcCalculateForm"));
    setWindowTitle(QStringLiteral("Calculate Kc based on FAO 56, Chapter 6"));
    setHelpContext(this, 19107);
    TDataSource* ds = DMod->datFAOcurv;
    // None of these quantities is negative; a fraction wetted is at most 1
    // and a relative humidity at most 100 %.
    auto num = [&](const char* field, const char* pic, QWidget* parent, double hi = 1000) {
        auto* e = new TDBNumEdit(ds, QLatin1String(field), QLatin1String(pic), 0, hi, parent);
        e->setMaximumWidth(80);
        return e;
    };
    auto* v = new QVBoxLayout(this);
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Crop Curve Name"), this));
    CurveNameText = valueText(ds, "CropCurveName", this);
    head->addWidget(CurveNameText, 1);
    v->addLayout(head);

    auto* cols = new QHBoxLayout;
    InitialGroup = new QGroupBox(QStringLiteral("Initial Season Stage"), this);
    auto* ig = new QGridLayout(InitialGroup);
    WettingDaysEdit = num("WettingDays", "##.#", InitialGroup);
    EToEdit = num("ETo", "###.#", InitialGroup);
    ETOinEdit = num("EToin", "##.##", InitialGroup);
    AppEdit = num("App", "###.#", InitialGroup);
    AppinEdit = num("Appin", "##.##", InitialGroup);
    FwEdit = num("Fw", "#.##", InitialGroup, 1);
    ig->addWidget(new QLabel(QStringLiteral("Days between wettings"), InitialGroup), 0, 0);
    ig->addWidget(WettingDaysEdit, 0, 1);
    ig->addWidget(new QLabel(QStringLiteral("days"), InitialGroup), 0, 2);
    ig->addWidget(new QLabel(QStringLiteral("Estimated ETo"), InitialGroup), 1, 0);
    ig->addWidget(EToEdit, 1, 1);
    ig->addWidget(new QLabel(QStringLiteral("mm/day"), InitialGroup), 1, 2);
    ig->addWidget(ETOinEdit, 1, 3);
    ig->addWidget(new QLabel(QStringLiteral("in/day"), InitialGroup), 1, 4);
    ig->addWidget(new QLabel(QStringLiteral("Irrigation depth per application"), InitialGroup), 2, 0);
    ig->addWidget(AppEdit, 2, 1);
    ig->addWidget(new QLabel(QStringLiteral("mm"), InitialGroup), 2, 2);
    ig->addWidget(AppinEdit, 2, 3);
    ig->addWidget(new QLabel(QStringLiteral("in"), InitialGroup), 2, 4);
    ig->addWidget(new QLabel(QStringLiteral("Fraction wetted (fw)"), InitialGroup), 3, 0);
    ig->addWidget(FwEdit, 3, 1);
    EToRadio = new TRadioGroup(QStringLiteral("Estimated ETo"),
                               {"Low         (1-3 mm/day)", "Moderate (3-5 mm/day)", "High         (5-7 mm/day)",
                                "Very high  (> 7 mm/day)"},
                               InitialGroup);
    FwRadio = new TRadioGroup(QStringLiteral("Soil surface, fraction wetted (fw)"),
                              {"Precip., Sprinkler irr, Basin irr, Border irr (1.0)",
                               "Furrow irr (every furrow), narrow bed  (0.6 -- 1.0)",
                               "Furrow irr (every furrow, wide bed (0.4 -- 0.6)",
                               "Furrow irr (alternated furrows)  (0.3 -- 0.5)", "Trickle irrigation  (0.3 -- 0.4)"},
                              InitialGroup);
    ig->addWidget(EToRadio, 4, 0, 1, 5);
    ig->addWidget(FwRadio, 5, 0, 1, 5);
    cols->addWidget(InitialGroup);

    auto* right = new QVBoxLayout;
    MidGroup = new QGroupBox(QStringLiteral("Mid Season Stage"), this);
    auto* mg = new QGridLayout(MidGroup);
    U2Edit = num("U2", "###.#", MidGroup);
    U2inEdit = num("U2in", "##.##", MidGroup);
    RHMinEdit = num("RHMin", "###.#", MidGroup, 100);
    mg->addWidget(new QLabel(QStringLiteral("Wind speed u2"), MidGroup), 0, 0);
    mg->addWidget(U2Edit, 0, 1);
    mg->addWidget(new QLabel(QStringLiteral("m/s"), MidGroup), 0, 2);
    mg->addWidget(U2inEdit, 0, 3);
    mg->addWidget(new QLabel(QStringLiteral("mph"), MidGroup), 0, 4);
    mg->addWidget(new QLabel(QStringLiteral("RHmin"), MidGroup), 1, 0);
    mg->addWidget(RHMinEdit, 1, 1);
    mg->addWidget(new QLabel(QStringLiteral("%"), MidGroup), 1, 2);
    WindRadio = new TRadioGroup(QStringLiteral("Value of daily mean wind speed (mid season)"),
                                {"Light wind                        1 m/s  (2.2 mph)",
                                 "Light to moderate wind     2 m/s  (4.5 mph)",
                                 "Moderate to strong wind   4 m/s  (9.0 mph)",
                                 "Strong wind                       5 m/s  (11.2 mph)"},
                                MidGroup);
    RHRadio = new TRadioGroup(QStringLiteral("Values of mean RHmin (mid season)"),
                              {"Arid            (20%)       (RHmean 45%)", "Semi-arid    (30%)       (RHmean 55%)",
                               "Sub-humid  (45%)       (RHmean 70%)", "Humid         (70%)       (RHmean 85%)",
                               "Very humid  (80%)       (RHmean 90%)"},
                              MidGroup);
    mg->addWidget(WindRadio, 2, 0, 1, 5);
    mg->addWidget(RHRadio, 3, 0, 1, 5);
    right->addWidget(MidGroup);
    SoilGroup = new QGroupBox(QStringLiteral("Soil"), this);
    auto* sg = new QHBoxLayout(SoilGroup);
    SoilRadio = new TRadioGroup(QStringLiteral("Soil Texture"), {"Coarse soil texture", "Medium and fine soil texture"},
                                SoilGroup);
    STextEdit = new TDBEdit(ds, QStringLiteral("SText"), SoilGroup);
    STextEdit->setMaxLength(5);
    STextEdit->setMaximumWidth(70);
    installEnterMovesFocus(STextEdit);
    sg->addWidget(SoilRadio);
    sg->addWidget(STextEdit);
    right->addWidget(SoilGroup);
    cols->addLayout(right);
    v->addLayout(cols);

    auto* kc = new QGroupBox(QStringLiteral("Kc values"), this);
    auto* kg = new QGridLayout(kc);
    kg->addWidget(new QLabel(QStringLiteral("FAO 56 Table 12"), kc), 1, 0);
    kg->addWidget(new QLabel(QStringLiteral("Adjusted"), kc), 2, 0);
    KciniText = valueText(ds, "Kcini", kc);
    KcmidText = valueText(ds, "Kcmid", kc);
    KcendText = valueText(ds, "Kcend", kc);
    KcbEdit = num("Kcb", "##.##", kc);
    KcpEdit = num("Kcp", "##.##", kc);
    KcmEdit = num("Kcm", "##.##", kc);
    const char* heads[] = {"Kc ini  (Kcb)", "Kc mid  (Kcp)", "Kc end  (Kcm)"};
    QWidget* top[] = {KciniText, KcmidText, KcendText};
    QWidget* bottom[] = {KcbEdit, KcpEdit, KcmEdit};
    for (int i = 0; i < 3; ++i) {
        kg->addWidget(new QLabel(QLatin1String(heads[i]), kc), 0, i + 1);
        kg->addWidget(top[i], 1, i + 1);
        kg->addWidget(bottom[i], 2, i + 1);
    }
    CalcBtn = pushButton("CalcBtn", QStringLiteral("Calculate adjusted  Kc values"), kc);
    UseFAOBtn = pushButton("UseFAOBtn", QStringLiteral("Use FAO 56, Ch 12 Kc values"), kc);
    kg->addWidget(CalcBtn, 0, 4);
    kg->addWidget(UseFAOBtn, 2, 4);
    v->addWidget(kc);

    auto* h = new QHBoxLayout;
    h->addStretch();
    OKBtn = pushButton("OKBtn", QStringLiteral("OK"), this);
    CancelBtn = pushButton("CancelBtn", QStringLiteral("Cancel"), this);
    HelpBtn = pushButton("HelpBtn", QStringLiteral("Help"), this);
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn}) h->addWidget(b);
    v->addLayout(h);

    connect(CalcBtn, &QPushButton::clicked, this, [this] { CalcBtnClick(); });
    connect(UseFAOBtn, &QPushButton::clicked, this, [this] { UseFAOBtnClick(); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(19107); });
    connect(EToRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("ETo", QStringList{"2", "4", "6", "8"}.value(i));
    });
    connect(FwRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("Fw", QStringList{"1.0", "0.7", "0.5", "0.4", "0.35"}.value(i));
    });
    connect(WindRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("U2", QStringList{"1", "2", "4", "5"}.value(i));
    });
    connect(RHRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("RHMin", QStringList{"20", "30", "45", "70", "80"}.value(i));
    });
    connect(SoilRadio, &TRadioGroup::clicked, this, [this](int i) {
        presetClick("SText", QStringList{"CT", "MFT"}.value(i));
    });
    connect(EToEdit, &TNumEdit::exited, this, [this] { metricExit("ETo", "EToin", 0.03936996); });
    connect(AppEdit, &TNumEdit::exited, this, [this] { metricExit("App", "Appin", 0.03936996); });
    connect(U2Edit, &TNumEdit::exited, this, [this] { metricExit("U2", "U2in", 2.236936); });
    connect(RHMinEdit, &TNumEdit::exited, this, [this] { showPresets(); });
    connect(FwEdit, &TNumEdit::exited, this, [this] { showPresets(); });
    connect(STextEdit, &TDBEdit::exited, this, [this] { showPresets(); });
    connect(ETOinEdit, &TNumEdit::exited, this, [this] { imperialExit("EToin", "ETo", 25.4, 1); });
    connect(AppinEdit, &TNumEdit::exited, this, [this] { imperialExit("Appin", "App", 25.4, 2); });
    connect(U2inEdit, &TNumEdit::exited, this, [this] { imperialExit("U2in", "U2", 0.44704, 2); });
    resize(sizeHint().expandedTo(QSize(980, 640)));
}

void TKcCalculateForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    showOnce(m_shown, [this] { FormShow(); });
}

void TKcCalculateForm::done(int r)
{
    closeOnce(m_shown, m_closed, [this] { FormClose(); });
    QDialog::done(r);
}

void TKcCalculateForm::FormShow()
{
    fitWindowToScreen(this);
    TTable* def = DMod->tblLocDef;
    if (!def->isOpen()) def->open();
    def->first();
    editIfBrowsing(def);
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    if (c->field(QStringLiteral("WettingDays")).asFloat() != 0) {
        showInfo(QStringLiteral("Pevious data shown in the following dialog. Make changes as needed."));
    } else if (copyLocalDefaults(*def, *c)) {
        showInfo(QStringLiteral("Default values have been set in the following dialog. Make changes as needed."));
    }
    WettingDaysEdit->setFocus();
    setGroupsEnabled(!c->field(QStringLiteral("UseFAO5612")).asBoolean());
    showPresets();
}

// The presets show the stored values they match (none when typed values differ).
void TKcCalculateForm::showPresets()
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen()) return;
    auto select = [c](TRadioGroup* g, const char* field, const QList<double>& values) {
        const double v = c->field(QLatin1String(field)).asFloat();
        int index = -1;
        for (int i = 0; i < values.size(); ++i)
            if (std::abs(values[i] - v) < 1e-9) index = i;
        g->setItemIndex(index);
    };
    select(EToRadio, "ETo", {2, 4, 6, 8});
    select(FwRadio, "Fw", {1.0, 0.7, 0.5, 0.4, 0.35});
    select(WindRadio, "U2", {1, 2, 4, 5});
    select(RHRadio, "RHMin", {20, 30, 45, 70, 80});
    SoilRadio->setItemIndex(int(QStringList{"CT", "MFT"}.indexOf(c->field(QStringLiteral("SText")).asString().trimmed())));
}

void TKcCalculateForm::setGroupsEnabled(bool on)
{
    for (QGroupBox* g : {InitialGroup, MidGroup, SoilGroup}) g->setEnabled(on);
}

void TKcCalculateForm::reedit()
{
    editIfBrowsing(DMod->tblFAOcurv);
}

void TKcCalculateForm::presetClick(const char* field, const QString& value)
{
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    if (QLatin1String(field) == QLatin1String("SText")) {
        c->field(QStringLiteral("SText")).setAsString(value);
    } else {
        c->field(QLatin1String(field)).setAsFloat(value.toDouble());
        // The wind and ETo presets carry their imperial twins along.
        if (QLatin1String(field) == QLatin1String("U2"))
            c->field(QStringLiteral("U2in")).setAsFloat(fixedText(value.toDouble() * 2.236936, 2).toDouble());
        if (QLatin1String(field) == QLatin1String("ETo"))
            c->field(QStringLiteral("EToin")).setAsFloat(fixedText(value.toDouble() * 0.03936996, 2).toDouble());
    }
    c->post();
    reedit();
}

void TKcCalculateForm::metricExit(const char* metric, const char* imperial, double factor)
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen() || c->field(QLatin1String(metric)).isNull()) return;
    editIfBrowsing(c);
    c->field(QLatin1String(imperial)).setAsFloat(fixedText(c->field(QLatin1String(metric)).asFloat() * factor, 2).toDouble());
    showPresets();
}

void TKcCalculateForm::imperialExit(const char* imperial, const char* metric, double factor, int decimals)
{
    TTable* c = DMod->tblFAOcurv;
    if (!c->isOpen() || c->field(QLatin1String(imperial)).isNull()) return;
    editIfBrowsing(c);
    c->field(QLatin1String(metric))
        .setAsFloat(fixedText(c->field(QLatin1String(imperial)).asFloat() * factor, decimals).toDouble());
    showPresets();
}

void TKcCalculateForm::CalcBtnClick()
{
    setGroupsEnabled(true);
    calculateCurveKc(*DMod->tblFAOcurv);
    reedit();
}

void TKcCalculateForm::UseFAOBtnClick()
{
    if (useTable12Kc(*DMod->tblFAOcurv)) setGroupsEnabled(false);
    reedit();
}

void TKcCalculateForm::FormClose()
{
    DMod->tblLocDef->close();
    TTable* c = DMod->tblFAOcurv;
    editIfBrowsing(c);
    c->field(QStringLiteral("FAOCropType")).setAsString(QStringLiteral("FAO 56, Table 12 crops"));
    c->post();
    c->edit();
}

} // namespace quen::cropprog
