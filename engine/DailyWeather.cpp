#include "DailyWeather.h"

#include <QStringList>
#include <QStringView>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <optional>

namespace quen {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// FAO-56 eq. 11: saturation vapour pressure, kPa.
double SatVapour(double t) { return 0.6108 * std::exp(17.27 * t / (t + 237.3)); }

} // namespace

// ---- calendar ---------------------------------------------------------------

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

namespace {
int DaysInCivilMonth(int y, int m)
{
    static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(y) ? 29 : kDays[m];
}
} // namespace

bool CivilDate::valid() const
{
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInCivilMonth(year, month);
}

// Days from civil (proleptic Gregorian), H. Hinnant's algorithm.
std::int64_t CivilDate::serial() const
{
    const int y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = unsigned(y - era * 400);
    const unsigned mp = unsigned(month + (month > 2 ? -3 : 9));
    const unsigned doy = (153 * mp + 2) / 5 + unsigned(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + std::int64_t(doe) - 719468;
}

CivilDate CivilDate::fromSerial(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = unsigned(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = std::int64_t(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {int(y + (m <= 2 ? 1 : 0)), int(m), int(d)};
}

int CivilDate::dayOfYear() const { return int(serial() - CivilDate{year, 1, 1}.serial()) + 1; }

QString CivilDate::text() const
{
    return QStringLiteral("%1-%2-%3")
        .arg(year, 4, 10, QLatin1Char('0'))
        .arg(month, 2, 10, QLatin1Char('0'))
        .arg(day, 2, 10, QLatin1Char('0'));
}

DailyWeatherDay::DailyWeatherDay()
    : rs(kNaN), sunshineHours(kNaN), rhMax(kNaN), rhMin(kNaN), tdew(kNaN), ea(kNaN), wind(kNaN), rain(kNaN)
{
}

// ---- reading ----------------------------------------------------------------

namespace {

// One CSV record: fields split at commas outside double quotes, quotes removed.
QStringList SplitCsv(QStringView line)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                    cur += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur.trimmed();
    return out;
}

// A file saved with a byte order mark starts with U+FEFF before its header.
QString WithoutBom(const QString& text)
{
    return text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text;
}

std::optional<CivilDate> ParseDate(const QString& s)
{
    // YYYY-MM-DD
    if (s.size() != 10 || s[4] != QLatin1Char('-') || s[7] != QLatin1Char('-'))
        return std::nullopt;
    bool a = false, b = false, c = false;
    CivilDate d{s.left(4).toInt(&a), s.mid(5, 2).toInt(&b), s.mid(8, 2).toInt(&c)};
    if (!a || !b || !c || !d.valid())
        return std::nullopt;
    return d;
}

// Column positions of one header, -1 when absent.
struct Columns {
    QStringList names;
    int find(const QString& name) const
    {
        for (int i = 0; i < names.size(); ++i)
            if (names[i].compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    }
};

// A number cell: empty is missing (NaN); anything else must be a finite number.
bool Cell(const QStringList& f, int col, double& out)
{
    out = kNaN;
    if (col < 0 || col >= f.size() || f[col].isEmpty())
        return true;
    bool ok = false;
    const double v = f[col].toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    out = v;
    return true;
}

// The limits of plausible values; a value beyond them refuses its row.
QString CheckDay(const DailyWeatherDay& d)
{
    const auto bad = [](double v, double lo, double hi) { return !std::isnan(v) && (v < lo || v > hi); };
    // Beyond the recorded extremes of air temperature on Earth.
    if (bad(d.tmax, -90, 60) || bad(d.tmin, -90, 60))
        return QStringLiteral("temperature outside -90 to 60 deg C");
    if (d.tmax < d.tmin)
        return QStringLiteral("Tmax below Tmin");
    if (bad(d.rhMax, 0, 100) || bad(d.rhMin, 0, 100))
        return QStringLiteral("relative humidity outside 0 to 100 %");
    if (!std::isnan(d.rhMax) && !std::isnan(d.rhMin) && d.rhMax < d.rhMin)
        return QStringLiteral("RHmax below RHmin");
    if (bad(d.tdew, -90, 60))
        return QStringLiteral("dew point outside -90 to 60 deg C");
    if (bad(d.ea, 0, 20))
        return QStringLiteral("vapour pressure outside 0 to 20 kPa");
    if (bad(d.rs, 0, 50))
        return QStringLiteral("solar radiation outside 0 to 50 MJ/m2/day");
    if (bad(d.sunshineHours, 0, 24))
        return QStringLiteral("sunshine outside 0 to 24 hours");
    if (bad(d.wind, 0, 100))
        return QStringLiteral("wind speed outside 0 to 100 m/s");
    // FAO-56 eq. 47 needs 67.8 z - 5.42 > 1.
    if (!(d.windHeightM > 0.1) || d.windHeightM > 100)
        return QStringLiteral("wind height outside 0.1 to 100 m");
    if (bad(d.rain, 0, 2000))
        return QStringLiteral("rain outside 0 to 2000 mm");
    return {};
}

// Keeps a day in date order or refuses its line.
void Keep(DailyWeatherFile& r, const DailyWeatherDay& d, int line)
{
    const QString why = CheckDay(d);
    if (!why.isEmpty()) {
        r.refused.push_back({line, why});
        return;
    }
    if (!r.days.empty() && d.date.serial() <= r.days.back().date.serial()) {
        r.refused.push_back({line, d.date.serial() == r.days.back().date.serial()
                                       ? QStringLiteral("date %1 repeated").arg(d.date.text())
                                       : QStringLiteral("date %1 out of order").arg(d.date.text())});
        return;
    }
    r.days.push_back(d);
}

} // namespace

DailyWeatherFile ParseDailyWeatherCsv(const QString& text, double defaultWindHeightM)
{
    DailyWeatherFile r;
    const QStringList lines = WithoutBom(text).split(QLatin1Char('\n'));
    Columns cols;
    int cDate = -1, cTmax = -1, cTmin = -1, cRs = -1, cSun = -1, cRhx = -1, cRhn = -1, cTdew = -1, cEa = -1,
        cWind = -1, cWh = -1, cRain = -1;
    bool header = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = SplitCsv(line);
        if (!header) {
            cols.names = f;
            cDate = cols.find(QStringLiteral("date"));
            cTmax = cols.find(QStringLiteral("tmax_C"));
            cTmin = cols.find(QStringLiteral("tmin_C"));
            cRs = cols.find(QStringLiteral("srad_MJ_m2"));
            cSun = cols.find(QStringLiteral("sunshine_h"));
            cRhx = cols.find(QStringLiteral("rhmax_pct"));
            cRhn = cols.find(QStringLiteral("rhmin_pct"));
            cTdew = cols.find(QStringLiteral("tdew_C"));
            cEa = cols.find(QStringLiteral("ea_kPa"));
            cWind = cols.find(QStringLiteral("wind_m_s"));
            cWh = cols.find(QStringLiteral("wind_height_m"));
            cRain = cols.find(QStringLiteral("rain_mm"));
            if (cDate < 0 || cTmax < 0 || cTmin < 0) {
                r.error = QStringLiteral("line %1: the header needs the columns date, tmax_C and tmin_C").arg(i + 1);
                return r;
            }
            header = true;
            continue;
        }
        const int lineNo = i + 1;
        if (f.size() != cols.names.size()) {
            r.refused.push_back({lineNo, QStringLiteral("%1 fields, the header has %2")
                                             .arg(f.size())
                                             .arg(cols.names.size())});
            continue;
        }
        const auto date = ParseDate(f[cDate]);
        if (!date) {
            r.refused.push_back({lineNo, QStringLiteral("date \"%1\" is not a date YYYY-MM-DD").arg(f[cDate])});
            continue;
        }
        DailyWeatherDay d;
        d.date = *date;
        double wh = kNaN;
        struct Field {
            int col;
            double* out;
            const char* name;
        };
        const Field fields[] = {{cTmax, &d.tmax, "tmax_C"}, {cTmin, &d.tmin, "tmin_C"},  {cRs, &d.rs, "srad_MJ_m2"},
                                {cSun, &d.sunshineHours, "sunshine_h"}, {cRhx, &d.rhMax, "rhmax_pct"},
                                {cRhn, &d.rhMin, "rhmin_pct"},          {cTdew, &d.tdew, "tdew_C"},
                                {cEa, &d.ea, "ea_kPa"},                 {cWind, &d.wind, "wind_m_s"},
                                {cWh, &wh, "wind_height_m"},            {cRain, &d.rain, "rain_mm"}};
        QString why;
        for (const Field& fd : fields)
            if (!Cell(f, fd.col, *fd.out)) {
                why = QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(fd.name), f[fd.col]);
                break;
            }
        if (why.isEmpty() && (std::isnan(d.tmax) || std::isnan(d.tmin)))
            why = QStringLiteral("Tmax or Tmin missing");
        if (!why.isEmpty()) {
            r.refused.push_back({lineNo, why});
            continue;
        }
        d.windHeightM = std::isnan(wh) ? defaultWindHeightM : wh;
        Keep(r, d, lineNo);
    }
    if (!header)
        r.error = QStringLiteral("no header line");
    return r;
}

DailyWeatherFile ParseNceiDailySummaries(const QString& text, NceiUnits units, double windHeightM)
{
    DailyWeatherFile r;
    const QStringList lines = WithoutBom(text).split(QLatin1Char('\n'));
    Columns cols;
    int cSt = -1, cDate = -1, cTmax = -1, cTmin = -1, cPrcp = -1, cAwnd = -1, cAdpt = -1, cRhx = -1, cRhn = -1,
        cTsun = -1;
    bool header = false;
    QString station;
    const bool metric = units == NceiUnits::Metric;
    const auto degC = [metric](double v) { return metric || std::isnan(v) ? v : (v - 32.0) * 5.0 / 9.0; };
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QStringList f = SplitCsv(line);
        if (!header) {
            cols.names = f;
            cSt = cols.find(QStringLiteral("STATION"));
            cDate = cols.find(QStringLiteral("DATE"));
            cTmax = cols.find(QStringLiteral("TMAX"));
            cTmin = cols.find(QStringLiteral("TMIN"));
            cPrcp = cols.find(QStringLiteral("PRCP"));
            cAwnd = cols.find(QStringLiteral("AWND"));
            cAdpt = cols.find(QStringLiteral("ADPT"));
            cRhx = cols.find(QStringLiteral("RHMX"));
            cRhn = cols.find(QStringLiteral("RHMN"));
            cTsun = cols.find(QStringLiteral("TSUN"));
            if (cDate < 0 || cTmax < 0 || cTmin < 0) {
                r.error = QStringLiteral("line %1: the header needs the columns DATE, TMAX and TMIN").arg(i + 1);
                return r;
            }
            header = true;
            continue;
        }
        const int lineNo = i + 1;
        if (f.size() != cols.names.size()) {
            r.refused.push_back({lineNo, QStringLiteral("%1 fields, the header has %2")
                                             .arg(f.size())
                                             .arg(cols.names.size())});
            continue;
        }
        if (cSt >= 0) {
            if (station.isEmpty())
                station = f[cSt];
            else if (f[cSt] != station) {
                r.refused.push_back({lineNo, QStringLiteral("station %1, the file began with %2").arg(f[cSt], station)});
                continue;
            }
        }
        const auto date = ParseDate(f[cDate]);
        if (!date) {
            r.refused.push_back({lineNo, QStringLiteral("DATE \"%1\" is not a date YYYY-MM-DD").arg(f[cDate])});
            continue;
        }
        DailyWeatherDay d;
        d.date = *date;
        double tsun = kNaN;
        struct Field {
            int col;
            double* out;
            const char* name;
        };
        const Field fields[] = {{cTmax, &d.tmax, "TMAX"}, {cTmin, &d.tmin, "TMIN"},  {cPrcp, &d.rain, "PRCP"},
                                {cAwnd, &d.wind, "AWND"}, {cAdpt, &d.tdew, "ADPT"},  {cRhx, &d.rhMax, "RHMX"},
                                {cRhn, &d.rhMin, "RHMN"}, {cTsun, &tsun, "TSUN"}};
        QString why;
        for (const Field& fd : fields)
            if (!Cell(f, fd.col, *fd.out)) {
                why = QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(fd.name), f[fd.col]);
                break;
            }
        if (why.isEmpty() && (std::isnan(d.tmax) || std::isnan(d.tmin)))
            why = QStringLiteral("TMAX or TMIN missing");
        if (!why.isEmpty()) {
            r.refused.push_back({lineNo, why});
            continue;
        }
        d.tmax = degC(d.tmax);
        d.tmin = degC(d.tmin);
        d.tdew = degC(d.tdew);
        if (!metric) {
            d.rain *= 25.4;      // inches to mm
            d.wind *= 0.44704;   // mph to m/s
        }
        d.sunshineHours = tsun / 60.0;
        d.windHeightM = windHeightM;
        Keep(r, d, lineNo);
    }
    if (!header)
        r.error = QStringLiteral("no header line");
    return r;
}

