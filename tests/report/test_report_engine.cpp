// Layout of banded reports: pagination, hidden elements, growing text,
// groups, reports without rows, system values, float patterns.
#include <gtest/gtest.h>

#include <QDateTime>

#include "Report.h"
#include "ReportTestUtil.h"

using namespace quen::report;
using namespace testutil;

namespace {

MemoryDataSet numberedRows(int n)
{
    MemoryDataSet ds({QStringLiteral("Name"), QStringLiteral("County"), QStringLiteral("Value")});
    for (int i = 1; i <= n; ++i)
        ds.addRow({QStringLiteral("Row %1").arg(i), QStringLiteral("C%1").arg((i - 1) / 4), i * 1.5});
    return ds;
}

void addFrame(Report& rep)
{
    rep.pageHeader().setHeight(30);
    rep.pageHeader().addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("HEADER"), FontSpec(12, true),
                              Qt::AlignHCenter);
    rep.pageFooter().setHeight(20);
    rep.pageFooter().addSystemValue(QRectF(0, 4, 100, 0), SystemValue::PageNumber, QStringLiteral("Page: "));
    rep.pageFooter().addSystemValue(QRectF(300, 4, 200, 0), SystemValue::PageOfPages, QStringLiteral("Sheet "));
}

} // namespace

TEST(ReportLayout, ManyRecordsPaginateWithHeaderFooterAndPageNumbers)
{
    MemoryDataSet ds = numberedRows(200);
    Report rep(QStringLiteral("Many"));
    rep.setDataSet(&ds);
    addFrame(rep);
    rep.titleBand().setHeight(40);
    rep.titleBand().addLabel(0, 0, QStringLiteral("TITLE"));
    rep.columnHeader().setHeight(14);
    rep.columnHeader().addLabel(0, 0, QStringLiteral("COLUMNS"));
    Band& d = rep.detail();
    d.setHeight(30);
    d.addField(0, 0, QStringLiteral("Name"));
    d.addField(QRectF(0, 14, 0, 0), QStringLiteral("Name"))->setText(QStringLiteral("second line of "));
    rep.summary().setHeight(20);
    rep.summary().addLabel(0, 0, QStringLiteral("SUMMARY"));

    const PreparedReport pr = rep.prepare();
    // usable height per page: 720 - 30 header - 14 columns - 20 footer = 656 -> 21 rows of 30
    ASSERT_GT(pr.pageCount(), 5);
    const int n = pr.pageCount();
    QStringList rowsSeen;
    for (int p = 0; p < n; ++p) {
        const QStringList t = pageTexts(pr, p);
        EXPECT_EQ(t.count(QStringLiteral("HEADER")), 1) << "page " << p;
        EXPECT_EQ(t.count(QStringLiteral("COLUMNS")), 1) << "page " << p;
        EXPECT_EQ(t.count(QStringLiteral("TITLE")), p == 0 ? 1 : 0);
        EXPECT_EQ(t.count(QStringLiteral("Page: %1").arg(p + 1)), 1);
        EXPECT_EQ(t.count(QStringLiteral("Sheet %1 of %2").arg(p + 1).arg(n)), 1);
        EXPECT_EQ(t.count(QStringLiteral("SUMMARY")), p == n - 1 ? 1 : 0);
        // a band is never split: both lines of a row stand on the same page
        for (const QString& s : t)
            if (s.startsWith(QLatin1String("Row "))) {
                rowsSeen << s;
                EXPECT_TRUE(t.contains(QStringLiteral("second line of ") + s)) << s.toStdString();
            }
        // nothing is drawn into the bottom margin, and the body stays above the footer
        for (const DrawOp& op : pr.pages[p].ops) {
            EXPECT_LE(op.rect.bottom(), kPaperHeight - kMargin + 0.01);
            if (op.text.startsWith(QLatin1String("Row ")) || op.text.startsWith(QLatin1String("second")))
                EXPECT_LE(op.rect.bottom(), kPaperHeight - kMargin - 20 + 0.01);
        }
    }
    ASSERT_EQ(rowsSeen.size(), 200);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(rowsSeen[i], QStringLiteral("Row %1").arg(i + 1));
    // footer stands at the foot of the page
    const auto foot = find(pr, 1, QStringLiteral("Page: 2"));
    ASSERT_EQ(foot.size(), 1u);
    EXPECT_NEAR(foot[0].rect.top(), kPaperHeight - kMargin - 20 + 4, 0.01);
}

