#include "DailyImport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariantList>
#include <cmath>
#include <mutex>

#include "Database.h"
#include "MessageService.h"
#include "ReferenceET.h"
#include "Table.h"

namespace quen::job {

namespace {

const QString kDaily = QStringLiteral("DailyWeather.db");
const QString kSet = QStringLiteral("DailyWeatherSet.db");

QVariant Opt(double v)
{
    return std::isnan(v) ? QVariant() : QVariant(v);
}

CivilDate DateOf(const QString& text)
{
    CivilDate d;
    const QStringList p = text.split(QLatin1Char('-'));
    if (p.size() == 3) {
        d.year = p[0].toInt();
        d.month = p[1].toInt();
        d.day = p[2].toInt();
    }
    return d;
}

struct StationKey {
    bool found = false;
    QString name, no;
    double latitudeDeg = 0, elevationM = 0;
};

StationKey FindStation(const QString& name)
{
    StationKey k;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.setIndexName(QStringLiteral("StaNameIndex"));
    clim.open();
    if (clim.findKey({name.trimmed()})) {
        k.found = true;
        k.name = clim.field(QStringLiteral("Station Name")).asString();
        k.no = clim.field(QStringLiteral("Station No")).asString();
        const double rad = LatitudeRadians(clim.field(QStringLiteral("Latitude")).asFloat());
        k.latitudeDeg = rad < 0 ? 0 : rad * 180.0 / M_PI;
        k.elevationM = clim.field(QStringLiteral("ElevationM")).asFloat();
    }
    clim.close();
    return k;
}

// Removes the station's rows of an open handle on its primary key.
int RemoveStationRows(TTable& t, const QString& name, const QString& no)
{
    t.setRange({name, no}, {name, no});
    const int n = t.removeVisibleRows();
    t.cancelRange();
    return n;
}

} // namespace

bool DailyFileFormatFromText(const QString& text, DailyFileFormat& format)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("plain")) format = DailyFileFormat::Plain;
    else if (t == QLatin1String("ncei")) format = DailyFileFormat::Ncei;
    else if (t == QLatin1String("ncei-metric")) format = DailyFileFormat::NceiMetric;
    else return false;
    return true;
}

QString DailyFileFormatText(DailyFileFormat format)
{
    switch (format) {
    case DailyFileFormat::Plain: return QStringLiteral("plain");
    case DailyFileFormat::Ncei: return QStringLiteral("ncei");
    case DailyFileFormat::NceiMetric: return QStringLiteral("ncei-metric");
    }
    return QString();
}

QString RefusedLinesText(const std::vector<RefusedLine>& refused, int limit)
{
    QStringList lines;
    for (int i = 0; i < int(refused.size()) && i < limit; ++i)
        lines << QStringLiteral("line %1: %2").arg(refused[i].line).arg(refused[i].reason);
    if (int(refused.size()) > limit)
        lines << QStringLiteral("... and %1 more").arg(int(refused.size()) - limit);
    return lines.join(QLatin1Char('\n'));
}

QString DailyImportResult::summary() const
{
    QStringList s;
    if (imported) {
        s << QStringLiteral("%1 days of daily weather stored for %2 (%3 to %4).")
                 .arg(days).arg(stationName, first.text(), last.text());
        if (replacedDays > 0)
            s << QStringLiteral("%1 earlier days of the station replaced.").arg(replacedDays);
    }
    if (!refused.empty())
        s << QStringLiteral("%1 lines refused:\n%2").arg(int(refused.size())).arg(RefusedLinesText(refused));
    if (imported)
        s << QStringLiteral("Days with missing values that the FAO-56 rules fill: solar radiation from sunshine: %1, "
                            "from the temperature range: %2; humidity from Tmin: %3; wind taken as 2 m/s: %4; "
                            "rain taken as 0 mm: %5.")
                 .arg(filled.rsFromSunshine).arg(filled.rsFromTemperature).arg(filled.eaFromTmin)
                 .arg(filled.windDefault).arg(filled.rainMissing);
    return s.join(QLatin1Char('\n'));
}

