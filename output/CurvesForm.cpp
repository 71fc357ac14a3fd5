#include "CurvesForm.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "ChartBuild.h"
#include "ChartReportHeader.h"
#include "ComputeCrop.h"
#include "Hourglass.h"
#include "MainDMod.h"
#include "Outputs.h"
#include "Placement.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "Table.h"

namespace quen {

using namespace report;

namespace {

// The bridge across the year end takes the colour of the window's chart
// background (the system menu colour), so that it does not show.
QColor MenuColour() { return QApplication::palette("QMenu").color(QPalette::Window); }

struct OpenGuard {
    TTable& t;
    bool wasOpen;
    explicit OpenGuard(TTable& table) : t(table), wasOpen(table.isOpen())
    {
        if (!wasOpen)
            t.open();
    }
    ~OpenGuard()
    {
        try {
            if (!wasOpen)
                t.close();
        } catch (...) {
        }
    }
};

} // namespace

TCurvesForm::TCurvesForm(CropRunContext& ctx, CropCurveState& curves, TTable* etkc, bool metric, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_curves(curves), m_etkc(etkc), m_metric(metric)
{
    setObjectName(QStringLiteral("CurvesForm"));
    setWindowTitle(QStringLiteral("Kc and ET Curves"));
    resize(820, 760);
    const TwoChartWindow w = BuildTwoChartWindow(this, QStringLiteral("ETChart"), QStringLiteral("KcChart"),
                                                 QStringLiteral("ET Kc Graph Report"), QStringLiteral("GraphReportBtn"));
    ETChart = w.top;
    KcChart = w.bottom;
    GraphReportBtn = w.report;
    CloseBtn = w.close;
    connect(GraphReportBtn, &QPushButton::clicked, this, &TCurvesForm::GraphReportBtnClick);
}

TCurvesForm::~TCurvesForm() = default;

void TCurvesForm::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    fitWindowToScreen(this);
    FormActivate();
}

void TCurvesForm::FormActivate()
{
    if (m_drawn)
        return;
    m_drawn = true;
    if (!m_etkc->isOpen())
        m_etkc->open();
    const QColor menu = MenuColour();
    m_data = BuildCurvesForWindow(m_ctx, m_curves, *m_etkc, m_metric, menu);
    CurvesChartStyle st;
    st.background = menu;
    auto* et = new QChart;
    FillEtChart(et, m_data, st);
    ETChart->setChart(et);
    auto* kc = new QChart;
    FillKcChart(kc, m_data, st);
    KcChart->setChart(kc);
    if (QApplication::overrideCursor())   // the caller's hourglass
        QApplication::changeOverrideCursor(Qt::ArrowCursor);
}

void TCurvesForm::GraphReportBtnClick()
{
    FormActivate();
    PreparedReport pages;
    {
        THourglass wait;
        TFrmQRGraph rep(m_ctx, m_curves, *m_etkc, m_metric);
        pages = rep.prepare();
    }
    showPreview(pages, this);
}

TFrmQRGraph::TFrmQRGraph(const CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric)
    : m_report(std::make_unique<Report>(QStringLiteral("Crop ET and Kc Curves")))
{
    {
        OpenGuard open(etkc);
        m_data = BuildCurvesFromTable(ctx, curves, etkc, metric);
    }
    Report& rep = *m_report;
    Band& t = rep.titleBand();
    t.setHeight(42);
    t.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen"), FontSpec(14, true), Qt::AlignHCenter);
    t.addLabel(QRectF(0, 19, kPrintWidth, 0), QStringLiteral("Crop ET and Kc Curves"), FontSpec(12, true),
               Qt::AlignHCenter);

    Band& d = rep.detail();
    ChartHeaderOptions opt;
    opt.metric = metric;
    opt.carryMidUnit = metric ? QStringLiteral("cm       End:") : QStringLiteral("inches   End:");
    opt.cuttingsLines = true;
    opt.irrigationLabelAlways = true;
    const double top = AddChartReportHeader(d, ctx, opt);
    const double chartH = 252;
    CurvesChartStyle st;
    st.etBottomMin = 1;
    st.etBottomMax = 366;
    st.kcBottomMin = 0;
    st.kcBottomMax = 366;
    st.kcStep = 0.2;
    st.penWidth = 1.5;
    st.fontScale = 0.85;
    FillEtChart(d.addChart(QRectF(0, top, kPrintWidth, chartH))->chart(), m_data, st);
    FillKcChart(d.addChart(QRectF(0, top + chartH + 4, kPrintWidth, chartH))->chart(), m_data, st);
    d.setHeight(top + 2 * chartH + 6);

    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date: "), FontSpec(9));
    f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page: "), FontSpec(9),
                     Qt::AlignRight);
}

TFrmQRGraph::~TFrmQRGraph() = default;

PreparedReport TFrmQRGraph::prepare() { return m_report->prepare(); }

CurvesData drawCurves(CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric)
{
    OpenGuard open(etkc);
    return BuildCurvesForWindow(ctx, curves, etkc, metric, MenuColour());
}

PreparedReport prepareGraphReport(CropRunContext& ctx, const CropCurveState& curves, TTable& etkc, bool metric)
{
    TFrmQRGraph rep(ctx, curves, etkc, metric);
    return rep.prepare();
}

namespace output {

void showCurvesChart(QWidget* parent, CropRunContext& ctx, CropCurveState& curves)
{
    mainprog::TDMod* dm = mainprog::DMod;
    std::unique_ptr<TTable> own;
    TTable* etkc = dm ? dm->tblETKc : nullptr;
    if (!etkc) {
        own = std::make_unique<TTable>(QStringLiteral("ETKc.db"));
        etkc = own.get();
    }
    const bool metric = dm && dm->MetricUnits;
    TCurvesForm form(ctx, curves, etkc, metric, parent);
    form.exec();
}

} // namespace output

} // namespace quen
