// The single-crop reports against their golden files, one folder per
// scenario under scenarios/<name>/ (input.txt says which crop on which
// station), and the rules the golden files could hide: lines hidden by curve
// index, the peak cells of the planting and harvest months, the notes, the
// metric elevation, the CSV of "Export CSV".
//
// QUEN_UPDATE_GOLDEN=1 rewrites the expected files from the prepared reports;
// QUEN_OUTPUT_PDF_DIR=<folder> also writes each report there as PDF, to look at.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QAction>
#include <QTest>

#include "CropReports.h"
#include "OutputFixture.h"
#include "OutputFormats.h"
#include "PreviewWindow.h"
#include "QrpFile.h"
#include "Render.h"
#include "Report.h"

namespace {

using quen::test::CropInputs;
using quen::test::OutputDatabase;

const QDateTime kPrintTime(QDate(2026, 3, 15), QTime(9, 30));

QString readText(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// The lines that differ, with their numbers ("-" expected, "+" actual).
QString difference(const QString& expected, const QString& actual)
{
    const QStringList a = expected.split(QLatin1Char('\n')), b = actual.split(QLatin1Char('\n'));
    QString out;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString x = a.value(i), y = b.value(i);
        if (x == y)
            continue;
        out += QStringLiteral("line %1\n- %2\n+ %3\n").arg(i + 1).arg(x, y);
    }
    return out;
}

class CropReportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { db = new OutputDatabase; }
    static void TearDownTestSuite()
    {
        delete db;
        db = nullptr;
    }
    static OutputDatabase* db;
};

OutputDatabase* CropReportsTest::db = nullptr;

TEST_F(CropReportsTest, GoldenFilesOfEveryScenarioInBothUnitSystems)
{
    const bool update = qEnvironmentVariableIntValue("QUEN_UPDATE_GOLDEN") == 1;
    const QDir root(QStringLiteral(QUEN_OUTPUT_SCENARIOS));
    const QStringList scenarios = root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    ASSERT_GE(scenarios.size(), 4);
    for (const QString& name : scenarios) {
        const QDir dir(root.filePath(name));
        db->compute(quen::test::readCropInputs(dir.filePath(QStringLiteral("input.txt"))));
        for (bool metric : {false, true}) {
            const QString suffix = metric ? QStringLiteral("-metric.txt") : QStringLiteral(".txt");
            const QList<QPair<QString, quen::report::PreparedReport>> prepared{
                {QStringLiteral("crop-detail"), quen::output::prepareCropDetailReport(db->ctx, metric, kPrintTime)},
                {QStringLiteral("crop-summary"), quen::output::prepareJobCropReport(db->ctx, metric, kPrintTime)}};
            const QString pdfDir = qEnvironmentVariable("QUEN_OUTPUT_PDF_DIR");
            for (const auto& [report, pages] : prepared) {
                const QString actual = quen::output::preparedText(pages);
                if (!pdfDir.isEmpty())
                    quen::report::writePdf(pages, QDir(pdfDir).filePath(name + "-" + report + suffix.chopped(4) + ".pdf"));
                const QString path = dir.filePath(report + suffix);
                if (update) {
                    QFile f(path);
                    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
                    f.write(actual.toUtf8());
                    continue;
                }
                const QString expected = readText(path);
                EXPECT_FALSE(expected.isEmpty()) << "missing " << path.toStdString();
                EXPECT_TRUE(expected == actual)
                    << name.toStdString() << "/" << (report + suffix).toStdString() << " differs:\n"
                    << difference(expected, actual).toStdString();
            }
        }
    }
}

// The text line of a prepared report that starts with `head`.
QString lineOf(const QString& text, const QString& head)
{
    for (const QString& l : text.split(QLatin1Char('\n')))
        if (l.startsWith(head))
            return l;
    return QString();
}