DailyImportResult ImportDailyWeather(const DailyImportRequest& request)
{
    DailyImportResult r;
    // Never read: a second handle on the database file would drop SQLite's hold on it.
    if (Database::isDatabaseFile(request.filePath)) {
        r.error = QStringLiteral("%1 is the database of the programs (or one of its working files). "
                                 "It cannot be read as daily weather: choose another file.")
                      .arg(QDir::toNativeSeparators(request.filePath));
        return r;
    }
    QFile file(request.filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("The file %1 could not be read.").arg(request.filePath);
        return r;
    }
    const QString text = QString::fromUtf8(file.readAll());
    file.close();

    DailyWeatherFile parsed;
    switch (request.format) {
    case DailyFileFormat::Plain: parsed = ParseDailyWeatherCsv(text, request.windHeightM); break;
    case DailyFileFormat::Ncei: parsed = ParseNceiDailySummaries(text, NceiUnits::Standard, request.windHeightM); break;
    case DailyFileFormat::NceiMetric: parsed = ParseNceiDailySummaries(text, NceiUnits::Metric, request.windHeightM); break;
    }
    r.refused = parsed.refused;
    if (!parsed.ok()) {
        r.error = QStringLiteral("The file %1 was refused: %2").arg(QFileInfo(request.filePath).fileName(), parsed.error);
        return r;
    }
    if (parsed.days.empty()) {
        r.error = QStringLiteral("The file %1 holds no day that can be used; nothing was imported.")
                      .arg(QFileInfo(request.filePath).fileName());
        return r;
    }

    const StationKey st = FindStation(request.stationName);
    if (!st.found) {
        r.error = QStringLiteral("There is no station \"%1\" in the climate database.").arg(request.stationName);
        return r;
    }
    r.stationName = st.name;
    r.stationNo = st.no;

    if (!parsed.refused.empty()) {
        const QString q = QStringLiteral("%1 lines of %2 were refused:\n%3\n\nImport the %4 days that were read?")
                              .arg(int(parsed.refused.size()))
                              .arg(QFileInfo(request.filePath).fileName(), RefusedLinesText(parsed.refused))
                              .arg(int(parsed.days.size()));
        if (!askYesNo(q)) {
            r.cancelled = true;
            return r;
        }
    }

    const DailyWeatherSet before = ReadDailyWeatherSet(st.name, st.no);
    if (before.found && !request.replaceWithoutAsking) {
        const QString q = QStringLiteral("%1 already has %2 days of daily weather (%3 to %4, from %5).\n"
                                         "Replace them with the %6 days of %7?")
                              .arg(st.name).arg(before.days).arg(before.firstDate, before.lastDate, before.sourceFile)
                              .arg(int(parsed.days.size())).arg(QFileInfo(request.filePath).fileName());
        if (!askYesNo(q)) {
            r.cancelled = true;
            return r;
        }
    }

    const int n = int(parsed.days.size());
    Database::transaction(
        [&] {
            TTable daily(kDaily);
            daily.open();
            r.replacedDays = RemoveStationRows(daily, st.name, st.no);
            const int chunk = 1000;
            for (int i0 = 0; i0 < n; i0 += chunk) {
                QList<QVariantList> rows;
                for (int i = i0; i < n && i < i0 + chunk; ++i) {
                    const DailyWeatherDay& d = parsed.days[i];
                    rows.append({st.name, st.no, d.date.text(), d.tmax, d.tmin, Opt(d.rs), Opt(d.sunshineHours),
                                 Opt(d.rhMax), Opt(d.rhMin), Opt(d.tdew), Opt(d.ea), Opt(d.wind), d.windHeightM,
                                 Opt(d.rain)});
                }
                daily.appendRows(rows);
                if (request.progress)
                    request.progress(std::min(n, i0 + chunk), n);
            }
            daily.close();

            TTable set(kSet);
            set.open();
            if (set.findKey({st.name, st.no}))
                set.remove();
            set.appendRecord({st.name, st.no, QFileInfo(request.filePath).fileName(),
                              DailyFileFormatText(request.format),
                              QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
                              double(n), parsed.days.front().date.text(), parsed.days.back().date.text(),
                              request.windHeightM, request.coastal});
            set.close();
        },
        {kDaily, kSet});

    r.imported = true;
    r.days = n;
    r.first = parsed.days.front().date;
    r.last = parsed.days.back().date;
    DailyStation station;
    station.latitudeDeg = st.latitudeDeg;
    station.elevationM = st.elevationM;
    station.coastal = request.coastal;
    DailyReferenceET(parsed.days, station, &r.filled);
    return r;
}

