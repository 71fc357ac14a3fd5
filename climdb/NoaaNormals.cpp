#include "NoaaNormals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <cmath>

#include "ClimDMod.h"
#include "ClimImport.h"
#include "Database.h"
#include "StationRecords.h"
#include "Table.h"

namespace quen::climprog {

namespace {

const char* const kMonthly[4] = {"MLY-TMAX-NORMAL", "MLY-TMIN-NORMAL", "MLY-TAVG-NORMAL", "MLY-PRCP-NORMAL"};
// spring 28, fall 28, spring 32, fall 32
const char* const kFreeze[4] = {"ANN-TMIN-PRBLST-T28FP50", "ANN-TMIN-PRBFST-T28FP50",
                                "ANN-TMIN-PRBLST-T32FP50", "ANN-TMIN-PRBFST-T32FP50"};

// A value read from a file, as a message quotes it: a damaged file may hold
// a field of any length, and the message must stay readable.
QString cut(const QString& value)
{
    constexpr int kShown = 40;
    if (value.size() <= kShown)
        return value;
    return value.left(kShown) + QStringLiteral("... (%1 characters)").arg(value.size());
}

// RFC 4180 records of a comma-separated file (quoted fields may hold commas).
QList<QStringList> readCsv(const QString& path, QString* error)
{
    QList<QStringList> rows;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot be opened for reading");
        return rows;
    }
    const QString text = QString::fromUtf8(f.readAll());
    QStringList rec;
    QString field;
    bool quoted = false, any = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') { field += c; ++i; }
            else if (c == u'"') quoted = false;
            else field += c;
            continue;
        }
        if (c == u'"') { quoted = true; any = true; }
        else if (c == u',') { rec << field; field.clear(); any = true; }
        else if (c == u'\n' || c == u'\r') {
            if (any || !field.isEmpty()) { rec << field; rows << rec; }
            rec.clear(); field.clear(); any = false;
        } else { field += c; any = true; }
    }
    if (any || !field.isEmpty()) { rec << field; rows << rec; }
    if (quoted) *error = QStringLiteral("a quoted field is not closed");
    return rows;
}

// NOAA's special values in place of a number.
bool isSpecial(double v)
{
    return v == -4444 || v == -5555 || v == -6666 || v == -7777 || v == -8888 || v == -9999;
}

bool validMonthDay(const QString& d)
{
    static const QRegularExpression form(QStringLiteral("^(\\d\\d)/(\\d\\d)$"));
    const auto m = form.match(d);
    if (!m.hasMatch()) return false;
    static const int days[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int mo = m.captured(1).toInt(), dy = m.captured(2).toInt();
    return mo >= 1 && mo <= 12 && dy >= 1 && dy <= days[mo - 1];
}

int monthDayKey(const QString& d) { return d.left(2).toInt() * 100 + d.mid(3, 2).toInt(); }

// The freeze dates of the annual/seasonal file; "" when the file is fine.
QString readFreezeDates(const QString& path, NoaaStation& s)
{
    QString err;
    const QList<QStringList> rows = readCsv(path, &err);
    const QString file = QFileInfo(path).fileName();
    if (!err.isEmpty()) return file + QStringLiteral(": ") + err;
    if (rows.size() < 2) return file + QStringLiteral(": no data line");
    const QStringList& head = rows[0];
    const QStringList& row = rows[1];
    const int idCol = head.indexOf(QStringLiteral("STATION"));
    if (idCol >= 0 && row.value(idCol).trimmed() != s.ghcnId)
        return file + QStringLiteral(": STATION is %1, not the station of the monthly file (%2)")
                          .arg(cut(row.value(idCol).trimmed()), cut(s.ghcnId));
    QString* out[4] = {&s.spring28, &s.fall28, &s.spring32, &s.fall32};
    for (int k = 0; k < 4; ++k) {
        const int c = head.indexOf(QString::fromLatin1(kFreeze[k]));
        if (c < 0) continue;  // not published for the station: not known
        const QString v = row.value(c).trimmed();
        if (v.isEmpty() || v == QLatin1String("-4444") || v == QLatin1String("-5555")
            || v == QLatin1String("-7777") || v == QLatin1String("-8888") || v == QLatin1String("-9999"))
            *out[k] = QString();
        else if (v == QLatin1String("-6666"))
            *out[k] = QStringLiteral("00/00");
        else if (validMonthDay(v))
            *out[k] = v;
        else
            return file + QStringLiteral(": %1 is not a date (\"%2\")").arg(QString::fromLatin1(kFreeze[k]), cut(v));
    }
    // a first fall date in the next January: the season runs to the year's end
    auto real = [](const QString& d) { return !d.isEmpty() && d != QLatin1String("00/00"); };
    if (real(s.spring28) && real(s.fall28) && monthDayKey(s.fall28) < monthDayKey(s.spring28))
        s.fall28 = QStringLiteral("12/31");
    if (real(s.spring32) && real(s.fall32) && monthDayKey(s.fall32) < monthDayKey(s.spring32))
        s.fall32 = QStringLiteral("12/31");
    s.freezeFileRead = true;
    return QString();
}

} // namespace

