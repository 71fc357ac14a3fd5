#include "StationMap.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace quen {

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;
constexpr double kClickPixels = 6.0;   // how far from a point a click still hits it
const QColor kWindColor(0x1f, 0x5f, 0xbf);
const QColor kOtherColor(0xe0, 0x80, 0x10);
const QColor kOutlineColor(0x80, 0x80, 0x80);

} // namespace

TStationMap::TStationMap(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StationMap"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(240, 180);
    setAutoFillBackground(false);
    setToolTip(QStringLiteral("Drag to move, wheel or +/- to zoom, click a station to choose it"));
    m_zoomInBtn = new QToolButton(this);
    m_zoomInBtn->setObjectName(QStringLiteral("MapZoomInBtn"));
    m_zoomInBtn->setText(QStringLiteral("+"));
    m_zoomOutBtn = new QToolButton(this);
    m_zoomOutBtn->setObjectName(QStringLiteral("MapZoomOutBtn"));
    m_zoomOutBtn->setText(QStringLiteral("-"));
    connect(m_zoomInBtn, &QToolButton::clicked, this, &TStationMap::zoomIn);
    connect(m_zoomOutBtn, &QToolButton::clicked, this, &TStationMap::zoomOut);
    placeButtons();
}

QPointF TStationMap::project(double latitude, double longitude) const
{
    return {longitude * m_kx, -latitude};
}

QPointF TStationMap::toScreen(double latitude, double longitude) const
{
    const QPointF m = project(latitude, longitude);
    return QPointF(width() / 2.0, height() / 2.0) + (m - m_center) * m_scale;
}

void TStationMap::setOutlines(const QList<QList<QPointF>>& rings)
{
    m_outlines.clear();
    m_outlines.reserve(rings.size());
    for (const QList<QPointF>& r : rings) {
        QPolygonF poly;
        poly.reserve(r.size() + 1);
        for (const QPointF& p : r)
            poly << project(p.y(), p.x());
        if (!poly.isEmpty())
            poly << poly.first();
        m_outlines << poly;
    }
    if (m_stations.isEmpty())
        fitAll();
    update();
}

void TStationMap::setStations(const QList<TMapStation>& stations, int unplaced)
{
    const QString keep = selectedName();
    m_stations = stations;
    m_unplaced = unplaced;
    double sumLat = 0.0;
    for (const TMapStation& s : m_stations)
        sumLat += s.latitude;
    const double meanLat = m_stations.isEmpty() ? 40.0 : sumLat / m_stations.size();
    const double kx = std::max(0.2, std::cos(meanLat * kRad));
    if (kx != m_kx) {
        // Outlines are held projected: scale them to the new east-west factor.
        for (QPolygonF& poly : m_outlines)
            for (QPointF& p : poly)
                p.setX(p.x() / m_kx * kx);
        m_kx = kx;
    }
    m_points.clear();
    m_windPoints.clear();
    m_otherPoints.clear();
    m_points.reserve(m_stations.size());
    for (const TMapStation& s : m_stations) {
        const QPointF p = project(s.latitude, s.longitude);
        m_points << p;
        (s.hasWind ? m_windPoints : m_otherPoints) << p;
    }
    m_selected = -1;
    fitAll();
    select(keep);
}

void TStationMap::fitAll()
{
    QRectF r;
    auto add = [&r](QPointF p) { r = r.isNull() ? QRectF(p, QSizeF(1e-6, 1e-6)) : r.united(QRectF(p, QSizeF(1e-6, 1e-6))); };
    for (const QPointF& p : m_points)
        add(p);
    if (m_points.isEmpty())
        for (const QPolygonF& poly : m_outlines)
            r = r.isNull() ? poly.boundingRect() : r.united(poly.boundingRect());
    if (r.isNull())
        r = QRectF(project(50.0, -125.0), project(24.0, -66.0));
    fitRect(r.adjusted(-1.0, -1.0, 1.0, 1.0));
}

void TStationMap::fitTo(double south, double west, double north, double east)
{
    fitRect(QRectF(project(north, west), project(south, east)).normalized());
}

void TStationMap::fitRect(const QRectF& mapRect)
{
    m_fitRect = mapRect;
    m_fitted = true;
    m_center = mapRect.center();
    const double w = std::max(1, width() - 20), h = std::max(1, height() - 20);
    m_scale = std::clamp(std::min(w / std::max(mapRect.width(), 1e-3), h / std::max(mapRect.height(), 1e-3)), 0.5, 20000.0);
    update();
}

