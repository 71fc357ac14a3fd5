// Calendar and numeric helpers of the engine: a 365-day year, no leap years.
#pragma once

#include <QString>
#include <cmath>

namespace quen {

// Days before the first of each month, [1..12].
inline constexpr int kDaysBeforeMonth[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
inline constexpr int kDaysInMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Month 1..12; any other month is brought into range by wrapping.
inline int WrapMonth(int month)
{
    int m = (month - 1) % 12;
    if (m < 0)
        m += 12;
    return m + 1;
}

inline int DaysInMonth(int month) { return kDaysInMonth[WrapMonth(month)]; }

inline int DayOfYear(int month, int day) { return kDaysBeforeMonth[WrapMonth(month)] + day; }

struct MonthDay {
    int month = 0;
    int day = 0;
    QString text;   // "m/d"
};

// Month and day of a day of year; days above 334 are December.
// Month (1..12) of a day of the year; 1 for days before January 1.
inline int MonthOfDayOfYear(int dayOfYear)
{
    for (int m = 12; m >= 1; --m)
        if (dayOfYear > kDaysBeforeMonth[m])
            return m;
    return 1;
}

inline MonthDay DayOfYearToMonthDay(int dayOfYear)
{
    const int month = MonthOfDayOfYear(dayOfYear);
    MonthDay r;
    r.month = month;
    r.day = dayOfYear - kDaysBeforeMonth[month];
    r.text = QString::number(r.month) + QLatin1Char('/') + QString::number(r.day);
    return r;
}

// Integer part of x, plus 1 when the fractional part is 0.5 or more.
inline int RoundHalfUp(double x)
{
    const double ip = std::trunc(x);
    return static_cast<int>(ip) + ((x - ip) >= 0.5 ? 1 : 0);
}

// b + (c - b) x a
inline double Interpolate(double a, double b, double c) { return b + (c - b) * a; }

inline int PrevMonth(int month) { return month == 1 ? 12 : month - 1; }
inline int NextMonth(int month) { return month == 12 ? 1 : month + 1; }

} // namespace quen
