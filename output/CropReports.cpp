#include "CropReports.h"

#include <QMap>
#include <algorithm>
#include <cmath>

#include "ComputeCrop.h"
#include "CropRunContext.h"
#include "MethodScope.h"
#include "OutputFormats.h"
#include "Report.h"
#include "Table.h"

namespace quen {

using namespace report;
using output::fixed2;
using output::FixedNumberText;
using output::GeneralNumberText;
using output::monthDay;
using output::monthName;
using output::stressFormat;

namespace {

const FontSpec kText(9);
const FontSpec kBold(9, true);
const FontSpec kHead(8, true);
constexpr double kRow = 14;    // header lines
constexpr double kTRow = 13;   // table rows
constexpr double kHRow = 10;   // table heading lines

// "Quen" (large, bold, red), the report's name (bold, blue), a rule.
void addTitle(Band& b, const QString& name)
{
    b.setHeight(48);
    b.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen"), FontSpec(20, true), Qt::AlignHCenter)
        ->setColor(Qt::red);
    b.addLabel(QRectF(0, 24, kPrintWidth, 0), name, FontSpec(13, true), Qt::AlignHCenter)->setColor(Qt::blue);
    b.addHLine(0, 44, kPrintWidth, 1.0);
}

void addFooter(Report& rep, bool pageNumber)
{
    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), kText);
    if (pageNumber)
        f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), kText,
                         Qt::AlignRight);
}

// A label and its bold value; the value's Label is returned.
struct Line {
    Label* label = nullptr;
    Label* value = nullptr;
    void setVisible(bool on)
    {
        if (label) label->setVisible(on);
        if (value) value->setVisible(on);
    }
};

Line labelled(Band& b, double x, double y, const QString& caption, double valueX, double valueW,
              Qt::Alignment align = Qt::AlignLeft)
{
    Line l;
    l.label = b.addLabel(QRectF(x, y, valueX - x, 0), caption, kText);
    l.value = b.addLabel(QRectF(valueX, y, valueW, 0), QString(), kBold, align);
    return l;
}

// Columns of a monthly table: left edge and width of each.
struct Column {
    double x, w;
};

// A heading text centred over columns [c0, c1] on heading line `line`.
void heading(Band& b, const QList<Column>& cols, int c0, int c1, double top, int line, const QString& text)
{
    const double x = cols[c0].x, w = cols[c1].x + cols[c1].w - x;
    b.addLabel(QRectF(x, top + line * kHRow, w, 0), text, kHead, Qt::AlignHCenter);
}

struct Heading {
    int c0, c1, line;
    const char* text;
};

// The headings of a monthly table, in order.
void headings(Band& b, const QList<Column>& cols, double top, std::initializer_list<Heading> list)
{
    for (const Heading& h : list)
        heading(b, cols, h.c0, h.c1, top, h.line, QString::fromLatin1(h.text));
}

// Writes a cell right-aligned in its column, with a little room on the right.
Label* cell(Band& b, const Column& c, double y, const FontSpec& font = kText)
{
    return b.addLabel(QRectF(c.x, y, c.w - 6, 0), QString(), font, Qt::AlignRight);
}

bool softLinesHidden(int curveIndex) { return curveIndex >= 3 && curveIndex <= 5; }

// "Wetting (Development): nn days (Mature): nn days", shown with the basal curves only.
struct Wetting {
    Label *label = nullptr, *dev = nullptr, *devDays = nullptr, *matLabel = nullptr, *mat = nullptr,
          *matDays = nullptr;
    void add(Band& b, double y)
    {
        label = b.addLabel(QRectF(0, y, 120, 0), QStringLiteral("Wetting (Development): "), kText);
        dev = b.addLabel(QRectF(120, y, 22, 0), QString(), kBold, Qt::AlignRight);
        devDays = b.addLabel(QRectF(146, y, 30, 0), QStringLiteral("days"), kText);
        matLabel = b.addLabel(QRectF(180, y, 52, 0), QStringLiteral("(Mature):"), kText);
        mat = b.addLabel(QRectF(232, y, 22, 0), QString(), kBold, Qt::AlignRight);
        matDays = b.addLabel(QRectF(258, y, 30, 0), QStringLiteral("days"), kText);
    }
    void fill(int devDaysValue, int matDaysValue)
    {
        dev->setText(QString::number(devDaysValue));
        mat->setText(QString::number(matDaysValue));
    }
    void setVisible(bool on)
    {
        for (Label* l : {label, dev, devDays, matLabel, mat, matDays})
            l->setVisible(on);
    }
};