QString NoaaAnnualSeasonalPath(const QString& monthlyPath)
{
    const QFileInfo fi(monthlyPath);
    QString name = fi.fileName();
    if (name.contains(QLatin1String("monthly"), Qt::CaseInsensitive)) {
        name.replace(QRegularExpression(QStringLiteral("monthly"), QRegularExpression::CaseInsensitiveOption),
                     QStringLiteral("annualseasonal"));
        const QString p = fi.dir().filePath(name);
        if (QFileInfo::exists(p)) return p;
    }
    QString path = QDir::fromNativeSeparators(fi.absoluteFilePath());
    if (path.contains(QLatin1String("normals-monthly/"))) {
        path.replace(QLatin1String("normals-monthly/"), QLatin1String("normals-annualseasonal/"));
        if (QFileInfo::exists(path)) return path;
    }
    return QString();
}

QStringList NoaaMonthlyFiles(const QString& fileOrFolder)
{
    const QFileInfo fi(fileOrFolder);
    if (!fi.isDir()) return {fileOrFolder};
    QStringList out;
    const QDir dir(fileOrFolder);
    for (const QString& n : dir.entryList({QStringLiteral("*.csv"), QStringLiteral("*.CSV")}, QDir::Files, QDir::Name))
        // The database's own files are never read (see FileDialog.h).
        if (!n.contains(QLatin1String("annualseasonal"), Qt::CaseInsensitive) && !Database::isDatabaseFile(dir.filePath(n)))
            out << dir.filePath(n);
    return out;
}

