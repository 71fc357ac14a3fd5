// What the station dialog does besides its grids: the stations as the map
// draws them, the rows of the "Nearest to" list, and moving the county and
// station grids' tables onto a station chosen on the map or in that list.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "StationMap.h"
#include "StationPlaces.h"

namespace quen {
class TTable;
}

namespace quen::mainprog {

// The stations with a position as map points; unplaced gets how many have none.
QList<TMapStation> MapStations(const QList<StationPlace>& places, int* unplaced = nullptr);
// Every shipped state outline's rings.
QList<QList<QPointF>> OutlineRings();

// One row of the "Nearest to" list: name, county, distance in miles and km,
// elevation, elevation above the field, wind record; stations without a
// position come last with their note in place of a distance.
struct NearestRow {
    QString name;
    QStringList cells;
};
inline const QStringList kNearestColumns{QStringLiteral("Station Name"),   QStringLiteral("County"),
                                         QStringLiteral("Distance (mi)"),  QStringLiteral("Distance (km)"),
                                         QStringLiteral("Elevation (ft)"), QStringLiteral("Above field (ft)"),
                                         QStringLiteral("Wind data")};
QList<NearestRow> NearestRows(const QList<StationPlace>& places, GeoPoint field, std::optional<double> fieldElevationFt);

// Puts counties on the station's county (which filters clim to it) and clim
// on the station; false when either is not found.
bool GoToStation(TTable& counties, TTable& clim, const StationPlace& station);

} // namespace quen::mainprog
