#include "FarmWater.h"

#include <algorithm>
#include <cmath>

namespace quen {

namespace {

// 10 000 l per mm on a hectare, over 3 600 s an hour.
constexpr double kLpsPerHaMmHour = 10000.0 / 3600.0;

bool Fraction(double v) { return std::isfinite(v) && v > 0.0 && v <= 1.0; }

QString CropPart(const FarmCropInput& c) { return QStringLiteral(" of ") + c.cropName; }

} // namespace

double LeachingRequirement(double ecw, double ecThreshold)
{
    if (!(ecw > 0.0) || !(ecThreshold > 0.0))
        return 0.0;
    const double den = 5.0 * ecThreshold - ecw;
    // ECw at or above 5 ECe: the equation has no positive value; no leaching
    // fraction keeps the threshold.
    if (den <= 0.0)
        return 1.0;
    return std::min(1.0, ecw / den);
}

double CapacityGpm(double areaAcres, double grossDepthIn, double days, double hoursPerDay)
{
    if (!(days > 0.0) || !(hoursPerDay > 0.0))
        return 0.0;
    return 453.0 * areaAcres * grossDepthIn / (days * hoursPerDay);
}

double CapacityLps(double areaHa, double grossDepthMm, double days, double hoursPerDay)
{
    if (!(days > 0.0) || !(hoursPerDay > 0.0))
        return 0.0;
    return kLpsPerHaMmHour * areaHa * grossDepthMm / (days * hoursPerDay);
}

QStringList FarmInputProblems(const FarmJobInput& job, const std::vector<FarmCropInput>& crops)
{
    QStringList p;
    if (!Fraction(job.conveyanceEff))
        p << QStringLiteral("Conveyance efficiency (Ec) must be above 0 and at most 1.");
    if (!std::isfinite(job.hoursPerDay) || job.hoursPerDay < 1.0 || job.hoursPerDay > 24.0)
        p << QStringLiteral("Operating hours per day must be from 1 to 24.");
    if (!std::isfinite(job.ecw) || job.ecw < 0.0)
        p << QStringLiteral("Irrigation water salinity (ECw) cannot be negative.");
    for (const FarmCropInput& c : crops) {
        if (!std::isfinite(c.areaAcres) || c.areaAcres < 0.0)
            p << QStringLiteral("Irrigated area") + CropPart(c) + QStringLiteral(" cannot be negative.");
        if (c.areaAcres > 0.0 && !Fraction(c.applicationEff))
            p << QStringLiteral("Application efficiency (Ea)") + CropPart(c)
                    + QStringLiteral(" must be above 0 and at most 1.");
    }
    return p;
}

FarmWater ComputeFarmWater(const FarmJobInput& job, const std::vector<FarmCropInput>& crops)
{
    FarmWater f;
    f.job = job;
    const bool jobUsable = Fraction(job.conveyanceEff) && job.hoursPerDay >= 1.0 && job.hoursPerDay <= 24.0;
    MonthlyValues peakSum{};   // acre-in/day at the fields
    for (const FarmCropInput& in : crops) {
        FarmCropWater c;
        c.cropName = in.cropName;
        c.areaAcres = std::max(0.0, in.areaAcres);
        c.areaHa = c.areaAcres * kAcresToHectares;
        c.applicationEff = in.applicationEff;
        c.leachingReq = LeachingRequirement(job.ecw, in.ecThreshold);
        if (!(in.areaAcres > 0.0)) {
            c.note = QStringLiteral("no irrigated area");
        } else if (!Fraction(in.applicationEff)) {
            c.note = QStringLiteral("no application efficiency");
        } else if (c.leachingReq >= 1.0) {
            c.note = QStringLiteral("ECw %1 dS/m is too saline for the crop's threshold ECe %2 dS/m (FAO-29)")
                         .arg(job.ecw)
                         .arg(in.ecThreshold);
        } else if (jobUsable) {
            c.available = true;
        }
        if (c.available) {
            // FAO-29: the applied water is ET / (1 - LR); the field loses 1 - Ea of it.
            const double divisor = in.applicationEff * (1.0 - c.leachingReq);
            for (int m = 1; m <= 12; ++m) {
                const double g50 = std::max(0.0, in.netIrrReq50[m]) / divisor;
                const double g80 = std::max(0.0, in.netIrrReq80[m]) / divisor;
                c.grossDepth50In[m] = g50;
                c.grossDepth80In[m] = g80;
                c.grossDepth50Mm[m] = g50 * kInchesToMm;
                c.grossDepth80Mm[m] = g80 * kInchesToMm;
                c.volume50AcFt[m] = g50 * c.areaAcres / 12.0;
                c.volume80AcFt[m] = g80 * c.areaAcres / 12.0;
                c.volume50M3[m] = c.grossDepth50Mm[m] * c.areaHa * 10.0;
                c.volume80M3[m] = c.grossDepth80Mm[m] * c.areaHa * 10.0;
                c.peakGrossInPerDay[m] = std::max(0.0, in.peakDailyET[m]) / divisor;
                c.seasonGross50In += g50;
                c.seasonGross80In += g80;
                c.seasonVolume50AcFt += c.volume50AcFt[m];
                c.seasonVolume80AcFt += c.volume80AcFt[m];
                c.seasonVolume50M3 += c.volume50M3[m];
                c.seasonVolume80M3 += c.volume80M3[m];
                f.field50AcFt[m] += c.volume50AcFt[m];
                f.field80AcFt[m] += c.volume80AcFt[m];
                f.diversion50M3[m] += c.volume50M3[m];
                f.diversion80M3[m] += c.volume80M3[m];
                peakSum[m] += c.areaAcres * c.peakGrossInPerDay[m];
            }
            f.areaAcres += c.areaAcres;
            f.areaHa += c.areaHa;
            f.available = true;
        }
        f.crops.push_back(c);
    }
    if (!f.available)
        return f;

    for (int m = 1; m <= 12; ++m) {
        f.diversion50AcFt[m] = f.field50AcFt[m] / job.conveyanceEff;
        f.diversion80AcFt[m] = f.field80AcFt[m] / job.conveyanceEff;
        f.diversion50M3[m] /= job.conveyanceEff;
        f.diversion80M3[m] /= job.conveyanceEff;
        f.seasonDiversion50AcFt += f.diversion50AcFt[m];
        f.seasonDiversion80AcFt += f.diversion80AcFt[m];
        f.seasonDiversion50M3 += f.diversion50M3[m];
        f.seasonDiversion80M3 += f.diversion80M3[m];
        if (peakSum[m] > f.peakAcreInPerDay) {
            f.peakAcreInPerDay = peakSum[m];
            f.peakMonth = m;
        }
    }
    if (f.peakMonth != 0) {
        // A x d summed over the crops is the farm's gross acre-inches a day;
        // the customary and metric forms each from their own units.
        double haMm = 0.0;
        for (const FarmCropWater& c : f.crops)
            if (c.available)
                haMm += c.areaHa * c.peakGrossInPerDay[f.peakMonth] * kInchesToMm;
        f.capacityGpm = CapacityGpm(1.0, f.peakAcreInPerDay, 1.0, job.hoursPerDay) / job.conveyanceEff;
        f.capacityLps = CapacityLps(1.0, haMm, 1.0, job.hoursPerDay) / job.conveyanceEff;
        f.capacityGpmPerAcre = f.capacityGpm / f.areaAcres;
        f.capacityLpsPerHa = f.capacityLps / f.areaHa;
    }
    return f;
}

} // namespace quen