NoaaFileResult ReadNoaaNormalsFile(const QString& monthlyPath)
{
    NoaaFileResult r;
    r.file = monthlyPath;
    const QString file = QFileInfo(monthlyPath).fileName();
    auto fail = [&](const QString& why) {
        r.error = file + QStringLiteral(": ") + why;
        r.station.reset();
        return r;
    };
    QString err;
    const QList<QStringList> rows = readCsv(monthlyPath, &err);
    if (!err.isEmpty()) return fail(err);
    if (rows.isEmpty()) return fail(QStringLiteral("the file is empty"));
    const QStringList& head = rows[0];
    auto col = [&](const QString& name) { return head.indexOf(name); };
    for (const char* f : {"STATION", "LATITUDE", "LONGITUDE", "ELEVATION", "NAME"})
        if (col(QString::fromLatin1(f)) < 0) return fail(QStringLiteral("no field %1").arg(QString::fromLatin1(f)));
    for (const char* f : kMonthly)
        if (col(QString::fromLatin1(f)) < 0) return fail(QStringLiteral("no field %1").arg(QString::fromLatin1(f)));
    const int monthCol = col(QStringLiteral("month")) >= 0 ? col(QStringLiteral("month")) : col(QStringLiteral("DATE"));
    if (monthCol < 0) return fail(QStringLiteral("no field month (or DATE)"));
    // 1991-2020 files carry "meas_flag_"/"comp_flag_" fields and decimal
    // values; 1981-2010 files carry "_ATTRIBUTES" fields and whole tenths.
    bool decimal = false;
    for (const QString& h : head) decimal |= h.startsWith(QLatin1String("meas_flag_")) || h.startsWith(QLatin1String("comp_flag_"));

    NoaaStation s;
    s.file = monthlyPath;
    s.period = decimal ? QStringLiteral("1991-2020") : QStringLiteral("1981-2010");
    std::array<bool, 12> seen{};
    std::array<double, 12>* arrays[4] = {&s.tmax, &s.tmin, &s.tavg, &s.prcp};
    for (int i = 1; i < rows.size(); ++i) {
        const QStringList& row = rows[i];
        if (row.size() == 1 && row[0].trimmed().isEmpty()) continue;
        const QString id = row.value(col(QStringLiteral("STATION"))).trimmed();
        if (id.isEmpty()) return fail(QStringLiteral("STATION is empty on line %1").arg(i + 1));
        if (s.ghcnId.isEmpty()) {
            s.ghcnId = id;
            bool ok[3];
            s.latitude = row.value(col(QStringLiteral("LATITUDE"))).trimmed().toDouble(&ok[0]);
            s.longitude = row.value(col(QStringLiteral("LONGITUDE"))).trimmed().toDouble(&ok[1]);
            s.elevationM = row.value(col(QStringLiteral("ELEVATION"))).trimmed().toDouble(&ok[2]);
            const char* names[3] = {"LATITUDE", "LONGITUDE", "ELEVATION"};
            const double vals[3] = {s.latitude, s.longitude, s.elevationM};
            for (int k = 0; k < 3; ++k)
                if (!ok[k] || !std::isfinite(vals[k]) || isSpecial(vals[k]))
                    return fail(QStringLiteral("%1 is not a number (\"%2\")")
                                    .arg(QString::fromLatin1(names[k]), cut(row.value(col(QString::fromLatin1(names[k]))).trimmed())));
            if (std::fabs(s.latitude) > 90 || std::fabs(s.longitude) > 180)
                return fail(QStringLiteral("LATITUDE or LONGITUDE out of range"));
            // The range the station editor and the state import take.
            const double feet = std::floor(s.elevationM * 3.28083 + 0.5);
            if (feet < kMinElevationFt || feet > kMaxElevationFt)
                return fail(QStringLiteral("ELEVATION %1 m is out of range (%2 to %3 ft)")
                                .arg(s.elevationM)
                                .arg(kMinElevationFt)
                                .arg(kMaxElevationFt));
            // "LEBANON MUNI AP, NH US": name, state, country
            const QString full = row.value(col(QStringLiteral("NAME"))).trimmed();
            static const QRegularExpression nameForm(QStringLiteral("^(.*\\S),\\s*([A-Z]{2})\\s+US$"));
            const auto m = nameForm.match(full);
            if (!m.hasMatch()) return fail(QStringLiteral("NAME \"%1\" is not a station of a US state").arg(cut(full)));
            s.name = m.captured(1).left(35).trimmed();
            s.state = m.captured(2);
        } else if (id != s.ghcnId) {
            return fail(QStringLiteral("STATION changes on line %1 (%2 after %3)").arg(i + 1).arg(cut(id), cut(s.ghcnId)));
        }
        bool okMonth = false;
        const int month = row.value(monthCol).trimmed().toInt(&okMonth);
        if (!okMonth || month < 1 || month > 12)
            return fail(QStringLiteral("%1 \"%2\" on line %3 is not a month")
                            .arg(head[monthCol], cut(row.value(monthCol).trimmed()), QString::number(i + 1)));
        if (seen[month - 1]) return fail(QStringLiteral("month %1 is given twice").arg(month));
        seen[month - 1] = true;
        for (int k = 0; k < 4; ++k) {
            const QString field = QString::fromLatin1(kMonthly[k]);
            const QString text = row.value(col(field)).trimmed();
            bool ok = false;
            double v = text.toDouble(&ok);
            if (ok && k == 3 && v == -7777) v = 0;  // trace of precipitation
            if (!ok || !std::isfinite(v) || isSpecial(v))
                return fail(QStringLiteral("%1 of month %2 is missing or not a number (\"%3\")").arg(field, QString::number(month), cut(text)));
            if (!decimal) v /= (k == 3 ? 100.0 : 10.0);
            const bool inRange = k == 3 ? (v >= 0 && v < 100) : (v > -90 && v < 135);
            if (!inRange) return fail(QStringLiteral("%1 of month %2 is out of range (%3)").arg(field).arg(month).arg(v));
            (*arrays[k])[month - 1] = v;
        }
    }
    if (s.ghcnId.isEmpty()) return fail(QStringLiteral("no data line"));
    for (int m = 0; m < 12; ++m) {
        if (!seen[m]) return fail(QStringLiteral("month %1 is missing").arg(m + 1));
        if (s.tmin[m] > s.tavg[m] + 0.05 || s.tavg[m] > s.tmax[m] + 0.05)
            return fail(QStringLiteral("MLY-TAVG-NORMAL of month %1 is not between MLY-TMIN-NORMAL and MLY-TMAX-NORMAL").arg(m + 1));
    }
    const QString seasonal = NoaaAnnualSeasonalPath(monthlyPath);
    if (!seasonal.isEmpty()) {
        const QString e = readFreezeDates(seasonal, s);
        if (!e.isEmpty()) {
            r.error = e;
            return r;
        }
    }
    r.station = s;
    return r;
}

