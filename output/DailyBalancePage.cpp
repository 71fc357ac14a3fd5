#include "DailyBalancePage.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>

#include "CsvExport.h"
#include "DailyBalanceChart.h"
#include "DailyBalanceReport.h"
#include "DailyBalanceText.h"
#include "FileDialog.h"
#include "Hourglass.h"
#include "MessageService.h"

namespace quen {

namespace {

QTableWidget* table(QWidget* parent, const QString& name)
{
    auto* g = new QTableWidget(parent);
    g->setObjectName(name);
    g->verticalHeader()->hide();
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::NoSelection);
    g->setFocusPolicy(Qt::NoFocus);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->verticalHeader()->setDefaultSectionSize(18);
    g->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    return g;
}

// The table's texts into the grid, which takes the height of all its rows;
// a heading's unit goes on a second line.
void fill(QTableWidget* g, const report::CsvTable& t, int firstColumnWidth = 0)
{
    g->clear();
    g->setColumnCount(int(t.header.size()));
    g->setRowCount(int(t.rows.size()));
    QStringList heads;
    for (QString h : t.header) {
        const int paren = h.indexOf(QStringLiteral(" ("));
        if (paren > 0)
            h = h.left(paren) + QLatin1Char('\n') + h.mid(paren + 1);
        heads << h;
    }
    g->setHorizontalHeaderLabels(heads);
    for (int r = 0; r < t.rows.size(); ++r)
        for (int c = 0; c < t.header.size(); ++c) {
            auto* it = new QTableWidgetItem(t.rows[r].value(c));
            it->setTextAlignment(c == 0 ? (Qt::AlignLeft | Qt::AlignVCenter) : (Qt::AlignRight | Qt::AlignVCenter));
            g->setItem(r, c, it);
        }
    g->resizeColumnsToContents();
    if (firstColumnWidth > 0)
        g->setColumnWidth(0, std::max(g->columnWidth(0), firstColumnWidth));
    int w = 2 * g->frameWidth();
    for (int c = 0; c < g->columnCount(); ++c)
        w += g->columnWidth(c);
    const int h = g->horizontalHeader()->sizeHint().height() + 18 * g->rowCount() + 2 * g->frameWidth();
    g->setFixedSize(w, h);
}

QLabel* boldLabel(QWidget* parent, const QString& name)
{
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

} // namespace

int TDailyBalancePage::neededWidth() const
{
    // The body's own width, the scroll box's frame and its vertical bar (the
    // page is taller than any dialog), and the page's margins.
    const QMargins m = layout() ? layout()->contentsMargins() : QMargins();
    m_body->layout()->activate();
    return m_body->sizeHint().width() + 2 * m_scroll->frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll) + m.left() + m.right();
}

QString TDailyBalancePage::noProviderText()
{
    return QStringLiteral("No daily balance: the program has no daily soil-water balance for this crop.");
}

TDailyBalancePage::TDailyBalancePage(const CropRunContext& ctx, QWidget* parent) : QWidget(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("DailyBalancePage"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Detail year:"), this));
    DailyYearCombo = new QComboBox(this);
    DailyYearCombo->setObjectName(QStringLiteral("DailyYearCombo"));
    DailyYearCombo->setMinimumContentsLength(6);
    top->addWidget(DailyYearCombo);
    top->addStretch(1);
    DailyReportBtn = new QPushButton(QStringLiteral("Daily Report"), this);
    DailyReportBtn->setObjectName(QStringLiteral("DailyReportBtn"));
    DailyReportBtn->setToolTip(QStringLiteral("Report of the daily soil-water balance"));
    DailyCsvBtn = new QPushButton(QStringLiteral("Export CSV..."), this);
    DailyCsvBtn->setObjectName(QStringLiteral("DailyCsvBtn"));
    DailyCsvBtn->setToolTip(QStringLiteral("Tables of the daily soil-water balance as CSV"));
    top->addWidget(DailyReportBtn);
    top->addWidget(DailyCsvBtn);
    outer->addLayout(top);

    DailyErrorLabel = new QLabel(this);
    DailyErrorLabel->setObjectName(QStringLiteral("DailyErrorLabel"));
    DailyErrorLabel->setWordWrap(true);
    DailyErrorLabel->setStyleSheet(QStringLiteral("color: #b00000;"));
    outer->addWidget(DailyErrorLabel);

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("DailyScrollBox"));
    scroll->setWidgetResizable(true);
    outer->addWidget(scroll, 1);
    m_scroll = scroll;
    m_body = new QWidget;
    scroll->setWidget(m_body);
    auto* v = new QVBoxLayout(m_body);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);

    DesignTitleLabel = boldLabel(m_body, QStringLiteral("DesignTitleLabel"));
    DesignTitleLabel->setText(QStringLiteral("Design values over the years"));
    v->addWidget(DesignTitleLabel);
    DesignGrid = table(m_body, QStringLiteral("DesignGrid"));
    v->addWidget(DesignGrid);
    YearsUsedLabel = new QLabel(m_body);
    YearsUsedLabel->setObjectName(QStringLiteral("YearsUsedLabel"));
    YearsUsedLabel->setWordWrap(true);
    v->addWidget(YearsUsedLabel);

    DailyChartView = new QChartView(new QChart, m_body);
    DailyChartView->setObjectName(QStringLiteral("DailyChartView"));
    DailyChartView->setRenderHint(QPainter::Antialiasing);
    DailyChartView->setMinimumHeight(340);
    v->addWidget(DailyChartView);

    auto* tables = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    auto* seasonsTitle = boldLabel(m_body, QStringLiteral("SeasonsTitleLabel"));
    seasonsTitle->setText(QStringLiteral("Seasons of the record"));
    left->addWidget(seasonsTitle);
    SeasonsGrid = table(m_body, QStringLiteral("SeasonsGrid"));
    left->addWidget(SeasonsGrid);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    ScheduleTitleLabel = boldLabel(m_body, QStringLiteral("ScheduleTitleLabel"));
    ScheduleTitleLabel->setWordWrap(true);
    right->addWidget(ScheduleTitleLabel);
    ScheduleGrid = table(m_body, QStringLiteral("ScheduleGrid"));
    right->addWidget(ScheduleGrid);
    right->addStretch(1);
    tables->addLayout(left);
    tables->addSpacing(12);
    tables->addLayout(right, 1);
    v->addLayout(tables);

    WeatherLabel = new QLabel(m_body);
    WeatherLabel->setObjectName(QStringLiteral("WeatherLabel"));
    WeatherLabel->setWordWrap(true);
    v->addWidget(WeatherLabel);
    NotesLabel = new QLabel(m_body);
    NotesLabel->setObjectName(QStringLiteral("NotesLabel"));
    NotesLabel->setWordWrap(true);
    v->addWidget(NotesLabel);
    v->addStretch(1);

    connect(DailyYearCombo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &TDailyBalancePage::DailyYearComboChange);
    connect(DailyReportBtn, &QPushButton::clicked, this, &TDailyBalancePage::DailyReportBtnClick);
    connect(DailyCsvBtn, &QPushButton::clicked, this, &TDailyBalancePage::DailyCsvBtnClick);
    showRun();
}

