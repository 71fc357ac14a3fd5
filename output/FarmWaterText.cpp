#include "FarmWaterText.h"

#include "ReportNumbers.h"

namespace quen::output {

namespace {

const char* const kMonths[13] = {"",    "Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString Fixed(double v, int decimals) { return FixedNumberText(v, decimals, 15); }

} // namespace

QString FarmNotAvailableText()
{
    return QStringLiteral("Farm figures are not available: enter each crop's irrigated area in the crop "
                          "computation inputs.");
}

QString FarmSourcesText(bool metric)
{
    const QString capacity = metric ? QStringLiteral("Q (l/s) = 2.778 A d / (f T)")
                                    : QStringLiteral("Q (gpm) = 453 A d / (f T)");
    return QStringLiteral("Gross depth = net / (Ea (1 - LR)) and system capacity %1: NEH Part 652 ch. 6;\n"
                          "conveyance and leaching: FAO-24; leaching requirement LR = ECw / (5 ECe - ECw): "
                          "FAO-29 eq. 7.")
        .arg(capacity);
}

QString FarmMonthName(int month)
{
    return month >= 1 && month <= 12 ? QString::fromLatin1(kMonths[month]) : QString();
}

QString FarmDepthText(double v, bool metric) { return Fixed(v, metric ? 0 : 2); }
QString FarmVolumeText(double v, bool metric) { return Fixed(v, metric ? 0 : 1); }

QString FarmDepthUnit(bool metric) { return metric ? QStringLiteral("mm") : QStringLiteral("in"); }
QString FarmVolumeUnit(bool metric) { return metric ? QStringLiteral("m3") : QStringLiteral("acre-ft"); }
QString FarmAreaUnit(bool metric) { return metric ? QStringLiteral("ha") : QStringLiteral("acres"); }

MonthlyValues CropGrossDepth(const FarmCropWater& c, bool dry, bool metric)
{
    if (metric)
        return dry ? c.grossDepth80Mm : c.grossDepth50Mm;
    return dry ? c.grossDepth80In : c.grossDepth50In;
}

MonthlyValues CropVolume(const FarmCropWater& c, bool dry, bool metric)
{
    if (metric)
        return dry ? c.volume80M3 : c.volume50M3;
    return dry ? c.volume80AcFt : c.volume50AcFt;
}

MonthlyValues FarmFieldVolume(const FarmWater& w, bool dry, bool metric)
{
    if (!metric)
        return dry ? w.field80AcFt : w.field50AcFt;
    // FarmWater keeps the field volume in acre-feet only: the crops' own m3.
    MonthlyValues v{};
    for (const FarmCropWater& c : w.crops)
        if (c.available)
            for (int m = 1; m <= 12; ++m)
                v[m] += (dry ? c.volume80M3 : c.volume50M3)[m];
    return v;
}

MonthlyValues FarmDiversion(const FarmWater& w, bool dry, bool metric)
{
    if (metric)
        return dry ? w.diversion80M3 : w.diversion50M3;
    return dry ? w.diversion80AcFt : w.diversion50AcFt;
}

double SeasonTotal(const MonthlyValues& v)
{
    double s = 0.0;
    for (int m = 1; m <= 12; ++m)
        s += v[m];
    return s;
}

FarmTextTable FarmCropTable(const FarmWater& w, bool metric)
{
    const QString d = FarmDepthUnit(metric), v = FarmVolumeUnit(metric);
    FarmTextTable t;
    t.header = {QStringLiteral("Crop"),
                QStringLiteral("Area (%1)").arg(FarmAreaUnit(metric)),
                QStringLiteral("Ea"),
                QStringLiteral("LR"),
                QStringLiteral("Gross depth 50% (%1)").arg(d),
                QStringLiteral("Gross depth 80% (%1)").arg(d),
                QStringLiteral("Volume 50% (%1)").arg(v),
                QStringLiteral("Volume 80% (%1)").arg(v),
                QStringLiteral("Note")};
    for (const FarmCropWater& c : w.crops) {
        QStringList r{c.cropName, Fixed(metric ? c.areaHa : c.areaAcres, metric ? 2 : 1)};
        if (c.available) {
            const double s50 = SeasonTotal(CropGrossDepth(c, false, metric));
            const double s80 = SeasonTotal(CropGrossDepth(c, true, metric));
            r << Fixed(c.applicationEff, 2) << Fixed(c.leachingReq, 3) << FarmDepthText(s50, metric)
              << FarmDepthText(s80, metric) << FarmVolumeText(SeasonTotal(CropVolume(c, false, metric)), metric)
              << FarmVolumeText(SeasonTotal(CropVolume(c, true, metric)), metric) << c.note;
        } else {
            const QString na = QStringLiteral("not available");
            r << (c.applicationEff > 0 ? Fixed(c.applicationEff, 2) : QString()) << QString() << na << na << na
              << na << c.note;
        }
        t.rows << r;
    }
    return t;
}

FarmTextTable FarmMonthlyTable(const FarmWater& w, bool metric)
{
    const QString v = FarmVolumeUnit(metric);
    FarmTextTable t;
    t.header = {QStringLiteral("Month"),
                QStringLiteral("Field 50% (%1)").arg(v),
                QStringLiteral("Diversion 50% (%1)").arg(v),
                QStringLiteral("Field 80% (%1)").arg(v),
                QStringLiteral("Diversion 80% (%1)").arg(v)};
    if (!w.available)
        return t;
    const MonthlyValues cols[4] = {FarmFieldVolume(w, false, metric), FarmDiversion(w, false, metric),
                                   FarmFieldVolume(w, true, metric), FarmDiversion(w, true, metric)};
    for (int m = 1; m <= 13; ++m) {
        QStringList r{m <= 12 ? FarmMonthName(m) : QStringLiteral("Season")};
        for (const MonthlyValues& c : cols)
            r << FarmVolumeText(m <= 12 ? c[m] : SeasonTotal(c), metric);
        t.rows << r;
    }
    return t;
}

QStringList FarmCapacityLines(const FarmWater& w, bool metric)
{
    if (!w.available)
        return {FarmNotAvailableText()};
    QStringList lines;
    const QString hours = QStringLiteral("%1 operating hours per day; conveyance efficiency (Ec) %2")
                              .arg(Fixed(w.job.hoursPerDay, 1), Fixed(w.job.conveyanceEff, 2));
    if (w.peakMonth == 0) {
        lines << QStringLiteral("System capacity: not available (no crop has a peak daily use).") << hours;
    } else {
        if (metric)
            lines << QStringLiteral("System capacity at the diversion: %1 l/s (%2 l/s per ha), peak month %3")
                         .arg(Fixed(w.capacityLps, 1), Fixed(w.capacityLpsPerHa, 3), FarmMonthName(w.peakMonth));
        else
            lines << QStringLiteral("System capacity at the diversion: %1 gpm (%2 gpm per acre), peak month %3")
                         .arg(Fixed(w.capacityGpm, 0), Fixed(w.capacityGpmPerAcre, 2), FarmMonthName(w.peakMonth));
        // the farm's peak gross use at the fields, A x d summed over the crops
        const double peak = metric ? w.peakAcreInPerDay * kAcresToHectares * kInchesToMm : w.peakAcreInPerDay;
        lines << QStringLiteral("Peak gross use at the fields %1 %2; %3")
                     .arg(Fixed(peak, 2), metric ? QStringLiteral("ha-mm/day") : QStringLiteral("acre-in/day"), hours);
    }
    lines << QStringLiteral("Irrigated area %1 %2; irrigation water salinity (ECw) %3 dS/m")
                 .arg(metric ? Fixed(w.areaHa, 2) : Fixed(w.areaAcres, 1), FarmAreaUnit(metric), Fixed(w.job.ecw, 2));
    return lines;
}

QList<report::CsvTable> FarmWaterCsvTables(const FarmWater& w, bool metric)
{
    QList<report::CsvTable> out;
    const QString d = FarmDepthUnit(metric), v = FarmVolumeUnit(metric);
    QStringList monthHead;
    for (int m = 1; m <= 12; ++m)
        monthHead << FarmMonthName(m);
    monthHead << QStringLiteral("Season");

    report::CsvTable crops;
    crops.name = QStringLiteral("Farm water by crop");
    crops.header = QStringList{QStringLiteral("Crop"), QStringLiteral("Quantity")} + monthHead;
    for (const FarmCropWater& c : w.crops) {
        if (!c.available) {
            crops.rows << QStringList{c.cropName, QStringLiteral("not available: ") + c.note};
            continue;
        }
        struct Row {
            QString name;
            MonthlyValues values;
            bool depth;
        };
        const Row rows[4] = {
            {QStringLiteral("Gross depth 50% (%1)").arg(d), CropGrossDepth(c, false, metric), true},
            {QStringLiteral("Gross depth 80% (%1)").arg(d), CropGrossDepth(c, true, metric), true},
            {QStringLiteral("Volume 50% (%1)").arg(v), CropVolume(c, false, metric), false},
            {QStringLiteral("Volume 80% (%1)").arg(v), CropVolume(c, true, metric), false},
        };
        for (const Row& r : rows) {
            QStringList line{c.cropName, r.name};
            for (int m = 1; m <= 13; ++m) {
                const double x = m <= 12 ? r.values[m] : SeasonTotal(r.values);
                line << (r.depth ? FarmDepthText(x, metric) : FarmVolumeText(x, metric));
            }
            crops.rows << line;
        }
    }
    out << crops;

    const FarmTextTable monthly = FarmMonthlyTable(w, metric);
    out << report::CsvTable{QStringLiteral("Farm monthly totals"), monthly.header, monthly.rows};

    report::CsvTable cap;
    cap.name = QStringLiteral("System capacity");
    if (metric)
        cap.header = {QStringLiteral("Peak month"), QStringLiteral("Capacity (l/s)"),
                      QStringLiteral("Capacity (l/s per ha)"), QStringLiteral("Irrigated area (ha)")};
    else
        cap.header = {QStringLiteral("Peak month"), QStringLiteral("Capacity (gpm)"),
                      QStringLiteral("Capacity (gpm per acre)"), QStringLiteral("Irrigated area (acres)")};
    if (w.available && w.peakMonth != 0) {
        if (metric)
            cap.rows << QStringList{FarmMonthName(w.peakMonth), Fixed(w.capacityLps, 1), Fixed(w.capacityLpsPerHa, 3),
                                    Fixed(w.areaHa, 2)};
        else
            cap.rows << QStringList{FarmMonthName(w.peakMonth), Fixed(w.capacityGpm, 0),
                                    Fixed(w.capacityGpmPerAcre, 2), Fixed(w.areaAcres, 1)};
    }
    out << cap;
    return out;
}

} // namespace quen::output
