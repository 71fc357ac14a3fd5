// Seasonal crop ET of the shipped data against published seasonal figures.
//
// For every figure of the published file (seasonal crop ET of a crop at a US
// site, with its source), the nearest shipped station and the shipped crop
// record of that crop are run as a planner's job runs: a fresh database from
// the shipped tables, the crop seeded from its crop record and the local and
// system defaults, the job saved, loaded and computed as quenpm-calc does.
// Each figure is computed with each method: Blaney-Criddle (TR-21), the same
// with the TR-21 elevation correction, Penman-Monteith with the NEH basal
// curves and Penman-Monteith with the FAO-56 curves, and the Penman-Monteith
// runs again with each option a planner may turn on (the FAO-56 eq. 62/65 Kc
// adjustment; the dew point of a well-watered site, FAO-56 eq. 48, in place
// of the station's humidity). The program prints the
// figures, ours by method and the ratios, and per method the median absolute
// error, the median bias and the count within 15 %.
//
// The figures are checks: nothing here feeds back into the data or the engine.
//
// Arguments (optional): the published file (default: the shared reference
// copy beside the source tree) and the data folder ("tables" inside it;
// default: the source tree's data/).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "CalcJob.h"
#include "CropSetup.h"
#include "JobStore.h"
#include "db/Database.h"
#include "db/Table.h"
#include "engine/KcClimate.h"
#include "engine/MethodScope.h"
#include "engine/ReferenceDewPoint.h"

using namespace quen;

namespace {

// The sites of the published figures as positions (decimal degrees, west
// negative): the place each source names.
struct Site {
    const char* prefix;   // start of the file's "location"
    double lat, lon;
    const char* where;
};
const Site kSites[] = {
    {"Fort Lupton", 40.0847, -104.8130, "Fort Lupton, CO"},
    {"Greeley", 40.4233, -104.7091, "Greeley, CO"},
    {"Texas High Plains", 35.2220, -101.8313, "Amarillo, TX"},
    // UNL South Central Agricultural Laboratory, Clay Center (the abstract
    // names no site; this is the UNL field site of the region).
    {"South Central Nebraska", 40.5760, -98.1370, "Clay Center, NE"},
    // The Arizona small-grain guidance is for the central Arizona irrigated
    // districts: the Maricopa Agricultural Center (AZMET station list).
    {"Arizona", 33.0689, -111.9722, "Maricopa, AZ"},
    // The processing tomato districts of the Sacramento Valley: UC Davis.
    {"California", 38.5382, -121.7617, "Davis, CA"},
};

// The shipped crop record of a published crop ("" when none matches).
QString CropRecordFor(const QString& crop)
{
    const QString c = crop.toLower();
    if (c.startsWith("alfalfa")) return QStringLiteral("Alfalfa hay");
    if (c.startsWith("corn (silage)")) return QStringLiteral("Corn, silage");
    if (c.startsWith("corn")) return QStringLiteral("Corn, grain");
    if (c.startsWith("dry beans")) return QStringLiteral("Beans, dry");
    if (c.startsWith("pasture")) return QStringLiteral("Pasture, grass");
    if (c.startsWith("small grains") || c.startsWith("wheat and barley"))
        return QStringLiteral("Spring grain (barley, oats, wheat)");
    if (c.startsWith("sugar beets")) return QStringLiteral("Sugar beets");
    if (c.startsWith("tomato")) return QStringLiteral("Tomatoes");
    return {};
}

// One record of a CSV line (RFC 4180 quoting; no line breaks inside fields).
QStringList SplitCsv(const QString& line)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar ch = line[i];
        if (quoted) {
            if (ch == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                cur += '"';
                ++i;
            } else if (ch == '"') {
                quoted = false;
            } else {
                cur += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            out << cur;
            cur.clear();
        } else {
            cur += ch;
        }
    }
    out << cur;
    return out;
}

