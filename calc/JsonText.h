// The JSON text quenpm-calc writes: numbers with 17 significant digits (null
// when not finite), escaped strings, the twelve months of a result as an array.
#pragma once

#include <QString>
#include <QStringList>
#include <cmath>

#include "CropRunContext.h"

namespace quen::calc::json {

inline QString Num(double v)
{
    if (!std::isfinite(v))
        return QStringLiteral("null");
    return QString::number(v, 'g', 17);
}

inline QString String(const QString& s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

inline QString Months(const MonthlyValues& a)
{
    QStringList parts;
    for (int m = 1; m <= 12; ++m)
        parts << Num(a[m]);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

} // namespace quen::calc::json
