// Station positions: great-circle distances against published examples, the
// positions a planner types, the stations with no position, the nearest
// stations and the state outlines' inside test.
#include <gtest/gtest.h>

#include <cmath>

#include "StationPlaces.h"

using namespace quen;

// Williams, E., "Aviation Formulary" (worked example): LAX (33 deg 57 min N,
// 118 deg 24 min W) to JFK (40 deg 38 min N, 73 deg 47 min W) is 0.623585
// radians of arc (2144 nm). Sinnott's haversine example in Rosetta Code's
// "Haversine formula" task: BNA (36.12, -86.67) to LAX (33.94, -118.40) is
// 2887.2599506 km on a sphere of 6372.8 km, i.e. 0.45305 radians.
TEST(GreatCircle, PublishedExamples)
{
    const GeoPoint lax{33.0 + 57.0 / 60.0, -(118.0 + 24.0 / 60.0)}, jfk{40.0 + 38.0 / 60.0, -(73.0 + 47.0 / 60.0)};
    EXPECT_NEAR(GreatCircleKm(lax, jfk) / kEarthRadiusKm, 0.623585, 1e-6);
    EXPECT_NEAR(GreatCircleKm(lax, jfk), 0.623585 * 6371.0, 0.01);
    const double bnaLax = GreatCircleKm({36.12, -86.67}, {33.94, -118.40});
    EXPECT_NEAR(bnaLax / kEarthRadiusKm, 2887.2599506 / 6372.8, 1e-9);
    // Symmetric, zero to itself; one degree of latitude is 6371 pi / 180 km;
    // antipodes are half the circumference (no NaN from rounding past 1).
    EXPECT_DOUBLE_EQ(GreatCircleKm(jfk, lax), GreatCircleKm(lax, jfk));
    EXPECT_EQ(GreatCircleKm(jfk, jfk), 0.0);
    EXPECT_NEAR(GreatCircleKm({10.0, 20.0}, {11.0, 20.0}), 6371.0 * M_PI / 180.0, 1e-9);
    EXPECT_NEAR(GreatCircleKm({45.0, 10.0}, {-45.0, -170.0}), 6371.0 * M_PI, 1e-6);
    // Across the 180th meridian the short way round.
    EXPECT_NEAR(GreatCircleKm({0.0, 179.5}, {0.0, -179.5}), 6371.0 * M_PI / 180.0, 1e-6);
}

TEST(TypedPosition, DecimalDegreesAndDegreesMinutes)
{
    struct Case {
        const char* text;
        double lat, lon;
    } cases[] = {
        {"43.52, -114.31", 43.52, -114.31},
        {"43.52 -114.31", 43.52, -114.31},
        {"  -33.9;151.2 ", -33.9, 151.2},
        {"43 31.2 N 114 18.6 W", 43.52, -114.31},
        {"43 31.2N, 114 18.6W", 43.52, -114.31},
        {"N43 31.2 W114 18.6", 43.52, -114.31},
        {"43\u00b031.2'N 114\u00b018.6'W", 43.52, -114.31},
        {"43 31 12 N 114 18 36 W", 43.52, -114.31},
        {"43 31 -114 18", 43.0 + 31.0 / 60.0, -(114.0 + 18.0 / 60.0)},
        {"33 57 s 18 25 e", -(33.0 + 57.0 / 60.0), 18.0 + 25.0 / 60.0},
        {"90, 180", 90.0, 180.0},
    };
    for (const Case& c : cases) {
        const PositionParse p = ParsePosition(QString::fromUtf8(c.text));
        ASSERT_TRUE(p.ok) << c.text << ": " << p.error.toStdString();
        EXPECT_NEAR(p.point.latitude, c.lat, 1e-9) << c.text;
        EXPECT_NEAR(p.point.longitude, c.lon, 1e-9) << c.text;
    }
}

