#include "ReportNumbers.h"

#include <cmath>

#include "Report.h"

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
    // Precision first (at most significantDigits digits), then the decimals,
    // rounded half away from zero as the printed tables always were.
    const double rounded = QString::number(value, 'g', significantDigits).toDouble();
    QString pattern = QStringLiteral("0");
    if (decimals > 0)
        pattern += QLatin1Char('.') + QString(decimals, QLatin1Char('0'));
    QString s = report::formatFloat(pattern, rounded);
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
