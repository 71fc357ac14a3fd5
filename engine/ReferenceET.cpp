#include "ReferenceET.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "Calendar.h"

namespace quen {

LatitudeParts SplitLatitudeText(const QString& text)
{
    LatitudeParts r;
    if (text.size() < 3 || text.size() > 4)
        return r;
    bool okDeg = false, okMin = false;
    const int deg = text.left(text.size() - 2).toInt(&okDeg);
    const QString minText = text.right(2);
    const int min = minText.toInt(&okMin);
    // The minutes are two digits 00..59; "4160" or "41.5" is no DDMM latitude.
    if (!okDeg || !okMin || !minText.at(0).isDigit() || !minText.at(1).isDigit() || min >= 60)
        return r;
    r.valid = true;
    r.degrees = deg;
    r.minutes = min;
    return r;
}

QString LatitudeText(double storedLatitude)
{
    return QString::number(storedLatitude, 'g', 15);
}

double DaytimePercent(double latitude, int month, const DaytimeLookup& lookup, RunMessages* once)
{
    const LatitudeParts lat = SplitLatitudeText(QString::number(RoundHalfUp(latitude)));
    if (!lat.valid) {
        ShowEngineMessage(once, MsgKind::Error, kLatitudeNotCorrect);
        return -1.0;
    }
    const double deg = lat.decimalDegrees();
    if (deg < 0.0 || deg > 64.9) {
        ShowEngineMessage(once, MsgKind::Error, kLatitudeNotInRange);
        return -1.0;
    }
    const double p1 = lookup(lat.degrees, month);
    const double p2 = lookup(lat.degrees + 1, month);
    return Interpolate(lat.minutes / 60.0, p1, p2);
}

double BlaneyCriddleRate(const BlaneyCriddleInputs& in, const DaytimeLookup& lookup, RunMessages* once)
{
    const int m = in.month;
    const int prev = PrevMonth(m);
    const int next = NextMonth(m);
    const double D = DaysInMonth(m);
    const double p = DaytimePercent(in.latitude, m, lookup, once);
    const double pPrev = DaytimePercent(in.latitude, prev, lookup, once);
    const double pNext = DaytimePercent(in.latitude, next, lookup, once);

    // Rating temperature and percentage: the planting and harvest months are
    // rated at the middle of their own season days.
    double t = in.t, pp = p;
    if (m == in.plantMonth) {
        if (in.plantDay < 15) {
            const double w = (15 - in.plantDay / 2) / D;
            t = in.t + (in.tPrev - in.t) * w;
            pp = p + (pPrev - p) * w;
        } else if (in.plantDay > 15) {
            const int N = static_cast<int>(D) - in.plantDay;
            const double w = (N / 2 + in.plantDay - 15) / D;
            t = in.t + (in.tNext - in.t) * w;
            pp = p + (pNext - p) * w;
        }
    } else if (m == in.harvestMonth) {
        if (in.harvestDay != 15) {
            const double w = (15 - in.harvestDay / 2) / static_cast<double>(DaysInMonth(prev));
            t = in.t + (in.tPrev - in.t) * w;
            pp = p + (pPrev - p) * w;
        }
    } else if (!in.inSeason) {
        return 0.0;
    }

    // TR21 temperature coefficient.
    const double kt = t >= 36.0 ? 0.0173 * t - 0.314 : 0.3;
    double rate = kt * (0.01 * t * pp) / D;
    if (in.elevationCorrection)
        rate = rate + 0.001 * rate * in.elevationFt * 0.030478512;   // 10 % per 1000 m
    return rate;
}

double LatitudeRadians(double storedLatitude, RunMessages* once)
{
    const LatitudeParts lat = SplitLatitudeText(LatitudeText(storedLatitude));
    if (!lat.valid) {
        ShowEngineMessage(once, MsgKind::Error, kLatitudeNotCorrect);
        return -1.0;
    }
    return lat.decimalDegrees() * 0.017453292519943295;
}

MonthlyValues MonthlyMeanTempC(const MonthlyValues& tminF, const MonthlyValues& tmaxF)
{
    MonthlyValues r{};
    for (int m = 1; m <= 12; ++m)
        r[m] = ((tmaxF[m] + tminF[m]) / 2.0 - 32.0) * 5.0 / 9.0;
    return r;
}

double WindAt2m(double mph, const QString& stationType, double stationHeightM)
{
    const double uz = mph * 0.44704;
    double u2 = uz;
    if (stationType != QLatin1String("Agrometeorological station")) {
        // FAO-56 eq. 47. The log profile has no positive value for heights of
        // about 0.095 m or less (ln argument <= 1), which includes an empty
        // height of 0: such a record is taken as measured at the standard 2 m.
        const double arg = 67.8 * stationHeightM - 5.42;
        if (std::isfinite(arg) && arg > 1.0)
            u2 = uz * 4.87 / std::log(arg);
    }
    if (!(u2 > 0.5))
        return 0.5;
    return u2;
}

namespace {

double SatVapour(double tC) { return 0.6108 * std::exp(17.27 * tC / (tC + 237.3)); }

bool IsAgrometStation(const QString& stationType)
{
    return stationType == QLatin1String("Agrometeorological station");
}

double HargreavesCoefficient(const QString& stationLoc)
{
    return stationLoc == QLatin1String("Interior location") ? 0.16 : 0.19;
}

// Station terms without the Hargreaves coefficient.
void ComputeStationTerms(double elevationFt, bool agromet, double stationHeightM, PenmanMonteithStation& st)
{
    st.elevationFt = elevationFt;
    st.z = elevationFt * 0.3048;
    const double P = 101.3 * std::pow((293.0 - 0.0065 * st.z) / 293.0, 5.26);
    st.gamma = 0.000665 * P;
    st.gamma900 = st.gamma * 900.0;
    st.rsoElevationFactor = 0.75 + 0.00002 * st.z;
    // FAO-56 eq. 47; see WindAt2m for heights without a log profile.
    const double arg = 67.8 * stationHeightM - 5.42;
    st.windProfile = !agromet && std::isfinite(arg) && arg > 1.0;
    st.windLog = st.windProfile ? std::log(arg) : 0.0;
}

// Earth-sun distance and declination of the month's middle day (FAO-56
// eqs. 23, 24), with the factor 24 x 60 / pi x Gsc of eq. 21 applied to dr.
struct MonthSun {
    double k37dr, sinDecl, cosDecl, tanDecl;
};

struct MonthSunTable {
    MonthSun m[13];
    MonthSunTable()
    {
        for (int month = 1; month <= 12; ++month) {
            // Read back through a volatile so that the C library computes these
            // as it does in a call; a value folded at build time may differ
            // in its last bit.
            volatile double vJ = std::floor(30.5 * month - 15.0);
            const double J = vJ;
            const double dr = 1.0 + 0.033 * std::cos(0.01721420632103996 * J);
            const double decl = 0.409 * std::sin(0.01721420632103996 * J - 1.39);
            m[month] = {37.586031360582005 * dr, std::sin(decl), std::cos(decl), std::tan(decl)};
        }
    }
};

const MonthSun& SunOf(int month)
{
    static const MonthSunTable table;
    return table.m[month];
}

// Sine, cosine and minus tangent of a latitude.
struct LatitudeTrig {
    double minusTanPhi = 0, sinPhi = 0, cosPhi = 1;
};

LatitudeTrig TrigOf(double phi) { return {-std::tan(phi), std::sin(phi), std::cos(phi)}; }

// Sunset hour angle (eq. 25) and extraterrestrial radiation (eq. 21).
void MonthGeometry(int month, const LatitudeTrig& lat, double& ws, double& Ra)
{
    const MonthSun& sun = SunOf(month);
    // Beyond the polar circles -tan(phi) tan(decl) leaves [-1, 1]: the sun
    // never sets (ws = pi) or never rises (ws = 0).
    const double cosWs = std::clamp(lat.minusTanPhi * sun.tanDecl, -1.0, 1.0);
    ws = std::acos(cosWs);
    Ra = sun.k37dr * (ws * lat.sinPhi * sun.sinDecl + lat.cosPhi * sun.cosDecl * std::sin(ws));
}

// The monthly equations once the station and latitude terms are known. The
// Hargreaves coefficient is asked for only when the month falls back to it.
template <class HargreavesK>
double MonthlyETo(int m, const PenmanMonteithStation& st, double ws, double Ra, const MonthlyValues& meanTempC,
                  const PenmanMonteithMonth& in, HargreavesK hargreavesK)
{
    const double tmin = (in.tminF - 32.0) * 5.0 / 9.0;
    const double tmax = (in.tmaxF - 32.0) * 5.0 / 9.0;
    const double T = (tmin + tmax) / 2.0;

    // Wind at 2 m, as WindAt2m gives it.
    const double uz = in.windMph * 0.44704;
    double u2 = st.windProfile ? uz * 4.87 / st.windLog : uz;
    if (!(u2 > 0.5))
        u2 = 0.5;

    const double gamma = st.gamma;
    const double eT = SatVapour(T);
    const double eMax = SatVapour(tmax);
    const double eMin = SatVapour(tmin);
    const double delta = 4098.0 * eT / ((T + 237.3) * (T + 237.3));
    const double es = (eMax + eMin) / 2.0;

    double ea;
    if (in.rhMax > 0 && in.rhMin > 0)
        ea = (eMin * in.rhMax / 100.0 + eMax * in.rhMin / 100.0) / 2.0;
    else if (in.rhMax > 0)
        ea = eMin * in.rhMax / 100.0;
    else if (in.cor == 0.0)
        ea = eMin;   // tmin + 0 is tmin (or +0 for -0, the same vapour pressure)
    else
        ea = SatVapour(tmin + in.cor);

    // Empty Angstrom coefficients (a sum of 0) would make the clear-sky
    // radiation 0: the FAO-56 defaults as = 0.25, bs = 0.50 stand in.
    double as = in.as, bs = in.bs;
    if (!(as + bs > 0.0)) {
        as = 0.25;
        bs = 0.50;
    }
    double Rso;
    if (st.elevationFt >= 500.0 && as == 0.25 && bs == 0.50)
        Rso = st.rsoElevationFactor * Ra;
    else
        Rso = (as + bs) * Ra;

    double Rs;
    if (in.rsLangleys > 0) {
        Rs = in.rsLangleys * 0.041866;
    } else if (in.sunshineHours > 0) {
        const double Nd = 7.639437268410976 * ws;
        Rs = Nd > 0 ? Ra * (as + bs * in.sunshineHours / Nd) : Ra * as;
    } else {
        Rs = hargreavesK() * std::sqrt(std::max(0.0, tmax - tmin)) * Ra;   // Hargreaves radiation
        if (Rs > Rso)
            Rs = Rso;
    }

    const double Rns = 0.77 * Rs;
    // Without any clear-sky radiation (polar night) the cloudiness term is
    // taken as that of a clear sky.
    const double ratio = Rso > 0 ? Rs / Rso : 1.0;
    const double tmaxK = tmax + 273.16, tminK = tmin + 273.16;
    const double Rnl = 4.901e-9 * (std::pow(tmaxK, 4) + std::pow(tminK, 4)) / 2.0
        * (0.34 - 0.14 * std::sqrt(std::max(0.0, ea))) * (1.35 * ratio - 0.35);
    const double Rn = Rns - Rnl;
    const double G = 0.07 * (meanTempC[NextMonth(m)] - meanTempC[PrevMonth(m)]);

    return (0.408 * delta * (Rn - G) + st.gamma900 / (T + 273.0) * u2 * (es - ea))
        / (delta + gamma * (1.0 + 0.34 * u2));
}

// The station and latitude terms of the last call of a thread. Plain data
// with a constant initialiser, so that reaching it costs no guard.
struct LastStation {
    bool valid = false;
    bool agromet = false;
    double elevationFt = 0, stationHeightM = 0;
    PenmanMonteithStation terms;
};

struct LastLatitude {
    bool valid = false;
    double phi = 0;
    LatitudeTrig trig;
    unsigned months = 0;   // bit m set: ws[m] and Ra[m] hold month m
    double ws[13] = {}, Ra[13] = {};
};

// Compared by their bits: a NaN input matches itself and -0 is kept apart from 0.
bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

constinit thread_local LastStation tLastStation;
constinit thread_local LastLatitude tLastLatitude;

} // namespace

PenmanMonteithStation PenmanMonteithStationTerms(double elevationFt, const QString& stationType,
                                                 double stationHeightM, const QString& stationLoc)
{
    PenmanMonteithStation st;
    ComputeStationTerms(elevationFt, IsAgrometStation(stationType), stationHeightM, st);
    st.hargreavesK = HargreavesCoefficient(stationLoc);
    return st;
}

PenmanMonteithStation PenmanMonteithStationTerms(const PenmanMonteithInputs& in)
{
    return PenmanMonteithStationTerms(in.elevationFt, in.stationType, in.stationHeightM, in.stationLoc);
}

PenmanMonteithLatitude PenmanMonteithLatitudeTerms(double latitudeRad)
{
    PenmanMonteithLatitude r;
    r.latitudeRad = latitudeRad;
    const LatitudeTrig trig = TrigOf(latitudeRad);
    for (int m = 1; m <= 12; ++m)
        MonthGeometry(m, trig, r.ws[m], r.Ra[m]);
    return r;
}

double PenmanMonteithETo(int month, const PenmanMonteithStation& station, const PenmanMonteithLatitude& latitude,
                         const MonthlyValues& meanTempC, const PenmanMonteithMonth& in)
{
    const int m = WrapMonth(month);
    return MonthlyETo(m, station, latitude.ws[m], latitude.Ra[m], meanTempC, in,
                      [&] { return station.hargreavesK; });
}

double PenmanMonteithETo(int month, double phi, const MonthlyValues& meanTempC, const PenmanMonteithInputs& in)
{
    const int m = WrapMonth(month);

    LastStation& ls = tLastStation;
    const bool agromet = IsAgrometStation(in.stationType);
    if (!ls.valid || agromet != ls.agromet || !SameBits(in.elevationFt, ls.elevationFt)
        || !SameBits(in.stationHeightM, ls.stationHeightM)) {
        ComputeStationTerms(in.elevationFt, agromet, in.stationHeightM, ls.terms);
        ls.agromet = agromet;
        ls.elevationFt = in.elevationFt;
        ls.stationHeightM = in.stationHeightM;
        ls.valid = true;
    }

    LastLatitude& ll = tLastLatitude;
    if (!ll.valid || !SameBits(phi, ll.phi)) {
        ll.trig = TrigOf(phi);
        ll.phi = phi;
        ll.months = 0;
        ll.valid = true;
    }
    if (!(ll.months & (1u << m))) {
        MonthGeometry(m, ll.trig, ll.ws[m], ll.Ra[m]);
        ll.months |= 1u << m;
    }

    return MonthlyETo(m, ls.terms, ll.ws[m], ll.Ra[m], meanTempC, in,
                      [&] { return HargreavesCoefficient(in.stationLoc); });
}

} // namespace quen