// The twelve month rows and the bold TOTAL row of a monthly table, between
// rules; `y` is the line under the headings and ends on the last row.
template <int N>
void monthRows(Band& b, const QList<Column>& cols, double& y, Label* (&cells)[14][N])
{
    b.addHLine(0, y, kPrintWidth, 0.75);
    y += 3;
    for (int m = 1; m <= 13; ++m) {
        const FontSpec& f = m == 13 ? kBold : kText;
        if (m == 13) {
            b.addHLine(0, y + 1, kPrintWidth, 0.5);
            y += 4;
        }
        cells[m][0] = b.addLabel(QRectF(2, y, cols[0].w - 2, 0), m == 13 ? QStringLiteral("TOTAL") : monthName(m), f);
        for (int c = 1; c < N; ++c)
            cells[m][c] = cell(b, cols[c], y, f);
        y += kTRow;
    }
    b.addHLine(0, y + 2, kPrintWidth, 0.75);
}

// The texts of a monthly table's rows, for the CSV export.
template <int N>
QList<QStringList> monthRowTexts(Label* const (&cells)[14][N])
{
    QList<QStringList> rows;
    for (int m = 1; m <= 13; ++m) {
        QStringList r;
        for (int col = 0; col < N; ++col)
            r << cells[m][col]->text();
        rows << r;
    }
    return rows;
}

// The header lines both crop reports show.
struct CommonParts {
    Label *job, *crop, *location, *date, *id, *jobClass, *landUser, *station, *staNo, *lat, *lon, *elev, *method,
        *curve, *netIrr, *carryBeg, *carryEnd;
    Line irrType, soil, stress;
    Wetting wet;
};

void fillCommon(CommonParts& p, const CropRunContext& c, bool mt)
{
    p.job->setText(c.JobName);
    p.crop->setText(c.CropName);
    p.location->setText(c.JobLocation);
    p.date->setText(c.JobDate);
    p.id->setText(c.JobID);
    p.jobClass->setText(c.JobClass);
    p.landUser->setText(c.JobLandUser);
    p.station->setText(c.WeatherStationName);
    p.staNo->setText(c.StationNumber);
    p.lat->setText(GeneralNumberText(c.Latitude));
    p.lon->setText(GeneralNumberText(c.Longitude));
    p.elev->setText(FixedNumberText(mt ? c.Elevation * 0.3048 : c.Elevation, 0));
    p.method->setText(c.ETMethodText);
    p.curve->setText(c.CropCurveType);
    p.netIrr->setText(GeneralNumberText(mt ? c.NetIrrDepthCm : c.NetIrrDepth));
    p.carryBeg->setText(GeneralNumberText(mt ? c.CarryBegCm : c.CarryBeg));
    p.carryEnd->setText(GeneralNumberText(mt ? c.CarryEndCm : c.CarryEnd));
    p.irrType.value->setText(c.IrrigationType);
    p.soil.value->setText(c.Soil);
    p.stress.value->setText(stressFormat(c.StressFactor));
    p.wet.fill(c.DaysWetDeveloped, c.DaysWetMature);

    // Irrigation, soil, wetting and stress lines belong to the basal curves.
    const bool soft = !softLinesHidden(c.CurveIndex);
    p.irrType.setVisible(soft);
    p.soil.setVisible(soft);
    p.stress.setVisible(soft);
    p.wet.setVisible(soft);
}

// A crop report prepared from its form, the metric form when asked.
template <class Form, class MetricForm>
PreparedReport prepareForm(CropRunContext& ctx, bool metric, const QDateTime& printTime)
{
    std::unique_ptr<Form> form;
    if (metric)
        form = std::make_unique<MetricForm>(ctx);
    else
        form = std::make_unique<Form>(ctx);
    if (printTime.isValid())
        form->report().setPrintTime(printTime);
    return form->prepare();
}

} // namespace

