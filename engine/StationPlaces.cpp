#include "StationPlaces.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

#include "db/Table.h"

namespace quen {

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

// One coordinate's tokens: numbers (degrees, minutes, seconds) and at most
// one hemisphere letter before or after them.
struct Group {
    QStringList tokens;
};

bool IsLetter(const QString& t) { return t.size() == 1 && QStringLiteral("NSEW").contains(t); }

// Reads one coordinate; latitude chooses N/S and the +-90 range.
std::optional<double> ReadCoordinate(const QStringList& tokens, bool latitude, QString& error)
{
    const QString what = latitude ? QStringLiteral("latitude") : QStringLiteral("longitude");
    QString letter;
    QStringList numbers;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (IsLetter(t)) {
            if (!letter.isEmpty() || (i != 0 && i != tokens.size() - 1)) {
                error = QStringLiteral("The %1 has a letter N, S, E or W in the middle.").arg(what);
                return std::nullopt;
            }
            letter = t;
        } else {
            numbers << t;
        }
    }
    if (numbers.isEmpty() || numbers.size() > 3) {
        error = numbers.isEmpty() ? QStringLiteral("The %1 is missing.").arg(what)
                                  : QStringLiteral("The %1 has more than degrees, minutes and seconds.").arg(what);
        return std::nullopt;
    }
    if (!letter.isEmpty() && (latitude ? !QStringLiteral("NS").contains(letter) : !QStringLiteral("EW").contains(letter))) {
        error = QStringLiteral("The %1 is marked %2; use %3.").arg(what, letter,
                                                                   latitude ? QStringLiteral("N or S") : QStringLiteral("E or W"));
        return std::nullopt;
    }
    double sign = 1.0;
    QList<double> v;
    for (qsizetype i = 0; i < numbers.size(); ++i) {
        QString n = numbers[i];
        if (n.startsWith(QLatin1Char('+')) || n.startsWith(QLatin1Char('-'))) {
            if (i != 0 || !letter.isEmpty()) {
                error = !letter.isEmpty() ? QStringLiteral("The %1 has both a sign and a letter %2.").arg(what, letter)
                                          : QStringLiteral("Only the degrees of the %1 may have a sign.").arg(what);
                return std::nullopt;
            }
            if (n.startsWith(QLatin1Char('-')))
                sign = -1.0;
            n.remove(0, 1);
        }
        const bool last = i == numbers.size() - 1;
        if (!last && n.contains(QLatin1Char('.'))) {
            error = QStringLiteral("Only the last part of the %1 may have decimals (%2).").arg(what, numbers[i]);
            return std::nullopt;
        }
        v << n.toDouble();
    }
    for (qsizetype i = 1; i < v.size(); ++i)
        if (v[i] >= 60.0) {
            error = QStringLiteral("The %1's %2 must be below 60.").arg(what, i == 1 ? QStringLiteral("minutes")
                                                                                  : QStringLiteral("seconds"));
            return std::nullopt;
        }
    double deg = v[0] + (v.size() > 1 ? v[1] / 60.0 : 0.0) + (v.size() > 2 ? v[2] / 3600.0 : 0.0);
    if (letter == QLatin1String("S") || letter == QLatin1String("W"))
        sign = -1.0;
    deg *= sign;
    const double limit = latitude ? 90.0 : 180.0;
    if (std::fabs(deg) > limit) {
        error = QStringLiteral("The %1 must lie between -%2 and %2 degrees.").arg(what).arg(limit);
        return std::nullopt;
    }
    return deg;
}

} // namespace

double GreatCircleKm(GeoPoint a, GeoPoint b)
{
    const double dLat = (b.latitude - a.latitude) * kRad, dLon = (b.longitude - a.longitude) * kRad;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2)
        + std::cos(a.latitude * kRad) * std::cos(b.latitude * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    // Rounding can carry h a hair past 1 for antipodal points.
    return 2.0 * kEarthRadiusKm * std::asin(std::min(1.0, std::sqrt(h)));
}

double StoredDegrees(double ddmm)
{
    const double a = std::fabs(ddmm);
    const double deg = std::floor(a / 100.0);
    return deg + (a - deg * 100.0) / 60.0;
}

