// Number texts of the output dialog and the crop reports, on the report
// number formats of ReportNumbers.h:
//
//   fixed2         FixedNumberText with two decimals (5.6 -> "5.60");
//   stressFormat   the water stress factor: at most 4 significant digits,
//                  two decimals;
//   monthDay       two plain integers joined by "/" (6/1, 10/15).
#pragma once

#include <QString>

#include "ReportNumbers.h"

namespace quen::output {

inline QString fixed2(double v) { return FixedNumberText(v, 2); }
inline QString stressFormat(double v) { return FixedNumberText(v, 2, 4); }
inline QString monthDay(int month, int day) { return QString::number(month) + QLatin1Char('/') + QString::number(day); }

// Month names "January" .. "December", [1..12].
QString monthName(int month);

} // namespace quen::output
