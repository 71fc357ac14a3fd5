#include "ChartBuild.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>

#include "CurvesData.h"
#include "Report.h"
#include "ReportNumbers.h"

namespace quen {

namespace {

QFont Scaled(QFont f, double scale)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * scale);
    return f;
}

void StyleChart(QChart* chart, const QString& title, const QColor& background, double fontScale)
{
    chart->setTitle(title);
    QFont tf = chart->titleFont();
    tf.setPointSizeF(11 * fontScale);
    tf.setBold(true);
    chart->setTitleFont(tf);
    chart->setBackgroundBrush(background);
    chart->setPlotAreaBackgroundBrush(background);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->legend()->setFont(Scaled(chart->legend()->font(), fontScale));
    chart->setMargins(QMargins(4, 4, 4, 4));
}

void HideFromLegend(QChart* chart, QAbstractSeries* s)
{
    for (QLegendMarker* m : chart->legend()->markers(s))
        m->setVisible(false);
}

void Attach(QChart* chart, QAbstractSeries* s, QAbstractAxis* x, QAbstractAxis* y)
{
    chart->addSeries(s);
    s->attachAxis(x);
    s->attachAxis(y);
}

// A line drawn in the colours of its points: the stretch up to a point takes
// that point's colour. One series per run of a colour; the legend shows the
// series' own colour once.
void AddColouredLine(QChart* chart, const CurveSeries& s, QAbstractAxis* x, QAbstractAxis* y, double penWidth)
{
    auto* legendLine = new QLineSeries;
    legendLine->setName(s.title);
    legendLine->setPen(QPen(s.color, penWidth));
    Attach(chart, legendLine, x, y);
    if (s.points.isEmpty())
        return;
    QLineSeries* run = nullptr;
    QColor runColour;
    for (qsizetype i = 0; i < s.points.size(); ++i) {
        const CurvePoint& p = s.points[i];
        if (i == 0) {
            run = new QLineSeries;
            runColour = p.color;
            run->append(p.x, p.y);
            continue;
        }
        if (p.color != runColour) {
            run->setPen(QPen(runColour, penWidth));
            Attach(chart, run, x, y);
            HideFromLegend(chart, run);
            const CurvePoint& prev = s.points[i - 1];
            run = new QLineSeries;
            runColour = p.color;
            run->append(prev.x, prev.y);
        }
        run->append(p.x, p.y);
    }
    run->setPen(QPen(runColour, penWidth));
    Attach(chart, run, x, y);
    HideFromLegend(chart, run);
}

QValueAxis* ValueAxis(const QString& title, double min, double max, double step, int minorTicks, double fontScale)
{
    // labels every second step where one step would crowd them (the grid
    // keeps the step)
    if ((max - min) / step > 10.5) {
        step *= 2;
        minorTicks = 1;
    }
    auto* a = new QValueAxis;
    a->setTitleText(title);
    a->setRange(min, max);
    a->setTickType(QValueAxis::TicksDynamic);
    a->setTickAnchor(min);
    a->setTickInterval(step);
    a->setMinorTickCount(minorTicks);
    a->setLabelFormat(step < 1 ? QStringLiteral("%.1f") : QStringLiteral("%.0f"));
    a->setLabelsFont(Scaled(a->labelsFont(), fontScale));
    QFont tf = a->titleFont();
    tf.setPointSizeF(9 * fontScale);
    a->setTitleFont(tf);
    return a;
}

// "Date" axis labelled with the first day of each month (the hidden
// label points of the chart).
QCategoryAxis* DateAxis(const CurveSeries& labels, double min, double max, double fontScale)
{
    auto* a = new QCategoryAxis;
    a->setTitleText(QStringLiteral("Date"));
    a->setRange(min, max);
    a->setStartValue(std::min(0.0, min));
    a->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (const CurvePoint& p : labels.points)
        if (p.x >= min && p.x <= max)
            a->append(p.label, p.x);
    a->setLabelsFont(Scaled(a->labelsFont(), fontScale * 0.9));
    QFont tf = a->titleFont();
    tf.setPointSizeF(9 * fontScale);
    a->setTitleFont(tf);
    return a;
}

void AddCurvesTo(QChart* chart, const std::initializer_list<const CurveSeries*>& lines, QAbstractAxis* x,
                 QAbstractAxis* y, double penWidth)
{
    for (const CurveSeries* s : lines)
        AddColouredLine(chart, *s, x, y, penWidth);
}