namespace output {

bool elevationCorrectionOn()
{
    TTable sys(QStringLiteral("SystemDefaults.db"));
    sys.open();
    bool on = false;
    if (!sys.isEmpty()) {
        sys.first();
        on = sys.field(QStringLiteral("Elevation Correction")).asBoolean();
    }
    sys.close();
    return on;
}

std::array<double, 8> summaryMonthValues(const CropRunContext& c, int m, bool mt)
{
    return {0,
            mt ? c.MonthlyCropETcm[m] : c.MonthlyCropET[m],
            mt ? c.EffPrecip80cm[m] : c.EffPrecip80[m],
            mt ? c.NetIrrReq80cm[m] : c.NetIrrReq80[m],
            mt ? c.EffPrecip50cm[m] : c.EffPrecip50[m],
            mt ? c.NetIrrReq50cm[m] : c.NetIrrReq50[m],
            mt ? c.DailyCropETmm[m] : c.DailyCropET[m],
            mt ? c.PeakDailyETmm[m] : c.PeakDailyET[m]};
}

} // namespace output

// ====================================================== "Crop Data Details"

struct TFrmQRCropDetail::Parts : CommonParts {
    Label *planner, *elevUnit, *begin, *end, *netIrrUnit;
    Label* units[10] = {};
    Label* cells[14][10] = {};   // [1..12] months, [13] TOTAL; columns 0..9
    Label* methodNote = nullptr;
};

