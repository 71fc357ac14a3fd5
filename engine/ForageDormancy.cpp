#include "ForageDormancy.h"

#include "Calendar.h"

namespace quen {

void SetForageFreezeDays(ForageCurve& c, const StationFrostDates& frost)
{
    c.springFreezeDay = c.fallFreezeDay = 0;
    if (FrostDateUnknown(frost.spring28) || FrostDateUnknown(frost.fall28))
        return;
    const GrowthDate spring = ParseFrostDate(frost.spring28), fall = ParseFrostDate(frost.fall28);
    if (spring.month < 1 || spring.month > 12 || fall.month < 1 || fall.month > 12 || spring.day < 1 || fall.day < 1)
        return;   // "00/00": never that cold
    c.springFreezeDay = DayOfYear(spring.month, spring.day);
    c.fallFreezeDay = DayOfYear(fall.month, fall.day);
}

} // namespace quen
