#include "CropCompDlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <utility>
#include <cmath>

#include "CompPHDatesDlg.h"
#include "ComputeCrop.h"
#include "CropInputLimits.h"
#include "CropSetup.h"
#include "EnterFocus.h"
#include "FarmStore.h"
#include "GrowthDates.h"
#include "Help.h"
#include "Hourglass.h"
#include "IrrigationTypes.h"
#include "MainDMod.h"
#include "MainForm.h"
#include "MessageService.h"
#include "ModalRun.h"
#include "NumEdit.h"
#include "Outputs.h"
#include "Placement.h"
#include "Table.h"

namespace quen::mainprog {

std::function<void(QWidget*, CropRunContext&, CropCurveState&)> TCropCompDlg::ShowOutput =
    [](QWidget* parent, CropRunContext& ctx, CropCurveState& curves) { output::showOutputDialog(parent, ctx, curves); };

namespace {

TNumEdit* numEdit(const char* name, const char* picture, double lo, double hi, QWidget* parent, int width = 56)
{
    auto* e = new TNumEdit(QString::fromLatin1(picture), lo, hi, parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFixedWidth(width);
    return e;
}

TNumEdit* numEdit(const char* name, const char* picture, const InputRange& range, QWidget* parent, int width = 56)
{
    return numEdit(name, picture, range.lo, range.hi, parent, width);
}

QPushButton* helpButton(int topic, QWidget* parent)
{
    auto* b = new QPushButton(QStringLiteral("?"), parent);
    b->setFixedWidth(26);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::NoFocus);
    b->setToolTip(QStringLiteral("Help"));
    QObject::connect(b, &QPushButton::clicked, [topic] { showHelpContext(topic); });
    return b;
}

QLabel* label(const QString& text, QWidget* parent) { return new QLabel(text, parent); }

} // namespace

TCropCompDlg::TCropCompDlg(CropRunContext& ctx, JobState& job, CropCurveState& curves, TMainForm* main,
                           QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_job(job), m_curves(curves), m_main(main)
{
    setObjectName(QStringLiteral("CropCompDlg"));
    setWindowTitle(QStringLiteral("Job Crop Compute"));
    setModal(true);

    // Crop name.
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label(QStringLiteral("Crop Name:"), this));
    CropNameText = new QLabel(this);
    CropNameText->setObjectName(QStringLiteral("CropNameText"));
    QFont bold = CropNameText->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    CropNameText->setFont(bold);
    nameRow->addWidget(CropNameText, 1);

    // Start and end growth dates.
    DateGroup = new QGroupBox(QStringLiteral("Start and end growth dates"), this);
    DateGroup->setObjectName(QStringLiteral("DateGroup"));
    setHelpContext(DateGroup, 19012);
    PMoEdit = numEdit("PMoEdit", "ii", 1, 12, DateGroup, 36);
    PDayEdit = numEdit("PDayEdit", "ii", 1, 31, DateGroup, 36);
    HMoEdit = numEdit("HMoEdit", "ii", 1, 12, DateGroup, 36);
    HDayEdit = numEdit("HDayEdit", "ii", 1, 31, DateGroup, 36);
    for (TNumEdit* e : {PMoEdit, PDayEdit, HMoEdit, HDayEdit}) setHelpContext(e, 12);
    btnCompDate = new QPushButton(QStringLiteral("Compute Dates for Site"), DateGroup);
    btnCompDate->setObjectName(QStringLiteral("btnCompDate"));
    btnCompDate->setToolTip(QStringLiteral("Compute begin and end grow dates"));
    btnCompDate->setFocusPolicy(Qt::ClickFocus);
    btnCompDate->setAutoDefault(false);
    setHelpContext(btnCompDate, 12);
    {
        auto* g = new QGridLayout(DateGroup);
        g->addWidget(label(QStringLiteral("Month"), DateGroup), 0, 1);
        g->addWidget(label(QStringLiteral("Day"), DateGroup), 0, 2);
        g->addWidget(label(QStringLiteral("Planting or start of growth date"), DateGroup), 1, 0);
        g->addWidget(PMoEdit, 1, 1);
        g->addWidget(PDayEdit, 1, 2);
        g->addWidget(label(QStringLiteral("Harvest or end of growth date"), DateGroup), 2, 0);
        g->addWidget(HMoEdit, 2, 1);
        g->addWidget(HDayEdit, 2, 2);
        g->addWidget(helpButton(12, DateGroup), 0, 4);
        auto* compBox = new QVBoxLayout;
        compBox->addWidget(btnCompDate);
        compBox->addWidget(label(QStringLiteral("(Temperature based computation)"), DateGroup), 0, Qt::AlignHCenter);
        g->addLayout(compBox, 1, 4, 2, 1);
        g->setColumnStretch(3, 1);
    }

    // Carry-over and net depth.
    CarryGroup = new QGroupBox(QStringLiteral("Carryover used:"), this);
    CarryGroup->setObjectName(QStringLiteral("CarryGroup"));
    setHelpContext(CarryGroup, 19013);
    NetDepthEdit = numEdit("NetDepthEdit", "##.##", CropInputRange::NetIrrigationDepth, CarryGroup);
    setHelpContext(NetDepthEdit, 13);
    CaryBegEdit = numEdit("CaryBegEdit", "#.##", CropInputRange::CarryOver, CarryGroup);
    CaryEndEdit = numEdit("CaryEndEdit", "#.##", CropInputRange::CarryOver, CarryGroup);
    NetIrrLbl = label(QStringLiteral("inches"), CarryGroup);
    CarryBegLbl = label(QStringLiteral("inches"), CarryGroup);
    CarryEndLbl = label(QStringLiteral("inches"), CarryGroup);
    NetIrrLbl->setObjectName(QStringLiteral("NetIrrLbl"));
    CarryBegLbl->setObjectName(QStringLiteral("CarryBegLbl"));
    CarryEndLbl->setObjectName(QStringLiteral("CarryEndLbl"));
    {
        auto* g = new QGridLayout(CarryGroup);
        g->addWidget(label(QStringLiteral("Net irrigation depth applied each irrigation"), CarryGroup), 0, 0);
        g->addWidget(NetDepthEdit, 0, 1);
        g->addWidget(NetIrrLbl, 0, 2);
        g->addWidget(label(QStringLiteral("Carryover used at beginning of each season"), CarryGroup), 1, 0);
        g->addWidget(CaryBegEdit, 1, 1);
        g->addWidget(CarryBegLbl, 1, 2);
        g->addWidget(label(QStringLiteral("Carryover used at end of each season"), CarryGroup), 2, 0);
        g->addWidget(CaryEndEdit, 2, 1);
        g->addWidget(CarryEndLbl, 2, 2);
        g->setColumnStretch(3, 1);
    }

    // Data for average crop coefficient computations.
    AvgKcGroup = new QGroupBox(QStringLiteral("Data for average crop coefficient computations"), this);
    AvgKcGroup->setObjectName(QStringLiteral("AvgKcGroup"));
    setHelpContext(AvgKcGroup, 19014);
    SoilComboBox = new QComboBox(AvgKcGroup);
    SoilComboBox->setObjectName(QStringLiteral("SoilComboBox"));
    SoilComboBox->addItems(SoilTypes());
    setHelpContext(SoilComboBox, 14);
    IrrTypeComboBox = new QComboBox(AvgKcGroup);
    IrrTypeComboBox->setObjectName(QStringLiteral("IrrTypeComboBox"));
    IrrTypeComboBox->addItems(CropDialogIrrigationTypes());
    setHelpContext(IrrTypeComboBox, 14);
    FracWettedEdit = numEdit("FracWettedEdit", "#.##", CropInputRange::FractionWetted, AvgKcGroup);
    WetDevelEdit = numEdit("WetDevelEdit", "ii", CropInputRange::WettingDays, AvgKcGroup, 36);
    WetMaturEdit = numEdit("WetMaturEdit", "ii", CropInputRange::WettingDays, AvgKcGroup, 36);
    StressEdit = numEdit("StressEdit", "#.##", CropInputRange::StressFactor, AvgKcGroup);
    ASWEdit = numEdit("ASWEdit", "##.#", CropInputRange::AvailableSoilWater, AvgKcGroup);
    CheckBox1 = new QCheckBox(QStringLiteral("Sensitive Crop"), AvgKcGroup);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    {
        auto* g = new QGridLayout(AvgKcGroup);
        g->addWidget(label(QStringLiteral("Surface soil type"), AvgKcGroup), 0, 0);
        g->addWidget(SoilComboBox, 0, 1);
        g->addWidget(label(QStringLiteral("Type of irrigation"), AvgKcGroup), 1, 0);
        g->addWidget(IrrTypeComboBox, 1, 1);
        g->addWidget(label(QStringLiteral("Fraction wetted (Fw)"), AvgKcGroup), 2, 0);
        g->addWidget(FracWettedEdit, 2, 1, Qt::AlignLeft);

        auto* wet = new QGroupBox(QStringLiteral("Wetting interval "), AvgKcGroup);
        auto* wg = new QGridLayout(wet);
        wg->addWidget(label(QStringLiteral("Development"), wet), 0, 0);
        wg->addWidget(WetDevelEdit, 0, 1);
        wg->addWidget(label(QStringLiteral("Days"), wet), 0, 2);
        wg->addWidget(label(QStringLiteral("Maturation"), wet), 1, 0);
        wg->addWidget(WetMaturEdit, 1, 1);
        wg->addWidget(label(QStringLiteral("Days"), wet), 1, 2);
        wg->addWidget(helpButton(14, wet), 0, 3);
        wg->setColumnStretch(2, 1);
        g->addWidget(wet, 3, 0);

        auto* stress = new QGroupBox(QStringLiteral("Water Stress Factor"), AvgKcGroup);
        auto* sg = new QGridLayout(stress);
        sg->addWidget(label(QStringLiteral("Stress Factor (Ks)"), stress), 0, 0);
        sg->addWidget(StressEdit, 0, 1);
        sg->addWidget(label(QStringLiteral("Percent total available water (ASW)"), stress), 1, 0);
        sg->addWidget(ASWEdit, 1, 1);
        sg->addWidget(CheckBox1, 2, 0);
        sg->addWidget(helpButton(14, stress), 0, 2);
        g->addWidget(stress, 3, 1);
        g->setColumnStretch(1, 1);
    }

    // Hay cuttings.
    HayGroup = new QGroupBox(QStringLiteral("Hay Cuttings"), this);
    HayGroup->setObjectName(QStringLiteral("HayGroup"));
    setHelpContext(HayGroup, 19015);
    Cut1MoEdit = numEdit("Cut1MoEdit", "ii", 1, 12, HayGroup, 36);
    Cut1DayEdit = numEdit("Cut1DayEdit", "ii", 1, 31, HayGroup, 36);
    CutEndMoEdit = numEdit("CutEndMoEdit", "ii", 1, 12, HayGroup, 36);
    CutEndDayEdit = numEdit("CutEndDayEdit", "ii", 1, 31, HayGroup, 36);
    CutEdit = numEdit("CutEdit", "ii", CropInputRange::Cuttings, HayGroup, 36);
    for (TNumEdit* e : {Cut1MoEdit, Cut1DayEdit, CutEndMoEdit, CutEndDayEdit, CutEdit}) setHelpContext(e, 15);
    {
        auto* g = new QGridLayout(HayGroup);
        g->addWidget(label(QStringLiteral("Month"), HayGroup), 0, 1);
        g->addWidget(label(QStringLiteral("Day"), HayGroup), 0, 2);
        g->addWidget(label(QStringLiteral("First cutting date"), HayGroup), 1, 0);
        g->addWidget(Cut1MoEdit, 1, 1);
        g->addWidget(Cut1DayEdit, 1, 2);
        g->addWidget(label(QStringLiteral("Last cutting date"), HayGroup), 2, 0);
        g->addWidget(CutEndMoEdit, 2, 1);
        g->addWidget(CutEndDayEdit, 2, 2);
        g->addWidget(label(QStringLiteral("Number of cuttings:"), HayGroup), 3, 0);
        g->addWidget(CutEdit, 3, 1);
        g->setColumnStretch(3, 1);
    }

    // The farm's water.
    FarmGroup = new QGroupBox(QStringLiteral("Farm water"), this);
    FarmGroup->setObjectName(QStringLiteral("FarmGroup"));
    setHelpContext(FarmGroup, 19031);
    AreaEdit = numEdit("AreaEdit", "#####.##", FarmInputRange::IrrigatedArea, FarmGroup, 80);
    AppEffEdit = numEdit("AppEffEdit", "#.##", FarmInputRange::ApplicationEff, FarmGroup);
    ECeEdit = numEdit("ECeEdit", "##.#", FarmInputRange::SalinityThreshold, FarmGroup);
    AreaLbl = label(QStringLiteral("acres"), FarmGroup);
    AreaLbl->setObjectName(QStringLiteral("AreaLbl"));
    for (TNumEdit* e : {AreaEdit, AppEffEdit, ECeEdit}) setHelpContext(e, 19031);
    {
        auto* g = new QGridLayout(FarmGroup);
        g->addWidget(label(QStringLiteral("Irrigated area"), FarmGroup), 0, 0);
        g->addWidget(AreaEdit, 0, 1);
        g->addWidget(AreaLbl, 0, 2);
        g->addWidget(label(QStringLiteral("Application efficiency (Ea)"), FarmGroup), 1, 0);
        g->addWidget(AppEffEdit, 1, 1);
        g->addWidget(label(QStringLiteral("Salinity threshold (ECe)"), FarmGroup), 2, 0);
        g->addWidget(ECeEdit, 2, 1);
        g->addWidget(label(QStringLiteral("dS/m"), FarmGroup), 2, 2);
        g->addWidget(helpButton(19031, FarmGroup), 0, 3);
        g->setColumnStretch(2, 1);
    }

    // The names range messages give the fields.
    const std::pair<TNumEdit*, const char*> captions[] = {
        {PMoEdit, "Planting or start of growth date, Month"},
        {PDayEdit, "Planting or start of growth date, Day"},
        {HMoEdit, "Harvest or end of growth date, Month"},
        {HDayEdit, "Harvest or end of growth date, Day"},
        {NetDepthEdit, "Net irrigation depth applied each irrigation"},
        {CaryBegEdit, "Carryover used at beginning of each season"},
        {CaryEndEdit, "Carryover used at end of each season"},
        {FracWettedEdit, "Fraction wetted (Fw)"},
        {WetDevelEdit, "Wetting interval, Development"},
        {WetMaturEdit, "Wetting interval, Maturation"},
        {StressEdit, "Stress Factor (Ks)"},
        {ASWEdit, "Percent total available water (ASW)"},
        {Cut1MoEdit, "First cutting date, Month"},
        {Cut1DayEdit, "First cutting date, Day"},
        {CutEndMoEdit, "Last cutting date, Month"},
        {CutEndDayEdit, "Last cutting date, Day"},
        {CutEdit, "Number of cuttings"},
        {AreaEdit, "Irrigated area"},
        {AppEffEdit, "Application efficiency (Ea)"},
        {ECeEdit, "Salinity threshold (ECe)"},
    };
    for (const auto& [e, caption] : captions) e->setFieldCaption(QString::fromLatin1(caption));

    // Buttons and status bar.
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    HelpBtn->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(OKBtn);
    buttons->addWidget(HelpBtn);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StationPanel = new QLabel(StatusBar1);
    MethodPanel = new QLabel(StatusBar1);
    StatusBar1->addWidget(StationPanel, 1);
    StatusBar1->addWidget(MethodPanel, 1);

    auto* columns = new QHBoxLayout;
    auto* leftCol = new QVBoxLayout;
    leftCol->addWidget(DateGroup);
    leftCol->addWidget(CarryGroup);
    leftCol->addWidget(HayGroup);
    leftCol->addWidget(FarmGroup);
    leftCol->addStretch(1);
    columns->addLayout(leftCol);
    auto* rightCol = new QVBoxLayout;
    rightCol->addWidget(AvgKcGroup);
    rightCol->addStretch(1);
    columns->addLayout(rightCol, 1);

    auto* v = new QVBoxLayout(this);
    v->addLayout(nameRow);
    v->addLayout(columns, 1);
    v->addLayout(buttons);
    v->addWidget(StatusBar1);

    // Tab order follows the groups.
    QWidget* order[] = {PMoEdit, PDayEdit, HMoEdit, HDayEdit, NetDepthEdit, CaryBegEdit, CaryEndEdit,
                        Cut1MoEdit, Cut1DayEdit, CutEndMoEdit, CutEndDayEdit, CutEdit, AreaEdit, AppEffEdit,
                        ECeEdit, SoilComboBox,
                        IrrTypeComboBox, FracWettedEdit, WetDevelEdit, WetMaturEdit, StressEdit, ASWEdit,
                        CheckBox1, OKBtn, HelpBtn};
    for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    installEnterMovesFocus({SoilComboBox, IrrTypeComboBox, CheckBox1});

    connect(PMoEdit, &TNumEdit::exited, this, &TCropCompDlg::PMoEditExit);
    connect(PDayEdit, &TNumEdit::exited, this, &TCropCompDlg::PDayEditExit);
    connect(HMoEdit, &TNumEdit::exited, this, &TCropCompDlg::HMoEditExit);
    connect(HDayEdit, &TNumEdit::exited, this, &TCropCompDlg::HDayEditExit);
    connect(Cut1MoEdit, &TNumEdit::exited, this, &TCropCompDlg::Cut1MoEditExit);
    connect(Cut1DayEdit, &TNumEdit::exited, this, &TCropCompDlg::Cut1DayEditExit);
    connect(CutEndMoEdit, &TNumEdit::exited, this, &TCropCompDlg::CutEndMoEditExit);
    connect(CutEndDayEdit, &TNumEdit::exited, this, &TCropCompDlg::CutEndDayEditExit);
    connect(CutEdit, &TNumEdit::exited, this, &TCropCompDlg::CutEditExit);
    connect(WetDevelEdit, &TNumEdit::exited, this, &TCropCompDlg::WetDevelEditExit);
    connect(WetMaturEdit, &TNumEdit::exited, this, &TCropCompDlg::WetMaturEditExit);
    connect(FracWettedEdit, &TNumEdit::exited, this, &TCropCompDlg::FracWettedEditExit);
    connect(FracWettedEdit, &TNumEdit::changed, this, &TCropCompDlg::FracWettedEditChange);
    connect(NetDepthEdit, &TNumEdit::exited, this, &TCropCompDlg::NetDepthEditExit);
    connect(CaryBegEdit, &TNumEdit::exited, this, &TCropCompDlg::CaryBegEditExit);
    connect(CaryEndEdit, &TNumEdit::exited, this, &TCropCompDlg::CaryEndEditExit);
    connect(ASWEdit, &TNumEdit::exited, this, &TCropCompDlg::ASWEditExit);
    connect(StressEdit, &TNumEdit::exited, this, &TCropCompDlg::StressEditExit);
    connect(CheckBox1, &QCheckBox::toggled, this, &TCropCompDlg::CheckBox1Exit);
    connect(IrrTypeComboBox, &QComboBox::activated, this, &TCropCompDlg::IrrTypeComboBoxChange);
    connect(SoilComboBox, &QComboBox::activated, this, &TCropCompDlg::SoilComboBoxChange);
    connect(btnCompDate, &QPushButton::clicked, this, &TCropCompDlg::btnCompDateClick);
    connect(OKBtn, &QPushButton::clicked, this, &TCropCompDlg::OKBtnClick);
    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(30); });
    for (TNumEdit* e : {PMoEdit, PDayEdit, HMoEdit, HDayEdit, NetDepthEdit, CaryBegEdit, CaryEndEdit, WetDevelEdit,
                        WetMaturEdit, Cut1MoEdit, Cut1DayEdit, CutEndMoEdit, CutEndDayEdit, CutEdit, StressEdit,
                        ASWEdit})
        connect(e, &TNumEdit::changed, this, &TCropCompDlg::markChanged);
    for (TNumEdit* e : {AreaEdit, AppEffEdit, ECeEdit})
        connect(e, &TNumEdit::changed, this, &TCropCompDlg::FarmEditChange);
}

