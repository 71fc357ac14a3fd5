#include "Station.h"

#include "db/Database.h"
#include "db/Table.h"

namespace quen {

namespace {

// Positions of the station fields in "Climate.DB", found once.
struct StationFields {
    int name, number, county, whr, latitude, longitude, elevation, spring28, spring32, fall28, fall32;
    int p[13], t[13], tmin[13], tmax[13], tminM[13], tmaxM[13];

    explicit StationFields(TTable& t_)
    {
        auto at = [&t_](const QString& field) {
            for (int i = 0; i < t_.fieldCount(); ++i)
                if (t_.fieldName(i) == field)
                    return i;
            throw DbError(QStringLiteral("Field '%1' not found.").arg(field));
        };
        name = at(QStringLiteral("Station Name"));
        number = at(QStringLiteral("Station No"));
        county = at(QStringLiteral("County"));
        whr = at(QStringLiteral("WHRLocation"));
        latitude = at(QStringLiteral("Latitude"));
        longitude = at(QStringLiteral("Longitude"));
        elevation = at(QStringLiteral("Elevation"));
        spring28 = at(QStringLiteral("Spr mo/dy 28"));
        spring32 = at(QStringLiteral("Spr mo/dy 32"));
        fall28 = at(QStringLiteral("Fall mo/dy 28"));
        fall32 = at(QStringLiteral("Fall mo/dy 32"));
        for (int m = 1; m <= 12; ++m) {
            const QString n = QString::number(m);
            p[m] = at(QStringLiteral("P") + n);
            t[m] = at(QStringLiteral("T") + n);
            tmin[m] = at(QStringLiteral("Tmin") + n);
            tmax[m] = at(QStringLiteral("Tmax") + n);
            tminM[m] = at(QStringLiteral("TminM") + n);
            tmaxM[m] = at(QStringLiteral("TmaxM") + n);
        }
    }
};

} // namespace

StationRecord ReadStation(const QString& stationName)
{
    StationRecord s;
    TTable clim(QStringLiteral("Climate.DB"));
    static const StationFields k(clim);
    clim.open();
    clim.findNearest({stationName});
    const QVariantList row = clim.isEmpty() ? QVariantList() : clim.rowValues();
    clim.close();
    if (row.isEmpty())
        return s;
    auto f = [&row](int i) { return i < row.size() ? row[i].toDouble() : 0.0; };
    auto str = [&row](int i) { return i < row.size() ? row[i].toString() : QString(); };
    s.present = true;
    s.name = str(k.name);
    s.number = str(k.number);
    s.county = str(k.county);
    s.whrLocation = str(k.whr);
    s.latitude = f(k.latitude);
    s.longitude = f(k.longitude);
    s.elevationFt = f(k.elevation);
    s.elevationM = s.elevationFt * 0.3048;
    s.frost.spring28 = str(k.spring28);
    s.frost.spring32 = str(k.spring32);
    s.frost.fall28 = str(k.fall28);
    s.frost.fall32 = str(k.fall32);
    for (int m = 1; m <= 12; ++m) {
        s.precip[m] = f(k.p[m]);
        s.precipCm[m] = s.precip[m] * 2.54;
        s.annualPrecip += s.precip[m];
        s.annualPrecipCm += s.precipCm[m];
        s.temp[m] = f(k.t[m]);
        s.tempC[m] = (s.temp[m] - 32.0) * 5.0 / 9.0;
        s.tmin[m] = f(k.tmin[m]);
        s.tmax[m] = f(k.tmax[m]);
        s.tminC[m] = f(k.tminM[m]);
        s.tmaxC[m] = f(k.tmaxM[m]);
    }
    return s;
}

} // namespace quen
