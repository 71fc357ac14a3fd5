#include "DailyBalanceChart.h"

#include <QCategoryAxis>
#include <QChart>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace quen::output {

namespace {

constexpr double kMmToInches = 0.03936996;

QFont Scaled(QFont f, double scale)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * scale);
    return f;
}

// The smallest of 1, 2, 2.5, 5 x 10^k steps that divides [0, v] into at
// most 8 parts; the axis maximum a whole number of steps.
void NiceRange(double v, double& max, double& step)
{
    if (!(v > 0))
        v = 1;
    const double raw = v / 8;
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    step = mag;
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (m * mag >= raw - 1e-12) {
            step = m * mag;
            break;
        }
    max = std::ceil(v / step - 1e-9) * step;
}

QValueAxis* ValueAxis(const QString& title, double maxValue, double fontScale)
{
    double max, step;
    NiceRange(maxValue, max, step);
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setRange(0, max);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(0);
    a->setTickInterval(step);
    a->setMinorTickCount(0);
    a->setLabelFormat(step < 0.1 ? QStringLiteral("%.2f") : step < 1 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    a->setLabelsFont(Scaled(a->labelsFont(), fontScale));
    QFont tf = a->titleFont();
    tf.setPointSizeF(9 * fontScale);
    a->setTitleFont(tf);
    return a;
}

void Attach(QChart* chart, QAbstractSeries* s, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
}

void HideFromLegend(QChart* chart, QAbstractSeries* s)
{
    for (QLegendMarker* m : chart->legend()->markers(s))
        m->setVisible(false);
}

// Day number of a date counted from January 1 of the planting year (1 =
// January 1), so that a season across the year end runs on.
double DayX(const CivilDate& d, int year)
{
    return double(d.serial() - CivilDate{year, 1, 1}.serial() + 1);
}

} // namespace

void FillDailyBalanceChart(QChart* chart, const SeasonBalance& s, const DailyCropInputs& crop, bool metric,
                           const DailyChartStyle& st)
{
    chart->setTitle(QStringLiteral("Daily Soil-Water Balance %1").arg(s.year));
    QFont tf = chart->titleFont();
    tf.setPointSizeF(11 * st.fontScale);
    tf.setBold(true);
    chart->setTitleFont(tf);
    chart->setBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setFont(Scaled(chart->legend()->font(), st.fontScale));
    chart->setMargins(QMargins(4, 4, 4, 4));
    if (s.rows.empty())
        return;

    const double f = metric ? 1.0 : kMmToInches;
    const QString unit = metric ? QStringLiteral("mm") : QStringLiteral("inches");
    const bool trigger = crop.rule != IrrigationRule::None;
    const double allowedFraction = 1.0 - crop.aswPercent / 100.0;

    double etcMax = 0, depthMax = 0;
    for (const DailyBalanceRow& r : s.rows) {
        etcMax = std::max(etcMax, r.etcAdj * f);
        depthMax = std::max({depthMax, r.dr * f, r.raw * f, r.rain * f, r.irrigation * f,
                             trigger ? allowedFraction * r.taw * f : 0.0});
    }

    // Date axis: the first day of each month of the season.
    const double x0 = DayX(s.rows.front().date, s.year), x1 = DayX(s.rows.back().date, s.year);
    auto* x = new QCategoryAxis;
    x->setTitleText(QStringLiteral("Date"));
    x->setRange(x0 - 1, x1 + 1);
    x->setStartValue(x0 - 1);
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (const DailyBalanceRow& r : s.rows)
        if (r.date.day == 1)
            x->append(QStringLiteral("%1/1").arg(r.date.month), DayX(r.date, s.year));
    x->setLabelsFont(Scaled(x->labelsFont(), st.fontScale * 0.9));
    QFont xf = x->titleFont();
    xf.setPointSizeF(9 * st.fontScale);
    x->setTitleFont(xf);
    QValueAxis* yEt = ValueAxis(metric ? QStringLiteral("ETc adj (mm / day)") : QStringLiteral("ETc adj (inches per day)"),
                                etcMax, st.fontScale);
    QValueAxis* yDepth = ValueAxis(QStringLiteral("Depletion, rain, irrigation (%1)").arg(unit), depthMax * 1.05,
                                   st.fontScale);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(yEt, Qt::AlignLeft);
    chart->addAxis(yDepth, Qt::AlignRight);
    yDepth->setGridLineVisible(false);

    // Rain as bars: a vertical stroke per day from 0 to the
    // depth, joined along the zero line.
    auto bars = [&](const QString& name, const QColor& colour, double DailyBalanceRow::*member) {
        auto* b = new QLineSeries;
        b->setName(name);
        b->setPen(QPen(colour, std::max(2.0, st.penWidth * 1.5), Qt::SolidLine, Qt::FlatCap));
        b->append(x0, 0);
        for (const DailyBalanceRow& r : s.rows) {
            const double v = r.*member * f;
            if (v <= 0)
                continue;
            const double dx = DayX(r.date, s.year);
            b->append(dx, 0);
            b->append(dx, v);
            b->append(dx, 0);
        }
        b->append(x1, 0);
        return b;
    };
    Attach(chart, bars(QString::fromLatin1(kDailyRainSeries), QColor(60, 110, 220), &DailyBalanceRow::rain), x,
           yDepth);

    auto* etc = new QLineSeries;
    etc->setName(QString::fromLatin1(kDailyEtcSeries));
    etc->setPen(QPen(Qt::red, st.penWidth));
    auto* dr = new QLineSeries;
    dr->setName(QString::fromLatin1(kDailyDrSeries));
    dr->setPen(QPen(QColor(120, 70, 20), st.penWidth));
    auto* allowed = new QLineSeries;
    allowed->setName(QString::fromLatin1(kDailyAllowedSeries));
    allowed->setPen(QPen(QColor(230, 130, 0), st.penWidth, Qt::DashLine));
    auto* raw = new QLineSeries;
    raw->setName(QString::fromLatin1(kDailyRawSeries));
    raw->setPen(QPen(QColor(150, 150, 150), st.penWidth, Qt::DotLine));
    for (const DailyBalanceRow& r : s.rows) {
        const double dx = DayX(r.date, s.year);
        etc->append(dx, r.etcAdj * f);
        dr->append(dx, r.dr * f);
        raw->append(dx, r.raw * f);
        allowed->append(dx, allowedFraction * r.taw * f);
    }
    Attach(chart, etc, x, yEt);
    Attach(chart, dr, x, yDepth);
    if (trigger)
        Attach(chart, allowed, x, yDepth);
    else
        delete allowed;
    Attach(chart, raw, x, yDepth);

    // Irrigations: a marker at the day's net depth.
    const QColor green(0, 150, 60);
    auto* marks = new QScatterSeries;
    marks->setName(QString::fromLatin1(kDailyIrrigationSeries));
    marks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
    marks->setMarkerSize(10 * st.fontScale);
    marks->setColor(green);
    marks->setBorderColor(green);
    for (const DailyBalanceRow& r : s.rows)
        if (r.irrigation > 0)
            marks->append(DayX(r.date, s.year), r.irrigation * f);
    Attach(chart, marks, x, yDepth);
}

} // namespace quen::output
