#include "DefLocDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CropInputLimits.h"
#include "CropSetup.h"
#include "DBControls.h"
#include "DialogControls.h"
#include "EnterFocus.h"
#include "Help.h"
#include "FarmStore.h"
#include "MainDMod.h"
#include "NumEdit.h"
#include "MessageService.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

TDataSource* locSource() { return DMod ? DMod->datLocDef : nullptr; }

} // namespace

TDefLocDlg::TDefLocDlg(CropRunContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("DefLocDlg"));
    setWindowTitle(QStringLiteral("Local Default Values"));
    setModal(true);
    TDataSource* ds = locSource();
    PageControl = named(new QTabWidget(this), "PageControl");

    // ---- General Data -------------------------------------------------------
    auto* general = new QWidget(PageControl);
    DBCheckBox2 = named(new TDBCheckBox(ds, QStringLiteral("MetricUnits"), QStringLiteral("Metric Units"), general),
                        "DBCheckBox2");
    IrrSysDBComboBox = named(new TDBComboBox(ds, QStringLiteral("Type of Irrigation"), LocalDefaultIrrigationTypes(),
                                             general), "IrrSysDBComboBox");
    setHelpContext(IrrSysDBComboBox, 19027);
    NetDepthDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Net Depth of Irrigation"), QStringLiteral("##.##"),
                                          LocalDefaultRange::NetDepth.lo, LocalDefaultRange::NetDepth.hi,
                                          general), "NetDepthDBEdit");
    SoilDBComboBox = named(new TDBComboBox(ds, QStringLiteral("Surface Soil Type"), SoilTypes(), general),
                           "SoilDBComboBox");
    setHelpContext(SoilDBComboBox, 19027);
    DysDevelopDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Days Wettings Develop"), QStringLiteral("iii"),
                                            LocalDefaultRange::WettingDays.lo, LocalDefaultRange::WettingDays.hi,
                                            general), "DysDevelopDBEdit");
    DysMatureDBEdir = named(new TDBNumEdit(ds, QStringLiteral("Days Wettings Mature"), QStringLiteral("iii"),
                                           LocalDefaultRange::WettingDays.lo, LocalDefaultRange::WettingDays.hi,
                                           general), "DysMatureDBEdir");
    DBCheckBox1 = named(new TDBCheckBox(ds, QStringLiteral("Sensitive"), QStringLiteral("Sensitive crop"), general),
                        "DBCheckBox1");
    OvcDbNumericField1 = named(new TDBNumEdit(ds, QStringLiteral("ASW"), QStringLiteral("##.#"),
                                                  LocalDefaultRange::AvailableSoilWater.lo,
                                                  LocalDefaultRange::AvailableSoilWater.hi, general),
                               "OvcDbNumericField1");
    OvcDbNumericField2 = named(new TDBNumEdit(ds, QStringLiteral("Stress Factor"), QStringLiteral("#.#"),
                                              LocalDefaultRange::StressFactor.lo, LocalDefaultRange::StressFactor.hi,
                                              general), "OvcDbNumericField2");
    Cut1MoDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Hay 1st Cut Mo"), QStringLiteral("ii"), 1, 12, general),
                         "Cut1MoDBEdit");
    Cut1DayDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Hay 1st Cut Day"), QStringLiteral("ii"), 1, 31, general),
                          "Cut1DayDBEdit");
    LCutMoDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Hay Last Cut Mo"), QStringLiteral("ii"), 1, 12, general),
                         "LCutMoDBEdit");
    LCutDayDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Hay Last Cut Day"), QStringLiteral("ii"), 1, 31, general),
                          "LCutDayDBEdit");
    NoCutDBEdit = named(new TDBNumEdit(ds, QStringLiteral("Hay Cuttings Number"), QStringLiteral("ii"),
                                       LocalDefaultRange::Cuttings.lo, LocalDefaultRange::Cuttings.hi, general),
                        "NoCutDBEdit");
    for (TDBNumEdit* e : {NetDepthDBEdit, DysDevelopDBEdit, DysMatureDBEdir, OvcDbNumericField1, OvcDbNumericField2,
                          Cut1MoDBEdit, Cut1DayDBEdit, LCutMoDBEdit, LCutDayDBEdit, NoCutDBEdit})
        e->setFixedWidth(56);
    {
        auto* g = new QGridLayout(general);
        g->addWidget(bigTitle(QStringLiteral("DEFAULT VALUES"), general), 0, 0, 1, 4, Qt::AlignHCenter);
        g->addWidget(new QLabel(QStringLiteral("Enter default values that are most typical for the area"), general),
                     1, 0, 1, 4, Qt::AlignHCenter);
        auto* units = new QHBoxLayout;
        units->addWidget(new QLabel(QStringLiteral("Use metric units"), general));
        units->addWidget(new QLabel(QStringLiteral("(Check if true)"), general));
        units->addWidget(DBCheckBox2);
        units->addStretch(1);
        g->addLayout(units, 2, 0, 1, 4);
        g->addWidget(new QLabel(QStringLiteral("Type of irrigation system"), general), 3, 0);
        g->addWidget(IrrSysDBComboBox, 3, 1, 1, 3);
        g->addWidget(new QLabel(QStringLiteral("Net Depth of Each Irrigation"), general), 4, 0);
        g->addWidget(NetDepthDBEdit, 4, 1);
        g->addWidget(new QLabel(QStringLiteral("inches"), general), 4, 2);
        g->addWidget(new QLabel(QStringLiteral("Surface Soil Type"), general), 5, 0);
        g->addWidget(SoilDBComboBox, 5, 1, 1, 3);

        auto* wet = new QGroupBox(QStringLiteral("Days between wettings during:"), general);
        auto* wg = new QGridLayout(wet);
        wg->addWidget(new QLabel(QStringLiteral("Crop development"), wet), 0, 0);
        wg->addWidget(DysDevelopDBEdit, 0, 1);
        wg->addWidget(new QLabel(QStringLiteral("Crop maturation"), wet), 1, 0);
        wg->addWidget(DysMatureDBEdir, 1, 1);
        wg->setColumnStretch(2, 1);
        g->addWidget(wet, 6, 0, 1, 2);

        auto* stress = new QGroupBox(QStringLiteral("Water stress factor"), general);
        auto* sg = new QGridLayout(stress);
        sg->addWidget(DBCheckBox1, 0, 0, 1, 2);
        sg->addWidget(new QLabel(QStringLiteral("Percent total available water (ASW)"), stress), 1, 0);
        sg->addWidget(OvcDbNumericField1, 1, 1);
        sg->addWidget(new QLabel(QStringLiteral("Water stress factor"), stress), 2, 0);
        sg->addWidget(OvcDbNumericField2, 2, 1);
        g->addWidget(stress, 6, 2, 1, 2);

        auto* hay = new QGroupBox(QStringLiteral("Hay"), general);
        auto* hg = new QGridLayout(hay);
        hg->addWidget(new QLabel(QStringLiteral("Mo"), hay), 0, 1);
        hg->addWidget(new QLabel(QStringLiteral("Day"), hay), 0, 2);
        hg->addWidget(new QLabel(QStringLiteral("1st cutting Date"), hay), 1, 0);
        hg->addWidget(Cut1MoDBEdit, 1, 1);
        hg->addWidget(Cut1DayDBEdit, 1, 2);
        hg->addWidget(new QLabel(QStringLiteral("Last cutting date"), hay), 2, 0);
        hg->addWidget(LCutMoDBEdit, 2, 1);
        hg->addWidget(LCutDayDBEdit, 2, 2);
        hg->addWidget(new QLabel(QStringLiteral("Annual number\nof hay cuttings"), hay), 1, 4, 2, 1);
        hg->addWidget(NoCutDBEdit, 1, 5, 2, 1);
        hg->setColumnMinimumWidth(3, 20);
        hg->setColumnStretch(6, 1);
        g->addWidget(hay, 7, 0, 1, 4);
        // The irrigation practice the shipped values describe (data/SOURCES.md).
        auto* practice = named(new QLabel(QStringLiteral(
                                   "The values shipped describe sprinkler irrigation above the canopy "
                                   "(whole surface wetted, fw 1.0: FAO-56 Table 20), 3 in net each irrigation, "
                                   "on silt loam. For furrow, trickle or LEPA fields change the type, depth and "
                                   "intervals."),
                               general),
                               "PracticeLabel");
        practice->setWordWrap(true);
        g->addWidget(practice, 8, 0, 1, 4);
        g->setRowStretch(9, 1);
        g->setColumnStretch(3, 1);
    }
    PageControl->addTab(general, QStringLiteral("General Data"));
    installEnterMovesFocus({IrrSysDBComboBox, SoilDBComboBox, DBCheckBox2, DBCheckBox1});

    // ---- FAO 56 Curve Data -----------------------------------------------------
    auto* fao = new QWidget(PageControl);
    DBEdit1 = named(new TDBEdit(ds, QStringLiteral("WettingDays"), fao), "DBEdit1");
    DBEdit2 = named(new TDBEdit(ds, QStringLiteral("App"), fao), "DBEdit2");
    OvcDbNumericField4 = named(new TDBNumEdit(ds, QStringLiteral("Appin"), QStringLiteral("##.##"), 0, 0, fao),
                               "OvcDbNumericField4");
    EToRadioGroup = named(new TDBRadioGroup(QStringLiteral("Estimated ETo"), fao), "EToRadioGroup");
    EToRadioGroup->setItems({QStringLiteral("Low          (1-3 mm/day) -- def 2"),
                             QStringLiteral("Moderate  (3-5 mm/day) -- def 4"),
                             QStringLiteral("High          (5-7 mm/day) -- def 6"),
                             QStringLiteral("Very High  (> 7 mm/day) -- def 8 ")},
                            {QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("6"), QStringLiteral("8")});
    EToRadioGroup->setDataSource(ds);
    EToRadioGroup->setFieldName(QStringLiteral("ETo"));
    DBEditETo = named(new TDBEdit(ds, QStringLiteral("ETo"), fao), "DBEditETo");
    OvcDbNumericField8 = named(new TDBNumEdit(ds, QStringLiteral("EToin"), QStringLiteral("#.##"), 0, 0, fao),
                               "OvcDbNumericField8");
    FwRadioGroup = named(new TDBRadioGroup(QStringLiteral("Soil surface, fraction wetted (fw)"), fao), "FwRadioGroup");
    FwRadioGroup->setItems({QStringLiteral("Precip., Sprinkler irr, Basin Irr, Border irr (1.0)"),
                            QStringLiteral("Furrow irr (every furrow), narrow bed (0.6 -- 1.0)"),
                            QStringLiteral("Furrow irr (every furrow), wide bed (0.4 -- 0.6)"),
                            QStringLiteral("Furrow irr (alternated furrows) (0.3 -- 0.4)")},
                           {QStringLiteral("1.0"), QStringLiteral("0.8"), QStringLiteral("0.5"), QStringLiteral("0.4")});
    FwRadioGroup->setDataSource(ds);
    FwRadioGroup->setFieldName(QStringLiteral("Fw"));
    DBEditfw = named(new TDBEdit(ds, QStringLiteral("Fw"), fao), "DBEditfw");
    U2RadioGroup = named(new TDBRadioGroup(QStringLiteral("Daily mean wind speed"), fao), "U2RadioGroup");
    U2RadioGroup->setItems({QStringLiteral("Light wind                         1m/s  (2.2 mph)"),
                            QStringLiteral("Light to moderate wind     2 m/s  (4.5 mph)"),
                            QStringLiteral("Moderate to strong wind   4 m/s  (9.0 mph)"),
                            QStringLiteral("Strong wind                      5 m/s  (22.2 m/s)")},
                           {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("5")});
    U2RadioGroup->setDataSource(ds);
    U2RadioGroup->setFieldName(QStringLiteral("U2"));
    DBEditu2 = named(new TDBEdit(ds, QStringLiteral("U2"), fao), "DBEditu2");
    OvcDbNumericField5 = named(new TDBNumEdit(ds, QStringLiteral("U2in"), QStringLiteral("##.##"), 0, 0, fao),
                               "OvcDbNumericField5");
    RHMinRadioGroup = named(new TDBRadioGroup(QString(), fao), "RHMinRadioGroup");
    RHMinRadioGroup->setItems({QStringLiteral("Arid             (20% )     (RHmean 45%)"),
                               QStringLiteral("Semi-arid     (30%)      (RHmean 55%)"),
                               QStringLiteral("Sub-humid   (45%)      (RHmean 70%)"),
                               QStringLiteral("Humid          (70%)      (RHmean 85%)"),
                               QStringLiteral("Very humid   (80%)      (RHmean 90%)")},
                              {QStringLiteral("20"), QStringLiteral("30"), QStringLiteral("45"), QStringLiteral("70"),
                               QStringLiteral("80")});
    RHMinRadioGroup->setDataSource(ds);
    RHMinRadioGroup->setFieldName(QStringLiteral("RHMin"));
    DBEditRHmin = named(new TDBEdit(ds, QStringLiteral("RHMin"), fao), "DBEditRHmin");
    STextRadioGroup = named(new TDBRadioGroup(QStringLiteral("Soil texture"), fao), "STextRadioGroup");
    STextRadioGroup->setItems({QStringLiteral("Coarse soil texture"), QStringLiteral("Medium and fine soil texture")},
                              {QStringLiteral("CT"), QStringLiteral("MFT")});
    STextRadioGroup->setDataSource(ds);
    STextRadioGroup->setFieldName(QStringLiteral("SText"));
    DBEditSoil = named(new TDBEdit(ds, QStringLiteral("SText"), fao), "DBEditSoil");
    for (QWidget* e : {static_cast<QWidget*>(DBEdit1), static_cast<QWidget*>(DBEdit2),
                       static_cast<QWidget*>(OvcDbNumericField4), static_cast<QWidget*>(DBEditETo),
                       static_cast<QWidget*>(OvcDbNumericField8), static_cast<QWidget*>(DBEditfw),
                       static_cast<QWidget*>(DBEditu2), static_cast<QWidget*>(OvcDbNumericField5),
                       static_cast<QWidget*>(DBEditRHmin), static_cast<QWidget*>(DBEditSoil)})
        e->setFixedWidth(56);
    {
        auto pair = [](QGridLayout* g, int row, const QString& caption, QWidget* a, const QString& ua, QWidget* b,
                       const QString& ub, QWidget* parent) {
            g->addWidget(new QLabel(caption, parent), row, 0);
            g->addWidget(a, row, 1);
            g->addWidget(new QLabel(ua, parent), row, 2);
            if (b) {
                g->addWidget(b, row, 3);
                g->addWidget(new QLabel(ub, parent), row, 4);
            }
        };
        auto* init = new QGroupBox(QStringLiteral("Initial Growth Stage"), fao);
        auto* ig = new QGridLayout(init);
        pair(ig, 0, QStringLiteral("Days between wettings"), DBEdit1, QStringLiteral("days"), nullptr, {}, init);
        pair(ig, 1, QStringLiteral("Estimated net irrigstion depth"), DBEdit2, QStringLiteral("mm"), OvcDbNumericField4,
             QStringLiteral("in"), init);
        ig->addWidget(EToRadioGroup, 2, 0, 1, 6);
        pair(ig, 3, QStringLiteral("Estimated ETo"), DBEditETo, QStringLiteral("mm/day"), OvcDbNumericField8,
             QStringLiteral("in/day"), init);
        ig->addWidget(FwRadioGroup, 4, 0, 1, 6);
        pair(ig, 5, QStringLiteral("Fraction wetted (fw)"), DBEditfw, QString(), nullptr, {}, init);
        ig->setColumnStretch(5, 1);

        auto* mid = new QGroupBox(QStringLiteral("Mid Season Stage"), fao);
        auto* mg = new QGridLayout(mid);
        mg->addWidget(U2RadioGroup, 0, 0, 1, 6);
        pair(mg, 1, QStringLiteral("Wind (u2)"), DBEditu2, QStringLiteral("m/s"), OvcDbNumericField5,
             QStringLiteral("mph"), mid);
        mg->addWidget(new QLabel(QStringLiteral("Minimum relative RHmin "), mid), 2, 0, 1, 6);
        mg->addWidget(RHMinRadioGroup, 3, 0, 1, 6);
        pair(mg, 4, QStringLiteral("RHmin"), DBEditRHmin, QStringLiteral("%"), nullptr, {}, mid);
        mg->setColumnStretch(5, 1);

        auto* soil = new QGroupBox(QStringLiteral("Soil"), fao);
        auto* sg = new QGridLayout(soil);
        sg->addWidget(STextRadioGroup, 0, 0, 1, 3);
        pair(sg, 1, QStringLiteral("Soil texture"), DBEditSoil, QString(), nullptr, {}, soil);
        sg->setColumnStretch(2, 1);

        auto* g = new QGridLayout(fao);
        g->addWidget(init, 0, 0, 2, 1);
        g->addWidget(mid, 0, 1);
        g->addWidget(soil, 1, 1);
        g->setRowStretch(2, 1);
    }
    PageControl->addTab(fao, QStringLiteral("FAO 56 Curve Data"));

    // ---- Farm Water -----------------------------------------------------------
    auto* farm = new QWidget(PageControl);
    farm->setObjectName(QStringLiteral("FarmPage"));
    setHelpContext(farm, 19031);
    auto farmEdit = [farm](const char* name, const char* picture, const InputRange& r, const char* caption) {
        auto* e = named(new TNumEdit(QString::fromLatin1(picture), r.lo, r.hi, farm), name);
        e->setFieldCaption(QString::fromLatin1(caption));
        e->setFixedWidth(56);
        return e;
    };
    ConveyEffDefEdit = farmEdit("ConveyEffDefEdit", "#.##", FarmInputRange::ConveyanceEff, "Conveyance efficiency (Ec)");
    HoursDefEdit = farmEdit("HoursDefEdit", "##.#", FarmInputRange::HoursPerDay, "Operating hours per day");
    ECwDefEdit = farmEdit("ECwDefEdit", "##.##", FarmInputRange::WaterSalinity, "Irrigation water salinity (ECw)");
    {
        auto* g = new QGridLayout(farm);
        g->addWidget(bigTitle(QStringLiteral("FARM WATER"), farm), 0, 0, 1, 3, Qt::AlignHCenter);
        auto* job = new QGroupBox(QStringLiteral("A new job"), farm);
        auto* jg = new QGridLayout(job);
        jg->addWidget(new QLabel(QStringLiteral("Conveyance efficiency (Ec)"), job), 0, 0);
        jg->addWidget(ConveyEffDefEdit, 0, 1);
        jg->addWidget(new QLabel(QStringLiteral("Operating hours per day"), job), 1, 0);
        jg->addWidget(HoursDefEdit, 1, 1);
        jg->addWidget(new QLabel(QStringLiteral("Irrigation water salinity (ECw)"), job), 2, 0);
        jg->addWidget(ECwDefEdit, 2, 1);
        jg->addWidget(new QLabel(QStringLiteral("dS/m"), job), 2, 2);
        jg->setColumnStretch(3, 1);
        g->addWidget(job, 1, 0, 1, 3);
        auto* eff = new QGroupBox(QStringLiteral("Application efficiency (Ea) by type of irrigation"), farm);
        auto* eg = new QGridLayout(eff);
        int row = 0;
        for (const QString& type : job::FarmIrrigationTypes()) {
            auto* e = farmEdit("AppEffDefEdit", "#.##", FarmInputRange::ApplicationEff, "Application efficiency (Ea)");
            e->setObjectName(QStringLiteral("AppEffDefEdit%1").arg(row + 1));
            e->setFieldCaption(QStringLiteral("Application efficiency (Ea), ") + type);
            AppEffDefEdits << e;
            eg->addWidget(new QLabel(type, eff), row, 0);
            eg->addWidget(e, row, 1);
            ++row;
        }
        eg->setColumnStretch(2, 1);
        g->addWidget(eff, 2, 0, 1, 3);
        auto* note = named(new QLabel(QStringLiteral(
                               "A new crop takes the efficiency of its type of irrigation and the salinity "
                               "threshold of its crop (FAO-29 Table 4); the sources of the shipped values are "
                               "in the help."),
                           farm),
                           "FarmNoteLabel");
        note->setWordWrap(true);
        g->addWidget(note, 3, 0, 1, 3);
        g->setRowStretch(4, 1);
    }
    PageControl->addTab(farm, QStringLiteral("Farm Water"));

    HelpBtn = named(new QPushButton(QStringLiteral("&Help"), this), "HelpBtn");
    HelpBtn->setAutoDefault(false);
    OKBtn = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn->setDefault(true);
    OKBtn->setToolTip(QStringLiteral("Save changes and return to main"));
    CancelBtn = named(new QPushButton(QStringLiteral("Cancel"), this), "CancelBtn");
    CancelBtn->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(HelpBtn);
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* v = new QVBoxLayout(this);
    v->addWidget(PageControl, 1);
    v->addLayout(buttons);

    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(31); });
    connect(OKBtn, &QPushButton::clicked, this, &TDefLocDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TDefLocDlg::CancelBtnClick);
    connect(DBCheckBox2, &TDBCheckBox::clicked, this, &TDefLocDlg::DBCheckBox2Exit);
    connect(DBCheckBox2, &TDBCheckBox::exited, this, &TDefLocDlg::DBCheckBox2Exit);
    connect(DBEdit2, &TDBEdit::exited, this, &TDefLocDlg::DBEdit2Exit);
    connect(OvcDbNumericField4, &TDBNumEdit::exited, this, &TDefLocDlg::OvcDbNumericField4Exit);
    connect(DBEditETo, &TDBEdit::exited, this, &TDefLocDlg::DBEditEToExit);
    connect(EToRadioGroup, &TDBRadioGroup::changed, this, &TDefLocDlg::DBEditEToExit);
    connect(OvcDbNumericField8, &TDBNumEdit::exited, this, &TDefLocDlg::OvcDbNumericField8Exit);
    connect(DBEditu2, &TDBEdit::exited, this, &TDefLocDlg::DBEditu2Exit);
    connect(U2RadioGroup, &TDBRadioGroup::changed, this, &TDefLocDlg::DBEditu2Exit);
    connect(OvcDbNumericField5, &TDBNumEdit::exited, this, &TDefLocDlg::OvcDbNumericField5Exit);
    connect(Cut1DayDBEdit, &TDBNumEdit::exited, this, &TDefLocDlg::Cut1DayDBEditExit);
    connect(LCutDayDBEdit, &TDBNumEdit::exited, this, &TDefLocDlg::LCutDayDBEditExit);
}

