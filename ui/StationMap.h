// TStationMap: a map of climate stations over state outlines, drawn as
// vectors. Stations are points coloured by whether they have a wind,
// humidity and radiation record (what Penman-Monteith needs); the selected
// one is ringed. Drag to pan, wheel or +/- to zoom; a click on a point
// reports that station. Longitude and latitude are drawn in an
// equirectangular projection whose east-west scale is the cosine of the
// stations' mean latitude, so shapes look right at the latitudes shown.
#pragma once

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>
#include <QWidget>

class QToolButton;

namespace quen {

struct TMapStation {
    QString name;
    double latitude = 0.0;    // decimal degrees, north positive
    double longitude = 0.0;   // decimal degrees, east positive
    bool hasWind = false;
};

class TStationMap : public QWidget {
    Q_OBJECT
public:
    explicit TStationMap(QWidget* parent = nullptr);

    // Rings of (longitude, latitude) points.
    void setOutlines(const QList<QList<QPointF>>& rings);
    // The stations drawn; unplaced: how many stations have no position (not
    // drawn, said in the legend). The view fits the stations.
    void setStations(const QList<TMapStation>& stations, int unplaced = 0);
    // Shows every station (the outlines when there is none).
    void fitAll();
    // Shows the area between two corners (decimal degrees).
    void fitTo(double south, double west, double north, double east);

    QString selectedName() const { return m_selected >= 0 ? m_stations[m_selected].name : QString(); }
    qsizetype stationCount() const { return m_stations.size(); }
    const QList<TMapStation>& stations() const { return m_stations; }
    double pixelsPerDegree() const { return m_scale; }
    // Where a position is drawn, in widget pixels.
    QPointF toScreen(double latitude, double longitude) const;
    // The station drawn within a few pixels of pos (the nearest), or -1.
    qsizetype stationAt(QPointF pos) const;

public slots:
    // Highlights the station of this name (first of the name); brings it
    // into view when it is off the map. An unknown or empty name clears the
    // highlight. Emits nothing.
    void select(const QString& name);
    void zoomIn();
    void zoomOut();
    void panBy(QPointF pixels);
    // A cross at the field's position (the "Nearest to" search), brought into view.
    void setFieldMark(double latitude, double longitude);
    void clearFieldMark();

signals:
    // A point was clicked (not dragged).
    void stationClicked(const QString& name);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void keyPressEvent(QKeyEvent*) override;

private:
    QPointF project(double latitude, double longitude) const;   // map units: x east, y south
    void zoomAt(QPointF pixel, double factor);
    void fitRect(const QRectF& mapRect);
    void placeButtons();

    QList<QPolygonF> m_outlines;            // in map units
    QList<TMapStation> m_stations;
    QPolygonF m_windPoints, m_otherPoints;  // in map units
    QList<QPointF> m_points;                // per station, map units
    int m_unplaced = 0;
    bool m_hasMark = false;
    double m_markLat = 0.0, m_markLon = 0.0;
    qsizetype m_selected = -1;
    double m_kx = 1.0;                      // cos(mean latitude)
    QPointF m_center;                       // map units at the widget's centre
    double m_scale = 10.0;                  // pixels per degree of latitude
    bool m_fitted = false;
    QRectF m_fitRect;
    QPoint m_pressPos, m_lastPos;
    bool m_dragging = false, m_pressed = false;
    QToolButton* m_zoomInBtn = nullptr;
    QToolButton* m_zoomOutBtn = nullptr;
};

} // namespace quen
