#include "JobFile.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "ComputeCrop.h"
#include "CropInputLimits.h"
#include "CropSetup.h"
#include "EtMethod.h"
#include "FarmStore.h"
#include "IrrigationTypes.h"
#include "JobStore.h"
#include "ReferenceET.h"
#include "StationPlaces.h"
#include "db/Database.h"
#include "db/Schema.h"
#include "db/Table.h"

namespace quen::job {

namespace {

using mainprog::CropRecord;
using mainprog::CurveChoice;

// ---- Field captions -----------------------------------------------------------

// The caption each field of the file has in the windows (or, where no window
// shows it, the table field it is stored in).
QString Caption(const QString& key)
{
    static const QHash<QString, QString> kCaptions = {
        {QStringLiteral("name"), QStringLiteral("Job Name")},
        {QStringLiteral("location"), QStringLiteral("Job Location")},
        {QStringLiteral("planner"), QStringLiteral("Planner")},
        {QStringLiteral("date"), QStringLiteral("Date")},
        {QStringLiteral("landUser"), QStringLiteral("Land User")},
        {QStringLiteral("id"), QStringLiteral("ID")},
        {QStringLiteral("jobClass"), QStringLiteral("Job Class")},
        {QStringLiteral("station"), QStringLiteral("Climate Station Name")},
        {QStringLiteral("latitude"), QStringLiteral("Latitude")},
        {QStringLiteral("longitude"), QStringLiteral("Longitude")},
        {QStringLiteral("etMethod"), QStringLiteral("ET Method")},
        {QStringLiteral("etMethodText"), QStringLiteral("ETMethod")},
        {QStringLiteral("elevation"), QStringLiteral("Job elevation above sea level (feet)")},
        {QStringLiteral("ratio50"), QStringLiteral("Effective Precipitation Ratio, Normal year")},
        {QStringLiteral("ratio80"), QStringLiteral("Effective Precipitation Ratio, Dry year")},
        {QStringLiteral("cropCounter"), QStringLiteral("No of Crops")},
        {QStringLiteral("crops"), QStringLiteral("crops")},
        {QStringLiteral("crop"), QStringLiteral("Crop Name")},
        {QStringLiteral("plantingDate"), QStringLiteral("Planting or start of growth date")},
        {QStringLiteral("harvestDate"), QStringLiteral("Harvest or end of growth date")},
        {QStringLiteral("netIrrigationDepth"), QStringLiteral("Net irrigation depth applied each irrigation")},
        {QStringLiteral("carryOverBegin"), QStringLiteral("Carryover used at beginning of each season")},
        {QStringLiteral("carryOverEnd"), QStringLiteral("Carryover used at end of each season")},
        {QStringLiteral("soil"), QStringLiteral("Surface soil type")},
        {QStringLiteral("irrigationType"), QStringLiteral("Type of irrigation")},
        {QStringLiteral("fractionWetted"), QStringLiteral("Fraction wetted (Fw)")},
        {QStringLiteral("wettingDaysDevelopment"), QStringLiteral("Wetting interval, Development")},
        {QStringLiteral("wettingDaysMaturation"), QStringLiteral("Wetting interval, Maturation")},
        {QStringLiteral("stressFactor"), QStringLiteral("Stress Factor (Ks)")},
        {QStringLiteral("availableSoilWater"), QStringLiteral("Percent total available water (ASW)")},
        {QStringLiteral("sensitive"), QStringLiteral("Sensitive Crop")},
        {QStringLiteral("cuttings"), QStringLiteral("Number of cuttings")},
        {QStringLiteral("firstCuttingDate"), QStringLiteral("First cutting date")},
        {QStringLiteral("lastCuttingDate"), QStringLiteral("Last cutting date")},
        {QStringLiteral("startTemperatureF"), QStringLiteral("StartT")},
        {QStringLiteral("startTemperatureC"), QStringLiteral("StartTM")},
        {QStringLiteral("endTemperatureF"), QStringLiteral("EndT")},
        {QStringLiteral("endTemperatureC"), QStringLiteral("EndTM")},
        {QStringLiteral("enteredGrowDays"), QStringLiteral("EnteredGrowDays")},
        {QStringLiteral("curve"), QStringLiteral("Curve Name")},
        {QStringLiteral("index"), QStringLiteral("Curve Index")},
        {QStringLiteral("type"), QStringLiteral("Crop Curve Type")},
        {QStringLiteral("irrigatedArea"), QStringLiteral("Irrigated area")},
        {QStringLiteral("applicationEfficiency"), QStringLiteral("Application efficiency (Ea)")},
        {QStringLiteral("salinityThreshold"), QStringLiteral("Salinity threshold (ECe)")},
        {QStringLiteral("conveyanceEfficiency"), QStringLiteral("Conveyance efficiency (Ec)")},
        {QStringLiteral("operatingHours"), QStringLiteral("Operating hours per day")},
        {QStringLiteral("waterSalinity"), QStringLiteral("Irrigation water salinity (ECw)")},
        {QStringLiteral("format"), QStringLiteral("format")},
        {QStringLiteral("version"), QStringLiteral("version")},
    };
    return kCaptions.value(key);
}

// ---- Reading the text ---------------------------------------------------------

struct Refusal {
    JobFileError error;
};

[[noreturn]] void Refuse(const QString& path, const QString& key, const QString& message)
{
    JobFileError e;
    e.path = path;
    e.field = key.isEmpty() ? QString() : Caption(key);
    e.message = message;
    throw Refusal{e};
}

QString Shown(double v)
{
    return QString::number(v, 'g', 10);
}

QString TypeName(const QJsonValue& v)
{
    switch (v.type()) {
    case QJsonValue::Null: return QStringLiteral("null");
    case QJsonValue::Bool: return QStringLiteral("true or false");
    case QJsonValue::Double: return QStringLiteral("a number");
    case QJsonValue::String: return QStringLiteral("a text");
    case QJsonValue::Array: return QStringLiteral("a list");
    case QJsonValue::Object: return QStringLiteral("an object");
    default: return QStringLiteral("nothing");
    }
}

// Whose range a refused value is outside of.
constexpr const char* kOneWindow = "the window accepts";
constexpr const char* kCropWindows = "the crop inputs dialog and the local defaults accept";

// The fields of one JSON object, each read once by name; any other name is
// refused (a misspelt field would otherwise be left out without a word).
class ObjectReader {
public:
    ObjectReader(const QJsonObject& o, QString path, QStringList known)
        : m_o(o), m_path(std::move(path)), m_known(std::move(known))
    {
        for (auto it = m_o.begin(); it != m_o.end(); ++it)
            if (!m_known.contains(it.key()))
                Refuse(pathOf(it.key()), QString(),
                       QStringLiteral("unknown field \"%1\" (the fields here are %2)")
                           .arg(it.key(), m_known.join(QStringLiteral(", "))));
    }

    QString pathOf(const QString& key) const { return m_path.isEmpty() ? key : m_path + QLatin1Char('.') + key; }
    bool has(const QString& key) const { return m_o.contains(key); }
    bool isNull(const QString& key) const { return m_o.contains(key) && m_o.value(key).isNull(); }
    QJsonValue value(const QString& key) const { return m_o.value(key); }

    [[noreturn]] void refuse(const QString& key, const QString& message) const { Refuse(pathOf(key), key, message); }

    void expect(const QString& key, QJsonValue::Type type, const char* what) const
    {
        const QJsonValue v = m_o.value(key);
        if (v.type() != type)
            refuse(key, QStringLiteral("%1 is expected, not %2").arg(QString::fromLatin1(what), TypeName(v)));
    }