TDefLocDlg::~TDefLocDlg()
{
    if (DMod && DMod->tblLocDef->isOpen()) {
        if (DMod->tblLocDef->state() != TTable::State::Browse) DMod->tblLocDef->cancel();
        DMod->tblLocDef->close();
    }
}

void TDefLocDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        centre(this);
    }
}

void TDefLocDlg::FormShow()
{
    if (!DMod) return;
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) t->open();
    if (t->state() == TTable::State::Browse) t->edit();

    const FarmJobInput farm = job::DefaultFarmJob();
    ConveyEffDefEdit->setValue(farm.conveyanceEff);
    HoursDefEdit->setValue(farm.hoursPerDay);
    ECwDefEdit->setValue(farm.ecw);
    for (qsizetype i = 0; i < AppEffDefEdits.size(); ++i) {
        const double ea = job::DefaultApplicationEff(job::FarmIrrigationTypes().at(i));
        if (ea > 0) AppEffDefEdits[i]->setValue(ea);
        else AppEffDefEdits[i]->clearValue();
        AppEffDefEdits[i]->setMarkedModified(false);
    }
    for (TNumEdit* e : {ConveyEffDefEdit, HoursDefEdit, ECwDefEdit}) e->setMarkedModified(false);
}

void TDefLocDlg::OKBtnClick()
{
    if (m_done || !DMod) return;
    if (!commitPendingEntry(this)) return;
    // A blank farm value cannot be a default: refused naming its field.
    for (TNumEdit* e : {ConveyEffDefEdit, HoursDefEdit})
        if (e->isBlank()) {
            showError(e->fieldCaption() + QStringLiteral(": enter a number from %1 to %2.")
                                              .arg(e->minimum()).arg(e->maximum()));
            PageControl->setCurrentWidget(e->parentWidget()->parentWidget());
            e->setFocus();
            return;
        }
    TTable* t = DMod->tblLocDef;
    if (t->isOpen() && t->state() != TTable::State::Browse) {
        try {
            t->post();
        } catch (const DbError& e) {
            showError(e.message());
            return;
        }
    }
    try {
        if (ConveyEffDefEdit->markedModified() || HoursDefEdit->markedModified() || ECwDefEdit->markedModified())
            job::SetDefaultFarmJob({ConveyEffDefEdit->value(), HoursDefEdit->value(),
                                    ECwDefEdit->isBlank() ? 0.0 : ECwDefEdit->value()});
        for (qsizetype i = 0; i < AppEffDefEdits.size(); ++i)
            if (AppEffDefEdits[i]->markedModified() && !AppEffDefEdits[i]->isBlank())
                job::SetDefaultApplicationEff(job::FarmIrrigationTypes().at(i), AppEffDefEdits[i]->value());
    } catch (const DbError& e) {
        showError(e.message());
        return;
    }
    m_done = true;
    t->close();
    done(QDialog::Accepted);
}

