#include "OutputFormats.h"

namespace quen::output {

QString monthName(int month)
{
    static const char* const names[13] = {"",         "January", "February", "March",     "April",
                                          "May",      "June",    "July",     "August",    "September",
                                          "October",  "November", "December"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month]) : QString();
}

} // namespace quen::output