// "572" -> 572, "813-864" -> the middle of the range, "635 (533-762)" -> 635.
double PublishedMm(const QString& text)
{
    static const QRegularExpression range(QStringLiteral("^\\s*([0-9.]+)\\s*-\\s*([0-9.]+)"));
    static const QRegularExpression first(QStringLiteral("^\\s*([0-9.]+)"));
    if (const auto m = range.match(text); m.hasMatch())
        return 0.5 * (m.captured(1).toDouble() + m.captured(2).toDouble());
    if (const auto m = first.match(text); m.hasMatch())
        return m.captured(1).toDouble();
    return NAN;
}


// "DDMM" / "DDDMM" of "Climate.DB" to decimal degrees.
double Degrees(double ddmm)
{
    const double a = std::fabs(ddmm);
    return std::floor(a / 100.0) + std::fmod(a, 100.0) / 60.0;
}

double DistanceKm(double lat1, double lon1, double lat2, double lon2)
{
    constexpr double r = M_PI / 180.0;
    const double dlat = (lat2 - lat1) * r, dlon = (lon2 - lon1) * r;
    const double h = std::sin(dlat / 2) * std::sin(dlat / 2)
        + std::cos(lat1 * r) * std::cos(lat2 * r) * std::sin(dlon / 2) * std::sin(dlon / 2);
    return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(h)));
}

// The shipped station nearest to the site. Longitudes of "Climate.DB" are
// degrees west.
QString NearestStation(const Site& s)
{
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    QString best;
    double bestKm = 1e30;
    for (clim.first(); !clim.eof(); clim.next()) {
        const double lat = Degrees(clim.field(QStringLiteral("Latitude")).asFloat());
        const double lon = -Degrees(clim.field(QStringLiteral("Longitude")).asFloat());
        const double km = DistanceKm(s.lat, s.lon, lat, lon);
        if (km < bestKm) {
            bestKm = km;
            best = clim.field(QStringLiteral("Station Name")).asString();
        }
    }
    clim.close();
    return best;
}

// The shipped defaults, then the two options a planner may turn on (both
// shipped off): the Kc climate adjustment and the dew point of a
// well-watered site ("d").
constexpr int kMethods = 7;
const char* const kMethodName[kMethods] = {"Blaney-Criddle TR-21", "Blaney-Criddle with elevation correction",
                                           "Penman-Monteith, NEH basal curves", "Penman-Monteith, FAO-56 curves",
                                           "Penman-Monteith, FAO-56 curves, eq. 62/65 to the station",
                                           "Penman-Monteith, NEH basal curves, dew point of a well-watered site",
                                           "Penman-Monteith, FAO-56 curves, dew point of a well-watered site"};
const char* const kMethodShort[kMethods] = {"BC", "BCe", "NEH", "FAO", "FAOa", "NEHd", "FAOd"};
const int kMethodIndex[kMethods] = {1, 1, 2, 3, 3, 2, 3};
const bool kDewPointOption[kMethods] = {false, false, false, false, false, true, true};
const char* const kMethodText[kMethods] = {"Blaney Criddle (TR21)", "Blaney Criddle (TR21)",
                                           "FAO Penman-Monteith,NEH2 Bas crop curves",
                                           "FAO Penman-Monteith,FAO 56,Table12", "FAO Penman-Monteith,FAO 56,Table12",
                                           "FAO Penman-Monteith,NEH2 Bas crop curves",
                                           "FAO Penman-Monteith,FAO 56,Table12"};

struct Figure {
    QString location, crop, record, station;
    const Site* site = nullptr;
    double published = NAN;     // mm
    double ours[kMethods] = {NAN, NAN, NAN, NAN, NAN, NAN, NAN};
    QString note[kMethods];
    bool outside[kMethods] = {};   // the run's method is used outside where it was developed
};

void SetElevationCorrection(bool on)
{
    TTable sys(QStringLiteral("SystemDefaults.db"));
    sys.open();
    sys.first();
    sys.edit();
    sys.field(QStringLiteral("Elevation Correction")).setAsBoolean(on);
    sys.post();
    sys.close();
}