PositionParse ParsePosition(const QString& text)
{
    PositionParse r;
    auto fail = [&r](const QString& e) {
        r.error = e;
        return r;
    };
    QString s = text.trimmed().toUpper();
    if (s.isEmpty())
        return fail(QStringLiteral("Type the field's latitude and longitude, e.g. 43.52, -114.31 or 43 31 N 114 18 W."));
    // A comma between digits is a decimal comma, which would split one
    // coordinate into two.
    static const QRegularExpression decimalComma(QStringLiteral("\\d,\\d"));
    if (s.contains(decimalComma))
        return fail(QStringLiteral("Write decimals with a point (43.52) and put a blank after the comma "
                                   "between latitude and longitude."));
    for (const QChar c : {QChar(0x00B0), QChar(0x00BA), QChar('\''), QChar(0x2019), QChar(0x2032), QChar('"'),
                          QChar(0x2033), QChar(':')})
        s.replace(c, QLatin1Char(' '));
    static const QRegularExpression token(QStringLiteral("[+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)|[NSEW]|[,;]|\\S"));
    QList<QStringList> parts{{}};
    for (auto it = token.globalMatch(s); it.hasNext();) {
        const QString t = it.next().captured(0);
        if (t == QLatin1String(",") || t == QLatin1String(";")) {
            parts.append(QStringList());
            continue;
        }
        static const QRegularExpression number(QStringLiteral("^[+-]?(?:\\d+(?:\\.\\d*)?|\\.\\d+)$"));
        if (!IsLetter(t) && !number.match(t).hasMatch())
            return fail(QStringLiteral("\"%1\" is not a number or one of N, S, E, W.").arg(t));
        parts.last() << t;
    }
    if (parts.size() > 2)
        return fail(QStringLiteral("Give one latitude and one longitude, separated by one comma."));
    QStringList lat, lon;
    if (parts.size() == 2) {
        lat = parts[0];
        lon = parts[1];
    } else {
        const QStringList& all = parts[0];
        QList<qsizetype> letters;
        for (qsizetype i = 0; i < all.size(); ++i)
            if (IsLetter(all[i]))
                letters << i;
        qsizetype split = -1;
        if (letters.isEmpty()) {
            // Numbers alone: as many for the latitude as for the longitude.
            if (all.size() % 2 != 0 || all.isEmpty() || all.size() > 6)
                return fail(QStringLiteral("Give the latitude and the longitude (the same number of parts each), "
                                           "or separate them with a comma."));
            split = all.size() / 2;
        } else if (letters.size() != 2) {
            return fail(QStringLiteral("Mark both coordinates with a letter (N or S, then E or W), or neither."));
        } else {
            split = letters[0] == 0 ? letters[1] : letters[0] + 1;   // letters before or after the numbers
        }
        lat = all.mid(0, split);
        lon = all.mid(split);
    }
    QString error;
    const auto la = ReadCoordinate(lat, true, error);
    if (!la)
        return fail(error);
    const auto lo = ReadCoordinate(lon, false, error);
    if (!lo)
        return fail(error);
    r.ok = true;
    r.point = {*la, *lo};
    return r;
}

QString StationPlace::state() const
{
    const QString c = county.trimmed();
    return c.size() >= 2 ? c.right(2).toUpper() : QString();
}

QSet<QString> WindRecordLocations()
{
    QSet<QString> set;
    TTable whr(QStringLiteral("ClimWHR.DB"));
    whr.open();
    for (whr.first(); !whr.eof(); whr.next())
        if (whr.field(QStringLiteral("U27")).asFloat() != 0.0)
            set.insert(whr.field(QStringLiteral("WHRLocation")).asString());
    whr.close();
    return set;
}

StationPlace PlaceOf(const QString& name, const QString& number, const QString& county, const QString& whrLocation,
                     const std::optional<double>& storedLatitude, const std::optional<double>& storedLongitude,
                     double elevationFt, bool hasWind)
{
    StationPlace p;
    p.name = name;
    p.number = number;
    p.county = county;
    p.whrLocation = whrLocation;
    p.elevationFt = elevationFt;
    p.hasWind = hasWind;
    auto minutesOk = [](double ddmm) {
        const double a = std::fabs(ddmm);
        return a - std::floor(a / 100.0) * 100.0 < 60.0;
    };
    if (!storedLatitude || !storedLongitude)
        p.positionNote = QStringLiteral("no latitude or longitude");
    else if (*storedLatitude == 0.0 && *storedLongitude == 0.0)
        p.positionNote = QStringLiteral("latitude and longitude are 0");
    else if (!minutesOk(*storedLatitude) || !minutesOk(*storedLongitude))
        p.positionNote = QStringLiteral("minutes of 60 or more");
    else {
        // Stored longitudes are degrees west: a negative one lies east.
        const double lon = *storedLongitude >= 0.0 ? -StoredDegrees(*storedLongitude) : StoredDegrees(*storedLongitude);
        const double lat = *storedLatitude >= 0.0 ? StoredDegrees(*storedLatitude) : -StoredDegrees(*storedLatitude);
        if (lat > 90.0 || lon < -180.0 || lon > 180.0)
            p.positionNote = QStringLiteral("latitude or longitude out of range");
        else {
            p.hasPosition = true;
            p.point = {lat, lon};
        }
    }
    return p;
}

