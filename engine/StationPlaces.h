// Where the climate stations are: great-circle distances, positions typed by
// a planner, the stations of "Climate.DB" with their positions and whether
// they have a wind, humidity and radiation record (what Penman-Monteith
// needs), the stations nearest to a field, and the state outlines the
// station maps draw and check positions against. No windows.
#pragma once

#include <QList>
#include <QPointF>
#include <QSet>
#include <QString>

#include <functional>
#include <optional>

namespace quen {

// A position in decimal degrees, north and east positive.
struct GeoPoint {
    double latitude = 0.0;
    double longitude = 0.0;
};

// Mean Earth radius (IUGG), the sphere the distances are measured on.
inline constexpr double kEarthRadiusKm = 6371.0;

// Great-circle distance in km on the sphere of kEarthRadiusKm (the haversine
// formula: Sinnott, R.W. (1984), "Virtues of the Haversine", Sky and
// Telescope 68(2):159).
double GreatCircleKm(GeoPoint a, GeoPoint b);

// A latitude or longitude of "Climate.DB" (degrees and minutes run together,
// DDMM or DDDMM; 4119 = 41 deg 19 min) in decimal degrees, sign dropped.
double StoredDegrees(double ddmm);

// A position as a planner types it: latitude then longitude, as decimal
// degrees with signs ("43.52, -114.31") or degrees, minutes (and seconds)
// with N/S/E/W before or after each ("43 31.2 N 114 18.6 W", "N43°31'
// W114°18'"). Refused with a message that says what is wrong.
struct PositionParse {
    bool ok = false;
    GeoPoint point;
    QString error;   // empty when ok
};
PositionParse ParsePosition(const QString& text);

// One station of "Climate.DB" as the maps and the nearest-station list show it.
struct StationPlace {
    QString name;          // "Station Name"
    QString number;        // "Station No"
    QString county;        // "County" ("Ada, ID")
    QString whrLocation;   // "WHRLocation"
    bool hasPosition = false;
    QString positionNote;  // why a station has no position (empty when it has one)
    GeoPoint point;        // decimal degrees, west negative (the stored longitude is west)
    double elevationFt = 0.0;
    bool hasWind = false;  // its "WHRLocation" names a "ClimWHR.DB" record with a July wind
    QString state() const; // the two letters that end the county key
};

// The wind, humidity and radiation records with a July wind ("U27" not 0):
// a station that names one can be computed by Penman-Monteith.
QSet<QString> WindRecordLocations();

// A station's place from its stored fields (latitude and longitude DDMM;
// null = not given). A station has no position when a field is empty, both
// are 0, or the minutes are 60 or more.
StationPlace PlaceOf(const QString& name, const QString& number, const QString& county, const QString& whrLocation,
                     const std::optional<double>& storedLatitude, const std::optional<double>& storedLongitude,
                     double elevationFt, bool hasWind);

// Every row of "Climate.DB" in its primary order (the database is open).
QList<StationPlace> ReadStationPlaces();

// A station and how far it is from a field.
struct NearStation {
    qsizetype index = -1;       // into the list searched
    double distanceKm = 0.0;
    double elevationDiffFt = 0.0;   // station minus field; 0 when the field's elevation is not given
};

// The stations with a position, nearest first (equal distances keep the
// list's order), each with its distance and its elevation above the field
// (fieldElevationFt, when given). eligible, when given, picks the stations
// that may be chosen.
QList<NearStation> StationsByDistance(const QList<StationPlace>& places, GeoPoint field,
                                      std::optional<double> fieldElevationFt = std::nullopt,
                                      const std::function<bool(qsizetype)>& eligible = {});

// The nearest of points (the first of equal distances) among those eligible
// picks; nullopt when there is none.
std::optional<NearStation> NearestPoint(const QList<GeoPoint>& points, GeoPoint field,
                                        const std::function<bool(qsizetype)>& eligible = {});

// A state's outline: its rings as (longitude, latitude) points; a point lies
// inside when an odd number of rings surrounds it (islands and holes alike).
struct StateOutline {
    QString code;   // "ID"
    QString name;   // "Idaho"
    QList<QList<QPointF>> rings;
    bool contains(GeoPoint p) const;
    double distanceKm(GeoPoint p) const;   // to the nearest edge (approximate, for points near it)
};

// The shipped outlines (data/state_outlines.txt, compiled in), read once.
const QList<StateOutline>& StateOutlines();
// Reads outlines in that file's format; malformed lines are skipped.
QList<StateOutline> ReadStateOutlines(const QString& text);

} // namespace quen