TEST_F(CropReportsTest, CropDataSummaryRules)
{
    // Corn on the basal annual curve: its planting and harvest months carry
    // peaks in the context but print none.
    db->compute(CropInputs{});
    quen::CropRunContext& c = db->ctx;
    c.PeakDailyET[c.PlantMonth] = 0.31;
    c.PeakDailyET[c.HarvestMonth] = 0.12;
    QString text = quen::output::preparedText(quen::output::prepareJobCropReport(c, false, kPrintTime));
    for (int m = 1; m <= 12; ++m) {
        const QStringList cells = lineOf(text, quen::output::monthName(m) + QStringLiteral(" |")).split(" | ");
        ASSERT_GE(cells.size(), 7) << m;
        const bool peak = c.PeakDailyET[m] > 0 && m != c.PlantMonth && m != c.HarvestMonth;
        EXPECT_EQ(cells.size(), peak ? 8 : 7) << "month " << m;
        EXPECT_EQ(cells.at(1), quen::output::fixed2(c.MonthlyCropET[m]));
        if (peak)
            EXPECT_EQ(cells.at(7), quen::output::fixed2(c.PeakDailyET[m]));
    }
    // No carry-over and Penman-Monteith: notes (2) and (3) absent, (1) always.
    EXPECT_TRUE(text.contains("(1) For 80 percent occurrence"));
    EXPECT_FALSE(text.contains("(2) Net irrigation"));
    EXPECT_FALSE(text.contains("(3)  ") || text.contains("(3) TR21") || text.contains("(3) ET("));
    EXPECT_TRUE(text.contains("Irrigation Type:") && text.contains("Water stress factor:"));
    EXPECT_FALSE(text.contains("1st cut:"));

    // Blaney-Criddle with carry-over, elevation correction on.
    db->compute({QStringLiteral("KETCHUM RS"), QStringLiteral("Potatoes"), 1, 3, 1.5, 0.5, true});
    text = quen::output::preparedText(quen::output::prepareJobCropReport(db->ctx, false, kPrintTime));
    EXPECT_TRUE(text.contains("(2) Net irrigation requirements is adjusted"));
    EXPECT_TRUE(text.contains("(3) TR21 ET (Evapotranspiration) is adjusted upwards 10% per 1000 meters above sea "
                              "level."));
    EXPECT_FALSE(text.contains("Irrigation Type:"));
    EXPECT_FALSE(text.contains("Surface Soil:"));
    EXPECT_FALSE(text.contains("Wetting"));
    EXPECT_FALSE(text.contains("Water stress factor:"));
    EXPECT_TRUE(text.contains("Compute  Method:"));
    quen::TFrmQRJobCrop form(db->ctx);
    form.setElevationCorrection(false);
    form.report().setPrintTime(kPrintTime);
    text = quen::output::preparedText(form.prepare());
    EXPECT_TRUE(text.contains("(3) ET(Evapotranspiration) not adjusted for elevation."));
}

TEST_F(CropReportsTest, CropDetailRules)
{
    db->compute({QStringLiteral("KETCHUM RS"), QStringLiteral("Potatoes"), 1, 3, 1.5, 0.5});
    quen::CropRunContext& c = db->ctx;
    QString text = quen::output::preparedText(quen::output::prepareCropDetailReport(c, false, kPrintTime));
    // All twelve months print, every column; the TOTAL row carries the
    // precipitation, effective precipitation and the carry-over sum twice.
    for (int m = 1; m <= 12; ++m)
        EXPECT_EQ(lineOf(text, quen::output::monthName(m) + " |").split(" | ").size(), 10) << m;
    const QStringList total = lineOf(text, QStringLiteral("TOTAL |")).split(" | ");
    EXPECT_EQ(total, (QStringList{"TOTAL", quen::output::fixed2(c.AnnualPrecip),
                                  quen::output::fixed2(c.TotalEffPrecip80), quen::output::fixed2(c.TotalEffPrecip50), "2.00", "2.00"}));
    EXPECT_FALSE(text.contains("Irrigation Type:"));
    EXPECT_FALSE(text.contains("Water stress factor:"));
    EXPECT_TRUE(text.contains("JobClass:"));
    EXPECT_TRUE(text.contains("(inches):"));

    // Metric: elevation in metres, no decimals; "Job Class:"; cm and deg. C.
    c.Elevation = 1000;
    text = quen::output::preparedText(quen::output::prepareCropDetailReport(c, true, kPrintTime));
    EXPECT_TRUE(lineOf(text, "Latitude:").contains("Elevation: | 305 | meters above sea level"))
        << lineOf(text, "Latitude:").toStdString();
    EXPECT_TRUE(text.contains("Job Class:"));
    EXPECT_TRUE(text.contains("deg. C"));
    EXPECT_TRUE(text.contains("Estimated carryover moisture used at season (cm):"));
    const QStringList mtotal = lineOf(text, QStringLiteral("TOTAL |")).split(" | ");
    EXPECT_EQ(mtotal.value(4), QStringLiteral("5.08"));   // (1.5 + 0.5) x 2.54
    EXPECT_TRUE(text.contains("Page:  1"));
    EXPECT_TRUE(text.contains("Date:  3/15/2026"));

    // Basal curve: the soil lines print.
    db->compute(CropInputs{});
    text = quen::output::preparedText(quen::output::prepareCropDetailReport(db->ctx, false, kPrintTime));
    EXPECT_TRUE(text.contains("Irrigation Type:") && text.contains("Wetting (Development):")
                && text.contains("Water stress factor:"));
}

