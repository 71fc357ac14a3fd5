// The regression scenarios of scenarios/ as data rows for RunCrop: each
// folder's inputs.txt holds the CropInputs of its job's crops (written from the
// scenario's tables by tools/make_runcrop_inputs), and RunCrop on them, with no
// database and no file but that text, must give every monthly result and
// total of expected.csv, the file the whole-database scenario test checks.
// Also the text format itself: what is written is read back bit for bit, and
// a damaged file is refused with its line.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <cmath>
#include <functional>
#include <optional>

#include "CropInputsText.h"
#include "CropRun.h"
#include "TestMessages.h"

using namespace quen;

namespace {

QString ReadText(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll());
}

// A month's result of expected.csv's column, or a crop's total (month 0);
// nothing where the file leaves the cell empty (the totals of rates and
// flags). The columns are those of ScenarioTest's expected.csv.
using Column = std::function<std::optional<double>(const CropResults&, int month)>;

Column Monthly(MonthlyValues CropResults::*values, double CropResults::*total = nullptr)
{
    return [values, total](const CropResults& r, int m) -> std::optional<double> {
        if (m > 0)
            return (r.*values)[m];
        if (total)
            return r.*total;
        return std::nullopt;
    };
}

const QHash<QString, Column>& Columns()
{
    static const QHash<QString, Column> columns = {
        {QStringLiteral("season"),
         [](const CropResults& r, int m) -> std::optional<double> {
             return m > 0 ? std::optional<double>(r.seasonMonthFlags[m] ? 1.0 : 0.0) : std::nullopt;
         }},
        {QStringLiteral("DailyRefET"), Monthly(&CropResults::dailyRefET)},
        {QStringLiteral("ShoulderRefET"), Monthly(&CropResults::shoulderRefET)},
        {QStringLiteral("MonthlyKc"), Monthly(&CropResults::monthlyKc)},
        {QStringLiteral("DailyCropET"), Monthly(&CropResults::dailyCropET)},
        {QStringLiteral("MonthlyCropET"), Monthly(&CropResults::monthlyCropET, &CropResults::totalCropET)},
        {QStringLiteral("EffPrecip50"), Monthly(&CropResults::effPrecip50, &CropResults::totalEffPrecip50)},
        {QStringLiteral("EffPrecip80"), Monthly(&CropResults::effPrecip80, &CropResults::totalEffPrecip80)},
        {QStringLiteral("CarryOverUsed50"), Monthly(&CropResults::carryOverUsed50)},
        {QStringLiteral("CarryOverUsed80"), Monthly(&CropResults::carryOverUsed80)},
        {QStringLiteral("NetIrrReq50"), Monthly(&CropResults::netIrrReq50, &CropResults::totalNetIrrReq50)},
        {QStringLiteral("NetIrrReq80"), Monthly(&CropResults::netIrrReq80, &CropResults::totalNetIrrReq80)},
        {QStringLiteral("PeakDailyET"), Monthly(&CropResults::peakDailyET)},
        {QStringLiteral("HayFlag"),
         [](const CropResults& r, int m) -> std::optional<double> {
             return m > 0 ? std::optional<double>(r.hayFlag ? 1.0 : 0.0) : std::nullopt;
         }},
    };
    return columns;
}

// A row of expected.csv: the quoted crop name (it may hold commas), then
// plain cells.
struct ExpectedRow {
    QString crop;
    QStringList cells;   // after the crop name: month or "total", then the columns
};

