#include "Schema.h"

#include <QHash>

namespace quen {

int TableDef::fieldIndex(const QString& fieldName) const
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == fieldName)
            return i;
    return -1;
}

int TableDef::rowKeyField() const
{
    if (!scratch || primaryKey.size() != 1)
        return -1;
    const int i = fieldIndex(primaryKey[0]);
    return i >= 0 && fields[i].type == FieldType::Short && fields[i].required ? i : -1;
}

const IndexDef* TableDef::index(const QString& indexName) const
{
    for (const IndexDef& ix : indexes)
        if (ix.name == indexName)
            return &ix;
    return nullptr;
}

namespace {

const QStringList kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Small builder so that the table list below reads like the field tables.
struct T {
    TableDef d;
    explicit T(const char* name) { d.name = QString::fromLatin1(name); }
    T& text(const QString& n, int w, bool req = false) { d.fields.append({n, FieldType::Text, w, req}); return *this; }
    T& flt(const QString& n, bool req = false) { d.fields.append({n, FieldType::Float, 0, req}); return *this; }
    T& shrt(const QString& n, bool req = false) { d.fields.append({n, FieldType::Short, 0, req}); return *this; }
    T& logical(const QString& n, bool req = false) { d.fields.append({n, FieldType::Logical, 0, req}); return *this; }
    T& autoinc(const QString& n) { d.fields.append({n, FieldType::AutoInc, 0, false}); return *this; }
    T& memo(const QString& n, int size) { d.fields.append({n, FieldType::Memo, size, false}); return *this; }
    // Monthly group: prefix + 1..12 (+ suffix).
    T& floats12(const QString& prefix, const QString& suffix = QString())
    {
        for (int m = 1; m <= 12; ++m)
            flt(prefix + QString::number(m) + suffix);
        return *this;
    }
    T& primary(const QStringList& f, bool ci = false) { d.primaryKey = f; d.primaryCaseInsensitive = ci; return *this; }
    T& index(const QString& n, const QStringList& f, bool ci = false, bool unique = false)
    {
        d.indexes.append({n, f, ci, unique});
        return *this;
    }
    T& scratch() { d.scratch = true; return *this; }
};

QList<TableDef> buildSchema()
{
    QList<TableDef> all;

    // ---- Jobs and defaults -------------------------------------------------
    all << T("QuenJob.db")
               .text("JobName", 50).autoinc("JobNumber").text("Location", 40).text("Planner", 30)
               .text("LandUser", 40).text("ID", 10).text("Job Date", 10).text("JobClass", 10)
               .text("Weather Station", 30).flt("Elevation").shrt("No of Crops")
               .flt("EffPcpFact50").flt("EffPcpFact80").text("StationNo", 8).text("County", 25)
               .flt("Latitude").flt("Longitude").text("ETMethod", 25).shrt("ETIndex")
               .index("JobNameIndex", {"JobName"})
               .d;

    all << T("QuenJobCrop.DB")
               .autoinc("Job Crop No").text("JobName", 50).text("Crop Name", 40)
               .text("Crop Curve Type", 35).shrt("Curve Index").flt("Net Irr")
               .shrt("Plant Mo").shrt("Plant Day").shrt("Harv Mo").shrt("Harv Day")
               .flt("Carry Beg").flt("Carry End").text("Soil", 20).shrt("Wetting").shrt("Cuttings")
               .shrt("Cut1Mo").shrt("Cut1Day").shrt("CutEndMo").shrt("CutEndDay")
               .shrt("Dys Wet Developed").shrt("Dys Wet Mature").flt("Stress Factor")
               .flt("Fraction Wetted").text("Irrigation Type", 40).text("Curve Name", 40)
               .logical("Sensitive").flt("ASW").shrt("JobNumber")
               .flt("StartT").flt("StartTM").flt("EndT").flt("EndTM").shrt("EnteredGrowDays")
               .primary({"Job Crop No"})
               .index("JobNameIndex", {"JobName"}, true)
               .index("CropNameIndex", {"Crop Name", "JobName"}, true)
               .d;

    {
        T t("QuenWkCrop.DB");
        t.text("Crop Name", 40).text("Job Name", 50).shrt("Crop No").text("Crop Curve Type", 35)
            .shrt("Curve Index").flt("Net Irr").shrt("Plant Mo").shrt("Plant Day")
            .shrt("Harvest Mo").shrt("Harvest Day").flt("Carry Beg").flt("Carry End").text("Soil", 20)
            .shrt("Cuttings").shrt("Cut1Mo").shrt("Cut1Day").shrt("CutEndMo").shrt("CutEndDay")
            .flt("ETtot").flt("EP80").flt("NI80").flt("EP50").flt("NI50").text("Crop Curve", 25)
            .shrt("Dys Wet Developed").shrt("Dys Wet Mature").flt("Stress Factor").flt("Fraction Wetted")
            .text("Irrigation Type", 40).shrt("ET Index").flt("Wetting");
        for (const QString& m : kMonths) t.flt("IR " + m);
        for (const QString& m : kMonths) t.flt("Pk " + m);
        t.flt("IR Season").text("Beg Dat", 6).text("End Dat", 6).text("Curve Name", 40)
            .logical("Hay").logical("Sensitive").flt("ASW").shrt("JobNumber")
            .flt("StartT").flt("StartTM").flt("EndT").flt("EndTM").shrt("EnteredGrowDays")
            .primary({"Crop Name", "Job Name", "Crop No"})
            .index("JobNameIndex", {"Job Name"}, true)
            .index("CropNameIndex", {"Crop Name"}, true)
            .scratch();
        all << t.d;
    }

    // "ET Method" is 6 wide so that "FAONEH" and "ANYFAO" are stored whole.
    all << T("SystemDefaults.db")
               .text("ET Method", 6).flt("Spring Carryover %").flt("Fall Carryover %")
               .logical("Elevation Correction").text("Password", 25).shrt("Peak ET Method")
               .d;

    {
        T t("LocalDefaults.db");
        t.flt("Net Depth of Irrigation").text("Type of Irrigation", 40).text("Surface Soil Type", 15)
            .shrt("Days Wettings Develop").shrt("Days Wettings Mature")
            .shrt("Hay 1st Cut Mo").shrt("Hay 1st Cut Day").shrt("Hay Last Cut Mo").shrt("Hay Last Cut Day")
            .shrt("Hay Cuttings Number").flt("Stress Factor").logical("Sensitive").flt("ASW")
            .text("StationLoc", 20).text("StationType", 30).flt("StationHeight")
            .floats12("Cor").logical("MetricUnits").text("WHRLocation", 40).floats12("N")
            .text("WettingDays", 6).text("ETo", 6).text("App", 6).text("Fw", 6).text("U2", 6)
            .text("RHMin", 6).text("SText", 5).flt("U2in").flt("Appin").flt("EToin");
        all << t.d;
    }

    // Options beyond the original program, each in a table of its own (added
    // with schema version 2): FAO-56 eq. 62 / 65 adjustment of a FAO-56
    // curve's Kc mid and Kc end to the station's climate.
    all << T("FAO56KcClimate.db").logical("Adjust To Station").d;
    // Schema version 5: the dew point of a well-watered site (FAO-56 eq. 48)
    // in place of the station's humidity in Penman-Monteith; no row (off)
    // until the planner turns it on.
    all << T("FAO56DewPoint.db").logical("Dew Point At Tmin").d;

    // The farm's water (schema version 3): irrigated area and application
    // efficiency of each crop, conveyance efficiency, operating hours and
    // irrigation-water salinity of the job. "Area" in acres, "AreaM" in
    // hectares; efficiencies as fractions; salinities in dS/m. A saved crop's
    // row is found by its place among the job's saved crops ("Crop Seq", 1..n
    // in the order of "Job Crop No"), checked by its name.
    all << T("FarmJob.db")
               .text("Job Name", 50).flt("Conveyance Eff").flt("Hours Per Day").flt("ECw")
               .primary({"Job Name"})
               .d;
    all << T("FarmCrop.db")
               .text("Job Name", 50).shrt("Crop Seq").text("Crop Name", 40).flt("Area").flt("AreaM")
               .flt("Application Eff").flt("ECe Threshold")
               .primary({"Job Name", "Crop Seq"})
               .d;
    // The farm values of the crops of the open job, keyed as "QuenWkCrop.DB".
    all << T("FarmWkCrop.db")
               .text("Crop Name", 40).text("Job Name", 50).shrt("Crop No").flt("Area").flt("AreaM")
               .flt("Application Eff").flt("ECe Threshold")
               .primary({"Crop Name", "Job Name", "Crop No"})
               .scratch()
               .d;
    // Local defaults of a new job's farm values (one row).
    all << T("FarmDefaults.db").flt("Conveyance Eff").flt("Hours Per Day").flt("ECw").d;
    // Application efficiency by type of irrigation (shipped, editable in the
    // local defaults) and the salinity threshold of each crop (shipped).
    all << T("FarmIrrEff.db")
               .text("Irrigation Type", 40).flt("Application Eff").text("Source", 80)
               .primary({"Irrigation Type"})
               .d;
    all << T("FarmCropSalt.db")
               .text("Crop Name", 40).flt("ECe Threshold").text("Source", 80)
               .primary({"Crop Name"})
               .d;

    // The daily soil-water balance (schema version 4). The daily weather of
    // a station as imported: one row per day, the station keyed as in
    // "Climate.DB", "Date" YYYY-MM-DD; degrees C, MJ/m2/day, hours, percent,
    // kPa, m/s at "Wind Height" m and mm; an empty field is a missing value.
    all << T("DailyWeather.db")
               .text("Station Name", 35).text("Station No", 8).text("Date", 10)
               .flt("Tmax").flt("Tmin").flt("Rs").flt("Sunshine").flt("RHmax").flt("RHmin")
               .flt("Tdew").flt("Ea").flt("Wind").flt("Wind Height").flt("Rain")
               .primary({"Station Name", "Station No", "Date"})
               .d;
    // One row per station with daily weather: where it came from and what it
    // holds ("Days" a number: a record of a century and more outgrows a short).
    all << T("DailyWeatherSet.db")
               .text("Station Name", 35).text("Station No", 8).text("Source File", 120).text("Format", 12)
               .text("Imported", 23).flt("Days").text("First Date", 10).text("Last Date", 10)
               .flt("Wind Height").logical("Coastal")
               .primary({"Station Name", "Station No"})
               .d;
    // Shipped: the FAO-56 crop terms of each crop record ("Crop Name" a "Cop
    // Name" of "QuenCrop.DB") and the soil water of the soils of the crop
    // inputs (data/SOURCES.md).
    all << T("FAO56CropDaily.db")
               .text("Crop Name", 40).flt("Root Depth M").flt("Root Depth Min M").flt("Root Depth Max M")
               .flt("P").flt("Max Height M").flt("Kcb Ini").flt("Kcb Mid").flt("Kcb End").text("Source", 200)
               .primary({"Crop Name"})
               .d;
    all << T("FAO56SoilWater.db")
               .text("Soil", 20).flt("ThetaFC").flt("ThetaWP").flt("REW").text("Source", 80)
               .primary({"Soil"})
               .d;

    // ---- Climate and computation reference tables --------------------------
    all << T("Climate.DB")
               .text("Station Name", 35).text("County", 25).text("Station No", 8).autoinc("TP Site No")
               .text("WHRLocation", 40).flt("Latitude").flt("Longitude").flt("Elevation")
               .text("Spr mo/dy 28", 6).text("Spr mo/dy 32", 6).text("Fall mo/dy 28", 6).text("Fall mo/dy 32", 6)
               .floats12("T").floats12("P").logical("Marked").floats12("Tmin").floats12("Tmax")
               .flt("ElevationM").floats12("Tm").floats12("TminM").floats12("TmaxM").floats12("Pm")
               .primary({"Station Name", "Station No"})
               .index("StaNumberIndex", {"Station No"}, true)
               .index("CountyIndex", {"County"}, true)
               .index("StaNameIndex", {"Station Name"}, true, true)
               .d;

    all << T("ClimWHR.DB")
               .text("WHRLocation", 40).floats12("RHmin").floats12("RHmax").floats12("Cor")
               .floats12("U2").floats12("Rs").memo("Site Description/Notes", 160).autoinc("Site Number")
               .logical("Marked").floats12("Rsm").floats12("U2m").floats12("As")
               .text("StationType", 30).flt("StationHeight").text("StationLoc", 20)
               .flt("Latitude").flt("Longitude").floats12("N").floats12("Bs")
               .primary({"WHRLocation"})
               .index("Location Name", {"WHRLocation"}, true)
               .d;

    all << T("County.db").text("County", 25).primary({"County"}).d;

    all << T("StationList.db").autoinc("StaIndex").text("StationName", 35).text("StationNo", 8).scratch().d;

    all << T("DownloadCounty.DB").autoinc("Index").text("CountyName", 40).scratch().d;

    all << T("PcpChance.DB").flt("AnPcp").flt("Pct50").flt("Pct80").index("AnPrecip", {"AnPcp"}).d;

    {
        T t("MoPctDay.db");
        t.shrt("Latitude N");
        for (const QString& m : kMonths) t.flt(m);
        t.index("LatitudeIndex", {"Latitude N"});
        all << t.d;
    }

    all << T("WetSoil.db")
               .shrt("Interval Days").flt("Clay").flt("Clay Loam").flt("Silt Loam").flt("Sandy Loam")
               .flt("Loamy Sand").flt("Sand")
               .index("IntervalDaysIndex", {"Interval Days"})
               .d;

    all << T("ETKc.db")
               .shrt("JDate", true).flt("Kca").flt("Kcb").flt("ETo").flt("ETc").shrt("Mo").flt("EToM").flt("ETcM")
               .primary({"JDate"})
               .scratch()
               .d;

    // ---- Crop tables ---------------------------------------------------------
    all << T("CrpAnNam.DB")
               .text("Crop Curve Name", 30).text("Crop Type", 30).text("Climate/Wind", 2)
               .flt("Kcb").flt("Kcp").flt("Kcm").logical("Marked").memo("Notes", 120)
               .primary({"Crop Curve Name"})
               .index("Crop Type", {"Crop Type"})
               .index("CropType", {"Crop Type"}, true)
               .index("HWIndex", {"Climate/Wind"}, true)
               .index("Crop Curve Name", {"Crop Curve Name"})
               .d;

    {
        // The required fields refuse a post while empty.
        T t("CrpPeren.DB");
        t.text("Crop Curve Name", 48, true).text("Humidity/Wind", 2, true)
            .text("Ground Cover", 30).text("Growing Conditions", 30);
        for (int m = 0; m < 12; ++m)
            t.flt(kMonths[m] + " Kc", m >= 3 && m <= 7);   // "Apr Kc" .. "Aug Kc"
        t.memo("Notes", 120).logical("Marked", true)
            .index("HWIndex", {"Humidity/Wind"})
            .index("CropCurveName", {"Crop Curve Name"});
        all << t.d;
    }

    all << T("CrpForag.DB")
               .text("Crop Curve Name", 30).text("Climate/Wind", 2).shrt("Pk % After Harvest (Alf)")
               .shrt("Pk Days Before Harvest").flt("Low Kc").flt("High Kc").memo("Notes", 120)
               .logical("Marked").logical("Hay").shrt("Pk Days After Harvest")
               .primary({"Crop Curve Name"})
               .index("CropCurveName", {"Crop Curve Name"}, true)
               .index("HWIndex", {"Climate/Wind"}, true)
               .d;

    {
        T t("CrpBCAnu.DB");
        t.text("Crop Curve Name", 30);
        for (const char* n : {"0% Kc", "5% Kc", "10% Kc", "15% Kc", "20% Kc", "25% Kc", "30% Kc",
                              "35 % Kc", "40% Kc", "45% Kc", "50% Kc", "55% Kc", "60% Kc", "65% Kc",
                              "70% Kc", "75% Kc", "80% Kc", "85% Kc", "90% Kc", "95 % Kc", "100%Kc"})
            t.flt(QString::fromLatin1(n));
        t.logical("Marked")
            .primary({"Crop Curve Name"})
            .index("CropCurveName", {"Crop Curve Name"}, true);
        all << t.d;
    }

    {
        T t("CrpBCPer.DB");
        t.text("Crop Curve Name", 30);
        for (const QString& m : kMonths) {
            t.flt(m + " 1 Kc");
            t.flt(m + " 15 Kc");
        }
        t.flt("Dec 31 Kc").logical("Marked")
            .primary({"Crop Curve Name"})
            .index("CropCurveName", {"Crop Curve Name"}, true);
        all << t.d;
    }

    all << T("QuenCrop.DB")
               .text("Cop Name", 40).text("Bas Crop Type", 30).text("Humidity/Wind", 2)
               .text("Bas Crop Curve Name", 40).text("BC Crop Type", 30).text("BC Crop Curve Name", 30)
               .text("FAOCropType", 30).text("FAOCropCurveName", 70)
               .shrt("Plant Mo").shrt("Plant Day").shrt("Harvest Mo").shrt("Harvest Day")
               .shrt("Min Grow Days").shrt("Max Grow Days")
               .flt("SpringAvTemp").flt("SpringAvTempM").flt("FallAvTemp").flt("FallAvTempM")
               .memo("Notes", 120).logical("Marked")
               .index("CropNameIndex", {"Cop Name"})
               .d;

    all << T("CrpAnTyp.db")
               .text("Crop Type", 30).flt("Fs1").flt("Fs2").flt("Fs3").shrt("DaysMin").shrt("DaysMax")
               .index("CropTypeIndex", {"Crop Type"})
               .d;

    all << T("CrpFAOCurv.DB")
               .text("CropCurveName", 70).flt("Kcb").flt("Kcp").flt("Kcm").flt("Fs1").flt("Fs2").flt("Fs3")
               .flt("Kcini").flt("Kcmid").flt("Kcend").flt("MaxHeightM").flt("MaxHeightF")
               .flt("DaysMin").flt("DaysMax").flt("U2").flt("RHMin").logical("Marked")
               .text("NEH2CropType", 50).text("FAOCropName", 70).flt("WettingDays").flt("ETo")
               .flt("App").flt("Fw").text("SText", 5).logical("UseFAO5612").text("FAOCropType", 30)
               .flt("EToin").flt("Appin").flt("U2in")
               .primary({"CropCurveName"})
               .index("CropCurveName1", {"CropCurveName"}, true)
               .d;

    all << T("CrpFAO56Tbl.db")
               .text("CropName", 70).text("CropDescrip", 65).flt("Kcini").flt("Kcmid").flt("Kcend")
               .flt("MaxHeightM").flt("MaxHeightF")
               .d;

    all << T("crpFAOTbl11.db")
               .text("CropName", 50).text("Region", 30).text("PlantDate", 20).flt("Lini").flt("Ldev")
               .flt("Lmid").flt("Llate").flt("TotalDays").flt("MinDays").flt("MaxDays")
               .flt("Fs1").flt("Fs2").flt("Fs3")
               .d;

    all << T("CrpLastUse.db")
               .text("Record Name", 10).text("Basil Curve Name", 40).text("BC Curve Name", 30)
               .text("FAOCurveName", 70).shrt("Humidity/Wind Index").shrt("Basil Type Index")
               .shrt("BC Type Index")
               .d;

    // ---- Bar report ------------------------------------------------------------
    // One shipped row so that the bar report's detail band prints once; its
    // field is not read.
    all << T("Report.db").shrt("ReportNo").d;

    return all;
}

} // namespace

const QList<TableDef>& schemaTables()
{
    static const QList<TableDef> tables = buildSchema();
    return tables;
}

QString tableBaseName(const QString& tableName)
{
    QString n = tableName.trimmed();
    if (n.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        n.chop(3);
    return n;
}

const TableDef* findTableDef(const QString& tableName)
{
    static const QHash<QString, const TableDef*> byBase = [] {
        QHash<QString, const TableDef*> h;
        for (const TableDef& t : schemaTables())
            h.insert(tableBaseName(t.name), &t);
        return h;
    }();
    return byBase.value(tableBaseName(tableName), nullptr);
}

QString normalizeEtMethodCode(const QString& stored)
{
    const QString s = stored.trimmed();
    if (s.compare(QLatin1String("FAONE"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("FAONEH");
    if (s.compare(QLatin1String("ANYFA"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("ANYFAO");
    return s;
}

bool etMethodCodeIs(const QString& stored, const QString& fullCode)
{
    return normalizeEtMethodCode(stored).compare(fullCode.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace quen
