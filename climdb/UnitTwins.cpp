#include "UnitTwins.h"

#include <QRegularExpression>

#include "Calendar.h"
#include "StationRecords.h"

namespace quen::climprog {

namespace {

// Wind run of 1 mph for a day: 1.609344 km/h x 24 h.
constexpr double kKmPerDayPerMph = 38.624256;
// 1 langley/day = 0.041866 MJ/m2/day.
constexpr double kMJPerLangley = 0.041866;

} // namespace

std::optional<UnitTwin> stationUnitTwin(const QString& field, double x)
{
    if (field == QLatin1String("Elevation"))
        return UnitTwin{QStringLiteral("ElevationM"), x / 3.28083};
    if (field == QLatin1String("ElevationM"))
        return UnitTwin{QStringLiteral("Elevation"), x * 3.28083};
    static const QRegularExpression month(QStringLiteral("^(TminM|TmaxM|Tmin|Tmax|Tm|T|Pm|P)(\\d+)$"));
    const auto m = month.match(field);
    if (!m.hasMatch())
        return std::nullopt;
    const QString kind = m.captured(1);
    const QString n = m.captured(2);
    if (kind == QLatin1String("T") || kind == QLatin1String("Tmin") || kind == QLatin1String("Tmax")) {
        const QString partner = kind == QLatin1String("T") ? QStringLiteral("Tm") : kind + QStringLiteral("M");
        return UnitTwin{partner + n, roundedTo((x - 32) * 5 / 9, 2)};
    }
    if (kind == QLatin1String("Tm") || kind == QLatin1String("TminM") || kind == QLatin1String("TmaxM")) {
        const QString partner = kind == QLatin1String("Tm") ? QStringLiteral("T") : kind.chopped(1);
        return UnitTwin{partner + n, roundedTo(x * 9 / 5 + 32, 2)};
    }
    if (kind == QLatin1String("P"))
        return UnitTwin{QStringLiteral("Pm") + n, roundedTo(x * 2.54, 2)};
    return UnitTwin{QStringLiteral("P") + n, roundedTo(x / 2.54, 2)};
}

std::optional<UnitTwin> whrUnitTwin(const QString& field, double x)
{
    static const QRegularExpression re(QStringLiteral("^(U2m|U2|Rsm|Rs)(\\d+)$"));
    const auto m = re.match(field);
    if (!m.hasMatch())
        return std::nullopt;
    const QString kind = m.captured(1);
    const int month = m.captured(2).toInt();
    const QString n = m.captured(2);
    if (kind == QLatin1String("U2"))
        return UnitTwin{QStringLiteral("U2m") + n, roundedTo(x * kKmPerDayPerMph, 2)};
    if (kind == QLatin1String("U2m"))
        return UnitTwin{QStringLiteral("U2") + n, roundedTo(x / kKmPerDayPerMph, month <= 9 ? 4 : 2)};
    if (kind == QLatin1String("Rs"))
        return UnitTwin{QStringLiteral("Rsm") + n, roundedTo(x * kMJPerLangley, 2)};
    return UnitTwin{QStringLiteral("Rs") + n, roundedTo(x / kMJPerLangley, 2)};
}

bool frostDateTextOk(const QString& text)
{
    if (text.isEmpty() || text == QLatin1String("00/00"))
        return true;
    // A day of the 365-day calendar year the growth dates count on.
    static const QRegularExpression re(QStringLiteral("^(0[1-9]|1[0-2])/(0[1-9]|[12][0-9]|3[01])$"));
    const auto m = re.match(text);
    return m.hasMatch() && m.captured(2).toInt() <= DaysInMonth(m.captured(1).toInt());
}

} // namespace quen::climprog