TEST(OutputFormats, GeneralAndFixedFormats)
{
    using namespace quen::output;
    EXPECT_EQ(GeneralNumberText(35.43), QStringLiteral("35.43"));
    EXPECT_EQ(GeneralNumberText(1085), QStringLiteral("1085"));
    EXPECT_EQ(GeneralNumberText(0.1 + 0.2), QStringLiteral("0.3"));   // 15 significant digits
    EXPECT_EQ(GeneralNumberText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(fixed2(5.6), QStringLiteral("5.60"));
    EXPECT_EQ(fixed2(0), QStringLiteral("0.00"));
    EXPECT_EQ(fixed2(-0.004), QStringLiteral("0.00"));
    EXPECT_EQ(fixed2(121.2649999999), QStringLiteral("121.27"));   // 6 significant digits first
    EXPECT_EQ(fixed2(0.125), QStringLiteral("0.13"));
    EXPECT_EQ(FixedNumberText(1000 * 0.3048, 0), QStringLiteral("305"));
    EXPECT_EQ(stressFormat(0.87654), QStringLiteral("0.88"));
    EXPECT_EQ(stressFormat(12.345), QStringLiteral("12.35"));   // 12.35 at 4 digits
}

TEST_F(CropReportsTest, ExportCsvNamesColumnsWithUnits)
{
    db->compute(CropInputs{});
    quen::TFrmQRJobCropM form(db->ctx);
    form.prepare();
    const QString csv = quen::report::csvText(form.csvTables());
    const QStringList lines = csv.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_EQ(lines.first(),
              QStringLiteral("Month,Total Monthly ET (cm),Dry Year 80% Chance Effective Precipitation (cm),"
                             "Dry Year 80% Chance Net Irrigation Requirements (cm),"
                             "Normal Year 50% Chance Effective Precipitation (cm),"
                             "Normal Year 50% Chance Net Irrigation Requirements (cm),Average Daily ETc (mm/day),"
                             "Peak Daily ETPk (mm/day)"));
    const QStringList july = lines.at(7).split(QLatin1Char(','));
    EXPECT_EQ(july.value(0), QStringLiteral("July"));
    EXPECT_EQ(july.value(1), quen::output::fixed2(db->ctx.MonthlyCropETcm[7]));
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("TOTAL,")));

    // Several tables: each under its name; quoting of commas.
    quen::report::CsvTable a{QStringLiteral("A"), {QStringLiteral("x (in)")}, {{QStringLiteral("1, 2")}}};
    EXPECT_EQ(quen::report::csvText({a, a}),
              QStringLiteral("A\r\nx (in)\r\n\"1, 2\"\r\n\r\nA\r\nx (in)\r\n\"1, 2\"\r\n"));
}

} // namespace

namespace {

// The preview offers "Export CSV" for a report's tables and writes them; a
// QRP file opened in the preview has no tables, so the action goes off.
TEST_F(CropReportsTest, PreviewExportsTheTablesItWasGiven)
{
    db->compute(CropInputs{});
    quen::TFrmQRCropDetail form(db->ctx);
    const quen::report::PreparedReport pages = form.prepare();
    QTemporaryDir dir;
    quen::report::PreviewWindow w(pages);
    EXPECT_FALSE(w.actionExportCsv()->isEnabled());
    w.setCsvTables(form.csvTables());
    EXPECT_TRUE(w.actionExportCsv()->isEnabled());
    if (const QString shots = qEnvironmentVariable("QUEN_OUTPUT_SHOT_DIR"); !shots.isEmpty()) {
        w.resize(900, 700);
        w.show();
        QTest::qWait(100);
        w.grab().save(shots + "/preview-crop-detail.png");
        w.hide();
    }
    const QString csv = dir.filePath("detail.csv");
    ASSERT_TRUE(w.exportCsvTo(csv));
    const QStringList lines = readText(csv).split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 14);
    EXPECT_TRUE(lines.first().startsWith("Month,Average Temp. (deg. F),Average Precip. (inches),"));
    EXPECT_TRUE(lines.first().endsWith(",Daily ETo (inches/day),Kc Crop Factor,Daily ETc (inches/day)"));
    EXPECT_EQ(lines.at(1).split(',').value(1), quen::output::fixed2(db->ctx.MonthlyTemp[1]));

    const QString qrp = dir.filePath("detail.QRP");
    ASSERT_TRUE(w.saveTo(qrp));
    ASSERT_TRUE(w.openFrom(qrp));
    EXPECT_EQ(w.report(), pages);
    EXPECT_FALSE(w.actionExportCsv()->isEnabled());
}

} // namespace
