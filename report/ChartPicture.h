// Chart recordings in saved reports: their own reader and player.
//
// A chart is kept in a prepared report as the QPicture data it was recorded
// into (ChartRender.h). A report file comes from anywhere (users send them
// with problem reports), so the recording is never handed to QPicture: this
// reader walks it record by record, accepts only the drawing commands a chart
// recording holds, checks every count against the bytes left, every
// coordinate, size, pen, brush and font against fixed bounds, and draws it
// itself. Anything else makes the whole recording unsound.
#pragma once

#include <QByteArray>
#include <QSizeF>

class QPainter;

namespace quen::report {

// The QPicture format charts are recorded in (the encodings of stream
// version 20, Qt 6.0 to 6.5), whatever Qt the program is built with, so that
// the reader below always knows the layout.
inline constexpr int kChartPictureFormat = 20;

// True when the recording is sound: readable to its end by the bounded
// reader, with every value inside the bounds a chart of a report page can
// have. An empty recording is sound (it draws nothing).
bool chartPictureSound(const QByteArray& data);

// Draws a sound recording with the painter's origin at the recording's
// origin, in the recording's own units (points), as QPicture would play it;
// an unsound one draws nothing. Returns whether it was drawn.
bool playChartPicture(QPainter& p, const QByteArray& data);

} // namespace quen::report