void TStationMap::resizeEvent(QResizeEvent*)
{
    placeButtons();
    if (m_fitted)
        fitRect(m_fitRect);
}

void TStationMap::placeButtons()
{
    m_zoomInBtn->setGeometry(width() - 30, 4, 26, 24);
    m_zoomOutBtn->setGeometry(width() - 30, 30, 26, 24);
}

void TStationMap::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xf4, 0xf8, 0xfc));
    const QTransform toPixels = QTransform()
                                    .translate(width() / 2.0, height() / 2.0)
                                    .scale(m_scale, m_scale)
                                    .translate(-m_center.x(), -m_center.y());
    const QRectF visible = toPixels.inverted().mapRect(QRectF(rect()));
    p.setTransform(toPixels);
    QPen outline(kOutlineColor, 0);   // cosmetic: one pixel at any zoom
    p.setPen(outline);
    p.setBrush(QColor(0xff, 0xff, 0xf4));
    p.setRenderHint(QPainter::Antialiasing, m_outlines.size() < 2000);
    for (const QPolygonF& poly : m_outlines)
        if (poly.boundingRect().intersects(visible))
            p.drawPolygon(poly);

    // Points as small round sprites, stamped in one batch per colour: as
    // fast for 15 000 stations as plain pixels, and round at any zoom.
    p.resetTransform();
    const int d = m_points.size() > 3000 ? 5 : 8;
    auto sprite = [d](const QColor& c) {
        QPixmap pm(d, d);
        pm.fill(Qt::transparent);
        QPainter q(&pm);
        q.setRenderHint(QPainter::Antialiasing);
        q.setPen(Qt::NoPen);
        q.setBrush(c);
        q.drawEllipse(QRectF(0, 0, d, d));
        return pm;
    };
    const QRectF inView = QRectF(rect()).adjusted(-d, -d, d, d);
    QList<QPainter::PixmapFragment> frags;
    frags.reserve(m_points.size());
    for (const auto& [points, colour] : {std::pair(&m_otherPoints, kOtherColor), std::pair(&m_windPoints, kWindColor)}) {
        frags.clear();
        for (const QPointF& m : *points) {
            const QPointF at = toPixels.map(m);
            if (inView.contains(at))
                frags << QPainter::PixmapFragment::create(at, QRectF(0, 0, d, d));
        }
        const QPixmap pm = sprite(colour);
        p.drawPixmapFragments(frags.constData(), int(frags.size()), pm);
    }

    p.resetTransform();
    p.setRenderHint(QPainter::Antialiasing, true);
    if (m_hasMark) {
        const QPointF m = toScreen(m_markLat, m_markLon);
        p.setPen(QPen(Qt::black, 2));
        p.drawLine(m + QPointF(-7, -7), m + QPointF(7, 7));
        p.drawLine(m + QPointF(-7, 7), m + QPointF(7, -7));
    }
    if (m_selected >= 0) {
        const QPointF s = toScreen(m_stations[m_selected].latitude, m_stations[m_selected].longitude);
        p.setPen(QPen(Qt::red, 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(s, 9.0, 9.0);
        p.setPen(Qt::black);
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        // The name beside the ring, on its left when it would run off the map.
        const QString& name = m_stations[m_selected].name;
        const double tw = QFontMetrics(f).horizontalAdvance(name);
        p.drawText(s.x() + 12 + tw > width() - 4 ? s + QPointF(-12 - tw, -8) : s + QPointF(12, -8), name);
        p.setFont(font());
    }

    // Legend.
    const QStringList lines{QStringLiteral("Wind, humidity and radiation record"),
                            QStringLiteral("Temperature and precipitation only"), QStringLiteral("Selected station"),
                            m_unplaced > 0 ? QStringLiteral("%1 station(s) without a position, not drawn").arg(m_unplaced)
                                           : QString()};
    const QFontMetrics fm(font());
    int w = 0;
    for (const QString& l : lines)
        w = std::max(w, fm.horizontalAdvance(l));
    const int lh = fm.height() + 2, rows = m_unplaced > 0 ? 4 : 3;
    // Bottom left: over the Pacific and Mexico at the usual view.
    const QRect box(6, height() - rows * lh - 14, w + 34, rows * lh + 8);
    p.setPen(QColor(0xa0, 0xa0, 0xa0));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    for (int i = 0; i < rows; ++i) {
        const QPointF c(box.left() + 14, box.top() + 4 + i * lh + lh / 2.0);
        if (i < 2) {
            p.setPen(Qt::NoPen);
            p.setBrush(i == 0 ? kWindColor : kOtherColor);
            p.drawEllipse(c, 3.5, 3.5);
        } else if (i == 2) {
            p.setPen(QPen(Qt::red, 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 6.0, 6.0);
        }
        p.setPen(i == 3 ? QColor(Qt::darkRed) : QColor(Qt::black));
        p.drawText(QRectF(box.left() + 26, c.y() - lh / 2.0, w + 6, lh), Qt::AlignVCenter | Qt::AlignLeft, lines[i]);
    }
}

qsizetype TStationMap::stationAt(QPointF pos) const
{
    qsizetype best = -1;
    double bestD = kClickPixels * kClickPixels;
    const QPointF c(width() / 2.0, height() / 2.0);
    for (qsizetype i = 0; i < m_points.size(); ++i) {
        const QPointF s = c + (m_points[i] - m_center) * m_scale - pos;
        const double d = s.x() * s.x() + s.y() * s.y();
        if (d <= bestD) {
            bestD = d;
            best = i;
        }
    }
    return best;
}

void TStationMap::select(const QString& name)
{
    m_selected = -1;
    if (!name.isEmpty())
        for (qsizetype i = 0; i < m_stations.size(); ++i)
            if (m_stations[i].name == name) {
                m_selected = i;
                break;
            }
    // Before the map is shown its size is not known yet: the fitted view stays.
    if (m_selected >= 0 && isVisible() && !rect().adjusted(10, 10, -10, -10).contains(
                               toScreen(m_stations[m_selected].latitude, m_stations[m_selected].longitude).toPoint())) {
        m_center = m_points[m_selected];
        m_fitted = false;
    }
    update();
}

void TStationMap::zoomAt(QPointF pixel, double factor)
{
    const QPointF c(width() / 2.0, height() / 2.0);
    const QPointF under = m_center + (pixel - c) / m_scale;   // the map point under the pixel stays there
    m_scale = std::clamp(m_scale * factor, 0.5, 20000.0);
    m_center = under - (pixel - c) / m_scale;
    m_fitted = false;
    update();
}

void TStationMap::setFieldMark(double latitude, double longitude)
{
    m_hasMark = true;
    m_markLat = latitude;
    m_markLon = longitude;
    if (isVisible() && !rect().adjusted(10, 10, -10, -10).contains(toScreen(latitude, longitude).toPoint())) {
        m_center = project(latitude, longitude);
        m_fitted = false;
    }
    update();
}

void TStationMap::clearFieldMark()
{
    m_hasMark = false;
    update();
}

void TStationMap::zoomIn() { zoomAt(QPointF(width() / 2.0, height() / 2.0), 1.5); }
void TStationMap::zoomOut() { zoomAt(QPointF(width() / 2.0, height() / 2.0), 1.0 / 1.5); }

void TStationMap::panBy(QPointF pixels)
{
    m_center -= pixels / m_scale;
    m_fitted = false;
    update();
}

void TStationMap::mousePressEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    m_pressed = true;
    m_dragging = false;
    m_pressPos = m_lastPos = e->position().toPoint();
}

void TStationMap::mouseMoveEvent(QMouseEvent* e)
{
    if (!m_pressed)
        return;
    const QPoint pos = e->position().toPoint();
    if (!m_dragging && (pos - m_pressPos).manhattanLength() > 3)
        m_dragging = true;
    if (m_dragging) {
        panBy(pos - m_lastPos);
        m_lastPos = pos;
    }
}

void TStationMap::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton || !m_pressed)
        return;
    m_pressed = false;
    if (m_dragging) {
        m_dragging = false;
        return;
    }
    const qsizetype i = stationAt(e->position());
    if (i >= 0) {
        const QString name = m_stations[i].name;
        select(name);
        emit stationClicked(name);
    }
}

void TStationMap::wheelEvent(QWheelEvent* e)
{
    const double steps = e->angleDelta().y() / 120.0;
    if (steps != 0.0)
        zoomAt(e->position(), std::pow(1.25, steps));
    e->accept();
}

void TStationMap::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: zoomIn(); break;
    case Qt::Key_Minus: zoomOut(); break;
    case Qt::Key_Left: panBy(QPointF(40, 0)); break;
    case Qt::Key_Right: panBy(QPointF(-40, 0)); break;
    case Qt::Key_Up: panBy(QPointF(0, 40)); break;
    case Qt::Key_Down: panBy(QPointF(0, -40)); break;
    default: QWidget::keyPressEvent(e); return;
    }
}

} // namespace quen