    // A text of at most width characters (the width of its table field).
    std::optional<QString> text(const QString& key, int width, bool required = false) const
    {
        if (!has(key)) {
            if (required)
                refuse(key, QStringLiteral("is required"));
            return std::nullopt;
        }
        expect(key, QJsonValue::String, "a text");
        const QString s = m_o.value(key).toString();
        if (required && s.trimmed().isEmpty())
            refuse(key, QStringLiteral("must not be empty"));
        if (s.size() > width)
            refuse(key, QStringLiteral("\"%1\" has %2 characters; at most %3 are stored")
                            .arg(s).arg(s.size()).arg(width));
        for (const QChar c : s)
            if (c.unicode() < 0x20)
                refuse(key, QStringLiteral("holds a control character"));
        return s;
    }

    std::optional<double> number(const QString& key, double lo, double hi, const char* windows = kOneWindow) const
    {
        if (!has(key))
            return std::nullopt;
        expect(key, QJsonValue::Double, "a number");
        const double v = m_o.value(key).toDouble();
        if (!std::isfinite(v) || v < lo || v > hi)
            refuse(key, QStringLiteral("%1 is outside %2 to %3, the range %4")
                            .arg(std::isfinite(v) ? Shown(v) : QStringLiteral("the number"), Shown(lo), Shown(hi),
                                 QString::fromLatin1(windows)));
        return v;
    }

    std::optional<int> integer(const QString& key, int lo, int hi, const char* windows = kOneWindow) const
    {
        if (!has(key))
            return std::nullopt;
        expect(key, QJsonValue::Double, "a whole number");
        const double v = m_o.value(key).toDouble();
        if (!std::isfinite(v) || v != std::floor(v))
            refuse(key, QStringLiteral("a whole number is expected"));
        if (v < lo || v > hi)
            refuse(key, QStringLiteral("%1 is outside %2 to %3, the range %4")
                            .arg(Shown(v)).arg(lo).arg(hi).arg(QString::fromLatin1(windows)));
        return int(v);
    }

    // A crop input: the windows' range of what a saved crop can hold.
    std::optional<double> number(const QString& key, const mainprog::InputRange& range) const
    {
        return number(key, range.lo, range.hi, kCropWindows);
    }

    std::optional<int> integer(const QString& key, const mainprog::InputRange& range) const
    {
        return integer(key, int(range.lo), int(range.hi), kCropWindows);
    }

    std::optional<bool> boolean(const QString& key) const
    {
        if (!has(key))
            return std::nullopt;
        expect(key, QJsonValue::Bool, "true or false");
        return m_o.value(key).toBool();
    }

    // A month and day "M/D" of the 365-day year of the crop inputs dialog.
    std::optional<MonthDay> date(const QString& key) const
    {
        if (!has(key))
            return std::nullopt;
        expect(key, QJsonValue::String, "a date \"month/day\"");
        static const QRegularExpression kDate(QStringLiteral("^(\\d{1,2})/(\\d{1,2})$"));
        const QString s = m_o.value(key).toString();
        const QRegularExpressionMatch m = kDate.match(s);
        if (!m.hasMatch())
            refuse(key, QStringLiteral("\"%1\" is not a date \"month/day\" such as \"4/15\"").arg(s));
        const MonthDay md{m.captured(1).toInt(), m.captured(2).toInt()};
        if (md.month < 1 || md.month > 12)
            refuse(key, QStringLiteral("\"%1\" does not exist: there is no month %2").arg(s).arg(md.month));
        const int max = mainprog::MaxDayOfMonth(md.month);
        if (md.day < 1 || md.day > max)
            refuse(key, QStringLiteral("\"%1\" does not exist: month %2 has %3 days (a year of 365 days)")
                            .arg(s).arg(md.month).arg(max));
        return md;
    }

    std::optional<QString> oneOf(const QString& key, const QStringList& allowed, int width) const
    {
        const std::optional<QString> s = text(key, width);
        if (s && !allowed.contains(*s))
            refuse(key, QStringLiteral("\"%1\" is none of %2").arg(*s, QLatin1Char('"') + allowed.join(QStringLiteral("\", \"")) + QLatin1Char('"')));
        return s;
    }

    // A number that may be null (stored empty).
    Nullable<double> nullableNumber(const QString& key, double lo, double hi) const
    {
        if (!has(key))
            return std::nullopt;
        if (isNull(key))
            return std::optional<double>{};
        return std::optional<double>{number(key, lo, hi)};
    }

