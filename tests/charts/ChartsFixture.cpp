#include "ChartsFixture.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <cmath>
#include <gtest/gtest.h>

#include "ComputeCrop.h"
#include "Table.h"
#include "JobHeader.h"
#include "WorkingCrops.h"

namespace quen::test {

namespace {

const char* const kCurveType[6] = {"Field and vegetable crops",   "Perennial and specialty crops",
                                   "Grasses and forage legumes",  "Blaney Criddle Annual Crop",
                                   "Blaney Criddle Perennial Crop", "FAO 56, Table 12 crops"};
const char* const kCurveField[6] = {"Bas Crop Curve Name", "Bas Crop Curve Name", "Bas Crop Curve Name",
                                    "BC Crop Curve Name",  "BC Crop Curve Name",  "FAOCropCurveName"};

void SetStation(CropRunContext& ctx, const QString& station, int etIndex)
{
    ctx.reset();
    test::SetJobHeader(ctx, {QStringLiteral("North pivot ") + station.section(QLatin1Char(' '), 0, 0),
                             QStringLiteral("Section 12, north pivot"), QStringLiteral("R. Planner"),
                             QStringLiteral("05/01/26"), QStringLiteral("Valley Farms"), QStringLiteral("ID-0042"),
                             QStringLiteral("Irrigation")});

    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    EXPECT_TRUE(clim.locate(QStringLiteral("Station Name"), station)) << station.toStdString();
    ctx.WeatherStationName = clim.field(QStringLiteral("Station Name")).asString();
    ctx.StationNumber = clim.field(QStringLiteral("Station No")).asString();
    ctx.County = clim.field(QStringLiteral("County")).asString();
    ctx.Elevation = clim.field(QStringLiteral("Elevation")).asFloat();
    ctx.ElevationM = clim.hasField(QStringLiteral("ElevationM")) ? clim.field(QStringLiteral("ElevationM")).asFloat()
                                                                 : ctx.Elevation * 0.3048;
    ctx.Latitude = clim.field(QStringLiteral("Latitude")).asFloat();
    ctx.Longitude = clim.field(QStringLiteral("Longitude")).asFloat();
    ctx.AnnualPrecip = 0;
    for (int m = 1; m <= 12; ++m) {
        ctx.MonthlyPrecip[m] = clim.field(QStringLiteral("P%1").arg(m)).asFloat();
        ctx.AnnualPrecip += ctx.MonthlyPrecip[m];
        ctx.MonthlyTemp[m] = clim.field(QStringLiteral("T%1").arg(m)).asFloat();
    }
    clim.close();
    const double p = ctx.AnnualPrecip;
    ctx.EffPcpFact50 = 0.774261 + 0.0200712 * p - 0.000741843 * std::pow(p, 2) + 0.0000127653 * std::pow(p, 3)
        - 0.000000101543 * std::pow(p, 4) + 0.000000000301104 * std::pow(p, 5);
    ctx.EffPcpFact80 = 0.415008 + 0.0295972 * p - 0.000779763 * std::pow(p, 2) + 0.00000905045 * std::pow(p, 3)
        - 0.0000000372727 * std::pow(p, 4);
    ctx.ETMethodIndex = etIndex;
    ctx.ETMethodText = etIndex == 1   ? QStringLiteral("Blaney Criddle (TR21)")
        : etIndex == 2                ? QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves")
                                      : QStringLiteral("FAO Penman-Monteith,FAO 56,Table12");
}

} // namespace

void AddCrop(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const JobCrop& c, int cropNo)
{
    TTable crop(QStringLiteral("QuenCrop.DB"));
    crop.open();
    EXPECT_TRUE(crop.locate(QStringLiteral("Cop Name"), c.crop)) << c.crop.toStdString();
    TTable loc(QStringLiteral("LocalDefaults.db"));
    loc.open();
    loc.first();
    const int pm = c.pm ? c.pm : crop.field(QStringLiteral("Plant Mo")).asInteger();
    const int pd = c.pm ? c.pd : crop.field(QStringLiteral("Plant Day")).asInteger();
    const int hm = c.pm ? c.hm : crop.field(QStringLiteral("Harvest Mo")).asInteger();
    const int hd = c.pm ? c.hd : crop.field(QStringLiteral("Harvest Day")).asInteger();
    wk.append();
    wk.field("Job Name").setAsString(ctx.JobName);
    wk.field("Crop Name").setAsString(c.crop);
    wk.field("Crop No").setAsInteger(cropNo);
    wk.field("Curve Index").setAsInteger(c.curveIndex);
    wk.field("Curve Name").setAsString(crop.field(QString::fromLatin1(kCurveField[c.curveIndex])).asString());
    wk.field("Crop Curve Type").setAsString(QString::fromLatin1(kCurveType[c.curveIndex]));
    wk.field("Plant Mo").setAsInteger(pm);
    wk.field("Plant Day").setAsInteger(pd);
    wk.field("Harvest Mo").setAsInteger(hm);
    wk.field("Harvest Day").setAsInteger(hd);
    wk.field("Beg Dat").setAsString(QStringLiteral("%1/%2").arg(pm).arg(pd));
    wk.field("End Dat").setAsString(QStringLiteral("%1/%2").arg(hm).arg(hd));
    test::setLocalDefaultFields(wk, loc);
    wk.field("Carry Beg").setAsFloat(c.carryBeg);
    wk.field("Carry End").setAsFloat(c.carryEnd);
    wk.field("ET Index").setAsInteger(ctx.ETMethodIndex);
    wk.post();
    loc.close();
    crop.close();
    EXPECT_TRUE(wk.locate(QStringLiteral("Crop No"), cropNo));
    ctx.CropName = c.crop;
    ComputeCrop(ctx, curves, wk);
}

void RunJob(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const Job& job)
{
    SetStation(ctx, job.station, job.etIndex);
    if (!wk.isOpen())
        wk.open();
    wk.emptyTable();
    wk.refresh();
    int n = 0;
    for (const JobCrop& c : job.crops)
        AddCrop(ctx, curves, wk, c, ++n);
}

QString ReportText(const report::PreparedReport& rep)
{
    using report::DrawOp;
    QString out;
    for (int p = 0; p < rep.pageCount(); ++p) {
        out += QStringLiteral("=== page %1 ===\n").arg(p + 1);
        QMap<int, QList<QPair<double, QString>>> lines;   // top edge (pt) -> (x, text)
        for (const DrawOp& op : rep.pages.at(p).ops)
            if (op.kind == DrawOp::Text && !op.text.isEmpty())
                lines[qRound(op.rect.top())].append({op.rect.left(), op.text});
        for (auto it = lines.begin(); it != lines.end(); ++it) {
            auto items = it.value();
            std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
            QStringList texts;
            for (const auto& i : items)
                texts << i.second;
            out += texts.join(QStringLiteral(" | ")) + QLatin1Char('\n');
        }
    }
    return out;
}

QString CompareGolden(const QString& scenario, const QString& name, const QString& text)
{
    const QString dir = QStringLiteral(QUEN_CHARTS_SCENARIOS) + QLatin1Char('/') + scenario;
    const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".txt");
    if (qEnvironmentVariable("QUEN_REGEN_GOLDEN") == QLatin1String("1")) {
        QDir().mkpath(dir);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QStringLiteral("cannot write ") + path;
        f.write(text.toUtf8());
        return QString();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("no expected file %1 (run with QUEN_REGEN_GOLDEN=1 to write it)").arg(path);
    const QStringList want = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    const QStringList got = text.split(QLatin1Char('\n'));
    QString diff;
    int shown = 0;
    for (qsizetype i = 0; i < std::max(want.size(), got.size()) && shown < 20; ++i) {
        const QString w = i < want.size() ? want[i] : QStringLiteral("<none>");
        const QString g = i < got.size() ? got[i] : QStringLiteral("<none>");
        if (w != g) {
            diff += QStringLiteral("line %1\n  expected: %2\n  actual:   %3\n").arg(i + 1).arg(w, g);
            ++shown;
        }
    }
    return diff.isEmpty() ? QString() : path + QStringLiteral(":\n") + diff;
}

} // namespace quen::test