void TDefLocDlg::CancelBtnClick()
{
    if (m_done) return;
    m_done = true;
    if (DMod) {
        TTable* t = DMod->tblLocDef;
        if (t->isOpen() && t->state() != TTable::State::Browse) t->cancel();
        t->close();
    }
    done(QDialog::Rejected);
}

void TDefLocDlg::reject()
{
    if (!m_done) CancelBtnClick();
    else QDialog::reject();
}

void TDefLocDlg::DBCheckBox2Exit()
{
    // The units switch at once, before any post, for the rest of this run.
    if (DMod) DMod->MetricUnits = DBCheckBox2->isChecked();
}

void TDefLocDlg::twin(const char* from, double factor, const char* to, int decimals, bool toIsText)
{
    if (!DMod) return;
    TTable* t = DMod->tblLocDef;
    if (!t->isOpen()) return;
    const TField src = t->field(QString::fromLatin1(from));
    if (src.isNull()) return;
    bool ok = false;
    const double v = src.asString().trimmed().toDouble(&ok);
    if (!ok) return;
    if (t->state() == TTable::State::Browse) t->edit();
    const QString text = TwinText(v * factor, decimals);
    TField dst = t->field(QString::fromLatin1(to));
    if (toIsText) dst.setAsString(text);
    else dst.setAsFloat(text.toDouble());
}