NoaaScan ScanNoaaNormals(const QString& fileOrFolder, const std::function<void(int, int)>& progress)
{
    NoaaScan scan;
    const QStringList files = NoaaMonthlyFiles(fileOrFolder);
    QHash<QString, int> indexOfStation;
    auto refuseOlder = [&](const NoaaStation& older, const NoaaStation& newer) {
        NoaaFileResult r;
        r.file = older.file;
        r.error = QFileInfo(older.file).fileName()
                  + QStringLiteral(": STATION %1 holds the %2 normals; the %3 normals of %4 are imported")
                        .arg(cut(older.ghcnId), older.period, newer.period, QFileInfo(newer.file).fileName());
        scan.refused << r;
    };
    for (int i = 0; i < files.size(); ++i) {
        const NoaaFileResult r = ReadNoaaNormalsFile(files[i]);
        if (!r.station) {
            scan.refused << r;
        } else if (!indexOfStation.contains(r.station->ghcnId)) {
            indexOfStation.insert(r.station->ghcnId, int(scan.stations.size()));
            scan.stations << *r.station;
        } else {
            NoaaStation& kept = scan.stations[indexOfStation[r.station->ghcnId]];
            if (r.station->period > kept.period) {
                refuseOlder(kept, *r.station);
                kept = *r.station;
            } else {
                refuseOlder(*r.station, kept);
            }
        }
        if (progress) progress(i + 1, int(files.size()));
    }
    return scan;
}

QString NoaaStationNumber(const QString& id)
{
    if (id.startsWith(QLatin1String("USW000")) && id.size() == 11) return id.mid(6);
    if (id.startsWith(QLatin1String("USC00")) && id.size() == 11) return id.mid(5);
    return id.right(8);
}

int NoaaDegreesMinutes(double degrees)
{
    const double a = std::fabs(degrees);
    int deg = int(a);
    int minutes = int(std::floor((a - deg) * 60 + 0.5));
    if (minutes == 60) { ++deg; minutes = 0; }
    return deg * 100 + minutes;
}

QString NoaaCountyKey(const NoaaStation& s)
{
    const QString c = s.county.trimmed();
    if (c.isEmpty()) return QString();
    static const QRegularExpression keyed(QStringLiteral(",\\s*[A-Za-z]{2}$"));
    if (keyed.match(c).hasMatch()) {
        QString name = c.section(QLatin1Char(','), 0, -2).trimmed();
        return name + QStringLiteral(", ") + c.section(QLatin1Char(','), -1).trimmed().toUpper();
    }
    return c + QStringLiteral(", ") + s.state;
}

QString NoaaStoreProblem(const NoaaStation& s)
{
    const QString key = NoaaCountyKey(s);
    if (key.isEmpty()) return QStringLiteral("Enter the county of station %1.").arg(s.name);
    if (key.size() > 25)
        return QStringLiteral("The county \"%1\" of station %2 is longer than 25 characters.").arg(key, s.name);
    if (!isCountyKey(key)) return countyKeyMessage(s.name, key);
    // the same position rules as the station editor and the other imports
    if (!isDDMMLatitude(NoaaDegreesMinutes(s.latitude)))
        return positionMessage(s.name, QStringLiteral("Latitude"), QString::number(NoaaDegreesMinutes(s.latitude)));
    if (!isDDDMMLongitude(NoaaDegreesMinutes(s.longitude)))
        return positionMessage(s.name, QStringLiteral("Longitude"), QString::number(NoaaDegreesMinutes(s.longitude)));
    // the station table holds north latitudes in degrees and minutes
    if (!(s.latitude >= 0.0 && s.latitude < 90.0))
        return QStringLiteral("Station %1 lies at latitude %2: the station table holds north latitudes.")
            .arg(s.name, QString::number(s.latitude));
    if (s.longitude > 0)
        return QStringLiteral("Station %1 lies east of Greenwich: the station table holds west longitudes.").arg(s.name);
    return QString();
}