// A text mark above a point with an arrow down to it.
void AddMark(QChart* chart, const CurvePoint& p, double arrow, double headWidth, QAbstractAxis* x, QAbstractAxis* y,
             double fontScale)
{
    auto* stem = new QLineSeries;
    stem->append(p.x, p.y + arrow);
    stem->append(p.x, p.y);
    stem->setPen(QPen(p.color, 1.0));
    Attach(chart, stem, x, y);
    HideFromLegend(chart, stem);
    auto* head = new QLineSeries;
    head->append(p.x - headWidth, p.y + arrow * 0.3);
    head->append(p.x, p.y);
    head->append(p.x + headWidth, p.y + arrow * 0.3);
    head->setPen(QPen(p.color, 1.0));
    Attach(chart, head, x, y);
    HideFromLegend(chart, head);
    // The text is centred over the arrow, but kept inside the plot area near
    // January 1 and December 31 (a season of the whole year) so that it
    // does not run over the value axis or the legend.
    double textX = p.x;
    if (auto* v = qobject_cast<QValueAxis*>(x)) {
        const double margin = (v->max() - v->min()) * 0.065;
        textX = std::clamp(textX, v->min() + margin, v->max() - margin);
    }
    auto* text = new QScatterSeries;
    text->append(textX, p.y + arrow);
    text->setMarkerSize(1);
    text->setColor(Qt::transparent);
    text->setBorderColor(Qt::transparent);
    text->setPointLabelsFormat(p.label);
    text->setPointLabelsVisible(true);
    text->setPointLabelsColor(p.color);
    text->setPointLabelsClipping(false);
    text->setPointLabelsFont(Scaled(text->pointLabelsFont(), fontScale * 0.9));
    Attach(chart, text, x, y);
    HideFromLegend(chart, text);
}

} // namespace

void FillEtChart(QChart* chart, const CurvesData& d, const CurvesChartStyle& st)
{
    StyleChart(chart, QStringLiteral("Evapotranspiration Chart"), st.background, st.fontScale);
    QValueAxis* y = d.metric ? ValueAxis(QStringLiteral("ET (mm / day)"), 0, 17, 1, 4, st.fontScale)
                             : ValueAxis(QStringLiteral("ET (inches per day)"), 0, 0.7, 0.1, 4, st.fontScale);
    QCategoryAxis* x = DateAxis(d.etLabels, st.etBottomMin, st.etBottomMax, st.fontScale);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    AddCurvesTo(chart, {&d.etc, &d.etoInterp}, x, y, st.penWidth);
    auto* calc = new QScatterSeries;
    calc->setName(d.etoCalc.title);
    calc->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    calc->setMarkerSize(7 * st.fontScale);
    calc->setColor(d.etoCalc.color);
    calc->setBorderColor(d.etoCalc.color);
    for (const CurvePoint& p : d.etoCalc.points)
        calc->append(p.x, p.y);
    Attach(chart, calc, x, y);
    const double arrow = d.metric ? 1.2 : 0.05;
    for (const CurvePoint& p : d.startEnd.points)
        AddMark(chart, p, arrow, 2.5, x, y, st.fontScale);
}

void FillKcChart(QChart* chart, const CurvesData& d, const CurvesChartStyle& st)
{
    StyleChart(chart, QStringLiteral("Crop Coefficient Chart"), st.background, st.fontScale);
    QValueAxis* y = ValueAxis(QStringLiteral("Crop Coefficient (Kc)"), 0, 1.4, st.kcStep, 4, st.fontScale);
    QCategoryAxis* x = DateAxis(d.kcLabels, st.kcBottomMin, st.kcBottomMax, st.fontScale);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    AddCurvesTo(chart, {&d.kca, &d.kcb}, x, y, st.penWidth);
}

WaterUseBars NormalYearBars(const CropRunContext& c, bool metric)
{
    WaterUseBars b;
    b.carryOver = metric ? c.CarryOverUsed50cm : c.CarryOverUsed50;
    b.effPrecip = metric ? c.EffPrecip50cm : c.EffPrecip50;
    b.irrigation = metric ? c.NetIrrReq50cm : c.NetIrrReq50;
    return b;
}

WaterUseBars DryYearBars(const CropRunContext& c, bool metric)
{
    WaterUseBars b;
    b.carryOver = metric ? c.CarryOverUsed80cm : c.CarryOverUsed80;
    b.effPrecip = metric ? c.EffPrecip80cm : c.EffPrecip80;
    b.irrigation = metric ? c.NetIrrReq80cm : c.NetIrrReq80;
    return b;
}

