// The batch Penman-Monteith kernel against the per-month function.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

#include "ReferenceET.h"
#include "ReferenceETBatch.h"

using namespace quen;

namespace {

// Station tables of n stations with inputs drawn over every branch of the
// equations: humidity present or not, measured radiation, sunshine hours or
// Hargreaves, empty Angstrom coefficients, heights with and without a log
// profile, elevations on both sides of 500 ft.
struct Stations {
    std::size_t n;
    std::vector<double> lat, elev, height;
    std::vector<unsigned char> agromet, interior;
    std::vector<double> tmin, tmax, wind, rs, rhMin, rhMax, as, bs, sun, cor;

    Stations(std::size_t count, unsigned seed) : n(count)
    {
        std::mt19937_64 gen(seed);
        auto u = [&](double a, double b) { return std::uniform_real_distribution<double>(a, b)(gen); };
        auto pick = [&](int k) { return static_cast<int>(gen() % static_cast<unsigned>(k)); };
        for (std::size_t s = 0; s < n; ++s) {
            // Stored DDMM latitudes of 1 deg 00 min to 71 deg 59 min (the shipped
            // stations reach 71 deg N, where the sun does not set in June).
            lat.push_back(LatitudeRadians((1 + pick(71)) * 100 + pick(60)));
            const int e = pick(4);
            elev.push_back(e == 0 ? 0.0 : e == 1 ? 500.0 : u(0, 9000));
            height.push_back(pick(5) == 0 ? 0.0 : u(0.05, 12));
            agromet.push_back(pick(3) == 0);
            interior.push_back(pick(2) == 0);
            const int rad = pick(3), hum = pick(3);
            const bool noAngstrom = pick(4) == 0, defaults = pick(2) == 0;
            for (int m = 0; m < 12; ++m) {
                const double lo = u(-20, 70);
                tmin.push_back(lo);
                tmax.push_back(lo + (pick(20) == 0 ? 0.0 : u(0, 40)));
                wind.push_back(pick(10) == 0 ? 0.0 : u(0, 20));
                rs.push_back(rad == 0 ? u(50, 800) : 0.0);
                sun.push_back(rad == 1 ? u(0.5, 14) : 0.0);
                rhMax.push_back(hum == 2 ? 0.0 : u(30, 100));
                rhMin.push_back(hum == 0 ? u(5, 60) : 0.0);
                as.push_back(noAngstrom ? 0.0 : defaults ? 0.25 : u(0.15, 0.35));
                bs.push_back(noAngstrom ? 0.0 : defaults ? 0.50 : u(0.3, 0.6));
                cor.push_back(u(-5, 3));
            }
        }
    }

    PenmanMonteithBatch batch() const
    {
        PenmanMonteithBatch b;
        b.stations = n;
        b.latitudeRad = lat.data();
        b.elevationFt = elev.data();
        b.stationHeightM = height.data();
        b.agromet = agromet.data();
        b.interior = interior.data();
        b.tminF = tmin.data();
        b.tmaxF = tmax.data();
        b.windMph = wind.data();
        b.rsLangleys = rs.data();
        b.rhMin = rhMin.data();
        b.rhMax = rhMax.data();
        b.as = as.data();
        b.bs = bs.data();
        b.sunshineHours = sun.data();
        b.cor = cor.data();
        return b;
    }

    // The per-month function as the crop computation calls it.
    double perMonth(std::size_t s, int m) const
    {
        MonthlyValues tn{}, tx{};
        for (int k = 1; k <= 12; ++k) {
            tn[k] = tmin[s * 12 + k - 1];
            tx[k] = tmax[s * 12 + k - 1];
        }
        const std::size_t i = s * 12 + m - 1;
        PenmanMonteithInputs in;
        in.tminF = tmin[i];
        in.tmaxF = tmax[i];
        in.elevationFt = elev[s];
        in.windMph = wind[i];
        in.rsLangleys = rs[i];
        in.rhMin = rhMin[i];
        in.rhMax = rhMax[i];
        in.as = as[i];
        in.bs = bs[i];
        in.sunshineHours = sun[i];
        in.cor = cor[i];
        in.stationType = agromet[s] ? QStringLiteral("Agrometeorological station") : QStringLiteral("Other type station");
        in.stationHeightM = height[s];
        in.stationLoc = interior[s] ? QStringLiteral("Interior location") : QStringLiteral("Coastal location");
        return PenmanMonteithETo(m, lat[s], MonthlyMeanTempC(tn, tx), in);
    }
};

} // namespace

// 1001 stations (not a whole number of blocks): 12012 station-months, each
// equal to the per-month result within 1e-12 relative. Values near zero (a
// winter month whose net radiation and soil heat cancel) are held to 1e-12
// mm/day.
TEST(PenmanMonteithEToBatch, EqualsPerMonthFunction)
{
    const Stations st(1001, 17);
    std::vector<double> eto(st.n * 12, -999.0);
    PenmanMonteithEToBatch(st.batch(), eto.data());
    double worst = 0.0;
    int bitEqual = 0;
    for (std::size_t s = 0; s < st.n; ++s) {
        for (int m = 1; m <= 12; ++m) {
            const double want = st.perMonth(s, m);
            const double got = eto[s * 12 + m - 1];
            ASSERT_TRUE(std::isfinite(got)) << "station " << s << " month " << m;
            const double rel = std::abs(got - want) / std::max(1.0, std::abs(want));
            worst = std::max(worst, rel);
            bitEqual += got == want;
            ASSERT_LE(rel, 1e-12) << "station " << s << " month " << m << ": " << got << " vs " << want;
        }
    }
    std::printf("worst relative difference %.3g, %d of %d bit-equal\n", worst, bitEqual, static_cast<int>(st.n * 12));
}

// A batch of no stations writes nothing; one station alone gives the figures
// it gets within a large batch (vector and scalar lanes may differ in the
// last bit, so within 1e-12 relative).
TEST(PenmanMonteithEToBatch, EmptyAndSingleStation)
{
    PenmanMonteithBatch none;
    double guard = 7.0;
    PenmanMonteithEToBatch(none, &guard);
    EXPECT_EQ(guard, 7.0);

    const Stations st(40, 3);
    std::vector<double> all(st.n * 12);
    PenmanMonteithEToBatch(st.batch(), all.data());
    for (std::size_t s : {std::size_t(0), std::size_t(17), std::size_t(39)}) {
        PenmanMonteithBatch one = st.batch();
        one.stations = 1;
        one.latitudeRad += s;
        one.elevationFt += s;
        one.stationHeightM += s;
        one.agromet += s;
        one.interior += s;
        for (const double** p : {&one.tminF, &one.tmaxF, &one.windMph, &one.rsLangleys, &one.rhMin, &one.rhMax,
                                 &one.as, &one.bs, &one.sunshineHours, &one.cor})
            *p += s * 12;
        double eto[12];
        PenmanMonteithEToBatch(one, eto);
        for (int m = 0; m < 12; ++m)
            EXPECT_NEAR(eto[m], all[s * 12 + m], 1e-12 * std::max(1.0, std::abs(all[s * 12 + m])))
                << "station " << s << " month " << m + 1;
    }
}