TFrmQRCropDetail::TFrmQRCropDetail(CropRunContext& ctx, bool metric)
    : m_ctx(ctx), m_metric(metric), m_report(std::make_unique<Report>(QStringLiteral("CropDetail"))),
      m_p(std::make_unique<Parts>())
{
    Report& rep = *m_report;
    Parts& p = *m_p;
    addTitle(rep.titleBand(), QStringLiteral("Crop Data Details"));
    addFooter(rep, true);

    Band& d = rep.detail();
    const double vA = 92, wA = 190, xB = 292, vB = 382, wB = 158;
    double y = 2;
    auto pair = [&](const QString& a, Label*& va, const QString& b, Label*& vb) {
        va = labelled(d, 0, y, a, vA, wA).value;
        vb = labelled(d, xB, y, b, vB, wB).value;
        y += kRow;
    };
    pair(QStringLiteral("Job:"), p.job, QStringLiteral("Crop:"), p.crop);
    pair(QStringLiteral("Location:"), p.location, QStringLiteral("Date:"), p.date);
    pair(QStringLiteral("ID:"), p.id, metric ? QStringLiteral("Job Class:") : QStringLiteral("JobClass:"),
         p.jobClass);
    pair(QStringLiteral("Land User:"), p.landUser, QStringLiteral("Job Planner:"), p.planner);
    pair(QStringLiteral("Weather Station:"), p.station, QStringLiteral("Sta No:"), p.staNo);
    p.lat = labelled(d, 0, y, QStringLiteral("Latitude:"), 50, 80).value;
    p.lon = labelled(d, 140, y, QStringLiteral("Longitude:"), 195, 95).value;
    p.elev = labelled(d, xB, y, QStringLiteral("Elevation:"), vB, 32).value;
    p.elevUnit = d.addLabel(QRectF(vB + 34, y, kPrintWidth - vB - 34, 0),
                            metric ? QStringLiteral("meters above sea level") : QStringLiteral("feet above sea level"),
                            kText);
    y += kRow;
    p.method = labelled(d, 0, y, QStringLiteral("Compute Method:"), vA, 448).value;
    y += kRow;
    p.curve = labelled(d, 0, y, QStringLiteral("Crop Curve:"), vA, 448).value;
    y += kRow;
    pair(QStringLiteral("Begin Growth:"), p.begin, QStringLiteral("End Growth:"), p.end);
    p.netIrr = labelled(d, 0, y, QStringLiteral("Net irrigation application:"), 140, 50, Qt::AlignRight).value;
    p.netIrrUnit = d.addLabel(QRectF(194, y, 60, 0), metric ? QStringLiteral("cm") : QStringLiteral("inches"), kText);
    y += kRow;
    d.addLabel(QRectF(0, y, 270, 0),
               metric ? QStringLiteral("Estimated carryover moisture used at season (cm):")
                      : QStringLiteral("Estimated carryover moisture used at season (inches):"),
               kText);
    p.carryBeg = labelled(d, 280, y, QStringLiteral("Begin:"), 312, 50, Qt::AlignRight).value;
    p.carryEnd = labelled(d, 380, y, QStringLiteral("End:"), 404, 50, Qt::AlignRight).value;
    y += kRow;
    p.irrType = labelled(d, 0, y, QStringLiteral("Irrigation Type:"), vA, wA);
    p.soil = labelled(d, xB, y, QStringLiteral("Surface Soil:"), vB, wB);
    y += kRow;
    p.wet.add(d, y);
    p.stress = labelled(d, xB, y, QStringLiteral("Water stress factor:"), vB, wB);
    y += kRow + 8;

    // Monthly table.
    QList<Column> cols{{0, 66}};
    for (int c = 1; c <= 9; ++c)
        cols.append({66 + (c - 1) * 52.0, 52});
    d.addHLine(0, y, kPrintWidth, 0.75);
    const double top = y + 3;
    headings(d, cols, top,
             {{0, 0, 3, "Month"}, {1, 1, 2, "Average"}, {1, 1, 3, "Temp."}, {2, 2, 2, "Average"},
              {2, 2, 3, "Precip."}, {3, 4, 0, "Effective"}, {3, 4, 1, "Precipitation"}, {5, 6, 0, "Carryover "},
              {5, 6, 1, "Used"}, {3, 3, 2, "Dry"}, {3, 3, 3, "80%"}, {4, 4, 2, "Normal"}, {4, 4, 3, "50%"},
              {5, 5, 2, "Dry"}, {5, 5, 3, "80%"}, {6, 6, 2, "Normal"}, {6, 6, 3, "50%"}, {7, 7, 2, "Daily"},
              {7, 7, 3, "ETo"}, {8, 8, 1, "Kc"}, {8, 8, 2, "Crop"}, {8, 8, 3, "Factor"}, {9, 9, 2, "Daily"},
              {9, 9, 3, "ETc"}});
    const QString len = metric ? QStringLiteral("cm") : QStringLiteral("inches");
    const QString rate = metric ? QStringLiteral("mm") : QStringLiteral("inches");
    const QString unitTexts[10] = {QString(), metric ? QStringLiteral("deg. C") : QStringLiteral("deg. F"),
                                   len, len, len, len, len, rate, QString(), rate};
    for (int c = 1; c <= 9; ++c)
        if (!unitTexts[c].isEmpty())
            p.units[c] = d.addLabel(QRectF(cols[c].x, top + 4 * kHRow, cols[c].w, 0), unitTexts[c],
                                    FontSpec(8), Qt::AlignHCenter);
    y = top + 5 * kHRow + 3;
    monthRows(d, cols, y, p.cells);
    y += 6;
    // The line when the method is used outside where it was developed.
    p.methodNote = d.addLabel(QRectF(0, y, kPrintWidth, 0), QString(), kText);
    p.methodNote->setWordWrap(true);
    y += 2 * kRow;
    d.setHeight(y + 6);
    d.setBeforePrint([this](Band&, bool&) { fill(); });
}

TFrmQRCropDetail::~TFrmQRCropDetail() = default;

