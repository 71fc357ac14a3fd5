// Draws the station map offscreen (as it is drawn on screen, into an image
// of the widget's size) with 15 000 stations spread over the conterminous
// states, and prints the median milliseconds of a full draw, of a pan step
// (drag by 10 pixels, then draw) and of a zoom step. Target: 50 ms or less.
// Usage: bench_station_map [stations] [repeats] [image.png]
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <random>

#include "StationMap.h"
#include "engine/StationPlaces.h"

namespace {

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 15000;
    const int repeats = argc > 2 ? std::atoi(argv[2]) : 30;

    QList<QList<QPointF>> rings;
    for (const quen::StateOutline& o : quen::StateOutlines())
        rings << o.rings;
    std::mt19937 rng(20);
    std::uniform_real_distribution<double> lat(25.0, 49.0), lon(-124.0, -67.0), u(0.0, 1.0);
    QList<quen::TMapStation> stations;
    for (int i = 0; i < count; ++i)
        stations << quen::TMapStation{QStringLiteral("STATION %1").arg(i), lat(rng), lon(rng), u(rng) < 0.3};

    quen::TStationMap map;
    map.resize(1000, 700);
    map.setOutlines(rings);
    map.setStations(stations);
    map.select(QStringLiteral("STATION 7"));
    QImage image(map.size(), QImage::Format_ARGB32_Premultiplied);
    auto draw = [&] { map.render(&image); };
    draw();   // warm up

    std::vector<double> full, pan, zoom;
    QElapsedTimer t;
    for (int i = 0; i < repeats; ++i) {
        t.start();
        draw();
        full.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < repeats; ++i) {
        t.start();
        map.panBy(QPointF(i % 2 ? -10 : 10, 5));
        draw();
        pan.push_back(t.nsecsElapsed() / 1e6);
    }
    for (int i = 0; i < repeats; ++i) {
        t.start();
        i % 2 ? map.zoomOut() : map.zoomIn();
        draw();
        zoom.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("station map 1000x700, %d stations, %lld outline rings, %d repeats (median)\n", count,
                static_cast<long long>(rings.size()), repeats);
    std::printf("  draw: %.2f ms\n  pan step: %.2f ms\n  zoom step: %.2f ms\n", Median(full), Median(pan),
                Median(zoom));
    if (argc > 3) {
        map.fitAll();
        draw();
        image.save(QString::fromLocal8Bit(argv[3]));
    }
    return 0;
}