    Nullable<int> nullableInteger(const QString& key, int lo, int hi) const
    {
        if (!has(key))
            return std::nullopt;
        if (isNull(key))
            return std::optional<int>{};
        return std::optional<int>{integer(key, lo, hi)};
    }

private:
    QJsonObject m_o;
    QString m_path;
    QStringList m_known;
};

int FieldWidth(const QString& table, const QString& field, int fallback)
{
    const TableDef* def = findTableDef(table);
    const int i = def ? def->fieldIndex(field) : -1;
    return i >= 0 ? def->fields[i].size : fallback;
}

QStringList IrrigationTypeChoices()
{
    // The crop inputs dialog's list, and the local defaults' list that seeds
    // a new crop (other spellings of the same types).
    QStringList all = mainprog::CropDialogIrrigationTypes();
    for (const QString& t : mainprog::LocalDefaultIrrigationTypes())
        if (!all.contains(t))
            all << t;
    return all;
}

JobFileCurve ReadCurve(const QJsonValue& v, const QString& path)
{
    if (!v.isObject())
        Refuse(path, QStringLiteral("curve"), QStringLiteral("an object {\"index\", \"name\", \"type\"} or null is expected, not %1").arg(TypeName(v)));
    ObjectReader r(v.toObject(), path, {QStringLiteral("index"), QStringLiteral("name"), QStringLiteral("type")});
    JobFileCurve c;
    if (!r.has(QStringLiteral("index")))
        r.refuse(QStringLiteral("index"), QStringLiteral("is required"));
    c.index = *r.integer(QStringLiteral("index"), 0, 5);
    c.name = *r.text(QStringLiteral("name"), FieldWidth(QStringLiteral("QuenJobCrop.DB"), QStringLiteral("Curve Name"), 40), true);
    c.type = r.text(QStringLiteral("type"), FieldWidth(QStringLiteral("QuenJobCrop.DB"), QStringLiteral("Crop Curve Type"), 35))
                 .value_or(QString());
    return c;
}

JobFileCrop ReadCrop(const QJsonValue& v, const QString& path)
{
    if (!v.isObject())
        Refuse(path, QString(), QStringLiteral("a crop is an object, not %1").arg(TypeName(v)));
    const ObjectReader r(v.toObject(), path,
                         {QStringLiteral("crop"), QStringLiteral("plantingDate"), QStringLiteral("harvestDate"),
                          QStringLiteral("netIrrigationDepth"), QStringLiteral("carryOverBegin"),
                          QStringLiteral("carryOverEnd"), QStringLiteral("soil"), QStringLiteral("irrigationType"),
                          QStringLiteral("fractionWetted"), QStringLiteral("wettingDaysDevelopment"),
                          QStringLiteral("wettingDaysMaturation"), QStringLiteral("stressFactor"),
                          QStringLiteral("availableSoilWater"), QStringLiteral("sensitive"), QStringLiteral("cuttings"),
                          QStringLiteral("firstCuttingDate"), QStringLiteral("lastCuttingDate"),
                          QStringLiteral("startTemperatureF"), QStringLiteral("startTemperatureC"),
                          QStringLiteral("endTemperatureF"), QStringLiteral("endTemperatureC"),
                          QStringLiteral("enteredGrowDays"), QStringLiteral("curve"), QStringLiteral("irrigatedArea"),
                          QStringLiteral("applicationEfficiency"), QStringLiteral("salinityThreshold")});
    const QString wkCrop = QStringLiteral("QuenJobCrop.DB");
    JobFileCrop c;
    c.crop = *r.text(QStringLiteral("crop"), FieldWidth(wkCrop, QStringLiteral("Crop Name"), 40), true);
    c.planting = r.date(QStringLiteral("plantingDate"));
    c.harvest = r.date(QStringLiteral("harvestDate"));
    // The ranges of the crop inputs dialog's entry fields.
    // What a saved crop can hold: the ranges of the crop inputs dialog's
    // entry fields, widened by what the local and system defaults seed into
    // a crop the planner never opened in that dialog.
    namespace Saved = mainprog::SavedCropRange;
    c.netIrr = r.number(QStringLiteral("netIrrigationDepth"), Saved::NetIrrigationDepth);
    c.carryBeg = r.number(QStringLiteral("carryOverBegin"), Saved::CarryOver);
    c.carryEnd = r.number(QStringLiteral("carryOverEnd"), Saved::CarryOver);
    c.soil = r.oneOf(QStringLiteral("soil"), mainprog::SoilTypes(), FieldWidth(wkCrop, QStringLiteral("Soil"), 20));
    c.irrigationType = r.oneOf(QStringLiteral("irrigationType"), IrrigationTypeChoices(),
                               FieldWidth(wkCrop, QStringLiteral("Irrigation Type"), 40));
    c.fractionWetted = r.number(QStringLiteral("fractionWetted"), Saved::FractionWetted);
    c.wetDeveloped = r.integer(QStringLiteral("wettingDaysDevelopment"), Saved::WettingDays);
    c.wetMature = r.integer(QStringLiteral("wettingDaysMaturation"), Saved::WettingDays);
    c.stressFactor = r.number(QStringLiteral("stressFactor"), Saved::StressFactor);
    c.asw = r.number(QStringLiteral("availableSoilWater"), Saved::AvailableSoilWater);
    c.sensitive = r.boolean(QStringLiteral("sensitive"));
    c.cuttings = r.integer(QStringLiteral("cuttings"), Saved::Cuttings);
    c.firstCutting = r.date(QStringLiteral("firstCuttingDate"));
    c.lastCutting = r.date(QStringLiteral("lastCuttingDate"));
    // Growth temperatures: those of the crop records and of the planting and
    // harvest date tool lie well inside these.
    c.startT = r.nullableNumber(QStringLiteral("startTemperatureF"), -60, 140);
    c.startTM = r.nullableNumber(QStringLiteral("startTemperatureC"), -51, 60);
    c.endT = r.nullableNumber(QStringLiteral("endTemperatureF"), -60, 140);
    c.endTM = r.nullableNumber(QStringLiteral("endTemperatureC"), -51, 60);
    c.enteredGrowDays = r.nullableInteger(QStringLiteral("enteredGrowDays"), 0, 365);
    if (r.has(QStringLiteral("curve"))) {
        if (r.isNull(QStringLiteral("curve")))
            c.curve = std::optional<JobFileCurve>{};
        else
            c.curve = std::optional<JobFileCurve>{ReadCurve(r.value(QStringLiteral("curve")), r.pathOf(QStringLiteral("curve")))};
    }
    // The farm values: the crop inputs dialog's ranges.
    namespace Farm = mainprog::FarmInputRange;
    c.irrigatedArea = r.number(QStringLiteral("irrigatedArea"), Farm::IrrigatedArea.lo, Farm::IrrigatedArea.hi);
    c.applicationEff = r.number(QStringLiteral("applicationEfficiency"), Farm::ApplicationEff.lo, Farm::ApplicationEff.hi);
    c.salinityThreshold =
        r.number(QStringLiteral("salinityThreshold"), Farm::SalinityThreshold.lo, Farm::SalinityThreshold.hi);
    return c;
}

void ReadJob(const QJsonObject& o, JobFile& f)
{
    const ObjectReader r(o, QString(),
                         {QStringLiteral("$schema"), QStringLiteral("format"), QStringLiteral("version"),
                          QStringLiteral("name"), QStringLiteral("location"), QStringLiteral("planner"),
                          QStringLiteral("date"), QStringLiteral("landUser"), QStringLiteral("id"),
                          QStringLiteral("jobClass"), QStringLiteral("station"), QStringLiteral("etMethod"),
                          QStringLiteral("etMethodText"), QStringLiteral("elevation"), QStringLiteral("ratio50"),
                          QStringLiteral("ratio80"), QStringLiteral("cropCounter"),
                          QStringLiteral("conveyanceEfficiency"), QStringLiteral("operatingHours"),
                          QStringLiteral("waterSalinity"), QStringLiteral("crops")});
    if (r.has(QStringLiteral("$schema")))
        r.expect(QStringLiteral("$schema"), QJsonValue::String, "a text");
    if (const auto fmt = r.text(QStringLiteral("format"), 100); fmt && *fmt != kJobFileFormat)
        r.refuse(QStringLiteral("format"), QStringLiteral("\"%1\" is not \"%2\"").arg(*fmt, kJobFileFormat));
    if (const auto version = r.integer(QStringLiteral("version"), 1, 1000000); version && *version != kJobFileVersion)
        r.refuse(QStringLiteral("version"),
                 QStringLiteral("version %1 is not %2, the version this program reads").arg(*version).arg(kJobFileVersion));

    const QString job = QStringLiteral("QuenJob.db");
    f.name = *r.text(QStringLiteral("name"), FieldWidth(job, QStringLiteral("JobName"), 50), true);
    // The job panel asks for a location and a planner before the station
    // choice, but its edits may be emptied before a save: a saved job can
    // have neither.
    f.location = r.text(QStringLiteral("location"), FieldWidth(job, QStringLiteral("Location"), 40)).value_or(QString());
    f.planner = r.text(QStringLiteral("planner"), FieldWidth(job, QStringLiteral("Planner"), 30)).value_or(QString());
    f.date = r.text(QStringLiteral("date"), FieldWidth(job, QStringLiteral("Job Date"), 10));
    f.landUser = r.text(QStringLiteral("landUser"), FieldWidth(job, QStringLiteral("LandUser"), 40));
    f.id = r.text(QStringLiteral("id"), FieldWidth(job, QStringLiteral("ID"), 10));
    f.jobClass = r.text(QStringLiteral("jobClass"), FieldWidth(job, QStringLiteral("JobClass"), 10));

    // The station: a name, {"name"}, or {"latitude", "longitude"}.
    if (!r.has(QStringLiteral("station")))
        r.refuse(QStringLiteral("station"), QStringLiteral("is required: a station name or {\"latitude\", \"longitude\"}"));
    const QJsonValue st = r.value(QStringLiteral("station"));
    const int stationWidth = FieldWidth(QStringLiteral("Climate.DB"), QStringLiteral("Station Name"), 35);
    if (st.isString()) {
        f.stationName = *r.text(QStringLiteral("station"), stationWidth, true);
    } else if (st.isObject()) {
        const ObjectReader s(st.toObject(), QStringLiteral("station"),
                             {QStringLiteral("name"), QStringLiteral("latitude"), QStringLiteral("longitude")});
        const bool byName = s.has(QStringLiteral("name"));
        const bool byPosition = s.has(QStringLiteral("latitude")) || s.has(QStringLiteral("longitude"));
        if (byName == byPosition)
            r.refuse(QStringLiteral("station"), QStringLiteral("gives either \"name\" or \"latitude\" and \"longitude\""));
        if (byName) {
            f.stationName = *s.text(QStringLiteral("name"), stationWidth, true);
        } else {
            if (!s.has(QStringLiteral("latitude")))
                s.refuse(QStringLiteral("latitude"), QStringLiteral("is required with \"longitude\""));
            if (!s.has(QStringLiteral("longitude")))
                s.refuse(QStringLiteral("longitude"), QStringLiteral("is required with \"latitude\""));
            f.stationByPosition = true;
            f.latitude = *s.number(QStringLiteral("latitude"), -90, 90);
            f.longitude = *s.number(QStringLiteral("longitude"), -180, 180);
        }
    } else {
        r.refuse(QStringLiteral("station"),
                 QStringLiteral("a station name or {\"latitude\", \"longitude\"} is expected, not %1").arg(TypeName(st)));
    }

    if (r.has(QStringLiteral("etMethod"))) {
        r.expect(QStringLiteral("etMethod"), QJsonValue::String, "\"TR21\", \"NEH\" or \"FAO56\"");
        const int index = JobFileMethodIndex(r.value(QStringLiteral("etMethod")).toString());
        if (index == 0)
            r.refuse(QStringLiteral("etMethod"), QStringLiteral("\"%1\" is none of \"TR21\", \"NEH\", \"FAO56\"")
                                                   .arg(r.value(QStringLiteral("etMethod")).toString()));
        f.etMethod = index;
    }
    f.etMethodText = r.text(QStringLiteral("etMethodText"), FieldWidth(job, QStringLiteral("ETMethod"), 25));
    if (f.etMethodText && !f.etMethod)
        r.refuse(QStringLiteral("etMethodText"), QStringLiteral("is given only with \"etMethod\""));
    // The ranges of the job panel's entry fields.
    f.elevation = r.number(QStringLiteral("elevation"), -200, 9999);
    f.ratio50 = r.number(QStringLiteral("ratio50"), 0.01, 9.99);
    f.ratio80 = r.number(QStringLiteral("ratio80"), 0.01, 9.99);
    f.cropCounter = r.integer(QStringLiteral("cropCounter"), 0, 32767);
    // The farm water window's ranges.
    namespace Farm = mainprog::FarmInputRange;
    f.conveyanceEff = r.number(QStringLiteral("conveyanceEfficiency"), Farm::ConveyanceEff.lo, Farm::ConveyanceEff.hi);
    f.operatingHours = r.number(QStringLiteral("operatingHours"), Farm::HoursPerDay.lo, Farm::HoursPerDay.hi);
    f.waterSalinity = r.number(QStringLiteral("waterSalinity"), Farm::WaterSalinity.lo, Farm::WaterSalinity.hi);

    if (r.has(QStringLiteral("crops"))) {
        r.expect(QStringLiteral("crops"), QJsonValue::Array, "a list of crops");
        const QJsonArray crops = r.value(QStringLiteral("crops")).toArray();
        if (crops.size() > kJobFileMaxCrops)
            r.refuse(QStringLiteral("crops"), QStringLiteral("%1 crops; a job file holds at most %2").arg(crops.size()).arg(kJobFileMaxCrops));
        for (int i = 0; i < crops.size(); ++i)
            f.crops << ReadCrop(crops[i], QStringLiteral("crops[%1]").arg(i));
        for (int i = 0; i < f.crops.size(); ++i)
            for (int j = 0; j < i; ++j)
                if (f.crops[i].crop.compare(f.crops[j].crop, Qt::CaseInsensitive) == 0)
                    Refuse(QStringLiteral("crops[%1].crop").arg(i), QStringLiteral("crop"),
                           QStringLiteral("\"%1\" is already crops[%2]: %3").arg(f.crops[i].crop).arg(j).arg(mainprog::kCropAlreadyIncluded));
    }
    if (f.cropCounter && *f.cropCounter < f.crops.size())
        r.refuse(QStringLiteral("cropCounter"),
                 QStringLiteral("%1 is less than the %2 crops of the job").arg(*f.cropCounter).arg(f.crops.size()));
}

// The first field name given twice in one object of a (well-formed) JSON
// text, with its path: a reader would take one of the two values and drop
// the other without a word.
std::optional<QString> DuplicateField(const QByteArray& t)
{
    struct Frame {
        bool object = false;
        QString path;
        QSet<QString> keys;
        QString lastKey;
        int index = 0;
        bool expectKey = false;
    };
    QList<Frame> stack;
    auto childPath = [&]() -> QString {
        if (stack.isEmpty())
            return QString();
        const Frame& p = stack.last();
        if (p.object)
            return p.path.isEmpty() ? p.lastKey : p.path + QLatin1Char('.') + p.lastKey;
        return p.path + QStringLiteral("[%1]").arg(p.index);
    };
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '{' || c == '[') {
            Frame f;
            f.object = c == '{';
            f.expectKey = f.object;
            f.path = childPath();
            stack << f;
        } else if (c == '}' || c == ']') {
            if (!stack.isEmpty())
                stack.removeLast();
        } else if (c == ',' && !stack.isEmpty()) {
            if (stack.last().object)
                stack.last().expectKey = true;
            else
                ++stack.last().index;
        } else if (c == '"') {
            const qsizetype start = i;
            bool escaped = false;
            for (++i; i < t.size() && t[i] != '"'; ++i)
                if (t[i] == '\\') {
                    escaped = true;
                    ++i;
                }
            if (stack.isEmpty() || !stack.last().object || !stack.last().expectKey)
                continue;
            const QByteArray token = t.mid(start, i - start + 1);
            const QString key = escaped ? QJsonDocument::fromJson("[" + token + "]").array().at(0).toString()
                                        : QString::fromUtf8(token.mid(1, token.size() - 2));
            Frame& f = stack.last();
            f.expectKey = false;
            f.lastKey = key;
            if (f.keys.contains(key))
                return f.path.isEmpty() ? key : f.path + QLatin1Char('.') + key;
            f.keys.insert(key);
        }
    }
    return std::nullopt;
}

