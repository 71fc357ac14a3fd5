#include "FarmStore.h"

#include <QVariant>

#include "ComputeCrop.h"
#include "CropSetup.h"
#include "IrrigationTypes.h"
#include "db/Table.h"

namespace quen::job {

namespace {

const QString kWk = QStringLiteral("FarmWkCrop.db");
const QString kJob = QStringLiteral("FarmJob.db");
const QString kCrop = QStringLiteral("FarmCrop.db");
const QString kDefaults = QStringLiteral("FarmDefaults.db");
const QString kIrrEff = QStringLiteral("FarmIrrEff.db");
const QString kSalt = QStringLiteral("FarmCropSalt.db");

FarmCropValues ReadCropValues(TTable& t)
{
    FarmCropValues v;
    v.areaAcres = t.field(QStringLiteral("Area")).asFloat();
    v.applicationEff = t.field(QStringLiteral("Application Eff")).asFloat();
    v.ecThreshold = t.field(QStringLiteral("ECe Threshold")).asFloat();
    return v;
}

void WriteCropValues(TTable& t, const FarmCropValues& v)
{
    t.field(QStringLiteral("Area")).setAsFloat(v.areaAcres);
    t.field(QStringLiteral("AreaM")).setAsFloat(v.areaAcres * kAcresToHectares);
    t.field(QStringLiteral("Application Eff")).setAsFloat(v.applicationEff);
    t.field(QStringLiteral("ECe Threshold")).setAsFloat(v.ecThreshold);
}

// The working row of (cropName, cropNo), whatever job name it was added under
// (the working table holds the open job's crops only).
bool FindWorking(TTable& wk, const QString& cropName, int cropNo)
{
    wk.setRange({cropName}, {cropName});
    for (wk.first(); !wk.eof(); wk.next())
        if (wk.field(QStringLiteral("Crop Name")).asString() == cropName
            && wk.field(QStringLiteral("Crop No")).asInteger() == cropNo)
            return true;
    return false;
}

void DeleteRowsOfJob(TTable& t, const QString& jobName)
{
    t.setRange({jobName}, {jobName});
    t.first();
    while (!t.eof()) {
        if (t.field(QStringLiteral("Job Name")).asString() == jobName)
            t.remove();
        else
            t.next();
    }
    t.cancelRange();
}

} // namespace

FarmJobInput DefaultFarmJob()
{
    FarmJobInput f;
    TTable t(kDefaults);
    t.open();
    t.first();
    if (!t.eof()) {
        if (!t.field(QStringLiteral("Conveyance Eff")).isNull())
            f.conveyanceEff = t.field(QStringLiteral("Conveyance Eff")).asFloat();
        if (!t.field(QStringLiteral("Hours Per Day")).isNull())
            f.hoursPerDay = t.field(QStringLiteral("Hours Per Day")).asFloat();
        if (!t.field(QStringLiteral("ECw")).isNull())
            f.ecw = t.field(QStringLiteral("ECw")).asFloat();
    }
    t.close();
    return f;
}

void SetDefaultFarmJob(const FarmJobInput& f)
{
    TTable t(kDefaults);
    t.open();
    t.first();
    if (t.eof())
        t.append();
    else
        t.edit();
    t.field(QStringLiteral("Conveyance Eff")).setAsFloat(f.conveyanceEff);
    t.field(QStringLiteral("Hours Per Day")).setAsFloat(f.hoursPerDay);
    t.field(QStringLiteral("ECw")).setAsFloat(f.ecw);
    t.post();
    t.close();
}

const QStringList& FarmIrrigationTypes()
{
    static const QStringList types = [] {
        QStringList t;
        for (const QString& type : mainprog::CropDialogIrrigationTypes())
            if (CanonicalIrrigationType(type) != QLatin1String("Rain"))
                t << type;
        return t;
    }();
    return types;
}

double DefaultApplicationEff(const QString& irrigationType)
{
    const QString wanted = CanonicalIrrigationType(irrigationType);
    double ea = 0.0;
    TTable t(kIrrEff);
    t.open();
    for (t.first(); !t.eof(); t.next())
        if (CanonicalIrrigationType(t.field(QStringLiteral("Irrigation Type")).asString()) == wanted) {
            ea = t.field(QStringLiteral("Application Eff")).asFloat();
            break;
        }
    t.close();
    return ea;
}

void SetDefaultApplicationEff(const QString& irrigationType, double ea)
{
    const QString wanted = CanonicalIrrigationType(irrigationType);
    TTable t(kIrrEff);
    t.open();
    bool found = false;
    for (t.first(); !t.eof() && !found; t.next())
        if (CanonicalIrrigationType(t.field(QStringLiteral("Irrigation Type")).asString()) == wanted) {
            found = true;
            break;
        }
    if (found) {
        t.edit();
    } else {
        t.append();
        t.field(QStringLiteral("Irrigation Type")).setAsString(wanted);
        t.field(QStringLiteral("Source")).setAsString(QStringLiteral("Local default"));
    }
    t.field(QStringLiteral("Application Eff")).setAsFloat(ea);
    t.post();
    t.close();
}

double CropSalinityThreshold(const QString& cropName)
{
    double ece = 0.0;
    TTable t(kSalt);
    t.open();
    if (t.findKey({cropName}) && t.field(QStringLiteral("Crop Name")).asString() == cropName)
        ece = t.field(QStringLiteral("ECe Threshold")).asFloat();
    t.close();
    return ece;
}

FarmCropValues SeededFarmCrop(const QString& cropName, const QString& irrigationType)
{
    FarmCropValues v;
    v.applicationEff = DefaultApplicationEff(irrigationType);
    v.ecThreshold = CropSalinityThreshold(cropName);
    return v;
}

FarmCropValues WorkingFarmCrop(const QString& cropName, int cropNo, const QString& irrigationType)
{
    TTable wk(kWk);
    wk.open();
    const bool found = FindWorking(wk, cropName, cropNo);
    const FarmCropValues v = found ? ReadCropValues(wk) : FarmCropValues{};
    wk.close();
    return found ? v : SeededFarmCrop(cropName, irrigationType);
}

void SetWorkingFarmCrop(const QString& cropName, const QString& jobName, int cropNo, const FarmCropValues& v)
{
    TTable wk(kWk);
    wk.open();
    if (FindWorking(wk, cropName, cropNo)) {
        wk.edit();
    } else {
        wk.cancelRange();
        wk.append();
        wk.field(QStringLiteral("Crop Name")).setAsString(cropName);
        wk.field(QStringLiteral("Job Name")).setAsString(jobName);
        wk.field(QStringLiteral("Crop No")).setAsInteger(cropNo);
    }
    WriteCropValues(wk, v);
    wk.post();
    wk.close();
}

void RemoveWorkingFarmCrop(const QString& cropName, int cropNo)
{
    TTable wk(kWk);
    wk.open();
    if (FindWorking(wk, cropName, cropNo))
        wk.remove();
    wk.close();
}

void EmptyWorkingFarmCrops()
{
    TTable wk(kWk);
    wk.emptyTable();
}

FarmJobInput SavedFarmJob(const QString& jobName)
{
    TTable t(kJob);
    t.open();
    FarmJobInput f = DefaultFarmJob();
    if (t.findKey({jobName}) && t.field(QStringLiteral("Job Name")).asString() == jobName) {
        f.conveyanceEff = t.field(QStringLiteral("Conveyance Eff")).asFloat();
        f.hoursPerDay = t.field(QStringLiteral("Hours Per Day")).asFloat();
        f.ecw = t.field(QStringLiteral("ECw")).asFloat();
    }
    t.close();
    return f;
}

std::vector<FarmCropValues> SavedFarmCrops(const QString& jobName, const QStringList& cropNames,
                                           const QStringList& irrigationTypes)
{
    std::vector<FarmCropValues> out;
    TTable t(kCrop);
    t.open();
    for (qsizetype i = 0; i < cropNames.size(); ++i) {
        const QString type = i < irrigationTypes.size() ? irrigationTypes.at(i) : QString();
        if (t.findKey({jobName, int(i + 1)}) && t.field(QStringLiteral("Job Name")).asString() == jobName
            && t.field(QStringLiteral("Crop Seq")).asInteger() == int(i + 1)
            && t.field(QStringLiteral("Crop Name")).asString() == cropNames.at(i))
            out.push_back(ReadCropValues(t));
        else
            out.push_back(SeededFarmCrop(cropNames.at(i), type));
    }
    t.close();
    return out;
}

void WriteSavedFarm(const QString& jobName, const FarmJobInput& farm,
                    const std::vector<std::pair<QString, FarmCropValues>>& crops)
{
    DeleteSavedFarm(jobName);
    TTable j(kJob);
    j.open();
    j.append();
    j.field(QStringLiteral("Job Name")).setAsString(jobName);
    j.field(QStringLiteral("Conveyance Eff")).setAsFloat(farm.conveyanceEff);
    j.field(QStringLiteral("Hours Per Day")).setAsFloat(farm.hoursPerDay);
    j.field(QStringLiteral("ECw")).setAsFloat(farm.ecw);
    j.post();
    j.close();

    TTable c(kCrop);
    c.open();
    int seq = 0;
    for (const auto& [name, values] : crops) {
        c.append();
        c.field(QStringLiteral("Job Name")).setAsString(jobName);
        c.field(QStringLiteral("Crop Seq")).setAsInteger(++seq);
        c.field(QStringLiteral("Crop Name")).setAsString(name);
        WriteCropValues(c, values);
        c.post();
    }
    c.close();
}

void DeleteSavedFarm(const QString& jobName)
{
    TTable j(kJob);
    j.open();
    DeleteRowsOfJob(j, jobName);
    j.close();
    TTable c(kCrop);
    c.open();
    DeleteRowsOfJob(c, jobName);
    c.close();
}

std::vector<std::pair<QString, FarmCropValues>> WorkingFarmCropsInOrder()
{
    std::vector<std::pair<QString, FarmCropValues>> out;
    TTable crops(QStringLiteral("QuenWkCrop.DB"));
    crops.open();
    for (crops.first(); !crops.eof(); crops.next()) {
        const QString name = crops.field(QStringLiteral("Crop Name")).asString();
        out.emplace_back(name, WorkingFarmCrop(name, crops.field(QStringLiteral("Crop No")).asInteger(),
                                               crops.field(QStringLiteral("Irrigation Type")).asString()));
    }
    crops.close();
    return out;
}

void FetchWorkingFarmCrops(const QString& jobName)
{
    EmptyWorkingFarmCrops();
    QStringList names, types;
    QList<int> numbers;
    {
        TTable crops(QStringLiteral("QuenWkCrop.DB"));
        crops.open();
        for (crops.first(); !crops.eof(); crops.next()) {
            names << crops.field(QStringLiteral("Crop Name")).asString();
            types << crops.field(QStringLiteral("Irrigation Type")).asString();
            numbers << crops.field(QStringLiteral("Crop No")).asInteger();
        }
        crops.close();
    }
    // The fetch numbers the working crops 1..n in their saved order.
    QStringList bySeq(names.size());
    QStringList typeBySeq(names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        if (numbers[i] >= 1 && numbers[i] <= names.size()) {
            bySeq[numbers[i] - 1] = names[i];
            typeBySeq[numbers[i] - 1] = types[i];
        }
    const std::vector<FarmCropValues> saved = SavedFarmCrops(jobName, bySeq, typeBySeq);
    for (qsizetype k = 0; k < bySeq.size(); ++k)
        if (!bySeq[k].isEmpty())
            SetWorkingFarmCrop(bySeq[k], jobName, int(k + 1), saved[size_t(k)]);
}

FarmCropInput FarmInputOf(const CropRunContext& ctx, const FarmCropValues& v)
{
    FarmCropInput in;
    in.cropName = ctx.CropName;
    in.areaAcres = v.areaAcres;
    in.applicationEff = v.applicationEff;
    in.ecThreshold = v.ecThreshold;
    in.netIrrReq50 = ctx.NetIrrReq50;
    in.netIrrReq80 = ctx.NetIrrReq80;
    in.peakDailyET = ctx.PeakDailyET;
    return in;
}

JobFarm ComputeWorkingFarm(CropRunContext& ctx, CropCurveState& curves, TTable& wk, const FarmJobInput& farm)
{
    JobFarm out;
    if (!wk.isOpen())
        wk.open();
    const QString currentName = wk.isEmpty() ? QString() : wk.field(QStringLiteral("Crop Name")).asString();
    const int currentNo = wk.isEmpty() ? 0 : wk.field(QStringLiteral("Crop No")).asInteger();
    std::vector<FarmCropInput> inputs;
    struct Key {
        QString name;
        int no;
        QString type;
    };
    std::vector<Key> keys;
    for (wk.first(); !wk.eof(); wk.next())
        keys.push_back({wk.field(QStringLiteral("Crop Name")).asString(), wk.field(QStringLiteral("Crop No")).asInteger(),
                        wk.field(QStringLiteral("Irrigation Type")).asString()});
    auto locate = [&](const Key& k) {
        for (wk.first(); !wk.eof(); wk.next())
            if (wk.field(QStringLiteral("Crop Name")).asString() == k.name
                && wk.field(QStringLiteral("Crop No")).asInteger() == k.no)
                return true;
        return false;
    };
    for (const Key& k : keys) {
        if (!locate(k))
            continue;
        ctx.CropName = k.name;
        ComputeCrop(ctx, curves, wk);
        inputs.push_back(FarmInputOf(ctx, WorkingFarmCrop(k.name, k.no, k.type)));
    }
    if (!currentName.isEmpty() && locate({currentName, currentNo, QString()})) {
        ctx.CropName = currentName;
        ComputeCrop(ctx, curves, wk);
    }
    out.problems = FarmInputProblems(farm, inputs);
    if (out.problems.isEmpty())
        out.water = ComputeFarmWater(farm, inputs);
    else
        out.water.job = farm;
    return out;
}

QStringList FarmSavedTables()
{
    return {kJob, kCrop};
}

} // namespace quen::job