NoaaStoreResult StoreNoaaStations(const QList<NoaaStation>& stations, const std::function<void(int)>& progress)
{
    for (const NoaaStation& s : stations) {
        const QString p = NoaaStoreProblem(s);
        if (!p.isEmpty()) throw DbError(p);
    }
    NoaaStoreResult result;
    {
        TTable clim(QStringLiteral("Climate.DB"));
        TTable county(QStringLiteral("County"));
        clim.open();
        county.open();
        // as the other imports: every station or, on any error, none
        TClimTransaction txn({QStringLiteral("Climate.DB"), QStringLiteral("County")});
        int done = 0;
        for (const NoaaStation& s : stations) {
            // the number as the station files store it: with the writer's
            // trailing blank where the 8 characters of the field leave room
            QString number = NoaaStationNumber(s.ghcnId);
            if (number.size() < 8) number += QLatin1Char(' ');
            bool found = false;
            clim.setIndexName(QStringLiteral("StaNumberIndex"));
            found = clim.findKey({number}) || clim.findKey({number.trimmed()});
            if (!found) {
                clim.setIndexName(QStringLiteral("StaNameIndex"));
                found = clim.findKey({s.name});
            }
            if (found) {
                clim.edit();   // keeps "WHRLocation", "Marked" and the site counter
                ++result.replaced;
            } else {
                clim.append();
                clim.field(QStringLiteral("Marked")).setAsBoolean(false);
                ++result.added;
            }
            const QString key = NoaaCountyKey(s);
            // a replaced station keeps its name: saved jobs find their station by it
            if (!found) clim.field(QStringLiteral("Station Name")).setAsString(s.name);
            clim.field(QStringLiteral("County")).setAsString(key);
            clim.field(QStringLiteral("Station No")).setAsString(number);
            clim.field(QStringLiteral("Latitude")).setAsFloat(NoaaDegreesMinutes(s.latitude));
            clim.field(QStringLiteral("Longitude")).setAsFloat(NoaaDegreesMinutes(s.longitude));
            const double feet = std::floor(s.elevationM * 3.28083 + 0.5);
            clim.field(QStringLiteral("Elevation")).setAsFloat(feet);
            clim.field(QStringLiteral("ElevationM")).setAsFloat(std::floor(feet * 0.3048 + 0.5));
            const QString dates[4] = {s.spring28, s.spring32, s.fall28, s.fall32};
            const char* dateFields[4] = {"Spr mo/dy 28", "Spr mo/dy 32", "Fall mo/dy 28", "Fall mo/dy 32"};
            // without its annual/seasonal file a replaced station keeps the dates it has
            for (int k = 0; k < 4 && (s.freezeFileRead || !found); ++k) {
                if (dates[k].isEmpty()) clim.field(QString::fromLatin1(dateFields[k])).clear();
                else clim.field(QString::fromLatin1(dateFields[k])).setAsString(dates[k]);
            }
            auto r2 = [](double v) { return std::floor(v * 100.0 + 0.5) / 100.0; };
            auto c = [](double f) { return (f - 32.0) * 5.0 / 9.0; };
            for (int m = 0; m < 12; ++m) {
                const QString n = QString::number(m + 1);
                clim.field(QStringLiteral("Tmax") + n).setAsFloat(s.tmax[m]);
                clim.field(QStringLiteral("Tmin") + n).setAsFloat(s.tmin[m]);
                clim.field(QStringLiteral("T") + n).setAsFloat(s.tavg[m]);
                clim.field(QStringLiteral("P") + n).setAsFloat(s.prcp[m]);
                clim.field(QStringLiteral("Tm") + n).setAsFloat(r2(c(s.tavg[m])));
                clim.field(QStringLiteral("TminM") + n).setAsFloat(r2(c(s.tmin[m])));
                clim.field(QStringLiteral("TmaxM") + n).setAsFloat(r2(c(s.tmax[m])));
                clim.field(QStringLiteral("Pm") + n).setAsFloat(r2(s.prcp[m] * 2.54));
            }
            clim.post();
            if (!county.findKey({key})) county.appendRecord({key});
            if (progress) progress(++done);
        }
        txn.commit();
    }
    return result;
}

} // namespace quen::climprog