void TCropCompDlg::FarmEditChange()
{
    if (m_loading) return;
    if (auto* e = qobject_cast<TNumEdit*>(sender())) e->setMarkedModified(true);
    markChanged();
}

TTable* TCropCompDlg::workingCrop() const { return DMod ? DMod->tblQuenWkCrop : nullptr; }

void TCropCompDlg::markChanged()
{
    if (!m_loading && m_job.JobSaveState == 0) m_job.JobSaveState = 2;
}

void TCropCompDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
        // To the groups this crop uses.
        layout()->invalidate();
        layout()->activate();
        resize(sizeHint());
        fitWindowToScreen(this);
    }
}

void TCropCompDlg::FormShow()
{
    TTable* wk = workingCrop();
    if (!wk) return;
    m_loading = true;

    // 1: the depth units.
    m_metric = DMod->MetricUnits;
    const QString unit = m_metric ? QStringLiteral("cm") : QStringLiteral("inches");
    for (QLabel* l : {NetIrrLbl, CarryBegLbl, CarryEndLbl}) l->setText(unit);
    if (m_metric) {
        NetDepthEdit->setRange(0.03, 10 * kCmPerInch);
        CaryBegEdit->setPicture(QStringLiteral("##.##"));
        CaryEndEdit->setPicture(QStringLiteral("##.##"));
        CaryBegEdit->setRange(0, 25.37);
        CaryEndEdit->setRange(0, 25.37);
    }

    // 2: the row.
    if (!wk->isOpen()) {
        wk->setIndexName(QStringLiteral("CropNameIndex"));
        wk->open();
        wk->findNearest({m_ctx.CropName});
    }
    auto f = [wk](const char* name) { return wk->field(QString::fromLatin1(name)); };
    CheckBox1->setChecked(f("Sensitive").asBoolean());

    // 3: status bar, edit mode, the job has changed.
    StationPanel->setText(QStringLiteral("Climate Station: ") + m_ctx.WeatherStationName);
    MethodPanel->setText(QStringLiteral("ET Method: ") + m_ctx.ETMethodText);
    if (wk->state() == TTable::State::Browse) wk->edit();
    if (m_main) m_main->SaveJobBtn->setEnabled(true);
    if (m_job.JobSaveState == 0) m_job.JobSaveState = 2;

    // 4: which groups the crop's curve uses.
    const int curveIndex = f("Curve Index").asInteger();
    if (curveIndex == 2) m_ctx.HayFlag = ForageCurveIsHay(f("Curve Name").asString());
    HayGroup->setVisible(curveIndex == 2);
    AvgKcGroup->setVisible(CurveTakesWettingInputs(curveIndex));

    // 5: the crop.
    m_ctx.CropName = f("Crop Name").asString();
    CropNameText->setText(m_ctx.CropName);

    // 6: the edits, as stored.
    auto show = [](TNumEdit* e, TField fld) { e->setValueText(fld.asString()); };
    // Numbers in the edit's picture ("3.00", "50.0").
    auto showNumber = [](TNumEdit* e, TField fld) {
        if (fld.isNull()) e->clearValue();
        else e->setValue(fld.asFloat());
    };
    show(PMoEdit, f("Plant Mo"));
    show(PDayEdit, f("Plant Day"));
    show(HMoEdit, f("Harvest Mo"));
    show(HDayEdit, f("Harvest Day"));
    m_ctx.PlantMonth = PMoEdit->intValue();
    m_ctx.PlantDay = PDayEdit->intValue();
    m_ctx.HarvestMonth = HMoEdit->intValue();
    m_ctx.HarvestDay = HDayEdit->intValue();
    auto showDepth = [this](TNumEdit* e, TField fld) {
        if (fld.isNull()) e->clearValue();
        else e->setValue(m_metric ? fld.asFloat() * kCmPerInch : fld.asFloat());
    };
    showDepth(CaryBegEdit, f("Carry Beg"));
    showDepth(CaryEndEdit, f("Carry End"));
    showDepth(NetDepthEdit, f("Net Irr"));
    show(WetDevelEdit, f("Dys Wet Developed"));
    show(WetMaturEdit, f("Dys Wet Mature"));
    showNumber(StressEdit, f("Stress Factor"));
    showNumber(ASWEdit, f("ASW"));
    LastASW = ASWEdit->value();
    showNumber(FracWettedEdit, f("Fraction Wetted"));
    m_irrType = f("Irrigation Type").asString();
    if (m_irrType.isEmpty()) m_irrType = QStringLiteral("Sprinklers- above canopy");
    int irr = -1;
    for (int i = 0; i < IrrTypeComboBox->count() && irr < 0; ++i)
        if (SameIrrigationType(IrrTypeComboBox->itemText(i), m_irrType)) irr = i;
    if (irr < 0) {
        IrrTypeComboBox->addItem(m_irrType);
        irr = IrrTypeComboBox->count() - 1;
    }
    IrrTypeComboBox->setCurrentIndex(irr);
    show(CutEdit, f("Cuttings"));
    QString soil = f("Soil").asString();
    if (soil.isEmpty()) soil = QStringLiteral("Silt Loam");
    if (SoilComboBox->findText(soil) < 0) SoilComboBox->addItem(soil);
    SoilComboBox->setCurrentIndex(SoilComboBox->findText(soil));
    show(Cut1MoEdit, f("Cut1Mo"));
    show(Cut1DayEdit, f("Cut1Day"));
    show(CutEndMoEdit, f("CutEndMo"));
    show(CutEndDayEdit, f("CutEndDay"));

    // The farm values (seeded from the irrigation type and the crop when the
    // crop has none yet).
    const job::FarmCropValues farm =
        job::WorkingFarmCrop(m_ctx.CropName, f("Crop No").asInteger(), m_irrType);
    AreaLbl->setText(m_metric ? QStringLiteral("ha") : QStringLiteral("acres"));
    if (m_metric) AreaEdit->setRange(0, FarmInputRange::IrrigatedArea.hi * kAcresToHectares);
    AreaEdit->setValue(m_metric ? farm.areaAcres * kAcresToHectares : farm.areaAcres);
    if (farm.applicationEff > 0) AppEffEdit->setValue(farm.applicationEff);
    else AppEffEdit->clearValue();
    ECeEdit->setValue(farm.ecThreshold);

    for (TNumEdit* e : findChildren<TNumEdit*>()) e->setMarkedModified(false);
    m_loading = false;
}