void TDailyBalancePage::load(int year)
{
    THourglass wait;
    m_loaded = true;
    if (!m_provider) {
        m_run = job::DailyRun();
        m_run.error = noProviderText();
    } else {
        m_run = m_provider(year);
    }
    showRun();
}

void TDailyBalancePage::showRun()
{
    const bool ok = m_loaded && m_run.ok();
    QString err;
    if (m_loaded && !ok)
        err = m_run.error.isEmpty() ? m_run.result.error : m_run.error;
    DailyErrorLabel->setText(err);
    DailyErrorLabel->setVisible(!err.isEmpty());
    m_body->setVisible(ok);
    DailyReportBtn->setEnabled(ok);
    DailyCsvBtn->setEnabled(ok);
    DailyYearCombo->setEnabled(ok);

    // The year chooser: every season of the record, the detail year chosen.
    m_filling = true;
    DailyYearCombo->clear();
    if (ok) {
        for (const SeasonBalance& s : m_run.result.seasons)
            DailyYearCombo->addItem(s.complete ? QString::number(s.year)
                                               : QStringLiteral("%1 (incomplete)").arg(s.year),
                                    s.year);
        const SeasonBalance* d = output::DailyDetailSeason(m_run);
        DailyYearCombo->setCurrentIndex(d ? DailyYearCombo->findData(d->year) : -1);
    }
    m_filling = false;

    QChart* chart = DailyChartView->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes()) {
        chart->removeAxis(a);
        delete a;
    }
    chart->setTitle(QString());
    if (!ok) {
        for (QTableWidget* g : {DesignGrid, SeasonsGrid, ScheduleGrid}) {
            g->clear();
            g->setRowCount(0);
            g->setColumnCount(0);
        }
        for (QLabel* l : {YearsUsedLabel, ScheduleTitleLabel, WeatherLabel, NotesLabel})
            l->clear();
        return;
    }
    const bool mt = m_metric;
    fill(DesignGrid, output::DailyDesignTable(m_run, mt), 180);
    YearsUsedLabel->setText(output::DailyYearsUsedText(m_run));
    fill(SeasonsGrid, output::DailySeasonsTable(m_run, mt));
    const QString title = output::DailyScheduleTitle(m_run, mt);
    ScheduleTitleLabel->setText(title.isEmpty() ? QStringLiteral("No season with daily rows.") : title);
    fill(ScheduleGrid, output::DailyScheduleTable(m_run, mt), 90);
    if (const SeasonBalance* s = output::DailyDetailSeason(m_run))
        output::FillDailyBalanceChart(chart, *s, m_run.inputs, mt);
    WeatherLabel->setText(output::DailyWeatherLines(m_run).join(QLatin1Char('\n')));
    NotesLabel->setText(m_run.notes.join(QLatin1Char('\n')));
}

void TDailyBalancePage::DailyYearComboChange(int index)
{
    if (m_filling || index < 0)
        return;
    const int year = DailyYearCombo->itemData(index).toInt();
    if (year != m_run.detailYear)
        load(year);
}

void TDailyBalancePage::DailyReportBtnClick()
{
    if (!m_run.ok())
        return;
    THourglass wait;
    output::previewDailyBalanceReport(this, m_ctx, m_run, m_metric);
}

void TDailyBalancePage::DailyCsvBtnClick()
{
    if (!m_run.ok())
        return;
    QString path = TFileDialog::getSaveFileName(this, QStringLiteral("Export to CSV"), QDir::currentPath(),
                                                QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString err;
    if (!report::writeCsv(output::DailyCsvTables(m_run, m_metric), path, &err))
        showError(err);
}

} // namespace quen
