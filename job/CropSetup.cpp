#include "CropSetup.h"

#include <cmath>

#include "ComputeCrop.h"
#include "DbError.h"
#include "IrrigationTypes.h"
#include "MainDMod.h"
#include "MessageService.h"
#include "Station.h"
#include "Table.h"

namespace quen::mainprog {

namespace {

const QString kFieldVeg = QStringLiteral("Field and vegetable crops");
const QString kPerennial = QStringLiteral("Perennial and specialty crops");
const QString kGrasses = QStringLiteral("Grasses and forage legumes");
const QString kBCAnnual = QStringLiteral("Blaney Criddle Annual Crop");
const QString kBCPerennial = QStringLiteral("Blaney Criddle Perennial Crop");
const QString kFAO56 = QStringLiteral("FAO 56, Table 12 crops");

// Opens a handle for the length of one action and closes it again only when
// it was closed before.
class OpenForAction {
public:
    explicit OpenForAction(TTable& t) : m_t(t), m_wasOpen(t.isOpen())
    {
        if (!m_wasOpen) m_t.open();
    }
    ~OpenForAction()
    {
        if (!m_wasOpen && m_t.isOpen()) m_t.close();
    }
    OpenForAction(const OpenForAction&) = delete;
    OpenForAction& operator=(const OpenForAction&) = delete;

private:
    TTable& m_t;
    bool m_wasOpen;
};

} // namespace

QString CropDialogMethodText(int etMethodIndex)
{
    switch (etMethodIndex) {
    case 1: return QStringLiteral("Blaney Criddle (TR21) curves");
    case 2: return QStringLiteral("FAO Penman-Monteith, NEH2 curves");
    case 3: return QStringLiteral("FAO Penman-Monteith, FAO 56 curves");
    default: return QString();
    }
}

QString MethodShortName(int etMethodIndex)
{
    switch (etMethodIndex) {
    case 1: return QStringLiteral("TR21");
    case 2: return QStringLiteral("NEH");
    case 3: return QStringLiteral("FAO56");
    default: return QString();
    }
}

QString NoCurveMessage(int etMethodIndex)
{
    return QStringLiteral("There is no ") + MethodShortName(etMethodIndex)
        + QStringLiteral(" curve data avaialble for this crop.");
}

CropRecord CropRecord::read(TTable& crop)
{
    CropRecord r;
    auto s = [&crop](const char* f) { return crop.field(QString::fromLatin1(f)).asString(); };
    auto i = [&crop](const char* f) { return crop.field(QString::fromLatin1(f)).asInteger(); };
    auto v = [&crop](const char* f) { return crop.field(QString::fromLatin1(f)).value(); };
    r.name = s("Cop Name");
    r.basType = s("Bas Crop Type");
    r.basCurve = s("Bas Crop Curve Name");
    r.bcType = s("BC Crop Type");
    r.bcCurve = s("BC Crop Curve Name");
    r.faoCurve = s("FAOCropCurveName");
    r.plantMo = i("Plant Mo");
    r.plantDay = i("Plant Day");
    r.harvestMo = i("Harvest Mo");
    r.harvestDay = i("Harvest Day");
    r.startT = v("SpringAvTemp");
    r.startTM = v("SpringAvTempM");
    r.endT = v("FallAvTemp");
    r.endTM = v("FallAvTempM");
    return r;
}

CropGrowthDates CropGrowthDates::read(TTable& wk)
{
    auto i = [&wk](const char* f) { return wk.field(QString::fromLatin1(f)).asInteger(); };
    auto d = [&wk](const char* f) { return wk.field(QString::fromLatin1(f)).asFloat(); };
    return {i("Plant Mo"), i("Plant Day"), i("Harvest Mo"), i("Harvest Day"),
            d("StartT"), d("StartTM"), d("EndT"), d("EndTM")};
}

void CropGrowthDates::write(TTable& wk) const
{
    if (wk.state() == TTable::State::Browse) wk.edit();
    auto f = [&wk](const char* name) { return wk.field(QString::fromLatin1(name)); };
    f("Plant Mo").setAsInteger(plantMo);
    f("Plant Day").setAsInteger(plantDay);
    f("Harvest Mo").setAsInteger(harvestMo);
    f("Harvest Day").setAsInteger(harvestDay);
    f("StartT").setAsFloat(startT);
    f("StartTM").setAsFloat(startTM);
    f("EndT").setAsFloat(endT);
    f("EndTM").setAsFloat(endTM);
}

CropGrowthDates CropGrowthDates::of(const CropRunContext& ctx)
{
    return {ctx.PlantMonth, ctx.PlantDay, ctx.HarvestMonth, ctx.HarvestDay,
            ctx.BeginGrowthTemp, ctx.BeginGrowthTempC, ctx.EndGrowthTemp, ctx.EndGrowthTempC};
}

void CropGrowthDates::setDates(CropRunContext& ctx) const
{
    ctx.PlantMonth = plantMo;
    ctx.PlantDay = plantDay;
    ctx.HarvestMonth = harvestMo;
    ctx.HarvestDay = harvestDay;
}

void CropGrowthDates::setTemperatures(CropRunContext& ctx) const
{
    ctx.BeginGrowthTemp = startT;
    ctx.BeginGrowthTempC = startTM;
    ctx.EndGrowthTemp = endT;
    ctx.EndGrowthTempC = endTM;
}

StationFrostDates ReadSiteGrowthData(CropRunContext& ctx)
{
    const StationRecord station = ReadStation(ctx.WeatherStationName);
    if (station.present)
        for (int m = 1; m <= 12; ++m) ctx.MonthlyTemp[m] = station.temp[m];
    return station.frost;
}

bool TooWarmForGrowthDates(const StationFrostDates& frost)
{
    return frost.spring28 == QLatin1String("00/00") || frost.spring32 == QLatin1String("00/00");
}

bool ForageCurveIsHay(const QString& curveName)
{
    TTable forage(QStringLiteral("CrpForag.DB"));
    forage.setIndexName(QStringLiteral("CropCurveName"));
    forage.open();
    forage.findNearest({curveName});
    const bool hay = !forage.isEmpty() && forage.field(QStringLiteral("Hay")).asBoolean();
    forage.close();
    return hay;
}

bool CurveTakesWettingInputs(int curveIndex)
{
    return !(curveIndex == 3 || curveIndex == 4 || curveIndex == 5);
}

CurveChoice ChooseCropCurve(int etMethodIndex, const CropRecord& crop)
{
    CurveChoice c;
    switch (etMethodIndex) {
    case 3:
        if (crop.faoCurve.isEmpty()) return c;
        c = {true, 5, crop.faoCurve, kFAO56, 0};
        return c;
    case 2:
        if (crop.basCurve.isEmpty()) return c;
        c.available = true;
        c.cropKind = 1;
        // A basal crop type none of the three texts: the row gets no curve.
        if (crop.basType == kFieldVeg) c.curveIndex = 0;
        else if (crop.basType == kPerennial) c.curveIndex = 1;
        else if (crop.basType == kGrasses) c.curveIndex = 2;
        if (c.curveIndex >= 0) {
            c.curveName = crop.basCurve;
            c.curveType = crop.basType;
        }
        return c;
    case 1:
        if (crop.bcCurve.isEmpty()) return c;
        if (crop.bcType == kBCAnnual) c = {true, 3, crop.bcCurve, kBCAnnual, 2};
        else c = {true, 4, crop.bcCurve, kBCPerennial, 2};
        return c;
    default:
        return c;
    }
}

void SeedWorkingCrop(CropRunContext& ctx, JobState& job, TTable& wk, const CropRecord& crop, TTable& locDef,
                     TTable& sysDef, const CurveChoice& curve)
{
    auto set = [&wk](const char* f, const QVariant& v) { wk.field(QString::fromLatin1(f)).setValue(v); };
    auto copyLoc = [&](const char* to, const char* from) {
        if (!locDef.isEmpty()) set(to, locDef.field(QString::fromLatin1(from)).value());
    };

    ctx.CropName = crop.name;
    set("Job Name", ctx.JobName);
    set("Crop Name", crop.name);
    copyLoc("Net Irr", "Net Depth of Irrigation");
    set("Plant Mo", crop.plantMo);
    set("Plant Day", crop.plantDay);
    set("Harvest Mo", crop.harvestMo);
    set("Harvest Day", crop.harvestDay);

    set("StartT", crop.startT);
    set("StartTM", crop.startTM);
    set("EndT", crop.endT);
    set("EndTM", crop.endTM);
    ctx.BeginGrowthTemp = crop.startT.toDouble();
    ctx.BeginGrowthTempC = crop.startTM.toDouble();
    ctx.EndGrowthTemp = crop.endT.toDouble();
    ctx.EndGrowthTempC = crop.endTM.toDouble();

    const double netDepth = locDef.isEmpty() ? 0.0 : locDef.field(QStringLiteral("Net Depth of Irrigation")).asFloat();
    const double springPct = sysDef.isEmpty() ? 0.0 : sysDef.field(QStringLiteral("Spring Carryover %")).asFloat();
    const double fallPct = sysDef.isEmpty() ? 0.0 : sysDef.field(QStringLiteral("Fall Carryover %")).asFloat();
    set("Carry Beg", netDepth * springPct * 0.01);
    set("Carry End", netDepth * fallPct * 0.01);

    copyLoc("Soil", "Surface Soil Type");
    copyLoc("Dys Wet Developed", "Days Wettings Develop");
    copyLoc("Dys Wet Mature", "Days Wettings Mature");
    copyLoc("Cuttings", "Hay Cuttings Number");
    copyLoc("Cut1Mo", "Hay 1st Cut Mo");
    copyLoc("Cut1Day", "Hay 1st Cut Day");
    copyLoc("CutEndMo", "Hay Last Cut Mo");
    copyLoc("CutEndDay", "Hay Last Cut Day");
    copyLoc("Irrigation Type", "Type of Irrigation");
    copyLoc("Stress Factor", "Stress Factor");
    copyLoc("ASW", "ASW");
    set("Sensitive", !locDef.isEmpty() && locDef.field(QStringLiteral("Sensitive")).asBoolean());
    set("ET Index", ctx.ETMethodIndex);
    // Every spelling of a type in the program's lists wets the same fraction.
    set("Fraction Wetted", FractionWettedForIrrigationType(wk.field(QStringLiteral("Irrigation Type")).asString()));

    job.CropCounter += 1;
    set("Crop No", job.CropCounter);

    if (curve.curveIndex >= 0) {
        set("Curve Index", curve.curveIndex);
        set("Curve Name", curve.curveName);
        set("Crop Curve Type", curve.curveType);
        job.JobCurveIndex = curve.curveIndex;
    }
}

AddCropResult AddWorkingCrop(CropRunContext& ctx, JobState& job, TDMod& dm)
{
    TTable& crops = *dm.tblCreateCrp;
    TTable& wk = *dm.tblQuenWkCrop;
    if (!crops.isOpen()) crops.open();
    const CropRecord record = CropRecord::read(crops);
    ctx.CropName = record.name;

    // 2: one working crop per crop name.
    wk.close();
    wk.setIndexName(QStringLiteral("CropNameIndex"));
    wk.open();
    if (wk.findKey({record.name})) {
        showError(kCropAlreadyIncluded);
        crops.close();
        return AddCropResult::AlreadyIncluded;
    }

    // 3: the curve of the job's method.
    const CurveChoice curve = ChooseCropCurve(ctx.ETMethodIndex, record);
    if (!curve.available) {
        showError(NoCurveMessage(ctx.ETMethodIndex));
        crops.setFiltered(false);
        crops.close();
        return AddCropResult::NoCurve;
    }

    // 4: from now on the crop list offers only crops with a curve of this kind.
    dm.CropKindSelector = curve.cropKind;
    crops.setFiltered(true);
    crops.locate(QStringLiteral("Cop Name"), record.name);

    OpenForAction loc(*dm.tblLocDef), sys(*dm.tblSysDef);
    wk.append();
    SeedWorkingCrop(ctx, job, wk, record, *dm.tblLocDef, *dm.tblSysDef, curve);

    crops.close();
    return AddCropResult::Added;
}

StoredCropInputs StoreAndComputeCrop(CropRunContext& ctx, CropCurveState& curves, TTable& wk,
                                     const CropInputs& inputs)
{
    StoredCropInputs stored;
    if (wk.state() == TTable::State::Browse) wk.edit();
    auto f = [&wk](const char* name) { return wk.field(QString::fromLatin1(name)); };
    for (const CropInputEntry& e : inputs.changed) {
        TField field = wk.field(e.field);
        if (e.value.isNull()) field.clear();
        else if (e.value.typeId() == QMetaType::Int) field.setAsInteger(e.value.toInt());
        else field.setAsFloat(e.value.toDouble());
    }
    f("Sensitive").setAsBoolean(inputs.sensitive);
    ctx.Soil = inputs.soil;
    f("Soil").setAsString(ctx.Soil);
    ctx.IrrigationType = inputs.irrigationType;
    f("Irrigation Type").setAsString(inputs.irrigationType);
    f("Beg Dat").setAsString(f("Plant Mo").asString() + QLatin1Char('/') + f("Plant Day").asString());
    f("End Dat").setAsString(f("Harvest Mo").asString() + QLatin1Char('/') + f("Harvest Day").asString());
    try {
        wk.post();
    } catch (const DbError& e) {
        stored.error = e.message();
        return stored;
    }
    stored.posted = true;
    try {
        ComputeCrop(ctx, curves, wk);
        stored.computed = true;
    } catch (const DbError& e) {
        stored.error = e.message();
    }
    return stored;
}

int MaxDayOfMonth(int month)
{
    static constexpr int kMax[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month >= 1 && month <= 12 ? kMax[month] : 0;
}

MonthDayCheck CheckMonthDay(int month, int day)
{
    const int max = MaxDayOfMonth(month);
    if (max == 0) return {false, day};
    if (day > max) return {false, max};
    return {true, day};
}

QString MonthMaxMessage(int month, int day)
{
    return QStringLiteral("Month number ") + QString::number(month) + QStringLiteral(" has maximum of ")
        + QString::number(day) + QStringLiteral(" days.");
}

double StressFromASW(double asw, bool sensitive)
{
    if (sensitive) return asw >= 50 ? 1.0 : asw * 0.02;
    return asw >= 25 ? 1.0 : asw * 0.04;
}

double ASWFromStress(double ks, bool sensitive)
{
    if (sensitive) return ks >= 1 ? 50.0 : ks * 50;
    return ks >= 1 ? 25.0 : ks * 25;
}

const QStringList& CropDialogIrrigationTypes()
{
    static const QStringList kTypes = {
        QStringLiteral("Rain"),
        QStringLiteral("Spinklers- above canopy"),
        QStringLiteral("Borders and basin irrigation"),
        QStringLiteral("Furrow- Large application depth"),
        QStringLiteral("Furrow- Small application depth"),
        QStringLiteral("Furrow- Every other row irrigated"),
        QStringLiteral("Trickle irrigation"),
        QStringLiteral("LEPA systems (every other row)"),
    };
    return kTypes;
}

double CropDialogFractionWetted(int itemIndex)
{
    static constexpr double kFw[8] = {1.0, 1.0, 1.0, 1.0, 0.5, 0.5, 0.25, 0.5};
    return itemIndex >= 0 && itemIndex < 8 ? kFw[itemIndex] : 1.0;
}

const QStringList& SoilTypes()
{
    static const QStringList kSoils = {QStringLiteral("Clay"), QStringLiteral("Clay Loam"),
                                       QStringLiteral("Silt Loam"), QStringLiteral("Sandy Loam"),
                                       QStringLiteral("Loamy Sand"), QStringLiteral("Sand")};
    return kSoils;
}

const QStringList& LocalDefaultIrrigationTypes()
{
    static const QStringList kTypes = {
        QStringLiteral("Rain"),
        QStringLiteral("Sprinklers- above canopy"),
        QStringLiteral("Borders and basin irrigation"),
        QStringLiteral("Furrows- Large application depth"),
        QStringLiteral("Furrows- Small application depth"),
        QStringLiteral("Furrows- Every other row irrigated"),
        QStringLiteral("Trickle irrigation"),
        QStringLiteral("LEPA systems (every other row)"),
    };
    return kTypes;
}

bool PasswordAccepted(const QString& entry, const QString& stored)
{
    // The built-in password, kept out of the program's plain strings.
    static const char kBuiltIn[] = {'M' ^ 0x21, 'a' ^ 0x21, 'r' ^ 0x21, 'l' ^ 0x21,
                                    'o' ^ 0x21, 'Q' ^ 0x21, 'T' ^ 0x21, 'Z' ^ 0x21};
    QString builtIn;
    for (char c : kBuiltIn) builtIn += QChar(c ^ 0x21);
    return entry == stored || entry == builtIn;
}

QString TwinText(double value, int decimals)
{
    // Fixed notation with 8 significant digits, then the decimals asked for.
    if (value != 0 && std::isfinite(value)) {
        const int magnitude = int(std::floor(std::log10(std::fabs(value)))) + 1;
        const double scale = std::pow(10.0, 8 - magnitude);
        value = std::round(value * scale) / scale;
    }
    return QString::number(value, 'f', decimals);
}

} // namespace quen::mainprog