void TCropCompDlg::setDates(int plantMo, int plantDay, int harvestMo, int harvestDay)
{
    PMoEdit->setValue(plantMo);
    PDayEdit->setValue(plantDay);
    HMoEdit->setValue(harvestMo);
    HDayEdit->setValue(harvestDay);
}

// ---- the month-day check ------------------------------------------------------

void TCropCompDlg::monthLeft(TNumEdit* mo, TNumEdit* day, int& ctxMonth, int& ctxDay, bool message)
{
    mo->setMarkedModified(true);
    const MonthDayCheck c = CheckMonthDay(mo->intValue(), day->intValue());
    if (c.valid) {
        ctxMonth = mo->intValue();
        return;
    }
    day->setValue(c.day);
    day->setMarkedModified(true);
    ctxMonth = mo->intValue();
    ctxDay = c.day;
    if (message) showError(MonthMaxMessage(mo->intValue(), c.day));
    day->setFocus();
}

void TCropCompDlg::dayLeft(TNumEdit* mo, TNumEdit* day, int& ctxDay)
{
    day->setMarkedModified(true);
    const MonthDayCheck c = CheckMonthDay(mo->intValue(), day->intValue());
    if (c.valid) {
        ctxDay = day->intValue();
        return;
    }
    day->setValue(c.day);
    ctxDay = c.day;
    day->setFocus();
}

