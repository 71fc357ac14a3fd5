// FAO-56 Penman-Monteith ETo for all twelve months of many stations in one
// call, over plain arrays. The per-month PenmanMonteithETo stays for callers
// that need one month; both give the same figures to within a few units in
// the last place (the vector exp/acos/sin of the C library may round their
// last bit differently from the scalar ones).
#pragma once

#include <cstddef>

namespace quen {

// Arrays of one batch. Station arrays hold one value per station; monthly
// arrays hold twelve per station, station after station (January of station
// s at [12 s], December at [12 s + 11]). The meaning of each value is that of
// PenmanMonteithInputs.
struct PenmanMonteithBatch {
    std::size_t stations = 0;

    // Per station.
    const double* latitudeRad = nullptr;     // LatitudeRadians of the stored latitude
    const double* elevationFt = nullptr;     // "Elevation"
    const double* stationHeightM = nullptr;  // wind measurement height
    const unsigned char* agromet = nullptr;  // 1: "Agrometeorological station" (wind taken as at 2 m)
    const unsigned char* interior = nullptr; // 1: "Interior location" (Hargreaves coefficient 0.16)

    // Per station-month.
    const double* tminF = nullptr;
    const double* tmaxF = nullptr;
    const double* windMph = nullptr;
    const double* rsLangleys = nullptr;      // <= 0 not available
    const double* rhMin = nullptr;
    const double* rhMax = nullptr;
    const double* as = nullptr;
    const double* bs = nullptr;
    const double* sunshineHours = nullptr;   // <= 0 not available
    const double* cor = nullptr;
};

// ETo, mm/day, of every station-month into eto[12 x stations]. The soil heat
// flux of each month comes from the station's own mean temperatures of the
// months before and after (MonthlyMeanTempC of its Tmin and Tmax), as the
// crop computation passes them to PenmanMonteithETo.
void PenmanMonteithEToBatch(const PenmanMonteithBatch& in, double* eto);

} // namespace quen