// ---- Setting the job up -------------------------------------------------------

QString SystemEtCode()
{
    TTable sys(QStringLiteral("SystemDefaults.db"));
    sys.open();
    sys.first();
    const QString code = sys.isEmpty() ? QString() : sys.field(QStringLiteral("ET Method")).asString();
    sys.close();
    return normalizeEtMethodCode(code);
}

// The text "Get New Climate" leaves for each method when the system default
// names one.
QString DefaultMethodText(int index)
{
    switch (index) {
    case 2: return QStringLiteral("FAO Penman-Monteith,NEH2 Bas crop curves");
    case 3: return QStringLiteral("FAO Penman-Monteith,FAO 56,Table12");
    default: return kBlaneyCriddleText;
    }
}

// The ET method dialog left as it opens (its first choice checked).
class KeepFirstChoice : public EtMethodChooser {
public:
    std::optional<int> chooseEtMethod(const QString&, int) override { return std::nullopt; }
};

// The curve table of a curve index and its key field.
bool CurveExists(int index, const QString& name)
{
    static const char* const kTables[6] = {"CrpAnNam.DB", "CrpPeren.DB", "CrpForag.DB",
                                           "CrpBCAnu.DB", "CrpBCPer.DB", "CrpFAOCurv.DB"};
    if (index < 0 || index > 5)
        return false;
    TTable t(QString::fromLatin1(kTables[index]));
    t.open();
    const QString key = t.hasField(QStringLiteral("Crop Curve Name")) ? QStringLiteral("Crop Curve Name")
                                                                       : QStringLiteral("CropCurveName");
    const bool found = !t.isEmpty() && t.locate(key, name);
    t.close();
    return found;
}