void TCropCompDlg::PMoEditExit() { monthLeft(PMoEdit, PDayEdit, m_ctx.PlantMonth, m_ctx.PlantDay, false); }
void TCropCompDlg::PDayEditExit() { dayLeft(PMoEdit, PDayEdit, m_ctx.PlantDay); }
void TCropCompDlg::HMoEditExit() { monthLeft(HMoEdit, HDayEdit, m_ctx.HarvestMonth, m_ctx.HarvestDay, true); }
void TCropCompDlg::HDayEditExit() { dayLeft(HMoEdit, HDayEdit, m_ctx.HarvestDay); }
void TCropCompDlg::Cut1MoEditExit() { monthLeft(Cut1MoEdit, Cut1DayEdit, m_ctx.Cut1Month, m_ctx.Cut1Day, true); }
void TCropCompDlg::Cut1DayEditExit() { dayLeft(Cut1MoEdit, Cut1DayEdit, m_ctx.Cut1Day); }
void TCropCompDlg::CutEndMoEditExit()
{
    monthLeft(CutEndMoEdit, CutEndDayEdit, m_ctx.CutEndMonth, m_ctx.CutEndDay, true);
}
void TCropCompDlg::CutEndDayEditExit() { dayLeft(CutEndMoEdit, CutEndDayEdit, m_ctx.CutEndDay); }

