#include "StationChoice.h"

#include "Table.h"

namespace quen::mainprog {

QList<TMapStation> MapStations(const QList<StationPlace>& places, int* unplaced)
{
    QList<TMapStation> out;
    int none = 0;
    for (const StationPlace& p : places) {
        if (p.hasPosition)
            out << TMapStation{p.name, p.point.latitude, p.point.longitude, p.hasWind};
        else
            ++none;
    }
    if (unplaced)
        *unplaced = none;
    return out;
}

QList<QList<QPointF>> OutlineRings()
{
    QList<QList<QPointF>> rings;
    for (const StateOutline& o : StateOutlines())
        rings << o.rings;
    return rings;
}

QList<NearestRow> NearestRows(const QList<StationPlace>& places, GeoPoint field, std::optional<double> fieldElevationFt)
{
    QList<NearestRow> rows;
    auto wind = [](const StationPlace& p) { return p.hasWind ? QStringLiteral("yes") : QStringLiteral("no"); };
    for (const NearStation& n : StationsByDistance(places, field, fieldElevationFt)) {
        const StationPlace& p = places[n.index];
        rows << NearestRow{p.name,
                           {p.name, p.county, QString::number(n.distanceKm / 1.609344, 'f', 1),
                            QString::number(n.distanceKm, 'f', 1), QString::number(p.elevationFt, 'f', 0),
                            fieldElevationFt ? QString::number(n.elevationDiffFt, 'f', 0) : QString(), wind(p)}};
    }
    for (const StationPlace& p : places)
        if (!p.hasPosition)
            rows << NearestRow{p.name,
                               {p.name, p.county, QStringLiteral("no position (%1)").arg(p.positionNote), QString(),
                                QString::number(p.elevationFt, 'f', 0), QString(), wind(p)}};
    return rows;
}

bool GoToStation(TTable& counties, TTable& clim, const StationPlace& station)
{
    if (!counties.isOpen() || !clim.isOpen() || !counties.locate(QStringLiteral("County"), station.county))
        return false;
    return clim.locate(QStringLiteral("Station Name"), station.name);
}

} // namespace quen::mainprog
