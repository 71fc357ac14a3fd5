#include "ReferenceETBatch.h"

#include <cmath>

// With glibc's vector maths library the loops below call its SIMD versions of
// exp, acos and sin (2, 4 or 8 lanes, chosen at load time by the function
// clones); elsewhere they call the scalar functions.
#if defined(QUEN_VECTOR_MATH)
extern "C" {
__attribute__((simd("notinbranch"))) double exp(double) noexcept;
__attribute__((simd("notinbranch"))) double acos(double) noexcept;
__attribute__((simd("notinbranch"))) double sin(double) noexcept;
__attribute__((simd("notinbranch"))) double cos(double) noexcept;
__attribute__((simd("notinbranch"))) double tan(double) noexcept;
__attribute__((simd("notinbranch"))) double log(double) noexcept;
__attribute__((simd("notinbranch"))) double pow(double, double) noexcept;
}
#define QUEN_KERNEL_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define QUEN_KERNEL_CLONES
#endif

namespace quen {

namespace {

// Stations per block: the work arrays of a block stay in the first-level cache.
constexpr std::size_t kBlock = 32;
constexpr std::size_t kCells = kBlock * 12;

// Terms of the month's middle day (FAO-56 eqs. 23, 24), the same expressions
// as PenmanMonteithETo, repeated over the months of a block.
struct MonthTerms {
    double k37dr[kCells];     // 37.586 x dr (eq. 21: 24 x 60 / pi x Gsc)
    double sinDecl[kCells];
    double cosDecl[kCells];
    double tanDecl[kCells];
    MonthTerms()
    {
        for (int m = 1; m <= 12; ++m) {
            const double J = std::floor(30.5 * m - 15.0);
            const double dr = 1.0 + 0.033 * std::cos(0.01721420632103996 * J);
            const double decl = 0.409 * std::sin(0.01721420632103996 * J - 1.39);
            for (std::size_t s = 0; s < kBlock; ++s) {
                const std::size_t i = s * 12 + (m - 1);
                k37dr[i] = 37.586031360582005 * dr;
                sinDecl[i] = std::sin(decl);
                cosDecl[i] = std::cos(decl);
                tanDecl[i] = std::tan(decl);
            }
        }
    }
};

const MonthTerms& Months()
{
    static const MonthTerms terms;
    return terms;
}

// Station terms of a block, spread over its station-months so that the
// monthly loop reads every operand at the same index.
struct BlockTerms {
    double z[kCells];          // elevation, m
    double elevationFt[kCells];
    double gamma[kCells];      // psychrometric constant (eqs. 7, 8)
    double windLog[kCells];    // ln(67.8 h - 5.42) of eq. 47; 0 when the wind is taken as at 2 m
    double minusTanPhi[kCells];
    double sinPhi[kCells];
    double cosPhi[kCells];
    double hargreaves[kCells]; // 0.16 interior, 0.19 coastal
    double G[kCells];          // soil heat flux (eq. 43)
};

// Pressure, wind-profile and latitude terms of the stations of a block, in
// vector lanes.
struct StationTerms {
    double z[kBlock], gamma[kBlock], windLog[kBlock], minusTanPhi[kBlock], sinPhi[kBlock], cosPhi[kBlock];
};

QUEN_KERNEL_CLONES
void ComputeStationTerms(const PenmanMonteithBatch& in, std::size_t first, std::size_t count, StationTerms& t)
{
    const double* __restrict lat = in.latitudeRad + first;
    const double* __restrict elev = in.elevationFt + first;
    const double* __restrict height = in.stationHeightM + first;
    const unsigned char* __restrict agromet = in.agromet + first;
    for (std::size_t s = 0; s < count; ++s) {
        const double phi = lat[s];
        const double z = elev[s] * 0.3048;
        const double P = 101.3 * pow((293.0 - 0.0065 * z) / 293.0, 5.26);
        t.z[s] = z;
        t.gamma[s] = 0.000665 * P;
        // Heights of about 0.095 m or less give no log profile: the wind is
        // taken as measured at 2 m, as WindAt2m does (NaN fails every test).
        const double arg = 67.8 * height[s] - 5.42;
        const bool profile = !agromet[s] && arg > 1.0 && arg < HUGE_VAL;
        t.windLog[s] = profile ? log(profile ? arg : 2.0) : 0.0;
        t.minusTanPhi[s] = -tan(phi);
        t.sinPhi[s] = sin(phi);
    }
    // A loop of its own: next to sin of the same angle the compiler would
    // merge the two into one sincos call, which has no vector version.
    for (std::size_t s = 0; s < count; ++s)
        t.cosPhi[s] = cos(lat[s]);
}

void FillBlock(const PenmanMonteithBatch& in, std::size_t first, std::size_t count, BlockTerms& b)
{
    StationTerms t;
    ComputeStationTerms(in, first, count, t);
    for (std::size_t s = 0; s < count; ++s) {
        const std::size_t st = first + s;
        const double k = in.interior[st] ? 0.16 : 0.19;

        // Monthly mean temperatures, deg C, as MonthlyMeanTempC gives them.
        const double* tminF = in.tminF + st * 12;
        const double* tmaxF = in.tmaxF + st * 12;
        double meanC[12];
        for (int m = 0; m < 12; ++m)
            meanC[m] = ((tmaxF[m] + tminF[m]) / 2.0 - 32.0) * 5.0 / 9.0;

        for (int m = 0; m < 12; ++m) {
            const std::size_t i = s * 12 + m;
            b.z[i] = t.z[s];
            b.elevationFt[i] = in.elevationFt[st];
            b.gamma[i] = t.gamma[s];
            b.windLog[i] = t.windLog[s];
            b.minusTanPhi[i] = t.minusTanPhi[s];
            b.sinPhi[i] = t.sinPhi[s];
            b.cosPhi[i] = t.cosPhi[s];
            b.hargreaves[i] = k;
            b.G[i] = 0.07 * (meanC[(m + 1) % 12] - meanC[(m + 11) % 12]);
        }
    }
}

// The monthly equations of PenmanMonteithETo, operation for operation, with
// every branch turned into a choice between values computed in all lanes.
QUEN_KERNEL_CLONES
void MonthlyKernel(const PenmanMonteithBatch& in, std::size_t first, std::size_t cells, const BlockTerms& b,
                   const MonthTerms& mt, double* __restrict out)
{
    const double* __restrict tminF = in.tminF + first * 12;
    const double* __restrict tmaxF = in.tmaxF + first * 12;
    const double* __restrict windMph = in.windMph + first * 12;
    const double* __restrict rsL = in.rsLangleys + first * 12;
    const double* __restrict rhMin = in.rhMin + first * 12;
    const double* __restrict rhMax = in.rhMax + first * 12;
    const double* __restrict asIn = in.as + first * 12;
    const double* __restrict bsIn = in.bs + first * 12;
    const double* __restrict sun = in.sunshineHours + first * 12;
    const double* __restrict cor = in.cor + first * 12;

    for (std::size_t i = 0; i < cells; ++i) {
        const double tmin = (tminF[i] - 32.0) * 5.0 / 9.0;
        const double tmax = (tmaxF[i] - 32.0) * 5.0 / 9.0;
        const double T = (tmin + tmax) / 2.0;

        // Wind at 2 m (eq. 47), never below 0.5 m/s.
        const double uz = windMph[i] * 0.44704;
        const double wl = b.windLog[i];
        double u2 = wl != 0.0 ? uz * 4.87 / (wl != 0.0 ? wl : 1.0) : uz;
        u2 = u2 > 0.5 ? u2 : 0.5;

        // Saturation vapour pressures (eq. 11).
        const double tCor = tmin + cor[i];
        const double eT = 0.6108 * exp(17.27 * T / (T + 237.3));
        const double eMax = 0.6108 * exp(17.27 * tmax / (tmax + 237.3));
        const double eMin = 0.6108 * exp(17.27 * tmin / (tmin + 237.3));
        const double eCor = 0.6108 * exp(17.27 * tCor / (tCor + 237.3));

        const double gamma = b.gamma[i];
        const double delta = 4098.0 * eT / ((T + 237.3) * (T + 237.3));
        const double es = (eMax + eMin) / 2.0;
        const double rx = rhMax[i], rn = rhMin[i];
        const double eaBoth = (eMin * rx / 100.0 + eMax * rn / 100.0) / 2.0;
        const double eaMax = eMin * rx / 100.0;
        const double ea = (rx > 0 && rn > 0) ? eaBoth : (rx > 0 ? eaMax : eCor);

        // Extraterrestrial radiation (eqs. 21, 25); sunset angle clamped
        // beyond the polar circles.
        double cosWs = b.minusTanPhi[i] * mt.tanDecl[i];
        cosWs = cosWs < -1.0 ? -1.0 : (1.0 < cosWs ? 1.0 : cosWs);
        const double ws = acos(cosWs);
        // sin(acos c) = sqrt((1 - c)(1 + c)), one vector call less.
        const double sinWs = std::sqrt((1.0 - cosWs) * (1.0 + cosWs));
        const double Ra = mt.k37dr[i] * (ws * b.sinPhi[i] * mt.sinDecl[i] + b.cosPhi[i] * mt.cosDecl[i] * sinWs);

        // Angstrom coefficients, FAO-56 defaults when empty.
        const bool noAngstrom = !(asIn[i] + bsIn[i] > 0.0);
        const double as = noAngstrom ? 0.25 : asIn[i];
        const double bs = noAngstrom ? 0.50 : bsIn[i];
        const double z = b.z[i];
        const double Rso = (b.elevationFt[i] >= 500.0 && as == 0.25 && bs == 0.50) ? (0.75 + 0.00002 * z) * Ra
                                                                                   : (as + bs) * Ra;

        // Solar radiation: measured, from sunshine hours, or Hargreaves.
        const double Nd = 7.639437268410976 * ws;
        const double rsSun = Nd > 0 ? Ra * (as + bs * sun[i] / (Nd > 0 ? Nd : 1.0)) : Ra * as;
        const double dT = tmax - tmin;
        double rsHar = b.hargreaves[i] * std::sqrt(0.0 < dT ? dT : 0.0) * Ra;
        rsHar = rsHar > Rso ? Rso : rsHar;
        const double Rs = rsL[i] > 0 ? rsL[i] * 0.041866 : (sun[i] > 0 ? rsSun : rsHar);

        const double Rns = 0.77 * Rs;
        const double ratio = Rso > 0 ? Rs / (Rso > 0 ? Rso : 1.0) : 1.0;
        const double tmaxK = tmax + 273.16, tminK = tmin + 273.16;
        const double tmaxK2 = tmaxK * tmaxK, tminK2 = tminK * tminK;
        const double Rnl = 4.901e-9 * (tmaxK2 * tmaxK2 + tminK2 * tminK2) / 2.0
            * (0.34 - 0.14 * std::sqrt(0.0 < ea ? ea : 0.0)) * (1.35 * ratio - 0.35);
        const double Rn = Rns - Rnl;

        out[i] = (0.408 * delta * (Rn - b.G[i]) + gamma * 900.0 / (T + 273.0) * u2 * (es - ea))
            / (delta + gamma * (1.0 + 0.34 * u2));
    }
}

} // namespace

void PenmanMonteithEToBatch(const PenmanMonteithBatch& in, double* eto)
{
    const MonthTerms& mt = Months();
    BlockTerms b;
    for (std::size_t first = 0; first < in.stations; first += kBlock) {
        const std::size_t count = in.stations - first < kBlock ? in.stations - first : kBlock;
        FillBlock(in, first, count, b);
        MonthlyKernel(in, first, count * 12, b, mt, eto + first * 12);
    }
}

} // namespace quen