// ---- daily reference ET -----------------------------------------------------

DailyEtoTerms DailyReferenceET(const DailyWeatherDay& d, const DailyStation& st, WeatherFillCounts* counts)
{
    DailyEtoTerms t;
    const double z = st.elevationM;
    const double tmax = d.tmax, tmin = d.tmin;
    const double T = (tmax + tmin) / 2.0;                                   // eq. 9
    const double P = 101.3 * std::pow((293.0 - 0.0065 * z) / 293.0, 5.26);  // eq. 7
    t.gamma = 0.000665 * P;                                                 // eq. 8
    t.delta = 4098.0 * SatVapour(T) / ((T + 237.3) * (T + 237.3));          // eq. 13
    const double eMax = SatVapour(tmax), eMin = SatVapour(tmin);
    t.es = (eMax + eMin) / 2.0;                                             // eq. 12

    // Actual vapour pressure: given; from the dew point (eq. 14); from RHmax
    // and RHmin (eq. 17); from RHmax alone (eq. 18); else Tdew = Tmin (eq. 48).
    if (!std::isnan(d.ea))
        t.ea = d.ea;
    else if (!std::isnan(d.tdew))
        t.ea = SatVapour(d.tdew);
    else if (!std::isnan(d.rhMax) && !std::isnan(d.rhMin))
        t.ea = (eMin * d.rhMax / 100.0 + eMax * d.rhMin / 100.0) / 2.0;
    else if (!std::isnan(d.rhMax))
        t.ea = eMin * d.rhMax / 100.0;
    else {
        t.ea = eMin;
        if (counts)
            ++counts->eaFromTmin;
    }
    // RHmin for the climate term of Kc max (eq. 72): given, else from ea and Tmax.
    t.rhMin = !std::isnan(d.rhMin) ? d.rhMin : std::min(100.0, 100.0 * t.ea / eMax);

    // Extraterrestrial radiation at the day of year (eqs. 21-25, 34).
    const double phi = st.latitudeDeg * std::numbers::pi / 180.0;
    const int J = d.date.dayOfYear();
    const double dr = 1.0 + 0.033 * std::cos(2.0 * std::numbers::pi / 365.0 * J);
    const double decl = 0.409 * std::sin(2.0 * std::numbers::pi / 365.0 * J - 1.39);
    // Beyond the polar circles the sun does not set (ws = pi) or rise (0).
    const double ws = std::acos(std::clamp(-std::tan(phi) * std::tan(decl), -1.0, 1.0));
    t.Ra = 24.0 * 60.0 / std::numbers::pi * 0.0820 * dr
        * (ws * std::sin(phi) * std::sin(decl) + std::cos(phi) * std::cos(decl) * std::sin(ws));
    t.Ra = std::max(0.0, t.Ra);
    t.N = 24.0 / std::numbers::pi * ws;
    t.Rso = (0.75 + 2e-5 * z) * t.Ra;                                       // eq. 37

    if (!std::isnan(d.rs)) {
        t.Rs = d.rs;
    } else if (!std::isnan(d.sunshineHours)) {
        // Angstrom with the FAO-56 values as = 0.25, bs = 0.50 (eq. 35).
        t.Rs = t.N > 0 ? (0.25 + 0.50 * std::min(1.0, d.sunshineHours / t.N)) * t.Ra : 0.0;
        if (counts)
            ++counts->rsFromSunshine;
    } else {
        // Hargreaves-Samani (eq. 50), not above the clear-sky radiation.
        const double kRs = st.coastal ? 0.19 : 0.16;
        t.Rs = std::min(t.Rso, kRs * std::sqrt(tmax - tmin) * t.Ra);
        if (counts)
            ++counts->rsFromTemperature;
    }
    t.Rns = (1.0 - 0.23) * t.Rs;                                            // eq. 38
    // eq. 39, Rs/Rso limited to 1; with no clear-sky radiation (polar
    // night) the sky is taken as clear.
    const double ratio = t.Rso > 0 ? std::min(1.0, t.Rs / t.Rso) : 1.0;
    const double tmaxK = tmax + 273.16, tminK = tmin + 273.16;
    t.Rnl = 4.903e-9 * (tmaxK * tmaxK * tmaxK * tmaxK + tminK * tminK * tminK * tminK) / 2.0
        * (0.34 - 0.14 * std::sqrt(std::max(0.0, t.ea))) * (1.35 * ratio - 0.35);
    t.Rn = t.Rns - t.Rnl;                                                   // eq. 40

    if (!std::isnan(d.wind)) {
        // eq. 47; a wind measured at 2 m is used as it is.
        t.u2 = std::fabs(d.windHeightM - 2.0) < 1e-9 ? d.wind : d.wind * 4.87 / std::log(67.8 * d.windHeightM - 5.42);
    } else {
        t.u2 = 2.0;   // FAO-56 Ch. 3, missing wind speed: 2 m/s
        if (counts)
            ++counts->windDefault;
    }

    const double G = 0.0;   // eq. 42, day periods
    t.eto = (0.408 * t.delta * (t.Rn - G) + t.gamma * 900.0 / (T + 273.0) * t.u2 * (t.es - t.ea))
        / (t.delta + t.gamma * (1.0 + 0.34 * t.u2));
    return t;
}

std::vector<DailyEtoDay> DailyReferenceET(const std::vector<DailyWeatherDay>& days, const DailyStation& station,
                                          WeatherFillCounts* counts)
{
    std::vector<DailyEtoDay> out;
    out.reserve(days.size());
    for (const DailyWeatherDay& d : days) {
        const DailyEtoTerms t = DailyReferenceET(d, station, counts);
        DailyEtoDay e;
        e.date = d.date;
        e.eto = t.eto;
        e.u2 = t.u2;
        e.rhMin = t.rhMin;
        if (std::isnan(d.rain)) {
            e.rain = 0.0;
            if (counts)
                ++counts->rainMissing;
        } else {
            e.rain = d.rain;
        }
        out.push_back(e);
    }
    return out;
}

} // namespace quen
