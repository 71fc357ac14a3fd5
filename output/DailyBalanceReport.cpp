#include "DailyBalanceReport.h"

#include <QChart>

#include "ChartReportHeader.h"
#include "CropReports.h"
#include "CropRunContext.h"
#include "DailyBalanceChart.h"
#include "DailyBalanceText.h"
#include "Report.h"

namespace quen {

using namespace report;

namespace {

const FontSpec kText(9);
const FontSpec kBold(9, true);
const FontSpec kSmall(8);
const FontSpec kHead(8, true);
constexpr double kRow = 12;
constexpr int kCells = 12;

// The report's rows: section 1 the seasons, 2 the irrigations of the detail
// year (one empty row when there is none), 3 its days.
enum Section { kSeasons = 1, kSchedule = 2, kDays = 3 };

struct Column {
    double x, w;
};

QList<Column> columns(std::initializer_list<double> widths)
{
    QList<Column> c;
    double x = 0;
    for (double w : widths) {
        c.append({x, w});
        x += w;
    }
    return c;
}

const QList<Column>& designCols()
{
    static const QList<Column> c = columns({176, 58, 58, 58, 95, 95});
    return c;
}
const QList<Column>& seasonCols()
{
    static const QList<Column> c = columns({40, 62, 62, 58, 72, 58, 72, 116});
    return c;
}
const QList<Column>& scheduleCols()
{
    static const QList<Column> c = columns({90, 90});
    return c;
}
const QList<Column>& dayCols()
{
    static const QList<Column> c = columns({61, 44, 44, 44, 44, 44, 44, 44, 44, 44, 39, 44});
    return c;
}

// Column headings; a heading's unit goes on a second line.
double addHeadings(Band& b, const QList<Column>& cols, double y, const QStringList& texts, bool firstLeft = true)
{
    for (int i = 0; i < cols.size() && i < texts.size(); ++i) {
        QString t = texts[i];
        const int paren = t.indexOf(QStringLiteral(" ("));
        if (paren > 0)
            t = t.left(paren) + QLatin1Char('\n') + t.mid(paren + 1);
        const Qt::Alignment a = i == 0 && firstLeft ? Qt::AlignLeft : Qt::AlignRight;
        b.addLabel(QRectF(cols[i].x + 1, y, cols[i].w - 5, 0), t, kHead, a);
    }
    b.addHLine(0, y + 22, cols.last().x + cols.last().w, 0.5);
    return y + 25;
}

} // namespace

struct TFrmQRDailyBalance::Parts {
    MemoryDataSet rows{{QStringLiteral("Section"), QStringLiteral("Index")}};
    Label* cells[kCells] = {};
    Label* error = nullptr;
    QList<CsvTable> tables;   // design, seasons, schedule, days
};

TFrmQRDailyBalance::TFrmQRDailyBalance(const CropRunContext& ctx, const job::DailyRun& run, bool metric)
    : m_run(run), m_metric(metric), m_report(std::make_unique<Report>(QStringLiteral("Daily Soil-Water Balance"))),
      m_p(std::make_unique<Parts>())
{
    Report& rep = *m_report;
    Parts& p = *m_p;
    const bool ok = run.ok();
    if (ok)
        p.tables = output::DailyCsvTables(run, metric);

    // Title and the job and crop header, page 1.
    Band& t = rep.titleBand();
    t.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Quen"), FontSpec(20, true), Qt::AlignHCenter)
        ->setColor(Qt::red);
    t.addLabel(QRectF(0, 24, kPrintWidth, 0), QStringLiteral("Daily Soil-Water Balance"), FontSpec(13, true),
               Qt::AlignHCenter)
        ->setColor(Qt::blue);
    t.addHLine(0, 44, kPrintWidth, 1.0);
    {
        // The header is laid out from the band's top; shift it under the title.
        Band& h = t;
        const size_t before = h.elements().size();
        ChartHeaderOptions opt;
        opt.metric = metric;
        opt.carryMidUnit = metric ? QStringLiteral("cm       End:") : QStringLiteral("inches   End:");
        const double used = AddChartReportHeader(h, ctx, opt);
        for (size_t i = before; i < h.elements().size(); ++i) {
            Element* e = h.elements()[i].get();
            e->setRect(e->rect().translated(0, 50));
        }
        t.addHLine(0, 50 + used, kPrintWidth, 0.5);
        t.setHeight(50 + used + 6);
    }

    Band& f = rep.pageFooter();
    f.setHeight(18);
    f.addSystemValue(QRectF(0, 4, 200, 0), SystemValue::Date, QStringLiteral("Date:  "), kText);
    f.addSystemValue(QRectF(340, 4, 200, 0), SystemValue::PageNumber, QStringLiteral("Page:  "), kText,
                     Qt::AlignRight);

    Band& d = rep.detail();
    d.setHeight(kRow);
    for (Label*& c : p.cells)
        c = d.addLabel(QRectF(0, 0, 10, 0), QString(), kText, Qt::AlignRight);
    p.error = d.addLabel(QRectF(0, 4, kPrintWidth, 0), run.error.isEmpty() ? run.result.error : run.error, kBold);
    p.error->setWordWrap(true);

    if (!ok) {
        for (Label* c : p.cells)
            c->hide();
        d.setHeight(30);
        return;
    }
    p.error->hide();

    // The rows of the three sections.
    for (int i = 0; i < int(run.result.seasons.size()); ++i)
        p.rows.addRow({int(kSeasons), i});
    const int scheduleRows = std::max<int>(1, int(p.tables[2].rows.size()));
    for (int i = 0; i < scheduleRows; ++i)
        p.rows.addRow({int(kSchedule), i});
    for (int i = 0; i < int(p.tables[3].rows.size()); ++i)
        p.rows.addRow({int(kDays), i});
    rep.setDataSet(&p.rows);

    auto section = [&rep] { return rep.value(QStringLiteral("Section")).toInt(); };
    auto onlyIn = [section](int s) { return [section, s](Band&, bool& print) { print = section() == s; }; };
    auto key = [](const DataSet& ds) { return ds.value(QStringLiteral("Section")); };
    Group& g1 = rep.addGroup(key);
    Group& g2 = rep.addGroup(key);
    Group& g3 = rep.addGroup(key);

    // Section 1 header: the design values beside the monthly method, the
    // seasons' headings.
    {
        Band& h = g1.header();
        h.setBeforePrint(onlyIn(kSeasons));
        double y = 4;
        h.addLabel(QRectF(0, y, kPrintWidth, 0), QStringLiteral("Design values over the years"), FontSpec(10, true));
        y += 16;
        const CsvTable& dt = p.tables[0];
        QStringList heads = dt.header;
        heads[4] = QStringLiteral("Monthly method\nnormal year (50 %)");
        heads[5] = QStringLiteral("Monthly method\ndry year (80 %)");
        const QList<Column>& cols = designCols();
        for (int i = 1; i < cols.size(); ++i)
            h.addLabel(QRectF(cols[i].x, y, cols[i].w - 5, 0), heads[i], kHead, Qt::AlignRight);
        h.addHLine(0, y + 22, kPrintWidth, 0.5);
        y += 25;
        for (const QStringList& r : dt.rows) {
            for (int i = 0; i < cols.size(); ++i)
                h.addLabel(QRectF(cols[i].x + (i == 0 ? 1 : 0), y, cols[i].w - 5, 0), r.value(i), i == 0 ? kText : kBold,
                           i == 0 ? Qt::AlignLeft : Qt::AlignRight);
            y += 13;
        }
        h.addHLine(0, y + 1, kPrintWidth, 0.5);
        y += 4;
        h.addLabel(QRectF(0, y, kPrintWidth, 0), output::DailyYearsUsedText(run), kSmall)->setWordWrap(true);
        y += 2 * 10 + 10;
        h.addLabel(QRectF(0, y, kPrintWidth, 0), QStringLiteral("Seasons of the record"), FontSpec(10, true));
        y += 16;
        y = addHeadings(h, seasonCols(), y, p.tables[1].header);
        h.setHeight(y);
    }
    // Section 1 footer: the weather record and the notes on the crop inputs.
    {
        Band& ft = g1.footer();
        ft.setBeforePrint(onlyIn(kSeasons));
        double y = 2;
        ft.addHLine(0, y, kPrintWidth, 0.5);
        y += 8;
        ft.addLabel(QRectF(0, y, kPrintWidth, 0), QStringLiteral("Weather record"), FontSpec(10, true));
        y += 15;
        ft.addLabel(QRectF(0, y, kPrintWidth, 0), output::DailyWeatherLines(run).join(QLatin1Char('\n')), kSmall)
            ->setWordWrap(true);
        y += 12;
        if (!run.notes.isEmpty()) {
            ft.addLabel(QRectF(0, y, kPrintWidth, 0), QStringLiteral("Crop inputs"), FontSpec(10, true));
            y += 15;
            ft.addLabel(QRectF(0, y, kPrintWidth, 0), run.notes.join(QLatin1Char('\n')), kSmall)->setWordWrap(true);
            y += 12;
        }
        ft.setHeight(y + 4);
    }
    // Section 2 header: the schedule's title and headings.
    {
        Band& h = g2.header();
        h.setBeforePrint(onlyIn(kSchedule));
        h.addLabel(QRectF(0, 10, kPrintWidth, 0), output::DailyScheduleTitle(run, metric), FontSpec(10, true));
        const double y = addHeadings(h, scheduleCols(), 28, p.tables[2].header);
        h.setHeight(y);
    }
    // Section 2 footer: the chart of the detail year.
    if (const SeasonBalance* s = output::DailyDetailSeason(run)) {
        Band& ft = g2.footer();
        ft.setBeforePrint(onlyIn(kSchedule));
        ChartElement* ch = ft.addChart(QRectF(0, 12, kPrintWidth, 340));
        output::DailyChartStyle st;
        st.penWidth = 1.0;
        st.fontScale = 0.8;
        output::FillDailyBalanceChart(ch->chart(), *s, run.inputs, metric, st);
        ft.setHeight(356);
    }
    // Section 3 header, on every page of the daily table.
    {
        g3.setRepeatHeader(true);
        Band& h = g3.header();
        h.setBeforePrint(onlyIn(kDays));
        h.addLabel(QRectF(0, 8, kPrintWidth, 0), p.tables[3].name, FontSpec(10, true));
        const double y = addHeadings(h, dayCols(), 24, p.tables[3].header);
        h.setHeight(y);
    }

    d.setBeforePrint([this, section](Band& band, bool&) {
        Parts& p = *m_p;
        const int s = section();
        const int i = m_report->value(QStringLiteral("Index")).toInt();
        const QList<Column>& cols = s == kSeasons ? seasonCols() : s == kSchedule ? scheduleCols() : dayCols();
        const CsvTable& t = p.tables[s == kSeasons ? 1 : s == kSchedule ? 2 : 3];
        const QStringList row = i < t.rows.size() ? t.rows[i] : QStringList();
        const FontSpec font = s == kDays ? kSmall : kText;
        band.setHeight(s == kDays ? 10.5 : kRow);
        for (int c = 0; c < kCells; ++c) {
            Label* l = p.cells[c];
            l->setVisible(c < cols.size());
            if (c >= cols.size())
                continue;
            const bool last = s == kSeasons && c == cols.size() - 1;
            l->setRect(QRectF(cols[c].x + 1, 0, cols[c].w - 5, 0));
            l->setFont(font);
            l->setAlignment(c == 0 || last ? Qt::AlignLeft : Qt::AlignRight);
            l->setText(row.value(c));
        }
        if (s == kSchedule && row.isEmpty()) {
            p.cells[0]->setRect(QRectF(1, 0, kPrintWidth, 0));
            p.cells[0]->setText(QStringLiteral("No irrigation in this season."));
        }
    });
}

TFrmQRDailyBalance::~TFrmQRDailyBalance() = default;

PreparedReport TFrmQRDailyBalance::prepare() { return m_report->prepare(); }

QList<CsvTable> TFrmQRDailyBalance::csvTables() const { return m_p->tables; }

namespace output {

PreparedReport prepareDailyBalanceReport(const CropRunContext& ctx, const job::DailyRun& run, bool metric,
                                         const QDateTime& printTime)
{
    std::unique_ptr<TFrmQRDailyBalance> form;
    if (metric)
        form = std::make_unique<TFrmQRDailyBalanceM>(ctx, run);
    else
        form = std::make_unique<TFrmQRDailyBalance>(ctx, run);
    if (printTime.isValid())
        form->report().setPrintTime(printTime);
    return form->prepare();
}

void previewDailyBalanceReport(QWidget* parent, const CropRunContext& ctx, const job::DailyRun& run, bool metric)
{
    std::unique_ptr<TFrmQRDailyBalance> form;
    if (metric)
        form = std::make_unique<TFrmQRDailyBalanceM>(ctx, run);
    else
        form = std::make_unique<TFrmQRDailyBalance>(ctx, run);
    const PreparedReport pages = form->prepare();
    showPreparedReport(parent, pages, form->csvTables());
}

} // namespace output
} // namespace quen