// ---- other edits ----------------------------------------------------------------

namespace {

// An entry left: it counts as changed and its value goes into the context.
void leftInto(TNumEdit* e, int& target)
{
    e->setMarkedModified(true);
    target = e->intValue();
}

void leftInto(TNumEdit* e, double& target)
{
    e->setMarkedModified(true);
    target = e->value();
}

} // namespace

void TCropCompDlg::CutEditExit() { leftInto(CutEdit, m_ctx.Cuttings); }
void TCropCompDlg::WetDevelEditExit() { leftInto(WetDevelEdit, m_ctx.DaysWetDeveloped); }
void TCropCompDlg::WetMaturEditExit() { leftInto(WetMaturEdit, m_ctx.DaysWetMature); }
void TCropCompDlg::FracWettedEditExit() { leftInto(FracWettedEdit, m_ctx.FractionWetted); }

void TCropCompDlg::FracWettedEditChange()
{
    m_ctx.FractionWetted = FracWettedEdit->text().toDouble();
    markChanged();
}

double TCropCompDlg::depthInches(const TNumEdit* e) const
{
    if (!m_metric) return e->value();
    // Centimetres typed with two decimals: drop the conversion's last-digit noise.
    return std::round(e->value() * kInchPerCm * 1e9) / 1e9;
}

