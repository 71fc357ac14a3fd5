#include "JobSummaryReport.h"

#include <QApplication>

#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "Outputs.h"
#include "PreviewWindow.h"
#include "Report.h"
#include "ReportNumbers.h"
#include "Table.h"
#include "Hourglass.h"

namespace quen {

using namespace report;

namespace {

const char* const kMonthHead[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Column grid of the monthly rows: a label column, then twelve months and
// the total, which has the rest of the line (a season total in cm has six
// characters and must not run into December's value).
constexpr double kLabelWidth = 150;
constexpr double kColWidth = 28;
constexpr double kTotalX = kLabelWidth + 12 * kColWidth;   // 486 pt

QRectF MonthCell(int column, double y)   // column 1..13 (13 = TOTAL)
{
    if (column == 13)
        return QRectF(kTotalX, y, kPrintWidth - kTotalX, 0);
    return QRectF(kLabelWidth + (column - 1) * kColWidth, y, kColWidth - 2, 0);
}

void AddMonthHeadings(Band& b, double y, const FontSpec& font)
{
    for (int m = 1; m <= 12; ++m)
        b.addLabel(MonthCell(m, y), QString::fromLatin1(kMonthHead[m]), font, Qt::AlignRight);
    b.addLabel(MonthCell(13, y), QStringLiteral("TOTAL"), font, Qt::AlignRight);
}

double ToDouble(const QVariant& v) { return v.isNull() ? 0.0 : v.toDouble(); }

} // namespace

TFrmQRSumRpt::TFrmQRSumRpt(const CropRunContext& ctx, TTable* wkCrop) : TFrmQRSumRpt(ctx, wkCrop, false) {}

TFrmQRSumRpt::TFrmQRSumRpt(const CropRunContext& ctx, TTable* wkCrop, bool metric)
    : m_ctx(ctx), m_metric(metric), m_report(std::make_unique<Report>(QStringLiteral("Normal Year Quen")))
{
    m_report->setTable(wkCrop);
    build();
}

TFrmQRSumRpt::~TFrmQRSumRpt() = default;

PreparedReport TFrmQRSumRpt::prepare() { return m_report->prepare(); }

void TFrmQRSumRpt::build()
{
    Report& rep = *m_report;
    const CropRunContext& c = m_ctx;
    const bool metric = m_metric;
    const FontSpec text(9);
    const FontSpec small(8);
    const FontSpec bold(9, true);

    // ---- page header -------------------------------------------------------
    Band& head = rep.pageHeader();
    head.setHeight(40);
    head.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Normal Year Quen"), FontSpec(14, true),
                  Qt::AlignHCenter);
    head.addLabel(QRectF(0, 20, kPrintWidth, 0), c.JobLocation, FontSpec(11, true), Qt::AlignHCenter);

    // ---- title band: station and its monthly climate -------------------------
    Band& t = rep.titleBand();
    t.setHeight(100);
    t.addLabel(QRectF(0, 4, 215, 0), c.WeatherStationName + QLatin1Char(' ') + c.StationNumber,
               FontSpec(9, true, true, true));
    t.addLabel(QRectF(220, 4, 48, 0), QStringLiteral("Latitude:"), text);
    t.addLabel(QRectF(268, 4, 50, 0), output::GeneralNumberText(c.Latitude), text);
    t.addLabel(QRectF(322, 4, 55, 0), QStringLiteral("Longitude:"), text);
    t.addLabel(QRectF(377, 4, 55, 0), output::GeneralNumberText(c.Longitude), text);
    t.addLabel(QRectF(440, 4, 52, 0), QStringLiteral("Elevation:"), text);
    t.addLabel(QRectF(492, 4, 48, 0),
               output::FixedNumberText(metric ? c.Elevation * 0.3048 : c.Elevation, 0), text);
    AddMonthHeadings(t, 22, FontSpec(8, true));
    struct ClimRow {
        QString label;
        const MonthlyValues* values;
        int decimals;
        bool hasTotal;
        double total;
    };
    const ClimRow rows[3] = {
        {metric ? QStringLiteral("Mean Temperature (C)") : QStringLiteral("Mean Temperature (F)"),
         metric ? &c.MonthlyTempC : &c.MonthlyTemp, 1, false, 0.0},
        {metric ? QStringLiteral("Total Precipitation (cm)") : QStringLiteral("Total Precipitation (In)"),
         metric ? &c.MonthlyPrecipCm : &c.MonthlyPrecip, 2, true, metric ? c.AnnualPrecipCm : c.AnnualPrecip},
        {metric ? QStringLiteral("Effective Precip. (cm)") : QStringLiteral("Effective Precip. (In)"),
         metric ? &c.EffPrecip50cm : &c.EffPrecip50, 2, true, metric ? c.TotalEffPrecip50cm : c.TotalEffPrecip50},
    };
    double y = 36;
    for (const ClimRow& r : rows) {
        t.addLabel(QRectF(0, y, kLabelWidth, 0), r.label, text);
        for (int m = 1; m <= 12; ++m)
            t.addLabel(MonthCell(m, y), output::FixedNumberText((*r.values)[m], r.decimals), small, Qt::AlignRight);
        if (r.hasTotal)
            t.addLabel(MonthCell(13, y), output::FixedNumberText(r.total, r.decimals), small, Qt::AlignRight);
        y += 14;
    }
    t.addLabel(QRectF(0, 82, 110, 0), QStringLiteral("Computation method:"), text);
    t.addLabel(QRectF(110, 82, 430, 0), c.ETMethodText, text);