void TFrmQRCropDetail::fill()
{
    CropRunContext& c = m_ctx;
    Parts& p = *m_p;
    const bool mt = m_metric;
    fillCommon(p, c, mt);
    p.planner->setText(c.JobPlanner);
    p.begin->setText(monthDay(c.PlantMonth, c.PlantDay));
    p.end->setText(monthDay(c.HarvestMonth, c.HarvestDay));

    for (int m = 1; m <= 12; ++m) {
        const double v[10] = {0,
                              mt ? c.MonthlyTempC[m] : c.MonthlyTemp[m],
                              mt ? c.MonthlyPrecipCm[m] : c.MonthlyPrecip[m],
                              mt ? c.EffPrecip80cm[m] : c.EffPrecip80[m],
                              mt ? c.EffPrecip50cm[m] : c.EffPrecip50[m],
                              mt ? c.CarryOverUsed80cm[m] : c.CarryOverUsed80[m],
                              mt ? c.CarryOverUsed50cm[m] : c.CarryOverUsed50[m],
                              mt ? c.DailyRefETmm[m] : c.DailyRefET[m],
                              c.MonthlyKc[m],
                              mt ? c.DailyCropETmm[m] : c.DailyCropET[m]};
        for (int col = 1; col <= 9; ++col)
            p.cells[m][col]->setText(fixed2(v[col]));
    }
    const QString carry = fixed2(mt ? c.CarryBegCm + c.CarryEndCm : c.CarryBeg + c.CarryEnd);
    p.cells[13][1]->setText(QString());
    p.cells[13][2]->setText(fixed2(mt ? c.AnnualPrecipCm : c.AnnualPrecip));
    p.cells[13][3]->setText(fixed2(mt ? c.TotalEffPrecip80cm : c.TotalEffPrecip80));
    p.cells[13][4]->setText(fixed2(mt ? c.TotalEffPrecip50cm : c.TotalEffPrecip50));
    p.cells[13][5]->setText(carry);
    p.cells[13][6]->setText(carry);
    for (int col = 7; col <= 9; ++col)
        p.cells[13][col]->setText(QString());
    const QString scope = MethodScopeNote(c, m_metric);
    p.methodNote->setText(scope);
    p.methodNote->setVisible(!scope.isEmpty());
}

PreparedReport TFrmQRCropDetail::prepare()
{
    return m_report->prepare();
}

QList<CsvTable> TFrmQRCropDetail::csvTables() const
{
    const QString len = m_metric ? QStringLiteral("cm") : QStringLiteral("inches");
    const QString rate = m_metric ? QStringLiteral("mm/day") : QStringLiteral("inches/day");
    CsvTable t;
    t.name = QStringLiteral("Crop Data Details");
    t.header = {QStringLiteral("Month"),
                QStringLiteral("Average Temp. (%1)").arg(m_metric ? QStringLiteral("deg. C") : QStringLiteral("deg. F")),
                QStringLiteral("Average Precip. (%1)").arg(len),
                QStringLiteral("Effective Precipitation Dry 80% (%1)").arg(len),
                QStringLiteral("Effective Precipitation Normal 50% (%1)").arg(len),
                QStringLiteral("Carryover Used Dry 80% (%1)").arg(len),
                QStringLiteral("Carryover Used Normal 50% (%1)").arg(len),
                QStringLiteral("Daily ETo (%1)").arg(rate),
                QStringLiteral("Kc Crop Factor"),
                QStringLiteral("Daily ETc (%1)").arg(rate)};
    t.rows = monthRowTexts(m_p->cells);
    return {t};
}

// ====================================================== "Crop Data Summary"

struct TFrmQRJobCrop::Parts : CommonParts {
    Label *county, *by, *begin, *end;
    Line cuttings, cut1, cutLast;
    Label* cells[14][8] = {};
    Label *note1, *note2, *note3, *methodNote;
};