TEST(ReportLayout, HiddenElementsKeepTheBandHeight)
{
    MemoryDataSet ds = numberedRows(6);
    Report rep;
    rep.setDataSet(&ds);
    Band& d = rep.detail();
    d.setHeight(50);
    d.addField(0, 0, QStringLiteral("Name"));
    Label* optional = d.addLabel(0, 20, QStringLiteral("optional line"));
    LineElement* rule = d.addHLine(0, 40, 200);
    int row = 0;
    d.setBeforePrint([&](Band&, bool&) {
        ++row;
        optional->setVisible(row % 2 == 0);
        rule->setVisible(row % 2 == 0);
    });
    const PreparedReport pr = rep.prepare();
    ASSERT_EQ(pr.pageCount(), 1);
    double prevTop = -1;
    for (int i = 1; i <= 6; ++i) {
        const auto ops = find(pr, 0, QStringLiteral("Row %1").arg(i));
        ASSERT_EQ(ops.size(), 1u);
        if (prevTop >= 0)
            EXPECT_NEAR(ops[0].rect.top() - prevTop, 50.0, 1e-9);
        prevTop = ops[0].rect.top();
    }
    EXPECT_EQ(allTexts(pr).count(QStringLiteral("optional line")), 3);
    int lines = 0;
    for (const DrawOp& op : pr.pages[0].ops)
        lines += op.kind == DrawOp::Line;
    EXPECT_EQ(lines, 3);
}

TEST(ReportLayout, WrappedTextGrowsTheBandAndPushesLowerElementsDown)
{
    MemoryDataSet ds({QStringLiteral("Name")});
    ds.addRow({QStringLiteral("Short")});
    ds.addRow({QStringLiteral("A very long job name that cannot possibly fit into the narrow column given to it here")});
    ds.addRow({QStringLiteral("Third")});
    Report rep;
    rep.setDataSet(&ds);
    Band& d = rep.detail();
    d.setHeight(40);
    d.addField(QRectF(0, 0, 120, 0), QStringLiteral("Name"))->setWordWrap(true);
    d.addLabel(200, 0, QStringLiteral("beside"));          // same line: does not move
    d.addLabel(0, 20, QStringLiteral("below"));            // under the name: moves down
    const PreparedReport pr = rep.prepare();
    const auto below = find(pr, 0, QStringLiteral("below"));
    const auto beside = find(pr, 0, QStringLiteral("beside"));
    ASSERT_EQ(below.size(), 3u);
    ASSERT_EQ(beside.size(), 3u);
    // row 1: plain band of 40
    EXPECT_NEAR(below[0].rect.top() - beside[0].rect.top(), 20, 0.01);
    // row 2: the name takes several lines; "below" starts under its last line
    double nameBottom = 0;
    int nameLines = 0;
    for (const DrawOp& op : pr.pages[0].ops)
        if (op.kind == DrawOp::Text && op.rect.top() >= beside[1].rect.top() - 0.01
            && op.rect.top() < below[1].rect.top() && op.rect.left() == kMargin) {
            ++nameLines;
            nameBottom = std::max(nameBottom, op.rect.bottom());
            EXPECT_LE(op.rect.width(), 120.0);
        }
    EXPECT_GE(nameLines, 4);
    EXPECT_GE(below[1].rect.top() + 0.01, nameBottom);
    EXPECT_NEAR(below[1].rect.top() - beside[1].rect.top(), 20 + (nameBottom - beside[1].rect.top()) - below[0].rect.height(), 0.5);
    // row 3 starts after the grown band, not at 2 x 40
    EXPECT_GT(beside[2].rect.top() - beside[1].rect.top(), 40.0 + 1.0);
    EXPECT_NEAR(beside[2].rect.top() - beside[1].rect.top(), below[1].rect.top() - beside[1].rect.top() + 20, 0.01);
}