void TCropCompDlg::depthLeft(TNumEdit* e, double& inches, double& cm)
{
    e->setMarkedModified(true);
    inches = depthInches(e);
    cm = m_metric ? e->value() : e->value() * kCmPerInch;
}

void TCropCompDlg::NetDepthEditExit() { depthLeft(NetDepthEdit, m_ctx.NetIrrDepth, m_ctx.NetIrrDepthCm); }
void TCropCompDlg::CaryBegEditExit() { depthLeft(CaryBegEdit, m_ctx.CarryBeg, m_ctx.CarryBegCm); }
void TCropCompDlg::CaryEndEditExit() { depthLeft(CaryEndEdit, m_ctx.CarryEnd, m_ctx.CarryEndCm); }

// ---- water stress factor and available water ----------------------------------------

void TCropCompDlg::ASWEditExit()
{
    LastASW = ASWEdit->value();
    const double ks = StressFromASW(LastASW, CheckBox1->isChecked());
    StressEdit->setValue(ks);
    m_ctx.StressFactor = ks;
    StressEdit->setMarkedModified(true);
    ASWEdit->setMarkedModified(true);
}

void TCropCompDlg::CheckBox1Exit()
{
    if (m_loading) return;
    m_ctx.Sensitive = CheckBox1->isChecked();
    markChanged();
    const double ks = StressFromASW(ASWEdit->value(), m_ctx.Sensitive);
    StressEdit->setValue(ks);
    m_ctx.StressFactor = ks;
    StressEdit->setMarkedModified(true);
    ASWEdit->setMarkedModified(true);
}