TFrmQRJobCrop::TFrmQRJobCrop(CropRunContext& ctx, bool metric)
    : m_ctx(ctx), m_metric(metric), m_report(std::make_unique<Report>(QStringLiteral("Crop Data Summary"))),
      m_p(std::make_unique<Parts>())
{
    Report& rep = *m_report;
    Parts& p = *m_p;
    Band& t = rep.titleBand();
    addTitle(t, QStringLiteral("Crop Data Summary"));
    addFooter(rep, false);

    const QString unit = metric ? QStringLiteral("cm") : QStringLiteral("inches");
    const double vA = 92, wA = 190, xB = 292, vB = 382, wB = 158;
    double y = 52;
    auto pair = [&](const QString& a, Label*& va, const QString& b, Label*& vb) {
        va = labelled(t, 0, y, a, vA, wA).value;
        vb = labelled(t, xB, y, b, vB, wB).value;
        y += kRow;
    };
    pair(QStringLiteral("Job:"), p.job, QStringLiteral("Crop:"), p.crop);
    pair(QStringLiteral("Location:"), p.location, QStringLiteral("County:"), p.county);
    pair(QStringLiteral("Land User:"), p.landUser, QStringLiteral("Date:"), p.date);
    p.by = labelled(t, 0, y, QStringLiteral("By:"), vA, wA).value;
    p.id = labelled(t, xB, y, QStringLiteral("ID:"), 310, 100).value;
    p.jobClass =
        labelled(t, 416, y, metric ? QStringLiteral("Job Class:") : QStringLiteral("JobClass:"), 466, 74).value;
    y += kRow;
    pair(QStringLiteral("Weather Station:"), p.station, QStringLiteral("Sta No:"), p.staNo);
    p.lat = labelled(t, 0, y, QStringLiteral("Latitude:"), 50, 80).value;
    p.lon = labelled(t, 140, y, QStringLiteral("Longitude:"), 195, 95).value;
    p.elev = labelled(t, xB, y, QStringLiteral("Elevation:"), vB, 32).value;
    t.addLabel(QRectF(vB + 34, y, kPrintWidth - vB - 34, 0),
               metric ? QStringLiteral("meters above sea level") : QStringLiteral("feet above sea level"), kText);
    y += kRow;
    p.method = labelled(t, 0, y, metric ? QStringLiteral("Compute Method:") : QStringLiteral("Compute  Method:"), vA,
                        244)
                   .value;
    p.netIrr = labelled(t, 340, y, QStringLiteral("Net irrigation application:"), 452, 44, Qt::AlignRight).value;
    t.addLabel(QRectF(500, y, 40, 0), unit, kText);
    y += kRow;
    p.curve = labelled(t, 0, y, QStringLiteral("Crop Curve:"), vA, 448).value;
    y += kRow;
    t.addLabel(QRectF(0, y, 230, 0), QStringLiteral("Estimated carryover moisture used at season:"), kText);
    p.carryBeg = labelled(t, 236, y, QStringLiteral("Begin:"), 268, 40, Qt::AlignRight).value;
    t.addLabel(QRectF(312, y, 40, 0), unit, kText);
    p.carryEnd = labelled(t, 360, y, QStringLiteral("End:"), 384, 40, Qt::AlignRight).value;
    t.addLabel(QRectF(428, y, 40, 0), unit, kText);
    y += kRow;
    pair(QStringLiteral("Begin Growth:"), p.begin, QStringLiteral("End Growth:"), p.end);
    p.irrType = labelled(t, 0, y, QStringLiteral("Irrigation Type:"), vA, wA);
    p.stress = labelled(t, xB, y, QStringLiteral("Water stress factor:"), vB, wB);
    y += kRow;
    p.soil = labelled(t, 0, y, QStringLiteral("Surface Soil:"), vA, wA);
    p.cuttings = labelled(t, xB, y, QStringLiteral("Number of Cuttings:"), vB, wB);
    y += kRow;
    p.cut1 = labelled(t, 0, y, QStringLiteral("1st cut:"), vA, wA);
    p.cutLast = labelled(t, xB, y, QStringLiteral("Last Cut:"), vB, wB);
    y += kRow;
    p.wet.add(t, y);
    y += kRow + 8;

    // Monthly table.
    QList<Column> cols{{0, 71}};
    for (int c = 1; c <= 7; ++c)
        cols.append({71 + (c - 1) * 67.0, 67});
    t.addHLine(0, y, kPrintWidth, 0.75);
    const double top = y + 3;
    headings(t, cols, top,
             {{0, 0, 3, "Month"}, {1, 1, 0, "Total"}, {1, 1, 1, "Monthly"}, {1, 1, 2, "ET"}, {1, 1, 3, "(3)"},
              {2, 3, 0, "Dry Year"}, {2, 3, 1, "80% Chance (1)"}, {4, 5, 0, "Normal Year"},
              {4, 5, 1, "50% Chance (1)"}, {2, 2, 2, "Effective"}, {2, 2, 3, "Precipitation"},
              {3, 3, 2, "Net Irrigation"}, {3, 3, 3, "Reqirements"}, {4, 4, 2, "Effective"},
              {4, 4, 3, "Precipitation"}, {5, 5, 2, "Net Irrigation"}, {5, 5, 3, "Reqirements"},
              {6, 6, 1, "Average"}, {6, 6, 2, "Daily"}, {6, 6, 3, "ETc"}, {7, 7, 1, "Peak"}, {7, 7, 2, "Daily"},
              {7, 7, 3, "ETPk"}});
    const QString rate = metric ? QStringLiteral("mm") : QStringLiteral("inches");
    const QString two = unit + QStringLiteral(" (2)");
    const QString units[8] = {QString(), unit, unit, two, unit, two, rate, rate};
    for (int c = 1; c <= 7; ++c)
        t.addLabel(QRectF(cols[c].x, top + 4 * kHRow, cols[c].w, 0), units[c], FontSpec(8), Qt::AlignHCenter);
    y = top + 5 * kHRow + 3;
    monthRows(t, cols, y, p.cells);
    y += 12;

    // Notes under the table; a note not printed leaves its space blank.
    auto note = [&](const QString& text) {
        Label* l = t.addLabel(QRectF(0, y, kPrintWidth, 0), text, kText);
        l->setWordWrap(true);
        y += 2 * kRow + 4;
        return l;
    };
    p.note1 = note(QStringLiteral("(1) For 80 percent occurrence, growing season effective precipitation will be equaled "
                                  "or exceeded 8 out of 10 years.  For 50 percent chance occurrence, effective "
                                  "precipitation will be equaled or exceeded 1 out of 2 years."));
    p.note2 = note(QStringLiteral("(2) Net irrigation requirements is adjusted for carryover moisture used at the "
                                  "beginning of the season and carryover moiature used at the end of the growing "
                                  "season."));
    p.note3 = note(QStringLiteral("(3) TR21 ET (Evapotranspiration) is adjusted upwards 10% per 1000 meters above sea "
                                  "level."));
    p.methodNote = note(QString());   // the line when the method is used outside where it was developed
    t.setHeight(y);
    t.setBeforePrint([this](Band&, bool&) { fill(); });
}

