// The per-month Penman-Monteith function, with its station and latitude terms
// kept between calls, against the straight evaluation it replaced: every
// result must be the same double to the last bit (the report golden files and
// the cross-check against an independent implementation rest on them).
#include <gtest/gtest.h>

#include <QString>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

#include "Calendar.h"
#include "ReferenceET.h"

using namespace quen;

namespace {

// REFERENCE: a frozen copy of PenmanMonteithETo and WindAt2m as they were
// before the station and latitude terms were kept between calls. Do not
// change it; it is what the engine's results are compared with.
namespace frozen {

double WindAt2m(double mph, const QString& stationType, double stationHeightM)
{
    const double uz = mph * 0.44704;
    double u2 = uz;
    if (stationType != QLatin1String("Agrometeorological station")) {
        const double arg = 67.8 * stationHeightM - 5.42;
        if (std::isfinite(arg) && arg > 1.0)
            u2 = uz * 4.87 / std::log(arg);
    }
    if (!(u2 > 0.5))
        return 0.5;
    return u2;
}

double SatVapour(double tC) { return 0.6108 * std::exp(17.27 * tC / (tC + 237.3)); }

double PenmanMonteithETo(int month, double phi, const MonthlyValues& meanTempC, const PenmanMonteithInputs& in)
{
    const int m = WrapMonth(month);
    const double tmin = (in.tminF - 32.0) * 5.0 / 9.0;
    const double tmax = (in.tmaxF - 32.0) * 5.0 / 9.0;
    const double T = (tmin + tmax) / 2.0;

    const double z = in.elevationFt * 0.3048;
    const double u2 = WindAt2m(in.windMph, in.stationType, in.stationHeightM);

    const double P = 101.3 * std::pow((293.0 - 0.0065 * z) / 293.0, 5.26);
    const double gamma = 0.000665 * P;
    const double delta = 4098.0 * SatVapour(T) / ((T + 237.3) * (T + 237.3));
    const double es = (SatVapour(tmax) + SatVapour(tmin)) / 2.0;

    double ea;
    if (in.rhMax > 0 && in.rhMin > 0)
        ea = (SatVapour(tmin) * in.rhMax / 100.0 + SatVapour(tmax) * in.rhMin / 100.0) / 2.0;
    else if (in.rhMax > 0)
        ea = SatVapour(tmin) * in.rhMax / 100.0;
    else
        ea = SatVapour(tmin + in.cor);

    const double J = std::floor(30.5 * m - 15.0);
    const double dr = 1.0 + 0.033 * std::cos(0.01721420632103996 * J);
    const double decl = 0.409 * std::sin(0.01721420632103996 * J - 1.39);
    const double cosWs = std::clamp(-std::tan(phi) * std::tan(decl), -1.0, 1.0);
    const double ws = std::acos(cosWs);
    const double Ra = 37.586031360582005 * dr
        * (ws * std::sin(phi) * std::sin(decl) + std::cos(phi) * std::cos(decl) * std::sin(ws));

    double as = in.as, bs = in.bs;
    if (!(as + bs > 0.0)) {
        as = 0.25;
        bs = 0.50;
    }
    double Rso;
    if (in.elevationFt >= 500.0 && as == 0.25 && bs == 0.50)
        Rso = (0.75 + 0.00002 * z) * Ra;
    else
        Rso = (as + bs) * Ra;

    double Rs;
    if (in.rsLangleys > 0) {
        Rs = in.rsLangleys * 0.041866;
    } else if (in.sunshineHours > 0) {
        const double Nd = 7.639437268410976 * ws;
        Rs = Nd > 0 ? Ra * (as + bs * in.sunshineHours / Nd) : Ra * as;
    } else {
        const double k = in.stationLoc == QLatin1String("Interior location") ? 0.16 : 0.19;
        Rs = k * std::sqrt(std::max(0.0, tmax - tmin)) * Ra;
        if (Rs > Rso)
            Rs = Rso;
    }

    const double Rns = 0.77 * Rs;
    const double ratio = Rso > 0 ? Rs / Rso : 1.0;
    const double tmaxK = tmax + 273.16, tminK = tmin + 273.16;
    const double Rnl = 4.901e-9 * (std::pow(tmaxK, 4) + std::pow(tminK, 4)) / 2.0
        * (0.34 - 0.14 * std::sqrt(std::max(0.0, ea))) * (1.35 * ratio - 0.35);
    const double Rn = Rns - Rnl;
    const double G = 0.07 * (meanTempC[NextMonth(m)] - meanTempC[PrevMonth(m)]);

    return (0.408 * delta * (Rn - G) + gamma * 900.0 / (T + 273.0) * u2 * (es - ea))
        / (delta + gamma * (1.0 + 0.34 * u2));
}

} // namespace frozen

std::uint64_t Bits(double x) { return std::bit_cast<std::uint64_t>(x); }

// One generated station: its latitude, its mean temperatures and the inputs of
// each month.
struct Station {
    double phi = 0;
    MonthlyValues meanC{};
    PenmanMonteithInputs month[13];
};

// Stations drawn over every branch: latitudes -70..70 deg, elevations 0..12000
// ft (0 and exactly 500 ft among them), wind heights 0, 0.05, 2 and 10 m and
// others, both station types and locations (and empty texts), humidity from
// both RH values, RHmax alone or the dew point by "Cor" (0 among them),
// measured radiation, sunshine hours or Hargreaves, Angstrom coefficients
// given, the FAO-56 defaults or empty; calm months and months without a
// daily range.
std::vector<Station> Generate(std::size_t count, unsigned seed)
{
    std::mt19937_64 gen(seed);
    auto u = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(gen); };
    auto pick = [&](int k) { return static_cast<int>(gen() % static_cast<unsigned>(k)); };
    static const double heights[] = {0.0, 0.05, 2.0, 10.0, 0.08, 0.1};
    static const char* types[] = {"Agrometeorological station", "Other type station", "", "agrometeorological station"};
    static const char* locs[] = {"Interior location", "Coastal location", "", "Interior"};