void TCropCompDlg::StressEditExit()
{
    m_ctx.StressFactor = StressEdit->value();
    StressEdit->setMarkedModified(true);
    if (ASWEdit->markedModified()) return;
    if (m_ctx.AvailableSoilWater != LastASW) {
        m_ctx.AvailableSoilWater = ASWFromStress(m_ctx.StressFactor, CheckBox1->isChecked());
        ASWEdit->setValue(m_ctx.AvailableSoilWater);
        ASWEdit->setMarkedModified(true);
    }
}

// ---- lists --------------------------------------------------------------------------

void TCropCompDlg::IrrTypeComboBoxChange(int index)
{
    m_irrType = IrrTypeComboBox->itemText(index);
    const double fw = index < CropDialogIrrigationTypes().size() ? CropDialogFractionWetted(index)
                                                                 : FractionWettedForIrrigationType(m_irrType);
    m_ctx.FractionWetted = fw;
    m_ctx.IrrigationType = m_irrType;
    FracWettedEdit->setValue(fw);
    FracWettedEdit->setMarkedModified(true);
    // The type's application efficiency, as its fraction wetted.
    if (const double ea = job::DefaultApplicationEff(m_irrType); ea > 0) {
        AppEffEdit->setValue(ea);
        AppEffEdit->setMarkedModified(true);
    }
    markChanged();
}

void TCropCompDlg::SoilComboBoxChange(int)
{
    m_ctx.Soil = SoilComboBox->currentText();
    markChanged();
}

// ---- Compute Dates for Site -----------------------------------------------------------

void TCropCompDlg::btnCompDateClick()
{
    markChanged();
    const StationFrostDates frost = ReadSiteGrowthData(m_ctx);
    if (TooWarmForGrowthDates(frost)) {
        showError(QStringLiteral("It's too warm!  This procedure won't work. Enter start and end growth dates directly."));
        PMoEdit->setFocus();
        return;
    }
    TCompPHDatesDlg dates(m_ctx, frost, this, this);
    if (dates.FormActivate()) runModal(dates);
    PMoEdit->setFocus();
}