TFrmQRJobCrop::~TFrmQRJobCrop() = default;

void TFrmQRJobCrop::fill()
{
    CropRunContext& c = m_ctx;
    Parts& p = *m_p;
    const bool mt = m_metric;
    fillCommon(p, c, mt);
    p.county->setText(c.County);
    p.by->setText(c.JobPlanner);
    p.begin->setText(c.BeginDateText);
    p.end->setText(c.EndDateText);

    // Cuttings lines: forage and hay curve with cuttings only.
    const bool hay = c.CurveIndex == 2 && c.HayFlag;
    p.cuttings.value->setText(hay ? QString::number(c.Cuttings) : QString());
    p.cut1.value->setText(hay ? c.FirstCuttingText : QString());
    p.cutLast.value->setText(hay ? c.LastCuttingText : QString());
    p.cuttings.setVisible(hay);
    p.cut1.setVisible(hay);
    p.cutLast.setVisible(hay);

    for (int m = 1; m <= 12; ++m) {
        const std::array<double, 8> v = output::summaryMonthValues(c, m, mt);
        for (int col = 1; col <= 6; ++col)
            p.cells[m][col]->setText(fixed2(v[col]));
        // The peak of the planting and the harvest month stands for a part
        // of a month only and is not printed.
        const bool peak = v[7] > 0 && m != c.PlantMonth && m != c.HarvestMonth;
        p.cells[m][7]->setText(peak ? fixed2(v[7]) : QString());
    }
    p.cells[13][1]->setText(fixed2(mt ? c.TotalCropETcm : c.TotalCropET));
    p.cells[13][2]->setText(fixed2(mt ? c.TotalEffPrecip80cm : c.TotalEffPrecip80));
    p.cells[13][3]->setText(fixed2(mt ? c.TotalNetIrrReq80cm : c.TotalNetIrrReq80));
    p.cells[13][4]->setText(fixed2(mt ? c.TotalEffPrecip50cm : c.TotalEffPrecip50));
    p.cells[13][5]->setText(fixed2(mt ? c.TotalNetIrrReq50cm : c.TotalNetIrrReq50));
    p.cells[13][6]->setText(QString());
    p.cells[13][7]->setText(QString());

    p.note2->setVisible(c.CarryBeg > 0 || c.CarryEnd > 0);
    const bool tr21 = c.ETMethodText == QLatin1String("Blaney Criddle (TR21)");
    p.note3->setVisible(tr21);
    if (tr21) {
        const bool corrected = m_elevOverride >= 0 ? m_elevOverride == 1 : output::elevationCorrectionOn();
        p.note3->setText(corrected ? QStringLiteral("(3) TR21 ET (Evapotranspiration) is adjusted upwards 10% per 1000 "
                                                    "meters above sea level.")
                                   : QStringLiteral("(3) ET(Evapotranspiration) not adjusted for elevation."));
    }
    const QString scope = MethodScopeNote(c, m_metric);
    p.methodNote->setText(scope);
    p.methodNote->setVisible(!scope.isEmpty());
}

