#include "FarmWaterReport.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QLegend>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "CropReports.h"
#include "CropRunContext.h"
#include "FarmWaterText.h"
#include "Hourglass.h"
#include "Report.h"
#include "ReportNumbers.h"

namespace quen {

using namespace report;

namespace {

// Column grid of the monthly rows: a label column, twelve months, and the
// season total in the rest of the line (a season volume in m3 has seven
// digits).
constexpr double kLabelWidth = 104;
constexpr double kColWidth = 32;
constexpr double kTotalX = kLabelWidth + 12 * kColWidth;   // 488 pt

QRectF MonthCell(int column, double y)   // 1..12, 13 = season
{
    if (column == 13)
        return QRectF(kTotalX, y, kPrintWidth - kTotalX, 0);
    return QRectF(kLabelWidth + (column - 1) * kColWidth, y, kColWidth - 2, 0);
}

void AddMonthHeadings(Band& b, double y, const FontSpec& font, std::vector<Element*>* into)
{
    for (int m = 1; m <= 13; ++m) {
        Label* l = b.addLabel(MonthCell(m, y), m <= 12 ? output::FarmMonthName(m) : QStringLiteral("Season"), font,
                              Qt::AlignRight);
        into->push_back(l);
    }
}

// One monthly row of labels whose texts the band's handler sets.
struct MonthRow {
    Label* name = nullptr;
    Label* cells[14] = {};   // 1..13

    void add(Band& b, double y, const FontSpec& text, const FontSpec& small, std::vector<Element*>* into)
    {
        name = b.addLabel(QRectF(0, y, kLabelWidth, 0), QString(), text);
        into->push_back(name);
        for (int m = 1; m <= 13; ++m) {
            cells[m] = b.addLabel(MonthCell(m, y), QString(), small, Qt::AlignRight);
            into->push_back(cells[m]);
        }
    }
    void set(const QString& label, const MonthlyValues& v, bool depth, bool metric)
    {
        name->setText(label);
        for (int m = 1; m <= 13; ++m) {
            const double x = m <= 12 ? v[m] : output::SeasonTotal(v);
            // months without water print nothing, as in the job summary
            const QString t = depth ? output::FarmDepthText(x, metric) : output::FarmVolumeText(x, metric);
            cells[m]->setText(x > 0 || m == 13 ? t : QString());
        }
    }
};

void SetVisible(const std::vector<Element*>& els, bool on)
{
    for (Element* e : els)
        e->setVisible(on);
}

// Kinds of the report's rows: the crops, then the farm, then the charts.
enum RowKind { CropRow = 0, FarmRow = 1, ChartRow = 2 };

const QColor kCropColours[] = {QColor(31, 119, 180), QColor(255, 127, 14), QColor(44, 160, 44),
                               QColor(214, 39, 40),  QColor(148, 103, 189), QColor(140, 86, 75),
                               QColor(227, 119, 194), QColor(127, 127, 127), QColor(188, 189, 34),
                               QColor(23, 190, 207)};

} // namespace

TFrmQRFarmWater::TFrmQRFarmWater(const CropRunContext& ctx, const FarmWater& water, bool metric)
    : m_ctx(ctx), m_water(water), m_metric(metric),
      m_rows(std::make_unique<MemoryDataSet>(QStringList{QStringLiteral("Kind"), QStringLiteral("Index")})),
      m_report(std::make_unique<Report>(QStringLiteral("Farm Water Requirement")))
{
    for (int i = 0; i < int(m_water.crops.size()); ++i)
        m_rows->addRow({int(CropRow), i});
    m_rows->addRow({int(FarmRow), 0});
    if (m_water.available)
        m_rows->addRow({int(ChartRow), 0});
    m_report->setDataSet(m_rows.get());
    build();
}

TFrmQRFarmWater::~TFrmQRFarmWater() = default;

PreparedReport TFrmQRFarmWater::prepare() { return m_report->prepare(); }

QList<CsvTable> TFrmQRFarmWater::csvTables() const { return output::FarmWaterCsvTables(m_water, m_metric); }

void TFrmQRFarmWater::build()
{
    Report& rep = *m_report;
    const CropRunContext& c = m_ctx;
    const bool metric = m_metric;
    const FarmWater& w = m_water;
    const FontSpec text(9);
    const FontSpec small(metric ? 7.5 : 8);   // seven-digit m3
    const FontSpec bold(10, true);

    // ---- page header and job header -----------------------------------------
    Band& head = rep.pageHeader();
    head.setHeight(40);
    head.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Farm Water Requirement"), FontSpec(14, true),
                  Qt::AlignHCenter);
    head.addLabel(QRectF(0, 20, kPrintWidth, 0), c.JobLocation, FontSpec(11, true), Qt::AlignHCenter);