// ---- closing ------------------------------------------------------------------------

void TCropCompDlg::OKBtnClick() { FormClose(); }

// The entries of the dialog as the planner leaves them.
CropInputs TCropCompDlg::typedInputs() const
{
    CropInputs in;
    auto putInt = [&](TNumEdit* e, const char* name) {
        if (!e->markedModified()) return;
        in.changed.append({QString::fromLatin1(name), e->isBlank() ? QVariant() : QVariant(e->intValue())});
    };
    auto putFloat = [&](TNumEdit* e, const char* name, bool depth) {
        if (!e->markedModified()) return;
        in.changed.append({QString::fromLatin1(name),
                           e->isBlank() ? QVariant() : QVariant(depth ? depthInches(e) : e->value())});
    };
    putInt(PMoEdit, "Plant Mo");
    putInt(PDayEdit, "Plant Day");
    putInt(HMoEdit, "Harvest Mo");
    putInt(HDayEdit, "Harvest Day");
    putFloat(CaryBegEdit, "Carry Beg", true);
    putFloat(CaryEndEdit, "Carry End", true);
    putFloat(NetDepthEdit, "Net Irr", true);
    putInt(WetDevelEdit, "Dys Wet Developed");
    putInt(WetMaturEdit, "Dys Wet Mature");
    putInt(CutEdit, "Cuttings");
    putInt(Cut1MoEdit, "Cut1Mo");
    putInt(Cut1DayEdit, "Cut1Day");
    putInt(CutEndMoEdit, "CutEndMo");
    putInt(CutEndDayEdit, "CutEndDay");
    putFloat(StressEdit, "Stress Factor", false);
    putFloat(ASWEdit, "ASW", false);
    putFloat(FracWettedEdit, "Fraction Wetted", false);
    in.sensitive = CheckBox1->isChecked();
    in.soil = SoilComboBox->currentText();
    in.irrigationType = m_irrType;
    return in;
}

bool TCropCompDlg::FormClose()
{
    if (m_closed) return true;
    // However the dialog closes, the number being typed counts as entered.
    if (!commitPendingEntry(this)) return false;
    TTable* wk = workingCrop();
    if (!wk || !wk->isOpen() || (wk->isEmpty() && wk->state() == TTable::State::Browse)) {
        m_closed = true;
        done(QDialog::Accepted);
        return true;
    }
    if (!storeFarmValues(*wk)) return false;
    THourglass wait;
    const StoredCropInputs stored = StoreAndComputeCrop(m_ctx, m_curves, *wk, typedInputs());
    wait.restore();
    m_closed = stored.posted;   // a refused post keeps the dialog open on the inputs
    if (!stored.error.isEmpty()) showError(stored.error);
    if (!stored.posted) return false;
    done(QDialog::Accepted);
    if (stored.computed && ShowOutput) ShowOutput(parentWidget(), m_ctx, m_curves);
    return true;
}

bool TCropCompDlg::storeFarmValues(TTable& wk)
{
    const QString crop = wk.field(QStringLiteral("Crop Name")).asString();
    const int cropNo = wk.field(QStringLiteral("Crop No")).asInteger();
    // Only what the planner changed: a value shown in the other unit system
    // and not touched keeps its stored digits.
    job::FarmCropValues v = job::WorkingFarmCrop(crop, cropNo, m_irrType);
    if (AreaEdit->markedModified()) {
        v.areaAcres = AreaEdit->isBlank() ? 0.0 : AreaEdit->value();
        if (m_metric) v.areaAcres = std::round(v.areaAcres / kAcresToHectares * 1e9) / 1e9;
    }
    if (AppEffEdit->markedModified()) v.applicationEff = AppEffEdit->isBlank() ? 0.0 : AppEffEdit->value();
    if (ECeEdit->markedModified()) v.ecThreshold = ECeEdit->isBlank() ? 0.0 : ECeEdit->value();
    FarmCropInput check;
    check.cropName = crop;
    check.areaAcres = v.areaAcres;
    check.applicationEff = v.applicationEff;
    if (const QStringList problems = FarmInputProblems(FarmJobInput{}, {check}); !problems.isEmpty()) {
        showError(problems.first());
        (problems.first().startsWith(QLatin1String("Irrigated area")) ? AreaEdit : AppEffEdit)->setFocus();
        return false;
    }
    // A crop keeps no farm row until the planner gives it values: a later
    // change of the defaults then still reaches it.
    if (AreaEdit->markedModified() || AppEffEdit->markedModified() || ECeEdit->markedModified())
        job::SetWorkingFarmCrop(crop, wk.field(QStringLiteral("Job Name")).asString(), cropNo, v);
    return true;
}

void TCropCompDlg::reject() { FormClose(); }

void TCropCompDlg::closeEvent(QCloseEvent* e)
{
    if (!m_closed && !FormClose()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

} // namespace quen::mainprog