TEST(TypedPosition, BadTextIsRefusedWithAReason)
{
    struct Case {
        const char* text;
        const char* says;
    } cases[] = {
        {"", "latitude and longitude"},
        {"43.52", "same number of parts"},
        {"43,52, -114,31", "point"},                 // decimal commas would split a coordinate
        {"43.52, -114.31, 12", "one comma"},
        {"43 31 W 114 18 N", "use N or S"},
        {"43 31 N 114 18", "letter"},
        {"43 61 N 114 18 W", "minutes must be below 60"},
        {"43 31 60 N 114 18 W", "seconds must be below 60"},
        {"43.5 31 N 114 18 W", "last part"},
        {"-43 31 N 114 18 W", "sign and a letter"},
        {"91, 10", "between -90 and 90"},
        {"45, -181", "between -180 and 180"},
        {"43.5x, -114", "\"X\" is not a number"},
        {"4 3 2 1 5 6 7 8", "same number of parts"},
        {"43 -31, -114 18", "Only the degrees"},
    };
    for (const Case& c : cases) {
        const PositionParse p = ParsePosition(QString::fromUtf8(c.text));
        EXPECT_FALSE(p.ok) << c.text;
        EXPECT_TRUE(p.error.contains(QString::fromUtf8(c.says))) << c.text << ": " << p.error.toStdString();
    }
}

TEST(StationPlaces, StoredPositionsAndStationsWithoutOne)
{
    EXPECT_DOUBLE_EQ(StoredDegrees(4119), 41.0 + 19.0 / 60.0);
    EXPECT_DOUBLE_EQ(StoredDegrees(10608), 106.0 + 8.0 / 60.0);
    EXPECT_DOUBLE_EQ(StoredDegrees(915), 9.25);

    const StationPlace boise = PlaceOf("BOISE AP", "101022", "Ada, ID", "BOISE", 4334, 11613, 2838, true);
    EXPECT_TRUE(boise.hasPosition);
    EXPECT_NEAR(boise.point.latitude, 43.0 + 34.0 / 60.0, 1e-12);
    EXPECT_NEAR(boise.point.longitude, -(116.0 + 13.0 / 60.0), 1e-12);   // stored west, drawn west
    EXPECT_EQ(boise.state(), "ID");
    // A sign error stays a position (it is drawn where it says, far east).
    const StationPlace east = PlaceOf("X", "1", "Ada, ID", "", 4334, -11613, 2838, false);
    EXPECT_TRUE(east.hasPosition);
    EXPECT_GT(east.point.longitude, 116.0);
    // A longitude of 0 is a position too (off the coast of Africa), so the map shows it.
    EXPECT_TRUE(PlaceOf("X", "1", "Ada, ID", "", 4334, 0, 0, false).hasPosition);
    for (const StationPlace& none : {PlaceOf("X", "1", "", "", std::nullopt, 11613, 0, false),
                                     PlaceOf("X", "1", "", "", 4334, std::nullopt, 0, false),
                                     PlaceOf("X", "1", "", "", 0, 0, 0, false),
                                     PlaceOf("X", "1", "", "", 4375, 11613, 0, false),
                                     PlaceOf("X", "1", "", "", 9500, 11613, 0, false)}) {
        EXPECT_FALSE(none.hasPosition);
        EXPECT_FALSE(none.positionNote.isEmpty());
    }
}

