// Text measurement for layout: fonts resolved at a fixed fine resolution
// with hinting off, results in points, so that a laid-out line fits the
// same way on screen, paper and PDF.
#pragma once

#include <QString>
#include <QStringList>

#include "PreparedReport.h"

namespace quen::report::detail {

struct FontMeasure {
    double lineHeight = 0;   // points
    double ascent = 0;
};

FontMeasure measureFont(const FontSpec& f);
double textWidth(const FontSpec& f, const QString& text);
// Lines of text: broken at "\n", and with wrapping at width (points).
QStringList breakLines(const FontSpec& f, const QString& text, double width, bool wrap);

} // namespace quen::report::detail