    Band& t = rep.titleBand();
    t.setHeight(40);
    t.addLabel(QRectF(0, 4, 215, 0), c.WeatherStationName + QLatin1Char(' ') + c.StationNumber,
               FontSpec(9, true, true, true));
    t.addLabel(QRectF(220, 4, 48, 0), QStringLiteral("Latitude:"), text);
    t.addLabel(QRectF(268, 4, 50, 0), output::GeneralNumberText(c.Latitude), text);
    t.addLabel(QRectF(322, 4, 55, 0), QStringLiteral("Longitude:"), text);
    t.addLabel(QRectF(377, 4, 55, 0), output::GeneralNumberText(c.Longitude), text);
    t.addLabel(QRectF(440, 4, 52, 0), QStringLiteral("Elevation:"), text);
    t.addLabel(QRectF(492, 4, 48, 0), output::FixedNumberText(metric ? c.Elevation * 0.3048 : c.Elevation, 0), text);
    t.addLabel(QRectF(0, 20, 30, 0), QStringLiteral("Job:"), text);
    t.addLabel(QRectF(30, 20, 190, 0), c.JobName, FontSpec(9, true));
    t.addLabel(QRectF(220, 20, 110, 0), QStringLiteral("Computation method:"), text);
    t.addLabel(QRectF(330, 20, 210, 0), c.ETMethodText, text);

    // ---- detail: a crop, the farm, or the charts -----------------------------
    Band& d = rep.detail();
    const QString dUnit = output::FarmDepthUnit(metric), vUnit = output::FarmVolumeUnit(metric);

    // a crop
    std::vector<Element*> cropAll, cropFigures;
    cropAll.push_back(d.addHLine(0, 3, kPrintWidth, 1.0));
    Label* cropName = d.addLabel(QRectF(0, 8, 250, 0), QString(), bold);
    Label* cropArea = d.addLabel(QRectF(255, 9, 110, 0), QString(), text);
    Label* cropEa = d.addLabel(QRectF(370, 9, 70, 0), QString(), text);
    Label* cropLr = d.addLabel(QRectF(445, 9, 95, 0), QString(), text);
    cropAll.insert(cropAll.end(), {cropName, cropArea, cropEa, cropLr});
    Label* cropNote = d.addLabel(QRectF(0, 24, kPrintWidth, 0), QString(), text);
    cropNote->setWordWrap(true);
    cropAll.push_back(cropNote);
    AddMonthHeadings(d, 24, FontSpec(8, true), &cropFigures);
    MonthRow cropRows[4];
    for (int i = 0; i < 4; ++i)
        cropRows[i].add(d, 38 + 12 * i, text, small, &cropFigures);

    // the farm
    std::vector<Element*> farmAll, farmFigures;
    farmAll.push_back(d.addHLine(0, 3, kPrintWidth, 1.0));
    farmAll.push_back(d.addLabel(QRectF(0, 8, 300, 0), QStringLiteral("Farm totals"), bold));
    Label* farmArea = d.addLabel(QRectF(300, 9, 240, 0), QString(), text, Qt::AlignRight);
    farmAll.push_back(farmArea);
    AddMonthHeadings(d, 24, FontSpec(8, true), &farmFigures);
    MonthRow farmRows[4];
    for (int i = 0; i < 4; ++i)
        farmRows[i].add(d, 38 + 12 * i, text, small, &farmFigures);
    Label* capacity[3];
    for (int i = 0; i < 3; ++i) {
        capacity[i] = d.addLabel(QRectF(0, 92 + 14 * i, kPrintWidth, 0), QString(), i == 0 ? FontSpec(9, true) : text);
        capacity[i]->setWordWrap(true);
        farmAll.push_back(capacity[i]);
    }
    Label* notAvailable = d.addLabel(QRectF(0, 26, kPrintWidth, 0), output::FarmNotAvailableText(), FontSpec(9, true));
    notAvailable->setWordWrap(true);
    farmAll.push_back(notAvailable);
    Label* sources = d.addLabel(QRectF(0, 138, kPrintWidth, 0), output::FarmSourcesText(metric), small);
    sources->setWordWrap(true);
    farmAll.push_back(sources);