TEST(StationPlaces, NearestFirstWithElevationAndWind)
{
    const QList<StationPlace> places{
        PlaceOf("FAR", "1", "A, ID", "W", 4500, 11400, 5000, true),
        PlaceOf("NOWHERE", "2", "A, ID", "", std::nullopt, std::nullopt, 100, false),
        PlaceOf("NEAR", "3", "A, ID", "", 4331, 11419, 4200, false),
        PlaceOf("TIE", "4", "A, ID", "", 4331, 11419, 4300, false),
        PlaceOf("MID", "5", "A, ID", "W", 4400, 11400, 3900, true),
    };
    const GeoPoint field{43.52, -114.31};
    const QList<NearStation> near = StationsByDistance(places, field, 4000.0);
    ASSERT_EQ(near.size(), 4);   // the station without a position is not listed by distance
    EXPECT_EQ(places[near[0].index].name, "NEAR");
    EXPECT_EQ(places[near[1].index].name, "TIE");   // equal distance: list order
    EXPECT_EQ(places[near[2].index].name, "MID");
    EXPECT_EQ(places[near[3].index].name, "FAR");
    EXPECT_NEAR(near[0].distanceKm, GreatCircleKm(field, places[2].point), 1e-12);
    EXPECT_LT(near[0].distanceKm, 2.0);
    EXPECT_DOUBLE_EQ(near[0].elevationDiffFt, 200.0);
    EXPECT_DOUBLE_EQ(near[2].elevationDiffFt, -100.0);
    EXPECT_DOUBLE_EQ(StationsByDistance(places, field)[0].elevationDiffFt, 0.0);   // field elevation not given

    const auto windOnly = StationsByDistance(places, field, std::nullopt, [&](qsizetype i) { return places[i].hasWind; });
    ASSERT_EQ(windOnly.size(), 2);
    EXPECT_EQ(places[windOnly[0].index].name, "MID");

    QList<GeoPoint> points;
    for (const StationPlace& p : places)
        points << p.point;
    const auto one = NearestPoint(points, field, [&](qsizetype i) { return places[i].hasPosition; });
    ASSERT_TRUE(one);
    EXPECT_EQ(one->index, 2);   // the first of two at the same distance
    EXPECT_FALSE(NearestPoint(points, field, [](qsizetype) { return false; }));
    EXPECT_FALSE(NearestPoint({}, field));
}

TEST(StateOutlines, InsideOutsideAndHoles)
{
    const QList<StateOutline> read = ReadStateOutlines(QStringLiteral(
        "# comment\n"
        "state SQ Square State\n"
        "ring 0 0 10 0 10 10 0 10\n"
        "ring 4 4 6 4 6 6 4 6\n"        // a hole (a lake)
        "ring 20 0 21 0 21 1\n"         // an island
        "ring 1 2 3\n"                  // malformed: skipped
        "state TR Tri\n"
        "ring 0 0 1 0 0 1\n"));
    ASSERT_EQ(read.size(), 2);
    const StateOutline& sq = read[0];
    EXPECT_EQ(sq.code, "SQ");
    EXPECT_EQ(sq.name, "Square State");
    ASSERT_EQ(sq.rings.size(), 3);
    EXPECT_TRUE(sq.contains({2.0, 2.0}));        // latitude 2, longitude 2
    EXPECT_FALSE(sq.contains({5.0, 5.0}));       // in the hole
    EXPECT_TRUE(sq.contains({0.5, 20.8}));       // on the island
    EXPECT_FALSE(sq.contains({5.0, 15.0}));
    EXPECT_NEAR(sq.distanceKm({5.0, 10.5}), 0.5 * 6371.0 * M_PI / 180.0 * std::cos(5.0 * M_PI / 180.0), 0.01);

    // The shipped outlines: every state, Puerto Rico and DC, and known places.
    const QList<StateOutline>& all = StateOutlines();
    EXPECT_EQ(all.size(), 52);
    auto state = [&all](const char* code) {
        for (const StateOutline& o : all)
            if (o.code == QLatin1String(code))
                return o;
        return StateOutline{};
    };
    EXPECT_TRUE(state("ID").contains({43.6150, -116.2023}));    // Boise
    EXPECT_FALSE(state("OR").contains({43.6150, -116.2023}));
    EXPECT_TRUE(state("CO").contains({39.7392, -104.9903}));    // Denver
    EXPECT_TRUE(state("HI").contains({21.3069, -157.8583}));    // Honolulu, on Oahu
    EXPECT_TRUE(state("AK").contains({61.2181, -149.9003}));    // Anchorage
    EXPECT_TRUE(state("AK").contains({52.8, -187.0}));          // Attu (173 E), written west of -180
    EXPECT_TRUE(state("MI").contains({42.3314, -83.0458}));     // Detroit
    EXPECT_FALSE(state("MI").contains({44.0, -87.0}));          // Lake Michigan
    EXPECT_TRUE(state("PR").contains({18.4655, -66.1057}));     // San Juan
}
