// Number texts of the output dialog and the crop reports.
//
//   generalFormat  the shortest decimal text with at most 15 significant
//                  digits and no trailing zeros (35.43, 1085, 0.5);
//   fixedFormat    rounded to at most 6 significant digits, then written
//                  with exactly n decimals (5.6 -> "5.60");
//   stressFormat   the water stress factor: at most 4 significant digits,
//                  two decimals;
//   monthDay       two plain integers joined by "/" (6/1, 10/15).
#pragma once

#include <QString>

namespace quen::output {

QString generalFormat(double v);
QString fixedFormat(double v, int decimals, int significant = 6);
inline QString fixed2(double v) { return fixedFormat(v, 2); }
inline QString stressFormat(double v) { return fixedFormat(v, 2, 4); }
inline QString monthDay(int month, int day) { return QString::number(month) + QLatin1Char('/') + QString::number(day); }

// Month names "January" .. "December", [1..12].
QString monthName(int month);

} // namespace quen::output
