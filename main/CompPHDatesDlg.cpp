#include "CompPHDatesDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "Calendar.h"
#include "CropSetup.h"
#include "CropCompDlg.h"
#include "EnterFocus.h"
#include "Help.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "NumEdit.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

QLabel* value(QWidget* parent, int width = 40)
{
    auto* l = new QLabel(parent);
    l->setFrameShape(QFrame::StyledPanel);
    l->setMinimumWidth(width);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

QLabel* text(const QString& t, QWidget* parent) { return new QLabel(t, parent); }

QString daysText(int days) { return days == 1 ? QString() : QString::number(days); }

// A date row: caption, month, day.
void dateRow(QGridLayout* g, int row, const QString& caption, QLabel* mo, QLabel* day, QWidget* parent)
{
    g->addWidget(text(caption, parent), row, 0);
    g->addWidget(mo, row, 1);
    g->addWidget(day, row, 2);
}

// The month and day headings over the planting and the harvest date rows.
void plantHarvestRows(QGridLayout* g, QLabel* pMo, QLabel* pDay, QLabel* hMo, QLabel* hDay, QWidget* parent)
{
    g->addWidget(text(QStringLiteral("Month"), parent), 0, 1);
    g->addWidget(text(QStringLiteral("Day"), parent), 0, 2);
    dateRow(g, 1, QStringLiteral("Planting or start of growth date"), pMo, pDay, parent);
    dateRow(g, 2, QStringLiteral("Harvest or end of growth date"), hMo, hDay, parent);
}

} // namespace