PreparedReport TFrmQRJobCrop::prepare()
{
    return m_report->prepare();
}

QList<CsvTable> TFrmQRJobCrop::csvTables() const
{
    const QString len = m_metric ? QStringLiteral("cm") : QStringLiteral("inches");
    const QString rate = m_metric ? QStringLiteral("mm/day") : QStringLiteral("inches/day");
    CsvTable t;
    t.name = QStringLiteral("Crop Data Summary");
    t.header = {QStringLiteral("Month"),
                QStringLiteral("Total Monthly ET (%1)").arg(len),
                QStringLiteral("Dry Year 80% Chance Effective Precipitation (%1)").arg(len),
                QStringLiteral("Dry Year 80% Chance Net Irrigation Requirements (%1)").arg(len),
                QStringLiteral("Normal Year 50% Chance Effective Precipitation (%1)").arg(len),
                QStringLiteral("Normal Year 50% Chance Net Irrigation Requirements (%1)").arg(len),
                QStringLiteral("Average Daily ETc (%1)").arg(rate),
                QStringLiteral("Peak Daily ETPk (%1)").arg(rate)};
    t.rows = monthRowTexts(m_p->cells);
    return {t};
}

// ====================================================== without a window

namespace output {

PreparedReport prepareCropDetailReport(CropRunContext& ctx, bool metric, const QDateTime& printTime)
{
    return prepareForm<TFrmQRCropDetail, TFrmQRCropDetailM>(ctx, metric, printTime);
}

PreparedReport prepareJobCropReport(CropRunContext& ctx, bool metric, const QDateTime& printTime)
{
    return prepareForm<TFrmQRJobCrop, TFrmQRJobCropM>(ctx, metric, printTime);
}

QString preparedText(const PreparedReport& rep)
{
    QString out;
    for (int i = 0; i < rep.pageCount(); ++i) {
        out += QStringLiteral("=== page %1\n").arg(i + 1);
        // Texts whose boxes start on the same line (within 3 points), left to right.
        QList<const DrawOp*> texts;
        for (const DrawOp& op : rep.pages.at(i).ops)
            if (op.kind == DrawOp::Text && !op.text.trimmed().isEmpty())
                texts << &op;
        std::stable_sort(texts.begin(), texts.end(), [](const DrawOp* a, const DrawOp* b) {
            return a->rect.top() < b->rect.top();
        });
        for (qsizetype k = 0; k < texts.size();) {
            qsizetype e = k + 1;
            while (e < texts.size() && texts[e]->rect.top() - texts[k]->rect.top() < 3)
                ++e;
            QList<const DrawOp*> line(texts.begin() + k, texts.begin() + e);
            std::stable_sort(line.begin(), line.end(),
                             [](const DrawOp* a, const DrawOp* b) { return a->rect.left() < b->rect.left(); });
            QStringList parts;
            for (const DrawOp* op : line)
                parts << op->text;
            out += parts.join(QStringLiteral(" | ")) + QLatin1Char('\n');
            k = e;
        }
    }
    return out;
}

} // namespace output
} // namespace quen
