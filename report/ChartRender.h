#pragma once

#include <QByteArray>
#include <QSizeF>

class QChart;

namespace quen::report {

// Draws the chart at the given size (points) into a QPicture and returns its
// data: a vector recording that plays back at any resolution.
QByteArray renderChartPicture(QChart* chart, const QSizeF& sizePt);

} // namespace quen::report
