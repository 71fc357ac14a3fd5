// The unit twins the station and the wind, humidity and radiation editors
// keep: a value entered in one unit of a pair writes its partner field.
//  "Climate.DB": "Elevation" ft <-> "ElevationM" (x / 3.28083, x x 3.28083);
//   "T", "Tmin", "Tmax" deg F <-> "Tm", "TminM", "TmaxM" deg C, (F - 32) x 5 / 9,
//   2 decimals; "P" in <-> "Pm" cm, x 2.54, 2 decimals (month 1..12 appended).
//  "ClimWHR.DB": "U2" mph <-> "U2m" km/day (1 mph for a day = 38.624256 km),
//   2 decimals, mph 4 decimals for months 1-9; "Rs" langley/day <-> "Rsm"
//   MJ/m2/day (1 ly = 0.041866 MJ/m2), 2 decimals.
#pragma once

#include <QString>
#include <optional>

namespace quen::climprog {

struct UnitTwin {
    QString field;
    double value = 0.0;
};

// The twin an entry x of field writes; none for fields without one.
std::optional<UnitTwin> stationUnitTwin(const QString& field, double x);
std::optional<UnitTwin> whrUnitTwin(const QString& field, double x);

// A frost-date entry ("Spr mo/dy 28" and the like): empty, or mm/dd with
// month 00-12 and day 00-31 ("00/00": never that cold).
bool frostDateTextOk(const QString& text);

} // namespace quen::climprog