bool CurveFitsMethod(int curveIndex, int etMethodIndex)
{
    switch (etMethodIndex) {
    case 1: return curveIndex == 3 || curveIndex == 4;
    case 2: return curveIndex >= 0 && curveIndex <= 2;
    case 3: return curveIndex == 5;
    default: return false;
    }
}

QString CurveTypeOf(int index)
{
    static const char* const kTypes[6] = {"Field and vegetable crops", "Perennial and specialty crops",
                                          "Grasses and forage legumes", "Blaney Criddle Annual Crop",
                                          "Blaney Criddle Perennial Crop", "FAO 56, Table 12 crops"};
    return index >= 0 && index <= 5 ? QString::fromLatin1(kTypes[index]) : QString();
}

// Takes the station of the file into the job as the station dialog's
// closing does.
void TakeStation(const JobFile& file, const JobFileStations& stations, CropRunContext& ctx, JobFileStation* note)
{
    QString chosen;
    double distance = 0.0;
    if (const JobFileError e = stations.choose(file, chosen, distance); e.failed())
        throw Refusal{e};
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    clim.locate(QStringLiteral("Station Name"), chosen);
    CopyStation(clim, ctx);
    clim.close();
    if (note) {
        note->name = chosen;
        note->number = ctx.StationNumber;
        note->county = ctx.County;
        note->byPosition = file.stationByPosition;
        note->distanceKm = distance;
        note->elevationFt = ctx.Elevation;
        note->fieldElevationFt = file.elevation;
    }
}

// "Get New Climate": the station, its ratios, then the method of a job
// without crops; then the planner's elevation and ratios.
void TakeClimate(const JobFile& file, const JobFileStations& stations, CropRunContext& ctx, JobFileStation* note)
{
    TakeStation(file, stations, ctx, note);
    if (file.etMethod) {
        ctx.ETMethodIndex = *file.etMethod;
        ctx.ETMethodText = file.etMethodText.value_or(DefaultMethodText(*file.etMethod));
    } else {
        KeepFirstChoice keep;
        ChooseETMethod(ctx, &keep);
    }
    if (file.elevation) {
        ctx.Elevation = *file.elevation;
        ctx.ElevationM = *file.elevation * 0.3048;
    }
    if (file.ratio50)
        ctx.EffPcpFact50 = *file.ratio50;
    if (file.ratio80)
        ctx.EffPcpFact80 = *file.ratio80;
}

// The crop inputs dialog's closing: the file's inputs over the seeded row
// (in insert state), the dates as text, the row posted.
void WriteInputs(const JobFileCrop& c, TTable& wk)
{
    auto f = [&wk](const char* name) { return wk.field(QString::fromLatin1(name)); };
    auto date = [&](const std::optional<MonthDay>& d, const char* mo, const char* dy) {
        if (d) {
            f(mo).setAsInteger(d->month);
            f(dy).setAsInteger(d->day);
        }
    };
    auto real = [&](const std::optional<double>& v, const char* name) {
        if (v)
            f(name).setAsFloat(*v);
    };
    auto whole = [&](const std::optional<int>& v, const char* name) {
        if (v)
            f(name).setAsInteger(*v);
    };
    auto nullable = [&](const auto& v, const char* name) {
        if (!v)
            return;
        if (*v)
            f(name).setValue(QVariant::fromValue(**v));
        else
            f(name).clear();
    };
    date(c.planting, "Plant Mo", "Plant Day");
    date(c.harvest, "Harvest Mo", "Harvest Day");
    date(c.firstCutting, "Cut1Mo", "Cut1Day");
    date(c.lastCutting, "CutEndMo", "CutEndDay");
    real(c.netIrr, "Net Irr");
    real(c.carryBeg, "Carry Beg");
    real(c.carryEnd, "Carry End");
    whole(c.wetDeveloped, "Dys Wet Developed");
    whole(c.wetMature, "Dys Wet Mature");
    whole(c.cuttings, "Cuttings");
    if (c.sensitive)
        f("Sensitive").setAsBoolean(*c.sensitive);
    if (c.soil)
        f("Soil").setAsString(*c.soil);
    if (c.irrigationType) {
        f("Irrigation Type").setAsString(*c.irrigationType);
        // Choosing a type in the dialog sets its fraction wetted.
        f("Fraction Wetted").setAsFloat(FractionWettedForIrrigationType(*c.irrigationType));
    }
    real(c.fractionWetted, "Fraction Wetted");
    // The stress factor and the available water follow each other as in the
    // dialog when only one of them is given.
    const bool sensitive = f("Sensitive").asBoolean();
    if (c.asw) {
        f("ASW").setAsFloat(*c.asw);
        f("Stress Factor").setAsFloat(c.stressFactor ? *c.stressFactor : mainprog::StressFromASW(*c.asw, sensitive));
    } else if (c.stressFactor) {
        f("Stress Factor").setAsFloat(*c.stressFactor);
        f("ASW").setAsFloat(mainprog::ASWFromStress(*c.stressFactor, sensitive));
    }
    nullable(c.startT, "StartT");
    nullable(c.startTM, "StartTM");
    nullable(c.endT, "EndT");
    nullable(c.endTM, "EndTM");
    nullable(c.enteredGrowDays, "EnteredGrowDays");
    f("Beg Dat").setAsString(QStringLiteral("%1/%2").arg(f("Plant Mo").asInteger()).arg(f("Plant Day").asInteger()));
    f("End Dat").setAsString(QStringLiteral("%1/%2").arg(f("Harvest Mo").asInteger()).arg(f("Harvest Day").asInteger()));
}

// The crop's farm values as the crop inputs dialog keeps them: seeded (the
// type's Ea, the crop's FAO-29 threshold, no area) with the file's over them.
// An area without an efficiency to divide by is refused: the gross depth
// cannot be computed.
void WriteFarmValues(const JobFileCrop& c, const QString& path, const QString& jobName, TTable& wk)
{
    const QString name = wk.field(QStringLiteral("Crop Name")).asString();
    const QString type = wk.field(QStringLiteral("Irrigation Type")).asString();
    FarmCropValues v = SeededFarmCrop(name, type);
    if (c.irrigatedArea)
        v.areaAcres = *c.irrigatedArea;
    if (c.applicationEff)
        v.applicationEff = *c.applicationEff;
    if (c.salinityThreshold)
        v.ecThreshold = *c.salinityThreshold;
    if (v.areaAcres > 0.0 && !(v.applicationEff > 0.0 && v.applicationEff <= 1.0))
        Refuse(path + QStringLiteral(".applicationEfficiency"), QStringLiteral("applicationEfficiency"),
               QStringLiteral("the crop has an irrigated area and the type of irrigation \"%1\" has no application "
                              "efficiency in the local defaults: give one (above 0, at most 1)")
                   .arg(type));
    SetWorkingFarmCrop(name, jobName, wk.field(QStringLiteral("Crop No")).asInteger(), v);
}

