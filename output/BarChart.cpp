#include "BarChart.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "ChartBuild.h"
#include "ChartReportHeader.h"
#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "Hourglass.h"
#include "MainDMod.h"
#include "Outputs.h"
#include "Placement.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "Table.h"

namespace quen {

using namespace report;

TBarChart::TBarChart(CropRunContext& ctx, bool metric, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_metric(metric)
{
    setObjectName(QStringLiteral("BarChart"));
    setWindowTitle(QStringLiteral("BarChart"));
    resize(820, 760);
    const TwoChartWindow w = BuildTwoChartWindow(this, QStringLiteral("NormChart"), QStringLiteral("DryChart"),
                                                 QStringLiteral("WR Report"), QStringLiteral("WRReportBtn"));
    NormChart = w.top;
    DryChart = w.bottom;
    WRReportBtn = w.report;
    CloseBtn = w.close;
    connect(WRReportBtn, &QPushButton::clicked, this, &TBarChart::WRReportBtnClick);
}

TBarChart::~TBarChart() = default;

void TBarChart::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    fitWindowToScreen(this);
    FormActivate();
}

void TBarChart::FormActivate()
{
    if (m_drawn)
        return;
    m_drawn = true;
    const QString unit = m_metric ? QStringLiteral("cm") : QStringLiteral("inches");
    auto* norm = new QChart;
    FillWaterUseChart(norm, QStringLiteral("Normal Year (50%chance)"), NormalYearBars(m_ctx, m_metric), unit);
    NormChart->setChart(norm);
    auto* dry = new QChart;
    FillWaterUseChart(dry, QStringLiteral("Dry Year (80% chance)"), DryYearBars(m_ctx, m_metric), unit);
    DryChart->setChart(dry);
    if (QApplication::overrideCursor())   // the caller's hourglass
        QApplication::changeOverrideCursor(Qt::ArrowCursor);
}

void TBarChart::WRReportBtnClick()
{
    PreparedReport pages;
    {
        THourglass wait;
        pages = prepareBarReport(m_ctx, m_metric);
    }
    showPreview(pages, this);
}

TFrmQRBar::TFrmQRBar(CropRunContext& ctx, bool metric)
    : m_report(std::make_unique<Report>(QStringLiteral("Monthly Crop Water Requirements")))
{
    Report& rep = *m_report;
    try {
        m_reportTable = std::make_unique<TTable>(QStringLiteral("Report.db"));
        m_reportTable->setDatabaseName(QStringLiteral("Quen"));
        m_reportTable->open();
        if (m_reportTable->isEmpty())
            m_reportTable.reset();
    } catch (const DbError&) {
        m_reportTable.reset();
    }
    if (m_reportTable)
        rep.setTable(m_reportTable.get());

    Band& t = rep.titleBand();
    t.setHeight(42);
    t.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen"), FontSpec(14, true), Qt::AlignHCenter);
    t.addLabel(QRectF(0, 19, kPrintWidth, 0), QStringLiteral("Monthly Crop Water Requirements"), FontSpec(12, true),
               Qt::AlignHCenter);

    Band& d = rep.detail();
    ChartHeaderOptions opt;
    opt.metric = metric;
    opt.carryMidUnit = metric ? QStringLiteral("cm      End:") : QStringLiteral("inches   End:");
    const double top = AddChartReportHeader(d, ctx, opt);
    const double chartH = 250;
    const QString unit = metric ? QStringLiteral("centimeters") : QStringLiteral("inches");
    FillWaterUseChart(d.addChart(QRectF(0, top, kPrintWidth, chartH))->chart(),
                      QStringLiteral("Normal Year (50% chance)"), NormalYearBars(ctx, metric), unit, 0.85);
    FillWaterUseChart(d.addChart(QRectF(0, top + chartH + 4, kPrintWidth, chartH))->chart(),
                      QStringLiteral("Dry Year (80% chance)"), DryYearBars(ctx, metric), unit, 0.85);
    d.setHeight(top + 2 * chartH + 6);

    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), FontSpec(9));
    f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), FontSpec(9),
                     Qt::AlignRight);
}

TFrmQRBar::~TFrmQRBar() = default;

PreparedReport TFrmQRBar::prepare() { return m_report->prepare(); }

PreparedReport prepareBarReport(CropRunContext& ctx, bool metric)
{
    TFrmQRBar rep(ctx, metric);
    return rep.prepare();
}

namespace output {

void showBarChart(QWidget* parent, CropRunContext& ctx, CropCurveState&)
{
    mainprog::TDMod* dm = mainprog::DMod;
    TBarChart form(ctx, dm && dm->MetricUnits, parent);
    form.exec();
}

} // namespace output

} // namespace quen