DailyWeatherSet ReadDailyWeatherSet(const QString& stationName, const QString& stationNo)
{
    DailyWeatherSet s;
    TTable set(kSet);
    set.open();
    if (set.findKey({stationName, stationNo})) {
        s.found = true;
        s.stationName = stationName;
        s.stationNo = stationNo;
        s.sourceFile = set.field(QStringLiteral("Source File")).asString();
        s.format = set.field(QStringLiteral("Format")).asString();
        s.imported = set.field(QStringLiteral("Imported")).asString();
        s.days = set.field(QStringLiteral("Days")).asInteger();
        s.firstDate = set.field(QStringLiteral("First Date")).asString();
        s.lastDate = set.field(QStringLiteral("Last Date")).asString();
        s.windHeightM = set.field(QStringLiteral("Wind Height")).asFloat();
        s.coastal = set.field(QStringLiteral("Coastal")).asBoolean();
    }
    set.close();
    return s;
}

std::vector<DailyWeatherDay> ReadDailyWeather(const QString& stationName, const QString& stationNo)
{
    std::vector<DailyWeatherDay> days;
    TTable t(kDaily);
    // Equality on the leading key fields: the key's own order, read ahead in batches.
    t.setFilter(QStringLiteral("Station Name = '%1' and Station No = '%2'")
                    .arg(QString(stationName).replace(QLatin1Char('\''), QLatin1String("''")),
                         QString(stationNo).replace(QLatin1Char('\''), QLatin1String("''"))));
    t.setFiltered(true);
    t.open();
    // Field proxies taken once: they follow the current row.
    TField fDate = t.field(QStringLiteral("Date")), fTmax = t.field(QStringLiteral("Tmax")),
           fTmin = t.field(QStringLiteral("Tmin")), fRs = t.field(QStringLiteral("Rs")),
           fSun = t.field(QStringLiteral("Sunshine")), fRhx = t.field(QStringLiteral("RHmax")),
           fRhn = t.field(QStringLiteral("RHmin")), fTd = t.field(QStringLiteral("Tdew")),
           fEa = t.field(QStringLiteral("Ea")), fU = t.field(QStringLiteral("Wind")),
           fZ = t.field(QStringLiteral("Wind Height")), fP = t.field(QStringLiteral("Rain"));
    auto val = [](const TField& f) { return f.isNull() ? std::nan("") : f.asFloat(); };
    for (t.first(); !t.eof(); t.next()) {
        DailyWeatherDay d;
        d.date = DateOf(fDate.asString());
        d.tmax = fTmax.asFloat();
        d.tmin = fTmin.asFloat();
        d.rs = val(fRs);
        d.sunshineHours = val(fSun);
        d.rhMax = val(fRhx);
        d.rhMin = val(fRhn);
        d.tdew = val(fTd);
        d.ea = val(fEa);
        d.wind = val(fU);
        d.windHeightM = fZ.isNull() ? 2.0 : fZ.asFloat();
        d.rain = val(fP);
        days.push_back(d);
    }
    t.close();
    return days;
}

std::shared_ptr<const std::vector<DailyWeatherDay>> DailyWeatherOf(const DailyWeatherSet& set)
{
    static std::mutex lock;
    static QStringList key;
    static std::shared_ptr<const std::vector<DailyWeatherDay>> days;
    const QStringList k{Database::path(), set.stationName, set.stationNo, set.sourceFile, set.format, set.imported,
                        QString::number(set.days), set.firstDate, set.lastDate};
    std::lock_guard<std::mutex> hold(lock);
    if (k != key || !set.found || !days) {
        days = std::make_shared<const std::vector<DailyWeatherDay>>(ReadDailyWeather(set.stationName, set.stationNo));
        key = set.found ? k : QStringList();
    }
    return days;
}

} // namespace quen::job