QList<StationPlace> ReadStationPlaces()
{
    const QSet<QString> wind = WindRecordLocations();
    QList<StationPlace> out;
    TTable clim(QStringLiteral("Climate.DB"));
    clim.open();
    auto opt = [&clim](const QString& f) -> std::optional<double> {
        const TField v = clim.field(f);
        return v.isNull() ? std::nullopt : std::optional<double>(v.asFloat());
    };
    for (clim.first(); !clim.eof(); clim.next()) {
        const QString whr = clim.field(QStringLiteral("WHRLocation")).asString();
        out << PlaceOf(clim.field(QStringLiteral("Station Name")).asString(),
                       clim.field(QStringLiteral("Station No")).asString(), clim.field(QStringLiteral("County")).asString(),
                       whr, opt(QStringLiteral("Latitude")), opt(QStringLiteral("Longitude")),
                       clim.field(QStringLiteral("Elevation")).asFloat(), wind.contains(whr));
    }
    clim.close();
    return out;
}

QList<NearStation> StationsByDistance(const QList<StationPlace>& places, GeoPoint field,
                                      std::optional<double> fieldElevationFt,
                                      const std::function<bool(qsizetype)>& eligible)
{
    QList<NearStation> out;
    for (qsizetype i = 0; i < places.size(); ++i) {
        const StationPlace& p = places[i];
        if (!p.hasPosition || (eligible && !eligible(i)))
            continue;
        out << NearStation{i, GreatCircleKm(field, p.point), fieldElevationFt ? p.elevationFt - *fieldElevationFt : 0.0};
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const NearStation& a, const NearStation& b) { return a.distanceKm < b.distanceKm; });
    return out;
}

std::optional<NearStation> NearestPoint(const QList<GeoPoint>& points, GeoPoint field,
                                        const std::function<bool(qsizetype)>& eligible)
{
    std::optional<NearStation> best;
    for (qsizetype i = 0; i < points.size(); ++i) {
        if (eligible && !eligible(i))
            continue;
        const double d = GreatCircleKm(field, points[i]);
        if (!best || d < best->distanceKm)
            best = NearStation{i, d, 0.0};
    }
    return best;
}

bool StateOutline::contains(GeoPoint p) const
{
    const double x = p.longitude, y = p.latitude;
    bool inside = false;
    for (const QList<QPointF>& ring : rings)
        for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const QPointF& a = ring[i];
            const QPointF& b = ring[j];
            if ((a.y() > y) != (b.y() > y) && x < a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
                inside = !inside;
        }
    return inside;
}

double StateOutline::distanceKm(GeoPoint p) const
{
    // Local equirectangular plane around p: good to a fraction of a percent
    // over the few km this is asked for.
    const double kx = std::cos(p.latitude * kRad) * kRad * kEarthRadiusKm, ky = kRad * kEarthRadiusKm;
    double best = 1e300;
    for (const QList<QPointF>& ring : rings)
        for (qsizetype i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
            const double ax = (ring[j].x() - p.longitude) * kx, ay = (ring[j].y() - p.latitude) * ky;
            const double bx = (ring[i].x() - p.longitude) * kx, by = (ring[i].y() - p.latitude) * ky;
            const double dx = bx - ax, dy = by - ay, len = dx * dx + dy * dy;
            const double t = len > 0.0 ? std::clamp(-(ax * dx + ay * dy) / len, 0.0, 1.0) : 0.0;
            best = std::min(best, std::hypot(ax + t * dx, ay + t * dy));
        }
    return best;
}

QList<StateOutline> ReadStateOutlines(const QString& text)
{
    QList<StateOutline> out;
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.startsWith(u"state ")) {
            const QStringList w = line.toString().split(QLatin1Char(' '));
            if (w.size() >= 3)
                out << StateOutline{w[1], w.mid(2).join(QLatin1Char(' ')), {}};
        } else if (line.startsWith(u"ring ") && !out.isEmpty()) {
            const QList<QStringView> v = line.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            QList<QPointF> ring;
            bool ok = v.size() >= 6 && v.size() % 2 == 0;
            for (qsizetype i = 0; ok && i + 1 < v.size(); i += 2) {
                bool okx = false, oky = false;
                ring << QPointF(v[i].toDouble(&okx), v[i + 1].toDouble(&oky));
                ok = okx && oky;
            }
            if (ok)
                out.last().rings << ring;
        }
    }
    return out;
}

const QList<StateOutline>& StateOutlines()
{
    static const QList<StateOutline> outlines = [] {
        QFile f(QStringLiteral(":/quenpm/data/state_outlines.txt"));
        return f.open(QIODevice::ReadOnly) ? ReadStateOutlines(QString::fromUtf8(f.readAll())) : QList<StateOutline>{};
    }();
    return outlines;
}

} // namespace quen