    std::vector<Station> out(count);
    for (Station& st : out) {
        st.phi = (pick(3) == 0 ? static_cast<double>(pick(141) - 70) : u(-70, 70)) * 0.017453292519943295;
        const int e = pick(5);
        const double elev = e == 0 ? 0.0 : e == 1 ? 500.0 : e == 2 ? 499.99 : u(0, 12000);
        const double height = pick(3) == 0 ? u(0, 15) : heights[pick(6)];
        const QString type = QString::fromLatin1(types[pick(4)]);
        const QString loc = QString::fromLatin1(locs[pick(4)]);
        const int rad = pick(3), hum = pick(3), ang = pick(3);
        const bool corZero = pick(3) == 0;
        MonthlyValues tn{}, tx{};
        for (int m = 1; m <= 12; ++m) {
            PenmanMonteithInputs& in = st.month[m];
            in.tminF = u(-30, 80);
            in.tmaxF = in.tminF + (pick(15) == 0 ? 0.0 : u(0, 45));
            in.elevationFt = elev;
            in.windMph = pick(8) == 0 ? 0.0 : u(0, 25);
            in.rsLangleys = rad == 0 ? u(30, 850) : (pick(20) == 0 ? -1.0 : 0.0);
            in.sunshineHours = rad == 1 ? (pick(20) == 0 ? 0.0 : u(0.2, 15)) : 0.0;
            in.rhMax = hum == 2 ? 0.0 : u(20, 100);
            in.rhMin = hum == 0 ? u(3, 70) : (pick(10) == 0 ? -5.0 : 0.0);
            in.as = ang == 0 ? 0.25 : ang == 1 ? u(0.1, 0.4) : 0.0;
            in.bs = ang == 0 ? 0.50 : ang == 1 ? u(0.3, 0.7) : 0.0;
            in.cor = corZero ? 0.0 : u(-6, 4);
            in.stationType = type;
            in.stationHeightM = height;
            in.stationLoc = loc;
            tn[m] = in.tminF;
            tx[m] = in.tmaxF;
        }
        st.meanC = MonthlyMeanTempC(tn, tx);
    }
    return out;
}

} // namespace