void TDefLocDlg::DBEdit2Exit() { twin("App", 0.03936996, "Appin", 2, false); }
void TDefLocDlg::OvcDbNumericField4Exit() { twin("Appin", 25.4, "App", 1, true); }
void TDefLocDlg::DBEditEToExit() { twin("ETo", 0.03936996, "EToin", 2, false); }
void TDefLocDlg::OvcDbNumericField8Exit() { twin("EToin", 25.4, "ETo", 1, true); }
void TDefLocDlg::DBEditu2Exit() { twin("U2", 2.236936, "U2in", 2, false); }
void TDefLocDlg::OvcDbNumericField5Exit() { twin("U2in", 0.44704, "U2", 2, true); }

void TDefLocDlg::cutDayLeft(const char* monthField, const char* dayField, TDBNumEdit* dayEdit, int& ctxDay)
{
    if (!DMod || !DMod->tblLocDef->isOpen()) return;
    TTable* t = DMod->tblLocDef;
    const int month = t->field(QString::fromLatin1(monthField)).asInteger();
    const int day = t->field(QString::fromLatin1(dayField)).asInteger();
    const MonthDayCheck c = CheckMonthDay(month, day);
    ctxDay = c.day;
    if (c.valid || MaxDayOfMonth(month) == 0) return;
    if (t->state() == TTable::State::Browse) t->edit();
    t->field(QString::fromLatin1(dayField)).setAsInteger(c.day);
    showError(MonthMaxMessage(month, c.day));
    dayEdit->setFocus();
}

void TDefLocDlg::Cut1DayDBEditExit() { cutDayLeft("Hay 1st Cut Mo", "Hay 1st Cut Day", Cut1DayDBEdit, m_ctx.Cut1Day); }
void TDefLocDlg::LCutDayDBEditExit()
{
    cutDayLeft("Hay Last Cut Mo", "Hay Last Cut Day", LCutDayDBEdit, m_ctx.CutEndDay);
}

} // namespace quen::mainprog
