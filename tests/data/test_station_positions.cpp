// Every shipped station lies in the state its county key names, by the
// shipped state outlines: a longitude of 0, a sign error or a swapped state
// shows here. Positions are stored to the whole minute (up to 0.9 km off) and
// the outlines are 1:10 000 000 generalisations thinned to 0.02 degrees, so a
// station on a shore may fall just outside: within 2 km of its own state's
// outline counts as inside, and those are listed.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/Database.h"
#include "db/DbError.h"
#include "engine/StationPlaces.h"

TEST(ShippedStations, EachLiesInsideItsStateOutline)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    qputenv("QUENPM_DB", dir.filePath("stations.sqlite").toUtf8());
    quen::Database::setDataDirectory(QStringLiteral(QUEN_DATA_DIR) + "/tables");
    quen::Database::open();
    const QList<quen::StationPlace> places = quen::ReadStationPlaces();
    quen::Database::close();
    ASSERT_GT(places.size(), 200);

    QStringList outside, onShore;
    for (const quen::StationPlace& p : places) {
        ASSERT_TRUE(p.hasPosition) << p.name.toStdString() << ": " << p.positionNote.toStdString();
        const quen::StateOutline* state = nullptr;
        for (const quen::StateOutline& o : quen::StateOutlines())
            if (o.code == p.state())
                state = &o;
        ASSERT_NE(state, nullptr) << p.name.toStdString() << ": no outline for " << p.state().toStdString();
        if (state->contains(p.point))
            continue;
        const double km = state->distanceKm(p.point);
        const QString line = QStringLiteral("%1 (%2) %3, %4: %5 km outside")
                                 .arg(p.name, p.county)
                                 .arg(p.point.latitude, 0, 'f', 3)
                                 .arg(p.point.longitude, 0, 'f', 3)
                                 .arg(km, 0, 'f', 1);
        (km <= 2.0 ? onShore : outside) << line;
    }
    if (!onShore.isEmpty())
        std::cout << "On the outline's edge (within 2 km):\n  " << onShore.join("\n  ").toStdString() << "\n";
    EXPECT_TRUE(outside.isEmpty()) << "Outside their state:\n  " << outside.join("\n  ").toStdString();
}