// 4000 stations x 12 months, each month called as the crop computation calls
// it (months in order, station after station), then the same station-months
// once more in a shuffled order so that the kept terms change between nearly
// every pair of calls.
TEST(PenmanMonteithEToBits, EqualsTheStraightEvaluation)
{
    const std::vector<Station> stations = Generate(4000, 23);
    std::vector<std::pair<std::size_t, int>> order;
    for (std::size_t s = 0; s < stations.size(); ++s)
        for (int m = 1; m <= 12; ++m)
            order.emplace_back(s, m);

    int finite = 0;
    for (const auto& [s, m] : order) {
        const Station& st = stations[s];
        const double want = frozen::PenmanMonteithETo(m, st.phi, st.meanC, st.month[m]);
        const double got = PenmanMonteithETo(m, st.phi, st.meanC, st.month[m]);
        ASSERT_EQ(Bits(got), Bits(want)) << "station " << s << " month " << m << ": " << got << " vs " << want;
        finite += std::isfinite(got);
    }
    EXPECT_EQ(finite, static_cast<int>(order.size()));

    std::shuffle(order.begin(), order.end(), std::mt19937_64(99));
    for (const auto& [s, m] : order) {
        const Station& st = stations[s];
        ASSERT_EQ(Bits(PenmanMonteithETo(m, st.phi, st.meanC, st.month[m])),
                  Bits(frozen::PenmanMonteithETo(m, st.phi, st.meanC, st.month[m])))
            << "station " << s << " month " << m << " (shuffled)";
    }
}

// Two stations alike in all but one station value, called alternately: each
// call must see its own station's terms, never the other's.
TEST(PenmanMonteithEToBits, KeptTermsFollowEveryStationValue)
{
    std::vector<Station> base = Generate(1, 5);
    Station a = base[0];
    for (int m = 1; m <= 12; ++m) {
        a.month[m].rsLangleys = 0.0;      // Hargreaves, so the location counts
        a.month[m].sunshineHours = 0.0;
        a.month[m].as = 0.25;
        a.month[m].bs = 0.50;
        a.month[m].elevationFt = 3000;
        a.month[m].stationHeightM = 10;
        a.month[m].stationType = QStringLiteral("Other type station");
        a.month[m].stationLoc = QStringLiteral("Interior location");
    }
    auto variant = [&](auto change) {
        Station b = a;
        for (int m = 1; m <= 12; ++m)
            change(b.month[m]);
        return b;
    };
    const std::vector<Station> others = {
        variant([](PenmanMonteithInputs& in) { in.elevationFt = 400; }),
        variant([](PenmanMonteithInputs& in) { in.elevationFt = std::nextafter(3000.0, 4000.0); }),
        variant([](PenmanMonteithInputs& in) { in.stationHeightM = 2; }),
        variant([](PenmanMonteithInputs& in) { in.stationHeightM = NAN; }),
        variant([](PenmanMonteithInputs& in) { in.stationType = QStringLiteral("Agrometeorological station"); }),
        variant([](PenmanMonteithInputs& in) { in.stationLoc = QStringLiteral("Coastal location"); }),
    };
    Station southern = a;
    southern.phi = -a.phi;

    for (const Station& b : others) {
        for (int m = 1; m <= 12; ++m) {
            for (const Station* st : {&std::as_const(a), &b, &std::as_const(southern), &std::as_const(a), &b}) {
                const double want = frozen::PenmanMonteithETo(m, st->phi, st->meanC, st->month[m]);
                ASSERT_EQ(Bits(PenmanMonteithETo(m, st->phi, st->meanC, st->month[m])), Bits(want)) << "month " << m;
            }
        }
    }
}

// The form with station and latitude terms computed once gives the same
// doubles as the call with the station's own inputs, months 0 and 13 wrapping
// as there; WindAt2m is unchanged.
TEST(PenmanMonteithEToBits, StationTermsFormEqualsThePlainCall)
{
    const std::vector<Station> stations = Generate(1500, 41);
    for (std::size_t s = 0; s < stations.size(); ++s) {
        const Station& st = stations[s];
        const PenmanMonteithStation terms = PenmanMonteithStationTerms(st.month[1]);
        const PenmanMonteithLatitude lat = PenmanMonteithLatitudeTerms(st.phi);
        for (int m = 0; m <= 13; ++m) {
            const PenmanMonteithInputs& in = st.month[WrapMonth(m)];
            const double plain = PenmanMonteithETo(m, st.phi, st.meanC, in);
            ASSERT_EQ(Bits(PenmanMonteithETo(m, terms, lat, st.meanC, in)), Bits(plain))
                << "station " << s << " month " << m;
            ASSERT_EQ(Bits(plain), Bits(frozen::PenmanMonteithETo(m, st.phi, st.meanC, in)));
        }
        const PenmanMonteithInputs& in = st.month[1];
        ASSERT_EQ(Bits(WindAt2m(in.windMph, in.stationType, in.stationHeightM)),
                  Bits(frozen::WindAt2m(in.windMph, in.stationType, in.stationHeightM)));
    }
}