void FillWaterUseChart(QChart* chart, const QString& titleLine2, const WaterUseBars& bars, const QString& leftTitle,
                       double fontScale)
{
    StyleChart(chart, QStringLiteral("<center>Quen<br>%1</center>").arg(titleLine2), Qt::white, fontScale);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* carry = new QBarSet(QStringLiteral("Carryover Used"));
    auto* eff = new QBarSet(QStringLiteral("Effective Precipitation"));
    auto* irr = new QBarSet(QStringLiteral("Irrigation Required"));
    carry->setColor(QColor(255, 255, 0));
    eff->setColor(QColor(0, 0, 255));
    irr->setColor(QColor(255, 0, 0));
    for (QBarSet* s : {carry, eff, irr})
        s->setBorderColor(Qt::black);
    double top = 0;
    for (int m = 1; m <= 12; ++m) {
        *carry << bars.carryOver[m];
        *eff << bars.effPrecip[m];
        *irr << bars.irrigation[m];
        top = std::max(top, bars.carryOver[m] + bars.effPrecip[m] + bars.irrigation[m]);
    }
    auto* stack = new QStackedBarSeries;
    stack->append(carry);
    stack->append(eff);
    stack->append(irr);
    stack->setBarWidth(0.7);
    chart->addSeries(stack);

    auto* x = new QBarCategoryAxis;
    for (int m = 1; m <= 12; ++m)
        x->append(QString::number(m));
    x->setTitleText(QStringLiteral("Month"));
    x->setLabelsFont(Scaled(x->labelsFont(), fontScale));
    auto* y = new QValueAxis;
    y->setTitleText(leftTitle);
    // automatic scale: room above the highest bar for its mark
    const double max = top > 0 ? top * 1.15 : 1.0;
    y->setRange(0, max);
    y->applyNiceNumbers();
    y->setLabelsFont(Scaled(y->labelsFont(), fontScale));
    for (QAbstractAxis* a : {static_cast<QAbstractAxis*>(x), static_cast<QAbstractAxis*>(y)}) {
        QFont tf = a->titleFont();
        tf.setPointSizeF(9 * fontScale);
        a->setTitleFont(tf);
    }
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    stack->attachAxis(x);
    stack->attachAxis(y);

    // the irrigation requirement as a mark above each bar
    for (int m = 1; m <= 12; ++m) {
        auto* mark = new QScatterSeries;
        mark->append(m - 1, bars.carryOver[m] + bars.effPrecip[m] + bars.irrigation[m]);
        mark->setMarkerSize(1);
        mark->setColor(Qt::transparent);
        mark->setBorderColor(Qt::transparent);
        mark->setPointLabelsFormat(report::formatFloat(QStringLiteral("#,##0.##"), bars.irrigation[m]));
        mark->setPointLabelsVisible(true);
        mark->setPointLabelsClipping(false);
        mark->setPointLabelsFont(Scaled(mark->pointLabelsFont(), fontScale * 0.85));
        Attach(chart, mark, x, y);
        HideFromLegend(chart, mark);
    }
}

TwoChartWindow BuildTwoChartWindow(QDialog* dlg, const QString& topName, const QString& bottomName,
                                   const QString& reportCaption, const QString& reportName)
{
    TwoChartWindow w;
    auto* lay = new QVBoxLayout(dlg);
    w.top = new QChartView(dlg);
    w.top->setObjectName(topName);
    w.top->setRenderHint(QPainter::Antialiasing);
    w.bottom = new QChartView(dlg);
    w.bottom->setObjectName(bottomName);
    w.bottom->setRenderHint(QPainter::Antialiasing);
    lay->addWidget(w.top, 1);
    lay->addWidget(w.bottom, 1);
    auto* buttons = new QHBoxLayout;
    w.report = new QPushButton(reportCaption, dlg);
    w.report->setObjectName(reportName);
    w.close = new QPushButton(QStringLiteral("Close"), dlg);
    w.close->setObjectName(QStringLiteral("CloseBtn"));
    buttons->addStretch();
    buttons->addWidget(w.report);
    buttons->addWidget(w.close);
    lay->addLayout(buttons);
    QObject::connect(w.close, &QPushButton::clicked, dlg, &QDialog::accept);
    return w;
}

} // namespace quen