bool ParseRow(const QString& line, ExpectedRow& row)
{
    static const QRegularExpression re(QStringLiteral("^\"([^\"]*)\",(.*)$"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch())
        return false;
    row.crop = m.captured(1);
    row.cells = m.captured(2).split(QLatin1Char(','));
    return true;
}

// Compares RunCrop on the inputs of one scenario folder with its expected.csv.
void CheckScenario(const QString& dir)
{
    // After a change of the scenario's tables the inputs are written again
    // (CropInputsText.h), as expected.csv is.
    SCOPED_TRACE("inputs.txt as make_runcrop_inputs writes it");
    std::vector<CropInputs> crops;
    QString error;
    const QString text = ReadText(dir + QStringLiteral("/inputs.txt"));
    ASSERT_FALSE(text.isEmpty()) << "no inputs.txt: run tools/make_runcrop_inputs (CropInputsText.h)";
    ASSERT_TRUE(test::ParseCropInputsText(text, crops, &error)) << error.toStdString();

    std::vector<CropResults> results;
    {
        test::RecordingMessages msgs;
        for (const CropInputs& in : crops)
            results.push_back(RunCrop(in));
        EXPECT_TRUE(msgs.texts.isEmpty()) << msgs.texts.join(QStringLiteral(" | ")).toStdString();
    }

    const QStringList lines = ReadText(dir + QStringLiteral("/expected.csv")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty()) << "missing expected.csv";
    const QStringList header = lines[0].split(QLatin1Char(','));
    ASSERT_GE(header.size(), 3);
    ASSERT_EQ(header[0], QStringLiteral("crop"));
    ASSERT_EQ(header[1], QStringLiteral("month"));
    // Each crop has its 12 months and its total, in the job's order.
    ASSERT_EQ(lines.size() - 1, int(crops.size()) * 13) << "crops of inputs.txt and expected.csv differ";

    for (int i = 1; i < lines.size(); ++i) {
        ExpectedRow row;
        ASSERT_TRUE(ParseRow(lines[i], row)) << lines[i].toStdString();
        ASSERT_EQ(row.cells.size(), header.size() - 1) << lines[i].toStdString();
        const int crop = (i - 1) / 13;
        const int month = (i - 1) % 13 + 1;
        ASSERT_EQ(row.crop, crops[crop].cropName);
        ASSERT_EQ(row.cells[0], month <= 12 ? QString::number(month) : QStringLiteral("total"));
        const CropResults& r = results[crop];
        for (int k = 2; k < header.size(); ++k) {
            const auto col = Columns().constFind(header[k]);
            ASSERT_NE(col, Columns().constEnd()) << "unknown column " << header[k].toStdString();
            const std::optional<double> got = (*col)(r, month <= 12 ? month : 0);
            const QString& cell = row.cells[k - 1];
            SCOPED_TRACE(lines[i].toStdString() + " column " + header[k].toStdString());
            if (cell.isEmpty()) {
                EXPECT_FALSE(got.has_value());
                continue;
            }
            bool ok = false;
            const double want = cell.toDouble(&ok);
            ASSERT_TRUE(ok);
            ASSERT_TRUE(got.has_value());
            EXPECT_NEAR(*got, want, 1e-9 * std::max(1.0, std::abs(want)));
        }
    }
}

// Hand-made inputs that meet every kind of value the format writes.
CropInputs Sample()
{
    CropInputs in;
    in.cropName = QStringLiteral("Corn, \"grain\" \\ silage");
    in.station.number = QStringLiteral("AZMET06 ");   // a blank at the end, as stored
    in.station.name = QStringLiteral("Two\nlines");
    in.station.frost.spring28 = QStringLiteral("00/00");
    in.etMethodIndex = 3;
    in.sensitive = false;
    in.whr.found = true;
    for (int m = 1; m <= 12; ++m) {
        in.monthlyPrecip[m] = 0.1 * m + 1.0 / 3.0;
        in.station.tmax[m] = 60.0 + std::sqrt(double(m));
        in.whr.u2[m] = -1e-300 * m;
        in.perennialBasal.g[m] = 1.0 / m;
    }
    for (int i = 1; i <= 21; ++i)
        in.bcAnnual.K[i] = std::exp(-0.1 * i);
    in.annualPrecip = 6.1400000000000006;
    in.station.latitude = 3304;
    in.fao56.Kcp = 0.1 + 0.2;
    in.forage.pkDaysBefore = -3;
    in.wetFactors = {{7, 0.45}, {14, 1.0 / 7.0}};
    in.daytimePercents[33] = {0, 7.1, 7.2, 8.3, 8.7, 9.5, 9.4, 9.6, 9.2, 8.3, 7.9, 7.1, 6.9};
    in.chanceRows[7] = {{7, 0.882549, 0.586995}, {6, 0.87061, 0.566426}};
    return in;
}

} // namespace

TEST(RunCropScenarios, MonthlyResultsOfTheSavedJobsWithoutADatabase)
{
    const QString root = QStringLiteral(QUEN_ENGINE_SCENARIOS);
    int run = 0;
    for (const QString& name : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString dir = root + QLatin1Char('/') + name;
        if (!QFile::exists(dir + QStringLiteral("/job.txt")))
            continue;
        SCOPED_TRACE(name.toStdString());
        ++run;
        CheckScenario(dir);
    }
    EXPECT_GE(run, 4);
}

