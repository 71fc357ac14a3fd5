#include "FarmWaterDlg.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "CropInputLimits.h"
#include "CropRunContext.h"
#include "FarmStore.h"
#include "FarmWaterReport.h"
#include "FarmWaterText.h"
#include "Help.h"
#include "Hourglass.h"
#include "JobState.h"
#include "NumEdit.h"
#include "Placement.h"
#include "Table.h"

namespace quen {

namespace {

constexpr int kFarmWaterHelp = 19031;

void FillGrid(QTableWidget* grid, const output::FarmTextTable& t)
{
    grid->clear();
    grid->setColumnCount(int(t.header.size()));
    QStringList heads;   // the unit under the name: narrower columns
    for (QString h : t.header)
        heads << h.replace(QStringLiteral(" ("), QStringLiteral("\n("));
    grid->setHorizontalHeaderLabels(heads);
    grid->setRowCount(int(t.rows.size()));
    for (int r = 0; r < int(t.rows.size()); ++r)
        for (int c = 0; c < int(t.rows.at(r).size()) && c < grid->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(t.rows.at(r).at(c));
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c > 0 && c < int(t.header.size()) - (t.header.last() == QLatin1String("Note") ? 1 : 0))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            grid->setItem(r, c, item);
        }
    grid->resizeColumnsToContents();
    grid->resizeRowsToContents();
}

} // namespace

TFarmWaterDlg::TFarmWaterDlg(CropRunContext& ctx, CropCurveState& curves, JobState& job, TTable& wk, bool metric,
                             QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_curves(curves), m_job(job), m_wk(wk), m_metric(metric)
{
    using namespace mainprog;
    setObjectName(QStringLiteral("FarmWaterDlg"));
    setWindowTitle(QStringLiteral("Farm Water"));
    setHelpContext(this, kFarmWaterHelp);
    resize(1060, 820);

    auto* lay = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* inputs = new QGroupBox(QStringLiteral("Job"), this);
    auto* form = new QFormLayout(inputs);
    auto edit = [this](const char* name, const char* picture, const InputRange& r, const QString& caption) {
        auto* e = new TNumEdit(QString::fromLatin1(picture), r.lo, r.hi, this);
        e->setObjectName(QString::fromLatin1(name));
        e->setFieldCaption(caption);
        e->setFixedWidth(64);
        connect(e, &TNumEdit::valueCommitted, this, &TFarmWaterDlg::FarmEditCommitted);
        return e;
    };
    ConveyEffEdit = edit("ConveyEffEdit", "#.##", FarmInputRange::ConveyanceEff,
                         QStringLiteral("Conveyance efficiency (Ec)"));
    HoursEdit = edit("HoursEdit", "##.#", FarmInputRange::HoursPerDay, QStringLiteral("Operating hours per day"));
    ECwEdit = edit("ECwEdit", "##.##", FarmInputRange::WaterSalinity,
                   QStringLiteral("Irrigation water salinity (ECw), dS/m"));
    form->addRow(QStringLiteral("Conveyance efficiency (Ec)"), ConveyEffEdit);
    form->addRow(QStringLiteral("Operating hours per day"), HoursEdit);
    form->addRow(QStringLiteral("Irrigation water salinity (ECw), dS/m"), ECwEdit);
    top->addWidget(inputs);
    auto* capBox = new QVBoxLayout;
    CapacityLbl = new QLabel(this);
    CapacityLbl->setObjectName(QStringLiteral("CapacityLbl"));
    CapacityLbl->setWordWrap(true);
    CapacityLbl->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ProblemLbl = new QLabel(this);
    ProblemLbl->setObjectName(QStringLiteral("ProblemLbl"));
    ProblemLbl->setWordWrap(true);
    ProblemLbl->setStyleSheet(QStringLiteral("color: #b00000"));
    auto* sources = new QLabel(output::FarmSourcesText(m_metric), this);
    sources->setObjectName(QStringLiteral("SourcesLbl"));
    sources->setWordWrap(true);
    capBox->addWidget(CapacityLbl);
    capBox->addWidget(ProblemLbl);
    capBox->addStretch();
    capBox->addWidget(sources);
    top->addLayout(capBox, 1);
    lay->addLayout(top);

    CropGrid = new QTableWidget(this);
    CropGrid->setObjectName(QStringLiteral("CropGrid"));
    CropGrid->verticalHeader()->hide();
    CropGrid->setMaximumHeight(170);
    lay->addWidget(CropGrid);

    auto* bottom = new QHBoxLayout;
    MonthGrid = new QTableWidget(this);
    MonthGrid->setObjectName(QStringLiteral("MonthGrid"));
    MonthGrid->verticalHeader()->hide();
    MonthGrid->setMinimumWidth(470);
    bottom->addWidget(MonthGrid);
    auto* chartSide = new QVBoxLayout;
    DemandChart = new QChartView(this);
    DemandChart->setObjectName(QStringLiteral("DemandChart"));
    DemandChart->setRenderHint(QPainter::Antialiasing);
    DemandChart->setMinimumSize(480, 360);
    chartSide->addWidget(DemandChart, 1);
    DryYearBox = new QCheckBox(QStringLiteral("Dry year (80% chance)"), this);
    DryYearBox->setObjectName(QStringLiteral("DryYearBox"));
    connect(DryYearBox, &QCheckBox::clicked, this, &TFarmWaterDlg::DryYearBoxClick);
    chartSide->addWidget(DryYearBox);
    bottom->addLayout(chartSide, 1);
    lay->addLayout(bottom, 1);

    auto* buttons = new QHBoxLayout;
    ReportBtn = new QPushButton(QStringLiteral("Report"), this);
    ReportBtn->setObjectName(QStringLiteral("ReportBtn"));
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"), this);
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));
    buttons->addStretch();
    buttons->addWidget(ReportBtn);
    buttons->addWidget(CloseBtn);
    buttons->addWidget(HelpBtn);
    lay->addLayout(buttons);
    connect(ReportBtn, &QPushButton::clicked, this, &TFarmWaterDlg::ReportBtnClick);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpBtn, &QPushButton::clicked, this, &TFarmWaterDlg::HelpBtnClick);

    ConveyEffEdit->setValue(m_job.Farm.conveyanceEff);
    HoursEdit->setValue(m_job.Farm.hoursPerDay);
    ECwEdit->setValue(m_job.Farm.ecw);
    Recompute();
}