TEST(ReportLayout, GroupBandsBreakOnChangeOfTheGroupField)
{
    MemoryDataSet ds({QStringLiteral("County"), QStringLiteral("Station")});
    const QList<QPair<QString, QString>> rows = {
        {"Adams, CO", "Brighton"}, {"Adams, CO", "Byers"}, {"Boulder, CO", "Boulder"},
        {"Larimer, CO", "Fort Collins"}, {"Larimer, CO", "Loveland"}, {"Larimer, CO", "Estes Park"}};
    for (const auto& r : rows)
        ds.addRow({r.first, r.second});
    Report rep;
    rep.setDataSet(&ds);
    Group& g = rep.addGroup(QStringLiteral("County"));
    g.header().setHeight(14);
    Label* head = g.header().addLabel(0, 0, QString());
    g.header().setBeforePrint([&](Band&, bool&) { head->setText(QStringLiteral("County: ") + g.value().toString()); });
    g.footer().setHeight(14);
    Label* foot = g.footer().addLabel(0, 0, QString());
    DataText* lastStation = g.footer().addField(200, 0, QStringLiteral("Station"));
    lastStation->setText(QStringLiteral("last "));
    g.footer().setBeforePrint([&](Band&, bool&) {
        foot->setText(QStringLiteral("%1 stations in %2").arg(g.recordCount()).arg(g.value().toString()));
    });
    rep.detail().setHeight(12);
    rep.detail().addField(20, 0, QStringLiteral("Station"));
    rep.summary().setHeight(12);
    Label* total = rep.summary().addLabel(0, 0, QString());
    rep.summary().setBeforePrint([&](Band&, bool&) {
        total->setText(QStringLiteral("TOTAL NUMBER OF STATIONS: ") + QString::number(rep.recordNumber()));
    });

    const PreparedReport pr = rep.prepare();
    const QStringList expected = {
        "County: Adams, CO", "Brighton", "Byers", "2 stations in Adams, CO", "last Byers",
        "County: Boulder, CO", "Boulder", "1 stations in Boulder, CO", "last Boulder",
        "County: Larimer, CO", "Fort Collins", "Loveland", "Estes Park", "3 stations in Larimer, CO", "last Estes Park",
        "TOTAL NUMBER OF STATIONS: 6"};
    EXPECT_EQ(allTexts(pr), expected);
}

TEST(ReportLayout, ReportWithoutDataSetPrintsDetailOnceAndEmptyDataSetPrintsNone)
{
    {
        Report rep;
        addFrame(rep);
        rep.detail().setHeight(20);
        rep.detail().addLabel(0, 0, QStringLiteral("BODY"));
        const PreparedReport pr = rep.prepare();
        ASSERT_EQ(pr.pageCount(), 1);
        EXPECT_EQ(allTexts(pr).count(QStringLiteral("BODY")), 1);
        EXPECT_EQ(allTexts(pr).count(QStringLiteral("Page: 1")), 1);
    }
    {
        MemoryDataSet empty({QStringLiteral("Name")});
        Report rep;
        rep.setDataSet(&empty);
        addFrame(rep);
        rep.detail().setHeight(20);
        rep.detail().addLabel(0, 0, QStringLiteral("BODY"));
        const PreparedReport pr = rep.prepare();
        ASSERT_EQ(pr.pageCount(), 1);
        EXPECT_EQ(pageTexts(pr, 0), (QStringList{"HEADER", "Page: 1", "Sheet 1 of 1"}));
    }
}

TEST(ReportLayout, BeforePrintCanSkipABandAndSeesPageAndRecord)
{
    MemoryDataSet ds = numberedRows(10);
    Report rep;
    rep.setDataSet(&ds);
    rep.detail().setHeight(12);
    DataText* name = rep.detail().addField(0, 0, QStringLiteral("Name"));
    QList<int> records;
    rep.detail().setBeforePrint([&](Band&, bool& printBand) {
        records << rep.recordNumber();
        printBand = rep.value(QStringLiteral("Value")).toDouble() > 7.0;
        name->setColor(Qt::red);
        EXPECT_EQ(rep.pageNumber(), 1);
    });
    const PreparedReport pr = rep.prepare();
    EXPECT_EQ(records, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(allTexts(pr), (QStringList{"Row 5", "Row 6", "Row 7", "Row 8", "Row 9", "Row 10"}));
    // skipped bands take no room
    EXPECT_NEAR(find(pr, 0, "Row 6")[0].rect.top() - find(pr, 0, "Row 5")[0].rect.top(), 12.0, 1e-9);
    EXPECT_EQ(find(pr, 0, "Row 5")[0].color, QColor(Qt::red).rgba());
}

TEST(ReportLayout, TextOperationsCarryFontAlignmentAndDate)
{
    Report rep;
    rep.setPrintTime(QDateTime(QDate(2026, 3, 7), QTime(14, 5)));
    Band& d = rep.detail();
    d.setHeight(60);
    d.addLabel(QRectF(0, 0, kPrintWidth, 0), QStringLiteral("Centred"), FontSpec(QStringLiteral("Times New Roman"), 14, true, true, true), Qt::AlignHCenter);
    d.addSystemValue(QRectF(0, 20, 200, 0), SystemValue::Date, QStringLiteral("Date: "));
    d.addFrame(QRectF(10, 40, 100, 15), 1.0, QColor(200, 200, 255));
    const PreparedReport pr = rep.prepare();
    const auto c = find(pr, 0, "Centred");
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].align & Qt::AlignHorizontal_Mask, quint32(Qt::AlignHCenter));
    EXPECT_NEAR(c[0].rect.left(), kMargin, 1e-9);
    EXPECT_NEAR(c[0].rect.width(), kPrintWidth, 1e-9);
    const FontSpec f = pr.fonts.at(c[0].font);
    EXPECT_EQ(f.family, QStringLiteral("Times New Roman"));
    EXPECT_TRUE(f.bold && f.italic && f.underline);
    EXPECT_EQ(f.size, 14.0);
    EXPECT_EQ(find(pr, 0, "Date: 3/7/2026").size(), 1u);
    bool frame = false;
    for (const DrawOp& op : pr.pages[0].ops)
        if (op.kind == DrawOp::Rect) {
            frame = true;
            EXPECT_EQ(op.fill, QColor(200, 200, 255).rgba());
            EXPECT_EQ(op.rect, QRectF(kMargin + 10, kMargin + 40, 100, 15));
        }
    EXPECT_TRUE(frame);
}

