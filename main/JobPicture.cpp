#include "JobPicture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace quen::mainprog {

void TJobPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = rect();
    const double horizon = r.height() * 0.55;

    QLinearGradient sky(0, 0, 0, horizon);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(200, 225, 245));
    p.fillRect(QRectF(0, 0, r.width(), horizon), sky);

    QLinearGradient field(0, horizon, 0, r.height());
    field.setColorAt(0, QColor(120, 165, 70));
    field.setColorAt(1, QColor(60, 110, 35));
    p.fillRect(QRectF(0, horizon, r.width(), r.height() - horizon), field);

    // Crop rows running to the horizon.
    p.setPen(QPen(QColor(45, 90, 30), 2));
    const double cx = r.width() / 2;
    for (int i = -14; i <= 14; ++i)
        p.drawLine(QPointF(cx + i * 8, horizon), QPointF(cx + i * r.width() / 9.0, r.height()));

    // A centre-pivot span with its spray.
    const double towerY = horizon + (r.height() - horizon) * 0.35;
    p.setPen(QPen(QColor(90, 90, 95), 3));
    p.drawLine(QPointF(r.width() * 0.18, towerY), QPointF(r.width() * 0.82, towerY - 12));
    for (int i = 0; i <= 4; ++i) {
        const double x = r.width() * (0.18 + i * 0.16);
        const double y = towerY - i * 3;
        p.drawLine(QPointF(x, y), QPointF(x - 10, y + 28));
        p.drawLine(QPointF(x, y), QPointF(x + 10, y + 28));
        p.setPen(QPen(QColor(225, 240, 255, 170), 1.5));
        for (int k = -3; k <= 3; ++k) {
            QPainterPath arc;
            arc.moveTo(x, y + 2);
            arc.quadTo(x + k * 9, y + 14, x + k * 14, y + 34);
            p.drawPath(arc);
        }
        p.setPen(QPen(QColor(90, 90, 95), 3));
    }

    // Title.
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 3.0);
    f.setBold(true);
    p.setFont(f);
    p.setPen(QColor(20, 40, 90));
    const QRectF title(0, horizon * 0.18, r.width(), horizon * 0.35);
    p.drawText(title, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Quen"));
    QFont g = font();
    g.setPointSizeF(g.pointSizeF() * 1.4);
    p.setFont(g);
    p.drawText(QRectF(0, title.bottom(), r.width(), horizon * 0.25), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Irrigation water requirements - FAO Penman-Monteith"));
}

} // namespace quen::mainprog
