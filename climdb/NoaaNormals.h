// Reader of NOAA NCEI's per-station climate normals files (1991-2020 and
// 1981-2010, comma-separated "normals-monthly" files with, when present beside
// them, the "normals-annualseasonal" file of the same station) and the store
// of their stations into "Climate.DB" and "County". No windows: the import
// window (TNoaaImportForm) and the tests use it.
//
// From the monthly file: MLY-TMAX-NORMAL, MLY-TMIN-NORMAL, MLY-TAVG-NORMAL
// (deg F) and MLY-PRCP-NORMAL (inches) of the twelve months, the station id,
// name, latitude, longitude and elevation (m). 1991-2020 files hold decimal
// values; 1981-2010 files hold tenths of a degree and hundredths of an inch.
// From the annual/seasonal file: the 50 % last spring and first fall dates of
// 28 F and 32 F (ANN-TMIN-PRBLST-T28FP50 and so on). NOAA's special values:
// -6666 (the temperature is reached in fewer than half of the years) becomes
// "00/00"; -4444 (freezes possible in every month), -9999 (missing) and the
// other flags leave the date unknown (empty). A first fall date in the next
// January is stored as 12/31 (the programs count one calendar year).
// A file with a missing or malformed value is refused with a message naming
// the field; no value that is not a finite number is ever stored.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace quen::climprog {

struct NoaaStation {
    QString ghcnId;        // "USW00094765"
    QString name;          // "LEBANON MUNI AP" (at most 35 characters)
    QString state;         // "NH"
    QString county;        // county name as the planner types it ("Grafton"); may be empty
    QString file;          // the monthly file it was read from
    double latitude = 0, longitude = 0, elevationM = 0;   // decimal degrees (east positive), metres
    std::array<double, 12> tmax{}, tmin{}, tavg{}, prcp{};  // deg F, inches
    QString spring28, fall28, spring32, fall32;  // "mm/dd", "00/00" never that low, "" not known
    bool freezeFileRead = false;
    QString period;        // "1991-2020" (decimal values) or "1981-2010" (tenths)
};

struct NoaaFileResult {
    QString file;
    std::optional<NoaaStation> station;
    QString error;   // why the file was refused (names the field)
};

// Reads one monthly normals file and the annual/seasonal file beside it.
NoaaFileResult ReadNoaaNormalsFile(const QString& monthlyPath);

// The annual/seasonal file of the same station beside a monthly file, or ""
// when there is none: "monthly" replaced by "annualseasonal" in the file name
// (monthly_1991-2020_USW00094765.csv), or NOAA's own folder layout
// (normals-monthly/... -> normals-annualseasonal/..., same file name).
QString NoaaAnnualSeasonalPath(const QString& monthlyPath);

// The monthly files to read for a file or a folder: the file itself, or every
// "*.csv" of the folder except the annual/seasonal companions, by name.
QStringList NoaaMonthlyFiles(const QString& fileOrFolder);

// Reads every file of NoaaMonthlyFiles; of two files of one station the
// later normals period is kept and the other file refused.
struct NoaaScan {
    QList<NoaaStation> stations;
    QList<NoaaFileResult> refused;
};
NoaaScan ScanNoaaNormals(const QString& fileOrFolder, const std::function<void(int, int)>& progress = {});

// "Station No" of a GHCN id: the WBAN of a first-order station (USW00094765
// -> 94765), the COOP number of a cooperative station (USC00104845 -> 104845),
// else the id's last 8 characters.
QString NoaaStationNumber(const QString& ghcnId);

// Degrees as the station table writes them: degrees and minutes run together
// (41.32 -> 4119), of the absolute value.
int NoaaDegreesMinutes(double degrees);

// The county key of the station table: "Grafton, NH" from "Grafton" (a key
// already ending in ", NH" is kept); "" when the county is empty.
QString NoaaCountyKey(const NoaaStation& s);

// Why the station cannot be stored ("" when it can): no county, a latitude
// the computation cannot use, an east longitude, a county key too long.
QString NoaaStoreProblem(const NoaaStation& s);

// Adds the stations to "Climate.DB" (and their counties to "County"), or
// replaces the station of the same number or name, keeping its name (saved
// jobs find their station by it), its wind and humidity location, its mark,
// and its freeze dates when no annual/seasonal file came with the station. One transaction: on any error nothing is
// stored and quen::DbError is thrown. progress(done) after every station.
struct NoaaStoreResult {
    int added = 0;
    int replaced = 0;
};
NoaaStoreResult StoreNoaaStations(const QList<NoaaStation>& stations, const std::function<void(int)>& progress = {});

} // namespace quen::climprog
