// Daily weather of a station for the daily soil-water balance: the day
// record, the two file formats it is read from, and the daily grass-reference
// ETo of FAO-56 Ch. 3 / 4 with the FAO-56 rules for missing data.
//
// Plain daily CSV (ParseDailyWeatherCsv). Lines starting with '#' and blank
// lines are skipped. The first other line is the header: comma-separated
// column names, in any order, case ignored; unknown columns are ignored.
//
//   date           YYYY-MM-DD (Gregorian, leap years included)   required
//   tmax_C         daily maximum air temperature, deg C            required
//   tmin_C         daily minimum air temperature, deg C            required
//   srad_MJ_m2     solar radiation, MJ/m2/day                      optional
//   sunshine_h     actual sunshine duration n, hours               optional
//   rhmax_pct      maximum relative humidity, %                    optional
//   rhmin_pct      minimum relative humidity, %                    optional
//   tdew_C         mean dew point, deg C                           optional
//   ea_kPa         mean actual vapour pressure, kPa                optional
//   wind_m_s       mean wind speed, m/s, at the measuring height   optional
//   wind_height_m  height of the wind measurement, m               optional (else the caller's height)
//   rain_mm        rain of the day, mm                             optional
//
// An empty cell is a missing value. Example:
//   date,tmax_C,tmin_C,srad_MJ_m2,rhmax_pct,rhmin_pct,wind_m_s,rain_mm
//   2003-01-01,17.5,-0.5,12.48,95.4,24.9,1.0,0
//
// NCEI "Daily Summaries" CSV (ParseNceiDailySummaries): the CSV of the NOAA
// NCEI Access Data Service / Climate Data Online for GHCN-Daily, one row per
// station and day, quoted header names. Read: "STATION", "DATE" (YYYY-MM-DD),
// "TMAX", "TMIN", "PRCP", "AWND" (average wind), "ADPT" (average dew point),
// "RHMX", "RHMN" (percent), "TSUN" (sunshine, minutes). Units as NCEI writes
// them: standard downloads deg F, inches and mph; metric downloads deg C, mm
// and m/s; the file does not say which, so the caller does. GHCN-Daily does
// not give the anemometer height; the caller gives it. The *_ATTRIBUTES
// columns and other elements are ignored; rows of a second station are refused.
//
// Rows that cannot be used are refused with their line number and the reason;
// the rest are kept in date order.
#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace quen {

// A Gregorian calendar date.
struct CivilDate {
    int year = 0, month = 0, day = 0;
    bool valid() const;
    // Days since 1970-01-01.
    std::int64_t serial() const;
    static CivilDate fromSerial(std::int64_t serial);
    // Day of the calendar year, 1..366.
    int dayOfYear() const;
    QString text() const;   // YYYY-MM-DD
    friend bool operator==(const CivilDate& a, const CivilDate& b)
    {
        return a.year == b.year && a.month == b.month && a.day == b.day;
    }
};

bool IsLeapYear(int year);

// One day of weather as read; NaN marks a missing value.
struct DailyWeatherDay {
    CivilDate date;
    double tmax = 0, tmin = 0;     // deg C, always present
    double rs;                     // MJ/m2/day
    double sunshineHours;          // h
    double rhMax, rhMin;           // %
    double tdew;                   // deg C
    double ea;                     // kPa
    double wind;                   // m/s at windHeightM
    double windHeightM = 2.0;      // m
    double rain;                   // mm
    DailyWeatherDay();
};

struct RefusedLine {
    int line = 0;       // 1-based line of the file
    QString reason;
};

struct DailyWeatherFile {
    std::vector<DailyWeatherDay> days;
    std::vector<RefusedLine> refused;
    QString error;      // the file as a whole could not be read (no header, missing columns)
    bool ok() const { return error.isEmpty(); }
};

// defaultWindHeightM: the height of wind_m_s when the file has no wind_height_m.
DailyWeatherFile ParseDailyWeatherCsv(const QString& text, double defaultWindHeightM = 2.0);

enum class NceiUnits { Standard, Metric };
DailyWeatherFile ParseNceiDailySummaries(const QString& text, NceiUnits units, double windHeightM);

// The station terms of the daily ETo.
struct DailyStation {
    double latitudeDeg = 0;   // north positive
    double elevationM = 0;
    bool coastal = false;     // Hargreaves kRs 0.19 coastal, 0.16 interior (FAO-56 eq. 50)
};

// How the FAO-56 Ch. 3 rules for missing data were used over a set of days.
struct WeatherFillCounts {
    int rsFromSunshine = 0;      // Angstrom eq. 35, as 0.25, bs 0.50
    int rsFromTemperature = 0;   // Hargreaves-Samani eq. 50
    int eaFromTmin = 0;          // eq. 48, Tdew = Tmin
    int windDefault = 0;         // 2 m/s at 2 m
    int rainMissing = 0;         // no rain value: taken as 0 mm
    int total() const { return rsFromSunshine + rsFromTemperature + eaFromTmin + windDefault + rainMissing; }
};

// The terms of one day that the soil-water balance uses.
struct DailyEtoDay {
    CivilDate date;
    double eto = 0;      // mm/day
    double u2 = 0;       // m/s at 2 m
    double rhMin = 0;    // %, as given or from ea and Tmax
    double rain = 0;     // mm
};

// Intermediate terms of one day's ETo (for checks against FAO-56 examples).
struct DailyEtoTerms {
    double Ra = 0, N = 0, Rs = 0, Rso = 0, Rns = 0, Rnl = 0, Rn = 0;
    double es = 0, ea = 0, delta = 0, gamma = 0, u2 = 0, rhMin = 0;
    double eto = 0;
};

// FAO-56 Penman-Monteith daily ETo (eq. 6 with G = 0, eq. 42), at the day's
// own day of year; missing data filled by the FAO-56 Ch. 3 rules, each use
// counted in `counts` when given.
DailyEtoTerms DailyReferenceET(const DailyWeatherDay& day, const DailyStation& station,
                               WeatherFillCounts* counts = nullptr);

std::vector<DailyEtoDay> DailyReferenceET(const std::vector<DailyWeatherDay>& days, const DailyStation& station,
                                          WeatherFillCounts* counts = nullptr);

} // namespace quen