TEST(CropInputsText, ReadsBackWhatItWrites)
{
    const std::vector<CropInputs> crops = {Sample(), CropInputs{}};
    const QString text = test::CropInputsText(crops, QStringLiteral("a heading\nof two lines"));
    std::vector<CropInputs> back;
    QString error;
    ASSERT_TRUE(test::ParseCropInputsText(text, back, &error)) << error.toStdString();
    ASSERT_EQ(back.size(), 2u);
    // Written again, the inputs read give the same text: every field came back.
    EXPECT_EQ(test::CropInputsText(back, QStringLiteral("a heading\nof two lines")), text);
    const CropInputs& a = crops[0];
    const CropInputs& b = back[0];
    EXPECT_EQ(b.cropName, a.cropName);
    EXPECT_EQ(b.station.number, a.station.number);
    EXPECT_EQ(b.station.name, a.station.name);
    EXPECT_EQ(b.monthlyPrecip, a.monthlyPrecip);   // bit for bit
    EXPECT_EQ(b.station.tmax, a.station.tmax);
    EXPECT_EQ(b.whr.u2, a.whr.u2);
    EXPECT_EQ(b.bcAnnual.K, a.bcAnnual.K);
    EXPECT_EQ(b.fao56.Kcp, a.fao56.Kcp);
    EXPECT_EQ(b.forage.pkDaysBefore, -3);
    EXPECT_FALSE(b.sensitive);
    EXPECT_EQ(b.wetFactors, a.wetFactors);
    EXPECT_EQ(b.daytimePercents, a.daytimePercents);
    ASSERT_EQ(b.chanceRows.count(7), 1u);
    EXPECT_EQ(b.chanceRows.at(7).second.pct80, 0.566426);
}

TEST(CropInputsText, RefusesADamagedFileWithItsLine)
{
    const QString good = test::CropInputsText({Sample()});
    const QStringList lines = good.split(QLatin1Char('\n'));
    auto find = [&lines](const char* key) {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(QString::fromLatin1(key) + QStringLiteral(" = ")))
                return i;
        return -1;
    };
    const int plant = find("plantMonth");
    ASSERT_GT(plant, 0);
    const QString lineNo = QStringLiteral("line %1:").arg(plant + 1);
    auto refused = [](const QStringList& l) {
        std::vector<CropInputs> crops;
        QString error;
        const bool ok = test::ParseCropInputsText(l.join(QLatin1Char('\n')), crops, &error);
        return ok ? QString() : error;
    };
    {
        QStringList l = lines;
        l[plant] = QStringLiteral("plantMonth = four");
        EXPECT_TRUE(refused(l).startsWith(lineNo)) << refused(l).toStdString();
    }
    {
        QStringList l = lines;
        l[plant] = QStringLiteral("plantMnth = 4");   // misspelt: unknown, and plantMonth missing
        EXPECT_FALSE(refused(l).isEmpty());
    }
    {
        QStringList l = lines;
        l.removeAt(plant);   // a field left out never takes a default silently
        EXPECT_TRUE(refused(l).contains(QStringLiteral("plantMonth"))) << refused(l).toStdString();
    }
    {
        QStringList l = lines;
        l.insert(plant, QStringLiteral("plantMonth = 4"));
        EXPECT_TRUE(refused(l).contains(QStringLiteral("twice")));
    }
    {
        QStringList l = lines;
        const int row = find("station.tmax");
        l[row] = QStringLiteral("station.tmax = 1 2 3");   // 3 months of 12
        EXPECT_TRUE(refused(l).startsWith(QStringLiteral("line %1:").arg(row + 1)));
    }
    {
        QStringList l = lines;
        l << QStringLiteral("chanceRows[8] = 8 0.9");   // half a row
        EXPECT_FALSE(refused(l).isEmpty());
    }
    {
        QStringList l = lines;
        const int row = find("cropName");
        l[row] = QStringLiteral("cropName = Corn");   // not quoted
        EXPECT_TRUE(refused(l).startsWith(QStringLiteral("line %1:").arg(row + 1)));
    }
    EXPECT_TRUE(refused(lines).isEmpty());
}
