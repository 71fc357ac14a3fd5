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
#include <functional>
#include <vector>

#include "ChartPicture.h"

namespace quen::report {

namespace {

// The chart is laid out and recorded in points; a picture resolves font
// point sizes at its own resolution, so fonts are scaled for the recording
// and put back afterwards.
class FontScaler {
public:
    FontScaler(QChart* chart, double f) : m_f(f)
    {
        track([chart] { return chart->titleFont(); }, [chart](const QFont& x) { chart->setTitleFont(x); });
        QLegend* legend = chart->legend();
        track([legend] { return legend->font(); }, [legend](const QFont& x) { legend->setFont(x); });
        for (QAbstractAxis* axis : chart->axes()) {
            track([axis] { return axis->labelsFont(); }, [axis](const QFont& x) { axis->setLabelsFont(x); });
            track([axis] { return axis->titleFont(); }, [axis](const QFont& x) { axis->setTitleFont(x); });
        }
        for (QAbstractSeries* series : chart->series()) {
            if (auto* xy = qobject_cast<QXYSeries*>(series))
                track([xy] { return xy->pointLabelsFont(); }, [xy](const QFont& x) { xy->setPointLabelsFont(x); });
            if (auto* bars = qobject_cast<QAbstractBarSeries*>(series))
                for (QBarSet* set : bars->barSets())
                    track([set] { return set->labelFont(); }, [set](const QFont& x) { set->setLabelFont(x); });
        }
    }
    ~FontScaler()
    {
        for (auto it = m_restore.rbegin(); it != m_restore.rend(); ++it)
            (*it)();
    }

private:
    template <class Get, class Set> void track(Get get, Set set)
    {
        const QFont orig = get();
        QFont scaled = orig;
        if (orig.pointSizeF() > 0)
            scaled.setPointSizeF(orig.pointSizeF() * m_f);
        else if (orig.pixelSize() > 0)
            scaled.setPointSizeF(orig.pixelSize() * 0.75 * m_f);
        set(scaled);
        m_restore.push_back([set, orig] { set(orig); });
    }
    double m_f;
    std::vector<std::function<void()>> m_restore;
};

} // namespace

QByteArray renderChartPicture(QChart* chart, const QSizeF& sizePt)
{
    if (!chart || sizePt.isEmpty())
        return {};
    const FontScaler fonts(chart, 72.0 / QPicture().logicalDpiY());
    chart->setAnimationOptions(QChart::NoAnimation);
    QGraphicsScene scene;
    scene.addItem(chart);
    chart->setGeometry(QRectF(QPointF(0, 0), sizePt));
    if (chart->layout())
        chart->layout()->activate();
    QCoreApplication::sendPostedEvents();
    if (chart->layout())
        chart->layout()->activate();

    // In the one format the report's own reader reads (ChartPicture.h).
    QPicture pic(kChartPictureFormat);
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
