#include "CalcFarm.h"

#include <QHash>
#include <cmath>

#include "IrrigationTypes.h"
#include "JsonText.h"
#include "db/Table.h"

namespace quen::calc {

namespace {

using json::Months;
using json::Num;
QString JsonString(const QString& s) { return json::String(s); }

QString Texts(const QStringList& list)
{
    QStringList parts;
    for (const QString& s : list)
        parts << JsonString(s);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

// "Source" of the row whose value is v: by canonical irrigation type in
// "FarmIrrEff.db", by exact crop name in "FarmCropSalt.db"; "entered" when
// the row's value is another or there is no row.
QString EaSource(const QString& irrigationType, double ea)
{
    if (!(ea > 0.0))
        return QString();
    const QString wanted = CanonicalIrrigationType(irrigationType);
    QString source = QStringLiteral("entered");
    TTable t(QStringLiteral("FarmIrrEff.db"));
    t.open();
    for (t.first(); !t.eof(); t.next())
        if (CanonicalIrrigationType(t.field(QStringLiteral("Irrigation Type")).asString()) == wanted) {
            if (t.field(QStringLiteral("Application Eff")).asFloat() == ea)
                source = t.field(QStringLiteral("Source")).asString();
            break;
        }
    t.close();
    return source;
}

QString ThresholdSource(const QString& cropName, double ece)
{
    if (!(ece > 0.0))
        return QString();
    QString source = QStringLiteral("entered");
    TTable t(QStringLiteral("FarmCropSalt.db"));
    t.open();
    if (t.findKey({cropName}) && t.field(QStringLiteral("Crop Name")).asString() == cropName
        && t.field(QStringLiteral("ECe Threshold")).asFloat() == ece)
        source = t.field(QStringLiteral("Source")).asString();
    t.close();
    return source;
}

} // namespace

CalcFarm FarmOfCrops(const FarmJobInput& job, const std::vector<job::FarmCropValues>& values,
                     const QList<CropResult>& crops)
{
    CalcFarm out;
    for (qsizetype i = 0; i < crops.size(); ++i) {
        const job::FarmCropValues v = size_t(i) < values.size() ? values[size_t(i)] : job::FarmCropValues{};
        out.inputs.push_back(job::FarmInputOf(crops[i].ctx, v));
        out.eaSources << EaSource(crops[i].ctx.IrrigationType, v.applicationEff);
        out.thresholdSources << ThresholdSource(crops[i].ctx.CropName, v.ecThreshold);
    }
    out.problems = FarmInputProblems(job, out.inputs);
    if (out.problems.isEmpty()) {
        out.water = ComputeFarmWater(job, out.inputs);
    } else {
        out.water.job = job;
        out.notes = out.problems;
    }
    if (out.problems.isEmpty() && !out.water.available) {
        bool anyArea = false;
        for (const FarmCropInput& in : out.inputs)
            anyArea = anyArea || in.areaAcres > 0.0;
        if (!anyArea)
            out.notes << kFarmNotAvailable;
    }
    // A crop with an area and still no figures (water too saline for it).
    for (const FarmCropWater& c : out.water.crops)
        if (!c.available && c.areaAcres > 0.0)
            out.notes << QStringLiteral("%1: %2").arg(c.cropName, c.note);
    return out;
}

CalcFarm SavedJobFarm(const QString& jobName, const QList<CropResult>& crops)
{
    QStringList names, types;
    for (const CropResult& r : crops) {
        names << r.ctx.CropName;
        types << r.ctx.IrrigationType;
    }
    return FarmOfCrops(job::SavedFarmJob(jobName), job::SavedFarmCrops(jobName, names, types), crops);
}

CalcFarm WorkingJobFarm(const FarmJobInput& job, const QList<CropResult>& crops)
{
    QHash<QString, job::FarmCropValues> byName;
    for (const auto& [name, v] : job::WorkingFarmCropsInOrder())
        byName.insert(name, v);
    std::vector<job::FarmCropValues> values;
    for (const CropResult& r : crops)
        values.push_back(byName.value(r.ctx.CropName));
    return FarmOfCrops(job, values, crops);
}

QString FarmWaterJson(const CalcFarm& farm)
{
    const FarmWater& w = farm.water;
    QStringList f;
    f << QStringLiteral("\"available\":") + (w.available ? QStringLiteral("true") : QStringLiteral("false"));
    f << QStringLiteral("\"notes\":") + Texts(farm.notes);
    f << QStringLiteral("\"conveyanceEfficiency\":") + Num(w.job.conveyanceEff);
    f << QStringLiteral("\"operatingHours\":") + Num(w.job.hoursPerDay);
    f << QStringLiteral("\"waterSalinity\":") + Num(w.job.ecw);
    QStringList crops;
    for (size_t i = 0; i < farm.inputs.size(); ++i) {
        const FarmCropInput& in = farm.inputs[i];
        // The crop's figures; a farm refused as a whole has none.
        const FarmCropWater c = i < w.crops.size() ? w.crops[i] : FarmCropWater{};
        QStringList g;
        g << QStringLiteral("\"crop\":") + JsonString(in.cropName);
        g << QStringLiteral("\"available\":") + (c.available ? QStringLiteral("true") : QStringLiteral("false"));
        g << QStringLiteral("\"note\":") + JsonString(c.note);
        g << QStringLiteral("\"areaAcres\":") + Num(in.areaAcres);
        g << QStringLiteral("\"areaHa\":") + Num(in.areaAcres * kAcresToHectares);
        g << QStringLiteral("\"applicationEfficiency\":") + Num(in.applicationEff);
        g << QStringLiteral("\"applicationEfficiencySource\":") + JsonString(farm.eaSources.value(qsizetype(i)));
        g << QStringLiteral("\"salinityThreshold\":") + Num(in.ecThreshold);
        g << QStringLiteral("\"salinityThresholdSource\":") + JsonString(farm.thresholdSources.value(qsizetype(i)));
        g << QStringLiteral("\"leachingRequirement\":") + Num(c.leachingReq);
        g << QStringLiteral("\"grossDepth50In\":") + Months(c.grossDepth50In);
        g << QStringLiteral("\"grossDepth80In\":") + Months(c.grossDepth80In);
        g << QStringLiteral("\"grossDepth50Mm\":") + Months(c.grossDepth50Mm);
        g << QStringLiteral("\"grossDepth80Mm\":") + Months(c.grossDepth80Mm);
        g << QStringLiteral("\"volume50AcFt\":") + Months(c.volume50AcFt);
        g << QStringLiteral("\"volume80AcFt\":") + Months(c.volume80AcFt);
        g << QStringLiteral("\"volume50M3\":") + Months(c.volume50M3);
        g << QStringLiteral("\"volume80M3\":") + Months(c.volume80M3);
        g << QStringLiteral("\"peakGrossInPerDay\":") + Months(c.peakGrossInPerDay);
        g << QStringLiteral("\"seasonGross50In\":") + Num(c.seasonGross50In);
        g << QStringLiteral("\"seasonGross80In\":") + Num(c.seasonGross80In);
        g << QStringLiteral("\"seasonVolume50AcFt\":") + Num(c.seasonVolume50AcFt);
        g << QStringLiteral("\"seasonVolume80AcFt\":") + Num(c.seasonVolume80AcFt);
        g << QStringLiteral("\"seasonVolume50M3\":") + Num(c.seasonVolume50M3);
        g << QStringLiteral("\"seasonVolume80M3\":") + Num(c.seasonVolume80M3);
        crops << QLatin1Char('{') + g.join(QLatin1Char(',')) + QLatin1Char('}');
    }
    f << QStringLiteral("\"crops\":[") + crops.join(QLatin1Char(',')) + QLatin1Char(']');
    f << QStringLiteral("\"areaAcres\":") + Num(w.areaAcres);
    f << QStringLiteral("\"areaHa\":") + Num(w.areaHa);
    // The volume delivered to the fields in cubic metres: the crops' own.
    MonthlyValues field50M3{}, field80M3{};
    for (const FarmCropWater& c : w.crops)
        for (int m = 1; m <= 12; ++m) {
            field50M3[m] += c.volume50M3[m];
            field80M3[m] += c.volume80M3[m];
        }
    f << QStringLiteral("\"field50AcFt\":") + Months(w.field50AcFt);
    f << QStringLiteral("\"field80AcFt\":") + Months(w.field80AcFt);
    f << QStringLiteral("\"field50M3\":") + Months(field50M3);
    f << QStringLiteral("\"field80M3\":") + Months(field80M3);
    f << QStringLiteral("\"diversion50AcFt\":") + Months(w.diversion50AcFt);
    f << QStringLiteral("\"diversion80AcFt\":") + Months(w.diversion80AcFt);
    f << QStringLiteral("\"diversion50M3\":") + Months(w.diversion50M3);
    f << QStringLiteral("\"diversion80M3\":") + Months(w.diversion80M3);
    f << QStringLiteral("\"seasonDiversion50AcFt\":") + Num(w.seasonDiversion50AcFt);
    f << QStringLiteral("\"seasonDiversion80AcFt\":") + Num(w.seasonDiversion80AcFt);
    f << QStringLiteral("\"seasonDiversion50M3\":") + Num(w.seasonDiversion50M3);
    f << QStringLiteral("\"seasonDiversion80M3\":") + Num(w.seasonDiversion80M3);
    f << QStringLiteral("\"peakMonth\":") + QString::number(w.peakMonth);
    f << QStringLiteral("\"peakAcreInPerDay\":") + Num(w.peakAcreInPerDay);
    f << QStringLiteral("\"capacityGpm\":") + Num(w.capacityGpm);
    f << QStringLiteral("\"capacityGpmPerAcre\":") + Num(w.capacityGpmPerAcre);
    f << QStringLiteral("\"capacityLps\":") + Num(w.capacityLps);
    f << QStringLiteral("\"capacityLpsPerHa\":") + Num(w.capacityLpsPerHa);
    // The publications the figures follow.
    f << QStringLiteral("\"sources\":{\"grossDepth\":\"NEH Part 652 ch. 6 (gross application = net / Ea); FAO-24 Part III "
                        "(field supply with leaching)\",\"leachingRequirement\":\"FAO-29 (Ayers and Westcot 1985) eq. 7\","
                        "\"conveyance\":\"FAO-24 Part III (conveyance efficiency)\",\"capacity\":\"NEH Part 652 ch. 6 "
                        "(system capacity)\"}");
    return QLatin1Char('{') + f.join(QLatin1Char(',')) + QLatin1Char('}');
}

} // namespace quen::calc
