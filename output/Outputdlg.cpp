#include "Outputdlg.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "ComputeCrop.h"
#include "CropReports.h"
#include "CropRunContext.h"
#include "DailyBalancePage.h"
#include "DBControls.h"
#include "Help.h"
#include "Hourglass.h"
#include "MainDMod.h"
#include "MethodScope.h"
#include "OutputFormats.h"
#include "Placement.h"
#include "Outputs.h"

namespace quen {

using output::fixed2;
using output::GeneralNumberText;
using output::monthDay;

namespace {

// Suggested column widths of the monthly table, widened where the screen's
// font needs more room for the month names, headers and values.
constexpr int kDesignColWidth[8] = {68, 56, 79, 78, 82, 77, 53, 53};
constexpr int kRowHeight = 18;
constexpr const char* kNote3 = "(3)  ET (Evapotranspiration) is adjusted upwords 10% per 1000 meters above sea level.";

QList<int> columnWidths(const QFontMetrics& fm, const QFontMetrics& headFm)
{
    QList<int> w;
    static const char* const widest[8] = {"September", " (inches)", "  (inches)", " (inches)(2)",
                                          "   (inches)", " (inches)(2)", " (inches)", " (inches)"};
    static const char* const heads[8] = {"", "Monthly", "Precipitation", "Requirements",
                                         "Precipitation", "Requirements", "Average", "ETPk"};
    for (int c = 0; c < 8; ++c) {
        const int text = std::max({fm.horizontalAdvance(QString::fromLatin1(widest[c])),
                                   fm.horizontalAdvance(QStringLiteral("000.00")),
                                   headFm.horizontalAdvance(QString::fromLatin1(heads[c]))});
        w << std::max(kDesignColWidth[c], text + 14);
    }
    return w;
}

QLabel* caption(const QString& text, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    return l;
}

QLabel* value(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

TDBText* dbText(QWidget* parent, const QString& field, const QString& name)
{
    auto* t = new TDBText(parent);
    t->setObjectName(name);
    QFont f = t->font();
    f.setBold(true);
    t->setFont(f);
    t->setFieldName(field);
    if (mainprog::DMod)
        t->setDataSource(mainprog::DMod->datQuenWkCrop);
    return t;
}

QTableWidget* grid(QWidget* parent, int rows, const QString& name, const QList<int>& kColWidth)
{
    auto* g = new QTableWidget(rows, 8, parent);
    g->setObjectName(name);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    int w = 0;
    for (int c = 0; c < 8; ++c) {
        g->setColumnWidth(c, kColWidth[c]);
        w += kColWidth[c];
    }
    for (int r = 0; r < rows; ++r)
        g->setRowHeight(r, kRowHeight);
    g->setFixedSize(w + 2 * g->frameWidth(), rows * kRowHeight + 2 * g->frameWidth());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 8; ++c) {
            auto* it = new QTableWidgetItem;
            it->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
            g->setItem(r, c, it);
        }
    return g;
}

QFont headingFont(QFont f)
{
    f.setPointSizeF(f.pointSizeF() * 0.9);
    return f;
}

// A heading panel over columns [c0, c1] of the table, lines stacked.
QLabel* headingPanel(QWidget* parent, const QList<int>& kColWidth, int c0, int c1, int top, int height,
                     const QString& text)
{
    int x = 1;
    for (int c = 0; c < c0; ++c)
        x += kColWidth[c];
    int w = 0;
    for (int c = c0; c <= c1; ++c)
        w += kColWidth[c];
    auto* l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignCenter);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Raised);
    l->setFont(headingFont(l->font()));
    l->setGeometry(x, top, w, height);
    return l;
}

} // namespace