void AddCrops(const JobFile& file, CropRunContext& ctx, JobState& state, CropCurveState& curves, TTable& wk,
              const std::function<void()>& computed)
{
    TTable crops(QStringLiteral("QuenCrop.DB"));
    TTable loc(QStringLiteral("LocalDefaults.db"));
    TTable sys(QStringLiteral("SystemDefaults.db"));
    crops.open();
    loc.open();
    sys.open();
    loc.first();
    sys.first();
    struct Close {
        TTable &a, &b, &c;
        ~Close()
        {
            for (TTable* t : {&a, &b, &c})
                if (t->isOpen())
                    t->close();
        }
    } closing{crops, loc, sys};

    for (int i = 0; i < file.crops.size(); ++i) {
        const JobFileCrop& c = file.crops[i];
        const QString path = QStringLiteral("crops[%1]").arg(i);
        if (crops.isEmpty() || !crops.locate(QStringLiteral("Cop Name"), c.crop)) {
            QString near;
            for (crops.first(); !crops.eof() && near.isEmpty(); crops.next())
                if (crops.field(QStringLiteral("Cop Name")).asString().compare(c.crop, Qt::CaseInsensitive) == 0)
                    near = crops.field(QStringLiteral("Cop Name")).asString();
            Refuse(path + QStringLiteral(".crop"), QStringLiteral("crop"),
                   QStringLiteral("no crop record is named \"%1\"%2")
                       .arg(c.crop, near.isEmpty() ? QString() : QStringLiteral(" (there is \"%1\")").arg(near)));
        }
        const CropRecord record = CropRecord::read(crops);
        CurveChoice curve = mainprog::ChooseCropCurve(ctx.ETMethodIndex, record);
        if (c.curve) {
            curve = CurveChoice{};
            curve.available = true;
            if (const std::optional<JobFileCurve>& given = *c.curve) {
                const QString at = path + QStringLiteral(".curve");
                if (!CurveFitsMethod(given->index, ctx.ETMethodIndex))
                    Refuse(at + QStringLiteral(".index"), QStringLiteral("index"),
                           QStringLiteral("curve index %1 is not a curve of the job's method %2")
                               .arg(given->index).arg(JobFileMethodName(ctx.ETMethodIndex)));
                if (!CurveExists(given->index, given->name))
                    Refuse(at + QStringLiteral(".name"), QStringLiteral("curve"),
                           QStringLiteral("no curve of index %1 is named \"%2\"").arg(given->index).arg(given->name));
                curve.curveIndex = given->index;
                curve.curveName = given->name;
                curve.curveType = given->type.isEmpty() ? CurveTypeOf(given->index) : given->type;
            }
        } else if (!curve.available) {
            Refuse(path + QStringLiteral(".crop"), QStringLiteral("crop"),
                   QStringLiteral("\"%1\": %2").arg(c.crop, mainprog::NoCurveMessage(ctx.ETMethodIndex)));
        }
        wk.append();
        mainprog::SeedWorkingCrop(ctx, state, wk, record, loc, sys, curve);
        WriteInputs(c, wk);
        wk.post();
        WriteFarmValues(c, path, ctx.JobName, wk);
        ctx.CropName = record.name;
        ComputeCrop(ctx, curves, wk);
        if (computed)
            computed();
    }
}

// ---- Writing ------------------------------------------------------------------

// One JSON value as compact text (QJsonDocument's escaping and its shortest
// text of a double that reads back as the same double).
QString JsonText(const QJsonValue& v)
{
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

// An object written with its fields in the given order, one a line.
class OrderedObject {
public:
    void add(const QString& key, const QJsonValue& v) { m_items << qMakePair(key, JsonText(v)); }
    void addRaw(const QString& key, const QString& text) { m_items << qMakePair(key, text); }
    QString text(int indent) const
    {
        const QString pad(indent + 2, QLatin1Char(' '));
        QStringList lines;
        for (const auto& [k, v] : m_items)
            lines << pad + JsonText(k) + QStringLiteral(": ") + v;
        return QStringLiteral("{\n") + lines.join(QStringLiteral(",\n")) + QLatin1Char('\n')
            + QString(indent, QLatin1Char(' ')) + QLatin1Char('}');
    }

private:
    QList<QPair<QString, QString>> m_items;
};

QJsonValue ValueOf(TTable& t, const QString& field)
{
    const TField f = t.field(field);
    if (f.isNull())
        return QJsonValue(QJsonValue::Null);
    switch (f.type()) {
    case FieldType::Float: return f.asFloat();
    case FieldType::Logical: return f.asBoolean();
    case FieldType::Short:
    case FieldType::AutoInc: return f.asInteger();
    default: return f.asString();
    }
}

} // namespace

JobFileStations::JobFileStations()
{
    m_wind = WindRecordLocations();
    const QString code = SystemEtCode();
    m_defaultIsPm = code == QLatin1String("FAONEH") || code == QLatin1String("FAO56") || code == QLatin1String("ANYFAO")
        || code == QLatin1String("ANY");
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    const int fName = clim.field(QStringLiteral("Station Name")).index();
    const int fWhr = clim.field(QStringLiteral("WHRLocation")).index();
    const int fLat = clim.field(QStringLiteral("Latitude")).index();
    const int fLon = clim.field(QStringLiteral("Longitude")).index();
    for (clim.first(); !clim.eof(); clim.next()) {
        Row r;
        r.name = clim.valueAt(fName).toString();
        r.whrLocation = clim.valueAt(fWhr).toString();
        const double storedLat = clim.valueAt(fLat).toDouble();
        const LatitudeParts parts = SplitLatitudeText(LatitudeText(storedLat));
        r.latitudeValid = parts.valid;
        r.latitudeDegrees = parts.valid ? parts.decimalDegrees() : 0.0;
        // Stored positions are degrees and minutes (DDMM, DDDMM), longitudes west.
        r.latitude = StoredDegrees(storedLat);
        r.longitude = -StoredDegrees(clim.valueAt(fLon).toDouble());
        m_rows << r;
    }
    clim.close();
}

JobFileError JobFileStations::choose(const JobFile& file, QString& chosen, double& distance) const
{
    const bool needsWind = file.etMethod ? *file.etMethod != 1 : m_defaultIsPm;
    chosen.clear();
    distance = 0.0;
    const Row* row = nullptr;
    try {
        if (file.stationByPosition) {
            QList<GeoPoint> points;
            points.reserve(m_rows.size());
            for (const Row& r : m_rows)
                points << GeoPoint{r.latitude, r.longitude};
            const auto nearest = NearestPoint(points, {file.latitude, file.longitude}, [&](qsizetype i) {
                const Row& r = m_rows[i];
                // A latitude the computation refuses ("FATAL Error: Latitude not
                // correct"; TR-21's daytime table ends at 64.9 deg) gives no results.
                return (!needsWind || m_wind.contains(r.whrLocation)) && r.latitudeValid
                    && (needsWind || (r.latitudeDegrees >= 0.0 && r.latitudeDegrees <= 64.9));
            });
            if (nearest)
                row = &m_rows[nearest->index];
            if (!row)
                Refuse(QStringLiteral("station"), QStringLiteral("station"),
                       needsWind ? QStringLiteral("no station of the database has the wind, humidity and radiation "
                                                  "record that Penman-Monteith needs")
                                 : QStringLiteral("the database holds no station"));
            distance = nearest->distanceKm;
        } else {
            // The exact name; a name cut to the width of "Weather Station" (a job
            // saved with a longer station name) stands for the one station it
            // begins.
            QList<const Row*> begins;
            QStringList caseless;
            for (const Row& r : m_rows) {
                if (r.name == file.stationName) {
                    row = &r;
                    break;
                }
                if (r.name.startsWith(file.stationName))
                    begins << &r;
                if (r.name.compare(file.stationName, Qt::CaseInsensitive) == 0)
                    caseless << r.name;
            }
            const int savedWidth = FieldWidth(QStringLiteral("QuenJob.db"), QStringLiteral("Weather Station"), 30);
            if (!row && file.stationName.size() == savedWidth && begins.size() == 1)
                row = begins.first();
            if (!row)
                Refuse(QStringLiteral("station"), QStringLiteral("station"),
                       QStringLiteral("no station is named \"%1\"%2").arg(file.stationName,
                           caseless.isEmpty() ? QString() : QStringLiteral(" (there is \"%1\")").arg(caseless.first())));
        }
        // The first row of that name is the one the station dialog takes.
        for (const Row& r : m_rows)
            if (r.name == row->name) {
                row = &r;
                break;
            }
        if (file.etMethod && *file.etMethod != 1 && !m_wind.contains(row->whrLocation))
            Refuse(QStringLiteral("etMethod"), QStringLiteral("etMethod"),
                   QStringLiteral("the station \"%1\" has no wind, humidity and radiation record for Penman-Monteith")
                       .arg(row->name));
    } catch (const Refusal& r) {
        chosen.clear();
        distance = 0.0;
        return r.error;
    }
    chosen = row->name;
    return {};
}