    // the charts
    std::vector<Element*> chartAll;
    const double chartH = 300;
    ChartElement* normal = d.addChart(QRectF(0, 4, kPrintWidth, chartH));
    ChartElement* dry = d.addChart(QRectF(0, 8 + chartH, kPrintWidth, chartH));
    chartAll.insert(chartAll.end(), {normal, dry});
    if (w.available) {
        FillFarmDemandChart(normal->chart(), w, metric, false, 0.85);
        FillFarmDemandChart(dry->chart(), w, metric, true, 0.85);
    }

    // A band is as high as its elements' boxes, hidden ones as well: each
    // print starts from the boxes as declared, and what stays hidden is
    // folded to the band's top edge.
    std::vector<QRectF> home;
    for (const auto& e : d.elements())
        home.push_back(e->rect());

    d.setBeforePrint([=, &rep, &w](Band& band, bool&) mutable {
        for (size_t i = 0; i < home.size(); ++i)
            band.elements()[i]->setRect(home[i]);
        const int kind = rep.value(QStringLiteral("Kind")).toInt();
        SetVisible(cropAll, false);
        SetVisible(cropFigures, false);
        SetVisible(farmAll, false);
        SetVisible(farmFigures, false);
        SetVisible(chartAll, false);
        if (kind == CropRow) {
            const FarmCropWater& cw = w.crops.at(size_t(rep.value(QStringLiteral("Index")).toInt()));
            SetVisible(cropAll, true);
            cropName->setText(cw.cropName);
            cropArea->setText(QStringLiteral("Area: %1 %2")
                                  .arg(output::FixedNumberText(metric ? cw.areaHa : cw.areaAcres, metric ? 2 : 1, 15),
                                       output::FarmAreaUnit(metric)));
            cropEa->setText(cw.applicationEff > 0
                                ? QStringLiteral("Ea: %1").arg(output::FixedNumberText(cw.applicationEff, 2))
                                : QString());
            cropLr->setText(cw.available ? QStringLiteral("LR: %1").arg(output::FixedNumberText(cw.leachingReq, 3))
                                         : QString());
            if (cw.available) {
                cropNote->setVisible(false);
                SetVisible(cropFigures, true);
                cropRows[0].set(QStringLiteral("Gross depth 50% (%1)").arg(dUnit), output::CropGrossDepth(cw, false, metric),
                                true, metric);
                cropRows[1].set(QStringLiteral("Gross depth 80% (%1)").arg(dUnit), output::CropGrossDepth(cw, true, metric),
                                true, metric);
                cropRows[2].set(QStringLiteral("Volume 50% (%1)").arg(vUnit), output::CropVolume(cw, false, metric), false,
                                metric);
                cropRows[3].set(QStringLiteral("Volume 80% (%1)").arg(vUnit), output::CropVolume(cw, true, metric), false,
                                metric);
                band.setHeight(88);
            } else {
                cropNote->setText(QStringLiteral("Farm figures not available: ") + cw.note + QLatin1Char('.'));
                band.setHeight(42);
            }
        } else if (kind == FarmRow) {
            SetVisible(farmAll, true);
            if (w.available) {
                notAvailable->setVisible(false);
                SetVisible(farmFigures, true);
                farmArea->setText(QStringLiteral("Irrigated area: %1 %2")
                                      .arg(output::FixedNumberText(metric ? w.areaHa : w.areaAcres, metric ? 2 : 1, 15),
                                           output::FarmAreaUnit(metric)));
                farmRows[0].set(QStringLiteral("Field 50% (%1)").arg(vUnit), output::FarmFieldVolume(w, false, metric),
                                false, metric);
                farmRows[1].set(QStringLiteral("Diversion 50% (%1)").arg(vUnit), output::FarmDiversion(w, false, metric),
                                false, metric);
                farmRows[2].set(QStringLiteral("Field 80% (%1)").arg(vUnit), output::FarmFieldVolume(w, true, metric),
                                false, metric);
                farmRows[3].set(QStringLiteral("Diversion 80% (%1)").arg(vUnit), output::FarmDiversion(w, true, metric),
                                false, metric);
                const QStringList lines = output::FarmCapacityLines(w, metric);
                for (int i = 0; i < 3; ++i)
                    capacity[i]->setText(i < lines.size() ? lines.at(i) : QString());
                band.setHeight(162);
            } else {
                farmArea->setText(QString());
                for (Label* l : capacity)
                    l->setVisible(false);
                sources->setRect(QRectF(0, 50, kPrintWidth, 0));
                band.setHeight(74);
            }
        } else {
            SetVisible(chartAll, true);
            band.setHeight(12 + 2 * chartH);
        }
        for (const auto& e : band.elements())
            if (!e->isVisible()) {
                const QRectF r = e->rect();
                e->setRect(QRectF(r.left(), 0, r.width(), 0));
            }
    });