TEST(ReportFormat, FloatPatterns)
{
    EXPECT_EQ(formatFloat("##.##", 0), "");
    EXPECT_EQ(formatFloat("##.##", 1.5), "1.5");
    EXPECT_EQ(formatFloat("##.##", 2.345), "2.35");
    EXPECT_EQ(formatFloat("##.##", 12.0), "12");
    EXPECT_EQ(formatFloat("#.##", 0.25), ".25");
    EXPECT_EQ(formatFloat("0.00", 0), "0.00");
    EXPECT_EQ(formatFloat("0.00", 5.6), "5.60");
    EXPECT_EQ(formatFloat("###.##", -3.125), "-3.13");
    EXPECT_EQ(formatFloat("#,##0", 1234567), "1,234,567");
    EXPECT_EQ(formatFloat("0.0 in", 2), "2.0 in");
    EXPECT_EQ(formatFloat("##.##", -0.001), "");
}

TEST(ReportLayout, GroupHeaderStaysWithItsFirstRowAndRepeatsWhenAsked)
{
    MemoryDataSet ds({QStringLiteral("G"), QStringLiteral("N")});
    for (int i = 0; i < 6; ++i)
        ds.addRow({QStringLiteral("A"), QStringLiteral("a%1").arg(i)});
    for (int i = 0; i < 9; ++i)
        ds.addRow({QStringLiteral("B"), QStringLiteral("b%1").arg(i)});
    Report rep;
    rep.setDataSet(&ds);
    Group& g = rep.addGroup(QStringLiteral("G"));
    g.header().setHeight(30);
    g.header().addField(QRectF(0, 0, 0, 0), QStringLiteral("G"))->setText(QStringLiteral("Group "));
    g.setRepeatHeader(true);
    rep.detail().setHeight(100);
    rep.detail().addField(0, 0, QStringLiteral("N"));
    const PreparedReport pr = rep.prepare();
    // page 1: header A + 6 rows = 630; header B and its first row would need 130 more
    EXPECT_EQ(pageTexts(pr, 0), (QStringList{"Group A", "a0", "a1", "a2", "a3", "a4", "a5"}));
    ASSERT_GE(pr.pageCount(), 3);
    EXPECT_EQ(pageTexts(pr, 1).first(), QStringLiteral("Group B"));
    EXPECT_EQ(pageTexts(pr, 1).count(QStringLiteral("Group B")), 1);
    // group B runs on to page 3, where its header repeats at the top
    EXPECT_EQ(pageTexts(pr, 2).first(), QStringLiteral("Group B"));
    EXPECT_EQ(pageTexts(pr, 2).at(1), QStringLiteral("b6"));
}

TEST(ReportLayout, TallTitleAndOversizedBandsStillPaginate)
{
    MemoryDataSet ds = numberedRows(3);
    Report rep;
    rep.setDataSet(&ds);
    rep.titleBand().setHeight(700);
    rep.titleBand().addLabel(0, 0, QStringLiteral("TITLE"));
    Group& g = rep.addGroup(QStringLiteral("Name"));
    g.setRepeatHeader(true);
    g.header().setHeight(20);
    g.header().addLabel(0, 0, QStringLiteral("GROUP"));
    rep.detail().setHeight(800);    // taller than a page: placed on a page of its own
    rep.detail().addField(0, 0, QStringLiteral("Name"));
    const PreparedReport pr = rep.prepare();
    ASSERT_EQ(pr.pageCount(), 4);
    EXPECT_EQ(pageTexts(pr, 0), (QStringList{"TITLE"}));
    for (int p = 1; p <= 3; ++p)
        EXPECT_EQ(pageTexts(pr, p), (QStringList{"GROUP", QStringLiteral("Row %1").arg(p)}));
}