    // ---- detail band: one crop ------------------------------------------------
    Band& d = rep.detail();
    d.setHeight(132);
    d.addHLine(0, 3, kPrintWidth, 1.0);
    d.addField(QRectF(0, 8, 260, 0), QStringLiteral("Crop Name"), FontSpec(10, true));
    d.addLabel(QRectF(270, 9, 70, 0), QStringLiteral("Begin growth:"), text);
    d.addField(QRectF(340, 9, 50, 0), QStringLiteral("Beg Dat"), text);
    d.addLabel(QRectF(400, 9, 62, 0), QStringLiteral("End growth:"), text);
    d.addField(QRectF(462, 9, 50, 0), QStringLiteral("End Dat"), text);
    AddMonthHeadings(d, 26, FontSpec(8, true));

    d.addLabel(QRectF(0, 40, kLabelWidth, 0),
               metric ? QStringLiteral("Mo. Net Irrig. Req. (cm)") : QStringLiteral("Mo. Net Irrig. Req. (In)"), text);
    d.addLabel(QRectF(0, 54, kLabelWidth, 0),
               metric ? QStringLiteral("Peak Daily Irr. Req. (mm)") : QStringLiteral("Peak Daily Irr. Req. (In)"),
               text);
    for (int m = 1; m <= 12; ++m) {
        DataText* ir = d.addField(MonthCell(m, 40), QStringLiteral("IR ") + QString::fromLatin1(kMonthHead[m]),
                                  small, Qt::AlignRight);
        DataText* pk = d.addField(MonthCell(m, 54), QStringLiteral("Pk ") + QString::fromLatin1(kMonthHead[m]),
                                  small, Qt::AlignRight);
        if (metric) {
            ir->setFormatter([](const QVariant& v) { return output::FixedOrEmptyText(ToDouble(v) * 2.54); });
            pk->setFormatter([](const QVariant& v) { return output::FixedOrEmptyText(ToDouble(v) * 25.4); });
        } else {
            ir->setPattern(QStringLiteral("##.##"));
            pk->setPattern(QStringLiteral("#.##"));
        }
    }
    DataText* season = d.addField(MonthCell(13, 40), QStringLiteral("IR Season"), small, Qt::AlignRight);
    if (metric)
        season->setFormatter([](const QVariant& v) { return output::FixedNumberText(ToDouble(v) * 2.54, 2); });
    else
        season->setPattern(QStringLiteral("###.##"));

    const QString unit = metric ? QStringLiteral("cm") : QStringLiteral("inches");
    auto depthField = [&](const QRectF& r, const QString& field) {
        DataText* f = d.addField(r, field, text, Qt::AlignRight);
        if (metric)
            f->setFormatter([](const QVariant& v) { return output::FixedNumberText(ToDouble(v) * 2.54, 2); });
        return f;
    };
    d.addLabel(QRectF(0, 72, 140, 0), QStringLiteral("Net irrigation application:"), text);
    depthField(QRectF(140, 72, 40, 0), QStringLiteral("Net Irr"));
    d.addLabel(QRectF(184, 72, 40, 0), unit, text);
    Label* soilLabel = d.addLabel(QRectF(300, 72, 70, 0), QStringLiteral("Surface Soil:"), text);
    DataText* soil = d.addField(QRectF(370, 72, 170, 0), QStringLiteral("Soil"), text);

    d.addLabel(QRectF(0, 86, 230, 0), QStringLiteral("Estimated carryover moisture used at season:"), text);
    d.addLabel(QRectF(232, 86, 36, 0), QStringLiteral("Begin:"), text);
    depthField(QRectF(268, 86, 36, 0), QStringLiteral("Carry Beg"));
    d.addLabel(QRectF(308, 86, 40, 0), unit, text);
    d.addLabel(QRectF(352, 86, 26, 0), QStringLiteral("End:"), text);
    depthField(QRectF(378, 86, 36, 0), QStringLiteral("Carry End"));
    d.addLabel(QRectF(418, 86, 40, 0), unit, text);

