// Number texts of the main program's printed reports and charts: the general
// format (shortest decimal text, at most 15 significant digits) and the fixed
// format (rounded to a number of significant digits, then written with a
// fixed number of decimals).
#pragma once

#include <QString>

namespace quen::output {

// 1000 -> "1000", 41.19 -> "41.19", 0.1 + 0.2 -> "0.3".
QString GeneralNumberText(double value);

// The value rounded to at most significantDigits digits, then written with
// exactly decimals decimals: FixedNumberText(5.6, 2) = "5.60". Never "-0.00".
QString FixedNumberText(double value, int decimals, int significantDigits = 6);

// Empty for 0, otherwise FixedNumberText(value, 2): the metric report columns
// where a month without a requirement prints nothing.
QString FixedOrEmptyText(double value, int decimals = 2);

} // namespace quen::output