// Seasonal crop ET (mm) of the crop record at the station by method m, as a
// saved job of one crop computes it; NAN with a note when the crop has no
// curve of the method or the run gives no season.
double RunJob(const QString& station, const QString& record, int m, int jobNo, QString* note, bool* outside)
{
    CropRunContext ctx;
    JobState jobState;
    TTable wk(QStringLiteral("QuenWkCrop.DB"));
    job::StartJob(ctx, jobState, wk);
    {
        TTable clim(QStringLiteral("Climate.DB"));
        clim.open();
        clim.findNearest({station});
        job::CopyStation(clim, ctx);
        clim.close();
    }
    ctx.JobName = QStringLiteral("Validation %1").arg(jobNo);
    ctx.ETMethodIndex = kMethodIndex[m];
    ctx.ETMethodText = QString::fromLatin1(kMethodText[m]);

    TTable crops(QStringLiteral("QuenCrop.DB"));
    crops.open();
    if (!crops.locate(QStringLiteral("Cop Name"), record)) {
        crops.close();
        *note = QStringLiteral("no crop");
        return NAN;
    }
    const mainprog::CropRecord rec = mainprog::CropRecord::read(crops);
    crops.close();
    const mainprog::CurveChoice curve = mainprog::ChooseCropCurve(ctx.ETMethodIndex, rec);
    if (!curve.available || curve.curveIndex < 0) {
        *note = QStringLiteral("no curve");
        return NAN;
    }
    TTable loc(QStringLiteral("LocalDefaults.db"));
    TTable sys(QStringLiteral("SystemDefaults.db"));
    loc.open();
    sys.open();
    loc.first();
    sys.first();
    wk.open();
    wk.append();
    mainprog::SeedWorkingCrop(ctx, jobState, wk, rec, loc, sys, curve);
    wk.post();
    wk.close();
    loc.close();
    sys.close();
    jobState.JobSaveState = 1;
    job::SaveJob(ctx, jobState);

    CropRunContext back;
    if (!calc::LoadJob(ctx.JobName, back)) {
        *note = QStringLiteral("not saved");
        return NAN;
    }
    const QList<calc::CropResult> results = calc::ComputeJob(back);
    if (results.isEmpty()) {
        *note = QStringLiteral("no result");
        return NAN;
    }
    const calc::CropResult& r = results.first();
    *outside = !MethodScopeNote(r.ctx).isEmpty();
    if (r.ctx.ETMethodIndex != kMethodIndex[m])
        *note = QStringLiteral("fell back to method %1").arg(r.ctx.ETMethodIndex);
    else if (!r.messages.isEmpty())
        *note = r.messages.first().left(60);
    if (r.ctx.TotalCropET <= 0.0) {
        if (note->isEmpty())
            *note = QStringLiteral("no season");
        return NAN;
    }
    return r.ctx.TotalCropET * 25.4;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : 0.5 * (v[n / 2 - 1] + v[n / 2]);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString csvPath = args.value(0, QStringLiteral(QUEN_VALIDATION_CSV));
    const QString dataDir = args.value(1, QStringLiteral(QUEN_DATA_DIR));

    QFile csv(csvPath);
    if (!csv.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "bench_validation: cannot read %s\n", qPrintable(csvPath));
        return 2;
    }
    std::vector<Figure> figures;
    QStringList header;
    QTextStream in(&csv);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        const QStringList f = SplitCsv(line);
        if (header.isEmpty()) {
            header = f;
            continue;
        }
        auto col = [&](const char* name) { return f.value(header.indexOf(QString::fromLatin1(name))); };
        Figure fig;
        fig.location = col("location");
        fig.crop = col("crop");
        fig.published = PublishedMm(col("seasonal_et_mm"));
        fig.record = CropRecordFor(fig.crop);
        for (const Site& s : kSites)
            if (fig.location.startsWith(QString::fromLatin1(s.prefix)))
                fig.site = &s;
        figures.push_back(fig);
    }

    calc::CollectingMessages quiet;
    QTemporaryDir dir;
    Database::setDataDirectory(QDir(dataDir).filePath(QStringLiteral("tables")));
    Database::open(dir.filePath(QStringLiteral("validation.sqlite")));
    QDir::setCurrent(dir.path());   // "FAO56.txt" of the FAO-56 runs goes here

    int jobNo = 0;
    for (int m = 0; m < kMethods; ++m) {
        SetElevationCorrection(m == 1);
        SetKcClimateOption(m == 4);
        SetReferenceDewPointOption(kDewPointOption[m]);
        for (Figure& fig : figures) {
            if (!fig.site) {
                fig.note[m] = QStringLiteral("no site");
                continue;
            }
            if (fig.station.isEmpty())
                fig.station = NearestStation(*fig.site);
            if (fig.record.isEmpty()) {
                fig.note[m] = QStringLiteral("no crop");
                continue;
            }
            fig.ours[m] = RunJob(fig.station, fig.record, m, ++jobNo, &fig.note[m], &fig.outside[m]);
        }
    }
    SetElevationCorrection(false);
    SetKcClimateOption(false);
    SetReferenceDewPointOption(false);
    Database::close();

    std::printf("Seasonal crop ET, published and computed (mm); ratio = ours / published\n");
    std::printf("Methods: BC = Blaney-Criddle TR-21, BCe = with elevation correction, "
                "NEH = Penman-Monteith NEH basal, FAO = Penman-Monteith FAO-56 curves, FAOa = FAO with eq. 62/65 to "
                "the station, NEHd and FAOd = NEH and FAO with the dew point of a well-watered site (FAO-56 eq. 48);"
                "\n* = the output carries the line that the method is used outside where it was developed\n\n");
    std::printf("%-22s %-26s %-18s %6s", "site", "crop", "station", "publ");
    for (int m = 0; m < kMethods; ++m)
        std::printf(" | %6s %6s", kMethodShort[m], "ratio");
    std::printf("\n");
    for (const Figure& fig : figures) {
        const QString where = fig.site ? QString::fromLatin1(fig.site->where) : fig.location.left(22);
        std::printf("%-22s %-26s %-18s %6.0f", qPrintable(where.left(22)), qPrintable(fig.crop.left(26)),
                    qPrintable(fig.station.left(18)), fig.published);
        for (int m = 0; m < kMethods; ++m) {
            if (std::isnan(fig.ours[m]))
                std::printf(" | %13s", qPrintable(fig.note[m].left(13)));
            else
                std::printf(" | %6.0f %5.2f%s", fig.ours[m], fig.ours[m] / fig.published, fig.outside[m] ? "*" : " ");
        }
        std::printf("\n");
    }
    std::printf("\nNotes of the runs:\n");
    for (const Figure& fig : figures)
        for (int m = 0; m < kMethods; ++m)
            if (!fig.note[m].isEmpty() && !std::isnan(fig.ours[m]))
                std::printf("  %s, %s, %s: %s\n", fig.site ? fig.site->where : "?", qPrintable(fig.crop),
                            kMethodName[m], qPrintable(fig.note[m]));

    std::printf("\n| method | median absolute error | median bias | within ±15 %% | outside ±30 %% (of them with the line) |\n"
                "|---|---|---|---|---|\n");
    for (int m = 0; m < kMethods; ++m) {
        std::vector<double> abs, bias;
        int within = 0, beyond = 0, beyondWarned = 0;
        for (const Figure& fig : figures) {
            if (std::isnan(fig.ours[m]) || !(fig.published > 0))
                continue;
            const double e = fig.ours[m] / fig.published - 1.0;
            abs.push_back(std::fabs(e));
            bias.push_back(e);
            within += std::fabs(e) <= 0.15;
            if (std::fabs(e) > 0.30) {
                ++beyond;
                beyondWarned += fig.outside[m];
            }
        }
        std::printf("| %s | %.1f %% | %+.1f %% | %d of %zu | %d (%d) |\n", kMethodName[m], 100 * Median(abs),
                    100 * Median(bias), within, abs.size(), beyond, beyondWarned);
    }
    return 0;
}