    // ---- page footer --------------------------------------------------------
    Band& foot = rep.pageFooter();
    foot.setHeight(18);
    foot.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:"), text);
    foot.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:"), text,
                        Qt::AlignRight);
}

PreparedReport prepareFarmWaterReport(const CropRunContext& ctx, const FarmWater& water, bool metric,
                                      const QDateTime& printTime)
{
    std::unique_ptr<TFrmQRFarmWater> form;
    if (metric)
        form = std::make_unique<TFrmQRFarmWaterM>(ctx, water);
    else
        form = std::make_unique<TFrmQRFarmWater>(ctx, water);
    if (printTime.isValid())
        form->report().setPrintTime(printTime);
    return form->prepare();
}

void FillFarmDemandChart(QChart* chart, const FarmWater& w, bool metric, bool dryYear, double fontScale)
{
    auto scaled = [fontScale](QFont f) {
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * fontScale);
        return f;
    };
    chart->setTitle(dryYear ? QStringLiteral("Monthly Farm Diversion: Dry Year (80% chance)")
                            : QStringLiteral("Monthly Farm Diversion: Normal Year (50% chance)"));
    QFont tf = chart->titleFont();
    tf.setPointSizeF(11 * fontScale);
    tf.setBold(true);
    chart->setTitleFont(tf);
    chart->setBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(scaled(chart->legend()->font()));

    auto* stack = new QStackedBarSeries;
    MonthlyValues sum{};
    int colour = 0;
    const double ec = w.job.conveyanceEff > 0 ? w.job.conveyanceEff : 1.0;
    for (const FarmCropWater& c : w.crops) {
        if (!c.available)
            continue;
        auto* set = new QBarSet(c.cropName);
        set->setColor(kCropColours[colour++ % int(std::size(kCropColours))]);
        set->setBorderColor(Qt::black);
        const MonthlyValues v = output::CropVolume(c, dryYear, metric);
        for (int m = 1; m <= 12; ++m) {
            *set << v[m] / ec;
            sum[m] += v[m] / ec;
        }
        stack->append(set);
    }
    stack->setBarWidth(0.7);
    chart->addSeries(stack);

    auto* x = new QBarCategoryAxis;
    for (int m = 1; m <= 12; ++m)
        x->append(output::FarmMonthName(m));
    x->setTitleText(QStringLiteral("Month"));
    x->setLabelsFont(scaled(x->labelsFont()));
    auto* y = new QValueAxis;
    y->setTitleText(metric ? QStringLiteral("Diversion (m3)") : QStringLiteral("Diversion (acre-ft)"));
    // the same scale for the normal and the dry year
    const MonthlyValues dry = output::FarmDiversion(w, true, metric);
    const double top = std::max(*std::max_element(sum.begin() + 1, sum.end()),
                                *std::max_element(dry.begin() + 1, dry.end()));
    y->setRange(0, top > 0 ? top * 1.1 : 1.0);
    y->applyNiceNumbers();
    y->setLabelFormat(QStringLiteral("%.0f"));
    y->setLabelsFont(scaled(y->labelsFont()));
    for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        QFont f = a->titleFont();
        f.setPointSizeF(9 * fontScale);
        a->setTitleFont(f);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    stack->attachAxis(x);
    stack->attachAxis(y);
}

namespace output {

void previewFarmWaterReport(QWidget* parent, const CropRunContext& ctx, const FarmWater& water, bool metric)
{
    std::unique_ptr<TFrmQRFarmWater> form;
    if (metric)
        form = std::make_unique<TFrmQRFarmWaterM>(ctx, water);
    else
        form = std::make_unique<TFrmQRFarmWater>(ctx, water);
    PreparedReport pages;
    {
        THourglass wait;
        pages = form->prepare();
    }
    showPreparedReport(parent, pages, form->csvTables());
}

} // namespace output

} // namespace quen