bool JobFileStations::distanceTo(const QString& name, double latitude, double longitude, double& distanceKm) const
{
    for (const Row& r : m_rows)
        if (r.name == name) {
            distanceKm = GreatCircleKm({latitude, longitude}, {r.latitude, r.longitude});
            return true;
        }
    return false;
}

JobFileError TakeJobFileClimate(const JobFile& file, const JobFileStations& stations, CropRunContext& ctx,
                                JobFileStation* station)
{
    try {
        TakeClimate(file, stations, ctx, station);
    } catch (const Refusal& r) {
        return r.error;
    }
    return {};
}

QString JobFileCaption(const QString& key)
{
    return Caption(key);
}

JobFileError ParseJobObject(const QJsonObject& object, JobFile& file)
{
    file = JobFile{};
    try {
        ReadJob(object, file);
    } catch (const Refusal& r) {
        file = JobFile{};
        return r.error;
    }
    return {};
}

QString JobFileError::text(const QString& fileName) const
{
    QString where = fileName;
    if (line > 0)
        where += QStringLiteral(": line %1, column %2").arg(line).arg(column);
    if (!path.isEmpty())
        where += QStringLiteral(": ") + path;
    if (!field.isEmpty() && field != path.section(QLatin1Char('.'), -1))
        where += QStringLiteral(" (\"%1\")").arg(field);
    return where + QStringLiteral(": ") + message;
}

QString JobFileMethodName(int etMethodIndex)
{
    return mainprog::MethodShortName(etMethodIndex);
}

int JobFileMethodIndex(const QString& name)
{
    for (int i = 1; i <= 3; ++i)
        if (name == mainprog::MethodShortName(i))
            return i;
    return 0;
}

JobFileError ParseJobFile(const QByteArray& withMark, JobFile& file)
{
    file = JobFile{};
    // Editors on Windows start a UTF-8 file with a byte order mark.
    const QByteArray text = withMark.startsWith("\xEF\xBB\xBF") ? withMark.mid(3) : withMark;
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parse);
    if (parse.error != QJsonParseError::NoError) {
        JobFileError e;
        // Line and column of the character the parser stopped at (its offset
        // is the one just past it), in characters of the line.
        const QByteArray before = text.left(std::max(0, parse.offset - 1));
        e.line = int(before.count('\n')) + 1;
        e.column = int(QString::fromUtf8(before.mid(before.lastIndexOf('\n') + 1)).size()) + 1;
        e.message = QStringLiteral("malformed JSON: ") + parse.errorString();
        return e;
    }
    if (const std::optional<QString> twice = DuplicateField(text)) {
        JobFileError e;
        e.path = *twice;
        e.field = Caption(twice->section(QLatin1Char('.'), -1));
        e.message = QStringLiteral("is given twice");
        return e;
    }
    if (!doc.isObject()) {
        JobFileError e;
        e.message = QStringLiteral("a job file holds one JSON object {\"name\": ..., \"station\": ..., \"crops\": [...]}");
        return e;
    }
    try {
        ReadJob(doc.object(), file);
    } catch (const Refusal& r) {
        file = JobFile{};
        return r.error;
    }
    return {};
}

JobFileError ReadJobFile(const QString& path, JobFile& file)
{
    file = JobFile{};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        JobFileError e;
        e.message = QStringLiteral("cannot be read: ") + f.errorString();
        return e;
    }
    return ParseJobFile(f.readAll(), file);
}

JobFileError SetUpJobFile(const JobFile& file, CropRunContext& ctx, JobState& state, CropCurveState& curves, TTable& wk,
                          JobFileStation* station, const std::function<void()>& computed,
                          const std::function<void()>& cropsStart)
{
    try {
        // New Job.
        StartJob(ctx, state, wk);
        if (const QString problem = JobNameProblem(file.name); !problem.isEmpty())
            Refuse(QStringLiteral("name"), QStringLiteral("name"), problem);
        ctx.JobName = file.name;
        ctx.JobLocation = file.location;
        ctx.JobPlanner = file.planner;
        ctx.JobDate = file.date.value_or(QDate::currentDate().toString(QStringLiteral("MM/dd/yy")));
        ctx.JobLandUser = file.landUser.value_or(QString());
        ctx.JobID = file.id.value_or(QString());
        ctx.JobClass = file.jobClass.value_or(QString());
        ctx.Elevation = 1.0;
        ctx.ElevationM = 0.3048;
        // New Job gave the local defaults' farm values; the file's go over them.
        if (file.conveyanceEff)
            state.Farm.conveyanceEff = *file.conveyanceEff;
        if (file.operatingHours)
            state.Farm.hoursPerDay = *file.operatingHours;
        if (file.waterSalinity)
            state.Farm.ecw = *file.waterSalinity;

        // Get New Climate.
        const JobFileStations stations;
        TakeClimate(file, stations, ctx, station);

        // Add New Crop, the crop inputs and their computation, crop by crop.
        if (cropsStart)
            cropsStart();
        wk.open();
        AddCrops(file, ctx, state, curves, wk, computed);
        if (file.cropCounter)
            state.CropCounter = std::max(state.CropCounter, *file.cropCounter);
        state.JobSaveState = 1;
        state.JobFromDatabase = false;
    } catch (const Refusal& r) {
        if (wk.isOpen()) {
            wk.cancel();
            wk.close();
        }
        wk.emptyTable();
        EmptyWorkingFarmCrops();
        return r.error;
    }
    return {};
}

JobFileImport ImportJobFile(const JobFile& file, bool replace, CropRunContext& ctx, JobState& state,
                            CropCurveState& curves, TTable& wk, JobFileStation* station,
                            const std::function<void()>& computed, const std::function<void()>& cropsStart)
{
    JobFileImport result;
    auto emptyWorking = [&wk] {
        if (wk.isOpen())
            wk.close();
        wk.emptyTable();
        EmptyWorkingFarmCrops();
    };
    result.error = SetUpJobFile(file, ctx, state, curves, wk, station, computed, cropsStart);
    if (result.error.failed())
        return result;
    const int existing = FindJob(ctx.JobName);
    if (existing != 0 && !replace) {
        result.nameUsed = true;
        emptyWorking();
        return result;
    }
    if (existing != 0) {
        // The save rewrites that job's row and its crop rows in its transaction.
        state.JobFromDatabase = true;
        state.JobNumber = existing;
        result.replaced = true;
    }
    if (wk.isOpen() && wk.state() != TTable::State::Browse)
        wk.post();
    result.crops = int(file.crops.size());
    try {
        SaveJob(ctx, state);
    } catch (...) {
        emptyWorking();
        throw;
    }
    state.JobSaveState = 0;
    return result;
}