    // wetting and irrigation-type lines (hidden by curve index)
    std::vector<Element*> wetting;
    wetting.push_back(d.addLabel(QRectF(0, 100, 125, 0), QStringLiteral("Wetting (Development): "), text));
    wetting.push_back(d.addField(QRectF(125, 100, 24, 0), QStringLiteral("Dys Wet Developed"), text, Qt::AlignRight));
    wetting.push_back(d.addLabel(QRectF(152, 100, 30, 0), QStringLiteral("days"), text));
    wetting.push_back(d.addLabel(QRectF(190, 100, 50, 0), QStringLiteral("(Mature):"), text));
    wetting.push_back(d.addField(QRectF(240, 100, 24, 0), QStringLiteral("Dys Wet Mature"), text, Qt::AlignRight));
    wetting.push_back(d.addLabel(QRectF(267, 100, 30, 0), QStringLiteral("days"), text));
    wetting.push_back(d.addLabel(QRectF(0, 114, 85, 0), QStringLiteral("Irrigation Type:"), text));
    wetting.push_back(d.addField(QRectF(85, 114, 210, 0), QStringLiteral("Irrigation Type"), text));
    Label* cutLabel = d.addLabel(QRectF(300, 114, 75, 0), QStringLiteral("Cuttings (Hay)"), text);
    DataText* cuts = d.addField(QRectF(378, 114, 40, 0), QStringLiteral("Cuttings"), text);

    d.setBeforePrint([&rep, soilLabel, soil, wetting, cutLabel, cuts](Band&, bool&) {
        const int curve = rep.value(QStringLiteral("Curve Index")).toInt();
        // Each block describes its own crop: the record's "Hay" (written when
        // that crop was computed) decides its cuttings line.
        const bool hay = rep.value(QStringLiteral("Hay")).toBool();
        const bool inputsShown = curve != 3 && curve != 4 && curve != 5;
        soilLabel->setVisible(inputsShown);
        soil->setVisible(inputsShown);
        for (Element* e : wetting)
            e->setVisible(inputsShown);
        const bool cutShown = curve == 2 && hay;
        cutLabel->setVisible(cutShown);
        cuts->setVisible(cutShown);
    });

    // ---- page footer --------------------------------------------------------
    Band& foot = rep.pageFooter();
    foot.setHeight(18);
    foot.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:"), text);
    foot.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:"), text,
                        Qt::AlignRight);
}

PreparedReport prepareJobSummaryReport(CropRunContext& ctx, TTable& wkCrop, bool metric, const QDateTime& printTime)
{
    const bool wasOpen = wkCrop.isOpen();
    if (!wasOpen)
        wkCrop.open();
    QVariantList key;
    if (wasOpen && !wkCrop.isEmpty())
        key = {wkCrop.field(QStringLiteral("Crop Name")).value(), wkCrop.field(QStringLiteral("Job Name")).value(),
               wkCrop.field(QStringLiteral("Crop No")).value()};
    struct Restore {
        TTable& t;
        bool wasOpen;
        QVariantList key;
        ~Restore()
        {
            try {
                if (!wasOpen)
                    t.close();
                else if (!key.isEmpty())
                    t.locate(QStringLiteral("Crop No"), key.at(2));
            } catch (...) {
            }
        }
    } restore{wkCrop, wasOpen, key};
    wkCrop.first();
    std::unique_ptr<TFrmQRSumRpt> form;
    if (metric)
        form = std::make_unique<TFrmQRSumRptM>(ctx, &wkCrop);
    else
        form = std::make_unique<TFrmQRSumRpt>(ctx, &wkCrop);
    if (printTime.isValid())
        form->report().setPrintTime(printTime);
    return form->prepare();
}

namespace output {

void previewJobSummaryReport(QWidget* parent, CropRunContext& ctx, CropCurveState&)
{
    mainprog::TDMod* dm = mainprog::DMod;
    std::unique_ptr<TTable> own;
    TTable* wk = dm ? dm->tblQuenWkCrop : nullptr;
    if (!wk) {
        own = std::make_unique<TTable>(QStringLiteral("QuenWkCrop.DB"));
        wk = own.get();
    }
    const bool wasOpen = wk->isOpen();
    if (!wasOpen)
        wk->open();
    const bool empty = wk->isEmpty();
    if (!wasOpen)
        wk->close();
    if (empty) {
        showInfo(QStringLiteral("There must be an active job to print a report."));
        return;
    }
    PreparedReport pages;
    {
        THourglass wait;
        pages = prepareJobSummaryReport(ctx, *wk, dm && dm->MetricUnits);
    }
    showPreview(pages, parent);
}

} // namespace output

} // namespace quen