TCompPHDatesDlg::TCompPHDatesDlg(CropRunContext& ctx, const StationFrostDates& frost, TCropCompDlg* inputs,
                                 QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_frost(frost), m_inputs(inputs)
{
    setObjectName(QStringLiteral("CompPHDatesDlg"));
    setWindowTitle(QStringLiteral("Compute Start of Growth and End of Growth Dates Tool"));
    setModal(true);
    m_metric = DMod && DMod->MetricUnits;
    const QString unit = m_metric ? QStringLiteral("(C)") : QStringLiteral("(F)");

    auto* note = text(QStringLiteral("NOTE: This procedure will not work in warm, multi crop climates.  "
                                     "Cancel and enter dates directly."), this);
    note->setWordWrap(true);
    QFont bold = note->font();
    bold.setBold(true);
    note->setFont(bold);

    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpBtn->setToolTip(QStringLiteral("Help"));
    HelpBtn->setAutoDefault(false);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    OKBtn->setToolTip(QStringLiteral("Compute and return to crop data"));
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);
    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(HelpBtn);
    toolbar->addWidget(OKBtn);
    toolbar->addWidget(CancelBtn);
    toolbar->addStretch(1);

    // Default dates from database.
    auto* defGroup = new QGroupBox(QStringLiteral("Default Dates from database"), this);
    DefPMoLbl = value(defGroup);
    DefPDayLbl = value(defGroup);
    DefHMoLbl = value(defGroup);
    DefHDayLbl = value(defGroup);
    DefGrowDaysLbl = value(defGroup);
    {
        auto* g = new QGridLayout(defGroup);
        plantHarvestRows(g, DefPMoLbl, DefPDayLbl, DefHMoLbl, DefHDayLbl, defGroup);
        g->addWidget(text(QStringLiteral("Default grow days:"), defGroup), 3, 0);
        g->addWidget(DefGrowDaysLbl, 3, 1);
        g->setColumnStretch(3, 1);
    }

    // Temperature and grow day data from database.
    auto* dbGroup = new QGroupBox(QStringLiteral("Temperature and grow day data from database"), this);
    MinDaysLbl = value(dbGroup);
    MaxDaysLbl = value(dbGroup);
    BeginTempLbl = value(dbGroup);
    EndTempLbl = value(dbGroup);
    {
        auto* g = new QGridLayout(dbGroup);
        g->addWidget(text(QStringLiteral("Minimum grow days"), dbGroup), 0, 0);
        g->addWidget(MinDaysLbl, 0, 1);
        g->addWidget(text(QStringLiteral("days"), dbGroup), 0, 2);
        g->addWidget(text(QStringLiteral("Maximum grow days"), dbGroup), 1, 0);
        g->addWidget(MaxDaysLbl, 1, 1);
        g->addWidget(text(QStringLiteral("days"), dbGroup), 1, 2);
        g->addWidget(text(QStringLiteral("Begin growth temperature "), dbGroup), 2, 0);
        g->addWidget(BeginTempLbl, 2, 1);
        g->addWidget(text(unit, dbGroup), 2, 2);
        g->addWidget(text(QStringLiteral("End growth temperature"), dbGroup), 3, 0);
        g->addWidget(EndTempLbl, 3, 1);
        g->addWidget(text(unit, dbGroup), 3, 2);
        g->setColumnStretch(3, 1);
    }

    // Enter Grow Days and Temperature to Use.
    auto* entryGroup = new QGroupBox(QStringLiteral("Enter Grow Days and Temperature to Use"), this);
    GrowDaysCaption = text(QStringLiteral("Grow days required:"), entryGroup);
    GrowDaysEdit = new TNumEdit(QStringLiteral("iii"), 10, 365, entryGroup);
    GrowDaysEdit->setObjectName(QStringLiteral("GrowDaysEdit"));
    BeginTempEdit = new TNumEdit(QStringLiteral("##.#"), 0, 0, entryGroup);
    BeginTempEdit->setObjectName(QStringLiteral("BeginTempEdit"));
    EndTempEdit = new TNumEdit(QStringLiteral("##.#"), -10, 120, entryGroup);
    EndTempEdit->setObjectName(QStringLiteral("EndTempEdit"));
    for (TNumEdit* e : {GrowDaysEdit, BeginTempEdit, EndTempEdit}) e->setFixedWidth(56);
    GrowDaysEdit->setFieldCaption(QStringLiteral("Grow days required"));
    BeginTempEdit->setFieldCaption(QStringLiteral("Begin growth temperature"));
    EndTempEdit->setFieldCaption(QStringLiteral("End growth temperature"));
    ReCalcBtn = new QPushButton(QStringLiteral("Re-Calculate"), entryGroup);
    ReCalcBtn->setObjectName(QStringLiteral("ReCalcBtn"));
    ReCalcBtn->setAutoDefault(false);
    {
        auto* g = new QGridLayout(entryGroup);
        g->addWidget(GrowDaysCaption, 0, 0);
        g->addWidget(GrowDaysEdit, 0, 1);
        g->addWidget(text(QStringLiteral("Begin growth temperature:"), entryGroup), 1, 0);
        g->addWidget(BeginTempEdit, 1, 1);
        g->addWidget(text(unit, entryGroup), 1, 2);
        g->addWidget(text(QStringLiteral("End growth temperature:"), entryGroup), 2, 0);
        g->addWidget(EndTempEdit, 2, 1);
        g->addWidget(text(unit, entryGroup), 2, 2);
        g->addWidget(ReCalcBtn, 0, 3, 3, 1, Qt::AlignCenter);
        g->setColumnStretch(2, 1);
    }

    // Temperature based maximum grow days.
    auto* tempGroup = new QGroupBox(QStringLiteral("Temperature based maximum grow days"), this);
    AvailDaysLbl = value(tempGroup);
    TempEndMoLbl = value(tempGroup);
    TempEndDayLbl = value(tempGroup);
    {
        auto* g = new QGridLayout(tempGroup);
        g->addWidget(text(QStringLiteral("Available grow days:"), tempGroup), 0, 0);
        g->addWidget(AvailDaysLbl, 0, 1);
        g->addWidget(text(QStringLiteral("Month"), tempGroup), 1, 1);
        g->addWidget(text(QStringLiteral("Day"), tempGroup), 1, 2);
        dateRow(g, 2, QStringLiteral("Temperature based end date"), TempEndMoLbl, TempEndDayLbl, tempGroup);
        g->setColumnStretch(3, 1);
    }

    // Re-calculated Start and End dates.
    auto* newGroup = new QGroupBox(QStringLiteral("Re-calculated Start and End dates"), this);
    NewPMoLbl = value(newGroup);
    NewPDayLbl = value(newGroup);
    NewHMoLbl = value(newGroup);
    NewHDayLbl = value(newGroup);
    {
        auto* g = new QGridLayout(newGroup);
        plantHarvestRows(g, NewPMoLbl, NewPDayLbl, NewHMoLbl, NewHDayLbl, newGroup);
        g->setColumnStretch(3, 1);
    }

    auto* v = new QVBoxLayout(this);
    v->addWidget(note);
    v->addLayout(toolbar);
    v->addWidget(defGroup);
    v->addWidget(dbGroup);
    v->addWidget(entryGroup);
    v->addWidget(tempGroup);
    v->addWidget(newGroup);

    connect(HelpBtn, &QPushButton::clicked, this, [] { showHelpContext(17); });
    connect(OKBtn, &QPushButton::clicked, this, &TCompPHDatesDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &TCompPHDatesDlg::CancelBtnClick);
    connect(ReCalcBtn, &QPushButton::clicked, this, &TCompPHDatesDlg::ComputeGrowthDatesClick);
    connect(GrowDaysEdit, &TNumEdit::exited, this, &TCompPHDatesDlg::GrowDaysEditExit);

    adjustSize();
    if (const QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
}

TCompPHDatesDlg::~TCompPHDatesDlg() = default;

TTable* TCompPHDatesDlg::workingCrop() const { return DMod ? DMod->tblQuenWkCrop : nullptr; }

bool TCompPHDatesDlg::FormActivate()
{
    TTable* wk = workingCrop();
    if (!wk || !wk->isOpen()) return false;
    auto f = [wk](const char* name) { return wk->field(QString::fromLatin1(name)); };

    // 1: the working crop of the inputs dialog.
    if (f("Crop Name").asString() != m_ctx.CropName) {
        wk->findNearest({m_ctx.CropName});
        if (wk->state() == TTable::State::Browse) wk->edit();
    }

    // 3, 4: the default dates.
    m_saved = CropGrowthDates::read(*wk);
    m_saved.setDates(m_ctx);
    const bool enteredDays = !f("EnteredGrowDays").isNull();
    if (enteredDays) GrowDaysEdit->setValue(f("EnteredGrowDays").asInteger());
    DefPMoLbl->setNum(m_ctx.PlantMonth);
    DefPDayLbl->setNum(m_ctx.PlantDay);
    DefHMoLbl->setNum(m_ctx.HarvestMonth);
    DefHDayLbl->setNum(m_ctx.HarvestDay);
    DefGrowDaysLbl->setNum(DayOfYear(m_ctx.HarvestMonth, m_ctx.HarvestDay) - DayOfYear(m_ctx.PlantMonth, m_ctx.PlantDay));

    // 5: the growth temperatures.
    m_saved.setTemperatures(m_ctx);
    const TField begin = m_metric ? f("StartTM") : f("StartT");
    const TField end = m_metric ? f("EndTM") : f("EndT");
    BeginTempLbl->setText(begin.asString());
    EndTempLbl->setText(end.asString());

    // 6: without a begin temperature the tool cannot work.
    if (begin.isNull()) {
        showError(kNoTemperatureData);
        CancelBtnClick();
        return false;
    }

    // 7, 8: grow days.
    m_limits = ReadGrowDayLimits(f("Curve Index").asInteger(), f("Curve Name").asString(), m_ctx.CropName);
    MinDaysLbl->setText(daysText(m_limits.minDays));
    MaxDaysLbl->setText(daysText(m_limits.maxDays));
    const bool needDays = m_limits.minDays != 1;
    GrowDaysCaption->setEnabled(needDays);
    GrowDaysEdit->setEnabled(needDays);
    if (!needDays) GrowDaysEdit->clearValue();
    else if (!enteredDays) GrowDaysEdit->setValue(m_limits.minDays);   // the planner's own entry is kept

    // 9: the temperatures to use.
    BeginTempEdit->setValue(begin.asFloat());
    EndTempEdit->setValue(end.asFloat());

    installEnterMovesFocus({GrowDaysEdit, BeginTempEdit, EndTempEdit});
    return ComputeGrowthDatesClick();
}

bool TCompPHDatesDlg::ComputeGrowthDatesClick()
{
    GrowthDatesInput in;
    in.metricUnits = m_metric;
    in.minGrowDays = m_limits.minDays;
    in.growDaysEntered = GrowDaysEdit->intValue();
    in.beginTemp = BeginTempEdit->value();
    in.endTemp = EndTempEdit->value();
    m_result = ComputeGrowthDates(m_ctx, in, m_frost);
    if (m_result.status != GrowthDatesResult::Status::Ok) {
        restoreTemperatures();
        m_done = true;
        done(QDialog::Rejected);
        return false;
    }
    NewPMoLbl->setNum(m_result.spring.month);
    NewPDayLbl->setNum(m_result.spring.day);
    TempEndMoLbl->setNum(m_result.fall.month);
    TempEndDayLbl->setNum(m_result.fall.day);
    AvailDaysLbl->setNum(m_result.availableDays);
    NewHMoLbl->setNum(m_result.harvest.month);
    NewHDayLbl->setNum(m_result.harvest.day);
    return true;
}

void TCompPHDatesDlg::GrowDaysEditExit()
{
    TTable* wk = workingCrop();
    if (!wk || !wk->isOpen() || GrowDaysEdit->isBlank()) return;
    if (wk->state() == TTable::State::Browse) wk->edit();
    wk->field(QStringLiteral("EnteredGrowDays")).setAsInteger(GrowDaysEdit->intValue());
}

void TCompPHDatesDlg::restoreTemperatures()
{
    m_saved.setTemperatures(m_ctx);
}

void TCompPHDatesDlg::OKBtnClick()
{
    if (m_done) return;
    m_done = true;
    m_ctx.PlantMonth = m_result.spring.month;
    m_ctx.PlantDay = m_result.spring.day;
    m_ctx.HarvestMonth = m_result.harvest.month;
    m_ctx.HarvestDay = m_result.harvest.day;
    if (m_inputs) m_inputs->setDates(m_ctx.PlantMonth, m_ctx.PlantDay, m_ctx.HarvestMonth, m_ctx.HarvestDay);
    if (TTable* wk = workingCrop(); wk && wk->isOpen()) CropGrowthDates::of(m_ctx).write(*wk);
    done(QDialog::Accepted);
}

void TCompPHDatesDlg::CancelBtnClick()
{
    if (m_done) return;
    m_done = true;
    m_saved.setDates(m_ctx);
    restoreTemperatures();
    if (m_inputs) m_inputs->setDates(m_saved.plantMo, m_saved.plantDay, m_saved.harvestMo, m_saved.harvestDay);
    done(QDialog::Rejected);
}

void TCompPHDatesDlg::reject()
{
    if (!m_done) CancelBtnClick();
    else QDialog::reject();
}

} // namespace quen::mainprog