TOutputdlg::TOutputdlg(CropRunContext& ctx, CropCurveState& curves, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_curves(curves), m_metric(mainprog::DMod && mainprog::DMod->MetricUnits)
{
    setObjectName(QStringLiteral("Outputdlg"));
    setWindowTitle(QStringLiteral("Summary of Current Crop for Current Job"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(kDesignWidth, kDesignHeight);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    ResultsScrollBox = new QScrollArea(this);
    ResultsScrollBox->setObjectName(QStringLiteral("ResultsScrollBox"));
    ResultsScrollBox->setWidgetResizable(true);
    ResultsScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHelpContext(ResultsScrollBox, 19016);
    OutputTabs = new QTabWidget(this);
    OutputTabs->setObjectName(QStringLiteral("OutputTabs"));
    OutputTabs->setDocumentMode(true);
    OutputTabs->addTab(ResultsScrollBox, QStringLiteral("Summary"));
    DailyPage = new TDailyBalancePage(ctx, OutputTabs);
    DailyPage->setProvider([this](int year) {
        if (RunDaily)
            return RunDaily(m_ctx, m_curves, year);
        job::DailyRun none;
        none.error = TDailyBalancePage::noProviderText();
        return none;
    });
    OutputTabs->addTab(DailyPage, QStringLiteral("Daily balance"));
    outer->addWidget(OutputTabs, 1);

    auto* body = new QWidget;
    ResultsScrollBox->setWidget(body);
    auto* v = new QVBoxLayout(body);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);

    auto* title = new QLabel(QStringLiteral("Quen Summary"), body);
    QFont tf = title->font();
    tf.setPointSizeF(tf.pointSizeF() * 1.5);
    tf.setBold(true);
    title->setFont(tf);
    title->setStyleSheet(QStringLiteral("color: #b00000;"));
    title->setAlignment(Qt::AlignHCenter);
    v->addWidget(title);

    // Job and station header: label, value pairs in two columns.
    auto* head = new QGridLayout;
    head->setHorizontalSpacing(6);
    head->setVerticalSpacing(1);
    int row = 0;
    auto pair = [&](int col, const QString& cap, QLabel* val) {
        head->addWidget(caption(cap, body), row, col * 2);
        head->addWidget(val, row, col * 2 + 1);
    };
    // Two pairs on one row, the values named after their members.
    auto line = [&](const QString& capA, QLabel*& a, const QString& nameA, const QString& capB, QLabel*& b,
                    const QString& nameB) {
        a = value(body, nameA);
        b = value(body, nameB);
        pair(0, capA, a);
        pair(1, capB, b);
        ++row;
    };
    line(QStringLiteral("Job:"), JobLabel, QStringLiteral("JobLabel"),
        QStringLiteral("Date:"), DateLabel, QStringLiteral("DateLabel"));
    line(QStringLiteral("Location:"), LocationLabel, QStringLiteral("LocationLabel"),
        QStringLiteral("County:"), CountyLabel, QStringLiteral("CountyLabel"));
    line(QStringLiteral("By:  "), PlannerLabel, QStringLiteral("PlannerLabel"),
        QStringLiteral("ID:"), IDLabel, QStringLiteral("IDLabel"));
    line(QStringLiteral("Land User:"), LandUserLabel, QStringLiteral("LandUserLabel"),
        QStringLiteral("Job class:"), JobClassLabel, QStringLiteral("JobClassLabel"));
    line(QStringLiteral("Weather Station:"), StationLabel, QStringLiteral("StationLabel"),
        QStringLiteral("Sta No:"), StaNoLabel, QStringLiteral("StaNoLabel"));
    line(QStringLiteral("Latitude:"), LatitudeLabel, QStringLiteral("LatitudeLabel"),
        QStringLiteral("Longitude:"), LongitudeLabel, QStringLiteral("LongitudeLabel"));
    ElevationLabel = value(body, QStringLiteral("ElevationLabel"));
    ElevUnitLabel = new QLabel(QStringLiteral("feet"), body);
    ElevUnitLabel->setObjectName(QStringLiteral("ElevUnitLabel"));
    {
        auto* h = new QHBoxLayout;
        h->setSpacing(4);
        h->addWidget(ElevationLabel);
        h->addWidget(ElevUnitLabel);
        h->addStretch(1);
        head->addWidget(caption(QStringLiteral("Eleveation: "), body), row, 0);
        head->addLayout(h, row, 1);
    }
    ++row;
    MethodLabel = value(body, QStringLiteral("MethodLabel"));
    head->addWidget(caption(QStringLiteral("Computation Method:"), body), row, 0);
    head->addWidget(MethodLabel, row, 1, 1, 3);
    ++row;
    head->setColumnStretch(1, 1);
    head->setColumnStretch(3, 1);
    v->addLayout(head);

    auto* rule = new QFrame(body);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    v->addWidget(rule);

    // The crop's inputs.
    auto* crop = new QGridLayout;
    crop->setHorizontalSpacing(6);
    crop->setVerticalSpacing(1);
    row = 0;
    CropNameDBText = dbText(body, QStringLiteral("Crop Name"), QStringLiteral("CropNameDBText"));
    crop->addWidget(caption(QStringLiteral("Crop:"), body), row, 0);
    crop->addWidget(CropNameDBText, row, 1, 1, 3);
    ++row;
    CurveTypeDBText = dbText(body, QStringLiteral("Crop Curve Type"), QStringLiteral("CurveTypeDBText"));
    crop->addWidget(caption(QStringLiteral("Crop  Curve:"), body), row, 0);
    crop->addWidget(CurveTypeDBText, row, 1, 1, 3);
    ++row;
    BeginGrowthLabel = value(body, QStringLiteral("BeginGrowthLabel"));
    EndGrowthLabel = value(body, QStringLiteral("EndGrowthLabel"));
    crop->addWidget(caption(QStringLiteral("Begin Growth:"), body), row, 0);
    crop->addWidget(BeginGrowthLabel, row, 1);
    crop->addWidget(caption(QStringLiteral("End Growth:"), body), row, 2);
    crop->addWidget(EndGrowthLabel, row, 3);
    ++row;
    NetIrrLabel = value(body, QStringLiteral("NetIrrLabel"));
    NetIrrUnitLabel = new QLabel(QStringLiteral("inches"), body);
    NetIrrUnitLabel->setObjectName(QStringLiteral("NetIrrUnitLabel"));
    {
        auto* h = new QHBoxLayout;
        h->setSpacing(4);
        h->addWidget(caption(QStringLiteral("Net irrigation application: "), body));
        h->addWidget(NetIrrLabel);
        h->addWidget(NetIrrUnitLabel);
        h->addStretch(1);
        crop->addLayout(h, row, 0, 1, 4);
    }
    ++row;
    CarryBegLabel = value(body, QStringLiteral("CarryBegLabel"));
    CarryEndLabel = value(body, QStringLiteral("CarryEndLabel"));
    CarryUnitLabel = new QLabel(QStringLiteral("inches"), body);
    CarryUnitLabel->setObjectName(QStringLiteral("CarryUnitLabel"));
    {
        auto* h = new QHBoxLayout;
        h->setSpacing(4);
        h->addWidget(caption(QStringLiteral("Estimated carryover moisture used at season: "), body));
        h->addWidget(caption(QStringLiteral("Start:"), body));
        h->addWidget(CarryBegLabel);
        h->addSpacing(8);
        h->addWidget(caption(QStringLiteral("End:"), body));
        h->addWidget(CarryEndLabel);
        h->addWidget(CarryUnitLabel);
        h->addStretch(1);
        crop->addLayout(h, row, 0, 1, 4);
    }
    ++row;
    // Cuttings lines (forage and hay with cuttings).
    {
        auto* c1 = caption(QStringLiteral("Number of cuttings:"), body);
        CuttingsDBText = dbText(body, QStringLiteral("Cuttings"), QStringLiteral("CuttingsDBText"));
        auto* c2 = caption(QStringLiteral("1st Cut:"), body);
        Cut1Label = value(body, QStringLiteral("Cut1Label"));
        auto* c3 = caption(QStringLiteral("Last Cut:"), body);
        CutLastLabel = value(body, QStringLiteral("CutLastLabel"));
        auto* h = new QHBoxLayout;
        h->setSpacing(6);
        for (QWidget* w : {static_cast<QWidget*>(c1), static_cast<QWidget*>(CuttingsDBText), static_cast<QWidget*>(c2),
                           static_cast<QWidget*>(Cut1Label), static_cast<QWidget*>(c3),
                           static_cast<QWidget*>(CutLastLabel)})
            h->addWidget(w);
        h->addStretch(1);
        crop->addLayout(h, row, 0, 1, 4);
        CuttingsLines = {c1, CuttingsDBText, c2, Cut1Label, c3, CutLastLabel};
    }
    ++row;
    // Soil and wetting lines (basal curves).
    {
        auto* c1 = caption(QStringLiteral("Irrigation Type:"), body);
        IrrTypeDBText = dbText(body, QStringLiteral("Irrigation Type"), QStringLiteral("IrrTypeDBText"));
        auto* c2 = caption(QStringLiteral("Surface Soil:"), body);
        SoilDBText = dbText(body, QStringLiteral("Soil"), QStringLiteral("SoilDBText"));
        crop->addWidget(c1, row, 0);
        crop->addWidget(IrrTypeDBText, row, 1);
        crop->addWidget(c2, row, 2);
        crop->addWidget(SoilDBText, row, 3);
        ++row;
        auto* c3 = caption(QStringLiteral("Wetting  (Development):"), body);
        DysWetDevDBText = dbText(body, QStringLiteral("Dys Wet Developed"), QStringLiteral("DysWetDevDBText"));
        auto* d1 = caption(QStringLiteral("days"), body);
        auto* c4 = caption(QStringLiteral("(Mature):"), body);
        DysWetMatDBText = dbText(body, QStringLiteral("Dys Wet Mature"), QStringLiteral("DysWetMatDBText"));
        auto* d2 = caption(QStringLiteral("days"), body);
        auto* c5 = caption(QStringLiteral("Water stress factor:"), body);
        StressDBText = dbText(body, QStringLiteral("Stress Factor"), QStringLiteral("StressDBText"));
        auto* h = new QHBoxLayout;
        h->setSpacing(4);
        for (QWidget* w : {static_cast<QWidget*>(c3), static_cast<QWidget*>(DysWetDevDBText), static_cast<QWidget*>(d1),
                           static_cast<QWidget*>(c4), static_cast<QWidget*>(DysWetMatDBText), static_cast<QWidget*>(d2)})
            h->addWidget(w);
        h->addSpacing(16);
        h->addWidget(c5);
        h->addWidget(StressDBText);
        h->addStretch(1);
        crop->addLayout(h, row, 0, 1, 4);
        SoilLines = {c1, IrrTypeDBText, c2, SoilDBText, c3, DysWetDevDBText, d1, c4, DysWetMatDBText, d2, c5,
                     StressDBText};
    }
    crop->setColumnStretch(1, 1);
    crop->setColumnStretch(3, 1);
    v->addLayout(crop);

    // Heading panels above the grid.
    const QList<int> widths = columnWidths(fontMetrics(), QFontMetrics(headingFont(font())));
    int gridWidth = 0;
    for (int w : widths)
        gridWidth += w;
    // The design width, or as much as the table needs in this font.
    m_designWidth = std::max(int(kDesignWidth), gridWidth + 44);
    resize(m_designWidth, kDesignHeight);
    auto* headings = new QWidget(body);
    const int hh = 64;
    headings->setFixedHeight(hh);
    headingPanel(headings, widths, 0, 0, 0, hh, QString());
    headingPanel(headings, widths, 1, 1, 0, hh, QStringLiteral("Total\nMonthly\nET\n(3)"));
    headingPanel(headings, widths, 2, 3, 0, 30, QStringLiteral("Dry Year\n80% Chance (1)"));
    headingPanel(headings, widths, 2, 2, 30, hh - 30, QStringLiteral("Effective\nPrecipitation"));
    headingPanel(headings, widths, 3, 3, 30, hh - 30, QStringLiteral("Net Irrigation\nRequirements"));
    headingPanel(headings, widths, 4, 5, 0, 30, QStringLiteral("Normal Year\n50% Chance (1)"));
    headingPanel(headings, widths, 4, 4, 30, hh - 30, QStringLiteral("Effective\nPrecipitation"));
    headingPanel(headings, widths, 5, 5, 30, hh - 30, QStringLiteral("Net Irrigation\nRequirements"));
    headingPanel(headings, widths, 6, 6, 0, hh, QStringLiteral("Average\nDaily\nETc"));
    headingPanel(headings, widths, 7, 7, 0, hh, QStringLiteral("Peak\nDaily\nETPk"));
    v->addWidget(headings);

    SGrid = grid(body, 13, QStringLiteral("SGrid"), widths);
    for (int c = 0; c < 8; ++c) {
        QTableWidgetItem* it = SGrid->item(0, c);
        it->setBackground(palette().button());
        it->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    SGrid->item(0, 0)->setText(QStringLiteral("Month"));
    for (int m = 1; m <= 12; ++m)
        SGrid->item(m, 0)->setText(output::monthName(m));
    v->addWidget(SGrid);
    TotalsGrid = grid(body, 1, QStringLiteral("TotalsGrid"), widths);
    TotalsGrid->item(0, 0)->setText(QStringLiteral("TOTALS"));
    for (int c = 0; c < 8; ++c) {
        QFont f = TotalsGrid->font();
        f.setBold(true);
        TotalsGrid->item(0, c)->setFont(f);
    }
    v->addWidget(TotalsGrid);

    // The three notes, each line a label.
    auto noteLabel = [&](const QString& text) {
        auto* l = new QLabel(text, body);
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * 0.85);
        l->setFont(f);
        v->addWidget(l);
        return l;
    };
    v->addSpacing(4);
    Note1Labels << noteLabel(QStringLiteral("(1)  For 80 percent chance occurrence, growing season effective "
                                            "precipitation will be equaled or exceeded"))
                << noteLabel(QStringLiteral("8 out of 10 years.  For 50 percent chance occurrence, effective "
                                            "precipitation will be equaled of exceeded "))
                << noteLabel(QStringLiteral("1 out of 2 years."));
    Note2Labels << noteLabel(QStringLiteral("(2)  Net irrigation requirements is adjusted for carryover moisture "
                                            "used at the beginning  of the season and"))
                << noteLabel(QStringLiteral("carryover moisture used at the end of the growing season."));
    Note3Label = noteLabel(QString::fromLatin1(kNote3));
    Note3Label->setObjectName(QStringLiteral("Note3Label"));
    MethodNoteLabel = noteLabel(QString());
    MethodNoteLabel->setObjectName(QStringLiteral("MethodNoteLabel"));
    MethodNoteLabel->setWordWrap(true);
    MethodNoteLabel->hide();
    v->addStretch(1);

    // Buttons.
    auto* buttons = new QHBoxLayout;
    CloseBtn = new QPushButton(QStringLiteral("OK"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    PrintBtn = new QPushButton(QStringLiteral("Summary Report"), this);
    PrintBtn->setObjectName(QStringLiteral("PrintBtn"));
    PrintBtn->setToolTip(QStringLiteral("Report of data shown below"));
    DetailBtn = new QPushButton(QStringLiteral("Details Report"), this);
    DetailBtn->setObjectName(QStringLiteral("DetailBtn"));
    DetailBtn->setToolTip(QStringLiteral("Report of computation details"));
    BitBtnNorm = new QPushButton(QStringLiteral("Quen Chart"), this);
    BitBtnNorm->setObjectName(QStringLiteral("BitBtnNorm"));
    BitBtnNorm->setToolTip(QStringLiteral("Display bar graph"));
    CurveBitBtn = new QPushButton(QStringLiteral("ET Kc Curves"), this);
    CurveBitBtn->setObjectName(QStringLiteral("CurveBitBtn"));
    CurveBitBtn->setToolTip(QStringLiteral("Display ET Kc curves"));
    ClimDatSpeedBtn = new QToolButton(this);
    ClimDatSpeedBtn->setObjectName(QStringLiteral("ClimDatSpeedBtn"));
    ClimDatSpeedBtn->setText(QStringLiteral("Clim"));
    ClimDatSpeedBtn->setToolTip(QStringLiteral("Climatic Data Input"));
    HelpSpeedButton1 = new QToolButton(this);
    HelpSpeedButton1->setObjectName(QStringLiteral("HelpSpeedButton1"));
    HelpSpeedButton1->setText(QStringLiteral("?"));
    HelpSpeedButton1->setToolTip(QStringLiteral("Help"));
    for (QWidget* w : {static_cast<QWidget*>(PrintBtn), static_cast<QWidget*>(DetailBtn),
                       static_cast<QWidget*>(BitBtnNorm)})
        setHelpContext(w, 19021);
    buttons->addWidget(PrintBtn);
    buttons->addWidget(DetailBtn);
    buttons->addWidget(BitBtnNorm);
    buttons->addWidget(CurveBitBtn);
    buttons->addWidget(ClimDatSpeedBtn);
    buttons->addWidget(HelpSpeedButton1);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    outer->addLayout(buttons);

    connect(CloseBtn, &QPushButton::clicked, this, &TOutputdlg::CloseBtnClick);
    connect(PrintBtn, &QPushButton::clicked, this, &TOutputdlg::PrintBtnClick);
    connect(DetailBtn, &QPushButton::clicked, this, &TOutputdlg::DetailBtnClick);
    connect(BitBtnNorm, &QPushButton::clicked, this, &TOutputdlg::BitBtnNormClick);
    connect(CurveBitBtn, &QPushButton::clicked, this, &TOutputdlg::CurveBitBtnClick);
    connect(ClimDatSpeedBtn, &QToolButton::clicked, this, &TOutputdlg::ClimDatSpeedBtnClick);
    connect(HelpSpeedButton1, &QToolButton::clicked, this, &TOutputdlg::HelpSpeedButton1Click);
    connect(OutputTabs, &QTabWidget::currentChanged, this, &TOutputdlg::OutputTabsChange);
}

std::function<job::DailyRun(const CropRunContext&, CropCurveState&, int)> TOutputdlg::RunDaily;

QRect TOutputdlg::placement(const QRect& screen, const QSize& design)
{
    const int H = screen.height();
    const int centredLeft = std::max(0, (screen.width() - design.width()) / 2);
    QRect r;
    if (H > 765)
        r = QRect(centredLeft, 4, design.width(), 720);
    else if (H >= 589)
        r = QRect(50, 2, design.width(), 525);
    else if (H >= 479)
        r = QRect(2, 2, design.width(), 400);
    else
        // The design size would reach below such a screen and hide the
        // buttons: the window fits itself to the screen as large windows do.
        r = fitToScreen(screen.size(), design);
    return r.translated(screen.topLeft());
}

void TOutputdlg::showEvent(QShowEvent* e)
{
    FormShow();
    QDialog::showEvent(e);
}

void TOutputdlg::FormShow()
{
    // 1. Size to the screen.
    if (const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        setGeometry(placement(s->geometry(), QSize(m_designWidth, kDesignHeight)));

    // 2. The crop computed last, its metric twins included.
    CropRunContext& c = m_ctx;
    const bool mt = m_metric;

    // 3.-6. Units, header, elevation and season values, growth dates.
    NetIrrUnitLabel->setText(mt ? QStringLiteral("cm") : QStringLiteral("inches"));
    CarryUnitLabel->setText(mt ? QStringLiteral("cm") : QStringLiteral("inches"));
    MethodLabel->setText(c.ETMethodText);
    DateLabel->setText(c.JobDate);
    JobLabel->setText(c.JobName);
    PlannerLabel->setText(c.JobPlanner);
    LandUserLabel->setText(c.JobLandUser);
    IDLabel->setText(c.JobID);
    JobClassLabel->setText(c.JobClass);
    LocationLabel->setText(c.JobLocation);
    CountyLabel->setText(c.County);
    StationLabel->setText(c.WeatherStationName);
    StaNoLabel->setText(c.StationNumber);
    LatitudeLabel->setText(GeneralNumberText(c.Latitude));
    LongitudeLabel->setText(GeneralNumberText(c.Longitude));
    ElevationLabel->setText(GeneralNumberText(mt ? c.ElevationM : c.Elevation));
    ElevUnitLabel->setText(mt ? QStringLiteral("meters") : QStringLiteral("feet"));
    CarryBegLabel->setText(GeneralNumberText(mt ? c.CarryBegCm : c.CarryBeg));
    CarryEndLabel->setText(GeneralNumberText(mt ? c.CarryEndCm : c.CarryEnd));
    NetIrrLabel->setText(GeneralNumberText(mt ? c.NetIrrDepthCm : c.NetIrrDepth));
    BeginGrowthLabel->setText(monthDay(c.PlantMonth, c.PlantDay));
    EndGrowthLabel->setText(monthDay(c.HarvestMonth, c.HarvestDay));

    // 7. Crop-kind lines.
    const bool cuttings = c.CurveIndex == 2 && c.HayFlag;
    const bool soil = c.CurveIndex < 3 || c.CurveIndex > 5;
    Cut1Label->setText(c.FirstCuttingText);
    CutLastLabel->setText(c.LastCuttingText);
    for (QWidget* w : CuttingsLines)
        w->setVisible(cuttings);
    for (QWidget* w : SoilLines)
        w->setVisible(soil);

    // 8. The monthly table.
    static const char* const en[8] = {"Month",       " (inches)",    "  (inches)", " (inches)(2)",
                                      "   (inches)", " (inches)(2)", " (inches)",  " (inches)"};
    static const char* const me[8] = {"Month",      "     (cm)",    "     (cm)", "    (cm)(2)",
                                      "      (cm)", "    (cm)(2)", "    (mm)",  "    (mm)"};
    for (int col = 1; col < 8; ++col)
        SGrid->item(0, col)->setText(QString::fromLatin1(mt ? me[col] : en[col]));
    for (int m = 1; m <= 12; ++m) {
        const std::array<double, 8> v = output::summaryMonthValues(c, m, mt);
        const bool season = v[1] > 0;
        for (int col = 1; col <= 6; ++col)
            SGrid->item(m, col)->setText(season ? fixed2(v[col]) : QString());
        SGrid->item(m, 7)->setText(season && v[7] > 0 ? fixed2(v[7]) : QString());
    }

    // 9. Totals.
    const double totals[6] = {0,
                              mt ? c.TotalCropETcm : c.TotalCropET,
                              mt ? c.TotalEffPrecip80cm : c.TotalEffPrecip80,
                              mt ? c.TotalNetIrrReq80cm : c.TotalNetIrrReq80,
                              mt ? c.TotalEffPrecip50cm : c.TotalEffPrecip50,
                              mt ? c.TotalNetIrrReq50cm : c.TotalNetIrrReq50};
    for (int col = 1; col <= 5; ++col)
        TotalsGrid->item(0, col)->setText(fixed2(totals[col]));

    // 10. Note (2) belongs to a season with carry-over.
    const bool carry = c.CarryBeg > 0 || c.CarryEnd > 0;
    for (QLabel* l : Note2Labels)
        l->setEnabled(carry);

    // 11. Note (3) belongs to Blaney-Criddle.
    const bool tr21 = c.ETMethodText == QLatin1String("Blaney Criddle (TR21)");
    Note3Label->setEnabled(tr21);
    Note3Label->setText(tr21 && !output::elevationCorrectionOn()
                            ? QStringLiteral("(3) ET(Evapotranspiration) not adjusted for elevation.")
                            : QString::fromLatin1(kNote3));

    // 12. One line when the method is used outside where it was developed.
    const QString scope = MethodScopeNote(c, m_metric);
    MethodNoteLabel->setText(scope);
    MethodNoteLabel->setVisible(!scope.isEmpty());
}

void TOutputdlg::CloseBtnClick() { accept(); }

void TOutputdlg::PrintBtnClick()
{
    THourglass wait;
    output::previewJobCropReport(this, m_ctx, m_curves);
}

void TOutputdlg::DetailBtnClick()
{
    THourglass wait;
    output::previewCropDetailReport(this, m_ctx, m_curves);
}

void TOutputdlg::BitBtnNormClick()
{
    THourglass wait;
    output::showBarChart(this, m_ctx, m_curves);
}

void TOutputdlg::CurveBitBtnClick()
{
    THourglass wait;
    output::showCurvesChart(this, m_ctx, m_curves);
}

void TOutputdlg::ClimDatSpeedBtnClick()
{
    THourglass wait;
    output::previewClimDetailReport(this, m_ctx, m_curves);
}

void TOutputdlg::HelpSpeedButton1Click() { showHelpContext(21); }

void TOutputdlg::WidenForDailyPage()
{
    // The daily page's tables stand side by side: the dialog grows to show
    // them whole, as far as the screen allows, and never shrinks.
    const QMargins m = layout()->contentsMargins();
    const int need = DailyPage->neededWidth() + m.left() + m.right();
    if (width() >= need)
        return;
    QRect g = geometry();
    const QScreen* s = screen();
    const QRect avail = s ? s->availableGeometry() : QRect(g.topLeft(), QSize(need, g.height()));
    const int frame = frameGeometry().width() - g.width();
    g.setWidth(std::min(need, avail.width() - frame));
    if (g.right() + frame > avail.right())
        g.moveRight(avail.right() - frame);
    if (g.left() < avail.left())
        g.moveLeft(avail.left());
    setGeometry(g);
}

void TOutputdlg::OutputTabsChange(int index)
{
    // The daily balance runs over every year of the record: only when asked for.
    if (OutputTabs->widget(index) == DailyPage && !DailyPage->isLoaded()) {
        DailyPage->setMetric(m_metric);
        DailyPage->load(0);
        WidenForDailyPage();
    }
}

} // namespace quen