JobFileWritten WriteJobFile(const QString& name, const QString& path, QString* why)
{
    if (Database::isDatabaseFile(path))
        return JobFileWritten::DatabaseFile;
    QByteArray text;
    if (!ExportJobFile(name, text))
        return JobFileWritten::NoSuchJob;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        if (why)
            *why = out.errorString();
        return JobFileWritten::NotWritten;
    }
    return JobFileWritten::Written;
}

bool ExportJobFile(const QString& name, QByteArray& text)
{
    TTable jobs(QStringLiteral("QuenJob.db"));
    if (!OpenSavedJob(jobs, name))
        return false;
    OrderedObject job;
    job.add(QStringLiteral("format"), kJobFileFormat);
    job.add(QStringLiteral("version"), kJobFileVersion);
    const std::pair<const char*, const char*> texts[] = {
        {"name", "JobName"}, {"location", "Location"}, {"planner", "Planner"}, {"date", "Job Date"},
        {"landUser", "LandUser"}, {"id", "ID"}, {"jobClass", "JobClass"}};
    for (const auto& [key, field] : texts)
        job.add(QString::fromLatin1(key), jobs.field(QString::fromLatin1(field)).asString());
    OrderedObject st;
    st.add(QStringLiteral("name"), jobs.field(QStringLiteral("Weather Station")).asString());
    job.addRaw(QStringLiteral("station"), st.text(2));
    const int method = jobs.field(QStringLiteral("ETIndex")).asInteger();
    if (method >= 1 && method <= 3) {
        job.add(QStringLiteral("etMethod"), JobFileMethodName(method));
        job.add(QStringLiteral("etMethodText"), jobs.field(QStringLiteral("ETMethod")).asString());
    }
    const std::pair<const char*, const char*> numbers[] = {
        {"elevation", "Elevation"}, {"ratio50", "EffPcpFact50"}, {"ratio80", "EffPcpFact80"},
        {"cropCounter", "No of Crops"}};
    for (const auto& [key, field] : numbers)
        if (!jobs.field(QString::fromLatin1(field)).isNull())
            job.add(QString::fromLatin1(key), ValueOf(jobs, QString::fromLatin1(field)));
    jobs.close();
    const FarmJobInput farm = SavedFarmJob(name);
    job.add(QStringLiteral("conveyanceEfficiency"), farm.conveyanceEff);
    job.add(QStringLiteral("operatingHours"), farm.hoursPerDay);
    job.add(QStringLiteral("waterSalinity"), farm.ecw);

    // The saved crops of exactly this job, in the order they were saved.
    TTable saved(QStringLiteral("QuenJobCrop.DB"));
    saved.setIndexName(QStringLiteral("JobNameIndex"));
    saved.open();
    struct SavedCrop {
        int no = 0;
        OrderedObject object;
        QString name, irrigationType;
    };
    QList<SavedCrop> crops;
    saved.setRange({name}, {name});
    for (saved.first(); !saved.eof(); saved.next()) {
        if (saved.field(QStringLiteral("JobName")).asString() != name)
            continue;
        OrderedObject c;
        auto has = [&](const char* f) { return !saved.field(QString::fromLatin1(f)).isNull(); };
        auto value = [&](const char* key, const char* f) {
            if (has(f))
                c.add(QString::fromLatin1(key), ValueOf(saved, QString::fromLatin1(f)));
        };
        auto date = [&](const char* key, const char* mo, const char* dy) {
            if (has(mo) && has(dy))
                c.add(QString::fromLatin1(key), QStringLiteral("%1/%2")
                                                    .arg(saved.field(QString::fromLatin1(mo)).asInteger())
                                                    .arg(saved.field(QString::fromLatin1(dy)).asInteger()));
        };
        auto nullable = [&](const char* key, const char* f) { c.add(QString::fromLatin1(key), ValueOf(saved, QString::fromLatin1(f))); };
        c.add(QStringLiteral("crop"), saved.field(QStringLiteral("Crop Name")).asString());
        date("plantingDate", "Plant Mo", "Plant Day");
        date("harvestDate", "Harv Mo", "Harv Day");
        value("netIrrigationDepth", "Net Irr");
        value("carryOverBegin", "Carry Beg");
        value("carryOverEnd", "Carry End");
        value("soil", "Soil");
        value("irrigationType", "Irrigation Type");
        value("fractionWetted", "Fraction Wetted");
        value("wettingDaysDevelopment", "Dys Wet Developed");
        value("wettingDaysMaturation", "Dys Wet Mature");
        value("stressFactor", "Stress Factor");
        value("availableSoilWater", "ASW");
        value("sensitive", "Sensitive");
        value("cuttings", "Cuttings");
        date("firstCuttingDate", "Cut1Mo", "Cut1Day");
        date("lastCuttingDate", "CutEndMo", "CutEndDay");
        nullable("startTemperatureF", "StartT");
        nullable("startTemperatureC", "StartTM");
        nullable("endTemperatureF", "EndT");
        nullable("endTemperatureC", "EndTM");
        nullable("enteredGrowDays", "EnteredGrowDays");
        if (has("Curve Index")) {
            OrderedObject curve;
            curve.add(QStringLiteral("index"), saved.field(QStringLiteral("Curve Index")).asInteger());
            curve.add(QStringLiteral("name"), saved.field(QStringLiteral("Curve Name")).asString());
            curve.add(QStringLiteral("type"), saved.field(QStringLiteral("Crop Curve Type")).asString());
            c.addRaw(QStringLiteral("curve"), curve.text(6));
        } else {
            c.add(QStringLiteral("curve"), QJsonValue(QJsonValue::Null));
        }
        crops << SavedCrop{saved.field(QStringLiteral("Job Crop No")).asInteger(), c,
                           saved.field(QStringLiteral("Crop Name")).asString(),
                           saved.field(QStringLiteral("Irrigation Type")).asString()};
    }
    saved.close();
    std::stable_sort(crops.begin(), crops.end(), [](const auto& a, const auto& b) { return a.no < b.no; });
    // The farm values by the crops' places among the saved crops. An
    // efficiency of 0 is none (a crop without an area whose type has no
    // efficiency in the local defaults): left out, it is seeded again.
    QStringList names, types;
    for (const SavedCrop& c : crops) {
        names << c.name;
        types << c.irrigationType;
    }
    const std::vector<FarmCropValues> farmCrops = SavedFarmCrops(name, names, types);
    QStringList items;
    for (qsizetype i = 0; i < crops.size(); ++i) {
        OrderedObject& c = crops[i].object;
        const FarmCropValues& v = farmCrops[size_t(i)];
        c.add(QStringLiteral("irrigatedArea"), v.areaAcres);
        if (v.applicationEff > 0.0)
            c.add(QStringLiteral("applicationEfficiency"), v.applicationEff);
        c.add(QStringLiteral("salinityThreshold"), v.ecThreshold);
        items << QStringLiteral("    ") + c.text(4);
    }
    job.addRaw(QStringLiteral("crops"), items.isEmpty() ? QStringLiteral("[]")
                                                        : QStringLiteral("[\n") + items.join(QStringLiteral(",\n"))
                                                              + QStringLiteral("\n  ]"));
    text = job.text(0).toUtf8() + '\n';
    return true;
}

} // namespace quen::job
