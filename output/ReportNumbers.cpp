#include "ReportNumbers.h"

#include <cmath>

namespace quen::output {

QString GeneralNumberText(double value)
{
    if (!std::isfinite(value))
        return QString();
    if (value == 0.0)
        return QStringLiteral("0");
    return QString::number(value, 'g', 15);
}

QString FixedNumberText(double value, int decimals, int significantDigits)
{
    if (!std::isfinite(value))
        return QString();
    const double rounded = QString::number(value, 'g', significantDigits).toDouble();
    QString s = QString::number(rounded, 'f', decimals);
    // a small negative value rounds to zero: no sign in front of it
    bool allZero = true;
    for (QChar c : s)
        if (c.isDigit() && c != QLatin1Char('0'))
            allZero = false;
    if (allZero && s.startsWith(QLatin1Char('-')))
        s.remove(0, 1);
    return s;
}

QString FixedOrEmptyText(double value, int decimals)
{
    return value == 0.0 ? QString() : FixedNumberText(value, decimals);
}

} // namespace quen::output
