#include "OutputFormats.h"

#include <cmath>

#include "Report.h"

namespace quen::output {

QString generalFormat(double v)
{
    if (v == 0.0)
        return QStringLiteral("0");   // also -0
    return QString::number(v, 'g', 15);
}

QString fixedFormat(double v, int decimals, int significant)
{
    if (!std::isfinite(v))
        return QString::number(v);
    // Precision first (at most `significant` digits), then the decimals,
    // rounded half away from zero as the printed tables always were.
    const double r = QString::number(v, 'g', significant).toDouble();
    QString pattern = QStringLiteral("0");
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    return report::formatFloat(pattern, r);
}

QString monthName(int month)
{
    static const char* const names[13] = {"",         "January", "February", "March",     "April",
                                          "May",      "June",    "July",     "August",    "September",
                                          "October",  "November", "December"};
    return month >= 1 && month <= 12 ? QString::fromLatin1(names[month]) : QString();
}

} // namespace quen::output
