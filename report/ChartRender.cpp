#include "ChartRender.h"

#include <QAbstractAxis>
#include <QAbstractBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QPainter>
#include <QPicture>
#include <QXYSeries>

namespace quen::report {

QByteArray renderChartPicture(QChart* chart, const QSizeF& sizePt)
{
    if (!chart || sizePt.isEmpty())
        return {};
    chart->setAnimationOptions(QChart::NoAnimation);
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), sizePt));
    if (chart->layout())
        chart->layout()->activate();
    QCoreApplication::sendPostedEvents();
    if (chart->layout())
        chart->layout()->activate();

    QPicture pic;
    {
        QPainter p(&pic);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        scene.render(&p, QRectF(QPointF(0, 0), sizePt), QRectF(QPointF(0, 0), sizePt));
    }
    scene.removeItem(chart);
    return QByteArray(pic.data(), int(pic.size()));
}

} // namespace quen::report