TFarmWaterDlg::~TFarmWaterDlg() = default;

void TFarmWaterDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    fitWindowToScreen(this);
}

void TFarmWaterDlg::Recompute()
{
    {
        THourglass wait;
        job::JobFarm farm = job::ComputeWorkingFarm(m_ctx, m_curves, m_wk, m_job.Farm);
        m_water = std::move(farm.water);
        m_problems = std::move(farm.problems);
    }
    fill();
}

void TFarmWaterDlg::FarmEditCommitted()
{
    FarmJobInput farm = m_job.Farm;
    farm.conveyanceEff = ConveyEffEdit->value();
    farm.hoursPerDay = HoursEdit->value();
    farm.ecw = ECwEdit->value();
    if (farm.conveyanceEff == m_job.Farm.conveyanceEff && farm.hoursPerDay == m_job.Farm.hoursPerDay
        && farm.ecw == m_job.Farm.ecw)
        return;
    m_job.Farm = farm;
    if (m_job.JobSaveState == 0)
        m_job.JobSaveState = 2;
    Recompute();
}

void TFarmWaterDlg::fill()
{
    if (m_problems.isEmpty()) {
        FillGrid(CropGrid, output::FarmCropTable(m_water, m_metric));
        FillGrid(MonthGrid, output::FarmMonthlyTable(m_water, m_metric));
        CapacityLbl->setText(output::FarmCapacityLines(m_water, m_metric).join(QLatin1Char('\n')));
        ProblemLbl->clear();
    } else {
        CropGrid->clear();
        CropGrid->setRowCount(0);
        MonthGrid->clear();
        MonthGrid->setRowCount(0);
        CapacityLbl->setText(QStringLiteral("Farm figures are not available."));
        ProblemLbl->setText(m_problems.join(QLatin1Char('\n')));
    }
    ReportBtn->setEnabled(m_problems.isEmpty());
    drawChart();
}

void TFarmWaterDlg::drawChart()
{
    auto* chart = new QChart;
    if (m_water.available)
        FillFarmDemandChart(chart, m_water, m_metric, DryYearBox->isChecked());
    else
        chart->setTitle(QStringLiteral("Farm figures are not available"));
    QChart* old = DemandChart->chart();
    DemandChart->setChart(chart);
    delete old;
}

void TFarmWaterDlg::DryYearBoxClick() { drawChart(); }

void TFarmWaterDlg::ReportBtnClick()
{
    if (!m_problems.isEmpty())
        return;
    output::previewFarmWaterReport(this, m_ctx, m_water, m_metric);
}

void TFarmWaterDlg::HelpBtnClick() { showHelpContext(kFarmWaterHelp); }

} // namespace quen
