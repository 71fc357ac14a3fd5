// The daily weather of a station: a file of daily records (the plain daily
// CSV or NOAA NCEI "Daily Summaries", see engine/DailyWeather.h) imported
// into "DailyWeather.db" with its description in "DailyWeatherSet.db", and
// read back for the daily soil-water balance. Shared by the climate
// program's import window and quenpm-calc --import-daily.
//
// The import is one transaction: the station's earlier days are replaced
// together with the new ones or not at all. Questions go through
// quen::messages():
//  - a file with some refused rows: the refused lines are listed and the
//    rest is imported only after a Yes (No: nothing written);
//  - a station that already has daily weather: replaced only after a Yes,
//    or without asking when the request says so (--replace).
// A file that cannot be read as a whole, or whose every row is refused,
// writes nothing; the refused lines are in the result.
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "DailyWeather.h"

namespace quen::job {

enum class DailyFileFormat { Plain, Ncei, NceiMetric };

// "plain", "ncei", "ncei-metric" (the command-line words); false for another word.
bool DailyFileFormatFromText(const QString& text, DailyFileFormat& format);
QString DailyFileFormatText(DailyFileFormat format);

struct DailyImportRequest {
    QString filePath;
    DailyFileFormat format = DailyFileFormat::Plain;
    double windHeightM = 2.0;      // anemometer height when the file does not give it
    QString stationName;           // "Station Name" of "Climate.DB" (case ignored)
    bool coastal = false;          // Hargreaves kRs 0.19 when radiation is missing
    bool replaceWithoutAsking = false;
    // Called while the days are written (days written, days in all); may
    // throw to abandon the import, which then writes nothing.
    std::function<void(int, int)> progress;
};

struct DailyImportResult {
    bool imported = false;
    bool cancelled = false;        // the planner answered No
    QString error;                 // why nothing was imported (empty when imported or cancelled)
    QString stationName, stationNo;
    int days = 0;                  // days stored
    int replacedDays = 0;          // the station's earlier days, replaced
    CivilDate first, last;
    std::vector<RefusedLine> refused;
    WeatherFillCounts filled;      // the FAO-56 rules the stored days will need
    // A few lines for the planner: what was stored, refused and filled.
    QString summary() const;
};

DailyImportResult ImportDailyWeather(const DailyImportRequest& request);

// The refused lines as "line N: reason", at most `limit` of them and a count of the rest.
QString RefusedLinesText(const std::vector<RefusedLine>& refused, int limit = 10);

// The station's row of "DailyWeatherSet.db".
struct DailyWeatherSet {
    bool found = false;
    QString stationName, stationNo, sourceFile, format, imported;
    int days = 0;
    QString firstDate, lastDate;
    double windHeightM = 2.0;
    bool coastal = false;
};
DailyWeatherSet ReadDailyWeatherSet(const QString& stationName, const QString& stationNo);

// The station's days of "DailyWeather.db" in date order (missing values NaN).
std::vector<DailyWeatherDay> ReadDailyWeather(const QString& stationName, const QString& stationNo);

// The days of the station of `set` (its row as just read), kept in memory
// while the database and that row stay the same: every import writes the
// row anew with the time of the import to the millisecond, so a changed
// record is read again.
// For the runs of the daily balance, which read the same station over and over.
std::shared_ptr<const std::vector<DailyWeatherDay>> DailyWeatherOf(const DailyWeatherSet& set);

} // namespace quen::job
