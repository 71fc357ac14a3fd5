// Irrigation types and the fraction of the soil surface they wet.
//
// The lists of the program write some types in more than one spelling:
// "Sprinklers- above canopy" / "Spinklers- above canopy", "Furrows- ..." /
// "Furrow- ...", "LEPA systems ..." / "LEPA sysytems ...". Each spelling
// names the same irrigation type and gets the same fraction wetted; the
// stored text stays as the list wrote it.
#pragma once

#include <QString>

namespace quen {

// The irrigation type written in one canonical spelling (for comparison only).
QString CanonicalIrrigationType(const QString& type);

// True when both texts name the same irrigation type.
bool SameIrrigationType(const QString& a, const QString& b);

// Fraction wetted of an irrigation type: 1.0 for rain, sprinklers, borders
// and basins and large-depth furrows; 0.5 for small-depth and every-other-row
// furrows and LEPA; 0.25 for trickle; 1.0 for any other text.
double FractionWettedForIrrigationType(const QString& type);

} // namespace quen
